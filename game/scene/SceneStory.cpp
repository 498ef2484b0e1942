#include "game/scene/SceneStory.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/SoundManager.h"
#include "game/core/StageMusicSlots.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/StoryChar.h"
#include "game/scene/StoryScriptDriver.h"

namespace {

constexpr uint32_t kStagesPerLoop = 12;

// By stage % 12 plus the request: the scene between stages plays the stage's
// own track, the bridge the next one and the ending the one after.
constexpr const char* kMusicNames[] = {
    "vam_035.ogg", "vam_036.ogg", "vam_037.ogg", "vam_038.ogg", "vam_039.ogg",
    "vam_040.ogg", "vam_041.ogg", "vam_042.ogg", "vam_043.ogg", "vam_044.ogg",
    "vam_045.ogg", "vam_046.ogg", "vam_047.ogg", "vam_026.ogg",
};

constexpr uint32_t kScriptKinds[] = {
    StoryScriptDriver::kStageScene,
    StoryScriptDriver::kLastBossBridge,
    StoryScriptDriver::kEnding,
};

SoundManager* Sound() {
    return SoundManager::GetInstance();
}

} // namespace

uint32_t SceneStory::ScriptKind(uint32_t request) {
    return kScriptKinds[request <= kEnding ? request : kBetweenStages];
}

const char* SceneStory::MusicName(uint32_t request, uint32_t stage) {
    const uint32_t r = request <= kEnding ? request : kBetweenStages;
    return kMusicNames[stage % kStagesPerLoop + r];
}

SceneStory::SceneStory(uint32_t request)
    : request_(request <= kEnding ? request : kBetweenStages) {}

void SceneStory::OnBegin() {
    StoryScriptDriver::Instance().SetScript(ScriptKind(request_));
    StoryChar::Instance().Reset();
    SceneStoryCommon::ReleaseResources();
    if (SoundManager* sound = Sound()) {
        // Every story silences the stage's track and the ending's takes it
        // away for good; only the story between stages plays it again when
        // it ends (the bridge leaves the music to the last boss).
        sound->StopStream(StageMusicSlots::stageTrack);
        if (request_ == kEnding) {
            if (g_currentMusicSlot == StageMusicSlots::stageTrack)
                g_currentMusicSlot = -1;
            sound->ReleaseStream(&StageMusicSlots::stageTrack);
        }
    }
}

void SceneStory::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    StoryScriptDriver::Instance().Load(loader);
    StoryChar::Instance().LoadSheets(loader);
    SceneStoryCommon::LoadResources(loader);
}

void SceneStory::Begin() {
    LoadingScene::Begin();
    GlobalWork* work = GlobalWork::GetInstance();
    if (SoundManager* sound = Sound())
        sound->OpenStream(&musicSlot_, kMusicFolder, MusicName(request_, work ? work->stage : 0));
    if (work) {
        work->gameState = GameState::kStory;
        work->storyFlag2 = 1;
    }
    subState_ = kWaitWindow;
}

void SceneStory::ReleaseResources() {
    SceneStoryCommon::ReleaseResources();
    StoryChar::Instance().Release();
    StoryScriptDriver::Instance().ClearRecords();
    if (SoundManager* sound = Sound()) {
        if (g_currentMusicSlot == musicSlot_)
            g_currentMusicSlot = -1;
        sound->ReleaseStream(&musicSlot_);
    }
}

void SceneStory::Update() {
    switch (GetState()) {
    case kWaitMusic:
        if (!Sound() || Sound()->IsStreamSettled(musicSlot_)) {
            if (SoundManager* sound = Sound()) {
                sound->PlayMusic(musicSlot_, true);
                g_currentMusicSlot = musicSlot_;
            }
            SetState(kStarted);
        }
        break;
    case kStarted:
        SetState(kWaitFade);
        break;
    case kWaitFade:
        if (!SceneDriver::GetInstance() || !SceneDriver::GetInstance()->IsFading())
            SetState(kMain);
        break;
    case kMain:
        Main();
        break;
    case kFinish:
        Leave();
        break;
    default:
        break;
    }
}

void SceneStory::Main() {
    GlobalWork* work = GlobalWork::GetInstance();
    const bool windowFlag = work && work->storyPending != 0;
    StoryScriptDriver& script = StoryScriptDriver::Instance();
    StoryChar& portraits = StoryChar::Instance();

    if (subState_ == kWaitWindow && windowFlag) {
        script.Step(0);
        subState_ = kShowing;
        closeTimer_ = kCloseFrames;
    }
    if (subState_ == kShowing) {
        if (!script.Step(IsVoiceBusy() ? 0 : 1))
            subState_ = kClosing;
        const InputManager* input = InputManager::GetInstance();
        if (input && input->IsTriggered(InputManager::kExWeapon)) {
            subState_ = kClosing;
            if (SoundManager* sound = Sound())
                sound->PlaySE(kCancelSound, false);
            StopVoice();
        }
        portraits.TakeCommand();
        UpdateVoice();
    } else if (subState_ == kClosing) {
        if (--closeTimer_ < 1)
            SetState(kFinish);
    }
    portraits.Draw(windowFlag);
    DrawWindow(kStageMode, windowFlag, subState_ == kClosing);
}

void SceneStory::Leave() {
    Finish();
    if (request_ == kBetweenStages) {
        if (SoundManager* sound = Sound()) {
            sound->PlayMusic(StageMusicSlots::stageTrack, true);
            g_currentMusicSlot = StageMusicSlots::stageTrack;
        }
    }
    if (GlobalWork* work = GlobalWork::GetInstance()) {
        work->gameState = GameState::kPlaying;
        work->storyFlag2 = 0;
        work->storyPending = 0;
        work->storyRequest = kBetweenStages;
    }
}
