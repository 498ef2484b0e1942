#pragma once

#include "effects/Core/Interface/InstanceHandle.h"
#include "effects/Core/Interface/ObjectHandle.h"

#include <cstdint>

namespace FulgorCore {

class IInstanceListenner;
class IObjectListenner;
class ITexture;
class InputEvent;
class FrameWorkMemory;
class UnitInstancePool;
struct DrawParameter;
struct EngineWorkData;
struct InitializeParameter;
struct UpdateParameter;

// The runtime's public entry points. Every one is safe while the runtime is
// not started (before Initialize, after a failed one, after Finalize):
// nothing happens, and 0, false, 0.0 or {0, 0} comes back. Handles that no
// longer name a live effect or instance are ignored the same way.
namespace Engine {

// Instances draw on layers 0 to kLayerCount - 1.
inline constexpr uint32_t kLayerCount = 16;

// Starts the runtime from the host's record: checks it (each failure sends
// its message to the log callback and returns false), carves the frame
// memory and the unit pool from the host's buffers, sets up the renderer and
// the work data. The runtime counts as started only when every step
// succeeded. A second call while started returns false and changes nothing;
// a call after a failed one first lets go of what that one left.
bool Initialize(const InitializeParameter* parameter);

// Shuts the runtime down: every instance is freed, every effect released
// with its listener's calls, then the work data and its tables, the
// renderer's device buffers and its device reference. Safe when the runtime
// never started and after a failed Initialize.
void Finalize();

bool IsStarted();

// The work data, or null while the runtime is not started.
EngineWorkData* GetWorkData();
// Circle table k (k + 4 points of (cos, sin), for k + 3 segments), or null
// while not started or for k above 61.
const float* GetCirclePointTable(uint32_t k);
// The per-frame memory and the unit block pool over the host's buffers;
// while the runtime is not started, ones over no buffer that give nothing.
FrameWorkMemory& GetFrameWorkMemory();
UnitInstancePool& GetUnitInstancePool();

// Effect data.

// Registers an effect file image: one "Runtime.Data" block is measured,
// allocated and built from the last "Pack" that follows an accepted "Ver"
// (0x01010101). {0, 0} when the file has no such "Pack", its package is
// damaged, no record is free or the block cannot be had; nothing stays
// allocated then. The image may be freed afterwards. With a listener, it
// is told the handle and asked for referenced effects not registered yet.
ObjectHandle LoadResource(const void* image, uint32_t size, IObjectListenner* listener);
// Drops one reference; the last one releases the effect.
void ReleaseResource(uint32_t index, uint32_t serial);
void AddResourceRef(uint32_t index, uint32_t serial);
// The bytes of the effect's "Runtime.Data" block.
uint32_t GetResourceDataSize(uint32_t index, uint32_t serial);
// The number of "TexN" chunks at the top of a chunk stream; with `out`,
// the address of each one's payload in stream order. Reads only the
// stream, so it answers whether or not the runtime runs.
uint32_t FindTextureNameChunks(const void* stream, uint32_t size, const void** out);

// Instances.

// A new idle instance of the effect, holding a reference on it; {0, 0} for
// an invalid effect or a full instance table.
InstanceHandle CreateInstance(uint32_t effectIndex, uint32_t effectSerial,
                              IInstanceListenner* listener);
// Dead at once; the record is freed by the next Update.
void KillInstance(uint32_t index, uint32_t serial);
// 16 floats, row-major: the first three of each row are kept.
void SetInstanceMatrix(uint32_t index, uint32_t serial, const float* matrix44);
void SetInstanceColor(uint32_t index, uint32_t serial, float r, float g, float b, float a);
void SetInstanceSpeed(uint32_t index, uint32_t serial, float speed);
void SetInstanceDrawOffset(uint32_t index, uint32_t serial, float offset);
void SetInstanceParameter(uint32_t index, uint32_t serial, float value);
// View 0-15; a view above 15 is ignored.
void SetInstanceViewVisible(uint32_t index, uint32_t serial, uint32_t view, bool visible);
void SetInstanceVisibilityMask(uint32_t index, uint32_t serial, uint32_t mask);
// Every texture entry of the instance's effect labelled `name` takes
// `texture` (with a reference of its own).
void SetEffectTexture(uint32_t index, uint32_t serial, const char* name, ITexture* texture);
void SetInstanceHidden(uint32_t index, uint32_t serial, uint16_t hidden);
// Bit i of the timeline flags is set for each byte i that is 0.
void SetInstanceTimelineFlags(uint32_t index, uint32_t serial, const uint8_t* flags8);
// Starts (or restarts) at the next Update; bit 0 of `loop` restarts it
// each time its tree ends.
void PlayInstance(uint32_t index, uint32_t serial, float speed, uint8_t loop);
// Playing stops at the next Update; a start not made yet is withdrawn;
// paused, idle and stopping instances are left alone.
void StopInstance(uint32_t index, uint32_t serial);
bool IsInstancePlaying(uint32_t index, uint32_t serial);
// The root unit's elapsed time in frames.
float GetInstanceTime(uint32_t index, uint32_t serial);
// Layer 0-15, passed on to the child instances; a layer above 15 is
// ignored.
void SetInstanceLayer(uint32_t index, uint32_t serial, uint32_t layer);
// Drawing sorts by 65535 minus the order.
void SetInstanceDrawOrder(uint32_t index, uint32_t serial, uint16_t order);
// Bits 0-13 of the trigger word fire at the next Update (bit n fires
// trigger entry n - 1, bit 0 none); a bit above 15 is ignored.
void SetInstanceFlagBit(uint32_t index, uint32_t serial, uint32_t bit);
// Playing and paused swap; a start not made yet comes up paused.
void ToggleInstancePause(uint32_t index, uint32_t serial);

// The frame.

// Advances every instance by the parameter's time step and fills the draw
// lists; waits for the instance jobs when a dispatcher runs them.
void Update(const UpdateParameter* parameter);
// Both buffer pools back to their first buffer with nothing used.
void ResetDrawState();
// Takes the view's camera and draw settings (view 0-15); the pointer view
// also runs the pointer pass.
void Draw(uint32_t view, const DrawParameter* parameter);
// Draws layer 0-15 through the renderer; a layer above 15 is ignored.
void DrawLayer(uint32_t layer);
void DrawProjectionList();
void DrawInstance(uint32_t index, uint32_t serial);
// A layer whose byte is 0 is not drawn; a layer above 15 is ignored.
void SetLayerEnabled(uint32_t layer, uint8_t enabled);
void SetPointerView(uint32_t view, float value);
// Queues the event; a full queue drops its oldest entry first.
void PostInputEvent(const InputEvent* event);
// The pointer pass that the pointer view's Draw runs: the frame's pickable
// units by view depth, the hover test against the pointer's rays, then the
// queued commands oldest first, each turned into events on the pressed
// unit. A frame without pickable units keeps the commands queued.
void ProcessPointerInput();
// "ver.1.0.0 rev.2251".
const char* GetVersionString();

} // namespace Engine
} // namespace FulgorCore
