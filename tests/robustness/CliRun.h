#pragma once
// Runs the real command line (its path in OMBRIX_CLI) and collects what it shows: standard
// output by line, standard error whole, and the exit code.

#include <string>
#include <vector>

namespace ombrix::testing {

struct CliResult {
    int code = -1;
    std::vector<std::string> out;
    std::string err;
    // The paths of the "Creating " lines, in order.
    std::vector<std::string> created() const;
    bool done() const;
};

// Standard output and standard error go to files in `scratch`.
CliResult runCli(const std::string& scratch, const std::vector<std::string>& args);

} // namespace ombrix::testing
