#pragma once
// One 2048-byte block of a rebuild, worked on in place: the stream bounds of a system header,
// the decision whether the block goes to the output, and the new stream ids.
//
// The block is taken to start with a 14-byte pack header followed by one packet: byte 17 is
// the packet's stream id, byte 22 its PES header data length h, byte 22 + h the last header
// byte (the stream id extension of a 0xFD packet) and byte 23 + h the first payload byte (the
// sub-stream id of a private stream 1 packet).

#include <cstddef>
#include <cstdint>

namespace ombrix {

class EngineHost;
class Renumbering;

inline constexpr std::size_t kPackSize = 2048;

// A system header's video bound becomes the number of ticked boxes of video slots 0 and 1, its
// audio bound the number of ticked audio boxes; the other bits of both bytes stay.
void setSystemHeaderBounds(std::uint8_t* block, EngineHost& host);

// The whole block area is looked at (all kPackSize bytes, also when fewer were read). Returns
// true when the block is to be written: it begins with a pack start code and its stream is not
// left out. The packets of the streams that the drop tests cover get their new ids; all
// others keep theirs.
bool rebuildBlock(std::uint8_t* block, Renumbering& renumbering, EngineHost& host);

} // namespace ombrix
