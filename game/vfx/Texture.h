#pragma once

#include "effects/Core/Interface/ITexture.h"
#include "engine/graphics/Texture.h"
#include "game/vfx/HostObject.h"

// An engine texture handed to the effects runtime.
class Texture : public HostObject<FulgorCore::ITexture, Mireku::Graphics::Texture> {
public:
    using HostObject::HostObject;

    // The mip levels of the engine texture, so the runtime reads a model's
    // reflection at the right level; a texture always has its top level.
    uint32_t GetLevelCount() override {
        const Mireku::Graphics::Texture* engine = Get();
        const uint32_t levels = engine ? engine->GetMipLevels() : 0;
        return levels > 1 ? levels : 1;
    }

    // Asked by the device before binding: the engine texture is bound only
    // when this answers false, which every texture of this game does.
    virtual bool IsUnbound() { return false; }
    virtual bool Reserved6() { return false; }
    virtual void Reserved7() {}
};
