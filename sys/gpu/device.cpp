// Backend-independent part of the device: handle creation, the queue that
// carries creations and releases over to the owner thread, and format sizes.
#include "sys/gpu.h"
#include "sys/gpu/null_device.h"
#include "sys/gpu/objects.h"

#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace sys::gpu {

uint32_t FormatBytes(Format f) {
    switch (f) {
    case Format::A8_UNORM:
    case Format::R8_UNORM:
        return 1;
    case Format::R16_FLOAT:
    case Format::R16_UINT:
        return 2;
    case Format::R8G8B8A8_UNORM:
    case Format::B8G8R8A8_UNORM:
    case Format::R10G10B10A2_UNORM:
    case Format::R32_FLOAT:
    case Format::R16G16_FLOAT:
    case Format::R8G8B8A8_UINT:
    case Format::R16G16_UNORM:
    case Format::R16G16_SINT:
    case Format::R16G16_SNORM:
    case Format::R32_UINT:
    case Format::R32_TYPELESS:
    case Format::D24_UNORM_S8_UINT:
    case Format::D32_FLOAT:
        return 4;
    case Format::R16G16B16A16_FLOAT:
    case Format::R32G32_FLOAT:
    case Format::R16G16B16A16_UNORM:
    case Format::R16G16B16A16_SINT:
    case Format::R16G16B16A16_SNORM:
    case Format::BC1_UNORM:
    case Format::BC4_UNORM:
        return 8;
    case Format::R32G32B32_FLOAT:
        return 12;
    case Format::R32G32B32A32_FLOAT:
    case Format::BC2_UNORM:
    case Format::BC3_UNORM:
    case Format::BC5_UNORM:
    case Format::BC6H_UF16:
    case Format::BC7_UNORM:
        return 16;
    default:
        return 0;
    }
}

bool IsBlockCompressed(Format f) {
    return f >= Format::BC1_UNORM && f <= Format::BC7_UNORM;
}

uint32_t RowPitch(Format f, uint32_t width) {
    if (IsBlockCompressed(f))
        return ((width + 3) / 4) * FormatBytes(f);
    return width * FormatBytes(f);
}

uint32_t ImageBytes(Format f, uint32_t width, uint32_t height) {
    const uint32_t rows = IsBlockCompressed(f) ? (height + 3) / 4 : height;
    return RowPitch(f, width) * rows;
}

struct Device::Queue {
    std::mutex lock;
    std::thread::id owner;
    bool ownerSet = false;
    // Creations (release false) and releases, in the order they were asked for.
    struct Op {
        Object* object;
        bool release;
    };
    std::vector<Op> pending;
    std::vector<Op> working;
    Object* live = nullptr; // every object not yet destroyed
};

Device::Device(Backend backend) : backend_(backend), queue_(new Queue) {}

Device::~Device() {
    delete queue_;
}

bool Device::IsOwnerThread() const {
    std::lock_guard<std::mutex> g(queue_->lock);
    return queue_->ownerSet && queue_->owner == std::this_thread::get_id();
}

void Device::TakeOwnership() {
    std::lock_guard<std::mutex> g(queue_->lock);
    queue_->owner = std::this_thread::get_id();
    queue_->ownerSet = true;
}

Object* Device::Submit(Object* object) {
    if (!object)
        return nullptr;
    bool now;
    {
        std::lock_guard<std::mutex> g(queue_->lock);
        object->nextLive = queue_->live;
        if (queue_->live)
            queue_->live->prevLive = object;
        queue_->live = object;
        now = queue_->ownerSet && queue_->owner == std::this_thread::get_id();
        if (!now)
            queue_->pending.push_back({object, false});
    }
    if (now)
        Realize(object);
    return object;
}

void Device::Release(Object* object) {
    if (!object || object == backBuffer_)
        return;
    bool now;
    {
        std::lock_guard<std::mutex> g(queue_->lock);
        now = queue_->ownerSet && queue_->owner == std::this_thread::get_id();
        // A creation still queued must be carried out first, in order.
        if (now && !object->realized && !queue_->pending.empty())
            now = false;
        if (!now) {
            queue_->pending.push_back({object, true});
            return;
        }
        if (object->prevLive)
            object->prevLive->nextLive = object->nextLive;
        else
            queue_->live = object->nextLive;
        if (object->nextLive)
            object->nextLive->prevLive = object->prevLive;
    }
    Destroy(object);
    delete object;
}

