// The enemies' explosions: image lengths, sizes, debris, the middle
// explosion's bursts and ring, the erase flash, an empty pool, and their
// pictures.
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyDeadBombParts.h"
#include "game/enemy/explosion/EnemyDeadBomb_Middle.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

// Explosions under a director whose own state never runs: only the objects
// under test update.
class ExplosionTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector();
    }
    // Updates until the object vanishes; the number of updates it took.
    int UpdatesUntilVanishing(GameObject* o) {
        for (int n = 1; n < 1000; ++n) {
            UpdateChildren();
            if (o->GetVanishCountdown() != 0)
                return n;
        }
        return -1;
    }
};

} // namespace

TEST_F(ExplosionTest, ImagesStayOneFrameLongerThanTheirLengths) {
    auto* a = Make<EnemyDeadBomb>(0u, Vector2{0, 100}, Vector2{}, 0.0f, 1.0f);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(UpdatesUntilVanishing(a), 49);
    auto* b = Make<EnemyDeadBomb>(1u, Vector2{0, 100}, Vector2{}, 0.0f, 1.0f);
    EXPECT_EQ(UpdatesUntilVanishing(b), 38);
    // Image 5 (length 2) starts after five one-frame images of two frames each.
    auto* c = Make<EnemyDeadBomb>(3u, Vector2{0, 100}, Vector2{}, 0.0f, 1.0f);
    UpdateChildren(10);
    EXPECT_EQ(c->GetImage(), 5);
}

TEST_F(ExplosionTest, SizesChooseScaleAndDebris) {
    struct Case {
        uint32_t size;
        float scale;
        uint32_t debris, variant;
    };
    for (const Case k : {Case{0, 1.0f, 16, 0}, Case{1, 1.5f, 16, 1}, Case{2, 2.5f, 16, 0},
                         Case{3, 1.0f, 16, 0}, Case{4, 1.0f, 16, 0}, Case{5, 2.5f, 0, 0}}) {
        SCOPED_TRACE(k.size);
        const size_t before = ChildrenOf<EnemyDeadBombParts>().size();
        auto* bomb = Make<EnemyDeadBomb>(k.size, Vector2{5, 6}, Vector2{1, 0}, 0.5f, 2.5f);
        ASSERT_NE(bomb, nullptr);
        EXPECT_FLOAT_EQ(bomb->GetScale(), k.scale);
        EXPECT_FLOAT_EQ(bomb->GetAngle(), 0.5f);
        const auto parts = ChildrenOf<EnemyDeadBombParts>();
        ASSERT_EQ(parts.size() - before, k.debris);
        for (size_t i = before; i < parts.size(); ++i) {
            EXPECT_EQ(parts[i]->GetVariant(), k.variant);
            EXPECT_LE(parts[i]->GetImage(), EnemyDeadBombParts::kHighestImage[k.variant]);
            EXPECT_EQ(parts[i]->GetPosition()->x, 5.0f);
        }
    }
}

TEST_F(ExplosionTest, DebrisFliesSpinsShrinksAndGoesAfterThirtyUpdates) {
    auto* bomb = Make<EnemyDeadBomb>(0u, Vector2{0, 300}, Vector2{}, 0.0f, 1.0f);
    ASSERT_NE(bomb, nullptr);
    auto parts = ChildrenOf<EnemyDeadBombParts>();
    ASSERT_EQ(parts.size(), 16u);
    EnemyDeadBombParts* p = parts[3];
    const float speed = std::hypot(p->GetVelocity().x, p->GetVelocity().y);
    EXPECT_GE(speed, 3.0f);
    EXPECT_LT(speed, 8.0f + 1e-4f);
    UpdateChildren();
    EXPECT_FLOAT_EQ(p->GetPosition()->x, p->GetVelocity().x);
    EXPECT_EQ(UpdatesUntilVanishing(p), 29);
}

// Every picture row of the debris sheet's column is drawn, and none past
// its last: rows 0-4 for variants 0 and 1, 0-3 for variant 2.
TEST_F(ExplosionTest, DebrisPicturesCoverTheirColumnAndNoMore) {
    struct Column {
        uint32_t variant, highest;
    };
    world.random->SeedFixed();
    for (const Column c : {Column{0, 4}, Column{1, 4}, Column{2, 3}}) {
        SCOPED_TRACE(c.variant);
        std::vector<int> seen(8, 0);
        for (int i = 0; i < 200; ++i) {
            auto* part = Make<EnemyDeadBombParts>(Vector2{0, 100}, c.variant);
            ASSERT_NE(part, nullptr);
            ASSERT_LT(part->GetImage(), seen.size());
            ++seen[part->GetImage()];
            part->Vanish();
        }
        for (uint32_t image = 0; image < seen.size(); ++image)
            EXPECT_EQ(seen[image] > 0, image <= c.highest) << image;
        UpdateChildren(4);
    }
}

