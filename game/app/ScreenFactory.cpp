#include "game/app/ScreenFactory.h"

#include "game/scene/SceneStory.h"

SceneBase* CreateScreen(ScreenKind kind) {
    switch (kind) {
    case ScreenKind::kStory:
        return new SceneStory();
    }
    return nullptr;
}
