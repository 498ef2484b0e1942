// The null backend: every call is recorded, nothing is drawn.
#include "sys/gpu/null_device.h"

#include <atomic>
#include <cstring>
#include <new>

namespace sys::gpu {

namespace {

// As on a real display, the full-screen state belongs to the output, not to
// the device, and outlives it.
std::atomic<bool> g_displayFullscreen{false};

} // namespace

NullDevice::NullDevice() : Device(Backend::Null) {}

NullDevice::~NullDevice() {
    DestroyAllObjects();
}

NullCall& NullDevice::Record(NullOp op) {
    ++callCount_;
    if (!recording_) {
        scratch_ = NullCall{op};
        return scratch_;
    }
    if (calls_.size() >= kNullCallLimit)
        calls_.erase(calls_.begin(), calls_.begin() + kNullCallLimit / 2);
    calls_.push_back(NullCall{op});
    return calls_.back();
}

bool NullDevice::CreateContext() {
    TakeOwnership();
    return !failContext_;
}

bool NullDevice::CreateSwapChain(const SwapChainDesc& desc) {
    if (failSwapChain_)
        return false;
    Texture* t = new Texture;
    t->desc.width = desc.width;
    t->desc.height = desc.height;
    t->desc.format = Format::R8G8B8A8_UNORM;
    t->desc.bindFlags = kBindRenderTarget;
    t->backBuffer = true;
    t->realized = true;
    backBuffer_ = t;
    return true;
}

void NullDevice::DestroyContext() {
    DestroyAllObjects();
}

void NullDevice::SetFullscreen(bool fullscreen) {
    g_displayFullscreen.store(fullscreen);
}

bool NullDevice::IsFullscreen() const {
    return g_displayFullscreen.load();
}

bool NullDisplayIsFullscreen() {
    return g_displayFullscreen.load();
}

uint32_t NullDevice::GetDisplayModes(DisplayMode* modes, uint32_t capacity) {
    const uint32_t n = static_cast<uint32_t>(modes_.size());
    for (uint32_t i = 0; i < n && i < capacity; ++i)
        modes[i] = modes_[i];
    return n;
}

Buffer* NullDevice::NewBuffer() {
    return new (std::nothrow) NullBuffer;
}

void NullDevice::Realize(Object* object) {
    object->realized = true;
    if (object->kind == ObjectKind::Buffer) {
        Buffer* b = static_cast<Buffer*>(object);
        Null(b)->shadow.assign(b->desc.byteWidth, 0);
        if (!b->initial.empty())
            Null(b)->shadow = b->initial;
        b->initial.clear();
        b->initial.shrink_to_fit();
    }
    NullCall& c = Record(NullOp::CreateObject);
    c.value = static_cast<int64_t>(object->kind);
    c.objects[0] = object;
}

void NullDevice::Destroy(Object* object) {
    if (object == backBuffer_)
        return;
    NullCall& c = Record(NullOp::DestroyObject);
    c.value = static_cast<int64_t>(object->kind);
    c.objects[0] = object;
}

void NullDevice::ClearState() {
    Record(NullOp::ClearState);
}

void NullDevice::SetRenderTargets(uint32_t count, View* const* colour, View* depth) {
    NullCall& c = Record(NullOp::SetRenderTargets);
    c.count = count;
    for (uint32_t i = 0; i < count && i < 3; ++i)
        c.objects[i] = colour ? colour[i] : nullptr;
    c.objects[3] = depth;
}

void NullDevice::SetViewport(const Viewport& v) {
    NullCall& c = Record(NullOp::SetViewport);
    c.floats[0] = v.x;
    c.floats[1] = v.y;
    c.floats[2] = v.width;
    c.floats[3] = v.height;
}

void NullDevice::SetScissorRect(const Rect& r) {
    NullCall& c = Record(NullOp::SetScissorRect);
    c.floats[0] = static_cast<float>(r.left);
    c.floats[1] = static_cast<float>(r.top);
    c.floats[2] = static_cast<float>(r.right);
    c.floats[3] = static_cast<float>(r.bottom);
}

void NullDevice::ClearRenderTargetView(View* view, const float colour[4]) {
    NullCall& c = Record(NullOp::ClearRenderTargetView);
    c.objects[0] = view;
    std::memcpy(c.floats, colour, sizeof(c.floats));
}

void NullDevice::ClearDepthStencilView(View* view, float depth, uint8_t stencil) {
    NullCall& c = Record(NullOp::ClearDepthStencilView);
    c.objects[0] = view;
    c.floats[0] = depth;
    c.value = stencil;
}

void NullDevice::SetRasterizerState(RasterizerState* state) {
    Record(NullOp::SetRasterizerState).objects[0] = state;
}

void NullDevice::SetDepthStencilState(DepthStencilState* state, uint32_t stencilRef) {
    NullCall& c = Record(NullOp::SetDepthStencilState);
    c.objects[0] = state;
    c.value = stencilRef;
}

void NullDevice::SetBlendState(BlendState* state, const float* factor, uint32_t sampleMask) {
    NullCall& c = Record(NullOp::SetBlendState);
    c.objects[0] = state;
    c.value = sampleMask;
    if (factor)
        std::memcpy(c.floats, factor, sizeof(c.floats));
}

void NullDevice::SetShader(Stage stage, Shader* shader) {
    NullCall& c = Record(NullOp::SetShader);
    c.stage = static_cast<uint32_t>(stage);
    c.objects[0] = shader;
}

void NullDevice::RecordSlots(NullOp op, Stage stage, uint32_t start, uint32_t count,
                             const void* const* objects) {
    NullCall& c = Record(op);
    c.stage = static_cast<uint32_t>(stage);
    c.start = start;
    c.count = count;
    for (uint32_t i = 0; i < count && i < 4; ++i)
        c.objects[i] = objects[i];
}

void NullDevice::SetConstantBuffers(Stage stage, uint32_t start, uint32_t count,
                                    Buffer* const* buffers) {
    RecordSlots(NullOp::SetConstantBuffers, stage, start, count,
                reinterpret_cast<const void* const*>(buffers));
}

void NullDevice::SetShaderResources(Stage stage, uint32_t start, uint32_t count,
                                    View* const* views) {
    RecordSlots(NullOp::SetShaderResources, stage, start, count,
                reinterpret_cast<const void* const*>(views));
}

void NullDevice::SetSamplers(Stage stage, uint32_t start, uint32_t count,
                             SamplerState* const* samplers) {
    RecordSlots(NullOp::SetSamplers, stage, start, count,
                reinterpret_cast<const void* const*>(samplers));
}

void NullDevice::SetUnorderedAccessViews(uint32_t start, uint32_t count, View* const* views) {
    RecordSlots(NullOp::SetUnorderedAccessViews, Stage::Compute, start, count,
                reinterpret_cast<const void* const*>(views));
}

void NullDevice::SetInputLayout(InputLayout* layout) {
    Record(NullOp::SetInputLayout).objects[0] = layout;
}

void NullDevice::SetVertexBuffers(uint32_t start, uint32_t count, Buffer* const* buffers,
                                  const uint32_t* strides, const uint32_t* offsets) {
    RecordSlots(NullOp::SetVertexBuffers, Stage::Vertex, start, count,
                reinterpret_cast<const void* const*>(buffers));
    NullCall& c = recording_ ? calls_.back() : scratch_;
    // Stride and offset of the first buffer of the run.
    c.value = count ? (static_cast<int64_t>(strides[0]) << 32) | offsets[0] : 0;
}

void NullDevice::SetIndexBuffer(Buffer* buffer, Format format, uint32_t offset) {
    NullCall& c = Record(NullOp::SetIndexBuffer);
    c.objects[0] = buffer;
    c.value = static_cast<int64_t>(format);
    c.start = offset;
}

void NullDevice::SetTopology(Topology topology) {
    Record(NullOp::SetTopology).value = static_cast<int64_t>(topology);
}

void NullDevice::Draw(uint32_t vertexCount, uint32_t startVertex) {
    NullCall& c = Record(NullOp::Draw);
    c.count = vertexCount;
    c.start = startVertex;
}

void NullDevice::DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) {
    NullCall& c = Record(NullOp::DrawIndexed);
    c.count = indexCount;
    c.start = startIndex;
    c.value = baseVertex;
}

