#pragma once

#include "effects/Core/Interface/InterfaceBase.h"
#include "effects/Core/Interface/ObjectHandle.h"

#include <cstdint>

namespace FulgorCore {

class ITexture;

// Given with each effect image the host loads; the runtime holds one
// reference per registered effect.
class IObjectListenner : public InterfaceBase {
public:
    // Told the new handle after a registration.
    virtual void OnCreate(ObjectHandle handle) = 0;
    // Told the handle when the effect's last reference goes.
    virtual void OnRelease(ObjectHandle handle) = 0;
    // A texture the effect names instead of carrying it; null when the host
    // has none. It comes with one reference, which the effect's package
    // owns and gives back when it is destroyed.
    virtual ITexture* FindTexture(const char* name) = 0;
    // A unit's sound by its name and its parameter word; 0 for none.
    virtual uint32_t FindSound(const char* name, uint32_t parameter) = 0;
    // Gives back a sound FindSound returned.
    virtual void ReleaseSound(uint32_t sound) = 0;
    // Asked to register an effect the loaded one refers to by name; {0, 0}
    // when the host has none.
    virtual ObjectHandle LoadReferencedEffect(const char* name) = 0;
};

} // namespace FulgorCore
