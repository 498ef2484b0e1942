#pragma once

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"

namespace FulgorCore {

// The one pool block a draw unit may keep beside its own block and its
// render block, taken when the member is built (null when the pool has
// none) and given back when the member ends. Every class declares it after
// its draw command, so a unit's blocks go back in one order whatever its
// class: its own records first (a strip's history, then this block), then
// the command ends, then the base gives back the render block, and the
// deleting destructor the unit's own block. The pool hands blocks out last
// in first out, so the next takes get them in the reverse order.
class DrawUnitExtraBlock {
public:
    DrawUnitExtraBlock() : block_(Engine::GetUnitInstancePool().Allocate()) {}
    DrawUnitExtraBlock(const DrawUnitExtraBlock&) = delete;
    DrawUnitExtraBlock& operator=(const DrawUnitExtraBlock&) = delete;
    ~DrawUnitExtraBlock() {
        if (block_)
            Engine::GetUnitInstancePool().Free(block_);
    }

    void* Get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }

private:
    void* block_;
};

} // namespace FulgorCore
