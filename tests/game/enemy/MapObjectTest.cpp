// Map objects on a playing stage: BGParts placing creators from a map and
// the attribute table (unlock types, values past the table), creators firing
// when their object reaches the field, objects fixed to their cell under the
// scroll and the parallax, their frames, wrecks, rewards and contents in
// order, their explosion kept on its cell; and the O001 enemies' speed,
// heading and death sounds.
#include "game/core/ProgressBlock.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/MapAttributeEntry.h"
#include "game/enemy/background/BGParts.h"
#include "game/enemy/effect/SecretHamon.h"
#include "game/enemy/effect/SecretWeaponHit.h"
#include "game/enemy/effect/SecretWeaponShow.h"
#include "game/enemy/explosion/EnemyDeadBombParts.h"
#include "game/enemy/explosion/MapObjectDeadBomb.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/item/ItemMapObject.h"
#include "game/enemy/item/ItemPowerUp.h"
#include "game/enemy/item/ItemSecretWeapon.h"
#include "game/enemy/map/EnemyMapObject.h"
#include "game/enemy/map/EnemyMapObjectCreator.h"
#include "game/enemy/map/EnemyO001.h"
#include "game/enemy/shot/EnemyShotBase.h"
#include "game/stage/StageMap.h"
#include "support/StageRig.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>

namespace {

using namespace stage_test;

constexpr uint32_t kCell = 16;
constexpr uint32_t kScrollLength = 6480;

// A map image of w x h cells of 16 pixels with the given cell values.
std::vector<uint8_t> MapImage(uint32_t w, uint32_t h, uint32_t bits,
                              const std::vector<uint32_t>& cells) {
    StageMapHeader header{};
    header.width = w;
    header.height = h;
    header.cellWidth = kCell;
    header.cellHeight = kCell;
    header.bits = static_cast<uint8_t>(bits);
    std::vector<uint8_t> out(sizeof header);
    std::memcpy(out.data(), &header, sizeof header);
    for (uint32_t i = 0; i < w * h; ++i) {
        const uint32_t v = i < cells.size() ? cells[i] : 0;
        out.push_back(static_cast<uint8_t>(v));
        if (bits == 16)
            out.push_back(static_cast<uint8_t>(v >> 8));
    }
    return out;
}

class MapObjectTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        // An empty map of the sample's size: cells of 16, a stage's scroll.
        world.Write(SampleData::StageMapPath(0),
                    MapImage(61, kScrollLength / kCell, 16, std::vector<uint32_t>{}));
        Play();
        director->SetScrollRatio(0.0f);
        for (uint32_t type = 200; type <= 263; ++type) {
            EnemyRecord& r = Row(type);
            r.trackA[0] = {0, 0, 31, 31};
            r.trackB[0] = {32, 0, 63, 31};
            r.hitWidth = r.hitHeight = 24;
            r.health = 100;
            r.score = 500;
            r.barionReward = 30;
        }
        SetAttribute(5, 222);
        world.random->SeedFixed();
    }
    void SetAttribute(uint32_t value, uint16_t attribute) {
        world.gw->tables.mapAttribute.MutableAt<MapAttributeEntry>(value)->value = attribute;
    }
    void SetUnlockBits(uint32_t bits) {
        std::memcpy(world.gw->progress + ProgressBlock::kOffsetUnlockBits, &bits, 4);
    }
    // The map scroll that puts the top of cell row `row` at field y `top`.
    void ScrollTo(uint32_t row, float top) {
        director->SetMapScroll(top - static_cast<float>(row * kCell) +
                               static_cast<float>(kScrollLength));
    }
    EnemyMapObject* Object(int32_t type, uint32_t column = 10, uint32_t row = 100) {
        ScrollTo(row, 300.0f);
        auto* o = Make<EnemyMapObject>(type, column, row);
        o->Update();
        return o;
    }
    std::vector<GameObject*> After(GameObject* mark) const {
        std::vector<GameObject*> out;
        for (GameObject* c = mark->GetNextSibling(); c; c = c->GetNextSibling())
            out.push_back(c);
        return out;
    }
    std::vector<uint8_t> image;
};

} // namespace

