// Sub weapon 2's homing lasers: targets, steering and release, arming, the
// trail and its ribbon, leaving the map, the trail block, and the bursts.
#include "game/player/PlayerSubWeapon_SW002.h"
#include "game/player/PlayerSubWeapon_SW002Fx.h"
#include "game/player/PlayerSubWeapon_SW002HitFx.h"
#include "game/player/PlayerSubWeapon_SW002HitFx2.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

// A target that counts the reads of its position made after its death.
class WatchedTarget : public Target {
public:
    using Target::Target;
    Vector2* GetPosition() override {
        if (!IsAlive())
            ++readsWhileDead;
        return Target::GetPosition();
    }
    int readsWhileDead = 0;
};

class Laser : public StageTest {
protected:
    void BeginLasers(int16_t perVolley, int16_t topSpeed = 48) {
        ShipParamRow& row = ShipRowToEdit(0);
        row.sub2Volley = perVolley;
        row.sub2MaxSpeed = topSpeed;
        row.sub2Limit = 100;
        BeginWith(1);
    }
    PlayerSubWeapon_SW002* Launch(GameObject* target, Vector2 aim, Vector2 velocity, Vector2 from) {
        return PlayerSubWeapon_SW002::Launch(director, ship, target, aim, velocity, from,
                                             &ShipRow());
    }
};

} // namespace

TEST_F(Laser, FourLasersShareOneEnemyOrTakeTheFirstFourOfSix) {
    BeginLasers(4);
    Target* only = Enemy({0.0f, 100.0f});
    Frame();
    Frame(In::kAimUp);
    std::vector<PlayerSubWeapon_SW002*> lasers = ChildrenOf<PlayerSubWeapon_SW002>();
    ASSERT_EQ(lasers.size(), 4u);
    for (PlayerSubWeapon_SW002* laser : lasers) {
        EXPECT_EQ(laser->GetTarget(), only);
        EXPECT_EQ(laser->GetAim().y, 100.0f) << "aims at the enemy";
    }
    DeleteDirector();

    BeginLasers(4);
    std::vector<Target*> enemies;
    for (int i = 0; i < 6; ++i)
        enemies.push_back(Enemy({-250.0f + 100.0f * static_cast<float>(i), 80.0f}));
    Frame();
    Frame(In::kAimUp);
    lasers = ChildrenOf<PlayerSubWeapon_SW002>();
    ASSERT_EQ(lasers.size(), 4u);
    for (size_t i = 0; i < lasers.size(); ++i)
        EXPECT_EQ(lasers[i]->GetTarget(), enemies[i]) << "in the director's child order";
}

TEST_F(Laser, ALaserCurvesOntoItsTargetReleasesItWithin35PixelsAndFliesOnStraight) {
    BeginLasers(1);
    Target* enemy = Enemy({120.0f, 200.0f});
    PlayerSubWeapon_SW002* laser = Launch(enemy, {120.0f, 200.0f}, {0.0f, -3.0f}, {0.0f, 600.0f});
    ASSERT_NE(laser, nullptr);
    EXPECT_EQ(ship->subCount, 1);
    float before = 400.0f;
    // Too fast for the turn, it circles in until it passes close enough.
    for (int i = 0; i < 150 && laser->GetTarget(); ++i) {
        before = (*enemy->GetPosition() - *laser->GetPosition()).Length();
        Frame();
    }
    ASSERT_EQ(laser->GetTarget(), nullptr) << "released";
    EXPECT_LT(before, 35.0f) << "released once within 35 pixels";
    // The aim: 2000 pixels on along its last step.
    const Vector2 heading = laser->GetAim() - *laser->GetPosition();
    EXPECT_GT(heading.Length(), 1900.0f);
    const Vector2 v = laser->GetVelocity();
    EXPECT_NEAR((heading.x * v.x + heading.y * v.y) / (heading.Length() * v.Length()), 1.0f, 0.05f);
    // Its speed stays between 40 and the row's top speed.
    EXPECT_LE(v.Length(), 48.0f + 1e-3f);
    EXPECT_GE(v.Length(), 40.0f - 1e-3f);
}

