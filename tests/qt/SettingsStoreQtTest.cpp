// The settings in QSettings, saved by one process and loaded by a fresh one: QSettings keeps
// the types of what it wrote within a process, so only a new process sees what the
// configuration file gives back. The test binary runs itself with "--child" for that.

#include "qt/SettingsStoreQt.h"
#include "engine/Errors.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"
#include "window/Main.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace ombrix {
namespace {

const std::vector<std::string> kNames = {"WindowState", "Top",      "Left",     "Width",     "Height",
                                         "TreeWidth",   "AudioExt", "VideoExt", "SubExt",    "Workdir",
                                         "EVOdir",      "XPLdir",   "Continue", "FastCheck", "CountFrames",
                                         "Details",     "Install"};

class QtStorePlatform : public testing::HeadlessPlatform {
  public:
    QtStorePlatform() = default;
    QtStorePlatform(const QString& application, qt::SettingsStoreQt::Backend backend)
        : qtStore("Quillmoor Software", application, backend) {}
    qt::SettingsStoreQt qtStore;
    SettingsStore& settings() override { return qtStore; }
};

// What the window shows of its settings, one line each.
std::string describe(TfMain& w) {
    std::ostringstream os;
    os << "frame " << w.frame.left << ' ' << w.frame.top << ' ' << w.frame.width << 'x' << w.frame.height
       << " state " << w.frame.state << '\n'
       << "tree " << w.tvXPL.width() << '\n'
       << "ext [" << w.eVideoExt.text() << "] [" << w.eAudioExt.text() << "] [" << w.eSubExt.text() << "]\n"
       << "workdir [" << w.eWorkdir.text() << "]\n"
       << "dirs [" << w.st.EVOdir << "] [" << w.st.XPLdir << "]\n"
       << "options " << w.cbContinue.checked() << w.cbFastCheck.checked() << w.cbCountFr.checked()
       << w.cbDetails.checked() << '\n';
    return os.str();
}

const std::string kDefaultLook = "frame 0 0 370x380 state 0\n"
                                 "tree 96\n"
                                 "ext [mpv] [mpa] [sup]\n"
                                 "workdir []\n"
                                 "dirs [] []\n"
                                 "options 1111\n";

// --- the child's side ------------------------------------------------------------------------

void customise(TfMain& w) {
    w.frame.left = 120;
    w.frame.top = -8;
    w.frame.width = 640;
    w.frame.height = 512;
    w.tvXPL.setWidth(150);
    w.eVideoExt.setText("264");
    w.eAudioExt.setText("ac3");
    w.eSubExt.setText("'sup");
    w.eWorkdir.setText("/home/ann/Filme/\xC3\x9C"
                       "ber 2024 ");
    w.st.EVOdir = "@media/";
    w.st.XPLdir = "";
    w.cbContinue.setChecked(false);
    w.cbCountFr.setChecked(false);
}

// save <scenario>: a session that closes after the scenario's changes. load: a session that
// starts and shows what it loaded. values: each stored value with its type.
int child(const std::string& mode, const std::string& scenario) {
    QtStorePlatform platform;
    if (mode == "save") {
        TfMain w(platform);
        w.FormActivate();
        if (scenario == "custom") {
            platform.clock = 46372.625;
            customise(w);
        } else if (scenario == "maximised") {
            platform.clock = 46400.25;
            w.frame.state = WindowFrame::Maximized;
            w.frame.left = w.frame.top = 0;
            w.frame.width = 1920;
            w.frame.height = 1080;
            w.eAudioExt.setText("eac3");
        }
        w.FormClose();
        return 0;
    }
    if (mode == "load") {
        TfMain w(platform);
        try {
            w.FormActivate();
        } catch (const Error& e) {
            std::cout << "error: " << e.what() << '\n';
        }
        std::cout << describe(w);
        return 0;
    }
    if (mode == "values") {
        SettingsStore& store = platform.qtStore;
        if (!store.openKey(false)) {
            std::cout << "no key\n";
            return 0;
        }
        for (const std::string& name : kNames) {
            std::cout << name << ':';
            switch (store.valueType(name).value_or(SettingsStore::Type::Other)) {
            case SettingsStore::Type::Integer:
                std::cout << " integer " << store.readInteger(name);
                break;
            case SettingsStore::Type::String:
                std::cout << " string [" << store.readString(name) << ']';
                break;
            case SettingsStore::Type::Binary:
                std::cout << " binary";
                for (std::uint8_t b : store.readBinary(name))
                    std::cout << ' ' << int(b);
                break;
            case SettingsStore::Type::Other:
                std::cout << (store.valueExists(name) ? " other" : " missing");
                break;
            }
            std::cout << '\n';
        }
        store.closeKey();
        return 0;
    }
    return 2;
}

// --- the parent's side -----------------------------------------------------------------------

class SettingsStoreQtTest : public ::testing::Test {
  protected:
    testing::TempDir config;