TEST_F(MapObjectTest, BGPartsPlacesACreatorOnEveryCellWithAnAttribute) {
    SetAttribute(1, 200);
    SetAttribute(2, 0);   // no object
    SetAttribute(3, 244); // unlocked by bit 0x08
    SetAttribute(4, 245); // unlocked by bit 0x10
    SetAttribute(6, 400); // no such enemy row
    // Row 0: 1 2 3 4 5 6 0 1024; row 1: 1023 ... 1.
    image = MapImage(8, 2, 16, {1, 2, 3, 4, 5, 6, 0, 1024, 1023, 0, 0, 0, 0, 0, 0, 1});
    const StageMap map(image.data(), static_cast<uint32_t>(image.size()));
    auto* parts = Make<BGParts>(map);
    std::vector<EnemyMapObjectCreator*> made = ChildrenOf<EnemyMapObjectCreator>();
    ASSERT_EQ(made.size(), 3u) << "200, 222 and 200: no unlocks, nothing at or past 1024";
    EXPECT_EQ(made[0]->GetType(), 200u);
    EXPECT_EQ(made[0]->GetColumn(), 0u);
    EXPECT_EQ(made[1]->GetType(), 222u);
    EXPECT_EQ(made[1]->GetColumn(), 4u);
    EXPECT_EQ(made[2]->GetCellRow(), 1u);
    EXPECT_EQ(made[2]->GetColumn(), 7u);
    parts->Vanish();
    for (auto* c : made)
        c->Vanish();
    Frames(4);

    SetUnlockBits(ProgressBlock::kUnlockBit8);
    Make<BGParts>(map);
    made = ChildrenOf<EnemyMapObjectCreator>();
    ASSERT_EQ(made.size(), 4u);
    EXPECT_EQ(made[1]->GetType(), 244u);
    for (auto* c : made)
        c->Vanish();
    Frames(4);

    SetUnlockBits(ProgressBlock::kUnlockBit10);
    Make<BGParts>(map);
    made = ChildrenOf<EnemyMapObjectCreator>();
    ASSERT_EQ(made.size(), 4u);
    EXPECT_EQ(made[1]->GetType(), 245u);
}

TEST_F(MapObjectTest, EightBitMapsPlaceTooAndOtherDepthsPlaceNothing) {
    SetAttribute(1, 201);
    image = MapImage(4, 1, 8, {0, 1, 0, 1});
    GameObject::Create<BGParts>(director, director,
                                StageMap(image.data(), static_cast<uint32_t>(image.size())));
    EXPECT_EQ(Count<EnemyMapObjectCreator>(), 2u);
    image = MapImage(4, 1, 8, {1, 1, 1, 1});
    image[19] = 4; // four bits per cell
    GameObject::Create<BGParts>(director, director,
                                StageMap(image.data(), static_cast<uint32_t>(image.size())));
    EXPECT_EQ(Count<EnemyMapObjectCreator>(), 2u);
}

TEST_F(MapObjectTest, AMapWhoseCellsDoNotFitOrThatHasNoColumnsIsNotWalked) {
    SetAttribute(1, 201);
    // A header claiming 65536 x 65536 cells over four real ones: walking
    // the claimed cells would take billions of steps.
    image = MapImage(4, 1, 16, {1, 1, 1, 1});
    const uint32_t huge = 65536;
    std::memcpy(image.data() + 8, &huge, 4);
    std::memcpy(image.data() + 12, &huge, 4);
    const StageMap map(image.data(), static_cast<uint32_t>(image.size()));
    ASSERT_FALSE(map.HasCells());
    uint32_t calls = 0;
    EXPECT_EQ(BGParts::Walk(
                  map, *GlobalWork::GetInstance(),
                  [](void* c, uint16_t, uint32_t, uint32_t) { ++*static_cast<uint32_t*>(c); },
                  &calls),
              0u);
    EXPECT_EQ(calls, 0u);

    // No columns and 2^32 - 1 rows: the cells fit (there are none), yet
    // there is nothing to walk.
    image = MapImage(0, 1, 16, {});
    const uint32_t rows = 0xFFFFFFFFu;
    std::memcpy(image.data() + 12, &rows, 4);
    const StageMap empty(image.data(), static_cast<uint32_t>(image.size()));
    EXPECT_EQ(BGParts::Walk(
                  empty, *GlobalWork::GetInstance(),
                  [](void* c, uint16_t, uint32_t, uint32_t) { ++*static_cast<uint32_t*>(c); },
                  &calls),
              0u);
    EXPECT_EQ(calls, 0u);
}

