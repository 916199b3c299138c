#include "locations.h"

#include <algorithm>
#include <climits>

namespace garbolt_outfits {

namespace {

constexpr std::size_t kStride = 256;
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kByteOrderMarkSize = 3;

bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

LocationMap::LocationMap(const std::string& bytes)
    : bytes_(bytes), byteOrderMark_(bytes.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0) {
    checkpoints_.reserve(bytes.size() / kStride + 1);
    Location location;
    checkpoints_.push_back(location);
    for (std::size_t at = kStride; at <= bytes.size(); at += kStride) {
        location = Advance(location, at - kStride, at);
        checkpoints_.push_back(location);
    }
}

Location LocationMap::Advance(Location location, std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i) {
        const char byte = bytes_[i];
        if (byte == '\n') {
            // A file of more lines than an int counts stays on the last one.
            location.line = location.line < INT_MAX ? location.line + 1 : INT_MAX;
            location.column = 1;
        } else if (byteOrderMark_ && i < kByteOrderMarkSize) {
            // A byte order mark is no character of the first line.
        } else if (!IsContinuationByte(byte) && byte != '\r' && location.column < INT_MAX) {
            // A carriage return ends a line together with the line feed after it.
            ++location.column;
        }
    }
    return location;
}

Location LocationMap::At(std::ptrdiff_t offset) const {
    const std::size_t end =
        offset < 0 ? 0 : std::min(bytes_.size(), static_cast<std::size_t>(offset));
    const std::size_t checkpoint = end / kStride;
    return Advance(checkpoints_[checkpoint], checkpoint * kStride, end);
}

Location LocationMap::At(pugi::xml_node element) const {
    std::ptrdiff_t offset = element.offset_debug();
    if (offset < 0) {
        return Location();
    }
    // The parser records where the name starts; the element starts at its '<'.
    if (offset > 0 && static_cast<std::size_t>(offset) <= bytes_.size() &&
        bytes_[static_cast<std::size_t>(offset) - 1] == '<') {
        --offset;
    }
    return At(offset);
}

Location LocationOf(const std::string& bytes, std::ptrdiff_t offset) {
    return LocationMap(bytes).At(offset);
}

}  // namespace garbolt_outfits
