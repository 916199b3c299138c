// A float travels to and from the game as its IEEE bits in the low half of a
// 64-bit word. The plug-in's native bridge, the simulated game and the tools
// that read a traced call all convert through these two, so they agree bit
// for bit.
#pragma once

#include <cstdint>
#include <cstring>

namespace float_bits {

// The word a float argument or result is: its bits in the low half, the upper half zero.
inline std::uint64_t ToWord(float value) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The float in a word's low half; the upper half is not part of it.
inline float FromWord(std::uint64_t word) {
    const auto bits = static_cast<std::uint32_t>(word);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace float_bits
