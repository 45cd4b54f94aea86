#pragma once
// The DTS analyser's bit reader: an MSB-first reader over one chunk that shares its position
// and 32-bit window with the sync search. The window's top 32 - used bits are always the next
// unread bits; a byte is appended whenever 8 bits have been shifted out.
//
// The reader reads ahead up to four bytes. It never reads outside its chunk: positions past
// the chunk's end read as zero bytes, and fieldInChunk tells whether a field's bits all lie in
// the chunk.

#include <cstddef>
#include <cstdint>

namespace ombrix {

class DtsBitReader {
  public:
    DtsBitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The byte at pos of the chunk, 0 past its end.
    std::uint8_t byteAt(std::size_t pos) const { return pos < size_ ? data_[pos] : 0; }

    // Starts a header: the four bytes at position, most significant first.
    void initbits();
    // Appends the byte at position to the window's low eight bits (which are zero).
    void nextbyte();
    // Discards the window's top n bits (1-16).
    void skipbits(int n);
    // The window's top n bits (1-16), then skipbits(n).
    std::uint32_t getbits(int n);

    // Whether the next n bits of the header lie inside the chunk.
    bool fieldInChunk(int n) const {
        return headerStart_ <= size_ && bitsRead_ + static_cast<std::size_t>(n) <= (size_ - headerStart_) * 8;
    }

    std::size_t position = 0; // index in the chunk of the next byte to be taken
    std::uint32_t window = 0;
    int used = 0; // bits shifted out of the top since the last byte was appended (0-7)

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t headerStart_ = 0; // position of the header's first byte
    std::size_t bitsRead_ = 0;    // header bits read since initbits
};

} // namespace ombrix
