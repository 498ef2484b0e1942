// The common enemy on a playing stage of mode 1, stage 0: its paths, facing,
// animation and drawing, its hit box, the resource look-ups and the rewards
// of a kill by each weapon family.
#include "game/enemy/EnemyDefault.h"
#include "game/enemy/EnemyFactory.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyDeadBombParts.h"
#include "game/enemy/explosion/EnemyDeadBomb_Middle.h"
#include "game/enemy/item/ItemHyperio.h"
#include "support/StageRig.h"

#include <cmath>
#include <numbers>

namespace {

using namespace stage_test;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr uint32_t kType = 10;

class EnemyDefaultTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Play();
        director->SetScrollRatio(0.0f);
        // A plain row: no facing, no mirroring, speed 0, a 20 x 12 box.
        EnemyRecord& r = Row(kType);
        r.facePlayer = r.faceMotion = r.spin = 0;
        r.mirror = 0;
        r.speed = 0;
        r.hitWidth = 20;
        r.hitHeight = 12;
        r.hitOffsetX = 0;
        r.hitOffsetY = 0;
        r.health = 100;
        r.score = 300;
        r.barionReward = 40;
        // A long straight path: point i at (i, 2i).
        std::vector<Vector2> line;
        for (int i = 0; i < 400; ++i)
            line.push_back({static_cast<float>(i), 2.0f * static_cast<float>(i)});
        InstallPath(0, line);
        SetResources(kType, 0, -1, 0);
    }
    EnemyDefault* Enemy(uint32_t type = kType, float x = 0.0f, float y = 100.0f) {
        return Make<EnemyDefault>(static_cast<int32_t>(type), Vector2{x, y});
    }
};

} // namespace

TEST_F(EnemyDefaultTest, PathsAreSampledBetweenPointsAndHeldAtTheirEnd) {
    StagePath path;
    float points[6] = {0.0f, 0.0f, 60.0f, 0.0f, 60.0f, 120.0f};
    path.points = points;
    path.pointCount = 3;
    const auto at = [&](float t) { return EnemyDefault::PathPoint(path, t); };
    EXPECT_EQ(at(-3.0f).x, 0.0f) << "before the start: the first point";
    EXPECT_FLOAT_EQ(at(0.5f).x, 30.0f);
    EXPECT_FLOAT_EQ(at(1.25f).y, 30.0f);
    EXPECT_EQ(at(2.0f).y, 120.0f) << "from the last point on: the last one";
    EXPECT_EQ(at(9.0f).x, 60.0f);
    // It runs while trunc(t) is at most the point count.
    EXPECT_TRUE(EnemyDefault::PathRuns(path, 3.99f));
    EXPECT_FALSE(EnemyDefault::PathRuns(path, 4.0f));
    // One point: used below position 2, then over.
    path.pointCount = 1;
    EXPECT_TRUE(EnemyDefault::PathRuns(path, 1.99f));
    EXPECT_FALSE(EnemyDefault::PathRuns(path, 2.0f));
    EXPECT_EQ(at(1.5f).x, 0.0f);
}

TEST_F(EnemyDefaultTest, FollowsItsPathAtTheRowsRate) {
    EnemyDefault* e = Enemy(kType, -50.0f, 100.0f);
    e->UpdateTree();
    EXPECT_EQ(e->GetPosition()->x, -50.0f) << "the first frame samples time 0";
    e->UpdateTree();
    // Speed 0 plays the path in real time: 1000/60 ms a frame.
    EXPECT_TRUE(Near({e->GetPathPosition(), e->GetPosition()->x, e->GetPosition()->y},
                     {2000.0f / 60, -50 + 1000.0f / 60, 100 + 2000.0f / 60}));
    EXPECT_EQ(e->GetPrevious(), (Vector2{-50.0f, 100.0f})) << "where the frame began";

    // Double speed, half speed: the first frame's step.
    for (const auto& [speed, time] :
         {std::pair{int8_t{100}, 2000.0f}, std::pair{int8_t{-50}, 500.0f}}) {
        Row(kType).speed = speed;
        EnemyDefault* other = Enemy();
        other->UpdateTree();
        EXPECT_NEAR(other->GetPathPosition(), time / 60.0f, 1e-3f) << int(speed);
    }
}

