// The draw units with an own update (models, strips, rings, circles,
// quads, projections, trails, meshes): their classes, the falloff,
// specular and polygon-offset values, the per-frame records, the trail
// resampler, and a long run of every class on moving owners.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RibbonBuildValues.h"

#include "effects/Core/Resource/ModelResource.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CircleDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawUnitType13.h"
#include "effects/drawunits/ModelDrawUnit.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/ProjectionDrawUnit.h"
#include "effects/drawunits/QuadDrawUnit.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/StripDrawUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::DrawPartValue;
using Fx::DrawClock;
using Fx::DrawUnit;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::OwnerPose;
using testsupport::ConstantColour;
using testsupport::RecordedOps;

constexpr float kSentinel = 1234.5f;
constexpr float kPi = 3.14159265f;

effecttools::TripleValue Angles(float a, float b, float c) {
    return {0, Constant(a), Constant(b), Constant(c)};
}

// Falloff colours (0.1, 0.2, 0.3, 0.4) and (0.5, 0.6, 0.7, 0.8), power 2,
// offset 0.5, the direction's angles as given.
template <class Data> Data WithFalloff(Data d, float a = 0, float b = 0, float c = 0) {
    d.colors = {{"FrCB", ConstantColour(0.1f, 0.2f, 0.3f, 0.4f)}, {"FrCE", ConstantColour(0.5f, 0.6f, 0.7f, 0.8f)}};
    d.floats["FrC"] = Constant(2.0f);
    d.floats["FrO"] = Constant(0.5f);
    d.rimDirection = Angles(a, b, c);
    return d;
}

DrawPartValue Part(effecttools::DrawDataValue data) {
    DrawPartValue part;
    part.data = std::move(data);
    return part;
}

// The model data: a list of model numbers, the blend flag with its position,
// the specular terms.
DrawPartValue ModelPart(std::vector<int8_t> list, bool blend, float position, float roughness = 0,
                        float metallic = 0) {
    effecttools::DrawDataType5Value m = WithFalloff(effecttools::DrawDataType5Value{});
    m.fields = {{"bMrf", blend ? 1u : 0u}};
    m.list = std::move(list);
    m.floats["MdAN"] = m.floats["MrBR"] = Constant(position);
    m.floats["MtRh"] = Constant(roughness);
    m.floats["MtMl"] = Constant(metallic);
    m.floats["MtFo"] = Constant(0.04f);
    return Part(m);
}

void Fill(void* record, size_t floats) {
    std::fill_n(static_cast<float*>(record), floats, kSentinel);
}

bool IsSentinel(const float* f, size_t n) {
    return std::all_of(f, f + n, [](float v) { return v == kSentinel; });
}

class DrawUnitFamily : public testsupport::DrawUnitFixture<> {
protected:
    template <class T, class... Args> T* Make(DrawUnitRig& rig, uint32_t part, Args&&... args) {
        return Keep(
            DrawUnit::Create<T>(rig.MakeOwner(pose), rig.Part(part), static_cast<Args&&>(args)...));
    }
    OwnerPose pose;
};

