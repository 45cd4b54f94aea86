#include "xpl/TagScanner.h"

namespace ombrix::xpl {

void TagScanner::feed(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t c = bytes[i];
        if (c == '<') {
            inTag_ = true;
            ++depth_;
        }
        if (inTag_) {
            if (c >= 32)
                line_ += static_cast<char>(c);
            else if (line_.empty() || line_.back() != ' ')
                line_ += ' '; // a run of control codes (line breaks, tabs) becomes one space
        }
        if (c == '/' && last_ == '<') {
            // A closing tag: it stands one level to the left of what it closes.
            depth_ -= 2;
            line_.erase(0, 2);
        }
        if (c == '>') endLine(last_);
        beforeLast_ = last_;
        last_ = c;
    }
}

void TagScanner::endLine(std::uint8_t before) {
    inTag_ = false;
    lines_.push_back(line_);
    if (onLine) onLine(lines_.back());
    line_.clear();
    // "/>", "?>" and "-->" end a tag that opens no level.
    if (before == '/') --depth_;
    if (before == '?') --depth_;
    if (before == '-' && beforeLast_ == '-') --depth_;
    if (depth_ > 0) {
        const std::int64_t units = depth_ < kMaxIndentUnits ? depth_ : kMaxIndentUnits;
        for (std::int64_t u = 0; u < units; ++u)
            line_ += kIndentUnit;
    }
}

} // namespace ombrix::xpl
