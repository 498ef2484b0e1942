#include "game/stage/ResultTally.h"

#include "game/core/GlobalWork.h"

void ResultTally::Start(bool highRate, const GlobalWork& work) {
    active_ = 1;
    timer_ = kStartTimer;
    highRate_ = highRate ? 1 : 0;
    // The stage's miss and damage counters are GlobalWork's second and first.
    noMissBonus_ = work.misses == 0 ? kLineBonus : 0;
    noDamageBonus_ = work.hitsTaken == 0 ? kLineBonus : 0;
    ships_ = work.player.lives + 1;
    if (ships_ < 0)
        ships_ = 0;
    bonus_ = noMissBonus_ + noDamageBonus_ + ships_ * (highRate ? kHighLifeRate : kLowLifeRate);
    step_ = bonus_ / kPayOutSteps;
}

void ResultTally::Step() {
    if (active_)
        --timer_;
}

void ResultTally::PayOut(PlayerWork& player) {
    if (!active_ || timer_ > kPayOutFrom || bonus_ <= 0)
        return;
    // A bonus below the step count has a step of 0: it is paid at once.
    const int32_t paid = step_ > 0 && step_ < bonus_ ? step_ : bonus_;
    bonus_ -= paid;
    player.AddScore(paid);
}
