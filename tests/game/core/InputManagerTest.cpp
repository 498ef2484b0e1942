#include "game/core/InputManager.h"
#include "game/core/ConfigBlock.h"
#include "support/InputDeviceFixture.h"

#include <cstring>
#include <vector>

using input_test::Key;
using input_test::SyncPads;
using input_test::VirtualPad;

namespace {

class InputManagerTest : public InputDeviceFixture {
protected:
    void SetUp() override {
        InputDeviceFixture::SetUp();
        ASSERT_NE(InputManager::CreateInstance(), nullptr);
    }
    void TearDown() override {
        InputManager::DestroyInstance();
        InputDeviceFixture::TearDown();
    }
    // One frame of the game: engine input, then the input manager.
    static InputManager& Step() {
        Frame();
        InputManager::GetInstance()->Update();
        return *InputManager::GetInstance();
    }
    static void Bind(const uint8_t* config) {
        ASSERT_TRUE(InputManager::GetInstance()->BindFromConfig(config));
    }
};

struct Words {
    uint32_t triggered, released, held;
    bool operator==(const Words&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Words& w) {
    return os << std::hex << "{" << w.triggered << ", " << w.released << ", " << w.held << "}";
}
Words Read(const InputManager& m) {
    return {m.GetTriggered(), m.GetReleased(), m.GetHeld()};
}

} // namespace

TEST_F(InputManagerTest, DirectionKeyTriggersThenHoldsAndRepeats) {
    InputManager::GetInstance()->BindFromConfig();
    Key(SDL_SCANCODE_UP, true);
    std::vector<int> triggered;
    for (int frame = 0; frame < 44; ++frame) {
        const InputManager& m = Step();
        if (m.IsTriggered(0x1))
            triggered.push_back(frame);
        EXPECT_EQ(m.IsHeld(0x1), frame > 0);
        EXPECT_EQ(m.GetReleased(), 0u);
        EXPECT_EQ(m.GetHeld() & ~0x1, 0u);
    }
    EXPECT_EQ(triggered, (std::vector<int>{0, 31, 37, 43}));
    Key(SDL_SCANCODE_UP, false);
    EXPECT_EQ(Read(Step()), (Words{0, 0x1, 0}));
    EXPECT_EQ(Read(Step()), (Words{0, 0, 0}));
}

TEST_F(InputManagerTest, FixedKeysMakeTheirButtonsAndOnlyDirectionsRepeat) {
    InputManager::GetInstance()->BindFromConfig();
    // The logical buttons' masks and keys.
    const struct {
        SDL_Scancode key;
        uint32_t mask;
    } keys[] = {
        {SDL_SCANCODE_KP_8, 0x1}, {SDL_SCANCODE_DOWN, 0x2},      {SDL_SCANCODE_KP_2, 0x2},
        {SDL_SCANCODE_LEFT, 0x4}, {SDL_SCANCODE_KP_4, 0x4},      {SDL_SCANCODE_RIGHT, 0x8},
        {SDL_SCANCODE_KP_6, 0x8}, {SDL_SCANCODE_Z, 0x100},       {SDL_SCANCODE_X, 0x200},
        {SDL_SCANCODE_C, 0x400},  {SDL_SCANCODE_ESCAPE, 0x1000}, {SDL_SCANCODE_A, 0x2000},
        {SDL_SCANCODE_V, 0x8000},
    };
    for (const auto& k : keys) {
        Key(k.key, true);
        EXPECT_EQ(Read(Step()), (Words{k.mask, 0, 0})) << "scancode " << k.key;
        for (int frame = 1; frame < 32; ++frame)
            Step();
        // Frame 31 of holding: only the directions pulse.
        const bool repeats = k.mask <= 0x8;
        EXPECT_EQ(Read(*InputManager::GetInstance()), (Words{repeats ? k.mask : 0, 0, k.mask}))
            << "scancode " << k.key;
        Key(k.key, false);
        EXPECT_EQ(Read(Step()), (Words{0, k.mask, 0})) << "scancode " << k.key;
        Step();
    }
}

TEST_F(InputManagerTest, DefaultPadBindings) {
    InputManager::GetInstance()->BindFromConfig();
    VirtualPad pad = VirtualPad::Controller();
    // The configuration's default pad codes of each action.
    const struct {
        int button;
        uint32_t mask;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x1},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x2},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x4},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x8},
        {SDL_CONTROLLER_BUTTON_A, 0x100},
        {SDL_CONTROLLER_BUTTON_B, 0x200},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x200},
        {SDL_CONTROLLER_BUTTON_X, 0x400},
        {SDL_CONTROLLER_BUTTON_START, 0x1000},
        {SDL_CONTROLLER_BUTTON_Y, 0x2000},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x8000},
        {SDL_CONTROLLER_BUTTON_BACK, 0}, // its action is not bound
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
    };
    for (const auto& b : buttons) {
        pad.Button(b.button, true);
        SyncPads();
        EXPECT_EQ(Read(Step()), (Words{b.mask, 0, 0})) << "button " << b.button;
        pad.Button(b.button, false);
        SyncPads();
        Step();
        Step();
    }
    const struct {
        int axis;
        Sint16 value;
        uint32_t mask;
    } axes[] = {
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, 0x1},
        {SDL_CONTROLLER_AXIS_LEFTY, 32767, 0x2},
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, 0x4},
        {SDL_CONTROLLER_AXIS_LEFTX, 32767, 0x8},
        {SDL_CONTROLLER_AXIS_RIGHTY, -32768, 0x10},
        {SDL_CONTROLLER_AXIS_RIGHTY, 32767, 0x20},
        {SDL_CONTROLLER_AXIS_RIGHTX, -32768, 0x40},
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, 0x80},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, 0x100},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, 0},
    };
    for (const auto& a : axes) {
        const bool trigger = a.axis >= SDL_CONTROLLER_AXIS_TRIGGERLEFT;
        pad.Axis(a.axis, a.value);
        SyncPads();
        EXPECT_EQ(Read(Step()), (Words{a.mask, 0, 0})) << "axis " << a.axis << " " << a.value;
        pad.Axis(a.axis, trigger ? SDL_JOYSTICK_AXIS_MIN : 0);
        SyncPads();
        Step();
        Step();
    }
}

