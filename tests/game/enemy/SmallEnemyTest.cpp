// The small enemy families on a playing stage: S003's swinging fall, S004's
// stop, turn and dive, S008's warp-in and spiral, S009's approach counted
// inside the field, S010's retreat threshold, S011's accelerating dive,
// S012's silent emitters and sideways dash, S015's late aim and S018's bob.
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS011.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "support/EnemyTestSupport.h"

#include <cmath>
#include <numbers>

namespace {

using Mireku::Common::Vector2;
using stage_test::TestShot;

constexpr float kPi = std::numbers::pi_v<float>;

class SmallEnemyTest : public enemy_test::EnemyTest {
protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Play();
        director->SetScrollRatio(0.0f);
        for (uint32_t type = 4; type <= 33; ++type) {
            EnemyRecord& r = Row(type);
            r.mirror = 0;
            r.facePlayer = r.faceMotion = r.spin = 0;
            r.health = 1000;
            r.trackA[0] = {0, 0, 31, 31};
        }
        world.random->SeedFixed();
    }
    template <class T> T* Make(int32_t type, float x, float y) {
        return GameObject::Create<T>(director, director, type, Vector2{x, y});
    }
    void Hit(EnemyDefault* enemy, int16_t attack) {
        TestShot shot(director, *enemy->GetPosition(), attack);
        enemy->OnCollision(&shot);
    }
    // The ship at a field position, without the ship's own update moving it.
    void PlayerAt(float x, float y) { AttachPlayer(x, y); }
};

} // namespace

TEST_F(SmallEnemyTest, S003OfTypeSixFallsTheFieldIn160FramesNeverLeftOfItsColumn) {
    auto* e = Make<EnemyS003>(6, -100.0f, 0.0f);
    float maxSwing = 0.0f;
    for (int f = 1; f <= 161; ++f) {
        UpdateChildren();
        ASSERT_GE(e->GetPosition()->x, -100.0f) << "frame " << f;
        maxSwing = std::max(maxSwing, e->GetPosition()->x + 100.0f);
        EXPECT_GE(e->GetPhase(), 0.0f);
        EXPECT_LE(e->GetPhase(), kPi);
    }
    EXPECT_FLOAT_EQ(e->GetPathPosition(), 161 * 4.5f);
    EXPECT_FLOAT_EQ(e->GetPosition()->y, 720.0f) << "the fall of 160 frames";
    EXPECT_TRUE(e->IsAlive());
    EXPECT_NEAR(maxSwing, 112.0f, 1.0f);
    UpdateChildren();
    EXPECT_FALSE(e->IsAlive()) << "below the field";
}

TEST_F(SmallEnemyTest, S003SwingsByItsTypesAmplitudeAndFallRate) {
    const float fall[3] = {9.0f, 7.2f, 4.5f};
    const float amplitude[3] = {312.0f, 224.0f, 112.0f};
    const float step[3] = {11.25f, 8.1f, 7.31f};
    for (int i = 0; i < 3; ++i) {
        auto* e = Make<EnemyS003>(4 + i, 0.0f, 0.0f);
        for (int f = 0; f < 3; ++f)
            e->Move();
        // Third move: the sine of the phase after two steps, the fall of two.
        EXPECT_NEAR(e->GetPosition()->x, amplitude[i] * std::sin(2.0f * step[i] * kPi / 180.0f),
                    1e-2f);
        EXPECT_NEAR(e->GetPosition()->y, 2.0f * fall[i], 1e-4f);
    }
}

namespace {

// S004 on a path that holds it at its spawn point, level with the player.
class S004Test : public SmallEnemyTest {
protected:
    EnemyS004* Level(int32_t type, int16_t turnTime) {
        EnemyRecord& r = Row(static_cast<uint32_t>(type));
        r.moveParams[0] = 50; // dive speed 8
        r.moveParams[1] = turnTime;
        std::vector<Vector2> still(100, Vector2{0.0f, 0.0f});
        InstallPath(0, still);
        SetResources(static_cast<uint32_t>(type), 0, -1, 0);
        PlayerAt(100.0f, 600.0f);
        return Make<EnemyS004>(type, 100.0f, 200.0f);
    }
};

} // namespace

