#include "engine/peripheral/VirtualButtonTable.h"

#include "engine/peripheral/KeyboardDevice.h"
#include "engine/peripheral/PadDevice.h"

#include <new>

namespace Mireku::Peripheral {

uint32_t VirtualButtonTable::AddRecord(uint32_t padNumber) {
    try {
        records_.emplace_back();
    } catch (const std::bad_alloc&) {
        return kNoRecord;
    }
    records_.back().padNumber = padNumber;
    return static_cast<uint32_t>(records_.size() - 1);
}

VirtualButton* VirtualButtonTable::Find(uint32_t record, uint32_t button) {
    if (record >= records_.size() || button >= kButtonCount)
        return nullptr;
    return &records_[record].buttons[button];
}

const VirtualButton* VirtualButtonTable::GetButton(uint32_t record, uint32_t button) const {
    if (record >= records_.size() || button >= kButtonCount)
        return nullptr;
    return &records_[record].buttons[button];
}

void VirtualButtonTable::BindKey(uint32_t record, uint32_t button, uint32_t keyCode) {
    if (VirtualButton* b = Find(record, button))
        b->BindKey(keyCode);
}

void VirtualButtonTable::BindPad(uint32_t record, uint32_t button, uint32_t padCode) {
    if (VirtualButton* b = Find(record, button))
        b->BindPad(padCode);
}

void VirtualButtonTable::ClearPadBindings(uint32_t record, uint32_t button) {
    if (VirtualButton* b = Find(record, button))
        b->ClearPadBindings();
}

void VirtualButtonTable::EnableRepeat(uint32_t record, uint32_t button) {
    if (VirtualButton* b = Find(record, button))
        b->EnableRepeat();
}

bool VirtualButtonTable::IsPressed(uint32_t record, uint32_t button) const {
    const VirtualButton* b = GetButton(record, button);
    return b && b->IsPressed();
}

bool VirtualButtonTable::IsReleased(uint32_t record, uint32_t button) const {
    const VirtualButton* b = GetButton(record, button);
    return b && b->IsReleased();
}

bool VirtualButtonTable::IsHeld(uint32_t record, uint32_t button) const {
    const VirtualButton* b = GetButton(record, button);
    return b && b->IsHeld();
}

void VirtualButtonTable::Update(const KeyboardDevice* keyboard, const PadDevice* pads) {
    for (Record& r : records_) {
        const uint32_t pad = r.padNumber;
        auto isKeyDown = [keyboard](uint32_t key) { return keyboard && keyboard->IsDown(key); };
        auto padValue = [pads, pad](uint32_t code) {
            return pads ? pads->GetValue(pad, code) : 0.0f;
        };
        for (VirtualButton& b : r.buttons)
            b.Update(isKeyDown, padValue);
    }
}

} // namespace Mireku::Peripheral
