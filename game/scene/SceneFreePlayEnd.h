#pragma once

#include "game/scene/FlowScene.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

// A short closing picture with the ranking music, shown for 900 frames or
// until decide or cancel, then the title. No part of the flow starts it.
class SceneFreePlayEnd : public FlowScene {
public:
    static constexpr const char* kPictureFolder = "demo";
    static constexpr const char* kPictureFile = "cm_9men_end.dds";
    static constexpr const char* kMusic = "ranking.ogg";
    static constexpr int32_t kShowFrames = 900;
    static constexpr int32_t kFadeFrames = 30;

    SceneFreePlayEnd() : FlowScene(kFadeFrames, true) {}

    int32_t GetCounter() const { return counter_; }
    Mireku::Graphics::Texture* GetPicture() const { return picture_; }

protected:
    void StateShown() override;
    void StateLeave() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void OnBegin() override;
    void ReleaseResources() override;
    void OnShown() override;
    // The picture over the whole screen.
    void Draw() override;

private:
    int32_t counter_ = 0;
    Mireku::Graphics::Texture* picture_ = nullptr;
    uint32_t stop_ = 0;
};
