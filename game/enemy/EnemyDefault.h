// The ordinary stage enemy, made by the factory for every type number that
// no special class takes, and the base of the enemy families. Its row of the
// stage's enemy table (row = type) and the enemy resource index describe it
// fully: it follows a recorded path (an override path while that lasts, then
// the base path from the same path time), plays a two-track animation,
// turns as its row asks, fires through its emitter grid, registers its box
// every frame, and when destroyed pays its rewards by the weapon family that
// made the kill and leaves an explosion behind.
//
// The object's position is always spawn + offset. Subclasses replace the
// steps below (Move, Rotate, Animate, the sounds and Vanish) and keep the
// order of Update.
#pragma once

#include "engine/common/Vector2.h"
#include "game/enemy/common/EnemyBase.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
struct StagePath;
struct TexelRect;

class EnemyDefault : public EnemyBase {
public:
    static constexpr uint32_t kTracks = 2;
    static constexpr uint32_t kFrames = 8;
    static constexpr int32_t kHitSound = 60;
    static constexpr int32_t kFirstDeathSound = 43; // 43-46
    // Types that burst in a middle explosion, and the large ones that burst
    // big under shots and sub weapons.
    static constexpr int32_t kFirstMiddleType = 79;
    static constexpr int32_t kLastMiddleType = 170;
    static constexpr int32_t kFirstLargeType = 295;
    static constexpr int32_t kLastLargeType = 302;

    // The row of `type`; when the row may be mirrored and the ship is right
    // of centre, the spawn x (and later every path x) is negated.
    EnemyDefault(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    // Emitters, Animate, Move, the hit box and its registration, Rotate.
    void Update() override;
    // Track 0 on "Enemy_Blend", track 1 on "Enemy_Add".
    void Draw() override;
    // Player weapons add their attack; at the row's health the enemy dies and
    // pays by the weapon family.
    void OnCollision(GameObject* other) override;
    uint32_t GetCollisionGroup() const override { return 6; }

    // Path following (subclasses: their own motion).
    virtual void Move();
    // Faces the player, its motion or spins, as the row asks.
    virtual void Rotate();
    // Both tracks one frame on.
    virtual void Animate();
    virtual void PlayDeathSound();
    virtual void PlayHitSound();
    // The kill's vanish: the 3-frame countdown (a subclass may rather play
    // its death frames first).
    virtual void Vanish() { GameObject::Vanish(); }

    // The path's point at the current path time added to `sum`; false when
    // the type has no such path, else whether the path still runs.
    bool SampleBasePath(Mireku::Common::Vector2& sum) const;
    bool SampleOverridePath(Mireku::Common::Vector2& sum) const;
    // Path sampling at time t (ms): below 0 the first point, between points
    // linear, from the last point on the last one.
    static Mireku::Common::Vector2 PathPoint(const StagePath& path, float t);
    // A path runs while trunc(t) <= its point count.
    static bool PathRuns(const StagePath& path, float t);
    // `angle` brought into (-pi, pi] by a remainder of 2 pi.
    static float WrapAngle(float angle);

    int32_t GetType() const { return static_cast<int32_t>(rowNumber_); }
    uint16_t GetDamage() const { return damage_; }
    bool IsMirrored() const { return mirrored_ != 0; }
    float GetPathPosition() const { return pathPosition_; }
    const Mireku::Common::Vector2& GetSpawn() const { return spawn_; }
    const Mireku::Common::Vector2& GetOffset() const { return offset_; }
    const Mireku::Common::Vector2& GetPrevious() const { return previous_; }
    uint8_t GetFrame(uint32_t track) const { return track < kTracks ? frame_[track] : 0; }
    uint8_t GetFrameCounter(uint32_t track) const {
        return track < kTracks ? frameCounter_[track] : 0;
    }
    bool AreEmittersEnabled() const { return emittersEnabled_ != 0; }
    void SetEmittersEnabled(bool on) { emittersEnabled_ = on ? 1 : 0; }
    // The type's texture (enemy, bullet or warp sheet); null for none.
    Mireku::Graphics::Texture* GetSheet() const;

protected:
    // One track's frame rectangle; frames past the eight read as empty.
    const TexelRect& FrameRect(uint32_t track, uint32_t frame) const;
    // Advances one track: counter + 1; at the frame's length the next frame,
    // back to 0 after the last or at an empty rectangle (wrap 0: never back,
    // the track stops after its last frame; `mask` != 0: frame AND mask).
    void StepTrack(uint32_t track, bool wrap, uint8_t mask);
    // One track's frame as a w x h quad centred on the screen position,
    // turned by the angle and scaled by the scale.
    void DrawTrack(uint32_t track, uint32_t frame) const;
    // The kill's score, sound, explosion and reward by the weapon family.
    void Reward(GameObject* killer);
    // Width and height of frame 0 of track 0 (x2 - x1, y2 - y1).
    int32_t BodyWidth() const;
    int32_t BodyHeight() const;
    // Speed of a row percentage: p x 0.02 x 8, 8.0 when that is not positive.
    static float SpeedOf(int32_t percent);

    Mireku::Common::Vector2 previous_;
    Mireku::Common::Vector2 spawn_;
    Mireku::Common::Vector2 offset_;
    uint8_t frame_[kTracks] = {};
    uint8_t frameCounter_[kTracks] = {};
    uint16_t damage_ = 0;
    float pathPosition_ = 0.0f;
    uint8_t mirrored_ = 0;
    uint8_t emittersEnabled_ = 1;

private:
    bool SamplePath(int32_t index, Mireku::Common::Vector2& sum) const;
};
