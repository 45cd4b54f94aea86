#include "support/DemoDisc.h"

#include "analysers/HeaderFixtures.h"

#include <algorithm>
#include <filesystem>

namespace ombrix::testing {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFrameSize = 6000;
constexpr std::size_t kGop = 24;               // a sequence header every 24 frames
constexpr std::size_t kDdPlusFrameSize = 2560; // 640 kbit/s, 1536 samples at 48 kHz
constexpr std::uint32_t kDdPlusTicks = 2880;   // 32 ms
constexpr std::size_t kDtsFrameSize = 2048;    // 1536 kbit/s, 512 samples at 48 kHz
constexpr std::uint32_t kDtsTicks = 960;       // 10.67 ms
constexpr std::size_t kSubUnitSize = 3000;
constexpr std::uint32_t kSubTicks = 2 * 90000; // one subpicture every two seconds

// One unit of `size` bytes: `head`, then filler free of start codes.
Bytes unit(const Bytes& head, std::size_t size, std::uint32_t phase) {
    Bytes out = head;
    const Bytes rest = filler(size - head.size(), phase);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

StreamSpec video(std::uint64_t firstPts) {
    StreamSpec s{.kind = StreamSpec::Kind::Vc1Video, .id = 0x55};
    const vc1::Vc1Sequence sequence; // 1920x1080 Advanced Profile, 24000/1001
    const Bytes picture = {0x00, 0x00, 0x01, 0x0D};
    for (std::size_t k = 0; k < kDemoFramesPerFile; ++k) {
        s.unitStarts.push_back(s.data.size());
        const Bytes head =
            k % kGop == 0 ? vc1::sequenceHeader(sequence) + vc1::entryPoint() + picture : picture;
        const Bytes frame = unit(head, kFrameSize, static_cast<std::uint32_t>(k));
        s.data.insert(s.data.end(), frame.begin(), frame.end());
    }
    s.firstPts = firstPts;
    s.ptsStep = kDemoFrameTicks;
    s.withDts = true;
    s.pstd = StreamSpec::Pstd::EveryPacket;
    return s;
}

StreamSpec audio(std::uint8_t id, const Bytes& header, std::size_t frameSize, std::uint32_t ticks,
                 std::uint64_t firstPts) {
    StreamSpec s{.kind = StreamSpec::Kind::Audio, .id = id};
    const std::size_t frames = kDemoFramesPerFile * kDemoFrameTicks / ticks;
    for (std::size_t k = 0; k < frames; ++k) {
        s.unitStarts.push_back(s.data.size());
        const Bytes frame = unit(header, frameSize, static_cast<std::uint32_t>(k + id));
        s.data.insert(s.data.end(), frame.begin(), frame.end());
    }
    s.firstPts = firstPts;
    s.ptsStep = ticks;
    return s;
}

StreamSpec subpicture(std::uint8_t id, std::uint64_t firstPts) {
    StreamSpec s{.kind = StreamSpec::Kind::Subpicture, .id = id};
    const std::size_t units = kDemoFramesPerFile * kDemoFrameTicks / kSubTicks;
    for (std::size_t k = 0; k < units; ++k) {
        s.unitStarts.push_back(s.data.size());
        // A subpicture unit begins with its size and the offset of its control sequence.
        const Bytes head = {static_cast<std::uint8_t>(kSubUnitSize >> 8),
                            static_cast<std::uint8_t>(kSubUnitSize), 0x0B, 0x00};
        const Bytes u = unit(head, kSubUnitSize, static_cast<std::uint32_t>(k + id));
        s.data.insert(s.data.end(), u.begin(), u.end());
    }
    s.firstPts = firstPts;
    s.ptsStep = kSubTicks;
    return s;
}

std::vector<StreamSpec> featureStreams(std::uint64_t start) {
    // E-AC-3: 48 kHz, six blocks, 3/2 with LFE, bsid 16; frmsiz counts 16-bit words less one.
    const Bytes ddPlus = ac3::eac3Header(kDdPlusFrameSize / 2 - 1, 0, 3, 7, 1, 16);
    // DTS core: 16 blocks of 32 samples, 3/2 with LFE, 48 kHz, 1536 kbit/s; fsize is bytes less one.
    dts::DtsFields f;
    f.fsize = kDtsFrameSize - 1;
    const Bytes dtsCore = dts::dtsCore(f);
    return {video(start), audio(0xC0, ddPlus, kDdPlusFrameSize, kDdPlusTicks, start),
            audio(0x89, dtsCore, kDtsFrameSize, kDtsTicks, start + 300), subpicture(0x20, start + 45000),
            subpicture(0x21, start + 90000)};
}

} // namespace

std::string demoPlaylist() {
    struct Track {
        int number;
        const char* description;
        const char* langcode;
    };
    const Track audioTracks[] = {{1, "English", "en:00"}, {2, "Deutsch", "de:00"}};
    const Track subTracks[] = {{1, "English", "en:00"}, {2, "Deutsch", "de:00"}};
    std::string tracks = "\t\t\t\t<Video track=\"1\" mediaAttr=\"1\"/>\n";
    for (const Track& a : audioTracks)
        tracks += "\t\t\t\t<Audio track=\"" + std::to_string(a.number) + "\" streamNumber=\"" +
                  std::to_string(a.number) + "\" mediaAttr=\"" + std::to_string(a.number) +
                  "\" description=\"" + a.description + "\" langcode=\"" + a.langcode + "\"/>\n";
    for (const Track& s : subTracks)
        tracks += "\t\t\t\t<Subtitle track=\"" + std::to_string(s.number) + "\" streamNumber=\"" +
                  std::to_string(s.number) + "\" mediaAttr=\"1\" description=\"" + s.description +
                  "\" langcode=\"" + s.langcode + "\"/>\n";
    std::string x = R"(<?xml version="1.0" encoding="UTF-8"?>
<Playlist xmlns="http://www.dvdforum.org/2005/HDDVDVideo/Playlist" majorVersion="1" minorVersion="0"
	displayName="Ombrix demo disc">
	<MediaAttributeList>
		<VideoAttributeItem index="1" codec="VC-1" sampleAspectRatio="16:9" horizontalResolution="1920"
			verticalResolution="1080" encodedFrameRate="24000/1001" sourceFrameRate="24000/1001"/>
		<AudioAttributeItem index="1" codec="DD+" sampleFrequency="48" sampleDepth="16" channels="6" bitrate="640"/>
		<AudioAttributeItem index="2" codec="DTS" sampleFrequency="48" sampleDepth="24" channels="6" bitrate="1536"/>
		<SubpictureAttributeItem index="1" codec="2bitRLE"/>
	</MediaAttributeList>
	<TitleSet timeBase="24fps" defaultLanguage="en">
		<Title id="DemoTitle" titleNumber="1" titleDuration="00:00:30:00" displayName="Demo feature">
			<PrimaryAudioVideoClip titleTimeBegin="00:00:00:00" titleTimeEnd="00:00:15:00"
				src="file:///dvddisc/HVDVD_TS/FEATURE_1.MAP" dataSource="Disc">
)";
    x += tracks;
    x += R"(			</PrimaryAudioVideoClip>
			<PrimaryAudioVideoClip titleTimeBegin="00:00:15:00" titleTimeEnd="00:00:30:00"
				src="file:///dvddisc/HVDVD_TS/FEATURE_2.MAP" dataSource="Disc">
)";
    x += tracks;
    x += R"(			</PrimaryAudioVideoClip>
			<ChapterList>
				<Chapter titleTimeBegin="00:00:00:00" displayName="Opening"/>
				<Chapter titleTimeBegin="00:00:10:00" displayName="The harbour"/>
				<Chapter titleTimeBegin="00:00:20:00" displayName="Night falls"/>
			</ChapterList>
		</Title>
	</TitleSet>
</Playlist>
)";
    return x;
}

DemoDisc makeDemoDisc(const std::string& root) {
    DemoDisc disc;
    disc.root = root;
    const fs::path hvdvd = fs::path(root) / "HVDVD_TS";
    const fs::path adv = fs::path(root) / "ADV_OBJ";
    fs::create_directories(hvdvd);
    fs::create_directories(adv);
    disc.feature1 = (hvdvd / "FEATURE_1.EVO").string();
    disc.feature2 = (hvdvd / "FEATURE_2.EVO").string();
    disc.playlist = (adv / "VPLST000.XPL").string();

    const std::uint64_t start1 = 90000;
    const std::uint64_t start2 = start1 + std::uint64_t{kDemoFramesPerFile} * kDemoFrameTicks;
    MuxOptions opt;
    opt.videoBound = 1;
    opt.audioBound = 2;
    opt.shuffle = 11;
    disc.first = writeStreams(disc.feature1, featureStreams(start1), opt);
    opt.shuffle = 12;
    disc.second = writeStreams(disc.feature2, featureStreams(start2), opt);
    const std::string text = demoPlaylist();
    writeBytes(disc.playlist, Bytes(text.begin(), text.end()));
    return disc;
}

} // namespace ombrix::testing
