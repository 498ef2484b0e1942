// Enemy shots: flight and the field's bounds, turning into items in the
// ship's ex weapons or for a killing weapon, hits, animation, spin, their
// textures and drawing, and the erase.
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/enemy/shot/EnemyShotRegistry.h"
#include "support/StageRig.h"

#include <cmath>
#include <numbers>

namespace {

using namespace stage_test;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr uint32_t kMode = 1;
constexpr int32_t kBullet = 2;

class EnemyShotTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        WriteEmptyMap(0, 45); // the field's width
        Play(kMode, 0);
        // Bullet kBullet: three 24 by 16 frames on track 0, two on track 1.
        BulletParamRow& row = Row();
        row = {};
        for (int f = 0; f < 3; ++f)
            row.blendTrack[f] = {static_cast<int16_t>(24 * f), 40,
                                 static_cast<int16_t>(24 * f + 23), 55};
        for (int f = 0; f < 2; ++f)
            row.addTrack[f] = {static_cast<int16_t>(32 * f), 300, static_cast<int16_t>(32 * f + 31),
                               331};
    }
    BulletParamRow& Row() {
        return *world.gw->tables.bullet[kMode].MutableAt<BulletParamRow>(kBullet);
    }
    EnemyShotDefault* Shot(float x, float y, GameObject* source = nullptr,
                           int32_t bullet = kBullet) {
        return Make<EnemyShotDefault>(source, bullet, Vector2{x, y});
    }
};

// A stand-in for an enemy that fired: its header bytes and counters.
class Source : public GameObject {
public:
    using GameObject::GameObject;
    uint32_t GetKind() const override { return kKindEnemy; }
};

} // namespace

TEST_F(EnemyShotTest, FliesStraightAtItsSpeedTurnedAlongItsPath) {
    EnemyShotDefault* s = Shot(10.0f, 100.0f);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetKind(), GameObject::kKindEnemyShot);
    EXPECT_EQ(s->GetCollisionGroup(), 7u);
    EXPECT_TRUE(s->IsHitShapeActive());
    EXPECT_TRUE(Near({s->GetMotionAngle(), s->GetSpeed()}, {4.712389f, 1}));
    s->SetMotion(kPi / 2, 4.0f);
    EXPECT_FLOAT_EQ(s->GetAngle(), kPi);
    UpdateChildren();
    EXPECT_TRUE(Near({s->GetPosition()->x, s->GetPosition()->y}, {10, 104}));
    UpdateChildren();
    // Its 4 by 4 box is centred on it, in group 7.
    const HitShape& box = *s->GetHitShape();
    EXPECT_EQ(box.kind, HitShape::kBox);
    EXPECT_TRUE(Near({s->GetPosition()->y, box.minX, box.minY, box.maxX, box.maxY},
                     {108, 368, 106, 372, 110}));
    EXPECT_EQ(director->GetCollisions().Head(7), s);
}

TEST_F(EnemyShotTest, LeavesTheFieldOnAllFourSides) {
    // The sides are the director's half map width (here the field's 360)
    // plus the shot's width.
    struct Case {
        float x, y, angle;
        int updates; // the update that finds it outside
    };
    // The frame is 24 by 16: left and right beyond 384, below 736, above -16.
    for (const Case c : {Case{-380.0f, 300.0f, kPi, 6}, Case{380.0f, 300.0f, 0.0f, 6},
                         Case{0.0f, 730.0f, kPi / 2, 8}, Case{0.0f, -10.0f, -kPi / 2, 8}}) {
        SCOPED_TRACE(c.x + c.y);
        EnemyShotDefault* s = Shot(c.x, c.y);
        s->SetMotion(c.angle, 1.0f);
        int updates = 0;
        while (s->IsAlive() && updates < 20) {
            UpdateChildren();
            ++updates;
        }
        EXPECT_EQ(updates, c.updates);
        UpdateChildren(3);
        EXPECT_TRUE(ChildrenOf<EnemyShotDefault>().empty()) << "its block is back";
    }
    // Other maps move the sides to their half width as it is, narrower than
    // the field too (as the player's shots take it).
    for (const float half : {80.0f, 488.0f}) {
        if (half == 80.0f)
            WriteEmptyMap(0, 10);
        else
            world.Write(SampleData::StageMapPath(0), SampleData::BuildStageMap(0));
        DeleteDirector();
        Play(kMode, 0);
        EnemyShotDefault* edge = Shot(half + 24.0f, 300.0f);
        UpdateChildren();
        EXPECT_TRUE(edge->IsAlive()) << half;
        edge->SetMotion(0.0f, 1.0f);
        UpdateChildren(2);
        EXPECT_FALSE(edge->IsAlive()) << half;
    }
}

