#pragma once

#include "engine/graphics/PipelineState.h"

namespace sys::gpu {
struct SamplerState;
}

namespace Mireku::Graphics {

class SamplerState : public PipelineState<sys::gpu::SamplerState> {
public:
    using PipelineState::PipelineState;
};

} // namespace Mireku::Graphics
