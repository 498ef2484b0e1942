#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

// The host's light callbacks, given once at start-up (required); the unit
// tree asks them about each instance's position.
class ILightListenner : public InterfaceBase {
public:
    // The two light queries of an instance, each at its own period of
    // frames: the package's light parameter of that query, the instance's
    // translation, and four floats for the answer.
    virtual bool QueryLightA(uint32_t parameter, const float* position, float* result) = 0;
    virtual bool QueryLightB(uint32_t parameter, const float* position, float* result) = 0;
};

} // namespace FulgorCore
