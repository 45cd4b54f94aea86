#include "xpl/Attributes.h"

#include "engine/Errors.h"

#include <charconv>

namespace ombrix::xpl {

namespace {
// The most characters after the name that the value is looked for in.
constexpr std::size_t kValueWindow = 255;
} // namespace

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

const std::string& GetAttr(const std::string& line, const std::string& name, std::string& holder) {
    const std::size_t at = upperCase(line).find(upperCase(name));
    if (at == std::string::npos) return holder;
    std::string rest = line.substr(at + name.size(), kValueWindow);
    const std::size_t equals = rest.find('=');
    if (equals != std::string::npos) rest.erase(0, equals + 1);
    const std::size_t open = rest.find('"');
    if (open != std::string::npos) rest.erase(0, open + 1);
    const std::size_t close = rest.find('"');
    holder = close == std::string::npos ? std::string() : rest.substr(0, close);
    return holder;
}

std::int32_t GetAttrInt(const std::string& line, const std::string& name) {
    std::string holder;
    return parseWholeNumber(GetAttr(line, name, holder)).value_or(0);
}

std::optional<std::int32_t> parseWholeNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars takes a minus sign but not a plus sign.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

std::int32_t StrToInt(const std::string& text) {
    const auto value = parseWholeNumber(text);
    if (!value) throw Error("'" + text + "' is not a valid integer value");
    return *value;
}

} // namespace ombrix::xpl
