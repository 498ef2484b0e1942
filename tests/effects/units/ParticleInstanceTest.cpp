// The particle node's members the runtime core holds: events, child
// effects, the order of its update members, colour and transform
// composition, the angle pair and the motion integration.
#include "effects/units/ParticleInstance.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/ChildEffectLink.h"
#include "effects/units/ChildInstanceTable.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/NodeSharedBlock.h"
#include "effects/units/ParticleEmitterPart.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/StandInParticle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceRootUnit;
using FulgorCore::InstanceSlot;
using FulgorCore::ObjectHandle;
using FulgorCore::ParticleInstance;
using FulgorCore::UnitInstance;
using testsupport::Frame;
using testsupport::Record;
using testsupport::SmallEffect;
using testsupport::Write;
namespace Engine = FulgorCore::Engine;

constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

class Nodes : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.Start());
        // C, B referring to C, A referring to B, all endless but B and C
        // which live 5 frames.
        c_ = testsupport::LoadEffect(Write(SmallEffect("vfx/c.vfxb", 5)), &objects_);
        effecttools::EffectFileValue b = SmallEffect("vfx/b.vfxb", 5);
        testsupport::AddReference(b, "vfx/c.vfxb");
        b_ = testsupport::LoadEffect(Write(b), &objects_);
        effecttools::EffectFileValue a = SmallEffect("vfx/a.vfxb", 0);
        a.package.units[0].fuCt = effecttools::Constant(0.25f); // the lag weight
        testsupport::AddReference(a, "vfx/b.vfxb");
        testsupport::AddReference(a, "vfx/unloaded.vfxb");
        a_ = testsupport::LoadEffect(Write(a), &objects_);
        ASSERT_NE(a_.serial, 0u);
        parent_ = Engine::CreateInstance(a_.index, a_.serial, nullptr);
        Engine::SetInstanceLayer(parent_.index, parent_.serial, 6);
        Engine::PlayInstance(parent_.index, parent_.serial, 1.0f, 0);
        Frame();
        root_ = Record(parent_)->root;
        ASSERT_NE(root_, nullptr);
        node_ = Node(true);
    }

    ParticleInstance* Node(bool takesEvents) {
        UnitInstance::InitialState endless;
        endless.parent = root_;
        endless.timeMode = UnitInstance::kEndless;
        ParticleInstance* node = testsupport::StandInParticle(root_, endless);
        root_->AddChild(node);
        // Events from here on: the start's own event 18 is not among them.
        node->takesEvents = takesEvents ? 1 : 0;
        return node;
    }

    testsupport::FakeObjectListenner objects_;
    testsupport::RuntimeStartup runtime_;
    ObjectHandle a_, b_, c_;
    InstanceHandle parent_;
    InstanceRootUnit* root_ = nullptr;
    ParticleInstance* node_ = nullptr;
};

TEST_F(Nodes, EventsQueueEightAFrameWithSnapshotsOfConstantAspects) {
    node_->position[1] = 3.0f;
    node_->transformBlock->color[2] = 0.5f;
    // Constant: the plain integration and the no-op; animated: anything
    // else.
    node_->translationStep = ParticleInstance::StepPosition;
    node_->colourStep = ParticleInstance::NoOpWithArgument;
    node_->scaleStep = [](ParticleInstance*, const FulgorCore::UnitClock&) {};
    for (uint16_t i = 0; i < 9; ++i)
        node_->PostEvent(static_cast<uint16_t>(100 + i), static_cast<uint8_t>(i));
    const FulgorCore::NodeEventBlock* e = node_->postedEvents;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->count, 8);
    EXPECT_EQ(e->kinds[7], 7);
    EXPECT_EQ(e->ids[0], 100);
    EXPECT_EQ(e->ids[7], 107);
    EXPECT_EQ(e->constant[FulgorCore::NodeEventBlock::kTranslation], 1);
    EXPECT_EQ(e->constant[FulgorCore::NodeEventBlock::kScale], 0);
    EXPECT_EQ(e->translation[1], 3.0f);
    EXPECT_EQ(e->colour[2], 0.5f);
    EXPECT_EQ(e->scale[0], 0.0f); // not constant: not copied

    ParticleInstance* deaf = Node(false);
    deaf->PostEvent(1, 1);
    EXPECT_EQ(deaf->postedEvents, nullptr);
}

TEST_F(Nodes, AnExhaustedPoolDropsTheEvent) {
    FulgorCore::UnitInstancePool& pool = Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* block = pool.Allocate())
        taken.push_back(block);
    node_->PostEvent(1, 2);
    EXPECT_EQ(node_->postedEvents, nullptr);
    for (void* block : taken)
        pool.Free(block);
}

