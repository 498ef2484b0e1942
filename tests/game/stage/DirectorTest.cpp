// The stage director: its start-up, music, input words and their recording,
// continue and game over, pick-ups, the services it gives stage objects and
// the frame it draws (its two targets, the flash and its zoom).
#include "engine/graphics/CommandHeader.h"
#include "engine/graphics/SortKey.h"
#include "game/core/ConfigBlock.h"
#include "game/enemy/EnemyDefault.h"
#include "game/enemy/background/BGParts.h"
#include "game/enemy/background/ObjBG.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/enemy/item/ItemPowerUp.h"
#include "support/FieldRows.h"
#include "support/StageRig.h"

#include <tuple>

namespace {

using namespace stage_test;

class DirectorTest : public StageTest {
protected:
    // A stage of the mode, index and game type, updated until it plays.
    void Start(uint32_t mode, uint32_t stage, uint32_t gameType = 0) {
        world.gw->gameType = gameType;
        MakeDirector(mode, stage);
        ASSERT_TRUE(world.RunUntilPlay(director));
    }
    // `n` frames of play without drawing.
    void Updates(uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) {
            director->TickTree();
            director->UpdateTree();
        }
    }
    // The ship's fly-in holds the input for its 60 updates, the first of
    // them in the frame the stage started.
    void FlyIn() {
        ASSERT_EQ(director->GetInputHold(), 1);
        Updates(StageStartDirection::kFrames - 1);
        ASSERT_EQ(director->GetInputHold(), 0);
    }
};

// The stage's music reads wait for the test: the loader has no thread.
class DirectorStartTest : public DirectorTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartWorld(sys::gpu::Backend::Null, false)); }
};

} // namespace

TEST_F(DirectorStartTest, StartUpMakesTheStageAndFixesThePlayStream) {
    MakeDirector(1, 2);
    // Without files the loader has nothing to do: the map header is next.
    EXPECT_EQ(director->GetState(), GameObjectDirector::kMapHeader);
    EXPECT_EQ(director->GetOwner(), director);
    world.random->Stream(RandomManager::kPlay).Seed(77);
    director->UpdateTree();
    EXPECT_EQ(director->GetState(), GameObjectDirector::kStageStart);
    for (int i = 0; i < 5; ++i)
        director->UpdateTree();
    EXPECT_EQ(director->GetState(), GameObjectDirector::kStageStart) << "waits for its music";
    world.CompleteReads(); // the stage's track: missing, which still starts the stage
    director->UpdateTree();
    EXPECT_EQ(director->GetState(), GameObjectDirector::kPlay);
    EXPECT_EQ(director->GetUpdateCounter(), 7u);

    ASSERT_TRUE(director->GetTimeline() && director->GetBGParts() && director->GetPlayer());
    EXPECT_EQ(director->GetPlayer()->GetOwner(), director);
    float x = 1, y = 2, s = 3;
    EXPECT_TRUE(director->GetPlayerPose(&x, &y, &s));
    EXPECT_TRUE(Near(std::vector<float>{x, y, s}, {0, 820, 1}))
        << "the fly-in: below the field, at its size";
    EXPECT_NE(g_currentBackground, nullptr);
    const Mireku::Common::Random& play = world.random->Stream(RandomManager::kPlay);
    EXPECT_EQ(play.x, 0x1AA61AE0u);
    EXPECT_EQ(play.w, 0xE12AB793u);
    EXPECT_EQ(director->GetFrameCounter(), 0u);
    EXPECT_EQ(world.gw->recording, 1) << "a live stage is recorded";

    DeleteDirector();
    EXPECT_EQ(g_currentBackground, nullptr);
    EXPECT_EQ(world.gw->recording, 0);
    EXPECT_EQ(world.gw->replayBuffer, nullptr);
}

