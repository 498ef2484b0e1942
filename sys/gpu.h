// The graphics device the engine drives, shaped after a Direct3D 11 device and
// its immediate context, with two backends: OpenGL 4.5 core through SDL2 and a
// null backend that only records what it was asked to do (for tests).
//
// Threading: the thread that calls CreateContext owns the device (the render
// thread). Every Set*/Draw*/Clear*/Map/Present call belongs to that thread.
// Create* and Release may be called from any thread: off the owner thread they
// are queued, and the owner carries them out, in order, in ProcessPending
// before it executes a frame. An object returned by Create* is a valid handle
// at once; it simply has no GL object behind it until then.
//
// Conventions kept at the seam: clip-space depth 0..1, window and texture
// origin at the top-left (row 0 of every image is its top row), front faces as
// the rasterizer state says in that top-left space, integer vertex formats
// read as integers, and an unbound texture reads as zero.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sys::gpu {

enum class Backend : uint32_t { OpenGL, Null };

enum class Format : uint32_t {
    Unknown,
    R8G8B8A8_UNORM,
    B8G8R8A8_UNORM,
    A8_UNORM,
    R8_UNORM,
    R10G10B10A2_UNORM,
    R16_FLOAT,
    R32_FLOAT,
    R16G16_FLOAT,
    R16G16B16A16_FLOAT,
    R32G32_FLOAT,
    R32G32B32_FLOAT,
    R32G32B32A32_FLOAT,
    R8G8B8A8_UINT,
    R16G16_UNORM,
    R16G16B16A16_UNORM,
    R16G16_SINT,
    R16G16B16A16_SINT,
    R16G16_SNORM,
    R16G16B16A16_SNORM,
    R16_UINT, // index format
    R32_UINT, // index format
    R32_TYPELESS,
    BC1_UNORM,
    BC2_UNORM,
    BC3_UNORM,
    BC4_UNORM,
    BC5_UNORM,
    BC6H_UF16,
    BC7_UNORM,
    D24_UNORM_S8_UINT,
    D32_FLOAT,
    Count
};

// Bytes of one pixel, or of one 4x4 block for the block-compressed formats.
uint32_t FormatBytes(Format f);
bool IsBlockCompressed(Format f);
// Tight row pitch and byte size of one image of the given size.
uint32_t RowPitch(Format f, uint32_t width);
uint32_t ImageBytes(Format f, uint32_t width, uint32_t height);

enum class Usage : uint32_t { Default, Immutable, Dynamic, Staging };

enum BindFlag : uint32_t {
    kBindVertexBuffer = 1u << 0,
    kBindIndexBuffer = 1u << 1,
    kBindConstantBuffer = 1u << 2,
    kBindShaderResource = 1u << 3,
    kBindRenderTarget = 1u << 4,
    kBindDepthStencil = 1u << 5,
    kBindUnorderedAccess = 1u << 6,
};

enum CpuAccessFlag : uint32_t { kCpuWrite = 1u << 0, kCpuRead = 1u << 1 };

enum MiscFlag : uint32_t {
    kMiscTextureCube = 1u << 0,
    kMiscAllowRawViews = 1u << 1,
    kMiscDrawIndirectArgs = 1u << 2,
};

enum class Stage : uint32_t { Vertex, Geometry, Pixel, Compute, Count };
constexpr uint32_t kStageCount = 4;
constexpr uint32_t kSlotsPerStage = 16; // constant buffers, views and samplers per stage
constexpr uint32_t kVertexStreams = 2;
constexpr uint32_t kColourTargets = 4;

enum class Topology : uint32_t { PointList, LineList, LineStrip, TriangleList, TriangleStrip };

enum class FillMode : uint32_t { Solid, Wireframe };
enum class CullMode : uint32_t { None, Front, Back };
enum class Comparison : uint32_t {
    Never,
    Less,
    Equal,
    LessEqual,
    Greater,
    NotEqual,
    GreaterEqual,
    Always
};
enum class BlendFactor : uint32_t {
    Zero,
    One,
    SrcColour,
    InvSrcColour,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColour,
    InvDestColour
};
enum class BlendOp : uint32_t { Add, Subtract, RevSubtract, Min, Max };
enum class Filter : uint32_t {
    MinMagMipPoint,
    MinMagPointMipLinear,
    MinMagLinearMipPoint,
    MinMagMipLinear,
    Anisotropic
};
enum class AddressMode : uint32_t { Clamp, Wrap, Mirror };
enum class MapMode : uint32_t { WriteDiscard, WriteNoOverwrite };

