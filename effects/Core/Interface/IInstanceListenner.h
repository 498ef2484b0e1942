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
    // The bind targets a binding's carriers attach to: two lists the host
    // keeps, X and Y, each a count and its elements by index.
    virtual uint32_t GetTargetCountX() = 0;
    virtual uint32_t GetTargetCountY() = 0;
    virtual uint32_t GetTargetX(uint32_t index) = 0;
    virtual uint32_t GetTargetY(uint32_t index) = 0;
    // Writes the 3x4 matrix of a bind target for a carrier's endpoint (the
    // endpoint's two words passed through); the runtime does not look at
    // the answer.
    virtual bool GetTargetMatrix(uint32_t target, uint32_t word0, uint32_t word1,
                                 float* matrix34) = 0;
    // A particle reports the translation of its world matrix.
    virtual bool OnPosition(const float* position) = 0;
};

} // namespace FulgorCore
