#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/ChunkTag.h"
#include "tools/effect/ChunkWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using effecttools::ChunkWriter;
using FulgorCore::Chunk;
using FulgorCore::ChunkWalker;
using FulgorCore::MakeChunkTag;

std::vector<Chunk> WalkAll(const std::vector<uint8_t>& bytes) {
    ChunkWalker walker(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::vector<Chunk> chunks;
    Chunk c;
    while (walker.Next(c))
        chunks.push_back(c);
    return chunks;
}

TEST(ChunkWalkerTest, TagsReadAsTheirCharacters) {
    static_assert(MakeChunkTag("Pack") == 0x5061636Bu);
    static_assert(MakeChunkTag("Ver") == 0x00566572u);
    static_assert(MakeChunkTag("Name") == 0x4E616D65u);
    static_assert(MakeChunkTag("TexN") == 0x5465784Eu);
    const std::vector<uint8_t> bytes = ChunkWriter().U32("Ver", 0x01010101).Take();
    const std::vector<Chunk> chunks = WalkAll(bytes);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].tag, MakeChunkTag("Ver"));
    EXPECT_EQ(chunks[0].U32(), 0x01010101u);
}

TEST(ChunkWalkerTest, PaddingPutsTheNextTagSixteenBytesOn) {
    const uint8_t five[5] = {1, 2, 3, 4, 5};
    const std::vector<uint8_t> bytes = ChunkWriter().Bytes("Data", five, 5).U32("Next", 7).Take();
    ASSERT_EQ(bytes.size(), 16u + 12u);
    ChunkWalker walker(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Chunk c;
    ASSERT_TRUE(walker.Next(c));
    EXPECT_EQ(c.size, 5u);
    EXPECT_EQ(walker.GetOffset(), 16u);
    ASSERT_TRUE(walker.Next(c));
    EXPECT_EQ(c.tag, MakeChunkTag("Next"));
    EXPECT_EQ(c.U32(), 7u);
    EXPECT_FALSE(walker.Next(c));
}

TEST(ChunkWalkerTest, ASizePastTheEndEndsTheWalk) {
    ChunkWriter w;
    w.U32("Frst", 1).RawHeader(MakeChunkTag("Bad"), 21).RawBytes("12345678", 8);
    w.U32("Lost", 2);
    const std::vector<Chunk> chunks = WalkAll(w.Take());
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].tag, MakeChunkTag("Frst"));
}

TEST(ChunkWalkerTest, SizesNearFourGigabytesDoNotWrapBackIntoTheStream) {
    // 0xFFFFFFFC rounded and added in 32 bits lands 4 bytes on and passes
    // an end test; compared with the bytes left it is far past the end.
    const uint32_t sizes[3] = {0xFFFFFFFCu, 0xFFFFFFF8u, 0xFFFFFFFFu};
    for (uint32_t size : sizes) {
        ChunkWriter w;
        w.RawHeader(MakeChunkTag("Huge"), size);
        w.U32("Hide", 1).U32("Hide", 2).U32("Hide", 3);
        EXPECT_TRUE(WalkAll(w.Take()).empty()) << size;
    }
}

TEST(ChunkWalkerTest, AHeaderCutShortEndsTheWalk) {
    ChunkWriter w;
    w.U32("Frst", 1).U32("Scnd", 2);
    w.CutTo(12 + 7);
    EXPECT_EQ(WalkAll(w.Take()).size(), 1u);
    ChunkWriter payloadCut;
    payloadCut.U32("Frst", 1).U32("Scnd", 2);
    payloadCut.CutTo(12 + 11);
    EXPECT_EQ(WalkAll(payloadCut.Take()).size(), 1u);
}

TEST(ChunkWalkerTest, APayloadEndingTheStreamNeedsNoPadding) {
    ChunkWriter w;
    w.Bytes("Data", "abcde", 5);
    w.CutTo(13);
    const std::vector<uint8_t> bytes = w.Take();
    const std::vector<Chunk> chunks = WalkAll(bytes);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].size, 5u);
}

