// The stage timeline: entries by frame and in table order, the halt, the
// generators and formations, and the types it makes nothing of.
#include "game/enemy/EnemyDefault.h"
#include "game/enemy/EnemyGenerator.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

// A timeline of its own for mode 1, stage 0; its director never updates, so
// only this timeline runs.
class TimelineTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector(1, 0);
        // Enemies follow the sample paths; the ones without stay in their
        // countdown a few frames.
        for (uint16_t i = 0; i < 4; ++i) {
            const std::vector<uint8_t> bytes = SampleData::SamplePathFile(i);
            std::vector<Vector2> points(bytes.size() / 8);
            if (!points.empty())
                std::memcpy(points.data(), bytes.data(), points.size() * 8);
            InstallPath(i, points);
        }
        timeline = GameObject::Create<GameObjectTimeline>(director, director);
        ASSERT_NE(timeline, nullptr);
    }
    // Entries of (frame, type, x on the 0-720 scale, y, count, interval).
    void UseEntries(std::initializer_list<TimelineEntry> entries) {
        std::vector<uint8_t> bytes;
        for (const TimelineEntry& e : entries)
            SampleData::AppendRow(bytes, e);
        TableBlob& slot = world.gw->tables.timeline[1 * GameTables::kStageCount + 0];
        Mireku::Common::Heap::LockedFree(slot.data);
        slot = GameTables::FinishTimeline(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    void Update(int n = 1) { UpdateChildren(n); }
    std::vector<EnemyDefault*> Enemies() const { return ChildrenOf<EnemyDefault>(); }

    GameObjectTimeline* timeline = nullptr;
};

} // namespace

TEST_F(TimelineTest, FrameOneSpawnsFirstAndFrameZeroNever) {
    UseEntries({{0, 1, 100, 50, 1, 0, 0}, {1, 2, 200, 60, 1, 0, 0}, {2, 3, 300, 70, 1, 0, 0}});
    Update();
    EXPECT_EQ(timeline->GetFrame(), 1);
    auto enemies = Enemies();
    ASSERT_EQ(enemies.size(), 1u) << "the frame-0 entry is passed over, frame 1 spawns";
    EXPECT_EQ(enemies[0]->GetType(), 2);
    EXPECT_EQ(*enemies[0]->GetPosition(), (Vector2{200.0f - 360.0f, 60.0f}));
    EXPECT_EQ(timeline->GetNextEntry(), 2u);
    Update();
    EXPECT_EQ(Enemies().size(), 2u);
    Update();
    EXPECT_EQ(timeline->GetNextEntry(), 3u) << "held at the end entry";
    EXPECT_EQ(Enemies().size(), 2u);
}

TEST_F(TimelineTest, EntriesOfOneFrameSpawnTogetherInTableOrder) {
    UseEntries({{3, 4, 360, 10, 1, 0, 0},
                {3, 5, 360, 20, 1, 0, 0},
                {3, 6, 360, 30, 1, 0, 0},
                {4, 7, 360, 40, 1, 0, 0}});
    Update(2);
    EXPECT_TRUE(Enemies().empty());
    Update();
    auto enemies = Enemies();
    ASSERT_EQ(enemies.size(), 3u);
    EXPECT_EQ(enemies[0]->GetType(), 4);
    EXPECT_EQ(enemies[1]->GetType(), 5);
    EXPECT_EQ(enemies[2]->GetType(), 6);
}

TEST_F(TimelineTest, HaltStopsEveryLaterEntry) {
    UseEntries({{1, 1, 360, 10, 1, 0, 0}, {5, 2, 360, 20, 1, 0, 0}});
    Update();
    timeline->Halt();
    Update(10);
    EXPECT_EQ(Enemies().size(), 1u);
    EXPECT_EQ(timeline->GetFrame(), 1) << "a halted timeline does not count either";
}

TEST_F(TimelineTest, AGeneratorRepeatsItsEntryAndVanishes) {
    UseEntries({{1, 3, 100, 50, 3, 2, 0}});
    Update();
    // The first one at once; the new generator is updated in the same pass,
    // as every child appended during an update is.
    EXPECT_EQ(Enemies().size(), 1u);
    Update();
    EXPECT_EQ(Enemies().size(), 2u);
    Update();
    EXPECT_EQ(Enemies().size(), 2u);
    Update();
    EXPECT_EQ(Enemies().size(), 3u);
    bool generator = false;
    for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<EnemyGenerator*>(c)) {
            generator = true;
            EXPECT_EQ(g->GetSpawned(), 3);
            EXPECT_EQ(g->GetVanishCountdown(), GameObject::kVanishFrames);
        }
    EXPECT_TRUE(generator);
    Update(10);
    EXPECT_EQ(Enemies().size(), 3u);
}

TEST_F(TimelineTest, FormationTypesWithCountsGoToTheirSpawners) {
    // The type 9 group releases its one member an interval after it came;
    // the ring of two and the one pair come at once.
    UseEntries({{1, 9, 360, 10, 2, 1, 0}, {1, 14, 360, 20, 2, 1, 0}, {1, 19, 360, 30, 2, 1, 0}});
    Update(2);
    std::vector<int32_t> types;
    for (EnemyDefault* e : Enemies())
        types.push_back(e->GetType());
    EXPECT_EQ(types, (std::vector<int32_t>{14, 14, 19, 19, 9}));
}

TEST_F(TimelineTest, RowlessTypesAndBossesMakeNoOrdinaryEnemy) {
    // Rows 0-310 exist; 311 has no row; 280 is a boss, which reads boss rows.
    UseEntries({{1, 311, 360, 10, 1, 0, 0},
                {1, 280, 360, 10, 1, 0, 0},
                {1, -4, 360, 10, 1, 0, 0},
                {1, 170, 360, 10, 1, 0, 0}});
    Update();
    auto enemies = Enemies();
    ASSERT_EQ(enemies.size(), 1u);
    EXPECT_EQ(enemies[0]->GetType(), 170);
}

TEST_F(TimelineTest, AModeWithoutTimelineIsEmpty) {
    world.gw->mode = 3;
    Update(5);
    EXPECT_EQ(timeline->GetFrame(), 5);
    EXPECT_TRUE(Enemies().empty());
}
