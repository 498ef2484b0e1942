#pragma once

#include "engine/common/ReferenceCountObject.h"

namespace sys::gpu {
struct Object;
}

namespace Mireku::Graphics {

// Base of every graphics wrapper: reference counted, and it hands its device
// objects back to the device (which defers the GL release to the render thread).
class GraphicsResource : public Common::ReferenceCountObject {
public:
    ~GraphicsResource() override = default;

protected:
    // Releases a device object through the device, when both exist.
    static void ReleaseDeviceObject(sys::gpu::Object* object);
};

} // namespace Mireku::Graphics
