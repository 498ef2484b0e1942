#pragma once

#include "game/flow/LoadingScene.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"

#include <cstddef>
#include <cstdint>

namespace Mireku::Renderer {
class SpriteRenderer;
}
class GlobalWork;
class VfxData;
class VfxInstance;

// What the menu-like screens share on top of the loading pattern: their
// music stream and background effect, the opening states (music, fade-in),
// the common leaving fade, the pressed buttons, sounds and the "HUD" layer.
// Every game-wide service may be missing (tests run without some): a missing
// one reads as nothing pressed, plays nothing and draws nothing.
//
// The shared states: 0 loading; 1 the music has settled and starts; 2 the
// fade-in starts with the effect; 3 drawn until the fade-in ends, then 4;
// 5 drawn while the fade-out runs; the common completion turns 5 into 6.
class FlowScene : public LoadingScene {
public:
    static constexpr const char* kMusicFolder = "sound/bgm";
    static constexpr int32_t kStateMusic = 1;
    static constexpr int32_t kStateStart = 2;
    static constexpr int32_t kStateFadeIn = 3;
    static constexpr int32_t kStateShown = 4;
    static constexpr int32_t kStateLeaving = 5;
    static constexpr int32_t kStateLeave = 6;

    // The shared states, with the screen's own state 4 and state 6.
    void Update() override;

    int32_t GetMusicSlot() const { return music_; }
    VfxInstance* GetEffect() const { return effect_; }

    // The common fade-out completion: leaving turns into leave.
    void OnFadedToLeave();

protected:
    // Sound effects the screens play.
    static constexpr int32_t kSoundCursor = 3;
    static constexpr int32_t kSoundDecide = 4;

    FlowScene(int32_t fadeInFrames, bool musicLoops)
        : fadeInFrames_(fadeInFrames), musicLoops_(musicLoops) {}

    void StateLoading() {}
    void StateMusic();
    void StateStart();
    void StateFadeIn();
    void StateLeaving() { Draw(); }
    // State 4, the screen shown; state 6, the screen left.
    virtual void StateShown() {}
    virtual void StateLeave() {}
    // The screen, every frame from the fade-in on.
    virtual void Draw() {}
    // The fade-in has just ended.
    virtual void OnShown() {}

    void OpenMusic(const char* name);
    // The music has loaded, failed to load, or there is none.
    bool IsMusicSettled() const;
    void ReleaseMusic();

    // The screen's background effect: the file `file` of `folder` as effect
    // data named `name`, and one instance of it.
    void LoadEffect(Mireku::Resource::ChildResourceLoader& loader, const char* folder,
                    const char* file, const char* name);
    // Releases the background effect and the music.
    void ReleaseResources() override;

    // State 5 and the fade-out with the common completion.
    void FadeOutToLeave(int32_t fadeFrames);
    // The same after the leaving sound, the music released at once.
    void LeaveByFade(int32_t fadeFrames, int32_t sound) {
        PlaySound(sound);
        ReleaseMusic();
        FadeOutToLeave(fadeFrames);
    }
    // Flags the scene finished and queues the next screen.
    template <class T> void LeaveFor() {
        Finish();
        if (SceneDriver* driver = SceneDriver::GetInstance())
            driver->CreateScene<T>();
    }

    // An effect file as data and one instance; both null when the file
    // cannot be read or there is no effects controller.
    static void ReadEffect(Mireku::Resource::ChildResourceLoader& loader, const char* folder,
                           const char* file, const char* name, VfxData*& data,
                           VfxInstance*& instance);
    // The instance, then the data.
    static void ReleaseEffect(VfxData*& data, VfxInstance*& instance);
    // Each name of `folder` into its slot (a missing file leaves it null).
    template <size_t N>
    static void ReadTextures(Mireku::Resource::ChildResourceLoader& loader, const char* folder,
                             const char* const (&names)[N],
                             Mireku::Graphics::Texture* (&textures)[N]) {
        for (size_t i = 0; i < N; ++i)
            textures[i] = ReadTexture(loader, folder, names[i]);
    }
    template <size_t N> static void ReleaseAll(Mireku::Graphics::Texture* (&textures)[N]) {
        for (Mireku::Graphics::Texture*& texture : textures)
            ReleaseTexture(texture);
    }
    // A missing effect counts as not playing.
    static bool IsEffectPlaying(const VfxInstance* instance);

    // The InputManager's pressed mask of this frame.
    static uint32_t Pressed();
    static void PlaySound(int32_t id);
    static void PlayVoice(int32_t pilot, int32_t line);
    static Mireku::Renderer::SpriteRenderer* Hud();
    static GlobalWork* Work();
    static SceneDriver* Driver();
    static bool IsFading();

    // Runs the handler of the scene's state from its state table; a state
    // outside the table runs nothing.
    template <class T, size_t N> static void RunState(T* scene, void (T::*const (&states)[N])()) {
        const int32_t state = scene->GetState();
        if (state >= 0 && static_cast<size_t>(state) < N)
            (scene->*states[state])();
    }

    int32_t music_ = -1;
    VfxData* effectData_ = nullptr;
    VfxInstance* effect_ = nullptr;

private:
    int32_t fadeInFrames_;
    bool musicLoops_;
};
