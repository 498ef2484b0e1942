#include "effects/Core/Resource/FloatTripleProperty.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Resource/ComponentFlags.h"

namespace FulgorCore {

namespace {

enum Component : uint8_t { kX = 0, kY = 1, kZ = 2, kUnused = 3 };

struct Link {
    // Bit k: component k is read.
    uint8_t reads;
    // The component of each output.
    uint8_t outputs[3];
    // The components in the order their samples are drawn.
    uint8_t draws[3];
};

const Link kLinks[FloatTripleProperty::kModes] = {
    {7, {kX, kY, kZ}, {kX, kY, kZ}},           {1, {kX, kX, kX}, {kX, kUnused, kUnused}},
    {6, {kY, kY, kY}, {kY, kUnused, kUnused}}, {4, {kZ, kZ, kZ}, {kZ, kUnused, kUnused}},
    {5, {kX, kX, kZ}, {kX, kZ, kUnused}},      {3, {kX, kY, kX}, {kX, kY, kUnused}},
    {6, {kY, kY, kZ}, {kY, kZ, kUnused}},      {3, {kX, kY, kY}, {kY, kX, kUnused}},
    {6, {kZ, kY, kZ}, {kZ, kY, kUnused}},      {5, {kX, kZ, kZ}, {kZ, kX, kUnused}},
};

} // namespace

void FloatTripleProperty::Read(const BuildContext& context, const void* payload, uint32_t size) {
    uint32_t mode = 0;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        uint32_t component;
        switch (chunk.tag) {
        case MakeChunkTag("Link"):
            mode = chunk.U16() & 15u;
            if (mode >= kModes)
                mode = 0;
            continue;
        case MakeChunkTag("X"):
            component = kX;
            break;
        case MakeChunkTag("Y"):
            component = kY;
            break;
        case MakeChunkTag("Z"):
            component = kZ;
            break;
        default:
            continue;
        }
        if (kLinks[mode].reads & (1u << component))
            components_[component].Read(context, chunk.payload, chunk.size);
    }
    const FloatProperty* components[3] = {&components_[0], &components_[1], &components_[2]};
    flags_ = CombineComponentFlags(components, kLinks[mode].reads);
    const uint32_t selector = (flags_ & FloatProperty::kIsZero) ? 0u : mode + 1;
    mode_ = static_cast<uint16_t>(mode | selector << 4);
}

void FloatTripleProperty::Evaluate(const EvaluationContext& context, const float* samples,
                                   Xorshift128& state, float* out) const {
    const uint32_t selector = GetSelector();
    if (selector == 0) {
        out[0] = out[1] = out[2] = 0.0f;
        return;
    }
    const uint8_t* outputs = kLinks[selector - 1].outputs;
    for (uint32_t j = 0; j < 3; ++j) {
        uint32_t earlier = 0;
        while (earlier < j && outputs[earlier] != outputs[j])
            ++earlier;
        out[j] = earlier < j ? out[earlier]
                             : components_[outputs[j]].Evaluate(context, samples[j], state);
    }
}

void FloatTripleProperty::SampleRandom(Xorshift128& state, float* samples) const {
    const Link& link = kLinks[GetLinkMode()];
    HeldRandom random(state);
    for (uint8_t component : link.draws) {
        if (component == kUnused)
            break;
        const float sample = components_[component].SampleRandom(random);
        for (uint32_t j = 0; j < 3; ++j) {
            if (link.outputs[j] == component)
                samples[j] = sample;
        }
    }
    random.End();
}

} // namespace FulgorCore