TEST_F(Laser, ADeadTargetIsReleasedAtTheNextUpdate) {
    BeginLasers(1);
    Target* enemy = Enemy({300.0f, 100.0f});
    PlayerSubWeapon_SW002* laser = Launch(enemy, {300.0f, 100.0f}, {-1.0f, 0.0f}, {0.0f, 600.0f});
    ASSERT_NE(laser, nullptr);
    Frame();
    EXPECT_EQ(laser->GetTarget(), enemy);
    enemy->Vanish();
    Frame();
    EXPECT_EQ(laser->GetTarget(), nullptr);
}

// The laser looks at whether its target lives before it reads where it is.
TEST_F(Laser, ADeadTargetsPositionIsNotReadAgain) {
    BeginLasers(1);
    auto* enemy = Make<WatchedTarget>(Vector2{300.0f, 100.0f}, GameObject::kKindEnemy, int16_t{24});
    ASSERT_NE(enemy, nullptr);
    PlayerSubWeapon_SW002* laser = Launch(enemy, {300.0f, 100.0f}, {-1.0f, 0.0f}, {0.0f, 600.0f});
    ASSERT_NE(laser, nullptr);
    laser->Update();
    ASSERT_EQ(laser->GetTarget(), enemy);
    enemy->Vanish();
    laser->Update();
    EXPECT_EQ(laser->GetTarget(), nullptr);
    EXPECT_EQ(enemy->readsWhileDead, 0);
    EXPECT_GT((laser->GetAim() - *laser->GetPosition()).Length(), 1900.0f) << "flies on straight";
}

TEST_F(Laser, NoHitInTheFirstThreeFramesThenEveryFrameOfOverlap) {
    // A laser standing on an enemy: a top speed of 0 wins over the 40.
    BeginLasers(1, 0);
    Target* enemy = Enemy({0.0f, 300.0f}, 64);
    PlayerSubWeapon_SW002* laser = Launch(nullptr, {0.0f, 300.0f}, {0.0f, 1.0f}, {0.0f, 300.0f});
    ASSERT_NE(laser, nullptr);
    EXPECT_FALSE(laser->IsHitShapeActive());
    for (int frame = 1; frame <= 3; ++frame) {
        Frame();
        EXPECT_EQ(enemy->hits, 0) << frame;
    }
    EXPECT_TRUE(laser->IsHitShapeActive());
    Frames(4);
    EXPECT_EQ(enemy->hits, 4) << "the laser goes on through";
    EXPECT_EQ(Count<PlayerSubWeapon_SW002HitFx2>(), 2u) << "a spark every third frame";
    EXPECT_EQ(laser->GetAttackPower(), ShipRow().sub2Attack[0]);
}

TEST_F(Laser, TheRibbonHasTwoPointsAfterOneUpdateAndAtMostTwenty) {
    BeginLasers(1);
    Mireku::Graphics::Texture* ribbon = Texture(StageTextureSlot::kSub2Ribbon, 48, 1024);
    Mireku::Graphics::Texture* sight = Texture(StageTextureSlot::kSub2Sight, 128, 128);
    PlayerSubWeapon_SW002* laser = Launch(nullptr, {0.0f, -5000.0f}, {0.0f, -1.0f}, {0.0f, 650.0f});
    ASSERT_NE(laser, nullptr);
    EXPECT_TRUE(Drawn(SpriteLayer::kPlayerShotAdd, ribbon).empty()) << "one point: no ribbon";
    Frame();
    EXPECT_EQ(laser->GetFillIndex(), 18);
    EXPECT_EQ(laser->GetTrailPoint(19).y, 650.0f) << "the launch point is the oldest";
    std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, ribbon);
    ASSERT_EQ(quads.size(), 1u) << "one segment back to the launch point";
    // Straight up: 24 either side, the whole texture over the one segment.
    EXPECT_TRUE(Near({quads[0].x0, quads[0].x1, quads[0].y1, quads[0].v0, quads[0].v1},
                     {360.0f - 24.0f, 360.0f + 24.0f, 650.0f, 0.0f, 1024.0f}));
    // The lock sight at the aim point, a quarter turn that unwinds.
    const std::vector<Quad> sights = Drawn(SpriteLayer::kEnemyAdd, sight);
    ASSERT_EQ(sights.size(), 1u);
    EXPECT_NEAR((sights[0].x0 + sights[0].x1) * 0.5f, 360.0f, 1e-2f);
    EXPECT_NEAR((sights[0].y0 + sights[0].y1) * 0.5f, -5000.0f, 1e-2f);
    Frames(30);
    EXPECT_EQ(laser->GetFillIndex(), 0);
    EXPECT_EQ(laser->GetSightCounter(), 10);
    quads = Drawn(SpriteLayer::kPlayerShotAdd, ribbon);
    EXPECT_EQ(quads.size(), 19u);
}

