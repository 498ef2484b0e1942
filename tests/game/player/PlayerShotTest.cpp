// Main shots and their three effects: flight, the field's bounds, one hit
// only, the burst, the live counts on the ship, and a stage that ends with
// hundreds of them alive.
#include "game/player/PlayerShot.h"
#include "game/player/PlayerShotBreak.h"
#include "game/player/PlayerShotFire.h"
#include "game/player/PlayerShotLight.h"
#include "support/ShipTestSupport.h"

#include <cmath>

namespace {

using namespace ship_test;
using In = StageInput::Bit;

class Shot : public ShipTest {
protected:
    PlayerShot* Fire(Vector2 at, float angle, float speed, uint32_t slot = 3, uint16_t attack = 7) {
        return GameObject::Create<PlayerShot>(director, director, ship, at, uint8_t{0}, uint8_t{3},
                                              slot, uint8_t{2}, angle, speed, attack);
    }
    // Updates of `object` until it vanishes, each followed by a draw of it
    // alone: every sprite it submitted to its layer, frame after frame.
    template <class T> std::vector<Quad> DrawnSprites(T* object) {
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
    EXPECT_EQ(ship->shotCount[3], 1);
    const std::vector<PlayerShotFire*> flashes = ChildrenOf<PlayerShotFire>();
    ASSERT_EQ(flashes.size(), 1u);
    EXPECT_EQ(flashes[0]->GetPosition()->x, 0.0f);
    EXPECT_EQ(flashes[0]->GetPosition()->y, 352.0f) << "48 pixels ahead";
    EXPECT_EQ(flashes[0]->GetNextSibling(), shot) << "the flash is made first";
    shot->Update();
    EXPECT_NEAR(shot->GetPosition()->x, 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(shot->GetPosition()->y, 390.0f);
    // Its 30 by 30 box, registered as a player shot.
    const HitShape& box = *shot->GetHitShape();
    EXPECT_EQ(box.kind, HitShape::kBox);
    EXPECT_FLOAT_EQ(box.minX, 345.0f);
    EXPECT_FLOAT_EQ(box.maxY, 405.0f);
    EXPECT_EQ(director->GetCollisions().Head(3), shot);

    // A quarter turn clockwise flies right.
    PlayerShot* right = Fire({0.0f, 400.0f}, 3.14159265f / 2.0f, 10.0f);
    right->Update();
    EXPECT_NEAR(right->GetPosition()->x, 10.0f, 1e-4f);
    EXPECT_NEAR(right->GetPosition()->y, 400.0f, 1e-4f);
}

TEST_F(Shot, LeavesTheFieldPastItsMarginsOnly) {
    Begin();
    PlayerShot* down = Fire({0.0f, 815.0f}, 3.14159265f, 5.0f);
    down->Update();
    EXPECT_NEAR(down->GetPosition()->y, 820.0f, 1e-3f);
    EXPECT_TRUE(down->IsAlive()) << "820 itself is still inside";
    down->Update();
    EXPECT_FALSE(down->IsAlive());

    PlayerShot* up = Fire({0.0f, -95.0f}, 0.0f, 5.0f);
    up->Update();
    EXPECT_TRUE(up->IsAlive());
    up->Update();
    EXPECT_FALSE(up->IsAlive());

    // Sideways the bound is half the map's width plus 100.
    const float side = director->GetHalfMapWidth() + 100.0f;
    PlayerShot* left = Fire({-side + 4.0f, 300.0f}, -3.14159265f / 2.0f, 4.0f);
    left->Update();
    EXPECT_TRUE(left->IsAlive());
    left->Update();
    EXPECT_FALSE(left->IsAlive());
}

TEST_F(Shot, HitsOnceAndBurstsIntoABreakAndTwelveSparks) {
    Begin();
    const Vector2 at{100.0f, 200.0f};
    Target* first = GameObject::Create<Target>(director, director, at);
    Target* second = GameObject::Create<Target>(director, director, at);
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
    GameObject::Create<Target>(director, director, at);
    PlayerShot* shot = Fire(at, 0.0f, 0.0f);
    Frame();
    std::vector<void*> taken;
    while (void* block = world.pool->Allocate())
        taken.push_back(block);
    Frame();
    EXPECT_FALSE(shot->IsAlive());
    EXPECT_EQ(Count<PlayerShotBreak>(), 0u);
    EXPECT_EQ(Count<PlayerShotLight>(), 0u);
    for (void* block : taken)
        world.pool->Free(block);
}

TEST_F(Shot, EffectsAreDrawnForThreeSixAndFiftyNineFrames) {
    Begin();
    InstallTexture(director, StageTextureSlot::kShipShot, 512, 512);
    auto* fire =
        GameObject::Create<PlayerShotFire>(director, director, Vector2{}, uint8_t{1}, 0.5f);
    auto* burst = GameObject::Create<PlayerShotBreak>(director, director, Vector2{}, uint8_t{1});
    auto* light =
        GameObject::Create<PlayerShotLight>(director, director, Vector2{}, uint8_t{1}, 0.5f);

    // The flash: frames 1, 2 and 3 of its 96-pixel row, one frame each.
    const std::vector<Quad> flashes = DrawnSprites(fire);
    ASSERT_EQ(flashes.size(), 3u);
    for (size_t f = 0; f < flashes.size(); ++f) {
        EXPECT_EQ(flashes[f].u0, 96.0f * static_cast<float>(f + 1)) << f;
        EXPECT_EQ(flashes[f].v0, 288.0f) << f;
    }
    // The burst: frames 0 to 5 of its 80-pixel row.
    const std::vector<Quad> bursts = DrawnSprites(burst);
    ASSERT_EQ(bursts.size(), 6u);
    for (size_t f = 0; f < bursts.size(); ++f) {
        EXPECT_EQ(bursts[f].u0, 32.0f + 80.0f * static_cast<float>(f)) << f;
        EXPECT_EQ(bursts[f].v0, 384.0f) << f;
    }
    // The spark: ages 1 to 59, fading; the last nearly transparent.
    const std::vector<Quad> sparks = DrawnSprites(light);
    ASSERT_EQ(sparks.size(), 59u);
    EXPECT_EQ(sparks.front().colour >> 24, 250u) << "255 - 255 / 60, truncated";
    EXPECT_EQ(sparks.back().colour >> 24, 4u) << "255 - 255 * 59 / 60, truncated";
    for (size_t f = 1; f < sparks.size(); ++f)
        EXPECT_LE(sparks[f].colour >> 24, sparks[f - 1].colour >> 24) << f;
}

TEST_F(Shot, DrawsItsTwoPassesAndItsEffectsFromTheShotSheet) {
    Begin();
    Mireku::Graphics::Texture* sheet =
        InstallTexture(director, StageTextureSlot::kShipShot, 512, 512);
    // Family 0, sprite row 3, column 2: rectangle 4 of each pass.
    PlayerShot* shot = Fire({0.0f, 300.0f}, 0.0f, 0.0f);
    world.BeginFrame();
    shot->Draw();
    const std::vector<Quad> blend = world.Capture(SpriteLayer::kPlayerShotBlend);
    const std::vector<Quad> add = world.Capture(SpriteLayer::kPlayerShotAdd);
    ASSERT_EQ(blend.size(), 1u);
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(blend[0].texture, sheet);
    EXPECT_EQ(blend[0].u0, 160.0f);
    EXPECT_EQ(blend[0].v0, 0.0f);
    EXPECT_EQ(blend[0].x1 - blend[0].x0, 48.0f);
    EXPECT_EQ(blend[0].y1 - blend[0].y0, 80.0f);
    EXPECT_EQ(blend[0].x0, 360.0f - 24.0f);
    EXPECT_EQ(add[0].v0, 80.0f);
    EXPECT_EQ(add[0].y1 - add[0].y0, 80.0f);
    world.EndFrame();

    auto* burst = GameObject::Create<PlayerShotBreak>(director, director, Vector2{}, uint8_t{0});
    burst->Update();
    burst->Update();
    world.BeginFrame();
    burst->Draw();
    const std::vector<Quad> fx = world.Capture(SpriteLayer::kPlayerShotFx);
    ASSERT_EQ(fx.size(), 1u);
    EXPECT_EQ(fx[0].u0, 32.0f + 80.0f) << "frame 1";
    EXPECT_EQ(fx[0].v0, 384.0f);
    EXPECT_EQ(fx[0].x1 - fx[0].x0, 160.0f) << "twice its size";
    world.EndFrame();
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
    ShotParamRow& row = ShotRowToEdit(3, 3);
    EveryFrame(row, -1);
    Begin(3, 3);
    Frames(40, In::kShot);
    // Some bursts too.
    for (int i = 0; i < 20; ++i)
        GameObject::Create<Target>(director, director, Vector2{-300.0f + 30.0f * i, 100.0f});
    Frames(10, In::kShot | In::kUp);
    EXPECT_GT(Count<PlayerShot>(), 250u);
    EXPECT_GT(Count<PlayerShotLight>(), 12u);
    const uint32_t live = world.pool->LiveCount();
    EXPECT_GT(live, 500u);
    const void* shipBlock = ship;
    End();
    EXPECT_EQ(world.pool->LiveCount(), 0u);
    ExpectPoisoned(shipBlock);
}
