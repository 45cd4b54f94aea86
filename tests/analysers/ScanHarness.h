#pragma once
// A Read EVO with "Detailed info" on a built file, as the user runs it, and the report blocks
// of its log.

#include "support/HeadlessPlatform.h"
#include "support/PsBuilder.h"
#include "window/Main.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrix::testing {

// The log of a Read EVO of `path` (Count frames off, Detailed info on).
inline std::vector<std::string> scanLog(const std::string& path, char decimal = '.') {
    HeadlessPlatform platform;
    platform.decimal = decimal;
    TfMain w(platform);
    w.FormShow();
    w.FormActivate();
    w.cbCountFr.setChecked(false);
    w.cbDetails.setChecked(true);
    w.WMDropFiles({path});
    w.bCheckClick();
    if (!platform.errors.empty()) return {"error: " + platform.errors.front()};
    return w.mMessage.lines();
}

// The lines that follow a found line: its report, up to the next line that is not indented.
inline std::vector<std::string> reportBlock(const std::vector<std::string>& log,
                                            const std::string& foundLine) {
    std::vector<std::string> block;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] != foundLine) continue;
        for (std::size_t j = i + 1; j < log.size() && !log[j].empty() && log[j][0] == ' '; ++j)
            block.push_back(log[j]);
        break;
    }
    return block;
}

// Offsets in data where `pattern` starts.
inline std::vector<std::size_t> findAll(const Bytes& data, const Bytes& pattern) {
    std::vector<std::size_t> at;
    if (pattern.empty() || data.size() < pattern.size()) return at;
    for (std::size_t i = 0; i + pattern.size() <= data.size(); ++i)
        if (std::equal(pattern.begin(), pattern.end(), data.begin() + static_cast<std::ptrdiff_t>(i)))
            at.push_back(i);
    return at;
}

} // namespace ombrix::testing
