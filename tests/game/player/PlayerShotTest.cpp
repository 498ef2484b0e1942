// Main shots and their three effects: flight, the field's bounds, one hit
// only, the burst, the live counts on the ship, drawing, and a stage that
// ends with hundreds of them alive.
#include "game/player/PlayerShot.h"
#include "game/player/PlayerShotBreak.h"
#include "game/player/PlayerShotFire.h"
#include "game/player/PlayerShotLight.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

constexpr float kPi = 3.14159265f;

class Shot : public StageTest {
protected:
    PlayerShot* Fire(Vector2 at, float angle, float speed, uint32_t slot = 3, uint16_t attack = 7) {
        return Make<PlayerShot>(ship, at, uint8_t{0}, uint8_t{3}, slot, uint8_t{2}, angle, speed,
                                attack);
    }
    // Updates of `object` until it vanishes, each followed by a draw of it
    // alone: every sprite it submitted to its layer, frame after frame.
    std::vector<Quad> DrawnSprites(GameObject* object) {
        std::vector<Quad> drawn;
        for (int guard = 0; object->IsAlive() && guard < 200; ++guard) {
            object->UpdateTree();
            world.BeginFrame();
            object->DrawTree();
            const std::vector<Quad> frame = world.Capture(SpriteLayer::kPlayerShotFx);
            drawn.insert(drawn.end(), frame.begin(), frame.end());
            world.EndFrame();
        }
        return drawn;
    }
};

} // namespace

TEST_F(Shot, FliesStraightWithItsFlashAheadOfIt) {
    Begin();
    PlayerShot* shot = Fire({0.0f, 400.0f}, 0.0f, 10.0f);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->GetKind(), GameObject::kKindPlayerShot);
    EXPECT_EQ(shot->GetWeaponFamily(), PlayerShotBase::kFamilyShot);
    EXPECT_EQ(shot->GetAttackPower(), 7);
    EXPECT_EQ(ship->shotCount[3], 1);
    const std::vector<PlayerShotFire*> flashes = ChildrenOf<PlayerShotFire>();
    ASSERT_EQ(flashes.size(), 1u);
    EXPECT_EQ(*flashes[0]->GetPosition(), (Vector2{0.0f, 352.0f})) << "48 pixels ahead";
    EXPECT_EQ(flashes[0]->GetNextSibling(), shot) << "the flash is made first";
    shot->Update();
    EXPECT_TRUE(Near({shot->GetPosition()->x, shot->GetPosition()->y}, {0, 390}));
    // Its 30 by 30 box, registered as a player shot.
    const HitShape& box = *shot->GetHitShape();
    EXPECT_EQ(box.kind, HitShape::kBox);
    EXPECT_TRUE(Near({box.minX, box.minY, box.maxX, box.maxY}, {345, 375, 375, 405}));
    EXPECT_EQ(director->GetCollisions().Head(3), shot);
    // A quarter turn clockwise flies right.
    PlayerShot* right = Fire({0.0f, 400.0f}, kPi / 2.0f, 10.0f);
    right->Update();
    EXPECT_TRUE(Near({right->GetPosition()->x, right->GetPosition()->y}, {10, 400}));
}

TEST_F(Shot, LeavesTheFieldPastItsMarginsOnly) {
    Begin();
    // Sideways the bound is half the map's width plus 100.
    const float side = director->GetHalfMapWidth() + 100.0f;
    struct Row {
        Vector2 at;
        float angle, speed;
    };
    // One step to the bound itself (still inside), the next beyond it.
    for (const Row r : {Row{{0.0f, 815.0f}, kPi, 5.0f}, Row{{0.0f, -95.0f}, 0.0f, 5.0f},
                        Row{{-side + 4.0f, 300.0f}, -kPi / 2.0f, 4.0f}}) {
        PlayerShot* shot = Fire(r.at, r.angle, r.speed);
        shot->Update();
        EXPECT_TRUE(shot->IsAlive()) << r.at.x << " " << r.at.y;
        shot->Update();
        EXPECT_FALSE(shot->IsAlive()) << r.at.x << " " << r.at.y;
    }
}

TEST_F(Shot, HitsOnceAndBurstsIntoABreakAndTwelveSparks) {
    Begin();
    const Vector2 at{100.0f, 200.0f};
    Target* first = Make<Target>(at);
    Target* second = Make<Target>(at);
    PlayerShot* shot = Fire(at, 0.0f, 0.0f, 5, 9);
    Frame();
    EXPECT_EQ(ship->shotCount[5], 1);
    Frame();
    EXPECT_EQ(first->hits, 1);
    EXPECT_EQ(second->hits, 0) << "its shape went off at the first hit";
    EXPECT_FALSE(shot->IsAlive());
    EXPECT_FALSE(shot->IsHitShapeActive());
    EXPECT_EQ(Count<PlayerShotBreak>(), 1u);
    const std::vector<PlayerShotLight*> lights = ChildrenOf<PlayerShotLight>();
    ASSERT_EQ(lights.size(), 12u);
    for (const PlayerShotLight* light : lights) {
        const float speed = light->GetVelocity().Length();
        EXPECT_GE(speed, 2.0f);
        EXPECT_LE(speed, 5.0f);
        // The half circle ahead of a shot flying up: never downwards.
        EXPECT_LE(light->GetVelocity().y, 1e-4f);
        EXPECT_LT(light->GetVariant(), 4u);
    }
    Frames(4);
    EXPECT_EQ(ship->shotCount[5], 0) << "counted out when it was deleted";
}

