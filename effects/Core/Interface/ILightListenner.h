#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

// The host's light callbacks, given once at start-up (required). Every
// instance's root asks the two queries about the instance's position, each
// at its own period of frames; the form of the package's light parameters
// belongs to the host. The operations without a name have no caller. A host
// that has no lights keeps the neutral answers.
class ILightListenner : public InterfaceBase {
public:
    virtual uint32_t Reserved3() { return 0; }
    virtual bool Reserved4(uint32_t, uint32_t) { return false; }
    virtual void Reserved5(uint32_t, uint32_t, uint32_t) {}
    // The package's light parameter word A (or B), the root's translation
    // (three floats) and four floats for the result; true when they were
    // written.
    virtual bool QueryLightA(uint32_t, const float*, float*) { return false; }
    virtual bool QueryLightB(uint32_t, const float*, float*) { return false; }
};

} // namespace FulgorCore
