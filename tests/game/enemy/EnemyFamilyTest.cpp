// The enemy families on a playing stage. Small: S003's swinging fall,
// S004's stop, turn and dive, S008's warp-in and spiral, S009's approach
// counted inside the field, S010's retreat threshold, S011's accelerating
// dive, S012's silent emitters and sideways dash, S015's late aim and
// S018's bob. Large: L015's straight flight and its speed pick, L016's
// bursts, swelling, hit frame and death frames, L017's approach, hover and
// leave, L018's chase through its ring and its dive; and the factory's
// types 75-78.
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/EnemyFactory.h"
#include "game/enemy/large/EnemyL015.h"
#include "game/enemy/large/EnemyL016.h"
#include "game/enemy/large/EnemyL017.h"
#include "game/enemy/large/EnemyL018.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS011.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "support/StageRig.h"

#include <cmath>
#include <functional>
#include <map>
#include <numbers>

namespace {

using namespace stage_test;

constexpr float kPi = std::numbers::pi_v<float>;

// Rows of the small (4-33) and large (75-78) types made plain: no mirror,
// no facing or spin, 1000 hit points, a frame 0 of 32 (small) or 64
// (large: half sizes 31) square.
class FamilyTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Play();
        director->SetScrollRatio(0.0f);
        for (uint32_t type = 4; type <= 78; type = type == 33 ? 75 : type + 1) {
            EnemyRecord& r = Row(type);
            r.mirror = 0;
            r.facePlayer = r.faceMotion = r.spin = 0;
            r.health = 1000;
            r.trackA[0] = type < 75 ? TexelRect{0, 0, 31, 31} : TexelRect{0, 0, 63, 63};
        }
        world.random->SeedFixed();
    }
    // The ship at a field position, without the ship's own update moving it.
    void PlayerAt(float x, float y) { PlaceShip({x, y}); }
};

} // namespace

