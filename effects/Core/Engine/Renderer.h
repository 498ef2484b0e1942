#pragma once

#include <cstdint>

namespace FulgorCore {

struct InitializeParameter;
struct RendererWorkData;

namespace Renderer {

// Start-up of the renderer (called by Engine::Initialize after its checks):
// the work block, the device reference, the vertex and index buffer pools
// and the projection cube's two static buffers. False, with the message sent
// to the log, when the block or a cube buffer cannot be had; what was made
// stays for Finalize.
bool Initialize(const InitializeParameter& parameter);
// Releases the cube buffers, both pools, the device reference and the block.
// Called by Engine::Finalize.
void Finalize();

// Start of the frame's drawing: both buffer pools back to their first buffer
// with nothing used, and the exhausted flag cleared. Nothing happens while
// the runtime is not started.
void ResetDrawState();
// Draws one effect layer (0-15). No instance reaches the layer lists yet, so
// a layer draws nothing; nothing happens while the runtime is not started.
void DrawLayer(uint32_t layer, uint32_t flags);

// The instances waiting in a layer's list; 0 for a layer beyond the lists or
// while the runtime is not started.
uint32_t GetLayerRecordCount(uint32_t layer);

// The renderer's block, or null while the runtime is not started.
RendererWorkData* GetWorkData();

} // namespace Renderer
} // namespace FulgorCore
