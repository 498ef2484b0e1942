#include "game/core/GameObject.h"
#include "game/stage/CollisionGroups.h"
#include "game/stage/ShapeOverlap.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

HitShape Circle(float x, float y, float r) {
    HitShape s;
    s.kind = HitShape::kCircle;
    s.data[0] = x, s.data[1] = y, s.data[2] = r;
    s.minX = x - r, s.minY = y - r, s.maxX = x + r, s.maxY = y + r;
    return s;
}
HitShape Box(float x0, float y0, float x1, float y1) {
    HitShape s;
    s.kind = HitShape::kBox;
    s.minX = x0, s.minY = y0, s.maxX = x1, s.maxY = y1;
    return s;
}
HitShape Segment(float x1, float y1, float x2, float y2) {
    HitShape s;
    s.kind = HitShape::kSegment;
    s.data[0] = x1, s.data[1] = y1, s.data[2] = x2, s.data[3] = y2;
    s.minX = std::min(x1, x2), s.maxX = std::max(x1, x2);
    s.minY = std::min(y1, y2), s.maxY = std::max(y1, y2);
    return s;
}

} // namespace

// Each pair tested both ways: kind 0 (and unknown kinds) never hit; circles
// only when one lies within the other; a circle and a box by the corners in
// the circle (all four inside is a miss); boxes and segments by bounding
// boxes; segments by crossing; a circle and a segment by the true distance.
TEST(ShapeOverlap, EveryPairOfKinds) {
    HitShape none = Box(0, 0, 100, 100), bogus = Box(0, 0, 100, 100);
    none.kind = HitShape::kNone;
    bogus.kind = 9;
    struct Row {
        HitShape a, b;
        bool hit;
        const char* what;
    };
    const Row rows[] = {
        {none, Circle(50, 50, 40), false, "kind 0 and a circle"},
        {none, Box(0, 0, 100, 100), false, "kind 0 and a box"},
        {none, Segment(0, 0, 100, 100), false, "kind 0 and a segment"},
        {none, none, false, "kind 0 twice"},
        {bogus, Box(0, 0, 100, 100), false, "an unknown kind"},
        {Circle(100, 100, 10), Circle(100, 100, 10), true, "equal circles"},
        {Circle(100, 100, 10), Circle(100.01f, 100, 10), false, "equal circles apart"},
        {Circle(100, 100, 30), Circle(110, 100, 5), true, "one inside the other"},
        {Circle(100, 100, 10), Circle(115, 100, 10), false, "overlapping, neither inside"},
        {Circle(100, 100, 10), Circle(300, 100, 500), true, "within a far larger one"},
        {Circle(100, 100, 20), Box(110, 110, 200, 200), true, "one corner inside"},
        {Circle(100, 100, 20), Box(90, 110, 110, 200), true, "two corners inside"},
        {Circle(100, 100, 50), Box(95, 95, 105, 105), false, "all four corners inside"},
        {Circle(100, 100, 15), Box(110, 0, 300, 300), false, "into a side without a corner"},
        {Circle(100, 100, 10), Box(110, 100, 200, 200), false, "a corner on the rim"},
        {Box(0, 0, 10, 10), Box(10, 10, 20, 20), true, "touching boxes"},
        {Box(0, 0, 10, 10), Box(10.5f, 0, 20, 10), false, "boxes apart"},
        {Segment(50, 0, 50, 100), Box(50, 40, 80, 60), true, "a segment on a box's edge"},
        {Segment(0, 0, 100, 100), Box(80, 0, 100, 10), true, "a diagonal's bounding box"},
        {Segment(0, 0, 100, 100), Box(101, 0, 120, 10), false, "past a diagonal's box"},
        {Segment(0, 0, 100, 100), Segment(0, 100, 100, 0), true, "crossing segments"},
        {Segment(0, 0, 100, 100), Segment(60, 0, 100, 30), false, "segments apart"},
        {Segment(0, 0, 100, 0), Segment(100, 0, 100, 50), true, "touching ends"},
        {Segment(0, 0, 100, 0), Segment(50, 0, 150, 0), true, "collinear overlap"},
        {Segment(0, 0, 100, 0), Segment(101, 0, 150, 0), false, "collinear apart"},
        {Circle(90, 10, 8), Segment(0, 0, 100, 100), false, "boxes overlap, the line passes"},
        {Circle(50, 45, 8), Segment(0, 0, 100, 100), true, "a segment through a circle"},
        {Circle(105, 100, 6), Segment(0, 100, 100, 100), true, "beyond an end: the end"},
        {Circle(107, 100, 6), Segment(0, 100, 100, 100), false, "beyond an end, too far"},
        {Circle(50, 50, 40), Segment(45, 50, 55, 50), true, "a segment inside a circle"},
        {Circle(50, 50, 5), Segment(52, 50, 52, 50), true, "a degenerate segment"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ShapeOverlap::Test(r.a, r.b), r.hit) << r.what;
        EXPECT_EQ(ShapeOverlap::Test(r.b, r.a), r.hit) << r.what << ", the other way";
    }
}

