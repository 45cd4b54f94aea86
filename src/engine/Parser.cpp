#include "engine/Parser.h"

#include "engine/EngineHost.h"
#include "engine/Format.h"
#include "engine/State.h"

#include <algorithm>
#include <cstring>

namespace ombrix {

namespace {

// A time stamp byte's share of the 32-bit value, by the step counter after its decrement.
inline std::uint32_t timeStampByte(std::uint32_t acc, unsigned step, std::uint8_t b) {
    switch (step) {
    case 4: return static_cast<std::uint32_t>(b & 0x06) << 29;
    case 3: return acc | static_cast<std::uint32_t>(b) << 22;
    case 2: return acc | static_cast<std::uint32_t>(b & 0xFE) << 14;
    case 1: return acc | static_cast<std::uint32_t>(b) << 7;
    default: return acc | static_cast<std::uint32_t>(b & 0xFE) >> 1;
    }
}

} // namespace

void Parser::reset(bool demuxMode) {
    rec_ = ParserRecord{};
    demuxMode_ = demuxMode;
}

void Parser::enterPayload() {
    rec_.InPayload = true;
    rec_.FirstChunk = true;
}

void Parser::headerComplete() {
    if (rec_.Kind == PacketKind::Private)
        rec_.PrivStep = 4;
    else
        enterPayload();
}

void Parser::afterTimeStamps() {
    if (rec_.HdrLeft == 0)
        headerComplete();
    else if (rec_.Kind == PacketKind::Video && (rec_.Flags2 & 0x01))
        rec_.ExtStep = 1;
}

void Parser::startCode(std::uint8_t b) {
    auto& r = rec_;
    auto found = [&](const char* what, int slot) {
        if (!demuxMode_) host_.log(std::string(what) + std::to_string(slot) + " found!");
    };
    if (b == 0xE0 || b == 0xE1) {
        r.VideoSlot = b & 1;
        if (state_.VideoKey[r.VideoSlot] == -1) {
            state_.VideoKey[r.VideoSlot] = b;
            found("MPEG-2 video stream ", r.VideoSlot);
            r.VideoPts = r.Pts;
        }
        r.Kind = PacketKind::Video;
        r.VideoKind = VideoCoding::Mpeg2;
    } else if (b == 0xE2 || b == 0xE3) {
        r.VideoSlot = b & 1;
        if (state_.VideoKey[r.VideoSlot] == -1) {
            state_.VideoKey[r.VideoSlot] = b;
            found("H.264 video stream ", r.VideoSlot);
        }
        r.Kind = PacketKind::Video;
        r.VideoKind = VideoCoding::H264;
    } else if (b == 0xFD) {
        r.Kind = PacketKind::Video;
        r.VideoKind = VideoCoding::Vc1;
    } else if (b >= 0xC0 && b <= 0xCF) {
        r.Kind = PacketKind::MpegAudio;
    } else if (b == 0xBD) {
        r.Kind = PacketKind::Private;
    } else {
        r.Kind = PacketKind::System; // 0xBC, 0xBE, 0xBF
    }
    r.LenStep = 2;
    r.PacketHasPts = false;
    r.FirstChunk = false;
}

void Parser::subpictureRules(std::uint8_t b) {
    auto& r = rec_;
    if ((b & 0xE0) == 0x20) {
        r.SubSlot = b & 0x1F;
        if (state_.SubKey[r.SubSlot] == -1) {
            state_.SubKey[r.SubSlot] = b;
            if (!demuxMode_) {
                host_.log("Subpicture stream " + std::to_string(r.SubSlot) + " found!");
                if (host_.details()) host_.log("   First PTS = " + hex8(r.Pts));
            }
        }
        if (!demuxMode_) r.Pts = 0;
    } else if ((b & 0xE0) == 0x60) {
        r.SubSlot = b & 0x1F;
        if (state_.SubKey[r.SubSlot] == -1) {
            state_.SubKey[r.SubSlot] = b;
            if (!demuxMode_) host_.log("Extended subpicture stream " + std::to_string(r.SubSlot) + " found!");
        }
    } else {
        return; // an audio substream: its header goes on
    }
    r.PrivStep = 0;
    r.Kind = PacketKind::Subpicture;
    enterPayload();
}

void Parser::audioRules() {
    auto& r = rec_;
    const std::uint8_t id = static_cast<std::uint8_t>(r.Code >> 24);
    const char* text = nullptr;
    int slot = id & 7;
    AudioCoding coding{};
    enum { Payload, Lpcm, Mlp } then = Payload;
    if ((id & 0xF8) == 0x80) {
        coding = AudioCoding::Ac3, text = "Dolby Digital audio stream ";
    } else if ((id & 0xF8) == 0x88) {
        coding = AudioCoding::Dts, text = "DTS HD (DTS) audio stream ";
    } else if ((id & 0xF0) == 0xC0) {
        coding = AudioCoding::DdPlus, text = "Dolby Digital Plus audio stream ", slot = id & 15;
    } else if ((id & 0xF8) == 0xA0) {
        coding = AudioCoding::Lpcm, text = "LPCM audio stream ", then = Lpcm;
    } else if ((id & 0xF8) == 0xB0) {
        coding = AudioCoding::Mlp, text = "Dolby TrueHD (MLP) audio stream ", then = Mlp;
    }
    if (!text) {
        r.AudioSlot = id & 15;
        r.Kind = PacketKind::Skip;
        enterPayload();
        r.Pts = 0;
        return;
    }
    r.AudioSlot = slot;
    r.AudioKind = coding;
    if (state_.AudioKey[slot] < 0) {
        state_.AudioKey[slot] = id;
        if (!demuxMode_) host_.log(text + std::to_string(slot) + " found!");
        r.AudioPts = r.Pts;
    }
    if (then == Payload) {
        r.Kind = PacketKind::Audio;
        enterPayload();
    } else if (then == Lpcm) {
        r.LpcmStep = 3;
    } else {
        r.MlpStep = 1;
    }
    r.Pts = 0;
}

void Parser::feed(std::size_t count) {
    auto& r = rec_;
    const std::uint8_t* buf = state_.ReadBuf;
    std::size_t i = 0;
    while (i < count) {
        const std::uint8_t b = buf[i];
        r.Code = (r.Code << 8) | b;

        // 1. Payload, handed on whole.
        if (r.InPayload) {
            if (r.PesLeft > 0) {
                const auto n =
                    static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(r.PesLeft), count - i));
                const PacketKind k = r.Kind;
                const bool handed = k == PacketKind::Audio || k == PacketKind::Subpicture ||
                                    (k == PacketKind::Video && r.VideoSlot != -1);
                if (handed) {
                    sink_.chunk(static_cast<std::int32_t>(i), n, r);
                    r.FirstChunk = false;
                }
                r.PesLeft -= n;
                i += static_cast<std::size_t>(n);
                if (r.PesLeft == 0) r.InPayload = false;
                continue;
            }
            // The header announced more bytes than the packet holds: the packet ends here.
            r.InPayload = false;
        }

