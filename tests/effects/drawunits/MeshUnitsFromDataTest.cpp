// Models, projection volumes and static meshes built from their data: the
// record's block and what its absence ends, the unit random values in the
// order that fixes them, the evaluators and flags the data chooses, the
// model list's entries.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RecordingDevice.h"
#include "support/effects/XorshiftSteps.h"

#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/drawunits/DrawUnitType13.h"
#include "effects/drawunits/ModelDrawUnit.h"
#include "effects/drawunits/ProjectionDrawUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::DrawPartValue;
using Fx::DrawUnit;
using Fx::ModelDrawUnitBase;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;

// A property whose unit random value lies in [k, k + 1).
ConstantValue Ranged(float k) {
    return ConstantValue{0.0f, k, k + 1.0f};
}

// The falloff terms, each drawing a value: colours, power in [60, 61),
// offset in [70, 71), three angles.
template <class Data> void RangedFalloff(Data& d) {
    effecttools::ColorValue c;
    c.red = Ranged(80.0f);
    d.colors = {{"FrCB", c}, {"FrCE", c}};
    d.floats["FrC"] = Ranged(60.0f);
    d.floats["FrO"] = Ranged(70.0f);
    d.rimDirection = effecttools::TripleValue{0, Ranged(90.0f), Ranged(90.0f), Ranged(90.0f)};
}

DrawPartValue WithFormat(effecttools::DrawDataValue data, uint32_t n) {
    DrawPartValue part;
    part.data = std::move(data);
    part.fields = {{"UvSC", n}};
    return part;
}

// A model of the list (3, 5, 7): reflectance in [10, 11), roughness in
// [20, 21), metallic in [30, 31), index in [40, 41), blend position in
// [50, 51), the falloff's as RangedFalloff; `fields` sets the switches.
DrawPartValue ModelPart(std::vector<effecttools::FieldValue> fields, uint32_t n = 1) {
    effecttools::DrawDataType5Value m;
    m.fields = std::move(fields);
    m.list = std::vector<int8_t>{3, 5, 7};
    m.floats["MtFo"] = Ranged(10.0f);
    m.floats["MtRh"] = Ranged(20.0f);
    m.floats["MtMl"] = Ranged(30.0f);
    m.floats["MdAN"] = Ranged(40.0f);
    m.floats["MrBR"] = Ranged(50.0f);
    RangedFalloff(m);
    return WithFormat(m, n);
}

// A model whose reflection stage holds texture `texture`.
DrawPartValue Reflecting(DrawPartValue part, int8_t texture) {
    effecttools::TextureLayerValue layer;
    layer.fields = {{"bEbl", 1}};
    layer.list = std::vector<int8_t>{texture};
    part.textureLayers["TRef"] = layer;
    return part;
}

// A model list with constant index and blend position `at`.
DrawPartValue ListPart(std::vector<int8_t> list, float at) {
    effecttools::DrawDataType5Value m;
    m.list = std::move(list);
    m.floats["MdAN"] = m.floats["MrBR"] = Constant(at);
    return WithFormat(m, 1);
}

enum ModelParts : uint32_t {
    kPlain,
    kLightingOnly,
    kSpecularOnly,
    kLightingAndSpecular,
    kFalloffEye,
    kFalloffDirection,
    kFalloffUnknown,
    kBlend,
    kOneLevel,
    kNineLevels,
    kNoLevels,
    kFormatZeroAllLayers,
    kIndexUp,
    kIndexDown,
    kBlendUp,
    kBlendDown,
    kBlendFarDown,
    kEmptyList,
    kModelParts
};

// Texture 1 answers one level, texture 2 nine, texture 3 none.
constexpr int8_t kOneLevelTexture = 1;
constexpr int8_t kNineLevelTexture = 2;
constexpr int8_t kNoLevelTexture = 3;

