// The enemy factory under the timeline's own dispatch: every type number
// gives its class, the formation types make their formations (type 9
// groups, rings, pairs, swarms), bosses come at (0, 0), generators repeat
// and go; and the type 9 group's members: entering, escaping, charging.
#include "game/enemy/EnemyFactory.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/EnemyGenerator.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/large/EnemyL015.h"
#include "game/enemy/large/EnemyL016.h"
#include "game/enemy/large/EnemyL017.h"
#include "game/enemy/large/EnemyL018.h"
#include "game/enemy/map/EnemyO001.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS005.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS011.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "game/stage/GameObjectTimeline.h"
#include "support/StageRig.h"

#include <cmath>
#include <deque>
#include <numbers>
#include <typeinfo>

namespace {

using namespace stage_test;

using Member = EnemyS005::EnemyS005_Member;

constexpr float kPi = std::numbers::pi_v<float>;

class EnemyFactoryTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Play();
        director->SetScrollRatio(0.0f);
        world.random->SeedFixed();
    }
    // An entry handed to the timeline's dispatch; kept for the generators
    // that read it later.
    const TimelineEntry& Dispatch(int16_t type, int16_t count, uint16_t interval = 10,
                                  int16_t x = 0, int16_t y = 100) {
        TimelineEntry e{};
        e.frame = 1;
        e.type = type;
        e.x = x;
        e.y = y;
        e.count = count;
        e.interval = interval;
        entries.push_back(e);
        director->GetTimeline()->SpawnEntry(entries.back());
        return entries.back();
    }
    // The children appended after `mark` (null: all of them).
    std::vector<GameObject*> After(GameObject* mark) const {
        std::vector<GameObject*> out;
        for (GameObject* c = mark ? mark->GetNextSibling() : director->GetFirstChild(); c;
             c = c->GetNextSibling())
            out.push_back(c);
        return out;
    }
    // What one count-1 entry of `type` makes, checked to be `count` objects
    // of exactly class T.
    template <class T> void ExpectMakes(int16_t type, size_t count = 1) {
        GameObject* mark = director->GetLastChild();
        Dispatch(type, 1);
        const std::vector<GameObject*> made = After(mark);
        ASSERT_EQ(made.size(), count) << "type " << type;
        for (GameObject* o : made)
            EXPECT_EQ(typeid(*o), typeid(T)) << "type " << type;
        for (GameObject* o : made)
            o->Vanish();
    }
    std::vector<Member*> Members() const { return ChildrenOf<Member>(); }

    std::deque<TimelineEntry> entries;
};

} // namespace

TEST_F(EnemyFactoryTest, EveryTypeNumberGivesItsClass) {
    for (int16_t t = 4; t <= 6; ++t)
        ExpectMakes<EnemyS003>(t);
    ExpectMakes<EnemyS004>(7);
    ExpectMakes<EnemyS004>(8);
    ExpectMakes<EnemyS009>(16);
    ExpectMakes<EnemyS009>(17);
    ExpectMakes<EnemyS010>(18);
    ExpectMakes<EnemyS012>(21);
    ExpectMakes<EnemyS015>(24);
    for (int16_t t = 31; t <= 33; ++t)
        ExpectMakes<EnemyS018>(t);
    ExpectMakes<EnemyL015>(75);
    ExpectMakes<EnemyL016>(76);
    for (int16_t t = 264; t <= 279; ++t)
        ExpectMakes<EnemyO001>(t);
    for (int16_t t = 295; t <= 310; ++t)
        ExpectMakes<EnemyO001>(t);
    // Every other number the sample tables have rows for: the common enemy.
    for (int16_t t : {0,  1,  2,  3,  10,  11,  12,  13,  22,  23,  25, 30,
                      34, 50, 74, 79, 170, 199, 200, 240, 263, 293, 294})
        ExpectMakes<EnemyDefault>(t);
    // Formation types with a count of 1, and numbers without a row, make nothing.
    for (int16_t t : {9, 14, 15, 19, 20, 311, 400, -3})
        ExpectMakes<EnemyDefault>(t, 0);
}

