// What a collision does to the ship: nothing, the guard, an automatic
// shield or a miss; and the miss through its death delay to the explosion
// and, after the last life, the continue countdown.
#include "game/enemy/effect/PlayerDeadBomb.h"
#include "game/enemy/effect/PlayerDeadBombHamon.h"
#include "game/enemy/effect/PlayerDeadBombParts.h"
#include "game/enemy/effect/PlayerDeadPod.h"
#include "game/enemy/effect/PlayerDeadPodBomb.h"
#include "game/enemy/effect/PlayerHitDown.h"
#include "game/enemy/staging/PlayerRebirthDirection.h"
#include "game/enemy/staging/StagingCreation.h"
#include "game/player/PlayerDead.h"
#include "game/player/PlayerExWeapon_BarionShield.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class Hit : public StageTest {
protected:
    // Something of `kind` on the ship for one collision pass: it registers
    // once, and the pass of the next frame meets it.
    Target* Touch(uint32_t kind = GameObject::kKindEnemy) {
        Target* t = Make<Target>(*ship->GetPosition(), kind);
        t->registrations = 1;
        Frames(2);
        return t;
    }
    uint32_t Misses() const { return world.gw->misses; }
    uint32_t Hits() const { return world.gw->hitsTaken; }
};

} // namespace

TEST_F(Hit, RulesApplyInOrderAndTheFirstDecides) {
    Begin();
    PlayerWork& p = Work();
    p.barionGauge = 0; // any hit that is not ignored would be a miss

    p.invincible = 1;
    p.invincibleTimer = 100;
    p.guard = 1;
    Target* enemy = Touch();
    EXPECT_EQ(p.guard, 1) << "invincible: not even the guard is touched";
    EXPECT_EQ(Hits(), 0u);
    EXPECT_GT(enemy->hits, 0);
    enemy->Vanish();
    p.invincible = 0;

    Touch(GameObject::kKindItem)->Vanish();
    EXPECT_EQ(p.guard, 0) << "an item takes the guard too";
    EXPECT_EQ(Hits(), 0u);
    p.guard = 1;
    Touch()->Vanish();
    EXPECT_EQ(p.guard, 0);
    EXPECT_EQ(p.down, 0) << "the guard took the hit";
    EXPECT_EQ(Hits(), 0u);
    Frames(3);

    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabWindDown;
    ship->grabStep = 0;
    Touch()->Vanish();
    EXPECT_EQ(Hits(), 0u) << "the Grabuster ignores hits";
    ship->state = Player::kNormal;
    Frames(3);

    p.down = 1;
    Touch()->Vanish();
    EXPECT_EQ(Hits(), 0u) << "already down";
    p.down = 0;
    Frames(3);

    Touch(GameObject::kKindItem)->Vanish();
    Touch(GameObject::kKindNone)->Vanish();
    EXPECT_EQ(Hits(), 0u) << "only enemies and enemy shots hurt";
    EXPECT_EQ(p.down, 0);
    Frames(3);

    Touch(GameObject::kKindEnemyShot);
    EXPECT_EQ(Misses(), 1u);
    EXPECT_EQ(Hits(), 1u);
    EXPECT_EQ(p.down, 1);
}

TEST_F(Hit, AGaugeStepShieldsTheHitAndStartsItsCooldown) {
    Begin();
    PlayerWork& p = Work();
    // A step is 25% of 1000.
    p.barionGauge = 600;
    const uint32_t before = Sounds(26);
    Touch();
    EXPECT_EQ(Misses(), 0u);
    EXPECT_EQ(Hits(), 1u);
    EXPECT_EQ(world.gw->hitsTaken2, 1u);
    EXPECT_EQ(world.gw->misses2, 0u);
    EXPECT_EQ(p.barionGauge, 350);
    EXPECT_EQ(p.down, 0);
    EXPECT_EQ(Sounds(26), before + 1);
    EXPECT_EQ(Sounds(18), 1u);
    EXPECT_TRUE(director->GetHud().IsShieldHitShown());
    EXPECT_EQ(director->GetHud().GetShieldHitImage(), 7);
    ASSERT_NE(ship->shield, nullptr) << "the shield is up";
    // The cooldown: the row's 180 frames, run down by the ship's updates.
    EXPECT_GT(ship->shieldCooldown, 170);
    EXPECT_FALSE(ship->CanAutoShield());
    // While the shield is up nothing hurts.
    Touch();
    EXPECT_EQ(Misses(), 0u);
    EXPECT_EQ(Hits(), 1u);
    // Its 120 frames and countdown over, the ship lets it go; with the
    // cooldown still running, the next hit is a miss.
    Frames(PlayerExWeapon_BarionShield::kGrowFrames + PlayerExWeapon_BarionShield::kFadeFrames);
    EXPECT_EQ(ship->shield, nullptr);
    EXPECT_GT(ship->shieldCooldown, 0);
    Touch();
    EXPECT_EQ(Misses(), 1u);
}

