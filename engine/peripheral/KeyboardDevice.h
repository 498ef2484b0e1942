#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/peripheral/KeyCodes.h"
#include "sys/input.h"

#include <cstdint>

namespace Mireku::Peripheral {

// The keyboard as 256 bytes by PC scan code, bit 7 set while the key is down,
// read once per frame.
class KeyboardDevice : public Common::SingletonObject, public Common::Singleton<KeyboardDevice> {
public:
    bool Initialize(void* window);
    void Update();

    // By key code (0-143); false for any other code.
    bool IsDown(uint32_t keyCode) const {
        return keyCode < kKeyCodeCount && (state_[kKeyScanCodes[keyCode]] & 0x80) != 0;
    }
    bool IsScanCodeDown(uint8_t scanCode) const { return (state_[scanCode] & 0x80) != 0; }
    const uint8_t* GetState() const { return state_; }

private:
    uint8_t state_[sys::kKeyCount] = {};
};

} // namespace Mireku::Peripheral
