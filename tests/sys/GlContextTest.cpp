// The render thread is held to one processor; software GL's rasteriser, which
// starts its threads with the context the render thread makes, stands for a
// GPU and must not be held there with it.
#include "support/GlResidency.h"

#include "sys/gpu.h"

#include <SDL.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <fstream>
#include <set>
#include <string>

namespace {

namespace gpu = sys::gpu;

std::set<std::string> ThreadIds() {
    std::set<std::string> ids;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                ids.insert(e->d_name);
        closedir(d);
    }
    return ids;
}

// The processors a thread of this process may run on, read from its status.
std::string AllowedProcessors(const std::string& id) {
    std::ifstream status("/proc/self/task/" + id + "/status");
    const std::string key = "Cpus_allowed_list:";
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(line.find_first_not_of(" \t", key.size()));
    return {};
}

std::string Name(const std::string& id) {
    std::ifstream comm("/proc/self/task/" + id + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

TEST(GlContext, TheRasterisersThreadsAreNotHeldToTheRenderThreadsProcessor) {
    cpu_set_t own;
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof(own), &own), 0);
    if (CPU_COUNT(&own) < 2)
        GTEST_SKIP() << "one processor: nothing to hold the rasteriser away from";
    int first = 0;
    while (!CPU_ISSET(first, &own))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window =
        SDL_CreateWindow("context", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    gpu::Device* device = gpu::CreateDevice(gpu::Backend::OpenGL, window);
    ASSERT_NE(device, nullptr);

    const std::set<std::string> before = ThreadIds();
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof(one), &one), 0);
    const bool made = device->CreateContext();
    cpu_set_t after;
    pthread_getaffinity_np(pthread_self(), sizeof(after), &after);
    pthread_setaffinity_np(pthread_self(), sizeof(own), &own);
    const std::string held = std::to_string(first);
    int rasterisers = 0;
    if (made) {
        testing_support::KeepGlDriversResident();
        EXPECT_TRUE(CPU_EQUAL(&after, &one)) << "the render thread is held to its processor again";
        for (const std::string& id : ThreadIds()) {
            if (before.count(id) || Name(id).rfind("llvmpipe", 0) != 0)
                continue;
            ++rasterisers;
            EXPECT_NE(AllowedProcessors(id), held) << "rasteriser thread " << Name(id);
        }
    }
    device->DestroyContext();
    gpu::DestroyDevice(device);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!made)
        GTEST_SKIP() << "no OpenGL 4.5 core context could be created";
    if (rasterisers == 0)
        GTEST_SKIP() << "the GL driver started no rasteriser threads of its own";
}

} // namespace
