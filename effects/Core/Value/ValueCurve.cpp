#include "effects/Core/Value/ValueCurve.h"

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/RandomRange.h"
#include "effects/Core/Value/KeySearch.h"
#include "sys/bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint32_t kFileKeySize = 20;
constexpr uint32_t kRandomTypes = 8;
enum Segment : int32_t { kHermite = 0, kLinear = 1, kStep = 2 };

float LoadFloat(const uint8_t* p) {
    const uint32_t bits = sys::LoadU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

uint32_t BehaviourFromFile(uint32_t word) {
    return word <= ValueCurve::kRepeatOffset ? word : ValueCurve::kClamp;
}

// Hundredths truncated toward zero, held to the 29 bits the key keeps them in.
int32_t Hundredths(float time) {
    const int64_t t = Math::TruncateToInt64(time * 100.0f);
    return static_cast<int32_t>(std::clamp<int64_t>(t, ValueCurve::kMinTime, ValueCurve::kMaxTime));
}

CurveKey KeyFromFile(const uint8_t* p) {
    int32_t kind = static_cast<int32_t>(sys::LoadU32(p) << 29) >> 29;
    if (kind != kHermite && kind != kLinear && kind != kStep)
        kind = kLinear;
    CurveKey key;
    key.timeAndKind = static_cast<uint32_t>(Hundredths(LoadFloat(p + 4))) << 3 |
                      (static_cast<uint32_t>(kind) & 7u);
    key.value = LoadFloat(p + 8);
    key.startTangent = LoadFloat(p + 12);
    key.endTangent = LoadFloat(p + 16);
    return key;
}

} // namespace

void ValueCurve::Read(const BuildContext& context, const void* payload, uint32_t size) {
    uint32_t randomType = 0;
    uint32_t pre = kClamp;
    uint32_t post = kClamp;
    uint32_t count = GetKeyCount();
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("RTyp"):
            randomType = chunk.U32();
            break;
        case MakeChunkTag("BPre"):
            pre = BehaviourFromFile(chunk.U32());
            break;
        case MakeChunkTag("BPos"):
            post = BehaviourFromFile(chunk.U32());
            break;
        case MakeChunkTag("Key"): {
            const uint32_t n = std::min(chunk.size / kFileKeySize, kMaxKeys);
            auto* keys = context.allocator.AllocateArray<CurveKey>(n);
            for (uint32_t i = 0; keys && i < n; ++i)
                keys[i] = KeyFromFile(chunk.payload + i * kFileKeySize);
            keys_ = keys;
            count = keys ? n : 0;
            break;
        }
        default:
            break;
        }
    }
    const uint32_t countClass = count == 0 ? 0u : count == 1 ? 1u : 2u;
    const uint32_t random = count != 0 && randomType < kRandomTypes ? randomType + 1 : 0u;
    header_ = count | countClass << 16 | pre << 18 | post << 20 | random << 22 |
              (count > 2 ? 1u << 26 : 0u);
}

float ValueCurve::Evaluate(const EvaluationContext& context, float sample, Xorshift128& state,
                           const ValueCurve* randomCurve) const {
    float value = CurveValue(context.timeB);
    if (randomCurve)
        randomCurve->ApplyRandom(value, context, sample, state);
    return value;
}

void ValueCurve::ApplyRandom(float& value, const EvaluationContext& context, float sample,
                             Xorshift128& state) const {
    const int32_t type = GetRandomType();
    if (type < 0)
        return;
    const float c = CurveValue(context.timeB);
    switch (type) {
    case 0:
    case 1:
    case 2:
        value += c * sample;
        break;
    case 3:
        value += -c + 2.0f * c * state.NextFloat01();
        break;
    case 4:
        value += c * state.NextFloat01();
        break;
    case 5:
        value += c * state.NextFloat01() - c;
        break;
    case 6:
        value *= 1.0f + c * sample;
        break;
    default:
        value *= 1.0f + c * state.NextFloat01();
        break;
    }
}

float ValueCurve::SampleRandom(Xorshift128& state) const {
    switch (GetRandomType()) {
    case 0:
        return Math::RandomRange(state, -1.0f, 1.0f);
    case 1:
    case 6:
        return Math::RandomRange(state, 0.0f, 1.0f);
    case 2:
        return Math::RandomRange(state, -1.0f, 0.0f);
    default:
        return 0.0f;
    }
}

float ValueCurve::CurveValue(float time) const {
    switch (GetCountClass()) {
    case 0:
        return 0.0f;
    case 1:
        return keys_[0].value;
    default:
        break;
    }
    const float x = time * 100.0f;
    if (static_cast<float>(keys_[0].GetTime()) >= x)
        return Behave(x, true);
    if (x >= static_cast<float>(keys_[GetKeyCount() - 1].GetTime()))
        return Behave(x, false);
    return Interpolate(x);
}

bool ValueCurve::IsFlatAt(float y) const {
    switch (GetCountClass()) {
    case 0:
        return y == 0.0f;
    case 1:
        return keys_[0].value == y;
    default:
        return false;
    }
}

float ValueCurve::Interpolate(float x) const {
    const uint32_t count = GetKeyCount();
    int32_t i = 0;
    if (UsesBinarySearch())
        i = FindSegment(keys_, count, Math::TruncateToInt32(std::floor(x)),
                        [](const CurveKey& k) { return k.GetTime(); });
    const CurveKey& a = keys_[i];
    const CurveKey& b = keys_[i + 1];
    const float ta = static_cast<float>(a.GetTime());
    const float tb = static_cast<float>(b.GetTime());
    const float s = (x - ta) / (tb - ta);
    switch (b.GetKind()) {
    case kHermite: {
        const float s2 = s * s;
        const float s3 = s2 * s;
        const float h00 = 2.0f * s3 - 3.0f * s2 + 1.0f;
        const float h01 = 3.0f * s2 - 2.0f * s3;
        const float h10 = s3 - 2.0f * s2 + s;
        const float h11 = s3 - s2;
        return h00 * a.value + h01 * b.value + h10 * a.startTangent + h11 * a.endTangent;
    }
    case kStep:
        return x >= tb ? b.value : a.value;
    default:
        return a.value + s * (b.value - a.value);
    }
}

float ValueCurve::Behave(float x, bool before) const {
    const CurveKey& first = keys_[0];
    const CurveKey& last = keys_[GetKeyCount() - 1];
    const uint32_t behaviour = before ? GetPreBehaviour() : GetPostBehaviour();
    const int32_t t0 = first.GetTime();
    const int32_t tN = last.GetTime();
    // Keys that span no time have no cycle to repeat: they clamp.
    const int32_t d = tN - t0;
    if (behaviour == kClamp || d <= 0)
        return before ? first.value : last.value;
    const float past = before ? static_cast<float>(t0) - x : x - static_cast<float>(tN);
    const float k = RepeatCount(past, d);
    const float shifted = before ? x + k * static_cast<float>(d) : x - k * static_cast<float>(d);
    const float value = Interpolate(shifted);
    if (behaviour == kRepeat)
        return value;
    const float rise = last.value - first.value;
    return before ? value - k * rise : value + k * rise;
}

} // namespace FulgorCore
