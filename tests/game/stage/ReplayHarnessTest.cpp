#include "engine/common/Heap.h"
#include "support/ArenaFillSupport.h"
#include "support/InputTestSupport.h"
#include "support/StageReplayHarness.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

using stage_replay::StageHarness;

// Input words of a flight: shot held, weaving left and right, now and then
// up, down and slow.
std::vector<uint32_t> Flight(uint32_t frames) {
    std::vector<uint32_t> words;
    for (uint32_t f = 0; f < frames; ++f) {
        uint32_t w = 0x1;
        const uint32_t phase = (f / 45) % 4;
        w |= phase == 0 ? 0x40 : (phase == 2 ? 0x80 : 0);
        if ((f / 200) % 3 == 1)
            w |= (f / 20) % 2 ? 0x10 : 0x20;
        if (f % 97 < 10)
            w |= 0x1000;
        words.push_back(w);
    }
    return words;
}

// Plays `words` from a stage start with stream 0 seeded by `seed`; the
// per-frame hashes of `frames` frames of play.
std::vector<uint64_t> PlayBack(const std::vector<uint8_t>& recording, uint32_t seed, size_t frames,
                               uint64_t* score = nullptr) {
    StageHarness harness;
    StageHarness::Options options;
    options.stream0Seed = seed;
    EXPECT_TRUE(harness.Start(options));
    EXPECT_TRUE(harness.BeginPlayback(recording));
    for (int guard = 0; harness.hashes.size() < frames && guard < 20000; ++guard)
        harness.Frame();
    if (score)
        *score = GlobalWork::GetInstance()->player.score;
    return harness.hashes;
}

} // namespace

// The arena fill this program was started with (DREVANTH_ARENA_FILL) is in
// force: fresh blocks of the engine heap and of a stage's object pool read
// its taken byte, and two runs of the harness take its two patterns in turn.
// Run with the replay tests, it shows that they ran under the fill.
TEST(ReplayHarness, TheArenaFillAskedForIsInForceInTheHeapThePoolAndTheRuns) {
    using Mireku::Common::ArenaFill;
    const uint8_t pattern = arena_fill::FromEnvironment();
    ASSERT_EQ(ArenaFill::Pattern(), pattern) << "the program's fill is the one asked for";
    if (pattern == 0)
        GTEST_SKIP() << "no arena fill asked for (DREVANTH_ARENA_FILL)";
    std::printf("arena fill 0x%02X in force\n", pattern);
    const uint8_t taken = static_cast<uint8_t>(pattern ^ 0xFF);
    auto* bytes = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(100));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::count(bytes, bytes + 100, taken), 100) << "a heap block";
    Mireku::Common::Heap::LockedFree(bytes);

    uint8_t seen[2] = {};
    for (uint8_t& run : seen) {
        StageHarness harness;
        ASSERT_TRUE(harness.Start({}));
        run = ArenaFill::Pattern();
        auto* block = static_cast<uint8_t*>(harness.World().pool->Allocate());
        ASSERT_NE(block, nullptr);
        const uint8_t runTaken = static_cast<uint8_t>(run ^ 0xFF);
        EXPECT_EQ(std::count(block, block + GameObjectAllocator::kBlockSize, runTaken),
                  GameObjectAllocator::kBlockSize)
            << "a pool block";
        harness.World().pool->Free(block);
    }
    EXPECT_NE(seen[0], seen[1]) << "each run its own pattern";
    EXPECT_TRUE(seen[0] == pattern || seen[1] == pattern);
    EXPECT_TRUE(seen[0] != 0 && seen[1] != 0);
    EXPECT_EQ(ArenaFill::Pattern(), pattern) << "back after the runs";
}