TEST_F(S004Test, ATurnTimeOfOneTurnsDivesAndSoundsInTheFirstFrame) {
    EnemyS004* e = Level(7, 1);
    EXPECT_FLOAT_EQ(e->GetAngle(), -kPi / 2.0f);
    e->Move();
    ASSERT_EQ(e->GetState(), EnemyS004::kTurn);
    const uint32_t before = SoundCount(EnemyS004::kTurnSound);
    e->Move();
    EXPECT_EQ(e->GetTurnAngle(), 0.0f);
    EXPECT_EQ(e->GetAngle(), 0.0f);
    EXPECT_EQ(e->GetState(), EnemyS004::kDive);
    EXPECT_EQ(SoundCount(EnemyS004::kTurnSound), before + 1);
    const float y = e->GetPosition()->y;
    e->Move();
    EXPECT_FLOAT_EQ(e->GetPosition()->y, y + 8.0f);
}

TEST_F(S004Test, AnOddTurnTimeTurnsInHalfAndSoundsOneFrameLater) {
    EnemyS004* e = Level(8, 5); // T / 2 = 2
    e->Move();
    ASSERT_EQ(e->GetState(), EnemyS004::kTurn);
    const uint32_t before = SoundCount(EnemyS004::kTurnSound);
    e->Move();
    EXPECT_NEAR(e->GetTurnAngle(), kPi / 4.0f, 1e-6f);
    e->Move();
    EXPECT_EQ(e->GetTurnAngle(), 0.0f) << "turned after T / 2 frames";
    EXPECT_EQ(SoundCount(EnemyS004::kTurnSound), before);
    e->Move();
    EXPECT_EQ(SoundCount(EnemyS004::kTurnSound), before + 1) << "when the timer is T / 2";
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyS004::kTurn);
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyS004::kDive) << "after T frames";
    EXPECT_EQ(SoundCount(EnemyS004::kTurnSound), before + 1);
}

TEST_F(S004Test, ItGoesOnceItsOffsetHasDivenPastTheFieldsHeight) {
    EnemyS004* e = Level(7, 2);
    for (int f = 0; f < 200 && e->IsAlive(); ++f)
        e->Move();
    EXPECT_FALSE(e->IsAlive());
    EXPECT_GT(e->GetOffset().y, 720.0f);
    EXPECT_LE(e->GetOffset().y, 728.0f);
}

TEST_F(SmallEnemyTest, S008WarpsInFor17FramesAndWithoutSpinFliesStraightInAndOut) {
    Row(14).moveParams[1] = 0;
    Row(14).speed = 50; // 8 a frame
    const Vector2 centre{0.0f, 360.0f};
    const float angle = 0.7f;
    auto* e = GameObject::Create<EnemyS008>(director, director, 14, centre, angle);
    const int32_t images[17] = {1, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6};
    for (int f = 0; f < 17; ++f) {
        e->Move();
        EXPECT_EQ(e->GetWarpImage(), images[f]);
        EXPECT_EQ(e->GetState(), EnemyS008::kWarpIn);
    }
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyS008::kSpiral);
    float lastRadius = 1e9f;
    bool out = false;
    for (int f = 0; f < 200 && e->IsAlive(); ++f) {
        e->Move();
        const Vector2 d = *e->GetPosition() - centre;
        // Always on the line through the centre along its own angle.
        EXPECT_NEAR(d.x * std::sin(angle) - d.y * std::cos(angle), 0.0f, 1e-2f);
        EXPECT_EQ(e->GetRingAngle(), angle);
        if (e->GetState() == EnemyS008::kOut)
            out = true;
        if (!out) {
            EXPECT_LT(e->GetRadius(), lastRadius);
        }
        lastRadius = e->GetRadius();
    }
    EXPECT_TRUE(out);
    EXPECT_FALSE(e->IsAlive()) << "gone off the field";
}

TEST_F(SmallEnemyTest, S008TurnsByItsSpinWhileSpiralling) {
    Row(15).moveParams[1] = 3;
    auto* e = GameObject::Create<EnemyS008>(director, director, 15, Vector2{0.0f, 360.0f}, 1.0f);
    for (int f = 0; f < 18; ++f)
        e->Move();
    e->Move();
    EXPECT_NEAR(e->GetRingAngle(), 1.0f - 3.0f * kPi / 180.0f, 1e-5f);
}