    std::string confFile() const { return config.path() + "/Quillmoor Software/Ombrix.conf"; }

    std::string run(const std::string& mode, const std::string& scenario = "") {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path()));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(),
                {"--child", QString::fromStdString(mode), QString::fromStdString(scenario)});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput().toStdString();
    }

    void writeConf(const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(confFile()).parent_path());
        testing::writeFile(confFile(), std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    std::string conf() const {
        const auto bytes = testing::readFile(confFile());
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(SettingsStoreQtTest, FirstRunLoadsTheDefaultsAndFindsNoKey) {
    EXPECT_EQ(run("load"), kDefaultLook);
    EXPECT_EQ(run("values"), "no key\n");
    EXPECT_FALSE(std::filesystem::exists(confFile()));
}

TEST_F(SettingsStoreQtTest, SavedValuesComeBackInAFreshProcessWithTheirTypes) {
    run("save", "custom");
    EXPECT_EQ(run("values"), "WindowState: integer 0\n"
                             "Top: integer -8\n"
                             "Left: integer 120\n"
                             "Width: integer 640\n"
                             "Height: integer 512\n"
                             "TreeWidth: integer 150\n"
                             "AudioExt: string [ac3]\n"
                             "VideoExt: string [264]\n"
                             "SubExt: string ['sup]\n"
                             "Workdir: string [/home/ann/Filme/\xC3\x9C"
                             "ber 2024 ]\n"
                             "EVOdir: string [@media/]\n"
                             "XPLdir: string []\n"
                             "Continue: integer 0\n"
                             "FastCheck: integer 1\n"
                             "CountFrames: integer 0\n"
                             "Details: integer 1\n"
                             "Install: binary 0 0 0 0 148 164 230 64\n");
    EXPECT_EQ(run("load"), "frame 120 -8 640x512 state 0\n"
                           "tree 150\n"
                           "ext [264] [ac3] ['sup]\n"
                           "workdir [/home/ann/Filme/\xC3\x9C"
                           "ber 2024 ]\n"
                           "dirs [@media/] []\n"
                           "options 0101\n");

    // Numbers and on/off values are plain numbers in the file; texts that would read as numbers
    // or start with the apostrophe carry one apostrophe in front.
    const std::string text = conf();
    for (const char* line :
         {"\nWidth=640\n", "\nTop=-8\n", "\nContinue=0\n", "\nFastCheck=1\n", "\nCountFrames=0\n",
          "\nVideoExt='264\n", "\nSubExt=''sup\n", "\nAudioExt=ac3\n", "\nEVOdir=@@media/\n", "\nXPLdir=\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST_F(SettingsStoreQtTest, MaximisedSaveKeepsTheBoundsAndInstallStaysAsFirstWritten) {
    run("save", "custom");
    run("save", "maximised");
    const std::string values = run("values");
    for (const char* line :
         {"WindowState: integer 2\n", "Top: integer -8\n", "Left: integer 120\n", "Width: integer 640\n",
          "Height: integer 512\n", "AudioExt: string [eac3]\n", "Install: binary 0 0 0 0 148 164 230 64\n"})
        EXPECT_NE(values.find(line), std::string::npos) << line << " in\n" << values;
    EXPECT_EQ(run("load").substr(0, 30), "frame 120 -8 640x512 state 2\nt");
}

TEST_F(SettingsStoreQtTest, HandWrittenFilesLoadOrStopAtTheFirstWrongTypedValue) {
    using namespace std::string_literals;
    struct Case {
        std::string file;
        std::string error; // empty: none
        std::string look;
    } cases[] = {
        {"[General]\n", "", kDefaultLook},
        {"[General]\nFastCheck=0\n", "",
         "frame 0 0 370x380 state 0\ntree 96\next [mpv] [mpa] [sup]\nworkdir []\n"
         "dirs [] []\noptions 1011\n"},
        {"[General]\nWidth=200\nHeight=900\nTop=-20\nContinue=-1\nDetails=0\nVideoExt='0\nInstall=x\n", "",
         "frame 0 -20 370x900 state 0\ntree 96\next [0] [mpa] [sup]\nworkdir []\ndirs [] []\noptions 1110\n"},
        {"[General]\nWidth=abc\nHeight=900\n", "Width", kDefaultLook},
        {"[General]\nWidth=@ByteArray(640)\n", "Width", kDefaultLook},
        {"[General]\nWidth=2147483648\n", "Width", kDefaultLook},
        {"[General]\nWidth=640\nTreeWidth=wide\nAudioExt=ac3\n", "TreeWidth",
         "frame 0 0 640x380 state 0\ntree 96\next [mpv] [mpa] [sup]\nworkdir []\ndirs [] []\noptions 1111\n"},
        {"[General]\nAudioExt=ac3\nVideoExt=264\nSubExt=sub\n", "VideoExt",
         "frame 0 0 370x380 state 0\ntree 96\next [mpv] [ac3] [sup]\nworkdir []\ndirs [] []\noptions 1111\n"},
        {"[General]\nHeight=@Rect(1 2 3 4)\n", "Height", kDefaultLook},
        // Damaged lines are skipped; what can be read still loads.
        {"\0\xff\xfe[Gen\n=\x01\x02\nWidth\n\\x\n[General]\nTop=5\n"s, "",
         "frame 0 5 370x380 state 0\ntree 96\next [mpv] [mpa] [sup]\nworkdir []\ndirs [] []\noptions 1111\n"},
        {"[General]\nContinue=0\nDetails=true\n", "Details",
         "frame 0 0 370x380 state 0\ntree 96\next [mpv] [mpa] [sup]\nworkdir []\ndirs [] []\noptions 0111\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeConf(c.file);
        const std::string expected =
            (c.error.empty() ? "" : "error: Invalid data type for '" + c.error + "'\n") + c.look;
        EXPECT_EQ(run("load"), expected);
    }
}

// In a backend that keeps the kinds apart (the registry), a number-like text stays a plain
// text and a text where a number belongs is told by its type. Within one process QSettings
// hands back the types it was given, which stands in for such a backend here.
TEST(SettingsStoreQtTyped, TextsStayPlainAndTextWhereANumberBelongsIsWrong) {
    qt::SettingsStoreQt store("Quillmoor Software", "Ombrix typed", qt::SettingsStoreQt::Backend::Typed);
    ASSERT_TRUE(store.openKey(true));
    store.writeString("VideoExt", "264");
    store.writeString("SubExt", "'sup");
    store.writeInteger("Width", 640);
    store.writeOnOff("Details", false);
    store.closeKey();

    QSettings raw("Quillmoor Software", "Ombrix typed");
    EXPECT_EQ(raw.value("VideoExt"), QVariant(QString("264")));
    EXPECT_EQ(raw.value("SubExt"), QVariant(QString("'sup")));
    EXPECT_EQ(raw.value("Width"), QVariant(640));
    EXPECT_EQ(raw.value("Details"), QVariant(0));

    ASSERT_TRUE(store.openKey(false));
    EXPECT_EQ(store.valueType("VideoExt"), SettingsStore::Type::String);
    EXPECT_EQ(store.readString("VideoExt"), "264");
    EXPECT_EQ(store.readString("SubExt"), "'sup");
    EXPECT_EQ(store.readInteger("Width"), 640);
    EXPECT_FALSE(store.readOnOff("Details"));
    store.closeKey();

    raw.setValue("Height", QString("640"));
    raw.sync();
    QtStorePlatform platform("Ombrix typed", qt::SettingsStoreQt::Backend::Typed);
    TfMain w(platform);
    try {
        w.RegRead();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Height'");
    }
    EXPECT_EQ(w.frame.width, 640);
    EXPECT_EQ(w.frame.height, 380);
}

} // namespace
} // namespace ombrix

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child") {
        QCoreApplication app(argc, argv);
        return ombrix::child(argv[2], argc >= 4 ? argv[3] : "");
    }
    // The parent's own QSettings (the typed test) write in a folder of their own.
    ombrix::testing::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
