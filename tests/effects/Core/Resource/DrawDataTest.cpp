#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/DrawDataType2.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Value/ValueConstant.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/DrawDataWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

using effecttools::ChunkWriter;
using effecttools::Constant;
using FulgorCore::EvaluationContext;
using FulgorCore::Xorshift128;
using testsupport::PayloadOf;
using testsupport::RecordBuild;

template <class Value> std::vector<uint8_t> Bytes(const Value& v) {
    ChunkWriter w;
    effecttools::WriteDrawData(w, v);
    return PayloadOf(w.Take());
}

TEST(DrawDataTest, TypeTwoRotatesAboutZUntilTheFileSaysNot) {
    RecordBuild<FulgorCore::DrawDataType2> plain(Bytes(effecttools::DrawDataType2Value{}));
    EXPECT_EQ(plain->GetFlags(), 1u << 22);
    RecordBuild<FulgorCore::DrawDataType2> fields(Bytes(effecttools::DrawDataType2Value{
        {{"UvT", 3}, {"DivU", 63}, {"DivV", 1}, {"AnmI", 64 + 5}, {"bLtE", 7}, {"bRZ", 0}}}));
    EXPECT_EQ(fields->GetFlags(), 3u | 63u << 2 | 1u << 8 | 5u << 14 | 1u << 20);
    RecordBuild<FulgorCore::DrawDataType2> xy(
        Bytes(effecttools::DrawDataType2Value{{{"bRXY", 1}}}));
    EXPECT_EQ(xy->GetFlags(), 1u << 21 | 1u << 22);
    // A three-letter flag is a flag too: 2 sets it.
    RecordBuild<FulgorCore::DrawDataType2> two(
        Bytes(effecttools::DrawDataType2Value{{{"bRZ", 0}, {"bRZ", 2}}}));
    EXPECT_EQ(two->GetFlags(), 1u << 22);
}

TEST(DrawDataTest, TypeElevenRotatesAboutZUntilTheFileSaysNot) {
    effecttools::DrawDataType11Value v;
    v.fields = {{"bTxF", 1}};
    v.dwPx = 0.5f;
    v.dwPy = -2.0f;
    v.keys = std::vector<uint8_t>(28 * 3 + 5, 0xAB);
    RecordBuild<FulgorCore::DrawDataType11> t(Bytes(v));
    EXPECT_EQ(t->GetFlags(), 1u << 2 | 1u << 3 | 3u << 4);
    EXPECT_EQ(t->GetKeyCount(), 3u);
    EXPECT_EQ(t->GetDwPx(), 0.5f);
    EXPECT_EQ(t->GetDwPy(), -2.0f);
    EXPECT_EQ(t.measured, 96u);
    EXPECT_EQ(t->GetKey(2)[27], 0xAB);
    EXPECT_EQ(t->GetKey(3), nullptr);
}

TEST(DrawDataTest, TypeTwelveDefaults) {
    RecordBuild<FulgorCore::DrawDataType12> plain(Bytes(effecttools::DrawDataType12Value{}));
    EXPECT_EQ(plain->GetLength(), 100000.0f);
    EXPECT_EQ(plain->GetFlags(), 1u << 19);
    effecttools::DrawDataType12Value zero;
    zero.fields = {{"PtIv", 0}, {"PtCn", 200}, {"TDT", 5}};
    zero.length = 12.5f;
    RecordBuild<FulgorCore::DrawDataType12> z(Bytes(zero));
    EXPECT_EQ(z->GetFlags(), 5u | 200u << 3 | 1u << 19);
    EXPECT_EQ(z->GetLength(), 12.5f);
    effecttools::DrawDataType12Value every;
    every.fields = {{"PtIv", 255}, {"PtCN", 9}, {"bECE", 1}, {"bCPE", 1}, {"bLHE", 1}, {"bNST", 1}};
    RecordBuild<FulgorCore::DrawDataType12> e(Bytes(every));
    EXPECT_EQ(e->GetFlags(), 255u << 19 | 9u << 11 | 15u << 27);
}

