// The instance root: its random state, world matrix and angles, colours,
// the timelines of its places, the light queries, the draw lists, and the
// ring of child instances that "VFXC" fills.
#include "support/effects/RecordingUnit.h"
#include "support/effects/UnitTreeRig.h"
#include "tools/effect/EffectComposition.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/ChildInstanceTable.h"
#include "effects/units/DrawLists.h"
#include "effects/units/TimelineUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceRootUnit;
using FulgorCore::InstanceSlot;
using FulgorCore::ObjectHandle;
using FulgorCore::UnitInstance;
using testsupport::ChildIds;
using testsupport::Children;
using testsupport::CommandClip;
using testsupport::Frame;
using testsupport::Record;
using testsupport::TreeEffect;
namespace Engine = FulgorCore::Engine;

constexpr float kIdentity34[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
constexpr float kHalfPi = 1.5707964f;

class RootTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig_.Start()); }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    // A root built directly over `effect`'s package.
    InstanceRootUnit* Build(ObjectHandle effect, const float* matrix = kIdentity34,
                            uint32_t seed = 1, float lifetime = 1.0f,
                            uint32_t timeMode = UnitInstance::kEndless) {
        UnitInstance::InitialState start;
        start.lifetime = lifetime;
        start.timeMode = timeMode;
        return UnitInstance::Create<InstanceRootUnit>(Package(effect), start, &rig_.listener,
                                                      matrix, seed, uint16_t{0xFF});
    }
    static const FulgorCore::PackageResource* Package(ObjectHandle effect) {
        return Engine::GetWorkData()->objects.base[effect.index].package;
    }

    testsupport::UnitTreeRig rig_;
};

TEST_F(RootTest, TheSeedExpandsIntoTheRandomState) {
    const ObjectHandle effect = rig_.Load(TreeEffect("vfx/seed.vfxb"));
    InstanceRootUnit* root = Build(effect, kIdentity34, 0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->random.x, 0x00000001u);
    EXPECT_EQ(root->random.y, 0x6C078967u);
    EXPECT_EQ(root->random.z, 0x714ACB41u);
    EXPECT_EQ(root->random.w, 0x48077044u);
    EXPECT_EQ(root->owner, root);
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(root->GetKind(), UnitInstance::kRoot);
    delete root;
}

