#pragma once
// Attribute lookups on one tag line of the playlist, and the whole-number conversion they use.
// The lookup is a plain text search, not an XML parse: the name is found anywhere in the line
// in any letter case, and its value is the next text in double quotes.

#include <cstdint>
#include <optional>
#include <string>

namespace ombrix::xpl {

// The text with its ASCII letters in upper case (other bytes as they are).
std::string upperCase(std::string text);

// Looks up the attribute `name` in `line`. When the name occurs, `holder` becomes its value;
// when it does not, `holder` keeps what it held. Returns the holder's text either way.
const std::string& GetAttr(const std::string& line, const std::string& name, std::string& holder);

// GetAttr with a fresh holder, as a whole number; 0 when the name is absent or its value is
// not a whole number.
std::int32_t GetAttrInt(const std::string& line, const std::string& name);

// A whole number written as an optional sign and decimal digits, in the 32-bit range;
// nothing for any other text.
std::optional<std::int32_t> parseWholeNumber(const std::string& text);

// parseWholeNumber, or the error "'<text>' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);

} // namespace ombrix::xpl
