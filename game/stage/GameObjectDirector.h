// The root object of one stage. The game screen makes it when a stage
// begins, ticks, updates and draws it every frame (only draws while paused)
// and deletes it when the stage ends; every stage object's owner is the
// director and the director's owner is itself.
//
// The director starts the stage's loading, walks its start-up (loading, map
// header, stage start once the music has settled, play), makes the timeline,
// the map, the ship and the start staging, builds each frame's input word
// (live and recorded, or from a replay), runs the collision pass, manages the
// stage, boss, continue and clear music, continues, game over and stage
// clear, the score-attack time limit, and draws the tree into one of two
// 720 by 720 targets with a flash and zoom overlay under the heads-up display.
#pragma once

#include "engine/common/Event.h"
#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"
#include "game/core/SpriteLayer.h"
#include "game/stage/CollisionGroups.h"
#include "game/stage/ResultTally.h"
#include "game/stage/StageHud.h"
#include "game/stage/StageMusic.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Graphics {
class RenderTargetTexture;
class Texture;
} // namespace Mireku::Graphics
namespace Mireku::Renderer {
class SpriteRenderer;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}
class BGParts;
class GameObjectTimeline;
class Player;
class StageResources;
struct PlayerWork;
struct StagePath;

class GameObjectDirector : public GameObject {
public:
    enum State : uint32_t { kLoading = 0, kMapHeader = 1, kStageStart = 2, kPlay = 3 };
    static constexpr uint32_t kStateCount = 4;
    static constexpr uint32_t kTargetCapacity = 300;
    static constexpr int32_t kTargetSize = 720;
    // Frames of play a score attack lasts: the short mode and the others.
    static constexpr uint32_t kShortScoreAttackFrames = 7200;
    static constexpr uint32_t kScoreAttackFrames = 18000;
    static constexpr int16_t kSubWeaponDisplayFrames = 30;
    static constexpr uint32_t kSubWeapons = 5;

    GameObjectDirector();
    // Stops recording (unless in story mode), waits for the loader to leave
    // state 0, deletes the background holder, releases the stage resources,
    // the targets and the music, then deletes the tree in list order.
    ~GameObjectDirector() override;

    // True while the destructor deletes the tree. Children go in list order,
    // so an object made after another may outlive it by a moment: a
    // destructor that would write into another stage object (a live count on
    // the Player, a back pointer) must skip that write while this is true.
    // PlayerLiveCount wraps the rule for the Player's live-object counters.
    bool IsTearingDown() const { return tearingDown_ != 0; }

    // The collision pass on last frame's registrations.
    void PreUpdate() override;
    // The state of the start-up, then the update counter.
    void Update() override;
    // The tree into this frame's target, the flash overlay, the heads-up display.
    void DrawTree() override;

    // The stage loader task (runs inside the constructor while the file
    // loader is synchronous); moves the director to state 1 as its last act.
    void LoadStage(Mireku::Resource::ChildResourceLoader& loader, const void* parameter);

