// The ship's sub-weapon volley: the row's cooldowns and live limits, the aim
// from the input word, the homing fan with and without enemies, and the
// decoys' spread from the play stream.
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW002.h"
#include "game/player/PlayerSubWeapon_SW002Fx.h"
#include "game/player/PlayerSubWeapon_SW003.h"
#include "game/player/PlayerSubWeapon_SW004.h"
#include "game/player/PlayerSubWeapon_SW005Decoy.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

constexpr float kDegree = 3.14159265f / 180.0f;

class Firing : public StageTest {};

} // namespace

TEST_F(Firing, AnAimFiresSwitchesToTheSubWeaponAndARunningCooldownFiresNothing) {
    ShipRowToEdit(0).sub1Cooldown = 20;
    BeginWith(0);
    ASSERT_EQ(Work().subWeaponMode, 0);
    Frame(In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001>(), 1u);
    EXPECT_EQ(Work().subWeaponMode, 1) << "an aim switches to the sub weapon";
    EXPECT_EQ(ship->aimLatch, 1);
    EXPECT_EQ(Sounds(35), 1u);
    EXPECT_EQ(ship->subCooldown, 19) << "the row's 20, less this frame's";
    Work().subWeaponMode = 0;
    Frames(19, In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001>(), 1u) << "nothing while the cooldown runs";
    EXPECT_EQ(Work().subWeaponMode, 1) << "but the mode is still set";
    EXPECT_EQ(ship->subCooldown, 0);
    Frame(In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001>(), 2u);
    EXPECT_EQ(Sounds(35), 2u);
    // Shot after an aimed volley returns to the main shot.
    Frame(In::kShot);
    EXPECT_EQ(Work().subWeaponMode, 0);
    EXPECT_EQ(ship->aimLatch, 0);
}

TEST_F(Firing, AtTheLimitNoVolleyLeavesAndNoCooldownStarts) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub3Limit = 1;
    row.sub3Cooldown = 2;
    BeginWith(2);
    Work().subWeaponMode = 1;
    Frame(In::kShot);
    ASSERT_EQ(Count<PlayerSubWeapon_SW003>(), 1u);
    EXPECT_EQ(ship->subCount, 1);
    Frames(3, In::kShot);
    EXPECT_EQ(Count<PlayerSubWeapon_SW003>(), 1u);
    EXPECT_EQ(ship->subCooldown, 0) << "no cooldown is spent at the limit";
    EXPECT_EQ(Sounds(37), 1u);
    // A negative limit never lets one through.
    DeleteDirector();
    ShipRowToEdit(0).sub1Limit = -1;
    BeginWith(0);
    Frame(In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001>(), 0u);
    EXPECT_EQ(ship->subCooldown, 0);
}

TEST_F(Firing, TheLiveCountHoldsPastTwoHundredAndFiftyFiveAgainstItsSixteenBitLimit) {
    // Volleys of 100 homing lasers every frame: three reach a limit of 300
    // exactly and the fourth is refused; a limit of 301 lets it go.
    for (const int16_t limit : {int16_t{300}, int16_t{301}}) {
        SCOPED_TRACE(limit);
        ShipParamRow& row = ShipRowToEdit(0);
        row.sub2Volley = 100;
        row.sub2Limit = limit;
        row.sub2Cooldown = 1;
        BeginWith(1);
        Frames(3, In::kAimUp);
        ASSERT_EQ(ship->subCount, 300);
        ASSERT_EQ(Count<PlayerSubWeapon_SW002>(), 300u) << "all still flying";
        Frame(In::kAimUp);
        const int16_t expected = limit > 300 ? 400 : 300;
        EXPECT_EQ(ship->subCount, expected);
        EXPECT_EQ(Count<PlayerSubWeapon_SW002>(), static_cast<size_t>(expected));
        DeleteDirector();
    }
}