TEST_F(RootTest, TheWorldMatrixIsTheLocalOneTimesTheHostsWithItsAnglesAndLengths) {
    effecttools::EffectFileValue f = TreeEffect("vfx/matrix.vfxb");
    // Local: scale (2, 2, 2), moved by (1, 0, 0).
    f.package.floats["PvSx"] = 2.0f;
    f.package.floats["PvSy"] = 2.0f;
    f.package.floats["PvSz"] = 2.0f;
    f.package.floats["PvPx"] = 1.0f;
    const ObjectHandle effect = rig_.Load(f);
    // 90 degrees about X: r21 = 1, so X is at its pole.
    const float turned[12] = {1, 0, 0, 0, 0, -1, 0, 1, 0, 0, 0, 5};
    InstanceRootUnit* root = Build(effect, turned);
    ASSERT_NE(root, nullptr);
    EXPECT_FLOAT_EQ(root->eulerAngles[0], kHalfPi);
    EXPECT_EQ(root->eulerAngles[1], 0.0f);
    EXPECT_FLOAT_EQ(root->eulerAngles[2], 0.0f);
    // Rows of L times M, then L's translation through M plus M's.
    EXPECT_EQ(root->worldMatrix[0], 2.0f);
    EXPECT_EQ(root->worldMatrix[5], -2.0f);
    EXPECT_EQ(root->worldMatrix[7], 2.0f);
    EXPECT_EQ(root->worldMatrix[9], 1.0f);
    EXPECT_EQ(root->worldMatrix[11], 5.0f);
    // Lengths by the fast root, exact for 4; their mean by x 0.33333334.
    EXPECT_EQ(root->axisLengths[0], 2.0f);
    EXPECT_EQ(root->meanAxisLength, 6.0f * 0.33333334f);
    EXPECT_EQ(root->rotationMatrix[9], 0.0f);
    EXPECT_EQ(root->rotationMatrix[11], 0.0f);
    EXPECT_EQ(root->rotationMatrix[7], 2.0f);
    // The inverse takes the world translation back to the origin.
    const float* inv = root->GetInverseWorldMatrix();
    const float* w = root->worldMatrix;
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(w[9] * inv[c] + w[10] * inv[3 + c] + w[11] * inv[6 + c] + inv[9 + c], 0.0f,
                    1e-6f);

    // The other pole, and a turn of 30 degrees about Z away from them.
    const float down[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, 0};
    root->SetWorldMatrix(down);
    EXPECT_FLOAT_EQ(root->eulerAngles[0], -kHalfPi);
    EXPECT_EQ(root->eulerAngles[1], 0.0f);
    const float c = std::cos(0.5235988f);
    const float s = std::sin(0.5235988f);
    const float aboutZ[12] = {c, s, 0, -s, c, 0, 0, 0, 1, 0, 0, 0};
    root->SetWorldMatrix(aboutZ);
    EXPECT_EQ(root->eulerAngles[0], 0.0f);
    EXPECT_EQ(root->eulerAngles[1], 0.0f);
    EXPECT_FLOAT_EQ(root->eulerAngles[2], -0.5235988f);
    // A length by the bit formula: ((bits & 0x7FFFFFFF) - 0x3F800000) >> 1,
    // plus 0x3F800000, on 9 (scale 2 of a row of length 1.5): 3.125.
    const float stretched[12] = {1.5f, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    root->SetWorldMatrix(stretched);
    float nine = 9.0f;
    uint32_t bits;
    std::memcpy(&bits, &nine, 4);
    bits = (((bits & 0x7FFFFFFFu) - 0x3F800000u) >> 1) + 0x3F800000u;
    float expected;
    std::memcpy(&expected, &bits, 4);
    EXPECT_EQ(root->axisLengths[0], expected);
    EXPECT_EQ(expected, 3.125f);
    delete root;
}

TEST_F(RootTest, TheBaseColourIsThePackagesTimesTheHostsAndReachesTheChildren) {
    const ObjectHandle child = rig_.Load(TreeEffect("vfx/child.vfxb"));
    effecttools::EffectFileValue f = TreeEffect("vfx/tinted.vfxb");
    f.package.floats["PvCr"] = 1.0f;
    f.package.floats["PvCg"] = 0.5f;
    f.package.floats["PvCb"] = 0.5f;
    f.package.floats["PvCa"] = 1.0f;
    f.package.referenceCapacity = 1;
    std::vector<uint8_t> clip = CommandClip("VFXC", {}, {"vfx/child.vfxb"});
    testsupport::SetClipFloat(clip, 20, 0.5f);
    testsupport::SetClipFloat(clip, 24, 1.0f);
    testsupport::SetClipFloat(clip, 28, 1.0f);
    testsupport::SetClipFloat(clip, 32, 1.0f);
    f.package.assignments.push_back(
        {testsupport::AddTimeline(f, 0, {testsupport::CommandItem(clip, 0)}), std::nullopt});
    const ObjectHandle parent = rig_.Load(f);
    const InstanceHandle h = rig_.Play(parent);
    Frame();
    Frame(); // the child starts, then the parent ties it to itself
    InstanceRootUnit* root = rig_.Root(h);
    ASSERT_NE(root->childInstances, nullptr);
    InstanceRootUnit* childRoot = root->childInstances->roots[0];
    ASSERT_NE(childRoot, nullptr);
    EXPECT_EQ(childRoot->parentRoot, root);
    // Tied with the multiplier times the parent's base colour.
    EXPECT_EQ(childRoot->baseColor[0], 0.5f);
    EXPECT_EQ(childRoot->baseColor[1], 0.5f);
    EXPECT_EQ(childRoot->baseColor[2], 0.5f);

    const float faded[4] = {1.0f, 1.0f, 1.0f, 0.5f};
    root->SetColor(faded);
    const std::vector<float> base(root->baseColor, root->baseColor + 4);
    EXPECT_EQ(base, (std::vector<float>{1.0f, 0.5f, 0.5f, 0.5f}));
    // The child: its multiplier (0.5, 1, 1, 1) times the host colour.
    const std::vector<float> childBase(childRoot->baseColor, childRoot->baseColor + 4);
    EXPECT_EQ(childBase, (std::vector<float>{0.5f, 1.0f, 1.0f, 0.5f}));
    // The current colour follows at the next step.
    EXPECT_EQ(root->GetCurrentColor()[3], 1.0f);
    Frame();
    EXPECT_EQ(root->GetCurrentColor()[3], 0.5f);
    (void)child;
}

TEST_F(RootTest, WithoutPlacesAndWithTimeModeTwoTheRootEndsAfterItsLifetime) {
    const ObjectHandle effect = rig_.Load(TreeEffect("vfx/empty.vfxb", 1, 60, true));
    InstanceRootUnit* root = Build(effect, kIdentity34, 1, 5.0f, UnitInstance::kEndWhenChildless);
    root->Start();
    EXPECT_EQ(root->firstChild, nullptr);
    for (int i = 0; i < 4; ++i)
        root->Update(1.0f);
    EXPECT_EQ(root->alive, 1);
    root->Update(1.0f);
    EXPECT_EQ(root->alive, 0);
    delete root;
    // Played by the runtime (lifetime 1): it stops after its first frame.
    const InstanceHandle h = rig_.Play(effect);
    Frame();
    EXPECT_EQ(Record(h)->state, InstanceSlot::kStopping);
}

TEST_F(RootTest, PlacesStartTheirTimelinesOrCarriersAndIndicesPastTheTablesNothing) {
    effecttools::EffectFileValue f = TreeEffect("vfx/places.vfxb");
    const int16_t timed = testsupport::AddTimeline(f, 40, {});
    const int16_t endless = testsupport::AddTimeline(f, 0, {});
    effecttools::BindValue bind;
    bind.mode = 0;
    bind.life = 80;
    f.package.binds.push_back(bind);
    f.package.assignments = {
        {timed, std::nullopt},   {int16_t{-1}, std::nullopt},
        {endless, std::nullopt}, {int16_t{9}, std::nullopt}, // past the timelines
        {timed, int16_t{0}},                                 // carriers
        {timed, int16_t{4}},                                 // past the binds
        {endless, int16_t{0}}};
    rig_.listener.targetsX = {3};
    rig_.creators.build = true;
    const InstanceHandle h = rig_.Play(rig_.Load(f));
    Frame();
    InstanceRootUnit* root = rig_.Root(h);
    // Timelines for places 0 and 2, carriers for places 4 and 6.
    EXPECT_EQ(ChildIds(root), (std::vector<int>{1, 3, 0, 0}));
    const std::vector<UnitInstance*> children = Children(root);
    EXPECT_EQ(children[0]->lifetime, 40.0f);
    EXPECT_EQ(children[1]->timeStepMember,
              UnitInstance::ClockStepOf(UnitInstance::kEndless, false));
    ASSERT_EQ(rig_.creators.carriers.size(), 2u);
    const auto& timedCarrier = rig_.creators.carriers[0];
    EXPECT_EQ(timedCarrier.child.id, 5);
    EXPECT_EQ(timedCarrier.targetA, 3u);
    EXPECT_EQ(timedCarrier.state.speed, 2.0f); // 80 frames of the binding in 40
    EXPECT_EQ(timedCarrier.state.lifetime, 40.0f);
    EXPECT_EQ(timedCarrier.state.timeMode, UnitInstance::kEndAtTime);
    const auto& endlessCarrier = rig_.creators.carriers[1];
    EXPECT_EQ(endlessCarrier.child.id, 7);
    EXPECT_EQ(endlessCarrier.state.speed, 1.0f);
    EXPECT_EQ(endlessCarrier.state.lifetime, 80.0f);
    EXPECT_EQ(endlessCarrier.state.timeMode, UnitInstance::kEndless);
    EXPECT_EQ(children[2]->GetKind(), UnitInstance::kParticleSystem);
}

TEST_F(RootTest, SharedModesMapThroughTheirTableAndTakeTheSharedBlock) {
    effecttools::EffectFileValue plain = TreeEffect("vfx/plain.vfxb");
    InstanceRootUnit* root = Build(rig_.Load(plain));
    root->Start();
    EXPECT_EQ(root->sharedBlock, nullptr);
    EXPECT_EQ(root->GetSharedBlock(), nullptr);
    delete root;
    effecttools::EffectFileValue shared = TreeEffect("vfx/shared.vfxb");
    shared.package.fields.push_back({"PCo1", 3});
    shared.package.fields.push_back({"PCo2", 4});
    shared.package.fields.push_back({"PCo4", 1});
    root = Build(rig_.Load(shared));
    root->Start();
    EXPECT_EQ(root->sharedModes[0], 4);
    EXPECT_EQ(root->sharedModes[1], 8);
    EXPECT_EQ(root->sharedModes[2], 0);
    EXPECT_EQ(root->sharedModes[3], 1);
    ASSERT_NE(root->sharedBlock, nullptr);
    EXPECT_EQ(root->GetSharedBlock(), root->sharedBlock);
    // A unit below asks its parent, which asks the root.
    auto* unit = UnitInstance::Create<testsupport::RecordingUnit>(
        root, testsupport::RecordingUnit::Clock(root, 0.0f));
    root->AddChild(unit);
    EXPECT_EQ(unit->GetSharedBlock(), root->sharedBlock);
    delete root;
}

TEST_F(RootTest, ModesPastTheirTableHaveNone) {
    effecttools::EffectFileValue f = TreeEffect("vfx/modes.vfxb");
    f.package.fields.push_back({"PCo1", 5});
    f.package.fields.push_back({"PCo3", 7});
    InstanceRootUnit* root = Build(rig_.Load(f));
    root->Start();
    for (uint8_t mode : root->sharedModes)
        EXPECT_EQ(mode, 0);
    EXPECT_EQ(root->sharedBlock, nullptr);
    delete root;
}

TEST_F(RootTest, EachLightIsAskedEveryIntervalFromTheFirstFrame) {
    effecttools::EffectFileValue f = TreeEffect("vfx/lit.vfxb");
    f.package.fields.push_back({"DLT", 2});
    f.package.fields.push_back({"ELT", 3});
    const ObjectHandle effect = rig_.Load(f);
    FulgorCore::EngineWorkData* work = Engine::GetWorkData();
    work->lightQueryInterval[0] = 3;
    work->lightQueryInterval[1] = 2;
    const float moved[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 4, 5, 6};
    InstanceRootUnit* root = Build(effect, moved);
    EXPECT_EQ(root->lightResultA[0], 1.0f);
    EXPECT_EQ(root->lightResultB[0], 0.0f);
    std::vector<size_t> askedA;
    std::vector<size_t> askedB;
    for (size_t frame = 0; frame < 7; ++frame) {
        const size_t a = rig_.runtime.light.queriesA.size();
        const size_t b = rig_.runtime.light.queriesB.size();
        root->Update(1.0f);
        if (rig_.runtime.light.queriesA.size() > a)
            askedA.push_back(frame);
        if (rig_.runtime.light.queriesB.size() > b)
            askedB.push_back(frame);
    }
    EXPECT_EQ(askedA, (std::vector<size_t>{0, 3, 6}));
    EXPECT_EQ(askedB, (std::vector<size_t>{0, 2, 4, 6}));
    const auto& query = rig_.runtime.light.queriesA[0];
    EXPECT_EQ(query.parameter, 2u);
    EXPECT_EQ(query.position[0], 4.0f);
    EXPECT_EQ(query.position[2], 6.0f);
    EXPECT_EQ(rig_.runtime.light.queriesB[0].parameter, 3u);
    EXPECT_EQ(root->lightResultA[3], 0.5f);
    EXPECT_EQ(root->lightResultB[0], 0.5f);
    delete root;
}

TEST_F(RootTest, DrawListsTakeFrameMemoryForWhatIsRegistered) {
    InstanceRootUnit* root = Build(rig_.Load(TreeEffect("vfx/lists.vfxb")));
    ASSERT_NE(root->drawLists, nullptr);
    FulgorCore::DrawLists& lists = *root->drawLists;
    lists.capacities[1][4] = 3;
    lists.capacities[0][0] = 1;
    FulgorCore::FrameWorkMemory& frame = Engine::GetFrameWorkMemory();
    const auto* before = static_cast<uint8_t*>(frame.Allocate(16));
    root->Evaluate();
    const auto* after = static_cast<uint8_t*>(frame.Allocate(16));
    // 16 bytes of the probe, 16 for one entry, 48 for three.
    EXPECT_EQ(after - before, 16 + 16 + 48);
    ASSERT_NE(lists.arrays[1][4], nullptr);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(lists.arrays[1][4]) -
                  reinterpret_cast<const uint8_t*>(lists.arrays[0][0]),
              16);
    for (uint32_t c = 0; c < 2; ++c)
        for (uint32_t l = 0; l < 7; ++l)
            if (!(c == 1 && l == 4) && !(c == 0 && l == 0)) {
                EXPECT_EQ(lists.arrays[c][l], nullptr) << c << " " << l;
            }
    // Registrations gone: the arrays go with them.
    lists.capacities[1][4] = 0;
    lists.capacities[0][0] = 0;
    root->Evaluate();
    EXPECT_EQ(lists.arrays[1][4], nullptr);
    EXPECT_EQ(lists.arrays[0][0], nullptr);
    // A full half leaves the arrays null for the frame.
    lists.capacities[1][4] = 3;
    while (frame.Allocate(16)) {
    }
    root->Evaluate();
    EXPECT_EQ(lists.arrays[1][4], nullptr);
    delete root;
}

