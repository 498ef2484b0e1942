// The track morph: another unit's tracks played on a particle for a while,
// replacing or combining with its own values, and its completion.
#include "support/effects/EventTreeRig.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/TransformBlock.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace {

using FulgorCore::ParticleInstance;
using testsupport::EventEntry;
using testsupport::Frame;

constexpr uint32_t kConstant = 0; // takes events; constant scale and rotation
constexpr uint32_t kAnimated = 1; // takes events; scale grows with time
constexpr uint32_t kSource = 2;   // the tracks played
constexpr float kOwnRotation[3] = {0.1f, 0.2f, 0.3f};

effecttools::FloatValue TimeRamp(float perFrame, float start = 0.0f) {
    effecttools::EasingValue e;
    e.type = 255; // past the table: linear
    e.timeLength = 1000.0f;
    e.startValue = start;
    e.endValue = start + perFrame * 1000.0f;
    return e;
}

effecttools::TripleValue Triple(effecttools::FloatValue x, effecttools::FloatValue y,
                                effecttools::FloatValue z) {
    return {0, x, y, z};
}

effecttools::EffectFileValue MorphEffect() {
    using effecttools::Constant;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/morph.vfxb", 3, 0);
    effecttools::UnitValue& constant = f.package.units[kConstant];
    constant.fields.push_back({"bECE", 1});
    effecttools::UnitValue& animated = f.package.units[kAnimated];
    animated.fields.push_back({"bECE", 1});
    animated.fields.push_back({"bPSc", 1});
    animated.triples["Scl"] = Triple(TimeRamp(1.0f, 1.0f), Constant(1.0f), Constant(1.0f));
    effecttools::UnitValue& source = f.package.units[kSource];
    source.triples["Scl"] = Triple(Constant(2.0f), Constant(2.0f), Constant(2.0f));
    source.triples["Rot"] = Triple(Constant(1.0f), Constant(1.0f), Constant(1.0f));
    source.triples["Pos"] = Triple(TimeRamp(1.0f), Constant(0.0f), Constant(0.0f));
    effecttools::ColorValue half;
    half.alpha = Constant(0.5f);
    source.color = half;
    return f;
}

// Switches: scale, rotation, translation, colour, replace.
FulgorCore::UnitTimelineResource::Item Morph(std::vector<uint8_t> switches, int16_t duration) {
    return EventEntry(0, 0, 0, kSource, std::move(switches), duration);
}

class TrackMorph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start(MorphEffect()));
        p_ = rig_.Particle(kConstant);
        Frame();
        ASSERT_NE(p_->postedEvents, nullptr);
        // A rotation no property animates is the one the particle was
        // spawned with, as its first event recorded it.
        for (float* r : {p_->baseRotation, p_->rotation, p_->postedEvents->rotation})
            std::copy(kOwnRotation, kOwnRotation + 3, r);
    }
    void TearDown() override { EXPECT_EQ(rig_.tree.Release(), 0u); }

    testsupport::EventTreeRig rig_;
    ParticleInstance* p_ = nullptr;
};

TEST_F(TrackMorph, ADurationOf30EvaluatesItsTracksAtZeroTo28) {
    testsupport::EventTreeRig::Act(p_, Morph({0, 0, 1, 0, 1}, 30));
    std::vector<float> seen;
    for (int frame = 0; frame < 29; ++frame) {
        Frame();
        seen.push_back(p_->position[0]);
    }
    for (int t = 0; t < 29; ++t)
        EXPECT_EQ(seen[t], static_cast<float>(t));
    EXPECT_EQ(p_->trackMorphMember, ParticleInstance::StepTrackMorph);
    Frame(); // time reaches 30: nothing evaluated, the base back
    EXPECT_EQ(p_->position[0], 0.0f);
    EXPECT_EQ(p_->trackMorphMember, ParticleInstance::NoOpWithArgument);
}

TEST_F(TrackMorph, ADurationOfZeroRunsUntilTheParticleEnds) {
    testsupport::EventTreeRig::Act(p_, Morph({0, 0, 1, 0, 1}, 0));
    for (int frame = 0; frame < 100; ++frame)
        Frame();
    EXPECT_EQ(p_->position[0], 99.0f);
    EXPECT_EQ(p_->trackMorphMember, ParticleInstance::StepTrackMorph);
}

