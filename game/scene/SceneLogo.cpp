#include "game/scene/SceneLogo.h"

#include "game/core/InputManager.h"
#include "game/scene/SceneTitle.h"
#include "game/vfx/VfxInstance.h"

void SceneLogo::OnBegin() {
    logo_ = 1;
}

void SceneLogo::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    for (uint32_t i = 0; i < kEffectCount; ++i)
        ReadEffect(loader, kFolder, kEffects[i].file, kEffects[i].name, data_[i], instances_[i]);
}

void SceneLogo::ReleaseResources() {
    for (uint32_t i = 0; i < kEffectCount; ++i)
        ReleaseEffect(data_[i], instances_[i]);
}

void SceneLogo::Update() {
    static constexpr void (SceneLogo::*kStates[])() = {
        &SceneLogo::StateLoading, &SceneLogo::StateBegin, &SceneLogo::StatePlayLogo,
        &SceneLogo::StateWatchLogo, &SceneLogo::StateLeave};
    RunState(this, kStates);
}

void SceneLogo::StateBegin() {
    SetState(2);
    if (VfxInstance* background = instances_[kBackground])
        background->Play(VfxInstance::kLayerUnder);
    if (SceneDriver* driver = Driver())
        driver->StartFadeDown(1, {});
}

void SceneLogo::StatePlayLogo() {
    if (VfxInstance* logo = instances_[logo_])
        logo->Play(VfxInstance::kLayerOver);
    SetState(3);
}

void SceneLogo::StateWatchLogo() {
    VfxInstance* logo = instances_[logo_];
    // A logo whose effect file is missing has nothing to show and passes.
    if (IsEffectPlaying(logo) && !(Pressed() & InputManager::kShot))
        return;
    if (logo_ < kLastLogo) {
        if (logo)
            logo->Stop();
        ++logo_;
        SetState(2);
        return;
    }
    // The last logo plays on under the fade.
    SetState(4);
    PlaySound(kSoundDecide);
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(kFadeOutFrames, {});
}

void SceneLogo::StateLeave() {
    if (!IsFading())
        LeaveFor<SceneTitle>();
}