TEST_F(RootTest, DrawingACategoryEmptiesTheListsAndCollectsTheTree) {
    InstanceRootUnit* root = Build(rig_.Load(TreeEffect("vfx/collect.vfxb")));
    auto* unit = UnitInstance::Create<testsupport::RecordingUnit>(
        root, testsupport::RecordingUnit::Clock(root, 0.0f));
    root->AddChild(unit);
    root->drawLists->fillCounts[0][3] = 5;
    root->drawLists->fillCounts[1][6] = 2;
    root->DrawCategory(1);
    EXPECT_EQ(unit->collections, 1);
    EXPECT_EQ(root->drawLists->fillCounts[0][3], 0u);
    EXPECT_EQ(root->drawLists->fillCounts[1][6], 0u);
    root->DrawCategory(2); // no such category
    EXPECT_EQ(unit->collections, 1);
    delete root;
}

TEST_F(RootTest, WithoutABlockForItsDrawListsTheRootEndsAndStartsNothing) {
    effecttools::EffectFileValue f = TreeEffect("vfx/starved.vfxb");
    f.package.assignments.push_back({testsupport::AddTimeline(f, 10, {}), std::nullopt});
    const ObjectHandle effect = rig_.Load(f);
    FulgorCore::UnitInstancePool& pool = Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* block = pool.Allocate())
        taken.push_back(block);
    pool.Free(taken.back());
    taken.pop_back();
    InstanceRootUnit* root = Build(effect);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->alive, 0);
    EXPECT_EQ(root->drawLists, nullptr);
    for (void* block : taken)
        pool.Free(block);
    root->Start();
    EXPECT_EQ(root->firstChild, nullptr);
    root->DrawCategory(0);
    root->Evaluate();
    delete root;
}

