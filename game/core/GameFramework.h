#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/framework/Framework.h"

// The game's application object.
class GameFramework : public Mireku::Framework::Framework,
                      public Mireku::Common::SingletonObject,
                      public Mireku::Common::Singleton<GameFramework> {
public:
    static constexpr uint32_t kCommandBufferSize = 0x200000;
    // Draw priorities of the effects runtime's two layers: under the first
    // background sprite layer (3) and over the game layers (up to 24), under
    // the heads-up display (28).
    static constexpr uint32_t kEffectLayerUnderPriority = 2;
    static constexpr uint32_t kEffectLayerOverPriority = 27;

    using Mireku::Framework::Framework::operator new;
    using Mireku::Framework::Framework::operator delete;

    // The packed archives, in the order registered: a name held by several
    // is served by the first.
    static constexpr const char* kArchives[] = {
        "data/0310", "data/0300", "data/0200",   "data/0130",      "data/0110",
        "data/0100", "data/vfx",  "data/script", "data/parameter", "data/path"};

    bool Initialize() override;
    bool OnInitialize() override;
    void OnFrame(const float& frames) override;
    void OnFinalize() override;
    // Engine errors reach the player in a modal box titled "Error".
    void ShowError(const char* text) override;

private:
    // Camera, effect instances, the runtime's draw and its two layers.
    void DrawEffects();
};
