#include "game/app/ScreenFactory.h"

#include "game/core/GlobalWork.h"
#include "game/scene/SceneStory.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

// Play asks for the story by kind; the story takes the request the boss or
// the stage left in the game state.
TEST(ScreenFactory, StoryTakesTheRequestOfTheGameState) {
    SceneBase* screen = CreateScreen(ScreenKind::kStory);
    ASSERT_NE(dynamic_cast<SceneStory*>(screen), nullptr);
    EXPECT_EQ(static_cast<SceneStory*>(screen)->GetRequest(), SceneStory::kBetweenStages)
        << "no game state: between stages";
    delete screen;

    testsupport::ScratchFolder docs;
    GlobalWork* work = GlobalWork::CreateInstance(docs.Root().c_str());
    ASSERT_NE(work, nullptr);
    for (uint32_t request : {1u, 2u}) {
        work->storyRequest = request;
        screen = CreateScreen(ScreenKind::kStory);
        auto* story = dynamic_cast<SceneStory*>(screen);
        ASSERT_NE(story, nullptr);
        EXPECT_EQ(story->GetRequest(), request);
        delete screen;
    }
    GlobalWork::DestroyInstance();
}

} // namespace
