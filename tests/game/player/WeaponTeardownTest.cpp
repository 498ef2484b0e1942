// The weapons' live counts on the ship: back to 0 once every weapon has run
// out, and never written into a freed ship when a stage ends with them all
// alive (the director deletes the ship before the weapons made after it;
// under AddressSanitizer the freed blocks are poisoned, so such a write
// stops the test).
#include "game/enemy/explosion/GrabusterHamon.h"
#include "game/player/PlayerCreation.h"
#include "game/player/PlayerExWeapon_BarionLaserBase.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW002.h"
#include "game/player/PlayerSubWeapon_SW003Hit.h"
#include "game/player/PlayerSubWeapon_SW004Sonic.h"
#include "game/player/PlayerSubWeapon_SW005.h"
#include "game/player/PlayerSubWeapon_SW005Decoy.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class Teardown : public StageTest {
protected:
    // Every sub weapon fired by aim, one after the other, then the laser
    // and with it the Grabuster; an auto shield on the way.
    void FireEverything() {
        ShipParamRow& row = ShipRowToEdit(0);
        row.sub1Cooldown = row.sub2Cooldown = row.sub3Cooldown = row.sub4Cooldown = 1;
        row.sub1Limit = row.sub2Limit = row.sub3Limit = row.sub4Limit = row.sub5Limit = 100;
        row.barionDrain = 50; // 20 frames of laser
        BeginWith(0);
        PlaceShip({0.0f, 600.0f});
        // A wall of enemies above the ship for the weapons to meet.
        for (int i = 0; i < 8; ++i)
            Enemy({-280.0f + 80.0f * static_cast<float>(i), 150.0f}, 40);
        for (uint8_t weapon = 0; weapon < 5; ++weapon) {
            Work().subWeapon = weapon;
            Frame(weapon == 3 ? In::kAimLeft : In::kAimUp);
            Frame();
        }
        Work().barionGauge = ShipRow().barionGaugeMax;
        ASSERT_TRUE(ship->TryAutoShield());
        Work().barionGauge = ShipRow().barionGaugeMax;
        Work().hyperioGauge = 30;
        Frame(In::kExWeapon);
        Frames(4, In::kShot);
        ASSERT_EQ(ship->state, Player::kBarionLaser);
    }
};

} // namespace

TEST_F(Teardown, AfterEveryWeaponHasRunOutTheLiveCountsAreZero) {
    FireEverything();
    ASSERT_GT(ship->subCount, 10);
    ASSERT_GT(ship->laserCount, 0);
    EXPECT_GT(Count<PlayerSubWeapon_SW002>(), 0u);
    EXPECT_GT(Count<PlayerSubWeapon_SW005Decoy>(), 0u);
    for (int i = 0; i < 900 && (ship->subCount != 0 || ship->state != Player::kNormal); ++i)
        Frame(In::kShot);
    EXPECT_EQ(ship->subCount, 0);
    EXPECT_EQ(ship->laserCount, 0);
    EXPECT_EQ(ship->state, Player::kNormal) << "through the Grabuster and its wind-down";
    Frames(10);
    EXPECT_EQ(Count<PlayerExWeapon_Grabuster>(), 0u);
    EXPECT_EQ(Count<GrabusterHamon>(), 0u);
}

TEST_F(Teardown, AStageDeletedWithEveryWeaponAliveWritesIntoNoFreedBlock) {
    // The pool's freed blocks are poisoned: what follows would stop at a
    // write into one.
    ExpectPoolPoisonsFreedBlocks();
    FireEverything();
    // On to the Grabuster, the laser's volleys still flying.
    Frames(18, In::kShot);
    ASSERT_EQ(ship->state, Player::kGrabuster);
    // And of every kind one more, made after all the others.
    const ShipParamRow* row = &ShipRow();
    CreateGrabusterHamon(director, *ship->GetPosition(), row);
    Make<PlayerSubWeapon_SW001>(ship, Vector2{0.0f, 500.0f}, row);
    Make<PlayerSubWeapon_SW003Hit>(ship, Vector2{}, row);
    Make<PlayerSubWeapon_SW004Sonic>(ship, Vector2{}, row);
    PlayerSubWeapon_SW002::Launch(director, ship, nullptr, Vector2{}, Vector2{0.0f, 1.0f},
                                  Vector2{}, row);
    Target* source = Enemy({});
    Make<PlayerSubWeapon_SW005>(ship, source, row);
    CreateBarionLaserBase(director, ship, row);
    ASSERT_GT(ship->subCount, 15);
    ASSERT_NE(ship->shield, nullptr);
    ASSERT_NE(ship->grabuster, nullptr);
    const uint32_t live = world.pool->LiveCount();
    ASSERT_GT(live, 100u);
    const void* shipBlock = ship;
    DeleteDirector();
    EXPECT_EQ(world.pool->LiveCount(), 0u) << "every block, trails too, went back";
    ExpectPoisoned(shipBlock);
}
