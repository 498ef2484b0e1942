#pragma once

#include "effects/Core/Interface/IVertexBuffer.h"
#include "engine/graphics/VertexBuffer.h"
#include "game/vfx/HostBuffer.h"

// An engine vertex buffer handed to the effects runtime.
class VertexBuffer : public HostBuffer<FulgorCore::IVertexBuffer, Mireku::Graphics::VertexBuffer> {
public:
    using HostBuffer::HostBuffer;
};
