#pragma once

#include "effects/Core/Noise/HeldRandom.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"
#include "effects/Core/Value/ValueConstant.h"
#include "effects/Core/Value/ValueLoop.h"

#include <cstdint>
#include <type_traits>

namespace FulgorCore {

struct BuildContext;
class ValueCurve;
class ValueEasing;

// An animated float: the recurring field of every effect record. Its group
// says which of four kinds it is ("PrVT": 0 constant, 1 easing, 2 curve,
// 3 loop) and carries that kind's chunk ("Cons", "Easi", "FCuV" and "FCuR",
// "Loop"); the value records live in the runtime data block.
//
// A group without a usable "PrVT" (none, one past kind 3, or one not
// followed by its value chunk) has no value record: it is the constant 0,
// flagged zero and constant, evaluations give 0 and samples draw nothing. A
// value chunk of another kind than "PrVT" said is skipped.
class FloatProperty {
public:
    enum Kind : uint8_t { kConstant = 0, kEasing = 1, kCurve = 2, kLoop = 3, kNone = 4 };
    // Constancy flags: always exactly 0, always exactly 1, the same at every
    // time and for every sample.
    static constexpr uint16_t kIsZero = 1u << 0;
    static constexpr uint16_t kIsOne = 1u << 1;
    static constexpr uint16_t kIsConstant = 1u << 2;

    // One walk for both passes (see BuildContext): the measure counts 16
    // bytes for a constant, 32 for an easing or a loop, 16 + 16 for the two
    // curves and 16 per key.
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    bool IsZero() const { return (flags_ & kIsZero) != 0; }
    bool IsOne() const { return (flags_ & kIsOne) != 0; }
    bool IsConstant() const { return (flags_ & kIsConstant) != 0; }

    // Reads only the random state it is given (curves of random types 3,
    // 4, 5 and 7 step it once).
    float Evaluate(const EvaluationContext& context, float sample, Xorshift128& state) const;
    // Sample 0 and one program-wide state that starts at the generator's
    // initial words; for the runtime's updating thread only.
    float EvaluatePlain(const EvaluationContext& context) const;
    // The owner's sample, drawn once when the owner is created. Constants,
    // loops and absent values, nearly every property, are drawn inline:
    // building a unit draws a few dozen of them.
    // Their random range is copied beside the kind when read, so the draw
    // reads nothing else.
    float SampleRandom(Xorshift128& state) const { return SampleFrom(state); }
    // The same draw from words held for a run of draws.
    float SampleRandom(HeldRandom& random) const { return SampleFrom(random); }

    // value *= Evaluate(...), and the same for three floats.
    void MultiplyValue(const EvaluationContext& context, float sample, Xorshift128& state,
                       float& value) const;
    void MultiplyVector3(const EvaluationContext& context, float sample, Xorshift128& state,
                         float* vector) const;

    Kind GetKind() const { return static_cast<Kind>(kind_); }
    uint16_t GetFlags() const { return flags_; }
    // The record of the kind, or null when the property is of another kind.
    const ValueConstant* GetConstant() const;
    const ValueEasing* GetEasing() const;
    const ValueCurve* GetValueCurve() const;
    const ValueCurve* GetRandomCurve() const;
    const ValueLoop* GetLoop() const;

private:
    // How the owner's sample is drawn: not at all (no value), from the
    // range (a constant or a loop), or by the record (an easing or a curve).
    enum Draw : uint8_t { kDrawsNothing = 0, kDrawsRange = 1, kDrawsTimed = 2 };

    using Evaluator = float (*)(const FloatProperty& property, const EvaluationContext& context,
                                float sample, Xorshift128& state);
    template <class T>
    static float EvaluateRecord(const FloatProperty& property, const EvaluationContext& context,
                                float sample, Xorshift128& state);
    static float EvaluateCurve(const FloatProperty& property, const EvaluationContext& context,
                               float sample, Xorshift128& state);
    static float EvaluateNone(const FloatProperty& property, const EvaluationContext& context,
                              float sample, Xorshift128& state);
    // Indexed by kind; kNone last.
    static const Evaluator kEvaluators[5];

    template <class Random> float SampleFrom(Random& random) const {
        if (draw_ == kDrawsRange)
            return range_[0] + range_[1] * random.NextFloat01();
        if (draw_ == kDrawsNothing)
            return 0.0f;
        if constexpr (std::is_same_v<Random, HeldRandom>)
            return random.Through([this](Xorshift128& state) { return SampleRandomTimed(state); });
        else
            return SampleRandomTimed(random);
    }
    // The easings' and curves' samples.
    float SampleRandomTimed(Xorshift128& state) const;
    bool HoldsValue(float x) const;
    bool IsConstantOverTime() const;

    uint8_t kind_ = kNone;
    uint8_t draw_ = kDrawsNothing;
    uint16_t flags_ = kIsZero | kIsConstant;
    const void* value_ = nullptr;
    union {
        // A curve's random curve.
        const ValueCurve* randomCurve_ = nullptr;
        // A constant's or a loop's random start and its width (end - start),
        // the terms of Math::RandomRange.
        float range_[2];
    };
};

} // namespace FulgorCore
