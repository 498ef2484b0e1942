// Sub weapon 5's decoys: the spread, the column each fires, the return into
// the ship, the live count they share with their columns, and drawing.
#include "game/player/PlayerSubWeapon_SW005.h"
#include "game/player/PlayerSubWeapon_SW005Decoy.h"
#include "game/player/PlayerSubWeapon_SW005Fx.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class Decoy : public StageTest {
protected:
    PlayerSubWeapon_SW005Decoy* Spread(Vector2 target) {
        return Make<PlayerSubWeapon_SW005Decoy>(ship, &ShipRow(), target);
    }
};

} // namespace

TEST_F(Decoy, ItComesFifteenPercentOfTheRemainingWayAFrame) {
    BeginWith(4);
    PlaceShip({0.0f, 500.0f});
    PlayerSubWeapon_SW005Decoy* decoy = Spread({100.0f, 0.0f});
    ASSERT_NE(decoy, nullptr);
    EXPECT_EQ(decoy->GetOffset().x, 0.0f);
    EXPECT_EQ(ship->subCount, 1);
    const float expected[] = {15.0f, 27.75f, 38.5875f};
    for (float x : expected) {
        Frame();
        EXPECT_FLOAT_EQ(decoy->GetOffset().x, x);
        EXPECT_FLOAT_EQ(decoy->GetPosition()->x, x);
    }
    EXPECT_EQ(decoy->GetAlpha(), 128);
}

TEST_F(Decoy, WithoutSpreadItFollowsAQuarterOfTheShipsMovement) {
    BeginWith(4);
    PlaceShip({0.0f, 500.0f});
    PlayerSubWeapon_SW005Decoy* decoy = Spread({});
    Frame();
    EXPECT_EQ(*decoy->GetPosition(), (Vector2{0.0f, 500.0f}));
    PlaceShip({80.0f, 420.0f});
    Frame();
    EXPECT_FLOAT_EQ(decoy->GetPosition()->x, 20.0f);
    EXPECT_FLOAT_EQ(decoy->GetPosition()->y, 480.0f);
}

TEST_F(Decoy, FourDecoysCountFourWhileSpreadingAndEightWhileTheirColumnsFly) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub5Decoys = 4;
    row.sub5Limit = 4;
    row.sub4Cooldown = 1;
    row.sub5HeadSpeed = 20;
    BeginWith(4);
    PlaceShip({0.0f, 600.0f});
    Frame(In::kAimUp);
    ASSERT_EQ(Count<PlayerSubWeapon_SW005Decoy>(), 4u);
    EXPECT_EQ(ship->subCount, 4);
    Frames(28, In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW005Decoy>(), 4u) << "the limit of 4 is reached";
    EXPECT_EQ(ship->subCount, 4);
    Frame(In::kAimUp);
    EXPECT_EQ(Count<PlayerSubWeapon_SW005>(), 4u) << "the four fire together";
    EXPECT_EQ(Count<PlayerSubWeapon_SW005Fx>(), 4u);
    EXPECT_EQ(ship->subCount, 8);
}

TEST_F(Decoy, ItWaitsForItsColumnThenReturnsIntoTheShipAndGoes) {
    ShipParamRow& row = ShipRowToEdit(0);
    row.sub5HeadSpeed = 100;
    BeginWith(4);
    PlaceShip({0.0f, 600.0f});
    PlayerSubWeapon_SW005Decoy* decoy = Spread({-60.0f, -30.0f});
    Frames(30);
    ASSERT_EQ(decoy->GetState(), PlayerSubWeapon_SW005Decoy::kFiring);
    PlayerSubWeapon_SW005* column = decoy->GetBeam();
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->GetSpawn().x, decoy->GetPosition()->x) << "fired where the decoy stands";
    EXPECT_EQ(column->GetSpawn().y, decoy->GetPosition()->y);
    EXPECT_EQ(ship->subCount, 2);
    const Vector2 stand = *decoy->GetPosition();
    // From about y 570 at 100 a frame (its first update was in the frame
    // that fired it), the column's head passes -1248 at its 19th update and
    // the decoy sees it going at the next frame.
    int firing = 0;
    while (decoy->GetState() == PlayerSubWeapon_SW005Decoy::kFiring && firing < 40) {
        PlaceShip({100.0f, 500.0f});
        Frame();
        ++firing;
    }
    EXPECT_EQ(firing, 19);
    EXPECT_EQ(decoy->GetBase().x, stand.x) << "it stayed where it fired";
    EXPECT_EQ(decoy->GetBase().y, stand.y);
    EXPECT_EQ(decoy->GetBeam(), nullptr);
    // Thirty frames home, fading in, then gone.
    std::vector<int32_t> alphas;
    while (decoy->IsAlive() && alphas.size() < 40) {
        Frame();
        alphas.push_back(decoy->GetAlpha());
    }
    ASSERT_EQ(alphas.size(), 30u);
    EXPECT_EQ(alphas[1], 4);
    EXPECT_EQ(alphas[29], 123);
    EXPECT_NEAR(decoy->GetPosition()->x, 100.0f, 5.0f) << "at the ship";
    Frames(3);
    EXPECT_EQ(ship->subCount, 0);
}

TEST_F(Decoy, WithoutABlockForItsColumnItReturnsAtOnce) {
    BeginWith(4);
    PlayerSubWeapon_SW005Decoy* decoy = Spread({});
    Frames(29);
    ExhaustPool();
    Frame();
    EXPECT_EQ(decoy->GetState(), PlayerSubWeapon_SW005Decoy::kFiring);
    EXPECT_EQ(decoy->GetBeam(), nullptr);
    Frame();
    EXPECT_EQ(decoy->GetState(), PlayerSubWeapon_SW005Decoy::kReturning);
}

TEST_F(Decoy, ItIsDrawnAsTheShipsGhostCellsAlphaThenAdditive) {
    BeginWith(4);
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kShip, 480, 384);
    PlaceShip({0.0f, 500.0f});
    Spread({});
    Frame();
    const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayer, sheet);
    // The ship's own body and overlays come first; the decoy's two last.
    ASSERT_GE(quads.size(), 2u);
    const Quad& body = quads[quads.size() - 2];
    const Quad& glow = quads[quads.size() - 1];
    EXPECT_EQ(body.u0, 192.0f);
    EXPECT_EQ(body.v0, 0.0f);
    EXPECT_EQ(body.blend, 1u);
    EXPECT_EQ(glow.v0, 96.0f);
    EXPECT_EQ(glow.blend, 2u);
    EXPECT_EQ(body.colour >> 24, 128u);
    EXPECT_FLOAT_EQ(body.x1 - body.x0, 96.0f);
    EXPECT_FLOAT_EQ((body.x0 + body.x1) * 0.5f, 360.0f);
}
