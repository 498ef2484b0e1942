#pragma once

#include <cstdint>

namespace FulgorCore {

class IInstanceListenner;
class InstanceRootUnit;
struct ObjectSlot;

// One record of the instance table, with the values a new instance gets.
struct InstanceSlot {
    enum State : uint8_t {
        kIdle = 0,
        kStopping = 1,
        kPaused = 2,
        kPlaying = 3,
        kStarting = 4,
        kDead = 5,
    };
    // Flag bits.
    static constexpr uint16_t kTransformChanged = 1u << 0;
    static constexpr uint16_t kColourChanged = 1u << 1;
    static constexpr uint16_t kHasProjectionUnits = 1u << 2;
    static constexpr uint16_t kHasDrawnUnits = 1u << 3;
    static constexpr uint16_t kLoop = 1u << 4;
    static constexpr uint16_t kComeUpPaused = 1u << 5;
    static constexpr uint16_t kFreeWhenStopped = 1u << 6;
    // This frame's update submitted the instance's evaluation: only then is
    // there something to draw (its newest units have frame arrays).
    static constexpr uint16_t kEvaluated = 1u << 7;

    // What every frame's passes and the layer draw read come first, so an
    // instance's steps touch as few cache lines as they can; the transform,
    // read only when it changed, comes last.
    uint32_t index;               // position in the table, kept for ever
    uint32_t serial;              // 0 while free
    InstanceSlot* previous;       // active list
    InstanceSlot* next;           // active list, or free list when free
    uint8_t state;                // 0
    uint8_t layer;                // 0-15
    uint16_t flags;               // the flag bits above
    uint16_t triggers;            // bit n asks the next update to fire trigger n
    uint16_t hidden;              // 0
    uint16_t viewMask;            // 0xFFFF
    uint16_t drawOrder;           // 0; drawing sorts by 65535 minus this
    uint32_t visibilityMask;      // 0xFFFFFFFF
    InstanceRootUnit* root;       // null while not started
    ObjectSlot* effect;           // one reference held
    float speed;                  // 1
    int32_t pendingSteps;         // 0
    float rootParameter;          // 0
    float drawOffset;             // 0
    float startScale;             // 0
    uint16_t timelineFlags;       // the engine's default instance flag word
    float colour[4];              // 1, 1, 1, 1
    float bounds[4];              // world bounding sphere
    IInstanceListenner* listener; // may be null; one reference held
    float transform[12];          // identity
};

} // namespace FulgorCore
