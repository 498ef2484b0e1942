// Where strips and trails take their points each frame: generated lines
// (with and without lag and jitter), the strip's growing position history,
// and the trail's shifting history, under pause and without frame memory.
#include "support/effects/DrawUnitRig.h"

#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/StripDrawUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::DrawPartValue;
using Fx::DrawUnit;
using Fx::StripDrawUnitBase;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;

// A generated line 4 long with lag and jitter as given.
DrawPartValue Line(float lag, float jitter) {
    effecttools::DrawDataType6Value line;
    line.floats = {{"Len", Constant(4.0f)}, {"Soft", Constant(lag)}, {"Dist", Constant(jitter)}};
    DrawPartValue part;
    part.data = line;
    return part;
}

class PointSources : public testsupport::DrawUnitFixture<> {
protected:
    void SetUp() override {
        DrawPartValue trail;
        trail.data = effecttools::DrawDataType12Value{};
        rig = &Start(DrawEffect({Line(0, 0), Line(0.5f, 0), Line(0, 0.1f), trail}));
        ASSERT_TRUE(rig->ok);
    }
    // An owner at x on the x axis, its axis member the x row.
    Fx::ParticleInstance* Owner(float x = 0.0f) {
        const float at[3] = {x, 0, 0};
        Fx::ParticleInstance* owner = rig->MakeOwner(at);
        owner->axisMember = Fx::ParticleInstance::GetAxisX;
        return owner;
    }
    static void MoveTo(Fx::ParticleInstance* owner, float x, float y = 0.0f) {
        owner->currentWorldMatrix[9] = x;
        owner->currentWorldMatrix[10] = y;
    }
    StripDrawUnitBase* Strip(Fx::ParticleInstance* owner, uint32_t part, uint32_t source,
                             uint32_t points, float spacing = 1.0f) {
        StripDrawUnitBase::Values v;
        v.pointSource = source;
        v.pointCount = points;
        v.spacing = spacing;
        return Keep(DrawUnit::Create<Fx::StripDrawUnit<1>>(owner, rig->Part(part), v));
    }
    Fx::AxisTrailDrawUnit<1>* Trail(Fx::ParticleInstance* owner, uint32_t points) {
        Fx::TrailDrawUnitBase::Values v;
        v.pointCount = points;
        v.subKind = 1;
        return Keep(DrawUnit::Create<Fx::AxisTrailDrawUnit<1>>(owner, rig->Part(3), v));
    }
    // The hook, then the update, as the owner runs them.
    static void Frame(DrawUnit* unit, int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            unit->Step();
            unit->Update(testsupport::FrameClock());
        }
    }
    DrawUnitRig* rig = nullptr;
};