std::vector<DrawPartValue> ModelParts() {
    std::vector<DrawPartValue> p(kModelParts);
    p[kPlain] = ModelPart({});
    p[kLightingOnly] = ModelPart({{"bLgt", 1}});
    p[kSpecularOnly] = ModelPart({{"bSpc", 1}});
    p[kLightingAndSpecular] = ModelPart({{"bLgt", 1}, {"bPBL", 1}});
    p[kFalloffEye] = ModelPart({{"FreT", 2}});
    p[kFalloffDirection] = ModelPart({{"FreT", 3}});
    p[kFalloffUnknown] = ModelPart({{"FreT", 6}});
    p[kBlend] = ModelPart({{"bMrf", 1}});
    p[kOneLevel] = Reflecting(ModelPart({}), kOneLevelTexture);
    p[kNineLevels] = Reflecting(ModelPart({}), kNineLevelTexture);
    p[kNoLevels] = Reflecting(ModelPart({}), kNoLevelTexture);
    p[kFormatZeroAllLayers] = ModelPart(
        {{"UvP1", 1}, {"UvP2", 1}, {"UvP3", 1}, {"UvP4", 1}, {"UvP5", 1}, {"UvP6", 1}}, 0);
    p[kIndexUp] = ListPart({3, 5, 7}, 4.2f);
    p[kIndexDown] = ListPart({3, 5, 7}, -1.5f);
    p[kBlendUp] = ListPart({3, 5, 7}, 2.25f);
    p[kBlendDown] = ListPart({3, 5, 7}, -1.5f);
    p[kBlendFarDown] = ListPart({3, 5, 7}, -4.5f);
    p[kEmptyList] = ListPart({}, 1.0f);
    return p;
}

// A projection volume of kind `kind`, ring radius `r` and width `w`, each
// also drawing a value.
DrawPartValue VolumePart(uint32_t kind, float r, float w, uint32_t n = 1) {
    effecttools::DrawDataType10Value v;
    v.projectionType = kind;
    v.rangeR = ConstantValue{r, 0.0f, 0.0f};
    v.rangeW = ConstantValue{w, 0.0f, 0.0f};
    return WithFormat(v, n);
}

// A one-triangle mesh of falloff mode `mode`, with or without indices.
DrawPartValue MeshPart(uint16_t mode, uint32_t n = 1, bool indexed = true) {
    effecttools::DrawDataType13Value m;
    m.rimType = mode;
    m.vertices = std::vector<uint8_t>(3 * 48, 0);
    if (indexed)
        m.indices = std::vector<uint16_t>{0, 1, 2};
    RangedFalloff(m);
    // Angles of 0: the falloff direction is the fixed axis.
    m.rimDirection = effecttools::TripleValue{0, Constant(0.0f), Constant(0.0f), Constant(0.0f)};
    return WithFormat(m, n);
}

enum VolumeAndMeshParts : uint32_t {
    kRingThin,
    kRingFull,
    kBox,
    kSphere,
    kCone,
    kMeshOff,
    kMeshEyeClamped,
    kMeshEyeWrapped,
    kMeshDirection,
    kMeshUnknown,
    kMeshFormatZero,
    kMeshNoIndices,
    kModelUnknown,
    kModelOff,
    kVolumeAndMeshParts
};

std::vector<DrawPartValue> VolumeAndMeshParts() {
    std::vector<DrawPartValue> p(kVolumeAndMeshParts);
    p[kRingThin] = VolumePart(2, 2.0f, 0.0f);
    p[kRingFull] = VolumePart(2, 2.0f, 1.0f);
    p[kBox] = VolumePart(0, 2.0f, 1.0f);
    p[kSphere] = VolumePart(1, 2.0f, 1.0f);
    p[kCone] = VolumePart(3, 2.0f, 1.0f, 0);
    p[kMeshOff] = MeshPart(0);
    p[kMeshEyeClamped] = MeshPart(1);
    p[kMeshEyeWrapped] = MeshPart(2);
    p[kMeshDirection] = MeshPart(3);
    p[kMeshUnknown] = MeshPart(6);
    p[kMeshFormatZero] = MeshPart(3, 0);
    p[kMeshNoIndices] = MeshPart(0, 1, false);
    p[kModelUnknown] = ModelPart({{"FreT", 7}});
    p[kModelOff] = ModelPart({});
    return p;
}

// The draws from `from` to `to` (-1 past 64).
int Draws(Fx::Xorshift128 from, const Fx::Xorshift128& to) {
    for (int k = 0; k <= 64; ++k, from.Next())
        if (testsupport::Same(from, to))
            return k;
    return -1;
}

bool InRange(float v, float k) {
    return v >= k && v < k + 1.0f;
}

class MeshUnitsFromData : public testsupport::DrawUnitFixture<> {
protected:
    static constexpr Fx::Xorshift128 kSeed{0x1234567u, 0x89ABCDEu, 0x13579BDu, 0x2468ACEu};