TEST_F(FamilyTest, S003OfTypeSixFallsTheFieldIn160FramesNeverLeftOfItsColumn) {
    auto* e = Make<EnemyS003>(6, Vector2{-100.0f, 0.0f});
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

TEST_F(FamilyTest, S003SwingsByItsTypesAmplitudeAndFallRate) {
    const float fall[3] = {9.0f, 7.2f, 4.5f};
    const float amplitude[3] = {312.0f, 224.0f, 112.0f};
    const float step[3] = {11.25f, 8.1f, 7.31f};
    for (int i = 0; i < 3; ++i) {
        auto* e = Make<EnemyS003>(4 + i, Vector2{0.0f, 0.0f});
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
class S004Test : public FamilyTest {
protected:
    EnemyS004* Level(int32_t type, int16_t turnTime) {
        EnemyRecord& r = Row(static_cast<uint32_t>(type));
        r.moveParams[0] = 50; // dive speed 8
        r.moveParams[1] = turnTime;
        std::vector<Vector2> still(100, Vector2{0.0f, 0.0f});
        InstallPath(0, still);
        SetResources(static_cast<uint32_t>(type), 0, -1, 0);
        PlayerAt(100.0f, 600.0f);
        return Make<EnemyS004>(type, Vector2{100.0f, 200.0f});
    }
};

} // namespace

TEST_F(S004Test, ATurnTimeOfOneTurnsDivesAndSoundsInTheFirstFrame) {
    EnemyS004* e = Level(7, 1);
    EXPECT_FLOAT_EQ(e->GetAngle(), -kPi / 2.0f);
    e->Move();
    ASSERT_EQ(e->GetState(), EnemyS004::kTurn);
    const uint32_t before = Sounds(70);
    e->Move();
    EXPECT_EQ(e->GetTurnAngle(), 0.0f);
    EXPECT_EQ(e->GetAngle(), 0.0f);
    EXPECT_EQ(e->GetState(), EnemyS004::kDive);
    EXPECT_EQ(Sounds(70), before + 1);
    const float y = e->GetPosition()->y;
    e->Move();
    EXPECT_FLOAT_EQ(e->GetPosition()->y, y + 8.0f);
}

TEST_F(S004Test, AnOddTurnTimeTurnsInHalfAndSoundsOneFrameLater) {
    EnemyS004* e = Level(8, 5); // T / 2 = 2
    e->Move();
    ASSERT_EQ(e->GetState(), EnemyS004::kTurn);
    const uint32_t before = Sounds(70);
    e->Move();
    EXPECT_NEAR(e->GetTurnAngle(), kPi / 4.0f, 1e-6f);
    e->Move();
    EXPECT_EQ(e->GetTurnAngle(), 0.0f) << "turned after T / 2 frames";
    EXPECT_EQ(Sounds(70), before);
    e->Move();
    EXPECT_EQ(Sounds(70), before + 1) << "when the timer is T / 2";
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyS004::kTurn);
    e->Move();
    EXPECT_EQ(e->GetState(), EnemyS004::kDive) << "after T frames";
    EXPECT_EQ(Sounds(70), before + 1);
}

TEST_F(S004Test, ItGoesOnceItsOffsetHasDivenPastTheFieldsHeight) {
    EnemyS004* e = Level(7, 2);
    for (int f = 0; f < 200 && e->IsAlive(); ++f)
        e->Move();
    EXPECT_FALSE(e->IsAlive());
    EXPECT_GT(e->GetOffset().y, 720.0f);
    EXPECT_LE(e->GetOffset().y, 728.0f);
}

TEST_F(FamilyTest, S008WarpsInFor17FramesAndWithoutSpinFliesStraightInAndOut) {
    Row(14).moveParams[1] = 0;
    Row(14).speed = 50; // 8 a frame
    const Vector2 centre{0.0f, 360.0f};
    const float angle = 0.7f;
    auto* e = Make<EnemyS008>(14, centre, angle);
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

TEST_F(FamilyTest, S008TurnsByItsSpinWhileSpiralling) {
    Row(15).moveParams[1] = 3;
    auto* e = Make<EnemyS008>(15, Vector2{0.0f, 360.0f}, 1.0f);
    for (int f = 0; f < 18; ++f)
        e->Move();
    e->Move();
    EXPECT_NEAR(e->GetRingAngle(), 1.0f - 3.0f * kPi / 180.0f, 1e-5f);
}

TEST_F(FamilyTest, S009CountsNoDistanceOffTheField) {
    EnemyRecord& r = Row(16);
    r.speed = 50; // 8 a frame
    r.moveParams[0] = 40;
    r.moveParams[1] = 5;
    r.moveParams[2] = 100;
    PlayerAt(0.0f, 600.0f);
    auto* e = Make<EnemyS009>(16, Vector2{0.0f, -100.0f});
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

TEST_F(FamilyTest, S010RetreatsAtItsThresholdOfDamage) {
    Row(18).moveParams[0] = 100; // threshold 0
    Row(18).moveParams[1] = 50;
    auto* first = Make<EnemyS010>(18, Vector2{0.0f, 300.0f});
    first->Move();
    EXPECT_EQ(first->GetState(), EnemyS010::kRetreat) << "in its first frame";
    EXPECT_EQ(first->GetAngle(), 0.0f);
    const float y = first->GetPosition()->y;
    first->Move();
    EXPECT_EQ(first->GetRetreatFrame(), 1);
    EXPECT_FLOAT_EQ(first->GetPosition()->y, y - 8.0f);

    Row(18).moveParams[0] = 0; // threshold = health
    auto* never = Make<EnemyS010>(18, Vector2{0.0f, 300.0f});
    Hit(never, 999);
    never->Move();
    EXPECT_EQ(never->GetState(), EnemyL015::kFlying);
    Row(18).moveParams[0] = 25; // retreats at 750 damage
    auto* mid = Make<EnemyS010>(18, Vector2{0.0f, 300.0f});
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

TEST_F(FamilyTest, S011DivesAtThePlayerFasterEveryFrame) {
    Row(19).moveParams[0] = 1;  // hover one frame
    Row(19).moveParams[1] = 25; // dive speed 4
    Row(19).speed = 100;
    PlayerAt(0.0f, 700.0f);
    auto* e = Make<EnemyS011>(19, Vector2{-360.0f, 624.0f});
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

TEST_F(FamilyTest, S012StaysSilentUntilDamagedToItsThreshold) {
    Row(21).moveParams[1] = 50; // fires at 500 damage
    auto* e = Make<EnemyS012>(21, Vector2{0.0f, 100.0f});
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
    auto* any = Make<EnemyS012>(21, Vector2{0.0f, 100.0f});
    any->Move();
    EXPECT_FALSE(any->AreEmittersEnabled()) << "no damage, no fire";
    Hit(any, 1);
    any->Move();
    EXPECT_TRUE(any->AreEmittersEnabled());
}

TEST_F(FamilyTest, S012LevelWithThePlayerDashesTowardsPlusX) {
    Row(21).speed = 50; // 8 a frame
    PlayerAt(40.0f, 600.0f);
    auto* e = Make<EnemyS012>(21, Vector2{40.0f, 100.0f});
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
    auto* left = Make<EnemyS012>(21, Vector2{40.0f, 100.0f});
    for (int f = 0; f < 200 && left->GetState() != EnemyS012::kDash; ++f)
        left->Move();
    const float x = left->GetPosition()->x;
    left->Move();
    EXPECT_NEAR(left->GetPosition()->x - x, -8.0f, 1e-3f) << "the player to the left";
}

TEST_F(FamilyTest, S015StandsFor38FramesAndAimsOnlyThen) {
    Row(24).speed = 50;
    PlayerAt(-300.0f, 600.0f);
    const uint32_t sounds = Sounds(74);
    auto* e = Make<EnemyS015>(24, Vector2{0.0f, 100.0f});
    EXPECT_EQ(Sounds(74), sounds + 1);
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

TEST_F(FamilyTest, S018BobsWithAPeriodOf72AndLeavesUpward) {
    EnemyRecord& r = Row(31);
    r.speed = 50;
    r.moveParams[0] = 20;  // approach 20 pixels
    r.moveParams[1] = 150; // bob 150 frames
    PlayerAt(0.0f, 600.0f);
    auto* e = Make<EnemyS018>(31, Vector2{0.0f, 100.0f});
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

// The sounds each family plays when made and when it dies: S008 71 and
// 72, S015 74 and 72, S018 75 and 76, S012 silent then 73, S010 and L015
// silent then 77; no other of the sounds 70-79 and none of the common
// deaths 43-46.
TEST_F(FamilyTest, EachFamilySoundsItsArrivalAndItsDeath) {
    struct Family {
        const char* name;
        std::function<EnemyDefault*()> make;
        int32_t arrival, death; // -1: none
    };
    const Vector2 at{0.0f, 100.0f};
    const Family families[] = {
        {"S008", [&] { return Make<EnemyS008>(14, Vector2{0.0f, 360.0f}, 1.0f); }, 71, 72},
        {"S010", [&] { return Make<EnemyS010>(18, at); }, -1, 77},
        {"S012", [&] { return Make<EnemyS012>(21, at); }, -1, 73},
        {"S015", [&] { return Make<EnemyS015>(24, at); }, 74, 72},
        {"S018", [&] { return Make<EnemyS018>(31, at); }, 75, 76},
        {"L015", [&] { return Make<EnemyL015>(75, at); }, -1, 77},
    };
    // Starts of each effect, counted by its voice index (modulo 16).
    const auto counts = [this] {
        std::map<int32_t, uint32_t> c;
        for (int32_t id : {43, 44, 45, 46, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79})
            c[id] = Sounds(id);
        return c;
    };
    const auto played = [&](const std::map<int32_t, uint32_t>& before) {
        std::vector<int32_t> ids;
        for (const auto& [id, n] : counts())
            for (uint32_t k = (n - before.at(id)) % SoundManager::kVoicesPerEffect; k > 0; --k)
                ids.push_back(id);
        return ids;
    };
    const auto none = std::vector<int32_t>{};
    for (const Family& f : families) {
        SCOPED_TRACE(f.name);
        Frames(3); // past the repeat guard of the last family's sounds
        auto before = counts();
        EnemyDefault* e = f.make();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(played(before), f.arrival < 0 ? none : std::vector<int32_t>{f.arrival});
        Frames(3);
        before = counts();
        e->PlayDeathSound();
        EXPECT_EQ(played(before), std::vector<int32_t>{f.death});
        e->Vanish();
    }
}

TEST_F(FamilyTest, TheFactoryMakesOneOfEachLargeTypeAndSwarmsOfTheOthers) {
    CreateEnemy(director, 75, {0.0f, 100.0f});
    CreateEnemy(director, 76, {0.0f, 100.0f});
    EXPECT_EQ(Count<EnemyL015>(), 1u);
    EXPECT_EQ(Count<EnemyL016>(), 1u);
    CreateEnemy(director, 78, {0.0f, 100.0f});
    const size_t swarm = Count<EnemyL018>();
    EXPECT_GE(swarm, 20u);
    EXPECT_LE(swarm, 30u);
    EXPECT_EQ(Count<EnemyL017>(), swarm) << "L018 is an L017";
}

TEST_F(FamilyTest, L015PicksOneOfThreeSpeedsFromThePlayStream) {
    EnemyRecord& r = Row(75);
    r.speed = 20;
    r.moveParams[0] = 40;
    r.moveParams[1] = 80;
    const float speeds[3] = {20 * 0.16f, 40 * 0.16f, 80 * 0.16f};
    for (int i = 0; i < 6; ++i) {
        const uint32_t word = PeekPlay(1)[0];
        EnemyL015* e = Make<EnemyL015>(75, Vector2{0.0f, 100.0f});
        EXPECT_NEAR(e->GetSpeed(), speeds[word % 101 % 3], 1e-5f) << i;
    }
    // Either of the other two at 0: the first speed always.
    r.moveParams[1] = 0;
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(Make<EnemyL015>(75, Vector2{0.0f, 100.0f})->GetSpeed(), speeds[0], 1e-5f);
    // Another type keeps its row's one speed and draws nothing.
    Row(120).speed = 10;
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    EXPECT_NEAR(Make<EnemyL015>(120, Vector2{0.0f, 100.0f})->GetSpeed(), 10 * 0.16f, 1e-5f);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, before.x);
}

TEST_F(FamilyTest, L015FliesAtWhereThePlayerWasAndGoesOffTheField) {
    Row(75).speed = 25;
    Row(75).moveParams[0] = Row(75).moveParams[1] = 0;
    director->SetPlayerPose(0.0f, 600.0f, 1.0f);
    EnemyL015* e = Make<EnemyL015>(75, Vector2{0.0f, 200.0f});
    EXPECT_FLOAT_EQ(e->GetHeading(), kPi / 2.0f) << "straight down at the ship";
    director->SetPlayerPose(-300.0f, 300.0f, 1.0f); // the aim is taken once
    e->UpdateTree();
    EXPECT_FLOAT_EQ(e->GetPosition()->y, 200.0f + 4.0f);
    EXPECT_NEAR(e->GetPosition()->x, 0.0f, 1e-4f);
    // Gone once its top (y - 31) is past 720: y above 751.
    while (e->IsAlive() && e->GetPosition()->y < 800.0f)
        e->UpdateTree();
    EXPECT_FALSE(e->IsAlive());
    EXPECT_GT(e->GetPosition()->y - 31.0f, 720.0f);
    EXPECT_LE(e->GetPosition()->y - 4.0f - 31.0f, 720.0f) << "not one frame earlier";
}

TEST_F(FamilyTest, L016StalksInBurstsAndPauses) {
    EnemyRecord& r = Row(76);
    r.speed = 25;
    r.moveParams[0] = 100; // burst length
    r.moveParams[1] = 30;  // pause
    r.moveParams[2] = 3;   // largest scale
    r.moveParams[3] = 0;   // no life time
    director->SetPlayerPose(0.0f, 600.0f, 1.0f);
    EnemyL016* e = Make<EnemyL016>(76, Vector2{0.0f, 100.0f});
    const float speed = e->GetSpeed();
    int frames = 0;
    while (e->GetState() == EnemyL016::kBurst && frames < 100) {
        e->UpdateTree();
        ++frames;
    }
    ASSERT_EQ(e->GetState(), EnemyL016::kPause);
    EXPECT_GT(static_cast<float>(frames) * speed, 100.0f - 1e-3f);
    EXPECT_LE(static_cast<float>(frames - 1) * speed, 100.0f + 1e-3f);
    EXPECT_EQ(e->GetTravelled(), (Vector2{0.0f, 0.0f}));
    const float y = e->GetPosition()->y;
    director->SetPlayerPose(300.0f, e->GetPosition()->y, 1.0f);
    for (int i = 0; i < 29; ++i)
        e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL016::kPause);
    EXPECT_EQ(e->GetPosition()->y, y) << "still while it pauses";
    e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL016::kBurst);
    EXPECT_NEAR(e->GetHeading(), 0.0f, 1e-5f) << "aimed again at the ship, now to its right";
    // A life time of 0 counts below 0 and never sends it off.
    EXPECT_LT(e->GetLifeTimer(), 0);
}

TEST_F(FamilyTest, L016HoldsForAFrameWhenHitAndSwellsWithItsDamage) {
    EnemyRecord& r = Row(76);
    r.speed = 25;
    r.moveParams[0] = 1000;
    r.moveParams[2] = 3;
    r.moveParams[3] = 0;
    r.health = 700;
    r.trackA[4] = {0, 64, 63, 127};
    EnemyL016* e = Make<EnemyL016>(76, Vector2{0.0f, 100.0f});
    e->UpdateTree();
    const Vector2 at = *e->GetPosition();
    const uint32_t hits = Sounds(78);
    Hit(e, 245); // 245 / (700 x 0.7) = 0.5
    EXPECT_EQ(Sounds(78), hits + 1);
    e->UpdateTree();
    EXPECT_TRUE(e->WasHitThisFrame());
    EXPECT_EQ(*e->GetPosition(), at) << "a hit holds it for the frame";
    world.BeginFrame();
    e->Draw();
    EXPECT_FLOAT_EQ(e->GetScale(), 2.0f) << "1 + 0.5 x (3 - 1)";
    const auto blend = world.Capture(SpriteLayer::kEnemyBlend);
    const auto add = world.Capture(SpriteLayer::kEnemyAdd);
    ASSERT_EQ(blend.size(), 1u);
    EXPECT_EQ(blend[0].v0, 64.0f) << "the hit frame, 4";
    EXPECT_TRUE(add.empty()) << "track 0 only";
    world.EndFrame();
    e->UpdateTree();
    EXPECT_FALSE(e->WasHitThisFrame());
    EXPECT_NE(*e->GetPosition(), at);
    Hit(e, 400);
    EXPECT_FLOAT_EQ(e->SwellScale(), 3.0f) << "at most the largest scale";
}

TEST_F(FamilyTest, L016PlaysItsDeathFramesThenGoesAndPaysAgainWhenHitDying) {
    EnemyRecord& r = Row(76);
    r.moveParams[3] = 0;
    r.health = 100;
    r.score = 500;
    for (int8_t& length : r.frameLengths)
        length = 2;
    EnemyL016* e = Make<EnemyL016>(76, Vector2{0.0f, 100.0f});
    e->UpdateTree();
    const uint32_t deaths = Sounds(79);
    Hit(e, 100);
    EXPECT_EQ(e->GetState(), EnemyL016::kDeathStart);
    EXPECT_TRUE(e->IsAlive()) << "no countdown yet: its death frames first";
    EXPECT_EQ(world.gw->player.score, 500u);
    EXPECT_EQ(Sounds(79), deaths + 1);
    e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL016::kDying);
    EXPECT_EQ(e->GetFrame(0), EnemyL016::kDeathFrame);
    EXPECT_TRUE(e->IsHitShapeActive()) << "still registered while dying";
    // A further hit while dying pays the kill again.
    Hit(e, 1);
    EXPECT_EQ(world.gw->player.score, 1000u);
    // Frames 5, 6, 7 for two frames each, then past the last: gone.
    int frames = 0;
    while (e->IsAlive() && frames < 20) {
        e->UpdateTree();
        ++frames;
    }
    EXPECT_EQ(frames, 6);
    EXPECT_FALSE(e->IsAlive());
}

TEST_F(FamilyTest, L016LeavesDownwardsWhenItsLifeRunsOut) {
    Row(76).moveParams[3] = 3;
    Row(76).moveParams[0] = 1000;
    EnemyL016* e = Make<EnemyL016>(76, Vector2{0.0f, 100.0f});
    e->UpdateTree();
    e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL016::kBurst);
    e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL016::kLeave);
    EXPECT_FLOAT_EQ(e->GetHeading(), kPi / 2.0f);
    // Its size at scale 1 is 64: gone once y - 32 is past 720.
    for (int i = 0; i < 2000 && e->IsAlive(); ++i)
        e->UpdateTree();
    EXPECT_FALSE(e->IsAlive());
    EXPECT_GT(e->GetPosition()->y - 32.0f, 720.0f);
    EXPECT_LE(e->GetPosition()->y - e->GetSpeed() - 32.0f, 720.0f);
}

// A damaged row (a negative largest scale, a body of one hit point) and a
// killing hit far past its health swell the body past every integer; when
// its life runs out in its death frames it leaves again and measures its
// reach, which is then taken as it is.
TEST_F(FamilyTest, L016SwollenPastEveryIntegerMeasuresItsWholeReach) {
    struct Case {
        const char* name;
        TexelRect body;
        bool gone; // once it moves again
    };
    for (const Case& c : {Case{"a body 64 high reaches far above: gone", {0, 0, 64, 64}, true},
                          Case{"a body -64 high reaches far below: stays", {0, 64, 64, 0}, false}}) {
        SCOPED_TRACE(c.name);
        EnemyRecord& r = Row(76);
        r.moveParams[0] = 1000;
        r.moveParams[2] = INT16_MIN; // largest scale
        r.moveParams[3] = 2;         // life time: runs out in the death frames
        r.health = 1;
        r.trackA[0] = c.body;
        EnemyL016* e = Make<EnemyL016>(76, Vector2{0.0f, 100.0f});
        e->UpdateTree();
        Hit(e, INT16_MAX);
        ASSERT_EQ(e->GetState(), EnemyL016::kDeathStart);
        // 1 + 32767 / (1 x 0.7) x (-32768 - 1): about -1.5e9.
        EXPECT_FLOAT_EQ(e->SwellScale(), 1.0f + 32767.0f / 0.7f * -32769.0f);
        world.BeginFrame();
        e->Draw();
        world.EndFrame();
        e->UpdateTree(); // the life runs out: it leaves, held for the frame by the hit
        ASSERT_EQ(e->GetState(), EnemyL016::kLeave);
        EXPECT_TRUE(e->IsAlive());
        e->UpdateTree();
        EXPECT_LT(e->GetPosition()->y, 720.0f);
        EXPECT_EQ(e->IsAlive(), !c.gone);
    }
}

TEST_F(FamilyTest, L017ComesInHoversAndLeaves) {
    EnemyRecord& r = Row(77);
    r.speed = 50;          // 8 a frame
    r.moveParams[0] = 20;  // hover
    r.moveParams[1] = 100; // leave at 16
    const std::vector<uint32_t> words = PeekPlay(2);
    EnemyL017* e = Make<EnemyL017>(77, Vector2{-200.0f, 0.0f});
    const float tx = FloatOf(words[0]) * 624.0f + 48.0f;
    const float ty = FloatOf(words[1]) * 232.0f + 47.0f;
    EXPECT_NEAR(e->GetHeading(), std::atan2(ty - 0.0f, tx - 160.0f), 1e-5f);
    EXPECT_NEAR(e->GetApproachDistance(), std::hypot(tx - 160.0f, ty), 1e-3f);
    int frames = 0;
    while (e->GetState() == EnemyL017::kApproach && frames < 200) {
        e->UpdateTree();
        ++frames;
    }
    ASSERT_EQ(e->GetState(), EnemyL017::kHover);
    EXPECT_NEAR(e->GetScreenPosition()->x, tx, 8.0f) << "at the target point";
    EXPECT_NEAR(e->GetScreenPosition()->y, ty, 8.0f);
    for (int i = 0; i < 19; ++i)
        e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL017::kHover);
    e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL017::kLeave);
    EXPECT_FLOAT_EQ(e->GetSpeed(), 16.0f);
    while (e->IsAlive() && e->GetPosition()->y > -100.0f)
        e->UpdateTree();
    EXPECT_FALSE(e->IsAlive()) << "gone once above the field";
}

