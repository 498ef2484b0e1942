#include "effects/Core/Value/ValueLoop.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/RandomRange.h"

#include <cmath>

namespace FulgorCore {

namespace {

constexpr float kSmallest = 0.0001f;

} // namespace

void ValueLoop::Read(const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("LpVB"):
            baseValue_ = chunk.Float();
            break;
        case MakeChunkTag("LpVV"):
            velocity_ = chunk.Float();
            break;
        case MakeChunkTag("VMin"):
            minimum_ = chunk.Float();
            break;
        case MakeChunkTag("VMax"):
            maximum_ = chunk.Float();
            break;
        case MakeChunkTag("LpRS"):
            randomStart_ = chunk.Float();
            break;
        case MakeChunkTag("LpRE"):
            randomEnd_ = chunk.Float();
            break;
        default:
            break;
        }
    }
    if (maximum_ - minimum_ < kSmallest) {
        velocity_ = 0.0f;
        maximum_ = minimum_;
        baseValue_ = minimum_;
        randomStart_ = 0.0f;
        randomEnd_ = 0.0f;
    }
    flags_ = std::fabs(velocity_) > kSmallest ? kMoving : 0u;
}

float ValueLoop::Evaluate(const EvaluationContext& context, float sample, Xorshift128&) const {
    if (!IsMoving())
        return minimum_;
    const float x = baseValue_ + velocity_ * context.timeB + sample;
    const float range = maximum_ - minimum_;
    // The whole ranges in float, so that one less than the most negative
    // count cannot overflow.
    float n = static_cast<float>(Math::TruncateToInt32((x - minimum_) / range));
    if (x < minimum_)
        n -= 1.0f;
    return x - n * range;
}


} // namespace FulgorCore