TEST_F(MapObjectTest, AOneTexelObjectIsCreatedWhenItsCellTopReachesZero) {
    Row(200).trackA[0] = {0, 5, 9, 5};
    auto* creator = Make<EnemyMapObjectCreator>(200u, 3u, 40u);
    ScrollTo(40, -1.0f);
    UpdateChildren();
    EXPECT_TRUE(ChildrenOf<EnemyMapObject>().empty());
    EXPECT_TRUE(creator->IsAlive());
    ScrollTo(40, 0.0f);
    UpdateChildren();
    ASSERT_EQ(Count<EnemyMapObject>(), 1u);
    EXPECT_FALSE(creator->IsAlive());
    EnemyMapObject* o = ChildrenOf<EnemyMapObject>()[0];
    EXPECT_EQ(o->GetColumn(), 3u);
    EXPECT_EQ(o->GetCellRow(), 40u);

    // A 32-texel object: 31 above the field.
    auto* tall = Make<EnemyMapObjectCreator>(201u, 0u, 60u);
    ScrollTo(60, -32.0f);
    UpdateChildren();
    EXPECT_TRUE(tall->IsAlive());
    ScrollTo(60, -31.0f);
    UpdateChildren();
    EXPECT_FALSE(tall->IsAlive());
}

TEST_F(MapObjectTest, ObjectsSitOnTheirCellAndShiftAgainstTheShip) {
    EnemyMapObject* o = Object(200, 30, 100);
    // Cell left 16 x 30 - 128 - 360 = -8 at ratio 0; the centre half of
    // x2 - x1 = 31 on.
    EXPECT_FLOAT_EQ(o->GetPosition()->x, 7.5f);
    EXPECT_FLOAT_EQ(o->GetPosition()->y, 315.5f);
    director->SetScrollRatio(-1.0f);
    o->Update();
    const float left = o->GetPosition()->x;
    director->SetScrollRatio(1.0f);
    o->Update();
    EXPECT_FLOAT_EQ(left - o->GetPosition()->x, 256.0f) << "256 further left at ratio 1";
    ScrollTo(100, 400.0f);
    o->Update();
    EXPECT_FLOAT_EQ(o->GetPosition()->y, 415.5f) << "moves with the map";
}

TEST_F(MapObjectTest, WrecksStayUntilTheirCellHasPassedTheBottom) {
    EnemyMapObject* o = Object(200);
    Hit(o, 100);
    EXPECT_EQ(o->GetState(), EnemyMapObject::kDestroyed);
    EXPECT_TRUE(o->IsAlive()) << "a wreck stays";
    ScrollTo(100, 720.0f);
    UpdateChildren();
    EXPECT_TRUE(o->IsAlive());
    ScrollTo(100, 720.5f);
    UpdateChildren();
    EXPECT_FALSE(o->IsAlive());
}

TEST_F(MapObjectTest, OnlyIntactObjectsWithABoxRegisterInGroupFive) {
    EnemyMapObject* o = Object(200);
    EXPECT_EQ(director->GetCollisions().Head(5), o);
    Row(201).hitWidth = 0;
    Make<EnemyMapObject>(201, 11u, 100u);
    director->GetCollisions().Clear();
    UpdateChildren();
    EXPECT_EQ(director->GetCollisions().Head(5), o);
    EXPECT_EQ(o->GetCollisionLink(), nullptr) << "an empty box is never hit";
    Hit(o, 100);
    director->GetCollisions().Clear();
    UpdateChildren();
    EXPECT_EQ(director->GetCollisions().Head(5), nullptr) << "nor a wreck";
}

TEST_F(MapObjectTest, TypesTwoTwentyTwoAndThreeShowFramesFourToSevenOnlyWhenHit) {
    EnemyMapObject* o = Object(222);
    for (uint32_t t = 0; t < 16; ++t) {
        const uint32_t pingPong[8] = {0, 1, 2, 3, 3, 2, 1, 0};
        EXPECT_EQ(o->IntactFrame(t), pingPong[t & 7]);
    }
    Hit(o, 1);
    EXPECT_TRUE(o->WasHitThisFrame());
    for (uint32_t t = 0; t < 8; ++t)
        EXPECT_EQ(o->IntactFrame(t), 4 + (t & 3));
    o->Draw();
    EXPECT_FALSE(o->WasHitThisFrame()) << "cleared by the draw";
    EXPECT_EQ(o->IntactFrame(1), 1u);
    EXPECT_EQ(Object(237)->IntactFrame(13), 5u) << "loops through eight";
    EXPECT_EQ(Object(204)->IntactFrame(3), 0u) << "still";
}

