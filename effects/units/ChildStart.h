#pragma once

#include <cstdint>

namespace FulgorCore {

class TimelineResource;
class UnitResource;

// What a bound carrier starts in its first frame: a timeline unit over a
// package timeline (the carriers of CreateChildren), or one particle
// instance of a package unit (the carriers of a timeline's unit entry).
struct ChildStart {
    static constexpr uint32_t kTimeline = 0;
    static constexpr uint32_t kParticle = 1;

    uint32_t childKind = kTimeline;
    const TimelineResource* timeline = nullptr; // kind 0
    const UnitResource* unit = nullptr;         // kind 1
    // Kind 0: the id CreateChildren was given; the carrier's timeline takes
    // id + 1.
    int8_t id = 0;
    // Kind 1: the particle's clock.
    float childLifetime = 0.0f;
    float childSpeed = 1.0f;
};

} // namespace FulgorCore
