#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

// A device texture. The runtime hands it back to the device when binding.
class ITexture : public InterfaceBase {
public:
    // A texture that answers true raises a renderer flag when it is bound.
    virtual bool IsSpecial() { return false; }
    // The texture's mip level count.
    virtual uint32_t GetLevelCount() { return 1; }
};

} // namespace FulgorCore
