#include "game/vfx/VfxInstance.h"

#include "game/vfx/VfxController.h"
#include "game/vfx/VfxData.h"

VfxInstance::VfxInstance(VfxData* data) : data_(data) {
    if (data_)
        data_->AddRef();
}

VfxInstance::~VfxInstance() {
    if (owner_)
        owner_->Forget(this);
    if (data_)
        data_->Release();
}

void VfxInstance::Play(int32_t, uint32_t layer) {
    if (state_ == kPlaying)
        return;
    state_ = kPlayRequested;
    startFrame_ = 0;
    layer_ = layer;
}

void VfxInstance::Stop() {
    if (state_ == kPlaying)
        state_ = kStopped;
    else if (state_ != kStopped)
        state_ = kNew;
}

bool VfxInstance::IsPlaying() const {
    return state_ == kPlayRequested || state_ == kPlaying;
}

void VfxInstance::SetParameter(uint32_t bit) {
    if (bit < 32)
        triggers_ |= 1u << bit;
}

void VfxInstance::Step() {
    if (state_ == kPlayRequested)
        state_ = kStopped;
}
