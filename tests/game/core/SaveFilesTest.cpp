#include "support/GameStateFixture.h"

#include "game/core/SaveImage.h"

#include <random>

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t off) {
    uint32_t v;
    std::memcpy(&v, b.data() + off, 4);
    return v;
}

class SaveFilesTest : public GameStateTest {
protected:
    static std::string Saved(const char* name) { return std::string("My Games/Drevanth/") + name; }
    std::string Path(const char* name) const { return scratch.Path(Saved(name)); }
};

} // namespace

TEST_F(SaveFilesTest, FolderIsCreatedAndDefaultsAreSaved) {
    EXPECT_TRUE(std::filesystem::is_directory(docs + "/My Games/Drevanth"));
    EXPECT_EQ(std::string(gw->dataPath.c_str()), Path("Data.dat"));
    LoadTables(); // no files yet: defaults
    EXPECT_EQ(std::memcmp(gw->config, ConfigBlock::Defaults(), ConfigBlock::kSize), 0);
    EXPECT_EQ(gw->progress[32] + gw->progress[33] + gw->progress[34] + gw->progress[35], 4);
    gw->Finalize();
    auto data = scratch.ReadFile(Saved("Data.dat"));
    auto config = scratch.ReadFile(Saved("Config.dat"));
    auto score = scratch.ReadFile(Saved("Score.dat"));
    ASSERT_EQ(data.size(), 1072u);
    ASSERT_EQ(config.size(), 4096u);
    ASSERT_EQ(score.size(), 12808u);
    EXPECT_EQ(U32(data, 0), 2u);
    EXPECT_EQ(U32(config, 0), 2u);
    EXPECT_EQ(U32(score, 0), 1u);
    EXPECT_EQ(config[389], 0); // window mode by default
    EXPECT_EQ(config[384], 3);
}

