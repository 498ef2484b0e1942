#include "effects/Core/Resource/ColorGradient.h"

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Value/KeySearch.h"

#include <algorithm>

namespace FulgorCore {

namespace {

void CopyColor(float* out, const float* in) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = in[3];
}

} // namespace

void ColorGradient::Read(const BuildContext& context, const void* payload, uint32_t size) {
    uint32_t count = GetKeyCount();
    uint32_t flags = header_ & (kTimeA | kRepeatBefore | kRepeatAfter);
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Key"): {
            const uint32_t n = std::min(chunk.size / uint32_t{sizeof(Key)}, kMaxKeys);
            keys_ = static_cast<const Key*>(
                CopyToBlock(context.allocator, chunk.payload, n * uint32_t{sizeof(Key)}));
            count = keys_ ? n : 0;
            break;
        }
        case MakeChunkTag("bLop"):
            flags = chunk.Flag() ? flags | kTimeA : flags & ~kTimeA;
            break;
        case MakeChunkTag("BPre"):
            flags = chunk.U32() == 1 ? flags | kRepeatBefore : flags & ~kRepeatBefore;
            break;
        case MakeChunkTag("BPos"):
            flags = chunk.U32() == 1 ? flags | kRepeatAfter : flags & ~kRepeatAfter;
            break;
        default:
            break;
        }
    }
    const uint32_t countClass = count == 0 ? 0u : count == 1 ? 1u : 2u;
    header_ = count | flags | countClass << 17 | (count >= 3 ? kSearch : 0u);
}

void ColorGradient::Evaluate(const EvaluationContext& context, float* rgba) const {
    const uint32_t count = GetKeyCount();
    if (count == 0) {
        rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0f;
        return;
    }
    if (count == 1) {
        CopyColor(rgba, keys_[0].rgba);
        return;
    }
    const float x = UsesTimeA() ? context.timeA : context.timeB;
    const Key& first = keys_[0];
    const Key& last = keys_[count - 1];
    const int32_t t0 = first.time;
    const int32_t tN = last.time;
    // Keys that span no time have no cycle to repeat: they clamp. The span
    // in 64 bits: two file times can be 2^32 apart.
    const int64_t d = int64_t{tN} - t0;
    const bool before = static_cast<float>(t0) >= x;
    if (!before && !(x >= static_cast<float>(tN))) {
        Segment(x, rgba);
        return;
    }
    if (!(before ? RepeatsBefore() : RepeatsAfter()) || d <= 0) {
        CopyColor(rgba, before ? first.rgba : last.rgba);
        return;
    }
    const float past = before ? static_cast<float>(t0) - x : x - static_cast<float>(tN);
    const float k = RepeatCount(past, d);
    const float span = static_cast<float>(d);
    Segment(before ? x + k * span : x - k * span, rgba);
}

void ColorGradient::Segment(float x, float* rgba) const {
    const uint32_t count = GetKeyCount();
    int32_t i = 0;
    if (header_ & kSearch)
        i = FindSegment(keys_, count, Math::TruncateToInt32(x),
                        [](const Key& k) { return k.time; });
    const Key& a = keys_[i];
    const Key& b = keys_[i + 1];
    const float ta = static_cast<float>(a.time);
    const float s = (x - ta) / (static_cast<float>(b.time) - ta);
    for (int c = 0; c < 4; ++c)
        rgba[c] = a.rgba[c] + s * (b.rgba[c] - a.rgba[c]);
}

} // namespace FulgorCore
