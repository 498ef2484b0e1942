#include "effects/Core/Resource/ColorProperty.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

namespace {

// A channel the file leaves out (or gives no value) is the neutral 1, like
// one that is always exactly 1: neither is evaluated.
bool TakesPart(const FloatProperty& channel) {
    return channel.GetKind() != FloatProperty::kNone && !channel.IsOne();
}

} // namespace

void ColorProperty::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Rgba"):
            gradient_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Brig"):
            brightness_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Red"):
            color_[kRed].Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Gree"):
            color_[kGreen].Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Blue"):
            color_[kBlue].Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Alph"):
            color_[kAlpha].Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
    uint16_t uses = TakesPart(brightness_) ? kUsesBrightness : 0u;
    bool allConstant = brightness_.IsConstant();
    for (uint32_t c = 0; c < 4; ++c) {
        if (TakesPart(color_[c]))
            uses |= static_cast<uint16_t>(kUsesRed << c);
        allConstant = allConstant && color_[c].IsConstant();
    }
    channelFlags_ = uses;
    constexpr uint16_t kColorUses = kUsesRed | kUsesGreen | kUsesBlue | kUsesAlpha;
    const bool fewKeys = gradient_.GetKeyCount() < 2;
    summaryFlags_ = static_cast<uint16_t>(
        (fewKeys && (uses & kColorUses) == kColorUses ? kAllColorChannels : 0u) |
        (fewKeys && allConstant ? kConstant : 0u));
}

void ColorProperty::Evaluate(const EvaluationContext& context, const float* samples,
                             Xorshift128& state, float* rgba) const {
    gradient_.Evaluate(context, rgba);
    for (uint32_t c = 0; c < 4; ++c) {
        if (channelFlags_ & (kUsesRed << c))
            rgba[c] *= color_[c].Evaluate(context, samples[c], state);
    }
    if (channelFlags_ & kUsesBrightness) {
        const float brightness = brightness_.Evaluate(context, samples[kBrightness], state);
        rgba[0] *= brightness;
        rgba[1] *= brightness;
        rgba[2] *= brightness;
    }
}

void ColorProperty::SampleRandom(Xorshift128& state, float* samples) const {
    HeldRandom random(state);
    for (uint32_t c = 0; c < 4; ++c)
        samples[c] = color_[c].SampleRandom(random);
    samples[kBrightness] = brightness_.SampleRandom(random);
    random.End();
}

const FloatProperty& ColorProperty::GetChannel(Channel channel) const {
    return channel < 4 ? color_[channel] : brightness_;
}

} // namespace FulgorCore
