#pragma once

#include "effects/Core/Interface/IInstanceListenner.h"
#include "game/vfx/CountedInterface.h"
#include "game/vfx/VfxEventDelegate.h"

// The runtime's listener of one VfxInstance: it passes the effect's timeline
// events to the instance's owner, when it has one, and answers everything
// else neutrally. Holds a reference to the owner's delegate for its life.
class VfxInstanceListenner : public CountedInterface<FulgorCore::IInstanceListenner> {
public:
    // Null or an empty delegate: no owner.
    explicit VfxInstanceListenner(const VfxEventDelegate* owner);

    void OnCreate(FulgorCore::InstanceHandle) override {}
    void OnRelease(FulgorCore::InstanceHandle) override {}
    void OnEvent(const char* const* texts, const int32_t* integers, const float* floats) override;
    bool OnPosition(const float*) override { return false; }

    const VfxEventDelegate& GetOwner() const { return owner_; }

private:
    VfxEventDelegate owner_;
};
