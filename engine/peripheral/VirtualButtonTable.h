#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/peripheral/VirtualButton.h"

#include <cstdint>

namespace Mireku::Peripheral {

class KeyboardDevice;
class PadDevice;

// Records of 32 virtual buttons each. A record's pad bindings read the pad
// with its pad number; its index is its identity. Operations on a record or
// button that does not exist do nothing and read as up.
class VirtualButtonTable {
public:
    static constexpr uint32_t kButtonCount = 32;
    static constexpr uint32_t kNoRecord = 0xFFFFFFFFu;

    // Appends a record of unbound buttons; kNoRecord when memory is exhausted.
    uint32_t AddRecord(uint32_t padNumber);
    uint32_t GetRecordCount() const { return static_cast<uint32_t>(records_.size()); }
    uint32_t GetPadNumber(uint32_t record) const {
        return record < records_.size() ? records_[record].padNumber : 0;
    }

    void BindKey(uint32_t record, uint32_t button, uint32_t keyCode);
    void BindPad(uint32_t record, uint32_t button, uint32_t padCode);
    void ClearPadBindings(uint32_t record, uint32_t button);
    void EnableRepeat(uint32_t record, uint32_t button);

    // Pressed this frame or pulsing by repeat.
    bool IsPressed(uint32_t record, uint32_t button) const;
    bool IsReleased(uint32_t record, uint32_t button) const;
    bool IsHeld(uint32_t record, uint32_t button) const;
    // Null for a record or button that does not exist.
    const VirtualButton* GetButton(uint32_t record, uint32_t button) const;

    // Every button of every record from this frame's devices (either may be
    // absent and reads as nothing down).
    void Update(const KeyboardDevice* keyboard, const PadDevice* pads);

    // Drops every record.
    void Clear() { records_.clear(); }

private:
    struct Record {
        uint32_t padNumber = 0;
        VirtualButton buttons[kButtonCount];
    };

    VirtualButton* Find(uint32_t record, uint32_t button);

    Common::Vector<Record> records_;
};

} // namespace Mireku::Peripheral