    void Begin(std::vector<DrawPartValue> parts) {
        rig = &Start(DrawEffect(std::move(parts)));
        ASSERT_TRUE(rig->ok);
    }
    // Part `part` built from its data for a fresh owner, the instance's
    // random state set to the fixed seed first; `after` the state it left.
    template <class T>
    T* Build(uint32_t part, Fx::Xorshift128* after = nullptr, bool newOwner = true) {
        if (newOwner)
            owner = rig->MakeOwner();
        rig->root->random = kSeed;
        T* unit = BuildFromData<T>(owner, rig->Part(part));
        if (after)
            *after = rig->root->random;
        return unit;
    }
    // Leaves `free` blocks in the pool (the rest held until the test ends).
    void LeaveFree(uint32_t free) {
        Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
        while (void* b = pool.Allocate())
            held.push_back(b);
        for (uint32_t k = 0; k < free; ++k) {
            pool.Free(held.back());
            held.pop_back();
        }
    }
    // Fills the blocks the next builds take with a pattern.
    void Soil(uint32_t blocks) {
        Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
        std::vector<void*> b;
        for (uint32_t k = 0; k < blocks; ++k) {
            b.push_back(pool.Allocate());
            std::memset(b.back(), 0xCD, Fx::kUnitBlockSize);
        }
        while (!b.empty()) {
            pool.Free(b.back());
            b.pop_back();
        }
    }
    void TearDown() override {
        DrawUnitFixture::TearDown();
        for (void* b : held)
            Fx::Engine::GetUnitInstancePool().Free(b);
        held.clear();
    }

    DrawUnitRig* rig = nullptr;
    Fx::ParticleInstance* owner = nullptr;
    std::vector<void*> held;
};

TEST_F(MeshUnitsFromData, AModelDrawsItsValuesAndChoosesItsMembersFromItsData) {
    Begin(ModelParts());
    static_cast<testsupport::FakeTexture*>(rig->Texture(kNineLevelTexture))->levels = 9;
    static_cast<testsupport::FakeTexture*>(rig->Texture(kNoLevelTexture))->levels = 0;
    Fx::Xorshift128 plain;
    Build<ModelDrawUnitBase>(kPlain, &plain);
    using E = ModelDrawUnitBase::Evaluator;
    // A texture stage of its own draws its own values in the base.
    constexpr int kAnyDraws = -100;
    const E nothing = ModelDrawUnitBase::EvaluateNothing;
    struct Row {
        const char* name;
        uint32_t part;
        // Draws past the plain model's.
        int moreDraws;
        E evaluator;
        uint8_t flag;
        E parameterEvaluator;
        float topLevel;
        uint8_t layerMask;
    };
    const Row rows[] = {
        {"LightingAloneDrawsNoSpecularValues", kLightingOnly, 0, nothing, 0, nothing, 0, 0},
        {"SpecularAloneDrawsNoSpecularValues", kSpecularOnly, 0, nothing, 0, nothing, 0, 0},
        {"LightingWithSpecularDrawsThree", kLightingAndSpecular, 3, nothing, 0,
         ModelDrawUnitBase::EvaluateParameterValues, 0, 0},
        {"FalloffByTheEyeDrawsColoursDirectionPowerOffset", kFalloffEye, 15,
         ModelDrawUnitBase::EvaluateRenderValues, 1, nothing, 0, 0},
        {"FalloffByADirection", kFalloffDirection, 15,
         ModelDrawUnitBase::EvaluateRenderValuesWithDirection, 1, nothing, 0, 0},
        {"FalloffModeWithoutShaderDrawsButShadesAsOff", kFalloffUnknown, 15, nothing, 0, nothing,
         0, 0},
        {"NoReflectionTextureTopLevel0", kPlain, 0, nothing, 0, nothing, 0, 0},
        {"OneLevelTopLevel0", kOneLevel, kAnyDraws, nothing, 0, nothing, 0, 0},
        {"NineLevelsTopLevel8", kNineLevels, kAnyDraws, nothing, 0, nothing, 8, 0},
        {"NoLevelsTopLevel0NotAWrap", kNoLevels, kAnyDraws, nothing, 0, nothing, 0, 0},
        {"FormatZeroStillReadsAllSixLayerSwitches", kFormatZeroAllLayers, 0, nothing, 0, nothing,
         0, 0x3F},
    };
    for (const Row& row : rows) {
        Fx::Xorshift128 after;
        const ModelDrawUnitBase* m = Build<ModelDrawUnitBase>(row.part, &after);
        ASSERT_NE(m, nullptr) << row.name;
        if (row.moreDraws != kAnyDraws) {
            EXPECT_EQ(Draws(plain, after), row.moreDraws) << row.name;
        }
        EXPECT_EQ(m->evaluator, row.evaluator) << row.name;
        EXPECT_EQ(m->evaluatorFlag, row.flag) << row.name;
        EXPECT_EQ(m->parameterEvaluator, row.parameterEvaluator) << row.name;
        EXPECT_EQ(m->topReflectionLevel, row.topLevel) << row.name;
        EXPECT_EQ(m->layerMask, row.layerMask) << row.name;
        EXPECT_TRUE(InRange(m->indexSample, 40.0f)) << row.name;
    }
    // The values land in their own fields, in the stated order.
    const ModelDrawUnitBase* lit = Build<ModelDrawUnitBase>(kLightingAndSpecular);
    EXPECT_TRUE(InRange(lit->specularSamples.reflectance, 10.0f));
    EXPECT_TRUE(InRange(lit->specularSamples.roughness, 20.0f));
    EXPECT_TRUE(InRange(lit->specularSamples.metallic, 30.0f));
    const ModelDrawUnitBase* rim = Build<ModelDrawUnitBase>(kFalloffEye);
    EXPECT_TRUE(InRange(rim->falloffSamples.firstColor[0], 80.0f));
    EXPECT_TRUE(InRange(rim->falloffSamples.secondColor[0], 80.0f));
    EXPECT_TRUE(InRange(rim->falloffSamples.direction[2], 90.0f));
    EXPECT_TRUE(InRange(rim->falloffSamples.power, 60.0f));
    EXPECT_TRUE(InRange(rim->falloffSamples.offset, 70.0f));
    const ModelDrawUnitBase* blend = Build<ModelDrawUnitBase>(kBlend);
    EXPECT_TRUE(blend->blend);
    EXPECT_TRUE(InRange(blend->pairSample, 50.0f));
}

