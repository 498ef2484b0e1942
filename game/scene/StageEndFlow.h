// What follows a finished stage. Outside story mode the stages run on, the
// twelfth asks about the second loop and the last one ends the game; in
// story mode the intermission plays after every third stage of a loop, the
// story between stages runs over each other next stage, and the last stage
// of either loop ends the story. An attract demo goes back to the title.
#pragma once

#include <cstdint>

enum class AfterStage : uint32_t {
    kTitle,              // the attract demo is over
    kNextStage,          // a new stage screen, one stage on
    kNextStageWithStory, // the same with the story between stages over it
    kNextLoop,           // the question of the second loop (it moves on itself)
    kIntermission,       // the intermission (it moves on itself)
    kEnding,
};

AfterStage NextAfterStage(uint32_t stage, bool story, bool attractDemo);

// The stage screen's leaving when its stage-end wait runs out: every screen
// ends and the next one is queued; the stage index moves on for the next
// stage. Nothing without a scene driver or a game state.
void LeaveFinishedStage();
