// The graphics device's creation functions: small engine enumerations turned
// into device descriptions, the device objects wrapped. Device failures are not
// reported: a wrapper around a null object comes back, and only an exhausted
// engine heap gives null.
#include "engine/graphics/ResourceCreation.h"

#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DepthStencilState.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/StateCodes.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"
#include "sys/dds.h"
#include "sys/shader.h"

#include <cfloat>
#include <string>
#include <vector>

namespace Mireku::Graphics {

namespace {

// The named state codes are the device's enum values (and the sampler's
// filter kind times two plus the linear-mip flag is its filter).
template <class E> constexpr uint32_t Code(E e) {
    return static_cast<uint32_t>(e);
}
static_assert(StateCode::kBlendSrcAlpha == Code(sys::gpu::BlendFactor::SrcAlpha) &&
              StateCode::kBlendInvSrcAlpha == Code(sys::gpu::BlendFactor::InvSrcAlpha) &&
              StateCode::kBlendInvDestColour == Code(sys::gpu::BlendFactor::InvDestColour));
static_assert(StateCode::kOpRevSubtract == Code(sys::gpu::BlendOp::RevSubtract) &&
              StateCode::kOpMax == Code(sys::gpu::BlendOp::Max));
static_assert(StateCode::kCompareLessEqual == Code(sys::gpu::Comparison::LessEqual) &&
              StateCode::kCompareAlways == Code(sys::gpu::Comparison::Always));
static_assert(StateCode::kAddressWrap == Code(sys::gpu::AddressMode::Wrap) &&
              StateCode::kAddressMirror == Code(sys::gpu::AddressMode::Mirror));
static_assert(StateCode::kFilterLinear * 2 + 1 == Code(sys::gpu::Filter::MinMagMipLinear) &&
              StateCode::kFilterAnisotropic * 2 == Code(sys::gpu::Filter::Anisotropic));
static_assert(StateCode::kFillWireframe == Code(sys::gpu::FillMode::Wireframe) &&
              StateCode::kCullBack == Code(sys::gpu::CullMode::Back));

using sys::gpu::Format;

// Index arguments come from code, not files, but an index past a table must
// still not read past it: it takes the table's last entry.
template <class T, size_t N> T Pick(const T (&table)[N], uint32_t index) {
    return table[index < N ? index : N - 1];
}

constexpr Format kVertexFormats[] = {
    Format::R32_FLOAT,          Format::R32G32_FLOAT,       Format::R32G32B32_FLOAT,
    Format::R32G32B32A32_FLOAT, Format::R16G16_FLOAT,       Format::R16G16B16A16_FLOAT,
    Format::R8G8B8A8_UINT,      Format::R8G8B8A8_UNORM,     Format::R16G16_UNORM,
    Format::R16G16B16A16_UNORM, Format::R16G16_SINT,        Format::R16G16B16A16_SINT,
    Format::R16G16_SNORM,       Format::R16G16B16A16_SNORM,
};
static_assert(sizeof(kVertexFormats) / sizeof(kVertexFormats[0]) == kVertexFormatCount);

constexpr Format kTextureFormats[] = {
    Format::A8_UNORM,  Format::R8G8B8A8_UNORM,     Format::R10G10B10A2_UNORM,  Format::R16_FLOAT,
    Format::R32_FLOAT, Format::R16G16B16A16_FLOAT, Format::R32G32B32A32_FLOAT, Format::BC1_UNORM,
    Format::BC2_UNORM, Format::BC3_UNORM,          Format::BC4_UNORM,          Format::BC5_UNORM,
    Format::BC6H_UF16, Format::BC7_UNORM,
};
// DXGI numbers of the same formats, as the texture records them.
constexpr uint32_t kTextureFormatCodes[] = {65, 28, 24, 54, 41, 10, 2, 71, 74, 77, 80, 83, 95, 98};
static_assert(sizeof(kTextureFormats) / sizeof(kTextureFormats[0]) == kTextureFormatFromFile);

constexpr Format kTargetFormats[] = {
    Format::R8G8B8A8_UNORM,     Format::R10G10B10A2_UNORM, Format::R16G16B16A16_FLOAT,
    Format::R32G32B32A32_FLOAT, Format::R16_FLOAT,         Format::R32_FLOAT,
};
constexpr uint32_t kTargetFormatCodes[] = {28, 24, 10, 2, 54, 41};

Format DeviceFormat(sys::DdsFormat f) {
    switch (f) {
    case sys::DdsFormat::R8G8B8A8:
        return Format::R8G8B8A8_UNORM;
    case sys::DdsFormat::B8G8R8A8:
    case sys::DdsFormat::B8G8R8X8:
        return Format::B8G8R8A8_UNORM;
    case sys::DdsFormat::A8:
        return Format::A8_UNORM;
    case sys::DdsFormat::R10G10B10A2:
        return Format::R10G10B10A2_UNORM;
    case sys::DdsFormat::R16Float:
        return Format::R16_FLOAT;
    case sys::DdsFormat::R32Float:
        return Format::R32_FLOAT;
    case sys::DdsFormat::R16G16B16A16Float:
        return Format::R16G16B16A16_FLOAT;
    case sys::DdsFormat::R32G32B32A32Float:
        return Format::R32G32B32A32_FLOAT;
    case sys::DdsFormat::BC1:
        return Format::BC1_UNORM;
    case sys::DdsFormat::BC2:
        return Format::BC2_UNORM;
    case sys::DdsFormat::BC3:
        return Format::BC3_UNORM;
    case sys::DdsFormat::Unknown:
        break;
    }
    return Format::Unknown;
}

sys::gpu::BufferDesc DescribeBuffer(uint32_t byteSize, uint32_t usage, uint32_t option,
                                    uint32_t binding) {
    sys::gpu::BufferDesc desc;
    desc.byteWidth = byteSize;
    desc.usage = usage == 1 ? sys::gpu::Usage::Dynamic : sys::gpu::Usage::Default;
    desc.bindFlags = binding;
    if (option == 1 || option == 2)
        desc.bindFlags |= sys::gpu::kBindUnorderedAccess;
    desc.cpuAccess = usage == 1 ? uint32_t{sys::gpu::kCpuWrite} : 0u;
    desc.miscFlags = option == 1   ? uint32_t{sys::gpu::kMiscAllowRawViews}
                     : option == 2 ? uint32_t{sys::gpu::kMiscDrawIndirectArgs}
                                   : 0u;
    return desc;
}

// The translated code of compiled shader bytes, with its reflection.
struct TranslatedShader {
    bool valid = false;
    std::string glsl;
    sys::ShaderReflection reflection;
    std::vector<sys::gpu::ShaderBinding> bindings;
    std::vector<sys::gpu::ShaderInput> inputs;
    std::vector<std::string> names; // storage of the binding names
    sys::gpu::ShaderDesc desc;

