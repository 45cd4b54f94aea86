#pragma once
// File-name rules: folder, name and extension of a path, the extension cut, the disc layout's
// folders, and the second file of a feature split over two numbered files. Both "\" and "/"
// separate folders (and ":" ends a drive), so the rules hold for either style of path.

#include <string>

namespace ombrix {

inline bool isPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }
inline bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The folder part, up to and including the last separator or ":" ("" if none).
std::string ExtractFilePath(const std::string& path);
// What follows the folder part.
std::string ExtractFileName(const std::string& path);
// The file name's part from its last "." on ("" if none).
std::string ExtractFileExt(const std::string& path);
// The argument without its extension.
std::string CutExt(const std::string& path);
std::string UpperCase(std::string text);

// If folder ends in "<name>\" (or "<name>/"), the folder with that ending replaced by
// "<replacement>" and the same separator; otherwise "".
std::string swapLastFolder(const std::string& folder, const std::string& name, const std::string& replacement);

// The name of the second file of a numbered pair (FEATURE_1.EVO -> FEATURE_2.EVO), whether
// or not it exists; "" when the name has no such number.
std::string secondCandidate(const std::string& path);

// The folder with a separator appended when it has none at its end: the style it already
// uses, or the system's.
std::string withTrailingSeparator(const std::string& folder);

char nativeSeparator();

} // namespace ombrix