// Rows of 32768 frames and more count like any other: the auto shield comes
// back and a rebirth's invincibility runs out.
TEST_F(Hit, LongShieldIntervalsAndRebirthInvincibilitiesRunOut) {
    ShipRowToEdit(0).autoShieldInterval = 40000;
    Begin();
    PlayerWork& p = Work();
    p.barionGauge = 600;
    Touch();
    ASSERT_NE(ship->shield, nullptr);
    EXPECT_GT(ship->shieldCooldown, 39990);
    EXPECT_LT(ship->shieldCooldown, 40000) << "and running down";
    auto& system = *world.gw->tables.system.MutableAt<SystemParamRow>(world.gw->mode);
    system.rebirthInvincibility = 40000;
    CreatePlayerRebirthDirection(director, {0.0f, 400.0f});
    EXPECT_EQ(static_cast<uint16_t>(p.invincibleTimer), 40000);
    Frames(2);
    EXPECT_EQ(static_cast<uint16_t>(p.invincibleTimer), 39998);
    EXPECT_EQ(p.invincible, 1);
    system.rebirthInvincibility = 0xFFFF;
    CreatePlayerRebirthDirection(director, {0.0f, 400.0f});
    EXPECT_NE(p.invincibleTimer, PlayerWork::kUntilFurtherNotice) << "no row means for ever";
}

TEST_F(Hit, OnePointBelowAStepIsAMiss) {
    Begin();
    Work().barionGauge = 249;
    EXPECT_FALSE(ship->CanAutoShield());
    Work().barionGauge = 250;
    EXPECT_TRUE(ship->CanAutoShield());
    Work().barionGauge = 249;
    Touch();
    EXPECT_EQ(Misses(), 1u);
    EXPECT_EQ(Work().barionGauge, 249);
}

TEST_F(Hit, TheLaserShieldsEveryHitWithoutSpendingAndEnds) {
    Begin();
    PlayerWork& p = Work();
    p.barionGauge = 1000;
    Frame(In::kExWeapon);
    ASSERT_EQ(ship->state, Player::kBarionLaser);
    Frames(60);
    ASSERT_EQ(p.invincible, 0);
    ship->shieldCooldown = 50;
    const int16_t gauge = p.barionGauge;
    Touch();
    EXPECT_EQ(Misses(), 0u);
    EXPECT_EQ(Hits(), 1u);
    EXPECT_EQ(ship->state, Player::kNormal);
    EXPECT_LE(p.barionGauge, gauge);
    EXPECT_GE(p.barionGauge, gauge - 2 * ShipRow().barionDrain) << "only the laser's drain";
}

TEST_F(Hit, AMissTakesALifeAndHoldsTheInputThroughTheDeathDelay) {
    Begin();
    PlayerWork& p = Work();
    const int16_t lives = p.lives;
    ASSERT_GT(lives, 0);
    Make<Target>(*ship->GetPosition());
    Frames(2, In::kLeft);
    EXPECT_EQ(p.lives, lives - 1);
    EXPECT_EQ(p.down, 1);
    EXPECT_EQ(Misses(), 1u);
    EXPECT_EQ(world.gw->misses2, 1u);
    EXPECT_EQ(Hits(), 1u);
    EXPECT_EQ(Count<PlayerHitDown>(), 1u);
    ASSERT_EQ(Count<PlayerDead>(), 1u);
    PlayerDead* dead = ChildrenOf<PlayerDead>()[0];
    EXPECT_FALSE(dead->IsGameOver());
    EXPECT_EQ(dead->GetPlayer(), ship);
    const float x = ship->GetPosition()->x;

    // The sample delay is capped at 30 frames: held until then, the ship
    // shown where it was hit.
    ASSERT_EQ(ShipRow().deathDelay, 30);
    EXPECT_EQ(dead->GetFrames(), 1);
    for (int f = 2; f < 30; ++f) {
        Frame(In::kLeft);
        EXPECT_EQ(director->GetInputHold(), 1) << f;
        EXPECT_EQ(ship->visible, 1);
        EXPECT_EQ(Count<PlayerDeadBomb>(), 0u);
    }
    EXPECT_EQ(ship->GetPosition()->x, x) << "no input while held";
    Frame(In::kLeft);
    // The death's hold is released and the return staging takes its own; the
    // staging shows the ship again below the field.
    EXPECT_EQ(director->GetInputHold(), 1);
    EXPECT_EQ(ship->visible, 1);
    ASSERT_EQ(Count<PlayerRebirthDirection>(), 1u);
    EXPECT_EQ(ship->GetPosition()->y, 820.0f);
    EXPECT_EQ(dead->GetVanishCountdown(), GameObject::kVanishFrames);
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 40);

    // The explosion, in order, at the ship.
    std::vector<GameObject*> order;
    for (GameObject* c = dead->GetNextSibling(); c; c = c->GetNextSibling())
        if (!order.empty() || dynamic_cast<PlayerDeadPod*>(c))
            order.push_back(c);
    ASSERT_GE(order.size(), 67u);
    EXPECT_NE(dynamic_cast<PlayerDeadPod*>(order[0]), nullptr);
    EXPECT_FALSE(static_cast<PlayerDeadPod*>(order[0])->WillExplode());
    EXPECT_NE(dynamic_cast<PlayerDeadBomb*>(order[1]), nullptr);
    EXPECT_NE(dynamic_cast<PlayerDeadBombHamon*>(order[2]), nullptr);
    for (size_t i = 3; i < 67; ++i)
        EXPECT_NE(dynamic_cast<PlayerDeadBombParts*>(order[i]), nullptr) << i;
    EXPECT_EQ(static_cast<PlayerDeadPod*>(order[0])->GetStart().x, x);
    EXPECT_EQ(static_cast<PlayerDeadBomb*>(order[1])->GetAttackPower(), ShipRow().deathAttack);
    EXPECT_EQ(Count<PlayerDeadBombParts>(), 64u);

    // The return: its first update ran in the frame the death ended, so 46
    // frames later (47 updates) the ship has its input back and is no longer
    // down.
    Frames(45);
    EXPECT_EQ(p.down, 1);
    EXPECT_EQ(director->GetInputHold(), 1);
    Frame();
    EXPECT_EQ(p.down, 0);
    EXPECT_EQ(director->GetInputHold(), 0);
    EXPECT_EQ(ship->visible, 1);
    EXPECT_EQ(Count<PlayerDead>(), 0u);
}

