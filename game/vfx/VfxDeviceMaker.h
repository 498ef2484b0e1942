#pragma once

namespace FulgorCore {
class IDevice;
}

// The one place the effects controller gets its rendering device from.
class VfxDeviceMaker {
public:
    using Maker = FulgorCore::IDevice* (*)();

    // A new device with one reference for the caller: the game's VfxDevice,
    // or what a test installed; null when it cannot be made.
    static FulgorCore::IDevice* Make();
    // Replaces the maker; null restores the game's device.
    static void Install(Maker maker);
};
