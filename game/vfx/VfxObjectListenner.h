#pragma once

#include "effects/Core/Interface/IObjectListenner.h"
#include "game/vfx/CountedInterface.h"

// The runtime's listener of every effect file the game loads. The game has
// no textures, sounds or effects to give by name: an effect that refers to
// another finds it only when that one is loaded already. One object serves
// all loads; it lives until the program ends and keeps the reference it was
// made with, so its count never reaches zero.
class VfxObjectListenner : public CountedInterface<FulgorCore::IObjectListenner> {
public:
    // The one listener, made on first use.
    static VfxObjectListenner& Get();

    void OnCreate(FulgorCore::ObjectHandle) override {}
    void OnRelease(FulgorCore::ObjectHandle) override {}
    FulgorCore::ITexture* FindTexture(const char*) override { return nullptr; }
    uint32_t FindSound(const char*, uint32_t) override { return 0; }
    void ReleaseSound(uint32_t) override {}
    FulgorCore::ObjectHandle LoadReferencedEffect(const char*) override { return {}; }

private:
    VfxObjectListenner() = default;
};
