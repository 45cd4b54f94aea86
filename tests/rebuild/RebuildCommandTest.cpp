// The Rebuild command on files: the kept packs and their ids, the output name and log, the
// second file, progress, Cancel and the failures.

#include "RebuildFixtures.h"
#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sys/resource.h>

namespace ombrix::testing {
namespace {

namespace fs = std::filesystem;

Bytes prefix(const Bytes& bytes, std::size_t n) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

// Presses Rebuild and returns the error message, or "" when the command ended normally.
std::string pressRebuild(TfMain& w) {
    try {
        w.bRebuildClick();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

// The design's example: VC-1 0x55; DD+ 0xC0, DTS 0x88 and DD+ 0xC1 in audio slots 0-2;
// subpictures 0x20 and 0x21 in slots 0-1; cbVideo0, cbAudio01, cbAudio02 and cbSub01 ticked.
TEST(RebuildCommand, WorkedExampleEveryOutputPack) {
    const std::vector<Bytes> in = {
        systemPack(1, 3),     // 0
        vc1Pack(0x55, 1),     // 1
        audioPack(0xC0, 2),   // 2: left out
        audioPack(0xC1, 3),   // 3: 0xC0
        audioPack(0x88, 4),   // 4: 0x89
        subPack(0x20, 5),     // 5: left out
        subPack(0x21, 6),     // 6: 0x20
        vc1Pack(0x55, 7),     // 7
        strayBlock(),         // 8: left out
        audioPack(0xC0, 9),   // 9: left out
        audioPack(0x88, 10),  // 10: 0x89
        audioPack(0xC1, 11),  // 11: 0xC0
        privateStream2Pack(), // 12
        paddingPack(),        // 13
        systemPack(2, 5),     // 14
        subPack(0x20, 15),    // 15: left out
        subPack(0x21, 16),    // 16: 0x20
    };
    const std::vector<Bytes> want = {
        systemPack(1, 2),     vc1Pack(0x55, 1), audioPack(0xC0, 3),  audioPack(0x89, 4),
        subPack(0x20, 6),     vc1Pack(0x55, 7), audioPack(0x89, 10), audioPack(0xC0, 11),
        privateStream2Pack(), paddingPack(),    systemPack(1, 2),    subPack(0x20, 16),
    };

    Window win;
    TfMain& w = win.w;
    win.source("EXAMPLE.EVO", join(in));
    w.eWorkdir.setText(win.dir.path());
    win.streams({{0x55, true}}, {{0xC0, false}, {0x88, true}, {0xC1, true}}, {{0x20, false}, {0x21, true}});
    ASSERT_TRUE(w.bRebuild.usable());
    ASSERT_EQ(pressRebuild(w), "");

    const auto out = packsOf(readFile(win.dir.file("EXAMPLE.rebuilt.EVO")));
    ASSERT_EQ(out.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(out[i], want[i]) << "output pack " << i;
    // The bounds, spelled out: video 1, audio 2, the flag bits as they were.
    for (std::size_t i : {0u, 10u}) {
        EXPECT_EQ(out[i][24] & 0x1F, 1);
        EXPECT_EQ(out[i][23] >> 2, 2);
        EXPECT_EQ(out[i][23] & 0x03, in[0][23] & 0x03);
        EXPECT_EQ(out[i][24] & 0xE0, in[0][24] & 0xE0);
    }
    EXPECT_EQ(w.rebuild.NewId[0xC1], 0xC0);
    EXPECT_EQ(w.rebuild.NewId[0x88], 0x89);
    EXPECT_EQ(w.rebuild.NewId[0x21], 0x20);
    EXPECT_EQ(w.rebuild.NewId[0x55], 0x55);
}

// Streams that a scan numbers from 0 in the order they appear, every box ticked: the copy is
// the source without its stray blocks.
TEST(RebuildCommand, EverythingTickedAndInOrderCopiesTheSource) {
    const std::vector<Bytes> packs = {
        systemPack(2, 6),   vc1Pack(0x55),    audioPack(0xC0),  pesPack(0xE1),        audioPack(0x89),
        subPack(0x20),      audioPack(0xA2),  subPack(0x61),    audioPack(0xB3),      strayBlock(),
        audioPack(0x84),    subPack(0x22),    audioPack(0xC5),  privateStream2Pack(), paddingPack(),
        audioPack(0x89, 1), vc1Pack(0x55, 1), pesPack(0xE1, 1), subPack(0x61, 1),     audioPack(0xC0, 1),
        strayBlock(),
    };
    Bytes source = join(packs), expected;
    for (const auto& p : packs)
        if (p != strayBlock()) expected.insert(expected.end(), p.begin(), p.end());

    Window win;
    TfMain& w = win.w;
    win.source("ORDERED.EVO", source);
    w.eWorkdir.setText(win.dir.path());
    w.bCheckClick();
    const std::array<std::int32_t, 6> audio = {0xC0, 0x89, 0xA2, 0xB3, 0x84, 0xC5};
    for (std::size_t i = 0; i < audio.size(); ++i)
        ASSERT_EQ(w.st.AudioKey[i], audio[i]);
    ASSERT_EQ(w.st.VideoKey[0], 0x55);
    ASSERT_EQ(w.st.VideoKey[1], 0xE1);
    ASSERT_EQ(w.st.SubKey[1], 0x61);
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_EQ(readFile(win.dir.file("ORDERED.rebuilt.EVO")), expected);
}

// The contents of every file in a folder, by name.
std::map<std::string, Bytes> filesIn(const std::string& dir) {
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = readFile(e.path().string());
    return files;
}

// A rebuilt file scans to the kept streams, renumbered, and demuxes to the same streams as the
// source's kept ones.
TEST(RebuildCommand, RebuiltFileScansAndDemuxesToTheKeptStreams) {
    auto frames = [](std::size_t n) {
        std::vector<std::size_t> starts;
        for (std::size_t k = 0; k < n; ++k)
            starts.push_back(k * kAc3FrameSize);
        return starts;
    };
    std::vector<StreamSpec> streams = {
        {StreamSpec::Kind::Vc1Video, 0x55, vc1Frames(40, 3000), {}, 90000, 3754, true},
        {StreamSpec::Kind::Audio, 0x80, ac3Frames(30), frames(30)},
        {StreamSpec::Kind::Audio, 0xC1, ac3Frames(25), frames(25)},
        {StreamSpec::Kind::Audio, 0x8A, filler(40000, 9)},
        {StreamSpec::Kind::Subpicture, 0x20, filler(6000, 4), {0, 3000}},
        {StreamSpec::Kind::Subpicture, 0x21, filler(5000, 5), {0, 2500}},
    };
    for (std::size_t k = 0; k < 40; ++k)
        streams[0].unitStarts.push_back(k * 3000);
    // The system header gets a pack of its own, as in a disc's navigation pack, so that every
    // stream's packet is the first of its pack.
    MuxOptions options{1, 3};
    options.systemHeader = false;
    const MuxResult mux = muxPacks(streams, options);
    const Bytes file = join({systemPack(1, 3), mux.file});

    // Which of the two kept audio streams appears first decides their new numbers.
    std::size_t firstKept = 0;
    for (const auto& p : mux.packets)
        if (p.streamIndex == 2 || p.streamIndex == 3) {
            firstKept = p.streamIndex;
            break;
        }
    const std::int32_t ddPlus = firstKept == 2 ? 0xC0 : 0xC1;
    const std::int32_t dts = firstKept == 2 ? 0x89 : 0x88;

    Window src;
    src.w.cbDetails.setChecked(false);
    src.source("source.EVO", file);
    src.w.bCheckClick();
    ASSERT_EQ(src.w.st.AudioKey[0], 0x80);
    src.w.cbAudio[0].setChecked(false);
    src.w.cbSub[0].setChecked(false);
    const std::string rebuilt = src.dir.file("rebuilt");
    const std::string demuxed = src.dir.file("demuxed");
    fs::create_directory(rebuilt);
    fs::create_directory(demuxed);
    src.w.eWorkdir.setText(rebuilt);
    ASSERT_EQ(pressRebuild(src.w), "");
    src.w.eWorkdir.setText(demuxed);
    src.w.bDemuxClick();

    Window re;
    re.w.cbDetails.setChecked(false);
    re.choose(rebuilt + "/source.rebuilt.EVO");
    re.w.bCheckClick();
    std::array<std::int32_t, 16> audioKeys;
    audioKeys.fill(-1);
    audioKeys[static_cast<std::size_t>(ddPlus & 15)] = ddPlus;
    audioKeys[static_cast<std::size_t>(dts & 7)] = dts;
    EXPECT_EQ(re.w.st.AudioKey, audioKeys);
    EXPECT_EQ(re.w.st.VideoKey[0], 0x55);
    EXPECT_EQ(re.w.st.VideoKey[1], -1);
    EXPECT_EQ(re.w.st.SubKey[0], 0x20);
    for (std::size_t i = 1; i < 32; ++i)
        EXPECT_EQ(re.w.st.SubKey[i], -1);
    const std::string redemuxed = re.dir.file("out");
    fs::create_directory(redemuxed);
    re.w.eWorkdir.setText(redemuxed);
    re.w.bDemuxClick();

    // The same streams, under the names of their new slots.
    const auto before = filesIn(demuxed), after = filesIn(redemuxed);
    const std::string ddPlusSlot = firstKept == 2 ? "00" : "01", dtsSlot = firstKept == 2 ? "01" : "00";
    ASSERT_EQ(before.size(), 4u);
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after.at("source.rebuilt.VC-1.stream.0.mpv"), before.at("source.VC-1.stream.0.mpv"));
    EXPECT_EQ(after.at("source.rebuilt.DD+.stream." + ddPlusSlot + ".mpa"),
              before.at("source.DD+.stream.01.mpa"));
    EXPECT_EQ(after.at("source.rebuilt.DTSHD.stream." + dtsSlot + ".mpa"),
              before.at("source.DTSHD.stream.02.mpa"));
    EXPECT_EQ(after.at("source.rebuilt.Subpicture.00.sup"), before.at("source.Subpicture.01.sup"));
    // And those are the streams that went in.
    EXPECT_EQ(before.at("source.VC-1.stream.0.mpv"), streams[0].data);
    EXPECT_EQ(before.at("source.DD+.stream.01.mpa"), streams[2].data);
    EXPECT_EQ(before.at("source.DTSHD.stream.02.mpa"), streams[3].data);
}

// A file of `packs` padding packs: every one is kept as it stands.
Bytes paddingFile(std::size_t packs) {
    Bytes one = paddingPack(), all;
    all.reserve(packs * kPackSize);
    for (std::size_t i = 0; i < packs; ++i)
        all.insert(all.end(), one.begin(), one.end());
    return all;
}

TEST(RebuildCommand, SecondFileJoinsTheOutputWithOneNumbering) {
    // File 1 has DD+ 0xC1; file 2 adds 0xC2, which gets the next number.
    const Bytes first = join({systemPack(1, 2), audioPack(0xC1), vc1Pack()});
    const Bytes second = join({audioPack(0xC2), audioPack(0xC1, 1)});
    Window win;
    TfMain& w = win.w;
    const std::string out = win.dir.file("out"); // no separator at its end
    fs::create_directory(out);
    writeFile(win.dir.file("FEATURE_2.EVO"), second);
    win.source("FEATURE_1.EVO", first);
    w.eWorkdir.setText(out);
    w.bCheckClick();
    ASSERT_EQ(w.st.AudioKey[1], 0xC1);
    ASSERT_EQ(w.st.AudioKey[2], 0xC2);
    const std::size_t from = w.mMessage.lines().size();
    ASSERT_EQ(pressRebuild(w), "");

    const std::string name = out + "/FEATURE_1_FEATURE_2.rebuilt.EVO";
    EXPECT_EQ(win.logFrom(from),
              (std::vector<std::string>{"Opening file FEATURE_1.EVO", "File size: 0 Mbytes.",
                                        "Creating " + name, "Continue on FEATURE_2.EVO", "Done.", ""}));
    EXPECT_EQ(readFile(name),
              join({systemPack(1, 2), audioPack(0xC0), vc1Pack(), audioPack(0xC1), audioPack(0xC0, 1)}));
    EXPECT_EQ(w.StatusBar.panels[0].text, " Ready");
    EXPECT_EQ(w.StatusBar.panels[1].text, " ");
    EXPECT_TRUE(w.bRebuild.usable());
    EXPECT_TRUE(w.bDemux.usable());
    EXPECT_FALSE(w.bCancel.enabled());
    EXPECT_EQ(w.PageControl.activePage(), tsStatus);

    // Without the option, or without a second file on disk, one file and no suffix.
    w.cbContinue.setChecked(false);
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_EQ(readFile(out + "/FEATURE_1.rebuilt.EVO"), join({systemPack(1, 2), audioPack(0xC0), vc1Pack()}));
    fs::remove(win.dir.file("FEATURE_2.EVO"));
    fs::remove(out + "/FEATURE_1.rebuilt.EVO");
    w.cbContinue.setChecked(true);
    const std::size_t again = w.mMessage.lines().size();
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_EQ(readFile(out + "/FEATURE_1.rebuilt.EVO"), join({systemPack(1, 2), audioPack(0xC0), vc1Pack()}));
    EXPECT_EQ(win.logFrom(again),
              (std::vector<std::string>{"Opening file FEATURE_1.EVO", "File size: 0 Mbytes.",
                                        "Creating " + out + "/FEATURE_1.rebuilt.EVO", "Done.", ""}));
}

TEST(RebuildCommand, WithoutOutputFolderTheOutputIsTheBareNameInTheCurrentFolder) {
    Window win;
    TfMain& w = win.w;
    win.source("movie.EVO", join({vc1Pack(), audioPack(0x80)}));
    w.bCheckClick();
    w.eWorkdir.setText("");
    const fs::path before = fs::current_path();
    fs::current_path(win.dir.path());
    const std::string error = pressRebuild(w);
    fs::current_path(before);
    ASSERT_EQ(error, "");
    EXPECT_EQ(w.mMessage.lines()[w.mMessage.lines().size() - 3], "Creating .rebuilt.EVO");
    EXPECT_EQ(readFile(win.dir.file(".rebuilt.EVO")), join({vc1Pack(), audioPack(0x80)}));
}

TEST(RebuildCommand, ReplacesAnEarlierOutput) {
    Window win;
    TfMain& w = win.w;
    win.source("A.EVO", join({vc1Pack()}));
    w.eWorkdir.setText(win.dir.path() + "/");
    w.bCheckClick();
    writeFile(win.dir.file("A.rebuilt.EVO"), paddingFile(5));
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_EQ(readFile(win.dir.file("A.rebuilt.EVO")), vc1Pack());
}

// A short last block: the tests see the whole block area, only the bytes read are written.
TEST(RebuildCommand, ShortLastBlockWritesOnlyWhatWasRead) {
    Bytes tail = audioPack(0xC2);
    tail.resize(700);
    Bytes strayTail = strayBlock();
    strayTail.resize(100);
    struct Case {
        Bytes source, want;
    };
    const Case cases[] = {
        {join({audioPack(0xC1), tail}), join({audioPack(0xC0), prefix(audioPack(0xC1), 700)})},
        {join({audioPack(0xC1), strayTail}), audioPack(0xC0)},
        {tail, prefix(audioPack(0xC0), 700)},
    };
    for (const auto& c : cases) {
        Window win;
        TfMain& w = win.w;
        win.source("S.EVO", c.source);
        w.eWorkdir.setText(win.dir.path());
        win.streams({}, {{0xC1, true}, {0xC2, true}}, {});
        ASSERT_EQ(pressRebuild(w), "");
        EXPECT_EQ(readFile(win.dir.file("S.rebuilt.EVO")), c.want);
    }
}

TEST(RebuildCommand, EmptySourceGivesAnEmptyOutput) {
    Window win;
    TfMain& w = win.w;
    win.source("E.EVO", {});
    w.eWorkdir.setText(win.dir.path());
    win.streams({{0x55, true}}, {}, {});
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_TRUE(readFile(win.dir.file("E.rebuilt.EVO")).empty());
    EXPECT_EQ(win.platform.pumps, 0);
    EXPECT_EQ(w.mMessage.lines().back(), "");
}

// The progress line and the message pump come every 4 MiB of source, at the position after
// the block; the estimate starts with each file.
TEST(RebuildCommand, ProgressEveryFourMebibytes) {
    constexpr std::size_t kPacksPer4MiB = 2048;
    struct Case {
        std::size_t packs;
        std::vector<std::string> lines;
    };
    // The clock moves 10 s at every reading: 10 s spent at 4 MiB.
    const Case cases[] = {
        {kPacksPer4MiB - 1, {}},
        {kPacksPer4MiB, {" Rebuilding P.EVO 4/4 Mbytes, Remaining time: 0:00:01"}},
        {2 * kPacksPer4MiB + 1,
         {" Rebuilding P.EVO 4/8 Mbytes, Remaining time: 0:00:11",
          " Rebuilding P.EVO 8/8 Mbytes, Remaining time: 0:00:01"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.packs);
        Window win;
        TfMain& w = win.w;
        win.source("P.EVO", paddingFile(c.packs));
        w.eWorkdir.setText(win.dir.path());
        win.streams({{0x55, true}}, {}, {});
        win.platform.clockStep = 10.0 / 86400.0;
        win.progress.clear();
        std::vector<bool> cancelShown;
        win.platform.onPump = [&] { cancelShown.push_back(w.bCancel.usable()); };
        ASSERT_EQ(pressRebuild(w), "");
        std::vector<std::string> lines;
        for (const auto& t : win.progress)
            if (t.rfind(" Rebuilding", 0) == 0) lines.push_back(t);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(win.platform.pumps, static_cast<int>(c.lines.size()));
        EXPECT_EQ(cancelShown, std::vector<bool>(c.lines.size(), true));
        EXPECT_EQ(readFile(win.dir.file("P.rebuilt.EVO")).size(), c.packs * kPackSize);
    }
}

// Cancel asks first; No goes on, Yes ends the copy after the block in hand, the second file
// is not started, and the command ends normally.
TEST(RebuildCommand, CancelAsksAndStopsAfterTheBlockInHand) {
    Window win;
    TfMain& w = win.w;
    writeFile(win.dir.file("FEATURE_2.EVO"), paddingFile(10));
    win.source("FEATURE_1.EVO", paddingFile(3 * 2048));
    w.eWorkdir.setText(win.dir.path());
    win.streams({{0x55, true}}, {}, {});
    win.platform.answers = {false, true};
    win.platform.onPump = [&] { w.bCancelClick(); };
    const std::size_t from = w.mMessage.lines().size();
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_EQ(win.platform.questions,
              (std::vector<std::string>{"Are you sure to stop demuxing?", "Are you sure to stop demuxing?"}));
    EXPECT_EQ(readFile(win.dir.file("FEATURE_1_FEATURE_2.rebuilt.EVO")), paddingFile(2 * 2048));
    const auto lines = win.logFrom(from);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "Done.");
    EXPECT_TRUE(w.st.DemuxMode);
    EXPECT_FALSE(w.bCancel.enabled());
    EXPECT_TRUE(w.bRebuild.usable());
}

// While the copy runs, the commands and boxes that would disturb it are held back, and a close
// of the window waits for the command to end.
TEST(RebuildCommand, HoldsBackOtherCommandsAndClosesAfterwards) {
    Window win;
    TfMain& w = win.w;
    win.source("H.EVO", paddingFile(2048));
    w.eWorkdir.setText(win.dir.path());
    win.streams({{0x55, true}}, {{0xC0, true}}, {});
    bool held = false, closedAtOnce = true;
    win.platform.onPump = [&] {
        held = !w.bCheck.usable() && !w.bDemux.usable() && !w.bRebuild.usable() && !w.bbEVO.usable() &&
               !w.cbAudio[0].usable() && w.passRunning();
        closedAtOnce = w.FormClose();
        w.cbAudio[0].click(); // held: the tick stays
    };
    ASSERT_EQ(pressRebuild(w), "");
    EXPECT_TRUE(held);
    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(win.platform.closed);
    EXPECT_TRUE(w.cbAudio[0].checked());
    EXPECT_FALSE(w.passRunning());
}

TEST(RebuildCommand, SourceThatCannotBeOpenedCreatesNoOutput) {
    Window win;
    TfMain& w = win.w;
    const std::string missing = win.dir.file("GONE.EVO");
    win.choose(missing);
    w.eWorkdir.setText(win.dir.path());
    win.streams({{0x55, true}}, {}, {});
    const std::size_t from = w.mMessage.lines().size();
    EXPECT_EQ(pressRebuild(w), "Cannot open file \"" + missing + "\". No such file or directory.");
    EXPECT_FALSE(fs::exists(win.dir.file("GONE.rebuilt.EVO")));
    EXPECT_EQ(win.logFrom(from), std::vector<std::string>{"Opening file GONE.EVO"});
    // The window is usable again at once.
    EXPECT_FALSE(w.passRunning());
    EXPECT_TRUE(w.bRebuild.usable());
    EXPECT_TRUE(w.bDemux.usable());
    EXPECT_FALSE(w.bCancel.enabled());
}

TEST(RebuildCommand, OutputThatCannotBeCreatedClosesTheSource) {
    Window win;
    TfMain& w = win.w;
    win.source("X.EVO", vc1Pack());
    const std::string folder = win.dir.file("no such folder");
    w.eWorkdir.setText(folder);
    win.streams({{0x55, true}}, {}, {});
    EXPECT_EQ(pressRebuild(w),
              "Cannot create file \"" + folder + "/X.rebuilt.EVO\". No such file or directory.");
    EXPECT_FALSE(w.st.InFile);
    EXPECT_FALSE(w.st.VideoOut[0]);
    EXPECT_NE(w.mMessage.lines().back(), "Done.");
}

// A write that fails ends the command with "Stream write error"; the output keeps every byte
// that went out before. The file size limit of the process makes the disk "full".
TEST(RebuildCommand, WriteErrorKeepsWhatWasWritten) {
    Window win;
    TfMain& w = win.w;
    const Bytes source = paddingFile(1536); // 3 MiB
    win.source("W.EVO", source);
    w.eWorkdir.setText(win.dir.path());
    win.streams({{0x55, true}}, {}, {});

    constexpr rlim_t kLimit = 1048576 + 1000;
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = kLimit;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string error = pressRebuild(w);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "Stream write error");
    EXPECT_FALSE(w.st.InFile);
    EXPECT_FALSE(w.st.VideoOut[0]);
    EXPECT_NE(w.mMessage.lines().back(), "Done.");
    EXPECT_EQ(readFile(win.dir.file("W.rebuilt.EVO")), prefix(source, kLimit));
}

} // namespace
} // namespace ombrix::testing