// Grabuster items made from shots take the game-wide chain level: a stage
// starts it from the Grabuster hits of the player record (which a replay
// carries), whatever a game before it reached.
TEST_F(DirectorTest, TheChainLevelStartsFromThePlayerRecordNotTheLastGame) {
    for (const auto& [left, hits, level] :
         {std::tuple{49u, 23u, 2u}, {0u, 45u, 4u}, {30u, 9u, 0u}, {20u, 140u, 4u}}) {
        GameObject::StartChain(left);
        world.gw->player.grabusterHits = hits;
        Start(1, 0);
        EXPECT_EQ(GameObject::CurrentChainLevel(), level) << hits << " hits after " << left;
        DeleteDirector();
    }
}

TEST_F(DirectorTest, StoryModeAndPlaybackRecordNothing) {
    world.gw->storyMode = 1;
    Start(1, 0);
    EXPECT_EQ(world.gw->recording, 0);
    DeleteDirector();
    world.gw->storyMode = 0;
    std::vector<uint8_t> replay = SampleData::BuildDemoReplay(1);
    ASSERT_TRUE(world.gw->StartReplayPlayback(replay.data(), static_cast<uint32_t>(replay.size())));
    Start(1, 0);
    EXPECT_EQ(world.gw->recording, 0);
    EXPECT_EQ(world.gw->playing, 1);
}

TEST_F(DirectorTest, MapHeaderGivesTheMapSize) {
    world.Write(SampleData::StageMapPath(4), SampleStageMap(4));
    Start(1, 4);
    EXPECT_EQ(director->GetMapWidth(), 16.0f * 61.0f);
    EXPECT_EQ(director->GetMapHeight(), 7200.0f);
    EXPECT_EQ(director->GetBGParts()->GetCellHeight(), 16u);
}

TEST_F(DirectorTest, BossMusicComesAfterItsTimeAndFade) {
    struct Case {
        uint32_t stage, countdown, fade;
        const char* name;
    };
    for (const Case c : {Case{0, 5420, 120, "boss1.ogg"}, Case{11, 3900, 300, "boss2.ogg"}}) {
        SCOPED_TRACE(c.stage);
        Start(1, c.stage);
        StageMusic& music = director->GetMusic();
        EXPECT_EQ(music.GetBossCountdown(), c.countdown);
        EXPECT_EQ(music.GetFadeLength(), c.fade);
        EXPECT_TRUE(music.IsBossChangeArmed());
        Updates(c.countdown - c.fade - 1);
        EXPECT_FALSE(music.IsFading());
        Updates(1);
        EXPECT_TRUE(music.IsFading());
        EXPECT_FLOAT_EQ(music.GetFadeStep(), 1.0f / c.fade);
        // The fade, then 80 quiet frames, then the boss track.
        uint32_t faded = 1;
        for (; music.GetVolume() > 0.0f && faded < c.fade + 2; ++faded)
            Updates(1);
        EXPECT_EQ(music.GetVolume(), 0.0f);
        EXPECT_NEAR(faded, c.fade, 1);
        Updates(79);
        EXPECT_TRUE(music.IsBossChangeArmed()) << "still quiet";
        Updates(1);
        EXPECT_FALSE(music.IsBossChangeArmed());
        EXPECT_STREQ(music.GetStageMusicName(), c.name);
        DeleteDirector();
    }
}

TEST_F(DirectorTest, ScoreAttackEndsAtItsLimitWithoutBossMusic) {
    struct Case {
        uint32_t mode, limit;
        const char* music;
    };
    for (const Case c :
         {Case{8, 7200, "score_attack01.ogg"}, Case{9, 18000, "score_attack02.ogg"}}) {
        SCOPED_TRACE(c.mode);
        world.gw->gameState = GameState::kPlaying;
        world.gw->misses = 1;
        world.gw->hitsTaken = 0;
        world.gw->player.lives = 1;
        Start(c.mode, 0, GameState::kScoreAttackType);
        EXPECT_FALSE(director->GetMusic().IsBossChangeArmed());
        EXPECT_STREQ(director->GetMusic().GetStageMusicName(), c.music);
        Updates(c.limit - 1);
        EXPECT_EQ(world.gw->gameState, GameState::kPlaying);
        EXPECT_FALSE(director->GetTally().IsActive());
        Updates(1);
        EXPECT_EQ(director->GetFrameCounter(), c.limit);
        EXPECT_EQ(world.gw->gameState, GameState::kTimeUp);
        ASSERT_TRUE(director->GetTally().IsActive());
        EXPECT_FALSE(director->GetTally().IsHighRate());
        // No miss bonus (one miss), the no-damage bonus, two ships at 500000.
        EXPECT_EQ(director->GetTally().GetBonus(), 1000000 + 2 * 500000);
        Updates(10);
        EXPECT_EQ(director->GetFrameCounter(), c.limit) << "time stands still after the end";
        DeleteDirector();
    }
}

