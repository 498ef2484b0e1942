#include "engine/peripheral/VirtualButton.h"
#include "engine/peripheral/KeyboardDevice.h"
#include "support/InputDeviceFixture.h"

#include <vector>

using namespace Mireku::Peripheral;
using input_test::Key;

TEST(VirtualButton, RepeatPulsesOnlyWhileHeldAfterDelayThenEveryInterval) {
    VirtualButton b;
    b.EnableRepeat();
    std::vector<int> pulses;
    for (int frame = 0; frame < 50; ++frame) {
        b.Advance(1.0f);
        if (frame == 0)
            EXPECT_EQ(b.GetState(), kButtonPressed);
        else
            EXPECT_EQ(b.GetState(), kButtonHeld);
        if (b.GetRepeatPulse())
            pulses.push_back(frame);
        EXPECT_EQ(b.IsPressed(), frame == 0 || b.GetRepeatPulse());
    }
    EXPECT_EQ(pulses, (std::vector<int>{31, 37, 43, 49}));

    // Letting go starts the count again.
    b.Advance(0.0f);
    EXPECT_TRUE(b.IsReleased());
    for (int frame = 0; frame < 31; ++frame) {
        b.Advance(1.0f);
        EXPECT_FALSE(b.GetRepeatPulse()) << frame;
    }
    b.Advance(1.0f);
    EXPECT_TRUE(b.GetRepeatPulse());
}

TEST(VirtualButton, WithoutRepeatOnlyThePressFrameIsPressed) {
    VirtualButton b;
    for (int frame = 0; frame < 60; ++frame) {
        b.Advance(0.9f);
        EXPECT_EQ(b.IsPressed(), frame == 0);
    }
}

TEST(VirtualButton, OutOfRangeCodesAreNotBound) {
    VirtualButton b;
    b.BindKey(kKeyCodeCount);
    b.BindPad(PadRecord::kControlCount);
    b.BindPad(0xFFFFFFFFu);
    b.BindPad(91);
    b.BindKey(143);
    EXPECT_FALSE(b.HasKey(kKeyCodeCount));
    EXPECT_FALSE(b.HasPad(PadRecord::kControlCount));
    EXPECT_TRUE(b.HasPad(91));
    EXPECT_TRUE(b.HasKey(143));
    b.ClearPadBindings();
    EXPECT_FALSE(b.HasPad(91));
    EXPECT_TRUE(b.HasKey(143));
}

using VirtualButtons = InputDeviceFixture;

TEST_F(VirtualButtons, KeyPressOfOneFrameGoesPressedReleasedUp) {
    const uint32_t r = Buttons().AddRecord(0);
    Buttons().BindKey(r, 5, kKeyZ);
    Buttons().BindKey(r, 5, kKeyZ); // twice is once
    Frame();
    EXPECT_EQ(Buttons().GetButton(r, 5)->GetState(), kButtonUp);

    Key(SDL_SCANCODE_Z, true);
    Frame();
    EXPECT_TRUE(KeyboardDevice::GetInstance()->IsDown(kKeyZ));
    EXPECT_TRUE(KeyboardDevice::GetInstance()->IsScanCodeDown(0x2C));
    EXPECT_EQ(Buttons().GetButton(r, 5)->GetState(), kButtonPressed);
    EXPECT_EQ(Buttons().GetButton(r, 5)->GetValue(), 1.0f);
    EXPECT_TRUE(Buttons().IsPressed(r, 5));
    Key(SDL_SCANCODE_Z, false);
    Frame();
    EXPECT_TRUE(Buttons().IsReleased(r, 5));
    Frame();
    EXPECT_EQ(Buttons().GetButton(r, 5)->GetState(), kButtonUp);
    // A button bound to nothing never moved.
    EXPECT_EQ(Buttons().GetButton(r, 6)->GetState(), kButtonUp);
}

TEST_F(VirtualButtons, HeldKeyRepeatsOnFrames31And37) {
    const uint32_t r = Buttons().AddRecord(0);
    Buttons().BindKey(r, 16, kKeyUp);
    Buttons().BindKey(r, 16, kKeyNumpad8);
    Buttons().EnableRepeat(r, 16);
    Key(SDL_SCANCODE_KP_8, true);
    std::vector<int> pressed;
    for (int frame = 0; frame < 40; ++frame) {
        Frame();
        if (Buttons().IsPressed(r, 16))
            pressed.push_back(frame);
        EXPECT_EQ(Buttons().IsHeld(r, 16), frame > 0);
    }
    EXPECT_EQ(pressed, (std::vector<int>{0, 31, 37}));
    // The second key of the button keeps it held while the first goes up.
    Key(SDL_SCANCODE_UP, true);
    Key(SDL_SCANCODE_KP_8, false);
    Frame();
    EXPECT_TRUE(Buttons().IsHeld(r, 16));
    Key(SDL_SCANCODE_UP, false);
    Frame();
    EXPECT_TRUE(Buttons().IsReleased(r, 16));
}

TEST_F(VirtualButtons, RecordsReadTheirOwnPad) {
    input_test::VirtualPad pad = input_test::VirtualPad::Controller();
    const uint32_t first = Buttons().AddRecord(0);
    const uint32_t second = Buttons().AddRecord(1);
    const uint32_t far = Buttons().AddRecord(0xFFFFFFFFu);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, 1u);
    for (uint32_t r : {first, second, far})
        Buttons().BindPad(r, 0, 6); // A
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    input_test::SyncPads();
    Frame();
    EXPECT_TRUE(Buttons().IsPressed(first, 0));
    EXPECT_FALSE(Buttons().IsPressed(second, 0));
    EXPECT_FALSE(Buttons().IsPressed(far, 0));
    // Records and buttons that do not exist read as up.
    EXPECT_FALSE(Buttons().IsPressed(7, 0));
    EXPECT_FALSE(Buttons().IsHeld(first, 32));
    EXPECT_EQ(Buttons().GetButton(first, 32), nullptr);

    Buttons().ClearPadBindings(first, 0);
    Frame();
    EXPECT_TRUE(Buttons().IsReleased(first, 0));
}
