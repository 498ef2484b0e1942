#include "game/core/GameState.h"
#include "game/enemy/effect/PlayerFlyHamon.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/enemy/staging/PlayerRebirthDirection.h"
#include "game/enemy/staging/StageClearDirection.h"
#include "game/enemy/staging/StageStartDirection.h"
#include "game/enemy/staging/StagingCreation.h"
#include "game/stage/StageTextureTable.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class StagingTest : public StageTest {
protected:
    float ShipY() const { return director->GetPlayer()->GetPosition()->y; }
    float ShipX() const { return director->GetPlayer()->GetPosition()->x; }
};

} // namespace

TEST_F(StagingTest, AStageGivesTheInputBackSixtyUpdatesAfterItStarts) {
    world.gw->storyMode = 1;
    world.gw->storyFlag2 = 1;
    Play(1, 0, true, true);
    // Made and updated once in the frame the stage started.
    ASSERT_EQ(Count<StageStartDirection>(), 1u);
    EXPECT_EQ(ChildrenOf<StageStartDirection>()[0]->GetCounter(), 1);
    EXPECT_EQ(director->GetInputHold(), 1);
    int updates = 1;
    while (director->GetInputHold() != 0 && updates < 100) {
        Frame();
        ++updates;
    }
    EXPECT_EQ(updates, 60);
    EXPECT_EQ(world.gw->storyPending, 1) << "story mode with the second story flag";
    Frame();
    EXPECT_NE(director->GetInputWord() | 1, 0u);
}

TEST_F(StagingTest, TheShipFliesInOverSixtyFramesAndThenHasControl) {
    Play();
    PlaceShip({77.0f, 300.0f});
    for (uint32_t i = 0; i < SoundManager::kRepeatFrames; ++i)
        sound->Update(); // past the stage's own fly-in sound
    const uint32_t sounds = Sounds(11);
    auto* start = static_cast<StageStartDirection*>(CreateStageStartDirection(director));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(director->GetInputHold(), 1);
    EXPECT_EQ(Sounds(11), sounds + 1);
    EXPECT_EQ(world.gw->player.invincible, 1);
    EXPECT_EQ(world.gw->player.invincibleTimer, -1);
    int updates = 0;
    while (director->GetInputHold() != 0 && updates < 100) {
        UpdateChildren();
        ++updates;
        if (updates == 1) {
            EXPECT_EQ(ShipX(), 0.0f);
            EXPECT_EQ(ShipY(), 820.0f);
            EXPECT_EQ(director->GetPlayer()->GetScale(), 1.0f);
            EXPECT_EQ(director->GetStagingScale(), 10.0f);
        }
        if (updates == 31) {
            EXPECT_FLOAT_EQ(ShipY(), 553.75f);
            EXPECT_FLOAT_EQ(director->GetStagingScale(), 1.0f + 9.0f / 16.0f);
        }
        if (updates < 60) {
            EXPECT_EQ(world.gw->player.invincibleTimer, -1);
        }
    }
    EXPECT_EQ(updates, 60) << "the input comes back with the 60th update";
    EXPECT_FLOAT_EQ(ShipY(), 536.0f + 284.0f / (60.0f * 60 * 60 * 60));
    EXPECT_EQ(world.gw->player.invincibleTimer, 150);
    EXPECT_EQ(world.gw->storyPending, 0);
    EXPECT_FALSE(start->IsAlive());
    UpdateChildren();
    UpdateChildren();
    UpdateChildren();
    EXPECT_TRUE(ChildrenOf<StageStartDirection>().empty());
}

TEST_F(StagingTest, TheStartSetsNoStoryFlagOutsideTheStory) {
    world.gw->storyFlag2 = 1;
    Play(1, 0, true, true);
    Frames(70);
    EXPECT_EQ(world.gw->storyPending, 0);
    EXPECT_EQ(director->GetInputHold(), 0);
}

