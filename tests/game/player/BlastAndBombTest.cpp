// Sub weapons 3 and 4: the blast shot and the aimed bomb, their explosions,
// the bomb's shock wave and the two flashes they share.
#include "game/player/PlayerSubWeapon_SW003.h"
#include "game/player/PlayerSubWeapon_SW003Fx.h"
#include "game/player/PlayerSubWeapon_SW003Hit.h"
#include "game/player/PlayerSubWeapon_SW003ShootFx.h"
#include "game/player/PlayerSubWeapon_SW004.h"
#include "game/player/PlayerSubWeapon_SW004Fx.h"
#include "game/player/PlayerSubWeapon_SW004Hit.h"
#include "game/player/PlayerSubWeapon_SW004ShootFx.h"
#include "game/player/PlayerSubWeapon_SW004Sonic.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class Blast : public StageTest {
protected:
    template <class T> T* Last() {
        const std::vector<T*> all = ChildrenOf<T>();
        return all.empty() ? nullptr : all.back();
    }
};

} // namespace

TEST_F(Blast, AShotFromY600StartsAt616AndVanishesAtIts56thUpdate) {
    ShipRowToEdit(0).sub3Speed = 12;
    BeginWith(2);
    PlaceShip({30.0f, 600.0f});
    auto* shot = Make<PlayerSubWeapon_SW003>(ship, *ship->GetPosition(), &ShipRow());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->GetPosition()->y, 616.0f);
    EXPECT_EQ(ship->subCount, 1);
    // Both flashes 32 above the ship.
    EXPECT_EQ(Last<PlayerSubWeapon_SW003Fx>()->GetPosition()->y, 568.0f);
    EXPECT_EQ(Last<PlayerSubWeapon_SW003ShootFx>()->GetPosition()->y, 568.0f);
    EXPECT_EQ(shot->GetAttackPower(), 0) << "the shot itself deals nothing";
    EXPECT_EQ(UpdatesToVanish(shot), 56);
    EXPECT_EQ(Count<PlayerSubWeapon_SW003Hit>(), 0u) << "nothing met, no explosion";
    Frames(3);
    EXPECT_EQ(ship->subCount, 0);
}

TEST_F(Blast, OneShotOnTwoEnemiesMakesOneExplosionThatHitsFromUpdate4To37) {
    ShipRowToEdit(0).sub3Speed = 0;
    BeginWith(2);
    Target* a = Enemy({-20.0f, 300.0f});
    Target* b = Enemy({20.0f, 300.0f});
    auto* shot = Make<PlayerSubWeapon_SW003>(ship, Vector2{0.0f, 284.0f}, &ShipRow());
    Frame();
    Frame();
    EXPECT_FALSE(shot->IsAlive());
    EXPECT_EQ(a->hits, 1);
    EXPECT_EQ(b->hits, 0) << "after the first pair the shape is off";
    ASSERT_EQ(Count<PlayerSubWeapon_SW003Hit>(), 1u);
    EXPECT_EQ(Sounds(38), 1u);
    PlayerSubWeapon_SW003Hit* blast = Last<PlayerSubWeapon_SW003Hit>();
    EXPECT_EQ(blast->GetAttackPower(), ShipRow().sub3Attack);
    EXPECT_EQ(ship->subCount, 2) << "the shot until it is deleted, and its explosion";
    // The explosion was updated once in its creation frame's update pass.
    std::vector<int> harmful;
    for (int update = 2; blast->IsAlive() && update < 80; ++update) {
        const int before = a->hits;
        Frame(); // the pass on the previous update's registration, then the update
        if (a->hits != before)
            harmful.push_back(update - 1);
        EXPECT_EQ(blast->IsHitShapeActive(), blast->GetFrame() >= 4 && blast->GetFrame() <= 23);
    }
    ASSERT_FALSE(harmful.empty());
    EXPECT_EQ(harmful.front(), 4);
    EXPECT_EQ(harmful.back(), 37);
    EXPECT_EQ(harmful.size(), 34u);
    EXPECT_EQ(b->hits, 34) << "both enemies in its box";
    Frames(3);
    EXPECT_EQ(ship->subCount, 0);
}

TEST_F(Blast, TheExplosionsFramesLastOneThenTwoUpdatesOverFifty) {
    BeginWith(2);
    auto* blast = Make<PlayerSubWeapon_SW004Hit>(ship, Vector2{0.0f, 300.0f}, &ShipRow());
    std::vector<int> frames;
    while (blast->IsAlive() && frames.size() < 60) {
        Frame();
        if (blast->IsAlive())
            frames.push_back(blast->GetFrame());
    }
    ASSERT_EQ(frames.size(), 49u) << "it vanishes at update 50";
    EXPECT_EQ(frames[8], 9);
    EXPECT_EQ(frames[9], 10) << "frame 10 is the first to last two updates";
    EXPECT_EQ(frames[10], 10);
    EXPECT_EQ(frames[48], 29);
    DeleteDirector();
    BeginWith(2);
    Mireku::Graphics::Texture* first = Texture(StageTextureSlot::kSub4Explosion, 1024, 1024);
    Mireku::Graphics::Texture* second = Texture(StageTextureSlot::kSub4Explosion + 1, 1024, 1024);
    blast = Make<PlayerSubWeapon_SW004Hit>(ship, Vector2{0.0f, 300.0f}, &ShipRow());
    Frames(5); // frame 5
    std::vector<Quad> quads = Drawn(SpriteLayer::kPlayerShotAdd, first);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].u0, 256.0f);
    EXPECT_EQ(quads[0].v0, 256.0f);
    EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 512.0f) << "twice the cell";
    Frames(24); // update 29: frame 19
    quads = Drawn(SpriteLayer::kPlayerShotAdd, second);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].u0, 768.0f);
    EXPECT_EQ(quads[0].v0, 0.0f);
}