        // 2. A system packet is skipped whole; no start code is looked for inside it.
        if (r.SkipLeft > 0) {
            const auto n = std::min<std::size_t>(static_cast<std::size_t>(r.SkipLeft), count - i);
            // Every skipped byte goes through Code; only the last four can still matter.
            for (std::size_t j = (n > 4 ? n - 4 : 1); j < n; ++j) r.Code = (r.Code << 8) | buf[i + j];
            r.PesLeft -= static_cast<std::int32_t>(n);
            r.SkipLeft -= static_cast<std::int32_t>(n);
            i += n;
            continue;
        }

        // 3. Start codes.
        if ((r.Code & 0xFFFFFF00u) == 0x00000100u) {
            if ((b >= 0xE0 && b <= 0xE3) || b == 0xFD || (b >= 0xC0 && b <= 0xCF) || b == 0xBD || b == 0xBC ||
                b == 0xBE || b == 0xBF) {
                startCode(b);
                ++i;
                continue;
            }
        }

        if (r.LenStep == 2) { // 4.
            r.LenStep = 1;
        } else if (r.LenStep == 1) { // 5.
            r.LenStep = 0;
            r.PesLeft = static_cast<std::int32_t>(r.Code & 0xFFFF);
            if (r.Kind == PacketKind::System)
                r.SkipLeft = r.PesLeft;
            else
                r.HdrStep = 3;
        } else if (r.HdrStep > 0) { // 6.
            --r.PesLeft;
            --r.HdrStep;
            if (r.HdrStep == 1) {
                r.Flags2 = b;
            } else if (r.HdrStep == 0) {
                r.HdrLeft = b;
                if ((r.Flags2 & 0xC0) == 0x80) r.PtsStep = 5;
                if ((r.Flags2 & 0xC0) == 0xC0) r.PtsDtsStep = 10;
                if ((r.Flags2 & 0xC1) == 0x01) r.ExtStep = 1;
                if (r.HdrLeft == 0) headerComplete();
            }
        } else if (r.PtsStep > 0) { // 7.
            --r.PesLeft;
            --r.HdrLeft;
            --r.PtsStep;
            r.PtsAcc = timeStampByte(r.PtsAcc, r.PtsStep, b);
            if (r.PtsStep == 0) {
                r.Pts = r.PtsAcc;
                r.PacketHasPts = true;
                r.PacketPts = r.Pts;
                afterTimeStamps();
            }
        } else if (r.PtsDtsStep > 0) { // 8.
            --r.PesLeft;
            --r.HdrLeft;
            --r.PtsDtsStep;
            const unsigned step = r.PtsDtsStep;
            r.PtsAcc = timeStampByte(r.PtsAcc, step >= 5 ? step - 5 : step, b);
            if (step == 5) {
                r.Pts = r.VideoPts = r.PtsAcc;
                r.PacketHasPts = true;
                r.PacketPts = r.Pts;
            } else if (step == 0) {
                r.Dts = r.PtsAcc;
                afterTimeStamps();
            }
        } else if (r.ExtStep > 0) { // 9.
            --r.PesLeft;
            --r.HdrLeft;
            r.ExtStep = 0;
            r.ExtFlags = b;
            if (r.ExtFlags & 0x10)
                r.PstdStep = 2;
            else if (r.ExtFlags & 0x01)
                r.ExtIdStep = 2;
            else if (r.HdrLeft == 0)
                headerComplete(); // an extension with no field the parser reads ends the header
        } else if (r.PstdStep > 0) { // 10.
            --r.PesLeft;
            --r.HdrLeft;
            --r.PstdStep;
            if (r.PstdStep == 0) {
                if (r.ExtFlags & 0x01)
                    r.ExtIdStep = 2;
                else if (r.HdrLeft == 0)
                    headerComplete(); // a private stream's substream header still follows
            }
        } else if (r.ExtIdStep > 0) { // 11.
            --r.PesLeft;
            --r.HdrLeft;
            --r.ExtIdStep;
            if (r.ExtIdStep == 0) {
                const std::uint8_t e = b & 0x7F;
                if (e == 0x55 || e == 0x56) {
                    r.VideoSlot = e - 0x55;
                    if (state_.VideoKey[r.VideoSlot] == -1) {
                        state_.VideoKey[r.VideoSlot] = e;
                        if (!demuxMode_) host_.log("VC-1 video stream " + std::to_string(r.VideoSlot) + " found!");
                        r.VideoPts = r.Pts;
                    }
                    r.Kind = PacketKind::Video;
                } else {
                    r.Kind = PacketKind::Skip;
                }
                if (r.HdrLeft == 0) enterPayload();
            }
        } else if (r.HdrLeft > 0) { // 12.
            --r.PesLeft;
            --r.HdrLeft;
            if (r.HdrLeft == 0) headerComplete();
        } else if (r.PrivStep > 0) { // 13.
            --r.PesLeft;
            --r.PrivStep;
            if (r.PrivStep == 3)
                subpictureRules(b);
            else if (r.PrivStep == 0)
                audioRules();
        } else if (r.LpcmStep > 0) { // 14.
            --r.PesLeft;
            --r.LpcmStep;
            if (r.LpcmStep == 0) {
                r.Kind = PacketKind::Audio;
                enterPayload();
            }
        } else if (r.MlpStep > 0) { // 15.
            --r.PesLeft;
            --r.MlpStep;
            if (r.MlpStep == 0) {
                r.Kind = PacketKind::Audio;
                enterPayload();
            }
        } else {
            // 16. The byte is passed over, and so is every byte up to the next 0x01: outside a
            // packet only a start code changes anything, and a start code's last byte follows
            // a 0x01. (Pack headers, system headers and zero-filled stretches go by quickly.)
            const auto* one = static_cast<const std::uint8_t*>(std::memchr(buf + i, 0x01, count - i));
            const std::size_t last = one ? static_cast<std::size_t>(one - buf) : count - 1;
            if (last >= i + 4) {
                r.Code = static_cast<std::uint32_t>(buf[last - 3]) << 24 | static_cast<std::uint32_t>(buf[last - 2]) << 16 |
                         static_cast<std::uint32_t>(buf[last - 1]) << 8 | buf[last];
            } else {
                for (std::size_t j = i + 1; j <= last; ++j) r.Code = (r.Code << 8) | buf[j];
            }
            i = last;
        }
        ++i;
    }
}

} // namespace ombrix
