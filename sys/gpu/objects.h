// What a device handle holds. Shared by both backends: the description as
// created and copies of everything a queued creation still needs. What only
// one backend keeps (GL names, the null backend's buffer contents) lives in
// that backend's structs derived from these, made by its factories.
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
    bool mapped = false;
};

struct Texture : Object {
    Texture() : Object(ObjectKind::Texture) {}
    TextureDesc desc;
    std::vector<std::vector<uint8_t>> initial; // tightly packed subresources
    bool backBuffer = false;
};

struct View : Object {
    View() : Object(ObjectKind::View) {}
    ViewKind viewKind = ViewKind::ShaderResource;
    Texture* texture = nullptr; // texture views
    Buffer* buffer = nullptr;   // unordered-access views
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
};

struct InputLayout : Object {
    InputLayout() : Object(ObjectKind::InputLayout) {}
    struct Element {
        InputElement element;
        std::string semantic;
        uint32_t location;
    };
    std::vector<Element> elements;
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
};

} // namespace sys::gpu
