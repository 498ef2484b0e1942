#pragma once

#include "game/flow/SceneBase.h"

#include <cstdint>

// The opening story of a story game, in least form until the story scenes
// are built: it records the pilot it was started for and goes on to the
// first stage, at its first update or, while starts are held (tests), when
// asked to end.
class SceneStoryOpening : public SceneBase {
public:
    SceneStoryOpening() = default;

    void Begin() override;
    void Update() override;

    void RequestEnd() { endRequested_ = true; }
    int32_t GetPilot() const { return pilot_; }

    static uint32_t GetStartCount() { return s_starts; }
    static void ClearStarts() { s_starts = 0; }
    static void SetHeld(bool held) { s_held = held; }

private:
    int32_t pilot_ = -1;
    bool endRequested_ = false;

    static inline uint32_t s_starts = 0;
    static inline bool s_held = false;
};
