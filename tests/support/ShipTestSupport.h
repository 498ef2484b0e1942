// What the ship's tests share: a stage in play whose input words the test
// writes frame by frame (a replay playing from a buffer the test fills just
// before the director reads it), the timeline halted so that only the
// objects a test makes meet the ship, a sound manager whose effects are
// counted (no sound files: a start still takes the next of the effect's 16
// voices), and edits of the sample ship and shot rows before the stage
// begins.
#pragma once

#include "engine/resource/LoadRequest.h"
#include "game/core/GameState.h"
#include "game/core/ReplayStream.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/player/Player.h"
#include "game/stage/GameObjectTimeline.h"
#include "game/stage/StageInput.h"
#include "game/stage/StageTextureTable.h"
#include "support/AsanTestSupport.h"
#include "support/StageTestSupport.h"

#include <cstring>
#include <vector>

namespace ship_test {

using Mireku::Common::Vector2;
using stage_test::InstallTexture;
using stage_test::Quad;

// An enemy or enemy shot standing still with a box of `size`, registered in
// its group for `registrations` updates (all of them when negative); counts
// the hits it takes.
class Target : public GameObject {
public:
    Target(GameObjectDirector* owner, Vector2 at, uint32_t kind = kKindEnemy, int16_t size = 24)
        : GameObject(owner), kind_(kind), size_(size) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        if (registrations == 0)
            return;
        if (registrations > 0)
            --registrations;
        SetHitBox(0, 0, size_, size_);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    void OnCollision(GameObject*) override { ++hits; }
    int32_t registrations = -1;
    uint32_t GetKind() const override { return kind_; }
    uint32_t GetCollisionGroup() const override {
        return kind_ == kKindEnemyShot ? 7u : (kind_ == kKindItem ? 1u : 6u);
    }
    int32_t hits = 0;

private:
    uint32_t kind_;
    int16_t size_;
};

class ShipTest : public stage_test::StageTest {
protected:
    static constexpr uint32_t kWords = 20000;

    void TearDown() override {
        CompleteReads();
        End();
        if (sound) {
            sound->Finalize();
            SoundManager::DestroyInstance();
        }
        StageTest::TearDown();
    }

    // The sample rows as the tables will load them (ship rows of table 0,
    // mode 1; shot rows of table 0); edits take effect at Begin.
    ShipParamRow& ShipRowToEdit(int32_t ship) {
        return RowIn<ShipParamRow>("player_o_pc_com.tsb", 1 + static_cast<uint32_t>(ship) * 6);
    }
    ShotParamRow& ShotRowToEdit(int32_t ship, int32_t power) {
        return RowIn<ShotParamRow>("player_o_pc_shot.tsb", static_cast<uint32_t>(ship * 4 + power));
    }
    // Every stream of a shot row firing every frame with room for many.
    static void EveryFrame(ShotParamRow& row, int16_t limit = 100) {
        for (ShotStream& s : row.streams) {
            s.interval = 1;
            s.limit = limit;
        }
    }

    // A stage of mode 1, stage 0 in play with ship `shipId` at `power`.
    void Begin(int8_t shipId = 0, int8_t power = 0) {
        world.gw->tables.Load(world.tables);
        world.gw->player.ship = shipId;
        world.gw->ResetPlayerWork();
        PlayerWork start = world.gw->player;
        start.power = power;
        std::vector<uint8_t> replay(ReplayStream::kHeaderSize + kWords * 4, 0);
        ReplayStream::WriteHeader(replay.data(), {start, 0, 1});
        ASSERT_TRUE(
            world.gw->StartReplayPlayback(replay.data(), static_cast<uint32_t>(replay.size())));
        // Files from a folder with none in it: the stage starts empty and
        // the sound banks load at once, silent.
        if (!world.loader)
            world.UseLooseFiles();
        director = world.NewDirector();
        CompleteReads();
        const PlayerWork before = world.gw->player;
        ASSERT_TRUE(world.RunUntilPlay(director));
        stage_test::SkipFlyIn(director, before.invincibleTimer, before.invincible);
        director->GetTimeline()->Halt();
        ship = director->GetPlayer();
        ASSERT_NE(ship, nullptr);
        if (sound)
            return;
        sound = SoundManager::CreateInstance();
        sound->Initialize();
        ASSERT_TRUE(sound->AreBanksLoaded());
        // Nothing starts in the first three frames.
        for (int i = 0; i < 3; ++i)
            sound->Update();
    }
    // The loader has no thread: the reads it was asked for (the music of a
    // stage begun after the sound manager) fail here, as missing files.
    void CompleteReads() {
        Mireku::Resource::LoadRequest request;
        while (world.loader && world.loader->TakeNext(&request))
            request.completion(nullptr, 0, request.user, request.folder, request.name);
    }
    // The stage ends (Begin may start another).
    void End() {
        DeleteDirector();
        ship = nullptr;
    }

    // One frame of play with `word` as its input.
    void Frame(uint32_t word = 0) {
        GlobalWork& gw = *world.gw;
        if (gw.replayPosition + 4 <= gw.replaySize)
            std::memcpy(gw.replayBuffer + gw.replayPosition, &word, 4);
        sound->Update();
        director->TickTree();
        director->UpdateTree();
    }
    void Frames(uint32_t n, uint32_t word = 0) {
        for (uint32_t i = 0; i < n; ++i)
            Frame(word);
    }
    // Starts of sound effect `id` so far, modulo its 16 voices.
    uint32_t Sounds(int32_t id) const { return sound->GetNextVoice(static_cast<uint32_t>(id)); }

    // Under AddressSanitizer, that `block`, given back to the pool, is
    // poisoned past its free-list word: the teardown tests count on it to
    // stop a write into a deleted object, and without it they would pass
    // having checked nothing. Other builds have no poisoning to check.
    static void ExpectPoisoned(const void* block) {
#if defined(DREVANTH_TEST_ASAN)
        EXPECT_NE(__asan_address_is_poisoned(static_cast<const uint8_t*>(block) + 8), 0)
            << "the pool does not poison the blocks it takes back";
#else
        (void)block;
#endif
    }
    // The same for a block taken and given back at once.
    void ExpectPoolPoisonsFreedBlocks() {
        void* block = world.pool->Allocate();
        ASSERT_NE(block, nullptr);
        world.pool->Free(block);
        ExpectPoisoned(block);
    }

    template <class T> size_t Count() const {
        return ChildrenOf<T>().size();
    }
    PlayerWork& Work() {
        return world.gw->player;
    }
    const ShipParamRow& Row() const {
        return *Player::ShipRow();
    }

    Player* ship = nullptr;
    SoundManager* sound = nullptr;

private:
    template <class Row> Row& RowIn(const char* table, uint32_t index) {
        std::vector<uint8_t>& bytes = world.tables.files[table];
        EXPECT_LE((index + 1) * sizeof(Row), bytes.size());
        return *reinterpret_cast<Row*>(bytes.data() + index * sizeof(Row));
    }
};

} // namespace ship_test