TEST_F(EnemyFactoryTest, SwarmsHoldTwentyToThirtyFromThePlayStream) {
    for (int16_t type : {77, 78}) {
        const uint32_t expected = PeekPlay(1)[0] % 11 + 20;
        GameObject* mark = director->GetLastChild();
        Dispatch(type, 1);
        const std::vector<GameObject*> made = After(mark);
        ASSERT_EQ(made.size(), expected);
        EXPECT_GE(made.size(), 20u);
        EXPECT_LE(made.size(), 30u);
        for (GameObject* o : made) {
            EXPECT_EQ(typeid(*o), type == 77 ? typeid(EnemyL017) : typeid(EnemyL018));
            const Vector2 spawn = static_cast<EnemyDefault*>(o)->GetSpawn();
            EXPECT_EQ(spawn.y, 0.0f);
            EXPECT_GE(spawn.x, -460.0f);
            EXPECT_LT(spawn.x, 460.0f);
        }
    }
}

TEST_F(EnemyFactoryTest, O001IsPlacedOnTheTopEdgeAtARandomX) {
    for (int i = 0; i < 20; ++i) {
        GameObject* mark = director->GetLastChild();
        Dispatch(264, 1, 10, 300, 400);
        const std::vector<GameObject*> made = After(mark);
        ASSERT_EQ(made.size(), 1u);
        const Vector2 spawn = static_cast<EnemyDefault*>(made[0])->GetSpawn();
        EXPECT_EQ(spawn.y, 0.0f) << "the entry's position is not used";
        EXPECT_GE(spawn.x, -410.0f);
        EXPECT_LT(spawn.x, 310.0f);
    }
}

TEST_F(EnemyFactoryTest, ABossComesWhereverTheEntrySaysThenItsParts) {
    GameObject* mark = director->GetLastChild();
    Dispatch(280, 1, 0, 250, 333);
    std::vector<GameObject*> made = After(mark);
    ASSERT_GE(made.size(), 2u);
    auto* boss = dynamic_cast<EnemyBoss01*>(made[0]);
    ASSERT_NE(boss, nullptr) << "the body first";
    for (size_t i = 1; i < made.size(); ++i)
        EXPECT_NE(dynamic_cast<EnemyBossBarrel*>(made[i]), nullptr) << "then its parts";
    const Vector2 at = *boss->GetPosition();
    for (GameObject* o : made)
        o->Vanish();
    Frames(4);
    // The same body from an entry at the origin stands at the same place.
    mark = director->GetLastChild();
    Dispatch(280, 1, 0, 0, 0);
    made = After(mark);
    ASSERT_GE(made.size(), 2u);
    EXPECT_EQ(*made[0]->GetPosition(), at);
}

TEST_F(EnemyFactoryTest, GeneratorsRepeatTheirEntryAndGoAfterTheirCount) {
    // Each spawn's enemy: the entry's type at the entry's place, a child of
    // the director (its last child at that moment).
    const auto expectNewEnemy = [](GameObject* made) {
        auto* enemy = dynamic_cast<EnemyDefault*>(made);
        ASSERT_NE(enemy, nullptr);
        EXPECT_EQ(enemy->GetType(), 10);
        EXPECT_EQ(enemy->GetSpawn(), (Vector2{0.0f, 100.0f}));
    };
    Dispatch(10, 3, 5);
    std::vector<EnemyGenerator*> gens = ChildrenOf<EnemyGenerator>();
    ASSERT_EQ(gens.size(), 1u);
    EnemyGenerator* gen = gens[0];
    EXPECT_EQ(gen->GetSpawned(), 1) << "its first at once, made inside its constructor";
    GameObject* first = director->GetFirstChild();
    while (first && first->GetNextSibling() != gen)
        first = first->GetNextSibling();
    expectNewEnemy(first);
    for (int f = 1; f <= 4; ++f)
        UpdateChildren();
    EXPECT_EQ(gen->GetSpawned(), 1);
    GameObject* last = director->GetLastChild();
    UpdateChildren();
    EXPECT_EQ(gen->GetSpawned(), 2) << "then every interval frames";
    EXPECT_NE(director->GetLastChild(), last);
    expectNewEnemy(director->GetLastChild());
    EXPECT_TRUE(gen->IsAlive());
    for (int f = 1; f <= 5; ++f)
        UpdateChildren();
    EXPECT_EQ(gen->GetSpawned(), 3);
    expectNewEnemy(director->GetLastChild());
    EXPECT_FALSE(gen->IsAlive()) << "gone after its count";
}

