// Expectations that a built effect record holds what the writer was given:
// every field of every value kind, pair, triple and colour.
#pragma once

#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/FloatProperty.h"
#include "effects/Core/Value/ValueConstant.h"
#include "effects/Core/Value/ValueCurve.h"
#include "effects/Core/Value/ValueEasing.h"
#include "effects/Core/Value/ValueLoop.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace testsupport {

inline void ExpectCurve(const FulgorCore::ValueCurve* curve, const effecttools::CurveValue& v,
                        const std::string& where) {
    ASSERT_NE(curve, nullptr) << where;
    ASSERT_EQ(curve->GetKeyCount(), v.keys.size()) << where;
    EXPECT_EQ(curve->GetPreBehaviour(), v.preBehaviour) << where;
    EXPECT_EQ(curve->GetPostBehaviour(), v.postBehaviour) << where;
    EXPECT_EQ(curve->GetCountClass(), v.keys.size() < 2 ? v.keys.size() : 2u) << where;
    EXPECT_EQ(curve->GetRandomType(), v.keys.empty() ? -1 : static_cast<int32_t>(v.randomType))
        << where;
    EXPECT_EQ(curve->UsesBinarySearch(), v.keys.size() > 2) << where;
    for (size_t i = 0; i < v.keys.size(); ++i) {
        const FulgorCore::CurveKey* key = curve->GetKey(static_cast<uint32_t>(i));
        const effecttools::CurveKeyValue& k = v.keys[i];
        EXPECT_EQ(key->GetTime(), static_cast<int32_t>(std::trunc(k.time * 100.0f))) << where;
        EXPECT_EQ(key->GetKind(), static_cast<int32_t>(k.kind)) << where;
        EXPECT_EQ(key->value, k.value) << where;
        EXPECT_EQ(key->startTangent, k.startTangent) << where;
        EXPECT_EQ(key->endTangent, k.endTangent) << where;
    }
}

inline void ExpectFloatProperty(const FulgorCore::FloatProperty& p,
                                const effecttools::FloatValue& value, const std::string& where) {
    ASSERT_EQ(static_cast<size_t>(p.GetKind()), value.index()) << where;
    if (const auto* v = std::get_if<effecttools::ConstantValue>(&value)) {
        const FulgorCore::ValueConstant* c = p.GetConstant();
        EXPECT_EQ(c->GetValue(), v->value) << where;
        EXPECT_EQ(c->GetRandomStart(), v->randomStart) << where;
        EXPECT_EQ(c->GetRandomEnd(), v->randomEnd) << where;
    } else if (const auto* v = std::get_if<effecttools::EasingValue>(&value)) {
        const FulgorCore::ValueEasing* e = p.GetEasing();
        EXPECT_EQ(e->GetEasingType(), v->type) << where;
        EXPECT_EQ(e->GetPreMode(), v->preMode) << where;
        EXPECT_EQ(e->GetPostMode(), v->postMode) << where;
        EXPECT_EQ(e->GetTimeOffset(), v->timeOffset) << where;
        EXPECT_EQ(e->GetTimeLength(), v->timeLength) << where;
        EXPECT_EQ(e->GetStartValue(), v->startValue) << where;
        EXPECT_EQ(e->GetEndValue(), v->endValue) << where;
        EXPECT_EQ(e->GetRandomStart(), v->randomStart) << where;
        EXPECT_EQ(e->GetRandomEnd(), v->randomEnd) << where;
    } else if (const auto* v = std::get_if<effecttools::CurvesValue>(&value)) {
        ExpectCurve(p.GetValueCurve(), v->value, where + " value curve");
        ExpectCurve(p.GetRandomCurve(), v->random, where + " random curve");
    } else if (const auto* v = std::get_if<effecttools::LoopValue>(&value)) {
        const FulgorCore::ValueLoop* l = p.GetLoop();
        EXPECT_EQ(l->GetBaseValue(), v->baseValue) << where;
        EXPECT_EQ(l->GetVelocity(), v->velocity) << where;
        EXPECT_EQ(l->GetMinimum(), v->minimum) << where;
        EXPECT_EQ(l->GetMaximum(), v->maximum) << where;
        EXPECT_EQ(l->GetRandomStart(), v->randomStart) << where;
        EXPECT_EQ(l->GetRandomEnd(), v->randomEnd) << where;
        EXPECT_EQ(l->IsMoving(), std::fabs(v->velocity) > 0.0001f) << where;
    }
}

// A component the writer left out reads as the constant zero.
inline void ExpectOptionalFloat(const FulgorCore::FloatProperty& p,
                                const std::optional<effecttools::FloatValue>& value,
                                const std::string& where) {
    if (value)
        ExpectFloatProperty(p, *value, where);
    else
        EXPECT_EQ(p.GetKind(), FulgorCore::FloatProperty::kNone) << where;
}

inline void ExpectPair(const FulgorCore::FloatPairProperty& p, const effecttools::PairValue& v,
                       const std::string& where) {
    EXPECT_EQ(p.GetLinkMode(), v.link) << where;
    ExpectOptionalFloat(p.GetX(), v.x, where + " X");
    ExpectOptionalFloat(p.GetY(), v.y, where + " Y");
}

inline void ExpectTriple(const FulgorCore::FloatTripleProperty& p,
                         const effecttools::TripleValue& v, const std::string& where) {
    EXPECT_EQ(p.GetLinkMode(), v.link) << where;
    ExpectOptionalFloat(p.GetX(), v.x, where + " X");
    ExpectOptionalFloat(p.GetY(), v.y, where + " Y");
    ExpectOptionalFloat(p.GetZ(), v.z, where + " Z");
}

inline void ExpectColor(const FulgorCore::ColorProperty& p, const effecttools::ColorValue& v,
                        const std::string& where) {
    using FulgorCore::ColorProperty;
    const FulgorCore::ColorGradient& g = p.GetGradient();
    ASSERT_EQ(g.GetKeyCount(), v.gradient.keys.size()) << where;
    EXPECT_EQ(g.UsesTimeA(), v.gradient.useTimeA) << where;
    EXPECT_EQ(g.RepeatsBefore(), v.gradient.preBehaviour == 1) << where;
    EXPECT_EQ(g.RepeatsAfter(), v.gradient.postBehaviour == 1) << where;
    for (size_t i = 0; i < v.gradient.keys.size(); ++i) {
        const FulgorCore::ColorGradient::Key* key = g.GetKey(static_cast<uint32_t>(i));
        EXPECT_EQ(key->time, v.gradient.keys[i].time) << where;
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(key->rgba[c], v.gradient.keys[i].rgba[c]) << where;
    }
    ExpectOptionalFloat(p.GetChannel(ColorProperty::kBrightness), v.brightness, where + " Brig");
    ExpectOptionalFloat(p.GetChannel(ColorProperty::kRed), v.red, where + " Red");
    ExpectOptionalFloat(p.GetChannel(ColorProperty::kGreen), v.green, where + " Gree");
    ExpectOptionalFloat(p.GetChannel(ColorProperty::kBlue), v.blue, where + " Blue");
    ExpectOptionalFloat(p.GetChannel(ColorProperty::kAlpha), v.alpha, where + " Alph");
}

} // namespace testsupport
