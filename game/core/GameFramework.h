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

    using Mireku::Framework::Framework::operator new;
    using Mireku::Framework::Framework::operator delete;

    bool Initialize() override;
    // Engine errors reach the player in a modal box titled "Error".
    void ShowError(const char* text) override;
};
