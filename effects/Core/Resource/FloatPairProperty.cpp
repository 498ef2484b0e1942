#include "effects/Core/Resource/FloatPairProperty.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Resource/ComponentFlags.h"

namespace FulgorCore {

namespace {

// Bit 0: X read, bit 1: Y read, by link mode.
constexpr uint8_t kReads[3] = {3, 1, 2};

} // namespace

void FloatPairProperty::Read(const BuildContext& context, const void* payload, uint32_t size) {
    uint32_t mode = 0;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Link"):
            mode = chunk.U16() & 3u;
            if (mode > 2)
                mode = 0;
            break;
        case MakeChunkTag("X"):
            if (kReads[mode] & 1u)
                x_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Y"):
            if (kReads[mode] & 2u)
                y_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
    const FloatProperty* components[2] = {&x_, &y_};
    flags_ = CombineComponentFlags(components, kReads[mode]);
    const uint32_t selector = (flags_ & FloatProperty::kIsZero) ? 0u : mode + 1;
    mode_ = static_cast<uint16_t>(mode | selector << 2);
}

void FloatPairProperty::Evaluate(const EvaluationContext& context, const float* samples,
                                 Xorshift128& state, float* out) const {
    switch (GetSelector()) {
    case 1:
        out[0] = x_.Evaluate(context, samples[0], state);
        out[1] = y_.Evaluate(context, samples[1], state);
        break;
    case 2:
        out[0] = out[1] = x_.Evaluate(context, samples[0], state);
        break;
    case 3:
        out[0] = out[1] = y_.Evaluate(context, samples[0], state);
        break;
    default:
        out[0] = out[1] = 0.0f;
        break;
    }
}

void FloatPairProperty::SampleRandom(Xorshift128& state, float* samples) const {
    HeldRandom random(state);
    SampleRandom(random, samples);
    random.End();
}

} // namespace FulgorCore