TEST_F(EnemyDefaultTest, AnOnePointPathHoldsThenTheEnemyGoes) {
    InstallPath(1, {{5.0f, 7.0f}});
    SetResources(kType, 0, -1, 1);
    Row(kType).speed = -40; // 10 ms a frame
    EnemyDefault* e = Enemy(kType, 0.0f, 100.0f);
    e->UpdateTree();
    EXPECT_EQ(*e->GetPosition(), (Vector2{5.0f, 107.0f}));
    EXPECT_TRUE(e->IsAlive());
    e->UpdateTree(); // time 10: past the one point
    EXPECT_FALSE(e->IsAlive());
    EXPECT_EQ(*e->GetPosition(), (Vector2{5.0f, 107.0f})) << "where the path left it";
}

// A path file of fewer than 8 bytes has no point; sampled as a path it
// would read point -1.
TEST_F(EnemyDefaultTest, APathOfNoPointsCountsAsNone) {
    InstallPath(2, {}, 4);
    SetResources(kType, 0, -1, 2);
    EnemyDefault* e = Enemy(kType, 30.0f, 100.0f);
    e->UpdateTree();
    EXPECT_FALSE(e->IsAlive()) << "no path: gone at once";
    EXPECT_EQ(*e->GetPosition(), (Vector2{30.0f, 100.0f}));
    // Indices that name no loaded record are none too.
    EXPECT_EQ(director->GetEnemyPath(-2), nullptr);
    EXPECT_EQ(director->GetEnemyPath(300), nullptr);
    EXPECT_EQ(director->GetEnemyPath(7), nullptr) << "no file was loaded for it";
    SetResources(kType, 0, -1, -1);
    EnemyDefault* none = Enemy();
    none->UpdateTree();
    EXPECT_FALSE(none->IsAlive());
}

TEST_F(EnemyDefaultTest, TheOverridePathComesFirstWhileItRuns) {
    InstallPath(1, {{0.0f, 50.0f}});
    std::vector<Vector2> line; // point i at (100 + i, 0)
    for (int i = 0; i < 400; ++i)
        line.push_back({100.0f + static_cast<float>(i), 0.0f});
    InstallPath(0, line);
    SetResources(kType, 0, 1, 0);
    EnemyDefault* e = Enemy(kType, 0.0f, 100.0f);
    e->UpdateTree();
    EXPECT_EQ(e->GetOffset(), (Vector2{0.0f, 50.0f})) << "the base path is not used";
    e->UpdateTree();
    EXPECT_NEAR(e->GetOffset().x, 100.0f + 1000.0f / 60.0f, 1e-3f)
        << "the base path from the same path time";
    EXPECT_TRUE(e->IsAlive());
}

TEST_F(EnemyDefaultTest, MirrorsOnlyMirrorableRowsWithTheShipRightOfCentre) {
    Row(kType).mirror = 1;
    EXPECT_FALSE(Enemy(kType, -50.0f)->IsMirrored()) << "the ship at the centre";
    director->SetScrollRatio(0.5f);
    EnemyDefault* mirrored = Enemy(kType, -50.0f, 100.0f);
    EXPECT_TRUE(mirrored->IsMirrored());
    EXPECT_EQ(mirrored->GetPosition()->x, 50.0f);
    mirrored->UpdateTree();
    mirrored->UpdateTree();
    EXPECT_NEAR(mirrored->GetPosition()->x, 50.0f - 1000.0f / 60.0f, 1e-3f) << "path x negated";
    EXPECT_NEAR(mirrored->GetPosition()->y, 100.0f + 2000.0f / 60.0f, 1e-3f);
    director->SetScrollRatio(-0.5f);
    EXPECT_FALSE(Enemy(kType, -50.0f)->IsMirrored());
    Row(kType).mirror = 0;
    director->SetScrollRatio(1.0f);
    EXPECT_FALSE(Enemy(kType, -50.0f)->IsMirrored());
}

