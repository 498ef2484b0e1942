// How a finished game leaves: the score goes into the ranking of its mode,
// and a place in the top ten opens the ranking with that row lit (the first
// place with the pilot's cheer); any other result goes to the title.
#pragma once

// Queues the ranking or the title on the scene driver; nothing without a
// driver or a game state.
void PushRankingOrTitle();
// Puts the score into the ranking and queues the ranking when it placed in
// the top ten; false (nothing queued) otherwise, or without a driver or a
// game state.
bool PushRankingIfPlaced();
