#include "engine/framework/Framework.h"
#include "engine/framework/GameWindow.h"
#include "engine/peripheral/ButtonState.h"
#include "engine/peripheral/InputDevice.h"
#include "engine/peripheral/PadDevice.h"
#include "support/InputTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Mireku;

namespace {

// Plugs a pad in once the loop runs and watches the frames that follow see it.
class PadWatchingApp : public Framework::Framework {
public:
    void OnFrame(const float&) override {
        const Peripheral::PadDevice* pads = Peripheral::PadDevice::GetInstance();
        ASSERT_NE(pads, nullptr);
        if (frame_ == 0) {
            connectedBefore_ = pads->GetPad(0)->IsConnected();
            pad_ = std::make_unique<input_test::VirtualPad>(input_test::VirtualPad::Controller());
            pad_->Button(SDL_CONTROLLER_BUTTON_A, true);
            input_test::SyncPads();
        } else if (frame_ == 1) {
            stateAfter_ = pads->GetState(0, 6);
            pad_.reset();
        } else if (frame_ == 2) {
            stateUnplugged_ = pads->GetState(0, 6);
            Mireku::Framework::RequestClose();
        }
        ++frame_;
    }

    int frame_ = 0;
    bool connectedBefore_ = true;
    uint32_t stateAfter_ = 0;
    uint32_t stateUnplugged_ = 0;
    std::unique_ptr<input_test::VirtualPad> pad_;
};

} // namespace

TEST(FrameworkInput, PadPluggedInAfterStartIsReadFromTheNextFrame) {
    PadWatchingApp* app = new PadWatchingApp;
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(app->Run());
    EXPECT_EQ(app->frame_, 3);
    EXPECT_FALSE(app->connectedBefore_);
    EXPECT_EQ(app->stateAfter_, Peripheral::kButtonPressed);
    EXPECT_EQ(app->stateUnplugged_, Peripheral::kButtonReleased);
    // The framework's teardown took the input device down.
    EXPECT_EQ(Peripheral::InputDevice::GetInstance(), nullptr);
    EXPECT_EQ(Peripheral::PadDevice::GetInstance(), nullptr);
    app->Release();
}
