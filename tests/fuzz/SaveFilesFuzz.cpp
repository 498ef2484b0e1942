// Feeds random bytes as each of the three save files: a file is taken whole
// (up to its block) or refused for the defaults, and what the game then does
// with the images (clears, rankings, the starting lives) stays in bounds.
#include "game/core/ConfigBlock.h"
#include "game/core/ProgressBlock.h"
#include "game/core/SaveImage.h"
#include "game/core/ScoreBlock.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint8_t progress[ProgressBlock::kSize];
    static uint8_t config[ConfigBlock::kSize];
    static uint8_t score[ScoreBlock::kSize];

    ProgressBlock::Reset(progress);
    SaveImage::Apply(progress, ProgressBlock::kSize, data, size, ProgressBlock::kVersion,
                     ProgressBlock::kOldVersion);
    ConfigBlock::Reset(config);
    const bool configTaken = SaveImage::Apply(config, ConfigBlock::kSize, data, size,
                                              ConfigBlock::kVersion, ConfigBlock::kVersion);
    std::memset(score, 0, sizeof(score));
    SaveImage::Apply(score, ScoreBlock::kSize, data, size, ScoreBlock::kVersion,
                     ScoreBlock::kVersion);

    if (!configTaken && std::memcmp(config, ConfigBlock::Defaults(), ConfigBlock::kSize) != 0)
        std::abort();
    const int8_t ship = size > 4 ? static_cast<int8_t>(data[4]) : 0;
    const uint32_t mode = size > 5 ? data[5] : 0;
    ProgressBlock::RecordClear(progress, ship, 4, mode);
    const int32_t table = ScoreBlock::TableOfMode(mode);
    if (table >= 0) {
        const int32_t place =
            ScoreBlock::Insert(score, static_cast<uint32_t>(table), size * 977u,
                               static_cast<uint16_t>(ship), {2026, 1, 1, 0, 0, 0});
        if (place < -1 || place >= static_cast<int32_t>(ScoreBlock::kEntryCount))
            std::abort();
    }
    return 0;
}
