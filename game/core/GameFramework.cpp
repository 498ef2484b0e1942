#include "game/core/GameFramework.h"

#include "sys/window.h"

bool GameFramework::Initialize() {
    *GetCommandBufferSize() = kCommandBufferSize;
    return Mireku::Framework::Framework::Initialize();
}

void GameFramework::ShowError(const char* text) {
    sys::ShowErrorBox("Error", text);
}
