// The ship's flight and its ex-weapon states, driven by input words.
#include "game/enemy/effect/PlayerEffectBackFire.h"
#include "game/player/PlayerExWeapon_BarionLaserBase.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/player/PlayerShot.h"
#include "support/FieldRows.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

class Flight : public StageTest {
protected:
    // A ship row with round numbers: speed 8, Grabuster speed 3, slow 2 over
    // 4 frames.
    void BeginRound(int16_t ease = 4) {
        ShipParamRow& row = ShipRowToEdit(0);
        row.speed = 8.0f;
        row.grabusterSpeed = 3.0f;
        row.slowSpeed = 2.0f;
        row.slowEaseFrames = ease;
        EveryFrame(ShotRowToEdit(0, 0));
        Begin();
    }
    bool sides[2] = {};
    Vector2 Step(uint32_t word) {
        const Vector2 before = *ship->GetPosition();
        Frame(word);
        return *ship->GetPosition() - before;
    }
};

} // namespace

TEST_F(Flight, StartsVisibleInTheMiddleOfTheField) {
    Begin();
    EXPECT_EQ(*ship->GetPosition(), (Vector2{0.0f, 360.0f}));
    EXPECT_EQ(ship->GetScreenPosition()->x, 360.0f);
    EXPECT_EQ(ship->visible, 1);
    EXPECT_EQ(ship->GetKind(), GameObject::kKindPlayer);
    EXPECT_EQ(ship->GetCollisionGroup(), 2u);
    Frame();
    // The 3 by 3 box around the screen position, registered as the player.
    const HitShape& box = *ship->GetHitShape();
    EXPECT_EQ(box.kind, HitShape::kBox);
    EXPECT_TRUE(Near({box.minX, box.minY, box.maxX, box.maxY}, {359, 358, 362, 361}, 0));
    EXPECT_EQ(director->GetCollisions().Head(2), ship);
}

// Opposite keys cancel (each pair alone, or with another key that stays);
// a diagonal is as fast as a straight move: speed 8 either way.
TEST_F(Flight, OppositeKeysCancelAndDiagonalsAreAsFastAsStraightMoves) {
    BeginRound();
    const float d = 8.0f / std::sqrt(2.0f), u = 0.70710678f;
    struct Move {
        uint32_t word;
        float dx, dy, dirX, dirY;
    };
    for (const Move m :
         {Move{In::kLeft | In::kRight, 0, 0, 0, 0}, Move{In::kUp | In::kDown, 0, 0, 0, 0},
          Move{In::kLeft | In::kRight | In::kUp, 0, -8, 0, -1},
          Move{In::kUp | In::kRight, d, -d, u, -u}, Move{In::kDown | In::kLeft, -d, d, -u, u}}) {
        const Vector2 step = Step(m.word);
        EXPECT_TRUE(Near({step.x, step.y, ship->moveDir.x, ship->moveDir.y},
                         {m.dx, m.dy, m.dirX, m.dirY}, 1e-4f))
            << m.word;
    }
}

TEST_F(Flight, StopsExactlyAtTheEdgesAndScrollsTheMapWithIt) {
    BeginRound();
    Frames(60, In::kLeft);
    EXPECT_EQ(ship->GetPosition()->x, -344.0f);
    EXPECT_EQ(director->GetScrollRatio(), -1.0f);
    Frames(100, In::kRight);
    EXPECT_EQ(ship->GetPosition()->x, 344.0f);
    EXPECT_EQ(director->GetScrollRatio(), 1.0f);
    Frames(60, In::kUp);
    EXPECT_EQ(ship->GetPosition()->y, 32.0f);
    Frames(100, In::kDown);
    EXPECT_EQ(ship->GetPosition()->y, 704.0f);
    // Pressing on against an edge keeps the ship there.
    EXPECT_EQ(Step(In::kDown | In::kRight).LengthSquared(), 0.0f);
}

