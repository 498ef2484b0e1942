#include "engine/framework/Framework.h"

#include "engine/common/Thread.h"
#include "engine/framework/GameWindow.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"

namespace Mireku::Framework {

Framework::Framework() : errorSink_(this, &Framework::ForwardError) {
    GameWindow::CreateInstance();
}

Framework::~Framework() {
    GameWindow::DestroyInstance();
    errorSink_.Reset();
}

bool Framework::Initialize() {
    if (commandBufferSize_ == 0)
        commandBufferSize_ = kDefaultCommandBufferSize;
    if (!SetupPlatform())
        return false;

    Resource::ResourceManager::CreateInstance();
    if (Resource::ResourceLoader* loader = Resource::ResourceLoader::CreateInstance())
        loader->Initialize(errorSink_);

    GameWindow* window = GameWindow::GetInstance();
    if (!window)
        return false;
    window->SetDropFilesSink(DropFilesSink(this, &Framework::ForwardDrop));
    if (!window->Create(settings_.GetTitleChars(), settings_.GetClientWidth(),
                        settings_.GetClientHeight(), errorSink_))
        return false;

    if (!OnInitialize())
        return false;

    Common::Thread::SetCurrentAffinity(Common::Thread::kAllProcessors);
    return true;
}

float Framework::FramesFor(uint64_t elapsedMicroseconds) const {
    if (settings_.IsFixedStep())
        return 1.0f;
    return static_cast<float>(elapsedMicroseconds) *
           static_cast<float>(settings_.GetFramesPerSecond()) * 1e-6f;
}

bool Framework::Run() {
    if (Initialize()) {
        Common::Stopwatch clock;
        clock.Reset();
        GameWindow* window = GameWindow::GetInstance();
        while (window && !window->IsClosed()) {
            const float frames = FramesFor(clock.Lap());
            OnFrame(frames);
            if (Resource::ResourceManager* resources = Resource::ResourceManager::GetInstance())
                resources->Update();
            frameRate_.Tick();
        }
    }
    return Finalize();
}

void Framework::Step(float frames) {
    OnFrame(frames);
    if (Resource::ResourceManager* resources = Resource::ResourceManager::GetInstance())
        resources->Update();
}

bool Framework::Finalize() {
    OnFinalize();
    if (Resource::ResourceLoader* loader = Resource::ResourceLoader::GetInstance()) {
        loader->Finalize();
        Resource::ResourceLoader::DestroyInstance();
    }
    if (Resource::ResourceManager* resources = Resource::ResourceManager::GetInstance()) {
        resources->Finalize();
        Resource::ResourceManager::DestroyInstance();
    }
    TeardownPlatform();
    return true;
}

} // namespace Mireku::Framework
