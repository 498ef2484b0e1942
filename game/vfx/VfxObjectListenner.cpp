#include "game/vfx/VfxObjectListenner.h"

VfxObjectListenner& VfxObjectListenner::Get() {
    static VfxObjectListenner listener;
    return listener;
}
