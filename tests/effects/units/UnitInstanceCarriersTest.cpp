// The carriers of a binding: the targets of its endpoints from the
// instance's listener, one carrier per target or per pair.
#include "support/effects/PoolDrain.h"
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using FulgorCore::UnitInstance;
using testsupport::AddTimeline;
using testsupport::Children;
using testsupport::Frame;
using testsupport::TreeEffect;
namespace Engine = FulgorCore::Engine;

class Carriers : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        rig_.listener.targetsX = {10, 11, 12};
        rig_.listener.targetsY = {20, 21};
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    // An effect whose first place plays a timeline of 30 frames over a
    // binding of `mode` with endpoints of the given kinds (-1: none).
    FulgorCore::ObjectHandle Bound(uint16_t mode, int first, int second) {
        effecttools::EffectFileValue f = TreeEffect("vfx/bound.vfxb");
        const int16_t timeline = AddTimeline(f, 30, {});
        effecttools::BindValue bind;
        bind.mode = mode;
        bind.life = 60;
        if (first >= 0)
            bind.first = effecttools::AttachPointValue{static_cast<uint32_t>(first), 0, {}, {}};
        if (second >= 0)
            bind.second = effecttools::AttachPointValue{static_cast<uint32_t>(second), 0, {}, {}};
        f.package.binds.push_back(bind);
        f.package.assignments.push_back({timeline, int16_t{0}});
        return rig_.Load(f);
    }
    std::vector<std::pair<uint32_t, uint32_t>> Targets() const {
        std::vector<std::pair<uint32_t, uint32_t>> targets;
        for (const auto& call : rig_.creators.carriers)
            targets.push_back({call.targetA, call.targetB});
        return targets;
    }

    testsupport::UnitTreeRig rig_;
};

TEST_F(Carriers, TwoEndpointsAskForOneCarrierPerPairOuterFirst) {
    rig_.creators.build = true;
    const FulgorCore::ObjectHandle effect = Bound(1, 0, 1);
    const FulgorCore::InstanceHandle h = rig_.Play(effect);
    Frame();
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {{10, 20}, {10, 21}, {11, 20},
                                                                 {11, 21}, {12, 20}, {12, 21}};
    EXPECT_EQ(Targets(), expected);
    FulgorCore::InstanceRootUnit* root = rig_.Root(h);
    const FulgorCore::PackageResource* package =
        Engine::GetWorkData()->objects.base[effect.index].package;
    for (const auto& call : rig_.creators.carriers) {
        EXPECT_TRUE(call.pair);
        EXPECT_EQ(call.owner, root);
        EXPECT_EQ(call.binding, package->GetBind(0));
        EXPECT_EQ(call.state.parent, root);
        EXPECT_EQ(call.state.speed, 2.0f);
        EXPECT_EQ(call.state.lifetime, 30.0f);
        EXPECT_EQ(call.child.childKind, FulgorCore::ChildStart::kTimeline);
        EXPECT_EQ(call.child.timeline, package->GetTimeline(0));
        EXPECT_EQ(call.child.id, 1);
    }
    // Each linked under the root, in order.
    EXPECT_EQ(Children(root), rig_.creators.built);
    // None without a listener.
    rig_.creators.carriers.clear();
    rig_.PlayAlone(effect);
    Frame();
    EXPECT_TRUE(rig_.creators.carriers.empty());
}

struct EndpointCase {
    uint16_t mode;
    int first;
    int second;
    std::vector<std::pair<uint32_t, uint32_t>> targets;
};

TEST_F(Carriers, EndpointKindsNameListXListYOrOneNullTarget) {
    const EndpointCase cases[] = {
        {0, 0, -1, {{10, 0}, {11, 0}, {12, 0}}},
        {0, 1, -1, {{20, 0}, {21, 0}}},
        {0, 2, -1, {{0, 0}}},
        {0, 3, -1, {}},
        {1, 2, 1, {{0, 20}, {0, 21}}},
        {1, 0, 5, {}},
        {2, -1, -1, {}},
    };
    for (const EndpointCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.first << " " << c.second);
        rig_.creators.carriers.clear();
        const FulgorCore::ObjectHandle effect = Bound(c.mode, c.first, c.second);
        ASSERT_NE(effect.serial, 0u);
        rig_.Play(effect);
        Frame();
        EXPECT_EQ(Targets(), c.targets);
        for (const auto& call : rig_.creators.carriers)
            EXPECT_EQ(call.pair, c.mode == 1);
        EXPECT_EQ(rig_.Release(), 0u);
    }
}

TEST_F(Carriers, AnExhaustedPoolSkipsACarrierAndGoesOn) {
    rig_.creators.build = true;
    const FulgorCore::ObjectHandle effect = Bound(0, 0, -1);
    const FulgorCore::InstanceHandle h = rig_.Play(effect);
    // Room for the root, its draw lists and one carrier.
    testsupport::PoolDrain drain(3);
    Frame();
    EXPECT_EQ(rig_.creators.carriers.size(), 3u);
    EXPECT_EQ(rig_.creators.built.size(), 1u);
    EXPECT_EQ(Children(rig_.Root(h)).size(), 1u);
}

} // namespace
