#include "effects/Core/Engine/RuntimeGlobals.h"

namespace FulgorCore {

void* RuntimeGlobals::Allocate(uint32_t size, const char* label, const char* file,
                               uint32_t line) const {
    if (!callbacks.pAllocator_Alloc)
        return nullptr;
    return callbacks.pAllocator_Alloc(size, 0, file, line, label);
}

void RuntimeGlobals::Free(void* memory) const {
    if (memory && callbacks.pAllocator_Free)
        callbacks.pAllocator_Free(memory);
}

void RuntimeGlobals::Log(const char* text) const {
    if (callbacks.pLogOutput)
        callbacks.pLogOutput(text);
}

// Constant-initialised, so it is ready before any static constructor runs
// and reading it costs no guard.
constinit RuntimeGlobals RuntimeGlobals::instance_;

} // namespace FulgorCore
