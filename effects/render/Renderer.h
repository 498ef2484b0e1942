#pragma once

#include <cstdint>

namespace FulgorCore {

class IShader;
struct DrawListEntry;
struct DrawParameter;
struct InitializeParameter;
struct RendererWorkData;
struct TextureSlot;

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
// with nothing used, the exhausted flag cleared, and the device told.
// Nothing happens while the runtime is not started.
void ResetDrawState();
// Draws one effect layer (0-15; above is ignored) of the enabled layers:
// the instances of its list that are shown, in the view, in the draw's
// visibility mask, not transparent and in the frustum are sorted by their
// keys into the sort list. The buffers are begun and committed through the
// device; the draw units that fill them come with the unit tree.
void DrawLayer(uint32_t layer, uint32_t flags);
// The projection list and one instance: begun and committed the same way.
void DrawProjectionList();
void DrawInstance(uint32_t index, uint32_t serial);

// The camera and draw settings of one view (Engine::Draw).
void SetCamera(uint32_t view, const DrawParameter& parameter);
// View, projection, their product and inverses, the orthographic flag and
// the camera rotation.
void SetViewProjection(const float* view, const float* projection);
// Once per update: the camera's world matrix from the last draw's view, the
// camera rotation from this frame's view.
void SetFrameCamera(const float* viewMatrix);
// A layer begins: both pools lock the rest of their current buffer.
void BeginFrame(uint32_t layer);
// Hands what both pools wrote since the layer began back to the device.
void CommitDirtyRanges();
// Before each batch: flushes the pending batch unless the shader, the state
// word and every texture slot in `mask` are what they were. A null table
// reads as eight empty slots.
void ApplyState(const IShader* shader, const uint32_t* stateWord, const TextureSlot* bindings,
                uint8_t mask);
// Writes the pending batch.
void FlushBatches();

// The four draw orders a package chooses ("DOT"): each draws the collected
// draw units of one category (its 7 fill counts and 7 arrays), list by
// list; order 2 sorts a list by its key and draws it from its last entry.
// Drawing a unit comes with the draw units; until then an order draws
// nothing.
using DrawOrder = void (*)(const uint32_t* fillCounts, DrawListEntry* const* lists);
inline constexpr uint32_t kDrawOrderCount = 4;
extern const DrawOrder kDrawOrders[kDrawOrderCount];

// The instances waiting in a layer's list; 0 for a layer beyond the lists or
// while the runtime is not started.
uint32_t GetLayerRecordCount(uint32_t layer);

// The renderer's block, or null while the runtime is not started.
RendererWorkData* GetWorkData();

} // namespace Renderer
} // namespace FulgorCore