TEST_F(SaveFilesTest, ProgressOfVersion1IsKeptAndSavedAsVersion2) {
    std::vector<uint8_t> old(1072);
    for (size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<uint8_t>(i * 7 + 3);
    const uint32_t v1 = 1;
    std::memcpy(old.data(), &v1, 4);
    scratch.WriteFile(Saved("Data.dat"), old);
    gw->LoadSaves();
    EXPECT_EQ(std::memcmp(gw->progress + 4, old.data() + 4, 1068), 0);
    EXPECT_TRUE(gw->SaveAll());
    auto saved = scratch.ReadFile(Saved("Data.dat"));
    ASSERT_EQ(saved.size(), 1072u);
    EXPECT_EQ(U32(saved, 0), 2u);
    EXPECT_EQ(std::memcmp(saved.data() + 4, old.data() + 4, 1068), 0);
}

TEST_F(SaveFilesTest, ConfigOfAnotherVersionGivesTheDefaults) {
    std::vector<uint8_t> other(4096, 0x55);
    const uint32_t v1 = 1;
    std::memcpy(other.data(), &v1, 4);
    scratch.WriteFile(Saved("Config.dat"), other);
    gw->LoadSaves();
    EXPECT_EQ(std::memcmp(gw->config, ConfigBlock::Defaults(), ConfigBlock::kSize), 0);
    gw->SaveAll();
    auto saved = scratch.ReadFile(Saved("Config.dat"));
    ASSERT_EQ(saved.size(), 4096u);
    EXPECT_EQ(std::memcmp(saved.data(), ConfigBlock::Defaults(), 4096), 0);
}

TEST_F(SaveFilesTest, ValidFilesRoundTrip) {
    LoadTables();
    gw->config[ConfigBlock::kOffsetLives] = 5;
    gw->config[ConfigBlock::kOffsetScreenMode] = 1;
    ConfigBlock::SetBinding(gw->config, 4, 2, 12);
    gw->player.score = 12345;
    gw->mode = 4;
    ASSERT_EQ(gw->InsertRanking(), 0);
    gw->SetProgressFlag();
    std::vector<uint8_t> config(gw->config, gw->config + 4096);
    std::vector<uint8_t> score(gw->score, gw->score + 12808);
    std::vector<uint8_t> progress(gw->progress, gw->progress + 1072);
    gw->Finalize();

    std::memset(gw->config, 0, 4096);
    std::memset(gw->score, 0, 12808);
    gw->LoadSaves();
    EXPECT_EQ(std::memcmp(gw->config, config.data(), 4096), 0);
    EXPECT_EQ(std::memcmp(gw->score + 8, score.data() + 8, 12800), 0);
    EXPECT_EQ(std::memcmp(gw->progress, progress.data(), 1072), 0);
    EXPECT_EQ(gw->progress[44], 1);
}

TEST_F(SaveFilesTest, DamagedFilesNeverLeaveGarbage) {
    // Too short for a version word, a truncated accepted file, and random bytes.
    scratch.WriteFile(Saved("Config.dat"), {2, 0});
    std::vector<uint8_t> truncated(100, 0);
    truncated[0] = 1; // Score.dat version 1, 92 bytes of entries
    std::memset(truncated.data() + 8, 0xAB, 8);
    scratch.WriteFile(Saved("Score.dat"), truncated);
    std::mt19937 rng(7);
    std::vector<uint8_t> noise(5000);
    for (auto& b : noise)
        b = static_cast<uint8_t>(rng());
    scratch.WriteFile(Saved("Data.dat"), noise);
    gw->LoadSaves();
    EXPECT_EQ(std::memcmp(gw->config, ConfigBlock::Defaults(), ConfigBlock::kSize), 0);
    EXPECT_EQ(ScoreBlock::EntryScore(gw->score, 0, 0), 0xABABABABABABABABull);
    for (size_t i = 100; i < ScoreBlock::kSize; ++i)
        ASSERT_EQ(gw->score[i], 0) << i;
    EXPECT_EQ(gw->progress[32], 1); // random version: defaults
    EXPECT_EQ(gw->progress[44], 0);

    // A longer file than its block is taken only up to the block.
    std::vector<uint8_t> longer(1072 + 500, 0x01);
    const uint32_t v2 = 2;
    std::memcpy(longer.data(), &v2, 4);
    scratch.WriteFile(Saved("Data.dat"), longer);
    gw->LoadSaves();
    EXPECT_EQ(gw->progress[1071], 1);
    gw->SaveAll();
    EXPECT_EQ(scratch.ReadFile(Saved("Data.dat")).size(), 1072u);
}

TEST(SaveImage, ApplyRefusesShortAndForeignImages) {
    uint8_t block[16] = {};
    const uint8_t tiny[3] = {2, 0, 0};
    EXPECT_FALSE(SaveImage::Apply(block, 16, tiny, 3, 2, 2));
    EXPECT_FALSE(SaveImage::Apply(block, 16, nullptr, 0, 2, 2));
    const uint8_t v3[8] = {3, 0, 0, 0, 9, 9, 9, 9};
    EXPECT_FALSE(SaveImage::Apply(block, 16, v3, 8, 1, 2));
    EXPECT_EQ(block[4], 0);
    const uint8_t v1[8] = {1, 0, 0, 0, 9, 9, 9, 9};
    EXPECT_TRUE(SaveImage::Apply(block, 16, v1, 8, 2, 1));
    EXPECT_EQ(block[7], 9);
    EXPECT_EQ(block[8], 0);
}

TEST_F(SaveFilesTest, ASaveThatExistsButCannotBeReadIsNotReplacedByDefaults) {
    // A folder where the file should be stands for any file that is there but
    // cannot be opened (permissions, I/O errors): it must survive the exit.
    std::filesystem::create_directory(Path("Score.dat"));
    gw->LoadSaves();
    EXPECT_TRUE(gw->SaveAll());
    EXPECT_TRUE(std::filesystem::is_directory(Path("Score.dat")));
    EXPECT_EQ(scratch.ReadFile(Saved("Config.dat")).size(), 4096u)
        << "the readable ones are still saved";
    std::filesystem::remove(Path("Score.dat"));
    gw->LoadSaves();
    EXPECT_TRUE(gw->SaveAll());
    EXPECT_EQ(scratch.ReadFile(Saved("Score.dat")).size(), 12808u);
}

TEST_F(SaveFilesTest, ASaveThatOpensButFailsToReadIsKeptAsItIs) {
    // The kernel's view of our own memory opens as a regular file and fails
    // every read at offset 0: a save on a failing disk behaves alike.
    if (!std::filesystem::exists("/proc/self/mem"))
        GTEST_SKIP() << "no /proc/self/mem here";
    uint8_t probe[4];
    ASSERT_EQ(SaveImage::ReadFile("/proc/self/mem", probe, sizeof probe), -1);
    for (const char* name : {"Data.dat", "Config.dat", "Score.dat"}) {
        std::filesystem::remove_all(docs + "/My Games/Drevanth");
        std::filesystem::create_directories(docs + "/My Games/Drevanth");
        std::filesystem::create_symlink("/proc/self/mem", Path(name));
        gw->LoadSaves();
        EXPECT_TRUE(gw->SaveAll());
        EXPECT_TRUE(std::filesystem::is_symlink(Path(name))) << name << " was replaced";
        size_t written = 0;
        for (const char* other : {"Data.dat", "Config.dat", "Score.dat"})
            written +=
                std::filesystem::is_regular_file(std::filesystem::symlink_status(Path(other)));
        EXPECT_EQ(written, 2u) << "the readable ones are still saved";
    }
}

TEST_F(SaveFilesTest, TemporariesOfAnExitSaveThatDiedAreRemovedAtStart) {
    for (const char* name : {"Data.dat.q8Zr2a", "Config.dat.0aB9xY", "Score.dat.Mm3k1P"})
        scratch.WriteFile(Saved(name), std::vector<uint8_t>(64, 7));
    scratch.WriteFile(Saved("Notes.txt.q8Zr2a"), {1});
    LoadTables();
    size_t left = 0;
    for (const auto& e : std::filesystem::directory_iterator(docs + "/My Games/Drevanth")) {
        EXPECT_EQ(e.path().filename(), "Notes.txt.q8Zr2a") << "only names of our own saves go";
        ++left;
    }
    EXPECT_EQ(left, 1u);
}

TEST(SaveFolder, WithoutADocumentsFolderNothingIsSaved) {
    GlobalWork work("");
    EXPECT_FALSE(work.SaveAll());
    EXPECT_FALSE(std::filesystem::exists("/My Games/Drevanth/Data.dat"));
}
