#include "game/scene/FlowScene.h"

#include "engine/resource/ChildResourceLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstance.h"

void FlowScene::Update() {
    static constexpr void (FlowScene::*kStates[])() = {
        &FlowScene::StateLoading, &FlowScene::StateMusic, &FlowScene::StateStart,
        &FlowScene::StateFadeIn,  &FlowScene::StateShown, &FlowScene::StateLeaving,
        &FlowScene::StateLeave};
    RunState(this, kStates);
}

void FlowScene::StateMusic() {
    if (!IsMusicSettled())
        return;
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlayMusic(music_, musicLoops_);
    SetState(kStateStart);
}

void FlowScene::StateStart() {
    if (SceneDriver* driver = Driver())
        driver->StartFadeDown(fadeInFrames_, {});
    // From its start, unless it is playing already.
    if (effect_)
        effect_->Play(VfxInstance::kLayerUnder);
    SetState(kStateFadeIn);
}

void FlowScene::StateFadeIn() {
    if (!IsFading()) {
        SetState(kStateShown);
        OnShown();
    }
    Draw();
}

void FlowScene::OnFadedToLeave() {
    if (GetState() == kStateLeaving)
        SetState(kStateLeave);
}

void FlowScene::FadeOutToLeave(int32_t fadeFrames) {
    SetState(kStateLeaving);
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(fadeFrames, Mireku::Common::Delegate00(static_cast<FlowScene*>(this),
                                                                   &FlowScene::OnFadedToLeave));
}

void FlowScene::OpenMusic(const char* name) {
    music_ = -1;
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->OpenStream(&music_, kMusicFolder, name);
}

bool FlowScene::IsMusicSettled() const {
    const SoundManager* sound = SoundManager::GetInstance();
    return !sound || sound->IsStreamSettled(music_);
}

void FlowScene::ReleaseMusic() {
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->ReleaseStream(&music_);
    music_ = -1;
}

void FlowScene::LoadEffect(Mireku::Resource::ChildResourceLoader& loader, const char* folder,
                           const char* file, const char* name) {
    ReadEffect(loader, folder, file, name, effectData_, effect_);
}

void FlowScene::ReleaseResources() {
    ReleaseEffect(effectData_, effect_);
    ReleaseMusic();
}

void FlowScene::ReadEffect(Mireku::Resource::ChildResourceLoader& loader, const char* folder,
                           const char* file, const char* name, VfxData*& data,
                           VfxInstance*& instance) {
    data = nullptr;
    instance = nullptr;
    VfxController* vfx = VfxController::GetInstance();
    if (!vfx || !loader.Read(folder, file))
        return;
    data = vfx->LoadData(loader.GetData(), loader.GetSize(), name);
    instance = vfx->CreateInstance(data);
    loader.GetBuffer().Release();
}

void FlowScene::ReleaseEffect(VfxData*& data, VfxInstance*& instance) {
    if (instance)
        instance->Release();
    if (data)
        data->Release();
    instance = nullptr;
    data = nullptr;
}

bool FlowScene::IsEffectPlaying(const VfxInstance* instance) {
    return instance && instance->IsPlaying();
}

uint32_t FlowScene::Pressed() {
    const InputManager* input = InputManager::GetInstance();
    return input ? input->GetTriggered() : 0;
}

void FlowScene::PlaySound(int32_t id) {
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(id, false);
}

void FlowScene::PlayVoice(int32_t pilot, int32_t line) {
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlayVoice(pilot, line);
}

Mireku::Renderer::SpriteRenderer* FlowScene::Hud() {
    const SpriteManager* sprites = SpriteManager::GetInstance();
    return sprites ? sprites->GetLayer(SpriteLayer::kHud) : nullptr;
}

GlobalWork* FlowScene::Work() {
    return GlobalWork::GetInstance();
}

SceneDriver* FlowScene::Driver() {
    return SceneDriver::GetInstance();
}

bool FlowScene::IsFading() {
    const SceneDriver* driver = SceneDriver::GetInstance();
    return driver && driver->IsFading();
}