TEST_F(Firing, AVolleyOfNoneOrFewerLasersMakesOnlyTheLaunchFlash) {
    for (const int16_t volley : {int16_t{0}, int16_t{-1}, int16_t{-300}}) {
        SCOPED_TRACE(volley);
        ShipParamRow& row = ShipRowToEdit(0);
        row.sub2Volley = volley;
        row.sub2Cooldown = 9;
        BeginWith(1);
        // An enemy to pick as a target: there is no list to deal it into.
        Enemy({0.0f, 100.0f});
        // Past the repeat guard of the sound the last round played.
        Frames(3);
        const uint32_t sounds = Sounds(36);
        Frame(In::kAimUp);
        EXPECT_EQ(Count<PlayerSubWeapon_SW002>(), 0u);
        EXPECT_EQ(Count<PlayerSubWeapon_SW002Fx>(), 1u);
        EXPECT_EQ(ship->subCount, 0);
        EXPECT_EQ(ship->subCooldown, 8) << "the cooldown is spent";
        EXPECT_EQ(Sounds(36), sounds + 1) << "and the sound plays";
        DeleteDirector();
    }
}

TEST_F(Firing, SubWeaponFiveWaitsForSubWeaponFoursCooldownByte) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub4Cooldown = 7;
    row.unread92 = 50;
    row.sub5Limit = 100;
    row.sub5Decoys = 2;
    BeginWith(4);
    Frame(In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW005Decoy>(), 2u);
    EXPECT_EQ(ship->subCooldown, 6) << "offset 78's 7, not offset 92's 50";
    EXPECT_EQ(Sounds(41), 1u) << "one sound for the volley";
}

TEST_F(Firing, TheAimBitsThrowTheBombAndOppositeBitsCancel) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub4LaunchSpeed = 10;
    row.sub4Cooldown = 1;
    row.sub4Limit = 100;
    BeginWith(3);
    struct Case {
        uint32_t word;
        Vector2 velocity; // subtracted from the position each frame
    };
    const float d = 10.0f / std::sqrt(2.0f);
    for (const Case& c : {Case{In::kAimUp, {0.0f, 10.0f}}, Case{In::kAimDown, {0.0f, -10.0f}},
                          Case{In::kAimLeft, {10.0f, 0.0f}}, Case{In::kAimRight, {-10.0f, 0.0f}},
                          Case{In::kAimUp | In::kAimRight, {-d, d}},
                          Case{In::kAimLeft | In::kAimRight | In::kAimUp | In::kAimDown, {}}}) {
        const std::vector<PlayerSubWeapon_SW004*> before = ChildrenOf<PlayerSubWeapon_SW004>();
        Frame(c.word);
        const std::vector<PlayerSubWeapon_SW004*> after = ChildrenOf<PlayerSubWeapon_SW004>();
        ASSERT_EQ(after.size(), before.size() + 1) << c.word;
        // The velocity after its first update: the launch one times 0.97.
        const Vector2 v = after.back()->GetVelocity() * (1.0f / 0.97f);
        EXPECT_NEAR(v.x, c.velocity.x, 1e-4f) << c.word;
        EXPECT_NEAR(v.y, c.velocity.y, 1e-4f) << c.word;
        Frame();
    }
    // Shot in sub-weapon mode at rest fires with a zero direction as well.
    Frame(In::kShot);
    EXPECT_EQ(ChildrenOf<PlayerSubWeapon_SW004>().back()->GetVelocity().LengthSquared(), 0.0f);
}

