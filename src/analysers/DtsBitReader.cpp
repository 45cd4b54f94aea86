#include "analysers/DtsBitReader.h"

namespace ombrix {

void DtsBitReader::initbits() {
    headerStart_ = position;
    bitsRead_ = 0;
    window = 0;
    for (int i = 0; i < 4; ++i)
        window = (window << 8) | byteAt(position++);
    used = 0;
}

void DtsBitReader::nextbyte() {
    used -= 8;
    window += byteAt(position++);
}

void DtsBitReader::skipbits(int n) {
    bitsRead_ += static_cast<std::size_t>(n);
    if (used + n > 8) {
        window <<= 8 - used;
        n -= 8 - used;
        used = 8;
        nextbyte();
    }
    if (n <= 8) {
        window <<= n;
        used += n;
        if (used == 8) nextbyte();
    } else {
        window <<= 8;
        used = 8;
        nextbyte();
        window <<= n - 8;
        used = n - 8;
        if (used == 8) nextbyte();
    }
}

std::uint32_t DtsBitReader::getbits(int n) {
    const std::uint32_t value = window >> (32 - n);
    skipbits(n);
    return value;
}

} // namespace ombrix
