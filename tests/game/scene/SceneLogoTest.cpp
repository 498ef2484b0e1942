#include "support/FlowSceneRig.h"
#include "support/vfx/VfxControllerRig.h"

#include "effects/Core/Engine/Engine.h"
#include "game/core/InputManager.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/SceneTitle.h"

namespace {

using flow_test::RecordingVfxInstance;
using Call = RecordingVfxInstance::Call;

constexpr const char* kLogos[] = {"vfx/logo_ovk.vfxb", "vfx/logo_brondel_velmora.vfxb",
                                  "vfx/logo_fulgor.vfxb"};

class LogoTest : public flow_test::FlowRig {
protected:
    SceneLogo* Start() {
        driver->CreateScene<SceneLogo>();
        Frame();
        return Active<SceneLogo>();
    }
};

TEST_F(LogoTest, EffectsThatEndPassOneAfterAnotherIntoTheTitle) {
    SceneLogo* logo = Start();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(driver->GetFadeLevel(), 0) << "a one-frame fade clears the screen at once";
    RecordingVfxInstance* background = RecordingVfxInstance::Find("vfx/logo_bg.vfxb");
    ASSERT_NE(background, nullptr) << "the effect files come from the generated data";
    EXPECT_EQ(background->calls, (std::vector<Call>{{RecordingVfxInstance::kPlay, 0}}));
    std::vector<RecordingVfxInstance*> logos;
    for (const char* name : kLogos) {
        logos.push_back(RecordingVfxInstance::Find(name));
        ASSERT_NE(logos.back(), nullptr) << name;
    }

    // Each logo plays on effect layer 1 for as long as its effect runs (here
    // one frame), is stopped, and the next one starts the frame after.
    const uint32_t decided = SoundCount(4);
    int frames = 1;
    while (!driver->IsFading() && frames < 20) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 7);
    using K = RecordingVfxInstance::Kind;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(logos[i]->calls, (std::vector<Call>{{K::kPlay, 1}, {K::kStop, 0}})) << i;
    EXPECT_EQ(logos[2]->calls, (std::vector<Call>{{K::kPlay, 1}}))
        << "the last logo plays on under the fade";
    EXPECT_EQ(SoundCount(4), decided + 1);

    // The 60-frame fade to black, then the title.
    Frames(59);
    EXPECT_EQ(driver->GetFadeLevel(), 255);
    EXPECT_NE(Active<SceneLogo>(), nullptr);
    EXPECT_EQ(Active<SceneTitle>(), nullptr);
    Frame();
    EXPECT_NE(Active<SceneTitle>(), nullptr);
    EXPECT_EQ(Active<SceneLogo>(), nullptr) << "ended and deleted";
    EXPECT_EQ(RecordingVfxInstance::Find("vfx/logo_bg.vfxb"), nullptr) << "its effects released";
}

TEST_F(LogoTest, ShotSkipsEachPlayingLogoAndTheLastStartsTheFade) {
    RecordingVfxInstance::Held() = true;
    SceneLogo* logo = Start();
    ASSERT_NE(logo, nullptr);
    for (int i = 0; i < 3; ++i) {
        RecordingVfxInstance* current = RecordingVfxInstance::Find(kLogos[i]);
        Frame(); // the logo starts
        Frames(10);
        EXPECT_EQ(current->GetState(), VfxInstance::kPlaying) << i;
        EXPECT_EQ(logo->GetLogoIndex(), i + 1) << "held: it does not pass by itself";
        EXPECT_FALSE(driver->IsFading());
        Frame(InputManager::kShot);
        if (i < 2) {
            EXPECT_EQ(current->calls.back().kind, RecordingVfxInstance::kStop) << i;
            EXPECT_EQ(logo->GetLogoIndex(), i + 2);
            Frame();
            EXPECT_EQ(RecordingVfxInstance::Find(kLogos[i + 1])->calls.back().kind,
                      RecordingVfxInstance::kPlay)
                << "the next logo starts in the next frame";
        } else {
            EXPECT_TRUE(driver->IsFading()) << "the fade starts in the frame of the shot";
            EXPECT_EQ(current->Count(RecordingVfxInstance::kStop), 0u);
            EXPECT_EQ(current->GetState(), VfxInstance::kPlaying);
        }
    }
    Frames(58);
    EXPECT_EQ(Active<SceneTitle>(), nullptr);
    Frame();
    EXPECT_EQ(driver->GetFadeLevel(), 255);
    Frame();
    EXPECT_NE(Active<SceneTitle>(), nullptr);
}