// Logical buttons 8, 9, 10, 11, 0-7 and 15 make the word's bits 0x1 to
// 0x1000; buttons 12-14 (pause and the scenes' own) are not the ship's.
TEST(StageInput, EveryHeldButtonHasItsBit) {
    const uint32_t kBit[16] = {0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800,
                               0x1,  0x2,  0x4,  0x8,  0,     0,     0,     0x1000};
    for (uint32_t b = 0; b < 16; ++b)
        EXPECT_EQ(StageInput::WordFromButtons(1u << b), kBit[b]) << "button " << b;
    EXPECT_EQ(StageInput::WordFromButtons(0xFFFFu), 0x1FFFu);
}

TEST_F(DirectorTest, ReplayWordsArePlayedBackAndTheHoldTouchesNoWord) {
    // A recording: words 1, 2, 3, ...
    std::vector<uint8_t> replay(ReplayStream::kHeaderSize);
    ReplayStream::WriteHeader(replay.data(), {world.gw->player, 0, 1});
    for (uint32_t w = 1; w <= 20; ++w)
        for (int b = 0; b < 4; ++b)
            replay.push_back(static_cast<uint8_t>(w >> (8 * b)));
    ASSERT_TRUE(world.gw->StartReplayPlayback(replay.data(), static_cast<uint32_t>(replay.size())));
    Start(1, 0);
    FlyIn();
    EXPECT_EQ(world.gw->replayPosition, ReplayStream::kHeaderSize) << "no word read in the fly-in";
    Updates(2);
    EXPECT_EQ(director->GetInputWord(), 2u);
    EXPECT_EQ(director->GetPreviousInputWord(), 1u);
    const uint32_t position = world.gw->replayPosition;
    director->HoldInput();
    Updates(3);
    EXPECT_EQ(director->GetInputWord() | director->GetPreviousInputWord(), 0u);
    EXPECT_EQ(world.gw->replayPosition, position) << "no word is read while held";
    director->ReleaseInput();
    Updates(1);
    EXPECT_EQ(director->GetInputWord(), 3u);
    Updates(30);
    EXPECT_EQ(director->GetInputWord(), 0u) << "past the end of the recording";
}

TEST_F(DirectorTest, HoldWritesNoWordWhileRecording) {
    Start(1, 0);
    ASSERT_EQ(world.gw->recording, 1);
    FlyIn();
    Updates(4);
    const uint32_t position = world.gw->replayPosition;
    EXPECT_EQ(position, ReplayStream::kHeaderSize + 4 * 4);
    director->HoldInput();
    director->HoldInput();
    Updates(5);
    EXPECT_EQ(world.gw->replayPosition, position);
    director->ReleaseInput();
    Updates(1);
    EXPECT_EQ(world.gw->replayPosition, position) << "held until the last release";
    director->ReleaseInput();
    Updates(1);
    EXPECT_EQ(world.gw->replayPosition, position + 4);
    director->ReleaseInput(); // one too many
    EXPECT_EQ(director->GetInputHold(), 0);
    Updates(1);
    EXPECT_EQ(world.gw->replayPosition, position + 8);
}