// What the package fixes at construction: the depth-key flag by sort mode
// and the two fade members (none without a fade, one per angle mode, none
// for a mode past the four).
struct RootChoiceCase {
    const char* name;
    uint32_t sortMode;
    bool distanceFade;
    int32_t angleMode; // -1: no angle fade
    uint8_t sorted;
    UnitInstance::Member distanceMember;
    UnitInstance::Member angleMember;
};

const RootChoiceCase kRootChoices[] = {
    {"SortModeZeroWithoutFades", 0, false, -1, 0, UnitInstance::NoOp, UnitInstance::NoOp},
    {"SortModeOneWithTheDistanceFade", 1, true, -1, 0, InstanceRootUnit::ApplyDistanceFade,
     UnitInstance::NoOp},
    {"SortModeTwoWithAngleModeZero", 2, false, 0, 1, UnitInstance::NoOp,
     InstanceRootUnit::ApplyViewAngleFade},
    {"SortModeThreeWithAngleModeOne", 3, false, 1, 1, UnitInstance::NoOp,
     InstanceRootUnit::ApplyYawPitchAngleFade},
    {"AngleModeTwo", 0, true, 2, 0, InstanceRootUnit::ApplyDistanceFade,
     InstanceRootUnit::ApplyYawAngleFade},
    {"AngleModeThree", 0, false, 3, 0, UnitInstance::NoOp, InstanceRootUnit::ApplyPitchAngleFade},
    {"AnAngleModePastTheTableHasNoFade", 0, false, 4, 0, UnitInstance::NoOp, UnitInstance::NoOp},
};

