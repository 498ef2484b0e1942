// An effects device on a graphics stack of the test's own thread, with the
// sample shader text installed; it keeps every object the test makes through
// the device and gives them back before the device and the stack go.
#pragma once

#include "support/GraphicsFixture.h"
#include "support/vfx/SampleShaders.h"

#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Interface/ITexture.h"
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
    FulgorCore::IShader* Shader(uint32_t word0) {
        FulgorCore::ShaderKey key;
        key.words[0] = word0;
        FulgorCore::IShader* shader = nullptr;
        device->CreateShader(&key, &shader);
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

} // namespace testsupport
