// What the player's two death explosions (the ship's bomb and the pod's)
// share: the screen flash and zoom centred on the ship with sound 15 when
// they start, and their frame schedule. Frame i is held for kLengths[i]
// updates, frames 0-4 for one, 5-12 for two, 13-30 for three, then the end:
// 75 updates through frames 0 to 30. At frame 16 the flash is let go.
#pragma once

#include <cstdint>

class GameObjectDirector;

class PlayerExplosionSchedule {
public:
    static constexpr int32_t kEnd = -1;
    static constexpr int32_t kLengths[32] = {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3,
                                             3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, kEnd};
    static constexpr int16_t kFlashReleaseFrame = 16;
    static constexpr int32_t kSound = 15;
    static constexpr float kFlash = 0.7f;
    static constexpr float kZoom = 3.0f;

    // The flash and the sound of the explosion's start.
    static void Start(GameObjectDirector* director);
    // One update; true once, on the update the schedule runs out.
    bool Advance(GameObjectDirector* director);
    int16_t GetFrame() const { return frame_; }

private:
    int16_t hold_ = 0;
    int16_t frame_ = 0;
};
