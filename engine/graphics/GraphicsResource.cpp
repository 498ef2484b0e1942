#include "engine/graphics/GraphicsResource.h"

#include "engine/graphics/GraphicsDevice.h"

namespace Mireku::Graphics {

void GraphicsResource::ReleaseDeviceObject(sys::gpu::Object* object) {
    GraphicsDevice* device = GraphicsDevice::GetInstance();
    if (object && device && device->GetGpu())
        device->GetGpu()->Release(object);
}

} // namespace Mireku::Graphics
