#pragma once
// Number and time texts of the reports, independent of the process's C locale.

#include <cstdint>
#include <string>

namespace ombrix {

// 8 upper-case hexadecimal digits.
std::string hex8(std::uint32_t value);

// A day count's time of day in a clock format written with the tokens h, hh, H, HH, m, mm,
// s, ss, z, zzz, AP, ap, A, a (text in single quotes is literal; any other character is
// copied). "hh" and "h" are 12-hour when the format has an AM/PM token.
std::string formatTimeOfDay(double days, const std::string& format);

// The shortest general form of a double ("%g"-like: up to 15 significant digits, no
// trailing zeros, no exponent for everyday magnitudes) with the given decimal separator.
std::string generalFloat(double value, char decimalSeparator);

// A local date and time as an OLE Automation date: days since midnight of 30 December 1899,
// the time of day as the fraction.
double oleDate(int year, int month, int day, double secondsOfDay);

} // namespace ombrix
