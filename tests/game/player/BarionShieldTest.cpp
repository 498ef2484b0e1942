// The Barion shield raised by an automatic shield, its sparks, the erased
// enemy shots, and the ready sign a passed gauge step shows.
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/player/PlayerCreation.h"
#include "game/player/PlayerExWeapon_BarionShield.h"
#include "game/player/PlayerExWeapon_BarionShieldFx.h"
#include "game/player/PlayerExWeapon_BarionShieldOK.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class Shield : public StageTest {
protected:
    PlayerExWeapon_BarionShield* Raise(int16_t interval, Vector2 at = {0.0f, 400.0f}) {
        ShipRowToEdit(0).shieldHitInterval = interval;
        BeginWith(0);
        PlaceShip(at);
        return CreateBarionShield(director, ship, &ShipRow());
    }
    // The updates (1, 2, ...) in which the shield registered, over `n` frames.
    std::vector<int> Registrations(PlayerExWeapon_BarionShield* shield, int n) {
        std::vector<int> out;
        for (int update = 1; update <= n; ++update) {
            Frame();
            if (Registered(4, shield))
                out.push_back(update);
        }
        return out;
    }
};

} // namespace

TEST_F(Shield, AnIntervalOfOneRegistersEveryFrameAndTenTheFirstThenEveryTenth) {
    PlayerExWeapon_BarionShield* shield = Raise(1);
    ASSERT_NE(shield, nullptr);
    EXPECT_EQ(Registrations(shield, 30).size(), 30u);
    DeleteDirector();
    shield = Raise(10);
    EXPECT_EQ(Registrations(shield, 35), (std::vector<int>{1, 11, 21, 31}));
}

// Growing, update k draws at scale (k - 1) x 0.025 x 0.5, opaque; fading,
// at j x 0.0125 x 0.7 + 0.5 for its j-th update from 0, the alpha falling
// from 255 by 0.0125 x 255 an update; it hits for its first 80 updates of 120.
TEST_F(Shield, ItGrowsFor40AndFadesFor80HittingForTheFirst80) {
    PlayerExWeapon_BarionShield* shield = Raise(1);
    EXPECT_EQ(shield->GetCollisionGroup(), 4u);
    EXPECT_EQ(shield->GetWeaponFamily(), PlayerShotBase::kFamilyBarionShield);
    EXPECT_EQ(shield->GetAttackPower(), ShipRow().shieldAttack);
    int lastHarmful = 0, updates = 0;
    for (int k = 1; shield->IsAlive() && k < 200; ++k, ++updates) {
        Frame();
        if (Registered(4, shield))
            lastHarmful = k;
        const float j = static_cast<float>(k - 41);
        EXPECT_FLOAT_EQ(shield->GetScale(),
                        k <= 40 ? (k - 1) * 0.025f * 0.5f : j * 0.0125f * 0.7f + 0.5f)
            << k;
        EXPECT_EQ(shield->GetAlpha(),
                  k <= 40 ? 255 : static_cast<uint8_t>(255.0f - j * 0.0125f * 255.0f))
            << k;
        if (k == 11) { // scale 0.125: a 40 by 40 box
            const HitShape& box = *shield->GetHitShape();
            EXPECT_TRUE(Near({box.minX, box.minY, box.maxX - box.minX}, {340, 380, 40}));
        }
    }
    EXPECT_EQ(updates, 120);
    EXPECT_EQ(lastHarmful, 79) << "the hit shape goes off in the 80th update";
    EXPECT_EQ(shield->GetPhaseCounter(), 80);
    // Its sparks every third frame, scattered within its size.
    EXPECT_GT(Count<PlayerExWeapon_BarionShieldFx>(), 0u);
}

TEST_F(Shield, ItStaysWhereItWasRaised) {
    PlayerExWeapon_BarionShield* shield = Raise(1, {50.0f, 450.0f});
    PlaceShip({-200.0f, 300.0f});
    Frames(5);
    EXPECT_EQ(*shield->GetPosition(), (Vector2{50.0f, 450.0f}));
}

TEST_F(Shield, ShotsItTouchesInARegisteredFrameLeaveOneEraseMarkEach) {
    PlayerExWeapon_BarionShield* shield = Raise(10);
    PlaceShip({0.0f, 650.0f}); // out of the shots' way
    Frames(20);                // a box large enough, and the next registration at 21
    ASSERT_TRUE(shield->IsAlive());
    std::vector<Target*> shots;
    for (int i = 0; i < 3; ++i)
        shots.push_back(GameObject::Create<Target>(
            director, director, Vector2{-30.0f + 30.0f * static_cast<float>(i), 400.0f},
            GameObject::kKindEnemyShot, 8));
    Frame(); // update 21: the shield and the shots register
    Frame(); // the pass meets them
    EXPECT_EQ(Count<EnemyShotDelete>(), 3u);
    for (Target* shot : shots)
        EXPECT_EQ(shot->hits, 1);
    // In frames the shield does not register, shots pass.
    Frames(3);
    EXPECT_EQ(Count<EnemyShotDelete>(), 3u);
    // Enemies in its box take its attack; they leave no mark.
    Target* enemy = Enemy({0.0f, 400.0f});
    Frames(10);
    EXPECT_EQ(enemy->hits, 1);
    EXPECT_EQ(Count<EnemyShotDelete>(), 3u + 3u) << "the shots again, at update 31";
}

