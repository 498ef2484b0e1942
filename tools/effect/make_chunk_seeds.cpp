// Writes the seed corpus of the effect-chunk fuzz target: small effect
// streams made with the writer's chunk layer, well formed and damaged.
//   make_chunk_seeds <folder>
#include "tools/effect/ChunkWriter.h"
#include "tools/effect/SeedFiles.h"

#include <string>
#include <vector>

namespace {

std::vector<std::vector<uint8_t>> Seeds() {
    using effecttools::ChunkWriter;
    std::vector<std::vector<uint8_t>> seeds;

    ChunkWriter top;
    top.U32("Ver", 0x01010101).Text("Name", "vfx/logo_bg.vfxb");
    top.Begin("Pack").I32("UTIC", 2);
    top.Begin("Unit").F32("Life", 240.0f).Flag("bLop", true).Text("SndF", "se").End();
    top.Begin("Unit").Begin("PrVT").U8("Type", 1).I16("Key", -3).U16("Cnt", 9).End().End();
    top.End();
    top.Text("TexN", "title/bg.dds");
    seeds.push_back(top.Take());

    // Nested eight deep.
    ChunkWriter deep;
    for (int i = 0; i < 8; ++i)
        deep.Begin("Nest").U32("Lvl", static_cast<uint32_t>(i));
    for (int i = 0; i < 8; ++i)
        deep.End();
    seeds.push_back(deep.Take());

    // A size near 4 GiB, a size one past the end, a cut header.
    ChunkWriter huge;
    huge.U32("Ok", 1).RawHeader(ChunkWriter::TagFromText("Huge"), 0xFFFFFFFCu).U32("Hid", 2);
    seeds.push_back(huge.Take());
    ChunkWriter past;
    past.RawHeader(ChunkWriter::TagFromText("Past"), 9).RawBytes("12345678", 8);
    seeds.push_back(past.Take());
    ChunkWriter cut;
    cut.U32("Frst", 1).Bytes("Data", "abcde", 5).U32("Last", 3);
    cut.CutTo(27);
    seeds.push_back(cut.Take());
    // Short payloads for every fixed-width read, text without a terminator.
    ChunkWriter shortReads;
    shortReads.Bytes("One", "\xFF", 1).Bytes("Two", "\x01\x80", 2).Bytes("Name", "abcdef", 6);
    seeds.push_back(shortReads.Take());
    return seeds;
}

} // namespace

int main(int argc, char** argv) {
    return effecttools::WriteSeedFiles(argc, argv, "make_chunk_seeds", Seeds());
}
