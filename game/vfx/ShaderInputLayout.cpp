#include "game/vfx/ShaderInputLayout.h"

#include "effects/Core/Interface/ShaderKey.h"
#include "engine/graphics/ResourceCreation.h"

#include <array>
#include <cstddef>

namespace {

using Mireku::Graphics::kVertexElementEnd;
using Mireku::Graphics::VertexElement;
namespace G = Mireku::Graphics;

constexpr const char* kPosition = "POSITION";
constexpr const char* kTexCoord = "TEXCOORD";
constexpr const char* kTangent = "TANGENT";
constexpr const char* kNormal = "NORMAL";
constexpr const char* kColor = "COLOR";

constexpr VertexElement kEnd = {kVertexElementEnd, 0, 0, nullptr, 0, 0};

// Particle billboards, 48 bytes: centre, corner offset, rotation, one
// texture coordinate and the colour as integers times 1000.
constexpr VertexElement kSimple[] = {
    {0, 0, G::kVertexR32G32B32Float, kPosition, 0, 0},
    {0, 12, G::kVertexR32G32B32Float, kTexCoord, 0, 0},
    {0, 24, G::kVertexR32G32B32Float, kTexCoord, 1, 0},
    {0, 36, G::kVertexR16G16Snorm, kTexCoord, 2, 0},
    {0, 40, G::kVertexR16G16B16A16Sint, kTexCoord, 3, 0},
    kEnd,
};

// Generated geometry, 52 bytes: the position, colour and parameters, then
// the texture-coordinate attributes at 28, 36 and 44. A program declares
// only the attributes its key's set count needs, and a layout may not name
// an input its program lacks: each count of attributes has its layout.
constexpr std::array<VertexElement, 3> kShapeBase = {{
    {0, 0, G::kVertexR32G32B32A32Float, kPosition, 0, 0},
    {0, 16, G::kVertexR16G16B16A16Sint, kTexCoord, 0, 0},
    {0, 24, G::kVertexR8G8B8A8Unorm, kTexCoord, 1, 0},
}};
constexpr std::array<VertexElement, 3> kShapeUvSets = {{
    {0, 28, G::kVertexR16G16B16A16Sint, kTexCoord, 2, 0},
    {0, 36, G::kVertexR16G16B16A16Sint, kTexCoord, 3, 0},
    {0, 44, G::kVertexR16G16B16A16Sint, kTexCoord, 4, 0},
}};

// Model meshes, 48 bytes in stream 0, the attributes at 24, 32 and 40 as
// many as the set count needs.
constexpr std::array<VertexElement, 4> kModelBase = {{
    {0, 0, G::kVertexR32G32B32Float, kPosition, 0, 0},
    {0, 12, G::kVertexR8G8B8A8Unorm, kTangent, 0, 0},
    {0, 16, G::kVertexR8G8B8A8Unorm, kNormal, 0, 0},
    {0, 20, G::kVertexR8G8B8A8Unorm, kColor, 0, 0},
}};
constexpr std::array<VertexElement, 3> kModelUvSets = {{
    {0, 24, G::kVertexR16G16B16A16Sint, kTexCoord, 0, 0},
    {0, 32, G::kVertexR16G16B16A16Sint, kTexCoord, 1, 0},
    {0, 40, G::kVertexR16G16B16A16Sint, kTexCoord, 2, 0},
}};

// Morphing models add the target copies in stream 1, where the normal comes
// before the tangent. The program blends toward the target's colour too: an
// input without an element would read as opaque black and fade the model by
// its weight, so the target's colour is read where the vertex keeps it.
constexpr std::array<VertexElement, 4> kMorphStream1 = {{
    {1, 0, G::kVertexR32G32B32Float, kPosition, 1, 0},
    {1, 16, G::kVertexR8G8B8A8Unorm, kTangent, 1, 0},
    {1, 12, G::kVertexR8G8B8A8Unorm, kNormal, 1, 0},
    {1, 20, G::kVertexR8G8B8A8Unorm, kColor, 1, 0},
}};

constexpr size_t kMaxAttributes = 3;
// The longest list: a morphing model with every attribute, and the end.
constexpr size_t kLongest = 4 + kMaxAttributes + 4 + 1;
using ElementList = std::array<VertexElement, kLongest>;

// base, then the first `attributes` of uvSets, then extra, then the end
// marker.
template <size_t B, size_t E>
constexpr ElementList Compose(const std::array<VertexElement, B>& base,
                              const std::array<VertexElement, kMaxAttributes>& uvSets,
                              size_t attributes, const std::array<VertexElement, E>& extra) {
    ElementList out{};
    size_t n = 0;
    for (const VertexElement& e : base)
        out[n++] = e;
    for (size_t i = 0; i < attributes; ++i)
        out[n++] = uvSets[i];
    for (const VertexElement& e : extra)
        out[n++] = e;
    out[n] = kEnd;
    return out;
}

template <size_t B, size_t E>
constexpr std::array<ElementList, kMaxAttributes + 1>
ByAttributes(const std::array<VertexElement, B>& base,
             const std::array<VertexElement, kMaxAttributes>& uvSets,
             const std::array<VertexElement, E>& extra) {
    return {Compose(base, uvSets, 0, extra), Compose(base, uvSets, 1, extra),
            Compose(base, uvSets, 2, extra), Compose(base, uvSets, 3, extra)};
}

constexpr std::array<VertexElement, 0> kNothing{};
constexpr auto kShape = ByAttributes(kShapeBase, kShapeUvSets, kNothing);
constexpr auto kModel = ByAttributes(kModelBase, kModelUvSets, kNothing);
constexpr auto kModelMorph = ByAttributes(kModelBase, kModelUvSets, kMorphStream1);

// Projection volumes: the corners of a cube, 12 bytes.
constexpr VertexElement kProjection[] = {
    {0, 0, G::kVertexR32G32B32Float, kPosition, 0, 0},
    kEnd,
};

} // namespace

const VertexElement* ShaderInputLayout::ElementsFor(const FulgorCore::ShaderKey& key) {
    const uint32_t attributes = key.GetUvSetAttributeCount();
    switch (key.GetKind()) {
    case FulgorCore::ShaderKey::kSimple:
        return kSimple;
    case FulgorCore::ShaderKey::kShape:
        return kShape[attributes].data();
    case FulgorCore::ShaderKey::kModel:
        return (key.HasMorphTarget() ? kModelMorph : kModel)[attributes].data();
    case FulgorCore::ShaderKey::kProjection:
        return kProjection;
    default:
        return nullptr;
    }
}
