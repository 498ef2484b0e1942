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

#include <cstring>
#include <initializer_list>
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
    // Before SetUp: the device compiles what the runtime's generator writes
    // instead of the sample programs.
    bool generatedShaders = false;

    void SetUp() override {
        if (!rig.Start(sys::gpu::Backend::OpenGL, kSize, kSize))
            GTEST_SKIP() << "no GL context here";
        if (generatedShaders)
            ShaderSource::Install(nullptr);
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
    // Copies vertices into the dynamic buffer through a lock; their byte
    // offset in it.
    uint32_t PutVertices(const void* data, uint32_t bytes) {
        const uint32_t at = vertexBytes;
        void* to = device->LockVertexBuffer(vertices, at, bytes);
        EXPECT_NE(to, nullptr);
        if (to)
            std::memcpy(to, data, bytes);
        device->UnlockVertexBuffer(vertices, bytes);
        vertexBytes += bytes;
        return at;
    }
    // The same for indices; the first index's number.
    uint32_t PutIndices(std::initializer_list<uint16_t> list) {
        const uint32_t first = indexCount;
        const auto bytes = static_cast<uint32_t>(list.size() * 2);
        void* to = device->LockIndexBuffer(indices, first * 2, bytes);
        EXPECT_NE(to, nullptr);
        if (to)
            std::memcpy(to, list.begin(), bytes);
        device->UnlockIndexBuffer(indices, bytes);
        indexCount += static_cast<uint32_t>(list.size());
        return first;
    }
    // Draws `n` vertices of `stride` bytes as a quad or a triangle.
    void DrawVertices(const void* v, uint32_t n, uint32_t stride) {
        device->SetVertexBuffer(0, vertices, PutVertices(v, n * stride), stride);
        device->SetIndexBuffer(indices);
        if (n == 4)
            device->DrawIndexed(1, PutIndices({0, 1, 2, 2, 1, 3}), 6, 4);
        else
            device->DrawIndexed(1, PutIndices({0, 1, 2}), 3, 3);
    }

    VfxDeviceRig rig;
    VfxDevice* device = nullptr;
    VertexBuffer* vertices = nullptr;
    IndexBuffer* indices = nullptr;
    FulgorCore::IShader* simple = nullptr;
    std::vector<uint8_t> pixels;
    uint32_t vertexBytes = 0;
    uint32_t indexCount = 0;
};

} // namespace testsupport
