#pragma once

#include "effects/Core/Interface/ObjectHandle.h"
#include "engine/common/ReferenceCountObject.h"

#include <cstdint>

// One effect file the game has handed to the effects runtime, under the name
// its screen gave it, with the runtime's handle. Reference counted: every
// instance made of it holds a reference, and the screen that loaded it
// releases its own after its instances.
class VfxData : public Mireku::Common::ReferenceCountObject {
public:
    // Names are kept to 63 characters and the terminator.
    static constexpr uint32_t kNameSize = 64;
    static constexpr uint32_t kLoading = 0;
    static constexpr uint32_t kLoaded = 1;

    // Registers under `name` with the controller, then hands the image to the
    // runtime; the image may be freed as soon as this returns. Loaded
    // whatever the runtime answers: a refused image keeps the handle {0, 0}.
    VfxData(const void* image, uint32_t size, const char* name);
    // Leaves the controller's map and gives the effect back to the runtime.
    ~VfxData() override;

    const char* GetName() const { return name_; }
    uint32_t GetNameLength() const { return nameLength_; }
    FulgorCore::ObjectHandle GetHandle() const { return handle_; }
    uint32_t GetLoadState() const { return loadState_; }

private:
    char name_[kNameSize] = {};
    uint32_t nameLength_ = 0;
    FulgorCore::ObjectHandle handle_{};
    uint32_t loadState_ = kLoading;
};
