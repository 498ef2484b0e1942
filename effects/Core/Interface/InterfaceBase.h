#pragma once

#include <cstdint>

namespace FulgorCore {

// Root of every interface the host implements. The runtime takes a
// reference (AddRef) on every interface pointer it keeps and gives it back
// (Release) when it lets go; objects the host creates for the runtime come
// with the one reference the runtime owns. Release at zero deletes the
// object, so a caller must not touch it after a Release that returned 0.
class InterfaceBase {
public:
    virtual ~InterfaceBase() = default;
    // Drops one reference; returns the new count.
    virtual uint32_t Release() = 0;
    // Adds one reference; returns the new count.
    virtual uint32_t AddRef() = 0;
};

} // namespace FulgorCore