TEST_F(Flight, SlowEasesToItsSpeedOverExactlyItsFramesAndStartsOverWhenReleased) {
    BeginRound(4);
    // 8, then 8 - k x (8 - 2) / 4 for the k-th slow frame, down to 2.
    const float expected[] = {8.0f, 6.5f, 5.0f, 3.5f, 2.0f, 2.0f, 2.0f};
    for (float speed : expected)
        EXPECT_FLOAT_EQ(Step(In::kSlow | In::kRight).x, speed);
    EXPECT_EQ(ship->slowFrames, 4) << "the count stops where the ease ends";
    EXPECT_FLOAT_EQ(Step(In::kRight).x, 8.0f);
    EXPECT_EQ(ship->slowFrames, 0);
    EXPECT_FLOAT_EQ(Step(In::kSlow | In::kRight).x, 8.0f);
    EXPECT_FLOAT_EQ(Step(In::kSlow | In::kRight).x, 6.5f);
}

TEST_F(Flight, SlowEaseFramesBelowOneCountAsOne) {
    for (int16_t ease : {0, -3}) {
        BeginRound(ease);
        EXPECT_FLOAT_EQ(Step(In::kSlow | In::kRight).x, 8.0f) << ease;
        const float second = Step(In::kSlow | In::kRight).x;
        EXPECT_TRUE(std::isfinite(second)) << ease;
        EXPECT_FLOAT_EQ(second, 2.0f) << ease;
        EXPECT_TRUE(std::isfinite(ship->GetPosition()->x));
        DeleteDirector();
    }
}

TEST_F(Flight, BanksATenthAFrameAndComesBackToLevel) {
    BeginRound();
    Frames(3, In::kRight);
    EXPECT_NEAR(ship->bank, 0.3f, 1e-6f);
    Frames(20, In::kRight);
    EXPECT_EQ(ship->bank, 1.0f);
    Frames(9);
    EXPECT_NEAR(ship->bank, 0.1f, 1e-5f);
    Frames(1);
    Frames(1);
    EXPECT_EQ(ship->bank, 0.0f) << "stops at level";
    Frames(25, In::kLeft);
    EXPECT_EQ(ship->bank, -1.0f);
    ship->bank = -0.05f;
    Frames(1);
    EXPECT_EQ(ship->bank, 0.0f);
}

TEST_F(Flight, AfterTheLastLifeTheShipNeitherMovesNorCollides) {
    BeginRound();
    Work().lives = -1;
    const uint8_t cycle = ship->cycle;
    Frame(In::kLeft | In::kShot);
    EXPECT_EQ(ship->GetPosition()->x, 0.0f);
    EXPECT_EQ(ship->cycle, cycle);
    EXPECT_EQ(director->GetCollisions().Head(2), nullptr);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
}

TEST_F(Flight, WithoutItsShipRowTheShipStaysPutAndUnarmedButStillCollides) {
    world.tables.files.erase("player_o_pc_com.tsb");
    Begin();
    ASSERT_EQ(Player::ShipRow(), nullptr);
    Work().barionGauge = 1000;
    Frames(5, In::kLeft | In::kShot | In::kExWeapon);
    EXPECT_EQ(ship->GetPosition()->x, 0.0f);
    EXPECT_EQ(ship->state, Player::kNormal);
    EXPECT_EQ(Work().barionGauge, 1000);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(director->GetCollisions().Head(2), ship);
    // An enemy on the ship: no gauge step to take, so a miss.
    Make<Target>(*ship->GetPosition());
    Frames(2);
    EXPECT_EQ(Work().down, 1);
    EXPECT_EQ(world.gw->misses, 1u);
}

TEST_F(Flight, AnAimDirectionTurnsToTheSubWeaponAndTheNextShotTurnsBack) {
    BeginRound();
    Frame(In::kAimLeft);
    EXPECT_EQ(Work().subWeaponMode, 1);
    EXPECT_EQ(ship->aimLatch, 1);
    EXPECT_EQ(ship->shotFrame, 0) << "aimed frames keep the rhythm";
    Frame(In::kShot);
    EXPECT_EQ(Work().subWeaponMode, 0);
    EXPECT_EQ(ship->aimLatch, 0);
    EXPECT_EQ(ship->shotFrame, 1);
    EXPECT_GT(Count<PlayerShot>(), 0u) << "back on the main shot";
}

