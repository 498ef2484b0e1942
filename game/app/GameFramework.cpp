#include "game/app/GameFramework.h"

#include "engine/graphics/GraphicsDevice.h"
#include "engine/resource/ResourceLoader.h"
#include "game/app/ScreenFactory.h"
#include "game/core/ConfigBlock.h"
#include "game/core/FileLoader.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/ScriptEngine.h"
#include "game/vfx/VfxController.h"
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

    FileLoader* files = FileLoader::CreateInstance();
    if (files)
        files->SetSynchronous(false);
    if (VfxController* vfx = VfxController::CreateInstance())
        vfx->Initialize();
    // Everything after the effects controller loads at once on this thread.
    if (files)
        files->SetSynchronous(true);

    if (SpriteManager* sprites = SpriteManager::CreateInstance()) {
        sprites->Initialize();
        sprites->CreateLayers();
    }

    GlobalWork* work = GlobalWork::CreateInstance();
    if (work)
        work->Initialize();
    const uint8_t* config = work ? work->config : ConfigBlock::Defaults();

    if (RandomManager* random = RandomManager::CreateInstance())
        random->Seed();

    if (SoundManager* sound = SoundManager::CreateInstance()) {
        sound->SetConfig(config);
        sound->Initialize();
        // The player record's extend voice and gauge-full sound go through
        // the sound manager from now on.
        if (work) {
            work->voiceHook = [](int32_t pilot, int32_t voice) {
                if (SoundManager* s = SoundManager::GetInstance())
                    s->PlayVoice(pilot, voice);
            };
            work->soundHook = [](int32_t id) {
                if (SoundManager* s = SoundManager::GetInstance())
                    s->PlaySE(id, false);
            };
        }
    }

    if (GameObjectAllocator* pool = GameObjectAllocator::CreateInstance())
        pool->Initialize();

    if (ScriptEngine* script = ScriptEngine::CreateInstance()) {
        if (files)
            files->Load(Mireku::Resource::LoadStep(script, &ScriptEngine::CreateTextRenderer));
    }

    if (SceneDriver* scenes = SceneDriver::CreateInstance()) {
        scenes->SetScreenFactory(&CreateScreen);
        scenes->CreateScene<SceneLogo>();
    }
    // The configured screen mode applies before the first frame.
    Mireku::Graphics::SetFullscreen(config[ConfigBlock::kOffsetScreenMode] != 0);

    if (InputManager* input = InputManager::CreateInstance())
        input->BindFromConfig(config);
    return true;
}

// The game counts whole frames; the step is not read.
void GameFramework::OnFrame(const float&) {
    SpriteManager* sprites = SpriteManager::GetInstance();
    if (sprites)
        sprites->PrepareLayers();
    if (InputManager* input = InputManager::GetInstance())
        input->Update();
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->Update();
    Mireku::Renderer::SpriteRenderer* hud = nullptr;
    if (sprites) {
        sprites->RaiseHudLayer();
        hud = sprites->GetLayer(SpriteLayer::kHud);
    }
    if (ScriptEngine* script = ScriptEngine::GetInstance())
        script->UpdateIndicator(hud);
    if (SceneDriver* scenes = SceneDriver::GetInstance())
        scenes->Update(hud);
    if (VfxController* vfx = VfxController::GetInstance())
        vfx->RunFrame();
    if (sprites)
        sprites->FlushLayers();
}

void GameFramework::OnFinalize() {
    if (SceneDriver* scenes = SceneDriver::GetInstance()) {
        scenes->ClearAll();
        SceneDriver::DestroyInstance();
    }
    if (GameObjectAllocator* pool = GameObjectAllocator::GetInstance()) {
        pool->Destroy();
        GameObjectAllocator::DestroyInstance();
    }
    if (ScriptEngine* script = ScriptEngine::GetInstance()) {
        script->Finalize();
        ScriptEngine::DestroyInstance();
    }
    if (SoundManager* sound = SoundManager::GetInstance()) {
        sound->Finalize();
        SoundManager::DestroyInstance();
    }
    InputManager::DestroyInstance();
    RandomManager::DestroyInstance();
    if (GlobalWork* work = GlobalWork::GetInstance()) {
        work->Finalize();
        GlobalWork::DestroyInstance();
    }
    if (SpriteManager* sprites = SpriteManager::GetInstance()) {
        sprites->Finalize();
        SpriteManager::DestroyInstance();
    }
    if (VfxController* vfx = VfxController::GetInstance()) {
        vfx->Finalize();
        VfxController::DestroyInstance();
    }
    FileLoader::DestroyInstance();
}
