#pragma once

#include <cstdint>

namespace FulgorCore {

class IObjectListenner;
class PackageResource;

// One record of the effect table. Free records sit in the free list with
// serial 0; registered ones in the active list with at least one reference.
struct ObjectSlot {
    static constexpr uint32_t kNameSize = 48;

    uint32_t index;             // position in the table, kept for ever
    uint32_t serial;            // 0 while free
    IObjectListenner* listener; // may be null
    PackageResource* package;   // built from the file's last counted "Pack"
    ObjectSlot* previous;       // active list
    ObjectSlot* next;           // active list in use, free list when free
    void* runtimeData;          // the "Runtime.Data" block (owned)
    uint32_t runtimeDataSize;   // its measured size
    int32_t referenceCount;
    char name[kNameSize]; // 47 characters and a terminator
};

} // namespace FulgorCore