TEST_F(DirectorTest, ContinueRestoresTheShipsAndPaysAPoint) {
    world.gw->config[ConfigBlock::kOffsetLives] = 3;
    Start(1, 0);
    PlayerWork& p = world.gw->player;
    p.score = 5000;
    p.barionGauge = 300;
    p.hyperioGauge = 40;
    p.power = 2;
    p.lives = -1;
    director->GameOver();
    EXPECT_EQ(world.gw->gameState, GameState::kContinue);
    EXPECT_EQ(world.gw->continueCountdown, 600);
    EXPECT_EQ(world.gw->replayBuffer, nullptr) << "a continued game is not a replay";
    director->Continue();
    EXPECT_EQ(world.gw->gameState, GameState::kPlaying);
    EXPECT_EQ(p.lives, 2);
    EXPECT_EQ(p.score, 5001u);
    EXPECT_EQ(p.continues, 1);
    EXPECT_EQ(p.barionGauge | p.hyperioGauge | p.power, 0);
    auto items = ChildrenOf<ItemPowerUp>();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->carried, 1);
    EXPECT_EQ(*items[0]->GetPosition(), (Vector2{0.0f, 0.0f}));
    // Ten configured lives or more give 255; none give none.
    for (const auto& [configured, lives] : {std::pair{12, 255}, std::pair{0, 0}}) {
        world.gw->config[ConfigBlock::kOffsetLives] = static_cast<uint8_t>(configured);
        director->Continue();
        EXPECT_EQ(p.lives, lives);
    }
}

TEST_F(DirectorTest, ContinueIsRefusedOrKeepsTheStoryReplay) {
    Start(1, 0);
    world.gw->continueRefused = 1;
    director->EnterContinue();
    EXPECT_EQ(world.gw->gameState, GameState::kGameOver);
    EXPECT_EQ(world.gw->replayBuffer, nullptr);
    world.gw->continueRefused = 0;
    world.gw->storyMode = 1;
    world.gw->StartReplayRecording();
    director->EnterContinue();
    EXPECT_EQ(world.gw->gameState, GameState::kContinue);
    EXPECT_NE(world.gw->replayBuffer, nullptr);
    world.gw->storyMode = 0;
}

TEST_F(DirectorTest, StageClearHaltsTheTimeline) {
    Start(1, 0);
    director->StageClear(false);
    EXPECT_EQ(director->GetTimeline()->GetHaltCounter(), 1);
    const int32_t frame = director->GetTimeline()->GetFrame();
    Updates(5);
    EXPECT_EQ(director->GetTimeline()->GetFrame(), frame);
}

TEST_F(DirectorTest, NextSubWeaponSkipsLockedOnesAndGivesUpWithoutAny) {
    Start(1, 0);
    PlayerWork& p = world.gw->player;
    world.gw->subWeaponUnlocked = 0;
    p.subWeapon = 2;
    const uint32_t changes = Sounds(14);
    director->SelectNextSubWeapon(); // must come back: nothing is unlocked
    EXPECT_EQ(p.subWeapon, 2);
    EXPECT_EQ(director->GetSubWeaponDisplay(), 0);
    EXPECT_EQ(Sounds(14), changes) << "no change, no sound";
    world.gw->subWeaponUnlocked = 0b01001; // 0 and 3
    p.subWeapon = 0;
    director->SelectNextSubWeapon();
    EXPECT_EQ(p.subWeapon, 3);
    EXPECT_EQ(director->GetSubWeaponDisplay(), 30);
    EXPECT_EQ(Sounds(14), changes + 1) << "a change sounds 14";
    director->SelectNextSubWeapon();
    EXPECT_EQ(p.subWeapon, 0);
    Updates(10);
    EXPECT_EQ(director->GetSubWeaponDisplay(), 20);
    world.gw->subWeaponUnlocked = 0b1;
    Updates(30);
    director->SelectNextSubWeapon();
    EXPECT_EQ(p.subWeapon, 0);
    EXPECT_EQ(director->GetSubWeaponDisplay(), 0) << "the only one: no change to show";
}

TEST_F(DirectorTest, PowerUpsRaiseThePowerThenPay) {
    Start(1, 0);
    PlayerWork& p = world.gw->player;
    p.power = 1;
    const uint32_t first = Sounds(17), second = Sounds(16);
    director->CollectPowerUp(nullptr, false);
    EXPECT_EQ(p.power, 2);
    EXPECT_EQ(p.guard, 0);
    EXPECT_EQ((std::vector<uint32_t>{Sounds(17) - first, Sounds(16) - second}),
              (std::vector<uint32_t>{1, 1}))
        << "sounds 17 and 16";
    director->CollectPowerUp(nullptr, false);
    EXPECT_EQ(p.power, 3);
    EXPECT_EQ(p.guard, 1) << "full power brings the guard";
    const uint64_t score = p.score;
    director->CollectPowerUp(nullptr, false);
    EXPECT_EQ(p.power, 3);
    EXPECT_EQ(p.score, score + 80000);
    p.power = 0;
    p.guard = 0;
    director->CollectPowerUp(nullptr, true);
    EXPECT_EQ(p.power, 3) << "forced: from 2, one more";
    EXPECT_EQ(p.guard, 1);
}

