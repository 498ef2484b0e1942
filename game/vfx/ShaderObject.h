#pragma once

#include "engine/common/ReferenceCountObject.h"

namespace Mireku::Graphics {
class PixelShader;
class VertexLayout;
class VertexShader;
} // namespace Mireku::Graphics

// The compiled pair of one material with the input layout of its vertices.
// Holds one reference to each; an engine object whose count then reaches
// zero goes through the resource manager's deferred release.
class ShaderObject : public Mireku::Common::ReferenceCountObject {
public:
    ShaderObject() = default;
    ~ShaderObject() override;

    Mireku::Graphics::VertexLayout* GetLayout() const { return layout_; }
    Mireku::Graphics::VertexShader* GetVertexShader() const { return vertexShader_; }
    Mireku::Graphics::PixelShader* GetPixelShader() const { return pixelShader_; }

    // Each takes a reference to the new object, then gives back the one held.
    void SetLayout(Mireku::Graphics::VertexLayout* layout);
    void SetVertexShader(Mireku::Graphics::VertexShader* shader);
    void SetPixelShader(Mireku::Graphics::PixelShader* shader);

private:
    Mireku::Graphics::VertexLayout* layout_ = nullptr;
    Mireku::Graphics::VertexShader* vertexShader_ = nullptr;
    Mireku::Graphics::PixelShader* pixelShader_ = nullptr;
};
