// The per-frame shape values of an emitter.
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/units/EmitterShapeParameters.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/EmitterWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(EmitterShapeParameters, TheKindsValuesAndTheRotationsAreEvaluated) {
    effecttools::EmitterValue v;
    v.kind = 4;
    effecttools::ShapeValue shape;
    shape.floats = {{"RadI", effecttools::Constant(5.0f)}, {"RadO", effecttools::Constant(9.0f)}};
    v.shape = shape;
    v.localRotation =
        effecttools::TripleValue{0, effecttools::Constant(0.0f), effecttools::Constant(0.0f),
                                 effecttools::Constant(1.5707964f)};
    effecttools::ChunkWriter w;
    effecttools::WriteEmitter(w, v);
    testsupport::RecordBuild<FulgorCore::EmitterResource> emitter(testsupport::PayloadOf(w.Take()));
    ASSERT_TRUE(emitter.Built());
    FulgorCore::EmitterShapeFrame frame{};
    FulgorCore::Xorshift128 random;
    frame.axisRotation[0] = 7.0f;
    FulgorCore::UpdateShapeParameters<4>(frame, *emitter, FulgorCore::MakeRotationByOrder(0), false,
                                         {1.0f, 1.0f}, random);
    EXPECT_EQ(frame.values[0], 5.0f);
    EXPECT_EQ(frame.values[1], 9.0f);
    // A quarter turn about z: X goes to Y.
    EXPECT_NEAR(frame.rotation[0], 0.0f, 1e-6f);
    EXPECT_NEAR(frame.rotation[1], 1.0f, 1e-6f);
    EXPECT_EQ(frame.axisRotation[0], 7.0f); // not along an axis: untouched
    FulgorCore::UpdateShapeParameters<4>(frame, *emitter, FulgorCore::MakeRotationByOrder(0), true,
                                         {1.0f, 1.0f}, random);
    EXPECT_EQ(frame.axisRotation[0], 1.0f);
    // Another kind's member leaves the frame alone.
    frame.values[0] = -1.0f;
    FulgorCore::UpdateShapeParameters<3>(frame, *emitter, FulgorCore::MakeRotationByOrder(0), true,
                                         {1.0f, 1.0f}, random);
    EXPECT_EQ(frame.values[0], -1.0f);
}

} // namespace
