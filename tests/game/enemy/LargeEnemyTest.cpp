// The large enemies on a playing stage: L015's straight flight and its speed
// pick, L016's bursts, swelling, hit frame and death frames, L017's approach,
// hover and leave, L018's chase through its ring and its dive; and the
// factory's types 75-78.
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/EnemyFactory.h"
#include "game/enemy/large/EnemyL015.h"
#include "game/enemy/large/EnemyL016.h"
#include "game/enemy/large/EnemyL017.h"
#include "game/enemy/large/EnemyL018.h"
#include "support/EnemyTestSupport.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

using Mireku::Common::Vector2;
using stage_test::TestShot;

constexpr float kPi = std::numbers::pi_v<float>;

class LargeEnemyTest : public enemy_test::EnemyTest {
protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Play();
        director->SetScrollRatio(0.0f);
        for (uint32_t type = 75; type <= 78; ++type) {
            EnemyRecord& r = Row(type);
            r.mirror = 0;
            r.facePlayer = r.faceMotion = r.spin = 0;
            r.health = 1000;
            r.trackA[0] = {0, 0, 63, 63}; // 64 x 64: half sizes 31
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
    // The next words of the play stream, without drawing them.
    std::vector<uint32_t> PeekPlay(int n) {
        Mireku::Common::Random copy = world.random->Stream(RandomManager::kPlay);
        std::vector<uint32_t> out;
        for (int i = 0; i < n; ++i)
            out.push_back(copy.Next());
        return out;
    }
    // [0, 1) from the word's low 23 bits.
    static float FloatOf(uint32_t word) {
        const uint32_t bits = 0x3F800000u | (word & 0x7FFFFFu);
        float f;
        std::memcpy(&f, &bits, 4);
        return f - 1.0f;
    }
};

} // namespace

TEST_F(LargeEnemyTest, TheFactoryMakesOneOfEachLargeTypeAndSwarmsOfTheOthers) {
    CreateEnemy(director, 75, {0.0f, 100.0f});
    CreateEnemy(director, 76, {0.0f, 100.0f});
    EXPECT_EQ(ChildrenOf<EnemyL015>().size(), 1u);
    EXPECT_EQ(ChildrenOf<EnemyL016>().size(), 1u);
    CreateEnemy(director, 78, {0.0f, 100.0f});
    const size_t swarm = ChildrenOf<EnemyL018>().size();
    EXPECT_GE(swarm, 20u);
    EXPECT_LE(swarm, 30u);
    EXPECT_EQ(ChildrenOf<EnemyL017>().size(), swarm) << "L018 is an L017";
}

TEST_F(LargeEnemyTest, L015PicksOneOfThreeSpeedsFromThePlayStream) {
    EnemyRecord& r = Row(75);
    r.speed = 20;
    r.moveParams[0] = 40;
    r.moveParams[1] = 80;
    const float speeds[3] = {20 * 0.16f, 40 * 0.16f, 80 * 0.16f};
    for (int i = 0; i < 6; ++i) {
        const uint32_t word = PeekPlay(1)[0];
        EnemyL015* e = Make<EnemyL015>(75, 0.0f, 100.0f);
        EXPECT_NEAR(e->GetSpeed(), speeds[word % 101 % 3], 1e-5f) << i;
    }
    // Either of the other two at 0: the first speed always.
    r.moveParams[1] = 0;
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(Make<EnemyL015>(75, 0.0f, 100.0f)->GetSpeed(), speeds[0], 1e-5f);
    // Another type keeps its row's one speed and draws nothing.
    Row(120).speed = 10;
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    EXPECT_NEAR(Make<EnemyL015>(120, 0.0f, 100.0f)->GetSpeed(), 10 * 0.16f, 1e-5f);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, before.x);
}

TEST_F(LargeEnemyTest, L015FliesAtWhereThePlayerWasAndGoesOffTheField) {
    Row(75).speed = 25;
    Row(75).moveParams[0] = Row(75).moveParams[1] = 0;
    director->SetPlayerPose(0.0f, 600.0f, 1.0f);
    EnemyL015* e = Make<EnemyL015>(75, 0.0f, 200.0f);
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

TEST_F(LargeEnemyTest, L016StalksInBurstsAndPauses) {
    EnemyRecord& r = Row(76);
    r.speed = 25;
    r.moveParams[0] = 100; // burst length
    r.moveParams[1] = 30;  // pause
    r.moveParams[2] = 3;   // largest scale
    r.moveParams[3] = 0;   // no life time
    director->SetPlayerPose(0.0f, 600.0f, 1.0f);
    EnemyL016* e = Make<EnemyL016>(76, 0.0f, 100.0f);
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

TEST_F(LargeEnemyTest, L016HoldsForAFrameWhenHitAndSwellsWithItsDamage) {
    EnemyRecord& r = Row(76);
    r.speed = 25;
    r.moveParams[0] = 1000;
    r.moveParams[2] = 3;
    r.moveParams[3] = 0;
    r.health = 700;
    r.trackA[4] = {0, 64, 63, 127};
    EnemyL016* e = Make<EnemyL016>(76, 0.0f, 100.0f);
    e->UpdateTree();
    const Vector2 at = *e->GetPosition();
    const uint32_t hits = SoundCount(78);
    Hit(e, 245); // 245 / (700 x 0.7) = 0.5
    EXPECT_EQ(SoundCount(78), hits + 1);
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

TEST_F(LargeEnemyTest, L016PlaysItsDeathFramesThenGoesAndPaysAgainWhenHitDying) {
    EnemyRecord& r = Row(76);
    r.moveParams[3] = 0;
    r.health = 100;
    r.score = 500;
    for (int8_t& length : r.frameLengths)
        length = 2;
    EnemyL016* e = Make<EnemyL016>(76, 0.0f, 100.0f);
    e->UpdateTree();
    const uint32_t deaths = SoundCount(79);
    Hit(e, 100);
    EXPECT_EQ(e->GetState(), EnemyL016::kDeathStart);
    EXPECT_TRUE(e->IsAlive()) << "no countdown yet: its death frames first";
    EXPECT_EQ(world.gw->player.score, 500u);
    EXPECT_EQ(SoundCount(79), deaths + 1);
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

TEST_F(LargeEnemyTest, L016LeavesDownwardsWhenItsLifeRunsOut) {
    Row(76).moveParams[3] = 3;
    Row(76).moveParams[0] = 1000;
    EnemyL016* e = Make<EnemyL016>(76, 0.0f, 100.0f);
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

TEST_F(LargeEnemyTest, L017ComesInHoversAndLeaves) {
    EnemyRecord& r = Row(77);
    r.speed = 50;          // 8 a frame
    r.moveParams[0] = 20;  // hover
    r.moveParams[1] = 100; // leave at 16
    const std::vector<uint32_t> words = PeekPlay(2);
    EnemyL017* e = Make<EnemyL017>(77, -200.0f, 0.0f);
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

TEST_F(LargeEnemyTest, L018ChasesThroughItsRingThenDives) {
    EnemyRecord& r = Row(78);
    r.speed = 50;         // dive at 8
    r.moveParams[0] = 5;  // hover
    r.moveParams[1] = 10; // chase time
    r.moveParams[2] = 25; // chase at 4
    director->SetPlayerPose(100.0f, 600.0f, 1.0f);
    const std::vector<uint32_t> words = PeekPlay(4);
    EnemyL018* e = Make<EnemyL018>(78, 0.0f, 0.0f);
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