TEST(ReplayHarness, AGeneratedStageHashesTheSameWhateverTheCosmeticSeed) {
    // The recording's header: the player record a fresh game starts with.
    std::vector<uint8_t> recording;
    {
        StageHarness harness;
        ASSERT_TRUE(harness.Start({}));
        recording.resize(ReplayStream::kHeaderSize);
        ReplayStream::WriteHeader(recording.data(), {GlobalWork::GetInstance()->player, 0, 1});
    }
    for (uint32_t w : Flight(3700))
        for (int b = 0; b < 4; ++b)
            recording.push_back(static_cast<uint8_t>(w >> (8 * b)));

    uint64_t scoreA = 0, scoreB = 0;
    const std::vector<uint64_t> a = PlayBack(recording, 1, 3600, &scoreA);
    const std::vector<uint64_t> b = PlayBack(recording, 0xBADC0DE, 3600, &scoreB);
    ASSERT_EQ(a.size(), 3600u);
    ASSERT_EQ(b.size(), 3600u);
    EXPECT_GT(scoreA, 0u) << "the ship's shots killed enemies";
    EXPECT_EQ(scoreA, scoreB);
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << "frame " << i;
    // The hashes follow the game: they are not all alike.
    EXPECT_NE(a[100], a[101]);
}

TEST(ReplayHarness, ALiveRunAndItsPlaybackAgreeAcrossAPauseDuringAGaugeShake) {
    input_test::WindowLoop loop;
    ASSERT_TRUE(loop.IsOpen());
    std::vector<uint64_t> live;
    std::vector<uint8_t> recording;
    {
        StageHarness harness;
        StageHarness::Options options;
        options.liveInput = true;
        options.stream0Seed = 42;
        ASSERT_TRUE(harness.Start(options));
        // A full gauge: the ship's first collision is shielded, which shakes
        // the gauges.
        GlobalWork::GetInstance()->player.barionGauge = 1000;
        ASSERT_TRUE(harness.BeginLive());
        bool paused = false;
        const StageHud& hud = harness.Director()->GetHud();
        for (int guard = 0; harness.hashes.size() < 900 && guard < 5000; ++guard) {
            // Once the ship has flown in and its invincibility is over: a
            // little left, then up into the enemies that stand there.
            const size_t f = harness.hashes.size();
            if (f == 61 || f == 69)
                input_test::Key(SDL_SCANCODE_LEFT, f == 61);
            if (f == 220)
                input_test::Key(SDL_SCANCODE_UP, true);
            harness.Frame();
            if (!paused && hud.IsShieldHitShown()) {
                paused = true;
                input_test::Key(SDL_SCANCODE_UP, false);
                harness.SetPaused(true);
                for (int p = 0; p < 120; ++p)
                    harness.Frame();
                EXPECT_FALSE(hud.IsShieldHitShown()) << "the shake ran its course in the pause";
                harness.SetPaused(false);
                // Then firing, weaving left and right.
                input_test::Key(SDL_SCANCODE_Z, true);
            }
            if (paused && f % 60 == 0)
                input_test::Key(SDL_SCANCODE_LEFT, (f / 60) % 2 == 0);
            if (paused && f % 60 == 30)
                input_test::Key(SDL_SCANCODE_RIGHT, (f / 60) % 2 == 1);
        }
        EXPECT_TRUE(paused);
        input_test::Key(SDL_SCANCODE_Z, false);
        input_test::Key(SDL_SCANCODE_LEFT, false);
        input_test::Key(SDL_SCANCODE_RIGHT, false);
        live = harness.hashes;
        recording = harness.Recording();
        EXPECT_GT(GlobalWork::GetInstance()->player.score, 0u);
    }
    ASSERT_EQ(live.size(), 900u);
    // Frames whose input is held (the fly-in, the shield's pause) record no word.
    ASSERT_GT(recording.size(), ReplayStream::kHeaderSize + 700u * 4);
    const std::vector<uint64_t> played = PlayBack(recording, 7, live.size());
    ASSERT_EQ(played.size(), live.size());
    for (size_t i = 0; i < live.size(); ++i)
        ASSERT_EQ(played[i], live[i]) << "frame " << i;
}
