#pragma once
// A playlist as a disc author would write it: a first-play logo, a trailer, a feature split
// over FEATURE_1.EVO and FEATURE_2.EVO with five audio and twelve subtitle streams and 28
// chapters, and a making-of; indented with tabs, lines ended by LF, descriptions in UTF-8.

#include <string>
#include <vector>

namespace ombrix::testing {

struct SampleStream {
    int number;
    int mediaAttr;
    std::string description;
    std::string langcode;
};

inline const std::vector<SampleStream>& lighthouseAudio() {
    static const std::vector<SampleStream> audio = {
        {1, 3, "English", "en:00"},
        {2, 1, "English", "en:00"},
        {3, 1,
         "Fran\xC3\xA7"
         "ais",
         "fr:00"},
        {4, 4, "Deutsch", "de:00"},
        {5, 2, "Director's commentary", "en:03"},
    };
    return audio;
}

inline const std::vector<SampleStream>& lighthouseSubtitles() {
    static const std::vector<SampleStream> subs = {
        {1, 1, "English", "en:00"},
        {2, 1, "English SDH", "en:01"},
        {3, 1,
         "Fran\xC3\xA7"
         "ais",
         "fr:00"},
        {4, 1, "Deutsch", "de:00"},
        {5, 1, "Espa\xC3\xB1ol", "es:00"},
        {6, 1, "Italiano", "it:00"},
        {7, 1, "Nederlands", "nl:00"},
        {8, 1, "Portugu\xC3\xAAs", "pt:00"},
        {9, 1, "Dansk", "da:00"},
        {10, 1, "Suomi", "fi:00"},
        {11, 1, "Norsk", "no:00"},
        {12, 2, "Commentary", "en:03"},
    };
    return subs;
}

inline const std::vector<std::string>& lighthouseChapterTimes() {
    static const std::vector<std::string> times = {
        "00:00:00:00", "00:04:12:08", "00:09:47:20", "00:13:02:11", "00:18:30:00", "00:22:41:17",
        "00:27:09:03", "00:31:55:22", "00:36:20:14", "00:41:08:01", "00:45:33:19", "00:50:12:06",
        "00:54:48:23", "00:59:30:10", "01:05:12:00", "01:09:40:15", "01:14:03:09", "01:18:51:21",
        "01:23:27:04", "01:28:14:12", "01:32:59:00", "01:37:36:18", "01:42:20:07", "01:47:02:13",
        "01:51:45:02", "01:56:30:16", "02:01:11:11", "02:04:58:05",
    };
    return times;
}

inline std::string lighthouseClipTracks(const std::string& tabs) {
    std::string t = tabs + "<Video track=\"1\" mediaAttr=\"1\" angleNumber=\"1\"/>\n";
    for (const SampleStream& a : lighthouseAudio())
        t += tabs + "<Audio track=\"" + std::to_string(a.number) + "\" streamNumber=\"" +
             std::to_string(a.number) + "\" mediaAttr=\"" + std::to_string(a.mediaAttr) +
             "\" description=\"" + a.description + "\" langcode=\"" + a.langcode + "\"/>\n";
    for (const SampleStream& s : lighthouseSubtitles())
        t += tabs + "<Subtitle track=\"" + std::to_string(s.number) + "\" streamNumber=\"" +
             std::to_string(s.number) + "\" mediaAttr=\"" + std::to_string(s.mediaAttr) +
             "\" description=\"" + s.description + "\" langcode=\"" + s.langcode + "\"/>\n";
    return t;
}

inline std::string lighthousePlaylist() {
    std::string x = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- The Lighthouse Keeper, HD DVD, authored 2007-05-14 -->
<Playlist xmlns="http://www.dvdforum.org/2005/HDDVDVideo/Playlist" majorVersion="1" minorVersion="0"
	displayName="The Lighthouse Keeper" description="Feature, trailer and extras">
	<Configuration>
		<StreamingBuffer size="0"/>
		<Aperture width="1920" height="1080"/>
		<MainVideoDefaultColor color="108080"/>
		<SubVideoDefaultColor color="108080"/>
	</Configuration>
	<MediaAttributeList>
		<VideoAttributeItem index="1" codec="VC-1" sampleAspectRatio="16:9" horizontalResolution="1920"
			verticalResolution="1080" encodedFrameRate="24000/1001" sourceFrameRate="24000/1001"
			bitrate="29970" activeAreaX1="0" activeAreaY1="0" activeAreaX2="1919" activeAreaY2="1079"/>
		<VideoAttributeItem index="2" codec="MPEG-2" sampleAspectRatio="16:9" horizontalResolution="720"
			verticalResolution="480" encodedFrameRate="30000/1001" sourceFrameRate="30000/1001" bitrate="8000"/>
		<AudioAttributeItem index="1" codec="DD+" sampleFrequency="48" sampleDepth="16" channels="6" bitrate="640"/>
		<AudioAttributeItem index="2" codec="DD+" sampleFrequency="48" sampleDepth="16" channels="2" bitrate="192"/>
		<AudioAttributeItem index="3" codec="MLP" sampleFrequency="48" sampleDepth="24" channels="8"/>
		<AudioAttributeItem index="4" codec="DTS" sampleFrequency="48" sampleDepth="24" channels="6" bitrate="1509"/>
		<SubpictureAttributeItem index="1" codec="2bitRLE"/>
		<SubpictureAttributeItem index="2" codec="8bitRLE"/>
	</MediaAttributeList>
	<TitleSet timeBase="24fps" defaultLanguage="en">
		<FirstPlayTitle titleDuration="00:00:05:00">
			<PrimaryAudioVideoClip titleTimeBegin="00:00:00:00" titleTimeEnd="00:00:05:00"
				src="file:///dvddisc/HVDVD_TS/FP_LOGO.MAP" dataSource="Disc">
				<Video track="1" mediaAttr="2"/>
				<Audio track="1" streamNumber="1" mediaAttr="2" description="Logo sound"/>
			</PrimaryAudioVideoClip>
		</FirstPlayTitle>
		<Title id="TrailerTitle" titleNumber="1" titleDuration="00:02:31:12" displayName="Trailer" onEnd="FeatureTitle">
			<PrimaryAudioVideoClip titleTimeBegin="00:00:00:00" titleTimeEnd="00:02:31:12"
				src="file:///dvddisc/HVDVD_TS/TRAILER.MAP" dataSource="Disc">
				<Video track="1" mediaAttr="1"/>
				<Audio track="1" streamNumber="1" mediaAttr="2" description="English" langcode="en:00"/>
			</PrimaryAudioVideoClip>
			<ChapterList>
				<Chapter titleTimeBegin="00:00:00:00" displayName="Trailer"/>
			</ChapterList>
		</Title>
		<Title id="FeatureTitle" titleNumber="2" titleDuration="02:07:45:18" displayName="The Lighthouse Keeper"
			parentalLevel="us:4" onEnd="ExtrasTitle">
			<PrimaryAudioVideoClip titleTimeBegin="00:00:00:00" titleTimeEnd="01:05:12:00"
				src="file:///dvddisc/HVDVD_TS/FEATURE_1.MAP" dataSource="Disc">
)";
    x += lighthouseClipTracks("\t\t\t\t");
    x += R"(			</PrimaryAudioVideoClip>
			<PrimaryAudioVideoClip titleTimeBegin="01:05:12:00" titleTimeEnd="02:07:45:18"
				src="file:///dvddisc/HVDVD_TS/FEATURE_2.MAP" dataSource="Disc">
)";
    x += lighthouseClipTracks("\t\t\t\t");
    x += "\t\t\t</PrimaryAudioVideoClip>\n\t\t\t<ChapterList>\n";
    for (std::size_t i = 0; i < lighthouseChapterTimes().size(); ++i)
        x += "\t\t\t\t<Chapter titleTimeBegin=\"" + lighthouseChapterTimes()[i] +
             "\" displayName=\"Chapter " + std::to_string(i + 1) + "\"/>\n";
    x += "\t\t\t</ChapterList>\n\t\t\t<TrackNavigationList>\n\t\t\t\t<VideoTrack number=\"1\" "
         "selectable=\"true\"/>\n";
    for (const SampleStream& a : lighthouseAudio())
        x += "\t\t\t\t<AudioTrack number=\"" + std::to_string(a.number) +
             "\" selectable=\"true\" langcode=\"" + a.langcode + "\"/>\n";
    for (const SampleStream& s : lighthouseSubtitles())
        x += "\t\t\t\t<SubtitleTrack number=\"" + std::to_string(s.number) +
             "\" selectable=\"true\" forced=\"false\" langcode=\"" + s.langcode + "\"/>\n";
    x += R"(			</TrackNavigationList>
		</Title>
		<Title id="ExtrasTitle" titleNumber="3" titleDuration="00:24:10:00" displayName="Making of" onEnd="FeatureTitle">
			<PrimaryAudioVideoClip titleTimeBegin="00:00:00:00" titleTimeEnd="00:24:10:00"
				src="file:///dvddisc/HVDVD_TS/EXTRAS_1.MAP" dataSource="Disc">
				<Video track="1" mediaAttr="2"/>
				<Audio track="1" streamNumber="1" mediaAttr="2" description="English" langcode="en:00"/>
				<Subtitle track="1" streamNumber="1" mediaAttr="2" description="English" langcode="en:00"/>
				<Subtitle track="2" streamNumber="2" mediaAttr="2" description="Fran)"
         "\xC3\xA7"
         R"(ais" langcode="fr:00"/>
			</PrimaryAudioVideoClip>
			<ChapterList>
				<Chapter titleTimeBegin="00:00:00:00" displayName="The coast"/>
				<Chapter titleTimeBegin="00:08:15:00" displayName="Building the set"/>
				<Chapter titleTimeBegin="00:16:40:12"/>
			</ChapterList>
		</Title>
		<PlaylistApplication id="MainMenu" src="file:///dvddisc/ADV_OBJ/MENU.XMF" zOrder="1" language="en"/>
	</TitleSet>
</Playlist>
)";
    return x;
}

} // namespace ombrix::testing
