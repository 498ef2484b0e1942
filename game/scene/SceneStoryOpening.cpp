#include "game/scene/SceneStoryOpening.h"

#include "game/core/SpriteQuad.h"
#include "game/scene/StoryColour.h"
#include "game/scene/StoryScriptDriver.h"

#include <cstdio>

namespace {

constexpr float kCrossFadeStep = 1.0f / 60.0f;

} // namespace

void SceneStoryOpening::PictureNames(int32_t pilot, char (&names)[kPictureCount][32]) {
    std::snprintf(names[0], sizeof names[0], "ev_demo_bg01.dds");
    std::snprintf(names[1], sizeof names[1], "ev_demo_bg02.dds");
    std::snprintf(names[2], sizeof names[2], "ev_pr_name_pc%d.dds", pilot);
    std::snprintf(names[3], sizeof names[3], "ev_demo_bg03.dds");
    std::snprintf(names[4], sizeof names[4], "ev_demo_bg04.dds");
    std::snprintf(names[5], sizeof names[5], "ev_demo_bg05.dds");
}

void SceneStoryOpening::OnBegin() {
    BeginStory(StoryScriptDriver::kOpening, kMusic,
               RollLength(StoryScriptDriver::PilotOfPlayer(), 0));
}

void SceneStoryOpening::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    char names[kPictureCount][32];
    PictureNames(StoryScriptDriver::Instance().GetPilot(), names);
    const char* list[kPictureCount];
    for (int32_t i = 0; i < kPictureCount; ++i)
        list[i] = names[i];
    LoadStory(loader, list);
}

void SceneStoryOpening::ReleaseResources() {
    StoryPictureScene::ReleaseResources();
    StoryScriptDriver::Instance().ClearRecords();
}

void SceneStoryOpening::StateShown() {
    CheckCancel(kRoll);
    const int32_t length = static_cast<int32_t>(GetRollLength());
    if (!StepShared(kRoll - 1)) {
        switch (subState_) {
        case kRoll:
            if (++counter_ >= length / 2)
                subState_ = kCrossFade;
            break;
        case kCrossFade:
            brightness_ -= kCrossFadeStep;
            if (brightness_ <= 0.0f) {
                ++pictureIndex_;
                brightness_ = 1.0f;
                subState_ = kRollEnd;
            }
            break;
        case kRollEnd:
            StepRollEnd();
            break;
        default:
            break;
        }
    }
    UpdateVoice();
    Draw();
}

void SceneStoryOpening::Draw() {
    if (subState_ == kCrossFade) {
        DrawPicture(pictureIndex_ + 1, SpriteQuad::kWhite);
        DrawPicture(pictureIndex_, StoryColour::WithAlpha(SpriteQuad::kWhite, brightness_));
    } else {
        DrawCurrentPicture();
    }
    DrawOverPictures(kOpeningMode, kWindowFrom, kRoll);
}
