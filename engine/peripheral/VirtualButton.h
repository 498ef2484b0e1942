#pragma once

#include "engine/peripheral/ButtonState.h"
#include "engine/peripheral/KeyCodes.h"
#include "engine/peripheral/PadRecord.h"

#include <bitset>
#include <cstdint>

namespace Mireku::Peripheral {

// A logical button bound to any number of keys and pad controls. Its value is
// the strongest of its bindings; it has a button state and, once enabled, an
// auto-repeat pulse while held.
class VirtualButton {
public:
    static constexpr int32_t kRepeatDelay = 30;
    static constexpr int32_t kRepeatInterval = 6;

    // Codes out of range are ignored (a damaged configuration must not make
    // the button read past the keyboard or the pad's controls).
    void BindKey(uint32_t keyCode) {
        if (keyCode < kKeyCodeCount)
            keys_.set(keyCode);
    }
    void BindPad(uint32_t padCode) {
        if (padCode < PadRecord::kControlCount)
            pads_.set(padCode);
    }
    void ClearPadBindings() { pads_.reset(); }
    void EnableRepeat() {
        repeatDelay_ = kRepeatDelay;
        repeatInterval_ = kRepeatInterval;
    }

    bool HasKey(uint32_t keyCode) const { return keyCode < kKeyCodeCount && keys_.test(keyCode); }
    bool HasPad(uint32_t padCode) const {
        return padCode < PadRecord::kControlCount && pads_.test(padCode);
    }

    // One frame: `isKeyDown(code)` and `padValue(code)` read the devices.
    template <class KeyDown, class PadValue> void Update(KeyDown isKeyDown, PadValue padValue) {
        float value = 0.0f;
        for (uint32_t k = 0; k < kKeyCodeCount; ++k) {
            if (keys_.test(k) && isKeyDown(k)) {
                value = 1.0f;
                break;
            }
        }
        for (uint32_t p = 0; p < PadRecord::kControlCount; ++p) {
            if (pads_.test(p)) {
                const float v = padValue(p);
                if (v > value)
                    value = v;
            }
        }
        Advance(value);
    }
    // Steps the state and the repeat from this frame's value.
    void Advance(float value);

    float GetValue() const { return value_; }
    uint32_t GetState() const { return state_; }
    bool GetRepeatPulse() const { return repeatPulse_ != 0; }
    bool IsPressed() const { return state_ == kButtonPressed || repeatPulse_ != 0; }
    bool IsReleased() const { return state_ == kButtonReleased; }
    bool IsHeld() const { return state_ == kButtonHeld; }

private:
    uint8_t repeatPulse_ = 0;
    float value_ = 0.0f;
    int32_t repeatCounter_ = 0;
    int32_t repeatDelay_ = 0;
    int32_t repeatInterval_ = 0; // 0: no repeat
    uint32_t state_ = kButtonUp;
    std::bitset<PadRecord::kControlCount> pads_;
    std::bitset<kKeyCodeCount> keys_;
};

} // namespace Mireku::Peripheral
