#pragma once

#include "effects/Core/Interface/InstanceHandle.h"
#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

// Given per instance at creation; one reference held per instance.
class IInstanceListenner : public InterfaceBase {
public:
    // Told the new handle right after binding.
    virtual void OnCreate(InstanceHandle handle) = 0;
    // Told the handle when the instance record is freed, before the
    // reference is given back.
    virtual void OnRelease(InstanceHandle handle) = 0;
    // A timeline event: four texts, three integers, three floats.
    virtual void OnEvent(const char* const* texts, const int32_t* integers,
                         const float* floats) = 0;
    // A particle reports the translation of its world matrix.
    virtual bool OnPosition(const float* position) = 0;
};

} // namespace FulgorCore
