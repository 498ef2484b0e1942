#include "game/app/ScreenFactory.h"

#include "game/core/GlobalWork.h"
#include "game/scene/SceneStory.h"

SceneBase* CreateScreen(ScreenKind kind) {
    switch (kind) {
    case ScreenKind::kStory: {
        const GlobalWork* work = GlobalWork::GetInstance();
        return new SceneStory(work ? work->storyRequest : SceneStory::kBetweenStages);
    }
    }
    return nullptr;
}
