#include "support/GameStateFixture.h"

#include "game/core/ReplayStream.h"

namespace {

class ReplayTest : public GameStateTest {
protected:
    void SetUp() override {
        GameStateTest::SetUp();
        cwd = std::filesystem::current_path();
        std::filesystem::current_path(docs);
    }
    void TearDown() override {
        std::filesystem::current_path(cwd);
        GameStateTest::TearDown();
    }
    void WriteDemos(const std::vector<uint8_t>& bytes) {
        for (int n = 1; n <= 4; ++n)
            scratch.WriteFile("data/replay/demo" + std::to_string(n) + ".replay", bytes);
    }
    std::filesystem::path cwd;
};

std::vector<uint8_t> Header(uint32_t stage, uint32_t mode, int8_t ship) {
    std::vector<uint8_t> b(56, 0);
    ReplayStream::Header h{};
    h.player.ship = ship;
    h.player.lives = 2;
    h.player.score = 77;
    h.stage = stage;
    h.mode = mode;
    ReplayStream::WriteHeader(b.data(), h);
    return b;
}

} // namespace

TEST_F(ReplayTest, RecordSaveAndPlayBackTheSameWords) {
    gw->player.ship = 2;
    gw->player.score = 1234;
    gw->stage = 3;
    gw->mode = 5;
    gw->StartReplayRecording();
    ASSERT_EQ(gw->recording, 1);
    uint32_t w;
    EXPECT_FALSE(gw->ReadReplayInput(&w)); // never while recording
    for (uint32_t f = 0; f < 500; ++f)
        gw->WriteReplayInput(f * 0x11 & 0x1FFF);
    // Save what was recorded, as a demo file would hold it.
    std::vector<uint8_t> stream(gw->replayBuffer, gw->replayBuffer + gw->replayPosition);
    gw->FreeReplayBuffer();
    EXPECT_EQ(gw->replayBuffer, nullptr);
    gw->player = {};
    gw->stage = 0;
    gw->mode = 1;

    ASSERT_TRUE(gw->StartReplayPlayback(stream.data(), static_cast<uint32_t>(stream.size())));
    EXPECT_EQ(gw->playing, 1);
    EXPECT_EQ(gw->player.ship, 2);
    EXPECT_EQ(gw->player.score, 1234u);
    EXPECT_EQ(gw->stage, 3u);
    EXPECT_EQ(gw->mode, 5u);
    gw->WriteReplayInput(0xFFFF); // nothing is stored during playback
    for (uint32_t f = 0; f < 500; ++f) {
        ASSERT_TRUE(gw->ReadReplayInput(&w));
        EXPECT_EQ(w, f * 0x11 & 0x1FFF);
    }
    EXPECT_FALSE(gw->ReadReplayInput(&w));
}

TEST_F(ReplayTest, RecordingKeepsItsFirstWordsWhenFull) {
    gw->StartReplayRecording();
    // A 0x40000-byte buffer: the 56-byte header and 65522 words.
    for (uint32_t f = 0; f < 65532; ++f)
        gw->WriteReplayInput(f);
    EXPECT_EQ(gw->replayPosition, 0x40000u);
    uint32_t last;
    std::memcpy(&last, gw->replayBuffer + gw->replayPosition - 4, 4);
    EXPECT_EQ(last, 65521u);
}

TEST_F(ReplayTest, DemoFilesFromTheBuilderPlay) {
    ASSERT_TRUE(SampleData::WriteDemoReplays("data/replay"));
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(gw->LoadDemoReplay());
        EXPECT_EQ(gw->playing, 1);
        EXPECT_EQ(gw->recording, 0);
        EXPECT_EQ(gw->mode, 1u);
        EXPECT_GE(gw->player.ship, 0);
        uint32_t words = 0, w = 0;
        while (gw->ReadReplayInput(&w)) {
            EXPECT_EQ(w & ~0x1FFFu, 0u);
            ++words;
        }
        EXPECT_GE(words, 300u);
    }
}

TEST_F(ReplayTest, MissingDemoChangesNothing) {
    gw->stage = 4;
    EXPECT_FALSE(gw->LoadDemoReplay());
    EXPECT_EQ(gw->stage, 4u);
    EXPECT_EQ(gw->playing, 0);
}

TEST_F(ReplayTest, HeaderOnlyAndRaggedDemos) {
    WriteDemos(Header(2, 4, 1));
    ASSERT_TRUE(gw->LoadDemoReplay());
    EXPECT_EQ(gw->stage, 2u);
    EXPECT_EQ(gw->mode, 4u);
    uint32_t w;
    EXPECT_FALSE(gw->ReadReplayInput(&w));

    auto ragged = Header(0, 1, 0);
    ragged.insert(ragged.end(), {1, 0, 0, 0, 2, 0});
    WriteDemos(ragged);
    ASSERT_TRUE(gw->LoadDemoReplay());
    ASSERT_TRUE(gw->ReadReplayInput(&w));
    EXPECT_EQ(w, 1u);
    EXPECT_FALSE(gw->ReadReplayInput(&w));
}