    TranslatedShader(const void* code, uint32_t length, sys::gpu::Stage stage) {
        std::string log;
        valid = code && sys::TranslateSpirvToGlsl(code, length, glsl, reflection, log);
        if (!valid)
            return;
        names.reserve(reflection.constantBuffers.size() + reflection.combined.size());
        for (const sys::ShaderBinding& b : reflection.constantBuffers) {
            names.push_back(b.name);
            bindings.push_back({sys::gpu::BindingKind::ConstantBuffer, nullptr, b.slot, 0});
        }
        for (size_t i = 0; i < reflection.combined.size(); ++i) {
            names.push_back("SPIRV_Cross_Combined" + std::to_string(i));
            const sys::ShaderCombinedSampler& c = reflection.combined[i];
            bindings.push_back(
                {sys::gpu::BindingKind::Texture, nullptr, c.textureSlot, c.samplerSlot});
        }
        for (size_t i = 0; i < bindings.size(); ++i)
            bindings[i].name = names[i].c_str();
        for (const sys::ShaderInput& in : reflection.inputs)
            inputs.push_back({in.semantic.c_str(), in.semanticIndex, in.location});
        desc.stage = stage;
        desc.source = glsl.c_str();
        desc.bindings = bindings.data();
        desc.bindingCount = static_cast<uint32_t>(bindings.size());
        desc.inputs = inputs.data();
        desc.inputCount = static_cast<uint32_t>(inputs.size());
    }
};

// Fills the shader's three binding lists with the global ids of the names it
// declares. A name that found its table full keeps the no-id value, which a
// draw captures as an empty entry.
void FillBindings(GraphicsDevice& device, const sys::ShaderReflection& r, ShaderBase& shader) {
    for (const sys::ShaderBinding& b : r.constantBuffers)
        shader.GetConstantBuffers().push_back({device.GetConstantBufferId(b.name.c_str()), b.slot});
    for (const sys::ShaderBinding& b : r.textures)
        shader.GetTextures().push_back({device.GetTextureId(b.name.c_str()), b.slot});
    for (const sys::ShaderBinding& b : r.samplers)
        shader.GetSamplers().push_back({device.GetSamplerId(b.name.c_str()), b.slot});
}

} // namespace

uint32_t TextureFormatCode(uint32_t formatIndex) {
    return formatIndex < kTextureFormatFromFile ? kTextureFormatCodes[formatIndex] : 0;
}

uint32_t RenderTargetFormatCode(uint32_t formatIndex) {
    return formatIndex < kTargetFormatCount ? kTargetFormatCodes[formatIndex] : 0;
}

RasterizerState* GraphicsDevice::CreateRasterizerState(uint32_t fill, uint32_t cull,
                                                       uint32_t scissor) {
    static constexpr sys::gpu::FillMode kFill[] = {sys::gpu::FillMode::Solid,
                                                   sys::gpu::FillMode::Wireframe};
    static constexpr sys::gpu::CullMode kCull[] = {
        sys::gpu::CullMode::None, sys::gpu::CullMode::Front, sys::gpu::CullMode::Back};
    sys::gpu::RasterizerDesc desc;
    desc.fill = Pick(kFill, fill);
    desc.cull = Pick(kCull, cull);
    desc.frontCounterClockwise = true;
    desc.depthBias = 0;
    desc.depthBiasClamp = 0.0f;
    desc.slopeScaledDepthBias = 0.0f;
    desc.depthClip = true;
    desc.scissor = scissor != 0;
    desc.multisample = false;
    desc.antialiasedLine = false;
    RasterizerState* state = new RasterizerState();
    if (state && gpu_)
        state->SetState(gpu_->CreateRasterizerState(desc));
    return state;
}

DepthStencilState* GraphicsDevice::CreateDepthStencilState(uint32_t write, uint32_t comparison) {
    sys::gpu::DepthStencilDesc desc;
    // "Never write, always pass" is no depth test at all.
    desc.depthEnable =
        !(write == StateCode::kDepthWriteOff && comparison == StateCode::kCompareAlways);
    desc.depthWrite = write != 0;
    desc.depthFunc = static_cast<sys::gpu::Comparison>(comparison < 8 ? comparison : 7);
    desc.stencilEnable = false;
    DepthStencilState* state = new DepthStencilState();
    if (state && gpu_)
        state->SetState(gpu_->CreateDepthStencilState(desc));
    return state;
}

BlendState* GraphicsDevice::CreateBlendState(uint8_t enable, uint32_t unused0, uint32_t unused1,
                                             uint32_t destAlpha, uint32_t srcAlpha,
                                             uint32_t alphaOp, uint32_t destColour,
                                             uint32_t srcColour, uint32_t colourOp) {
    (void)unused0;
    (void)unused1;
    auto factor = [](uint32_t i) { return static_cast<sys::gpu::BlendFactor>(i < 10 ? i : 0); };
    auto op = [](uint32_t i) { return static_cast<sys::gpu::BlendOp>(i < 5 ? i : 0); };
    sys::gpu::BlendDesc desc;
    desc.alphaToCoverage = false;
    desc.independentBlend = false;
    for (sys::gpu::RenderTargetBlendDesc& t : desc.target) {
        t.enable = enable != 0;
        t.srcColour = factor(srcColour);
        t.destColour = factor(destColour);
        t.colourOp = op(colourOp);
        t.srcAlpha = factor(srcAlpha);
        t.destAlpha = factor(destAlpha);
        t.alphaOp = op(alphaOp);
        t.writeMask = 0xF;
    }
    BlendState* state = new BlendState();
    if (state && gpu_)
        state->SetState(gpu_->CreateBlendState(desc));
    return state;
}

SamplerState* GraphicsDevice::CreateSamplerState(uint32_t filterKind, uint32_t linearMip,
                                                 uint32_t anisotropy, uint32_t addressU,
                                                 uint32_t addressV, uint32_t comparison) {
    static constexpr sys::gpu::Filter kFilters[] = {
        sys::gpu::Filter::MinMagMipPoint,       sys::gpu::Filter::MinMagPointMipLinear,
        sys::gpu::Filter::MinMagLinearMipPoint, sys::gpu::Filter::MinMagMipLinear,
        sys::gpu::Filter::Anisotropic,          sys::gpu::Filter::Anisotropic};
    static constexpr uint32_t kAnisotropy[] = {1, 2, 4, 8, 16};
    static constexpr sys::gpu::AddressMode kAddress[] = {
        sys::gpu::AddressMode::Clamp, sys::gpu::AddressMode::Wrap, sys::gpu::AddressMode::Mirror};
    static constexpr sys::gpu::Comparison kComparison[] = {sys::gpu::Comparison::Always,
                                                           sys::gpu::Comparison::Less};
    sys::gpu::SamplerDesc desc;
    desc.filter = Pick(kFilters, filterKind * 2 + (linearMip ? 1 : 0));
    desc.addressU = Pick(kAddress, addressU);
    desc.addressV = Pick(kAddress, addressV);
    desc.addressW = sys::gpu::AddressMode::Clamp;
    desc.mipLodBias = 0.0f;
    desc.maxAnisotropy = Pick(kAnisotropy, anisotropy);
    desc.comparison = Pick(kComparison, comparison);
    for (float& c : desc.borderColour)
        c = FLT_MAX;
    desc.minLod = 0.0f;
    desc.maxLod = FLT_MAX;
    SamplerState* state = new SamplerState();
    if (state && gpu_)
        state->SetState(gpu_->CreateSamplerState(desc));
    return state;
}

VertexLayout* GraphicsDevice::CreateVertexLayout(const VertexElement* elements, const void* code,
                                                 uint32_t codeLength) {
    sys::gpu::InputElement converted[kMaxVertexElements];
    uint32_t count = 0;
    uint32_t streamMask = 0;
    for (; elements && count < kMaxVertexElements; ++count) {
        const VertexElement& e = elements[count];
        if (e.inputSlot == kVertexElementEnd)
            break;
        sys::gpu::InputElement& c = converted[count];
        c.semantic = e.semanticName;
        c.semanticIndex = e.semanticIndex;
        c.format = Pick(kVertexFormats, e.format);
        c.inputSlot = e.inputSlot;
        c.alignedByteOffset = e.alignedByteOffset;
        c.perInstance = e.classification;
        c.instanceStepRate = 0;
        streamMask |= 1u << (e.inputSlot % 32);
    }
    VertexLayout* layout = new VertexLayout();
    if (!layout || !gpu_)
        return layout;
    // The layout is checked against the shader's inputs: a shader object made
    // for that purpose only, released at once.
    TranslatedShader shader(code, codeLength, sys::gpu::Stage::Vertex);
    sys::gpu::InputLayout* made = nullptr;
    if (shader.valid) {
        sys::gpu::Shader* probe = gpu_->CreateShader(shader.desc);
        made = gpu_->CreateInputLayout(converted, count, probe);
        gpu_->Release(sys::gpu::AsObject(probe));
    }
    layout->Set(made, streamMask);
    return layout;
}

sys::gpu::View* GraphicsDevice::CreateUnorderedAccessView(sys::gpu::Buffer* buffer) {
    return gpu_ && buffer ? gpu_->CreateUnorderedAccessView(buffer) : nullptr;
}

// Makes the device buffer of a wrapper (and its unordered-access view when the
// option asks for one).
static void MakeDeviceBuffer(GraphicsDevice& device, BaseBuffer& buffer, const void* data,
                             uint32_t byteSize, uint32_t usage, uint32_t option, uint32_t binding) {
    const sys::gpu::BufferDesc desc = DescribeBuffer(byteSize, usage, option, binding);
    sys::gpu::Device* gpu = device.GetGpu();
    sys::gpu::Buffer* made = gpu ? gpu->CreateBuffer(desc, data) : nullptr;
    buffer.SetBuffer(made, usage, byteSize);
    if (option != 0)
        buffer.SetUnorderedAccessView(device.CreateUnorderedAccessView(made));
}

template <class Buffer>
static Buffer* CreateStagedBuffer(GraphicsDevice& device, const void* data, uint32_t byteSize,
                                  uint32_t usage, uint32_t option, uint32_t binding) {
    Buffer* buffer = new Buffer();
    if (!buffer)
        return nullptr;
    if (usage == 1 && !buffer->AllocateStaging(byteSize)) {
        buffer->Release();
        return nullptr;
    }
    MakeDeviceBuffer(device, *buffer, data, byteSize, usage, option, binding);
    return buffer;
}

VertexBuffer* GraphicsDevice::CreateVertexBuffer(uint32_t byteSize, uint32_t usage,
                                                 uint32_t option) {
    return CreateStagedBuffer<VertexBuffer>(*this, nullptr, byteSize, usage, option,
                                            sys::gpu::kBindVertexBuffer);
}

VertexBuffer* GraphicsDevice::CreateVertexBufferWithData(const void* data, uint32_t byteSize,
                                                         uint32_t usage, uint32_t option) {
    return CreateStagedBuffer<VertexBuffer>(*this, data, byteSize, usage, option,
                                            sys::gpu::kBindVertexBuffer);
}

IndexBuffer* GraphicsDevice::CreateIndexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option) {
    return CreateStagedBuffer<IndexBuffer>(*this, nullptr, byteSize, usage, option,
                                           sys::gpu::kBindIndexBuffer);
}

