// ombrix-make-demo: writes the demo disc into a folder: HVDVD_TS/FEATURE_1.EVO,
// HVDVD_TS/FEATURE_2.EVO and ADV_OBJ/VPLST000.XPL, and prints their paths.

#include "support/DemoDisc.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: ombrix-make-demo FOLDER\n");
        return 2;
    }
    try {
        const auto disc = ombrix::testing::makeDemoDisc(argv[1]);
        std::printf("%s\n%s\n%s\n", disc.feature1.c_str(), disc.feature2.c_str(), disc.playlist.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ombrix-make-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
