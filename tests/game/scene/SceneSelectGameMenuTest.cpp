#include "support/FlowSceneRig.h"

#include "game/core/InputManager.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"

namespace {

using flow_test::RecordingVfxInstance;

class MenuTest : public flow_test::FlowRig {
protected:
    SceneSelectGameMenu* ToInput() {
        menu = Push<SceneSelectGameMenu>();
        if (!menu)
            return nullptr;
        effect = RecordingVfxInstance::Find("game_menu/game_menu.vfxb");
        return RunUntilState<SceneSelectGameMenu>(4, 100);
    }
    // A press, then frames enough for the same sound to start again.
    void Press(uint32_t button) {
        Frame(button);
        Frames(3);
    }

    SceneSelectGameMenu* menu = nullptr;
    RecordingVfxInstance* effect = nullptr;
};

TEST_F(MenuTest, InputWaitsForTheFadeInThenTheFirstEntryLights) {
    menu = Push<SceneSelectGameMenu>();
    ASSERT_NE(menu, nullptr);
    effect = RecordingVfxInstance::Find("game_menu/game_menu.vfxb");
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(RunUntilState<SceneSelectGameMenu>(3, 5), nullptr);
    EXPECT_EQ(effect->calls.front(), (RecordingVfxInstance::Call{RecordingVfxInstance::kPlay, 0}));
    const uint32_t moved = SoundCount(3);
    int frames = 0;
    while (menu->GetState() == 3 && frames < 100) {
        Frame(frames % 4 == 0 ? InputManager::kDown : InputManager::kShot * (frames == 30));
        ++frames;
    }
    EXPECT_EQ(frames, 60) << "the 60-frame fade-in";
    EXPECT_EQ(menu->GetCursor(), 0);
    EXPECT_EQ(SoundCount(3), moved);
    EXPECT_EQ(effect->Parameters(), (std::vector<uint32_t>{1}));
    ASSERT_FALSE(hud.empty());
    EXPECT_EQ(hud[0].priority, 1u);
    EXPECT_EQ(hud[0].blend, 0u);
    EXPECT_EQ(hud[0].colour, 0xFF000000u);
}

TEST_F(MenuTest, UpAndDownWrapAroundTheSixEntries) {
    ASSERT_NE(ToInput(), nullptr);
    const uint32_t moved = SoundCount(3);
    Press(InputManager::kUp);
    EXPECT_EQ(menu->GetCursor(), 5);
    Press(InputManager::kDown);
    EXPECT_EQ(menu->GetCursor(), 0);
    Press(InputManager::kDown);
    Press(InputManager::kDown);
    EXPECT_EQ(menu->GetCursor(), 2);
    EXPECT_EQ(SoundCount(3), moved + 4);
    EXPECT_EQ(effect->Parameters(), (std::vector<uint32_t>{1, 6, 1, 2, 3}));
}

TEST_F(MenuTest, LeftAndRightOnlySwitchTheBottomRow) {
    ASSERT_NE(ToInput(), nullptr);
    const uint32_t moved = SoundCount(3);
    for (int entry = 0; entry < 4; ++entry) {
        Press(InputManager::kLeft);
        Press(InputManager::kRight);
        EXPECT_EQ(menu->GetCursor(), entry);
        Press(InputManager::kDown);
    }
    EXPECT_EQ(SoundCount(3), moved + 4) << "only the four moves down sounded";
    ASSERT_EQ(menu->GetCursor(), 4);
    Press(InputManager::kRight);
    EXPECT_EQ(menu->GetCursor(), 5);
    Press(InputManager::kRight);
    EXPECT_EQ(menu->GetCursor(), 4);
    Press(InputManager::kLeft);
    EXPECT_EQ(menu->GetCursor(), 5);
    EXPECT_EQ(SoundCount(3), moved + 7);
    const std::vector<uint32_t> bits = effect->Parameters();
    EXPECT_EQ(std::vector<uint32_t>(bits.end() - 3, bits.end()), (std::vector<uint32_t>{6, 5, 6}));
}

// Each entry: its decision bit, the game state it sets and the screen that
// follows the 60-frame fade.
class MenuEntry : public MenuTest, public ::testing::WithParamInterface<int> {};

TEST_P(MenuEntry, ShotDecidesAfterTheFade) {
    const int entry = GetParam();
    ASSERT_NE(ToInput(), nullptr);
    for (int i = 0; i < entry; ++i)
        Press(InputManager::kDown);
    work->mode = 7;
    work->storyMode = 1;
    work->gameType = 0;
    work->stage = 9;
    const uint32_t decided = SoundCount(4);
    Frame(InputManager::kShot);
    EXPECT_EQ(menu->GetState(), 5);
    EXPECT_EQ(effect->Parameters().back(), static_cast<uint32_t>(8 + entry));
    EXPECT_EQ(SoundCount(4), decided + 1);
    EXPECT_EQ(menu->GetMusicSlot(), -1) << "the music goes as the fade starts";
    EXPECT_EQ(work->mode, 1u);
    EXPECT_EQ(work->storyMode, entry == 1 ? 1 : 0);
    Frames(58);
    EXPECT_EQ(Active<SceneSelectGameMenu>(), menu);
    Frame(InputManager::kDown);
    EXPECT_EQ(menu->GetCursor(), entry) << "no input while the fade runs";
    Frame();
    EXPECT_EQ(Active<SceneSelectGameMenu>(), nullptr);
    switch (entry) {
    case 0:
    case 1:
    case 2:
        EXPECT_NE(Active<SceneSelectPilot>(), nullptr);
        EXPECT_EQ(work->gameType, static_cast<uint32_t>(3 + entry));
        EXPECT_EQ(work->stage, 0u);
        break;
    case 3:
        EXPECT_NE(Active<SceneRanking>(), nullptr);
        EXPECT_EQ(work->rankingMode, 1u);
        EXPECT_EQ(work->rankingPlace, -1);
        break;
    case 4:
        EXPECT_NE(Active<SceneSetup>(), nullptr);
        break;
    default:
        // The window's close request is the way out; no screen follows.
        EXPECT_EQ(driver->GetFirstActive(), nullptr);
        EXPECT_EQ(driver->GetFirstPending(), nullptr);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(SixEntries, MenuEntry, ::testing::Range(0, 6));

} // namespace
