#include "effects/Core/Resource/UvTransform.h"

#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {UvTransform::kCoordinateType, UvTransform::kOrderType};

} // namespace

UvTransform::UvTransform() : flags_(WithBitField(0, kOrderType.shift, kOrderType.width, 1)) {}

void UvTransform::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFields, flags_))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("Scl"):
            scale_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Scr"):
            scroll_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Rot"):
            rotation_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
    flags_ &= ~(kCoordinateTypeZero | kOrderTypeOne);
    if (GetField(kCoordinateType) == 0)
        flags_ |= kCoordinateTypeZero;
    if (GetField(kOrderType) == 1)
        flags_ |= kOrderTypeOne;
}

void UvTransform::Evaluate(const EvaluationContext& context, const float* samples,
                           Xorshift128& state, Value& out) const {
    out.flags = static_cast<uint8_t>(((flags_ & kCoordinateTypeZero) ? 1u : 0u) |
                                     ((flags_ & kOrderTypeOne) ? 2u : 0u));
    scale_.Evaluate(context, samples, state, out.scale);
    scroll_.Evaluate(context, samples + 2, state, out.scroll);
    out.rotation = rotation_.Evaluate(context, samples[4], state);
}

void UvTransform::SampleRandom(Xorshift128& state, float* samples) const {
    HeldRandom random(state);
    SampleRandom(random, samples);
    random.End();
}

} // namespace FulgorCore
