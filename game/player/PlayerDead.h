// The ship's miss, from the hit to the explosion: holds the player's input
// off for the ship's death delay while a warning blinks over the ship, then
// hides the ship, throws the death explosion (pod, bomb, shock ring and 64
// shards), starts the return staging unless it was the last life, shakes
// the screen and vanishes. Kind and group 0, no hit shape.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class Player;

class PlayerDead : public GameObject {
public:
    static constexpr uint32_t kDebrisCount = 64;
    // The warning shows from this frame on, each of its two images for four.
    static constexpr uint8_t kWarningFrom = 8;
    static constexpr uint8_t kWarningFrames = 4;
    // The screen shake at the explosion.
    static constexpr int32_t kShakeFrames = 40;
    static constexpr float kShakeAmplitude = 16.0f;
    static constexpr float kShakeCycles = 5.0f;

    // Holds the director's input until the delay is over.
    PlayerDead(GameObjectDirector* owner, Player* player, uint8_t gameOver, uint8_t playerIndex);

    void Update() override;
    void Draw() override;

    uint8_t IsGameOver() const { return gameOver_; }
    uint8_t GetFrames() const { return frames_; }
    Player* GetPlayer() const { return player_; }
    // The warning image drawn at a frame count (0 or 1), -1 for none.
    static int32_t WarningImage(uint8_t frames);

private:
    uint8_t gameOver_;
    uint8_t playerIndex_;
    uint8_t frames_ = 0;
    Player* player_;
};
