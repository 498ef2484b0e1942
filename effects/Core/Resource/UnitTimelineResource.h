#pragma once

#include "effects/Core/Data/BuildContext.h"

#include <cstdint>

namespace FulgorCore {

// A unit's own timeline ("UTl1"): "OTU", "OTUT", "OTD" with "bOTU" in its top
// bit, "Life", a label ("Labl") and its items, the 14 bytes of each "UTI1"
// kept as the file holds them for the unit tree to read.
//
// Damage that fails the load: a negative "UTIC", a "UTIC" after items, and
// more "UTI1" than "UTIC" announced.
class UnitTimelineResource {
public:
    static constexpr uint32_t kItemSize = 14;
    struct Item {
        uint8_t bytes[kItemSize];
    };
    static_assert(sizeof(Item) == kItemSize);

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // "bOTU" (bit 15) and "OTD" (bits 0-14) of one 16-bit word.
    uint32_t GetFlagOTU() const { return otdWord_ >> 15; }
    uint32_t GetOTD() const { return otdWord_ & 0x7FFFu; }
    uint32_t GetOTU() const { return otu_; }
    uint32_t GetOTUT() const { return otut_; }
    uint32_t GetLife() const { return life_; }
    uint32_t GetItemCount() const { return static_cast<uint32_t>(itemCount_); }
    // Bit k set for each item k read (k modulo 32).
    uint32_t GetItemMask() const { return itemMask_; }
    // Null when the file gave none.
    const char* GetLabel() const { return label_; }
    // Null past the count.
    const Item* GetItem(uint32_t i) const {
        return i < GetItemCount() && items_ ? &items_[i] : nullptr;
    }

private:
    uint8_t otu_ = 0;
    uint8_t otut_ = 0;
    uint16_t otdWord_ = 0;
    uint16_t life_ = 0;
    int16_t itemCount_ = 0;
    uint32_t itemMask_ = 0;
    const char* label_ = nullptr;
    Item* items_ = nullptr;
};

} // namespace FulgorCore