class RootChoices : public RootTest, public testing::WithParamInterface<RootChoiceCase> {};

TEST_P(RootChoices, ThePackageFixesTheDepthKeyAndTheFades) {
    const RootChoiceCase& c = GetParam();
    effecttools::EffectPlan plan;
    plan.name = "vfx/choices.vfxb";
    plan.endless = true;
    plan.sortMode = c.sortMode;
    if (c.distanceFade)
        plan.distanceFade = effecttools::DistanceFadeValue{0.0f, 10.0f, 100.0f, 200.0f};
    if (c.angleMode >= 0)
        plan.angleFade =
            effecttools::AngleFadeValue{static_cast<uint32_t>(c.angleMode), 0.0f, 1.0f, 0.0f, 1.0f};
    InstanceRootUnit* root = Build(rig_.Load(effecttools::ComposeEffect(plan)));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->sorted, c.sorted);
    EXPECT_EQ(root->distanceFadeMember, c.distanceMember);
    EXPECT_EQ(root->angleFadeMember, c.angleMember);
    delete root;
}

INSTANTIATE_TEST_SUITE_P(RootTest, RootChoices, testing::ValuesIn(kRootChoices),
                         [](const testing::TestParamInfo<RootChoiceCase>& info) {
                             return std::string(info.param.name);
                         });

