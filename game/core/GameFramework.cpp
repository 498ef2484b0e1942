#include "game/core/GameFramework.h"

#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/SoundManager.h"
#include "sys/window.h"

bool GameFramework::Initialize() {
    *GetCommandBufferSize() = kCommandBufferSize;
    return Mireku::Framework::Framework::Initialize();
}

void GameFramework::ShowError(const char* text) {
    sys::ShowErrorBox("Error", text);
}

bool GameFramework::OnInitialize() {
    using Mireku::Resource::ResourceLoader;
    if (ResourceLoader* loader = ResourceLoader::GetInstance()) {
        loader->SetErrorSink(Mireku::Common::ErrorSink(this, &GameFramework::ShowError));
        loader->SetMode(ResourceLoader::kArchives);
        for (const char* archive : kArchives)
            loader->OpenArchive(archive);
    }

    if (FileLoader* files = FileLoader::CreateInstance())
        files->SetSynchronous(false);
    // Everything after the effects controller loads synchronously.
    if (FileLoader* files = FileLoader::GetInstance())
        files->SetSynchronous(true);

    if (SoundManager* sound = SoundManager::CreateInstance())
        sound->Initialize();
    return true;
}

void GameFramework::OnFrame(const float&) {
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->Update();
}

void GameFramework::OnFinalize() {
    if (SoundManager* sound = SoundManager::GetInstance()) {
        sound->Finalize();
        SoundManager::DestroyInstance();
    }
    FileLoader::DestroyInstance();
}
