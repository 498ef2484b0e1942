#include "support/ArchiveTestSupport.h"
#include "support/GlyphCheck.h"

#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"
#include "sys/dds.h"
#include "sys/file.h"
#include "tools/sampledata/Builder.h"
#include "tools/sampledata/ByteWriter.h"
#include "tools/sampledata/SampleKind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <tuple>

using Mireku::Resource::ResourceLoader;
using sampledata::Staging;
using testsupport::Compressible;

namespace {

// A kind of our own: one table in the lowest archive, a file in the
// highest, and a loose file.
bool BuildProbe(Staging& staging, std::string* error) {
    sampledata::ByteWriter w;
    w.U32(0x01020304).I16(-2).F32(1.5f).Text("abc", 8).Align(16);
    return staging.Add("0100", "code/probe.tsb", w.Take(), error) &&
           staging.Add("0310", "code/probe2.tsb", {9, 9}, error) &&
           staging.Add("vfx", "vfx/big.vfxb", Compressible(50000, 4), error) &&
           staging.AddLoose("replay/demo1.replay", {1, 2, 3}, error);
}
SAMPLEDATA_KIND(Probe, BuildProbe);

std::vector<uint8_t> ReadEntry(ResourceLoader& loader, const char* folder, const char* name) {
    void* data = nullptr;
    uint32_t size = 0;
    if (!loader.ReadFile(&data, &size, folder, name))
        return {};
    std::vector<uint8_t> v(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    Mireku::Common::Heap::LockedFree(data);
    return v;
}

TEST(SampleData, BuildsTheTenArchivesTheGameOpensWithoutComplaint) {
    testsupport::ScratchFolder scratch;
    Staging staging;
    std::string error;
    ASSERT_TRUE(sampledata::StageAll(&staging, &error)) << error;
    ASSERT_TRUE(sampledata::WriteOutput(staging, scratch.Path("data"), &error)) << error;

    testsupport::MessageLog log;
    ResourceLoader loader;
    loader.SetErrorSink(log.Sink());
    loader.SetMode(ResourceLoader::kArchives);
    ASSERT_EQ(Staging::ArchiveNames().size(), 10u);
    for (const std::string& name : Staging::ArchiveNames())
        loader.OpenArchive(scratch.Path("data/" + name).c_str());
    EXPECT_TRUE(log.Messages().empty());

    EXPECT_EQ(ReadEntry(loader, "code", "probe2.tsb"), (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(ReadEntry(loader, "vfx", "big.vfxb"), Compressible(50000, 4));
    EXPECT_EQ(scratch.ReadFile("data/replay/demo1.replay"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(
        ReadEntry(loader, "code", "probe.tsb"),
        (std::vector<uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 0, 0, 0xC0, 0x3F, 'a', 'b', 'c', 0, 0, 0,
                              0, 0, 0, 0, 0,    0,    0, 0, 0,    0,    0,   0,   0,   0, 0, 0}));
    loader.Finalize();
}

TEST(SampleData, StagingRefusesWhatTheArchivesCannotHold) {
    Staging staging;
    std::string error;
    EXPECT_FALSE(staging.Add("0400", "code/a", {1}, &error));
    EXPECT_FALSE(staging.Add("0100", "/code/a", {1}, &error));
    EXPECT_FALSE(staging.Add("0100", "code//a", {1}, &error));
    EXPECT_FALSE(staging.Add("0100", "code/../a", {1}, &error));
    EXPECT_FALSE(staging.Add("0100", std::string(116, 'a'), {1}, &error));
    EXPECT_TRUE(staging.Add("0100", std::string(115, 'a'), {1}, &error));
    EXPECT_FALSE(staging.Add("0100", "code/empty", {}, &error)) << "the game cannot read it";
    EXPECT_TRUE(staging.Add("0100", "code/a", {1}, &error));
    EXPECT_FALSE(staging.Add("0100", "code/a", {2}, &error));
    EXPECT_FALSE(staging.Add("0310", "code/a", {2}, &error)) << "it would hide the first copy";
    EXPECT_FALSE(staging.AddLoose("../x", {}, &error));
}

TEST(ArchivePacker, FolderTreeRoundTripsThroughArchiveAndLooseFiles) {
    testsupport::ScratchFolder scratch;
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"sound/se/common/001.wav", testsupport::Incompressible(3000, 5)},
        {"sound/bgm/title.ogg", Compressible(20000, 6)},
        {"code/system_system.tsb", {0}},
        {"top.txt", Compressible(10, 7)}};
    for (const auto& [path, bytes] : files)
        scratch.WriteFile("tree/" + path, bytes);

    tools::ArchiveWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddFolder(scratch.Path("tree"), &error)) << error;
    ASSERT_EQ(writer.GetCount(), files.size());
    ASSERT_TRUE(writer.Write(scratch.Path("tree-archive"), &error)) << error;

    ResourceLoader archive;
    archive.SetMode(ResourceLoader::kArchives);
    archive.OpenArchive(scratch.Path("tree-archive").c_str());
    ResourceLoader loose;
    loose.AddRootFolder(scratch.Path("tree").c_str());
    for (const auto& [path, bytes] : files) {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
        const char* folderArg = slash == std::string::npos ? nullptr : folder.c_str();
        const std::string name = path.substr(slash + 1);
        EXPECT_EQ(ReadEntry(archive, folderArg, name.c_str()), bytes) << path;
        EXPECT_EQ(ReadEntry(loose, folderArg, name.c_str()), bytes) << path;
    }
    archive.Finalize();
}

TEST(ArchivePacker, RefusesDuplicateAndOverlongNames) {
    tools::ArchiveWriter writer;
    std::string error;
    EXPECT_TRUE(writer.Add("a/b", {1}, &error));
    EXPECT_FALSE(writer.Add("a/b", {2}, &error));
    EXPECT_FALSE(writer.Add(std::string(116, 'x'), {1}, &error));
    EXPECT_FALSE(writer.Add("", {1}, &error));
    EXPECT_EQ(writer.GetCount(), 1u);
}

TEST(ArchivePacker, TruncatedDataFileIsRefusedNotReadPastItsEnd) {
    testsupport::ScratchFolder scratch;
    testsupport::Pack(scratch.Path("a"), {{"f/raw", testsupport::Incompressible(4000, 8)},
                                          {"f/zip", Compressible(9000, 9)}});
    auto data = scratch.ReadFile("a.data");
    ASSERT_GT(data.size(), 4010u);
    data.resize(4010);
    scratch.WriteFile("a.data", data);

    testsupport::MessageLog log;
    ResourceLoader loader;
    loader.SetErrorSink(log.Sink());
    loader.SetMode(ResourceLoader::kArchives);
    loader.OpenArchive(scratch.Path("a").c_str());
    // Entries are packed in name order: "f/raw" lies whole in what is kept.
    EXPECT_EQ(ReadEntry(loader, "f", "raw"), testsupport::Incompressible(4000, 8));
    EXPECT_TRUE(ReadEntry(loader, "f", "zip").empty());
    EXPECT_EQ(log.Messages(), std::vector<std::string>{"ファイルが開けません\nf+zip"});
    loader.Finalize();
}

// A region of a picture that a screen shows as text or digits.
struct GlyphRegion {
    std::string what;
    const char* folder;
    const char* file;
    int x0, y0, x1, y1;
    int share = 25; // at least one pixel in `share` is a stroke (a point has few)
};

std::vector<GlyphRegion> GlyphRegions() {
    constexpr const char* kCommon = "texture/game/common";
    std::vector<GlyphRegion> r;
    // The title's "v3.20": 32 by 32 cells (column, row) of the glyph sheet.
    for (auto [c, col, row] :
         {std::tuple{'v', 5, 4}, {'3', 3, 0}, {'.', 14, 5}, {'2', 2, 0}, {'0', 0, 0}})
        r.push_back({std::string("title ") + c, kCommon, "game_moji1.dds", 32 * col, 32 * row,
                     32 * col + 32, 32 * row + 32, c == '.' ? 150 : 25});
    // The heads-up display: labels, the score digits, a ship in stock.
    r.push_back({"score label", kCommon, "sys_ui1.dds", 0, 0, 104, 24});
    r.push_back({"hi-score label", kCommon, "sys_ui1.dds", 104, 0, 144, 24});
    r.push_back({"stage label", kCommon, "sys_ui1.dds", 0, 32, 96, 64});
    r.push_back({"ship in stock", kCommon, "sys_ui1.dds", 96, 64, 120, 88});
    for (int d = 0; d < 10; ++d) {
        const std::string n = std::to_string(d);
        r.push_back(
            {"score digit " + n, kCommon, "sys_ui1.dds", 144 + 24 * d, 0, 168 + 24 * d, 24});
        for (int row : {0, 60})
            r.push_back({"clock digit " + n, kCommon, "sa_time_count.dds", 54 * d, row, 54 * d + 54,
                         row + 55});
        r.push_back({"result digit " + n, kCommon, "result_suuji.dds", 48 * d, 0, 48 * d + 48, 48});
        r.push_back({"continue digit " + n, kCommon, "cont_suuji.dds", 66 * d, 0, 66 * d + 66, 48});
        r.push_back(
            {"countdown digit " + n, kCommon, "gura_count.dds", 24 + 72 * d, 0, 96 + 72 * d, 80});
    }
    r.push_back({"clock colon", kCommon, "sa_time_count.dds", 540, 0, 558, 55, 60});
    r.push_back({"result times", kCommon, "result_suuji_x.dds", 0, 0, 48, 48});
    for (const char* f : {"result.dds", "result_nomiss.dds", "result_nodamage.dds",
                          "result_remain.dds", "result_bikou.dds", "sam_time_up.dds"})
        r.push_back({f, kCommon, f, 0, 0, -1, -1});
    for (const char* f : {"st_telop01a.dds", "st_telop01b.dds", "st_telop01c.dds"})
        r.push_back({f, "texture/game/telop", f, 0, 0, -1, -1});
    return r;
}

// The game's files, read as the game reads them: from the archives the
// build leaves, the first registered holder of a name serving it.
class GameData : public testing::Test {
protected:
    static void SetUpTestSuite() {
        loader_ = new ResourceLoader;
        loader_->SetMode(ResourceLoader::kArchives);
        for (const std::string& name : Staging::ArchiveNames())
            loader_->OpenArchive((sys::ExecutableFolder() + "data/" + name).c_str());
    }
    static void TearDownTestSuite() {
        loader_->Finalize();
        delete loader_;
    }
    static std::vector<uint8_t> Read(const char* folder, const char* name) {
        return ReadEntry(*loader_, folder, name);
    }
    static inline ResourceLoader* loader_ = nullptr;
};

// Legible: the region is not one flat colour, a fair part of it (the
// strokes) stands out from its most common colour, and mostly ground
// around them.
TEST_F(GameData, EveryRegionShownAsTextCarriesGlyphs) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const GlyphRegion& g : GlyphRegions()) {
        SCOPED_TRACE(g.what);
        std::vector<uint8_t>& bytes = files[std::string(g.folder) + "/" + g.file];
        if (bytes.empty())
            bytes = Read(g.folder, g.file);
        sys::DdsImage image;
        ASSERT_TRUE(sys::ParseDds(bytes.data(), bytes.size(), image));
        ASSERT_TRUE(image.format == sys::DdsFormat::R8G8B8A8 ||
                    image.format == sys::DdsFormat::B8G8R8A8)
            << "a block-compressed picture holds flat colours, not glyphs";
        const sys::DdsSurface& s = image.Surface(0, 0);
        const int x1 = g.x1 < 0 ? static_cast<int>(image.width) : g.x1;
        const int y1 = g.y1 < 0 ? static_cast<int>(image.height) : g.y1;
        ASSERT_LE(x1, static_cast<int>(image.width));
        ASSERT_LE(y1, static_cast<int>(image.height));
        const auto pixelAt = [&s](int x, int y) {
            uint32_t px;
            std::memcpy(&px, s.data + static_cast<size_t>(y) * s.rowPitch + 4 * x, 4);
            return px;
        };
        EXPECT_EQ(testsupport::GlyphsIn(g.x0, g.y0, x1, y1, g.share, pixelAt), "");
    }
}

} // namespace