TEST(ShieldStep, OnePassedThresholdPerGain) {
    struct Row {
        int16_t from, to;
        int32_t percent, step;
    };
    // Maximum 1000 at 25%: thresholds 250, 500 and 750; the first one
    // passed only; none at or above 100% or at none.
    for (const Row r :
         {Row{240, 260, 25, 1}, Row{490, 760, 25, 2}, Row{250, 260, 25, 0}, Row{740, 1000, 25, 3},
          Row{0, 1000, 100, 0}, Row{880, 910, 30, 3}, Row{0, 1000, 0, 0}, Row{0, 1000, -5, 0}})
        EXPECT_EQ(GameObjectDirector::PassedShieldStep(r.from, r.to, 1000, r.percent), r.step)
            << r.from << " to " << r.to << " at " << r.percent << "%";
}

TEST_F(DirectorTest, BarionGaugeWithoutAStepEnds) {
    Start(1, 0);
    world.gw->tables.shipParam[0]
        .MutableAt<ShipParamRow>(GameTables::ModeGroup(1) +
                                 static_cast<uint32_t>(world.gw->player.ship) * 6)
        ->shieldStepPercent = 0;
    director->AddBarionGauge(world.gw->player, 300); // must return
    EXPECT_EQ(world.gw->player.barionGauge, 300);
}

TEST_F(DirectorTest, PickTargetsRepeatsTheLiveEnemiesInTurn) {
    Start(3, 0); // a mode without a timeline: no enemy but ours
    world.gw->mode = 1;
    GameObject* out[8] = {};
    EXPECT_EQ(director->PickTargets(out, 5), 0);
    EXPECT_EQ(out[0], nullptr);
    EXPECT_EQ(director->PickTargets(out, 0), 0);
    EXPECT_EQ(director->PickTargets(out, -2), -2);
    auto* e0 = Make<EnemyDefault>(1, Vector2{0, 100});
    Make<TestShot>(Vector2{0, 0}, int16_t{1});
    auto* off = Make<EnemyDefault>(2, Vector2{0, 200});
    auto* e1 = Make<EnemyDefault>(3, Vector2{9, 300});
    ASSERT_TRUE(e0 && off && e1);
    // Shapes come on with an enemy's first update.
    e0->SetHitShapeActive(true);
    e1->SetHitShapeActive(true);
    ASSERT_EQ(director->PickTargets(out, 5), 5);
    EXPECT_EQ(std::vector<GameObject*>(out, out + 6),
              (std::vector<GameObject*>{e0, e1, e0, e1, e0, nullptr}));
}

TEST_F(DirectorTest, ClearEnemyShotsErasesEveryShotOnce) {
    Start(3, 0);
    auto* fresh = Make<TestEnemyShot>(Vector2{10, 20});
    auto* going = Make<TestEnemyShot>(Vector2{30, 40});
    auto* shot = Make<TestShot>(Vector2{0, 0}, int16_t{1});
    ASSERT_TRUE(fresh && going && shot);
    going->Vanish();
    director->TickTree(); // its countdown runs on: 2 left
    ASSERT_EQ(going->GetVanishCountdown(), 2);
    director->ClearEnemyShots();
    EXPECT_EQ(fresh->GetVanishCountdown(), 3);
    EXPECT_EQ(going->GetVanishCountdown(), 2) << "no new countdown";
    EXPECT_EQ(shot->GetVanishCountdown(), 0);
    auto erased = ChildrenOf<EnemyShotDelete>();
    ASSERT_EQ(erased.size(), 2u) << "but an erase effect for both";
    EXPECT_EQ(erased[0]->GetPosition()->x, 10.0f);
    EXPECT_EQ(erased[1]->GetPosition()->y, 40.0f);
}

