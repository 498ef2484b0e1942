#include "game/scene/StoryPictureScene.h"

#include "engine/graphics/Texture.h"
#include "engine/renderer/SpriteRenderer.h"
#include "game/core/InputManager.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneStory.h"
#include "game/scene/StoryColour.h"
#include "game/scene/StoryScriptDriver.h"

using Mireku::Renderer::SpriteRenderer;

void StoryPictureScene::BeginStory(uint32_t kind, const char* music, uint32_t rollLength) {
    StoryScriptDriver::Instance().SetScript(kind);
    rollLength_ = rollLength;
    subState_ = 1;
    counter_ = 0;
    pictureIndex_ = 0;
    brightness_ = 1.0f;
    blackOut_ = 0.0f;
    OpenMusic(music);
}

void StoryPictureScene::LoadStory(Mireku::Resource::ChildResourceLoader& loader,
                                  const char* const* names) {
    StoryScriptDriver::Instance().Load(loader);
    for (int32_t i = 0; i < pictureCount_; ++i)
        pictures_[i] = ReadTexture(loader, kPictureFolder, names[i]);
    SceneStoryCommon::LoadResources(loader);
}

void StoryPictureScene::ReleaseResources() {
    for (Mireku::Graphics::Texture*& picture : pictures_)
        ReleaseTexture(picture);
    SceneStoryCommon::ReleaseResources();
    FlowScene::ReleaseResources();
}

void StoryPictureScene::OnShown() {
    counter_ = 0;
    pictureIndex_ = 0;
    brightness_ = 1.0f;
    subState_ = 1;
    SetFrameCounter(0);
}

bool StoryPictureScene::StepShared(uint32_t lastCycle) {
    if (subState_ == kBlackOut) {
        blackOut_ += kBlackOutStep;
        if (blackOut_ >= 1.0f)
            FadeOutToLeave(kFadeOutFrames);
        return true;
    }
    if (subState_ > lastCycle)
        return false;
    bool done = false;
    switch ((subState_ - 1) % 3) {
    case 0: // held
        done = ++counter_ >= kHoldFrames;
        if (done) {
            brightness_ = 1.0f;
            counter_ = 0;
        }
        break;
    case 1: // darkened to the next picture
        brightness_ -= kPictureStep;
        done = brightness_ <= 0.0f;
        if (done) {
            ++pictureIndex_;
            brightness_ = 0.0f;
        }
        break;
    default: // the next one brightened
        brightness_ += kPictureStep;
        done = brightness_ >= 1.0f;
        if (done)
            brightness_ = 1.0f;
        break;
    }
    if (done)
        ++subState_;
    return true;
}

void StoryPictureScene::StepRollEnd() {
    if (++counter_ >= static_cast<int32_t>(rollLength_) + kRollTailFrames)
        StartBlackOut();
}

void StoryPictureScene::StartBlackOut() {
    subState_ = kBlackOut;
    blackOut_ = 0.0f;
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->FadeOutStream(music_);
}

void StoryPictureScene::CheckCancel(uint32_t firstSubState) {
    if (subState_ < firstSubState || !(Pressed() & InputManager::kExWeapon))
        return;
    StartBlackOut();
    PlaySound(kCancelSound);
    StopVoice();
}

void StoryPictureScene::DrawPicture(int32_t index, uint32_t colour) const {
    Mireku::Graphics::Texture* picture = GetPicture(index);
    if (!picture)
        return;
    const float w = picture->GetWidth();
    const float h = picture->GetHeight();
    SpriteQuad::Place(Hud(), picture, SpriteRenderer::kBlendAlpha, 0, 0, w, h, 0, 0, w, h, colour);
}

void StoryPictureScene::DrawCurrentPicture() const {
    DrawPicture(pictureIndex_, StoryColour::Grey(brightness_));
}

void StoryPictureScene::DrawOverPictures(uint32_t windowMode, uint32_t windowFrom,
                                         uint32_t rollFrom) {
    // The black-out comes after every other sub-state.
    const bool late = subState_ == kBlackOut;
    if (late || subState_ >= windowFrom)
        DrawWindow(windowMode, false, false);
    if (late || subState_ >= rollFrom)
        DrawRoll(rollLength_, !late);
    if (late)
        SpriteQuad::Place(Hud(), nullptr, SpriteRenderer::kBlendAlpha, 0, 0, 1, 1, 0, 0,
                          ScreenLayout::kWidth, ScreenLayout::kHeight,
                          StoryColour::WithAlpha(StoryColour::kBlack, blackOut_));
}

void StoryPictureScene::StartStage() {
    Finish();
    if (SceneDriver* driver = Driver()) {
        driver->CreateScene<SceneGame>();
        driver->CreateScene<SceneStory>(SceneStory::kBetweenStages);
    }
}
