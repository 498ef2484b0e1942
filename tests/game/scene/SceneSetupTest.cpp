#include "support/FlowSceneRig.h"

#include "engine/graphics/GraphicsDevice.h"
#include "engine/peripheral/InputDevice.h"
#include "game/core/ConfigBlock.h"
#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSetup.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr uint32_t kLives = ConfigBlock::kOffsetLives;
constexpr uint64_t kHour = 60 * 60 * 60;

class SetupTest : public flow_test::FlowRig {
protected:
    SceneSetup* ToEdit() {
        setup = Push<SceneSetup>();
        return setup ? RunUntilState<SceneSetup>(4, 100) : nullptr;
    }
    void SetPlayTime(uint64_t frames) {
        std::memcpy(work->progress + ProgressBlock::kOffsetPlayTime, &frames, 8);
    }
    void Press(uint32_t button) {
        Frame(button);
        Frames(3);
    }
    void GoTo(uint8_t item) {
        while (setup->GetItem() != item)
            Frame(InputManager::kDown);
    }
    uint8_t Working(uint32_t offset) const { return setup->GetWorkingConfig()[offset]; }
    // Left (negative) or right presses on the current item.
    void Step(int times) {
        for (int i = 0; i < (times < 0 ? -times : times); ++i)
            Frame(times < 0 ? InputManager::kLeft : InputManager::kRight);
    }
    // A value's text, from its x to the right column.
    std::string TextAt(float x, float y) const {
        return FlowRig::TextAt(setup->GetTexture(SceneSetup::kFont), y, x, 800);
    }
    // "Config.dat" as the shutdown writes it.
    std::vector<uint8_t> SavedConfig() {
        EXPECT_TRUE(work->SaveAll());
        std::ifstream in(scratch.Root() + "/My Games/Drevanth/Config.dat", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    SceneSetup* setup = nullptr;
};

TEST_F(SetupTest, UnderAnHourLivesRunFromOneToThree) {
    SetPlayTime(kHour - 1);
    ASSERT_NE(ToEdit(), nullptr);
    EXPECT_EQ(setup->GetLargestLives(), 3);
    EXPECT_EQ(Working(kLives), 3);
    const uint32_t moved = SoundCount(3);
    Step(1);
    EXPECT_EQ(Working(kLives), 3);
    Frames(3);
    EXPECT_EQ(SoundCount(3), moved + 1) << "the sound plays at the end of the range too";
    Step(-5);
    EXPECT_EQ(Working(kLives), 1);
    EXPECT_EQ(work->config[kLives], 3) << "a working copy";
}

TEST_F(SetupTest, FromSevenHoursLivesReachTenShownAs255) {
    EXPECT_EQ(SceneSetup::LargestLives(6 * kHour + kHour - 1), 9);
    SetPlayTime(7 * kHour);
    ASSERT_NE(ToEdit(), nullptr);
    EXPECT_EQ(setup->GetLargestLives(), 10);
    Step(9);
    EXPECT_EQ(Working(kLives), 10);
    Frame();
    EXPECT_EQ(TextAt(480, 95), "255");
    Step(-1);
    Frame();
    EXPECT_EQ(TextAt(480, 95), "09");
}

// A damaged "Config.dat" (or lives earned before "Data.dat" was lost) must
// not put the u8s out of the ranges left and right step through.
TEST_F(SetupTest, ValuesOutOfRangeAreClampedAtBegin) {
    work->config[kLives] = 255;
    work->config[ConfigBlock::kOffsetMusicVolume] = 200;
    work->config[ConfigBlock::kOffsetScreenMode] = 7;
    ASSERT_NE(ToEdit(), nullptr);
    EXPECT_EQ(Working(kLives), 3);
    Step(1);
    EXPECT_EQ(Working(kLives), 3) << "not wrapped to 0";
    Frame(InputManager::kDown);
    Step(1);
    EXPECT_EQ(Working(ConfigBlock::kOffsetMusicVolume), 100);
    EXPECT_EQ(Working(ConfigBlock::kOffsetScreenMode), 1);

    work->config[kLives] = 0;
    Frame(InputManager::kUp);
    Frame(InputManager::kUp); // to "back"
    Frame(InputManager::kShot);
    Frames(61);
    ASSERT_NE(Active<SceneSelectGameMenu>(), nullptr);
    setup = Push<SceneSetup>();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(Working(kLives), 1) << "none is not a setting either";
}

TEST_F(SetupTest, VolumesStepSilentlyBetweenZeroAndAHundred) {
    work->config[ConfigBlock::kOffsetSoundVolume] = 1;
    work->config[ConfigBlock::kOffsetVoiceVolume] = 99;
    ASSERT_NE(ToEdit(), nullptr);
    GoTo(SceneSetup::kSoundVolume);
    Frames(3);
    const uint32_t moved = SoundCount(3);
    Step(-3);
    EXPECT_EQ(Working(ConfigBlock::kOffsetSoundVolume), 0);
    Frame(InputManager::kDown);
    Frames(3);
    const uint32_t after = SoundCount(3);
    Step(3);
    EXPECT_EQ(Working(ConfigBlock::kOffsetVoiceVolume), 100);
    Frames(3);
    EXPECT_EQ(SoundCount(3), after);
    EXPECT_EQ(after, moved + 1) << "only the move down sounded";
    Frame();
    EXPECT_EQ(TextAt(480, 251), "100%");
    EXPECT_EQ(TextAt(480, 212), "0%") << "\"%3d%%\": two spaces, the digit and '%'";
}

TEST_F(SetupTest, OkCopiesTheWorkingCopyAndTheSavedFileHasIt) {
    ASSERT_NE(ToEdit(), nullptr);
    const std::vector<uint8_t> before = SavedConfig();
    Step(-1); // lives 2
    Frame(InputManager::kDown);
    Step(-10); // music 90
    GoTo(SceneSetup::kLanguage);
    Step(1); // english
    Frame(InputManager::kDown);
    Step(1);                    // full screen
    Frame(InputManager::kDown); // OK
    Frame(InputManager::kShot);
    EXPECT_EQ(setup->GetState(), 5);
    EXPECT_EQ(setup->GetMusicSlot(), -1);
    EXPECT_FALSE(Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen());
    Frames(60);
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_TRUE(Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen())
        << "the screen mode applies on leaving";
    Mireku::Graphics::SetFullscreen(false);

    const std::vector<uint8_t> after = SavedConfig();
    ASSERT_EQ(after.size(), ConfigBlock::kSize);
    EXPECT_EQ(after[384], 2);
    EXPECT_EQ(after[385], 90);
    EXPECT_EQ(after[386], before[386]);
    EXPECT_EQ(after[388], 1);
    EXPECT_EQ(after[389], 1);
    for (uint32_t k = 0; k < 9; ++k)
        EXPECT_EQ(std::memcmp(&after[208 + 16 * k], &before[208 + 16 * k], 4), 0) << k;
}

TEST_F(SetupTest, BackLeavesTheConfigurationButDefaultHasAlreadyChangedIt) {
    work->config[ConfigBlock::kOffsetMusicVolume] = 10;
    work->config[ConfigBlock::kOffsetSoundVolume] = 20;
    ASSERT_NE(ToEdit(), nullptr);
    Frame(InputManager::kDown);
    Step(5); // music 15 in the working copy only
    GoTo(SceneSetup::kDefault);
    Frames(3);
    const uint32_t moved = SoundCount(3);
    Frame(InputManager::kShot);
    EXPECT_EQ(SoundCount(3), moved + 1);
    EXPECT_EQ(work->config[ConfigBlock::kOffsetMusicVolume], 100) << "the defaults at once";
    EXPECT_EQ(Working(ConfigBlock::kOffsetMusicVolume), 100);
    EXPECT_EQ(work->config[ConfigBlock::kOffsetSoundVolume], 80);
    Frame(InputManager::kUp);
    Step(-1); // the working copy differs again
    GoTo(SceneSetup::kBack);
    Frame(InputManager::kShot);
    Frames(60);
    EXPECT_EQ(work->config[ConfigBlock::kOffsetMusicVolume], 100);
    EXPECT_EQ(work->config[ConfigBlock::kOffsetSoundVolume], 80);
    EXPECT_EQ(work->config[kLives], 3);
    EXPECT_FALSE(Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen());
}

TEST_F(SetupTest, TheButtonsSwitchWithLeftAndRightAndTheCursorWraps) {
    ASSERT_NE(ToEdit(), nullptr);
    Frame(InputManager::kUp);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kBack);
    Frame();
    EXPECT_EQ(SpritesOf(setup->GetTexture(SceneSetup::kBackOn)).size(), 1u);
    EXPECT_EQ(SpritesOf(setup->GetTexture(SceneSetup::kOkOff)).size(), 1u);
    Frame(InputManager::kLeft);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kOk);
    Frame(InputManager::kRight);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kBack);
    Frame(InputManager::kDown);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kLives);
    Frame();
    const std::vector<flow_test::Sprite> ok = SpritesOf(setup->GetTexture(SceneSetup::kOkOff));
    ASSERT_EQ(ok.size(), 1u);
    EXPECT_EQ(ok[0].x0, 902.0f);
    EXPECT_EQ(ok[0].x1, 992.0f);
}

