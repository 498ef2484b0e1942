#pragma once

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/CurveKey.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

struct BuildContext;

// A keyframe curve over time B. An animated value of the curve kind has two:
// the value curve, and a random curve whose value scales the owner's sample
// or a fresh draw, by its random type:
//   0-2  L + c * sample (sample in [-1, 1), [0, 1), [-1, 0))
//   3    L + c * (2u - 1)     4  L + c * u     5  L + c * (u - 1)
//   6    L * (1 + c * sample) (sample in [0, 1))
//   7    L * (1 + c * u)
// with u one fresh step of the random state per evaluation.
class ValueCurve {
public:
    // Files keep up to 4095 keys; a longer list keeps its first 4095.
    static constexpr uint32_t kMaxKeys = 4095;
    // Key times are hundredths in 29 signed bits.
    static constexpr int32_t kMinTime = -(1 << 28);
    static constexpr int32_t kMaxTime = (1 << 28) - 1;

    enum Behaviour : uint32_t { kClamp = 0, kRepeat = 1, kRepeatOffset = 2 };

    // "RTyp", "BPre", "BPos", "Key" (20-byte file keys). A behaviour past 2
    // reads as clamp, a segment kind past 2 as linear, a random type past 7
    // as none.
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // The value curve at time B, then the random curve applied.
    float Evaluate(const EvaluationContext& context, float sample, Xorshift128& state,
                   const ValueCurve* randomCurve) const;
    // This curve as a random curve: changes value by its random type.
    void ApplyRandom(float& value, const EvaluationContext& context, float sample,
                     Xorshift128& state) const;
    // The owner's sample for this random curve: a draw for types 0, 1, 2
    // and 6, else 0 without one.
    float SampleRandom(Xorshift128& state) const;

    // The keyed value at a time in frames: 0 without keys, the one key's
    // value, else the segments and the behaviours before and after them.
    float CurveValue(float time) const;
    // True when the curve always gives exactly y.
    bool IsFlatAt(float y) const;

    uint32_t GetKeyCount() const { return header_ & 0xFFFu; }
    // Null past the count.
    const CurveKey* GetKey(uint32_t i) const { return i < GetKeyCount() ? &keys_[i] : nullptr; }
    // 0 no key, 1 one key, 2 two or more.
    uint32_t GetCountClass() const { return (header_ >> 16) & 3u; }
    uint32_t GetPreBehaviour() const { return (header_ >> 18) & 3u; }
    uint32_t GetPostBehaviour() const { return (header_ >> 20) & 3u; }
    // The random type, or -1 when it has none (no key, or a type past 7).
    int32_t GetRandomType() const { return static_cast<int32_t>((header_ >> 22) & 15u) - 1; }
    bool UsesBinarySearch() const { return (header_ & (1u << 26)) != 0; }

private:
    float Interpolate(float x) const;
    float Behave(float x, bool before) const;

    const CurveKey* keys_ = nullptr;
    uint32_t header_ = 0;
};

} // namespace FulgorCore
