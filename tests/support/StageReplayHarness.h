// The replay hash harness: starts the game's singletons headless, drives a
// stage director for a mode and stage as the game screen does (tick and
// update unless paused, always draw) and hashes every frame of play from the
// first one in state 3 (before it the stage waits for its music, which the
// harness waits for in time, not in frames). A frame's hash covers the
// player record, the game state, the play random stream, the director's
// input words, hold and frame counter, and the kind, group, position, hit
// shape and vanish countdown of every object of a kind other than 0, in tree
// order; of the ship also its own fields (pointers aside), of each main shot
// its slot and attack. Objects and systems added later hash their own state
// through ObjectHashers() and FrameHashers().
#pragma once

#include "engine/peripheral/InputDevice.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/GameState.h"
#include "game/core/InputManager.h"
#include "game/core/ReplayStream.h"
#include "game/core/SoundManager.h"
#include "game/player/Player.h"
#include "game/player/PlayerShot.h"
#include "game/stage/StageFiles.h"
#include "support/EnemyHashers.h"
#include "support/NullSound.h"
#include "support/StageTestSupport.h"
#include "sys/thread.h"
#include "sys/window.h"

#include <cstring>
#include <vector>

namespace stage_replay {

// FNV-1a over 64 bits.
class Hasher {
public:
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            hash_ = (hash_ ^ p[i]) * 1099511628211ull;
    }
    template <class T> void Value(const T& v) { Bytes(&v, sizeof v); }
    uint64_t Get() const { return hash_; }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

using ObjectHasher = void (*)(Hasher& hasher, GameObject& object);
using FrameHasher = void (*)(Hasher& hasher, GameObjectDirector& director);
// What objects and systems added later hash for every object and every frame.
inline std::vector<ObjectHasher>& ObjectHashers() {
    static std::vector<ObjectHasher> hashers;
    return hashers;
}
inline std::vector<FrameHasher>& FrameHashers() {
    static std::vector<FrameHasher> hashers;
    return hashers;
}

// An object hasher installed for a scope: gone again however the scope is
// left (a failed assertion returns from the test early), so that it cannot
// leak into the hashes of the tests that run after.
class ScopedObjectHasher {
public:
    explicit ScopedObjectHasher(ObjectHasher hasher) : hasher_(hasher) {
        ObjectHashers().push_back(hasher);
    }
    ~ScopedObjectHasher() {
        std::vector<ObjectHasher>& all = ObjectHashers();
        for (auto it = all.end(); it != all.begin();)
            if (*--it == hasher_) {
                all.erase(it);
                break;
            }
    }
    ScopedObjectHasher(const ScopedObjectHasher&) = delete;
    ScopedObjectHasher& operator=(const ScopedObjectHasher&) = delete;

private:
    ObjectHasher hasher_;
};

// The ship's own state, its pointers (the Grabuster, the shield) aside.
inline void HashPlayer(Hasher& h, const Player& p) {
    h.Value(p.visible);
    h.Value(p.aimLatch);
    h.Value(p.playerIndex);
    h.Value(p.shotFrame);
    h.Value(p.subCooldown);
    h.Value(p.cycle);
    h.Value(p.shotCount);
    h.Value(p.subCount);
    h.Value(p.laserCount);
    h.Value(p.laserCooldown);
    h.Value(p.state);
    h.Value(p.grabPhase);
    h.Value(p.grabStep);
    h.Value(p.grabTick);
    h.Value(p.shieldCooldown);
    h.Value(p.bank);
    h.Value(p.grabFramesLeft);
    h.Value(p.grabLastBeep);
    h.Value(p.moveDir);
    h.Value(p.slowFrames);
    h.Value(p.GetScale());
}

inline void HashObjects(Hasher& h, GameObject& parent) {
    for (GameObject* o = parent.GetFirstChild(); o; o = o->GetNextSibling()) {
        if (o->GetKind() != GameObject::kKindNone) {
            h.Value(o->GetKind());
            h.Value(o->GetCollisionGroup());
            h.Value(*o->GetPosition());
            const HitShape& s = *o->GetHitShape();
            h.Value(s.kind);
            h.Value(s.data);
            h.Value(s.minX);
            h.Value(s.minY);
            h.Value(s.maxX);
            h.Value(s.maxY);
            h.Value(o->GetVanishCountdown());
            if (const auto* ship = dynamic_cast<const Player*>(o))
                HashPlayer(h, *ship);
            if (const auto* shot = dynamic_cast<const PlayerShot*>(o)) {
                h.Value(shot->GetSlot());
                h.Value(shot->GetAttack());
            }
            for (ObjectHasher extra : ObjectHashers())
                extra(h, *o);
            HashEnemyObject(h, *o);
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
    h.Value(gw.player);
    h.Value(gw.gameState);
    const Mireku::Common::Random& play = RandomManager::GetInstance()->Stream(RandomManager::kPlay);
    h.Value(play.x);
    h.Value(play.y);
    h.Value(play.z);
    h.Value(play.w);
    h.Value(director.GetInputWord());
    h.Value(director.GetPreviousInputWord());
    h.Value(director.GetInputHold());
    h.Value(director.GetFrameCounter());
    HashObjects(h, director);
    HashBossGauge(h);
    for (FrameHasher extra : FrameHashers())
        extra(h, director);
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
        if (!world_.Start())
            return false;
        world_.random->Stream(RandomManager::kPresentation).Seed(options.stream0Seed);
        // The stage's map from the sample data; no music, so every track
        // fails to load on the loader's own thread.
        world_.Write(SampleData::StageMapPath(options.stage),
                     SampleData::BuildStageMap(options.stage));
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
    stage_test::StageWorld world_;
    soundtest::NullSoundDriver sound_driver_;
    Mireku::Resource::ResourceLoader* loader_ = nullptr;
    SoundManager* sound_ = nullptr;
    GameObjectDirector* director_ = nullptr;
    bool paused_ = false;
};

} // namespace stage_replay
