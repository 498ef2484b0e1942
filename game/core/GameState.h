// The running game's state word of GlobalWork and the game type that changes
// how a stage plays: one place for the numbers the scenes, the director and
// the stage objects compare against.
#pragma once

#include <cstdint>

namespace GameState {

constexpr uint32_t kPlaying = 0;
constexpr uint32_t kPaused = 1;   // set by the game screen
constexpr uint32_t kContinue = 2; // the continue countdown runs
constexpr uint32_t kGameOver = 3;
constexpr uint32_t kCleared = 4; // set by the stage-clear staging
constexpr uint32_t kStory = 6;   // a story scene runs over the stage
constexpr uint32_t kTimeUp = 7;  // a score attack ran out of time

// GlobalWork::gameType of the score attack (the challenge modes).
constexpr uint32_t kScoreAttackType = 5;
// GlobalWork::mode of the short score attack.
constexpr uint32_t kShortScoreAttackMode = 8;

} // namespace GameState