// Format 0 writes no transform where format 1 writes one, and both write
// the matrix at the same place.
TEST_F(DrawUnitFamily, AFormatZeroRecordKeepsFormatOnesPlaces) {
    DrawUnitRig& rig = Start(DrawEffect(
        {Part(effecttools::DrawDataType7Value{}), Part(effecttools::DrawDataType8Value{}),
         Part(effecttools::DrawDataType9Value{}), Part(effecttools::DrawDataType10Value{}),
         Part(WithFalloff(effecttools::DrawDataType13Value{})), ModelPart({0}, false, 0)}));
    ASSERT_TRUE(rig.ok);
    pose.matrix[9] = 7.0f;
    // The records of a format-0 and a format-1 unit after an update.
    const auto both = [](DrawUnit* zero, float* zeroRecord, DrawUnit* one, float* oneRecord) {
        for (auto [unit, record] : {std::pair{zero, zeroRecord}, std::pair{one, oneRecord}}) {
            Fill(record, 64);
            unit->Update(testsupport::FrameClock());
        }
        return std::pair{zeroRecord, oneRecord};
    };
    const auto records = [&](auto* zero, auto* one) {
        return both(zero, reinterpret_cast<float*>(zero->record), one,
                    reinterpret_cast<float*>(one->record));
    };
    struct Row {
        const char* name;
        std::pair<float*, float*> made;
        size_t transformsAt;
        size_t matrixAt;
    };
    const Row rows[] = {
        {"circle",
         records(Make<Fx::CircleDrawUnit<0>>(rig, 1, 0.0f),
                 Make<Fx::CircleDrawUnit<1>>(rig, 1, 0.0f)),
         12, 0},
        {"quad", records(Make<Fx::QuadDrawUnit<0>>(rig, 2), Make<Fx::QuadDrawUnit<1>>(rig, 2)), 14,
         0},
        {"projection",
         records(Make<Fx::ProjectionDrawUnit<0>>(rig, 3, Fx::ProjectionDrawUnit<0>::Values{}),
                 Make<Fx::ProjectionDrawUnit<1>>(rig, 3, Fx::ProjectionDrawUnit<1>::Values{})),
         0, 8},
        {"mesh",
         records(Make<Fx::DrawUnitType13<0>>(rig, 4, Fx::DrawUnitType13Base::Values{}),
                 Make<Fx::DrawUnitType13<1>>(rig, 4, Fx::DrawUnitType13Base::Values{})),
         0, 8},
        {"model",
         records(Make<Fx::ModelDrawUnit<0>>(rig, 5, Fx::ModelDrawUnitBase::Values{}),
                 Make<Fx::ModelDrawUnit<1>>(rig, 5, Fx::ModelDrawUnitBase::Values{})),
         0, 8},
    };
    for (const Row& row : rows) {
        const auto [zero, one] = row.made;
        EXPECT_TRUE(IsSentinel(zero + row.transformsAt, 8)) << row.name;
        EXPECT_FALSE(IsSentinel(one + row.transformsAt, 8)) << row.name;
        for (const float* r : {zero, one})
            EXPECT_EQ(r[row.matrixAt + 9], 7.0f) << row.name;
    }
}

TEST_F(DrawUnitFamily, FalloffBlocksFollowTheModeAndTheOwnersAxes) {
    const float half = kPi / 2;
    DrawUnitRig& rig =
        Start(DrawEffect({Part(WithFalloff(effecttools::DrawDataType13Value{})),
                          Part(WithFalloff(effecttools::DrawDataType13Value{}, half, 0, 0)),
                          Part(WithFalloff(effecttools::DrawDataType5Value{}, half, 0, 0))}));
    ASSERT_TRUE(rig.ok);
    const float turned[12] = {0, 2, 0, -2, 0, 0, 0, 0, 2, 5, 6, 7};
    struct Row {
        const char* name;
        uint32_t mode;
        uint32_t part;
        const float* owner;
        float direction[3]; // NaN: register 2 left as it was
    };
    const float kept = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {"AllAnglesZeroFaceMinusZ", 3, 0, nullptr, {0, 0, -1}},
        {"AQuarterTurnAboutXFacesY", 4, 1, nullptr, {0, 1, 0}},
        {"TheOwnersAxesTurnAndScaleButDoNotMove", 3, 0, turned, {0, 0, -2}},
        {"AModelRunsTheSameSteps", 3, 2, nullptr, {0, 1, 0}},
        {"EyeModeOneLeavesTheDirection", 1, 0, nullptr, {kept}},
        {"EyeModeTwoLeavesTheDirection", 2, 2, nullptr, {kept}},
        {"ModeZeroIsOff", 0, 0, nullptr, {}},
        {"ModeFiveIsOff", 5, 0, nullptr, {}},
        {"ModeSevenIsOff", 7, 2, nullptr, {}},
    };
    for (const Row& row : rows) {
        pose = OwnerPose{};
        if (row.owner)
            std::copy_n(row.owner, 12, pose.matrix);
        float* block = nullptr;
        uint8_t flag = 0;
        if (row.part == 2) {
            Fx::ModelDrawUnitBase::Values v;
            v.falloffMode = row.mode;
            auto* unit = Make<Fx::ModelDrawUnit<1>>(rig, row.part, v);
            Fill(unit->record, 64);
            unit->Update(testsupport::FrameClock());
            block = unit->Record()->falloff;
            flag = unit->evaluatorFlag;
        } else {
            Fx::DrawUnitType13Base::Values v;
            v.falloffMode = row.mode;
            auto* unit = Make<Fx::DrawUnitType13<1>>(rig, row.part, v);
            Fill(unit->record, 64);
            unit->Update(testsupport::FrameClock());
            block = unit->Record()->falloff;
            flag = unit->evaluatorFlag;
        }
        const bool on = row.mode >= 1 && row.mode <= 4;
        EXPECT_EQ(flag, on ? 1 : 0) << row.name;
        if (!on) {
            EXPECT_TRUE(IsSentinel(block, 16)) << row.name;
            continue;
        }
        const float expected[8] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f};
        for (int i = 0; i < 8; ++i)
            EXPECT_FLOAT_EQ(block[i], expected[i]) << row.name << " " << i;
        EXPECT_EQ(block[12], 2.0f) << row.name;
        EXPECT_EQ(block[13], 0.5f) << row.name;
        EXPECT_TRUE(IsSentinel(block + 14, 2) && block[11] == kSentinel) << row.name;
        if (std::isnan(row.direction[0])) {
            EXPECT_TRUE(IsSentinel(block + 8, 3)) << row.name;
            continue;
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(block[8 + i], row.direction[i], 1e-6f) << row.name << " " << i;
    }
}

