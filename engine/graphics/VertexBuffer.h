#pragma once

#include "engine/graphics/StagedBuffer.h"

namespace Mireku::Graphics {

class VertexBuffer : public StagedBuffer {};

} // namespace Mireku::Graphics
