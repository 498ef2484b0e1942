#include "game/scene/SceneStoryIntermission.h"

#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"
#include "game/core/StageMusicSlots.h"
#include "game/scene/StoryScriptDriver.h"

namespace {

constexpr uint32_t kStagesPerLoop = 12;
constexpr uint32_t kIntermissions = 3;

constexpr const char* kPictures[kIntermissions][SceneStoryIntermission::kPictureCount] = {
    {"ev_demo_bg06.dds", "ev_demo_bg07.dds"},
    {"ev_demo_bg08.dds", "ev_demo_bg09.dds"},
    {"ev_demo_bg10.dds", "ev_demo_bg11.dds"},
};
constexpr const char* kMusic[kIntermissions] = {"vam_023.ogg", "vam_024.ogg", "vam_025.ogg"};

uint32_t Intermission(uint32_t stage) {
    const uint32_t i = stage % kStagesPerLoop / 3;
    return i < kIntermissions ? i : kIntermissions - 1;
}

uint32_t Stage() {
    const GlobalWork* work = GlobalWork::GetInstance();
    return work ? work->stage : 0;
}

} // namespace

const char* const* SceneStoryIntermission::PictureNames(uint32_t stage) {
    return kPictures[Intermission(stage)];
}

const char* SceneStoryIntermission::MusicName(uint32_t stage) {
    return kMusic[Intermission(stage)];
}

SceneStoryIntermission::SceneStoryIntermission()
    : StoryPictureScene(kFadeInFrames, kPictureCount), jingle_(StageMusicSlots::clearJingle) {
    // The stage releases its slots when it ends; the jingle is this
    // screen's to wait for and release from now on.
    StageMusicSlots::clearJingle = -1;
}

SceneStoryIntermission::~SceneStoryIntermission() {
    ReleaseJingle();
}

void SceneStoryIntermission::Update() {
    if (jingle_ != -1) {
        if (IsJingleBusy())
            return;
        ReleaseJingle();
    }
    StoryPictureScene::Update();
}

bool SceneStoryIntermission::IsJingleBusy() {
    SoundManager* sound = SoundManager::GetInstance();
    // A jingle that could not be read counts as ended.
    return sound && (!sound->IsStreamSettled(jingle_) || sound->IsStreamPlaying(jingle_));
}

void SceneStoryIntermission::ReleaseJingle() {
    if (jingle_ == -1)
        return;
    if (g_currentMusicSlot == jingle_)
        g_currentMusicSlot = -1;
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->ReleaseStream(&jingle_);
    jingle_ = -1;
}

void SceneStoryIntermission::OnBegin() {
    const uint32_t stage = Stage();
    BeginStory(StoryScriptDriver::kIntroduction, MusicName(stage),
               RollLength(StoryScriptDriver::PilotOfPlayer(), IntermissionOccasion(stage)));
}

void SceneStoryIntermission::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    LoadStory(loader, PictureNames(Stage()));
}

void SceneStoryIntermission::StateShown() {
    CheckCancel(kRoll);
    if (!StepShared(kRoll - 1))
        StepRollEnd();
    // The music goes with the screen, before its fade.
    if (GetState() == kStateLeaving)
        ReleaseMusic();
    UpdateVoice();
    Draw();
}

void SceneStoryIntermission::Draw() {
    DrawCurrentPicture();
    DrawOverPictures(kIntermissionMode, kWindowFrom, kRoll);
}

void SceneStoryIntermission::StateLeave() {
    StartStage();
    if (GlobalWork* work = GlobalWork::GetInstance())
        ++work->stage;
}