TEST_F(DrawUnitFamily, SpecularAndPolygonOffsetsMatchTheirFormulas) {
    DrawPartValue offset = ModelPart({0}, false, 0);
    offset.bias = 0.25f;
    offset.biasScale = 0.1f;
    offset.fields = {{"bDBT", 1}};
    DrawUnitRig& rig = Start(
        DrawEffect({ModelPart({0}, false, 0, 0.5f, 1), ModelPart({0}, false, 0, 1, 1),
                    ModelPart({0}, false, 0, 0.2f, 0), ModelPart({0}, false, 0, 0, 1), offset}));
    ASSERT_TRUE(rig.ok);
    struct Row {
        const char* name;
        uint32_t part;
        bool lit;
        float expected[4]; // all sentinel when not lit
    };
    const Row rows[] = {
        {"RoughnessHalfGivesAlphaOneSixteenth", 0, true, {0.0625f, 1, 0.04f, 3}},
        {"FullRoughnessSamplesTheTopLevel", 1, true, {1, 1, 0.04f, 6}},
        {"NoMetalSamplesTheTopLevel", 2, true, {0.0016f, 0, 0.04f, 6}},
        {"SmoothMetalSamplesTheSharpestLevel", 3, true, {0, 1, 0.04f, 0}},
        {"WithoutLightingNothingIsWritten", 0, false, {}},
    };
    for (const Row& row : rows) {
        Fx::ModelDrawUnitBase::Values v;
        v.lighting = true;
        v.specular = row.lit;
        v.topReflectionLevel = 6.0f;
        auto* unit = Make<Fx::ModelDrawUnit<0>>(rig, row.part, v);
        Fill(unit->record, 64);
        unit->Update(testsupport::FrameClock());
        const float* s = unit->Record()->specular;
        if (!row.lit) {
            EXPECT_TRUE(IsSentinel(s, 4)) << row.name;
            continue;
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(s[i], row.expected[i], 1e-6f) << row.name << " " << i;
    }

    // base 0.5, offset 0.25, largest scale 3, camera distance 10.25 (the
    // exponent-halving root of 100) times 0.1.
    rig.root->rootParameter = 0.5f;
    pose.scale[1] = 3.0f;
    pose.matrix[11] = 10.0f;
    auto* unit = Make<Fx::ModelDrawUnit<0>>(rig, 4, Fx::ModelDrawUnitBase::Values{});
    const float byMode[5] = {0.5f, 0.75f, 2.25f, 0.75f * 1.025f, 2.25f * 1.025f};
    for (uint32_t mode = 0; mode < 5; ++mode)
        EXPECT_FLOAT_EQ(DrawUnit::kPolygonOffsets[mode](unit), byMode[mode]) << mode;
    // Offset, distance factor other than 1 and "bDBT": mode 4, in the record.
    unit->Update(testsupport::FrameClock());
    EXPECT_FLOAT_EQ(unit->Record()->polygonOffset, byMode[4]);
}

TEST_F(DrawUnitFamily, UpdatesFillTheirRecords) {
    effecttools::DrawDataType10Value box;
    box.projectionType = 2;
    box.rangeR = Constant(0.5f);
    box.rangeW = Constant(1.0f);
    effecttools::DrawDataType10Value flat = box;
    flat.rangeW = Constant(0.0f);
    std::vector<DrawPartValue> parts = {ModelPart({1}, false, 0), ModelPart({7}, false, 0),
                                        ModelPart({0, 1}, true, 0.25f), Part(box), Part(flat)};
    for (float count : {2.9f, 100.0f, std::numeric_limits<float>::quiet_NaN(), 17.6f}) {
        effecttools::DrawDataType8Value circle;
        circle.count = Constant(count);
        parts.push_back(Part(circle));
    }
    effecttools::EffectFileValue effect = DrawEffect(parts);
    effect.package.models.resize(2);
    DrawUnitRig& rig = Start(effect);
    ASSERT_TRUE(rig.ok);

    // Models: one model is both A and B and no weight is written; a number
    // that names no model gives none; a blend takes both with its weight.
    const Fx::MeshSet* models[2] = {&rig.Package()->GetModel(0)->GetMeshSet(),
                                    &rig.Package()->GetModel(1)->GetMeshSet()};
    struct ModelRow {
        const char* name;
        bool blend;
        const Fx::MeshSet* a;
        const Fx::MeshSet* b;
        float weight;
    };
    const ModelRow modelRows[] = {
        {"OneModelIsBothAAndB", false, models[1], models[1], kSentinel},
        {"ANumberNamingNoModelGivesNone", false, nullptr, nullptr, kSentinel},
        {"ABlendTakesBothAndItsWeight", true, models[0], models[1], 0.25f}};
    for (uint32_t i = 0; i < 3; ++i) {
        Fx::ModelDrawUnitBase::Values v;
        v.blend = modelRows[i].blend;
        auto* unit = Make<Fx::ModelDrawUnit<2>>(rig, i, v);
        Fill(unit->record, 128);
        unit->Update(testsupport::FrameClock());
        EXPECT_EQ(unit->Record()->modelA, modelRows[i].a) << modelRows[i].name;
        EXPECT_EQ(unit->Record()->modelB, modelRows[i].b) << modelRows[i].name;
        EXPECT_EQ(unit->Record()->blendWeight, modelRows[i].weight) << modelRows[i].name;
    }

    // Projections of shape 2 scale X and Z by a + b/2, parameter (1 - b)/2;
    // another shape keeps the matrix and the parameter.
    pose.matrix[0] = pose.matrix[4] = pose.matrix[8] = 2.0f;
    pose.matrix[9] = 1.0f;
    struct BoxRow {
        const char* name;
        uint32_t part;
        uint32_t shape;
        float scale;
        float parameter;
    };
    const BoxRow boxRows[] = {{"FullWidthScalesByOne", 3, 2, 1.0f, 0.0f},
                              {"NoWidthScalesByTheRange", 4, 2, 0.5f, 0.5f},
                              {"OtherShapesKeepTheMatrix", 3, 0, 1.0f, kSentinel}};
    for (const BoxRow& row : boxRows) {
        Fx::ProjectionDrawUnit<0>::Values v;
        v.shape = row.shape;
        auto* unit = Make<Fx::ProjectionDrawUnit<0>>(rig, row.part, v);
        Fill(unit->record, 64);
        unit->Update(testsupport::FrameClock());
        const float* m = unit->record->matrix;
        EXPECT_FLOAT_EQ(m[0], 2.0f * row.scale) << row.name;
        EXPECT_FLOAT_EQ(m[4], 2.0f) << row.name;
        EXPECT_FLOAT_EQ(m[8], 2.0f * row.scale) << row.name;
        EXPECT_EQ(m[9], 1.0f) << row.name;
        EXPECT_EQ(unit->record->shaderParameters[2], row.parameter) << row.name;
    }

    // Circles: the count truncated, then held to 3..64; the colour packed.
    pose = OwnerPose{};
    pose.color[1] = 0.25f;
    const int32_t segments[4] = {3, 64, 3, 17};
    for (uint32_t i = 0; i < 4; ++i) {
        auto* unit = Make<Fx::CircleDrawUnit<1>>(rig, 5 + i, 0.0f);
        unit->Update(testsupport::FrameClock());
        EXPECT_EQ(unit->segmentCount, segments[i]) << i;
        EXPECT_EQ(unit->vertexCount, segments[i] + 1) << i;
        EXPECT_EQ(unit->record->color[1], 250) << i;
    }
}

TEST_F(DrawUnitFamily, TrailsResampleFromTheirFirstUsablePointAndPassTheirWidthScale) {
    effecttools::DrawDataType12Value trail;
    DrawUnitRig& rig = Start(DrawEffect({Part(trail)}));
    ASSERT_TRUE(rig.ok);
    // Segment lengths (to the next older point) of six points 1 apart on x.
    struct Row {
        const char* name;
        float lengths[6];
        uint32_t first;
    };
    const Row rows[] = {{"EverySegmentTooShortStartsAtPointZero", {0.001f, 0, 0.0005f, 0, 0, 0}, 0},
                        {"ThreeShortSegmentsStartAtPointThree", {0.001f, 0.001f, 0, 1, 1, 0}, 3}};
    Fx::TrailDrawUnitBase::Values values;
    values.pointCount = 6;
    auto* unit = Make<Fx::AxisTrailDrawUnit<0>>(rig, 0, values);
    for (const Row& row : rows) {
        Fx::TrailHistoryPoint points[6];
        float axes[18] = {};
        for (int i = 0; i < 6; ++i) {
            points[i] = {{static_cast<float>(i), 0, 0}, row.lengths[i]};
            axes[3 * i + 1] = static_cast<float>(i);
        }
        float positions[18], axesOut[18], distances[6];
        float* const out[1] = {axesOut};
        const float* const in[1] = {axes};
        unit->ResampleHistory<0>(positions, nullptr, distances, points, nullptr, 6, 0.0f);
        EXPECT_EQ(positions[0], static_cast<float>(row.first)) << row.name;
        unit->ResampleHistory<1>(positions, out, distances, points, in, 6, 0.0f);
        EXPECT_NEAR(positions[0], static_cast<float>(row.first), 0.01f) << row.name;
        EXPECT_NEAR(axesOut[1], static_cast<float>(row.first), 0.01f) << row.name;
    }

    // An owner whose axes are 2 long: the billboard trail's width follows.
    for (float& a : pose.matrix)
        a *= 2.0f;
    struct Kind {
        const char* name;
        std::function<DrawUnit*()> make;
        float widthScale;
    };
    values.ops = RecordedOps::Members();
    values.subKind = 1;
    const Kind kinds[] = {
        {"axis", [&] { return Make<Fx::AxisTrailDrawUnit<1>>(rig, 0, values); }, 1.0f},
        {"cross", [&] { return Make<Fx::CrossTrailDrawUnit<2>>(rig, 0, values); }, 1.0f},
        {"billboard", [&] { return Make<Fx::BillboardTrailDrawUnit<3>>(rig, 0, values); }, 2.0f}};
    for (const Kind& kind : kinds) {
        DrawUnit* trail = kind.make();
        trail->Update(testsupport::FrameClock());
        trail->Update(testsupport::FrameClock());
        EXPECT_EQ(RecordedOps::widthScale, kind.widthScale) << kind.name;
    }
}

// Fault: a trail of no point wrote point 0 over other memory, of one point
// read past its history, and the resampler divided by n - 1; then such a
// trail left out its point member and build, whose curves draw from the
// particle's random state. Now a trail of fewer than 2 points takes its
// first history (n x 40 bytes for the cross trail), runs its point member
// and build every frame within its arrays, and draws nothing.
TEST_F(DrawUnitFamily, ATrailOfFewerThanTwoPointsEvaluatesAndDrawsNothing) {
    DrawUnitRig& rig = Start(DrawEffect({Part(effecttools::DrawDataType12Value{})}));
    ASSERT_TRUE(rig.ok);
    pose.matrix[9] = 3.0f;
    for (uint32_t n : {0u, 1u}) {
        SCOPED_TRACE(n);
        Fx::TrailDrawUnitBase::Values values;
        values.pointCount = n;
        values.ops = RecordedOps::Members();
        const uintptr_t mark = testsupport::FrameMemoryMark();
        auto* unit = Make<Fx::CrossTrailDrawUnit<1>>(rig, 0, values);
        EXPECT_EQ(testsupport::FrameMemoryMark() - mark, n == 0 ? 0u : 48u);
        EXPECT_EQ(unit->ops.generate, Fx::TrailDrawUnitBase::InitPointHistory<2>);
        for (int frame = 0; frame < 3; ++frame) {
            unit->Update(testsupport::FrameClock());
            unit->Draw();
        }
        EXPECT_EQ(unit->ops.generate, Fx::TrailDrawUnitBase::UpdatePointHistory<2>);
        EXPECT_EQ(RecordedOps::builds, 3);
        EXPECT_EQ(RecordedOps::submits, 0);
        EXPECT_EQ(unit->ownerUnit->alive, 1);
        if (n == 1) {
            EXPECT_EQ(unit->history[0].position[0], 3.0f);
            EXPECT_EQ(unit->history[0].segmentLength, 0.0f);
            EXPECT_EQ(unit->recordedAxes[1][1], 1.0f);
        }
    }
}

// Fault: on a trail's first frame every segment is 0 long and the blend
// factor was 0 / 0, so every point came out not a number.
TEST_F(DrawUnitFamily, AStandingTrailResamplesToItsOwnerWithoutNaN) {
    DrawUnitRig& rig = Start(DrawEffect({Part(effecttools::DrawDataType12Value{})}));
    ASSERT_TRUE(rig.ok);
    pose.matrix[9] = 3.0f;
    Fx::TrailDrawUnitBase::Values values;
    values.pointCount = 8;
    values.subKind = 2;
    auto* unit = Make<Fx::AxisTrailDrawUnit<1>>(rig, 0, values);
    for (int frame = 0; frame < 2; ++frame) {
        unit->Update(testsupport::FrameClock());
        for (uint32_t i = 0; i < 8; ++i) {
            EXPECT_EQ(unit->record->positions[3 * i], 3.0f) << frame << " " << i;
            EXPECT_EQ(unit->record->firstAxes[3 * i + 1], 1.0f) << frame << " " << i;
        }
    }
}

bool Finite(const void* p, size_t floats) {
    const float* f = static_cast<const float*>(p);
    return std::all_of(f, f + floats, [](float v) { return std::isfinite(v); });
}

// A unit of the long run and the test of what it wrote this frame.
struct Soaked {
    DrawUnit* unit;
    std::function<bool()> finite;
};

template <class T, class... Args>
T* Soak(std::vector<Soaked>& out, Fx::ParticleInstance* owner, const Fx::ParticleResource* data,
        Args&&... args) {
    T* unit = DrawUnit::Create<T>(owner, data, static_cast<Args&&>(args)...);
    out.push_back({unit, [] { return true; }});
    return unit;
}

// A render record (a whole pool block) cleared, so that what the update
// leaves alone reads 0.
template <class T> T* Cleared(T* unit) {
    std::memset(static_cast<void*>(unit->record), 0, Fx::kUnitBlockSize);
    return unit;
}

template <uint32_t N>
void SoakEveryClass(std::vector<Soaked>& out, DrawUnitRig& rig, Fx::ParticleInstance* owner,
                    bool local) {
    Fx::ModelDrawUnitBase::Values model;
    model.blend = true;
    model.falloffMode = 3;
    model.lighting = model.specular = true;
    model.topReflectionLevel = 5;
    auto* m = Cleared(Soak<Fx::ModelDrawUnit<N>>(out, owner, rig.Part(0), model));
    out.back().finite = [m] {
        return Finite(m->record, offsetof(Fx::MeshRenderRecord<N>, modelA) / 4);
    };
    Fx::DrawUnitType13Base::Values mesh;
    mesh.falloffMode = 4;
    auto* t = Cleared(Soak<Fx::DrawUnitType13<N>>(out, owner, rig.Part(1), mesh));
    out.back().finite = [t] {
        return Finite(t->record, offsetof(Fx::MeshRenderRecord<N>, modelA) / 4);
    };
    constexpr uint32_t T = Fx::TransformRoom<N>::kFloats;
    auto* c = Cleared(Soak<Fx::CircleDrawUnit<N>>(out, owner, rig.Part(5), 0.0f));
    out.back().finite = [c] {
        return Finite(c->record->matrix, 12) && Finite(c->record->transforms, T);
    };
    auto* q = Cleared(Soak<Fx::QuadDrawUnit<N>>(out, owner, rig.Part(6)));
    out.back().finite = [q] {
        return Finite(q->record->matrix, 12) && Finite(q->record->transforms, T);
    };
    auto* p = Cleared(Soak<Fx::ProjectionDrawUnit<N>>(
        out, owner, rig.Part(7), typename Fx::ProjectionDrawUnit<N>::Values{2, 0, 0}));
    out.back().finite = [p] { return Finite(p->record, sizeof(*p->record) / 4); };
    Soak<Fx::RingDrawUnit>(out, owner, rig.Part(4), Fx::RingDrawUnit::Values{N, 16, {}});
    Fx::StripDrawUnitBase::Values strip;
    strip.pointCount = 12;
    strip.spacing = 2.0f;
    for (uint32_t source : {0u, 3u}) {
        strip.pointSource = source;
        auto* s = Soak<Fx::StripDrawUnit<N>>(out, owner, rig.Part(2 + source / 3), strip);
        out.back().finite = [s] {
            if (s->points && !Finite(s->points, 3 * s->pointCount))
                return false;
            for (const Fx::PointHistoryEntry* e = s->newestNode; e; e = e->link)
                if (!Finite(e->position, 7))
                    return false;
            return true;
        };
    }
    Fx::TrailDrawUnitBase::Values trail;
    trail.pointCount = 16;
    trail.interval = 2.0f;
    trail.subKind = 3;
    trail.localSpace = local;
    const auto trailFinite = [](Fx::TrailDrawUnitBase* u) {
        return [u] {
            const Fx::TrailFrameRecord* r = u->record;
            const uint32_t n = u->historyLength;
            return Finite(u->history, 4 * n) && (!r->positions || Finite(r->positions, 3 * n)) &&
                   (!r->firstAxes || Finite(r->firstAxes, 3 * n)) &&
                   (!r->secondAxes || Finite(r->secondAxes, 3 * n));
        };
    };
    auto* a = Soak<Fx::AxisTrailDrawUnit<N>>(out, owner, rig.Part(8), trail);
    out.back().finite = trailFinite(a);
    auto* x = Soak<Fx::CrossTrailDrawUnit<N>>(out, owner, rig.Part(8), trail);
    out.back().finite = trailFinite(x);
    auto* b = Soak<Fx::BillboardTrailDrawUnit<N>>(out, owner, rig.Part(8), trail);
    out.back().finite = trailFinite(b);
}

// 600 frames of 50 owners on paths, each with a unit of every class in
// format 0, 3 or 6 (half the trails in their parent's space, a pause on the
// way): no record ever holds a number that is not one, and every pool block
// comes back.
TEST_F(DrawUnitFamily, SixHundredFramesOfEveryClassStayFiniteAndGiveEveryBlockBack) {
    effecttools::CurveValue wave;
    wave.preBehaviour = wave.postBehaviour = 1;
    wave.keys = {{1, 0, 0.2f}, {1, 30, 3.0f}, {1, 60, 0.2f}};
    const effecttools::FloatValue animated = effecttools::CurvesValue{wave, {}};
    effecttools::DrawDataType6Value line;
    line.fields = {{"Type", 0}, {"PtCn", 12}};
    line.floats = {{"Len", animated}, {"Soft", Constant(0.5f)}, {"Dist", Constant(0.05f)}};
    effecttools::DrawDataType6Value chain = line;
    chain.fields = {{"Type", 3}};
    effecttools::DrawDataType12Value trail;
    trail.floats = {{"Dist", Constant(0.02f)}};
    effecttools::DrawDataType8Value circle;
    circle.count = animated;
    effecttools::DrawDataType10Value box;
    box.projectionType = 2;
    box.rangeR = box.rangeW = animated;
    std::vector<DrawPartValue> parts = {ModelPart({0, 1}, true, 0.5f, 0.3f, 0.7f),
                                        Part(WithFalloff(effecttools::DrawDataType13Value{}, 0.3f)),
                                        Part(line),
                                        Part(chain),
                                        Part(effecttools::DrawDataType7Value{}),
                                        Part(circle),
                                        Part(effecttools::DrawDataType9Value{}),
                                        Part(box),
                                        Part(trail)};
    for (DrawPartValue& p : parts) {
        p.uvLayers.resize(6);
        p.fields.push_back({"UvSC", 6});
        p.drawSize = effecttools::TripleValue{0, animated, Constant(1), Constant(2)};
    }
    effecttools::EffectFileValue effect = DrawEffect(parts);
    effect.package.models.resize(2);
    DrawUnitRig& rig = Start(effect, 8u << 20, 8u << 20);
    ASSERT_TRUE(rig.ok);
    Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
    std::vector<Fx::ParticleInstance*> owners;
    for (int o = 0; o < 50; ++o)
        owners.push_back(rig.MakeOwner());
    const uint32_t usedAtStart = pool.GetUsedCount();
    std::vector<Soaked> units;
    for (uint32_t o = 0; o < owners.size(); ++o) {
        const bool local = (o / 3) % 2 != 0;
        switch (o % 3) {
        case 0:
            SoakEveryClass<0>(units, rig, owners[o], local);
            break;
        case 1:
            SoakEveryClass<3>(units, rig, owners[o], local);
            break;
        default:
            SoakEveryClass<6>(units, rig, owners[o], local);
            break;
        }
    }
    ASSERT_TRUE(std::all_of(units.begin(), units.end(), [](const Soaked& s) { return s.unit; }));

    std::string firstFault;
    for (int frame = 0; frame < 600 && firstFault.empty(); ++frame) {
        const bool paused = frame >= 200 && frame < 230;
        rig.root->paused = paused ? 1 : 0;
        for (uint32_t o = 0; o < owners.size(); ++o) {
            const float a = 0.05f * static_cast<float>(frame) + static_cast<float>(o);
            const float s = 1.0f + 0.5f * std::sin(a);
            OwnerPose path;
            const float m[12] = {s * std::cos(a),
                                 s * std::sin(a),
                                 0,
                                 -s * std::sin(a),
                                 s * std::cos(a),
                                 0,
                                 0,
                                 0,
                                 s,
                                 10 * std::cos(a),
                                 10 * std::sin(a),
                                 0.1f * frame};
            std::copy_n(m, 12, path.matrix);
            path.scale[0] = s;
            path.rotation[2] = a;
            testsupport::Pose(owners[o], path);
        }
        const DrawClock clock =
            testsupport::FrameClock(paused ? 0.0f : 1.0f, static_cast<float>(frame));
        for (size_t i = 0; i < units.size(); ++i) {
            DrawUnit* unit = units[i].unit;
            unit->Step();
            unit->Update(clock);
            unit->Draw();
            if (!units[i].finite())
                firstFault = "frame " + std::to_string(frame) + ", unit " + std::to_string(i);
        }
        // The runtime's halves swap once per update: what a frame took stays
        // for the next.
        Fx::Engine::GetFrameWorkMemory().Flip();
    }
    EXPECT_EQ(firstFault, "");
    for (Soaked& s : units)
        delete s.unit;
    EXPECT_EQ(pool.GetUsedCount(), usedAtStart);
}

} // namespace