TEST_F(Flight, TheModeToggleSoundsEveryPressAndSlowAloneFires) {
    BeginRound();
    const uint32_t before = Sounds(34);
    Frame(In::kSubWeaponMode);
    EXPECT_EQ(Work().subWeaponMode, 1);
    Frames(4);
    Frame(In::kSubWeaponMode);
    EXPECT_EQ(Work().subWeaponMode, 0);
    Frames(4);
    Frames(3, In::kSubWeaponMode);
    EXPECT_EQ(Work().subWeaponMode, 1) << "an edge: holding it toggles once";
    EXPECT_EQ(Sounds(34), before + 3);
    Work().subWeaponMode = 7;
    Frame();
    Frame(In::kSubWeaponMode);
    EXPECT_EQ(Work().subWeaponMode, 7) << "another value stays";

    Work().subWeaponMode = 0;
    Frame();
    const uint8_t rhythm = ship->shotFrame;
    Frame(In::kSlow);
    EXPECT_GT(Count<PlayerShot>(), 0u);
    EXPECT_EQ(ship->shotFrame, rhythm + 1);
}

// --- The ex-weapon states. ---

TEST_F(Flight, TheLaserNeedsAFullGaugeAndAFreshPress) {
    BeginRound();
    Work().barionGauge = static_cast<int16_t>(ShipRow().barionGaugeMax - 1);
    Frame(In::kExWeapon);
    EXPECT_EQ(ship->state, Player::kNormal) << "one point short";
    EXPECT_EQ(Sounds(97), 0u);
    Work().barionGauge = ShipRow().barionGaugeMax;
    Frame(In::kExWeapon);
    EXPECT_EQ(ship->state, Player::kNormal) << "held, not pressed again";
    Frame();
    Frame(In::kExWeapon);
    EXPECT_EQ(ship->state, Player::kBarionLaser);
    EXPECT_EQ(Sounds(97), 1u);
    EXPECT_EQ(Work().invincible, 1);
    EXPECT_EQ(Work().invincibleTimer, 60);
    Frames(59);
    EXPECT_EQ(Work().invincible, 1);
    Frame();
    EXPECT_EQ(Work().invincible, 0) << "60 frames of invincibility on entry";
}

TEST_F(Flight, TheLaserFiresOnlyWhileShotIsHeldAndEndsInTheGrabusterWhenDrained) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.laserInterval = 4;
    row.barionDrain = 10; // 100 frames from 1000
    Begin();
    Work().barionGauge = 1000;
    Frame(In::kExWeapon);
    ASSERT_EQ(ship->state, Player::kBarionLaser);
    Frames(6);
    EXPECT_EQ(ship->laserCooldown, 0);
    EXPECT_EQ(Sounds(27), 0u) << "no emitter without shot";
    std::vector<int> fired;
    for (int f = 0; f < 20; ++f) {
        const uint32_t before = Sounds(27);
        Frame(In::kShot);
        if (Sounds(27) != before)
            fired.push_back(f);
    }
    // The cooldown of 4 runs down once between emitters.
    EXPECT_EQ(fired, (std::vector<int>{0, 5, 10, 15}));
    EXPECT_EQ(Count<PlayerExWeapon_BarionLaserBase>(), 4u) << "a volley per emitter sound";
    EXPECT_EQ(ship->laserCount, 4u);
    EXPECT_EQ(Count<PlayerShot>(), 0u) << "no main shot in the laser";
    // 1000 - 27 x 10 so far; the laser ends when the gauge is empty.
    EXPECT_EQ(Work().barionGauge, 1000 - 26 * 10);
    Frames(73);
    EXPECT_EQ(ship->state, Player::kBarionLaser);
    EXPECT_EQ(Work().barionGauge, 10);
    Frame();
    EXPECT_EQ(ship->state, Player::kGrabuster);
    EXPECT_EQ(ship->grabPhase, Player::kGrabStartUp);
    EXPECT_EQ(Work().barionGauge, 0);
    EXPECT_EQ(Sounds(29), 1u);
    ASSERT_NE(ship->grabuster, nullptr) << "the Grabuster field rides on the ship";
    EXPECT_EQ(Count<PlayerExWeapon_Grabuster>(), 1u);
    EXPECT_EQ(ship->laserCount, 0u) << "every volley has run out";
}

