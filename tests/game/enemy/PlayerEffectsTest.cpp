// The player's death and hit effect objects, and the flight, power-up and
// secret-weapon effects: their lives, motion, pictures and, for the death
// explosion, its one hit and the continue it leads to.
#include "game/core/SpriteQuad.h"
#include "game/enemy/effect/PlayerDeadBomb.h"
#include "game/enemy/effect/PlayerDeadBombHamon.h"
#include "game/enemy/effect/PlayerDeadBombParts.h"
#include "game/enemy/effect/PlayerDeadPod.h"
#include "game/enemy/effect/PlayerDeadPodBomb.h"
#include "game/enemy/effect/PlayerEffectBackFire.h"
#include "game/enemy/effect/PlayerFlyHamon.h"
#include "game/enemy/effect/PlayerHitDown.h"
#include "game/enemy/effect/PowerUpCreation.h"
#include "game/enemy/effect/PowerUpEffect.h"
#include "game/enemy/effect/PowerUpScore.h"
#include "game/enemy/effect/SecretHamon.h"
#include "game/enemy/effect/SecretWeaponHit.h"
#include "game/enemy/effect/SecretWeaponShow.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;
using Slot = int32_t;
namespace S = StageTextureSlot;

class Effects : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Begin();
    }
    // Updates of `object` until it vanishes.
    template <class T> int Life(T* object) {
        int updates = 0;
        while (object->IsAlive() && updates < 500) {
            object->Update();
            ++updates;
        }
        return updates;
    }
};

} // namespace

TEST_F(Effects, TheDeathBombHitsOnceOnItsThirtiethUpdate) {
    const Vector2 at{40.0f, 200.0f};
    Target* inside = Make<Target>(at + Vector2{140.0f, 0.0f});
    Target* outside = Make<Target>(at + Vector2{0.0f, 175.0f});
    const uint32_t booms = Sounds(15);
    auto* bomb = Make<PlayerDeadBomb>(at, uint16_t{40});
    EXPECT_EQ(director->GetFlashTarget(), 0.7f) << "the screen flashes at once";
    EXPECT_EQ(Sounds(15), booms + 1) << "with sound 15";
    EXPECT_EQ(bomb->GetKind(), GameObject::kKindPlayerShot);
    EXPECT_EQ(bomb->GetAttackPower(), 40);
    EXPECT_EQ(bomb->GetWeaponFamily(), PlayerShotBase::kFamilyShot);
    Target* late = nullptr;
    std::vector<int> active;
    for (int update = 1; update <= 75; ++update) {
        Frame();
        if (bomb->IsHitShapeActive())
            active.push_back(update);
        if (update == 30) {
            const HitShape& box = *bomb->GetHitShape();
            EXPECT_EQ(box.minX, 400.0f - 150.0f);
            EXPECT_EQ(box.maxY, 350.0f);
            late = Make<Target>(at);
        }
        // Frames 0-4 last one update, 5-12 two, 13-15 three: frame 16 comes
        // with the 30th update.
        if (update == 29) {
            EXPECT_EQ(director->GetFlashTarget(), 0.7f);
        }
        if (update == 30) {
            EXPECT_EQ(director->GetFlashTarget(), 0.0f) << "let go at frame 16";
        }
    }
    EXPECT_EQ(active, std::vector<int>{30});
    EXPECT_EQ(inside->hits, 1);
    EXPECT_EQ(outside->hits, 0);
    EXPECT_EQ(late->hits, 0) << "came too late";
    EXPECT_FALSE(bomb->IsAlive()) << "75 updates";
}