// The root gives back its shared block and its draw-list block before its
// children, and its own block last: the pool, last in first out, hands them
// out again in the reverse order.
TEST_F(RootTest, TeardownGivesTheSideBlocksBackBeforeTheChildren) {
    effecttools::EffectFileValue f = TreeEffect("vfx/teardown.vfxb");
    f.package.fields.push_back({"PCo1", 1});
    f.package.assignments.push_back({testsupport::AddTimeline(f, 10, {}), std::nullopt});
    InstanceRootUnit* root = Build(rig_.Load(f));
    ASSERT_NE(root, nullptr);
    root->Start();
    ASSERT_NE(root->firstChild, nullptr);
    const std::vector<void*> given = {root->sharedBlock, root->drawLists, root->firstChild, root};
    const uint32_t used = testsupport::UnitTreeRig::UsedBlocks();
    delete root;
    FulgorCore::UnitInstancePool& pool = Engine::GetUnitInstancePool();
    EXPECT_EQ(pool.GetUsedCount(), used - 4);
    std::vector<void*> taken;
    for (size_t i = 0; i < given.size(); ++i)
        taken.push_back(pool.Allocate());
    EXPECT_EQ(taken, std::vector<void*>(given.rbegin(), given.rend()));
    for (void* block : taken)
        pool.Free(block);
}

// The ring of child instances, filled by "VFXC" commands of a parent
// effect whose timeline runs `frames` (one command each) at their frames.
class ChildRing : public RootTest {
protected:
    void SetUp() override {
        RootTest::SetUp();
        endless_ = rig_.Load(TreeEffect("vfx/endless.vfxb"));
        effecttools::EffectFileValue brief = TreeEffect("vfx/brief.vfxb", 1, 60, true);
        brief.package.assignments.push_back({testsupport::AddTimeline(brief, 3, {}), std::nullopt});
        brief_ = rig_.Load(brief);
    }
    InstanceHandle PlayParent(const std::vector<std::pair<const char*, uint16_t>>& commands) {
        effecttools::EffectFileValue f = TreeEffect("vfx/parent.vfxb");
        f.package.referenceCapacity = 2;
        std::vector<effecttools::TimelineItemValue> items;
        for (const auto& [name, frame] : commands)
            items.push_back(testsupport::CommandItem(CommandClip("VFXC", {}, {name}), frame));
        f.package.assignments.push_back(
            {testsupport::AddTimeline(f, 0, std::move(items)), std::nullopt});
        return rig_.Play(rig_.Load(f));
    }
    uint32_t LiveInstances() const { return Engine::GetWorkData()->liveInstanceCount; }

    ObjectHandle endless_;
    ObjectHandle brief_;
};

TEST_F(ChildRing, ASeventeenthChildStartsNothingAndLeavesTheHoldAlone) {
    std::vector<std::pair<const char*, uint16_t>> commands(16, {"vfx/endless.vfxb", 0});
    commands.push_back({"vfx/endless.vfxb", 3});
    commands.push_back({"vfx/endless.vfxb", 0}); // the 17th of the first frame
    const InstanceHandle h = PlayParent(commands);
    Frame();
    InstanceRootUnit* root = rig_.Root(h);
    EXPECT_EQ(root->holdCount, 16);
    EXPECT_EQ(LiveInstances(), 17u);
    Frame();
    Frame();
    Frame(); // the command of frame 3, all 16 running
    EXPECT_EQ(root->holdCount, 16);
    EXPECT_EQ(LiveInstances(), 17u);
    for (InstanceRootUnit* child : root->childInstances->roots)
        EXPECT_NE(child, nullptr);
}

