#include "game/core/GameObject.h"
#include "engine/common/Heap.h"
#include "support/ArenaFillSupport.h"
#include "support/AsanTestSupport.h"
#include "support/FieldRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Records the order of the tree operations.
std::vector<std::string> g_log;

class Probe : public GameObject {
public:
    Probe(const char* name, int* deaths = nullptr)
        : GameObject(nullptr), name_(name), deaths_(deaths) {}
    ~Probe() override {
        if (deaths_)
            ++*deaths_;
    }
    void PreUpdate() override { g_log.push_back(std::string("pre ") + name_); }
    void Update() override {
        g_log.push_back(std::string("update ") + name_);
        if (spawnOnUpdate) {
            spawnOnUpdate = false;
            Create<Probe>(this, "spawned", deaths_);
        }
        if (vanishOnUpdate)
            Vanish();
    }
    void Draw() override { g_log.push_back(std::string("draw ") + name_); }
    void OnMessage(int32_t m) override {
        g_log.push_back(std::string("msg ") + name_ + std::to_string(m));
    }

    bool spawnOnUpdate = false;
    bool vanishOnUpdate = false;

private:
    const char* name_;
    int* deaths_;
};

class Big : public GameObject {
public:
    Big() : GameObject(nullptr) {}
    uint8_t payload[800] = {};
};

class GameObjectTest : public testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        pool = GameObjectAllocator::CreateInstance();
        ASSERT_NE(pool, nullptr);
        ASSERT_TRUE(pool->Initialize());
    }
    void TearDown() override { GameObjectAllocator::DestroyInstance(); }
    GameObjectAllocator* pool = nullptr;
};

} // namespace

TEST_F(GameObjectTest, ExhaustedPoolCreatesNothingUntilABlockReturns) {
    static_assert(sizeof(Big) <= GameObjectAllocator::kBlockSize);
    Probe* root = GameObject::Create<Probe>(nullptr, "root");
    ASSERT_NE(root, nullptr);
    for (uint32_t i = 1; i < GameObjectAllocator::kBlockCount; ++i)
        ASSERT_NE(GameObject::Create<Big>(root), nullptr) << i;
    EXPECT_EQ(pool->LiveCount(), 32768u);
    EXPECT_EQ(GameObject::Create<Big>(root), nullptr);
    EXPECT_EQ(GameObject::Create<Probe>(root, "late"), nullptr);

    // Free one: exactly one more creation.
    root->GetFirstChild()->Vanish();
    for (int i = 0; i < 3; ++i)
        root->TickTree();
    EXPECT_EQ(pool->LiveCount(), 32767u);
    EXPECT_NE(GameObject::Create<Big>(root), nullptr);
    EXPECT_EQ(GameObject::Create<Big>(root), nullptr);

    // Deleting the root returns its whole subtree.
    delete root;
    EXPECT_EQ(pool->LiveCount(), 0u);
}

TEST_F(GameObjectTest, TreeOrderParentFirstSiblingsInCreationOrder) {
    Probe* root = GameObject::Create<Probe>(nullptr, "root");
    Probe* a = GameObject::Create<Probe>(root, "a");
    GameObject::Create<Probe>(a, "a1");
    GameObject::Create<Probe>(root, "b");
    a->spawnOnUpdate = true; // a child made during the pass updates in it
    root->TickTree();
    root->UpdateTree();
    root->DrawTree();
    root->MessageTree(7);
    const std::vector<std::string> expected = {
        "pre root", "pre a",     "pre a1",         "pre b",    "update root",
        "update a", "update a1", "update spawned", "update b", "draw root",
        "draw a",   "draw a1",   "draw spawned",   "draw b",   "msg root7",
        "msg a7",   "msg a17",   "msg spawned7",   "msg b7",
    };
    EXPECT_EQ(g_log, expected);
    delete root;
    EXPECT_EQ(pool->LiveCount(), 0u);
}

