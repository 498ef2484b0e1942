#pragma once

#include <cstdint>

namespace Mireku::Graphics {

class ConstantBuffer;
class DepthStencilTexture;
class RenderTargetTexture;
class SamplerState;
class Texture;

enum CommandType : uint32_t {
    kCommandNone = 0,
    kCommandSetRenderTargets = 1,
    kCommandSetBackBuffer = 2,
    kCommandSetViewport = 3,
    kCommandSetScissor = 4,
    kCommandClear = 5,
    kCommandDraw = 6,
    kCommandDrawIndexed = 7,
};

// 16 bytes, sorted by (keyHigh, keyLow) as one unsigned 64-bit number. The
// payload is named by its byte offset from the start of the command block, so
// the header keeps its size on a 64-bit build.
struct CommandHeader {
    uint32_t keyLow;
    uint32_t keyHigh;
    uint32_t payload;
    uint32_t type;

    uint64_t Key() const { return (static_cast<uint64_t>(keyHigh) << 32) | keyLow; }
};
static_assert(sizeof(CommandHeader) == 16);

struct SetRenderTargetsPayload {
    uint32_t count;
    RenderTargetTexture* colour[4];
    DepthStencilTexture* depth;
};

// Viewport and scissor rectangles; a scissor of all zeros is the whole viewport.
struct RectPayload {
    int16_t x, y, width, height;
};
static_assert(sizeof(RectPayload) == 8);

struct ClearPayload {
    float colour[4];
};

// Binding-list entries, reserved beside the payload when a draw is recorded.
struct ConstantBufferEntry {
    ConstantBuffer* buffer;
    const void* data; // the buffer's frame data at the moment of recording
    uint32_t slot;
};

struct TextureEntry {
    Texture* texture;
    uint32_t slot;
};

struct SamplerEntry {
    SamplerState* sampler;
    uint32_t slot;
};

} // namespace Mireku::Graphics
