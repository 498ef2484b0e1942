// The emitter members the runtime core holds: the timed dispatch and the
// per-frame shape values.
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/EmitterTimedEntry.h"
#include "effects/units/EmitterShapeParameters.h"
#include "effects/units/EmitterTimedEvents.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/EmitterWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FulgorCore::EmitterTimedEvent;

struct Firing {
    float time;
    float lateness;
    uint16_t first;
    uint16_t second;
    float value;
};

class Target : public FulgorCore::EmitterEventTarget {
public:
    void Fire(float time, float lateness, uint16_t first, uint16_t second, float value) override {
        firings.push_back({time, lateness, first, second, value});
    }
    std::vector<Firing> firings;
};

FulgorCore::EmitterTimedEntry EndingAt(int32_t endFrame) {
    effecttools::ChunkWriter w;
    w.I32("EdFr", endFrame);
    const std::vector<uint8_t> payload = w.Take();
    FulgorCore::EmitterTimedEntry entry;
    entry.Read(payload.data(), static_cast<uint32_t>(payload.size()));
    return entry;
}

TEST(EmitterTimedEvents, AnActiveEntryFiresEachIntervalReachedWithItsLateness) {
    Target target;
    EmitterTimedEvent block[8] = {};
    block[0] = {nullptr, &target, 0.0f, 2.0f, {3, 4}, 0.5f, 1, 0, nullptr};
    EmitterTimedEvent* blocks[] = {block};
    FulgorCore::DispatchTimedEvents(blocks, 1, 5.0f);
    ASSERT_EQ(target.firings.size(), 3u);
    EXPECT_EQ(target.firings[0].lateness, 5.0f);
    EXPECT_EQ(target.firings[1].lateness, 3.0f);
    EXPECT_EQ(target.firings[2].lateness, 1.0f);
    EXPECT_EQ(target.firings[2].time, 5.0f);
    EXPECT_EQ(target.firings[0].first, 3);
    EXPECT_EQ(target.firings[0].second, 4);
    EXPECT_EQ(target.firings[0].value, 0.5f);
    EXPECT_EQ(block[0].nextTime, 6.0f);
    FulgorCore::DispatchTimedEvents(blocks, 1, 5.5f);
    EXPECT_EQ(target.firings.size(), 3u);
}

TEST(EmitterTimedEvents, EntriesLiveInBlocksOfEightAndEndWithTheirData) {
    Target target;
    EmitterTimedEvent first[8] = {};
    EmitterTimedEvent second[8] = {};
    const FulgorCore::EmitterTimedEntry ended = EndingAt(3);
    const FulgorCore::EmitterTimedEntry open = EndingAt(0);
    static int updates;
    updates = 0;
    for (EmitterTimedEvent& e : first)
        e = {&open, &target, 10.0f, 1.0f, {0, 0}, 0.0f, 1, 0, nullptr};
    second[0] = {
        &ended, &target, 0.0f, 1.0f, {9, 9}, 0.0f, 1, 1, [](EmitterTimedEvent*) { ++updates; }};
    second[1] = {
        &open, &target, 0.0f, 1.0f, {8, 8}, 0.0f, 0, 1, [](EmitterTimedEvent*) { ++updates; }};
    EmitterTimedEvent* blocks[] = {first, second};
    FulgorCore::DispatchTimedEvents(blocks, 10, 4.0f);
    // Entry 8 ended at frame 3 (not even its update runs); entry 9 is
    // inactive but runs its own update.
    EXPECT_TRUE(target.firings.empty());
    EXPECT_EQ(updates, 1);
    FulgorCore::DispatchTimedEvents(blocks, 10, 10.0f);
    EXPECT_EQ(target.firings.size(), 8u);
}

TEST(EmitterTimedEvents, AnIntervalThatDoesNotMoveOnFiresOncePerDispatch) {
    Target target;
    EmitterTimedEvent block[8] = {};
    block[0] = {nullptr, &target, 0.0f, 0.0f, {0, 0}, 0.0f, 1, 0, nullptr};
    block[1] = {nullptr, &target, 100.0f, -1.0f, {0, 0}, 0.0f, 1, 0, nullptr};
    block[2] = {nullptr, &target, 16777216.0f, 1e-3f, {0, 0}, 0.0f, 1, 0, nullptr};
    EmitterTimedEvent* blocks[] = {block};
    FulgorCore::DispatchTimedEvents(blocks, 3, 2e7f);
    EXPECT_EQ(target.firings.size(), 3u);
    FulgorCore::DispatchTimedEvents(blocks, 3, 2e7f);
    EXPECT_EQ(target.firings.size(), 6u);
}

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
