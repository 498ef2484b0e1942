#pragma once

namespace FulgorCore {
struct ShaderKey;
}
namespace Mireku::Graphics {
struct VertexElement;
}

// The vertex input of each material kind: the contract between the
// runtime's vertex writers and the programs made for its keys. All elements
// are per-vertex data in stream 0, except the morph targets of a model,
// which come in stream 1.
class ShaderInputLayout {
public:
    // The element list of the key's kind (ended by the engine's end marker),
    // with as many texture-coordinate attributes as the key's set count
    // needs for shapes and models; null for kinds 4 to 7, which have no
    // program.
    static const Mireku::Graphics::VertexElement* ElementsFor(const FulgorCore::ShaderKey& key);
};
