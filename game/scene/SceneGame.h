#pragma once

#include "game/flow/SceneBase.h"

#include <cstdint>

// The stage screen, in least form until the stage is built: it records what
// the game was started with and hands over to the title, at its first update
// or, while starts are held (tests), when asked to end. The stage, its
// director, pause, continue and game over are not here.
class SceneGame : public SceneBase {
public:
    // What a stage was started with, read from the game state at Begin.
    struct Start {
        int32_t ship = -1;
        uint32_t mode = 0;
        uint32_t stage = 0;
        uint32_t gameType = 0;
        uint8_t story = 0;
        uint8_t demo = 0;
        uint32_t subWeapons = 0;
        int32_t lastPilot = -1;
    };

    // Keeps the progress as it is now: the ending shows what this game
    // unlocked.
    SceneGame();

    void Begin() override;
    void Update() override;

    // Asks a held stage to end.
    void RequestEnd() { endRequested_ = true; }
    const Start& GetStart() const { return start_; }

    // The starts seen since the count was last cleared, and the last of them.
    static uint32_t GetStartCount();
    static const Start& GetLastStart();
    static void ClearStarts();
    // Held stages stay until RequestEnd.
    static void SetHeld(bool held);

private:
    Start start_;
    bool endRequested_ = false;
};
