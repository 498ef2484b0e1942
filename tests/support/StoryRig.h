// The story screens and their parts headless: the flow screens' rig over
// loose files of a scratch folder (or the build's archives), with helpers to
// write the files a story reads.
#pragma once

#include "support/FlowSceneRig.h"
#include "tools/dds/DdsWriter.h"

#include <string>
#include <vector>

namespace story_test {

using flow_test::Sprite;

// An opaque RGBA texture file of the size, filled with one colour
// (0xAABBGGRR).
inline std::vector<uint8_t> Dds(uint32_t width, uint32_t height, uint32_t rgba = 0xFFFFFFFFu) {
    std::vector<uint8_t> pixels(size_t{width} * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<uint8_t>(rgba);
        pixels[i + 1] = static_cast<uint8_t>(rgba >> 8);
        pixels[i + 2] = static_cast<uint8_t>(rgba >> 16);
        pixels[i + 3] = static_cast<uint8_t>(rgba >> 24);
    }
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, width, height, 1, false, pixels.data(),
                           pixels.size());
}

class StoryRig : public flow_test::FlowRig {
protected:
    // Before SetUp: the build's archives instead of the scratch folder.
    bool useArchives = false;

    void SetUp() override {
        if (!useArchives)
            looseRoot = files.Root();
        FlowRig::SetUp();
    }

    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        files.WriteFile(path, bytes);
    }
    static std::vector<Sprite> With(const std::vector<Sprite>& sprites,
                                    const Mireku::Graphics::Texture* texture) {
        return flow_test::With(sprites, texture);
    }

    testsupport::ScratchFolder files;
};

} // namespace story_test