TEST_F(Flight, AnEmptyHyperioGaugeStillRunsStartUpDrainAndWindDown) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.barionDrain = 1000;
    Begin();
    Work().barionGauge = 1000;
    Work().hyperioGauge = 0;
    Frame(In::kExWeapon);
    Frame();
    ASSERT_EQ(ship->state, Player::kGrabuster);
    uint32_t startUp = 0, drain = 0, windDown = 0;
    for (int guard = 0; ship->state == Player::kGrabuster && guard < 500; ++guard) {
        const uint8_t phase = ship->grabPhase;
        Frame(In::kShot);
        (phase == Player::kGrabStartUp ? startUp
         : phase == Player::kGrabDrain ? drain
                                       : windDown)++;
        if (phase == Player::kGrabStartUp && ship->grabPhase == Player::kGrabDrain) {
            EXPECT_EQ(Sounds(30), 1u) << "the drain starts with sound 30";
        }
    }
    EXPECT_EQ(startUp, 32u);
    EXPECT_EQ(drain, 1u);
    EXPECT_EQ(windDown, 50u);
    EXPECT_EQ(ship->state, Player::kNormal);
    EXPECT_EQ(Work().invincible, 1);
    EXPECT_EQ(Work().invincibleTimer, 120);
    EXPECT_EQ(Sounds(31), 1u);
    EXPECT_EQ(Sounds(30), 0u) << "the drain sound is stopped on every voice";
    EXPECT_EQ(Count<PlayerShot>(), 0u) << "no main shot while in the Grabuster";
}

TEST_F(Flight, TheDrainCountsTheHyperioGaugeDownInFrames) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.barionDrain = 1000;
    row.hyperioDrain = 3;
    row.grabusterSpeed = 3.0f;
    Begin();
    Work().barionGauge = 1000;
    Work().hyperioGauge = 301;
    Frame(In::kExWeapon);
    Frames(33);
    ASSERT_EQ(ship->grabPhase, Player::kGrabDrain);
    EXPECT_EQ(ship->grabFramesLeft, 101) << "(301 + 3 - 1) / 3";
    EXPECT_EQ(ship->grabLastBeep, 100);
    EXPECT_FLOAT_EQ(Step(In::kRight).x, 3.0f) << "the Grabuster's own speed";
    EXPECT_EQ(ship->grabFramesLeft, 100);
    EXPECT_EQ(Work().hyperioGauge, 298);
}

TEST_F(Flight, ACountdownWithoutDrainIsZeroNotADivision) {
    for (int16_t drain : {0, -2}) {
        ShipRowToEdit(0).hyperioDrain = drain;
        Begin();
        Work().hyperioGauge = 500;
        ship->grabLastBeep = 3;
        ship->StartGrabusterCountdown();
        EXPECT_EQ(ship->grabFramesLeft, 0) << drain;
        EXPECT_EQ(ship->grabLastBeep, 100) << drain;
        DeleteDirector();
    }
}

TEST_F(Flight, StageClearEndsTheLaserAndWindsTheGrabusterDown) {
    Begin();
    Work().barionGauge = 400;
    ship->state = Player::kBarionLaser;
    ship->grabStep = 9;
    ship->OnStageClear();
    EXPECT_EQ(ship->state, Player::kNormal);
    EXPECT_EQ(Work().barionGauge, 0);
    EXPECT_EQ(ship->grabStep, 0);

    Work().hyperioGauge = 300;
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabDrain;
    ship->grabStep = 5;
    ship->grabTick = 2;
    ship->OnStageClear();
    EXPECT_EQ(ship->state, Player::kGrabuster) << "the wind-down runs as usual";
    EXPECT_EQ(ship->grabPhase, Player::kGrabWindDown);
    EXPECT_EQ(Work().hyperioGauge, 0);
    EXPECT_EQ(ship->grabTick, 0);
    EXPECT_EQ(Sounds(31), 1u);

    ship->grabStep = 12;
    ship->OnStageClear();
    EXPECT_EQ(ship->grabStep, 12) << "already winding down: nothing";
}