TEST_F(Blast, ABombThrownUpFromY600StartsAt576AndBurstsInIts52ndUpdate) {
    ShipRowToEdit(0).sub4LaunchSpeed = 20;
    BeginWith(3);
    PlaceShip({0.0f, 600.0f});
    auto* bomb = GameObject::Create<PlayerSubWeapon_SW004>(
        director, director, ship, *ship->GetPosition(), &ShipRow(), Vector2{0.0f, 1.0f});
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->GetPosition()->y, 576.0f);
    EXPECT_EQ(Count<PlayerSubWeapon_SW004Fx>(), 1u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW004ShootFx>(), 1u);
    EXPECT_EQ(UpdatesToVanish(bomb), 52);
    EXPECT_LT(bomb->GetAge(), 60u) << "before the 60-frame limit";
    EXPECT_EQ(Count<PlayerSubWeapon_SW004Sonic>(), 1u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW004Hit>(), 1u);
    EXPECT_EQ(Sounds(40), 1u);
    EXPECT_EQ(ship->subCount, 2) << "the bomb until it is deleted, and its explosion";
}

TEST_F(Blast, ABombBurstsOnContactAtSixtyFramesOrTwiceInACorner) {
    ShipRowToEdit(0).sub4LaunchSpeed = 0;
    BeginWith(3);
    auto* idle = GameObject::Create<PlayerSubWeapon_SW004>(
        director, director, ship, Vector2{0.0f, 400.0f}, &ShipRow(), Vector2{});
    EXPECT_EQ(UpdatesToVanish(idle), 60);
    EXPECT_EQ(Count<PlayerSubWeapon_SW004Sonic>(), 1u);

    // Into the top-left corner of the map: two margins in one frame.
    auto* corner = GameObject::Create<PlayerSubWeapon_SW004>(
        director, director, ship, Vector2{-488.0f + 40.0f, 70.0f}, &ShipRow(), Vector2{});
    Frame();
    EXPECT_FALSE(corner->IsAlive());
    EXPECT_EQ(Count<PlayerSubWeapon_SW004Sonic>(), 3u);
    EXPECT_EQ(Count<PlayerSubWeapon_SW004Hit>(), 3u);

    // Contact, away from all that.
    DeleteDirector();
    BeginWith(3);
    Target* enemy = Enemy({100.0f, 300.0f});
    auto* hit = GameObject::Create<PlayerSubWeapon_SW004>(
        director, director, ship, Vector2{100.0f, 324.0f}, &ShipRow(), Vector2{});
    Frame();
    Frame();
    EXPECT_FALSE(hit->IsAlive());
    EXPECT_EQ(enemy->hits, 1) << "the bomb once; its shape went off";
    EXPECT_EQ(hit->GetAttackPower(), 0);
}

TEST_F(Blast, TheShockWaveHitsFor46UpdatesAndVanishesAtIts53rd) {
    BeginWith(3);
    auto* wave = Make<PlayerSubWeapon_SW004Sonic>(ship, Vector2{0.0f, 360.0f}, &ShipRow());
    ASSERT_NE(wave, nullptr);
    EXPECT_FALSE(wave->IsHitShapeActive());
    EXPECT_EQ(wave->GetAttackPower(), ShipRow().sub4Attack[1]);
    int harmful = 0, updates = 0;
    while (wave->IsAlive() && updates < 80) {
        Frame();
        ++updates;
        if (Registered(3, wave))
            ++harmful;
        if (updates == 1) {
            EXPECT_FLOAT_EQ(wave->GetHitShape()->data[2], 222.0f * 0.45f);
        }
    }
    EXPECT_EQ(harmful, 46);
    EXPECT_EQ(updates, 53);
    EXPECT_GT(wave->GetScale(), 3.0f);
}

TEST_F(Blast, TheWaveMissesAnEnemyItCoversWholly) {
    BeginWith(3);
    PlaceShip({0.0f, 650.0f}); // out of the enemies' way
    // Two enemies: one inside the circle, one across its rim.
    Target* inside = Enemy({0.0f, 360.0f}, 24);
    Target* rim = Enemy({0.0f, 360.0f - 222.0f * 0.45f}, 24);
    Make<PlayerSubWeapon_SW004Sonic>(ship, Vector2{0.0f, 360.0f}, &ShipRow());
    Frame();
    Frame();
    EXPECT_EQ(inside->hits, 0) << "a circle covering all four corners misses";
    EXPECT_GT(rim->hits, 0);
}

TEST_F(Blast, TheMuzzleFlashSwellsAndShrinksAndTheLaunchFlashRunsItsSixPictures) {
    BeginWith(2);
    auto* flash = Make<PlayerSubWeapon_SW004Fx>(Vector2{0.0f, 300.0f});
    auto* launch = Make<PlayerSubWeapon_SW003ShootFx>(Vector2{0.0f, 300.0f});
    std::vector<float> scales;
    std::vector<int32_t> pictures;
    for (int i = 0; i < 25; ++i) {
        Frame();
        if (flash && flash->IsAlive())
            scales.push_back(flash->GetScale());
        else
            flash = nullptr;
        if (launch && launch->IsAlive())
            pictures.push_back(launch->GetFrame());
        else
            launch = nullptr;
    }
    EXPECT_EQ(scales, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f,
                                          0.4f, 0.3f, 0.2f, 0.1f}));
    // Pictures 0 to 5 for 2, 3, 3, 3, 4 and 5 updates: 20 in all, the
    // last update starting the countdown.
    EXPECT_EQ(pictures,
              (std::vector<int32_t>{0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 5}));
}