void Device::ProcessPending() {
    {
        std::lock_guard<std::mutex> g(queue_->lock);
        queue_->working.swap(queue_->pending);
    }
    for (const Queue::Op& op : queue_->working) {
        if (op.release)
            Release(op.object);
        else
            Realize(op.object);
    }
    queue_->working.clear();
}

void Device::DestroyAllObjects() {
    ProcessPending();
    std::lock_guard<std::mutex> g(queue_->lock);
    for (Object* o = queue_->live; o;) {
        Object* next = o->nextLive;
        Destroy(o);
        delete o;
        o = next;
    }
    queue_->live = nullptr;
    if (backBuffer_) {
        Destroy(backBuffer_);
        delete backBuffer_;
        backBuffer_ = nullptr;
    }
}

Buffer* Device::NewBuffer() {
    return new (std::nothrow) Buffer;
}

Texture* Device::NewTexture() {
    return new (std::nothrow) Texture;
}

Shader* Device::NewShader() {
    return new (std::nothrow) Shader;
}

InputLayout* Device::NewInputLayout() {
    return new (std::nothrow) InputLayout;
}

SamplerState* Device::NewSamplerState() {
    return new (std::nothrow) SamplerState;
}

Buffer* Device::CreateBuffer(const BufferDesc& desc, const void* initialData) {
    Buffer* b = NewBuffer();
    if (!b)
        return nullptr;
    b->desc = desc;
    if (initialData) {
        const uint8_t* p = static_cast<const uint8_t*>(initialData);
        b->initial.assign(p, p + desc.byteWidth);
    }
    return static_cast<Buffer*>(Submit(b));
}

Texture* Device::CreateTexture(const TextureDesc& desc, const SubresourceData* initialData) {
    Texture* t = NewTexture();
    if (!t)
        return nullptr;
    t->desc = desc;
    if (t->desc.mipLevels == 0)
        t->desc.mipLevels = 1;
    if (t->desc.arraySize == 0)
        t->desc.arraySize = 1;
    if (initialData) {
        const uint32_t count = t->desc.mipLevels * t->desc.arraySize;
        t->initial.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t mip = i % t->desc.mipLevels;
            const uint32_t w = desc.width >> mip ? desc.width >> mip : 1;
            const uint32_t h = desc.height >> mip ? desc.height >> mip : 1;
            const uint32_t pitch = RowPitch(desc.format, w);
            const uint32_t rows = IsBlockCompressed(desc.format) ? (h + 3) / 4 : h;
            const SubresourceData& src = initialData[i];
            if (!src.data)
                continue;
            const uint32_t srcPitch = src.rowPitch ? src.rowPitch : pitch;
            std::vector<uint8_t>& dst = t->initial[i];
            dst.resize(static_cast<size_t>(pitch) * rows);
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(dst.data() + static_cast<size_t>(r) * pitch,
                            static_cast<const uint8_t*>(src.data) +
                                static_cast<size_t>(r) * srcPitch,
                            pitch < srcPitch ? pitch : srcPitch);
        }
    }
    return static_cast<Texture*>(Submit(t));
}

namespace {
View* MakeView(ViewKind kind, Texture* texture, Buffer* buffer) {
    if (!texture && !buffer)
        return nullptr;
    View* v = new (std::nothrow) View;
    if (!v)
        return nullptr;
    v->viewKind = kind;
    v->texture = texture;
    v->buffer = buffer;
    return v;
}
} // namespace

View* Device::CreateShaderResourceView(Texture* texture) {
    return static_cast<View*>(Submit(MakeView(ViewKind::ShaderResource, texture, nullptr)));
}
View* Device::CreateRenderTargetView(Texture* texture) {
    return static_cast<View*>(Submit(MakeView(ViewKind::RenderTarget, texture, nullptr)));
}
View* Device::CreateDepthStencilView(Texture* texture) {
    return static_cast<View*>(Submit(MakeView(ViewKind::DepthStencil, texture, nullptr)));
}
View* Device::CreateUnorderedAccessView(Buffer* buffer) {
    return static_cast<View*>(Submit(MakeView(ViewKind::UnorderedAccess, nullptr, buffer)));
}

