#pragma once

#include <cstdint>

// The effects runtime's allocation callbacks on the engine heap, each call
// under the heap's lock (the heap has none of its own). Only the size is
// read: the runtime's zero word, source file, line and label are not.
// Null for a size of 0 or an exhausted heap.
void* VfxAlloc(uint32_t size, uint32_t zero, const char* file, uint32_t line, const char* label);
void VfxFree(void* block);
