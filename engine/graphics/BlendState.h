#pragma once

#include "engine/graphics/PipelineState.h"

namespace sys::gpu {
struct BlendState;
}

namespace Mireku::Graphics {

class BlendState : public PipelineState<sys::gpu::BlendState> {
public:
    using PipelineState::PipelineState;
};

} // namespace Mireku::Graphics