TEST_F(GameObjectTest, VanishCountdownAndReaping) {
    int deaths = 0;
    Probe* root = GameObject::Create<Probe>(nullptr, "root");
    Probe* a = GameObject::Create<Probe>(root, "a", &deaths);
    Probe* b = GameObject::Create<Probe>(root, "b", &deaths);
    a->vanishOnUpdate = true;
    root->UpdateTree();
    EXPECT_EQ(a->GetVanishCountdown(), 3);
    g_log.clear();
    root->UpdateTree();
    root->DrawTree();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update root", "update b", "draw root", "draw b"}));
    // A vanishing parent refuses children; the offered object is destroyed.
    EXPECT_EQ(GameObject::Create<Probe>(a, "refused", &deaths), nullptr);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(a->AddChild(nullptr), nullptr);
    root->TickTree();
    root->TickTree();
    EXPECT_EQ(root->GetFirstChild(), a);
    root->TickTree(); // third tick: dead and childless, deleted
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(root->GetFirstChild(), b);
    EXPECT_EQ(root->GetLastChild(), b);
    // The last child is reaped: the tail moves back.
    Probe* c = GameObject::Create<Probe>(root, "c", &deaths);
    c->Vanish();
    c->Vanish(); // no restart while counting
    EXPECT_EQ(c->GetVanishCountdown(), 3);
    for (int i = 0; i < 3; ++i)
        root->TickTree();
    EXPECT_EQ(root->GetLastChild(), b);
    Probe* d = GameObject::Create<Probe>(root, "d", &deaths);
    EXPECT_EQ(b->GetNextSibling(), d);
    delete root;
    EXPECT_EQ(pool->LiveCount(), 0u);
}

TEST_F(GameObjectTest, ADeadParentWaitsForItsChildren) {
    int deaths = 0;
    Probe* root = GameObject::Create<Probe>(nullptr, "root");
    Probe* p = GameObject::Create<Probe>(root, "p", &deaths);
    Probe* child = GameObject::Create<Probe>(p, "child", &deaths);
    p->Vanish();
    for (int i = 0; i < 3; ++i)
        root->TickTree();
    EXPECT_TRUE(p->IsDead());
    EXPECT_EQ(root->GetFirstChild(), p); // still linked
    g_log.clear();
    root->UpdateTree();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update root", "update child"}));
    child->Vanish();
    for (int i = 0; i < 3; ++i)
        root->TickTree();
    // The child goes in its third tick; the parent, childless once its own
    // tick has reaped it, right after in the same pass.
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(root->GetFirstChild(), nullptr);
    EXPECT_EQ(root->GetLastChild(), nullptr);
    delete root;
}

TEST_F(GameObjectTest, TimerCountsDownBeforeUpdate) {
    Probe* root = GameObject::Create<Probe>(nullptr, "root");
    root->timer = 2;
    root->UpdateTree();
    root->UpdateTree();
    root->UpdateTree();
    EXPECT_EQ(root->timer, 0);
    delete root;
}

TEST_F(GameObjectTest, PositionsAndHitShapes) {
    Probe* o = GameObject::Create<Probe>(nullptr, "o");
    EXPECT_EQ(o->GetScale(), 1.0f);
    EXPECT_EQ(o->GetAngle(), 0.0f);
    o->SetPosition(-360.0f, 0.0f);
    EXPECT_EQ(o->GetScreenPosition()->x, 0.0f);
    EXPECT_EQ(o->GetScreenPosition()->y, 0.0f);
    o->SetPositionFromVector({-260.0f, 50.0f});
    EXPECT_EQ(o->GetScreenPosition()->x, 100.0f);
    EXPECT_EQ(o->GetPosition()->x, -260.0f);

    o->SetHitBox(0, 0, 5, 4); // the odd unit goes to the right: 98 to 103
    const HitShape& s = *o->GetHitShape();
    EXPECT_EQ(s.kind, HitShape::kBox);
    EXPECT_EQ(s.minX, 98.0f);
    EXPECT_EQ(s.maxX, 103.0f);
    EXPECT_EQ(s.minY, 48.0f);
    EXPECT_EQ(s.maxY, 52.0f);
    EXPECT_FALSE(o->IsHitShapeActive());

    o->SetHitCircle(10.0f);
    EXPECT_EQ(s.kind, HitShape::kCircle);
    EXPECT_EQ(s.minX, 90.0f);
    EXPECT_EQ(s.maxY, 60.0f);
    o->SetHitSegment(-20.0f, 30.0f);
    EXPECT_EQ(s.kind, HitShape::kSegment);
    EXPECT_EQ(s.minX, 80.0f);
    EXPECT_EQ(s.maxX, 100.0f);
    EXPECT_EQ(s.minY, 50.0f);
    EXPECT_EQ(s.maxY, 80.0f);
    delete o;
}

