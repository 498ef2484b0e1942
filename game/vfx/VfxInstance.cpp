#include "game/vfx/VfxInstance.h"

#include "effects/Core/Engine/Engine.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstanceListenner.h"

namespace Engine = FulgorCore::Engine;

VfxInstance::VfxInstance(VfxData* data, const VfxEventDelegate* owner) : data_(data) {
    if (data_)
        data_->AddRef();
    // An exhausted heap leaves the instance without a listener; the runtime
    // instance is then made with none.
    listener_ = new VfxInstanceListenner(owner);
    if (VfxController* controller = VfxController::GetInstance())
        controller->AddInstance(this);
}

VfxInstance::~VfxInstance() {
    if (VfxController* controller = VfxController::GetInstance())
        controller->RemoveInstance(this);
    Engine::StopInstance(handle_.index, handle_.serial);
    Engine::KillInstance(handle_.index, handle_.serial);
    // The runtime gives its own reference back when it frees the record.
    if (listener_)
        static_cast<FulgorCore::IInstanceListenner*>(listener_)->Release();
    if (data_)
        data_->Release();
}

void VfxInstance::Play(uint32_t layer) {
    if (state_ == kPlaying || layer >= FulgorCore::Engine::kLayerCount)
        return;
    state_ = kPlayRequested;
    layer_ = layer;
}

void VfxInstance::Stop() {
    if (handle_.serial != 0) {
        Engine::StopInstance(handle_.index, handle_.serial);
        state_ = kStopped;
    } else if (state_ != kStopped) {
        state_ = kStopPending;
    }
}

void VfxInstance::SetParameter(uint32_t bit) {
    Engine::SetInstanceFlagBit(handle_.index, handle_.serial, bit);
}

void VfxInstance::Update() {
    if (handle_.serial == 0) {
        if (data_ && data_->GetLoadState() != VfxData::kLoaded)
            return;
        if (data_) {
            const FulgorCore::ObjectHandle effect = data_->GetHandle();
            handle_ = Engine::CreateInstance(effect.index, effect.serial, listener_);
        }
        if (handle_.serial == 0) {
            // Refused (effects off, an image the runtime rejected, no record
            // free): a requested play has ended before it began, so that no
            // screen waits for an effect that never shows. The runtime is
            // asked again next frame, for the next play.
            state_ = kStopped;
            return;
        }
        ApplyRequests();
        return;
    }
    ApplyRequests();
    if (state_ == kStopPending) {
        Engine::StopInstance(handle_.index, handle_.serial);
        state_ = kStopped;
    } else if (!Engine::IsInstancePlaying(handle_.index, handle_.serial)) {
        state_ = kStopped;
    }
}

void VfxInstance::ApplyRequests() {
    if (state_ != kPlayRequested || handle_.serial == 0)
        return;
    Engine::SetInstanceLayer(handle_.index, handle_.serial, layer_);
    const float matrix[16] = {
        scale_[0],    0.0f,         0.0f,         0.0f, //
        0.0f,         scale_[1],    0.0f,         0.0f, //
        0.0f,         0.0f,         scale_[2],    0.0f, //
        position_[0], position_[1], position_[2], 1.0f,
    };
    Engine::SetInstanceMatrix(handle_.index, handle_.serial, matrix);
    Engine::PlayInstance(handle_.index, handle_.serial, speed_, 0);
    state_ = kPlaying;
}
