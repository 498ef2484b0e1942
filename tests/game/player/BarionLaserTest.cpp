// The Barion laser: a volley's charge, fan, firing and closing, the beams'
// extension, segment, narrowing and life, the shock ring, and the laser
// durations that an 8-bit count cannot reach.
#include "game/player/PlayerExWeapon_BarionLaser.h"
#include "game/player/PlayerExWeapon_BarionLaserBase.h"
#include "game/player/PlayerExWeapon_BarionLaserFx.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

class BarionLaser : public StageTest {
protected:
    PlayerExWeapon_BarionLaserBase* Volley(int16_t duration, Vector2 at = {0.0f, 500.0f}) {
        ShipRowToEdit(0).laserLife = duration;
        BeginWith(0);
        PlaceShip(at);
        return Make<PlayerExWeapon_BarionLaserBase>(ship, &ShipRow());
    }
    int Life(PlayerExWeapon_BarionLaserBase* base, int limit = 400) {
        return UpdatesToVanish(base, limit);
    }
};

} // namespace

TEST_F(BarionLaser, AVolleyChargesThreeFramesFiresThirtyBeamsAndClosesInEight) {
    PlayerExWeapon_BarionLaserBase* base = Volley(60);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(ship->laserCount, 1);
    EXPECT_EQ(Count<PlayerExWeapon_BarionLaserFx>(), 1u);
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    Frames(2);
    EXPECT_EQ(Count<PlayerExWeapon_BarionLaser>(), 0u);
    Frame();
    EXPECT_EQ(base->GetState(), PlayerExWeapon_BarionLaserBase::kFiring);
    const std::vector<PlayerExWeapon_BarionLaser*> beams = ChildrenOf<PlayerExWeapon_BarionLaser>();
    ASSERT_EQ(beams.size(), 30u);
    // 26 jittered beams, one draw each from the play stream.
    Mireku::Common::Random expected = before;
    for (int i = 0; i < 26; ++i)
        expected.Next();
    const Mireku::Common::Random& now = world.random->Stream(RandomManager::kPlay);
    EXPECT_EQ(now.x, expected.x);
    EXPECT_EQ(now.w, expected.w);
    // Beams 0, 5, 10 and 20 point straight up from their offsets; the
    // others within 10 degrees of their table angle.
    struct Fixed {
        size_t index;
        float dx, dy;
    };
    for (const Fixed& f :
         {Fixed{0, 16, -33}, Fixed{5, -16, -33}, Fixed{10, 47, 23}, Fixed{20, -47, 23}}) {
        EXPECT_EQ(beams[f.index]->GetStart().x, f.dx) << f.index;
        EXPECT_EQ(beams[f.index]->GetStart().y, 500.0f + f.dy) << f.index;
        EXPECT_NEAR(beams[f.index]->GetDirection().x, 0.0f, 1e-6f);
        EXPECT_NEAR(beams[f.index]->GetDirection().y, 1.0f, 1e-6f);
    }
    // Beam 29: -50 degrees from straight up, give or take 10.
    const Vector2 d = beams[29]->GetDirection();
    const float degrees = std::atan2(-d.x, d.y) * 180.0f / 3.14159265f;
    EXPECT_GT(degrees, -60.0f - 1e-3f);
    EXPECT_LT(degrees, -40.0f + 1e-3f);
    // 3 + 57 + 8 updates in all.
    EXPECT_EQ(Life(base), 65);
    EXPECT_EQ(base->GetFrame(), 6);
    Frames(3);
    EXPECT_EQ(ship->laserCount, 0);
}

TEST_F(BarionLaser, ABeamShoots1000PixelsOutInFiveFramesThenHitsAsASegment) {
    ShipRowToEdit(0).laserLife = 60;
    BeginWith(0);
    // One beam straight up from (200, 500), an enemy on its line.
    auto* beam = GameObject::Create<PlayerExWeapon_BarionLaser>(
        director, director, ship, Vector2{200.0f, 500.0f}, 3.14159265f / 2.0f, &ShipRow());
    ASSERT_NE(beam, nullptr);
    EXPECT_EQ(beam->GetWeaponFamily(), PlayerShotBase::kFamilyBarionLaser);
    EXPECT_EQ(beam->GetAttackPower(), ShipRow().laserAttack);
    EXPECT_EQ(beam->GetCollisionGroup(), 3u);
    EXPECT_EQ(beam->GetKind(), GameObject::kKindPlayerShot);
    Target* enemy = Enemy({200.0f, 100.0f});
    Frame();
    EXPECT_EQ(beam->GetPosition()->y, 300.0f);
    EXPECT_FALSE(Registered(3, beam));
    Frames(4);
    EXPECT_EQ(beam->GetState(), PlayerExWeapon_BarionLaser::kActive);
    EXPECT_EQ(beam->GetPosition()->y, -500.0f) << "1000 out";
    EXPECT_EQ(enemy->hits, 0) << "no hit while extending";
    // The ship moves: the beam keeps its start.
    PlaceShip({-100.0f, 600.0f});
    Frame();
    const HitShape& s = *beam->GetHitShape();
    EXPECT_EQ(s.kind, HitShape::kSegment);
    EXPECT_NEAR(s.data[0], 560.0f, 1e-3f);
    EXPECT_EQ(s.data[1], -500.0f);
    EXPECT_NEAR(s.data[2], 560.0f, 1e-3f);
    EXPECT_EQ(s.data[3], 500.0f);
    EXPECT_TRUE(Registered(3, beam));
    Frames(3);
    EXPECT_EQ(enemy->hits, 3) << "every frame on the segment";
}

