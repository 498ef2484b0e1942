#pragma once

#include <cstdint>

namespace FulgorCore {

class IIndexBuffer;
class IShader;
class IVertexBuffer;
struct DrawListEntry;
struct DrawParameter;
struct DrawRecord;
struct InitializeParameter;
struct MeshSet;
struct RenderCommand;
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

// Draws one effect layer (0-15; above, or a disabled layer, is ignored):
// the instances of its list that are shown, in the view, in the draw's
// visibility mask, not transparent and in the frustum are sorted back to
// front (priority, then depth when the layer sorts by depth, then the
// higher index first), each gets a draw record and draws its units of
// category 0, and the records run through the device. An empty list makes
// no device call. The second argument is the host's and is not read.
void DrawLayer(uint32_t layer, uint32_t flags);
// The same over the projection list, drawing category 1 (projection
// volumes), keyed by priority and layer byte.
void DrawProjectionList();
// One instance by handle, categories 1 and 0; view mask and visibility are
// not tested. A handle that names no live instance draws nothing.
void DrawInstance(uint32_t index, uint32_t serial);

// The camera and draw settings of one view (Engine::Draw).
void SetCamera(uint32_t view, const DrawParameter& parameter);
// View, projection, their product and inverses, the orthographic flag and
// the camera rotation.
void SetViewProjection(const float* view, const float* projection);
// Once per update: the camera's world matrix from the last draw's view, the
// camera rotation from this frame's view.
void SetFrameCamera(const float* viewMatrix);
// A layer begins: the record area is emptied and both pools lock the rest
// of their current buffer.
void BeginFrame(uint32_t layer);
// Hands what both pools wrote since the layer began back to the device
// (vertex pool first) and ends the layer's reservations.
void CommitDirtyRanges();
// The next buffer of a pool, locked whole as the write pointer; false
// (and the pools marked exhausted for the frame) when there is none or it
// cannot be locked.
bool MapNextVertexBuffer();
bool MapNextIndexBuffer();
// Before each batch: flushes the pending batch unless the shader, the state
// word and every texture slot in `mask` are what they were. A null table
// reads as eight empty slots.
void ApplyState(const IShader* shader, const uint32_t* stateWord, const TextureSlot* bindings,
                uint8_t mask);
// Turns what was reserved since the last flush into one render command of
// the current batch kind (1 vertices, 2 particles, 3 indexed; others make
// none), then counts the reserved bytes as used in both pools.
void FlushBatches();
// Unmaps the pools and runs every draw record of the layer with its
// commands through the device.
void ExecuteDrawRecords();

// The record area. A draw record from the bottom, made current; null when
// the area is full.
DrawRecord* AllocDrawRecord();
// A draw record for one instance: its root colour, soft-particle distance,
// camera space (0 the view x projection, 1 the projection, 2 the screen;
// another value reads as 0) and the light pointers (each may be null).
void AddDrawRecord(const float* rootColor, float softDistance, uint32_t viewIndex,
                   const float* effectLight, const float* alphaLightMatrix,
                   const float* alphaLightParameter);
// A render command of `bytes` from the top, chained at the end of the
// current draw record; null when the area is full or no record is current.
RenderCommand* AllocateCommand(uint32_t bytes);
// Typed: T begins with its RenderCommand header.
template <class T> T* AllocateCommand() {
    return reinterpret_cast<T*>(AllocateCommand(sizeof(T)));
}
// Room for a draw unit's draw command from the top, not chained; null when
// the area is full.
void* AllocateDrawCommandSpace(uint32_t bytes);

// Reservations of vertex (and index) room under a material's state, one
// per vertex stride: (shader, state word, the 8 texture slots, mask of the
// slots in use, out vertices, vertex count, out indices, out base vertex,
// index count). Requests with equal state share one batch; indices count
// from the base vertex. False when the request is larger than one buffer,
// the pools are exhausted or no layer is being drawn.
template <uint32_t Stride>
bool ReserveIndexed(const IShader* shader, const uint32_t* stateWord, const TextureSlot* slots,
                    uint8_t mask, void** vertices, uint32_t vertexCount, uint16_t** indices,
                    uint16_t* baseVertex, uint32_t indexCount);
inline constexpr auto* ReserveVertices = &ReserveIndexed<36>;
inline constexpr auto* ReserveVertices32 = &ReserveIndexed<32>;
inline constexpr auto* ReserveVertices44 = &ReserveIndexed<44>;
inline constexpr auto* ReserveVertices48 = &ReserveIndexed<48>;
inline constexpr auto* ReserveVertices52 = &ReserveIndexed<52>;
// Vertices without indices (lines).
bool ReserveVerticesNoIndex32(const IShader* shader, const uint32_t* stateWord,
                              const TextureSlot* slots, uint8_t mask, void** vertices,
                              uint32_t vertexCount);

// Ready render commands of meshes in buffers of their own, under the
// material's state; `textureRegisters` is 2 per texture-coordinate set.
// Nothing when the record area is full.
void IssueMeshCommand(uint32_t textureRegisters, IVertexBuffer* vertexBuffer, uint32_t vertexCount,
                      IIndexBuffer* indexBuffer, uint32_t indexCount, const IShader* shader,
                      const float* worldMatrix, const float* uvTransforms, uint8_t screenPosition,
                      const uint32_t* stateWord, const TextureSlot* slots, uint8_t mask,
                      const float* baseColor, const float* vertexParameters,
                      const float* pixelParameters, const float* falloff);
// A model draws its second buffer set with the morph model's as stream 1
// when both have one, else its first set alone.
void IssueModelCommand(uint32_t textureRegisters, const MeshSet* model, const MeshSet* morph,
                       const IShader* shader, const float* worldMatrix, const float* uvTransforms,
                       uint8_t screenPosition, const uint32_t* stateWord, const TextureSlot* slots,
                       uint8_t mask, const float* baseColor, const float* vertexParameters,
                       const float* pixelParameters, const float* falloff, const float* specular,
                       const float* pointLights);
void IssueProjectionCommand(uint32_t textureRegisters, const IShader* shader,
                            const float* worldMatrix, const float* uvTransforms,
                            const uint32_t* stateWord, const TextureSlot* slots, uint8_t mask,
                            const float* baseColor, const float* vertexParameters,
                            const float* pixelParameters);

// The same per vertex format N (0-6 texture-coordinate sets).
template <uint32_t N>
void IssueDrawCommand(IVertexBuffer* vertexBuffer, uint32_t vertexCount, IIndexBuffer* indexBuffer,
                      uint32_t indexCount, const IShader* shader, const float* worldMatrix,
                      const float* uvTransforms, uint8_t screenPosition, const uint32_t* stateWord,
                      const TextureSlot* slots, uint8_t mask, const float* baseColor,
                      const float* vertexParameters, const float* pixelParameters,
                      const float* falloff) {
    static_assert(N <= 6);
    IssueMeshCommand(2 * N, vertexBuffer, vertexCount, indexBuffer, indexCount, shader, worldMatrix,
                     uvTransforms, screenPosition, stateWord, slots, mask, baseColor,
                     vertexParameters, pixelParameters, falloff);
}
template <uint32_t N>
void IssueModelDrawCommand(const MeshSet* model, const MeshSet* morph, const IShader* shader,
                           const float* worldMatrix, const float* uvTransforms,
                           uint8_t screenPosition, const uint32_t* stateWord,
                           const TextureSlot* slots, uint8_t mask, const float* baseColor,
                           const float* vertexParameters, const float* pixelParameters,
                           const float* falloff, const float* specular, const float* pointLights) {
    static_assert(N <= 6);
    IssueModelCommand(2 * N, model, morph, shader, worldMatrix, uvTransforms, screenPosition,
                      stateWord, slots, mask, baseColor, vertexParameters, pixelParameters, falloff,
                      specular, pointLights);
}
template <uint32_t N>
void IssueProjectionDrawCommand(const IShader* shader, const float* worldMatrix,
                                const float* uvTransforms, const uint32_t* stateWord,
                                const TextureSlot* slots, uint8_t mask, const float* baseColor,
                                const float* vertexParameters, const float* pixelParameters) {
    static_assert(N <= 6);
    IssueProjectionCommand(2 * N, shader, worldMatrix, uvTransforms, stateWord, slots, mask,
                           baseColor, vertexParameters, pixelParameters);
}

// Binds stages 0 to count - 1 of `mask` from the slots (a set bit with no
// texture binds null).
void BindTextures(const TextureSlot* slots, uint32_t mask, uint32_t count);
// Runs one render command through the device by its type's executor.
void ExecuteRenderCommand(const RenderCommand& command);

// The four draw orders a package chooses ("DOT"): each draws the collected
// draw units of one category (its 7 fill counts and 7 arrays), list by
// list: 0 as collected, 1 reversed, 2 sorted by key from the last, 3
// sorted by key from the first.
using DrawOrder = void (*)(const uint32_t* fillCounts, DrawListEntry* const* lists);
inline constexpr uint32_t kDrawOrderCount = 4;
extern const DrawOrder kDrawOrders[kDrawOrderCount];

// The instances waiting in a layer's list; 0 for a layer beyond the lists or
// while the runtime is not started.
uint32_t GetLayerRecordCount(uint32_t layer);

// The depth instances and draw lists sort by: the clip-space z of `point`
// (3 floats) under the view x projection, or its w when the projection is
// orthographic; 0 while the runtime is not started.
float ComputeViewDepth(const float* point);

// The renderer's block, or null while the runtime is not started.
RendererWorkData* GetWorkData();
// The eye the geometry of the current draw record faces: the camera
// position in view 0, the zero vector in views 1 and 2 and outside a
// record.
const float* GetViewVector();

} // namespace Renderer
} // namespace FulgorCore
