#include "support/InputTestSupport.h"

#include <gtest/gtest.h>

using namespace input_test;

namespace {

class SysInput : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loop_.IsOpen());
        ASSERT_TRUE(sys::StartInput());
    }
    void TearDown() override { sys::StopInput(); }

    static sys::PadState Pad(unsigned slot) {
        sys::PadState pads[sys::kPadSlots];
        sys::ReadPads(pads);
        return pads[slot];
    }

    WindowLoop loop_;
};

} // namespace

TEST(SysInputScanCodes, FollowThePcLayout) {
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_ESCAPE), 0x01);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_Z), 0x2C);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_A), 0x1E);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_KP_8), 0x48);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_UP), 0xC8);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_DOWN), 0xD0);
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_INTERNATIONAL3), 0x7D);
    // Keys without a scan code, and nonsense, read as none.
    EXPECT_EQ(sys::ScanCodeOf(SDL_SCANCODE_F24), 0);
    EXPECT_EQ(sys::ScanCodeOf(-5), 0);
    EXPECT_EQ(sys::ScanCodeOf(SDL_NUM_SCANCODES), 0);
}

TEST_F(SysInput, KeyEventsSetAndClearTheirScanCode) {
    Key(SDL_SCANCODE_Z, true);
    Key(SDL_SCANCODE_UP, true);
    Key(SDL_SCANCODE_F24, true); // no scan code: changes nothing
    uint8_t keys[sys::kKeyCount];
    sys::ReadKeyboard(keys);
    for (unsigned k = 0; k < sys::kKeyCount; ++k)
        EXPECT_EQ(keys[k], (k == 0x2C || k == 0xC8) ? 0x80 : 0) << "scan code " << k;

    Key(SDL_SCANCODE_Z, false);
    sys::ReadKeyboard(keys);
    EXPECT_EQ(keys[0x2C], 0);
    EXPECT_EQ(keys[0xC8], 0x80);
}

TEST_F(SysInput, MouseKeepsPositionButtonsAndWheel) {
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 120;
    e.motion.y = 45;
    SDL_PushEvent(&e);
    std::memset(&e, 0, sizeof(e));
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 121;
    e.button.y = 46;
    SDL_PushEvent(&e);
    std::memset(&e, 0, sizeof(e));
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 3;
    SDL_PushEvent(&e);
    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    SDL_PushEvent(&e);
    Sync();

    sys::MouseState m;
    sys::ReadMouse(m);
    EXPECT_EQ(m.x, 121);
    EXPECT_EQ(m.y, 46);
    EXPECT_FALSE(m.left);
    EXPECT_TRUE(m.right);
    EXPECT_FALSE(m.middle);
    EXPECT_EQ(m.wheel, 2);

    std::memset(&e, 0, sizeof(e));
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_RIGHT;
    SDL_PushEvent(&e);
    Sync();
    sys::ReadMouse(m);
    EXPECT_FALSE(m.right);
}

TEST_F(SysInput, KnownControllerReadsInTheFixedLayout) {
    VirtualPad pad = VirtualPad::Controller();
    ASSERT_TRUE(pad.IsAttached());
    sys::PadState s = Pad(0);
    ASSERT_EQ(s.kind, sys::PadKind::Controller);
    EXPECT_EQ(s.controller.buttons, 0);
    EXPECT_EQ(s.controller.leftTrigger, 0);
    EXPECT_EQ(s.controller.rightTrigger, 0);

    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 16384);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);   // down
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, -32768); // up
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MAX);
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    SyncPads();
    s = Pad(0);
    EXPECT_EQ(s.controller.leftX, 16384);
    EXPECT_EQ(s.controller.leftY, -32767); // up positive, as the engine expects
    EXPECT_EQ(s.controller.rightY, 32767);
    EXPECT_EQ(s.controller.rightTrigger, 255);
    EXPECT_EQ(s.controller.leftTrigger, 0);
    EXPECT_EQ(s.controller.buttons, sys::kPadA | sys::kPadUp | sys::kPadStart);

    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    SyncPads();
    EXPECT_EQ(Pad(0).controller.buttons, sys::kPadUp | sys::kPadStart);
}

TEST_F(SysInput, UnknownDeviceReadsAsRawJoystick) {
    VirtualPad pad = VirtualPad::Joystick(3, 4, 1);
    ASSERT_TRUE(pad.IsAttached());
    sys::PadState s = Pad(0);
    ASSERT_EQ(s.kind, sys::PadKind::Joystick);
    EXPECT_EQ(s.axisMask, 0x7u);
    EXPECT_EQ(s.joystick.hat, sys::kHatCentred);

    pad.Axis(0, -32768);
    pad.Axis(2, 1000);
    pad.Button(2, true);
    pad.Hat(SDL_HAT_RIGHT);
    SyncPads();
    s = Pad(0);
    EXPECT_EQ(s.joystick.axes[0], -32768);
    EXPECT_EQ(s.joystick.axes[1], 0);
    EXPECT_EQ(s.joystick.axes[2], 1000);
    EXPECT_EQ(s.joystick.hat, 9000u);
    EXPECT_EQ(s.joystick.buttons[2], 0x80);
    EXPECT_EQ(s.joystick.buttons[0], 0);

    pad.Hat(SDL_HAT_LEFTUP);
    SyncPads();
    EXPECT_EQ(Pad(0).joystick.hat, 31500u);
    pad.Hat(SDL_HAT_CENTERED);
    SyncPads();
    EXPECT_EQ(Pad(0).joystick.hat, sys::kHatCentred);
}

TEST_F(SysInput, PadsTakeTheLowestFreeSlotAndLeaveItOnRemoval) {
    VirtualPad first = VirtualPad::Controller();
    VirtualPad second = VirtualPad::Joystick(2, 2, 0);
    EXPECT_EQ(Pad(0).kind, sys::PadKind::Controller);
    EXPECT_EQ(Pad(1).kind, sys::PadKind::Joystick);
    const uint32_t firstArrival = Pad(0).arrival;

    second.Button(1, true);
    SyncPads();
    first.Detach();
    EXPECT_EQ(Pad(0).kind, sys::PadKind::None);
    EXPECT_EQ(Pad(0).controller.buttons, 0);
    // The other pad keeps its slot and its state.
    EXPECT_EQ(Pad(1).kind, sys::PadKind::Joystick);
    EXPECT_EQ(Pad(1).joystick.buttons[1], 0x80);

    VirtualPad third = VirtualPad::Joystick(1, 1, 0);
    EXPECT_EQ(Pad(0).kind, sys::PadKind::Joystick);
    EXPECT_NE(Pad(0).arrival, firstArrival);
    EXPECT_EQ(Pad(2).kind, sys::PadKind::None);
}

TEST(SysInputStart, PadsAttachedBeforeStartAreThereAtOnce) {
    WindowLoop loop;
    ASSERT_TRUE(loop.IsOpen());
    OnWindowThread([] { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0); });
    {
        VirtualPad pad = VirtualPad::Joystick(2, 2, 0);
        ASSERT_TRUE(pad.IsAttached());
        ASSERT_TRUE(sys::StartInput());
        sys::PadState pads[sys::kPadSlots];
        sys::ReadPads(pads);
        EXPECT_EQ(pads[0].kind, sys::PadKind::Joystick);
        EXPECT_EQ(pads[0].axisMask, 0x3u);
    }
    sys::StopInput();
    sys::PadState pads[sys::kPadSlots];
    sys::ReadPads(pads);
    EXPECT_EQ(pads[0].kind, sys::PadKind::None);
    OnWindowThread([] { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); });
}