// With no block free the bursts draw only their own numbers from stream 0:
// two steps for each of three explosions, one more, then the countdown's
// word, (w & 3) + 6 updates to the next burst. The sixth burst is the last:
// sound 48 each, then 49 and the ring's 30 updates.
TEST_F(ExplosionTest, BurstsComeAsManyUpdatesApartAsTheirDrawnCountdown) {
    world.random->SeedFixed();
    auto* middle = Make<EnemyDeadBomb_Middle>(Vector2{0, 200});
    ASSERT_NE(middle, nullptr);
    ExhaustPool();
    Mireku::Common::Random predict = world.random->Stream(RandomManager::kPresentation);
    const uint32_t burstSounds = Sounds(48), finalSounds = Sounds(49);
    // The sound manager's clock moves with the updates, as in a frame.
    const auto update = [&] {
        sound->Update();
        middle->UpdateTree();
    };
    int burstsSeen = 0;
    for (int burst = 0; burst < 6; ++burst) {
        SCOPED_TRACE(burst);
        for (int i = 0; i < 7; ++i)
            predict.Next();
        const int32_t countdown = static_cast<int32_t>(predict.Next() & 3) + 6;
        update(); // the burst: the first update, then when the countdown runs out
        ++burstsSeen;
        EXPECT_EQ(middle->GetBurstsLeft(), 4 - burst);
        if (burst == 5)
            break;
        EXPECT_EQ(middle->GetCountdown(), countdown);
        for (int u = 1; u < countdown; ++u) {
            update();
            ASSERT_EQ(middle->GetBurstsLeft(), 4 - burst) << "no burst before the countdown ends";
        }
    }
    EXPECT_EQ(burstsSeen, 6);
    EXPECT_EQ(middle->GetState(), EnemyDeadBomb_Middle::kRing);
    EXPECT_EQ(middle->GetCountdown(), 30);
    EXPECT_EQ(Sounds(48) - burstSounds, 6u);
    EXPECT_EQ(Sounds(49) - finalSounds, 1u);
    for (int u = 1; u < 30; ++u)
        update();
    EXPECT_EQ(middle->GetVanishCountdown(), 0) << "the ring lasts 30 updates";
    update();
    EXPECT_NE(middle->GetVanishCountdown(), 0);
    ReleasePool();
}

TEST_F(ExplosionTest, CosmeticNumbersNeverTouchThePlayStream) {
    world.random->SeedFixed();
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    Make<EnemyDeadBomb_Middle>(Vector2{0, 200});
    UpdateChildren(120);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, before.x);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).w, before.w);
}

TEST_F(ExplosionTest, AMiddleExplosionIsNineteenExplosionsAndARing) {
    auto* middle = Make<EnemyDeadBomb_Middle>(Vector2{-20, 250});
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(middle->GetPosition()->x, 0.0f) << "its own position is never set";
    // Without ticks nothing is deleted: everything made stays countable.
    auto updateOnly = [&] {
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            c->UpdateTree();
    };
    updateOnly();
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().size(), 3u) << "the first burst on the first update";
    int updates = 1;
    while (middle->GetState() == EnemyDeadBomb_Middle::kBursting && updates < 200) {
        updateOnly();
        ++updates;
    }
    const auto explosions = ChildrenOf<EnemyDeadBomb>();
    EXPECT_EQ(explosions.size(), 19u);
    EXPECT_EQ(ChildrenOf<EnemyDeadBombParts>().size(), 19u * 16u);
    for (EnemyDeadBomb* e : explosions) {
        EXPECT_EQ(e->GetSize(), EnemyDeadBomb::kSizeMiddle);
        EXPECT_FLOAT_EQ(e->GetScale(), 1.0f);
        // Each burst wanders at most three steps of 96 from the centre.
        EXPECT_LE(std::fabs(e->GetPosition()->x + 20.0f), 3 * 96.0f);
        EXPECT_LE(std::fabs(e->GetPosition()->y - 250.0f), 3 * 96.0f);
    }
    EXPECT_EQ(middle->GetBurstsLeft(), -1);
    // Bursts come 6-9 updates apart.
    EXPECT_GE(updates, 1 + 5 * 6);
    EXPECT_LE(updates, 1 + 5 * 9);
    EXPECT_EQ(middle->GetCountdown(), 30);
    EXPECT_FLOAT_EQ(middle->GetRingOpacity(), 1.0f);
    EXPECT_EQ(UpdatesUntilVanishing(middle), 30);
    EXPECT_EQ(middle->GetState(), EnemyDeadBomb_Middle::kDone);
    EXPECT_NEAR(middle->GetRingScale(), 30 * 0.05f, 1e-4f);
    EXPECT_NEAR(middle->GetRingOpacity(), 0.0f, 1e-4f);
}