TEST_F(MapObjectTest, RewardsFollowTheWeaponFamilyAndTheShieldPaysNothing) {
    PlayerWork& p = world.gw->player;
    const uint64_t score = p.score;
    Hit(Object(200), 100, PlayerShotBase::kFamilyShot);
    EXPECT_EQ(p.score, score + 500);
    Hit(Object(200), 100, PlayerShotBase::kFamilyBarionLaser);
    EXPECT_EQ(p.score, score + 1000);
    EXPECT_EQ(Count<ItemHyperio>(), 1u);
    p.grabusterHits = 19;
    Hit(Object(200), 100, PlayerShotBase::kFamilyGrabuster);
    EXPECT_EQ(p.grabusterHits, 20u);
    EXPECT_EQ(p.score, score + 1000 + 500 * 128) << "chain level 2";
    const uint64_t before = p.score;
    const int32_t gauge = p.barionGauge;
    EnemyMapObject* shielded = Object(241);
    Hit(shielded, 100, PlayerShotBase::kFamilyBarionShield);
    EXPECT_EQ(p.score, before);
    EXPECT_EQ(p.barionGauge, gauge);
    EXPECT_EQ(shielded->GetState(), EnemyMapObject::kDestroyed) << "opened all the same";
    EXPECT_EQ(Count<ItemSecretWeapon>(), 1u);
}

// What a kill leaves, in order: a secret weapon (241-247) or an item
// (254-258) with its hit flash, show and ring, the power-up of 240, the
// explosion on the cell's top-left plus half the frame's size (a 32 by 48
// frame: 16 and 24), debris for the large types; the clank (61) on the
// types that clank, 64 for the large and 62 or 63 for the rest; and the
// wreck: frames 1-4 of track 0 on "Item_Blend2" for the item holders,
// track 1 on "BGGround" for the others.
TEST_F(MapObjectTest, AKillLeavesItsContentsExplosionSoundsAndWreck) {
    using T = const std::type_info*;
    const T show[] = {&typeid(SecretWeaponShow), &typeid(SecretHamon)};
    struct Kill {
        int32_t type;
        std::vector<T> made;
        bool clank, large, item;
    };
    const Kill rows[] = {
        {240, {&typeid(ItemPowerUp)}, false, false, false},
        {243,
         {&typeid(SecretWeaponHit), &typeid(ItemSecretWeapon), show[0], show[1]},
         true,
         false,
         false},
        {210, {}, false, false, false},
        {238, {}, true, true, false},
        {254,
         {&typeid(SecretWeaponHit), &typeid(ItemMapObject), show[0], show[1]},
         true,
         false,
         true},
        {256,
         {&typeid(SecretWeaponHit), &typeid(ItemMapObject), show[0], show[1]},
         true,
         false,
         true},
        {258,
         {&typeid(SecretWeaponHit), &typeid(ItemMapObject), show[0], show[1]},
         true,
         false,
         true},
    };
    Mireku::Graphics::Texture* blast = Texture(StageTextureSlot::kMapObjectExplosion, 1024, 1024);
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kMapObjectSheet, 512, 512);
    for (const Kill& r : rows) {
        SCOPED_TRACE(r.type);
        EnemyRecord& row = Row(static_cast<uint32_t>(r.type));
        row.trackA[0] = {0, 0, 31, 47};
        for (int16_t f = 1; f <= 4; ++f)
            row.trackA[f] = {static_cast<int16_t>(32 * f), 0, static_cast<int16_t>(32 * f + 31),
                             47};
        EnemyMapObject* o = Object(r.type);
        Hit(o, 99);
        Frames(3); // past the clank's repeat guard
        for (int32_t id = 61; id <= 64; ++id)
            sound->StopSE(id);
        GameObject* mark = director->GetLastChild();
        Hit(o, 1);
        std::vector<T> made;
        for (GameObject* c : After(mark))
            made.push_back(&typeid(*c));
        std::vector<T> want = r.made;
        want.push_back(&typeid(MapObjectDeadBomb));
        if (r.large)
            want.insert(want.end(), 16, &typeid(EnemyDeadBombParts));
        ASSERT_EQ(made.size(), want.size());
        for (size_t i = 0; i < made.size(); ++i)
            EXPECT_EQ(*made[i], *want[i]) << i;
        EXPECT_EQ(Sounds(61), r.clank ? 1u : 0u);
        EXPECT_EQ(Sounds(64), r.large ? 1u : 0u);
        EXPECT_EQ(Sounds(62) + Sounds(63), r.large ? 0u : 1u);
        // Cell (10, 100) at field y 300 and ratio 0: its top-left on the
        // screen at (160 - 128, 300); the explosion's picture (turned at
        // random) centred half the frame's size in from there.
        const std::vector<Quad> bomb = Drawn(SpriteLayer::kBGBomb, blast);
        ASSERT_EQ(bomb.size(), 1u);
        EXPECT_TRUE(Near({(bomb[0].x0 + bomb[0].x1) / 2, (bomb[0].y0 + bomb[0].y1) / 2},
                         {32 + 16, 300 + 24}));
        const uint32_t t = (director->GetFrameCounter() >> 2) + 10 + 100;
        const std::vector<Quad> items = Drawn(SpriteLayer::kItemBlend2, sheet);
        const std::vector<Quad> ground = Drawn(SpriteLayer::kBGGround, sheet);
        ASSERT_EQ(items.size(), r.item ? 1u : 0u);
        ASSERT_EQ(ground.size(), r.item ? 0u : 1u);
        if (r.item)
            EXPECT_TRUE(Near(Texels(items[0]), {32.0f * (1 + t % 4), 0, 32, 48}));
        else
            EXPECT_TRUE(Near(Texels(ground[0]), {32, 0, 32, 32})) << "track 1's first frame";
        DeleteDirector();
        Play();
        director->SetScrollRatio(0.0f);
        blast = Texture(StageTextureSlot::kMapObjectExplosion, 1024, 1024);
        sheet = Texture(StageTextureSlot::kMapObjectSheet, 512, 512);
    }
}