TEST(ChunkWalkerTest, NestedChunksRoundTrip) {
    ChunkWriter w;
    w.U32("Ver", 0x01010101);
    w.Begin("Pack");
    w.I32("Cnt", -3).Begin("Unit").F32("Life", 240.5f).Text("Name", "logo").End();
    w.Flag("bLop", true);
    w.End();
    w.Text("TexN", "a.dds");
    const std::vector<uint8_t> bytes = w.Take();
    const std::vector<Chunk> top = WalkAll(bytes);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[1].tag, MakeChunkTag("Pack"));
    EXPECT_EQ(top[2].Text(), "a.dds");

    ChunkWalker pack = top[1].Children();
    Chunk c;
    ASSERT_TRUE(pack.Next(c));
    EXPECT_EQ(c.I32(), -3);
    EXPECT_EQ(c.IntAsFloat(), -3.0f);
    ASSERT_TRUE(pack.Next(c));
    EXPECT_EQ(c.tag, MakeChunkTag("Unit"));
    ChunkWalker unit = c.Children();
    Chunk u;
    ASSERT_TRUE(unit.Next(u));
    EXPECT_EQ(u.Float(), 240.5f);
    ASSERT_TRUE(unit.Next(u));
    EXPECT_EQ(u.Text(), "logo");
    EXPECT_FALSE(unit.Next(u));
    ASSERT_TRUE(pack.Next(c));
    EXPECT_TRUE(c.Flag());
    EXPECT_FALSE(pack.Next(c));
}

TEST(ChunkWalkerTest, ShortPayloadsZeroExtend) {
    ChunkWriter w;
    w.Bytes("Two", "\x01\x82", 2).Bytes("One", "\xFF", 1).Bytes("None", nullptr, 0);
    const std::vector<uint8_t> bytes = w.Take();
    const std::vector<Chunk> chunks = WalkAll(bytes);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].U32(), 0x8201u);
    EXPECT_EQ(chunks[0].I32(), 0x8201);
    EXPECT_EQ(chunks[0].I16(), static_cast<int16_t>(0x8201));
    EXPECT_EQ(chunks[1].U32(), 0xFFu);
    EXPECT_EQ(chunks[1].I16(), 0xFF);
    EXPECT_EQ(chunks[1].I8(), -1);
    EXPECT_EQ(chunks[2].U32(), 0u);
    EXPECT_EQ(chunks[2].U8(), 0u);
    EXPECT_FALSE(chunks[2].Flag());
    EXPECT_EQ(chunks[2].Float(), 0.0f);
    EXPECT_EQ(chunks[2].Text(), "");
    uint8_t record[6];
    std::memset(record, 0xAA, sizeof(record));
    chunks[0].CopyPayload(record, sizeof(record));
    EXPECT_EQ(record[0], 0x01);
    EXPECT_EQ(record[1], 0x82);
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(record[i], 0);
}

TEST(ChunkWalkerTest, TextStaysInsideItsChunkAndIsTerminated) {
    ChunkWriter w;
    // No terminator: the text ends with the chunk, not in the next one.
    w.Bytes("Name", "abcdef", 6).Text("Next", "zz");
    const std::vector<uint8_t> bytes = w.Take();
    const std::vector<Chunk> chunks = WalkAll(bytes);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].Text(), "abcdef");
    char field[4];
    EXPECT_EQ(chunks[0].CopyText(field, sizeof(field)), 3u);
    EXPECT_STREQ(field, "abc");
    char wide[32];
    chunks[0].CopyText(wide, sizeof(wide));
    EXPECT_STREQ(wide, "abcdef");
    EXPECT_EQ(chunks[0].CopyText(field, 0), 0u);
}

TEST(ChunkWalkerTest, AnEmptyOrNullStreamHasNoChunks) {
    Chunk c;
    ChunkWalker none;
    EXPECT_FALSE(none.Next(c));
    ChunkWalker null(nullptr, 100);
    EXPECT_FALSE(null.Next(c));
    EXPECT_TRUE(c.Children().GetSize() == 0);
}

} // namespace
