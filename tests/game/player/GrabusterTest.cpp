// The Grabuster field the ship carries, its bursts, and the shock wave the
// ship releases where the drain ends.
#include "game/enemy/explosion/GrabusterHamon.h"
#include "game/player/PlayerCreation.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/player/PlayerExWeapon_GrabusterHit.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class Grabuster : public StageTest {
protected:
    PlayerExWeapon_Grabuster* Field() {
        BeginWith(0);
        PlaceShip({0.0f, 400.0f});
        return CreateGrabuster(director, ship, &ShipRow());
    }
};

} // namespace

TEST_F(Grabuster, AnEnemyInTheFieldIsHitEveryFrameAndTheFieldRidesOnTheShip) {
    PlayerExWeapon_Grabuster* field = Field();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetScale(), 2.0f);
    EXPECT_EQ(field->GetWeaponFamily(), PlayerShotBase::kFamilyGrabuster);
    EXPECT_EQ(field->GetAttackPower(), ShipRow().grabusterAttack);
    Target* enemy = Enemy({60.0f, 340.0f});
    Frames(6);
    EXPECT_EQ(enemy->hits, 5);
    const HitShape& box = *field->GetHitShape();
    EXPECT_FLOAT_EQ(box.minX, 270.0f);
    EXPECT_FLOAT_EQ(box.maxX, 450.0f);
    EXPECT_FLOAT_EQ(box.minY, 310.0f);
    PlaceShip({-200.0f, 500.0f});
    Frame();
    EXPECT_EQ(field->GetPosition()->x, -200.0f);
    Frames(2);
    EXPECT_EQ(enemy->hits, 6) << "out of the field";
}

TEST_F(Grabuster, ShotsPassUntilTheFieldFinishes) {
    PlayerExWeapon_Grabuster* field = Field();
    PlaceShip({0.0f, 400.0f});
    Target* shot = Make<Target>(Vector2{50.0f, 450.0f}, GameObject::kKindEnemyShot);
    Frames(5);
    EXPECT_EQ(shot->hits, 0);
    EXPECT_EQ(field->GetCollisionGroup(), 3u);
    field->Finish();
    EXPECT_EQ(field->GetCollisionGroup(), 4u);
    Frames(2);
    EXPECT_EQ(shot->hits, 1);
}

TEST_F(Grabuster, TwoEnemiesTouchedInOneFrameMakeTwoBurstsAndOneSound) {
    PlayerExWeapon_Grabuster* field = Field();
    ASSERT_NE(field, nullptr);
    Enemy({-50.0f, 400.0f});
    Enemy({50.0f, 420.0f});
    Frame();
    const uint32_t before = Sounds(32);
    Frame();
    const std::vector<PlayerExWeapon_GrabusterHit*> bursts =
        ChildrenOf<PlayerExWeapon_GrabusterHit>();
    ASSERT_EQ(bursts.size(), 2u);
    EXPECT_EQ(bursts[0]->GetPosition()->x, -50.0f) << "on the victim";
    EXPECT_EQ(bursts[1]->GetPosition()->y, 420.0f);
    EXPECT_EQ(Sounds(32), before + 1);
}

TEST_F(Grabuster, ABurstShowsNineCellsOverEighteenFrames) {
    BeginWith(0);
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kGrabusterHit, 1024, 1024);
    auto* burst = Make<PlayerExWeapon_GrabusterHit>(Vector2{0.0f, 200.0f});
    std::vector<int16_t> frames;
    while (burst->IsAlive() && frames.size() < 40) {
        Frame();
        if (burst->IsAlive())
            frames.push_back(burst->GetFrame());
        if (frames.size() == 9) {
            const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, sheet);
            ASSERT_EQ(quads.size(), 1u);
            // Frame 7: cell 3.
            EXPECT_EQ(quads[0].u0, 768.0f);
            EXPECT_EQ(quads[0].v0, 0.0f);
        }
    }
    EXPECT_EQ(frames.size(), 18u);
    EXPECT_EQ(frames[0], 0);
    EXPECT_EQ(frames[1], 0);
    EXPECT_EQ(frames[2], 1);
    EXPECT_EQ(frames[17], 16);
}

TEST_F(Grabuster, TheShockWaveHitsOnEachOfItsTwentyUpdatesWithABoxFrom120To500) {
    BeginWith(0);
    PlaceShip({0.0f, 650.0f}); // out of the way of the enemy and the shot
    GameObject* created = CreateGrabusterHamon(director, Vector2{0.0f, 360.0f}, &ShipRow());
    auto* wave = dynamic_cast<GrabusterHamon*>(created);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->GetCollisionGroup(), 4u);
    EXPECT_EQ(wave->GetKind(), GameObject::kKindPlayerShot);
    EXPECT_EQ(wave->GetWeaponFamily(), PlayerShotBase::kFamilyGrabuster);
    EXPECT_EQ(wave->GetAttackPower(), ShipRow().grabusterAttack);
    Target* enemy = Enemy({0.0f, 360.0f});
    Target* shot = Make<Target>(Vector2{0.0f, 300.0f}, GameObject::kKindEnemyShot);
    std::vector<float> sides;
    for (int update = 0; update < 20; ++update) {
        Frame();
        EXPECT_TRUE(Registered(4, wave)) << update;
        sides.push_back(wave->GetHitShape()->maxX - wave->GetHitShape()->minX);
    }
    EXPECT_FALSE(wave->IsAlive());
    EXPECT_EQ(sides.front(), 120.0f);
    EXPECT_EQ(sides.back(), 500.0f);
    Frame();
    EXPECT_EQ(enemy->hits, 20);
    EXPECT_EQ(shot->hits, 20) << "a strong weapon meets enemy shots too";
}

TEST_F(Grabuster, TheShockWaveIsDrawnWholeAtItsSize) {
    BeginWith(0);
    Mireku::Graphics::Texture* picture = Texture(StageTextureSlot::kGrabusterWave, 480, 480);
    CreateGrabusterHamon(director, Vector2{10.0f, 360.0f}, &ShipRow());
    Frames(10);
    const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayer, picture);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 300.0f) << "scale 3, 100 a unit";
    EXPECT_FLOAT_EQ(quads[0].x0, 370.0f - 150.0f);
    EXPECT_EQ(quads[0].u1, 480.0f);
    EXPECT_EQ(quads[0].blend, 1u);
}