TEST_F(EnemyFactoryTest, AGeneratorOfCountZeroNeverEnds) {
    Dispatch(10, 0, 2);
    EnemyGenerator* gen = ChildrenOf<EnemyGenerator>()[0];
    UpdateChildren(40);
    EXPECT_TRUE(gen->IsAlive());
    EXPECT_EQ(gen->GetSpawned(), 21);
}

TEST_F(EnemyFactoryTest, ARingOfNSurroundsThePlayerAtEvenAngles) {
    Player* p = PlaceShip({-20.0f, 400.0f});
    ASSERT_NE(p, nullptr);
    Dispatch(14, 8);
    std::vector<EnemyS008*> ring = ChildrenOf<EnemyS008>();
    ASSERT_EQ(ring.size(), 8u);
    const Vector2 centre = director->GetPlayerPosition();
    for (size_t i = 0; i < ring.size(); ++i) {
        const float a = static_cast<float>(i) * 2.0f * kPi / 8.0f;
        EXPECT_NEAR(ring[i]->GetRingAngle(), a, 1e-5f);
        EXPECT_NEAR(ring[i]->GetPosition()->x, centre.x + 360.0f * std::cos(a), 1e-2f);
        EXPECT_NEAR(ring[i]->GetPosition()->y, centre.y + 360.0f * std::sin(a), 1e-2f);
    }
    Dispatch(15, 3);
    EXPECT_EQ(Count<EnemyS008>(), 11u);
}

TEST_F(EnemyFactoryTest, PairsComeFromTheLowerCornersCountHalved) {
    Dispatch(19, 3);
    std::vector<EnemyS011*> pair = ChildrenOf<EnemyS011>();
    ASSERT_EQ(pair.size(), 2u) << "a count of 3 makes one pair";
    EXPECT_TRUE(Near({pair[0]->GetSpawn().x, pair[0]->GetSpawn().y, pair[1]->GetSpawn().x,
                      pair[1]->GetSpawn().y},
                     {-360.0f, 624.0f, 360.0f, 624.0f}));
    Dispatch(20, 6);
    EXPECT_EQ(Count<EnemyS011>(), 8u);
}

TEST_F(EnemyFactoryTest, AGroupReleasesCountLessOneMembersTheFirstOneIntervalOn) {
    Row(9).moveParams[1] = 0; // never charges
    for (int16_t count : {2, 5}) {
        Row(9).speed = 1;
        Dispatch(9, count, 10, 0, 300);
        std::vector<EnemyS005*> groups = ChildrenOf<EnemyS005>();
        EnemyS005* group = groups.back();
        EXPECT_EQ(group->GetMemberCount(), 0);
        for (int f = 1; f <= 9; ++f)
            UpdateChildren();
        EXPECT_EQ(group->GetMemberCount(), 0);
        UpdateChildren();
        EXPECT_EQ(group->GetMemberCount(), 1);
        for (int f = 11; f <= 100; ++f)
            UpdateChildren();
        EXPECT_EQ(group->GetMemberCount(), count - 1);
        EXPECT_EQ(group->GetSpawned(), count);
        for (Member* m : Members())
            m->Vanish();
        Frames(4);
    }
}

TEST_F(EnemyFactoryTest, MembersEnterAwayFromThePlayerAndBounceOnce) {
    EnemyRecord& r = Row(9);
    r.mirror = 0;
    r.speed = 100;       // 16 pixels a frame
    r.moveParams[1] = 0; // a threshold of 0 never charges
    director->SetPlayerPose(200.0f, 704.0f, 1.0f);
    Dispatch(9, 2, 1, 0, 600);
    UpdateChildren();
    ASSERT_EQ(Members().size(), 1u);
    Member* m = Members()[0];
    EXPECT_EQ(m->GetSpawn().x, -360.0f) << "the side away from the player";
    EXPECT_EQ(m->GetState(), Member::kFromLeft);
    EXPECT_FLOAT_EQ(m->GetHeading(), kPi / 4.0f);
    float bounced = 0.0f;
    for (int f = 0; f < 200 && m->IsAlive(); ++f) {
        UpdateChildren();
        if (bounced == 0.0f && m->GetHeading() != kPi / 4.0f) {
            bounced = m->GetHeading();
            EXPECT_GE(m->GetPosition()->y, 720.0f);
        }
    }
    EXPECT_FLOAT_EQ(bounced, 7.0f * kPi / 4.0f) << "up-right off the bottom";
    EXPECT_FALSE(m->IsAlive());
    EXPECT_TRUE(m->HasEscaped());
}