TEST_F(MeshUnitsFromData, AModelWithoutARecordBlockEndsItsOwnerAndDrawsNothingMore) {
    Begin(ModelParts());
    Fx::Xorshift128 plain;
    Build<ModelDrawUnitBase>(kPlain, &plain);
    // The unit's block, the members' block, the record's.
    for (uint32_t free : {3u, 2u}) {
        owner = rig->MakeOwner();
        LeaveFree(free);
        Fx::Xorshift128 after;
        const ModelDrawUnitBase* m = Build<ModelDrawUnitBase>(kPlain, &after, false);
        ASSERT_NE(m, nullptr) << free;
        const bool built = free == 3;
        EXPECT_EQ(m->record != nullptr, built) << free;
        EXPECT_EQ(owner->alive != 0, built) << free;
        // Without the record, only the index value is not drawn.
        EXPECT_EQ(Draws(after, plain), built ? 0 : 1) << free;
        TearDown();
    }
}

TEST_F(MeshUnitsFromData, AModelRecordStartsWithoutModelsAtItsFormatsPlace) {
    Begin(ModelParts());
    static_assert(offsetof(Fx::MeshRenderRecord<0>, modelA) ==
                  offsetof(Fx::MeshRenderRecord<1>, modelA));
    for (uint32_t part : {kPlain, kFormatZeroAllLayers}) {
        Soil(3);
        const ModelDrawUnitBase* m = Build<ModelDrawUnitBase>(part);
        const auto* r = static_cast<const Fx::MeshRenderRecord<1>*>(m->record);
        EXPECT_EQ(r->modelA, nullptr) << part;
        EXPECT_EQ(r->modelB, nullptr) << part;
    }
}

