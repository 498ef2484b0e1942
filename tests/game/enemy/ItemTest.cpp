// The pick-up items on a playing stage: when each can be taken, its boxes
// (doubled in the Grabuster state), its motion and what taking it pays.
#include "game/core/ReplayStream.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/enemy/background/BGParts.h"
#include "game/enemy/effect/PowerUpEffect.h"
#include "game/enemy/effect/PowerUpScore.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/item/ItemMapObject.h"
#include "game/enemy/item/ItemPowerUp.h"
#include "game/enemy/item/ItemSecretWeapon.h"
#include "game/stage/MapPlacement.h"
#include "game/stage/StageInput.h"
#include "support/StageRig.h"

#include <cstring>

namespace {

using namespace stage_test;

class ItemTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Play();
        ship = PlaceShip({0.0f, 600.0f});
        world.gw->player.invincible = 0;
        world.gw->player.invincibleTimer = 0;
    }
    // The box an item registered in its last update, as (width, height).
    static Vector2 BoxOf(GameObject* item) {
        const HitShape& s = *item->GetHitShape();
        return {s.maxX - s.minX, s.maxY - s.minY};
    }
    // Frames of the director's children with `word` as every frame's input
    // word (a replay of it).
    void PlayWords(uint32_t word, uint32_t frames) {
        std::vector<uint8_t> stream(ReplayStream::kHeaderSize + 4 * (frames + 2));
        ReplayStream::WriteHeader(stream.data(), {world.gw->player, 0, 1});
        for (uint32_t i = 0; i <= frames + 1; ++i)
            std::memcpy(stream.data() + ReplayStream::kHeaderSize + 4 * i, &word, 4);
        ASSERT_TRUE(
            world.gw->StartReplayPlayback(stream.data(), static_cast<uint32_t>(stream.size())));
    }

    Player* ship = nullptr;
};

} // namespace

TEST_F(ItemTest, AGrabusterItemCanBeTakenDelayPlus49FramesAfterItWasMade) {
    auto* item = Make<ItemGrabuster>(Vector2{0.0f, 100.0f}, 2u, 5);
    ASSERT_NE(item, nullptr);
    int frames = 0;
    while (!item->IsHitShapeActive() && frames < 200) {
        UpdateChildren();
        ++frames;
    }
    EXPECT_EQ(frames, 5 + 49);
    EXPECT_EQ(item->GetState(), ItemGrabuster::kHoming);
    // It drifted down by 1 through its 20 caption frames.
    EXPECT_EQ(item->GetPosition()->y, 120.0f);
    UpdateChildren();
    EXPECT_EQ(item->GetPosition()->y, 140.0f) << "20 a frame towards the ship below";
    // While the player is down it sinks by 5 instead.
    world.gw->player.down = 1;
    UpdateChildren();
    EXPECT_EQ(item->GetPosition()->y, 145.0f);
    world.gw->player.down = 0;

    const uint32_t sounds = Sounds(65);
    world.gw->player.score = 0;
    item->OnCollision(ship);
    EXPECT_EQ(world.gw->player.score, 128u * 10u) << "the chain's step at level 2, x 10";
    EXPECT_EQ(Sounds(65), sounds + 1);
    EXPECT_FALSE(item->IsAlive());
    EXPECT_FALSE(item->IsHitShapeActive());
}

// An item already on the ship has no direction to fly: it stays put rather
// than taking a position of NaN.
TEST_F(ItemTest, AnItemOnTheShipStaysPut) {
    auto* item = Make<ItemHyperio>(Vector2{0.0f, 600.0f}, uint8_t{0});
    for (int i = 0; i < 60 && item->GetState() != ItemHyperio::kHoming; ++i)
        UpdateChildren();
    ASSERT_EQ(item->GetState(), ItemHyperio::kHoming);
    item->SetPosition(ship->GetPosition()->x, ship->GetPosition()->y);
    UpdateChildren();
    EXPECT_EQ(*item->GetPosition(), *ship->GetPosition());
}

