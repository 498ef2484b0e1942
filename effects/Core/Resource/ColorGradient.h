#pragma once

#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

struct BuildContext;

// Colour keys over a time of the evaluation context ("bLop" set: time A,
// clear: time B), linear between keys, clamped or repeating ("BPre" or
// "BPos" 1) outside them.
class ColorGradient {
public:
    // A key as the file holds it: time (not scaled), red, green, blue, alpha.
    struct Key {
        int32_t time;
        float rgba[4];
    };
    static_assert(sizeof(Key) == 20);

    // The count is 16 bits wide; a longer list keeps its first keys.
    static constexpr uint32_t kMaxKeys = 0xFFFF;

    // The payload of "Rgba": "Key", "bLop", "BPre", "BPos".
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // (1, 1, 1, 1) without keys, the one key's colour, else the keys at the
    // chosen time. Keys that span no time do not repeat.
    void Evaluate(const EvaluationContext& context, float* rgba) const;

    uint32_t GetKeyCount() const { return header_ & kMaxKeys; }
    const Key* GetKey(uint32_t i) const { return i < GetKeyCount() ? &keys_[i] : nullptr; }
    bool UsesTimeA() const { return (header_ & kTimeA) != 0; }
    // 0 no key, 1 one key, 2 two or more.
    uint32_t GetCountClass() const { return (header_ >> 17) & 3u; }
    bool RepeatsBefore() const { return (header_ & kRepeatBefore) != 0; }
    bool RepeatsAfter() const { return (header_ & kRepeatAfter) != 0; }

private:
    static constexpr uint32_t kTimeA = 1u << 16;
    static constexpr uint32_t kRepeatBefore = 1u << 19;
    static constexpr uint32_t kRepeatAfter = 1u << 20;
    static constexpr uint32_t kSearch = 1u << 21;

    void Segment(float x, float* rgba) const;

    const Key* keys_ = nullptr;
    uint32_t header_ = 0;
};

} // namespace FulgorCore
