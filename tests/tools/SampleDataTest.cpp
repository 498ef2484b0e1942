#include "support/ArchiveTestSupport.h"

#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"
#include "tools/sampledata/Builder.h"
#include "tools/sampledata/ByteWriter.h"
#include "tools/sampledata/SampleKind.h"

#include <gtest/gtest.h>

#include <filesystem>

using Mireku::Resource::ResourceLoader;
using sampledata::Staging;
using testsupport::Compressible;

namespace {

// A kind of our own: one table in the lowest archive, an override of it in
// the highest, and a loose file.
bool BuildProbe(Staging& staging, std::string* error) {
    sampledata::ByteWriter w;
    w.U32(0x01020304).I16(-2).F32(1.5f).Text("abc", 8).Align(16);
    return staging.Add("0100", "code/probe.tsb", w.Take(), error) &&
           staging.Add("0310", "code/probe.tsb", {9, 9}, error) &&
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

    // "0310" is registered first, so its copy wins.
    EXPECT_EQ(ReadEntry(loader, "code", "probe.tsb"), (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(ReadEntry(loader, "vfx", "big.vfxb"), Compressible(50000, 4));
    EXPECT_EQ(scratch.ReadFile("data/replay/demo1.replay"), (std::vector<uint8_t>{1, 2, 3}));

    loader.Finalize();
    loader.OpenArchive(scratch.Path("data/0100").c_str());
    EXPECT_EQ(
        ReadEntry(loader, "code", "probe.tsb"),
        (std::vector<uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 0, 0, 0xC0, 0x3F, 'a', 'b', 'c', 0, 0, 0,
                              0, 0, 0, 0, 0,    0,    0, 0, 0,    0,    0,   0,   0,   0, 0, 0}));
    loader.Finalize();
}

TEST(SampleData, StagingRefusesWhatTheArchivesCannotHold) {
    Staging staging;
    std::string error;
    EXPECT_FALSE(staging.Add("0400", "code/a", {}, &error));
    EXPECT_FALSE(staging.Add("0100", "/code/a", {}, &error));
    EXPECT_FALSE(staging.Add("0100", "code//a", {}, &error));
    EXPECT_FALSE(staging.Add("0100", "code/../a", {}, &error));
    EXPECT_FALSE(staging.Add("0100", std::string(116, 'a'), {}, &error));
    EXPECT_TRUE(staging.Add("0100", std::string(115, 'a'), {}, &error));
    EXPECT_TRUE(staging.Add("0100", "code/a", {1}, &error));
    EXPECT_FALSE(staging.Add("0100", "code/a", {2}, &error));
    EXPECT_TRUE(staging.Add("0110", "code/a", {2}, &error));
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

} // namespace