TEST_F(TrackMorph, ScaleCombinesWithTheBaseOrTheFreshValueWithoutAccumulating) {
    // Constant own scale: restored before each step, so 1 x 2 every frame.
    testsupport::EventTreeRig::Act(p_, Morph({1, 0, 0, 0, 0}, 0));
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        EXPECT_EQ(p_->scale[0], 2.0f);
    }
    // Animated own scale: no restore flag; the fresh value times 2.
    ParticleInstance* animated = rig_.Particle(kAnimated);
    Frame();
    ASSERT_EQ(animated->postedEvents->constant[FulgorCore::NodeEventBlock::kScale], 0);
    testsupport::EventTreeRig::Act(animated, Morph({1, 0, 0, 0, 0}, 0));
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        EXPECT_EQ(animated->scale[0], 2.0f * (1.0f + animated->time));
        EXPECT_EQ(animated->scale[1], 2.0f);
    }
}

TEST_F(TrackMorph, AColourTrackOfHalfAlphaHalvesTheAlphaEachFrame) {
    testsupport::EventTreeRig::Act(p_, Morph({0, 0, 0, 1, 0}, 0));
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        EXPECT_EQ(p_->GetColor()[3], 0.5f);
        EXPECT_EQ(p_->GetColor()[0], 1.0f);
    }
}

TEST_F(TrackMorph, CompletionPutsBackEveryFlaggedAspect) {
    // The morph has no rotation track; the rotation comes back all the same.
    testsupport::EventTreeRig::Act(p_, Morph({0, 0, 1, 0, 0}, 3));
    Frame();
    p_->rotation[0] = p_->rotation[1] = p_->rotation[2] = 9.0f;
    Frame();
    Frame();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p_->rotation[i], kOwnRotation[i]);
    EXPECT_EQ(p_->position[0], 0.0f);
}

TEST_F(TrackMorph, ASecondMorphCompletesTheFirstBeforeWritingItsOwn) {
    testsupport::EventTreeRig::Act(p_, Morph({0, 1, 0, 0, 1}, 0));
    Frame();
    EXPECT_EQ(p_->rotation[0], 1.0f);
    testsupport::EventTreeRig::Act(p_, Morph({0, 0, 1, 0, 1}, 0));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p_->rotation[i], kOwnRotation[i]);
    Frame();
    EXPECT_EQ(p_->rotation[0], kOwnRotation[0]);
    EXPECT_EQ(p_->position[0], 0.0f);
    Frame();
    EXPECT_EQ(p_->position[0], 1.0f);
}

TEST_F(TrackMorph, AParticleWithoutATransformBlockTakesTwoMorphs) {
    // One free block: the particle's own, none for its transform block.
    FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* block = pool.Allocate())
        taken.push_back(block);
    pool.Free(taken.back());
    taken.pop_back();
    ParticleInstance* bare = rig_.Particle(kConstant);
    for (void* block : taken)
        pool.Free(block);
    ASSERT_NE(bare, nullptr);
    ASSERT_EQ(bare->transformBlock, nullptr);
    bare->PostEvent(0, ParticleInstance::kLoopEndEvent);
    ASSERT_NE(bare->postedEvents, nullptr);
    // The second completes the first, which has no colour to put back.
    testsupport::EventTreeRig::Act(bare, Morph({1, 0, 0, 1, 0}, 0));
    testsupport::EventTreeRig::Act(bare, Morph({1, 0, 0, 1, 0}, 0));
    EXPECT_EQ(bare->scale[0], 1.0f);
    EXPECT_EQ(bare->trackMorphMember, ParticleInstance::StepTrackMorph);
}

TEST_F(TrackMorph, AMorphTakingNoTrackInstallsNothing) {
    testsupport::EventTreeRig::Act(p_, Morph({0, 0, 0, 0, 1}, 10));
    EXPECT_EQ(p_->trackMorphMember, ParticleInstance::NoOpWithArgument);
}

} // namespace
