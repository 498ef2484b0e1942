#include "game/core/GameFramework.h"

#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/SpriteManager.h"
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

    if (SpriteManager* sprites = SpriteManager::CreateInstance()) {
        sprites->Initialize();
        sprites->CreateLayers();
    }
    return true;
}

// The game counts whole frames; the step is not read. The layers are ready
// before anything submits sprites and flushed after everything has.
void GameFramework::OnFrame(const float&) {
    SpriteManager* sprites = SpriteManager::GetInstance();
    if (sprites)
        sprites->PrepareLayers();
    // Input and sound updates run here; they draw nothing.
    if (sprites)
        sprites->RaiseHudLayer();
    // The scenes and the effects draw here.
    if (sprites)
        sprites->FlushLayers();
}

void GameFramework::OnFinalize() {
    if (SpriteManager* sprites = SpriteManager::GetInstance()) {
        sprites->Finalize();
        SpriteManager::DestroyInstance();
    }
    FileLoader::DestroyInstance();
}