TEST_F(FamilyTest, L018ChasesThroughItsRingThenDives) {
    EnemyRecord& r = Row(78);
    r.speed = 50;         // dive at 8
    r.moveParams[0] = 5;  // hover
    r.moveParams[1] = 10; // chase time
    r.moveParams[2] = 25; // chase at 4
    director->SetPlayerPose(100.0f, 600.0f, 1.0f);
    const std::vector<uint32_t> words = PeekPlay(4);
    EnemyL018* e = Make<EnemyL018>(78, Vector2{0.0f, 0.0f});
    const Vector2 offset{FloatOf(words[2]) * 100.0f - 50.0f, FloatOf(words[3]) * 100.0f - 50.0f};
    EXPECT_NEAR(e->GetTargetOffset().x, offset.x, 1e-4f);
    EXPECT_NEAR(e->GetTargetOffset().y, offset.y, 1e-4f);
    e->UpdateTree();
    EXPECT_EQ(e->GetWriteIndex(), 1);
    EXPECT_EQ(e->GetRingPoint(0), (Vector2{460.0f + offset.x, 600.0f + offset.y}));
    while (e->GetState() != EnemyL018::kLeave && e->GetWriteIndex() < 15 * 20)
        e->UpdateTree();
    ASSERT_EQ(e->GetState(), EnemyL018::kLeave) << "the hover ends in the start of the chase";
    EXPECT_FLOAT_EQ(e->GetSpeed(), 8.0f) << "the dive speed, until the chase sets its own";
    e->UpdateTree();
    ASSERT_EQ(e->GetState(), EnemyL018::kChase);
    EXPECT_FLOAT_EQ(e->GetSpeed(), 4.0f);
    // It steers at the point written in the same frame: the ship plus its offset.
    director->SetPlayerPose(-200.0f, 500.0f, 1.0f);
    const Vector2 before = *e->GetScreenPosition();
    e->UpdateTree();
    const Vector2 target{160.0f + offset.x, 500.0f + offset.y};
    EXPECT_NEAR(e->GetHeading(), std::atan2(target.y - before.y, target.x - before.x), 1e-5f);
    EXPECT_EQ(e->GetReadIndex(), e->GetWriteIndex());
    for (int i = 0; i < 8; ++i)
        e->UpdateTree();
    EXPECT_EQ(e->GetState(), EnemyL018::kChase);
    e->UpdateTree(); // the chase's 11th frame
    EXPECT_EQ(e->GetState(), EnemyL018::kDive);
    EXPECT_FLOAT_EQ(e->GetAngle(), kPi);
    const float y = e->GetPosition()->y;
    e->UpdateTree();
    EXPECT_FLOAT_EQ(e->GetPosition()->y, y + 8.0f);
    for (int i = 0; i < 2000 && e->IsAlive(); ++i)
        e->UpdateTree();
    EXPECT_FALSE(e->IsAlive());
    EXPECT_GT(e->GetPosition()->y, 720.0f);
    EXPECT_LE(e->GetPosition()->y - 8.0f, 720.0f) << "gone the frame it passed the bottom";
}
