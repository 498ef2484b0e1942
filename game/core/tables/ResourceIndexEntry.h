// One u32 per enemy type of "enemy_res_index.tsb" (and per bullet of
// "ebss_res_index.tsb"): three signed 10-bit indices, -1 for none. Bits 0-9
// name the texture, 10-19 the override path, 20-29 the base path.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstdint>

struct ResourceIndexEntry {
    static constexpr int32_t kNone = -1;

    uint32_t bits;

    int32_t Texture() const { return Field(0); }
    int32_t OverridePath() const { return Field(10); }
    int32_t BasePath() const { return Field(20); }

    static constexpr ResourceIndexEntry Make(int32_t texture, int32_t overridePath,
                                             int32_t basePath) {
        return {Pack(texture, 0) | Pack(overridePath, 10) | Pack(basePath, 20)};
    }

private:
    int32_t Field(uint32_t shift) const {
        const int32_t v = static_cast<int32_t>(bits >> shift & 0x3FFu);
        return v >= 0x200 ? v - 0x400 : v;
    }
    static constexpr uint32_t Pack(int32_t value, uint32_t shift) {
        return (static_cast<uint32_t>(value) & 0x3FFu) << shift;
    }
};

static_assert(TableRow<ResourceIndexEntry> && sizeof(ResourceIndexEntry) == 4);
