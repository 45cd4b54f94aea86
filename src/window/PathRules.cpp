#include "window/PathRules.h"

#include <algorithm>

namespace ombrix {

namespace {
std::size_t folderEnd(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (isPathDelimiter(path[i - 1])) return i;
    return 0;
}
} // namespace

std::string ExtractFilePath(const std::string& path) { return path.substr(0, folderEnd(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(folderEnd(path)); }

std::string ExtractFileExt(const std::string& path) {
    const std::size_t start = folderEnd(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < start) return "";
    return path.substr(dot);
}

std::string CutExt(const std::string& path) { return path.substr(0, path.size() - ExtractFileExt(path).size()); }

std::string UpperCase(std::string text) {
    for (auto& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string swapLastFolder(const std::string& folder, const std::string& name, const std::string& replacement) {
    const std::size_t n = name.size() + 1;
    if (folder.size() < n || !isSeparator(folder.back())) return "";
    if (folder.compare(folder.size() - n, name.size(), name) != 0) return "";
    return folder.substr(0, folder.size() - n) + replacement + folder.back();
}

std::string secondCandidate(const std::string& path) {
    const std::string dir = ExtractFilePath(path);
    const std::string name = ExtractFileName(path);
    const std::size_t p = name.find('_'); // 0-based: the "_" is at position p + 1
    if (p == std::string::npos) return "";
    auto raisable = [](char c) { return c >= '0' && c <= '8'; };
    if (p + 1 < name.size() && raisable(name[p + 1])) {
        return dir + name.substr(0, p + 1) + static_cast<char>(name[p + 1] + 1) + name.substr(p + 2, 255);
    }
    // The character before the "_" (the "_" itself when it starts the name).
    const std::size_t before = p == 0 ? 0 : p - 1;
    if (!raisable(name[before])) return "";
    return dir + name.substr(0, before) + static_cast<char>(name[before] + 1) + name.substr(p, 255);
}

char nativeSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string withTrailingSeparator(const std::string& folder) {
    if (!folder.empty() && isSeparator(folder.back())) return folder;
    const bool backslashes = folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    return folder + (backslashes ? '\\' : nativeSeparator());
}

} // namespace ombrix
