#include "game/vfx/VfxInstance.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An instance whose effect is running, as the runtime would leave it.
class RunningInstance : public VfxInstance {
public:
    using VfxInstance::VfxInstance;
    void Run() { state_ = kPlaying; }
};

class VfxInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { data = vfx.LoadData(kImage, sizeof kImage, "setup/setup.vfxb"); }
    void TearDown() override {
        if (data)
            data->Release();
    }
    static constexpr uint8_t kImage[4] = {1, 2, 3, 4};
    VfxController vfx;
    VfxData* data = nullptr;
};

TEST_F(VfxInstanceTest, PlayRequestsAStartUnlessTheEffectIsRunning) {
    RunningInstance instance(data);
    EXPECT_EQ(instance.GetState(), VfxInstance::kNew);
    EXPECT_FALSE(instance.IsPlaying());
    instance.Play(7, VfxInstance::kLayerOver);
    EXPECT_EQ(instance.GetState(), VfxInstance::kPlayRequested);
    EXPECT_TRUE(instance.IsPlaying());
    EXPECT_EQ(instance.GetLayer(), 1u);
    EXPECT_EQ(instance.GetStartFrame(), 0u);
    instance.Play(0, VfxInstance::kLayerUnder);
    EXPECT_EQ(instance.GetLayer(), 0u) << "a request not yet started is renewed";

    instance.Run();
    EXPECT_TRUE(instance.IsPlaying());
    instance.Play(0, VfxInstance::kLayerOver);
    EXPECT_EQ(instance.GetState(), VfxInstance::kPlaying);
    EXPECT_EQ(instance.GetLayer(), 0u) << "a running effect is left alone";
}

TEST_F(VfxInstanceTest, StopEndsARunningEffectOrWithdrawsARequest) {
    RunningInstance instance(data);
    instance.Stop();
    EXPECT_EQ(instance.GetState(), VfxInstance::kNew);
    instance.Play(0, 0);
    instance.Stop();
    EXPECT_EQ(instance.GetState(), VfxInstance::kNew) << "before the start: back to new";
    instance.Run();
    instance.Stop();
    EXPECT_EQ(instance.GetState(), VfxInstance::kStopped);
    instance.Stop();
    EXPECT_EQ(instance.GetState(), VfxInstance::kStopped) << "stopped stays stopped";
    EXPECT_FALSE(instance.IsPlaying());
}

TEST_F(VfxInstanceTest, TriggerBitsAccumulateWithinTheWord) {
    RunningInstance instance(data);
    instance.SetParameter(1);
    instance.SetParameter(13);
    instance.SetParameter(31);
    instance.SetParameter(32);
    EXPECT_EQ(instance.GetTriggers(), 0x80002002u);
}

TEST_F(VfxInstanceTest, TheControllerStepsLiveInstancesAndAnEmptyEffectEndsAtOnce) {
    VfxInstance* a = vfx.CreateInstance(data);
    VfxInstance* b = vfx.CreateInstance(data);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(data->GetRefCount(), 3u) << "each instance holds its effect";
    a->Play(0, 0);
    b->Play(0, 1);
    b->Release();
    vfx.Update(); // a released instance is no longer stepped
    EXPECT_EQ(a->GetState(), VfxInstance::kStopped)
        << "no unit to play: the requested play stops at the next update";
    vfx.Update();
    EXPECT_EQ(a->GetState(), VfxInstance::kStopped);
    a->Release();
    EXPECT_EQ(data->GetRefCount(), 1u);
}

TEST_F(VfxInstanceTest, NothingIsMadeOfNothing) {
    EXPECT_EQ(vfx.LoadData(nullptr, 16, "x"), nullptr);
    EXPECT_EQ(vfx.LoadData(kImage, 0, "x"), nullptr);
    EXPECT_EQ(vfx.CreateInstance(static_cast<VfxData*>(nullptr)), nullptr);
    EXPECT_STREQ(data->GetName(), "setup/setup.vfxb");
    const std::string longName(100, 'n');
    VfxData* cut = vfx.LoadData(kImage, sizeof kImage, longName.c_str());
    EXPECT_EQ(std::string(cut->GetName()), longName.substr(0, VfxData::kNameLength));
    cut->Release();
}

TEST(VfxControllerLife, InstancesMayOutliveTheController) {
    static constexpr uint8_t kImage[1] = {0};
    VfxInstance* orphan = nullptr;
    VfxData* data = nullptr;
    {
        VfxController vfx;
        data = vfx.LoadData(kImage, 1, "logo");
        orphan = vfx.CreateInstance(data);
    }
    orphan->Play(0, 0);
    orphan->Release();
    data->Release();
}

} // namespace
