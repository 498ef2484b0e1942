#include "game/stage/StageMusic.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"

#include <cstdio>

namespace {

SoundManager* Sound() {
    return SoundManager::GetInstance();
}

} // namespace

StageMusic::Timing StageMusic::TimingFor(uint32_t stageNumber) {
    // The third stage of each three has a longer fade and an earlier boss.
    if (stageNumber % 3 == 0)
        return {3900, 300, 3700};
    return {5420, 120, 5100};
}

const char* StageMusic::BossMusicName(uint32_t stageIndex) {
    return stageIndex % 3 == 2 ? "boss2.ogg" : "boss1.ogg";
}

void StageMusic::StageMusicName(const GlobalWork& work, char* out, uint32_t size) {
    if (work.gameType != GameState::kScoreAttackType)
        std::snprintf(out, size, "stage%02u.ogg", work.stage % 12 + 1);
    else if (work.mode == GameState::kShortScoreAttackMode)
        std::snprintf(out, size, "score_attack01.ogg");
    else
        std::snprintf(out, size, "score_attack02.ogg");
}

StageMusic::~StageMusic() {
    if (SoundManager* s = Sound()) {
        if (g_currentMusicSlot == StageMusicSlots::stageTrack ||
            g_currentMusicSlot == continueSlot_ ||
            g_currentMusicSlot == StageMusicSlots::clearJingle)
            g_currentMusicSlot = -1;
        s->ReleaseStream(&StageMusicSlots::stageTrack);
        s->ReleaseStream(&continueSlot_);
        s->ReleaseStream(&secondSlot_);
        s->ReleaseStream(&StageMusicSlots::clearJingle);
    }
}

void StageMusic::Open(const GlobalWork& work) {
    char name[sizeof stageName_];
    StageMusicName(work, name, sizeof name);
    OpenStage(name);
    if (SoundManager* s = Sound())
        s->OpenStream(&continueSlot_, kFolder, kContinueName);
    const Timing t = TimingFor(work.stage % 12 + 1);
    bossCountdown_ = t.countdown;
    fadeLength_ = t.fadeLength;
    fadeStep_ = 1.0f / static_cast<float>(t.fadeLength);
    backgroundCountdown_ = t.backgroundCountdown;
    postFadeWait_ = kPostFadeWait;
    volume_ = 1.0f;
    bossChangeArmed_ = work.gameType != GameState::kScoreAttackType ? 1 : 0;
}

void StageMusic::OpenStage(const char* name) {
    std::snprintf(stageName_, sizeof stageName_, "%s", name);
    if (SoundManager* s = Sound())
        s->OpenStream(&StageMusicSlots::stageTrack, kFolder, name);
}

void StageMusic::ReleaseStage() {
    if (SoundManager* s = Sound()) {
        s->StopStream(StageMusicSlots::stageTrack);
        if (g_currentMusicSlot == StageMusicSlots::stageTrack)
            g_currentMusicSlot = -1;
        s->ReleaseStream(&StageMusicSlots::stageTrack);
    }
}

void StageMusic::Play(int32_t slot, bool loop) {
    if (SoundManager* s = Sound()) {
        s->PlayMusic(slot, loop);
        g_currentMusicSlot = slot;
    }
}

bool StageMusic::IsStageMusicSettled() const {
    const SoundManager* s = Sound();
    return !s || s->IsStreamSettled(StageMusicSlots::stageTrack);
}

void StageMusic::StartStageMusic() {
    Play(StageMusicSlots::stageTrack, true);
}

void StageMusic::Update() {
    if (bossChangeArmed_) {
        if (bossCountdown_ > 0)
            --bossCountdown_;
        if (bossCountdown_ == fadeLength_ && !fading_ && volume_ > 0.0f)
            StartFade(static_cast<float>(fadeLength_));
        if (volume_ <= 0.0f) {
            if (postFadeWait_ > 0)
                --postFadeWait_;
            if (postFadeWait_ == 0) {
                bossChangeArmed_ = 0;
                ReleaseStage();
                OpenStage(BossMusicName(GlobalWork::GetInstance() ? GlobalWork::GetInstance()->stage
                                                                  : 0));
                playPending_ = 1;
            }
        }
    }
    if (fading_) {
        volume_ -= fadeStep_;
        if (volume_ <= 0.0f) {
            volume_ = 0.0f;
            fading_ = 0;
        }
        if (SoundManager* s = Sound())
            s->SetMusicVolumeScale(volume_);
    }
    if (playPending_ && (!Sound() || Sound()->IsStreamSettled(StageMusicSlots::stageTrack))) {
        playPending_ = 0;
        Play(StageMusicSlots::stageTrack, true);
    }
}

bool StageMusic::TickBackgroundCountdown() {
    if (backgroundCountdown_ == 0)
        return false;
    return --backgroundCountdown_ == 0;
}

void StageMusic::StartFade(float frames) {
    fading_ = 1;
    volume_ = 1.0f;
    fadeStep_ = frames > 0.0f ? 1.0f / frames : 1.0f;
}

void StageMusic::PlayThirdBoss() {
    ReleaseStage();
    OpenStage(kThirdBossName);
    playPending_ = 1;
}

void StageMusic::PlayJingle() {
    ReleaseStage();
    if (SoundManager* s = Sound()) {
        s->ReleaseStream(&StageMusicSlots::clearJingle);
        s->OpenStream(&StageMusicSlots::clearJingle, kFolder, kJingleName);
        Play(StageMusicSlots::clearJingle, false);
    }
}

void StageMusic::StopStageMusic() {
    if (SoundManager* s = Sound())
        s->StopStream(StageMusicSlots::stageTrack);
}

void StageMusic::ReplayStageMusic() {
    Play(StageMusicSlots::stageTrack, false);
}

void StageMusic::PlayContinueMusic() {
    Play(continueSlot_, false);
}

void StageMusic::StopContinueMusic() {
    if (SoundManager* s = Sound())
        s->StopStream(continueSlot_);
}

bool StageMusic::HasContinueMusicEnded() const {
    SoundManager* s = Sound();
    return s && s->IsStreamReady(continueSlot_) && continueSlot_ != -1 &&
           !s->IsStreamPlaying(continueSlot_);
}
