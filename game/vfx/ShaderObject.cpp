#include "game/vfx/ShaderObject.h"

#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexLayout.h"

namespace {

template <class T> void Replace(T*& field, T* object) {
    if (object)
        object->AddRef();
    if (field)
        field->Release();
    field = object;
}

} // namespace

ShaderObject::~ShaderObject() {
    Replace<Mireku::Graphics::VertexLayout>(layout_, nullptr);
    Replace<Mireku::Graphics::VertexShader>(vertexShader_, nullptr);
    Replace<Mireku::Graphics::PixelShader>(pixelShader_, nullptr);
}

void ShaderObject::SetLayout(Mireku::Graphics::VertexLayout* layout) {
    Replace(layout_, layout);
}

void ShaderObject::SetVertexShader(Mireku::Graphics::VertexShader* shader) {
    Replace(vertexShader_, shader);
}

void ShaderObject::SetPixelShader(Mireku::Graphics::PixelShader* shader) {
    Replace(pixelShader_, shader);
}
