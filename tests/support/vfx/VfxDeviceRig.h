// An effects device on a graphics stack of the test's own thread, with the
// sample shader text installed; it keeps every object the test makes through
// the device and gives them back before the device and the stack go.
#pragma once

#include "support/GraphicsFixture.h"
#include "support/PixelCheck.h"
#include "support/vfx/SampleShaders.h"

#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Interface/ITexture.h"
#include "game/vfx/IndexBuffer.h"
#include "game/vfx/VertexBuffer.h"
#include "game/vfx/VfxDevice.h"
#include "tools/dds/DdsWriter.h"

#include <vector>

namespace testsupport {

class VfxDeviceRig {
public:
    ~VfxDeviceRig() { Stop(); }

    // False when the backend cannot start here.
    bool Start(sys::gpu::Backend backend, int width, int height) {
        if (!stack.Start(backend, width, height)) {
            stack.Stop();
            return false;
        }
        device = new VfxDevice();
        return device != nullptr;
    }
    void Stop() {
        for (FulgorCore::InterfaceBase* o : owned_)
            o->Release();
        owned_.clear();
        if (device)
            device->Release();
        device = nullptr;
        stack.Stop();
    }

    // Kept until Stop; null stays null.
    template <class T> T* Keep(T* object) {
        if (object)
            owned_.push_back(object);
        return object;
    }
    // The pair of a key whose first word is word0 (null when it fails).
    FulgorCore::IShader* Shader(uint32_t word0, uint32_t word4 = 0) {
        FulgorCore::ShaderKey key;
        key.words[0] = word0;
        key.words[4] = word4;
        FulgorCore::IShader* shader = nullptr;
        if (!device->CreateShader(&key, &shader)) {
            EXPECT_EQ(shader, nullptr) << "a refused pair stores null";
        }
        return Keep(shader);
    }
    // A texture from an RGBA8 image (row 0 first), through a DDS file.
    FulgorCore::ITexture* Texture(uint32_t width, uint32_t height,
                                  const std::vector<uint8_t>& rgba) {
        const std::vector<uint8_t> dds = tools::WriteDds(sys::DdsFormat::R8G8B8A8, width, height, 1,
                                                         false, rgba.data(), rgba.size());
        return Keep(device->CreateTexture(dds.data(), static_cast<uint32_t>(dds.size())));
    }

    testing_graphics::GraphicsStack stack;
    SampleShaders shaders;
    VfxDevice* device = nullptr;

private:
    std::vector<FulgorCore::InterfaceBase*> owned_;
};

// The device on the GL backend (llvmpipe under the offscreen video driver)
// with dynamic buffers and the billboard program, drawing a 64 by 64 frame
// that it reads back.
class VfxPixelTest : public testing::Test {
protected:
    static constexpr int kSize = 64;

    void SetUp() override {
        if (!rig.Start(sys::gpu::Backend::OpenGL, kSize, kSize))
            GTEST_SKIP() << "no GL context here";
        device = rig.device;
        vertices = rig.Keep(
            static_cast<VertexBuffer*>(device->CreateVertexBuffer(1 << 16, true, nullptr)));
        indices =
            rig.Keep(static_cast<IndexBuffer*>(device->CreateIndexBuffer(1 << 12, true, nullptr)));
        simple = rig.Shader(FulgorCore::ShaderKey::kSimple);
        ASSERT_TRUE(vertices && indices && simple);
    }
    void TearDown() override { rig.Stop(); }

    // Reset, the program, no culling, a view-projection matrix (rows, the
    // translation in the fourth) at register 8, white root and base colours.
    void Begin(FulgorCore::IShader* shader, const float (*viewProjection)[4] = nullptr) {
        static const float kIdentity[4][4] = {
            {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        device->ResetRenderState();
        device->SetShader(shader);
        device->SetCullMode(2);
        device->SetVertexShaderConstants(8, viewProjection ? viewProjection : kIdentity, 4, 16);
        SetRootColour(1, 1, 1, 1);
        const float base[4] = {1, 1, 1, 1};
        device->SetVertexShaderConstants(14, base, 1, 16);
    }
    void SetRootColour(float r, float g, float b, float a) {
        const float colour[4] = {r, g, b, a};
        device->SetVertexShaderConstants(13, colour, 1, 16);
    }
    // Executes the frame over the background and reads the picture.
    void Finish(float r = 0, float g = 0, float b = 0) {
        const float clear[4] = {r, g, b, 1};
        rig.stack.Execute(clear);
        pixels = rig.stack.ReadBackBuffer();
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSize * kSize * 4));
    }
    testing::AssertionResult At(int x, int y, int r, int g, int b, int tolerance = 2) const {
        return testing_graphics::PixelIs(pixels, kSize, x, y, r, g, b, tolerance);
    }

    VfxDeviceRig rig;
    VfxDevice* device = nullptr;
    VertexBuffer* vertices = nullptr;
    IndexBuffer* indices = nullptr;
    FulgorCore::IShader* simple = nullptr;
    std::vector<uint8_t> pixels;
};

} // namespace testsupport
