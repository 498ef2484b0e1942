#pragma once

#include "engine/graphics/GraphicsResource.h"
#include "sys/gpu.h"

namespace Mireku::Graphics {

// A wrapper around one immutable device state object (blend, depth-stencil,
// rasterizer or sampler state).
template <class DeviceState> class PipelineState : public GraphicsResource {
public:
    explicit PipelineState(DeviceState* state = nullptr) : state_(state) {}
    ~PipelineState() override { ReleaseDeviceObject(sys::gpu::AsObject(state_)); }
    DeviceState* GetState() const { return state_; }
    void SetState(DeviceState* state) { state_ = state; }

private:
    DeviceState* state_;
};

} // namespace Mireku::Graphics