    // --- Services to stage objects. ---
    void RegisterCollision(uint32_t group, GameObject* object) {
        collisions_.Register(group, object);
    }
    void EnterContinue();
    void GameOver();
    void Continue();
    void StageClear(bool playJingle);
    void PlayBoss3Bgm() { music_.PlayThirdBoss(); }
    void StartBgmFade(float frames) { music_.StartFade(frames); }
    void SelectNextSubWeapon();
    void CollectPowerUp(GameObject* item, bool force);
    void DropPowerUpItem(const Mireku::Common::Vector2& position);
    void AddBarionGauge(PlayerWork& player, int32_t amount);
    // The first shield step k (1, 2, ...) of a gauge of `maximum` at `percent`
    // per step that a gain from `before` to `after` passes; 0 for none, and
    // for a step of 0% or less, or of 100% or more.
    static int32_t PassedShieldStep(int32_t before, int32_t after, int32_t maximum,
                                    int32_t percent);
    void ClearEnemyShots();
    // Up to `n` targets among the live enemies, repeating them in turn; 0
    // when there is none, else n.
    int32_t PickTargets(GameObject** out, int32_t n);
    void StartResultTally(bool highRate);
    bool IsTallyOver() const { return tally_.IsOver(); }
    void HoldInput() { ++inputHold_; }
    // An unmatched release does not wrap the count into a hold for good.
    void ReleaseInput() {
        if (inputHold_ > 0)
            --inputHold_;
    }
    void SetFlash(const Mireku::Common::Vector2& centre, float target, float zoom);
    void StartShake(int32_t frames, float amplitude, float cycles);
    // The shield-hit indicator of the gauges: shown for 60 drawn frames,
    // shaking the gauges for the first 15.
    void StartShieldHitIndicator();
    Mireku::Common::Vector2 GetPlayerPosition() const;
    // x, y and scale of the ship; false (and nothing written) without one.
    bool GetPlayerPose(float* x, float* y, float* scale) const;
    void SetPlayerPose(float x, float y, float scale);
    // The ship is shown again (the return staging).
    void FlagPlayer();
    static Mireku::Common::Vector2 ToScreen(const Mireku::Common::Vector2& v) {
        return {v.x + 360.0f, v.y};
    }
    static Mireku::Common::Vector2 ToField(const Mireku::Common::Vector2& v) {
        return {v.x - 360.0f, v.y};
    }
    Mireku::Graphics::Texture* GetTexture(int32_t slot) const;
    Mireku::Graphics::Texture* GetEnemyTexture(uint16_t slot) const;
    Mireku::Graphics::Texture* GetBulletTexture(uint16_t slot) const;
    Mireku::Graphics::Texture* GetWarpTexture(uint16_t slot) const;
    Mireku::Graphics::Texture* GetBossTexture(uint16_t slot) const;
    const StagePath* GetPath(uint16_t index) const;
    // The enemy resource index's texture number and path fields (see
    // StageResources); null for none.
    Mireku::Graphics::Texture* GetEnemySheet(int32_t k) const;
    const StagePath* GetEnemyPath(int32_t index) const;
    // The sprite layer and the stage texture of a stage object's sprite;
    // false (nothing to draw) when either is missing.
    bool GetSprite(SpriteLayer layer, int32_t slot, Mireku::Renderer::SpriteRenderer** outLayer,
                   Mireku::Graphics::Texture** outTexture) const;
    // The stage background holder of the stage index (the current background).
    static bool CreateStageBackground(GameObjectDirector* director, uint32_t stage);

    // The horizontal scroll ratio (the ship's x / 344) and a free value of
    // the staging objects.
    void SetScrollRatio(float ratio) { scrollRatio_ = ratio; }
    float GetScrollRatio() const { return scrollRatio_; }
    // Pixels the map has scrolled so far, written each frame by the
    // background; what is fixed to the map is placed by it (MapPlacement).
    void SetMapScroll(float pixels) { mapScroll_ = pixels; }
    float GetMapScroll() const { return mapScroll_; }
    void SetStagingValue(float value) { stagingValue_ = value; }
    float GetStagingValue() const { return stagingValue_; }
    void SetStagingFloat(float value) { stagingFloat_ = value; }
    float GetStagingFloat() const { return stagingFloat_; }
    void SetStagingScale(float scale) { stagingScale_ = scale; }
    float GetStagingScale() const { return stagingScale_; }
    // A secret weapon was just taken: its flag and a counter from 0.
    void SetSecretWeapon(uint8_t flag, int32_t counter) {
        secretWeaponFlag_ = flag;
        secretWeaponCounter_ = counter;
    }
    uint8_t GetSecretWeaponFlag() const { return secretWeaponFlag_; }
    int32_t GetSecretWeaponCounter() const { return secretWeaponCounter_; }