TEST(DrawDataTest, TypeFiveFlagsShareTheSpecularBit) {
    for (const char* tag : {"bPBL", "bSpc"}) {
        effecttools::DrawDataType5Value v;
        v.fields = {{tag, 1}};
        RecordBuild<FulgorCore::DrawDataType5> t(Bytes(v));
        EXPECT_EQ(t->GetFlags(), 1u << 2) << tag;
    }
    effecttools::DrawDataType5Value v;
    v.fields = {{"bMrf", 1}, {"UvP1", 3}, {"UvP6", 1}, {"FreT", 7}, {"VCCT", 9}};
    v.list = std::vector<int8_t>{1, 2, 3};
    RecordBuild<FulgorCore::DrawDataType5> t(Bytes(v));
    EXPECT_EQ(t->GetFlags(), 1u | 1u << 3 | 1u << 8 | 7u << 9 | 1u << 12 | 3u << 15);
}

struct Blend {
    int32_t first, second;
    float fraction;
};

Blend BlendAt(const std::vector<int8_t>& list, float position) {
    effecttools::DrawDataType5Value v;
    v.list = list;
    v.floats["MrBR"] = Constant(position);
    RecordBuild<FulgorCore::DrawDataType5> t(Bytes(v));
    Xorshift128 state;
    Blend b{};
    b.fraction = t->BlendedEntries(EvaluationContext{}, 0.0f, state, b.first, b.second);
    return b;
}

TEST(DrawDataTest, BlendedEntriesWrapAroundTheList) {
    const Blend half = BlendAt({10, 20}, -0.5f);
    EXPECT_EQ(half.first, 20);
    EXPECT_EQ(half.second, 10);
    EXPECT_FLOAT_EQ(half.fraction, 0.5f);
    const Blend quarter = BlendAt({10, 20, 30}, 2.25f);
    EXPECT_EQ(quarter.first, 30);
    EXPECT_EQ(quarter.second, 10);
    EXPECT_FLOAT_EQ(quarter.fraction, 0.25f);
    const Blend negative = BlendAt({10, 20, 30}, -4.75f);
    EXPECT_EQ(negative.first, 20);
    EXPECT_EQ(negative.second, 30);
    EXPECT_FLOAT_EQ(negative.fraction, 0.25f);
    const Blend empty = BlendAt({}, 1.5f);
    EXPECT_EQ(empty.first, -1);
    EXPECT_EQ(empty.second, -1);
    EXPECT_EQ(empty.fraction, 0.0f);
    const Blend one = BlendAt({7}, 1.5f);
    EXPECT_EQ(one.first, 7);
    EXPECT_EQ(one.second, 7);
    EXPECT_EQ(one.fraction, 0.0f);
    // NaN truncates to 0x80000000, -2 modulo 3: entry 1, then entry 2.
    const Blend nan = BlendAt({10, 20, 30}, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(nan.first, 20);
    EXPECT_EQ(nan.second, 30);
    for (float odd : {-3e9f, 3e9f, -1e38f}) {
        const Blend b = BlendAt({10, 20, 30}, odd);
        EXPECT_TRUE(b.first == 10 || b.first == 20 || b.first == 30) << odd;
        EXPECT_TRUE(b.second == 10 || b.second == 20 || b.second == 30) << odd;
    }
}

TEST(DrawDataTest, ListEntryPicksByTheModelNumber) {
    effecttools::DrawDataType5Value v;
    v.list = std::vector<int8_t>{4, 5, 6};
    v.floats["MdAN"] = Constant(-2.0f);
    RecordBuild<FulgorCore::DrawDataType5> t(Bytes(v));
    Xorshift128 state;
    EXPECT_EQ(t->ListEntry(EvaluationContext{}, 0.0f, state), 5);
    EXPECT_EQ(t->ListEntry(EvaluationContext{}, 3.5f, state), 5);
    v.list = std::vector<int8_t>{};
    RecordBuild<FulgorCore::DrawDataType5> empty(Bytes(v));
    EXPECT_EQ(empty->ListEntry(EvaluationContext{}, 0.0f, state), -1);
}

TEST(DrawDataTest, AttachPointNamesAreAlwaysTerminated) {
    // A name chunk without its zero.
    ChunkWriter w;
    w.Begin("BnV1").U32("BATT", 0x1F).U32("BAPT", 3).Bytes("BAPN", "head", 4).End();
    RecordBuild<FulgorCore::AttachPoint> p(PayloadOf(w.Take()));
    EXPECT_EQ(p->GetFlags(), 0xFu | 3u << 4);
    ASSERT_NE(p->GetName(), nullptr);
    EXPECT_STREQ(p->GetName(), "head");
    EXPECT_TRUE(p.InBlock(p->GetName()));
    RecordBuild<FulgorCore::AttachPoint> none(std::vector<uint8_t>{});
    EXPECT_EQ(none->GetName(), nullptr);
}

} // namespace