TEST_F(Firing, WithoutEnemiesTheFanHeadsFarAboveTheFieldByItsAngles) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub2Volley = 6;
    BeginWith(1);
    PlaceShip({40.0f, 500.0f});
    Frame(In::kAimUp);
    const std::vector<PlayerSubWeapon_SW002*> lasers = ChildrenOf<PlayerSubWeapon_SW002>();
    ASSERT_EQ(lasers.size(), 6u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW002Fx>(), 1u);
    EXPECT_EQ(ship->subCount, 6);
    EXPECT_EQ(Sounds(36), 1u);
    for (size_t i = 0; i < lasers.size(); ++i) {
        // 30 to 150 degrees in steps of 24.
        const float a = (30.0f + 24.0f * static_cast<float>(i)) * kDegree;
        EXPECT_EQ(lasers[i]->GetTarget(), nullptr);
        EXPECT_NEAR(lasers[i]->GetAim().x, 40.0f + 1000.0f * std::cos(a), 1e-2f) << i;
        EXPECT_EQ(lasers[i]->GetAim().y, -5000.0f) << i;
        // From the launch point 32 above the ship, backward along the fan.
        const Vector2 moved = *lasers[i]->GetPosition() - Vector2{40.0f, 468.0f};
        EXPECT_GT(moved.y, 0.0f) << "leaves backward " << i;
        EXPECT_GT(moved.x * std::cos(a), -1e-3f) << "to its own side " << i;
    }
}

TEST_F(Firing, OneLaserLeavesMidFanAndAVolleyIsAtMostAHundred) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub2Volley = 1;
    BeginWith(1);
    PlaceShip({-100.0f, 500.0f});
    Frame(In::kAimUp);
    std::vector<PlayerSubWeapon_SW002*> lasers = ChildrenOf<PlayerSubWeapon_SW002>();
    ASSERT_EQ(lasers.size(), 1u);
    EXPECT_NEAR(lasers[0]->GetAim().x, -100.0f, 1e-3f) << "straight back, at 90 degrees";
    EXPECT_TRUE(std::isfinite(lasers[0]->GetPosition()->x));
    DeleteDirector();

    ShipParamRow& many = ShipRowToEdit(0);
    many.sub2Volley = 150;
    many.sub2Limit = 200;
    BeginWith(1);
    Enemy({0.0f, 100.0f});
    Frame();
    Frame(In::kAimUp);
    lasers = ChildrenOf<PlayerSubWeapon_SW002>();
    EXPECT_EQ(lasers.size(), 100u) << "the target list holds 100";
    EXPECT_EQ(ship->subCount, 100);
    for (const PlayerSubWeapon_SW002* laser : lasers)
        EXPECT_NE(laser->GetTarget(), nullptr);
}

TEST_F(Firing, DecoysSpreadFromThePlayStreamWithinHalfTheRowsSpread) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub5Decoys = 3;
    row.sub5SpreadWidth = 121;  // halves truncate: 60
    row.sub5SpreadHeight = -41; // -20
    row.sub5Limit = 100;
    BeginWith(4);
    Mireku::Common::Random expected = world.random->Stream(RandomManager::kPlay);
    Frame(In::kAimUp);
    const std::vector<PlayerSubWeapon_SW005Decoy*> decoys =
        ChildrenOf<PlayerSubWeapon_SW005Decoy>();
    ASSERT_EQ(decoys.size(), 3u);
    for (PlayerSubWeapon_SW005Decoy* decoy : decoys) {
        // x first, then y, each from -half to half.
        const float x = expected.RangeFloat(-60.0f, 60.0f);
        const float y = expected.RangeFloat(20.0f, -20.0f);
        // After its first update the decoy has come 15% of the way.
        EXPECT_FLOAT_EQ(decoy->GetOffset().x, x * 0.15f);
        EXPECT_FLOAT_EQ(decoy->GetOffset().y, y * 0.15f);
    }
    const Mireku::Common::Random& now = world.random->Stream(RandomManager::kPlay);
    EXPECT_EQ(now.x, expected.x);
    EXPECT_EQ(now.w, expected.w) << "two draws a decoy and no more";
}

TEST_F(Firing, NoShipRowOrAnUnknownSubWeaponFiresNothing) {
    BeginWith(7);
    Work().subWeaponMode = 1;
    Frame(In::kShot);
    EXPECT_EQ(ship->subCount, 0);
    EXPECT_EQ(ship->subCooldown, 0);
    for (int32_t id : {35, 36, 37, 39, 41})
        EXPECT_EQ(Sounds(id), 0u);
}
