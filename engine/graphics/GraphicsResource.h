#pragma once

#include "engine/resource/ManagedResource.h"

namespace sys::gpu {
struct Object;
}

namespace Mireku::Graphics {

// Base of every graphics wrapper: a managed resource, so its last release is
// deferred by the resource manager while the render thread may still execute
// commands that point to it; its destructor hands its device objects back to
// the device (which defers the GL release to the render thread as well).
class GraphicsResource : public Resource::ManagedResource {
public:
    ~GraphicsResource() override = default;

protected:
    // Releases a device object through the device, when both exist.
    static void ReleaseDeviceObject(sys::gpu::Object* object);
};

} // namespace Mireku::Graphics
