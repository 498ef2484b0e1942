#include "engine/resource/ChildResourceLoader.h"

#include "engine/resource/ResourceLoader.h"

namespace Mireku::Resource {

bool ChildResourceLoader::Read(const char* folder, const char* name) {
    buffer_.Release();
    ResourceLoader* loader = ResourceLoader::GetInstance();
    if (!loader)
        return false;
    return loader->ReadFile(&buffer_.data, &buffer_.size, folder, name);
}

} // namespace Mireku::Resource
