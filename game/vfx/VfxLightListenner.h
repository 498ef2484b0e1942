#pragma once

#include "effects/Core/Interface/ILightListenner.h"
#include "game/vfx/CountedInterface.h"

// The runtime's light listener. The game lights no effect: every query keeps
// the interface's neutral answer, and the roots keep their default light
// results. Made by the controller with one reference, which it owns.
class VfxLightListenner : public CountedInterface<FulgorCore::ILightListenner> {};