IndexBuffer* GraphicsDevice::CreateIndexBufferWithData(const void* data, uint32_t byteSize,
                                                       uint32_t usage, uint32_t option) {
    return CreateStagedBuffer<IndexBuffer>(*this, data, byteSize, usage, option,
                                           sys::gpu::kBindIndexBuffer);
}

ConstantBuffer* GraphicsDevice::CreateConstantBuffer(uint32_t byteSize, uint32_t usage,
                                                     uint32_t option) {
    ConstantBuffer* buffer = new ConstantBuffer();
    if (buffer)
        MakeDeviceBuffer(*this, *buffer, nullptr, byteSize, usage, option,
                         sys::gpu::kBindConstantBuffer);
    return buffer;
}

template <class Shader>
static Shader* CreateShaderWrapper(GraphicsDevice& device, sys::gpu::Device* gpu, const void* code,
                                   uint32_t length, sys::gpu::Stage stage) {
    Shader* shader = new Shader();
    if (!shader)
        return nullptr;
    TranslatedShader translated(code, length, stage);
    if (!translated.valid)
        return shader;
    FillBindings(device, translated.reflection, *shader);
    if (gpu)
        shader->SetShader(gpu->CreateShader(translated.desc));
    return shader;
}

VertexShader* GraphicsDevice::CreateVertexShader(const void* code, uint32_t codeLength) {
    return CreateShaderWrapper<VertexShader>(*this, gpu_, code, codeLength,
                                             sys::gpu::Stage::Vertex);
}

