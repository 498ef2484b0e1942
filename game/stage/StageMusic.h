// The music of a stage: its own track (looping from stage start), the change
// to the boss track after a fixed time (a fade, a pause, then the boss
// music), the continue music, the stage-clear jingle, and fades asked for by
// boss objects. Works without a sound manager (silent). The track's and the
// jingle's slots are the game-wide ones of StageMusicSlots, where a story
// over the stage finds them.
#pragma once

#include "game/core/StageMusicSlots.h"

#include <cstdint>

class GlobalWork;

class StageMusic {
public:
    static constexpr const char* kFolder = "sound/bgm";
    static constexpr const char* kContinueName = "continue.ogg";
    static constexpr const char* kJingleName = "stage_clear.ogg";
    static constexpr const char* kThirdBossName = "boss3.ogg";
    static constexpr uint32_t kPostFadeWait = 80;

    // When the boss music comes, by stage number within a loop (1-12).
    struct Timing {
        uint32_t countdown;           // frames of play until the change starts counting out
        uint32_t fadeLength;          // frames of the fade
        uint32_t backgroundCountdown; // frames until the background holder is activated
    };
    static Timing TimingFor(uint32_t stageNumber);
    // "boss2.ogg" for the last stage of each three (index % 3 == 2), else "boss1.ogg".
    static const char* BossMusicName(uint32_t stageIndex);
    // The stage's own track: "stageNN.ogg" by stage number, or the score
    // attack's by mode.
    static void StageMusicName(const GlobalWork& work, char* out, uint32_t size);

    StageMusic() = default;
    // Releases every stream it holds.
    ~StageMusic();
    StageMusic(const StageMusic&) = delete;
    StageMusic& operator=(const StageMusic&) = delete;

    // Opens the stage track and the continue music and sets the timing.
    void Open(const GlobalWork& work);
    // The stage track has loaded, failed or was never opened.
    bool IsStageMusicSettled() const;
    // Loops the stage track (stage start, unless in story mode).
    void StartStageMusic();
    // One frame of play: the boss change while armed, a running fade, a
    // pending start of a newly opened track.
    void Update();
    // The background countdown of one frame; true on the frame it reaches 0.
    bool TickBackgroundCountdown();

    void StartFade(float frames);
    // Stops and releases the stage track and opens "boss3.ogg" in its place,
    // to start as soon as it has loaded.
    void PlayThirdBoss();
    // Stops and releases the stage track and plays the clear jingle once.
    void PlayJingle();
    void StopStageMusic();
    // The stage track again, once, after a continue.
    void ReplayStageMusic();
    void PlayContinueMusic();
    void StopContinueMusic();
    // At game over: the continue music has played to its end.
    bool HasContinueMusicEnded() const;

    // Inspection.
    int32_t GetStageSlot() const { return StageMusicSlots::stageTrack; }
    int32_t GetContinueSlot() const { return continueSlot_; }
    int32_t GetJingleSlot() const { return StageMusicSlots::clearJingle; }
    uint32_t GetBossCountdown() const { return bossCountdown_; }
    uint32_t GetFadeLength() const { return fadeLength_; }
    uint32_t GetBackgroundCountdown() const { return backgroundCountdown_; }
    uint32_t GetPostFadeWait() const { return postFadeWait_; }
    float GetVolume() const { return volume_; }
    float GetFadeStep() const { return fadeStep_; }
    bool IsFading() const { return fading_ != 0; }
    bool IsBossChangeArmed() const { return bossChangeArmed_ != 0; }
    bool IsPlayPending() const { return playPending_ != 0; }
    // The track last opened into the stage slot.
    const char* GetStageMusicName() const { return stageName_; }

private:
    void OpenStage(const char* name);
    void ReleaseStage();
    void Play(int32_t slot, bool loop);

    int32_t continueSlot_ = -1;
    int32_t secondSlot_ = -1; // never opened; kept released with the others
    uint32_t bossCountdown_ = 0;
    float volume_ = 1.0f;
    float fadeStep_ = 0.0f;
    uint8_t playPending_ = 0;
    uint8_t fading_ = 0;
    uint8_t bossChangeArmed_ = 0;
    uint32_t postFadeWait_ = kPostFadeWait;
    uint32_t fadeLength_ = 0;
    uint32_t backgroundCountdown_ = 0;
    char stageName_[32] = {};
};