struct BufferDesc {
    uint32_t byteWidth = 0;
    Usage usage = Usage::Default;
    uint32_t bindFlags = 0;
    uint32_t cpuAccess = 0;
    uint32_t miscFlags = 0;
};

// A 2-D texture or, with kMiscTextureCube and arraySize 6, a cube map.
struct TextureDesc {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t mipLevels = 1;
    uint32_t arraySize = 1;
    Format format = Format::Unknown;
    Usage usage = Usage::Default;
    uint32_t bindFlags = 0;
    uint32_t miscFlags = 0;
};

// Initial contents of one subresource (array slice major, mip minor, as
// Direct3D orders them). rowPitch 0 means tightly packed.
struct SubresourceData {
    const void* data = nullptr;
    uint32_t rowPitch = 0;
};

struct RasterizerDesc {
    FillMode fill = FillMode::Solid;
    CullMode cull = CullMode::Back;
    bool frontCounterClockwise = false;
    int32_t depthBias = 0;
    float depthBiasClamp = 0.0f;
    float slopeScaledDepthBias = 0.0f;
    bool depthClip = true;
    bool scissor = false;
    bool multisample = false;
    bool antialiasedLine = false;
};

struct DepthStencilDesc {
    bool depthEnable = true;
    bool depthWrite = true;
    Comparison depthFunc = Comparison::Less;
    bool stencilEnable = false;
};

struct RenderTargetBlendDesc {
    bool enable = false;
    BlendFactor srcColour = BlendFactor::One;
    BlendFactor destColour = BlendFactor::Zero;
    BlendOp colourOp = BlendOp::Add;
    BlendFactor srcAlpha = BlendFactor::One;
    BlendFactor destAlpha = BlendFactor::Zero;
    BlendOp alphaOp = BlendOp::Add;
    uint8_t writeMask = 0xF; // bit 0 red .. bit 3 alpha
};

struct BlendDesc {
    bool alphaToCoverage = false;
    bool independentBlend = false;
    RenderTargetBlendDesc target[8];
};

struct SamplerDesc {
    Filter filter = Filter::MinMagMipLinear;
    AddressMode addressU = AddressMode::Clamp;
    AddressMode addressV = AddressMode::Clamp;
    AddressMode addressW = AddressMode::Clamp;
    float mipLodBias = 0.0f;
    uint32_t maxAnisotropy = 1;
    Comparison comparison = Comparison::Always;
    float borderColour[4] = {0, 0, 0, 0};
    float minLod = 0.0f;
    float maxLod = 3.402823466e+38f;
};

// One vertex attribute of an input layout; matched to the vertex shader's
// inputs by semantic name and index.
struct InputElement {
    const char* semantic = nullptr;
    uint32_t semanticIndex = 0;
    Format format = Format::Unknown;
    uint32_t inputSlot = 0;
    uint32_t alignedByteOffset = 0;
    uint32_t perInstance = 0; // 0 per vertex, 1 per instance
    uint32_t instanceStepRate = 0;
};

enum class BindingKind : uint32_t {
    ConstantBuffer, // uniform block `name` reads constant-buffer register `slot`
    Texture,        // sampler uniform `name` samples texture register `slot` with
                    // sampler register `samplerSlot` (a combined image sampler)
    StorageBuffer,  // shader storage block `name` at unordered-access register `slot`
};

struct ShaderBinding {
    BindingKind kind = BindingKind::ConstantBuffer;
    const char* name = nullptr;
    uint32_t slot = 0;
    uint32_t samplerSlot = 0;
};

// A vertex shader input: attribute `location` carries semantic/index.
struct ShaderInput {
    const char* semantic = nullptr;
    uint32_t semanticIndex = 0;
    uint32_t location = 0;
};

