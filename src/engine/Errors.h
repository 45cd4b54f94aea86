#pragma once
// The program's errors: each carries the message the user sees in the error box.

#include <stdexcept>
#include <string>

namespace ombrix {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace ombrix