// Bindings captured from a virtual pad, one control after another.
class SetupCapture : public SetupTest {
protected:
    void SetUp() override {
        withInputDevices = true;
        SetupTest::SetUp();
        pad = std::make_unique<input_test::VirtualPad>(input_test::VirtualPad::Controller());
        ASSERT_TRUE(pad->IsAttached());
    }
    void TearDown() override {
        pad.reset();
        SetupTest::TearDown();
    }
    const Mireku::Peripheral::VirtualButton* Button(uint32_t vb) const {
        return Mireku::Peripheral::InputDevice::GetInstance()->GetVirtualButtons().GetButton(
            input->GetRecord(), vb);
    }
    bool HasAnyPadBinding(uint32_t vb) const {
        for (uint32_t code = 0; code < 92; ++code)
            if (Button(vb)->HasPad(code))
                return true;
        return false;
    }
    void Tap(int button) {
        pad->Button(button, true);
        input_test::SyncPads();
        Frame();
        pad->Button(button, false);
        input_test::SyncPads();
        Frame();
    }
    std::unique_ptr<input_test::VirtualPad> pad;
};

TEST_F(SetupCapture, NineControlsAreCapturedAndBound) {
    ASSERT_NE(ToEdit(), nullptr);
    GoTo(SceneSetup::kControls);
    Frame(InputManager::kShot);
    EXPECT_EQ(setup->GetCaptureStep(), 1);
    for (uint32_t vb : SceneSetup::kVirtualButtons)
        EXPECT_FALSE(HasAnyPadBinding(vb)) << vb;
    Frame(InputManager::kUp);
    Frame(InputManager::kDown);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kControls) << "the cursor stays while capturing";

    // Pad codes of the controller layout: 0 start, 1 back, 4 and 5 the
    // shoulders, 6 A, 7 B, 8 X, 9 Y; 37 the left stick to the right.
    const int buttons[8] = {SDL_CONTROLLER_BUTTON_A,
                            SDL_CONTROLLER_BUTTON_B,
                            SDL_CONTROLLER_BUTTON_X,
                            SDL_CONTROLLER_BUTTON_Y,
                            SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                            SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                            SDL_CONTROLLER_BUTTON_START,
                            SDL_CONTROLLER_BUTTON_BACK};
    const uint32_t codes[9] = {6, 7, 8, 9, 4, 5, 0, 1, 37};
    for (int i = 0; i < 8; ++i) {
        Tap(buttons[i]);
        EXPECT_EQ(setup->GetCaptureStep(), i + 2) << i;
    }
    Frame();
    EXPECT_EQ(TextAt(480, 325 + 31 * 0), "button-07");
    pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, SDL_JOYSTICK_AXIS_MAX);
    input_test::SyncPads();
    Frame();
    pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    input_test::SyncPads();
    EXPECT_EQ(setup->GetCaptureStep(), 0) << "the ninth ends the capture";
    for (uint32_t k = 0; k < 9; ++k) {
        EXPECT_EQ(ConfigBlock::Binding(setup->GetWorkingConfig(), k, 0),
                  static_cast<int32_t>(codes[k]))
            << k;
        EXPECT_TRUE(Button(SceneSetup::kVirtualButtons[k])->HasPad(codes[k])) << k;
    }
    Frame();
    EXPECT_EQ(TextAt(480, 325 + 31 * 8), "axis-06");
}

TEST_F(SetupCapture, CancelAndEscapeAbandonTheCaptureLeavingTheBindingsCleared) {
    ASSERT_NE(ToEdit(), nullptr);
    GoTo(SceneSetup::kControls);
    Frame(InputManager::kShot);
    Tap(SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(setup->GetCaptureStep(), 2);
    Frame(InputManager::kExWeapon);
    EXPECT_EQ(setup->GetCaptureStep(), 0);
    Tap(SDL_CONTROLLER_BUTTON_X);
    EXPECT_EQ(ConfigBlock::Binding(setup->GetWorkingConfig(), 1, 0), 35) << "not captured";
    EXPECT_FALSE(HasAnyPadBinding(16)) << "up stays cleared";

    Frame(InputManager::kShot);
    EXPECT_EQ(setup->GetCaptureStep(), 1) << "again from \"up\"";
    input_test::Key(SDL_SCANCODE_ESCAPE, true);
    Frame();
    input_test::Key(SDL_SCANCODE_ESCAPE, false);
    EXPECT_EQ(setup->GetCaptureStep(), 0);
}

} // namespace
