#pragma once

#include "engine/graphics/PipelineState.h"

namespace sys::gpu {
struct RasterizerState;
}

namespace Mireku::Graphics {

class RasterizerState : public PipelineState<sys::gpu::RasterizerState> {
public:
    using PipelineState::PipelineState;
};

} // namespace Mireku::Graphics
