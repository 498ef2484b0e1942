#pragma once

#include "game/scene/FlowScene.h"

#include <cstdint>

// The first screen: a background effect and three logo effects one after
// another, each skippable with shot, then a fade to the title.
class SceneLogo : public FlowScene {
public:
    static constexpr uint32_t kEffectCount = 4;
    static constexpr uint32_t kBackground = 0;
    static constexpr int32_t kLastLogo = 3;
    static constexpr const char* kFolder = "logo";
    struct EffectFile {
        const char* file;
        const char* name;
    };
    static constexpr EffectFile kEffects[kEffectCount] = {
        {"logo_bg.vfxb", "vfx/logo_bg.vfxb"},
        {"logo_ovk.vfxb", "vfx/logo_ovk.vfxb"},
        {"logo_brondel_velmora.vfxb", "vfx/logo_brondel_velmora.vfxb"},
        {"logo_fulgor.vfxb", "vfx/logo_fulgor.vfxb"},
    };
    static constexpr int32_t kFadeOutFrames = 60;

    SceneLogo() : FlowScene(1, false) {}

    void Update() override;

    int32_t GetLogoIndex() const { return logo_; }
    VfxInstance* GetInstance(uint32_t slot) const {
        return slot < kEffectCount ? instances_[slot] : nullptr;
    }

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;

private:
    void StateBegin();
    void StatePlayLogo();
    void StateWatchLogo();
    void StateLeave() override;

    VfxData* data_[kEffectCount] = {};
    VfxInstance* instances_[kEffectCount] = {};
    int32_t logo_ = 1;
};
