#include "game/core/ReplayStream.h"

#include <cstring>

namespace ReplayStream {

void WriteHeader(uint8_t* data, const Header& header) {
    std::memcpy(data, &header.player, sizeof(PlayerWork));
    std::memcpy(data + kOffsetStage, &header.stage, 4);
    std::memcpy(data + kOffsetMode, &header.mode, 4);
}

bool ReadHeader(const uint8_t* data, size_t size, Header* header) {
    if (!data || size < kHeaderSize)
        return false;
    Header h;
    std::memcpy(&h.player, data, sizeof(PlayerWork));
    std::memcpy(&h.stage, data + kOffsetStage, 4);
    std::memcpy(&h.mode, data + kOffsetMode, 4);
    const PlayerWork& p = h.player;
    if (h.stage >= kStageCount || h.mode >= kModeCount)
        return false;
    if (p.ship < 0 || p.ship > 5 || p.power < 0 || p.power > 3)
        return false;
    if (p.subWeaponMode > 1 || p.subWeapon > 4)
        return false;
    if (p.lives < 0 || p.lives > PlayerWork::kMaxLives)
        return false;
    *header = h;
    return true;
}

} // namespace ReplayStream
