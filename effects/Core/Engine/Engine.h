#pragma once

#include <cstdint>

namespace FulgorCore {

struct EngineWorkData;
struct InitializeParameter;
class FrameWorkMemory;
class UnitInstancePool;

namespace Engine {

// Starts the runtime from the host's record: checks it (each failure sends
// its message to the log callback and returns false), carves the frame
// memory and the unit pool from the host's buffers, sets up the renderer and
// the work data. The runtime counts as started only when every step
// succeeded. A second call while started returns false and changes nothing;
// a call after a failed one first lets go of what that one left.
bool Initialize(const InitializeParameter* parameter);

// Shuts the runtime down: the work data and its tables, the renderer's
// device buffers and its device reference. Safe when the runtime never
// started and after a failed Initialize, whose half-built state it releases.
void Finalize();

bool IsStarted();

// The work data, or null while the runtime is not started.
EngineWorkData* GetWorkData();
// Circle table k (k + 4 points of (cos, sin), for k + 3 segments), or null
// while not started or for k above 61.
const float* GetCirclePointTable(uint32_t k);
// The per-frame memory and the unit block pool over the host's buffers.
FrameWorkMemory& GetFrameWorkMemory();
UnitInstancePool& GetUnitInstancePool();

// Drops one reference of the registered effect {index, serial}; a handle
// that no longer names a registered effect, or a runtime not started,
// changes nothing. A package releases the effects it refers to through this
// when it is destroyed.
//
// Least form until effect registration is built: it validates the handle
// against the effect table and lowers the reference count; what happens
// when the last reference goes (listener calls, the package destroyed, the
// block freed, the record back on the free list) belongs to registration.
void ReleaseResource(uint32_t index, uint32_t serial);

// Makes `block` the current runtime data: the global placement allocator
// builds into it from offset 0, and it is zero-filled.
void ResetRuntimeData(void* block, uint32_t size);

} // namespace Engine
} // namespace FulgorCore
