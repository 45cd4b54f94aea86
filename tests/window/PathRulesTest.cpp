#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"
#include "window/PathRules.h"

#include <gtest/gtest.h>

namespace ombrix {
namespace {

using testing::HeadlessPlatform;

struct EvoCase {
    const char* field;
    const char* evoDir;
    const char* evoName;
    const char* outBase;
    const char* xplField;
    const char* xplDir; // nullptr: unchanged
};

const EvoCase kEvoCases[] = {
    {R"(E:\HVDVD_TS\FEATURE_1.EVO)", R"(E:\HVDVD_TS\)", "FEATURE_1.EVO", "FEATURE_1", R"(E:\ADV_OBJ\VPLST000.XPL)",
     R"(E:\ADV_OBJ\)"},
    {R"(D:\Rips\Disc\HVDVD_TS\FEATURE_2.EVO)", R"(D:\Rips\Disc\HVDVD_TS\)", "FEATURE_2.EVO", "FEATURE_2",
     R"(D:\Rips\Disc\ADV_OBJ\VPLST000.XPL)", R"(D:\Rips\Disc\ADV_OBJ\)"},
    {R"(D:\Rips\movie.evo)", R"(D:\Rips\)", "movie.evo", "movie", "VPLST000.XPL", nullptr},
    {R"(E:\hvdvd_ts\FEATURE_1.EVO)", R"(E:\hvdvd_ts\)", "FEATURE_1.EVO", "FEATURE_1", "VPLST000.XPL", nullptr},
    {R"(F:\VIDEO_TS\VTS_01_1.VOB)", R"(F:\VIDEO_TS\)", "VTS_01_1.VOB", "VTS_01_1", "VPLST000.XPL", nullptr},
    {R"(E:\FEATURE_1.EVO)", R"(E:\)", "FEATURE_1.EVO", "FEATURE_1", "VPLST000.XPL", nullptr},
    // The same rules with the system's own separators.
    {"/media/disc/HVDVD_TS/FEATURE_1.EVO", "/media/disc/HVDVD_TS/", "FEATURE_1.EVO", "FEATURE_1",
     "/media/disc/ADV_OBJ/VPLST000.XPL", "/media/disc/ADV_OBJ/"},
    {"/rips/movie.evo", "/rips/", "movie.evo", "movie", "VPLST000.XPL", nullptr},
    {"/rips/hvdvd_ts/FEATURE_1.EVO", "/rips/hvdvd_ts/", "FEATURE_1.EVO", "FEATURE_1", "VPLST000.XPL", nullptr},
};

TEST(EvoPathRule, WorkedExamples) {
    for (const auto& c : kEvoCases) {
        HeadlessPlatform p;
        TfMain w(p);
        w.st.XPLdir = "earlier";
        w.eEVOfile.setText(c.field);
        w.EVOadj();
        EXPECT_EQ(w.st.EVOdir, c.evoDir) << c.field;
        EXPECT_EQ(w.st.EVOname, c.evoName) << c.field;
        EXPECT_EQ(w.st.OutBase, c.outBase) << c.field;
        EXPECT_EQ(w.eXPLfile.text(), c.xplField) << c.field;
        EXPECT_EQ(w.st.XPLdir, c.xplDir ? c.xplDir : "earlier") << c.field;
        EXPECT_EQ(w.odEVOfile.initialDir, c.evoDir);
        EXPECT_TRUE(w.bCheck.enabled());
        // Read XPL follows XPLname, which only the disc layout sets here.
        EXPECT_EQ(w.bReadXPL.enabled(), c.xplDir != nullptr) << c.field;
        if (c.xplDir) {
            EXPECT_EQ(w.st.XPLname, "VPLST000.XPL");
            EXPECT_EQ(w.odXPL.fileName, "VPLST000.XPL");
            EXPECT_EQ(w.odXPL.initialDir, c.xplDir);
        }
    }
}

TEST(XplPathRule, WorkedExamples) {
    struct Case {
        const char* field;
        const char* xplName;
        const char* xplDir;
        const char* evoDir; // nullptr: unchanged
    } cases[] = {
        {R"(E:\ADV_OBJ\VPLST000.XPL)", "VPLST000.XPL", R"(E:\ADV_OBJ\)", R"(E:\HVDVD_TS\)"},
        {R"(D:\Rips\Disc\ADV_OBJ\VPLST000.XPL)", "VPLST000.XPL", R"(D:\Rips\Disc\ADV_OBJ\)",
         R"(D:\Rips\Disc\HVDVD_TS\)"},
        {R"(D:\Copy\VPLST000.XPL)", "VPLST000.XPL", R"(D:\Copy\)", nullptr},
        {"/media/disc/ADV_OBJ/VPLST000.XPL", "VPLST000.XPL", "/media/disc/ADV_OBJ/", "/media/disc/HVDVD_TS/"},
        {"/copy/adv_obj/VPLST000.XPL", "VPLST000.XPL", "/copy/adv_obj/", nullptr},
    };
    for (const auto& c : cases) {
        HeadlessPlatform p;
        TfMain w(p);
        w.st.EVOdir = "earlier";
        w.eXPLfile.setText(c.field);
        w.XPLadj();
        EXPECT_EQ(w.st.XPLname, c.xplName);
        EXPECT_EQ(w.st.XPLdir, c.xplDir);
        EXPECT_EQ(w.st.EVOdir, c.evoDir ? c.evoDir : "earlier") << c.field;
        EXPECT_TRUE(w.bReadXPL.enabled());
        EXPECT_EQ(w.eEVOfile.text(), "") << "the EVO field is not changed";
    }
}

TEST(SecondFile, CandidateNames) {
    struct Case {
        const char* name;
        const char* candidate;
    } cases[] = {
        {"FEATURE_1.EVO", "FEATURE_2.EVO"}, {"FEATURE_0.EVO", "FEATURE_1.EVO"}, {"FEATURE_9.EVO", ""},
        {"FEATURE_1A.EVO", "FEATURE_2A.EVO"}, {"PART2_A.EVO", "PART3_A.EVO"}, {"MY_FEATURE_1.EVO", ""},
        {"FEATURE.EVO", ""},                {"_1.EVO", "_2.EVO"},           {"_A.EVO", ""},
        {"FEATURE_", ""},                   {"8_x", "9_x"},
    };
    for (const auto& c : cases) {
        const std::string expected = *c.candidate ? std::string(R"(E:\HVDVD_TS\)") + c.candidate : "";
        EXPECT_EQ(secondCandidate(std::string(R"(E:\HVDVD_TS\)") + c.name), expected) << c.name;
        const std::string posix = *c.candidate ? std::string("/disc/HVDVD_TS/") + c.candidate : "";
        EXPECT_EQ(secondCandidate(std::string("/disc/HVDVD_TS/") + c.name), posix) << c.name;
    }
}

TEST(SecondFile, IsTheCandidateOnlyWhenItExists) {
    testing::TempDir dir;
    HeadlessPlatform p;
    TfMain w(p);
    testing::writeFile(dir.file("FEATURE_1.EVO"), {});
    EXPECT_EQ(w.getsecond(dir.file("FEATURE_1.EVO")), "");
    testing::writeFile(dir.file("FEATURE_2.EVO"), {});
    EXPECT_EQ(w.getsecond(dir.file("FEATURE_1.EVO")), dir.file("FEATURE_2.EVO"));
    EXPECT_EQ(w.getsecond(dir.file("FEATURE_2.EVO")), "");
}

TEST(PathParts, CutExtAndTheFileNameParts) {
    EXPECT_EQ(CutExt("FEATURE_1.EVO"), "FEATURE_1");
    EXPECT_EQ(CutExt("a.b.evo"), "a.b");
    EXPECT_EQ(CutExt("noext"), "noext");
    EXPECT_EQ(CutExt(".EVO"), "");
    EXPECT_EQ(CutExt(R"(C:\dir.x\file)"), R"(C:\dir.x\file)");
    EXPECT_EQ(CutExt("/dir.x/file"), "/dir.x/file");
    EXPECT_EQ(ExtractFileName("E:FEATURE_1.EVO"), "FEATURE_1.EVO");
    EXPECT_EQ(ExtractFilePath("E:FEATURE_1.EVO"), "E:");
    EXPECT_EQ(ExtractFileExt("movie.evo"), ".evo");
    EXPECT_EQ(withTrailingSeparator(R"(C:\out)"), R"(C:\out\)");
    EXPECT_EQ(withTrailingSeparator(R"(C:\out\)"), R"(C:\out\)");
    EXPECT_EQ(withTrailingSeparator("/out/"), "/out/");
    EXPECT_EQ(withTrailingSeparator("/out"), std::string("/out") + nativeSeparator());
}

} // namespace
} // namespace ombrix