TEST_F(ExplosionTest, AFullPoolMakesNoExplosionAndDrawsNoNumber) {
    ExhaustPool();
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPresentation);
    EXPECT_EQ(EnemyDeadBomb::CreateScaledTurned(director, 3, Vector2{}, Vector2{}, 0.8f, 1.2f),
              nullptr);
    EXPECT_EQ(EnemyDeadBomb::CreateTurned(director, 0, Vector2{}, Vector2{}, 1.0f), nullptr);
    EXPECT_EQ(world.random->Stream(RandomManager::kPresentation).x, before.x);
    ReleasePool();
    EnemyDeadBomb* made =
        EnemyDeadBomb::CreateScaledTurned(director, 2, Vector2{}, Vector2{}, 0.8f, 1.2f);
    ASSERT_NE(made, nullptr);
    EXPECT_GE(made->GetScale(), 0.8f);
    EXPECT_LT(made->GetScale(), 1.2f);
    EXPECT_NE(world.random->Stream(RandomManager::kPresentation).x, before.x);
}

// An owner that is going takes no explosion: no block is taken and no
// number drawn, as with a full pool.
TEST_F(ExplosionTest, AGoingOwnerMakesNoExplosionAndDrawsNoNumber) {
    director->Vanish();
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPresentation);
    const uint32_t live = world.pool->LiveCount();
    EXPECT_EQ(EnemyDeadBomb::CreateTurned(director, 0, Vector2{}, Vector2{}, 1.0f), nullptr);
    EXPECT_EQ(EnemyDeadBomb::CreateScaledTurned(director, 3, Vector2{}, Vector2{}, 0.8f, 1.2f),
              nullptr);
    EXPECT_EQ(EnemyDeadBomb::CreateTurned(nullptr, 0, Vector2{}, Vector2{}, 1.0f), nullptr);
    EXPECT_EQ(world.random->Stream(RandomManager::kPresentation).x, before.x);
    EXPECT_EQ(world.pool->LiveCount(), live);
    EXPECT_EQ(director->GetFirstChild(), nullptr);
}

TEST_F(ExplosionTest, AnErasedShotFlashesFifteenFrames) {
    auto* flash = Make<EnemyShotDelete>(Vector2{-100, 60});
    ASSERT_NE(flash, nullptr);
    for (int i = 0; i < 14; ++i) {
        UpdateChildren();
        EXPECT_EQ(flash->GetImage(), (i + 1) / 3);
    }
    EXPECT_EQ(flash->GetVanishCountdown(), 0);
    UpdateChildren();
    EXPECT_EQ(flash->GetVanishCountdown(), GameObject::kVanishFrames);
}

TEST_F(ExplosionTest, PicturesComeFromTheirAtlasCells) {
    Texture(StageTextureSlot::kExplosion, 1024, 1024);
    Texture(StageTextureSlot::kDebris, 48, 80);
    Texture(StageTextureSlot::kShotErase, 400, 80);
    auto* bomb = Make<EnemyDeadBomb>(0u, Vector2{-100, 200}, Vector2{}, 0.0f, 1.0f);
    auto* flash = Make<EnemyShotDelete>(Vector2{20, 60});
    for (int i = 0; i < 16; ++i) // image 7: column 3, row 1
        bomb->UpdateTree();
    for (int i = 0; i < 6; ++i) // image 2
        flash->UpdateTree();
    ASSERT_EQ(bomb->GetImage(), 7);
    world.BeginFrame();
    director->GameObject::DrawTree();
    const std::vector<Quad> bombs = world.Capture(SpriteLayer::kEnemyBomb);
    ASSERT_EQ(bombs.size(), 1u);
    EXPECT_TRUE(Near(Sprite(bombs[0]), {260 - 128, 200 - 128, 256, 256, 768, 256, 256}));
    EXPECT_EQ(bombs[0].texture, director->GetTexture(StageTextureSlot::kExplosion));

    const std::vector<Quad> erase = world.Capture(SpriteLayer::kItemAdd2);
    ASSERT_EQ(erase.size(), 1u);
    EXPECT_TRUE(Near(Sprite(erase[0]), {380 - 40, 60 - 40, 80, 80, 160}));

    // Debris at age 0: twice its 16-texel cell, at column = variant.
    const std::vector<Quad> debris = world.Capture(SpriteLayer::kEnemyBombParts);
    ASSERT_EQ(debris.size(), 16u);
    for (const Quad& q : debris) {
        EXPECT_EQ(q.u0, 0.0f);
        EXPECT_NEAR(std::hypot(q.x1 - q.x0, q.y1 - q.y0), std::hypot(32.0f, 32.0f), 1e-3f);
    }
    world.EndFrame();
}

TEST_F(ExplosionTest, SizesAboveFourDrawNothing) {
    Texture(StageTextureSlot::kExplosion, 1024, 1024);
    Make<EnemyDeadBomb>(7u, Vector2{0, 200}, Vector2{}, 0.0f, 1.0f);
    world.BeginFrame();
    director->GameObject::DrawTree();
    EXPECT_TRUE(world.Capture(SpriteLayer::kEnemyBomb).empty());
    EXPECT_TRUE(world.Capture(SpriteLayer::kEnemyBombParts).empty());
    world.EndFrame();
}
