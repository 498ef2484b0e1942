// A generated stage of every ordinary and large enemy type, played in the
// stage screen from a generated replay while test weapons of every family
// fly up the field: twice, with different cosmetic seeds, hash for hash;
// and the stage's whole tree goes back to the pool with the screen.
#include "game/core/ReplayStream.h"
#include "game/enemy/EnemyDefault.h"
#include "game/scene/SceneGame.h"
#include "support/ArenaFillSupport.h"
#include "support/SceneRig.h"
#include "support/StageReplayHarness.h"

namespace {

using namespace scene_test;

using Mireku::Common::Vector2;

constexpr uint32_t kFrames = 3000;
constexpr int16_t kAttack = 2000;

// A player weapon of a family that counts the kills it makes (it is told
// of a hit before the enemy is).
class FamilyShot : public stage_test::TestShot {
public:
    FamilyShot(GameObjectDirector* owner, Vector2 at, uint32_t family)
        : TestShot(owner, at, kAttack, family) {
        velocity = {0.0f, -14.0f};
        size = 48;
        vanishOnHit = true;
    }
    void OnCollision(GameObject* other) override {
        if (auto* e = dynamic_cast<EnemyDefault*>(other);
            e && e->GetRow() && e->GetDamage() + kAttack >= e->GetRow()->health)
            ++kills[GetWeaponFamily()];
        TestShot::OnCollision(other);
    }
    static inline uint32_t kills[4] = {};
};

// Every type but the bosses (280-292), one every 9 frames from frame 20 on.
std::vector<uint8_t> EveryTypeTimeline() {
    std::vector<uint8_t> bytes;
    int frame = 20;
    for (int16_t type = 0; type < SampleData::kSampleEnemyTypes; ++type) {
        if (type >= 280 && type <= 292)
            continue;
        TimelineEntry e{};
        e.frame = frame;
        e.type = type;
        e.x = static_cast<int16_t>(80 + (type * 137) % 560); // the 0-720 scale
        e.y = static_cast<int16_t>(20 + (type * 53) % 200);
        e.count = 1;
        SampleData::AppendRow(bytes, e);
        frame += 9;
    }
    return bytes;
}

class SceneGameReplay : public SceneRig {
protected:
    SceneGameReplay() {
        withStages = true;
        tables.files["ttable_normal_stage01.tsb"] = EveryTypeTimeline();
    }
    // The replay: a normal game of ship 0 at stage 0 with lives to spare,
    // shot held throughout, weaving left and right.
    std::vector<uint8_t> Recording() {
        work->BeginGame(3);
        work->mode = 1;
        work->stage = 0;
        work->player.ship = 0;
        work->ResetPlayerWork();
        work->subWeaponUnlocked = 1;
        PlayerWork start = work->player;
        start.lives = 200;
        std::vector<uint8_t> out(ReplayStream::kHeaderSize);
        ReplayStream::WriteHeader(out.data(), {start, 0, 1});
        for (uint32_t f = 0; f < kFrames + 400; ++f) {
            uint32_t word = 0x1;
            word |= (f / 50) % 2 ? 0x40 : 0x80;
            if ((f / 35) % 3 == 1)
                word |= 0x10;
            for (int b = 0; b < 4; ++b)
                out.push_back(static_cast<uint8_t>(word >> (8 * b)));
        }
        return out;
    }
    // One run: the screen from the replay, hashed frame by frame from its
    // first frame of play.
    std::vector<uint64_t> Run(const std::vector<uint8_t>& recording, uint32_t cosmeticSeed) {
        const arena_fill::Scoped memory(arena_fill::NextRunPattern());
        std::vector<uint64_t> hashes;
        RandomManager::GetInstance()->Stream(RandomManager::kPresentation).Seed(cosmeticSeed);
        work->BeginGame(3);
        // Every run from the same unlocks: a secret weapon taken in one run
        // would pay its score instead in the next.
        work->subWeaponUnlocked = 1;
        EXPECT_TRUE(
            work->StartReplayPlayback(recording.data(), static_cast<uint32_t>(recording.size())));
        work->gameType = 3;
        driver->CreateScene<SceneGame>();
        SceneGame* game = RunUntilState<SceneGame>(SceneGame::kRunning, 5);
        if (!game || !game->GetDirector())
            return hashes;
        GameObjectDirector* d = game->GetDirector();
        for (uint32_t guard = 0; hashes.size() < kFrames && guard < 2 * kFrames; ++guard) {
            if (d->GetState() == GameObjectDirector::kPlay && guard % 6 == 0) {
                const uint32_t k = guard / 6;
                const Vector2 at{-300.0f + static_cast<float>(k * 37 % 600), 700.0f};
                GameObject::Create<FamilyShot>(d, d, at, k % 4);
            }
            Frame();
            if (d->GetState() == GameObjectDirector::kPlay)
                hashes.push_back(stage_replay::HashFrame(*d));
        }
        return hashes;
    }
};

} // namespace

TEST_F(SceneGameReplay, EveryTypeReplaysHashForHashAndTheTreeGoesWithTheScreen) {
    const std::vector<uint8_t> recording = Recording();
    const uint32_t before = pool->LiveCount();
    const std::vector<uint64_t> a = Run(recording, 1);
    ASSERT_EQ(a.size(), kFrames);
    EXPECT_EQ(work->gameState, 0u) << "still playing: no clear, no game over";
    for (uint32_t family = 0; family < 4; ++family)
        EXPECT_GT(FamilyShot::kills[family], 0u) << "kills by family " << family;
    EXPECT_GT(work->player.grabusterHits, 0u);
    driver->ClearAll();
    EXPECT_EQ(pool->LiveCount(), before) << "every block back after the screen's end";

    const std::vector<uint64_t> b = Run(recording, 0xC0FFEEu);
    ASSERT_EQ(b.size(), kFrames);
    for (size_t i = 0; i < kFrames; ++i)
        ASSERT_EQ(a[i], b[i]) << "frame " << i;
    EXPECT_NE(a[500], a[501]);
    driver->ClearAll();
    EXPECT_EQ(pool->LiveCount(), before);
}
