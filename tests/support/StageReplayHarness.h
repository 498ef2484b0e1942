// The replay hash harness: starts the game's singletons headless, drives a
// stage director for a mode and stage as the game screen does (tick and
// update unless paused, always draw) and hashes every frame of play from the
// first one in state 3 (before it the stage waits for its music, which the
// harness waits for in time, not in frames). A frame's hash covers the
// player record, the game state, the play random stream, the director's
// input words, hold, frame counter and map scroll, and the kind, group,
// position, hit shape and vanish countdown of every object of a kind other
// than 0, in tree order, with what StageHashers.h adds of each.
//
// With an arena fill in force (ArenaFillSupport.h) the harnesses of a program
// take its two patterns in turn, one per run, so that two runs a test
// compares see different contents in every block they did not write: state
// read before it is written shows as runs that disagree.
#pragma once

#include "engine/peripheral/InputDevice.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/GameState.h"
#include "game/core/InputManager.h"
#include "game/core/ReplayStream.h"
#include "game/core/SoundManager.h"
#include "game/stage/StageFiles.h"
#include "support/ArenaFillSupport.h"
#include "support/NullSound.h"
#include "support/StageHashers.h"
#include "support/StageRig.h"
#include "sys/thread.h"
#include "sys/window.h"

#include <cstring>
#include <optional>
#include <vector>

namespace stage_replay {

inline void HashObjects(Hasher& h, GameObject& parent) {
    for (GameObject* o = parent.GetFirstChild(); o; o = o->GetNextSibling()) {
        if (o->GetKind() != GameObject::kKindNone) {
            const HitShape& s = *o->GetHitShape();
            h.Values(o->GetKind(), o->GetCollisionGroup(), *o->GetPosition(), s.kind, s.data,
                     s.minX, s.minY, s.maxX, s.maxY, o->GetVanishCountdown());
            HashPlayerSide(h, *o);
            HashEnemySide(h, *o);
        }
        HashObjects(h, *o);
    }
}

// The stage starts once its music has loaded or failed on the loader's
// thread. A run waits for that in time (up to ten seconds) before the frame
// that starts the stage, rather than in frames, so that which frame of a run
// is its first of play does not depend on the thread.
inline void WaitForStageMusic(GameObjectDirector& director) {
    if (director.GetState() != GameObjectDirector::kStageStart)
        return;
    for (int i = 0; i < 10000 && !director.GetMusic().IsStageMusicSettled(); ++i)
        sys::SleepMilliseconds(1);
}

inline uint64_t HashFrame(GameObjectDirector& director) {
    const GlobalWork& gw = *GlobalWork::GetInstance();
    Hasher h;
    const Mireku::Common::Random& play = RandomManager::GetInstance()->Stream(RandomManager::kPlay);
    h.Values(gw.player, gw.gameState, play.x, play.y, play.z, play.w, director.GetInputWord(),
             director.GetPreviousInputWord(), director.GetInputHold(), director.GetFrameCounter(),
             director.GetMapScroll(), director.GetScrollRatio());
    HashObjects(h, director);
    HashBossGauge(h);
    return h.Get();
}

class StageHarness {
public:
    struct Options {
        uint32_t mode = 1;
        uint32_t stage = 0;
        uint32_t gameType = 0;
        uint32_t stream0Seed = 1;
        bool liveInput = false; // the engine's input device and the input manager
        // Every enemy path a still point for two minutes and no emitter in
        // any enemy row: the ordinary enemies stand where they appear and
        // hold their fire (for flights scripted around them).
        bool standingEnemies = false;
    };

    StageHarness() = default;
    StageHarness(const StageHarness&) = delete;
    StageHarness& operator=(const StageHarness&) = delete;
    ~StageHarness() { Stop(); }

