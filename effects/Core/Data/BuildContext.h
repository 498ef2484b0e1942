#pragma once

#include "effects/Core/Memory/RuntimeDataAllocator.h"

namespace FulgorCore {

class IDevice;
class IObjectListenner;
class ReferenceCollector;

// What a record reader needs besides its payload. Every record is read by
// one walk that runs in both passes of a registration: while the allocator
// measures, the walk reads into a scratch record, its allocations only count
// and come back null, and nothing is created on the device or asked of the
// listener; in the build pass the same walk places the record's allocations
// in the block. One walk for both passes means they cannot take different
// chunks. Damage that must fail the load is reported to the allocator
// (Reject) while measuring, before anything is allocated.
struct BuildContext {
    RuntimeDataAllocator& allocator;
    // The renderer's device, for the static buffers of meshes.
    IDevice* device = nullptr;
    // The host's listener of the load; may be null.
    IObjectListenner* listener = nullptr;
    // Where the package being read gathers the names of the effects its
    // units and timeline clips refer to; null outside a package.
    ReferenceCollector* references = nullptr;

    bool IsMeasuring() const { return allocator.IsMeasuring(); }
};

} // namespace FulgorCore