TEST_F(EnemyDefaultTest, RegistersItsRowsBoxEveryFrame) {
    Row(kType).hitOffsetX = 4;
    Row(kType).hitOffsetY = -6;
    EnemyDefault* e = Enemy(kType, -100.0f, 150.0f);
    EXPECT_FALSE(e->IsHitShapeActive()) << "on from its first update";
    e->UpdateTree();
    const HitShape& s = *e->GetHitShape();
    EXPECT_EQ(s.kind, HitShape::kBox);
    EXPECT_TRUE(Near({s.minX, s.minY, s.maxX, s.maxY}, {254, 138, 274, 150}, 0));
    EXPECT_EQ(director->GetCollisions().Head(6), e);
    // A negative width still gives the smaller corner first.
    Row(kType).hitWidth = -20;
    e->UpdateTree();
    EXPECT_LT(e->GetHitShape()->minX, e->GetHitShape()->maxX);
    EXPECT_EQ(e->GetHitShape()->maxX - e->GetHitShape()->minX, 20.0f);
}

TEST_F(EnemyDefaultTest, FacesThePlayerItsMotionOrSpins) {
    Row(kType).facePlayer = 1;
    director->SetPlayerPose(0.0f, 600.0f, 1.0f);
    SetResources(kType, 0, -1, -1); // stands still
    EnemyDefault* e = Enemy(kType, 0.0f, 100.0f);
    e->UpdateTree();
    // The player straight below: d = (0, -500), atan2 = -pi/2, minus pi/2 = -pi -> pi.
    EXPECT_FLOAT_EQ(std::fabs(e->GetAngle()), kPi);

    Row(kType).facePlayer = 0;
    Row(kType).faceMotion = 1;
    SetResources(kType, 0, -1, 0);
    EnemyDefault* m = Enemy(kType, 0.0f, 100.0f);
    m->UpdateTree();
    EXPECT_FLOAT_EQ(m->GetAngle(), -kPi / 2.0f) << "not moved yet: atan2(0, 0) - pi/2";
    m->UpdateTree(); // moving along (1, 2)
    EXPECT_NEAR(m->GetAngle(), std::atan2(2.0f, 1.0f) - kPi / 2.0f, 1e-5f);

    Row(kType).faceMotion = 0;
    Row(kType).spin = 1;
    Row(kType).turnDivisor = 4; // a quarter turn a frame
    EnemyDefault* s = Enemy();
    for (int i = 0; i < 3; ++i)
        s->UpdateTree();
    EXPECT_NEAR(s->GetAngle(), -kPi / 2.0f, 1e-5f) << "three quarters, wrapped into range";
    for (int i = 0; i < 400; ++i)
        s->UpdateTree();
    EXPECT_LE(std::fabs(s->GetAngle()), kPi + 1e-5f);
}

// A spin period of 0 would add 2 pi / 0: the angle could never be brought
// back into range. Such a row turns nothing.
TEST_F(EnemyDefaultTest, ASpinPeriodOfZeroTurnsNothing) {
    Row(kType).spin = 1;
    Row(kType).turnDivisor = 0;
    EnemyDefault* e = Enemy();
    e->SetAngle(0.5f);
    e->UpdateTree();
    e->UpdateTree();
    EXPECT_EQ(e->GetAngle(), 0.5f);
    EXPECT_NEAR(std::fabs(EnemyDefault::WrapAngle(7.0f * kPi)), kPi, 1e-5f);
    EXPECT_NEAR(EnemyDefault::WrapAngle(-5.5f * kPi), 0.5f * kPi, 1e-5f);
}