TEST_F(ReplayTest, DamagedDemosAreRefused) {
    gw->stage = 5;
    gw->mode = 2;
    const std::vector<std::vector<uint8_t>> bad = {
        {},
        std::vector<uint8_t>(55, 0),
        Header(24, 1, 0),
        Header(0, 11, 0),
        Header(0, 1, 6),
        Header(0, 1, -1),
    };
    for (const auto& b : bad) {
        WriteDemos(b);
        EXPECT_FALSE(gw->LoadDemoReplay());
        EXPECT_EQ(gw->stage, 5u);
        EXPECT_EQ(gw->mode, 2u);
        EXPECT_EQ(gw->playing, 0);
    }
    auto lives = Header(0, 1, 0);
    lives[36] = 0x01;
    lives[37] = 0x02; // 513 ships in stock
    EXPECT_FALSE(gw->StartReplayPlayback(lives.data(), 56));
    // One byte short of a header, handed over directly.
    ReplayStream::Header h{};
    EXPECT_FALSE(ReplayStream::ReadHeader(lives.data(), 55, &h));
    EXPECT_FALSE(gw->StartReplayPlayback(lives.data(), 55));
    EXPECT_EQ(gw->playing, 0);
}

TEST_F(ReplayTest, AHeaderLaidOutByHandIsReadFieldByField) {
    std::vector<uint8_t> b(56 + 4, 0);
    b[0] = 0x39; // score 12345, little-endian u64 at 0
    b[1] = 0x30;
    b[28] = 1;    // continues
    b[30] = 0x2C; // Barion gauge 300 at 30
    b[31] = 0x01;
    b[36] = 2;    // lives, i16 at 36
    b[38] = 3;    // ship at 38
    b[39] = 1;    // power level at 39
    b[48] = 7;    // stage, u32 at 48
    b[52] = 9;    // mode, u32 at 52
    b[56] = 0x11; // the first input word
    b[57] = 0x10;
    ASSERT_TRUE(gw->StartReplayPlayback(b.data(), static_cast<uint32_t>(b.size())));
    EXPECT_EQ(gw->player.score, 12345u);
    EXPECT_EQ(gw->player.continues, 1);
    EXPECT_EQ(gw->player.barionGauge, 300);
    EXPECT_EQ(gw->player.lives, 2);
    EXPECT_EQ(gw->player.ship, 3);
    EXPECT_EQ(gw->player.power, 1);
    EXPECT_EQ(gw->stage, 7u);
    EXPECT_EQ(gw->mode, 9u);
    uint32_t w = 0;
    ASSERT_TRUE(gw->ReadReplayInput(&w));
    EXPECT_EQ(w, 0x1011u);
    EXPECT_FALSE(gw->ReadReplayInput(&w));
}

TEST_F(ReplayTest, DemosLongerThanARecordingBufferPlayWhole) {
    // 70000 words: more than the 65522 a recording keeps, past 0x40000 bytes.
    auto demo = Header(1, 2, 0);
    for (uint32_t f = 0; f < 70000; ++f)
        for (int k = 0; k < 4; ++k)
            demo.push_back(static_cast<uint8_t>((f & 0x1FFF) >> (8 * k)));
    ASSERT_GT(demo.size(), 0x40000u);
    WriteDemos(demo);
    ASSERT_TRUE(gw->LoadDemoReplay());
    uint32_t words = 0, w = 0;
    while (gw->ReadReplayInput(&w))
        ASSERT_EQ(w, words++ & 0x1FFF);
    EXPECT_EQ(words, 70000u);
    ASSERT_TRUE(gw->StartReplayPlayback(demo.data(), static_cast<uint32_t>(demo.size())));
}

TEST_F(ReplayTest, ADemoTooBigForTheHeapIsRefusedAndChangesNothing) {
    // 512 MiB, more than the whole engine heap; sparse, so it costs no disk.
    WriteDemos(Header(1, 2, 0));
    for (int n = 1; n <= 4; ++n)
        std::filesystem::resize_file(
            scratch.Path("data/replay/demo" + std::to_string(n) + ".replay"), 512u << 20);
    gw->stage = 5;
    testing::internal::CaptureStderr(); // the heap reports the refusal
    EXPECT_FALSE(gw->LoadDemoReplay());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(gw->stage, 5u);
    EXPECT_EQ(gw->playing, 0);
    EXPECT_EQ(gw->replayBuffer, nullptr);
}

size_t HeapBytesInUse() {
    auto& heap = Mireku::Common::Heap::Global();
    size_t used = 0;
    for (auto* b = heap.FirstBlock(); b; b = heap.NextBlock(b))
        if (!Mireku::Common::Heap::IsFree(b))
            used += Mireku::Common::Heap::BlockSize(b);
    return used;
}

TEST_F(ReplayTest, AHeldBufferIsFreedBeforeANewOne) {
    const size_t before = HeapBytesInUse();
    gw->StartReplayRecording();
    uint8_t* first = gw->replayBuffer;
    ASSERT_NE(first, nullptr);
    auto h = Header(0, 1, 0);
    ASSERT_TRUE(gw->StartReplayPlayback(h.data(), 56));
    EXPECT_EQ(gw->recording, 0);
    EXPECT_EQ(HeapBytesInUse(), before + 64); // only the 56-byte stream, rounded up
    EXPECT_EQ(std::memcmp(gw->replayBuffer, h.data(), 56), 0);
    gw->StartReplayRecording();
    EXPECT_EQ(gw->playing, 0);
    EXPECT_EQ(gw->recording, 1);
    gw->FreeReplayBuffer();
    EXPECT_EQ(HeapBytesInUse(), before);
}
