#pragma once
// Cuts the playlist's bytes into tags, one line per tag, each indented by its nesting depth.
// Text between tags is not kept. The scanner's state carries over from one block of bytes to
// the next, so a tag may be split across blocks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ombrix::xpl {

class TagScanner {
  public:
    // One indent unit per level of nesting.
    static constexpr const char* kIndentUnit = "  ";
    // Indentation stops growing at this depth, so that a file that is not a playlist (where
    // "<" is seldom matched by a closing tag) can't make every line longer than the last.
    static constexpr std::int64_t kMaxIndentUnits = 64;

    // Called with each line just after it has been added.
    std::function<void(const std::string&)> onLine;

    void feed(const std::uint8_t* bytes, std::size_t count);

    std::vector<std::string>& lines() { return lines_; }
    const std::vector<std::string>& lines() const { return lines_; }
    std::int64_t depth() const { return depth_; }

  private:
    void endLine(std::uint8_t before);

    std::vector<std::string> lines_;
    std::string line_;
    bool inTag_ = false;
    std::int64_t depth_ = 0;
    std::uint8_t last_ = 0;       // the byte before the current one
    std::uint8_t beforeLast_ = 0; // the byte before that
};

} // namespace ombrix::xpl
