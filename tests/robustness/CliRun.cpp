#include "CliRun.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace ombrix::testing {
namespace {

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

std::vector<std::string> CliResult::created() const {
    const std::string prefix = "Creating ";
    std::vector<std::string> paths;
    for (const auto& l : out)
        if (l.rfind(prefix, 0) == 0) paths.push_back(l.substr(prefix.size()));
    return paths;
}

bool CliResult::done() const {
    return std::find(out.begin(), out.end(), "Done.") != out.end();
}

CliResult runCli(const std::string& scratch, const std::vector<std::string>& args) {
    const char* exe = std::getenv("OMBRIX_CLI");
    if (!exe) throw std::runtime_error("OMBRIX_CLI does not name the command line");
    const std::string outPath = (std::filesystem::path(scratch) / "cli.stdout").string();
    const std::string errPath = (std::filesystem::path(scratch) / "cli.stderr").string();
    std::string cmd = quote(exe);
    for (const auto& a : args)
        cmd += " " + quote(a);
    cmd += " >" + quote(outPath) + " 2>" + quote(errPath) + " </dev/null";
    const int status = std::system(cmd.c_str());
    CliResult r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream out(outPath);
    for (std::string l; std::getline(out, l);)
        r.out.push_back(l);
    std::ifstream err(errPath);
    std::stringstream ss;
    ss << err.rdbuf();
    r.err = ss.str();
    return r;
}

} // namespace ombrix::testing
