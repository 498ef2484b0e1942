#include "effects/Core/Resource/UvTransform.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/TextureWriter.h"

#include <gtest/gtest.h>

namespace {

using effecttools::ChunkWriter;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::UvTransformValue;
using FulgorCore::EvaluationContext;
using FulgorCore::UvTransform;
using FulgorCore::Xorshift128;
using Uv = testsupport::RecordBuild<UvTransform>;

std::vector<uint8_t> Bytes(const UvTransformValue& v) {
    ChunkWriter w;
    effecttools::WriteUvTransform(w, v);
    return testsupport::PayloadOf(w.Take());
}

TEST(UvTransformTest, AnEmptyLayerHasOrderTypeOneAndCoordinateTypeZero) {
    Uv uv(std::vector<uint8_t>{});
    EXPECT_EQ(uv->GetFlags(), (1u << 2) | (1u << 4) | (1u << 5));
    Uv defaults(Bytes({}));
    EXPECT_EQ(defaults->GetFlags(), (1u << 2) | (1u << 4) | (1u << 5));
}

TEST(UvTransformTest, TheDerivedBitsFollowTheFieldsRead) {
    Uv swapped(Bytes({1u, 0u, {}, {}, {}}));
    EXPECT_EQ(swapped->GetFlags(), 1u);
    Uv both(Bytes({3u, 2u, {}, {}, {}}));
    EXPECT_EQ(both->GetFlags(), 3u | (2u << 2));
    // The fields keep their low two bits.
    Uv wide(Bytes({4u, 5u, {}, {}, {}}));
    EXPECT_EQ(wide->GetFlags(), (1u << 2) | (1u << 4) | (1u << 5));
}

TEST(UvTransformTest, EvaluationGivesTheFlagByteThePairsAndTheRotation) {
    UvTransformValue v;
    v.coordinateType = 0;
    v.scale = effecttools::PairValue{1, Constant(2.0f), std::nullopt};
    v.scroll = effecttools::PairValue{0, Constant(0.25f), Constant(0.5f)};
    v.rotation = Constant(1.5f);
    Uv uv(Bytes(v));
    Xorshift128 state;
    const float samples[5] = {0.01f, 0.01f, 0.02f, 0.03f, 0.04f};
    UvTransform::Value out{};
    uv->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_EQ(out.flags, 3u);
    EXPECT_FLOAT_EQ(out.scale[0], 2.01f);
    EXPECT_FLOAT_EQ(out.scale[1], 2.01f);
    EXPECT_FLOAT_EQ(out.scroll[0], 0.27f);
    EXPECT_FLOAT_EQ(out.scroll[1], 0.53f);
    EXPECT_FLOAT_EQ(out.rotation, 1.54f);
}

TEST(UvTransformTest, SamplesGoScaleScrollRotationInOrder) {
    UvTransformValue v;
    v.scale = effecttools::PairValue{0, ConstantValue{0, 0, 1}, ConstantValue{0, 10, 11}};
    v.scroll = effecttools::PairValue{0, ConstantValue{0, 20, 21}, ConstantValue{0, 30, 31}};
    v.rotation = ConstantValue{0, 40, 41};
    Uv uv(Bytes(v));
    Xorshift128 state;
    Xorshift128 copy = state;
    float samples[5];
    uv->SampleRandom(state, samples);
    for (int i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(samples[i], 10.0f * i + copy.NextFloat01()) << i;
}

} // namespace
