#pragma once

#include "effects/Core/Interface/InterfaceBase.h"
#include "effects/Core/Interface/ObjectHandle.h"

namespace FulgorCore {

// Given with each effect image the host loads; the runtime holds one
// reference per registered effect.
class IObjectListenner : public InterfaceBase {
public:
    // Told the new handle after a registration.
    virtual void OnCreate(ObjectHandle handle) = 0;
    // Told the handle when the effect's last reference goes.
    virtual void OnRelease(ObjectHandle handle) = 0;
    // Asked to register an effect the loaded one refers to by name; {0, 0}
    // when the host has none.
    virtual ObjectHandle LoadReferencedEffect(const char* name) = 0;
};

} // namespace FulgorCore
