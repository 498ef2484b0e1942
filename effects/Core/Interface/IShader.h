#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

namespace FulgorCore {

// An opaque device object: the runtime only hands it back to the device.
class IShader : public InterfaceBase {};

} // namespace FulgorCore