// Every type from 199 to 264, so that each end of every class of type
// numbers is checked from both sides: its intact frame at clock 6
// (ping-pong 1, loop 6, still 0; 222 and 223 show 4 + (6 AND 3) = 6 when
// hit), its clank (61) and hit flash on a hit that does not kill, and what
// the kill leaves: a secret weapon (241-247) or an item (254-258), the
// power-up of 240, and the large blast (sound 64, a full-size explosion, 16
// debris; 237-239, 248, 249, 263) or the small one (62 or 63, half size).
TEST_F(MapObjectTest, EveryTypeNumberFallsInItsClasses) {
    const auto in = [](int32_t t, std::initializer_list<std::pair<int32_t, int32_t>> ranges) {
        for (const auto& [first, last] : ranges)
            if (t >= first && t <= last)
                return true;
        return false;
    };
    for (uint32_t type : {199u, 264u})
        Row(type) = Row(200);
    // Starts of an effect since `before`: its voice index counts them, modulo 16.
    const auto since = [this](int32_t id, uint32_t before) {
        return (Sounds(id) - before) % SoundManager::kVoicesPerEffect;
    };
    for (int32_t type = 199; type <= 264; ++type) {
        SCOPED_TRACE(type);
        const bool pingPong = in(type, {{200, 203}, {217, 221}, {224, 236}, {240, 240}});
        const bool showsHits = in(type, {{222, 223}});
        const bool loops = in(type, {{237, 239}});
        const bool clanks = in(type, {{202, 203}, {222, 229}, {237, 239}, {241, 263}});
        const bool secret = in(type, {{241, 247}});
        const bool item = in(type, {{254, 258}});
        const bool large = in(type, {{237, 239}, {248, 249}, {263, 263}});
        const uint32_t still = 0, swing = 1, loop = 6, hit = 6;

        EnemyMapObject* o = Object(type);
        EXPECT_EQ(o->IntactFrame(6), pingPong || showsHits ? swing : loops ? loop : still);
        for (int i = 0; i < 3; ++i) // past the repeat guard of the last type's sounds
            sound->Update();
        GameObject* mark = director->GetLastChild();
        const uint32_t clank = Sounds(61);
        Hit(o, 1);
        EXPECT_EQ(o->IntactFrame(6), showsHits ? hit : pingPong ? swing : loops ? loop : still);
        EXPECT_EQ(since(61, clank), clanks ? 1u : 0u);
        size_t flashes = 0;
        for (GameObject* c : After(mark))
            flashes += dynamic_cast<SecretWeaponHit*>(c) != nullptr;
        EXPECT_EQ(flashes, secret || item ? 1u : 0u);

        for (int i = 0; i < 3; ++i)
            sound->Update();
        mark = director->GetLastChild();
        const uint32_t big = Sounds(64), small62 = Sounds(62), small63 = Sounds(63);
        Hit(o, 99);
        ASSERT_EQ(o->GetState(), EnemyMapObject::kDestroyed);
        size_t secrets = 0, items = 0, powerUps = 0, debris = 0;
        MapObjectDeadBomb* blast = nullptr;
        for (GameObject* c : After(mark)) {
            secrets += dynamic_cast<ItemSecretWeapon*>(c) != nullptr;
            items += dynamic_cast<ItemMapObject*>(c) != nullptr;
            powerUps += dynamic_cast<ItemPowerUp*>(c) != nullptr;
            debris += dynamic_cast<EnemyDeadBombParts*>(c) != nullptr;
            if (auto* b = dynamic_cast<MapObjectDeadBomb*>(c))
                blast = b;
        }
        EXPECT_EQ(secrets, secret ? 1u : 0u);
        EXPECT_EQ(items, item ? 1u : 0u);
        EXPECT_EQ(powerUps, type == 240 ? 1u : 0u);
        EXPECT_EQ(since(64, big), large ? 1u : 0u);
        EXPECT_EQ(since(62, small62) + since(63, small63), large ? 0u : 1u);
        EXPECT_EQ(debris, large ? 16u : 0u);
        ASSERT_NE(blast, nullptr);
        EXPECT_FLOAT_EQ(blast->GetScale(), large ? 1.0f : 0.5f);
    }
}

