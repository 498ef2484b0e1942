#include "effects/render/Renderer.h"

namespace FulgorCore::Renderer {

namespace {

void DrawNothing(const uint32_t*, DrawListEntry* const*) {}

} // namespace

const DrawOrder kDrawOrders[kDrawOrderCount] = {DrawNothing, DrawNothing, DrawNothing, DrawNothing};

} // namespace FulgorCore::Renderer