PixelShader* GraphicsDevice::CreatePixelShader(const void* code, uint32_t codeLength) {
    return CreateShaderWrapper<PixelShader>(*this, gpu_, code, codeLength, sys::gpu::Stage::Pixel);
}

Texture* GraphicsDevice::CreateTextureFromMemory(const void* data, uint32_t size,
                                                 uint32_t formatIndex) {
    Texture* texture = new Texture();
    if (!texture)
        return nullptr;
    sys::DdsImage image;
    if (!sys::ParseDds(data, size, image))
        return texture;
    const Format fileFormat = DeviceFormat(image.format);
    // Conversion on load is not offered: a different format than the file's
    // gives the empty wrapper, like any other failed load.
    const Format format =
        formatIndex >= kTextureFormatFromFile ? fileFormat : kTextureFormats[formatIndex];
    if (format != fileFormat || fileFormat == Format::Unknown)
        return texture;

    const uint32_t surfaces = image.faceCount * image.mipCount;
    sys::gpu::SubresourceData initial[sys::DdsImage::kMaxMips * sys::DdsImage::kMaxFaces];
    // Pixels without alpha are given an opaque one, as the device has no
    // format that ignores the fourth byte.
    std::vector<uint8_t> opaque;
    if (image.format == sys::DdsFormat::B8G8R8X8) {
        size_t total = 0;
        for (uint32_t i = 0; i < surfaces; ++i)
            total += image.surfaces[i].size;
        opaque.resize(total);
    }
    size_t at = 0;
    for (uint32_t i = 0; i < surfaces; ++i) {
        const sys::DdsSurface& s = image.surfaces[i];
        initial[i].data = s.data;
        initial[i].rowPitch = s.rowPitch;
        if (!opaque.empty()) {
            for (uint32_t b = 0; b < s.size; ++b)
                opaque[at + b] = (b & 3) == 3 ? 0xFF : s.data[b];
            initial[i].data = opaque.data() + at;
            at += s.size;
        }
    }
    sys::gpu::TextureDesc desc;
    desc.width = image.width;
    desc.height = image.height;
    desc.mipLevels = image.mipCount;
    desc.arraySize = image.faceCount;
    desc.format = format;
    desc.usage = sys::gpu::Usage::Immutable;
    desc.bindFlags = sys::gpu::kBindShaderResource;
    desc.miscFlags = image.cube ? uint32_t{sys::gpu::kMiscTextureCube} : 0u;
    sys::gpu::Texture* made = gpu_ ? gpu_->CreateTexture(desc, initial) : nullptr;
    sys::gpu::View* view = made ? gpu_->CreateShaderResourceView(made) : nullptr;
    texture->Set(made, view, static_cast<int16_t>(image.width), static_cast<int16_t>(image.height),
                 TextureFormatCode(formatIndex), image.mipCount);
    return texture;
}