TEST_F(MapObjectTest, HitsClankOnlyOnTheirTypesAndNeverKillTwice) {
    const uint32_t clank = Sounds(61);
    Hit(Object(210), 1);
    EXPECT_EQ(Sounds(61), clank);
    Frames(3); // the repeat guard of a sound
    EnemyMapObject* o = Object(225);
    Hit(o, 100);
    EXPECT_EQ(Sounds(61), clank + 1);
    const uint64_t score = world.gw->player.score;
    GameObject* mark = director->GetLastChild();
    Hit(o, 100);
    EXPECT_EQ(world.gw->player.score, score) << "a wreck pays nothing";
    EXPECT_TRUE(After(mark).empty());
}

TEST_F(MapObjectTest, O001FliesDownAtASlantOrAimedAtOneOfThreeSpeeds) {
    EnemyRecord& r = Row(264);
    r.speed = 10;
    r.moveParams[0] = 20;
    r.moveParams[1] = 30;
    r.moveParams[2] = 0;
    for (int i = 0; i < 30; ++i) {
        auto* o = Make<EnemyO001>(264, Vector2{0.0f, 0.0f});
        const float degrees = o->GetHeading() * 180.0f / 3.1415927f;
        EXPECT_GE(degrees, 59.99f);
        EXPECT_LE(degrees, 120.01f);
        const float s = o->GetSpeed();
        EXPECT_TRUE(std::fabs(s - 1.6f) < 1e-5f || std::fabs(s - 3.2f) < 1e-5f ||
                    std::fabs(s - 4.8f) < 1e-5f)
            << s;
    }
    r.moveParams[2] = 1;
    PlaceShip({-300.0f, 500.0f});
    auto* aimed = Make<EnemyO001>(264, Vector2{100.0f, 0.0f});
    EXPECT_NEAR(aimed->GetHeading(), std::atan2(500.0f, -400.0f), 1e-5f);
    r.moveParams[1] = 0; // then all three are the row speed
    auto* plain = Make<EnemyO001>(264, Vector2{0.0f, 0.0f});
    EXPECT_FLOAT_EQ(plain->GetSpeed(), 1.6f);
}

