#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <cstdint>
#include <string>
#include <vector>

namespace ombrix::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with a name by the system's separator.
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

std::vector<std::uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace ombrix::testing
