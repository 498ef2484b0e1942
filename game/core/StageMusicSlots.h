// The stage's two music slots, game-wide: the stage's own track and the
// stage-clear jingle. Whoever plays a stage's music keeps its slots here, so
// that a story scene over the stage can stop the track and start it again
// and the intermission can wait for the jingle to end. -1 for none.
#pragma once

#include <cstdint>

namespace StageMusicSlots {

inline int32_t stageTrack = -1;
inline int32_t clearJingle = -1;

} // namespace StageMusicSlots
