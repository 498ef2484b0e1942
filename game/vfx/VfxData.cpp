#include "game/vfx/VfxData.h"

#include "effects/Core/Engine/Engine.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxObjectListenner.h"

#include <cstring>

VfxData::VfxData(const void* image, uint32_t size, const char* name) {
    // A longer name would overrun the field: it is cut, and the length says
    // what was kept.
    if (name) {
        nameLength_ = static_cast<uint32_t>(strnlen(name, kNameSize - 1));
        std::memcpy(name_, name, nameLength_);
    }
    name_[nameLength_] = '\0';
    if (VfxController* controller = VfxController::GetInstance())
        controller->AddData(this);
    handle_ = FulgorCore::Engine::LoadResource(image, size, &VfxObjectListenner::Get());
    loadState_ = kLoaded;
}

VfxData::~VfxData() {
    if (VfxController* controller = VfxController::GetInstance())
        controller->RemoveData(this);
    FulgorCore::Engine::ReleaseResource(handle_.index, handle_.serial);
}
