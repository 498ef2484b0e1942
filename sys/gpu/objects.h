// What a device handle holds. Shared by both backends: the description as
// created, copies of everything a queued creation still needs, and the GL
// names once the owner thread has made the objects.
#pragma once

#include "sys/gpu.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sys::gpu {

enum class ObjectKind : uint32_t {
    Buffer,
    Texture,
    View,
    Shader,
    InputLayout,
    RasterizerState,
    DepthStencilState,
    BlendState,
    SamplerState
};

enum class ViewKind : uint32_t { ShaderResource, RenderTarget, DepthStencil, UnorderedAccess };

struct Object {
    explicit Object(ObjectKind k) : kind(k) {}
    virtual ~Object() = default;
    ObjectKind kind;
    bool realized = false; // the backend has made it (owner thread)
    Object* prevLive = nullptr;
    Object* nextLive = nullptr;
};

struct Buffer : Object {
    Buffer() : Object(ObjectKind::Buffer) {}
    BufferDesc desc;
    std::vector<uint8_t> initial; // until realized
    std::vector<uint8_t> shadow;  // null backend: the buffer's contents
    uint32_t gl = 0;
    bool mapped = false;
};

struct Texture : Object {
    Texture() : Object(ObjectKind::Texture) {}
    TextureDesc desc;
    std::vector<std::vector<uint8_t>> initial; // tightly packed subresources
    uint32_t gl = 0;
    bool backBuffer = false;
};

struct View : Object {
    View() : Object(ObjectKind::View) {}
    ViewKind viewKind = ViewKind::ShaderResource;
    Texture* texture = nullptr; // texture views
    Buffer* buffer = nullptr;   // unordered-access views
    uint32_t glFramebuffer = 0; // render-target and depth-stencil views
};

struct Shader : Object {
    Shader() : Object(ObjectKind::Shader) {}
    struct Binding {
        BindingKind kind;
        std::string name;
        uint32_t slot;
        uint32_t samplerSlot;
    };
    struct Input {
        std::string semantic;
        uint32_t semanticIndex;
        uint32_t location;
    };
    Stage stage = Stage::Vertex;
    std::string source;
    std::vector<Binding> bindings;
    std::vector<Input> inputs;
    // Texture bindings in declaration order; texture unit = stage * 16 + index.
    std::vector<uint32_t> textureBindings;
    uint32_t gl = 0; // separable program
    bool compiled = false;
};

struct InputLayout : Object {
    InputLayout() : Object(ObjectKind::InputLayout) {}
    struct Element {
        InputElement element;
        std::string semantic;
        uint32_t location;
    };
    std::vector<Element> elements;
    uint32_t gl = 0; // vertex array object
};

struct RasterizerState : Object {
    RasterizerState() : Object(ObjectKind::RasterizerState) {}
    RasterizerDesc desc;
};

struct DepthStencilState : Object {
    DepthStencilState() : Object(ObjectKind::DepthStencilState) {}
    DepthStencilDesc desc;
};

struct BlendState : Object {
    BlendState() : Object(ObjectKind::BlendState) {}
    BlendDesc desc;
};

struct SamplerState : Object {
    SamplerState() : Object(ObjectKind::SamplerState) {}
    SamplerDesc desc;
    uint32_t gl = 0;
};

} // namespace sys::gpu