TEST_F(EnemyDefaultTest, AnimatesBothTracksUntilAnEmptyFrame) {
    EnemyRecord& r = Row(kType);
    for (uint32_t f = 0; f < 8; ++f) {
        r.trackA[f] = {static_cast<int16_t>(f * 10), 0, static_cast<int16_t>(f * 10 + 9), 9};
        r.trackB[f] = {0, 0, 0, 0};
        r.frameLengths[f] = 2;
    }
    r.trackA[3] = {30, 0, 30, 9}; // empty: x2 = x1
    r.trackB[1] = {0, 0, 9, 9};
    r.frameLengths[0] = 3;
    EnemyDefault* e = Enemy();
    std::vector<int> framesA, framesB;
    for (int i = 0; i < 12; ++i) {
        e->UpdateTree();
        framesA.push_back(e->GetFrame(0));
        framesB.push_back(e->GetFrame(1));
    }
    // Frame 0 for 3 frames, 1 and 2 for 2 each, then frame 3 is empty: 0 again.
    EXPECT_EQ(framesA, (std::vector<int>{0, 0, 1, 1, 2, 2, 0, 0, 0, 1, 1, 2}));
    // Track B's frame 1 is whole, its frame 2 empty.
    EXPECT_EQ(framesB, (std::vector<int>{0, 0, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0}));
    // All eight whole: back to 0 after frame 7.
    r.trackA[3] = {30, 0, 39, 9};
    for (int8_t& length : r.frameLengths)
        length = 1;
    EnemyDefault* all = Enemy();
    for (int i = 0; i < 8; ++i)
        all->UpdateTree();
    EXPECT_EQ(all->GetFrame(0), 0);
}