namespace {

class Hittable : public GameObject {
public:
    Hittable(uint32_t group, int turnOffAfter = -1)
        : GameObject(nullptr), group_(group), turnOff_(turnOffAfter) {
        SetHitShapeActive(true);
    }
    uint32_t GetCollisionGroup() const override { return group_; }
    void OnCollision(GameObject* other) override {
        hits.push_back(other);
        if (turnOff_ >= 0 && static_cast<int>(hits.size()) > turnOff_)
            SetHitShapeActive(false);
    }
    std::vector<GameObject*> hits;

private:
    uint32_t group_;
    int turnOff_;
};

class CollisionTest : public testing::Test {
protected:
    void SetUp() override {
        GameObjectAllocator::CreateInstance();
        ASSERT_TRUE(GameObjectAllocator::GetInstance()->Initialize());
        root = GameObject::Create<Hittable>(nullptr, 0u);
    }
    void TearDown() override {
        delete root;
        GameObjectAllocator::DestroyInstance();
    }
    Hittable* Make(uint32_t group, float x, float y, float r, int turnOff = -1) {
        Hittable* h = GameObject::Create<Hittable>(root, group, turnOff);
        h->SetPosition(x, y);
        h->SetHitCircle(r);
        lists.Register(group, h);
        return h;
    }
    GameObject* root = nullptr;
    CollisionGroups lists;
};

} // namespace

TEST_F(CollisionTest, PairsAreTestedBothWaysOnlyWhilePlaying) {
    Hittable* player = Make(CollisionGroups::kPlayer, 0, 300, 20);
    Hittable* bullet = Make(CollisionGroups::kEnemyShots, 0, 300, 5 + 0.0f);
    // Equal radii at the same centre hit; make the player's larger so the
    // bullet lies within it.
    lists.RunPass(1); // paused
    lists.RunPass(2); // continue countdown
    EXPECT_TRUE(player->hits.empty());
    lists.RunPass(0);
    ASSERT_EQ(player->hits.size(), 1u);
    EXPECT_EQ(player->hits[0], bullet);
    ASSERT_EQ(bullet->hits.size(), 1u);
    EXPECT_EQ(bullet->hits[0], player);
}

TEST_F(CollisionTest, PlayerShotsNeverMeetEnemyShotsButStrongWeaponsDo) {
    Hittable* shot = Make(CollisionGroups::kPlayerShots, 0, 300, 30);
    Hittable* strong = Make(CollisionGroups::kStrongWeapons, 0, 300, 30);
    Hittable* bullet = Make(CollisionGroups::kEnemyShots, 0, 300, 4);
    lists.RunPass(0);
    EXPECT_TRUE(shot->hits.empty());
    ASSERT_EQ(strong->hits.size(), 1u);
    EXPECT_EQ(bullet->hits.size(), 1u);
}

