#pragma once
// Marks the bytes of the read buffer outside the part a run hands over as unreadable for
// AddressSanitizer, so that reading a stale byte past a block or a chunk is a finding, not just
// a wrong answer.

#include <cstddef>
#include <cstdint>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define OMBRIX_FUZZ_ASAN 1
#endif
#endif

namespace ombrix::fuzz {

inline void poison(const std::uint8_t* begin, std::size_t size) {
#ifdef OMBRIX_FUZZ_ASAN
    if (size) ASAN_POISON_MEMORY_REGION(begin, size);
#else
    (void)begin, (void)size;
#endif
}

inline void unpoison(const std::uint8_t* begin, std::size_t size) {
#ifdef OMBRIX_FUZZ_ASAN
    if (size) ASAN_UNPOISON_MEMORY_REGION(begin, size);
#else
    (void)begin, (void)size;
#endif
}

// While it lives, only [offset, offset + length) of the buffer can be read.
class OnlyReadable {
  public:
    OnlyReadable(std::uint8_t* buffer, std::size_t bufferSize, std::size_t offset, std::size_t length)
        : buffer_(buffer), size_(bufferSize) {
        poison(buffer, offset);
        poison(buffer + offset + length, bufferSize - offset - length);
    }
    ~OnlyReadable() { unpoison(buffer_, size_); }
    OnlyReadable(const OnlyReadable&) = delete;
    OnlyReadable& operator=(const OnlyReadable&) = delete;

  private:
    std::uint8_t* buffer_;
    std::size_t size_;
};

} // namespace ombrix::fuzz
