#pragma once

#include "game/flow/ScreenKind.h"

class SceneBase;

// The scene driver's screen factory: makes the screen of a kind that play
// code asked for. Null when the screen cannot be made.
SceneBase* CreateScreen(ScreenKind kind);