TEST_F(PointSources, LinesHistoriesAndTrailsFollowTheirOwnerFrameByFrame) {
    struct Row {
        const char* name;
        std::function<void()> check;
    };
    const Row rows[] = {
        {"AOnePointLineLiesOnTheOwner",
         [&] {
             Fx::ParticleInstance* owner = Owner(2.0f);
             StripDrawUnitBase* strip = Strip(owner, 0, StripDrawUnitBase::kGeneratedLine, 1);
             for (float x : {2.0f, 5.0f}) {
                 MoveTo(owner, x);
                 Frame(strip);
                 EXPECT_EQ(strip->points[0], x);
                 EXPECT_EQ(strip->points[1], 0.0f);
             }
         }},
        {"OnlyTheInnerPointsOfALineJitter",
         [&] {
             StripDrawUnitBase* strip = Strip(Owner(), 2, StripDrawUnitBase::kGeneratedLine, 3);
             Frame(strip, 2);
             EXPECT_EQ(strip->points[0], 0.0f);
             EXPECT_EQ(strip->points[6], 4.0f);
             EXPECT_NE(strip->points[3], 2.0f);
             EXPECT_NEAR(strip->points[3], 2.0f, 0.1f);
             StripDrawUnitBase* pair = Strip(Owner(), 2, StripDrawUnitBase::kGeneratedLine, 2);
             Frame(pair, 2);
             EXPECT_EQ(pair->points[3], 4.0f);
         }},
        {"WithLagPointOneNeverLagsAndTheLastLagsMost",
         [&] {
             Fx::ParticleInstance* owner = Owner();
             StripDrawUnitBase* plain = Strip(owner, 0, StripDrawUnitBase::kGeneratedLine, 5);
             StripDrawUnitBase* lagged = Strip(owner, 1, StripDrawUnitBase::kGeneratedLine, 5);
             Frame(plain);
             Frame(lagged);
             EXPECT_EQ(plain->record->ops.generate, StripDrawUnitBase::UpdateLinePoints);
             EXPECT_EQ(lagged->record->ops.generate, StripDrawUnitBase::UpdateLinePointsWithLag);
             MoveTo(owner, 10.0f);
             Frame(lagged);
             // Point i drags by (i - 1) x 0.5 / 4 toward where it was.
             const float x[5] = {10, 11, 10.75f, 10.5f, 10.25f};
             for (int i = 0; i < 5; ++i)
                 EXPECT_FLOAT_EQ(lagged->points[3 * i], x[i]) << i;
         }},
        {"AHistoryStartsWithTwoNodesAtTheOwner",
         [&] {
             StripDrawUnitBase* strip = Strip(Owner(3.0f), 0, StripDrawUnitBase::kHistory, 0);
             Frame(strip);
             EXPECT_EQ(strip->history.current->count, 2u);
             EXPECT_EQ(strip->segmentCount, 1u);
             EXPECT_EQ(strip->firstNode->next, strip->newestNode);
             EXPECT_EQ(strip->newestNode->link, strip->firstNode);
             for (const Fx::PointHistoryEntry* e : {strip->firstNode, strip->newestNode}) {
                 EXPECT_EQ(e->position[0], 3.0f);
                 // The exponent-halving root of 0 is 2^-63, not 0.
                 EXPECT_NEAR(e->distance, 0.0f, 1e-18f);
             }
         }},
        {"AHistoryAddsOneNodeAFrameAtMost",
         [&] {
             Fx::ParticleInstance* owner = Owner();
             StripDrawUnitBase* strip = Strip(owner, 0, StripDrawUnitBase::kHistory, 0, 1.0f);
             Frame(strip);
             // Five spacings a frame, then less than one.
             for (float x : {5.0f, 10.0f, 15.0f, 15.5f}) {
                 MoveTo(owner, x);
                 Frame(strip);
             }
             EXPECT_EQ(strip->segmentCount, 4u);
             EXPECT_EQ(strip->history.current->count, 5u);
             // The newest node rides on the owner; the one before stays where
             // the owner was when it had travelled a spacing.
             EXPECT_EQ(strip->newestNode->position[0], 15.5f);
             EXPECT_EQ(strip->newestNode->link->position[0], 10.0f);
         }},
        {"TheFifteenthNodeTakesAFreshBlock",
         [&] {
             Fx::ParticleInstance* owner = Owner();
             StripDrawUnitBase* strip = Strip(owner, 0, StripDrawUnitBase::kHistory, 0, 1.0f);
             Frame(strip);
             for (int k = 1; k <= 12; ++k) {
                 MoveTo(owner, static_cast<float>(k));
                 Frame(strip);
             }
             const Fx::StripHistoryBlock* first = strip->history.current;
             EXPECT_EQ(first->count, 14u);
             MoveTo(owner, 13.0f);
             Frame(strip);
             ASSERT_NE(strip->history.current, first);
             EXPECT_EQ(strip->history.current->older, first);
             EXPECT_EQ(strip->history.current->count, 1u);
             EXPECT_EQ(strip->newestNode, &strip->history.current->nodes[0]);
             EXPECT_EQ(strip->newestNode->link, &first->nodes[13]);
         }},
        {"TwoAndAHalfIntervalsShiftOnceAndLeaveHalf",
         [&] {
             Fx::ParticleInstance* owner = Owner();
             Fx::AxisTrailDrawUnit<1>* trail = Trail(owner, 4);
             Frame(trail);
             MoveTo(owner, 1.0f);
             trail->accumulator = 2.5f;
             float head = -1.0f;
             ASSERT_NE(trail->ops.generate(trail, testsupport::FrameClock(), &head), nullptr);
             EXPECT_EQ(head, 0.5f);
             EXPECT_EQ(trail->accumulator, 1.5f);
             EXPECT_EQ(trail->history[0].position[0], 1.0f);
             EXPECT_EQ(trail->history[1].position[0], 0.0f);
             // Below one interval nothing shifts: point 1 stays the old point 1.
             MoveTo(owner, 2.0f);
             trail->accumulator = 0.25f;
             trail->ops.generate(trail, testsupport::FrameClock(), &head);
             EXPECT_EQ(head, 0.25f);
             EXPECT_EQ(trail->history[0].position[0], 2.0f);
             EXPECT_EQ(trail->history[1].position[0], 0.0f);
             EXPECT_EQ(trail->history[0].segmentLength, 2.0f);
         }},
        {"APauseFreezesLinesAndTrailsButNotTheHistory",
         [&] {
             Fx::ParticleInstance* owner = Owner();
             StripDrawUnitBase* line = Strip(owner, 0, StripDrawUnitBase::kGeneratedLine, 3);
             StripDrawUnitBase* chain = Strip(owner, 0, StripDrawUnitBase::kHistory, 0, 10.0f);
             Fx::AxisTrailDrawUnit<1>* trail = Trail(owner, 3);
             for (DrawUnit* u : std::initializer_list<DrawUnit*>{line, chain, trail})
                 Frame(u);
             rig->root->paused = 1;
             MoveTo(owner, 1.0f);
             for (DrawUnit* u : std::initializer_list<DrawUnit*>{line, chain, trail})
                 Frame(u);
             rig->root->paused = 0;
             EXPECT_EQ(line->points[0], 0.0f);
             EXPECT_EQ(trail->history[0].position[0], 0.0f);
             EXPECT_EQ(chain->newestNode->position[0], 1.0f);
         }},
        {"ALineWhosePointsTheFrameMemoryNoLongerKeepsIsMadeAfresh",
         [&] {
             // Lagging, and frozen: both would read their last points.
             Fx::ParticleInstance* owner = Owner();
             StripDrawUnitBase* lagged = Strip(owner, 1, StripDrawUnitBase::kGeneratedLine, 5);
             StripDrawUnitBase* frozen = Strip(owner, 0, StripDrawUnitBase::kGeneratedLine, 5);
             Frame(lagged, 2);
             Frame(frozen, 2);
             testsupport::ReuseFrameMemoryUpTo(std::max(lagged->points, frozen->points) + 15);
             MoveTo(owner, 10.0f);
             Frame(lagged);
             rig->root->paused = 1;
             Frame(frozen);
             rig->root->paused = 0;
             // Both lie from the owner along its axis, as in a first frame.
             for (int i = 0; i < 5; ++i) {
                 EXPECT_EQ(lagged->points[3 * i], 10.0f + static_cast<float>(i)) << i;
                 EXPECT_EQ(frozen->points[3 * i], 10.0f + static_cast<float>(i)) << i;
                 EXPECT_EQ(lagged->points[3 * i + 1], 0.0f) << i;
                 EXPECT_EQ(frozen->points[3 * i + 1], 0.0f) << i;
             }
             // From there on the lag works as ever.
             MoveTo(owner, 14.0f);
             Frame(lagged);
             // The last point drags by 3 x 0.5 / 4 from 18 toward 14.
             EXPECT_FLOAT_EQ(lagged->points[3 * 4], 16.5f);
         }},
        {"NoFrameMemoryStopsTheOwner",
         [&] {
             Fx::ParticleInstance* lineOwner = Owner();
             Fx::ParticleInstance* trailOwner = Owner();
             StripDrawUnitBase* line = Strip(lineOwner, 0, StripDrawUnitBase::kGeneratedLine, 3);
             Fx::AxisTrailDrawUnit<1>* trail = Trail(trailOwner, 3);
             Frame(line);
             Frame(trail);
             const float* last = line->points;
             while (Fx::Engine::GetFrameWorkMemory().Allocate(4096)) {
             }
             Frame(line);
             Frame(trail);
             EXPECT_EQ(line->points, last);
             EXPECT_EQ(lineOwner->alive, 0);
             EXPECT_EQ(trailOwner->alive, 0);
             Fx::Engine::GetFrameWorkMemory().Flip();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

} // namespace
