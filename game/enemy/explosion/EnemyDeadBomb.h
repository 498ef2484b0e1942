// A flip-book explosion: 256 by 256 cells of an atlas, four to a row, shown
// for their frame lengths, with 16 bits of debris thrown at its birth. The
// size picks the atlas, layer, lengths and scale. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class EnemyDeadBomb : public GameObject {
public:
    enum Size : uint32_t {
        kSizeSmall = 0,  // "ef_teki_baku1.dds"
        kSizeSmallB = 1, // "ef_teki_baku1b.dds", at 1.5
        kSizeBoss = 2,   // "ef_boss_baku1.dds", at the scale given
        kSizeMiddle = 3, // "ef_teki_baku1_chuugata.dds"
        kSizeIce = 4,    // "ef_ice_baku.dds"
        kSizeCount = 5,  // larger sizes live by the first table and draw nothing
    };
    static constexpr uint32_t kDebrisCount = 16;
    static constexpr float kCell = 256.0f;
    static constexpr float kDrag = 0.94f;

    // Frames each image stays for (one more than its length), table A (size
    // 0, 2, 3, 4) and table B (size 1), then the terminator.
    static constexpr int16_t kEnd = -1;
    static constexpr int16_t kLengthsA[17] = {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, kEnd};
    static constexpr int16_t kLengthsB[15] = {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, kEnd};

    // Stores velocity and size, turns and scales, places it, applies the
    // size's scale and appends its debris to the owner.
    EnemyDeadBomb(GameObjectDirector* owner, uint32_t size, const Mireku::Common::Vector2& position,
                  const Mireku::Common::Vector2& velocity, float angle, float scale);

    // Made only when a pool block is free and the owner takes children: then
    // the angle is drawn (stream 0) and the explosion appended. Null otherwise.
    static EnemyDeadBomb* CreateTurned(GameObjectDirector* owner, uint32_t size,
                                       const Mireku::Common::Vector2& position,
                                       const Mireku::Common::Vector2& velocity, float scale);
    // As CreateTurned, with the scale drawn uniform in [scaleLow, scaleHigh)
    // before the angle.
    static EnemyDeadBomb* CreateScaledTurned(GameObjectDirector* owner, uint32_t size,
                                             const Mireku::Common::Vector2& position,
                                             const Mireku::Common::Vector2& velocity,
                                             float scaleLow, float scaleHigh);

    void Update() override;
    void Draw() override;

    uint32_t GetSize() const { return size_; }
    int16_t GetImage() const { return image_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    const int16_t* Lengths() const { return size_ == kSizeSmallB ? kLengthsB : kLengthsA; }

    Mireku::Common::Vector2 velocity_;
    uint32_t size_;
    int16_t frameCounter_ = 0;
    int16_t image_ = 0;
};
