// One block at a time: which blocks go to the output, the new ids, the system-header bounds.

#include "rebuild/PackRewrite.h"
#include "RebuildFixtures.h"
#include "rebuild/Renumbering.h"

#include <gtest/gtest.h>

namespace ombrix::testing {
namespace {

struct PackRewriteTest : ::testing::Test {
    Window win;
    TfMain& w = win.w;
    Renumbering renumbering{w.rebuild, w.st, w};

    void SetUp() override {
        w.rebuild.reset();
        w.st.VideoKey.fill(-1);
        w.st.AudioKey.fill(-1);
        w.st.SubKey.fill(-1);
    }
    // Runs the block through the rebuild; returns whether it is written, leaves it rewritten.
    bool run(Bytes& block) {
        Bytes area = block;
        area.resize(kPackSize);
        const bool written = rebuildBlock(area.data(), renumbering, w);
        block = area;
        return written;
    }
};

enum class Family { Audio, Subpicture, None };

Family familyOf(int id) {
    auto in = [&](int lo, int hi) { return id >= lo && id <= hi; };
    if (in(0x80, 0x8F) || in(0xA0, 0xA7) || in(0xB0, 0xB7) || in(0xC0, 0xCF)) return Family::Audio;
    if (in(0x20, 0x2F) || in(0x60, 0x6F)) return Family::Subpicture;
    return Family::None;
}

// Every sub-stream id of private stream 1: the ids of the audio and subpicture boxes are left
// out when their box is not ticked and get their family's first number when it is; every other
// id is kept as it stands and gets no number.
TEST_F(PackRewriteTest, EveryPrivateStreamKeyWithABoxFollowsItsBox) {
    for (int id = 0; id < 256; ++id) {
        SCOPED_TRACE(id);
        const auto key = static_cast<std::uint8_t>(id);
        const Family family = familyOf(id);
        const bool isSub =
            family == Family::Subpicture || (id >= 0x20 && id <= 0x3F) || (id >= 0x60 && id <= 0x7F);
        auto packOf = [&](std::uint8_t k) { return isSub ? subPack(k) : audioPack(k); };
        for (bool ticked : {false, true}) {
            SetUp();
            if (family == Family::Audio) {
                w.st.AudioKey[3] = id;
                w.cbAudio[3].setChecked(ticked);
            } else if (family == Family::Subpicture) {
                w.st.SubKey[5] = id;
                w.cbSub[5].setChecked(ticked);
            }
            Bytes block = packOf(key);
            const bool written = run(block);
            if (family == Family::None) {
                EXPECT_TRUE(written);
                EXPECT_EQ(block, packOf(key));
                EXPECT_EQ(w.rebuild.NewId[key], kNoNewId);
                EXPECT_EQ(w.rebuild.NextAudio + w.rebuild.NextSub, 0);
            } else if (!ticked) {
                EXPECT_FALSE(written);
                EXPECT_EQ(w.rebuild.NewId[key], kNoNewId);
            } else {
                const int first = family == Family::Subpicture ? (id & 0xE0)
                                  : (id & 0xF0) == 0xC0        ? 0xC0
                                                               : (id & 0xF8);
                EXPECT_TRUE(written);
                EXPECT_EQ(block, packOf(static_cast<std::uint8_t>(first)));
                EXPECT_EQ(w.rebuild.NewId[key], first);
            }
        }
    }
}

// The other packets: video by extension or stream id, MPEG audio by stream id, everything else
// kept as it stands.
TEST_F(PackRewriteTest, OtherPacketsByStreamIdAndExtension) {
    struct Case {
        const char* what;
        Bytes in;
        bool written;
        Bytes out;
    };
    // Streams in no slot are kept and numbered from 0 within their kind, in this order.
    const Case cases[] = {
        {"VC-1 0x56", vc1Pack(0x56), true, vc1Pack(0x55)},
        {"VC-1 0x55", vc1Pack(0x55), true, vc1Pack(0x56)},
        {"extension 0x57", vc1Pack(0x57), true, vc1Pack(0x57)},
        {"extension 0x5F", vc1Pack(0x5F), true, vc1Pack(0x5F)},
        {"H.264 0xE3", pesPack(0xE3), true, pesPack(0xE2)},
        {"MPEG video 0xE4", pesPack(0xE4), true, pesPack(0xE4)},
        {"MPEG audio 0xD3", pesPack(0xD3), true, pesPack(0xD0)},
        {"MPEG audio 0xC7", pesPack(0xC7), true, pesPack(0xC1)},
        {"padding", paddingPack(), true, paddingPack()},
        {"private stream 2", privateStream2Pack(), true, privateStream2Pack()},
        {"not a pack", strayBlock(), false, strayBlock()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes block = c.in;
        EXPECT_EQ(run(block), c.written);
        EXPECT_EQ(block, c.out);
    }
    EXPECT_EQ(w.rebuild.NextVideo, 3);
    EXPECT_EQ(w.rebuild.NextAudio, 2);
}

// The audio counter is shared by all families, a key keeps its first number, and a stream
// id 0xC1 and a sub-stream id 0xC1 are one stream for the numbering and for the box.
TEST_F(PackRewriteTest, NumbersFollowFirstOccurrenceAcrossFamilies) {
    w.st.AudioKey = {0xC3, 0x8A, 0xA1, 0xB5, 0x82, 0xC9, 0xC1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    for (int i = 0; i < 7; ++i)
        w.cbAudio[static_cast<std::size_t>(i)].setChecked(true);
    const std::pair<Bytes, Bytes> steps[] = {
        {audioPack(0xC3), audioPack(0xC0)}, {audioPack(0x8A), audioPack(0x89)},
        {audioPack(0xA1), audioPack(0xA2)}, {audioPack(0x8A, 1), audioPack(0x89, 1)},
        {audioPack(0xB5), audioPack(0xB3)}, {audioPack(0x82), audioPack(0x84)},
        {audioPack(0xC9), audioPack(0xC5)}, {pesPack(0xC1), pesPack(0xC6)},
        {audioPack(0xC1), audioPack(0xC6)},
    };
    for (const auto& [in, out] : steps) {
        Bytes block = in;
        EXPECT_TRUE(run(block));
        EXPECT_EQ(block, out);
    }
    EXPECT_EQ(w.rebuild.NextAudio, 7);

    // Unticking slot 6 (key 0xC1) leaves out both kinds of packet.
    w.rebuild.reset();
    w.cbAudio[6].setChecked(false);
    Bytes mpeg = pesPack(0xC1), privateStream = audioPack(0xC1);
    EXPECT_FALSE(run(mpeg));
    EXPECT_FALSE(run(privateStream));
}

// The first slot that holds a key decides; a key in no slot, or the marker a playlist read
// leaves in the table, is kept whatever the boxes show.
TEST_F(PackRewriteTest, SlotSearch) {
    w.st.SubKey[0] = 1; // the playlist's marker
    w.st.SubKey[1] = 0x22;
    w.st.SubKey[2] = 0x22;
    w.st.SubKey[16] = 0x23; // a slot without a box is not searched
    w.cbSub[1].setChecked(false);
    w.cbSub[2].setChecked(true);
    Bytes twentyTwo = subPack(0x22), twentyThree = subPack(0x23), twenty = subPack(0x20);
    EXPECT_FALSE(run(twentyTwo));
    EXPECT_TRUE(run(twentyThree));
    EXPECT_EQ(twentyThree, subPack(0x20));
    EXPECT_TRUE(run(twenty));
    EXPECT_EQ(twenty, subPack(0x21));

    w.st.VideoKey[2] = 0x55; // video slots 2-15 are not searched
    Bytes video = vc1Pack(0x55);
    EXPECT_TRUE(run(video));
}

// A system header's bounds count the ticked boxes of video slots 0 and 1 and of all sixteen
// audio slots, whether or not their streams occur; the flag bits around them stay.
// A pack whose system header is followed by a media packet: the packet follows its box too.
TEST_F(PackRewriteTest, APacketAfterTheSystemHeaderFollowsItsBox) {
    const Bytes data = filler(200);
    auto makePack = [&] {
        PsBuilder b;
        b.packHeader().systemHeader(1, 2).audio(0xC1, data).padTo(kPackSize);
        return b.bytes();
    };
    const Bytes original = makePack();
    const std::size_t at = 14 + 6 + (static_cast<std::size_t>(original[18]) << 8 | original[19]);
    ASSERT_EQ(original[at + 3], 0xBD);
    const std::size_t length = static_cast<std::size_t>(original[at + 4]) << 8 | original[at + 5];
    w.st.AudioKey[1] = 0xC1;

    // Unticked: the pack stays for its system header; the packet becomes padding of its length.
    w.cbAudio[1].setChecked(false);
    Bytes left = makePack();
    EXPECT_TRUE(run(left));
    EXPECT_EQ(left[at + 3], 0xBE);
    EXPECT_EQ(left[24] & 0x1F, 0) << "no video box ticked";
    for (std::size_t i : {std::size_t{23}, std::size_t{24}}) left[i] = original[i];
    EXPECT_EQ(Bytes(left.begin() + 4, left.begin() + static_cast<std::ptrdiff_t>(at)),
              Bytes(original.begin() + 4, original.begin() + static_cast<std::ptrdiff_t>(at)))
        << "the pack and system headers (but for their bounds) stay";
    EXPECT_EQ(Bytes(left.begin() + static_cast<std::ptrdiff_t>(at + 6),
                    left.begin() + static_cast<std::ptrdiff_t>(at + 6 + length)),
              Bytes(length, 0xFF));
    EXPECT_EQ(Bytes(left.begin() + static_cast<std::ptrdiff_t>(at + 6 + length), left.end()),
              Bytes(original.begin() + static_cast<std::ptrdiff_t>(at + 6 + length), original.end()));

    // Ticked: kept and renumbered like a packet of its own pack.
    SetUp();
    w.st.AudioKey[1] = 0xC1;
    w.cbAudio[1].setChecked(true);
    Bytes kept = makePack();
    EXPECT_TRUE(run(kept));
    const std::size_t sub = at + 9 + kept[at + 8];
    EXPECT_EQ(kept[sub], 0xC0);
    kept[sub] = 0xC1;
    for (std::size_t i : {std::size_t{23}, std::size_t{24}}) kept[i] = original[i];
    EXPECT_EQ(kept, original);
}

TEST_F(PackRewriteTest, SystemHeaderBoundsCountTickedBoxes) {
    struct Case {
        std::vector<int> videoTicked, audioTicked;
        std::uint8_t byte23, byte24; // before
        std::uint8_t want23, want24;
    };
    const Case cases[] = {
        {{}, {}, 0xFF, 0xFF, 0x03, 0xE0},
        {{0}, {1, 2}, 0x0C, 0xE1, 0x08, 0xE1},
        {{0, 1}, {0, 3, 15}, 0x00, 0x00, 0x0C, 0x02},
        {{1, 2, 7}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, 0x02, 0x3F, 0x42, 0x21},
    };
    for (const auto& c : cases) {
        for (auto& cb : w.cbVideo)
            cb.setChecked(false);
        for (auto& cb : w.cbAudio)
            cb.setChecked(false);
        for (int i : c.videoTicked)
            w.cbVideo[static_cast<std::size_t>(i)].setChecked(true);
        for (int i : c.audioTicked)
            w.cbAudio[static_cast<std::size_t>(i)].setChecked(true);
        Bytes block = systemPack(1, 3);
        block[23] = c.byte23;
        block[24] = c.byte24;
        Bytes want = block;
        want[23] = c.want23;
        want[24] = c.want24;
        EXPECT_TRUE(run(block));
        EXPECT_EQ(block, want);
    }
    // The bounds are set before the pack start code is looked at: a stray block that merely
    // carries 0xBB at byte 17 is rewritten in the block area too, but never written.
    Bytes stray = strayBlock();
    stray[17] = 0xBB;
    EXPECT_FALSE(run(stray));
}

} // namespace
} // namespace ombrix::testing