TEST_F(ItemTest, BoxesDoubleWhileTheShipIsInItsGrabusterState) {
    std::vector<GameObject*> items = {
        Make<ItemGrabuster>(Vector2{0.0f, 100.0f}, 0u, 0),
        Make<ItemHyperio>(Vector2{0.0f, 100.0f}, uint8_t{1}),
        Make<ItemPowerUp>(Vector2{0.0f, 100.0f}),
        Make<ItemSecretWeapon>(10u, 400u, 241u),
        Make<ItemMapObject>(nullptr, 10u, 400u, 254u),
    };
    const Vector2 boxes[] = {{80, 80}, {60, 60}, {60, 90}, {96, 96}, {96, 96}};
    for (GameObject* item : items) {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetCollisionGroup(), 1u);
    }
    EXPECT_EQ(items[4]->GetKind(), 0u) << "the map object's reward is of no kind";
    EXPECT_EQ(items[0]->GetKind(), 1u);
    for (uint8_t state : {Player::kNormal, Player::kGrabuster}) {
        ship->state = state;
        for (size_t i = 0; i < items.size(); ++i) {
            items[i]->Update();
            const float k = state == Player::kGrabuster ? 2.0f : 1.0f;
            EXPECT_EQ(BoxOf(items[i]), boxes[i] * k) << i << " in state " << int(state);
            const HitShape& s = *items[i]->GetHitShape();
            EXPECT_EQ((s.minX + s.maxX) / 2, items[i]->GetScreenPosition()->x) << "centred";
        }
    }
    ship->state = Player::kNormal;
}

// The Hyperio item's drift decides where it goes and whether it is taken:
// it comes from the play stream, which replays, not the cosmetic one.
TEST_F(ItemTest, AHyperioItemDriftsByThePlayStream) {
    Mireku::Common::Random play = world.random->Stream(RandomManager::kPlay);
    const Mireku::Common::Random cosmetic = world.random->Stream(RandomManager::kPresentation);
    const uint32_t word = play.Next();
    auto* item = Make<ItemHyperio>(Vector2{0.0f, 300.0f}, uint8_t{0});
    uint32_t bits = 0x3F800000u | (word & 0x7FFFFFu);
    float r = 0.0f;
    std::memcpy(&r, &bits, 4);
    EXPECT_TRUE(Near({item->GetVelocity().x, item->GetVelocity().y}, {(r - 1) * 4 - 2, -3}));
    EXPECT_EQ(world.random->Stream(RandomManager::kPresentation).x, cosmetic.x);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, play.x) << "one word of stream 1";
}

TEST_F(ItemTest, AHyperioItemFloatsWhileTheShotIsHeldAndHomesWhenLetGo) {
    PlayWords(StageInput::kShot, 20);
    Frame(); // the director reads its first word
    auto* item = Make<ItemHyperio>(Vector2{0.0f, 300.0f}, uint8_t{0});
    EXPECT_EQ(item->GetState(), ItemHyperio::kFloat) << "flag 0: no appearance";
    const Vector2 v0 = item->GetVelocity();
    Frame();
    EXPECT_FLOAT_EQ(item->GetPosition()->y, 297.0f) << "up at 3";
    EXPECT_FLOAT_EQ(item->GetVelocity().y, -2.8f) << "falling back by 0.2";
    EXPECT_FLOAT_EQ(item->GetPosition()->x, v0.x);
    Frames(5);
    EXPECT_EQ(item->GetState(), ItemHyperio::kFloat);
    // The shot let go: it flies home.
    world.gw->FreeReplayBuffer();
    world.gw->playing = 0;
    Frame();
    EXPECT_EQ(item->GetState(), ItemHyperio::kHoming);
    const float y = item->GetPosition()->y;
    Frame();
    EXPECT_NEAR(item->GetPosition()->y, y + 20.0f, 1.0f);

    // With its appearance: five pictures of three frames, then it floats.
    auto* shown = Make<ItemHyperio>(Vector2{0.0f, 300.0f}, uint8_t{1});
    EXPECT_EQ(shown->GetState(), ItemHyperio::kAppear);
    UpdateChildren(14);
    EXPECT_EQ(shown->GetState(), ItemHyperio::kAppear);
    UpdateChildren();
    EXPECT_NE(shown->GetState(), ItemHyperio::kAppear);
}

