#pragma once

#include <cstdint>

namespace FulgorCore {

class IShader;
struct RendererWorkData;
struct TextureSlot;

namespace Renderer {

// The renderer's steps on a work block the caller already holds: the layer
// draw and the reservations run them per instance and per unit, so they
// skip looking the block up again. The public forms in Renderer.h look it
// up and call these.

// FlushBatches on `work` (AddDrawRecord's is in DrawRecordFill.h).
void FlushBatchesOf(RendererWorkData& work);
// ApplyState's change of batch: the pending batch flushed, the request's
// state adopted (its table copied). The caller has found the state differs.
void AdoptBatchState(RendererWorkData& work, const IShader* shader, uint32_t stateWord,
                     const TextureSlot* bindings, uint8_t mask);

} // namespace Renderer
} // namespace FulgorCore
