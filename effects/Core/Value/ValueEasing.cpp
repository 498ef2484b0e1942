#include "effects/Core/Value/ValueEasing.h"

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/RandomRange.h"
#include "effects/Core/Value/Easing.h"

#include <cmath>

namespace FulgorCore {

namespace {

enum Mode : uint32_t { kClamp = 0, kRepeat = 1, kContinue = 2, kRepeatOffset = 3 };

constexpr uint32_t kModeCount = 4;

uint32_t ModeFromFile(uint32_t word) {
    const uint32_t mode = word & 7u;
    return mode < kModeCount ? mode : kClamp;
}

} // namespace

void ValueEasing::Read(const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("EasC"): {
            const uint32_t type = chunk.U8();
            modes_ = WithBitField(modes_, 0, 8, type < Easing::kCount ? type : 0u);
            break;
        }
        case MakeChunkTag("EaPr"):
            modes_ = WithBitField(modes_, 8, 3, ModeFromFile(chunk.U32()));
            break;
        case MakeChunkTag("EaPo"):
            modes_ = WithBitField(modes_, 11, 3, ModeFromFile(chunk.U32()));
            break;
        case MakeChunkTag("EaTO"):
            timeOffset_ = chunk.Float();
            break;
        case MakeChunkTag("EaTL"):
            timeLength_ = chunk.Float();
            break;
        case MakeChunkTag("EaVS"):
            startValue_ = chunk.Float();
            break;
        case MakeChunkTag("EaVE"):
            endValue_ = chunk.Float();
            break;
        case MakeChunkTag("EaRS"):
            randomStart_ = chunk.Float();
            break;
        case MakeChunkTag("EaRE"):
            randomEnd_ = chunk.Float();
            break;
        default:
            break;
        }
    }
}

float ValueEasing::Evaluate(const EvaluationContext& context, float sample, Xorshift128&) const {
    const Easing::Function ease = Easing::Select(GetEasingType());
    const float t = context.timeA - timeOffset_;
    const float length = timeLength_;
    const float change = endValue_ - startValue_;
    const float r = 1.0f / length;
    // A span too short to divide by has no inside: it clamps, the start
    // value before its offset and the end value from it.
    if (!std::isfinite(r))
        return t < 0.0f ? startValue_ : endValue_;
    const bool before = t < 0.0f;
    if (!before && !(t > length))
        return ease(t / length, startValue_, change) + sample;

    const uint32_t mode = before ? GetPreMode() : GetPostMode();
    const float q = t * r;
    // The cycle count in float: k - 1 of the most negative integer would
    // overflow.
    const float k = static_cast<float>(Math::TruncateToInt32(q));
    switch (mode) {
    case kRepeat:
        return ease((before ? q + 1.0f - k : q - k) * length * r, startValue_, change) + sample;
    case kContinue:
        return ease(t / length, startValue_, change) + sample;
    case kRepeatOffset:
        if (before)
            return ease((q + 1.0f - k) * length * r, startValue_, change) + change * (k - 1.0f) +
                   sample;
        return ease((q - k) * length * r, startValue_, change) + change * k + sample;
    default:
        return before ? startValue_ : endValue_;
    }
}

float ValueEasing::SampleRandom(Xorshift128& state) const {
    return Math::RandomRange(state, randomStart_, randomEnd_);
}

} // namespace FulgorCore