TEST_F(ChildRing, AChildThatEndsFreesItsPlaceAndTheHintMovesThere) {
    const InstanceHandle h = PlayParent({{"vfx/endless.vfxb", 0},
                                         {"vfx/brief.vfxb", 0},
                                         {"vfx/endless.vfxb", 0},
                                         {"vfx/endless.vfxb", 10}});
    Frame();
    InstanceRootUnit* root = rig_.Root(h);
    ASSERT_NE(root->childInstances, nullptr);
    FulgorCore::ChildInstanceTable& table = *root->childInstances;
    EXPECT_EQ(table.hint, 3u);
    EXPECT_EQ(root->holdCount, 3);
    const InstanceHandle brief = table.handles[1];
    for (int i = 0; i < 6; ++i)
        Frame();
    // The brief child ended (timeline 3 frames, root one more) and went.
    EXPECT_FALSE(Engine::IsInstancePlaying(brief.index, brief.serial));
    EXPECT_EQ(table.handles[1].serial, 0u);
    EXPECT_EQ(table.roots[1], nullptr);
    EXPECT_EQ(table.hint, 1u);
    EXPECT_EQ(root->holdCount, 2);
    for (int i = 0; i < 3; ++i)
        Frame(); // frame 10: the last command takes the freed place
    EXPECT_NE(table.handles[1].serial, 0u);
    EXPECT_EQ(table.hint, 2u);
    EXPECT_EQ(root->holdCount, 3);
}

TEST_F(ChildRing, AChildKilledBeforeItStartedGivesItsPlaceAndHoldBack) {
    const InstanceHandle h = PlayParent({{"vfx/endless.vfxb", 0}});
    Frame();
    InstanceRootUnit* root = rig_.Root(h);
    const InstanceHandle child = root->childInstances->handles[0];
    Engine::KillInstance(child.index, child.serial);
    Frame();
    EXPECT_EQ(root->childInstances->handles[0].serial, 0u);
    EXPECT_EQ(root->holdCount, 0);
}

TEST_F(ChildRing, NoFreeInstanceRecordStartsNothingAndHoldsNothing) {
    const InstanceHandle h = PlayParent({{"vfx/endless.vfxb", 0}});
    // Every other record taken.
    std::vector<InstanceHandle> filler;
    for (InstanceHandle f = Engine::CreateInstance(endless_.index, endless_.serial, nullptr);
         f.serial != 0; f = Engine::CreateInstance(endless_.index, endless_.serial, nullptr))
        filler.push_back(f);
    Frame();
    InstanceRootUnit* root = rig_.Root(h);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->holdCount, 0);
    EXPECT_EQ(root->childInstances->handles[0].serial, 0u);
}

TEST_F(ChildRing, AParentThatGoesKillsItsChildrenAndAChildThatGoesTellsItsParent) {
    const InstanceHandle h = PlayParent({{"vfx/endless.vfxb", 0}, {"vfx/endless.vfxb", 0}});
    Frame();
    Frame();
    InstanceRootUnit* root = rig_.Root(h);
    InstanceRootUnit* first = root->childInstances->roots[0];
    const InstanceHandle second = root->childInstances->handles[1];
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentRoot, root);
    // The matrix reaches the children.
    const float moved[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 7, 8, 9};
    root->SetWorldMatrix(moved);
    EXPECT_EQ(first->worldMatrix[10], 8.0f);
    const InstanceHandle firstHandle = root->childInstances->handles[0];
    Engine::KillInstance(firstHandle.index, firstHandle.serial);
    Frame();
    EXPECT_EQ(root->childInstances->roots[0], nullptr);
    EXPECT_EQ(root->holdCount, 1);
    Engine::KillInstance(h.index, h.serial);
    Frame();
    EXPECT_FALSE(Engine::IsInstancePlaying(second.index, second.serial));
    Frame();
    EXPECT_EQ(LiveInstances(), 0u);
}

} // namespace
