#include "engine/Format.h"

#include <charconv>
#include <cmath>

namespace ombrix {

std::string hex8(std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) s[static_cast<std::size_t>(i)] = digits[value & 0xF];
    return s;
}

std::string formatTimeOfDay(double days, const std::string& format) {
    if (!std::isfinite(days)) days = 0;
    double frac = std::fabs(days) - std::floor(std::fabs(days));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000LL) ms -= 86400000LL;
    const int hour = static_cast<int>(ms / 3600000);
    const int minute = static_cast<int>(ms / 60000 % 60);
    const int second = static_cast<int>(ms / 1000 % 60);
    const int milli = static_cast<int>(ms % 1000);

    const bool twelve = format.find("AP") != std::string::npos || format.find("ap") != std::string::npos ||
                        format.find('A') != std::string::npos || format.find('a') != std::string::npos;
    auto two = [](int v) {
        std::string s = std::to_string(v);
        return s.size() < 2 ? "0" + s : s;
    };
    std::string out;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        std::size_t run = 1;
        while (i + run < format.size() && format[i + run] == c) ++run;
        if (c == '\'') {
            std::size_t end = format.find('\'', i + 1);
            if (end == std::string::npos) end = format.size();
            out += format.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == 'h' || c == 'H') {
            int h = hour;
            if (c == 'h' && twelve) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out += run >= 2 ? two(h) : std::to_string(h);
            i += std::min<std::size_t>(run, 2);
        } else if (c == 'm') {
            out += run >= 2 ? two(minute) : std::to_string(minute);
            i += std::min<std::size_t>(run, 2);
        } else if (c == 's') {
            out += run >= 2 ? two(second) : std::to_string(second);
            i += std::min<std::size_t>(run, 2);
        } else if (c == 'z') {
            std::string z = std::to_string(milli);
            if (run >= 3) z = std::string(3 - z.size(), '0') + z;
            out += z;
            i += run >= 3 ? 3 : 1;
        } else if (c == 'A' || c == 'a') {
            const bool pm = hour >= 12;
            std::string t = pm ? "PM" : "AM";
            if (c == 'a') t = pm ? "pm" : "am";
            out += t;
            i += (i + 1 < format.size() && (format[i + 1] == 'P' || format[i + 1] == 'p')) ? 2 : 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string generalFloat(double value, char decimalSeparator) {
    if (!std::isfinite(value)) value = 0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string s(buf, res.ptr);
    // to_chars' general form may leave trailing zeros out already; make sure of it.
    if (auto dot = s.find('.'); dot != std::string::npos && s.find('e') == std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    for (auto& c : s)
        if (c == '.') c = decimalSeparator;
    return s;
}

double oleDate(int year, int month, int day, double secondsOfDay) {
    // Days from the civil date (proleptic Gregorian) to 1970-01-01, then to 1899-12-30.
    const int yy = year - (month <= 2);
    const int era = (yy >= 0 ? yy : yy - 399) / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days1970 = static_cast<long long>(era) * 146097 + doe - 719468;
    return static_cast<double>(days1970 + 25569) + secondsOfDay / 86400.0;
}

} // namespace ombrix