TEST_F(MeshUnitsFromData, TheModelListGivesItsEntriesAndBlends) {
    Begin(ModelParts());
    const Fx::DrawClock clock = testsupport::FrameClock();
    struct Row {
        const char* name;
        uint32_t part;
        int32_t entry, first, second;
        float weight;
    };
    const Row rows[] = {
        {"IndexPastTheListWraps", kIndexUp, 5, 5, 5, 0},
        {"NegativeIndexRaisedByWholeLists", kIndexDown, 7, 5, 7, 0.5f},
        {"BlendWrapsToTheFirstEntry", kBlendUp, 7, 7, 3, 0.25f},
        {"BlendFarBelowRaisedByTwoLists", kBlendFarDown, 7, 5, 7, 0.5f},
        {"EmptyListNamesNothing", kEmptyList, -1, -1, -1, 0},
    };
    for (const Row& row : rows) {
        const Fx::DrawDataType5* m = rig->Part(row.part)->GetDrawDataType5();
        ASSERT_NE(m, nullptr) << row.name;
        Fx::Xorshift128 state = kSeed;
        EXPECT_EQ(m->ListEntry(clock, 0.0f, state), row.entry) << row.name;
        if (row.part == kIndexUp)
            continue;
        int32_t a = 0, b = 0;
        EXPECT_EQ(m->BlendedEntries(clock, 0.0f, state, a, b), row.weight) << row.name;
        EXPECT_EQ(a, row.first) << row.name;
        EXPECT_EQ(b, row.second) << row.name;
    }
}

TEST_F(MeshUnitsFromData, AVolumeDrawsItsTwoValuesAndWidensOnlyARing) {
    Begin(VolumeAndMeshParts());
    using P = Fx::ProjectionDrawUnit<1>;
    // A unit whose record block is missing still draws both values.
    Fx::Xorshift128 built, unbuilt;
    Build<P>(kRingFull, &built);
    owner = rig->MakeOwner();
    LeaveFree(2);
    const P* lost = Build<P>(kRingFull, &unbuilt, false);
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->record, nullptr);
    EXPECT_EQ(owner->alive, 0);
    EXPECT_TRUE(testsupport::Same(built, unbuilt));
    TearDown();

    constexpr float kUnset = 1234.5f;
    struct Row {
        const char* name;
        uint32_t part;
        // X and Z axes scaled by, the shape parameter.
        float scale, parameter;
    };
    const Row rows[] = {
        {"RingOfWidth0ScalesByTheRadius", kRingThin, 2.0f, 0.5f},
        {"RingOfWidth1ScalesByRadiusAndAHalf", kRingFull, 2.5f, 0.0f},
        {"BoxKeepsTheOwnersMatrix", kBox, 1.0f, kUnset},
        {"SphereKeepsTheOwnersMatrix", kSphere, 1.0f, kUnset},
        {"ConeKeepsTheOwnersMatrix", kCone, 1.0f, kUnset},
    };
    for (const Row& row : rows) {
        auto* unit = Build<DrawUnit>(row.part);
        ASSERT_NE(unit, nullptr) << row.name;
        // Formats 0 and 1 share the record's places.
        auto* r = row.part == kCone
                      ? reinterpret_cast<Fx::ProjectionRenderRecord<1>*>(
                            static_cast<Fx::ProjectionDrawUnit<0>*>(unit)->record)
                      : static_cast<P*>(unit)->record;
        std::fill_n(r->shaderParameters, 8, kUnset);
        unit->Update(testsupport::FrameClock());
        const float expected[12] = {row.scale, 0, 0, 0, 1, 0, 0, 0, row.scale, 0, 0, 0};
        for (int i = 0; i < 12; ++i)
            EXPECT_FLOAT_EQ(r->matrix[i], expected[i]) << row.name << " " << i;
        if (row.parameter != kUnset) {
            EXPECT_FLOAT_EQ(r->shaderParameters[2], row.parameter) << row.name;
        }
    }
}