TEST_F(BarionLaser, TheVolleysMuzzleRidesOnTheShip) {
    PlayerExWeapon_BarionLaserBase* base = Volley(60);
    Frames(5);
    PlaceShip({-100.0f, 600.0f});
    Frame();
    EXPECT_EQ(*base->GetPosition(), (Vector2{-100.0f, 600.0f}));
    EXPECT_EQ(ChildrenOf<PlayerExWeapon_BarionLaser>()[0]->GetStart().x, 16.0f);
}

TEST_F(BarionLaser, ABeamOfDuration60IsDrawn32WideThenNarrowsToHalfAPixel) {
    Volley(60);
    Mireku::Graphics::Texture* strips = Texture(StageTextureSlot::kBarionBeam, 432, 1416);
    Frames(3);
    PlayerExWeapon_BarionLaser* beam = ChildrenOf<PlayerExWeapon_BarionLaser>()[0];
    const auto width = [&] {
        // Beam 0 is the first of the thirty drawn; straight up, so its
        // quad's corners lie left and right of the line.
        const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, strips);
        return quads.empty() ? -1.0f : quads[0].x1 - quads[0].x0;
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(width(), 64.0f, 1e-3f) << "extending";
        Frame();
    }
    EXPECT_EQ(beam->GetState(), PlayerExWeapon_BarionLaser::kActive);
    EXPECT_EQ(beam->GetCounter(), 0);
    EXPECT_NEAR(width(), 64.0f, 1e-3f);
    Frames(30);
    EXPECT_NEAR(width(), 2.0f * (32.0f - 32.0f * 30.0f / 60.0f), 1e-3f);
    Frames(29);
    ASSERT_EQ(beam->GetCounter(), 59);
    EXPECT_TRUE(beam->IsAlive());
    EXPECT_NEAR(width(), 2.0f * 0.5333f, 1e-3f) << "last drawn at counter 59";
    const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, strips);
    EXPECT_EQ(quads[0].u0, 144.0f * ((59 / 3) % 3));
    EXPECT_EQ(quads[0].v1, 1416.0f);
    Frame();
    EXPECT_FALSE(beam->IsAlive()) << "5 + 60 updates";
    EXPECT_EQ(PlayerExWeapon_BarionLaser::HalfWidth(0, 3, 60), 32.0f);
}

TEST_F(BarionLaser, DurationsAnEightBitCountCannotReachAreHeldTo4To255) {
    EXPECT_EQ(PlayerExWeapon_BarionLaser::Duration(nullptr), 4);
    // A duration of 3 would leave the count standing at 3 past its test.
    PlayerExWeapon_BarionLaserBase* base = Volley(3);
    EXPECT_EQ(Life(base, 600), 3 + 1 + 8);
    Frames(10);
    EXPECT_EQ(Count<PlayerExWeapon_BarionLaser>(), 0u) << "the beams ran out as well";
    EXPECT_EQ(ship->laserCount, 0);
    DeleteDirector();
    base = Volley(0);
    EXPECT_EQ(Life(base, 600), 3 + 1 + 8);
    DeleteDirector();
    base = Volley(300);
    EXPECT_EQ(Life(base, 600), 3 + 252 + 8);
    DeleteDirector();
    base = Volley(-5);
    EXPECT_EQ(Life(base, 600), 3 + 1 + 8);
}

TEST_F(BarionLaser, TheShockRingGrowsFiveTimesAndFadesOverThirtyUpdates) {
    Volley(60);
    Mireku::Graphics::Texture* ring = Texture(StageTextureSlot::kBarionRing, 512, 512);
    PlayerExWeapon_BarionLaserFx* fx = ChildrenOf<PlayerExWeapon_BarionLaserFx>()[0];
    Frames(15);
    const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotFx, ring);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 512.0f * 2.5f);
    EXPECT_EQ(quads[0].colour >> 24, 128u);
    Frames(15);
    EXPECT_TRUE(fx->IsAlive());
    Frame();
    EXPECT_FALSE(fx->IsAlive());
}

TEST_F(BarionLaser, TheMuzzleIsDrawn48BelowTheShipFrameByFrame) {
    PlayerExWeapon_BarionLaserBase* base = Volley(10);
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kBarionMuzzle, 960, 1008);
    std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotFx, sheet);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_TRUE(Near({quads[0].u0, quads[0].x0, quads[0].y0, quads[0].x1 - quads[0].x0},
                     {0.0f, 360.0f - 240.0f, 500.0f - 168.0f + 48.0f, 480.0f}));
    Frames(3);
    EXPECT_EQ(Drawn(SpriteLayer::kPlayerShotFx, sheet)[0].u0, 480.0f) << "frame 1 while firing";
    Frames(7);
    ASSERT_EQ(base->GetState(), PlayerExWeapon_BarionLaserBase::kClosing);
    quads = Drawn(SpriteLayer::kPlayerShotFx, sheet);
    EXPECT_EQ(quads[0].u0, 0.0f);
    EXPECT_EQ(quads[0].v0, 336.0f) << "frame 2";
}
