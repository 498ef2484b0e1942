#include "engine/peripheral/InputDevice.h"

#include "engine/peripheral/KeyboardDevice.h"
#include "engine/peripheral/MouseDevice.h"
#include "engine/peripheral/PadDevice.h"
#include "sys/input.h"

namespace Mireku::Peripheral {

bool InputDevice::Initialize(void* window) {
    const bool padsReady = sys::StartInput();
    started_ = true;
    if (PadDevice* pads = PadDevice::CreateInstance())
        pads->Initialize(window);
    MouseDevice::CreateInstance(window);
    if (KeyboardDevice* keyboard = KeyboardDevice::CreateInstance())
        keyboard->Initialize(window);
    return padsReady;
}

void InputDevice::Update() {
    PadDevice* pads = PadDevice::GetInstance();
    KeyboardDevice* keyboard = KeyboardDevice::GetInstance();
    if (pads)
        pads->Update();
    if (MouseDevice* mouse = MouseDevice::GetInstance())
        mouse->Update();
    if (keyboard)
        keyboard->Update();
    buttons_.Update(keyboard, pads);
}

void InputDevice::Finalize() {
    PadDevice::DestroyInstance();
    MouseDevice::DestroyInstance();
    KeyboardDevice::DestroyInstance();
    buttons_.Clear();
    if (started_)
        sys::StopInput();
    started_ = false;
}

} // namespace Mireku::Peripheral