TEST_F(InputManagerTest, BitsElevenAndFourteenAreNeverSet) {
    InputManager::GetInstance()->BindFromConfig();
    VirtualPad pad = VirtualPad::Controller();
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
        pad.Button(b, true);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    for (int k = SDL_SCANCODE_A; k < SDL_SCANCODE_KP_PERIOD; ++k)
        input_test::PushKey(static_cast<SDL_Scancode>(k), true);
    SyncPads();
    for (int frame = 0; frame < 40; ++frame) {
        const InputManager& m = Step();
        EXPECT_EQ((m.GetTriggered() | m.GetHeld()) & 0x4800u, 0u);
    }
    // Everything else but the aims (the right stick rests) is held.
    EXPECT_EQ(InputManager::GetInstance()->GetHeld(), 0xB70Fu);
}

TEST_F(InputManagerTest, TheLockCounterCountsAndBindingClearsIt) {
    InputManager& m = *InputManager::GetInstance();
    m.BindFromConfig();
    EXPECT_EQ(m.GetLockCount(), 0);
    m.IncrementLockCount();
    m.IncrementLockCount();
    m.DecrementLockCount();
    EXPECT_EQ(m.GetLockCount(), 1);
    m.IncrementLockCount();
    m.BindFromConfig(); // binding again starts it from 0
    EXPECT_EQ(m.GetLockCount(), 0);
}