Shader* Device::CreateShader(const ShaderDesc& desc) {
    if (!desc.source)
        return nullptr;
    Shader* s = NewShader();
    if (!s)
        return nullptr;
    s->stage = desc.stage;
    s->source = desc.source;
    for (uint32_t i = 0; i < desc.bindingCount; ++i) {
        const ShaderBinding& b = desc.bindings[i];
        if (b.kind == BindingKind::Texture)
            s->textureBindings.push_back(static_cast<uint32_t>(s->bindings.size()));
        s->bindings.push_back({b.kind, b.name ? b.name : "", b.slot, b.samplerSlot});
    }
    for (uint32_t i = 0; i < desc.inputCount; ++i) {
        const ShaderInput& in = desc.inputs[i];
        s->inputs.push_back({in.semantic ? in.semantic : "", in.semanticIndex, in.location});
    }
    return static_cast<Shader*>(Submit(s));
}

InputLayout* Device::CreateInputLayout(const InputElement* elements, uint32_t count,
                                       const Shader* vertexShader) {
    if (!vertexShader || (count && !elements))
        return nullptr;
    InputLayout* l = NewInputLayout();
    if (!l)
        return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const InputElement& e = elements[i];
        const char* semantic = e.semantic ? e.semantic : "";
        // Input semantics compare without regard to case, as HLSL's do.
        const Shader::Input* match = nullptr;
        for (const Shader::Input& in : vertexShader->inputs)
            if (in.semanticIndex == e.semanticIndex &&
                strcasecmp(in.semantic.c_str(), semantic) == 0)
                match = &in;
        if (!match) {
            delete l;
            return nullptr;
        }
        l->elements.push_back({e, semantic, match->location});
    }
    for (InputLayout::Element& e : l->elements)
        e.element.semantic = e.semantic.c_str();
    return static_cast<InputLayout*>(Submit(l));
}

RasterizerState* Device::CreateRasterizerState(const RasterizerDesc& desc) {
    RasterizerState* s = new (std::nothrow) RasterizerState;
    if (s)
        s->desc = desc;
    return static_cast<RasterizerState*>(Submit(s));
}

DepthStencilState* Device::CreateDepthStencilState(const DepthStencilDesc& desc) {
    DepthStencilState* s = new (std::nothrow) DepthStencilState;
    if (s)
        s->desc = desc;
    return static_cast<DepthStencilState*>(Submit(s));
}

BlendState* Device::CreateBlendState(const BlendDesc& desc) {
    BlendState* s = new (std::nothrow) BlendState;
    if (s)
        s->desc = desc;
    return static_cast<BlendState*>(Submit(s));
}

SamplerState* Device::CreateSamplerState(const SamplerDesc& desc) {
    SamplerState* s = NewSamplerState();
    if (s)
        s->desc = desc;
    return static_cast<SamplerState*>(Submit(s));
}

Device* CreateGLDevice(void* window);

Device* CreateDevice(Backend backend, void* window) {
    if (backend == Backend::Null)
        return new (std::nothrow) NullDevice;
    return CreateGLDevice(window);
}

void DestroyDevice(Device* device) {
    delete device;
}

#define SYS_GPU_AS_OBJECT(Type)                                                                    \
    Object* AsObject(Type* p) {                                                                    \
        return p;                                                                                  \
    }
SYS_GPU_AS_OBJECT(Buffer)
SYS_GPU_AS_OBJECT(Texture)
SYS_GPU_AS_OBJECT(View)
SYS_GPU_AS_OBJECT(Shader)
SYS_GPU_AS_OBJECT(InputLayout)
SYS_GPU_AS_OBJECT(RasterizerState)
SYS_GPU_AS_OBJECT(DepthStencilState)
SYS_GPU_AS_OBJECT(BlendState)
SYS_GPU_AS_OBJECT(SamplerState)
#undef SYS_GPU_AS_OBJECT

const BufferDesc& Device::GetDesc(const Buffer* buffer) {
    return buffer->desc;
}
const TextureDesc& Device::GetDesc(const Texture* texture) {
    return texture->desc;
}
Texture* Device::GetTexture(const View* view) {
    return view ? view->texture : nullptr;
}

} // namespace sys::gpu
