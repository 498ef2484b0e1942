#pragma once

#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

struct BuildContext;

// A keyed float track of node animation: entries of (time in hundredths,
// value), linear between them, over time A wrapped by the track's length.
class LinearTrack {
public:
    // One entry as the file holds it.
    struct Entry {
        int32_t time;
        float value;
    };
    static_assert(sizeof(Entry) == 8);

    // The count is 24 bits wide; a longer track keeps its first entries.
    static constexpr uint32_t kMaxEntries = (1u << 24) - 1;

    // Copies the raw entries (size / 8 of them) into the block: nothing for
    // an empty track, and nothing but the count while measuring.
    void Initialize(const BuildContext& context, const void* data, uint32_t size, bool loop,
                    float length);

    // 0 for an empty track, the value of a single entry, else the entries
    // at fmod(A, length) (the sign of A kept), held at both ends.
    float Evaluate(const EvaluationContext& context) const;

    uint32_t GetEntryCount() const { return word_ & kMaxEntries; }
    const Entry* GetEntry(uint32_t i) const { return i < GetEntryCount() ? &entries_[i] : nullptr; }
    float GetLength() const { return length_; }
    bool IsLooping() const { return (word_ & kLoop) != 0; }

private:
    static constexpr uint32_t kNotSingle = 1u << 24;
    static constexpr uint32_t kSearch = 1u << 25;
    static constexpr uint32_t kLoop = 1u << 26;

    const Entry* entries_ = nullptr;
    float length_ = 0.0f;
    uint32_t word_ = 0;
};

} // namespace FulgorCore
