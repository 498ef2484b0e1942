// The running game's player record: 48 bytes, copied whole into the header of
// a replay, so its layout is the file's.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

struct PlayerWork {
    static constexpr uint16_t kMaxLives = 256;
    static constexpr uint8_t kMaxCounter = 255;

    uint64_t score;
    uint64_t hiScore;
    uint64_t nextExtend;    // score at which the next extend is given
    uint32_t grabusterHits; // counted up by Grabuster kills; sets the chain level
    uint8_t continues;      // continues used
    uint8_t extends;        // extends given
    int16_t barionGauge;
    int16_t hyperioGauge;
    int16_t invincibleTimer;
    int16_t lives;         // ships in stock
    int8_t ship;           // ship and pilot 0-5
    int8_t power;          // power level 0-3
    uint8_t subWeaponMode; // 0 main shot, 1 sub weapon
    uint8_t subWeapon;
    uint8_t invincible;
    uint8_t guard;
    uint8_t down;
    uint8_t reserved1[3];

    // Adds to the score, gives at most one extend when the mode has extends
    // on and the threshold is reached, and keeps the high score. A negative
    // amount (a row's signed score) takes points away, down to 0: the score
    // never wraps, which would pass every extend threshold from then on.
    void AddScore(int64_t amount);
    // Voice 20 or 21 of the pilot, one more ship in stock, one more extend.
    void Extend();
    void AddLives(int32_t n);
    uint8_t AddContinue();
    // Fills towards the ship's gauge maximum; reaching it plays its sound.
    void AddBarionGauge(int32_t n);
    void AddHyperioGauge(int32_t n);

    // The invincibility timer holds the rows' unsigned frame counts (up to
    // 65534); its one negative value, -1, means until further notice.
    static constexpr int16_t kUntilFurtherNotice = -1;
    static int16_t InvincibleFrames(uint16_t frames) {
        return static_cast<int16_t>(frames < 0xFFFFu ? frames : 0xFFFEu);
    }
    // One frame of the timer, read at its unsigned width; true on the frame
    // it runs out.
    static bool CountDownInvincibility(int16_t& timer) {
        auto frames = static_cast<uint16_t>(timer);
        if (timer == kUntilFurtherNotice || frames == 0)
            return false;
        timer = static_cast<int16_t>(--frames);
        return frames == 0;
    }
};

static_assert(sizeof(PlayerWork) == 48);
static_assert(offsetof(PlayerWork, grabusterHits) == 24);
static_assert(offsetof(PlayerWork, continues) == 28);
static_assert(offsetof(PlayerWork, barionGauge) == 30);
static_assert(offsetof(PlayerWork, lives) == 36);
static_assert(offsetof(PlayerWork, ship) == 38);
static_assert(offsetof(PlayerWork, subWeaponMode) == 40);
static_assert(offsetof(PlayerWork, down) == 44);
static_assert(std::endian::native == std::endian::little,
              "saves and replays are little-endian images");