TEST_F(ItemTest, AHyperioItemFillsTheGaugeToItsMaximumAndShowsTheLevel) {
    const ShipParamRow* row = Player::ShipRow();
    ASSERT_NE(row, nullptr);
    PlayerWork& p = world.gw->player;
    p.hyperioGauge = static_cast<int16_t>(row->hyperioMax - 25);
    p.score = 0;
    auto* item = Make<ItemHyperio>(Vector2{0.0f, 300.0f}, uint8_t{0});
    const uint32_t sounds = Sounds(28);
    item->OnCollision(ship);
    EXPECT_EQ(p.hyperioGauge, row->hyperioMax) << "40 more, at most the ship's maximum";
    EXPECT_EQ(ship->grabFramesLeft, (row->hyperioMax + row->hyperioDrain - 1) / row->hyperioDrain);
    EXPECT_EQ(ship->grabLastBeep, 100);
    EXPECT_EQ(Sounds(28), sounds + 1);
    EXPECT_EQ(p.score, 1000u) << "the mode's Hyperio score";
    EXPECT_FALSE(item->IsAlive());
}

TEST_F(ItemTest, APowerUpSwaysSinksAndRaisesTheLevel) {
    auto* item = Make<ItemPowerUp>(Vector2{290.0f, 100.0f});
    std::vector<uint32_t> frames;
    for (int i = 0; i < 3; ++i) {
        UpdateChildren();
        frames.push_back(item->GetFrame());
    }
    // 293, 296 (not past 296), then 299 held at 296 and turned.
    EXPECT_EQ(item->GetPosition()->x, 296.0f);
    EXPECT_EQ(item->GetState(), ItemPowerUp::kLeft);
    EXPECT_NEAR(item->GetPosition()->y, 102.1f, 1e-4f);
    UpdateChildren();
    EXPECT_EQ(item->GetPosition()->x, 293.0f);
    frames.push_back(item->GetFrame());
    for (int i = 0; i < 12; ++i) {
        UpdateChildren();
        frames.push_back(item->GetFrame());
    }
    EXPECT_EQ(frames, (std::vector<uint32_t>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 0}));

    PlayerWork& p = world.gw->player;
    p.power = 1;
    item->OnCollision(ship);
    EXPECT_EQ(p.power, 2);
    EXPECT_EQ(p.invincible, 1);
    EXPECT_EQ(p.invincibleTimer, 90) << "the mode's power-up protection";
    EXPECT_EQ(Count<PowerUpEffect>(), 1u);
    // The item a continue drops puts the level back to 2 first.
    p.power = 0;
    auto* carried = Make<ItemPowerUp>(Vector2{0.0f, 100.0f});
    carried->carried = 1;
    carried->OnCollision(ship);
    EXPECT_EQ(p.power, 3);
}

// Items 254, 255 and 256 give 1, 3 and 5 lives, never past 256; 257 fills
// both gauges, 258 the Hyperio gauge, each sounding 106 only in its own ex
// weapon (the laser, the Grabuster); any other type gives nothing. The
// carrier goes with the item; the item's shape stays on.
TEST_F(ItemTest, MapRewardsGiveLivesUpTo256AndFullGauges) {
    struct Reward {
        uint32_t type;
        uint8_t state;
        int16_t lives, livesAfter;
        bool barion, hyperio, full;
    };
    const uint8_t n = Player::kNormal, l = Player::kBarionLaser, g = Player::kGrabuster;
    for (const Reward r :
         {Reward{254, n, 2, 3, false, false, false}, Reward{255, n, 2, 5, false, false, false},
          Reward{256, n, 254, 256, false, false, false},
          Reward{254, n, 256, 256, false, false, false}, Reward{257, l, 3, 3, true, true, true},
          Reward{257, n, 3, 3, true, true, false}, Reward{258, g, 3, 3, false, true, true},
          Reward{258, l, 3, 3, false, true, false}, Reward{250, l, 3, 3, false, false, false}}) {
        SCOPED_TRACE(testing::Message() << r.type << " in state " << int(r.state));
        PlayerWork& p = Work();
        p.lives = r.lives;
        p.barionGauge = p.hyperioGauge = 0;
        sound->StopSE(106);
        ship->state = r.state;
        auto* carrier = Make<TestEnemyShot>(Vector2{});
        auto* item = Make<ItemMapObject>(carrier, 3u, 400u, r.type);
        item->OnCollision(ship);
        EXPECT_EQ(p.lives, r.livesAfter);
        EXPECT_EQ(p.barionGauge, r.barion ? world.gw->BarionGaugeMax(p) : 0);
        EXPECT_EQ(p.hyperioGauge, r.hyperio ? world.gw->HyperioGaugeMax(p) : 0);
        EXPECT_EQ(Sounds(106), r.full ? 1u : 0u);
        EXPECT_FALSE(carrier->IsAlive()) << "the carrier goes with it";
        EXPECT_FALSE(item->IsAlive());
        EXPECT_TRUE(item->IsHitShapeActive()) << "its shape stays on";
    }
    ship->state = Player::kNormal;
}