TEST_F(MapObjectTest, O001DeathSoundsGoByType) {
    struct Case {
        int32_t type;
        int32_t first, last;
    };
    for (const Case& c :
         {Case{264, 81, 84}, Case{272, 88, 88}, Case{296, 85, 86}, Case{305, 87, 87}}) {
        uint32_t before[10];
        for (int32_t id = 81; id <= 88; ++id)
            before[id - 81] = Sounds(id);
        auto* o = Make<EnemyO001>(c.type, Vector2{0.0f, 0.0f});
        // Of a range, the one the next word of stream 0 picks.
        Mireku::Common::Random next = world.random->Stream(RandomManager::kPresentation);
        const int32_t want = c.first + static_cast<int32_t>(next.Next() % (c.last - c.first + 1));
        o->PlayDeathSound();
        for (int32_t id = 81; id <= 88; ++id) {
            const bool in = id >= c.first && id <= c.last;
            if (!in) {
                EXPECT_EQ(Sounds(id), before[id - 81]) << c.type << " " << id;
            }
        }
        uint32_t played = 0;
        for (int32_t id = c.first; id <= c.last; ++id)
            played += Sounds(id) - before[id - 81];
        EXPECT_EQ(played, 1u) << c.type;
        EXPECT_EQ(Sounds(want), before[want - 81] + 1) << c.type;
        Frames(3);
    }
}

TEST_F(MapObjectTest, AnIntactObjectFiresItsGridAndAWreckFiresNothing) {
    Row(205).grid = Row(10).grid; // the sample grid of an ordinary enemy
    EnemyMapObject* o = Object(205);
    // Emitters run on the director's frame counter: whole frames.
    size_t fired = 0;
    for (int f = 0; f < 300; ++f) {
        Frame();
        fired = std::max(fired, Count<EnemyShotBase>());
    }
    EXPECT_GT(fired, 0u) << "intact, it fires";
    Hit(o, 100);
    for (auto* shot : ChildrenOf<EnemyShotBase>())
        shot->Vanish();
    Frames(4);
    ASSERT_TRUE(ChildrenOf<EnemyShotBase>().empty());
    for (int f = 0; f < 300; ++f) {
        Frame();
        ASSERT_TRUE(ChildrenOf<EnemyShotBase>().empty()) << "a wreck does not";
    }
}

TEST_F(MapObjectTest, TheExplosionShowsSixteenImagesOverSixtyThreeFrames) {
    auto* bomb = Make<MapObjectDeadBomb>(10u, 20u, 5, -3, 0.5f, 2.0f);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->GetKind(), GameObject::kKindNone);
    EXPECT_EQ(bomb->GetCollisionGroup(), 0u);
    EXPECT_EQ(bomb->GetPosition()->x, 0.0f);
    std::vector<int16_t> images;
    while (bomb->IsAlive() && images.size() < 100) {
        Frame();
        images.push_back(bomb->GetImage());
    }
    // Images 0-5 of length 1, 6-10 of 2, 11-15 of 3, each shown for its
    // length + 2 (image 0 from the first update on), then 16.
    std::vector<int16_t> want(2, 0);
    for (int16_t image = 1; image <= 16; ++image)
        want.insert(want.end(), image <= 5 ? 3 : image <= 10 ? 4 : 5, image);
    want.resize(63);
    EXPECT_EQ(images, want);
}

TEST_F(MapObjectTest, TheExplosionStaysOnItsCellWhileTheMapScrollsAndShifts) {
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kMapObjectExplosion, 1024, 1024);
    auto* bomb = Make<MapObjectDeadBomb>(10u, 400u, 6, -4, 0.0f, 3.0f);
    // Cells of 16: the cell's top-left on the screen is (160 - shift,
    // 6400 + map scroll - 6480), the 256 by 256 image centred on it plus the
    // offset.
    struct Case {
        float ratio, scroll;
        float left, top;
    };
    for (const Case& c : {Case{0.0f, 0.0f, 160.0f - 128.0f + 6.0f - 128.0f, -80.0f - 4.0f - 128.0f},
                          Case{0.0f, 500.0f, 32.0f + 6.0f - 128.0f, 420.0f - 4.0f - 128.0f},
                          Case{1.0f, 500.0f, -96.0f + 6.0f - 128.0f, 420.0f - 4.0f - 128.0f},
                          Case{-1.0f, 740.0f, 160.0f + 6.0f - 128.0f, 660.0f - 4.0f - 128.0f}}) {
        director->SetScrollRatio(c.ratio);
        director->SetMapScroll(c.scroll);
        Frame();
        const std::vector<Quad> quads = Drawn(SpriteLayer::kBGBomb, sheet);
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_FLOAT_EQ(quads[0].x0, c.left) << c.ratio << " " << c.scroll;
        EXPECT_FLOAT_EQ(quads[0].y0, c.top) << c.ratio << " " << c.scroll;
        EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 256.0f) << "its scale is not drawn";
    }
    EXPECT_TRUE(bomb->IsAlive());
}
