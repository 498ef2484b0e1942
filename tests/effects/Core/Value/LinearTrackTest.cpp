#include "effects/Core/Value/LinearTrack.h"

#include "effects/Core/Data/BuildContext.h"
#include "tools/sampledata/ByteWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

using FulgorCore::EvaluationContext;
using FulgorCore::LinearTrack;

// Measures, then builds the track into a block as its owner would.
class BuiltTrack {
public:
    BuiltTrack(const std::vector<std::pair<int32_t, float>>& entries, bool loop, float length,
               uint32_t extraBytes = 0) {
        sampledata::ByteWriter bytes;
        for (const auto& [time, value] : entries)
            bytes.I32(time).F32(value);
        bytes.Zeros(extraBytes);
        data = bytes.Take();
        FulgorCore::BuildContext context{allocator};
        allocator.BeginMeasure();
        LinearTrack scratch;
        scratch.Initialize(context, data.data(), static_cast<uint32_t>(data.size()), loop, length);
        measured = allocator.GetSize();
        allocator.EndMeasure();
        block.resize(measured / 4 + 4);
        allocator.BeginBuild(block.data(), measured);
        track.Initialize(context, data.data(), static_cast<uint32_t>(data.size()), loop, length);
        placed = allocator.GetSize();
    }

    float At(float a) const { return track.Evaluate(EvaluationContext{a, 0.0f}); }

    FulgorCore::RuntimeDataAllocator allocator;
    std::vector<uint8_t> data;
    std::vector<uint32_t> block;
    LinearTrack track;
    uint32_t measured = 0;
    uint32_t placed = 0;
};

TEST(LinearTrackTest, AnEmptyTrackIsZeroAndTakesNothing) {
    BuiltTrack t({}, false, 10.0f);
    EXPECT_EQ(t.At(3.0f), 0.0f);
    EXPECT_EQ(t.measured, 0u);
    EXPECT_EQ(t.track.GetEntryCount(), 0u);
    // Fewer than eight bytes hold no entry.
    BuiltTrack partial({}, false, 10.0f, 7);
    EXPECT_EQ(partial.At(3.0f), 0.0f);
}

TEST(LinearTrackTest, OneEntryIsItsValueAtEveryTime) {
    BuiltTrack t({{500, 4.0f}}, true, 10.0f);
    EXPECT_EQ(t.At(-3.0f), 4.0f);
    EXPECT_EQ(t.At(300.0f), 4.0f);
    EXPECT_TRUE(t.track.IsLooping());
}

TEST(LinearTrackTest, EntriesInterpolateOverTheWrappedTime) {
    BuiltTrack t({{0, 0.0f}, {100, 10.0f}, {300, 30.0f}, {400, 0.0f}}, false, 5.0f);
    EXPECT_EQ(t.measured, 32u);
    EXPECT_EQ(t.placed, t.measured);
    EXPECT_FLOAT_EQ(t.At(0.5f), 5.0f);
    EXPECT_FLOAT_EQ(t.At(2.0f), 20.0f);
    EXPECT_FLOAT_EQ(t.At(3.5f), 15.0f);
    // Past the last entry and before the first: held.
    EXPECT_FLOAT_EQ(t.At(4.5f), 0.0f);
    // Wrapped by the length: 7 is 2.
    EXPECT_FLOAT_EQ(t.At(7.0f), 20.0f);
    // fmod keeps the sign: -1 stays -1, before the first entry.
    EXPECT_FLOAT_EQ(t.At(-1.0f), 0.0f);
}

TEST(LinearTrackTest, TwoEntriesUseTheOneSegment) {
    BuiltTrack t({{100, 2.0f}, {200, 4.0f}}, false, 10.0f);
    EXPECT_FLOAT_EQ(t.At(1.25f), 2.5f);
    EXPECT_FLOAT_EQ(t.At(0.5f), 2.0f);
    EXPECT_FLOAT_EQ(t.At(9.0f), 4.0f);
    EXPECT_FLOAT_EQ(t.track.GetLength(), 10.0f);
}

TEST(LinearTrackTest, EntriesOutOfOrderStayInsideTheTrack) {
    BuiltTrack t({{0, 1.0f}, {300, 2.0f}, {100, 3.0f}, {50, 4.0f}, {400, 5.0f}}, false, 10.0f);
    for (float a = 0.0f; a < 5.0f; a += 0.125f)
        EXPECT_FALSE(std::isnan(t.At(a))) << a;
}

} // namespace