void* NullDevice::Map(Buffer* buffer, MapMode mode) {
    NullCall& c = Record(NullOp::Map);
    c.objects[0] = buffer;
    c.value = static_cast<int64_t>(mode);
    if (!buffer || Null(buffer)->shadow.empty())
        return nullptr;
    buffer->mapped = true;
    return Null(buffer)->shadow.data();
}

void NullDevice::Unmap(Buffer* buffer) {
    Record(NullOp::Unmap).objects[0] = buffer;
    if (buffer)
        buffer->mapped = false;
}

void NullDevice::UpdateSubresource(Object* resource, uint32_t subresource, const Box* box,
                                   const void* data, uint32_t rowPitch) {
    NullCall& c = Record(NullOp::UpdateSubresource);
    c.objects[0] = resource;
    c.start = subresource;
    c.count = rowPitch;
    if (resource && resource->kind == ObjectKind::Buffer && data) {
        Buffer* b = static_cast<Buffer*>(resource);
        uint32_t left = box ? box->left : 0;
        uint32_t right = box ? box->right : b->desc.byteWidth;
        std::vector<uint8_t>& shadow = Null(b)->shadow;
        if (right > shadow.size())
            right = static_cast<uint32_t>(shadow.size());
        if (left < right)
            std::memcpy(shadow.data() + left, data, right - left);
    }
}

void NullDevice::Present(uint32_t syncInterval) {
    Record(NullOp::Present).value = syncInterval;
}

bool NullDevice::ReadPixels(Texture*, const Rect&, void*) {
    return false;
}

std::vector<NullCall>* NullCalls(Device* device) {
    if (!device || device->GetBackend() != Backend::Null)
        return nullptr;
    return &static_cast<NullDevice*>(device)->calls_;
}

void SetNullRecording(Device* device, bool record) {
    if (device && device->GetBackend() == Backend::Null)
        static_cast<NullDevice*>(device)->recording_ = record;
}

uint64_t NullCallCount(Device* device) {
    if (!device || device->GetBackend() != Backend::Null)
        return 0;
    return static_cast<NullDevice*>(device)->callCount_;
}

void SetNullDisplayModes(Device* device, const DisplayMode* modes, uint32_t count) {
    if (!device || device->GetBackend() != Backend::Null)
        return;
    static_cast<NullDevice*>(device)->modes_.assign(modes, modes + count);
}

void SetNullFailures(Device* device, bool context, bool swapChain) {
    if (!device || device->GetBackend() != Backend::Null)
        return;
    static_cast<NullDevice*>(device)->failContext_ = context;
    static_cast<NullDevice*>(device)->failSwapChain_ = swapChain;
}

const std::vector<uint8_t>* NullBufferContents(const Buffer* buffer) {
    return buffer ? &Null(buffer)->shadow : nullptr;
}

} // namespace sys::gpu