// The carrier may have gone from the stage (its countdown over, its block
// back in the pool) before its reward is taken; the reward must not touch it.
TEST_F(ItemTest, ARewardWhoseCarrierHasGoneLeavesItAlone) {
    auto* carrier = Make<TestEnemyShot>(Vector2{});
    auto* reward = Make<ItemMapObject>(carrier, 3u, 400u, 254u);
    carrier->Vanish();
    UpdateChildren(4);
    ASSERT_TRUE(ChildrenOf<TestEnemyShot>().empty()) << "deleted";
    world.gw->player.lives = 1;
    reward->OnCollision(ship);
    EXPECT_EQ(world.gw->player.lives, 2);
    EXPECT_FALSE(reward->IsAlive());
}

TEST_F(ItemTest, ASecretWeaponUnlocksOnceThenPays80000) {
    PlayerWork& p = world.gw->player;
    world.gw->subWeaponUnlocked = 1;
    p.score = 0;
    const uint32_t sounds = Sounds(14);
    auto* item = Make<ItemSecretWeapon>(5u, 400u, 243u);
    item->OnCollision(ship);
    EXPECT_TRUE(world.gw->IsSubWeaponUnlocked(2));
    EXPECT_EQ(p.subWeapon, 2);
    EXPECT_EQ(director->GetSecretWeaponFlag(), 1);
    EXPECT_EQ(director->GetSecretWeaponCounter(), 0);
    EXPECT_EQ(Sounds(14), sounds + 1);
    EXPECT_EQ(p.invincibleTimer, 90);
    EXPECT_EQ(p.score, 0u);
    // The same weapon again: points instead.
    p.invincibleTimer = 0;
    Frames(3); // past the sound's repeat guard
    Make<ItemSecretWeapon>(5u, 400u, 243u)->OnCollision(ship);
    EXPECT_EQ(p.score, 80000u);
    EXPECT_EQ(Count<PowerUpScore>(), 1u);
    EXPECT_EQ(p.invincibleTimer, 90);
    // Types 246 and 247 set bits 5 and 6 and leave the ship on a weapon it fires.
    for (const uint32_t type : {246u, 247u}) {
        Make<ItemSecretWeapon>(5u, 400u, type)->OnCollision(ship);
        EXPECT_EQ(world.gw->subWeaponUnlocked >> (type - 241) & 1u, 1u) << type;
        EXPECT_EQ(p.subWeapon, 2) << type;
    }
}

TEST_F(ItemTest, MapHeldItemsStayOnTheirCellAndGoBelowTheField) {
    world.Write(SampleData::StageMapPath(0), SampleData::BuildStageMap(0));
    DeleteDirector();
    Play();
    const BGParts* parts = director->GetBGParts();
    ASSERT_NE(parts, nullptr);
    ASSERT_EQ(parts->GetCellWidth(), 16);
    EnemyRecord& row = Row(241);
    row.trackA[0] = {0, 0, 31, 47}; // 32 x 48
    director->SetScrollRatio(0.0f);
    director->SetMapScroll(static_cast<float>(parts->GetScrollLength()));
    auto* item = Make<ItemSecretWeapon>(10u, 20u, 241u);
    // Cell (10, 20): top-left at field (160 - 128 - 360, 320), centre + (16, 24).
    EXPECT_EQ(*item->GetPosition(), (Vector2{-328.0f + 16.0f, 320.0f + 24.0f}));
    director->SetScrollRatio(1.0f);
    UpdateChildren();
    EXPECT_EQ(item->GetPosition()->x, -328.0f + 16.0f - 128.0f) << "moved with the map";
    EXPECT_FLOAT_EQ(item->GetFade(), 0.05f);
    EXPECT_FLOAT_EQ(item->GetPhase(), 0.02f);
    // Its cell's top past the bottom of the field: it goes.
    director->SetMapScroll(static_cast<float>(parts->GetScrollLength()) + 400.0f);
    UpdateChildren();
    EXPECT_TRUE(item->IsAlive()) << "top at 720 is still in";
    director->SetMapScroll(static_cast<float>(parts->GetScrollLength()) + 401.0f);
    UpdateChildren();
    EXPECT_FALSE(item->IsAlive());
}
