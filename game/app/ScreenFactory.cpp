#include "game/app/ScreenFactory.h"

#include "game/flow/SceneBase.h"

SceneBase* CreateScreen(ScreenKind kind) {
    switch (kind) {
    case ScreenKind::kStory:
        // The story scene is not built yet: a boss that hands over finds no
        // screen and its stage goes on.
        return nullptr;
    }
    return nullptr;
}
