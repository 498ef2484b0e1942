#pragma once

#include "engine/common/Event.h"
#include "game/flow/SceneBase.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Resource {
class ChildResourceLoader;
}

// The resource-loading pattern every scene with files follows. Begin puts
// the scene in state 0 and hands its loader step to the game's file loader
// (at once when it is synchronous, else on the loader thread); the step reads
// the scene's files, stores state 1 and, as its last act, sets the loaded
// event. End waits on that event before it releases anything, so an end
// during loading never frees what the loader writes, and the scene is never
// deleted while the loader thread still touches it.
class LoadingScene : public SceneBase {
public:
    static constexpr int32_t kLoading = 0;
    static constexpr int32_t kLoaded = 1;

    void Begin() override;
    void End() override;

    int32_t GetState() const { return state_.load(std::memory_order_acquire); }

protected:
    void SetState(int32_t state) { state_.store(state, std::memory_order_release); }

    // Resets the scene's own fields before the load starts; may open music.
    virtual void OnBegin() {}
    // Reads the scene's files; runs on the loader thread when loading is
    // asynchronous, so it writes only the scene's resource slots.
    virtual void LoadResources(Mireku::Resource::ChildResourceLoader& loader) = 0;
    // Releases what LoadResources made and what the scene owns.
    virtual void ReleaseResources() {}

private:
    void RunLoader(Mireku::Resource::ChildResourceLoader& loader, const void* user);

    std::atomic<int32_t> state_{kLoading};
    Mireku::Common::Event loaded_{true}; // manual reset: stays set until the next Begin
};
