#pragma once

#include "game/flow/SceneBase.h"

// The first scene of the game. Until its screen is built it holds nothing
// and does nothing, so the start-up's black screen stays.
class SceneLogo : public SceneBase {
public:
    SceneLogo() = default;
};