// GLSL 4.50 source of one stage plus what the device needs to bind its
// resources at Direct3D registers. The device copies everything it keeps.
struct ShaderDesc {
    Stage stage = Stage::Vertex;
    const char* source = nullptr;
    const ShaderBinding* bindings = nullptr;
    uint32_t bindingCount = 0;
    const ShaderInput* inputs = nullptr; // vertex stage only
    uint32_t inputCount = 0;
};

struct Viewport {
    float x = 0, y = 0, width = 0, height = 0, minDepth = 0, maxDepth = 1;
};

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// A region of one subresource, in texels; right/bottom exclusive.
struct Box {
    uint32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    Format format = Format::R8G8B8A8_UNORM;
    uint32_t refreshNumerator = 0;
    uint32_t refreshDenominator = 0;
    uint32_t scanlineOrdering = 0;
    uint32_t scaling = 0;
};

struct SwapChainDesc {
    uint32_t width = 0;
    uint32_t height = 0;
    DisplayMode mode; // refresh rate, format, ordering and scaling
    void* window = nullptr;
    bool windowed = true;
};

// Handles. Their contents belong to the device.
struct Object;
struct Buffer;
struct Texture;
struct View; // shader-resource, render-target, depth-stencil or unordered-access view
struct Shader;
struct InputLayout;
struct RasterizerState;
struct DepthStencilState;
struct BlendState;
struct SamplerState;

// Every handle is an Object (for Release and UpdateSubresource).
Object* AsObject(Buffer* p);
Object* AsObject(Texture* p);
Object* AsObject(View* p);
Object* AsObject(Shader* p);
Object* AsObject(InputLayout* p);
Object* AsObject(RasterizerState* p);
Object* AsObject(DepthStencilState* p);
Object* AsObject(BlendState* p);
Object* AsObject(SamplerState* p);

class Device {
public:
    virtual ~Device();

    Backend GetBackend() const { return backend_; }

    // --- Owner (render) thread: life of the context and the swap chain. ---
    // Makes the calling thread the owner and creates the rendering context.
    virtual bool CreateContext() = 0;
    // The back buffer and presentation; the context must exist.
    virtual bool CreateSwapChain(const SwapChainDesc& desc) = 0;
    // Carries out the creations and releases queued by other threads.
    void ProcessPending();
    // Releases every GL object still held, then the context (owner thread).
    virtual void DestroyContext() = 0;
    bool IsOwnerThread() const;

    // --- Any thread. ---
    // Display modes of the first output; returns the number of modes, writing
    // at most `capacity` of them.
    virtual uint32_t GetDisplayModes(DisplayMode* modes, uint32_t capacity) = 0;
    virtual void SetFullscreen(bool fullscreen) = 0;
    virtual bool IsFullscreen() const = 0;

    Buffer* CreateBuffer(const BufferDesc& desc, const void* initialData);
    Texture* CreateTexture(const TextureDesc& desc, const SubresourceData* initialData);
    // Views cover the whole texture (all mips; a cube view for a cube map).
    View* CreateShaderResourceView(Texture* texture);
    View* CreateRenderTargetView(Texture* texture);
    View* CreateDepthStencilView(Texture* texture);
    View* CreateUnorderedAccessView(Buffer* buffer);
    Shader* CreateShader(const ShaderDesc& desc);
    // Null when an element's semantic is not among the shader's inputs.
    InputLayout* CreateInputLayout(const InputElement* elements, uint32_t count,
                                   const Shader* vertexShader);
    RasterizerState* CreateRasterizerState(const RasterizerDesc& desc);
    DepthStencilState* CreateDepthStencilState(const DepthStencilDesc& desc);
    BlendState* CreateBlendState(const BlendDesc& desc);
    SamplerState* CreateSamplerState(const SamplerDesc& desc);
    // Any handle; null is ignored. A view must be released before its texture
    // only in the sense that both must be released; the order is free.
    void Release(Object* object);

    // The swap chain's back buffer (owned by the device; never released).
    Texture* GetBackBuffer() const { return backBuffer_; }

    // Descriptions, as created.
    static const BufferDesc& GetDesc(const Buffer* buffer);
    static const TextureDesc& GetDesc(const Texture* texture);
    static Texture* GetTexture(const View* view);

