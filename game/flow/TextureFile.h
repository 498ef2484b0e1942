#pragma once

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}

// A texture read from the folder into the loader's buffer, keeping the
// file's own format; null when the file cannot be read or the texture not be
// made. The buffer is emptied either way.
Mireku::Graphics::Texture* ReadTexture(Mireku::Resource::ChildResourceLoader& loader,
                                       const char* folder, const char* name);
// Drops the slot's reference (a texture reaching zero goes to the resource
// manager with its release delay) and clears the slot.
void ReleaseTexture(Mireku::Graphics::Texture*& texture);
