#include "game/flow/TextureFile.h"

#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/Texture.h"
#include "engine/resource/ChildResourceLoader.h"

Mireku::Graphics::Texture* ReadTexture(Mireku::Resource::ChildResourceLoader& loader,
                                       const char* folder, const char* name) {
    if (!loader.Read(folder, name))
        return nullptr;
    Mireku::Graphics::Texture* texture = Mireku::Graphics::CreateTextureFromMemory(
        loader.GetData(), loader.GetSize(), Mireku::Graphics::kTextureFormatFromFile);
    loader.GetBuffer().Release();
    return texture;
}

void ReleaseTexture(Mireku::Graphics::Texture*& texture) {
    if (texture)
        texture->Release();
    texture = nullptr;
}
