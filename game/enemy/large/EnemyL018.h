// Type 78: comes in and hovers as type 77, then chases the player's screen
// position (plus an offset of its own) for its row's time and dives off the
// bottom. The chase steers through a ring of 15 target points written and
// read once a frame.
#pragma once

#include "game/enemy/large/EnemyL017.h"

#include <cstdint>

class EnemyL018 : public EnemyL017 {
public:
    static constexpr int32_t kType = 78;
    static constexpr int32_t kStartChase = 4;
    static constexpr int32_t kChase = 2;
    static constexpr int32_t kDive = 8;
    static constexpr int32_t kRing = 15;

    EnemyL018(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    // Straight down while diving.
    void Rotate() override;

    int32_t GetChaseTimer() const { return chaseTimer_; }
    int32_t GetWriteIndex() const { return writeIndex_; }
    int32_t GetReadIndex() const { return readIndex_; }
    const Mireku::Common::Vector2& GetTargetOffset() const { return targetOffset_; }
    const Mireku::Common::Vector2& GetRingPoint(int32_t i) const { return ring_[i % kRing]; }

private:
    int32_t chaseTimer_ = 0;
    Mireku::Common::Vector2 ring_[kRing];
    Mireku::Common::Vector2 targetOffset_;
    int32_t writeIndex_ = 0;
    int32_t readIndex_ = 0;
};
