#pragma once

#include "engine/common/Delegate.h"

#include <cstdint>

// What an effect instance's owner is told of the effect's timeline events:
// four texts, three integers and three floats, as the runtime passes them.
using VfxEventDelegate = Mireku::Common::Delegate<const char* const*, const int32_t*, const float*>;