TEST_F(SmallEnemyTest, S009CountsNoDistanceOffTheField) {
    EnemyRecord& r = Row(16);
    r.speed = 50; // 8 a frame
    r.moveParams[0] = 40;
    r.moveParams[1] = 5;
    r.moveParams[2] = 100;
    PlayerAt(0.0f, 600.0f);
    auto* e = Make<EnemyS009>(16, 0.0f, -100.0f);
    EXPECT_NEAR(e->GetAngle(), kPi, 1e-5f) << "its heading + pi/2, straight down";
    int inside = 0;
    for (int f = 0; f < 100 && e->GetState() == EnemyS009::kApproach; ++f) {
        UpdateChildren();
        if (e->GetPosition()->y < 0.0f) {
            EXPECT_EQ(e->GetTravelled(), 0.0f);
        } else {
            ++inside;
        }
    }
    EXPECT_EQ(e->GetState(), EnemyS009::kHalt);
    EXPECT_GT(e->GetTravelled(), 40.0f);
    EXPECT_GT(e->GetPosition()->y, 0.0f);
    const Vector2 at = *e->GetPosition();
    for (int f = 0; f < 5; ++f) {
        UpdateChildren();
        EXPECT_EQ(*e->GetPosition(), at) << "halted";
    }
    EXPECT_EQ(e->GetState(), EnemyS009::kDash);
    UpdateChildren();
    EXPECT_NEAR(e->GetPosition()->y, at.y + 16.0f, 1e-3f) << "at its dash speed";
    EXPECT_NEAR(e->GetAngle(), kPi, 1e-5f) << "never turned";
}

TEST_F(SmallEnemyTest, S010RetreatsAtItsThresholdOfDamage) {
    Row(18).moveParams[0] = 100; // threshold 0
    Row(18).moveParams[1] = 50;
    auto* first = Make<EnemyS010>(18, 0.0f, 300.0f);
    first->Move();
    EXPECT_EQ(first->GetState(), EnemyS010::kRetreat) << "in its first frame";
    EXPECT_EQ(first->GetAngle(), 0.0f);
    const float y = first->GetPosition()->y;
    first->Move();
    EXPECT_EQ(first->GetRetreatFrame(), 1);
    EXPECT_FLOAT_EQ(first->GetPosition()->y, y - 8.0f);

    Row(18).moveParams[0] = 0; // threshold = health
    auto* never = Make<EnemyS010>(18, 0.0f, 300.0f);
    Hit(never, 999);
    never->Move();
    EXPECT_EQ(never->GetState(), EnemyL015::kFlying);
    Row(18).moveParams[0] = 25; // retreats at 750 damage
    auto* mid = Make<EnemyS010>(18, 0.0f, 300.0f);
    Hit(mid, 749);
    mid->Move();
    EXPECT_EQ(mid->GetState(), EnemyL015::kFlying);
    Hit(mid, 1);
    mid->Move();
    EXPECT_EQ(mid->GetState(), EnemyS010::kRetreat);
    for (int f = 0; f < 5; ++f)
        mid->Move();
    EXPECT_EQ(mid->GetRetreatFrame(), 3) << "folds in three frames and stays";
}

TEST_F(SmallEnemyTest, S011DivesAtThePlayerFasterEveryFrame) {
    Row(19).moveParams[0] = 1;  // hover one frame
    Row(19).moveParams[1] = 25; // dive speed 4
    Row(19).speed = 100;
    PlayerAt(0.0f, 700.0f);
    auto* e = Make<EnemyS011>(19, -360.0f, 624.0f);
    for (int f = 0; f < 300 && e->GetState() != EnemyL017::kLeave; ++f)
        e->Move();
    ASSERT_EQ(e->GetState(), EnemyL017::kLeave);
    const Vector2 before = *e->GetPosition();
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyS011::kDive);
    EXPECT_FLOAT_EQ(e->GetSpeed(), 4.2f);
    const Vector2 moved = *e->GetPosition() - before;
    EXPECT_NEAR(moved.Length(), 4.2f, 1e-3f);
    e->Move();
    EXPECT_FLOAT_EQ(e->GetSpeed(), 4.4f);
}

TEST_F(SmallEnemyTest, S012StaysSilentUntilDamagedToItsThreshold) {
    Row(21).moveParams[1] = 50; // fires at 500 damage
    auto* e = Make<EnemyS012>(21, 0.0f, 100.0f);
    EXPECT_FALSE(e->AreEmittersEnabled());
    for (int f = 0; f < 5; ++f)
        e->Move();
    EXPECT_FALSE(e->AreEmittersEnabled());
    Hit(e, 499);
    e->Move();
    EXPECT_FALSE(e->AreEmittersEnabled());
    Hit(e, 1);
    e->Move();
    EXPECT_TRUE(e->AreEmittersEnabled());

    Row(21).moveParams[1] = 100; // any first damage
    auto* any = Make<EnemyS012>(21, 0.0f, 100.0f);
    any->Move();
    EXPECT_FALSE(any->AreEmittersEnabled()) << "no damage, no fire";
    Hit(any, 1);
    any->Move();
    EXPECT_TRUE(any->AreEmittersEnabled());
}

