#include "cli/CliPlatform.h"

#include "engine/Format.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace ombrix::cli {

void CliPlatform::showError(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

double CliPlatform::now() {
    // Local date and time as days since 30 December 1899.
    using namespace std::chrono;
    const auto t = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(t);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &secs);
#else
    localtime_r(&secs, &local);
#endif
    const auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000;
    return oleDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(ms) / 1000.0);
}

} // namespace ombrix::cli
