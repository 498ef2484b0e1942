// Effects described by plain values and composed into the writer's records:
// a unit by what it animates, shares and accelerates and by its draw,
// emitter and extra part counts; timelines by their entries; binds by their
// one or two points; the package by its sort mode and fades. The sample-data
// builder and the runtime's tests compose their effects here, so a test
// states the numbers it checks and nothing of the chunk layout.
#pragma once

#include "tools/effect/PackageWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace effecttools {

// Three floats, constant at `from` or eased linearly to `to` over `frames`.
struct Vector3Plan {
    std::array<float, 3> from{};
    std::optional<std::array<float, 3>> to;
    float frames = 60.0f;
};

// Four floats (r, g, b, a), constant or eased like Vector3Plan.
struct ColourPlan {
    std::array<float, 4> from{1.0f, 1.0f, 1.0f, 1.0f};
    std::optional<std::array<float, 4>> to;
    float frames = 60.0f;
};

// Bits of a unit's flag word that UnitPlan::animated sets.
namespace UnitAnimates {
inline constexpr uint32_t kColour = 1u << 0;
inline constexpr uint32_t kScale = 1u << 1;
inline constexpr uint32_t kRotation = 1u << 2;
inline constexpr uint32_t kTranslation = 1u << 3;
} // namespace UnitAnimates

// Bits of a unit's share byte that UnitPlan::shares sets: take that
// property from the unit `sharedUnit` names (the unit itself when negative).
namespace UnitShares {
inline constexpr uint32_t kScale = 1u << 0;
inline constexpr uint32_t kRotation = 1u << 1;
inline constexpr uint32_t kTranslation = 1u << 2;
inline constexpr uint32_t kColour = 1u << 3;
} // namespace UnitShares

struct UnitPlan {
    // Frames; 0 lives until stopped.
    int32_t life = 60;
    int32_t loopStart = 0;
    int32_t loopEnd = 0;
    // The property values, written whether or not the unit animates them.
    std::optional<ColourPlan> colour;
    std::optional<Vector3Plan> scale;
    std::optional<Vector3Plan> rotation;
    std::optional<Vector3Plan> translation;
    // UnitAnimates bits.
    uint32_t animated = 0;
    // Each given one sets its flag.
    std::optional<Vector3Plan> acceleration;
    std::optional<Vector3Plan> worldAcceleration;
    std::optional<Vector3Plan> speedFactor;
    int8_t sharedUnit = -1;
    // UnitShares bits.
    uint32_t shares = 0;
    // Square particles of 8 units a side (0-3).
    uint32_t drawParts = 0;
    // Point emitters (0-2), each emitting unit `emitTarget` (none when
    // negative) twice every 5 frames; the first attaches the package units
    // of `attachedUnits` (up to four, -1 for a free place).
    uint32_t emitters = 0;
    int8_t emitTarget = -1;
    std::array<int8_t, 4> attachedUnits{-1, -1, -1, -1};
    // The extra part's kind (1 or 2); 0 for none.
    uint32_t extraKind = 0;
    // The unit's own fades.
    std::optional<DistanceFadeValue> distanceFade;
    std::optional<AngleFadeValue> angleFade;
    // Further field chunks, written after the ones the plan sets.
    std::vector<FieldValue> fields;
};

// One timeline entry that starts package unit `unit` (or plays the bind
// `bind` when not negative) from `start` to `end`, selected by the
// instance's selection word through `mask`.
struct TimelineEntryPlan {
    int16_t unit = 0;
    uint16_t start = 0;
    uint16_t end = 60;
    // The default selection word has bits 0-7: mask 1 is selected, 0 never.
    uint8_t mask = 1;
    bool enabled = true;
    int16_t bind = -1;
};

struct TimelinePlan {
    int32_t length = 60;
    std::vector<TimelineEntryPlan> entries;
    // Plays from the instance's start (an assignment of the first place).
    bool atStart = true;
};

// A bind on one named attachment point, or between two.
struct BindPlan {
    int16_t life = 60;
    std::string first = "point";
    std::optional<std::string> second;
};

struct EffectPlan {
    std::string name;
    std::vector<UnitPlan> units;
    std::vector<TimelinePlan> timelines;
    std::vector<BindPlan> binds;
    // 0-3; 2 and 3 sort by depth.
    uint32_t sortMode = 0;
    std::optional<DistanceFadeValue> distanceFade;
    // The package's view-angle fade, by its mode 0-3.
    std::optional<AngleFadeValue> angleFade;
    // Plays until stopped rather than ending with its timelines.
    bool endless = false;
    float boundingRadius = 100.0f;
};

TripleValue ComposeVector3(const Vector3Plan& v);
ColorValue ComposeColour(const ColourPlan& c);
UnitValue ComposeUnit(const UnitPlan& plan);
TimelineValue ComposeTimeline(const TimelinePlan& plan);
BindValue ComposeBind(const BindPlan& plan);
EffectFileValue ComposeEffect(const EffectPlan& plan);

} // namespace effecttools
