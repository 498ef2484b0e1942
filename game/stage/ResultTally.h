// The bonus tally at the end of a stage or a score attack: what the bonus is
// made of, the timer that paces its display (one step per drawn frame, from
// 60 down past 0) and the pay-out into the score in equal steps.
#pragma once

#include <cstdint>

class GlobalWork;
struct PlayerWork;

class ResultTally {
public:
    static constexpr int32_t kStartTimer = 60;
    static constexpr int32_t kLineBonus = 1000000; // no miss, no damage
    static constexpr int32_t kHighLifeRate = 1000000;
    static constexpr int32_t kLowLifeRate = 500000;
    static constexpr int32_t kPayOutSteps = 120;
    // The timer value from which the bonus is paid out, and the one after
    // which the staging may close the stage.
    static constexpr int32_t kPayOutFrom = -130;
    static constexpr int32_t kOverBelow = -220;

    // Starts the tally: `highRate` pays 1000000 per remaining ship (stock + 1)
    // instead of 500000; no miss and no damage in the stage add 1000000 each.
    void Start(bool highRate, const GlobalWork& work);
    // One drawn frame: the timer falls by one and, from kPayOutFrom on, a
    // step of the bonus (or what remains of it) goes to the score.
    void Step();
    void PayOut(PlayerWork& player);
    // The result display goes away (the ending's story takes the screen).
    void Hide() { active_ = 0; }

    bool IsActive() const { return active_ != 0; }
    bool IsOver() const { return timer_ < kOverBelow; }
    bool IsHighRate() const { return highRate_ != 0; }
    int32_t GetTimer() const { return timer_; }
    int32_t GetBonus() const { return bonus_; }
    int32_t GetStep() const { return step_; }
    int32_t GetNoMissBonus() const { return noMissBonus_; }
    int32_t GetNoDamageBonus() const { return noDamageBonus_; }
    int32_t GetShips() const { return ships_; }

private:
    uint8_t active_ = 0;
    uint8_t highRate_ = 0;
    int32_t timer_ = 0;
    int32_t step_ = 0;
    int32_t bonus_ = 0;
    int32_t noMissBonus_ = 0;
    int32_t noDamageBonus_ = 0;
    int32_t ships_ = 0;
};
