#pragma once

#include "effects/Core/Interface/InstanceHandle.h"
#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

// Given per instance at creation; one reference held per instance. The
// operations are declared in the order the runtime knows them; the ones
// without a name of their own answer neutrally (nothing, 0 or false) unless
// a host cares.
class IInstanceListenner : public InterfaceBase {
public:
    // Told the new handle right after binding.
    virtual void OnCreate(InstanceHandle handle) = 0;
    // Told the handle when the instance record is freed, before the
    // reference is given back.
    virtual void OnRelease(InstanceHandle handle) = 0;
    // A particle whose data names a host object starts: the object's id, its
    // name and parameter, and the particle's position (three floats). The
    // answer is kept as the object's handle.
    virtual uint32_t StartHostObject(uint32_t, const char*, uint32_t, const float*) { return 0; }
    // The host object of that particle stops: its id and the handle the start
    // gave.
    virtual void StopHostObject(uint32_t, uint32_t) {}
    // A timeline event: four texts, three integers, three floats.
    virtual void OnEvent(const char* const* texts, const int32_t* integers,
                         const float* floats) = 0;
    // The bind-target lists X and Y: their counts, then element i of each.
    virtual uint32_t GetTargetCountX() { return 0; }
    virtual uint32_t GetTargetCountY() { return 0; }
    virtual uint32_t GetTargetX(uint32_t) { return 0; }
    virtual uint32_t GetTargetY(uint32_t) { return 0; }
    // The 3x4 matrix of a bind target for an endpoint with its two words;
    // the caller takes the matrix whatever the answer.
    virtual bool GetTargetMatrix(uint32_t, uint32_t, uint32_t, float*) { return false; }
    // A posted event a particle turns into a schedule: the event number and
    // the value of its event record.
    virtual void OnUnitEvent(uint32_t, uint32_t) {}
    // A particle reports the translation of its world matrix.
    virtual bool OnPosition(const float* position) = 0;
    virtual bool Reserved15(uint32_t, uint32_t, uint32_t, uint32_t) { return false; }
};

} // namespace FulgorCore
