// The game-wide state: save locations and images, the running game, the
// player record, the data tables, the sub-weapon unlocks, the rankings and
// the replay buffer. Scenes, the stage director, the player and the enemies
// read and change it directly.
#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "game/core/ConfigBlock.h"
#include "game/core/PlayerWork.h"
#include "game/core/ProgressBlock.h"
#include "game/core/ReplayStream.h"
#include "game/core/ScoreBlock.h"
#include "game/core/tables/GameTables.h"

#include <cstdint>
#include <cstring>

namespace Mireku::Resource {
class ChildResourceLoader;
}

class GlobalWork : public Mireku::Common::SingletonObject,
                   public Mireku::Common::Singleton<GlobalWork> {
public:
    static constexpr uint32_t kNoRankingMode = 11;
    static constexpr uint32_t kDemoCount = 4;

    // Sound seams: the sound manager installs them at start-up; unset they
    // stay silent.
    using VoiceHook = void (*)(int32_t pilot, int32_t voice);
    using SoundHook = void (*)(int32_t id);

    // `documents` overrides the user's documents folder (tests); the save
    // folder "/My Games/Drevanth" below it is created.
    explicit GlobalWork(const char* documents = nullptr);
    ~GlobalWork() override;

    // Per-run defaults, the tables (read at once through the resource
    // loader; none without one), the three save files, a fresh player record.
    void Initialize();
    // The same with the tables from another source.
    void Initialize(TableSource& tables);
    // The load step that reads the tables from the folder "code".
    void LoadTables(Mireku::Resource::ChildResourceLoader& loader, const void* user);
    // Writes the save files, frees the replay buffer and the tables.
    void Finalize();
    bool SaveAll();
    void LoadSaves();

    void BeginGame(uint32_t type);
    void ResetPlayerWork();
    void ResetConfig() { ConfigBlock::Reset(config); }
    void ResetProgress() { ProgressBlock::Reset(progress); }
    void SetProgressFlag() { progress[ProgressBlock::kOffsetProgressFlag] = 1; }
    // The stage screen keeps the progress as it was when it was made; the
    // ending shows a picture for each unlock gained since.
    void TakeProgressSnapshot() { std::memcpy(progressSnapshot, progress, sizeof progress); }

    // Rows of the current player; null when the table or row is missing.
    const ShipParamRow* GetShipParam(int32_t ship) const;
    const ShotParamRow* GetShotParam(int32_t ship, int32_t level) const;
    const SystemParamRow* GetSystemRow() const { return tables.SystemRow(mode); }

    bool IsBarionGaugeFull(const PlayerWork& p) const;
    bool HasBarionStep(const PlayerWork& p) const;
    void SpendBarionGauge(PlayerWork& p, bool keep) const;
    int16_t BarionGaugeMax(const PlayerWork& p) const;
    int16_t BarionStepPercent(const PlayerWork& p) const;
    int16_t HyperioGaugeMax(const PlayerWork& p) const;

    void SetSubWeaponUnlocked(uint32_t n, bool on);
    bool IsSubWeaponUnlocked(uint32_t n) const;
    void SetSceneArgs(uint32_t rankMode, int32_t place) {
        rankingMode = rankMode;
        rankingPlace = place;
    }

    // The place 0-19 the player's score entered in the mode's ranking, or -1
    // (continue used, replay playing, no table for the mode, too low).
    int32_t InsertRanking();
    void RecordClear() { ProgressBlock::RecordClear(progress, player.ship, gameType, mode); }

    void StartReplayRecording();
    void WriteReplayInput(uint32_t word);
    bool ReadReplayInput(uint32_t* word);
    void FreeReplayBuffer();
    // Plays demo 1 + (r & 3) of the loose files "data/replay/demoN.replay".
    bool LoadDemoReplay();
    // Starts playback of a stream already in memory (the demo path's core).
    bool StartReplayPlayback(const uint8_t* data, uint32_t size);

    void PlayVoice(int32_t pilot, int32_t voice) const {
        if (voiceHook)
            voiceHook(pilot, voice);
    }
    void PlaySound(int32_t id) const {
        if (soundHook)
            soundHook(id);
    }

    Mireku::Common::String saveFolder;
    Mireku::Common::String dataPath;
    Mireku::Common::String configPath;
    Mireku::Common::String scorePath;
    // A save that exists but could not be read is left alone at exit rather
    // than replaced by defaults; without a documents folder nothing is saved.
    bool keepData = false;
    bool keepConfig = false;
    bool keepScore = false;
    bool savesEnabled = true;
    uint32_t stage = 0;
    uint32_t shipTableVariant = 0;
    uint32_t gameType = 0;
    uint32_t gameState = 0; // 0 playing, 1 paused, 2 continue, 3 game over, 4 cleared, 7 time up
    uint32_t mode = 1;
    uint8_t progress[ProgressBlock::kSize] = {};
    uint8_t progressSnapshot[ProgressBlock::kSize] = {};
    uint8_t config[ConfigBlock::kSize] = {};
    uint8_t score[ScoreBlock::kSize] = {};
    PlayerWork player = {};
    GameTables tables;
    uint32_t subWeaponUnlocked = 0;
    uint32_t rankingMode = kNoRankingMode;
    int32_t rankingPlace = -1;
    int32_t sceneWord = -1;
    uint8_t storyMode = 0;
    uint8_t storyFlag2 = 0;
    uint8_t storyPending = 0;
    uint32_t storyRequest = 0;
    // Set by staging objects while the stage's objects must stand still; a
    // story over the stage then only ticks and draws them.
    uint8_t stageFreeze = 0;
    // Frames the game screen waits at the end of a stage before it moves on;
    // the stage-clear staging sets it with the length of its fade.
    int32_t stageEndWait = 0;
    Mireku::Common::String note;
    uint8_t recording = 0;
    uint8_t playing = 0;
    uint8_t* replayBuffer = nullptr;
    uint32_t replayPosition = 0;
    uint32_t replaySize = 0;
    uint32_t hitsTaken = 0;
    uint32_t misses = 0;
    uint32_t hitsTaken2 = 0;
    uint32_t misses2 = 0;
    uint64_t playTime = 0;
    // Frames left to continue; the game screen takes whole seconds off it,
    // so it may drop below 0 on the way to game over.
    int32_t continueCountdown = 0;
    // Set while the title's attract demo runs as a stage; cleared when the
    // player leaves the title with the shot button.
    uint8_t attractDemo = 0;
    // The pilot of the last game started from the pilot select (-1: none
    // yet); the title has that pilot call its name.
    int32_t lastPilot = -1;
    // Set when the player may not continue: the continue countdown goes
    // straight to game over.
    uint8_t continueRefused = 0;

    VoiceHook voiceHook = nullptr;
    SoundHook soundHook = nullptr;

private:
    void BeginInitialize();
    void EndInitialize();
    bool TakeReplayBuffer(uint32_t size);
    // Starts playback of a checked stream in a heap block that becomes the
    // replay buffer.
    void AdoptPlayback(uint8_t* block, uint32_t size, const ReplayStream::Header& header);
};