RenderTargetTexture* GraphicsDevice::CreateRenderTargetTexture(int16_t width, int16_t height,
                                                               uint32_t formatIndex) {
    RenderTargetTexture* target = new RenderTargetTexture();
    if (!target)
        return nullptr;
    sys::gpu::TextureDesc desc;
    desc.width = width > 0 ? static_cast<uint32_t>(width) : 0;
    desc.height = height > 0 ? static_cast<uint32_t>(height) : 0;
    desc.mipLevels = 1;
    desc.arraySize = 1;
    desc.format = Pick(kTargetFormats, formatIndex);
    desc.usage = sys::gpu::Usage::Default;
    desc.bindFlags = sys::gpu::kBindRenderTarget | sys::gpu::kBindShaderResource;
    desc.miscFlags = 0;
    sys::gpu::Texture* made =
        (gpu_ && desc.width && desc.height) ? gpu_->CreateTexture(desc, nullptr) : nullptr;
    sys::gpu::View* shaderView = made ? gpu_->CreateShaderResourceView(made) : nullptr;
    target->SetRenderTargetView(made ? gpu_->CreateRenderTargetView(made) : nullptr);
    target->Set(made, shaderView, width, height, RenderTargetFormatCode(formatIndex),
                desc.mipLevels);
    return target;
}

