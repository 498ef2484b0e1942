// The null graphics backend: executes nothing and records every immediate-
// context call, so tests can check what the engine sent and in which order.
#pragma once

#include "sys/gpu.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sys::gpu {

enum class NullOp : uint32_t {
    CreateObject,
    DestroyObject,
    ClearState,
    SetRenderTargets,
    SetViewport,
    SetScissorRect,
    ClearRenderTargetView,
    ClearDepthStencilView,
    SetRasterizerState,
    SetDepthStencilState,
    SetBlendState,
    SetShader,
    SetConstantBuffers,
    SetShaderResources,
    SetSamplers,
    SetUnorderedAccessViews,
    SetInputLayout,
    SetVertexBuffers,
    SetIndexBuffer,
    SetTopology,
    Draw,
    DrawIndexed,
    Map,
    Unmap,
    UpdateSubresource,
    Present,
};

// One recorded call. `stage`, `start`, `count` and `value` carry the integer
// arguments (draw counts in `count` and `start`, a topology or a format in
// `value`); `objects` the first handles passed (up to four).
struct NullCall {
    NullOp op;
    uint32_t stage = 0;
    uint32_t start = 0;
    uint32_t count = 0;
    int64_t value = 0;
    const void* objects[4] = {nullptr, nullptr, nullptr, nullptr};
    float floats[4] = {0, 0, 0, 0};
};

// A null device keeps at most this many calls: when the recording is full it
// drops its older half, so a long headless run does not grow without bound.
// Tests clear the recording (NullCalls()->clear()) before what they check.
constexpr size_t kNullCallLimit = size_t{1} << 16;

// The recording of a null device; null for a device of another backend.
std::vector<NullCall>* NullCalls(Device* device);
// With recording off a null device only counts its calls (benchmarks).
void SetNullRecording(Device* device, bool record);
uint64_t NullCallCount(Device* device);
// The display-mode list a null device reports.
void SetNullDisplayModes(Device* device, const DisplayMode* modes, uint32_t count);
// The full-screen state null devices leave on their (imaginary) display; it
// stays when the device goes.
bool NullDisplayIsFullscreen();
// Makes the next CreateContext / CreateSwapChain of a null device fail.
void SetNullFailures(Device* device, bool context, bool swapChain);
// Contents written through Map/UpdateSubresource into a null device's buffer.
const std::vector<uint8_t>* NullBufferContents(const Buffer* buffer);

} // namespace sys::gpu
