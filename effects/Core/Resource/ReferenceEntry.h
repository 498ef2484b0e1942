#pragma once

#include "effects/Core/Interface/ObjectHandle.h"

namespace FulgorCore {

// An effect the package refers to by name: the name points at a unit's
// "VfxF" copy or into a timeline clip, both in the package's block and
// zero-terminated; the handle is filled when the registration resolves it.
struct ReferenceEntry {
    const char* name;
    ObjectHandle handle;
};

} // namespace FulgorCore