// A missing logo effect is a null instance: it counts as not playing, so
// the logo passes instead of crashing.
class LogoWithoutFiles : public flow_test::FlowRig {
protected:
    void SetUp() override {
        looseRoot = empty.Root();
        FlowRig::SetUp();
    }
    testsupport::ScratchFolder empty;
};

TEST_F(LogoWithoutFiles, MissingEffectsCountAsNotPlayingAndTheLogoPasses) {
    driver->CreateScene<SceneLogo>();
    Frame();
    SceneLogo* logo = Active<SceneLogo>();
    ASSERT_NE(logo, nullptr);
    for (uint32_t i = 0; i < SceneLogo::kEffectCount; ++i)
        EXPECT_EQ(logo->GetInstance(i), nullptr);
    EXPECT_TRUE(RunUntil([this] { return Active<SceneTitle>() != nullptr; }, 80));
}

// The game's own effect instances on the generated logo effects, with the
// runtime on the recording device: each logo passes when its effect's life
// of 240 frames is over.
class LogoWithEffects : public flow_test::FlowRig {
protected:
    void SetUp() override {
        realEffects = true;
        deviceMaker = testsupport::NewRecordingDevice;
        FlowRig::SetUp();
    }
};

TEST_F(LogoWithEffects, EachLogoPassesByItsLife) {
    driver->CreateScene<SceneLogo>();
    Frame();
    SceneLogo* logo = Active<SceneLogo>();
    ASSERT_NE(logo, nullptr);
    ASSERT_TRUE(FulgorCore::Engine::IsStarted());
    VfxInstance* background = logo->GetInstance(SceneLogo::kBackground);
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetLayer(), VfxInstance::kLayerUnder);
    for (int32_t index = 1; index <= 3; ++index) {
        ASSERT_TRUE(RunUntil([&] { return logo->GetLogoIndex() == index; }, 10)) << index;
        VfxInstance* current = logo->GetInstance(static_cast<uint32_t>(index));
        int frames = 0;
        while (logo->GetLogoIndex() == index && !driver->IsFading() && frames < 400) {
            Frame();
            ++frames;
            if (frames == 10) {
                EXPECT_EQ(current->GetState(), VfxInstance::kPlaying) << index;
                EXPECT_EQ(current->GetLayer(), VfxInstance::kLayerOver) << index;
                EXPECT_NE(current->GetHandle().serial, 0u) << index;
            }
        }
        EXPECT_GE(frames, 240) << "logo " << index << " plays its life";
        EXPECT_LE(frames, 245) << "logo " << index << " passes when it ends";
    }
    EXPECT_TRUE(driver->IsFading()) << "the last logo starts the fade";
    EXPECT_TRUE(RunUntil([this] { return Active<SceneTitle>() != nullptr; }, 70));
}

// Effects off: the runtime refused to start, so no logo's effect ever
// plays; each counts as ended at once and the logos pass by themselves.
class LogoEffectsOff : public flow_test::FlowRig {
protected:
    void SetUp() override {
        realEffects = true;
        deviceMaker = testsupport::NoDevice;
        FlowRig::SetUp();
    }
};

TEST_F(LogoEffectsOff, EachLogoPassesWithoutWaitingForShot) {
    driver->CreateScene<SceneLogo>();
    Frame();
    SceneLogo* logo = Active<SceneLogo>();
    ASSERT_NE(logo, nullptr);
    EXPECT_FALSE(FulgorCore::Engine::IsStarted());
    EXPECT_TRUE(RunUntil([&] { return driver->IsFading(); }, 12)) << "no logo stalls";
    EXPECT_EQ(logo->GetLogoIndex(), 3);
    for (uint32_t index = 1; index <= 3; ++index) {
        EXPECT_EQ(logo->GetInstance(index)->GetHandle().serial, 0u) << index;
        EXPECT_FALSE(logo->GetInstance(index)->IsPlaying()) << index;
    }
    EXPECT_TRUE(RunUntil([this] { return Active<SceneTitle>() != nullptr; }, 70));
}

} // namespace
