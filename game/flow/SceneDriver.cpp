#include "game/flow/SceneDriver.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/ScreenLayout.h"
#include "game/flow/SceneBase.h"

SceneDriver::~SceneDriver() {
    fadeCompletion_.Reset();
}

void SceneDriver::PushScene(SceneBase* scene) {
    if (scene)
        Append(pendingHead_, pendingTail_, scene);
}

SceneBase* SceneDriver::StartScreen(ScreenKind kind) {
    SceneBase* scene = screenFactory_ ? screenFactory_(kind) : nullptr;
    PushScene(scene);
    return scene;
}

void SceneDriver::EndAllScenes() {
    for (SceneBase* s = activeHead_; s; s = s->nextInList)
        s->Finish();
}

void SceneDriver::StartFadeDown(int32_t frames, const Mireku::Common::Delegate00& completion) {
    StartFade(255, 0, frames, completion);
}

void SceneDriver::StartFadeUp(int32_t frames, const Mireku::Common::Delegate00& completion) {
    StartFade(0, 255, frames, completion);
}

void SceneDriver::StartFade(uint8_t from, uint8_t to, int32_t frames,
                            const Mireku::Common::Delegate00& completion) {
    fadeFrom_ = from;
    fadeTo_ = to;
    fadeFrame_ = 0;
    fadeDuration_ = frames;
    fadeCompletion_ = completion;
}

void SceneDriver::Update(Mireku::Renderer::SpriteRenderer* overlay) {
    UpdateActive();
    ActivatePending();
    StepFade();
    DrawFade(overlay);
}

void SceneDriver::UpdateActive() {
    SceneBase* kept = nullptr;
    SceneBase* scene = activeHead_;
    while (scene) {
        scene->Update();
        for (SceneBase* a = scene->nextAttached; a; a = a->nextAttached)
            a->Update();
        // Read after the update: a scene updated here may have pushed
        // successors, which go to the pending list and not into this walk.
        SceneBase* next = scene->nextInList;
        if (scene->IsFinished()) {
            scene->End();
            if (kept)
                kept->nextInList = next;
            else
                activeHead_ = next;
            if (activeTail_ == scene)
                activeTail_ = kept;
            Destroy(scene);
        } else {
            kept = scene;
        }
        scene = next;
    }
}

void SceneDriver::ActivatePending() {
    SceneBase* scene = pendingHead_;
    pendingHead_ = nullptr;
    pendingTail_ = nullptr;
    while (scene) {
        SceneBase* next = scene->nextInList;
        SceneBase* previousTail = activeTail_;
        Append(activeHead_, activeTail_, scene);
        scene->Begin();
        scene->Update();
        if (scene->IsFinished()) {
            scene->End();
            activeTail_ = previousTail;
            if (previousTail)
                previousTail->nextInList = nullptr;
            else
                activeHead_ = nullptr;
            Destroy(scene);
        }
        scene = next;
    }
}

void SceneDriver::Append(SceneBase*& head, SceneBase*& tail, SceneBase* scene) {
    scene->nextInList = nullptr;
    if (tail)
        tail->nextInList = scene;
    else
        head = scene;
    tail = scene;
}

void SceneDriver::StepFade() {
    if (fadeDuration_ <= 0)
        return;
    const float from = static_cast<float>(fadeFrom_);
    const float to = static_cast<float>(fadeTo_);
    const float t = static_cast<float>(fadeFrame_) / static_cast<float>(fadeDuration_);
    fadeLevel_ = static_cast<uint8_t>(static_cast<int32_t>(t * (to - from) + from));
    ++fadeFrame_;
    if (fadeFrame_ < fadeDuration_)
        return;
    fadeFrame_ = 0;
    fadeDuration_ = 0;
    fadeLevel_ = fadeTo_;
    if (fadeCompletion_.IsEmpty())
        return;
    // The completion may start the next fade, which replaces the held
    // delegate: the local reference keeps the running one alive through the
    // call, and a completion stored by the call stays for its own fade.
    Mireku::Common::Delegate00 running = fadeCompletion_;
    running.Invoke();
    if (fadeCompletion_.GetHolder() == running.GetHolder())
        fadeCompletion_.Reset();
}

void SceneDriver::DrawFade(Mireku::Renderer::SpriteRenderer* overlay) const {
    if (fadeLevel_ == 0 || !overlay)
        return;
    overlay->SetPriority(DrawOrder::kFade);
    overlay->SetTexture(nullptr);
    overlay->SetBlend(Mireku::Renderer::SpriteRenderer::kBlendAlpha);
    overlay->SetColor(0, static_cast<uint32_t>(fadeLevel_) << 24);
    overlay->SetTexCoord0(0.0f, 0.0f, 1.0f, 1.0f);
    overlay->SetRect(0.0f, 0.0f, ScreenLayout::kWidth, ScreenLayout::kHeight);
    overlay->Submit();
}

void SceneDriver::ClearAll() {
    SceneBase* scene = activeHead_;
    activeHead_ = activeTail_ = nullptr;
    while (scene) {
        SceneBase* next = scene->nextInList;
        scene->End();
        Destroy(scene);
        scene = next;
    }
    scene = pendingHead_;
    pendingHead_ = pendingTail_ = nullptr;
    while (scene) {
        SceneBase* next = scene->nextInList;
        Destroy(scene);
        scene = next;
    }
}

void SceneDriver::Destroy(SceneBase* scene) {
    delete scene;
}
