#include "engine/peripheral/PadRecord.h"
#include "engine/peripheral/ButtonState.h"

#include <gtest/gtest.h>

using Mireku::Peripheral::PadRecord;
namespace P = Mireku::Peripheral;

namespace {

sys::PadState Controller() {
    sys::PadState s;
    s.kind = sys::PadKind::Controller;
    s.arrival = 1;
    return s;
}

sys::PadState Joystick(uint32_t axisMask) {
    sys::PadState s;
    s.kind = sys::PadKind::Joystick;
    s.arrival = 1;
    s.axisMask = axisMask;
    return s;
}

} // namespace

TEST(PadRecord, DeadZoneMapsTheFirstFifthToNothing) {
    EXPECT_FLOAT_EQ(PadRecord::DeadZone(0.5f), 0.375f);
    EXPECT_FLOAT_EQ(PadRecord::DeadZone(0.4f), 0.25f);
    EXPECT_EQ(PadRecord::DeadZone(0.2f), 0.0f);
    EXPECT_EQ(PadRecord::DeadZone(-1.0f), 0.0f);
    EXPECT_EQ(PadRecord::DeadZone(1.5f), 1.0f);

    PadRecord pad;
    sys::PadState s = Controller();
    s.controller.leftX = 16384; // half way right
    s.controller.leftY = 13107; // 0.4 up
    pad.Update(s);
    EXPECT_NEAR(pad.GetValue(PadRecord::PositiveCode(2)), 0.375f, 1e-4f);
    EXPECT_EQ(pad.GetState(PadRecord::PositiveCode(2)), P::kButtonPressed);
    EXPECT_NEAR(pad.GetValue(PadRecord::NegativeCode(3)), 0.25f, 1e-4f);
    EXPECT_EQ(pad.GetState(PadRecord::NegativeCode(3)), P::kButtonUp);
    EXPECT_EQ(pad.GetValue(PadRecord::NegativeCode(2)), 0.0f);
}

TEST(PadRecord, PressThresholdIsStrict) {
    EXPECT_EQ(P::AdvanceButtonState(P::kButtonUp, 0.3f), P::kButtonUp);
    EXPECT_EQ(P::AdvanceButtonState(P::kButtonUp, 0.31f), P::kButtonPressed);
    EXPECT_EQ(P::AdvanceButtonState(P::kButtonPressed, 0.31f), P::kButtonHeld);
    EXPECT_EQ(P::AdvanceButtonState(P::kButtonHeld, 0.3f), P::kButtonReleased);
    EXPECT_EQ(P::AdvanceButtonState(P::kButtonReleased, 0.0f), P::kButtonUp);
    EXPECT_EQ(P::AdvanceButtonState(P::kButtonReleased, 1.0f), P::kButtonPressed);
}

TEST(PadRecord, ControllerFillsButtonsDpadSticksAndTriggers) {
    PadRecord pad;
    sys::PadState s = Controller();
    s.controller.buttons = sys::kPadStart | sys::kPadA | sys::kPadY | sys::kPadUp | sys::kPadRight;
    s.controller.rightY = -32767; // down
    s.controller.leftTrigger = 255;
    pad.Update(s);
    EXPECT_TRUE(pad.IsConnected());
    EXPECT_TRUE(pad.IsController());
    for (uint32_t code = 0; code < PadRecord::kButtonCount; ++code)
        EXPECT_EQ(pad.GetValue(code), (code == 0 || code == 6 || code == 9) ? 1.0f : 0.0f)
            << "button " << code;
    EXPECT_EQ(pad.GetAxis(0), 1.0f);
    EXPECT_EQ(pad.GetAxis(1), -1.0f);
    EXPECT_EQ(pad.GetValue(33), 1.0f); // d-pad right
    EXPECT_EQ(pad.GetValue(34), 1.0f); // d-pad up
    EXPECT_EQ(pad.GetValue(43), 1.0f); // right stick down
    EXPECT_EQ(pad.GetValue(45), 1.0f); // left trigger
    EXPECT_EQ(pad.GetValue(47), 0.0f);
    // Out-of-range codes read as nothing.
    EXPECT_EQ(pad.GetValue(92), 0.0f);
    EXPECT_EQ(pad.GetState(0xFFFFFFFFu), 0u);
}

TEST(PadRecord, JoystickAxesAreCalibratedAndTheHatIsAnAngle) {
    PadRecord pad;
    sys::PadState s = Joystick(0x3);
    s.joystick.axes[0] = -32768;
    s.joystick.axes[1] = 16384;
    s.joystick.axes[2] = 32767; // an axis the device does not have
    s.joystick.buttons[31] = 0x80;
    s.joystick.hat = 9000;
    pad.Update(s);
    EXPECT_FALSE(pad.IsController());
    EXPECT_NEAR(pad.GetAxis(0), -1.0f, 1e-4f);
    EXPECT_NEAR(pad.GetAxis(1), 0.5f, 1e-4f);
    EXPECT_EQ(pad.GetAxis(2), 0.0f);
    EXPECT_EQ(pad.GetValue(PadRecord::NegativeCode(0)), 1.0f);
    EXPECT_EQ(pad.GetValue(31), 1.0f);
    EXPECT_FLOAT_EQ(pad.GetAxis(PadRecord::kHatAxisX), 1.0f);
    EXPECT_NEAR(pad.GetAxis(PadRecord::kHatAxisY), 0.0f, 1e-6f);
    EXPECT_EQ(pad.GetValue(89), 1.0f); // hat right

    s.joystick.hat = 18000; // down
    pad.Update(s);
    EXPECT_NEAR(pad.GetAxis(PadRecord::kHatAxisX), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(pad.GetAxis(PadRecord::kHatAxisY), 1.0f);

    s.joystick.hat = sys::kHatCentred;
    pad.Update(s);
    EXPECT_EQ(pad.GetAxis(PadRecord::kHatAxisX), 0.0f);
    EXPECT_EQ(pad.GetAxis(PadRecord::kHatAxisY), 0.0f);
}

TEST(PadRecord, AnEmptiedSlotGoesThroughReleasedToUp) {
    PadRecord pad;
    sys::PadState s = Controller();
    s.controller.buttons = sys::kPadB;
    pad.Update(s);
    pad.Update(s);
    EXPECT_EQ(pad.GetState(7), P::kButtonHeld);
    pad.Update(sys::PadState{});
    EXPECT_FALSE(pad.IsConnected());
    EXPECT_EQ(pad.GetValue(7), 0.0f);
    EXPECT_EQ(pad.GetState(7), P::kButtonReleased);
    pad.Update(sys::PadState{});
    EXPECT_EQ(pad.GetState(7), P::kButtonUp);
}