TEST_F(Effects, TheDeathBombsFirstFramesAreTheFlashAlone) {
    Texture(S::kPlayerBomb1, 1024, 1024);
    Texture(S::kPlayerBomb2, 1024, 1024);
    auto* bomb = Make<PlayerDeadBomb>(Vector2{}, uint16_t{1});
    EXPECT_TRUE(DrawnBy(bomb, SpriteLayer::kPlayer).empty()) << "frame 0";
    bomb->Update();
    EXPECT_EQ(bomb->GetFrame(), 1);
    EXPECT_TRUE(DrawnBy(bomb, SpriteLayer::kPlayer).empty()) << "frame 1";
    bomb->Update();
    ASSERT_EQ(bomb->GetFrame(), 2);
    std::vector<Quad> quads = DrawnBy(bomb, SpriteLayer::kPlayer);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].texture, director->GetTexture(S::kPlayerBomb1));
    EXPECT_EQ(quads[0].u0, 256.0f) << "cell 1";
    EXPECT_EQ(quads[0].x1 - quads[0].x0, 512.0f) << "twice its size";
    EXPECT_EQ(quads[0].blend, SpriteQuad::kAlpha);
    while (bomb->GetFrame() < 17)
        bomb->Update();
    quads = DrawnBy(bomb, SpriteLayer::kPlayer);
    EXPECT_EQ(quads[0].texture, director->GetTexture(S::kPlayerBomb2));
    EXPECT_EQ(quads[0].u0, 0.0f) << "cell 0 of the second sheet";
}

TEST_F(Effects, PodsFallAndExplodeOnlyAfterTheLastLife) {
    struct Case {
        float y;
        int updates;
    };
    // From high enough the 60-update counter runs out first: y 400 < 520.
    for (const Case& c : {Case{300.0f, 23}, Case{0.0f, 53}, Case{-200.0f, 60}}) {
        auto* pod = Make<PlayerDeadPod>(Vector2{10.0f, c.y}, uint8_t{0}, uint8_t{1});
        int updates = 0;
        while (Count<PlayerDeadPodBomb>() == 0 && updates < 100) {
            pod->Update();
            ++updates;
        }
        EXPECT_EQ(updates, c.updates) << c.y;
        EXPECT_NEAR(pod->GetGrowth(), 0.8f + 0.03f * c.updates, 1e-4f)
            << "from 0.8, 0.03 an update";
        EXPECT_FALSE(pod->IsAlive());
        PlayerDeadPodBomb* bomb = ChildrenOf<PlayerDeadPodBomb>()[0];
        EXPECT_EQ(bomb->GetPosition()->y, c.y + 10.0f * c.updates);
        ChildrenOf<PlayerDeadPodBomb>()[0]->Vanish();
        Frames(4);
    }
    // A pod after an ordinary miss only falls out of the field.
    auto* pod = Make<PlayerDeadPod>(Vector2{0.0f, 700.0f}, uint8_t{0}, uint8_t{0});
    EXPECT_EQ(Life(pod), 9);
    EXPECT_EQ(Count<PlayerDeadPodBomb>(), 0u);
}

TEST_F(Effects, ThePodBombLeadsIntoTheContinueCountdown) {
    const uint32_t booms = Sounds(15);
    auto* bomb = Make<PlayerDeadPodBomb>(Vector2{}, uint8_t{0});
    EXPECT_EQ(director->GetFlashTarget(), 0.7f);
    EXPECT_EQ(Sounds(15), booms + 1);
    for (int update = 1; update < 75; ++update)
        bomb->Update();
    EXPECT_EQ(world.gw->gameState, GameState::kPlaying);
    bomb->Update();
    EXPECT_FALSE(bomb->IsAlive());
    EXPECT_EQ(world.gw->gameState, GameState::kContinue);
    EXPECT_EQ(world.gw->continueCountdown, 600);
}

