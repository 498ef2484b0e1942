#include "engine/common/Heap.h"
#include "game/app/GameFramework.h"
#include "game/core/ScreenLayout.h"
#include "sys/sanitizer.h"
#include "sys/window.h"

#include <cstdio>

int main() {
    sys::PrepareLeakCheck();
    Mireku::Common::Heap::LockedInitialize();

    GameFramework* game = GameFramework::CreateInstance();
    if (!game) {
        std::fputs("Drevanth could not create its application object\n", stderr);
        return 1;
    }
    Mireku::Framework::FrameworkSettings& settings = game->GetSettings();
    settings.SetTitle("ドレヴァンスの疾風 v3.20");
    settings.SetFramesPerSecond(60);
    settings.SetClientSize(ScreenLayout::kWidth, ScreenLayout::kHeight);
    settings.SetFixedStep();

    game->Run();

    GameFramework::DestroyInstance();
    Mireku::Common::Heap::LockedFinalize();
    sys::ShowCursor(true);
    return 0;
}