TEST_F(EnemyFactoryTest, EscapedMembersLowerTheThresholdAndNeverProvokeACharge) {
    EnemyRecord& r = Row(9);
    r.mirror = 0;
    r.speed = 100;
    r.moveParams[1] = 2; // charge threshold
    Dispatch(9, 3, 1, 0, 650);
    EnemyS005* group = ChildrenOf<EnemyS005>()[0];
    EXPECT_EQ(group->GetChargeThreshold(), 2);
    for (int f = 0; f < 300 && group->IsAlive(); ++f) {
        Frame();
        for (Member* m : Members())
            EXPECT_NE(m->GetState(), Member::kCharge);
    }
    EXPECT_EQ(group->GetChargeThreshold(), 0) << "both escaped";
    EXPECT_FALSE(group->IsAlive()) << "its list is empty";
}

TEST_F(EnemyFactoryTest, KilledMembersDoNotLowerTheThresholdAndTheRestCharge) {
    EnemyRecord& r = Row(9);
    r.mirror = 0;
    r.speed = 1; // 0.16 pixels a frame: they stay
    r.health = 10;
    r.moveParams[1] = 3;  // charge below 3 members
    r.moveParams[2] = 50; // charge speed 8
    Dispatch(9, 5, 1, 0, 300);
    Frames(4);
    EnemyS005* group = ChildrenOf<EnemyS005>()[0];
    ASSERT_EQ(group->GetMemberCount(), 4);
    Hit(Members()[0], 10);
    Frames(5);
    EXPECT_EQ(group->GetMemberCount(), 3);
    EXPECT_EQ(group->GetChargeThreshold(), 3);
    for (Member* m : Members()) {
        if (m->IsAlive()) {
            EXPECT_NE(m->GetState(), Member::kCharge) << "3 left is not below 3";
        }
    }
    Member* second = Members()[0];
    Hit(second, 10);
    Frames(5);
    EXPECT_EQ(group->GetMemberCount(), 2);
    EXPECT_EQ(group->GetChargeThreshold(), 3);
    for (Member* m : Members()) {
        EXPECT_EQ(m->GetState(), Member::kCharge);
        EXPECT_FLOAT_EQ(m->GetSpeed(), 8.0f);
    }
}

TEST_F(EnemyFactoryTest, AChargingMemberThatMissesGoesOffTheFieldNotEscaped) {
    EnemyRecord& r = Row(9);
    r.mirror = 0;
    r.speed = 1;
    r.moveParams[1] = 5;
    r.moveParams[2] = 100;
    Dispatch(9, 2, 1, 0, 300);
    Frame();
    EnemyS005* group = ChildrenOf<EnemyS005>()[0];
    ASSERT_EQ(Members().size(), 1u);
    Member* m = Members()[0];
    Frame();
    ASSERT_EQ(m->GetState(), Member::kCharge);
    for (int f = 0; f < 200 && m->IsAlive(); ++f)
        Frame();
    EXPECT_FALSE(m->IsAlive());
    EXPECT_FALSE(m->HasEscaped());
    Frames(5);
    EXPECT_EQ(group->GetChargeThreshold(), 5);
    EXPECT_FALSE(group->IsAlive());
}

TEST_F(EnemyFactoryTest, ATypeNineGroupWithoutItsRowIsNotMade) {
    GlobalWork& gw = *world.gw;
    TableBlob& table = gw.tables.enemy[gw.mode * GameTables::kStageCount + gw.stage];
    table.size = 9 * sizeof(EnemyRecord);
    Dispatch(9, 5);
    Dispatch(14, 4);
    Dispatch(19, 4);
    EXPECT_TRUE(ChildrenOf<EnemyS005>().empty());
    EXPECT_TRUE(ChildrenOf<EnemyS008>().empty());
    EXPECT_TRUE(ChildrenOf<EnemyS011>().empty());
}
