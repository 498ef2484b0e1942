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

} // namespace Engine
} // namespace FulgorCore