TEST_F(EnemyDefaultTest, DrawsEachTrackCentredTurnedAndScaled) {
    EnemyRecord& r = Row(kType);
    r.trackA[0] = {32, 64, 63, 79}; // 32 x 16
    r.trackB[0] = {0, 0, 0, 0};     // a 1 x 1 texel
    r.frameLengths[0] = 100;
    Mireku::Graphics::Texture* sheet =
        MakeTexture(director->GetResources()->enemyTextures[0], 256, 256);
    SetResources(kType, 0, -1, -1);
    EnemyDefault* e = Enemy(kType, 40.0f, 200.0f);
    world.BeginFrame();
    e->Draw();
    auto blend = world.Capture(SpriteLayer::kEnemyBlend);
    auto add = world.Capture(SpriteLayer::kEnemyAdd);
    ASSERT_EQ(blend.size() + add.size(), 2u);
    EXPECT_EQ(blend[0].texture, sheet);
    EXPECT_TRUE(Near(Sprite(blend[0]), {400 - 16, 200 - 8, 32, 16, 32, 64, 32, 16}, 0));
    EXPECT_EQ(blend[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(add[0].x1 - add[0].x0, 1.0f);
    // Turned by a quarter and doubled: top-left at centre + 2 (8, -16).
    e->SetAngle(kPi / 2.0f);
    e->SetScale(2.0f);
    world.BeginFrame();
    e->Draw();
    blend = world.Capture(SpriteLayer::kEnemyBlend);
    ASSERT_EQ(blend.size(), 1u);
    EXPECT_TRUE(Near({blend[0].x0, blend[0].y0}, {400 + 16, 200 - 32}));
    world.EndFrame();
}

// The texture number of the resource index names the enemy slots, then the
// bullet slots, then the warp slots; past them, and for any negative number,
// there is no texture.
TEST_F(EnemyDefaultTest, TextureNumbersRunThroughTheEnemyBulletAndWarpSlots) {
    StageResources& res = *director->GetResources();
    Mireku::Graphics::Texture* enemy = MakeTexture(res.enemyTextures[47], 8, 8);
    Mireku::Graphics::Texture* bullet = MakeTexture(res.bulletTextures[2], 8, 8);
    Mireku::Graphics::Texture* warp = MakeTexture(res.warpTextures[31], 8, 8);
    EXPECT_EQ(director->GetEnemySheet(47), enemy);
    EXPECT_EQ(director->GetEnemySheet(50), bullet);
    EXPECT_EQ(director->GetEnemySheet(111), warp);
    EXPECT_EQ(director->GetEnemySheet(112), nullptr);
    EXPECT_EQ(director->GetEnemySheet(511), nullptr);
    EXPECT_EQ(director->GetEnemySheet(-1), nullptr);
    EXPECT_EQ(director->GetEnemySheet(-300), nullptr);
    SetResources(kType, 50, -1, -1);
    EXPECT_EQ(Enemy()->GetSheet(), bullet);
    SetResources(kType, -2, -1, -1);
    EXPECT_EQ(Enemy()->GetSheet(), nullptr);
}

TEST_F(EnemyDefaultTest, DamageAddsUpToTheRowsHealth) {
    EnemyDefault* e = Enemy();
    const uint32_t hits = Sounds(60);
    Hit(e, 99);
    EXPECT_TRUE(e->IsAlive());
    EXPECT_EQ(e->GetDamage(), 99);
    EXPECT_EQ(Sounds(60), hits + 1);
    TestEnemyShot shot(director, {0, 0});
    e->OnCollision(&shot);
    EXPECT_EQ(e->GetDamage(), 99) << "only player weapons hurt";
    Hit(e, 1);
    EXPECT_FALSE(e->IsAlive());
    EXPECT_FALSE(e->IsHitShapeActive());
    EXPECT_EQ(e->GetVanishCountdown(), GameObject::kVanishFrames);
    // Damage is a 16-bit sum.
    Row(kType).health = 32767;
    EnemyDefault* big = Enemy();
    Hit(big, 30000);
    Hit(big, 30000);
    EXPECT_EQ(big->GetDamage(), static_cast<uint16_t>(60000));
}

TEST_F(EnemyDefaultTest, KillsPayByTheWeaponFamily) {
    PlayerWork& p = world.gw->player;
    const uint32_t deaths = Sounds(43) + Sounds(44) + Sounds(45) + Sounds(46);
    // Shots and sub weapons: the row's score and Barion gauge, a plain explosion.
    Hit(Enemy(), 500);
    EXPECT_EQ(p.score, 300u);
    EXPECT_EQ(p.barionGauge, 40);
    EXPECT_EQ(Sounds(43) + Sounds(44) + Sounds(45) + Sounds(46), deaths + 1);
    ASSERT_EQ(Count<EnemyDeadBomb>(), 1u);
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>()[0]->GetSize(), EnemyDeadBomb::kSizeSmall);
    EXPECT_EQ(Count<EnemyDeadBombParts>(), 16u);

    // The Barion laser: score, no gauge, a Hyperio item without its
    // appearance, the explosion turned along the laser.
    Hit(Enemy(kType, 40.0f, 90.0f), 500, PlayerShotBase::kFamilyBarionLaser, 0.75f);
    EXPECT_EQ(p.score, 600u);
    EXPECT_EQ(p.barionGauge, 40);
    const auto items = ChildrenOf<ItemHyperio>();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetState(), ItemHyperio::kFloat);
    EXPECT_EQ(items[0]->GetPosition()->x, 40.0f);
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetSize(), EnemyDeadBomb::kSizeSmallB);
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetAngle(), 0.75f);

    // The Barion shield: score only.
    Hit(Enemy(), 500, PlayerShotBase::kFamilyBarionShield);
    EXPECT_EQ(p.score, 900u);
    EXPECT_EQ(p.barionGauge, 40);

    // The Grabuster: its hit count rises first, the multiplier follows its
    // chain level: 32, 64, 128, 256, 512.
    const struct {
        uint32_t hitsBefore;
        uint64_t factor;
    } chain[] = {{8, 32}, {9, 64}, {19, 128}, {29, 256}, {60, 512}};
    for (const auto& c : chain) {
        p.score = 0;
        p.grabusterHits = c.hitsBefore;
        Hit(Enemy(), 500, PlayerShotBase::kFamilyGrabuster);
        EXPECT_EQ(p.grabusterHits, c.hitsBefore + 1);
        EXPECT_EQ(p.score, 300u * c.factor) << c.hitsBefore;
    }

    // Another family: gone without score, sound or explosion.
    p.score = 0;
    const size_t bombs = Count<EnemyDeadBomb>();
    const uint32_t sounds = Sounds(43) + Sounds(44) + Sounds(45) + Sounds(46);
    EnemyDefault* e = Enemy();
    Hit(e, 500, 7);
    EXPECT_FALSE(e->IsAlive());
    EXPECT_EQ(p.score, 0u);
    EXPECT_EQ(Count<EnemyDeadBomb>(), bombs);
    EXPECT_EQ(Sounds(43) + Sounds(44) + Sounds(45) + Sounds(46), sounds);
}

