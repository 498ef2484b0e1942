#include "game/core/FileLoader.h"

#include "engine/resource/ResourceLoader.h"

void FileLoader::Load(const Mireku::Resource::LoadStep& step) {
    Mireku::Resource::ResourceLoader* loader = Mireku::Resource::ResourceLoader::GetInstance();
    if (!loader)
        return;
    if (synchronous_)
        loader->Load(step);
    else
        loader->LoadAsync(step);
}
