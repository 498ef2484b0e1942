#include "engine/peripheral/MouseDevice.h"
#include "engine/peripheral/PadDevice.h"
#include "support/InputDeviceFixture.h"

using namespace Mireku::Peripheral;
using input_test::SyncPads;
using input_test::VirtualPad;

using InputDevices = InputDeviceFixture;

TEST_F(InputDevices, StickPastTheDeadZonePressesAndHalfBelowDoesNot) {
    VirtualPad pad = VirtualPad::Controller();
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 16384);  // half right
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -13107); // 0.4 up
    SyncPads();
    Frame();
    const PadDevice* pads = PadDevice::GetInstance();
    EXPECT_NEAR(pads->GetValue(0, 37), 0.375f, 1e-3f);
    EXPECT_EQ(pads->GetState(0, 37), kButtonPressed);
    EXPECT_NEAR(pads->GetValue(0, 38), 0.25f, 1e-3f);
    EXPECT_EQ(pads->GetState(0, 38), kButtonUp);
    EXPECT_EQ(pads->GetState(16, 37), 0u);
    EXPECT_EQ(pads->GetValue(1, 37), 0.0f);
}

TEST_F(InputDevices, PadPluggedInWhileRunningIsRead) {
    Frame();
    EXPECT_FALSE(PadDevice::GetInstance()->GetPad(0)->IsConnected());
    VirtualPad pad = VirtualPad::Joystick(2, 4, 1);
    pad.Hat(SDL_HAT_RIGHT);
    pad.Button(3, true);
    SyncPads();
    Frame();
    const PadDevice* pads = PadDevice::GetInstance();
    EXPECT_TRUE(pads->GetPad(0)->IsConnected());
    EXPECT_FALSE(pads->GetPad(0)->IsController());
    EXPECT_EQ(pads->GetState(0, 89), kButtonPressed); // hat right
    EXPECT_EQ(pads->GetState(0, 3), kButtonPressed);
    EXPECT_EQ(pads->GetState(0, 88), kButtonUp);
}

TEST_F(InputDevices, MouseButtonsAndMovementPerFrame) {
    auto push = [](Uint32 type, Uint8 button, int x, int y) {
        SDL_Event e;
        std::memset(&e, 0, sizeof(e));
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.button = button;
            e.button.x = x;
            e.button.y = y;
        }
        SDL_PushEvent(&e);
        input_test::Sync();
    };
    const MouseDevice* mouse = MouseDevice::GetInstance();
    push(SDL_MOUSEMOTION, 0, 10, 20);
    Frame();
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 15, 18);
    Frame();
    EXPECT_EQ(mouse->GetX(), 15);
    EXPECT_EQ(mouse->GetY(), 18);
    EXPECT_EQ(mouse->GetDeltaX(), 5);
    EXPECT_EQ(mouse->GetDeltaY(), -2);
    EXPECT_EQ(mouse->GetLeft(), 2u);
    EXPECT_EQ(mouse->GetMiddle(), 0u);
    Frame();
    EXPECT_EQ(mouse->GetLeft(), 3u);
    EXPECT_EQ(mouse->GetDeltaX(), 0);
    push(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 15, 18);
    Frame();
    EXPECT_EQ(mouse->GetLeft(), 1u);
    Frame();
    EXPECT_EQ(mouse->GetLeft(), 0u);
}
