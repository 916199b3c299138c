#include "structure_mutator.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size,
                                        std::size_t maxSize);

namespace fuzz_support {

namespace {

// Names the store reads, and one it does not.
const char* const kElements[] = {"a", "Garbolt", "Outfit", "Name", "Slot", "Components", "Hash"};

std::size_t Pick(std::minstd_rand& random, std::size_t below) {
    return below == 0 ? 0 : static_cast<std::size_t>(random() % below);
}

// 1 to 8192 copies, the larger counts as likely as the smaller ones.
std::size_t Copies(std::minstd_rand& random) {
    return std::size_t{1} << Pick(random, 14);
}

std::size_t Store(const std::string& bytes, std::uint8_t* data, std::size_t size,
                  std::size_t maxSize) {
    if (bytes.size() > maxSize) {
        return size;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    return bytes.size();
}

// The stretch [from, to) inside `copies` levels of one element.
std::size_t Nest(std::minstd_rand& random, std::uint8_t* data, std::size_t size,
                 std::size_t maxSize) {
    const std::string name = kElements[Pick(random, std::size(kElements))];
    const std::string open = "<" + name + ">";
    const std::string close = "</" + name + ">";
    std::size_t copies = Copies(random);
    const std::size_t room = maxSize > size ? maxSize - size : 0;
    copies = std::min(copies, room / (open.size() + close.size()));
    const std::size_t from = Pick(random, size + 1);
    const std::size_t to = from + Pick(random, size - from + 1);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string nested;
    nested.reserve(size + copies * (open.size() + close.size()));
    nested.append(bytes, 0, from);
    for (std::size_t i = 0; i < copies; ++i) {
        nested += open;
    }
    nested.append(bytes, from, to - from);
    for (std::size_t i = 0; i < copies; ++i) {
        nested += close;
    }
    nested.append(bytes, to, std::string::npos);
    return Store(nested, data, size, maxSize);
}

// A stretch of up to 256 bytes (for lines: whole lines) written again many
// times right after itself.
std::size_t Repeat(Structure structure, std::minstd_rand& random, std::uint8_t* data,
                   std::size_t size, std::size_t maxSize) {
    if (size == 0) {
        return size;
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t from = Pick(random, size);
    std::size_t to = std::min(size, from + 1 + Pick(random, 256));
    if (structure == Structure::Lines) {
        const std::size_t lineStart = bytes.rfind('\n', from);
        from = lineStart == std::string::npos ? 0 : lineStart + 1;
        const std::size_t lineEnd = bytes.find('\n', to);
        to = lineEnd == std::string::npos ? size : lineEnd + 1;
    }
    const std::size_t length = to - from;
    const std::size_t room = maxSize > size ? maxSize - size : 0;
    const std::size_t copies = std::min(Copies(random), length == 0 ? 0 : room / length);
    std::string repeated;
    repeated.reserve(size + copies * length);
    repeated.append(bytes, 0, to);
    for (std::size_t i = 0; i < copies; ++i) {
        repeated.append(bytes, from, length);
    }
    repeated.append(bytes, to, std::string::npos);
    return Store(repeated, data, size, maxSize);
}

}  // namespace

std::size_t MutateStructure(Structure structure, std::uint8_t* data, std::size_t size,
                            std::size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    switch (Pick(random, 8)) {
        case 0:
            return structure == Structure::Xml ? Nest(random, data, size, maxSize)
                                               : Repeat(structure, random, data, size, maxSize);
        case 1:
            return Repeat(structure, random, data, size, maxSize);
        default:
            return LLVMFuzzerMutate(data, size, maxSize);
    }
}

}  // namespace fuzz_support