TEST_F(Shot, AnEmptyPoolDuringAHitLeavesTheBurstOutButTheShotStillGoes) {
    Begin();
    const Vector2 at{-50.0f, 250.0f};
    Make<Target>(at);
    PlayerShot* shot = Fire(at, 0.0f, 0.0f);
    Frame();
    ExhaustPool();
    Frame();
    EXPECT_FALSE(shot->IsAlive());
    EXPECT_EQ(Count<PlayerShotBreak>() + Count<PlayerShotLight>(), 0u);
}

// The shot: its two passes of 48 by 80 centred on it. The flash: frames 1,
// 2 and 3 of its 96-pixel row; the burst: frames 0 to 5 of its 80-pixel
// row at twice their size; the spark: ages 1 to 59, fading.
TEST_F(Shot, TheShotAndItsEffectsAreDrawnFromTheShotSheet) {
    Begin();
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kShipShot, 512, 512);
    PlayerShot* shot = Fire({0.0f, 300.0f}, 0.0f, 0.0f);
    world.BeginFrame();
    shot->Draw();
    const std::vector<Quad> blend = world.Capture(SpriteLayer::kPlayerShotBlend);
    const std::vector<Quad> add = world.Capture(SpriteLayer::kPlayerShotAdd);
    world.EndFrame();
    ASSERT_EQ(blend.size() + add.size(), 2u);
    EXPECT_EQ(blend[0].texture, sheet);
    EXPECT_TRUE(Near(Sprite(blend[0]), {360 - 24, 300 - 40, 48, 80, 160, 0, 48, 80}));
    EXPECT_TRUE(Near(Sprite(add[0]), {360 - 24, 300 - 40, 48, 80, 160, 80, 48, 80}));

    auto* fire = Make<PlayerShotFire>(Vector2{}, uint8_t{1}, 0.5f);
    auto* burst = Make<PlayerShotBreak>(Vector2{}, uint8_t{1});
    auto* light = Make<PlayerShotLight>(Vector2{}, uint8_t{1}, 0.5f);
    const std::vector<Quad> flashes = DrawnSprites(fire);
    ASSERT_EQ(flashes.size(), 3u);
    for (size_t f = 0; f < flashes.size(); ++f)
        EXPECT_TRUE(Near(Texels(flashes[f]), {96.0f * (f + 1), 288, 96, 96})) << f;
    const std::vector<Quad> bursts = DrawnSprites(burst);
    ASSERT_EQ(bursts.size(), 6u);
    for (size_t f = 0; f < bursts.size(); ++f)
        EXPECT_TRUE(Near(Sprite(bursts[f]), {360 - 80, -80, 160, 160, 32.0f + 80.0f * f, 384}))
            << f;
    const std::vector<Quad> sparks = DrawnSprites(light);
    ASSERT_EQ(sparks.size(), 59u);
    EXPECT_EQ(sparks.front().colour >> 24, 250u) << "255 - 255 / 60, truncated";
    EXPECT_EQ(sparks.back().colour >> 24, 4u) << "255 - 255 * 59 / 60, truncated";
    for (size_t f = 1; f < sparks.size(); ++f)
        EXPECT_LE(sparks[f].colour >> 24, sparks[f - 1].colour >> 24) << f;
}

TEST_F(Shot, EachShotCountsItselfOnTheShipWhileItLives) {
    Begin();
    PlayerShot* a = Fire({0.0f, 300.0f}, 0.0f, 1.0f, 7);
    PlayerShot* b = Fire({0.0f, 300.0f}, 0.0f, 1.0f, 7);
    EXPECT_EQ(ship->shotCount[7], 2);
    a->Vanish();
    Frames(4);
    EXPECT_EQ(ship->shotCount[7], 1);
    b->Vanish();
    Frames(4);
    EXPECT_EQ(ship->shotCount[7], 0);
}

TEST_F(Shot, AStageEndsWithHundredsOfShotsAndEffectsWithoutTouchingFreedObjects) {
    // The director deletes its children in list order: the ship goes first,
    // and every shot made after it is deleted later. With the pool poisoning
    // freed blocks, a write into the gone ship would be reported here.
    ExpectPoolPoisonsFreedBlocks();
    EveryFrame(ShotRowToEdit(3, 3), -1);
    Begin(3, 3);
    Frames(40, In::kShot);
    // Some bursts too.
    for (int i = 0; i < 20; ++i)
        Make<Target>(Vector2{-300.0f + 30.0f * i, 100.0f});
    Frames(10, In::kShot | In::kUp);
    EXPECT_GT(Count<PlayerShot>(), 250u);
    EXPECT_GT(Count<PlayerShotLight>(), 12u);
    EXPECT_GT(world.pool->LiveCount(), 500u);
    const void* shipBlock = ship;
    DeleteDirector();
    EXPECT_EQ(world.pool->LiveCount(), 0u);
    ExpectPoisoned(shipBlock);
}