TEST_F(GameObjectTest, ChainLevels) {
    Probe* o = GameObject::Create<Probe>(nullptr, "o");
    const struct {
        uint32_t set, level, score;
    } chains[] = {{9, 0, 32}, {35, 3, 256}, {1000, 4, 512}}; // hits / 10, at most 4
    for (const auto& c : chains) {
        o->SetChainLevel(c.set);
        EXPECT_EQ(o->GetChainLevel(), c.level) << c.set;
        EXPECT_EQ(GameObject::CurrentChainLevel(), c.level) << c.set;
        EXPECT_EQ(o->GetChainScore(), c.score) << c.set;
    }
    EXPECT_EQ(GameObject::ChainScore(99), 512u);
    delete o;
}

TEST(GameObjectPool, NoPoolMeansNoObject) {
    ASSERT_EQ(GameObjectAllocator::GetInstance(), nullptr);
    EXPECT_EQ(GameObject::Create<Big>(nullptr), nullptr);
}

namespace {

// The bytes of a free block after its free-list word, read past the
// sanitizer's poison.
size_t FreeBytesReading(uint8_t* block, uint8_t value) {
    uint8_t copy[GameObjectAllocator::kBlockSize];
#if defined(DREVANTH_TEST_ASAN)
    __asan_unpoison_memory_region(block, GameObjectAllocator::kBlockSize);
#endif
    std::memcpy(copy, block, sizeof copy);
#if defined(DREVANTH_TEST_ASAN)
    __asan_poison_memory_region(block + 4, GameObjectAllocator::kBlockSize - 4);
#endif
    return static_cast<size_t>(std::count(copy + 4, copy + sizeof copy, value));
}

} // namespace

// A test program's arena fill reaches the pool: a taken block reads the
// taken byte (pattern ^ 0xFF) whole, whatever its last object wrote, and a
// block given back (or never taken) reads the pattern after its free-list
// word. Without the fill a block taken again holds what its last object left.
TEST_F(GameObjectTest, PoolBlocksReadTheArenaFillInForce) {
    constexpr size_t kRest = GameObjectAllocator::kBlockSize - 4;
    for (const uint8_t pattern : {uint8_t{0xA5}, uint8_t{0x3C}}) {
        const arena_fill::Scoped fill(pattern);
        ASSERT_TRUE(pool->Initialize());
        auto* block = static_cast<uint8_t*>(pool->Allocate());
        ASSERT_NE(block, nullptr);
        const uint8_t taken = static_cast<uint8_t>(pattern ^ 0xFF);
        EXPECT_EQ(std::count(block, block + GameObjectAllocator::kBlockSize, taken),
                  GameObjectAllocator::kBlockSize);
        EXPECT_EQ(FreeBytesReading(block + GameObjectAllocator::kBlockSize, pattern), kRest)
            << "a block never taken";
        std::memset(block, 0x77, GameObjectAllocator::kBlockSize);
        pool->Free(block);
        EXPECT_EQ(FreeBytesReading(block, pattern), kRest) << "a block given back";
        ASSERT_EQ(pool->Allocate(), block);
        EXPECT_EQ(std::count(block, block + GameObjectAllocator::kBlockSize, taken),
                  GameObjectAllocator::kBlockSize);
        pool->Free(block);
    }
    const arena_fill::Scoped off(0);
    auto* block = static_cast<uint8_t*>(pool->Allocate());
    std::memset(block, 0x77, GameObjectAllocator::kBlockSize);
    pool->Free(block);
    ASSERT_EQ(pool->Allocate(), block);
    EXPECT_EQ(std::count(block + 4, block + GameObjectAllocator::kBlockSize, 0x77), kRest);
    pool->Free(block);
}

