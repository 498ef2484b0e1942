// A null graphics stack and a resource loader over a scratch folder of loose
// files, for the scene and script tests.
#pragma once

#include "engine/resource/ResourceLoader.h"
#include "support/ArchiveTestSupport.h"
#include "support/FontTestSupport.h"
#include "support/GraphicsFixture.h"
#include "tools/dds/DdsWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testing_scene {

class LooseFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 1280, 720));
        loader = Mireku::Resource::ResourceLoader::CreateInstance();
        ASSERT_NE(loader, nullptr);
        loader->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader->AddRootFolder(scratch.Root().c_str());
    }
    void TearDown() override {
        Mireku::Resource::ResourceLoader::DestroyInstance();
        stack.Stop();
    }

    // A small opaque texture file.
    static std::vector<uint8_t> Dds(uint32_t size = 4) {
        std::vector<uint8_t> pixels(size * size * 4, 0xFF);
        return tools::WriteDds(sys::DdsFormat::R8G8B8A8, size, size, 1, false, pixels.data(),
                               pixels.size());
    }
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        scratch.WriteFile(path, bytes);
    }
    void Remove(const std::string& path) { std::filesystem::remove(scratch.Path(path)); }

    testsupport::ScratchFolder scratch;
    testing_graphics::GraphicsStack stack;
    Mireku::Resource::ResourceLoader* loader = nullptr;
};

} // namespace testing_scene
