#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/graphics/GraphicsResource.h"

#include <cstdint>

namespace sys::gpu {
struct Shader;
}

namespace Mireku::Graphics {

// One resource a shader reads: the global id of its name (a name-table index
// of the graphics device) and the register it reads it from.
struct ShaderBinding {
    uint32_t id;
    uint32_t slot;
};

// A shader with the constant buffers, textures and samplers it reads, in
// reflection order.
class ShaderBase : public GraphicsResource {
public:
    using BindingList = Common::Vector<ShaderBinding>;

    ~ShaderBase() override;

    sys::gpu::Shader* GetShader() const { return shader_; }
    void SetShader(sys::gpu::Shader* shader) { shader_ = shader; }
    BindingList& GetConstantBuffers() { return constantBuffers_; }
    BindingList& GetTextures() { return textures_; }
    BindingList& GetSamplers() { return samplers_; }
    const BindingList& GetConstantBuffers() const { return constantBuffers_; }
    const BindingList& GetTextures() const { return textures_; }
    const BindingList& GetSamplers() const { return samplers_; }

private:
    BindingList constantBuffers_;
    BindingList textures_;
    BindingList samplers_;
    sys::gpu::Shader* shader_ = nullptr;
};

class VertexShader : public ShaderBase {};
class GeometryShader : public ShaderBase {};
class PixelShader : public ShaderBase {};
class ComputeShader : public ShaderBase {};

} // namespace Mireku::Graphics
