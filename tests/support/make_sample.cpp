// Writes a small sample disc with the test builder: a feature split over
// HVDVD_TS/FEATURE_1.EVO and HVDVD_TS/FEATURE_2.EVO.

#include "support/SampleDisc.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: ombrix-make-sample FOLDER\n");
        return 2;
    }
    try {
        const auto folder = std::filesystem::path(argv[1]) / "HVDVD_TS";
        const auto pair = ombrix::testing::makeFeaturePair(folder.string(), 480, 6000);
        std::printf("%s\n%s\n", pair.first.path.c_str(), pair.second.path.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ombrix-make-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}
