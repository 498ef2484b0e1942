// The beam columns of sub weapons 1 and 5 with their sides, and the effect
// families every sub weapon shares: the muzzle flash, the hit spark and its
// particles.
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW001Fx.h"
#include "game/player/PlayerSubWeapon_SW001HitFx.h"
#include "game/player/PlayerSubWeapon_SW001HitTsubu.h"
#include "game/player/PlayerSubWeapon_SW001Side.h"
#include "game/player/PlayerSubWeapon_SW005.h"
#include "game/player/PlayerSubWeapon_SW005HitFx.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

class Column : public StageTest {
protected:
    // Sub weapon 1 fired from a ship at (x, 624): the column spawns at y 600.
    PlayerSubWeapon_SW001* FireColumn(int16_t speed, float x = 0.0f) {
        ShipRowToEdit(0).sub1Rise = speed;
        BeginWith(0);
        PlaceShip({x, 624.0f});
        Frame(In::kAimUp);
        const std::vector<PlayerSubWeapon_SW001*> columns = ChildrenOf<PlayerSubWeapon_SW001>();
        return columns.size() == 1 ? columns[0] : nullptr;
    }
};

} // namespace

TEST_F(Column, TheHeadCapGrowsToItsFullHeightAndTheBoxesReach64BeyondBothEnds) {
    PlayerSubWeapon_SW001* column = FireColumn(40);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->GetSpawn().y, 600.0f);
    EXPECT_EQ(ship->subCount, 1);
    ASSERT_NE(column->GetSide(), nullptr);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001Fx>(), 1u);
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kSub1Column, 240, 1680);
    const float caps[] = {40.0f, 80.0f, 120.0f, 128.0f, 128.0f};
    for (int update = 1; update <= 5; ++update) {
        if (update > 1)
            Frame();
        const float head = 600.0f - 40.0f * static_cast<float>(update);
        EXPECT_EQ(column->GetPosition()->y, head);
        // Head cap, tail cap, body: 240 wide on the screen x.
        const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, sheet);
        ASSERT_EQ(quads.size(), 3u);
        const float cap = caps[update - 1];
        EXPECT_TRUE(Near(Sprite(quads[0]), {240, head - 128, 240, cap, 0, 0, 240, 128})) << update;
        EXPECT_TRUE(Near(Sprite(quads[1]), {240, 600, 240, cap, 0, 1552, 240, 128}))
            << "the tail cap under the firing line";
        EXPECT_TRUE(Near(Sprite(quads[2]), {240, head, 240, 600 - head, 0, 128, 240, 1424}));
        // The column's narrow box and its side's wide one.
        const HitShape& box = *column->GetHitShape();
        EXPECT_TRUE(Near({box.minY, box.maxY, box.maxX - box.minX}, {head - 64, 600 + 64, 32}));
        EXPECT_TRUE(Registered(3, column));
    }
    // The side follows its column a frame behind (it is updated first).
    Frame();
    const HitShape& side = *column->GetSide()->GetHitShape();
    EXPECT_TRUE(
        Near({side.maxX - side.minX, side.minY, side.maxY}, {190, 600 - 5 * 40 - 64, 600 + 64}));
    EXPECT_TRUE(Registered(3, column->GetSide()));
}

TEST_F(Column, TheLengthStaysAt1680AndTheColumnFollowsTheShipSideways) {
    PlayerSubWeapon_SW001* column = FireColumn(40, -50.0f);
    ASSERT_NE(column, nullptr);
    PlayerSubWeapon_SW001Side* side = static_cast<PlayerSubWeapon_SW001Side*>(column->GetSide());
    // 2280 pixels: the head at -1680, the beam at its cap with its lower
    // end risen 600 above the firing line.
    Frames(56);
    EXPECT_EQ(column->GetPosition()->y, -1680.0f);
    EXPECT_EQ(column->GetBeamLength(), 1680.0f);
    EXPECT_EQ(side->GetBeamLength(), 1680.0f);
    EXPECT_FLOAT_EQ(column->GetHitShape()->maxY, -1680.0f + 1680.0f + 64.0f);
    EXPECT_TRUE(column->IsAlive());
    // Sideways with the ship, not up or down.
    PlaceShip({100.0f, 300.0f});
    Frame();
    EXPECT_EQ(column->GetPosition()->x, 100.0f);
    EXPECT_EQ(column->GetSpawn().y, 600.0f);
    EXPECT_FALSE(column->IsAlive()) << "its head passed -1680";
    EXPECT_EQ(side->GetPosition()->x, 100.0f);
    // Three frames of its countdown, then three of its side's.
    Frames(6);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001>(), 0u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001Side>(), 0u) << "its side went with it";
    EXPECT_EQ(ship->subCount, 0);
}

