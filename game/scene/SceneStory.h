// The story over a stage in progress: when the stage lets the story window
// open (at its start, or a boss asking for the bridge to the last boss or
// for the ending), the script's lines play with portraits, plates and
// voices, stepped by the decide button or by each voice's end; cancel closes
// the window. Then the stage has its music and its play back.
#pragma once

#include "game/flow/LoadingScene.h"
#include "game/scene/SceneStoryCommon.h"

#include <cstdint>

class SceneStory : public LoadingScene, public SceneStoryCommon {
public:
    // GlobalWork::storyRequest: which story the scene plays.
    enum Request : uint32_t { kBetweenStages = 0, kLastBossBridge = 1, kEnding = 2 };
    // Frames from the last line (or cancel) to the stage's return; the window
    // closes in the first 8 of them.
    static constexpr int32_t kCloseFrames = 30;
    static constexpr int32_t kCancelSound = 9;
    static constexpr const char* kMusicFolder = "sound/bgm";

    enum State : int32_t {
        kWaitMusic = 1,
        kStarted = 2,
        kWaitFade = 3,
        kMain = 4,
        kIdle = 5,
        kFinish = 6,
    };
    enum SubState : uint32_t { kWaitWindow = 0, kShowing = 1, kClosing = 2 };

    // The script kind of a request: 1, 3 or 4.
    static uint32_t ScriptKind(uint32_t request);
    // The music of a request at a stage: "vam_035.ogg" to "vam_047.ogg" at
    // stage % 12 + request 0 to 12, "vam_026.ogg" at 13.
    static const char* MusicName(uint32_t request, uint32_t stage);

    // A request outside 0-2 plays the scene between stages.
    explicit SceneStory(uint32_t request);

    void Begin() override;
    void Update() override;

    uint32_t GetRequest() const { return request_; }
    uint32_t GetSubState() const { return subState_; }
    int32_t GetMusicSlot() const { return musicSlot_; }
    int32_t GetCloseTimer() const { return closeTimer_; }

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;

private:
    void Main();
    // The story is over: the stage's track again (between stages), its play
    // state back, the story flags and the request cleared.
    void Leave();

    uint32_t request_ = kBetweenStages;
    int32_t musicSlot_ = -1;
    uint32_t subState_ = kWaitWindow;
    int32_t closeTimer_ = 0;
};
