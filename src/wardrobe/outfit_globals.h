// Where the game keeps its outfits and what the character wears, by global.
#pragma once

#include <cstdint>

namespace outfit_globals {

// Game outfit record r is 120 globals from 26823 + 120 r: flags first, then
// entry k's item at offset 3 + 3k and its state at 4 + 3k. Record 0 holds
// what the character wears.
constexpr std::int32_t kOutfitRecordBase = 26823;
constexpr std::int32_t kOutfitRecordSize = 120;
constexpr std::int32_t kFirstItemOffset = 3;
constexpr std::int32_t kFirstStateOffset = 4;
constexpr std::int32_t kEntryStride = 3;
constexpr int kOutfitEntries = 39;
constexpr std::uint64_t kSavedOutfitFlag = 0x2;

constexpr std::int32_t FlagsGlobal(std::int32_t record) {
    return kOutfitRecordBase + kOutfitRecordSize * record;
}
constexpr std::int32_t ItemGlobal(std::int32_t record, int entry) {
    return FlagsGlobal(record) + kFirstItemOffset + kEntryStride * entry;
}
constexpr std::int32_t StateGlobal(std::int32_t record, int entry) {
    return FlagsGlobal(record) + kFirstStateOffset + kEntryStride * entry;
}

// The worn-outfit bookkeeping the game keeps after an outfit change: the
// outfit's label twice, its slot three times, and the worn flag among the
// slot's flags (slot s's at 7198 + 3s).
constexpr std::int32_t kWornLabelGlobal = 1948301;
constexpr std::int32_t kWornLabelCopyGlobal = 1948182;
constexpr std::int32_t kWornSlotGlobal = 7769;
constexpr std::int32_t kWornSlotCopyGlobal = 27572;
constexpr std::int32_t kWornSlotThirdGlobal = 1905941;
constexpr std::int32_t kSlotFlagsBaseGlobal = 7198;
constexpr std::int32_t kSlotFlagsStride = 3;
constexpr std::uint64_t kSlotWornFlag = 0x1000;

}  // namespace outfit_globals
