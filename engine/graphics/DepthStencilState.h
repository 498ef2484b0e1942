#pragma once

#include "engine/graphics/PipelineState.h"

namespace sys::gpu {
struct DepthStencilState;
}

namespace Mireku::Graphics {

class DepthStencilState : public PipelineState<sys::gpu::DepthStencilState> {
public:
    using PipelineState::PipelineState;
};

} // namespace Mireku::Graphics