TEST_F(Laser, ALaserGoesOnlyOnceItsWholeTrailHasLeftTheMap) {
    BeginLasers(1);
    PlayerSubWeapon_SW002* laser = Launch(nullptr, {0.0f, -5000.0f}, {0.0f, -1.0f}, {0.0f, 100.0f});
    ASSERT_NE(laser, nullptr);
    int frames = 0;
    while (laser->IsAlive() && frames < 100) {
        Frame();
        ++frames;
    }
    // 48 a frame up from y 100: positions 52 and 4 are the last inside.
    // The launch point stays in the trail until the 20th update pushes it
    // out, and those two follow it out at the 21st and 22nd.
    EXPECT_EQ(frames, 23);
    for (int32_t i = 0; i < PlayerSubWeapon_SW002::kTrailPoints; ++i)
        EXPECT_LE(laser->GetTrailPoint(i).y, 0.0f + 1e-3f) << i;
    Frames(3);
    EXPECT_EQ(Count<PlayerSubWeapon_SW002>(), 0u);
    EXPECT_EQ(ship->subCount, 0);
}

TEST_F(Laser, WithoutABlockForItsTrailNoLaserIsMade) {
    BeginLasers(6);
    const uint32_t live = world.pool->LiveCount();
    ExhaustPool(1);
    EXPECT_EQ(Launch(nullptr, {0.0f, -5000.0f}, {0.0f, -1.0f}, {0.0f, 300.0f}), nullptr);
    EXPECT_EQ(ship->subCount, 0);
    ReleasePool();
    EXPECT_EQ(world.pool->LiveCount(), live) << "the laser's own block went back";
    // A volley from an almost empty pool: the flash, then one laser's
    // block without its trail.
    ExhaustPool(2);
    Frame(In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW002Fx>(), 1u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW002>(), 0u);
    EXPECT_EQ(ship->subCount, 0);
    EXPECT_EQ(Sounds(36), 1u);
}

TEST_F(Laser, AnEnemyShotWouldBurstItAndArmItAgain) {
    BeginLasers(1);
    PlayerSubWeapon_SW002* laser = Launch(nullptr, {0.0f, -5000.0f}, {0.0f, -1.0f}, {0.0f, 500.0f});
    ASSERT_NE(laser, nullptr);
    Frames(3);
    ASSERT_TRUE(laser->IsHitShapeActive());
    auto* shot = Make<Target>(*laser->GetPosition(), GameObject::kKindEnemyShot);
    laser->OnCollision(shot);
    EXPECT_EQ(Count<PlayerSubWeapon_SW002HitFx>(), 1u);
    EXPECT_FALSE(laser->IsHitShapeActive());
    EXPECT_EQ(laser->GetArmingDelay(), 3);
    Frames(3);
    EXPECT_TRUE(laser->IsHitShapeActive());
}

TEST_F(Laser, TheBurstWidensTo192AndHitsOnOddUpdatesForForty) {
    BeginLasers(1);
    auto* burst = GameObject::Create<PlayerSubWeapon_SW002HitFx>(director, director,
                                                                 Vector2{0.0f, 300.0f}, &ShipRow());
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->GetAttackPower(), ShipRow().sub2Attack[1]);
    int registered = 0, updates = 0;
    for (; updates < 50 && burst->IsAlive(); ++updates) {
        Frame();
        const HitShape& box = *burst->GetHitShape();
        const float side = static_cast<float>(burst->GetCounter() * 192 / 40);
        EXPECT_FLOAT_EQ(box.maxX - box.minX, side);
        EXPECT_FLOAT_EQ(box.minX, 360.0f - static_cast<float>(static_cast<int>(side) / 2));
        if (Registered(3, burst)) {
            ++registered;
            EXPECT_EQ(burst->GetCounter() % 2, 1);
        }
    }
    EXPECT_EQ(updates, 40);
    EXPECT_EQ(registered, 20);
}
