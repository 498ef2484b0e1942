#pragma once

#include <cstdint>

namespace FulgorCore::Renderer {

static constexpr uint32_t kDrawLayerCount = 2;

// Start of the frame's drawing: the vertex and index list positions and the
// ready flag go back to zero.
void ResetDrawState();
// Draws one effect draw layer into the calling thread's draw context at the
// context's current sort priority. A layer holding no draw records, or an
// index beyond the layers, draws nothing.
void DrawLayer(uint32_t layer, uint32_t flags);

// Inspection of the frame state.
uint32_t GetVertexPosition();
uint32_t GetIndexPosition();
bool IsReady();
uint32_t GetLayerRecordCount(uint32_t layer);

} // namespace FulgorCore::Renderer
