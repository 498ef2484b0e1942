#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/framework/Framework.h"

// The game's application object and composition root: it creates every
// game-wide object in order, installs the hooks through which lower folders
// reach higher ones, runs the frame and tears everything down.
class GameFramework : public Mireku::Framework::Framework,
                      public Mireku::Common::SingletonObject,
                      public Mireku::Common::Singleton<GameFramework> {
public:
    static constexpr uint32_t kCommandBufferSize = 0x200000;

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
};
