#pragma once
// The small playlist of the reader's documentation: 18 lines, each ended by CR LF, 662 bytes.
// The EVO file it is read for is FEATURE_1.EVO.

#include <string>
#include <vector>

namespace ombrix::testing {

inline const std::vector<std::string>& workedExampleLines() {
    static const std::vector<std::string> lines = {
        R"(<?xml version="1.0"?>)",
        R"(<Playlist displayName="Demo">)",
        R"(<VideoAttributeItem index="1" codec="VC-1"/>)",
        R"(<AudioAttributeItem index="1" codec="DD+" channels="6"/>)",
        R"(<AudioAttributeItem index="2" codec="DTS"/>)",
        R"(<SubpictureAttributeItem index="1" codec="RLE"/>)",
        R"(<Title displayName="Main" titleDuration="01:30:00:00">)",
        R"(<Clip file="FEATURE_1.MAP">)",
        R"(<Video track="1" mediaAttr="1"/>)",
        R"(<Audio streamNumber="1" mediaAttr="1" description="en"/>)",
        R"(<Audio streamNumber="2" mediaAttr="2")",
        R"(description="fr"/>)",
        R"(<Subtitle streamNumber="1" mediaAttr="1" description="en"/>)",
        R"(</Clip>)",
        R"(<!-- chapters -->)",
        R"(<Chapter titleTimeBegin="00:00:00:00" displayName="Start"/>)",
        R"(</Title>)",
        R"(</Playlist>)",
    };
    return lines;
}

inline std::string workedExampleText() {
    std::string text;
    for (const std::string& line : workedExampleLines())
        text += line + "\r\n";
    return text;
}

// What the scanner makes of it: one line per tag, indented by depth.
inline const std::vector<std::string>& workedExampleMemo() {
    static const std::vector<std::string> memo = {
        R"(<?xml version="1.0"?>)",
        R"(<Playlist displayName="Demo">)",
        R"(  <VideoAttributeItem index="1" codec="VC-1"/>)",
        R"(  <AudioAttributeItem index="1" codec="DD+" channels="6"/>)",
        R"(  <AudioAttributeItem index="2" codec="DTS"/>)",
        R"(  <SubpictureAttributeItem index="1" codec="RLE"/>)",
        R"(  <Title displayName="Main" titleDuration="01:30:00:00">)",
        R"(    <Clip file="FEATURE_1.MAP">)",
        R"(      <Video track="1" mediaAttr="1"/>)",
        R"(      <Audio streamNumber="1" mediaAttr="1" description="en"/>)",
        R"(      <Audio streamNumber="2" mediaAttr="2" description="fr"/>)",
        R"(      <Subtitle streamNumber="1" mediaAttr="1" description="en"/>)",
        R"(    </Clip>)",
        R"(    <!-- chapters -->)",
        R"(    <Chapter titleTimeBegin="00:00:00:00" displayName="Start"/>)",
        R"(  </Title>)",
        R"(</Playlist>)",
    };
    return memo;
}

} // namespace ombrix::testing
