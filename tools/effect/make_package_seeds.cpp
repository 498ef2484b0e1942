// Writes the seed corpus of the effect-package fuzz target: the "Pack"
// payload of each of the game's seven effect files.
//   make_package_seeds <folder>
#include "tools/effect/GameEffects.h"
#include "tools/effect/SeedFiles.h"

#include <cstring>
#include <vector>

namespace {

// The payload of the file's "Pack" chunk, found by the chunk layout (tag,
// size, payload padded to 4).
std::vector<uint8_t> PackPayload(const std::vector<uint8_t>& file) {
    const uint32_t pack = 0x5061636B; // "Pack"
    size_t at = 0;
    while (at + 8 <= file.size()) {
        uint32_t tag;
        uint32_t size;
        std::memcpy(&tag, &file[at], 4);
        std::memcpy(&size, &file[at + 4], 4);
        if (at + 8 + size > file.size())
            break;
        if (tag == pack)
            return std::vector<uint8_t>(file.begin() + at + 8, file.begin() + at + 8 + size);
        at += 8 + ((size + 3) & ~3u);
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::vector<uint8_t>> seeds;
    for (const effecttools::GameEffectFile& f : effecttools::GameEffectFiles())
        seeds.push_back(PackPayload(f.bytes));
    return effecttools::WriteSeedFiles(argc, argv, "make_package_seeds", seeds);
}