    // --- Inspection. ---
    uint32_t GetState() const { return state_.load(std::memory_order_acquire); }
    uint32_t GetInputWord() const { return inputWord_; }
    uint32_t GetPreviousInputWord() const { return previousInputWord_; }
    uint8_t GetInputHold() const { return inputHold_; }
    uint32_t GetFrameCounter() const { return frameCounter_; }
    uint32_t GetUpdateCounter() const { return updateCounter_; }
    int16_t GetSubWeaponDisplay() const { return subWeaponDisplay_; }
    float GetMapWidth() const { return mapWidth_; }
    float GetMapHeight() const { return mapHeight_; }
    float GetHalfMapWidth() const { return halfMapWidth_; }
    Player* GetPlayer() const { return player_; }
    // The ship the stage flies (the stage start sets the one it made).
    void SetPlayer(Player* player) { player_ = player; }
    GameObjectTimeline* GetTimeline() const { return timeline_; }
    BGParts* GetBGParts() const { return bgParts_; }
    StageResources* GetResources() const { return resources_; }
    const CollisionGroups& GetCollisions() const { return collisions_; }
    CollisionGroups& GetCollisions() { return collisions_; }
    StageMusic& GetMusic() { return music_; }
    const ResultTally& GetTally() const { return tally_; }
    ResultTally& GetTally() { return tally_; }
    StageHud& GetHud() { return hud_; }
    const StageHud& GetHud() const { return hud_; }
    float GetFlash() const { return flash_; }
    float GetFlashTarget() const { return flashTarget_; }
    uint32_t GetTargetIndex() const { return targetIndex_; }
    Mireku::Graphics::RenderTargetTexture* GetTarget(uint32_t index) const {
        return index < 2 ? targets_[index] : nullptr;
    }
    // Frames of play the score attack lasts in the current mode.
    static uint32_t ScoreAttackLength(uint32_t mode);

private:
    using StateFunction = void (GameObjectDirector::*)();
    static const StateFunction kStates[kStateCount];

    void StateLoading() {}
    void StateMapHeader();
    void StateStageStart();
    void StatePlay();
    void BuildInputWord();
    void CheckScoreAttackEnd();
    void DrawFlash();
    // The record once the loader has filled it; null before.
    const StageResources* Loaded() const;

    Mireku::Graphics::RenderTargetTexture* targets_[2] = {};
    uint32_t targetIndex_ = 0;
    GameObjectTimeline* timeline_ = nullptr;
    BGParts* bgParts_ = nullptr;
    Player* player_ = nullptr;
    std::atomic<uint32_t> state_{kLoading};
    int16_t subWeaponDisplay_ = 0;
    float scrollRatio_ = 0.0f;
    float mapScroll_ = 0.0f;
    float stagingValue_ = 0.0f;
    uint32_t inputWord_ = 0;
    uint32_t previousInputWord_ = 0;
    uint8_t inputHold_ = 0;
    uint32_t frameCounter_ = 0;
    float stagingFloat_ = 0.0f;
    float stagingScale_ = 1.0f;
    uint8_t secretWeaponFlag_ = 0;
    int32_t secretWeaponCounter_ = 0;
    float flash_ = 0.0f;
    float flashTarget_ = 0.0f;
    float zoom_ = 0.0f;
    Mireku::Common::Vector2 zoomCentre_;
    float mapWidth_ = 0.0f;
    float mapHeight_ = 0.0f;
    float halfMapWidth_ = 0.0f;
    float halfMapHeight_ = 0.0f;
    StageResources* resources_ = nullptr;
    CollisionGroups collisions_;
    GameObject** targetBuffer_ = nullptr;
    StageMusic music_;
    uint32_t updateCounter_ = 0;
    ResultTally tally_;
    StageHud hud_;
    // Set by the loader task as its last act; the destructor waits on it.
    Mireku::Common::Event loaded_{true};
    uint8_t tearingDown_ = 0;
};
