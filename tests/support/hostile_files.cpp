#include "support/hostile_files.h"

namespace hostile_files {

namespace {

constexpr const char* kHead = "<?xml version=\"1.0\"?>\n<Garbolt>\n";
constexpr const char* kTail = "</Garbolt>\n";

std::string Repeated(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::string OutfitOnRow(const std::string& name, std::size_t row, const std::string& inside = "") {
    return "<Outfit><Name>" + name + "</Name><Slot>" + std::to_string(row) + "</Slot>" + inside +
           "</Outfit>\n";
}

}  // namespace

std::string DeeplyNested(std::size_t depth, const std::string& name) {
    return kHead +
           OutfitOnRow(name, 6,
                       "<Components>" + Repeated("<a>", depth) + Repeated("</a>", depth) +
                           "</Components><Wearables />") +
           kTail;
}

std::string ManyChildren(std::size_t children) {
    return kHead + OutfitOnRow("Wide", 6, Repeated("<Extra />", children)) + kTail;
}

std::string LongName(std::size_t bytes, const std::string& piece) {
    return kHead + OutfitOnRow(Repeated(piece, (bytes + piece.size() - 1) / piece.size()), 6) +
           kTail;
}

std::string ManyOutfits(std::size_t count) {
    std::string xml = kHead;
    for (std::size_t i = 0; i < count; ++i) {
        xml += OutfitOnRow("Outfit " + std::to_string(i), 6 + i % 15);
    }
    return xml + kTail;
}

std::string ManyAttributes(std::size_t count) {
    std::string attributes;
    for (std::size_t i = 0; i < count; ++i) {
        attributes += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    }
    return "<?xml version=\"1.0\"?>\n<Garbolt" + attributes + "><Outfit" + attributes + "><Name" +
           attributes + ">Attributes</Name><Slot>6</Slot></Outfit></Garbolt>\n";
}

std::string NulBytes(std::size_t count) {
    return std::string(count, '\0');
}

std::string Utf16WithBom(const std::string& name) {
    const std::string utf8 = kHead + OutfitOnRow(name, 6) + kTail;
    std::string wide = "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned code = static_cast<unsigned char>(utf8[i]);
        if (code >= 0xC0 && i + 1 < utf8.size()) {
            code = ((code & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        }
        wide += static_cast<char>(code & 0xFF);
        wide += static_cast<char>(code >> 8);
    }
    return wide;
}

std::string Truncated(std::size_t bytes) {
    return (kHead + OutfitOnRow("Cut", 6, "<Components><Hash>1</Hash></Components>") + kTail)
        .substr(0, bytes);
}

std::string PaddedTo(std::size_t bytes) {
    const std::string outfit = kHead + OutfitOnRow("Padded", 6) + kTail;
    const std::string open = "<!--";
    const std::string close = "-->";
    return outfit + open + std::string(bytes - outfit.size() - open.size() - close.size(), 'x') +
           close;
}

std::string ManyItems(std::size_t items) {
    std::string components;
    std::string wearables;
    for (std::size_t i = 0; i < items; ++i) {
        (i % 2 == 0 ? components : wearables) +=
            "<Hash>" + std::to_string(i % 2 == 0 ? i / 2 + 1 : 0) + "</Hash>";
    }
    return kHead +
           OutfitOnRow("Many", 6,
                       "<Components>" + components + "</Components><Wearables>" + wearables +
                           "</Wearables>") +
           kTail;
}

}  // namespace hostile_files
