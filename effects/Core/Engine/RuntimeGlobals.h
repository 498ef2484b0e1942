#pragma once

#include "effects/Core/Engine/EngineInitializeParameter.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class JobDispatcher;
struct EngineWorkData;
struct RendererWorkData;

// The runtime's process-wide state: the two work blocks, the memories carved
// from the host's buffers and the host's callbacks. Everything the runtime
// allocates goes through Allocate, with the caller's source position.
struct RuntimeGlobals {
    EngineWorkData* engine = nullptr;
    RendererWorkData* renderer = nullptr;
    FrameWorkMemory frameMemory;
    UnitInstancePool unitPool;
    EngineInitializeParameter callbacks{};
    // Set only when every start-up step succeeded; every entry point but
    // Finalize does nothing while it is clear.
    bool started = false;
    // The host's job dispatcher while started, else null: every draw unit's
    // command asks it, so it is one load away.
    JobDispatcher* jobDispatcher = nullptr;

    // File and line default to the caller's position.
    void* Allocate(uint32_t size, const char* label, const char* file = __builtin_FILE(),
                   uint32_t line = __builtin_LINE()) const;
    // Null is ignored.
    void Free(void* memory) const;
    // Sent only when the host gave a log callback.
    void Log(const char* text) const;

    static RuntimeGlobals& Get() { return instance_; }

private:
    static RuntimeGlobals instance_;
};

} // namespace FulgorCore