// Free twins on the device singleton.

namespace {

// Calls the member on the device singleton; null without a device.
template <auto Member, class... Args> auto OnDevice(Args... args) {
    GraphicsDevice* d = GraphicsDevice::GetInstance();
    return d ? (d->*Member)(args...) : nullptr;
}

} // namespace

RasterizerState* CreateRasterizerState(uint32_t fill, uint32_t cull, uint32_t scissor) {
    return OnDevice<&GraphicsDevice::CreateRasterizerState>(fill, cull, scissor);
}

DepthStencilState* CreateDepthStencilState(uint32_t write, uint32_t comparison) {
    return OnDevice<&GraphicsDevice::CreateDepthStencilState>(write, comparison);
}

BlendState* CreateBlendState(uint8_t enable, uint32_t unused0, uint32_t unused1, uint32_t destAlpha,
                             uint32_t srcAlpha, uint32_t alphaOp, uint32_t destColour,
                             uint32_t srcColour, uint32_t colourOp) {
    return OnDevice<&GraphicsDevice::CreateBlendState>(
        enable, unused0, unused1, destAlpha, srcAlpha, alphaOp, destColour, srcColour, colourOp);
}

SamplerState* CreateSamplerState(uint32_t filterKind, uint32_t linearMip, uint32_t anisotropy,
                                 uint32_t addressU, uint32_t addressV, uint32_t comparison) {
    return OnDevice<&GraphicsDevice::CreateSamplerState>(filterKind, linearMip, anisotropy,
                                                         addressU, addressV, comparison);
}