TEST_F(SmallEnemyTest, S012LevelWithThePlayerDashesTowardsPlusX) {
    Row(21).speed = 50; // 8 a frame
    PlayerAt(40.0f, 600.0f);
    auto* e = Make<EnemyS012>(21, 40.0f, 100.0f);
    for (int f = 0; f < 200 && e->GetState() == EnemyS012::kFall; ++f)
        e->Move();
    ASSERT_EQ(e->GetState(), EnemyS012::kTurn);
    // Ten frames out at 8 a frame: within one step of the player's height.
    EXPECT_NEAR(e->GetPosition()->y + 80.0f, 600.0f, 8.0f);
    EXPECT_FLOAT_EQ(e->GetTurnStep(), -0.15707964f);
    for (int f = 0; f < 10; ++f)
        e->Move();
    EXPECT_EQ(e->GetState(), EnemyS012::kDash);
    const Vector2 before = *e->GetPosition();
    e->Move();
    EXPECT_NEAR(e->GetPosition()->x - before.x, 8.0f, 1e-3f);
    EXPECT_NEAR(e->GetPosition()->y, before.y, 1e-3f);

    PlayerAt(-200.0f, 600.0f);
    auto* left = Make<EnemyS012>(21, 40.0f, 100.0f);
    for (int f = 0; f < 200 && left->GetState() != EnemyS012::kDash; ++f)
        left->Move();
    const float x = left->GetPosition()->x;
    left->Move();
    EXPECT_NEAR(left->GetPosition()->x - x, -8.0f, 1e-3f) << "the player to the left";
}

TEST_F(SmallEnemyTest, S015StandsFor38FramesAndAimsOnlyThen) {
    Row(24).speed = 50;
    PlayerAt(-300.0f, 600.0f);
    const uint32_t sounds = SoundCount(EnemyS015::kAppearSound);
    auto* e = Make<EnemyS015>(24, 0.0f, 100.0f);
    EXPECT_EQ(SoundCount(EnemyS015::kAppearSound), sounds + 1);
    for (int f = 0; f < 38; ++f) {
        e->Move();
        EXPECT_EQ(e->GetState(), EnemyS015::kWarpIn);
        EXPECT_EQ(*e->GetPosition(), (Vector2{0.0f, 100.0f}));
    }
    EXPECT_EQ(e->GetWarpImage(), 8);
    PlayerAt(300.0f, 600.0f);
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyL015::kFlying);
    EXPECT_NEAR(e->GetHeading(), std::atan2(500.0f, 300.0f), 1e-5f) << "aimed at the end";
}

TEST_F(SmallEnemyTest, S018BobsWithAPeriodOf72AndLeavesUpward) {
    EnemyRecord& r = Row(31);
    r.speed = 50;
    r.moveParams[0] = 20;  // approach 20 pixels
    r.moveParams[1] = 150; // bob 150 frames
    PlayerAt(0.0f, 600.0f);
    auto* e = Make<EnemyS018>(31, 0.0f, 100.0f);
    for (int f = 0; f < 50 && e->GetState() == EnemyS018::kApproach; ++f)
        e->Move();
    ASSERT_EQ(e->GetState(), EnemyS018::kBob);
    const float base = e->GetPosition()->y;
    std::vector<float> ys;
    for (int f = 0; f < 150; ++f) {
        e->Move();
        ys.push_back(e->GetPosition()->y);
        EXPECT_LE(std::fabs(ys.back() - base), 16.0f + 1e-3f);
    }
    for (int k = 0; k + 72 < 150; ++k)
        EXPECT_NEAR(ys[k + 72], ys[k], 1e-2f) << k;
    EXPECT_NEAR(ys[18], base + 16.0f, 1e-2f) << "a quarter period: the top of the bob";
    EXPECT_EQ(e->GetState(), EnemyS018::kBobOn);
    for (int f = 0; f < 60; ++f)
        e->Move();
    EXPECT_EQ(e->GetState(), EnemyS018::kLeave);
    const float left = e->GetPosition()->y;
    e->Move();
    EXPECT_NEAR(e->GetPosition()->y, left - 8.0f, 1e-3f) << "from wherever the bob left it";
    for (int f = 0; f < 200 && e->IsAlive(); ++f)
        e->Move();
    EXPECT_FALSE(e->IsAlive()) << "gone once off the field";
}