TEST_F(Effects, TheHitFlashRingAndDebrisRunTheirCourse) {
    Texture(S::kPlayerHitDown, 1024, 512);
    auto* flash = Make<PlayerHitDown>(Vector2{});
    for (int i = 0; i < 5; ++i)
        flash->Update();
    EXPECT_EQ(flash->GetFrame(), 1);
    const std::vector<Quad> quads = DrawnBy(flash, SpriteLayer::kEnemyShotAdd);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].u0, 256.0f);
    EXPECT_EQ(Life(flash), 24 - 5);

    auto* ring = Make<PlayerDeadBombHamon>(Vector2{});
    ring->Update();
    EXPECT_NEAR(ring->GetSpin(), 2.0f * 3.14159265f, 1e-5f) << "spins down from a full turn";
    EXPECT_EQ(Life(ring), 84) << "15 + 10 + 60";

    for (int i = 0; i < 40; ++i) {
        auto* part = Make<PlayerDeadBombParts>(Vector2{});
        EXPECT_LT(part->GetVariant(), 8u);
        const float speed = part->GetVelocity().Length();
        EXPECT_GE(speed, 3.0f - 1e-4f);
        EXPECT_LE(speed, 8.0f + 1e-4f);
        EXPECT_EQ(Life(part), 60);
    }
}

TEST_F(Effects, ExhaustSparksShrinkAndTurnOverTheirSixtyUpdates) {
    for (Slot s = 0; s < 3; ++s)
        Texture(S::kShipBackFire + s, 16, 16);
    auto* spark = GameObject::Create<PlayerEffectBackFire>(director, director,
                                                           Vector2{0.0f, 300.0f}, 0.0f, 2.0f);
    EXPECT_LT(spark->GetVariant(), 3u);
    EXPECT_EQ(spark->GetVelocity().x, 2.0f);
    for (int i = 0; i < 30; ++i)
        spark->Update();
    EXPECT_FLOAT_EQ(spark->GetPosition()->x, 60.0f);
    const std::vector<Quad> quads = DrawnBy(spark, SpriteLayer::kPlayerShotAdd);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].texture,
              director->GetTexture(S::kShipBackFire + static_cast<Slot>(spark->GetVariant())));
    EXPECT_EQ(Life(spark), 30);
}

TEST_F(Effects, TheFlyRippleIsAFlatGrowingEllipse) {
    auto* ripple = Make<PlayerFlyHamon>(Vector2{});
    ripple->Update();
    EXPECT_FLOAT_EQ(ripple->GetScale(), 0.575f);
    const std::vector<Quad> quads = DrawnBy(ripple, SpriteLayer::kPlayer);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads[0].x1 - quads[0].x0, 512.0f * 0.575f, 1e-3f);
    EXPECT_NEAR(quads[0].y1 - quads[0].y0, 512.0f * 0.575f * 0.3f, 1e-3f);
    EXPECT_EQ(quads[0].blend, SpriteQuad::kAdd);
    EXPECT_EQ(Life(ripple), 19);
}

TEST_F(Effects, PowerUpCaptionsRiseDriftAndShowTheRingForFourteenTicks) {
    Texture(S::kPowerUp, 1024, 1024);
    GameObject* made = CreatePowerUpEffect(director, {0.0f, 400.0f});
    auto* effect = dynamic_cast<PowerUpEffect*>(made);
    ASSERT_NE(effect, nullptr);
    int rings = 0, updates = 0;
    while (effect->IsAlive()) {
        effect->Update();
        ++updates;
        if (updates == 10) {
            EXPECT_EQ(effect->GetCaption().y, 400.0f - 120.0f);
        }
        if (!effect->IsAlive())
            break;
        for (const Quad& q : DrawnBy(effect, SpriteLayer::kEtcUnder))
            rings += q.texture == director->GetTexture(S::kPowerUp);
    }
    EXPECT_EQ(updates, 40);
    EXPECT_EQ(rings, 14);

    // Points instead: the caption drifts towards the middle.
    auto* left = dynamic_cast<PowerUpScore*>(CreatePowerUpScore(director, {0.0f, 400.0f}));
    auto* right = dynamic_cast<PowerUpScore*>(CreatePowerUpScore(director, {0.5f, 400.0f}));
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(left->GetSide(), 1);
    EXPECT_EQ(right->GetSide(), -1);
    left->Update();
    right->Update();
    EXPECT_EQ(left->GetCaption().x, 361.0f);
    EXPECT_EQ(right->GetCaption().x, 359.5f);
    EXPECT_EQ(Life(left), 48) << "49 in all";
}

