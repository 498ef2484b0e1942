// The effects controller as the game makes it, with the device its maker
// hands out chosen by the test: the recording device of the runtime's tests
// (the runtime starts and plays headless) or none (effects off). The
// controller is finalized and destroyed, and the game's maker put back, when
// the rig goes.
#pragma once

#include "support/effects/RecordingDevice.h"

#include "game/vfx/VfxController.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxDeviceMaker.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace testsupport {

// A recording device the controller owns and deletes; it tells the test of
// its deletion.
class OwnedRecordingDevice : public RecordingDevice {
public:
    ~OwnedRecordingDevice() override {
        if (onDelete)
            onDelete(*this);
    }
    std::function<void(OwnedRecordingDevice&)> onDelete;
};

inline FulgorCore::IDevice* NewRecordingDevice() {
    return new OwnedRecordingDevice();
}
inline FulgorCore::IDevice* NoDevice() {
    return nullptr;
}

class VfxControllerRig {
public:
    explicit VfxControllerRig(VfxDeviceMaker::Maker maker = NewRecordingDevice) {
        VfxDeviceMaker::Install(maker);
        controller = VfxController::CreateInstance();
        started = controller && controller->Initialize();
    }
    ~VfxControllerRig() { Stop(); }
    VfxControllerRig(const VfxControllerRig&) = delete;
    VfxControllerRig& operator=(const VfxControllerRig&) = delete;

    void Stop() {
        if (controller) {
            controller->Finalize();
            VfxController::DestroyInstance();
            controller = nullptr;
        }
        VfxDeviceMaker::Install(nullptr);
    }
    OwnedRecordingDevice* Device() const {
        return static_cast<OwnedRecordingDevice*>(controller->GetDevice());
    }
    VfxData* Load(const std::vector<uint8_t>& image, const char* name) {
        return controller->LoadData(image.data(), static_cast<uint32_t>(image.size()), name);
    }
    // One frame of the game's effects.
    void Frame() { controller->RunFrame(); }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }

    VfxController* controller = nullptr;
    bool started = false;
};

} // namespace testsupport
