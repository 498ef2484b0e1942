#pragma once

#include <cstdint>

namespace FulgorCore {

class IInstanceListenner;
class InstanceRootUnit;
struct ObjectSlot;

// One record of the instance table, with the values a new instance gets.
struct InstanceSlot {
    uint32_t index;               // position in the table, kept for ever
    uint32_t serial;              // 0 while free
    float transform[12];          // identity
    float colour[4];              // 1, 1, 1, 1
    float bounds[4];              // world bounding sphere
    IInstanceListenner* listener; // may be null; one reference held
    InstanceRootUnit* root;       // null while not started
    ObjectSlot* effect;           // one reference held
    InstanceSlot* previous;       // active list
    InstanceSlot* next;           // active list, or free list when free
    float startScale;             // 0
    float speed;                  // 1
    float drawOffset;             // 0
    float rootParameter;          // 0
    int32_t pendingSteps;         // 0
    uint16_t drawOrder;           // 0; drawing sorts by 65535 minus this
    uint16_t triggers;            // bit n asks the next update to fire trigger n
    uint16_t viewMask;            // 0xFFFF
    uint32_t visibilityMask;      // 0xFFFFFFFF
    uint16_t hidden;              // 0
    uint16_t timelineFlags;       // the engine's default instance flag word
    uint8_t state;                // 0
    uint8_t layer;                // 0-15
    uint16_t flags;               // bit 0 transform changed, 1 colour changed, ...
};

} // namespace FulgorCore
