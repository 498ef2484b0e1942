#pragma once

#include "engine/common/BaseObject.h"

#include <cstdint>

// One screen of the game. The scene driver begins it, updates it once per
// frame and, once the scene has flagged itself finished, ends and deletes it.
// Scenes never delete themselves and never call one another.
class SceneBase : public Mireku::Common::BaseObject {
public:
    SceneBase() = default;
    // Detaches this scene from both neighbours of its attached chain, so that
    // no scene keeps pointing at a deleted one.
    ~SceneBase() override;
    SceneBase(const SceneBase&) = delete;
    SceneBase& operator=(const SceneBase&) = delete;

    // Attaches `scene` behind this one; the driver updates attached scenes
    // right after the scene they hang from. Returns `scene`.
    virtual SceneBase* LinkNext(SceneBase* scene);
    // Detaches this scene from the one it hangs from; returns that scene.
    virtual SceneBase* UnlinkPrev();
    virtual void Begin() {}
    virtual void End() {}
    virtual void Update() {}

    bool IsFinished() const { return finished != 0; }
    void Finish() { finished = 1; }

    uint8_t finished = 0;
    SceneBase* nextInList = nullptr;
    SceneBase* nextAttached = nullptr;
    SceneBase* prevAttached = nullptr;
};
