// The player's settings as stored in "Config.dat": a 4096-byte image whose
// layout is fixed by the file. The one owner of that layout; everything that
// reads a setting (bindings, volumes, lives, screen mode) goes through here.
#pragma once

#include <cstdint>
#include <cstring>

namespace ConfigBlock {

constexpr uint32_t kSize = 4096;
constexpr uint32_t kVersion = 2;

constexpr uint32_t kOffsetVersion = 0;
constexpr uint32_t kOffsetPadNumber = 204;
constexpr uint32_t kOffsetBindings = 208; // 11 actions x 4 codes, i32, -1 = none
constexpr uint32_t kActionCount = 11;
constexpr uint32_t kCodesPerAction = 4;
constexpr uint32_t kOffsetLives = 384;
constexpr uint32_t kOffsetMusicVolume = 385;
constexpr uint32_t kOffsetSoundVolume = 386;
constexpr uint32_t kOffsetVoiceVolume = 387;
constexpr uint32_t kOffsetStoryLanguage = 388;
constexpr uint32_t kOffsetScreenMode = 389; // 0 window, 1 full screen

inline uint32_t ReadU32(const uint8_t* block, uint32_t offset) {
    uint32_t v;
    std::memcpy(&v, block + offset, 4);
    return v;
}
inline void WriteU32(uint8_t* block, uint32_t offset, uint32_t v) {
    std::memcpy(block + offset, &v, 4);
}

inline int32_t Binding(const uint8_t* block, uint32_t action, uint32_t slot) {
    int32_t v;
    std::memcpy(&v, block + kOffsetBindings + (action * kCodesPerAction + slot) * 4, 4);
    return v;
}
inline void SetBinding(uint8_t* block, uint32_t action, uint32_t slot, int32_t code) {
    std::memcpy(block + kOffsetBindings + (action * kCodesPerAction + slot) * 4, &code, 4);
}

// Zeros, every binding none, then the defaults.
inline void Reset(uint8_t* block) {
    std::memset(block, 0, kSize);
    for (uint32_t a = 0; a < kActionCount; ++a)
        for (uint32_t s = 0; s < kCodesPerAction; ++s)
            SetBinding(block, a, s, -1);
    WriteU32(block, kOffsetVersion, kVersion);
    WriteU32(block, kOffsetPadNumber, 0);
    // Pad codes: 32-39 d-pad and left stick, 0-9 buttons, 47 right trigger.
    static constexpr int32_t kDefaults[kActionCount][2] = {
        {34, 38}, {35, 39}, {33, 37}, {32, 36}, {6, 47}, {5, -1},
        {7, 3},   {8, -1},  {9, -1},  {0, -1},  {1, -1},
    };
    for (uint32_t a = 0; a < kActionCount; ++a)
        for (uint32_t s = 0; s < 2; ++s)
            SetBinding(block, a, s, kDefaults[a][s]);
    block[kOffsetLives] = 3;
    block[kOffsetMusicVolume] = 100;
    block[kOffsetSoundVolume] = 80;
    block[kOffsetVoiceVolume] = 80;
    block[kOffsetStoryLanguage] = 0;
    block[kOffsetScreenMode] = 0;
}

// A process-wide image holding the defaults, for code that runs before (or
// without) the game state that loads the saved one.
// Ships in stock at the start of a game or after a continue: the configured
// lives less the one flying, 0 for none and 255 for ten or more.
inline int16_t SpareLives(const uint8_t* block) {
    const uint8_t configured = block[kOffsetLives];
    return static_cast<int16_t>(configured >= 10 ? 255 : (configured == 0 ? 0 : configured - 1));
}

inline const uint8_t* Defaults() {
    static uint8_t block[kSize];
    static bool ready = (Reset(block), true);
    (void)ready;
    return block;
}

} // namespace ConfigBlock
