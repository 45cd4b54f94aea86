#pragma once
// The program-wide state shared by the engine and every command: the stream table, the
// input and output file holders, the read buffer, the flags, the frame counters, the
// reference time stamp, the AC-3 rate tables and the path strings.

#include "analysers/AnalyserState.h"
#include "engine/FileStream.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace ombrix {

constexpr std::size_t kReadBufSize = 262144;

using FileHolder = std::unique_ptr<FileStream>;

struct EngineState {
    EngineState();

    // Stream table: a stream key per slot, -1 for an empty slot (0 until the first pass).
    std::array<std::int32_t, 16> VideoKey{};
    std::array<std::int32_t, 16> AudioKey{};
    std::array<std::int32_t, 32> SubKey{};

    // Per-slot companions.
    std::array<FileHolder, 2> VideoOut;
    std::array<FileHolder, 16> AudioOut;
    std::array<FileHolder, 16> SubOut;
    std::array<std::int32_t, 2> FrameCount{};
    std::array<bool, 2> VideoReported{};
    std::array<bool, 16> AudioReported{};
    // A demux has started a SUP record in this subpicture slot's output (cleared when the
    // outputs are created).
    std::array<bool, 16> SubRecordOpen{};

    FileHolder InFile;
    // The one read buffer of every pass (heap-allocated, 262,144 bytes).
    std::unique_ptr<std::uint8_t[]> ReadBufStore;
    std::uint8_t* ReadBuf;

    bool Cancelled = false;
    bool DemuxMode = false;
    std::uint32_t MinPts = 0;

    std::array<std::int32_t, 4> AC3SampleRate{};
    std::array<std::int32_t, 19> AC3BitRate{};

    std::string EVOdir, EVOname, XPLdir, XPLname, OutBase;

    // State the analysers keep for themselves.
    AnalyserState analysers;

    // Fills the AC-3 rate tables (done at the start of every engine pass).
    void fillAc3Tables();
    // Writes what the output holders took as views of the read buffer (before it is refilled).
    void commitOutputViews();
    // Closes and empties every holder; the first write failure is thrown after all are closed.
    void closeAll();
    // Closes and empties every holder, dropping any failure (an error is already on its way).
    void closeAllQuietly() noexcept;
};

// Stream type names for the captions of the stream check boxes ("" for any other key).
std::string VideoTypeName(std::int32_t key);
std::string AudioTypeName(std::int32_t key);
std::string SubTypeName(std::int32_t key);

} // namespace ombrix