TEST_F(Column, AnEnemyHeldInTheBeamSparksAtMostFourTimesInTenFramesButIsOfferedEveryFrame) {
    PlayerSubWeapon_SW001* column = FireColumn(1);
    ASSERT_NE(column, nullptr);
    Target* enemy = Enemy({0.0f, 560.0f});
    Frame();
    const int32_t hitsBefore = enemy->hits;
    Frames(10);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001HitFx>(), 4u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW001HitTsubu>(), 32u) << "eight a spark";
    EXPECT_EQ(enemy->hits - hitsBefore, 20) << "column and side, every frame";
    // What an enemy is offered: the column's share and the side's.
    const ShipParamRow& row = ShipRow();
    EXPECT_EQ(column->GetAttackPower(), row.sub1Attack[0] - row.sub1Attack[1]);
    EXPECT_EQ(column->GetSide()->GetAttackPower(), row.sub1Attack[1]);
    EXPECT_EQ(column->GetWeaponFamily(), PlayerShotBase::kFamilyShot);
    EXPECT_EQ(column->GetKind(), GameObject::kKindPlayerShot);
}

TEST_F(Column, TheDecoysColumnKeepsItsXAndItsOwnConstants) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub5HeadSpeed = 100;
    BeginWith(4);
    Target* source = Enemy({-80.0f, 500.0f});
    auto* column = Make<PlayerSubWeapon_SW005>(ship, source, &ShipRow());
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(ship->subCount, 1);
    EXPECT_EQ(column->GetSpawn().x, -80.0f);
    PlaceShip({200.0f, 500.0f});
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kSub5Column, 240, 1248);
    Frames(17);
    EXPECT_EQ(column->GetPosition()->x, -80.0f) << "it does not follow the ship";
    EXPECT_EQ(column->GetPosition()->y, -1200.0f);
    EXPECT_EQ(column->GetBeamLength(), 1248.0f);
    const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, sheet);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[1].v0, 1120.0f);
    EXPECT_EQ(quads[2].v1, 1120.0f);
    EXPECT_EQ(column->GetAttackPower(), row.sub5Attack[0] - row.sub5Attack[1]);
    Frame();
    EXPECT_FALSE(column->IsAlive()) << "its head passed -1248";
    Frames(4);
    EXPECT_EQ(ship->subCount, 0);
}

TEST_F(Column, WithoutBlocksForItsCompanionsTheColumnStillFires) {
    BeginWith(0);
    ExhaustPool(1);
    Frame(In::kAimUp);
    const std::vector<PlayerSubWeapon_SW001*> columns = ChildrenOf<PlayerSubWeapon_SW001>();
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0]->GetSide(), nullptr);
    Frames(3);
    EXPECT_TRUE(columns[0]->IsAlive());
    EXPECT_EQ(Sounds(35), 1u);
}

TEST_F(Column, FlashSparkAndParticleLiveSixteenThirteenAndThirtyFrames) {
    BeginWith(0);
    auto* flash = Make<PlayerSubWeapon_SW001Fx>(ship);
    auto* spark = Make<PlayerSubWeapon_SW005HitFx>(Vector2{});
    auto* particle = Make<PlayerSubWeapon_SW001HitTsubu>(Vector2{});
    // The particles drift at most 2 a frame each way and fade 255, 128, 9.
    const Vector2 v = particle->GetVelocity();
    EXPECT_LT(particle->GetCell(), 4u);
    // Counted after each update, until each starts vanishing.
    int flashes = 0, sparks = 0, particles = 0;
    for (int i = 0; i < 40 && particle; ++i) {
        Frame();
        const auto alive = [](auto*& object, int& count) {
            if (object && object->IsAlive())
                ++count;
            else
                object = nullptr;
        };
        alive(flash, flashes);
        alive(spark, sparks);
        alive(particle, particles);
    }
    EXPECT_EQ(flashes, 15);
    EXPECT_EQ(sparks, 12);
    EXPECT_EQ(particles, 29);
    EXPECT_LE(std::fabs(v.x), 2.0f);
    EXPECT_LE(std::fabs(v.y), 2.0f);
    EXPECT_EQ(SubWeaponHitParticle::Alpha(0), 255);
    EXPECT_EQ(SubWeaponHitParticle::Alpha(15), 128);
    EXPECT_EQ(SubWeaponHitParticle::Alpha(29), 9);
}

TEST_F(Column, TheMuzzleFlashShrinksFromTwiceItsSizeAboveItsAnchor) {
    BeginWith(0);
    PlaceShip({10.0f, 400.0f});
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kSub1Flash, 512, 512);
    Make<PlayerSubWeapon_SW001Fx>(ship);
    Frame();
    std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, sheet);
    ASSERT_EQ(quads.size(), 1u);
    // Counter 1: frame 0, scale 2 - 1/8, centred 24 above the ship.
    EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 128.0f * 1.875f);
    EXPECT_FLOAT_EQ((quads[0].y0 + quads[0].y1) * 0.5f, 376.0f);
    EXPECT_FLOAT_EQ((quads[0].x0 + quads[0].x1) * 0.5f, 370.0f);
    Frames(8);
    PlaceShip({-10.0f, 400.0f});
    quads = Drawn(SpriteLayer::kPlayerShotAdd, sheet);
    ASSERT_EQ(quads.size(), 1u);
    // Counter 9: frame 4, the second row of the sheet; it follows the ship.
    EXPECT_EQ(quads[0].u0, 0.0f);
    EXPECT_EQ(quads[0].v0, 256.0f);
    EXPECT_FLOAT_EQ((quads[0].x0 + quads[0].x1) * 0.5f, 350.0f);
}