// A flame every third cycle in normal flight, three a frame in the ex
// weapons, none from a hidden ship; each from 16 right or left of the ship
// and 32 below it, thrown 10 to 85 degrees off the horizontal on its own
// side (outwards and down) at 0.5 to 2.5 pixels a frame, three times that
// in the ex weapons.
TEST_F(Flight, ExhaustFlamesComeFromBothSidesOfTheShipAtTheirRates) {
    Begin();
    ship->cycle = 0;
    // The flames of `frames` frames, each checked in the frame that made it
    // (made in the ship's update, moved once in the same pass).
    const auto flames = [&](uint32_t frames, uint32_t word, float boost) {
        size_t made = 0;
        for (uint32_t i = 0; i < frames; ++i) {
            std::vector<PlayerEffectBackFire*> all = ChildrenOf<PlayerEffectBackFire>();
            const size_t before = all.size();
            Frame(word);
            all = ChildrenOf<PlayerEffectBackFire>();
            for (size_t k = before; k < all.size(); ++k, ++made) {
                const Vector2 v = all[k]->GetVelocity();
                const Vector2 from = *all[k]->GetPosition() - v - *ship->GetPosition();
                const bool left = from.x < 0.0f;
                EXPECT_TRUE(Near({std::fabs(from.x), from.y}, {16, 32}));
                const float degrees = std::atan2(v.y, v.x) * 180.0f / 3.14159265f;
                EXPECT_GE(degrees, left ? 100.0f - 1e-3f : 10.0f - 1e-3f) << left;
                EXPECT_LT(degrees, left ? 175.0f + 1e-3f : 85.0f + 1e-3f) << left;
                EXPECT_GE(v.Length(), 0.5f * boost - 1e-4f);
                EXPECT_LT(v.Length(), 2.5f * boost + 1e-4f);
                sides[left] = true;
            }
        }
        return made;
    };
    // cycle 1 to 15, then 0: flames at 3, 6, 9, 12, 15 and 0.
    EXPECT_EQ(flames(16, 0, 1.0f), 6u);
    Work().barionGauge = 1000;
    Frame(In::kExWeapon);
    EXPECT_EQ(flames(8, 0, 3.0f), 24u);
    EXPECT_TRUE(sides[0] && sides[1]) << "from both sides";
    ship->visible = 0;
    EXPECT_EQ(flames(4, 0, 3.0f), 0u) << "a hidden ship throws none";
}

// A ship is made visible at (0, 360), at scale 1, with its hit box on and
// every counter, latch and state of the last ship cleared, whatever its
// pool block held before.
TEST_F(Flight, ANewShipStartsWithEveryCounterCleared) {
    Begin();
    Player* last = GameObject::Create<Player>(nullptr, director);
    ASSERT_NE(last, nullptr);
    last->visible = 0;
    last->aimLatch = last->playerIndex = last->shotFrame = last->subCooldown = last->cycle = 9;
    last->shotCount[0] = last->shotCount[23] = 9;
    last->subCount = last->laserCount = last->laserCooldown = 9;
    last->state = Player::kGrabuster;
    last->grabPhase = Player::kGrabWindDown;
    last->grabStep = last->grabTick = 9;
    last->shieldCooldown = 9;
    last->bank = 0.5f;
    last->slowFrames = 9;
    last->SetScale(2.0f);
    void* block = last;
    delete last;
    Player* p = GameObject::Create<Player>(nullptr, director);
    ASSERT_EQ(static_cast<void*>(p), block) << "the block given back is taken again";
    testsupport::ExpectFields<double>({
        {"x", p->GetPosition()->x, 0},
        {"y", p->GetPosition()->y, 360},
        {"scale", p->GetScale(), 1},
        {"hit shape active", double(p->IsHitShapeActive()), 1},
        {"grabuster", double(p->grabuster != nullptr), 0},
        {"shield", double(p->shield != nullptr), 0},
        {"visible", double(p->visible), 1},
        {"aim latch", double(p->aimLatch), 0},
        {"player index", double(p->playerIndex), 0},
        {"shot frame", double(p->shotFrame), 0},
        {"sub-weapon cooldown", double(p->subCooldown), 0},
        {"cycle", double(p->cycle), 0},
        {"shots in slot 0", double(p->shotCount[0]), 0},
        {"shots in slot 23", double(p->shotCount[23]), 0},
        {"sub-weapon objects", double(p->subCount), 0},
        {"laser volleys", double(p->laserCount), 0},
        {"laser cooldown", double(p->laserCooldown), 0},
        {"state", double(p->state), Player::kNormal},
        {"Grabuster phase", double(p->grabPhase), Player::kGrabStartUp},
        {"Grabuster step", double(p->grabStep), 0},
        {"Grabuster tick", double(p->grabTick), 0},
        {"shield cooldown", double(p->shieldCooldown), 0},
        {"bank", p->bank, 0},
        {"slow frames", double(p->slowFrames), 0},
    });
    delete p;
}