// Each frame the tree's target is set under a key high word of 0 and the
// back buffer under priority 25 alone, whatever sort fields or priority the
// frame's context was left with.
TEST_F(DirectorTest, DrawTreeTakesTurnsWithTheTargetsAndEndsOnTheBackBuffer) {
    using namespace Mireku::Graphics;
    Start(3, 0);
    ASSERT_TRUE(director->GetTarget(0) && director->GetTarget(1));
    const struct {
        const char* name;
        uint32_t target, leftOnTheContext;
    } frames[] = {
        {"a clear key", 1, 0},
        {"sort field 1 left set", 0, SortKey::Encode(0, 0xF, 0, 0)},
        {"sort field 2 left set", 1, SortKey::Encode(0, 0, 0xF, 0)},
        {"sort field 3 and a priority left set", 0, SortKey::Encode(9, 0, 0, 0x3F)},
    };
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        world.BeginFrame();
        GetDrawContext()->SetKeyHigh(f.leftOnTheContext);
        director->DrawTree();
        EXPECT_EQ(director->GetTargetIndex(), f.target);
        ContextBuffer* b = ContextBuffer::GetInstance();
        const auto* h = reinterpret_cast<CommandHeader*>(b->GetCurrentBlock());
        const uint32_t n = GetDrawContext()->GetSequence();
        ASSERT_GE(n, 2u);
        EXPECT_EQ(h[0].type, kCommandSetRenderTargets);
        EXPECT_EQ(h[0].keyHigh, 0u);
        const auto* p =
            reinterpret_cast<const SetRenderTargetsPayload*>(b->GetCurrentBlock() + h[0].payload);
        EXPECT_EQ(p->colour[0], director->GetTarget(f.target));
        bool backBuffer = false;
        for (uint32_t i = 1; i < n; ++i)
            if (h[i].type == kCommandSetBackBuffer) {
                backBuffer = true;
                EXPECT_EQ(h[i].keyHigh, 25u);
            }
        EXPECT_TRUE(backBuffer);
        world.EndFrame();
    }
}

// A stage's director starts from its start values whatever the last
// stage's director left in its block: the staging scale at rest (1), the
// last clock second unseen (-1), every counter, flag, word and value of the
// overlays 0.
TEST_F(DirectorTest, ADirectorStartsFromItsStartValuesWhateverTheLastStageLeft) {
    world.gw->subWeaponUnlocked = 0x3;
    Start(1, 0);
    director->SetScrollRatio(0.5f);
    director->SetMapScroll(70.0f);
    director->SetStagingValue(2.0f);
    director->SetStagingFloat(3.0f);
    director->SetStagingScale(4.0f);
    director->SetSecretWeapon(1, 5);
    director->SetFlash({1.0f, 2.0f}, 1.0f, 30.0f);
    director->SelectNextSubWeapon();
    director->StartShake(20, 2.0f, 1.0f);
    director->StartShieldHitIndicator();
    Updates(3);
    world.BeginFrame();
    director->DrawTree();
    world.EndFrame();
    director->HoldInput();
    ASSERT_NE(director->GetTargetIndex(), 0u);
    void* block = director;
    DeleteDirector();
    MakeDirector(1, 0);
    ASSERT_EQ(static_cast<void*>(director), block) << "the block given back is taken again";
    const StageHud& hud = director->GetHud();
    testsupport::ExpectFields<double>({
        {"target index", double(director->GetTargetIndex()), 0},
        {"sub-weapon display", double(director->GetSubWeaponDisplay()), 0},
        {"scroll ratio", director->GetScrollRatio(), 0},
        {"map scroll", director->GetMapScroll(), 0},
        {"staging value", director->GetStagingValue(), 0},
        {"staging float", director->GetStagingFloat(), 0},
        {"staging scale", director->GetStagingScale(), 1},
        {"input word", double(director->GetInputWord()), 0},
        {"previous input word", double(director->GetPreviousInputWord()), 0},
        {"input hold", double(director->GetInputHold()), 0},
        {"frame counter", double(director->GetFrameCounter()), 0},
        {"update counter", double(director->GetUpdateCounter()), 0},
        {"secret weapon flag", double(director->GetSecretWeaponFlag()), 0},
        {"secret weapon counter", double(director->GetSecretWeaponCounter()), 0},
        {"flash", director->GetFlash(), 0},
        {"flash target", director->GetFlashTarget(), 0},
        {"shake frames", double(hud.GetShakeFrames()), 0},
        {"shake elapsed", double(hud.GetShakeElapsed()), 0},
        {"shake offset", hud.GetShakeOffset(), 0},
        {"shield-hit counter", double(hud.GetShieldHitCounter()), 0},
        {"last clock second", double(hud.GetLastClockSecond()), -1},
    });
}