TEST_F(MeshUnitsFromData, AMeshChoosesItsFalloffAndWritesOnlyTheRowsItUses) {
    Begin(VolumeAndMeshParts());
    using M = Fx::DrawUnitType13Base;
    using E = M::Evaluator;
    constexpr float kUnset = 1234.5f;
    Fx::Xorshift128 off;
    Build<M>(kMeshOff, &off);
    struct Row {
        const char* name;
        uint32_t part;
        int moreDraws;
        E evaluator;
        uint8_t flag;
        // Falloff row 2 after an update (x, y, z), unset where not written.
        float direction[3];
    };
    const Row rows[] = {
        {"OffDrawsNothingAndWritesNoRow", kMeshOff, 0, M::EvaluateNothing, 0,
         {kUnset, kUnset, kUnset}},
        {"EyeClampedLeavesTheDirectionRow", kMeshEyeClamped, 15, M::EvaluateRenderValues, 1,
         {kUnset, kUnset, kUnset}},
        {"EyeWrappedLeavesTheDirectionRow", kMeshEyeWrapped, 15, M::EvaluateRenderValues, 1,
         {kUnset, kUnset, kUnset}},
        {"DirectionOfAngles0IsMinusZ", kMeshDirection, 15, M::EvaluateRenderValuesWithDirection,
         1, {0.0f, 0.0f, -1.0f}},
        {"FormatZeroTakesFormatOnesPlaces", kMeshFormatZero, 15,
         M::EvaluateRenderValuesWithDirection, 1, {0.0f, 0.0f, -1.0f}},
    };
    for (const Row& row : rows) {
        Fx::Xorshift128 after;
        M* m = Build<M>(row.part, &after);
        ASSERT_NE(m, nullptr) << row.name;
        EXPECT_EQ(Draws(off, after), row.moreDraws) << row.name;
        EXPECT_EQ(m->evaluator, row.evaluator) << row.name;
        EXPECT_EQ(m->evaluatorFlag, row.flag) << row.name;
        EXPECT_EQ(m->mesh.vertexCount1, 3u) << row.name;
        EXPECT_EQ(m->mesh.indexCount1, 3u) << row.name;
        auto* r = static_cast<Fx::MeshRenderRecord<1>*>(m->record);
        std::fill_n(reinterpret_cast<float*>(r), sizeof(*r) / sizeof(float), kUnset);
        m->Update(testsupport::FrameClock());
        for (int i = 0; i < 3; ++i)
            EXPECT_FLOAT_EQ(r->falloff[8 + i], row.direction[i]) << row.name << " " << i;
        EXPECT_FLOAT_EQ(r->matrix[0], 1.0f) << row.name;
        // Format 0 writes no transform where format 1 writes its one.
        EXPECT_EQ(r->transforms[0] == kUnset, row.part == kMeshFormatZero) << row.name;
    }
    // Without indices nothing is drawn; without a record block the owner
    // ends and the mesh is not taken.
    const M* bare = Build<M>(kMeshNoIndices);
    EXPECT_EQ(bare->mesh.indexCount1, 0u);
    owner = rig->MakeOwner();
    LeaveFree(2);
    const M* lost = Build<M>(kMeshDirection, nullptr, false);
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->record, nullptr);
    EXPECT_EQ(owner->alive, 0);
    EXPECT_EQ(lost->mesh.vertexCount1, 0u);
}

// Falloff modes 5-7 have no shader: both classes draw their values, so
// later units' values do not move, and shade as mode 0.
TEST_F(MeshUnitsFromData, FalloffModesWithoutAShaderDrawTheirValuesAndShadeAsOff) {
    Begin(VolumeAndMeshParts());
    constexpr float kUnset = 1234.5f;
    struct Row {
        const char* name;
        uint32_t part, offPart;
    };
    const Row rows[] = {{"Mesh", kMeshUnknown, kMeshOff}, {"Model", kModelUnknown, kModelOff}};
    for (const Row& row : rows) {
        Fx::Xorshift128 off, after;
        Build<DrawUnit>(row.offPart, &off);
        DrawUnit* unit = Build<DrawUnit>(row.part, &after);
        ASSERT_NE(unit, nullptr) << row.name;
        EXPECT_EQ(Draws(off, after), 15) << row.name;
        float* falloff = nullptr;
        uint8_t flag = 0xFF;
        if (row.part == kMeshUnknown) {
            auto* m = static_cast<Fx::DrawUnitType13Base*>(unit);
            falloff = static_cast<Fx::MeshRenderRecord<1>*>(m->record)->falloff;
            flag = m->evaluatorFlag;
        } else {
            auto* m = static_cast<ModelDrawUnitBase*>(unit);
            falloff = static_cast<Fx::MeshRenderRecord<1>*>(m->record)->falloff;
            flag = m->evaluatorFlag;
        }
        EXPECT_EQ(flag, 0) << row.name;
        std::fill_n(falloff, 16, kUnset);
        unit->Update(testsupport::FrameClock());
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(falloff[i], kUnset) << row.name << " " << i;
    }
}

} // namespace