TEST_F(Nodes, AChildEffectPlaysOnceOnTheRootsLayerAndIsFreedWhenItStops) {
    node_->SpawnChildEffect("vfx/unloaded.vfxb"); // asked, never registered
    node_->SpawnChildEffect("vfx/never.vfxb");    // not referred to
    EXPECT_EQ(node_->childEffectLink, nullptr);
    node_->SpawnChildEffect("vfx/b.vfxb");
    ASSERT_NE(node_->childEffectLink, nullptr);
    // One child effect a particle: a second is not started.
    node_->SpawnChildEffect("vfx/b.vfxb");
    const InstanceHandle child{node_->childEffectLink->index, node_->childEffectLink->serial};
    InstanceSlot* record = Record(child);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->state, InstanceSlot::kStarting);
    EXPECT_EQ(record->layer, 6);
    EXPECT_NE(record->flags & InstanceSlot::kFreeWhenStopped, 0);
    EXPECT_EQ(record->flags & InstanceSlot::kLoop, 0);
    EXPECT_EQ(record->speed, 1.0f);
    Frame();
    // The node caches the child's root once it has one.
    EXPECT_EQ(node_->childEffectLink->root, record->root);
    EXPECT_NE(record->root, nullptr);
    // Its timeline ends at 5, its root one frame later; stopped the next.
    for (int i = 0; i < 6; ++i)
        Frame();
    // Ended, stopped, freed.
    EXPECT_EQ(record->serial, 0u);
    EXPECT_FALSE(Engine::IsInstancePlaying(child.index, child.serial));
}

TEST_F(Nodes, LayersReachChildInstancesRecursively) {
    root_->SpawnChildInstance("vfx/b.vfxb", kWhite);
    const InstanceHandle b = root_->childInstances->handles[0];
    Frame();
    InstanceRootUnit* bRoot = Record(b)->root;
    ASSERT_NE(bRoot, nullptr);
    bRoot->SpawnChildInstance("vfx/c.vfxb", kWhite);
    const InstanceHandle c = bRoot->childInstances->handles[0];
    EXPECT_EQ(Record(c)->layer, 6);
    Frame();
    Engine::SetInstanceLayer(parent_.index, parent_.serial, 11);
    EXPECT_EQ(Record(b)->layer, 11);
    EXPECT_EQ(bRoot->layer, 11);
    EXPECT_EQ(Record(c)->layer, 11);
    EXPECT_EQ(Record(c)->root->layer, 11);
}

TEST_F(Nodes, KillingTheParentKillsItsChildInstances) {
    node_->SpawnChildEffect("vfx/b.vfxb");
    const InstanceHandle child{node_->childEffectLink->index, node_->childEffectLink->serial};
    Engine::KillInstance(parent_.index, parent_.serial);
    Frame();
    EXPECT_EQ(Record(child)->serial, 0u);
    Frame();
    EXPECT_EQ(Engine::GetWorkData()->liveInstanceCount, 0u);
    EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), 0u);
}

std::vector<int>& MemberLog() {
    static std::vector<int> log;
    return log;
}

template <int N> void LogFrame(ParticleInstance*, const FulgorCore::UnitClock& clock) {
    EXPECT_EQ(clock.timeA, 2.5f);
    EXPECT_EQ(clock.lastStep, 0.5f);
    MemberLog().push_back(N);
}
template <int N> void LogPlain(ParticleInstance*) {
    MemberLog().push_back(N);
}

TEST_F(Nodes, UpdateMembersRunInTheirFixedOrder) {
    MemberLog().clear();
    node_->worldAccelerationStep = LogFrame<-2>;
    node_->localAccelerationStep = LogFrame<-1>;
    node_->scaleStep = LogFrame<1>;
    node_->rotationStep = LogFrame<2>;
    node_->translationStep = LogFrame<3>;
    node_->trackMorphMember = LogFrame<4>;
    node_->transformTracksMember = LogFrame<5>;
    node_->integrateMember = LogPlain<6>;
    node_->composeMember = LogPlain<8>;
    node_->orientationStep = LogPlain<9>;
    node_->interpolateMember = LogFrame<10>;
    node_->notifyPositionMember = LogPlain<11>;
    node_->transformBlock->transformFlags = 0x7;
    FulgorCore::UnitClock clock;
    clock.timeA = 2.5f;
    clock.lastStep = 0.5f;
    node_->RunUpdateMembers(clock);
    EXPECT_EQ(MemberLog(), (std::vector<int>{-2, -1, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11}));
    // Only the inverse is marked stale.
    EXPECT_EQ(node_->transformBlock->transformFlags, 0x5u);
}