TEST_F(Shield, SparksAreRandomStarsFlashingForFourFrames) {
    PlayerExWeapon_BarionShield* shield = Raise(1);
    Frames(3);
    std::vector<PlayerExWeapon_BarionShieldFx*> sparks =
        ChildrenOf<PlayerExWeapon_BarionShieldFx>();
    ASSERT_EQ(sparks.size(), 1u);
    PlayerExWeapon_BarionShieldFx* spark = sparks[0];
    EXPECT_GE(spark->GetTextureSlot(), 71u);
    EXPECT_LE(spark->GetTextureSlot(), 74u);
    EXPECT_FLOAT_EQ(spark->GetBaseScale(), shield->GetScale());
    // Updated once already: scale 0; then 0.5, 1, 0.5 of its base.
    const float base = spark->GetBaseScale();
    Frame();
    EXPECT_FLOAT_EQ(spark->GetScale(), 0.5f * base);
    Frame();
    EXPECT_FLOAT_EQ(spark->GetScale(), base);
    Frame();
    EXPECT_FLOAT_EQ(spark->GetScale(), 0.5f * base);
    EXPECT_FALSE(spark->IsAlive());
    EXPECT_EQ(PlayerExWeapon_BarionShieldFx::PictureSize(74), 120.0f);
    EXPECT_EQ(PlayerExWeapon_BarionShieldFx::PictureSize(71), 200.0f);
    // Their places and pictures are cosmetic: the play stream is untouched.
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    Frames(9);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, before.x);
}

TEST_F(Shield, APassedGaugeStepShowsTheReadySignOnTheShipFor45Frames) {
    BeginWith(0);
    PlayerWork& p = Work();
    p.barionGauge = 240;
    director->AddBarionGauge(p, 20); // past the 25% step of 1000
    const std::vector<PlayerExWeapon_BarionShieldOK*> signs =
        ChildrenOf<PlayerExWeapon_BarionShieldOK>();
    ASSERT_EQ(signs.size(), 1u);
    PlayerExWeapon_BarionShieldOK* sign = signs[0];
    director->AddBarionGauge(p, 20);
    EXPECT_EQ(Count<PlayerExWeapon_BarionShieldOK>(), 1u) << "no step passed";
    PlaceShip({-70.0f, 520.0f});
    // Its scale: n / 15 x 0.8 for its first 15 updates, then n x 0.05 x
    // 0.4 + 0.8 for 20 and n x 0.1 x 0.3 + 1.2 for 10 (n from 0 in each).
    std::vector<uint32_t> phases;
    int frames = 0;
    while (sign->IsAlive() && frames < 100) {
        Frame();
        const float n = static_cast<float>(frames < 15   ? frames
                                           : frames < 35 ? frames - 15
                                                         : frames - 35);
        EXPECT_NEAR(sign->GetScale(),
                    frames < 15   ? n / 15.0f * 0.8f
                    : frames < 35 ? n * 0.05f * 0.4f + 0.8f
                                  : n * 0.1f * 0.3f + 1.2f,
                    1e-5f)
            << frames;
        ++frames;
        phases.push_back(sign->GetPhase());
    }
    EXPECT_EQ(frames, 45);
    EXPECT_EQ(sign->GetPosition()->x, -70.0f) << "on the ship";
    EXPECT_EQ(phases[13], 0u);
    EXPECT_EQ(phases[14], 1u);
    EXPECT_EQ(phases[34], 2u);
    EXPECT_NEAR(sign->GetSpin(), 1.0f - 45.0f * 0.03f, 1e-4f);
    EXPECT_EQ(sign->GetAlpha(), static_cast<uint8_t>(255.0f - 9.0f * 0.1f * 255.0f));
    EXPECT_EQ(CreateBarionShieldOK(director, nullptr), nullptr) << "no ship, no sign";
}

TEST_F(Shield, TheShieldIsDrawnAtItsScaleWithItsAlpha) {
    PlayerExWeapon_BarionShield* shield = Raise(1);
    Mireku::Graphics::Texture* picture = Texture(StageTextureSlot::kBarionShield, 400, 400);
    Frames(50); // fading, phase counter 10 before this update's step
    const std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, picture);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 400.0f * shield->GetScale());
    EXPECT_FLOAT_EQ(shield->GetScale(), 9.0f * 0.0125f * 0.7f + 0.5f);
    EXPECT_EQ(quads[0].colour >> 24, shield->GetAlpha());
    EXPECT_FLOAT_EQ((quads[0].x0 + quads[0].x1) * 0.5f, 360.0f);
}
