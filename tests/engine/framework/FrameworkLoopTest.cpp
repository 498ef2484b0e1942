// The frame loop with the graphics driver, task workers and processor
// information hooked in, on the null graphics backend.
#include "engine/framework/Framework.h"
#include "engine/framework/GameWindow.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/Driver.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/platform/ProcessorInfo.h"
#include "engine/task/TaskDriver.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

namespace {

using namespace Mireku;

// The window loads the GL libraries and unloads them when it closes, taking
// with them the symbols of the driver's process-long allocations that the leak
// checker needs to recognise them; everything loaded by then stays loaded.
void PinLoadedLibraries() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0])
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

class CountingGame : public Framework::Framework {
public:
    bool OnInitialize() override {
        PinLoadedLibraries();
        servicesUp = Graphics::Driver::GetInstance() && Task::TaskDriver::GetInstance() &&
                     Platform::ProcessorInfo::GetInstance() && Graphics::GetDrawContext();
        return true;
    }
    void OnFrame(const float& frames) override {
        stepSum += frames;
        // The render thread has presented every frame handed over so far.
        presentsBehind =
            presentsBehind || Graphics::Driver::GetInstance()->GetPresentCount() + 1 < frame + 1;
        Graphics::Draw(3); // recorded, and executed one frame later
        if (++frame == 10)
            ::Mireku::Framework::GameWindow::GetInstance()->Close();
    }
    void OnFinalize() override {
        commandsLastFrame = Graphics::Driver::GetInstance()->GetCommandCount();
    }
    void ShowError(const char* text) override { error = text; }

    bool servicesUp = false;
    bool presentsBehind = false;
    uint32_t frame = 0;
    uint32_t commandsLastFrame = 0;
    float stepSum = 0.0f;
    const char* error = nullptr;
};

TEST(FrameworkLoop, RunsFramesThroughTheDriverAndTearsDown) {
    Graphics::GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
    CountingGame* game = new CountingGame;
    ASSERT_NE(game, nullptr);
    game->Run();
    Graphics::GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
    if (game->error)
        GTEST_SKIP() << "no window: " << game->error;
    EXPECT_TRUE(game->servicesUp);
    EXPECT_GE(game->frame, 10u); // the close request may land a frame late
    EXPECT_FALSE(game->presentsBehind);
    EXPECT_EQ(game->commandsLastFrame, 1u);
    EXPECT_FLOAT_EQ(game->stepSum, static_cast<float>(game->frame));
    // Finalize joined the render thread and the workers and destroyed the services.
    EXPECT_EQ(Graphics::Driver::GetInstance(), nullptr);
    EXPECT_EQ(Graphics::GraphicsDevice::GetInstance(), nullptr);
    EXPECT_EQ(Task::TaskDriver::GetInstance(), nullptr);
    EXPECT_EQ(Platform::ProcessorInfo::GetInstance(), nullptr);
    game->Release();
}

} // namespace