TEST_F(Effects, ThePointsCaptionBlinksThenFadesThroughThreePictures) {
    for (Slot s : {S::kItemScore, S::kItemScore + 1, S::kItemScoreFade, S::kItemScoreFade + 1,
                   S::kItemScoreFade + 2})
        Texture(s, 64, 64);
    auto* score = dynamic_cast<PowerUpScore*>(CreatePowerUpScore(director, {0.0f, 400.0f}));
    std::vector<Slot> shown;
    while (score->IsAlive()) {
        score->Update();
        if (!score->IsAlive())
            break;
        const std::vector<Quad> quads = DrawnBy(score, SpriteLayer::kEtcOver);
        const Quad& caption = quads.back();
        for (Slot s = S::kItemScore; s <= S::kItemScoreFade + 2; ++s)
            if (caption.texture == director->GetTexture(s))
                shown.push_back(s);
    }
    // Ticks 1, 2, 3, 4: score2, score1, score1, score2 (blinking on tick &
    // 2); the last nine: three of each fading picture.
    ASSERT_EQ(shown.size(), 48u);
    EXPECT_EQ(
        std::vector<Slot>(shown.begin(), shown.begin() + 4),
        (std::vector<Slot>{S::kItemScore + 1, S::kItemScore, S::kItemScore, S::kItemScore + 1}));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(shown[39 + i], S::kItemScoreFade + i / 3) << i;
}

TEST_F(Effects, SecretFlipBooksShowTheirFirstImageForTwoUpdatesAndTheRestForThree) {
    auto* hit = Make<SecretWeaponHit>(Vector2{});
    auto* show = Make<SecretWeaponShow>(Vector2{});
    std::vector<int16_t> hitFrames, showFrames;
    for (int i = 0; i < 24; ++i) {
        hit->Update();
        show->Update();
        if (hit->IsAlive())
            hitFrames.push_back(hit->GetFrame());
        if (show->IsAlive())
            showFrames.push_back(show->GetFrame());
    }
    // Images 140-147 and 148-155: the first for two updates, the rest three.
    std::vector<int16_t> want;
    for (int i = 0; i < 23; ++i)
        want.push_back(static_cast<int16_t>(140 + (i + 1) / 3));
    EXPECT_EQ(hitFrames, want);
    EXPECT_FALSE(hit->IsAlive());
    for (int16_t& w : want)
        w += 8;
    EXPECT_EQ(showFrames, want);
    EXPECT_FALSE(show->IsAlive());
}

TEST_F(Effects, SecretPicturesDrawAtTheirOwnSizeAndAMissingOneStillDraws) {
    Texture(S::kSecretHit, 64, 32);
    auto* hit = Make<SecretWeaponHit>(Vector2{20.0f, 100.0f});
    std::vector<Quad> quads = DrawnBy(hit, SpriteLayer::kItemAdd2);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_TRUE(
        Near({quads[0].x1 - quads[0].x0, quads[0].y1 - quads[0].y0, quads[0].x0 + quads[0].x1},
             {65.0f, 33.0f, 2.0f * 380.0f}));
    auto* show = Make<SecretWeaponShow>(Vector2{});
    ASSERT_EQ(director->GetTexture(S::kSecretShow), nullptr);
    quads = DrawnBy(show, SpriteLayer::kItemAdd2);
    ASSERT_EQ(quads.size(), 1u) << "the renderer's own texture stands in";

    auto* ring = Make<SecretHamon>(Vector2{});
    ring->Update();
    EXPECT_EQ(ring->GetAlpha(), 59u * 255u / 60u);
    quads = DrawnBy(ring, SpriteLayer::kItemAdd2);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads[0].x1 - quads[0].x0, 512.0f * 5.0f / 60.0f, 1e-3f);
    EXPECT_EQ(quads[0].colour >> 24, 59u * 255u / 60u);
    EXPECT_EQ(Life(ring), 59);
}