TEST_F(StagingTest, TheShipReturnsAfterAMissIn47UpdatesWithABlinkingCaption) {
    Play();
    Player* ship = PlaceShip({100.0f, 400.0f});
    ship->visible = 0;
    world.gw->player.down = 1;
    Texture(StageTextureSlot::kUi1, 512, 512);
    Make<TestEnemyShot>(Vector2{0.0f, 100.0f});
    auto* rebirth = static_cast<PlayerRebirthDirection*>(
        CreatePlayerRebirthDirection(director, {100.0f, 400.0f}));
    ASSERT_NE(rebirth, nullptr);
    EXPECT_EQ(director->GetInputHold(), 1);
    EXPECT_EQ(world.gw->player.invincibleTimer, 180) << "the system row's rebirth invincibility";
    EXPECT_EQ(world.gw->player.invincible, 1);
    EXPECT_EQ(ShipX(), 100.0f);
    EXPECT_EQ(ShipY(), 820.0f);
    EXPECT_EQ(ship->visible, 1);

    int updates = 0;
    while (director->GetInputHold() != 0 && updates < 200) {
        UpdateChildren();
        ++updates;
        const int32_t n = rebirth->GetFrames();
        EXPECT_EQ(n, updates);
        const uint16_t phase = rebirth->GetPhase();
        EXPECT_EQ(rebirth->IsCaptionShown(),
                  phase != PlayerRebirthDirection::kWait && (n / 15) % 2 == 1)
            << updates;
        if (updates <= 16) {
            EXPECT_EQ(ShipY(), 820.0f) << "it waits below the field";
        }
        if (updates < 16) {
            EXPECT_FALSE(rebirth->IsCaptionShown()) << "the swing begins after update 16";
        }
        if (updates == 17) { // the swing's first step: t = 0
            EXPECT_EQ(ShipX(), 0.0f);
            EXPECT_EQ(ShipY(), 820.0f);
            EXPECT_EQ(ship->GetScale(), 5.0f);
        }
        if (updates == 32) { // t = 15
            EXPECT_FLOAT_EQ(ShipX(), 50.0f);
            EXPECT_FLOAT_EQ(ShipY(), 536.0f + 284.0f / 16.0f);
        }
    }
    EXPECT_EQ(updates, 47) << "16 waiting, 31 swinging";
    EXPECT_EQ(ShipX(), 100.0f);
    EXPECT_EQ(ShipY(), 536.0f);
    EXPECT_EQ(ship->GetScale(), 1.0f);
    EXPECT_EQ(world.gw->player.down, 0);
    EXPECT_EQ(Count<EnemyShotDelete>(), 1u) << "the shots were erased";
    EXPECT_EQ(rebirth->GetPhase(), PlayerRebirthDirection::kShown);

    // The caption: additive, "sys_ui1.dds" (0, 416)-(176, 512) at the ship - (192, 80).
    world.BeginFrame();
    rebirth->Draw();
    auto quads = world.Capture(SpriteLayer::kPlayer);
    ASSERT_EQ(quads.size(), rebirth->IsCaptionShown() ? 1u : 0u);
    while (!rebirth->IsCaptionShown())
        UpdateChildren();
    rebirth->Draw();
    quads = world.Capture(SpriteLayer::kPlayer);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);
    EXPECT_TRUE(
        Near({quads[0].x0, quads[0].y0, quads[0].x1, quads[0].u0, quads[0].v0, quads[0].v1},
             {460.0f - 192.0f, 536.0f - 80.0f, 460.0f - 192.0f + 176.0f, 0.0f, 416.0f, 512.0f}));
    world.EndFrame();

    // 121 more updates in the shown phase, then it goes.
    while (rebirth->GetPhase() == PlayerRebirthDirection::kShown && updates < 400) {
        UpdateChildren();
        ++updates;
    }
    EXPECT_EQ(updates, 47 + 121);
    EXPECT_FALSE(rebirth->IsAlive());
    EXPECT_EQ(director->GetInputHold(), 0);
}

TEST_F(StagingTest, AContinueBringsTheShipBackFromWhereItWas) {
    Play();
    PlaceShip({-50.0f, 640.0f});
    world.gw->gameState = GameState::kContinue;
    director->Continue();
    ASSERT_EQ(Count<PlayerRebirthDirection>(), 1u);
    EXPECT_EQ(ShipX(), -50.0f);
    EXPECT_EQ(ShipY(), 820.0f);
    EXPECT_EQ(director->GetInputHold(), 1);
}