TEST_F(InputManagerTest, RebindingFromAnEditedConfiguration) {
    uint8_t config[ConfigBlock::kSize];
    std::memcpy(config, ConfigBlock::Defaults(), sizeof(config));
    ConfigBlock::WriteU32(config, ConfigBlock::kOffsetPadNumber, 1);
    // Shot on the left thumb (and damaged entries, which bind nothing); up
    // on nothing.
    ConfigBlock::SetBinding(config, 4, 0, 2);
    ConfigBlock::SetBinding(config, 4, 1, 200);
    ConfigBlock::SetBinding(config, 4, 2, -7);
    ConfigBlock::SetBinding(config, 4, 3, 92);
    for (uint32_t s = 0; s < ConfigBlock::kCodesPerAction; ++s)
        ConfigBlock::SetBinding(config, 0, s, -1);
    // Only the first code of the slow action counts.
    ConfigBlock::SetBinding(config, 5, 0, -1);
    ConfigBlock::SetBinding(config, 5, 1, 4);
    Bind(config);
    EXPECT_EQ(Buttons().GetPadNumber(InputManager::GetInstance()->GetRecord()), 1u);

    VirtualPad first = VirtualPad::Controller();
    VirtualPad second = VirtualPad::Controller();
    // The first pad is not the configured one.
    first.Button(SDL_CONTROLLER_BUTTON_LEFTSTICK, true);
    SyncPads();
    EXPECT_EQ(Read(Step()), (Words{0, 0, 0}));

    second.Button(SDL_CONTROLLER_BUTTON_LEFTSTICK, true);
    SyncPads();
    EXPECT_EQ(Read(Step()), (Words{0x100, 0, 0}));
    second.Button(SDL_CONTROLLER_BUTTON_LEFTSTICK, false);
    second.Button(SDL_CONTROLLER_BUTTON_A, true);
    second.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    second.Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    second.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    SyncPads();
    EXPECT_EQ(Read(Step()), (Words{0, 0x100, 0}));
    // The keyboard is bound whatever the configuration says.
    Key(SDL_SCANCODE_UP, true);
    EXPECT_EQ(Read(Step()), (Words{0x1, 0, 0}));
}

TEST_F(InputManagerTest, ConfiguredPadThatIsNotThereReadsAsReleased) {
    for (uint32_t padNumber : {5u, 16u, 0xFFFFFFFFu}) {
        uint8_t config[ConfigBlock::kSize];
        std::memcpy(config, ConfigBlock::Defaults(), sizeof(config));
        ConfigBlock::WriteU32(config, ConfigBlock::kOffsetPadNumber, padNumber);
        Bind(config);
    }
    VirtualPad pad = VirtualPad::Controller();
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    SyncPads();
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(Read(Step()), (Words{0, 0, 0}));
}

TEST_F(InputManagerTest, PadUnpluggedWhileHeldReleasesItsButtons) {
    InputManager::GetInstance()->BindFromConfig();
    VirtualPad pad = VirtualPad::Controller();
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SyncPads();
    const uint32_t both = 0x108; // shot and right
    EXPECT_EQ(Read(Step()), (Words{both, 0, 0}));
    EXPECT_EQ(Read(Step()), (Words{0, 0, both}));
    pad.Detach();
    EXPECT_EQ(Read(Step()), (Words{0, both, 0}));
    EXPECT_EQ(Read(Step()), (Words{0, 0, 0}));
    // Plugged in again, it is read again.
    VirtualPad again = VirtualPad::Controller();
    again.Button(SDL_CONTROLLER_BUTTON_A, true);
    SyncPads();
    EXPECT_EQ(Read(Step()), (Words{0x100, 0, 0}));
}

TEST_F(InputManagerTest, SetupRebindClearsPadSetsAndBindsAgain) {
    InputManager::GetInstance()->BindFromConfig();
    VirtualPad pad = VirtualPad::Controller();
    const uint32_t record = InputManager::GetInstance()->GetRecord();
    Buttons().ClearPadBindings(record, 0);
    Buttons().BindPad(record, 0, 8); // shot on X
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    SyncPads();
    EXPECT_EQ(Read(Step()), (Words{0, 0, 0}));
    pad.Button(SDL_CONTROLLER_BUTTON_X, true);
    SyncPads();
    EXPECT_EQ(Read(Step()), (Words{0x500, 0, 0}));
}

TEST(InputManagerAlone, WithoutTheEngineInputItBindsNothingAndReadsZero) {
    ASSERT_NE(InputManager::CreateInstance(), nullptr);
    EXPECT_FALSE(InputManager::GetInstance()->BindFromConfig());
    InputManager::GetInstance()->Update();
    EXPECT_EQ(InputManager::GetInstance()->GetTriggered(), 0u);
    InputManager::DestroyInstance();
}