// The flash rises by 0.3 of the way a frame and falls by 0.05; over last
// frame's picture, its corners scaled about the zoom centre by
// (zoom + 360) / 360.
TEST_F(DirectorTest, TheFlashRisesFastFallsSlowlyAndZoomsAboutItsCentre) {
    Start(3, 0);
    director->SetFlash({200.0f, 300.0f}, 1.0f, 36.0f);
    std::vector<Quad> flash = Drawn(SpriteLayer::kEtcOver);
    EXPECT_FLOAT_EQ(director->GetFlash(), 0.3f);
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_TRUE(Near(Sprite(flash[0]), {-20, -30, 792, 792, 0, 0, 720, 720}));
    EXPECT_EQ(flash[0].colour, 0x4CFFFFFFu) << "alpha 0.3 x 255, white";
    EXPECT_EQ(static_cast<const void*>(flash[0].texture),
              director->GetTarget(director->GetTargetIndex() ^ 1));
    director->SetFlash({360.0f, 360.0f}, 0.0f, 0.0f);
    flash = Drawn(SpriteLayer::kEtcOver);
    EXPECT_FLOAT_EQ(director->GetFlash(), 0.3f - 0.3f * 0.05f);
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_TRUE(Near(Sprite(flash[0]), {0, 0, 720, 720, 0, 0, 720, 720}));
    // At an alpha of 1 or less nothing is drawn.
    for (int i = 0; i < 200 && director->GetFlash() * 255.0f >= 2.0f; ++i)
        Drawn(SpriteLayer::kEtcOver);
    EXPECT_TRUE(Drawn(SpriteLayer::kEtcOver).empty());
}

TEST_F(DirectorTest, ServicesAcceptAMissingShip) {
    // Before stage start there is no ship yet.
    MakeDirector(3, 0);
    float x = 1, y = 2, s = 3;
    EXPECT_FALSE(director->GetPlayerPose(&x, &y, &s));
    EXPECT_EQ(x, 1.0f);
    director->SetPlayerPose(5, 6, 1);
    director->FlagPlayer();
    director->StageClear(true);
    director->CollectPowerUp(nullptr, false);
    director->AddBarionGauge(world.gw->player, 900);
    EXPECT_TRUE(
        Near({director->GetPlayerPosition().x, GameObjectDirector::ToScreen({-360.0f, 5.0f}).x,
              GameObjectDirector::ToField({720.0f, 5.0f}).x},
             {0.0f, 0.0f, 360.0f}));
}

// The game screen still ticks and updates the tree at game over, at the
// stage's end and under a story; the collision lists must not keep objects
// across those frames, or a deleted one would stay linked.
TEST_F(DirectorTest, CollisionListsStartAfreshInEveryState) {
    Start(3, 0);
    for (uint32_t state : {GameState::kGameOver, GameState::kCleared, GameState::kStory}) {
        world.gw->gameState = state;
        for (int round = 0; round < 2; ++round) {
            auto* shot = Make<TestEnemyShot>(Vector2{0, 300});
            Updates(1);
            EXPECT_EQ(director->GetCollisions().Head(7), shot) << state;
            shot->Vanish();
            Updates(4); // deleted in the tick of the fourth frame
            EXPECT_EQ(director->GetCollisions().Head(7), nullptr) << state;
        }
    }
}