TEST_F(EnemyShotTest, FreeShotsTurnIntoItemsOnBothHalvesWhileTheShipIsInItsExWeapon) {
    Player* ship = PlaceShip({0.0f, 600.0f});
    ship->state = Player::kBarionLaser;
    world.gw->player.barionGauge = 1000; // the laser lasts through the test
    std::vector<EnemyShotDefault*> shots;
    for (float x : {-300.0f, -200.0f, 0.0f, 200.0f, 300.0f})
        shots.push_back(Shot(x, 400.0f));
    EnemyShotDefault* edge = Shot(-330.0f, 400.0f); // x + 360 = 30: outside the band
    EnemyShotDefault* low = Shot(0.0f, 690.0f);     // below the band
    UpdateChildren();
    for (EnemyShotDefault* s : shots) {
        EXPECT_FALSE(s->IsAlive()) << s->GetPosition()->x;
        EXPECT_FALSE(s->IsHitShapeActive());
    }
    EXPECT_TRUE(edge->IsAlive());
    EXPECT_TRUE(low->IsAlive());
    const std::vector<ItemHyperio*> hyperio = ChildrenOf<ItemHyperio>();
    ASSERT_EQ(hyperio.size(), 5u) << "one item per shot";
    EXPECT_EQ(hyperio[0]->GetState(), ItemHyperio::kAppear) << "made with its appearance";
    EXPECT_EQ(hyperio[0]->GetPosition()->x, -300.0f);

    // In the Grabuster: one Grabuster item per shot, at the current chain level.
    ship->state = Player::kGrabuster;
    ship->SetChainLevel(25); // level 2
    EnemyShotDefault* g = Shot(-250.0f, 300.0f);
    UpdateChildren();
    const std::vector<ItemGrabuster*> items = ChildrenOf<ItemGrabuster>();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetChainLevel(), 2u);
    EXPECT_EQ(items[0]->GetDelay(), 0);
    EXPECT_EQ(g->GetItem(), items[0]);
    UpdateChildren(4);
    EXPECT_EQ(Count<ItemGrabuster>(), 1u);

    // In its plain state the ship converts nothing.
    ship->state = Player::kNormal;
    EnemyShotDefault* plain = Shot(0.0f, 300.0f);
    UpdateChildren();
    EXPECT_TRUE(plain->IsAlive());
}

TEST_F(EnemyShotTest, ShotsOfALivingEnemyFollowItsWishesAndForgetItWhenItGoes) {
    Source* enemy = Make<Source>();
    Player* ship = PlaceShip({0.0f, 600.0f});
    ship->state = Player::kBarionLaser; // ignored while the enemy lives
    EnemyShotDefault* kept = Shot(0.0f, 300.0f, enemy);
    kept->SetMotion(kPi / 2, 2.0f);
    UpdateChildren();
    EXPECT_TRUE(kept->IsAlive());
    EXPECT_EQ(kept->GetSource(), enemy);

    enemy->shotsToGrabuster = 1;
    enemy->SetChainLevel(41); // level 4
    enemy->itemCounter = 5;
    EnemyShotDefault* a = Shot(10.0f, 300.0f, enemy);
    UpdateChildren();
    std::vector<ItemGrabuster*> items = ChildrenOf<ItemGrabuster>();
    ASSERT_EQ(items.size(), 2u) << "both shots of the enemy";
    EXPECT_EQ(items[0]->GetChainLevel(), 4u);
    EXPECT_EQ(items[0]->GetDelay(), 5);
    EXPECT_EQ(items[1]->GetDelay(), 6);
    EXPECT_EQ(enemy->itemCounter, 7);
    EXPECT_FALSE(a->IsAlive());

    enemy->shotsToGrabuster = 0;
    enemy->shotsToHyperio = 1;
    EnemyShotDefault* b = Shot(20.0f, 300.0f, enemy);
    UpdateChildren();
    EXPECT_FALSE(b->IsAlive());
    ASSERT_EQ(Count<ItemHyperio>(), 1u);

    // The enemy goes: its shots fly on, now free.
    enemy->shotsToHyperio = 0;
    ship->state = Player::kNormal;
    EnemyShotDefault* c = Shot(30.0f, 300.0f, enemy);
    c->SetMotion(kPi / 2, 2.0f);
    enemy->Vanish();
    UpdateChildren();
    EXPECT_EQ(c->GetSource(), nullptr);
    EXPECT_TRUE(c->IsAlive());
    UpdateChildren(5);
    EXPECT_FLOAT_EQ(c->GetPosition()->y, 300.0f + 12.0f);

    // A killed enemy's shot makes one item, though the ship's laser would
    // make one of every free shot.
    c->Vanish(); // free: the laser would take it too
    Source* killed = Make<Source>();
    EnemyShotDefault* d = Shot(40.0f, 300.0f, killed);
    killed->shotsToHyperio = 1;
    killed->Vanish();
    ship->state = Player::kBarionLaser;
    world.gw->player.barionGauge = 1000;
    const size_t hyperio = Count<ItemHyperio>();
    UpdateChildren();
    EXPECT_FALSE(d->IsAlive());
    EXPECT_EQ(Count<ItemHyperio>(), hyperio + 1);
}

