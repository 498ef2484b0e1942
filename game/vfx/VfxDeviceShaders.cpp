// The device's shader pairs: a cache by material key, and the compile of a
// key's programs from the text its source writes.
#include "game/vfx/Shader.h"
#include "game/vfx/ShaderInputLayout.h"
#include "game/vfx/ShaderSource.h"
#include "game/vfx/VfxDevice.h"

#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexLayout.h"
#include "sys/shader.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace G = Mireku::Graphics;

namespace {

// Names of the programs by kind, as the compiler's messages show them.
constexpr const char* kVertexNames[FulgorCore::ShaderKey::kKindCount] = {
    "VS_Simple", "VS_Shape", "VS_Model", "VS_Projection"};
constexpr const char* kPixelNames[FulgorCore::ShaderKey::kKindCount] = {
    "PS_Simple", "PS_Shape", "PS_Model", "PS_Projection"};

constexpr const char* kEntry = "main";

} // namespace

bool VfxDevice::KeyLess::operator()(const FulgorCore::ShaderKey& a,
                                    const FulgorCore::ShaderKey& b) const {
    return std::lexicographical_compare(a.words, a.words + FulgorCore::ShaderKey::kWordCount,
                                        b.words, b.words + FulgorCore::ShaderKey::kWordCount);
}

bool VfxDevice::CreateShader(const FulgorCore::ShaderKey* key, FulgorCore::IShader** result) {
    if (!result)
        return false;
    *result = nullptr;
    // Kinds 4 to 7 have no program: refused before any work.
    if (!key || key->GetKind() >= FulgorCore::ShaderKey::kKindCount)
        return false;
    if (auto hit = cache_.find(*key); hit != cache_.end()) {
        hit->second->AddRef();
        *result = hit->second;
        return true;
    }

    ShaderObject* object = new ShaderObject();
    if (!object)
        return false;
    Shader* shader = new Shader(object);
    object->Release(); // the Shader holds it now
    if (!shader)
        return false;
    if (!CompileVertexShader(*key, *shader) || !CompilePixelShader(*key, *shader)) {
        // Nothing is cached: the next request for the key compiles again.
        shader->Release();
        return false;
    }
    try {
        cache_.emplace(*key, shader);
    } catch (const std::bad_alloc&) {
        shader->Release();
        return false;
    }
    shader->AddRef(); // the cache's reference
    *result = shader;
    return true;
}

bool VfxDevice::Compile(const FulgorCore::ShaderKey& key, bool pixel, Shader& shader) {
    FulgorCore::ShaderSourceBuffer& source = pixel ? pixelSource_ : vertexSource_;
    ShaderSource::Write(pixel ? ShaderSource::kPixel : ShaderSource::kVertex, key, source);
    // No text (a key the generator refuses) is no program, and nothing to
    // complain about.
    if (source.length == 0 || source.length > sizeof source.text)
        return false;

    std::vector<uint32_t> code;
    std::string log;
    if (!sys::CompileHlslToSpirv(source.text, source.length,
                                 pixel ? sys::ShaderStage::Pixel : sys::ShaderStage::Vertex, kEntry,
                                 code, log)) {
        const char* name = (pixel ? kPixelNames : kVertexNames)[key.GetKind()];
        std::fprintf(stderr, "%s: %s\n", name, log.c_str());
        return false;
    }
    const void* bytes = code.data();
    const auto size = static_cast<uint32_t>(code.size() * sizeof(uint32_t));
    ShaderObject* object = shader.Get();
    bool made = false;
    if (pixel) {
        G::PixelShader* program = G::CreatePixelShader(bytes, size);
        // The engine hands back an empty program when it cannot translate
        // the code.
        made = program && program->GetShader();
        if (made)
            object->SetPixelShader(program);
        if (program)
            program->Release();
    } else {
        G::VertexShader* program = G::CreateVertexShader(bytes, size);
        made = program && program->GetShader() && CreateInputLayout(key, bytes, size, shader);
        if (made)
            object->SetVertexShader(program);
        if (program)
            program->Release();
    }
    return made;
}

bool VfxDevice::CompileVertexShader(const FulgorCore::ShaderKey& key, Shader& shader) {
    return Compile(key, false, shader);
}

bool VfxDevice::CompilePixelShader(const FulgorCore::ShaderKey& key, Shader& shader) {
    return Compile(key, true, shader);
}

bool VfxDevice::CreateInputLayout(const FulgorCore::ShaderKey& key, const void* code, uint32_t size,
                                  Shader& shader) {
    const G::VertexElement* elements = ShaderInputLayout::ElementsFor(key);
    G::VertexLayout* layout = elements ? G::CreateVertexLayout(elements, code, size) : nullptr;
    // A layout the program's inputs do not match comes back empty.
    const bool made = layout && layout->GetLayout();
    if (made)
        shader.Get()->SetLayout(layout);
    if (layout)
        layout->Release();
    return made;
}
