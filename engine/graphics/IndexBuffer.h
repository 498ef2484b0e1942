#pragma once

#include "engine/graphics/StagedBuffer.h"

namespace Mireku::Graphics {

class IndexBuffer : public StagedBuffer {};

} // namespace Mireku::Graphics
