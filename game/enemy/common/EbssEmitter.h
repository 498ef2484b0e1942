// One bullet emitter of an enemy's grid: where it sits on its mount point,
// its row of the mode's emitter table, and its four-state timer, counted on
// the director's frame counter from the frame the enemy was made.
#pragma once

#include <cstdint>

struct EmitterParamRow;

struct EbssEmitter {
    enum State : uint32_t {
        kStartWait = 0, // before the first cycle
        kFire = 1,      // the next shot is due at nextFrame
        kGap = 2,       // between the shots of a burst
        kRest = 3,      // after a burst
    };

    int32_t offsetX = 0; // from the enemy's position, game units
    int32_t offsetY = 0;
    int32_t number = 0; // 1-based row of the emitter table
    const EmitterParamRow* row = nullptr;
    uint32_t state = kStartWait;
    uint32_t startFrame = 0;
    // Wide enough that a negative lifetime ends before the start, never wraps.
    int64_t endFrame = 0;
    uint32_t nextFrame = 0;
    int32_t shotsLeft = 0;  // in the current burst
    float direction = 0.0f; // radians, of the last shot
    float speedAccumulator = 0.0f;
    float rotationAccumulator = 0.0f;
};
