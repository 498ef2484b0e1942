#pragma once

#include "engine/graphics/GraphicsResource.h"

#include <cstdint>

namespace sys::gpu {
struct InputLayout;
}

namespace Mireku::Graphics {

class VertexLayout : public GraphicsResource {
public:
    ~VertexLayout() override;

    sys::gpu::InputLayout* GetLayout() const { return layout_; }
    // Bit n set when an element reads input slot n.
    uint32_t GetStreamMask() const { return streamMask_; }
    void Set(sys::gpu::InputLayout* layout, uint32_t streamMask) {
        layout_ = layout;
        streamMask_ = streamMask;
    }

private:
    sys::gpu::InputLayout* layout_ = nullptr;
    uint32_t streamMask_ = 0;
};

} // namespace Mireku::Graphics
