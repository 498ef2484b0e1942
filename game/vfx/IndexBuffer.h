#pragma once

#include "effects/Core/Interface/IIndexBuffer.h"
#include "engine/graphics/IndexBuffer.h"
#include "game/vfx/HostBuffer.h"

// An engine index buffer (16-bit indices) handed to the effects runtime.
class IndexBuffer : public HostBuffer<FulgorCore::IIndexBuffer, Mireku::Graphics::IndexBuffer> {
public:
    using HostBuffer::HostBuffer;
};
