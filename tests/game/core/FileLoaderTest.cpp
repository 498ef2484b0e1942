#include "game/core/FileLoader.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "sys/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using Mireku::Resource::ChildResourceLoader;
using Mireku::Resource::LoadStep;
using Mireku::Resource::ResourceLoader;

namespace {

struct StepProbe {
    std::atomic<int> runs{0};
    std::thread::id thread;
    void Step(ChildResourceLoader&, const void*) {
        thread = std::this_thread::get_id();
        runs.fetch_add(1);
    }
};

class FileLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        loader_ = ResourceLoader::CreateInstance();
        ASSERT_TRUE(loader_ && loader_->Initialize({}));
        files_ = FileLoader::CreateInstance();
        ASSERT_NE(files_, nullptr);
    }
    void TearDown() override {
        FileLoader::DestroyInstance();
        ResourceLoader::DestroyInstance();
    }
    ResourceLoader* loader_ = nullptr;
    FileLoader* files_ = nullptr;
};

TEST_F(FileLoaderTest, SynchronousRunsTheStepBeforeReturning) {
    files_->SetSynchronous(true);
    StepProbe probe;
    files_->Load(LoadStep(&probe, &StepProbe::Step));
    EXPECT_EQ(probe.runs.load(), 1);
    EXPECT_EQ(probe.thread, std::this_thread::get_id());
}

TEST_F(FileLoaderTest, AsynchronousQueuesTheStepForTheLoaderThread) {
    EXPECT_FALSE(files_->IsSynchronous());
    StepProbe probe;
    files_->Load(LoadStep(&probe, &StepProbe::Step));
    for (int i = 0; i < 500 && loader_->IsLoading(); ++i)
        sys::SleepMilliseconds(2);
    ASSERT_EQ(probe.runs.load(), 1);
    EXPECT_NE(probe.thread, std::this_thread::get_id());
}

} // namespace