TEST_F(EnemyShotTest, AnyHitEndsTheShotAndAGrabusterHitMakesOneItem) {
    EnemyShotDefault* s = Shot(0.0f, 300.0f);
    TestShot plain(director, {0.0f, 300.0f}, 5, PlayerShotBase::kFamilyShot, 4);
    s->OnCollision(&plain);
    EXPECT_FALSE(s->IsHitShapeActive());
    EXPECT_FALSE(s->IsAlive());
    EXPECT_TRUE(ChildrenOf<ItemGrabuster>().empty());

    // Two Grabuster hits in one pass: one item.
    EnemyShotDefault* g = Shot(50.0f, 300.0f);
    g->SetHitShapeActive(true);
    auto* w1 =
        GameObject::Create<TestShot>(director, director, Vector2{50.0f, 300.0f}, int16_t{5},
                                     uint32_t{PlayerShotBase::kFamilyGrabuster}, uint32_t{4});
    auto* w2 =
        GameObject::Create<TestShot>(director, director, Vector2{52.0f, 301.0f}, int16_t{5},
                                     uint32_t{PlayerShotBase::kFamilyGrabuster}, uint32_t{4});
    ASSERT_TRUE(w1 && w2);
    Frame(); // everything registers
    ASSERT_TRUE(g->IsAlive());
    Frame(); // the pass
    EXPECT_FALSE(g->IsAlive());
    EXPECT_EQ(Count<ItemGrabuster>(), 1u);
    g->OnCollision(w1);
    EXPECT_EQ(Count<ItemGrabuster>(), 1u) << "even hit again";

    // An item, the ship or an enemy ends a shot without an item.
    EnemyShotDefault* h = Shot(-50.0f, 300.0f);
    Source enemy(director);
    h->OnCollision(&enemy);
    EXPECT_FALSE(h->IsAlive());
    EXPECT_EQ(Count<ItemGrabuster>(), 1u);
}

TEST_F(EnemyShotTest, TracksAnimateWithinTheirThreeFrames) {
    EnemyShotDefault* s = Shot(0.0f, 300.0f);
    s->SetMotion(0.0f, 0.0f);
    std::vector<int> track0, track1;
    for (int i = 0; i < 30; ++i) {
        UpdateChildren();
        track0.push_back(s->GetCounter(0) / 4);
        track1.push_back(s->GetCounter(1) / 4);
    }
    for (int i = 0; i < 30; ++i) {
        // Counter 1, 2, ..., 11, 0, 1, ...: frames 0, 1, 2 of 4 updates each.
        EXPECT_EQ(track0[i], (i + 1) % 12 / 4) << i;
        // Track 1's third frame is empty: it wraps after two.
        EXPECT_EQ(track1[i], (i + 1) % 8 / 4) << i;
    }
}

TEST_F(EnemyShotTest, AShotSpinsByItsPeriodAndStaysWithinOneTurn) {
    Row().spin = 1;
    Row().spinPeriod = 8;
    EnemyShotDefault* s = Shot(0.0f, 300.0f);
    s->SetMotion(0.0f, 0.0f); // sprite angle pi / 2
    for (int i = 1; i <= 20; ++i) {
        UpdateChildren();
        const float expected = kPi / 2 + i * (2 * kPi / 8);
        EXPECT_NEAR(std::remainder(s->GetAngle() - expected, 2 * kPi), 0.0f, 1e-4f) << i;
        EXPECT_GE(s->GetAngle(), -kPi);
        EXPECT_LT(s->GetAngle(), kPi);
    }
    Row().spinPeriod = 0; // no turn at all, and no endless wrap
    const float before = s->GetAngle();
    UpdateChildren();
    EXPECT_EQ(s->GetAngle(), before);
}

