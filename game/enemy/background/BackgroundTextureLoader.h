// The stage loader's door to the background pictures (stage texture slots
// 51-69): in the score attack the slot becomes index slot - 51 of the
// challenge background (nothing above index 15), otherwise the slot goes to
// the stage background with the current stage. Null when nothing loads.
#pragma once

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}

Mireku::Graphics::Texture* LoadStageBackgroundTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                      const char* folder, uint32_t slot);
