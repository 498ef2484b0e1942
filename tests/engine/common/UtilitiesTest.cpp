#include "engine/common/File.h"
#include "engine/common/OwnedArray.h"
#include "engine/common/PointTable.h"
#include "engine/common/Random.h"
#include "engine/common/SequenceCounter.h"
#include "engine/common/Stopwatch.h"
#include "engine/common/Vector2.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Mireku::Common;

TEST(Random, SeedZeroGivesTheKnownWordsAndSequence) {
    Random r;
    r.Seed(0);
    EXPECT_EQ(r.x, 1u);
    EXPECT_EQ(r.y, 1812433255u);
    EXPECT_EQ(r.z, 1900727105u);
    EXPECT_EQ(r.w, 1208447044u);
    // Reference xorshift128 steps computed independently from the same words.
    uint32_t x = 1, y = 1812433255u, z = 1900727105u, w = 1208447044u;
    for (int i = 0; i < 1000; ++i) {
        uint32_t t = x ^ (x << 11);
        x = y;
        y = z;
        z = w;
        w = w ^ (w >> 19) ^ t ^ (t >> 8);
        ASSERT_EQ(r.Next(), w) << "step " << i;
    }
}

TEST(Random, RangesStayInsideAndAlwaysAdvance) {
    Random r(1234);
    Random ref(1234);
    EXPECT_EQ(r.Range(5, 5), 5);
    ref.Next();
    EXPECT_EQ(r.w, ref.w) << "a one-value range still advances the generator";
    for (int i = 0; i < 10000; ++i) {
        int v = r.Range(-3, 7);
        ASSERT_GE(v, -3);
        ASSERT_LE(v, 7);
        float f = r.RangeFloat(2.0f, 3.0f);
        ASSERT_GE(f, 2.0f);
        ASSERT_LT(f, 3.0f);
    }
    // The float uses the word's low 23 bits as the fraction.
    Random a(9), b(9);
    uint32_t word = b.Next();
    EXPECT_FLOAT_EQ(a.RangeFloat(0.0f, 1.0f), static_cast<float>(word & 0x7FFFFF) / 8388608.0f);
}

TEST(Vector2, ArithmeticAndNormalize) {
    Vector2 v = Vector2(3, 4).Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    Vector2 zero = Vector2(0, 0).Normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    Vector2 nan = Vector2(NAN, 0).Normalize();
    EXPECT_TRUE(std::isnan(nan.x)) << "NaN vectors come back unchanged";
    EXPECT_FLOAT_EQ(Vector2(3, 4).Length(), 5.0f);
    EXPECT_FLOAT_EQ(Vector2(3, 4).LengthSquared(), 25.0f);
    Vector2 p = Vector2(1, 2).Perpendicular();
    EXPECT_EQ(p.x, 2.0f);
    EXPECT_EQ(p.y, -1.0f);
    Vector2 l = Vector2::Lerp({0, 0}, {10, -10}, 0.25f);
    EXPECT_FLOAT_EQ(l.x, 2.5f);
    EXPECT_FLOAT_EQ(l.y, -2.5f);
}

TEST(PointTable, InterpolatesClampsAndExtrapolatesTheFirstSegment) {
    const Vector2 pts[] = {{0, 0}, {10, 100}, {20, 0}};
    PointTable t(pts, 3);
    EXPECT_FLOAT_EQ(t.Evaluate(0.5f).y, 50.0f);
    EXPECT_FLOAT_EQ(t.Evaluate(1.25f).x, 12.5f);
    EXPECT_FLOAT_EQ(t.Evaluate(1.25f).y, 75.0f);
    EXPECT_FLOAT_EQ(t.Evaluate(2.0f).x, 20.0f);
    EXPECT_FLOAT_EQ(t.Evaluate(99.0f).x, 20.0f);
    EXPECT_FLOAT_EQ(t.Evaluate(-0.5f).x, -5.0f) << "t in (-1, 0) truncates to 0";
    EXPECT_FLOAT_EQ(t.Evaluate(-1.5f).x, 0.0f);
    const Vector2 one[] = {{7, 8}};
    PointTable single(one, 1);
    for (float f : {-3.0f, 0.0f, 0.7f, 5.0f})
        EXPECT_FLOAT_EQ(single.Evaluate(f).x, 7.0f);
}

TEST(SequenceCounter, WrapsTheLow24BitsAndKeepsTheHighByte) {
    uint32_t w = 0xAB000010u;
    EXPECT_EQ(AdvanceSequence24(w), 0xAB000010u);
    EXPECT_EQ(w, 0xAB000011u);
    w = 0x12FFFFFFu;
    EXPECT_EQ(AdvanceSequence24(w), 0x12FFFFFFu);
    EXPECT_EQ(w, 0x12000000u);
}

TEST(FrameRateCounter, RateChangesOnlyAfterAWholeSecond) {
    FrameRateCounter c;
    // Drive it from a known origin: the first tick of a second window.
    uint64_t t0 = 5000000;
    c.TickAt(t0 + 1000000); // closes the window opened at construction
    float base = c.GetRate();
    (void)base;
    for (int i = 1; i < 60; ++i)
        EXPECT_EQ(c.TickAt(t0 + 1000000 + i * 16000), c.GetRate());
    float before = c.GetRate();
    EXPECT_EQ(c.TickAt(t0 + 1000000 + 999999), before) << "still inside the window";
    float rate = c.TickAt(t0 + 2000000);
    // 61 ticks counted in the window (the closing tick of the last one started it at 1).
    EXPECT_NEAR(rate, 61.0f, 0.01f);
}

TEST(File, WritesReadsSeeksAndReportsSize) {
    testsupport::ScratchFolder scratch;
    const std::string path = scratch.Path("engine_file.bin");
    {
        File f;
        ASSERT_TRUE(f.Open(path.c_str(), File::kWrite));
        EXPECT_EQ(f.Write("abcdef", 6), 6u);
    }
    File f;
    EXPECT_FALSE(f.Open(path.c_str(), 7)) << "unknown modes leave the file closed";
    ASSERT_TRUE(f.Open(path.c_str(), File::kRead));
    EXPECT_EQ(f.Size(), 6u);
    ASSERT_TRUE(f.Seek(2));
    char buf[4] = {};
    EXPECT_EQ(f.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "cde");
    f.Close();
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Open((path + ".missing").c_str(), File::kRead));
}

TEST(OwnedArray, CopiesBytesAndCountsEightByteElements) {
    uint64_t src[3] = {1, 2, 3};
    OwnedArray a(src, 20);
    EXPECT_EQ(a.GetCount(), 2u);
    EXPECT_EQ(static_cast<const uint64_t*>(a.GetData())[1], 2u);
    OwnedArray e(nullptr, 0);
    EXPECT_EQ(e.GetCount(), 0u);
    EXPECT_EQ(e.GetData(), nullptr);
}

TEST(Documents, PathUsesForwardSlashesAndIsCached) {
    const char* a = GetMyDocumentsPath();
    ASSERT_NE(a, nullptr);
    if (*a) {
        EXPECT_EQ(std::string(a).find('\\'), std::string::npos);
        EXPECT_EQ(a, GetMyDocumentsPath());
    }
}
