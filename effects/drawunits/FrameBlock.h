#pragma once

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cstdint>

namespace FulgorCore {

// The one take of frame memory a strip, ring or trail makes for its frame
// geometry (rounded to 16 bytes, one atomic add). Without room the owner
// ends, so neither it nor its draw units are collected for drawing this
// frame, and null is returned for the build to stop at once. Once a half
// has overflowed every later take of the frame fails, 0 bytes included.
inline void* TakeFrameBlock(DrawUnit& unit, uint32_t bytes) {
    void* block = Engine::GetFrameWorkMemory().Allocate(bytes);
    if (!block)
        unit.ownerUnit->Finish();
    return block;
}

} // namespace FulgorCore
