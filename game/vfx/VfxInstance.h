#pragma once

#include "effects/Core/Interface/InstanceHandle.h"
#include "engine/common/ReferenceCountObject.h"
#include "game/vfx/VfxEventDelegate.h"

#include <cstdint>

class VfxData;
class VfxInstanceListenner;

// A screen's handle on one playable occurrence of an effect. The screen may
// ask it to play, stop or raise a trigger bit at any time; the runtime
// instance is made lazily by the controller's update once the data is
// loaded, and the requests made before are carried over to it then.
// Reference counted: the screen that made it releases it before its data.
class VfxInstance : public Mireku::Common::ReferenceCountObject {
public:
    enum State : uint32_t {
        kStopPending = 0, // a stop came before the runtime instance existed
        kStopped = 1,     // stopped or idle, also after construction
        kPlayRequested = 2,
        kPlaying = 3,
    };
    // Effect layer 0 draws under the background sprites, 1 over the game's.
    static constexpr uint32_t kLayerUnder = 0;
    static constexpr uint32_t kLayerOver = 1;

    // Holds a reference on `data` and, through its listener, on the owner's
    // delegate (null for none); joins the controller's live instances.
    VfxInstance(VfxData* data, const VfxEventDelegate* owner);
    // Leaves the live instances, stops and kills the runtime instance, then
    // lets go of the listener and the data.
    ~VfxInstance() override;

    // The operations a screen calls are virtual so that the screens' tests
    // can put a recording double in their place.

    // Unless playing already (layer included): play from the start on
    // `layer`, at the next update that has a runtime instance. A layer the
    // runtime does not draw (16 and above) is refused: nothing changes.
    virtual void Play(uint32_t layer);
    // Stops the runtime instance; before there is one, a requested play is
    // withdrawn and sent as a stop once it exists.
    virtual void Stop();
    // Raises flag bit `bit` of the runtime instance; lost before it exists.
    virtual void SetParameter(uint32_t bit);
    // The controller's step, once per frame: makes the runtime instance when
    // the data is loaded (and asks again each frame while it is refused),
    // carries the requests over, and notices the effect's end. A refusal
    // ends a requested play at once.
    virtual void Update();
    // Play requested or playing. A play that the runtime refused an
    // instance for (a rejected image, effects off) has ended by the
    // controller's next update.
    bool IsPlaying() const { return state_ == kPlayRequested || state_ == kPlaying; }
    // A requested play with a runtime instance: layer, matrix and start are
    // sent, and the instance is playing.
    void ApplyRequests();

    uint32_t GetState() const { return state_; }
    uint32_t GetLayer() const { return layer_; }
    VfxData* GetData() const { return data_; }
    FulgorCore::InstanceHandle GetHandle() const { return handle_; }
    VfxInstanceListenner* GetListenner() const { return listener_; }

protected:
    uint32_t state_ = kStopped;
    // The placement and speed every play is sent with.
    float scale_[3] = {1.0f, 1.0f, 1.0f};
    float position_[3] = {0.0f, 0.0f, 0.0f};
    float speed_ = 1.0f;

private:
    VfxData* data_ = nullptr;
    FulgorCore::InstanceHandle handle_{};
    uint32_t layer_ = kLayerUnder;
    VfxInstanceListenner* listener_ = nullptr;
};
