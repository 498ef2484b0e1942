#include "tools/effect/ChunkWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using effecttools::ChunkWriter;
using Bytes = std::vector<uint8_t>;

TEST(ChunkWriterTest, TagsAreStoredWithTheirCharactersReversed) {
    EXPECT_EQ(ChunkWriter::TagFromText("Pack"), 0x5061636Bu);
    EXPECT_EQ(ChunkWriter::TagFromText("Ver"), 0x00566572u);
    const Bytes pack = ChunkWriter().Begin("Pack").End().Take();
    EXPECT_EQ(pack, (Bytes{0x6B, 0x63, 0x61, 0x50, 0, 0, 0, 0}));
    const Bytes ver = ChunkWriter().U32("Ver", 0x01010101).Take();
    EXPECT_EQ(ver, (Bytes{0x72, 0x65, 0x56, 0x00, 4, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_THROW(ChunkWriter::TagFromText("Toolong"), std::invalid_argument);
    EXPECT_THROW(ChunkWriter::TagFromText(""), std::invalid_argument);
}

TEST(ChunkWriterTest, NestedChunksGetTheirSizesAndPadding) {
    ChunkWriter w;
    w.Begin("Pack").U8("One", 9).Text("Nm", "ab").End();
    const Bytes b = w.Take();
    // Pack header, "One" (8 + 1 + 3 padding), "Nm" (8 + 3 + 1 padding).
    ASSERT_EQ(b.size(), 8u + 12u + 12u);
    EXPECT_EQ(b[4], 24);
    EXPECT_EQ(b[8 + 4], 1);
    EXPECT_EQ(b[8 + 8], 9);
    EXPECT_EQ(b[8 + 9], 0);
    EXPECT_EQ(b[20 + 4], 3);
    EXPECT_EQ(b[20 + 8], 'a');
    EXPECT_EQ(b[20 + 10], 0);
}

TEST(ChunkWriterTest, RawLayerWritesWhatItIsTold) {
    ChunkWriter w;
    w.RawHeader(0x11223344u, 0xFFFFFFFCu).RawBytes("\x01\x02", 2);
    w.CutTo(9);
    EXPECT_EQ(w.Take(), (Bytes{0x44, 0x33, 0x22, 0x11, 0xFC, 0xFF, 0xFF, 0xFF, 0x01}));
}

TEST(ChunkWriterTest, UnbalancedChunksAreRefused) {
    ChunkWriter open;
    open.Begin("Pack");
    EXPECT_THROW(open.Take(), std::logic_error);
    ChunkWriter closed;
    EXPECT_THROW(closed.End(), std::logic_error);
}

} // namespace
