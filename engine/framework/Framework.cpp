#include "engine/framework/Framework.h"

#include "engine/common/Thread.h"
#include "engine/framework/GameWindow.h"
#include "engine/graphics/Driver.h"
#include "engine/peripheral/InputDevice.h"
#include "engine/platform/ProcessorInfo.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundDriver.h"
#include "engine/task/TaskDriver.h"

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

    Platform::ProcessorInfo* processors = Platform::ProcessorInfo::CreateInstance();
    if (processors)
        processors->Initialize();

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

    // The render thread runs on the second core (anywhere with fewer than two).
    Graphics::Driver* driver = Graphics::Driver::CreateInstance();
    const uint64_t renderMask = processors && processors->GetCoreCount() >= 2
                                    ? processors->GetCoreMask(1)
                                    : Common::Thread::kAllProcessors;
    if (!driver ||
        !driver->Initialize(&commandBufferSize_, window->GetHandle(), settings_.GetClientWidth(),
                            settings_.GetClientHeight(), renderMask, errorSink_))
        return false;

    if (Task::TaskDriver* tasks = Task::TaskDriver::CreateInstance())
        tasks->Initialize();

    // Without pads the game still runs on keyboard, so the result is not a
    // reason to stop.
    if (Peripheral::InputDevice* input = Peripheral::InputDevice::CreateInstance())
        input->Initialize(window->GetHandle());

    // Sound failures are reported by the driver and never stop the start-up.
    if (Sound::SoundDriver* sound = Sound::SoundDriver::CreateInstance()) {
        sound->Initialize(errorSink_);
        sound->SetPluginFolder(Sound::SoundDriver::kDefaultPluginFolder);
    }

    if (!OnInitialize())
        return false;

    Common::Thread::SetCurrentAffinity(processors && processors->GetCoreCount() >= 1
                                           ? processors->GetCoreMask(0)
                                           : Common::Thread::kAllProcessors);
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
        Graphics::Driver* driver = Graphics::Driver::GetInstance();
        while (window && !window->IsClosed()) {
            driver->BeginFrame();
            // Input, the game's frame, sound and deferred releases, between
            // the hand-overs to the render thread.
            Step(FramesFor(clock.Lap()));
            driver->EndFrame();
            frameRate_.Tick();
        }
    }
    return Finalize();
}

void Framework::Step(float frames) {
    if (Peripheral::InputDevice* input = Peripheral::InputDevice::GetInstance())
        input->Update();
    OnFrame(frames);
    if (Sound::SoundDriver* sound = Sound::SoundDriver::GetInstance())
        sound->Update();
    if (Resource::ResourceManager* resources = Resource::ResourceManager::GetInstance())
        resources->Update();
}

namespace {

// The engine's teardown step for one singleton: its own finalisation, then
// the destruction sequence; nothing when it was never created.
template <class T> void FinalizeSingleton() {
    if (T* instance = T::GetInstance()) {
        instance->Finalize();
        T::DestroyInstance();
    }
}

} // namespace

bool Framework::Finalize() {
    OnFinalize();
    FinalizeSingleton<Peripheral::InputDevice>();
    FinalizeSingleton<Resource::ResourceLoader>();
    FinalizeSingleton<Resource::ResourceManager>();
    FinalizeSingleton<Sound::SoundDriver>();
    FinalizeSingleton<Graphics::Driver>();
    FinalizeSingleton<Task::TaskDriver>();
    Platform::ProcessorInfo::DestroyInstance();
    TeardownPlatform();
    return true;
}

} // namespace Mireku::Framework
