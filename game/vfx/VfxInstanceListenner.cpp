#include "game/vfx/VfxInstanceListenner.h"

VfxInstanceListenner::VfxInstanceListenner(const VfxEventDelegate* owner) {
    if (owner)
        owner_ = *owner;
}

void VfxInstanceListenner::OnEvent(const char* const* texts, const int32_t* integers,
                                   const float* floats) {
    if (owner_)
        owner_.Invoke(texts, integers, floats);
}