TEST_F(StagingTest, TheClearFliesTheShipOutLeavingARippleEvery20FramesAndFadesAt180) {
    Play();
    PlaceShip({30.0f, 500.0f});
    ASSERT_EQ(world.gw->recording, 1);
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    auto* clear = static_cast<StageClearDirection*>(CreateStageClearDirection(director, true));
    ASSERT_NE(clear, nullptr);
    // The pilot's line drew one number of the play stream.
    Mireku::Common::Random expected = before;
    expected.Next();
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, expected.x);
    EXPECT_EQ(director->GetInputHold(), 1);
    EXPECT_EQ(world.gw->player.invincibleTimer, -1);
    EXPECT_EQ(world.gw->player.invincible, 1);

    // From c = 60 it flies 15 up a frame with the flash aimed at it and a
    // ripple where it is every 20th frame; at 180 the stage is cleared.
    const uint32_t sounds = Sounds(11);
    std::vector<int> ripples;
    PlayerFlyHamon* last = nullptr;
    for (int c = 0; c <= 180; ++c) {
        Frame();
        EXPECT_EQ(ShipY(), 500.0f - 15.0f * std::max(0, c - 59)) << c;
        EXPECT_EQ(Sounds(11), sounds + (c >= 60 ? 1 : 0)) << c;
        const std::vector<PlayerFlyHamon*> made = ChildrenOf<PlayerFlyHamon>();
        if (!made.empty() && made.back() != last) {
            last = made.back();
            ripples.push_back(c);
            EXPECT_EQ(*last->GetPosition(), (Vector2{30.0f, ShipY()}));
        }
        if (c == 60) {
            EXPECT_EQ(director->GetFlashTarget(), 0.9f);
        }
        EXPECT_EQ(world.gw->gameState, c < 180 ? GameState::kPlaying : GameState::kCleared);
        EXPECT_EQ(scenes->IsFading(), c == 180);
    }
    EXPECT_EQ(ripples, (std::vector<int>{60, 80, 100, 120, 140, 160, 180}));
    EXPECT_EQ(world.gw->stageEndWait, 90);
    EXPECT_EQ(world.gw->recording, 0);
    EXPECT_EQ(world.gw->replayBuffer, nullptr);
    EXPECT_TRUE(clear->IsAlive()) << "it stays until the game screen ends the stage";
}

TEST_F(StagingTest, InStoryModeTheFadeIsLongerAndTheRecordingStays) {
    world.gw->storyMode = 1;
    Play();
    PlaceShip({30.0f, 500.0f});
    world.gw->StartReplayRecording();
    ASSERT_NE(world.gw->replayBuffer, nullptr);
    auto* clear = static_cast<StageClearDirection*>(CreateStageClearDirection(director, false));
    ASSERT_NE(clear, nullptr);
    for (int c = 0; c <= 180; ++c)
        UpdateChildren();
    EXPECT_EQ(ShipY(), 500.0f) << "no fly-out";
    EXPECT_EQ(world.gw->gameState, GameState::kCleared);
    EXPECT_EQ(world.gw->stageEndWait, 300);
    EXPECT_NE(world.gw->replayBuffer, nullptr);
}

TEST_F(StagingTest, TheDirectorsClearFliesOutExceptAfterEachThirdStage) {
    for (uint32_t stage : {0u, 2u, 11u}) {
        SCOPED_TRACE(stage);
        Play(1, stage);
        const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
        director->StageClear(false);
        const std::vector<StageClearDirection*> c = ChildrenOf<StageClearDirection>();
        ASSERT_EQ(c.size(), 1u);
        EXPECT_EQ(c[0]->FliesOut(), stage % 3 != 2);
        // The last stage of a loop has no line: the play stream stays.
        EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x == before.x, stage == 11);
        DeleteDirector();
    }
}

// A director that is going takes no staging: none is made, so none holds
// its input or plays its sound.
TEST_F(StagingTest, AGoingDirectorTakesNoStagingAndKeepsItsInputFree) {
    MakeDirector();
    director->Vanish();
    const uint32_t sounds = Sounds(11);
    EXPECT_EQ(CreateStageStartDirection(director), nullptr);
    EXPECT_EQ(CreateStageClearDirection(director, true), nullptr);
    EXPECT_EQ(CreatePlayerRebirthDirection(director, Vector2{0.0f, 500.0f}), nullptr);
    EXPECT_EQ(director->GetInputHold(), 0);
    EXPECT_EQ(Sounds(11), sounds);
    EXPECT_EQ(director->GetFirstChild(), nullptr);
    EXPECT_EQ(CreateStageStartDirection(nullptr), nullptr);
}
