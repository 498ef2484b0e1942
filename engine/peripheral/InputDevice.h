#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/peripheral/VirtualButtonTable.h"

namespace Mireku::Peripheral {

// The engine's input service: owns the keyboard, mouse and pad devices and the
// virtual-button records, and refreshes them all once per frame before the
// game's frame runs.
class InputDevice : public Common::SingletonObject, public Common::Singleton<InputDevice> {
public:
    // Starts the input service and creates the three devices. False when pads
    // are unavailable; keyboard and mouse work regardless.
    bool Initialize(void* window);
    // Pads, mouse, keyboard, then every virtual button.
    void Update();
    // Destroys the devices and stops the input service.
    void Finalize();

    VirtualButtonTable& GetVirtualButtons() { return buttons_; }
    const VirtualButtonTable& GetVirtualButtons() const { return buttons_; }

private:
    VirtualButtonTable buttons_;
    bool started_ = false;
};

} // namespace Mireku::Peripheral
