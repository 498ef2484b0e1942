#pragma once

#include "effects/Core/Interface/ObjectHandle.h"

#include <cstdint>

namespace FulgorCore {

// An effect the package refers to by name: the name points at a unit's
// "VfxF" copy or into a timeline clip, both in the package's block and
// zero-terminated; the handle is filled when the registration resolves it.
// An entry naming the effect that holds it keeps its handle but no
// reference (one on itself would keep the effect loaded for ever), so the
// package gives none back for it.
struct ReferenceEntry {
    const char* name;
    ObjectHandle handle;
    uint8_t namesItself;
};

} // namespace FulgorCore
