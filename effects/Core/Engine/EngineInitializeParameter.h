#pragma once

#include <cstdint>

namespace FulgorCore {

// The allocator and log part of the start-up record.
struct EngineInitializeParameter {
    // Every allocation of the runtime: size, 0, the runtime's source file and
    // line, and a label naming the purpose. Required.
    void* (*pAllocator_Alloc)(uint32_t size, uint32_t zero, const char* file, uint32_t line,
                              const char* label);
    // Frees what pAllocator_Alloc returned. Required.
    void (*pAllocator_Free)(void* memory);
    // Stored at start-up and never read.
    void* pUserData;
    // Receives every start-up and loading message, each a whole line ending
    // in a line feed. Optional.
    void (*pLogOutput)(const char* text);
};

} // namespace FulgorCore
