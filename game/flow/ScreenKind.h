// The screens that play code may start. Screens sit above play, so play names
// them only by kind; the composition root installs the function that makes
// them (SceneDriver::SetScreenFactory).
#pragma once

#include <cstdint>

enum class ScreenKind : uint32_t {
    // The story scene a boss hands over to; it reads GlobalWork::storyRequest.
    kStory = 0,
};
