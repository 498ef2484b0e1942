#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/graphics/CommandHeader.h"

#include <cstdint>

namespace Mireku::Graphics {

struct DrawPayload;

// Runs a handed-over frame on the render thread: sorts its command headers by
// key, executes them through the graphics device's state cache, presents.
class ContextExecutor : public Common::SingletonObject, public Common::Singleton<ContextExecutor> {
public:
    ContextExecutor() { Reset(); }

    // `block` starts with `count` headers; payload offsets are from `block`.
    void SetCommands(uint8_t* block, uint32_t count) {
        block_ = block;
        count_ = count;
    }
    // The staging half the render thread uploads from (1 - frame index).
    void SetUploadHalf(uint32_t half) { uploadHalf_ = half & 1; }
    void Reset();

    // Sort, execute, present, empty the list.
    void Execute();
    // Sort and execute without presenting (Execute's first half).
    void ExecuteCommands();
    static void SortHeaders(CommandHeader* headers, uint32_t count);

    void ExecuteSetRenderTargets(const void* payload);
    void ExecuteSetBackBuffer();
    void ExecuteViewport(const void* payload);
    void ExecuteScissor(const void* payload);
    void ExecuteClear(const void* payload);
    void ExecuteDraw(const void* payload);
    void ExecuteDrawIndexed(const void* payload);

    uint8_t IsBackBufferCurrent() const { return backBuffer_; }

private:
    void PrepareDraw(const DrawPayload& payload, bool indexed);

    uint8_t* block_ = nullptr;
    uint32_t count_ = 0;
    RenderTargetTexture* colour_[4] = {};
    DepthStencilTexture* depth_ = nullptr;
    uint8_t backBuffer_ = 1;
    uint32_t uploadHalf_ = 1;
};

} // namespace Mireku::Graphics