TEST_F(Nodes, ColourModesMultiplyByTheBaseOrTheOwnersColour) {
    ParticleInstance* owner = Node(false);
    const float ownerColour[4] = {0.5f, 1.0f, 0.25f, 1.0f};
    std::copy(ownerColour, ownerColour + 4, owner->transformBlock->color);
    node_->parent = owner;
    float* colour = node_->transformBlock->color;
    colour[0] = 0.5f;
    node_->transformBlock->spawnColor[0] = 0.5f;
    node_->transformBlock->spawnColor[3] = 0.2f;
    ParticleInstance::MultiplyBaseColor(node_);
    EXPECT_EQ(colour[0], 0.25f);
    EXPECT_EQ(colour[3], 0.2f);
    ParticleInstance::MultiplyParentColor(node_);
    EXPECT_EQ(colour[0], 0.125f);
    EXPECT_EQ(colour[2], 0.25f);
}

TEST_F(Nodes, CompositionsOrderScaleRotationTranslationOffsetAndTheirParents) {
    const float world[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0}; // 90 degrees about z
    root_->SetWorldMatrix(world);
    node_->scale[0] = node_->scale[1] = node_->scale[2] = 2.0f;
    node_->position[0] = 1.0f;
    node_->offset[1] = 1.0f;
    // Mode 1: offset before the owner's matrix.
    ParticleInstance::ComposeTransformWithOwner(node_);
    EXPECT_EQ(node_->currentWorldMatrix[0], 0.0f);
    EXPECT_EQ(node_->currentWorldMatrix[1], 2.0f);
    // (1, 1, 0) turned: (-1, 1, 0), then moved by 10 along x.
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], 9.0f);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], 1.0f);
    // Mode 3: offset after the root's matrix.
    ParticleInstance::ComposeTransformWithRoot(node_);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], 10.0f);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], 2.0f);
    // Mode 4 and the relative one: from the getters, offset only in the
    // second.
    node_->rotation[2] = 0.0f;
    ParticleInstance::ComposeTransformFromGetters(node_);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], 10.0f);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], 1.0f);
    ParticleInstance::ComposeTransformRelative(node_);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], 10.0f);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], 2.0f);
    // Without a block, mode 2 keeps its own composition.
    ParticleInstance::ComposeTransformWithBlock(node_);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], 1.0f);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], 1.0f);
    // With the owner's matrix.
    ParticleInstance::ComposeWithOwner(node_);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], 9.0f);
    EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], 1.0f);
}

// An emitter whose point i lies at (100 + i, 200 + i, 300 + i).
class PointsAt final : public FulgorCore::ParticleEmitterPart {
public:
    void SpawnEventChildren() override {}
    void SpawnEventChildrenType2() override {}
    void Update() override {}
    void GetPointPosition(uint32_t index, float* out) const override {
        const float i = static_cast<float>(index);
        out[0] = 100.0f + i;
        out[1] = 200.0f + i;
        out[2] = 300.0f + i;
    }
};

// The compositions from the getters add, after the root's matrix, the
// vector the parent's slot 26 gives for the shared block's index: a
// particle's own position, or with bit 26 its emitter's point there; the
// root's is zero. The node at (1, 0, 0) with offset (0, 1, 0) under the
// root turned 90 degrees about Z at (10, 0, 0) is at (10, 1, 0) before it;
// the relative composition adds the offset first.
TEST_F(Nodes, CompositionsFromTheGettersAddTheParentsVector) {
    struct Case {
        const char* name;
        // 0 the root, 1 a particle at (3, 4, 5), 2 the same with an emitter
        // and bit 26, 3 with the emitter alone.
        int parent;
        int sharedIndex; // -1: no shared block
        void (*compose)(ParticleInstance*);
        float at[3];
    };
    const Case cases[] = {
        {"from the getters under the root: nothing added", 0, -1,
         ParticleInstance::ComposeTransformFromGetters, {10, 1, 0}},
        {"from the getters under a particle: its position", 1, -1,
         ParticleInstance::ComposeTransformFromGetters, {13, 5, 5}},
        {"relative under a particle: the offset, then its position", 1, -1,
         ParticleInstance::ComposeTransformRelative, {13, 6, 5}},
        {"a particle's position whatever the shared index", 1, 2,
         ParticleInstance::ComposeTransformFromGetters, {13, 5, 5}},
        {"an emitter without bit 26: the particle's own position", 3, 2,
         ParticleInstance::ComposeTransformFromGetters, {13, 5, 5}},
        {"placed by its emitter, no shared block: point 0", 2, -1,
         ParticleInstance::ComposeTransformFromGetters, {110, 201, 300}},
        {"placed by its emitter: the point of the shared index", 2, 2,
         ParticleInstance::ComposeTransformFromGetters, {112, 203, 302}},
        {"relative, placed by its emitter: the offset, then the point", 2, 2,
         ParticleInstance::ComposeTransformRelative, {112, 204, 302}},
    };
    const float world[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
    root_->SetWorldMatrix(world);
    PointsAt points;
    ParticleInstance* particle = Node(false);
    particle->position[0] = 3.0f;
    particle->position[1] = 4.0f;
    particle->position[2] = 5.0f;
    node_->position[0] = 1.0f;
    node_->offset[1] = 1.0f;
    FulgorCore::NodeSharedBlock shared{};
    shared.index = 2;
    void* const rootBlock = root_->sharedBlock;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        node_->parent = c.parent == 0 ? static_cast<UnitInstance*>(root_) : particle;
        particle->auxObject = c.parent >= 2 ? &points : nullptr;
        particle->inheritFlags = c.parent == 2 ? ParticleInstance::kPositionFromAuxBit : 0u;
        root_->sharedBlock = c.sharedIndex < 0 ? nullptr : &shared;
        c.compose(node_);
        EXPECT_FLOAT_EQ(node_->currentWorldMatrix[9], c.at[0]);
        EXPECT_FLOAT_EQ(node_->currentWorldMatrix[10], c.at[1]);
        EXPECT_FLOAT_EQ(node_->currentWorldMatrix[11], c.at[2]);
    }
    root_->sharedBlock = rootBlock;
    particle->auxObject = nullptr;
    node_->parent = root_;
}