TEST_F(GameObjectTest, AFreedBlockIsPoisonedButForItsFreeListWord) {
#if !defined(DREVANTH_TEST_ASAN)
    GTEST_SKIP() << "the pool poisons only under AddressSanitizer";
#else
    auto* block = static_cast<uint8_t*>(pool->Allocate());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(__asan_region_is_poisoned(block, GameObjectAllocator::kBlockSize), nullptr)
        << "a block in use is whole";
    auto* neighbour = block + GameObjectAllocator::kBlockSize;
    EXPECT_EQ(__asan_address_is_poisoned(neighbour), 0) << "the free-list word of a free block";
    EXPECT_NE(__asan_address_is_poisoned(neighbour + 4), 0) << "the rest of a free block";
    pool->Free(block);
    EXPECT_EQ(__asan_address_is_poisoned(block), 0);
    EXPECT_EQ(__asan_address_is_poisoned(block + 3), 0);
    EXPECT_EQ(__asan_region_is_poisoned(block + 4, GameObjectAllocator::kBlockSize - 4), block + 4);
    EXPECT_NE(__asan_address_is_poisoned(block + GameObjectAllocator::kBlockSize - 1), 0);
    // Taken again, it is whole again.
    EXPECT_EQ(pool->Allocate(), block);
    EXPECT_EQ(__asan_region_is_poisoned(block, GameObjectAllocator::kBlockSize), nullptr);
    pool->Free(block);
#endif
}

// An object starts cleared whatever its block's last object left there: no
// timer, item counter or shots to turn into items, alive, chain level 0, no
// hit shape, at the field's top centre, unturned, at scale 1, unlinked.
TEST_F(GameObjectTest, ANewObjectStartsClearedWhateverItsBlockHeld) {
    Probe* last = GameObject::Create<Probe>(nullptr, "last");
    Probe* child = GameObject::Create<Probe>(last, "child");
    last->timer = 5;
    last->itemCounter = 6;
    last->shotsToHyperio = 7;
    last->shotsToGrabuster = 8;
    last->SetChainLevel(40);
    last->SetHitShapeActive(true);
    last->SetPosition(100.0f, 200.0f);
    last->SetHitCircle(9.0f);
    last->SetAngle(1.5f);
    last->SetScale(3.0f);
    last->SetCollisionLink(child);
    last->Vanish();
    last->TickTree();
    void* block = last;
    delete last;
    Probe* o = GameObject::Create<Probe>(nullptr, "o");
    ASSERT_EQ(static_cast<void*>(o), block) << "the block given back is taken again";
    const HitShape& s = *o->GetHitShape();
    testsupport::ExpectFields<double>({
        {"timer", double(o->timer), 0},
        {"item counter", double(o->itemCounter), 0},
        {"shots to Hyperio", double(o->shotsToHyperio), 0},
        {"shots to Grabuster", double(o->shotsToGrabuster), 0},
        {"alive (no vanish countdown)", double(o->IsAlive()), 1},
        {"dead", double(o->IsDead()), 0},
        {"chain level", double(o->GetChainLevel()), 0},
        {"hit shape active", double(o->IsHitShapeActive()), 0},
        {"hit shape kind", double(s.kind), HitShape::kNone},
        {"x", o->GetPosition()->x, 0},
        {"y", o->GetPosition()->y, 0},
        {"screen x", o->GetScreenPosition()->x, 360},
        {"screen y", o->GetScreenPosition()->y, 0},
        {"angle", o->GetAngle(), 0},
        {"scale", o->GetScale(), 1},
        {"first child", double(o->GetFirstChild() != nullptr), 0},
        {"next sibling", double(o->GetNextSibling() != nullptr), 0},
        {"collision link", double(o->GetCollisionLink() != nullptr), 0},
    });
    delete o;
}
