#pragma once

#include "engine/common/ReferenceCountObject.h"

#include <cstdint>

class VfxController;
class VfxData;

// A scene's handle on one playing effect. The scene asks it to play, stop or
// raise trigger bits; the controller advances it once per frame. Reference
// counted: the scene that made it releases it.
class VfxInstance : public Mireku::Common::ReferenceCountObject {
public:
    enum State : uint32_t {
        kNew = 0,
        kStopped = 1,
        kPlayRequested = 2,
        kPlaying = 3,
    };
    // Effect layer 0 draws under the background sprites, 1 over the game's.
    static constexpr uint32_t kLayerUnder = 0;
    static constexpr uint32_t kLayerOver = 1;

    // Holds a reference on `data` for its whole life.
    explicit VfxInstance(VfxData* data);
    ~VfxInstance() override;

    // Unless it is playing already: plays from time 0 on `layer`, starting
    // at the controller's next update. The first argument is not used.
    virtual void Play(int32_t unused, uint32_t layer);
    // Stops a playing effect; a play that has not started yet is withdrawn.
    virtual void Stop();
    // Play requested or playing.
    virtual bool IsPlaying() const;
    // Raises bit `bit` of the effect's trigger word (bits 0 to 31).
    virtual void SetParameter(uint32_t bit);
    // The controller's step once per frame. No effect is played by a runtime
    // yet and an effect without units ends as it starts, so a requested play
    // stops here.
    virtual void Step();

    uint32_t GetState() const { return state_; }
    uint32_t GetLayer() const { return layer_; }
    uint32_t GetStartFrame() const { return startFrame_; }
    uint32_t GetTriggers() const { return triggers_; }
    VfxData* GetData() const { return data_; }

protected:
    uint32_t state_ = kNew;
    uint32_t startFrame_ = 0;
    uint32_t layer_ = kLayerUnder;
    uint32_t triggers_ = 0;

private:
    friend class VfxController;

    VfxData* data_ = nullptr;
    // The controller's list of live instances, which it steps every frame.
    VfxController* owner_ = nullptr;
    VfxInstance* prev_ = nullptr;
    VfxInstance* next_ = nullptr;
};