// The death sound is 43 plus the low two bits of the next word of stream 0:
// each of 43-46 in turn as the words come, and no other.
TEST_F(EnemyDefaultTest, TheDeathSoundIsFortyThreePlusTheNextWordsLowBits) {
    std::vector<int> heard(4, 0);
    for (int i = 0; i < 24; ++i) {
        for (uint32_t f = 0; f < SoundManager::kRepeatFrames; ++f)
            sound->Update();
        Mireku::Common::Random next = world.random->Stream(RandomManager::kPresentation);
        const int32_t want = 43 + static_cast<int32_t>(next.Next() & 3);
        uint32_t before[4];
        for (int32_t id = 43; id <= 46; ++id)
            before[id - 43] = Sounds(id);
        Enemy()->PlayDeathSound();
        for (int32_t id = 43; id <= 46; ++id)
            EXPECT_EQ((Sounds(id) - before[id - 43]) % SoundManager::kVoicesPerEffect,
                      id == want ? 1u : 0u)
                << i << ": " << id;
        ++heard[want - 43];
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_GT(heard[k], 0) << 43 + k;
}

TEST_F(EnemyDefaultTest, ExplosionsByTypeRange) {
    const struct {
        uint32_t type;
        uint32_t family;
        int middle;   // EnemyDeadBomb_Middle made
        int32_t size; // EnemyDeadBomb size, -1 for none
    } cases[] = {
        {78, 0, 0, EnemyDeadBomb::kSizeSmall},
        {79, 0, 1, -1},
        {170, 1, 1, -1},
        {170, 3, 1, -1},
        {171, 0, 0, EnemyDeadBomb::kSizeSmall},
        {294, 0, 0, EnemyDeadBomb::kSizeSmall},
        {295, 0, 0, EnemyDeadBomb::kSizeIce},
        {302, 0, 0, EnemyDeadBomb::kSizeIce},
        {302, 2, 0, EnemyDeadBomb::kSizeSmall},
        {303, 0, 0, EnemyDeadBomb::kSizeSmall},
        {300, 1, 0, EnemyDeadBomb::kSizeSmallB},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const size_t middles = Count<EnemyDeadBomb_Middle>();
        const size_t bombs = Count<EnemyDeadBomb>();
        Hit(Enemy(c.type), 32000, c.family);
        EXPECT_EQ(Count<EnemyDeadBomb_Middle>(), middles + static_cast<size_t>(c.middle));
        ASSERT_EQ(Count<EnemyDeadBomb>(), bombs + (c.size >= 0 ? 1 : 0));
        if (c.size >= 0) {
            EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetSize(), static_cast<uint32_t>(c.size));
        }
    }
}

TEST_F(EnemyDefaultTest, ATestWeaponKillsThroughTheCollisionPass) {
    SetResources(kType, 0, -1, 0);
    EnemyDefault* e = Enemy(kType, 0.0f, 300.0f);
    auto* shot = Make<TestShot>(Vector2{0, 300}, int16_t{30000});
    ASSERT_TRUE(e && shot);
    Frame(); // both register
    EXPECT_TRUE(e->IsAlive());
    Frame(); // the pass finds the pair
    EXPECT_FALSE(e->IsAlive());
    EXPECT_EQ(shot->hits, 1);
    EXPECT_EQ(world.gw->player.score, 300u);
}
