// Writers of animated floats: the "PrVT" group of each of the four value
// kinds, with its parameter chunks, curve keys, random curves and
// behaviours. They take plain values and write bytes; they never call the
// runtime's readers.
#pragma once

#include "tools/effect/ChunkWriter.h"

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

namespace effecttools {

// "Cons".
struct ConstantValue {
    float value = 0.0f;
    float randomStart = 0.0f;
    float randomEnd = 0.0f;
};

// "Easi". The modes are written as given, so that a test can write a value
// past the table.
struct EasingValue {
    uint8_t type = 0;
    uint32_t preMode = 0;
    uint32_t postMode = 0;
    float timeOffset = 0.0f;
    float timeLength = 0.0f;
    float startValue = 0.0f;
    float endValue = 0.0f;
    float randomStart = 0.0f;
    float randomEnd = 0.0f;
};

// "Loop".
struct LoopValue {
    float baseValue = 0.0f;
    float velocity = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float randomStart = 0.0f;
    float randomEnd = 0.0f;
};

// A 20-byte file key: the kind of the segment ending here (0 Hermite, 1
// linear, 2 step), the time in frames, the value and the two tangents of the
// segment starting here.
struct CurveKeyValue {
    uint32_t kind = 1;
    float time = 0.0f;
    float value = 0.0f;
    float startTangent = 0.0f;
    float endTangent = 0.0f;
};

// "FCuV" or "FCuR": random type, behaviours (0 clamp, 1 repeat, 2 repeat
// with offset) and keys. A curve without keys writes no "Key" chunk.
struct CurveValue {
    uint32_t randomType = 0;
    uint32_t preBehaviour = 0;
    uint32_t postBehaviour = 0;
    std::vector<CurveKeyValue> keys;
};

// Kind 2: the value curve and the random curve.
struct CurvesValue {
    CurveValue value;
    CurveValue random;
};

// An animated float; the alternative's index is its "PrVT" kind.
using FloatValue = std::variant<ConstantValue, EasingValue, CurvesValue, LoopValue>;

// A constant without random offset.
FloatValue Constant(float value);

// The group's chunks ("PrVT", then the kind's chunk) into the open chunk.
void WriteFloatGroup(ChunkWriter& w, const FloatValue& value);
// One chunk of the given tag holding the group.
void WriteFloatProperty(ChunkWriter& w, std::string_view tag, const FloatValue& value);
// The 20-byte file keys of a "Key" chunk.
std::vector<uint8_t> CurveKeyBytes(const std::vector<CurveKeyValue>& keys);

} // namespace effecttools
