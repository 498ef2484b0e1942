#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

namespace FulgorCore {

// The host's light callbacks, given once at start-up (required); the unit
// tree asks them about each instance's position.
class ILightListenner : public InterfaceBase {};

} // namespace FulgorCore
