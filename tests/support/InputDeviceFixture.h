// A running window loop with the engine's input device on it, as the
// framework sets them up; `Frame()` is one frame's input update.
#pragma once

#include "engine/peripheral/InputDevice.h"
#include "support/InputTestSupport.h"

#include <gtest/gtest.h>

class InputDeviceFixture : public testing::Test {
protected:
    using InputDevice = Mireku::Peripheral::InputDevice;

    void SetUp() override {
        ASSERT_TRUE(loop_.IsOpen());
        InputDevice* input = InputDevice::CreateInstance();
        ASSERT_NE(input, nullptr);
        ASSERT_TRUE(input->Initialize(sys::MainWindowHandle()));
    }
    void TearDown() override {
        if (InputDevice* input = InputDevice::GetInstance()) {
            input->Finalize();
            InputDevice::DestroyInstance();
        }
    }

    static void Frame() { InputDevice::GetInstance()->Update(); }
    static Mireku::Peripheral::VirtualButtonTable& Buttons() {
        return InputDevice::GetInstance()->GetVirtualButtons();
    }

    input_test::WindowLoop loop_;
};