TEST_F(CollisionTest, AHandlerTurningItsShapeOffTakesNoMoreHits) {
    Hittable* bullet = Make(CollisionGroups::kEnemyShots, 0, 300, 4, 0);
    Hittable* w1 = Make(CollisionGroups::kStrongWeapons, 0, 300, 30);
    Hittable* w2 = Make(CollisionGroups::kStrongWeapons, 0, 300, 30);
    lists.RunPass(0);
    EXPECT_EQ(bullet->hits.size(), 1u);
    EXPECT_EQ(w1->hits.size() + w2->hits.size(), 1u);

    // As the first of a pair: the rest of the other list is skipped.
    lists.Clear();
    Hittable* player = Make(CollisionGroups::kPlayer, 0, 300, 40, 0);
    Make(CollisionGroups::kEnemies, 0, 300, 10);
    Make(CollisionGroups::kEnemies, 0, 300, 10);
    lists.RunPass(0);
    EXPECT_EQ(player->hits.size(), 1u);
}

TEST_F(CollisionTest, RegistrationRules) {
    Hittable* off = GameObject::Create<Hittable>(root, CollisionGroups::kEnemies);
    off->SetPosition(0, 300);
    off->SetHitCircle(5);
    off->SetHitShapeActive(false);
    lists.Register(CollisionGroups::kEnemies, off);
    EXPECT_EQ(lists.Head(CollisionGroups::kEnemies), nullptr);

    Make(CollisionGroups::kNone, 0, 300, 5);
    EXPECT_EQ(lists.Head(0), nullptr);
    Make(CollisionGroups::kEnemies, -400, 300, 5); // wholly left of the field
    Make(CollisionGroups::kEnemies, 0, 740, 5);    // below
    EXPECT_EQ(lists.Head(CollisionGroups::kEnemies), nullptr);
    Hittable* edge = Make(CollisionGroups::kEnemies, -370, 300, 10); // touching x 0
    Hittable* second = Make(CollisionGroups::kEnemies, 0, 300, 10);
    EXPECT_EQ(lists.Head(CollisionGroups::kEnemies), edge);
    EXPECT_EQ(edge->GetCollisionLink(), second);
    EXPECT_EQ(second->GetCollisionLink(), nullptr);
    lists.Register(9, second);
    lists.Register(CollisionGroups::kEnemies, second); // twice in a frame: still one entry
    EXPECT_EQ(second->GetCollisionLink(), nullptr);
    lists.Clear();
    for (uint32_t g = 0; g < CollisionGroups::kGroupCount; ++g)
        EXPECT_EQ(lists.Head(g), nullptr);
}

TEST_F(CollisionTest, ASecondRegistrationInAPassIsIgnoredWhereverTheObjectStands) {
    Hittable* a = Make(CollisionGroups::kEnemies, 0, 300, 10);
    Hittable* b = Make(CollisionGroups::kEnemies, 0, 300, 10);
    Hittable* c = Make(CollisionGroups::kEnemies, 0, 300, 10);
    lists.Register(CollisionGroups::kEnemies, a); // the head again
    lists.Register(CollisionGroups::kEnemies, b); // the middle again
    lists.Register(CollisionGroups::kItems, c);   // the tail, in another group
    std::vector<GameObject*> listed;
    for (GameObject* o = lists.Head(CollisionGroups::kEnemies); o && listed.size() < 10;
         o = o->GetCollisionLink())
        listed.push_back(o);
    EXPECT_EQ(listed, (std::vector<GameObject*>{a, b, c}));
    EXPECT_EQ(lists.Head(CollisionGroups::kItems), nullptr);
    Hittable* shot = Make(CollisionGroups::kStrongWeapons, 0, 300, 40);
    lists.RunPass(0);
    EXPECT_EQ(shot->hits.size(), 3u) << "each enemy is met once";

    // The next frame's registrations start afresh.
    lists.Clear();
    lists.Register(CollisionGroups::kEnemies, b);
    lists.Register(CollisionGroups::kEnemies, a);
    EXPECT_EQ(lists.Head(CollisionGroups::kEnemies), b);
    EXPECT_EQ(b->GetCollisionLink(), a);
    EXPECT_EQ(a->GetCollisionLink(), nullptr);
}