TEST_F(Nodes, MotionIntegratesWholeFramesUpToTheNodesTime) {
    static int motions;
    motions = 0;
    node_->motionMember = [](ParticleInstance*) { ++motions; };
    node_->damping[0] = 0.5f;
    node_->motion[0][1][0] = 1.0f;
    node_->motion[2][1][2] = 2.0f;
    node_->time = 3.5f;
    ParticleInstance::IntegrateMotion(node_);
    EXPECT_EQ(node_->integrationTime, 4.0f);
    EXPECT_EQ(node_->motion[0][0][0], 0.5f + 0.25f + 0.125f + 0.0625f);
    EXPECT_EQ(node_->motion[0][1][0], 0.0625f);
    EXPECT_EQ(node_->motion[2][0][2], 8.0f);
    EXPECT_EQ(motions, 1);
    ParticleInstance::IntegrateMotion(node_);
    EXPECT_EQ(node_->integrationTime, 4.0f);
    // Past 2^24 frames a step no longer moves the time: it stops.
    node_->integrationTime = 16777216.0f;
    node_->time = 16777300.0f;
    ParticleInstance::IntegrateMotion(node_);
    EXPECT_EQ(motions, 3);
}

// The plane scales average two row lengths (approximate roots, exact for
// these powers of 4): X 4, Y 1, Z 16.
TEST_F(Nodes, PlaneScalesAverageTheirTwoRows) {
    Frame();
    float* m = node_->currentWorldMatrix;
    m[0] = 4.0f, m[4] = 1.0f, m[8] = 16.0f;
    m[1] = m[2] = m[3] = m[5] = m[6] = m[7] = 0.0f;
    EXPECT_FLOAT_EQ(ParticleInstance::GetPlaneScaleXY(node_), 2.5f);
    EXPECT_FLOAT_EQ(ParticleInstance::GetPlaneScaleXZ(node_), 10.0f);
    EXPECT_FLOAT_EQ(ParticleInstance::GetPlaneScaleYZ(node_), 8.5f);
}

// The lag weight t moves the composed position to previous + (current -
// previous) x t.
TEST_F(Nodes, InterpolationMovesAQuarterOfTheWay) {
    UnitInstance::InitialState endless;
    endless.parent = root_;
    endless.timeMode = UnitInstance::kEndless;
    ParticleInstance* lagging =
        testsupport::StandInParticle(root_, endless, root_->package->GetUnit(0));
    ASSERT_NE(lagging, nullptr);
    root_->AddChild(lagging);
    Frame();
    const float previous[3] = {1.0f, 2.0f, 3.0f}, current[3] = {9.0f, -2.0f, 3.0f};
    std::copy(previous, previous + 3, lagging->previousWorldMatrix + 9);
    std::copy(current, current + 3, lagging->currentWorldMatrix + 9);
    ParticleInstance::InterpolatePosition(lagging, lagging->Clock());
    EXPECT_FLOAT_EQ(lagging->currentWorldMatrix[9], 3.0f);
    EXPECT_FLOAT_EQ(lagging->currentWorldMatrix[10], 1.0f);
    EXPECT_FLOAT_EQ(lagging->currentWorldMatrix[11], 3.0f);
}

} // namespace
