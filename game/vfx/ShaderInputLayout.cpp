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

// Generated geometry, 52 bytes. The three texture-coordinate attributes are
// always declared, whatever the vertex format carries.
constexpr VertexElement kShape[] = {
    {0, 0, G::kVertexR32G32B32A32Float, kPosition, 0, 0},
    {0, 16, G::kVertexR16G16B16A16Sint, kTexCoord, 0, 0},
    {0, 24, G::kVertexR8G8B8A8Unorm, kTexCoord, 1, 0},
    {0, 28, G::kVertexR16G16B16A16Sint, kTexCoord, 2, 0},
    {0, 36, G::kVertexR16G16B16A16Sint, kTexCoord, 3, 0},
    {0, 44, G::kVertexR16G16B16A16Sint, kTexCoord, 4, 0},
    kEnd,
};

// Model meshes, 48 bytes in stream 0.
constexpr std::array<VertexElement, 7> kModelStream0 = {{
    {0, 0, G::kVertexR32G32B32Float, kPosition, 0, 0},
    {0, 12, G::kVertexR8G8B8A8Unorm, kTangent, 0, 0},
    {0, 16, G::kVertexR8G8B8A8Unorm, kNormal, 0, 0},
    {0, 20, G::kVertexR8G8B8A8Unorm, kColor, 0, 0},
    {0, 24, G::kVertexR16G16B16A16Sint, kTexCoord, 0, 0},
    {0, 32, G::kVertexR16G16B16A16Sint, kTexCoord, 1, 0},
    {0, 40, G::kVertexR16G16B16A16Sint, kTexCoord, 2, 0},
}};

// Morphing models add the target copies in stream 1, where the normal comes
// before the tangent.
constexpr std::array<VertexElement, 3> kMorphStream1 = {{
    {1, 0, G::kVertexR32G32B32Float, kPosition, 1, 0},
    {1, 16, G::kVertexR8G8B8A8Unorm, kTangent, 1, 0},
    {1, 12, G::kVertexR8G8B8A8Unorm, kNormal, 1, 0},
}};

// The lists in order, then the end marker.
template <size_t N, size_t M>
constexpr std::array<VertexElement, N + M + 1> Ended(const std::array<VertexElement, N>& first,
                                                     const std::array<VertexElement, M>& second) {
    std::array<VertexElement, N + M + 1> out{};
    for (size_t i = 0; i < N; ++i)
        out[i] = first[i];
    for (size_t i = 0; i < M; ++i)
        out[N + i] = second[i];
    out[N + M] = kEnd;
    return out;
}

constexpr auto kModel = Ended(kModelStream0, std::array<VertexElement, 0>{});
constexpr auto kModelMorph = Ended(kModelStream0, kMorphStream1);

// Projection volumes: the corners of a cube, 12 bytes.
constexpr VertexElement kProjection[] = {
    {0, 0, G::kVertexR32G32B32Float, kPosition, 0, 0},
    kEnd,
};

} // namespace

const VertexElement* ShaderInputLayout::ElementsFor(const FulgorCore::ShaderKey& key) {
    switch (key.GetKind()) {
    case FulgorCore::ShaderKey::kSimple:
        return kSimple;
    case FulgorCore::ShaderKey::kShape:
        return kShape;
    case FulgorCore::ShaderKey::kModel:
        return key.HasMorphTarget() ? kModelMorph.data() : kModel.data();
    case FulgorCore::ShaderKey::kProjection:
        return kProjection;
    default:
        return nullptr;
    }
}
