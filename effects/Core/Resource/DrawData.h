#pragma once

namespace FulgorCore {

// Root of the draw-type records that a draw part's "DatP" builds. The draw
// part destroys its record through this destructor; only meshes (type 13)
// hold anything to release, and no record frees memory: the block of the
// effect file is freed whole.
class DrawData {
public:
    DrawData() = default;
    DrawData(const DrawData&) = delete;
    DrawData& operator=(const DrawData&) = delete;
    virtual ~DrawData() = default;
};

} // namespace FulgorCore
