// Extra timelines started on demand: their ids, their clocks alone or
// with a binding, and the numbers that start nothing.
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/TimelineUnit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FulgorCore::InstanceRootUnit;
using FulgorCore::UnitInstance;
using testsupport::AddTimeline;
using testsupport::ChildIds;
using testsupport::Children;
using testsupport::Frame;
using testsupport::TreeEffect;
namespace Engine = FulgorCore::Engine;

class ExtraTimelines : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        effecttools::EffectFileValue f = TreeEffect("vfx/extra.vfxb");
        const int16_t sixty = AddTimeline(f, 60, {});
        const int16_t endless = AddTimeline(f, 0, {});
        effecttools::BindValue bind;
        bind.mode = 0;
        bind.life = 120;
        f.package.binds.push_back(bind);
        // 1: sixty, 2: sixty over the binding, 3: endless, 4: endless over
        // the binding, 5: empty, 6-14: sixty.
        f.package.triggers.assign(14, {sixty, std::nullopt});
        f.package.triggers[1] = {sixty, int16_t{0}};
        f.package.triggers[2] = {endless, std::nullopt};
        f.package.triggers[3] = {endless, int16_t{0}};
        f.package.triggers[4] = {int16_t{-1}, std::nullopt};
        effect_ = rig_.Load(f);
        rig_.listener.targetsX = {9};
        const FulgorCore::InstanceHandle h = rig_.Play(effect_);
        Frame();
        root_ = rig_.Root(h);
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }
    const FulgorCore::PackageResource* Package() const {
        return Engine::GetWorkData()->objects.base[effect_.index].package;
    }

    testsupport::UnitTreeRig rig_;
    FulgorCore::ObjectHandle effect_;
    InstanceRootUnit* root_ = nullptr;
};

TEST_F(ExtraTimelines, NumberNCarriesTheIdMinusN) {
    root_->StartExtraTimeline(1);
    root_->StartExtraTimeline(14);
    EXPECT_EQ(ChildIds(root_), (std::vector<int>{-1, -14}));
    for (UnitInstance* unit : Children(root_)) {
        EXPECT_EQ(unit->GetKind(), UnitInstance::kTimeline);
        EXPECT_EQ(unit->lifetime, 60.0f);
        EXPECT_EQ(unit->speed, 1.0f);
        EXPECT_EQ(unit->parent, root_);
        EXPECT_EQ(static_cast<FulgorCore::TimelineUnit*>(unit)->timeline,
                  Package()->GetTimeline(0));
    }
}

TEST_F(ExtraTimelines, ABindingsLifePlaysWithinTheTimelinesLength) {
    root_->StartExtraTimeline(2);
    root_->StartExtraTimeline(4);
    EXPECT_EQ(root_->firstChild, nullptr); // only carriers, none built
    ASSERT_EQ(rig_.creators.carriers.size(), 2u);
    const auto& within = rig_.creators.carriers[0];
    EXPECT_EQ(within.state.speed, 2.0f); // "Life" 120 over "Len" 60
    EXPECT_EQ(within.state.lifetime, 60.0f);
    EXPECT_EQ(within.state.timeMode, UnitInstance::kEndAtTime);
    EXPECT_EQ(within.state.speed * within.state.lifetime, 120.0f);
    EXPECT_EQ(within.child.id, -2);
    EXPECT_EQ(within.child.timeline, Package()->GetTimeline(0));
    EXPECT_EQ(within.targetA, 9u);
    const auto& endless = rig_.creators.carriers[1];
    EXPECT_EQ(endless.state.speed, 1.0f);
    EXPECT_EQ(endless.state.lifetime, 120.0f);
    EXPECT_EQ(endless.state.timeMode, UnitInstance::kEndless);
    EXPECT_EQ(endless.child.id, -4);
    EXPECT_EQ(endless.child.timeline, Package()->GetTimeline(1));
}

TEST_F(ExtraTimelines, ALengthOfZeroNeverEndsByTime) {
    root_->StartExtraTimeline(3);
    root_->StartExtraTimeline(1);
    for (int i = 0; i < 500; ++i)
        Frame();
    EXPECT_EQ(ChildIds(root_), std::vector<int>{-3});
    EXPECT_EQ(root_->firstChild->alive, 1);
}

TEST_F(ExtraTimelines, OneNumberTwicePlaysTwiceSideBySide) {
    root_->StartExtraTimeline(7);
    Frame();
    root_->StartExtraTimeline(7);
    EXPECT_EQ(ChildIds(root_), (std::vector<int>{-7, -7}));
    const std::vector<UnitInstance*> both = Children(root_);
    EXPECT_NE(both[0], both[1]);
    EXPECT_EQ(both[0]->time, 1.0f);
    EXPECT_EQ(both[1]->time, 0.0f);
}

TEST_F(ExtraTimelines, EmptyEntriesAndNumbersOutsideTheTableStartNothing) {
    for (int32_t n : {5, 0, 15, -1, 1000, -2147483647 - 1})
        root_->StartExtraTimeline(n);
    EXPECT_EQ(root_->firstChild, nullptr);
    EXPECT_TRUE(rig_.creators.carriers.empty());
}

} // namespace