TEST_F(Hit, DeathDelaysOfZeroAndOneEndOnTheFirstUpdate) {
    for (int16_t delay : {0, 1}) {
        ShipRowToEdit(0).deathDelay = delay;
        Begin();
        Touch();
        ASSERT_EQ(Misses(), 1u);
        // Over at once: the return staging already holds the input.
        EXPECT_EQ(Count<PlayerRebirthDirection>(), 1u) << delay;
        EXPECT_EQ(director->GetInputHold(), 1) << delay;
        EXPECT_EQ(Count<PlayerDeadBomb>(), 1u) << delay;
        DeleteDirector();
        world.gw->misses = 0;
    }
}

TEST_F(Hit, ScoreAttackTakesNoLives) {
    world.gw->gameType = GameState::kScoreAttackType;
    Begin();
    const int16_t lives = Work().lives;
    Touch();
    EXPECT_EQ(Misses(), 1u);
    EXPECT_EQ(Work().lives, lives);
    ASSERT_EQ(Count<PlayerDead>(), 1u);
    EXPECT_FALSE(ChildrenOf<PlayerDead>()[0]->IsGameOver());
}

TEST_F(Hit, TheLastLifeEndsInTheContinueCountdown) {
    Begin();
    Work().lives = 0;
    Touch();
    EXPECT_EQ(Work().lives, -1);
    ASSERT_EQ(Count<PlayerDead>(), 1u);
    EXPECT_TRUE(ChildrenOf<PlayerDead>()[0]->IsGameOver());
    // The ship stops with the last life: it neither moves nor registers.
    const Vector2 at = *ship->GetPosition();
    Frames(5, In::kRight);
    EXPECT_EQ(ship->GetPosition()->x, at.x);
    int frames = 0;
    while (world.gw->gameState == GameState::kPlaying && frames < 400) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(world.gw->gameState, GameState::kContinue);
    EXPECT_EQ(world.gw->continueCountdown, 600);
    // The delay, the pod's fall from y 360 past 520 and the pod bomb's 75 updates.
    EXPECT_GT(frames, 75 + 16);
    EXPECT_LT(frames, 30 + 17 + 75 + 5);
}

TEST_F(Hit, TheWarningBlinksBetweenItsTwoImagesAndNeverPastThem) {
    for (uint8_t f = 0; f < 8; ++f)
        EXPECT_EQ(PlayerDead::WarningImage(f), -1) << int(f);
    for (uint32_t f = 8; f < 256; ++f) {
        const int32_t image = PlayerDead::WarningImage(static_cast<uint8_t>(f));
        EXPECT_TRUE(image == 0 || image == 1) << f;
    }
    EXPECT_NE(PlayerDead::WarningImage(8), PlayerDead::WarningImage(12)) << "it blinks";

    Begin();
    Texture(StageTextureSlot::kUi1, 512, 512);
    Touch();
    PlayerDead* dead = ChildrenOf<PlayerDead>()[0];
    for (int f = 0; f < 20; ++f) {
        world.BeginFrame();
        dead->Draw();
        const std::vector<Quad> quads = world.Capture(SpriteLayer::kPlayer);
        if (dead->GetFrames() < 8) {
            EXPECT_TRUE(quads.empty());
        } else {
            ASSERT_EQ(quads.size(), 1u);
            EXPECT_TRUE(quads[0].u0 == 0.0f || quads[0].u0 == 72.0f);
            EXPECT_TRUE(Near({quads[0].v0, quads[0].x1 - quads[0].x0, quads[0].y1 - quads[0].y0},
                             {344.0f, 72.0f, 73.0f}));
            EXPECT_EQ((quads[0].x0 + quads[0].x1) * 0.5f, ship->GetScreenPosition()->x);
        }
        world.EndFrame();
        Frame();
    }
}