TEST_F(EnemyShotTest, TheTextureSlotIsCheckedAgainstTheIndexAndTheBulletSlots) {
    TableBlob& index = world.gw->tables.ebssResIndex;
    ASSERT_EQ(index.Count<ResourceIndexEntry>(), 8u);
    *index.MutableAt<ResourceIndexEntry>(0) = ResourceIndexEntry::Make(31, -1, -1);
    *index.MutableAt<ResourceIndexEntry>(1) = ResourceIndexEntry::Make(32, -1, -1);
    *index.MutableAt<ResourceIndexEntry>(2) = ResourceIndexEntry::Make(-1, 5, 5);
    *index.MutableAt<ResourceIndexEntry>(3) = ResourceIndexEntry::Make(-300, -1, -1);
    *index.MutableAt<ResourceIndexEntry>(4) = ResourceIndexEntry::Make(0, -1, -1);
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(0), 31);
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(1), -1) << "past the 32 bullet slots";
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(2), -1);
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(3), -1);
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(4), 0);
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(8), -1) << "past the index";
    EXPECT_EQ(EnemyShotDefault::TextureSlotOf(-1), -1);
    EXPECT_EQ(EnemyShotDefault::BulletRowOf(8), nullptr);
    EXPECT_EQ(EnemyShotDefault::BulletRowOf(-1), nullptr);
    // A shot without a texture draws nothing and still flies.
    EnemyShotDefault* s = Shot(0.0f, 300.0f, nullptr, 1);
    s->SetMotion(kPi / 2, 1.0f);
    world.BeginFrame();
    s->Draw();
    EXPECT_TRUE(world.Capture(SpriteLayer::kEnemyShotBlend).empty());
    UpdateChildren();
    EXPECT_FLOAT_EQ(s->GetPosition()->y, 301.0f);
}

TEST_F(EnemyShotTest, DrawsBothTracksCentredAndTurnedFromTheBulletTexture) {
    // Bullet kBullet's sheet is bullet slot (kBullet % 2) of the sample index.
    Mireku::Graphics::Texture* sheet =
        MakeTexture(director->GetResources()->bulletTextures[kBullet % 2], 512, 512);
    EnemyShotDefault* s = Shot(100.0f, 200.0f);
    s->SetMotion(-kPi / 2, 0.0f); // sprite upright
    UpdateChildren(4);            // counter 4: frame 1 of both tracks
    world.BeginFrame();
    s->Draw();
    const auto blend = world.Capture(SpriteLayer::kEnemyShotBlend);
    const auto add = world.Capture(SpriteLayer::kEnemyShotAdd);
    ASSERT_EQ(blend.size() + add.size(), 2u);
    EXPECT_EQ(blend[0].texture, sheet);
    EXPECT_EQ(blend[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAlpha);
    EXPECT_EQ(add[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);
    // Frame 1 of track 0: (24, 40)-(47, 55), 24 by 16, centred on (460,
    // 200); track 1's: 32 by 32.
    EXPECT_TRUE(Near(Sprite(blend[0]), {460 - 12, 200 - 8, 24, 16, 24, 40, 24, 16}));
    EXPECT_TRUE(Near(Sprite(add[0]), {460 - 16, 200 - 16, 32, 32, 32, 300, 32, 32}));
    // Turned a quarter: the corners move.
    s->SetAngle(kPi / 2);
    s->Draw();
    const auto turned = world.Capture(SpriteLayer::kEnemyShotBlend);
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_TRUE(Near({turned[0].x0, turned[0].y0}, {460 + 8, 200 - 12}));
    world.EndFrame();
}

TEST_F(EnemyShotTest, ErasedShotsLeaveTheirFlash) {
    EnemyShotDefault* s = Shot(40.0f, 300.0f);
    s->RegisterShot();
    director->ClearEnemyShots();
    EXPECT_FALSE(s->IsAlive());
    ASSERT_EQ(Count<EnemyShotDelete>(), 1u);
    UpdateChildren(4);
    EXPECT_TRUE(ChildrenOf<EnemyShotDefault>().empty());
    EXPECT_EQ(EnemyShotRegistry::Count(), 0u);
}