    // --- Owner thread: immediate context. ---
    virtual void ClearState() = 0;
    virtual void SetRenderTargets(uint32_t count, View* const* colour, View* depth) = 0;
    virtual void SetViewport(const Viewport& viewport) = 0;
    virtual void SetScissorRect(const Rect& rect) = 0;
    virtual void ClearRenderTargetView(View* view, const float colour[4]) = 0;
    virtual void ClearDepthStencilView(View* view, float depth, uint8_t stencil) = 0;
    virtual void SetRasterizerState(RasterizerState* state) = 0;
    virtual void SetDepthStencilState(DepthStencilState* state, uint32_t stencilRef) = 0;
    virtual void SetBlendState(BlendState* state, const float* blendFactor,
                               uint32_t sampleMask) = 0;
    virtual void SetShader(Stage stage, Shader* shader) = 0;
    virtual void SetConstantBuffers(Stage stage, uint32_t start, uint32_t count,
                                    Buffer* const* buffers) = 0;
    virtual void SetShaderResources(Stage stage, uint32_t start, uint32_t count,
                                    View* const* views) = 0;
    virtual void SetSamplers(Stage stage, uint32_t start, uint32_t count,
                             SamplerState* const* samplers) = 0;
    virtual void SetUnorderedAccessViews(uint32_t start, uint32_t count, View* const* views) = 0;
    virtual void SetInputLayout(InputLayout* layout) = 0;
    virtual void SetVertexBuffers(uint32_t start, uint32_t count, Buffer* const* buffers,
                                  const uint32_t* strides, const uint32_t* offsets) = 0;
    virtual void SetIndexBuffer(Buffer* buffer, Format format, uint32_t offset) = 0;
    virtual void SetTopology(Topology topology) = 0;
    virtual void Draw(uint32_t vertexCount, uint32_t startVertex) = 0;
    virtual void DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) = 0;
    // Write access to a dynamic buffer; null when it cannot be mapped.
    virtual void* Map(Buffer* buffer, MapMode mode) = 0;
    virtual void Unmap(Buffer* buffer) = 0;
    // Replaces a region of a default-usage buffer (box: left..right bytes) or of
    // one texture subresource; a null box means all of it.
    virtual void UpdateSubresource(Object* resource, uint32_t subresource, const Box* box,
                                   const void* data, uint32_t rowPitch) = 0;
    // Shows the back buffer. With syncInterval 1 it waits for the vertical sync
    // and, when the swap returns early (no vsync, software GL), sleeps out the
    // rest of the refresh period so frames never come faster than the mode's
    // refresh rate (60 Hz when the mode has none). Like a swap chain, it
    // returns only once the GPU has finished the frame three presents back,
    // so a slow GPU slows the caller instead of queueing frames.
    virtual void Present(uint32_t syncInterval) = 0;
    // Reads RGBA8 pixels of a render target (tests, screenshots); row 0 is the top.
    virtual bool ReadPixels(Texture* texture, const Rect& rect, void* rgba) = 0;

protected:
    // The creation queue exists from the start: loader threads may submit
    // before the render thread takes ownership.
    explicit Device(Backend backend);
    // Backend hooks, always on the owner thread.
    virtual void Realize(Object* object) = 0;
    virtual void Destroy(Object* object) = 0;
    // The objects a backend keeps more in: it derives its own structs and
    // makes them here (any thread). The defaults make the shared structs.
    virtual Buffer* NewBuffer();
    virtual Texture* NewTexture();
    virtual Shader* NewShader();
    virtual InputLayout* NewInputLayout();
    virtual SamplerState* NewSamplerState();
    void TakeOwnership();
    // Deletes every live object (context teardown); Destroy runs for each.
    void DestroyAllObjects();

    Texture* backBuffer_ = nullptr;

private:
    struct Queue;
    Object* Submit(Object* object);
    Backend backend_;
    Queue* const queue_;
    friend struct DeviceAccess;
};

// Creates a device of the given backend for an SDL window (ignored by the null
// backend). The device is inert until CreateContext on its owner thread.
Device* CreateDevice(Backend backend, void* window);
void DestroyDevice(Device* device);

} // namespace sys::gpu