    bool Start(const Options& options) {
        options_ = options;
        fill_.emplace(arena_fill::NextRunPattern());
        if (!world_.Start())
            return false;
        world_.random->Stream(RandomManager::kPresentation).Seed(options.stream0Seed);
        // The stage's map from the sample data; no music, so every track
        // fails to load on the loader's own thread.
        world_.Write(SampleData::StageMapPath(options.stage),
                     stage_test::SampleStageMap(options.stage));
        // And its enemies' paths: without them every enemy goes at once.
        for (int i = 0; i < 4; ++i)
            world_.Write(std::string(StageFiles::kPathFolder) + "/" +
                             SampleData::kSamplePathNames[i] + ".path",
                         options.standingEnemies ? std::vector<uint8_t>(120000 * 8, 0)
                                                 : SampleData::SamplePathFile(i));
        loader_ = Mireku::Resource::ResourceLoader::CreateInstance();
        loader_->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader_->AddRootFolder(world_.scratch.Root().c_str());
        if (!loader_->Initialize({}))
            return false;
        sound_ = SoundManager::CreateInstance();
        sound_->Initialize();
        if (options.liveInput) {
            auto* device = Mireku::Peripheral::InputDevice::CreateInstance();
            device->Initialize(sys::MainWindowHandle());
            InputManager::CreateInstance()->BindFromConfig();
        }
        GlobalWork& gw = *world_.gw;
        gw.BeginGame(options.gameType);
        gw.mode = options.mode;
        gw.stage = options.stage;
        gw.player.ship = 0;
        gw.ResetPlayerWork();
        gw.subWeaponUnlocked = 1;
        if (options.standingEnemies)
            for (TableBlob& table : gw.tables.enemy)
                for (uint32_t r = 0; r < table.Count<EnemyRecord>(); ++r)
                    table.MutableAt<EnemyRecord>(r)->grid = {};
        return true;
    }

    // A stage played live (recorded) or from a recording.
    bool BeginLive() { return Begin(); }
    bool BeginPlayback(const std::vector<uint8_t>& recording) {
        GlobalWork& gw = *world_.gw;
        if (!gw.StartReplayPlayback(recording.data(), static_cast<uint32_t>(recording.size())))
            return false;
        gw.gameType = options_.gameType;
        return Begin();
    }

    // One frame as the game runs it; paused frames only draw.
    void Frame() {
        if (director_)
            WaitForStageMusic(*director_);
        world_.BeginFrame();
        if (InputManager* input = InputManager::GetInstance()) {
            Mireku::Peripheral::InputDevice::GetInstance()->Update();
            input->Update();
        }
        sound_->Update();
        if (!paused_) {
            director_->TickTree();
            director_->UpdateTree();
        }
        director_->DrawTree();
        world_.EndFrame();
        if (paused_ || director_->GetState() != GameObjectDirector::kPlay)
            return;
        hashes.push_back(HashFrame(*director_));
    }
    // The game screen's pause: the game state says so, the tree only draws.
    void SetPaused(bool on) {
        paused_ = on;
        world_.gw->gameState = on ? GameState::kPaused : GameState::kPlaying;
    }

    // The words recorded so far, with their header.
    std::vector<uint8_t> Recording() const {
        const GlobalWork& gw = *world_.gw;
        if (!gw.replayBuffer)
            return {};
        return std::vector<uint8_t>(gw.replayBuffer, gw.replayBuffer + gw.replayPosition);
    }

    void End() {
        delete director_;
        director_ = nullptr;
    }
    void Stop() {
        End();
        if (InputManager::GetInstance()) {
            InputManager::DestroyInstance();
            Mireku::Peripheral::InputDevice::GetInstance()->Finalize();
            Mireku::Peripheral::InputDevice::DestroyInstance();
        }
        if (sound_) {
            sound_->Finalize();
            SoundManager::DestroyInstance();
            sound_ = nullptr;
        }
        if (loader_) {
            loader_->Finalize();
            Mireku::Resource::ResourceLoader::DestroyInstance();
            loader_ = nullptr;
        }
        world_.Stop();
        fill_.reset();
    }

    GameObjectDirector* Director() const { return director_; }
    stage_test::StageWorld& World() { return world_; }

    std::vector<uint64_t> hashes;

private:
    bool Begin() {
        hashes.clear();
        director_ = world_.NewDirector();
        return director_ != nullptr;
    }

    Options options_;
    std::optional<arena_fill::Scoped> fill_;
    stage_test::StageWorld world_;
    soundtest::NullSoundDriver sound_driver_;
    Mireku::Resource::ResourceLoader* loader_ = nullptr;
    SoundManager* sound_ = nullptr;
    GameObjectDirector* director_ = nullptr;
    bool paused_ = false;
};

} // namespace stage_replay