VertexLayout* CreateVertexLayout(const VertexElement* elements, const void* code,
                                 uint32_t codeLength) {
    return OnDevice<&GraphicsDevice::CreateVertexLayout>(elements, code, codeLength);
}

VertexBuffer* CreateVertexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option) {
    return OnDevice<&GraphicsDevice::CreateVertexBuffer>(byteSize, usage, option);
}

VertexBuffer* CreateVertexBufferWithData(const void* data, uint32_t byteSize, uint32_t usage,
                                         uint32_t option) {
    return OnDevice<&GraphicsDevice::CreateVertexBufferWithData>(data, byteSize, usage, option);
}

IndexBuffer* CreateIndexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option) {
    return OnDevice<&GraphicsDevice::CreateIndexBuffer>(byteSize, usage, option);
}

IndexBuffer* CreateIndexBufferWithData(const void* data, uint32_t byteSize, uint32_t usage,
                                       uint32_t option) {
    return OnDevice<&GraphicsDevice::CreateIndexBufferWithData>(data, byteSize, usage, option);
}

ConstantBuffer* CreateConstantBuffer(uint32_t byteSize, uint32_t usage, uint32_t option) {
    return OnDevice<&GraphicsDevice::CreateConstantBuffer>(byteSize, usage, option);
}

VertexShader* CreateVertexShader(const void* code, uint32_t codeLength) {
    return OnDevice<&GraphicsDevice::CreateVertexShader>(code, codeLength);
}

PixelShader* CreatePixelShader(const void* code, uint32_t codeLength) {
    return OnDevice<&GraphicsDevice::CreatePixelShader>(code, codeLength);
}

Texture* CreateTextureFromMemory(const void* data, uint32_t size, uint32_t formatIndex) {
    return OnDevice<&GraphicsDevice::CreateTextureFromMemory>(data, size, formatIndex);
}

RenderTargetTexture* CreateRenderTargetTexture(int16_t width, int16_t height,
                                               uint32_t formatIndex) {
    return OnDevice<&GraphicsDevice::CreateRenderTargetTexture>(width, height, formatIndex);
}

} // namespace Mireku::Graphics
