#pragma once

#include "engine/common/Delegate.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "game/flow/ScreenKind.h"

#include <cstdint>
#include <utility>

namespace Mireku::Renderer {
class SpriteRenderer;
}

class SceneBase;

// Runs the game's scenes and the one screen-wide fade. Scenes live in two
// lists linked through SceneBase::nextInList: the active scenes, updated
// every frame, and the pending scenes, begun by the next Update.
class SceneDriver : public Mireku::Common::SingletonObject,
                    public Mireku::Common::Singleton<SceneDriver> {
public:
    SceneDriver() = default;
    // Releases the completion; the scenes are the caller's (ClearAll first).
    ~SceneDriver() override;

    // Appends to the pending list; a null scene (one that could not be
    // allocated) is not pushed.
    void PushScene(SceneBase* scene);
    // Allocates a scene from the engine heap and pushes it; null, and nothing
    // pushed, when the heap is exhausted.
    template <class T, class... Args> T* CreateScene(Args&&... args) {
        T* scene = new T(std::forward<Args>(args)...);
        PushScene(scene);
        return scene;
    }

    // Makes a screen through the factory the composition root installed and
    // pushes it; null (nothing pushed) without a factory or when the screen
    // cannot be made. This is how play starts a screen it may not name.
    using ScreenFactory = SceneBase* (*)(ScreenKind kind);
    void SetScreenFactory(ScreenFactory factory) { screenFactory_ = factory; }
    SceneBase* StartScreen(ScreenKind kind);

    // Flags every active scene finished; pending scenes are not touched.
    void EndAllScenes();
    // 255 to 0 (the screen clears) and 0 to 255 (the screen turns black) over
    // `frames` frames. A running fade is replaced; its completion is dropped
    // without being invoked. An empty completion is allowed.
    void StartFadeDown(int32_t frames, const Mireku::Common::Delegate00& completion);
    void StartFadeUp(int32_t frames, const Mireku::Common::Delegate00& completion);
    bool IsFading() const { return fadeDuration_ > 0; }

    // Once per frame: active scenes, then pending scenes, then the fade drawn
    // on `overlay` (null: not drawn).
    void Update(Mireku::Renderer::SpriteRenderer* overlay);
    // Ends and deletes every active scene, deletes every pending scene
    // without Begin or End, and empties both lists.
    void ClearAll();

    uint8_t GetFadeLevel() const { return fadeLevel_; }
    SceneBase* GetFirstActive() const { return activeHead_; }
    SceneBase* GetFirstPending() const { return pendingHead_; }

private:
    void StartFade(uint8_t from, uint8_t to, int32_t frames,
                   const Mireku::Common::Delegate00& completion);
    void UpdateActive();
    void ActivatePending();
    void StepFade();
    void DrawFade(Mireku::Renderer::SpriteRenderer* overlay) const;
    static void Append(SceneBase*& head, SceneBase*& tail, SceneBase* scene);
    static void Destroy(SceneBase* scene);

    SceneBase* activeHead_ = nullptr;
    SceneBase* activeTail_ = nullptr;
    SceneBase* pendingHead_ = nullptr;
    SceneBase* pendingTail_ = nullptr;
    uint8_t fadeLevel_ = 255; // the game starts on a black screen
    uint8_t fadeFrom_ = 0;
    uint8_t fadeTo_ = 0;
    int32_t fadeFrame_ = 0;
    int32_t fadeDuration_ = 0;
    Mireku::Common::Delegate00 fadeCompletion_;
    ScreenFactory screenFactory_ = nullptr;
};
