// Everything that lives in a stage. Objects form one tree per stage under its
// director: each owns its children (an intrusive list with a tail pointer),
// is ticked, updated and drawn by its parent, and is deleted by its parent a
// few ticks after it asks to vanish. Every object sits in one pool block;
// create them with GameObject::Create so that an exhausted pool, or a parent
// that is going away, simply leaves the object uncreated.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GameObjectAllocatorObject.h"
#include "game/core/HitShape.h"

#include <cstdint>
#include <utility>

class GameObjectDirector;

class GameObject : public GameObjectAllocatorObject {
public:
    static constexpr uint16_t kVanishFrames = 3;
    static constexpr uint32_t kMaxChainLevel = 4;

    enum Kind : uint32_t {
        kKindNone = 0,
        kKindItem = 1,
        kKindPlayer = 2,
        kKindPlayerShot = 3,
        kKindEnemy = 4,
        kKindEnemyShot = 5,
    };

    explicit GameObject(GameObjectDirector* owner);
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Deletes every remaining child; the block then goes back to the pool.
    virtual ~GameObject();
    virtual void PreUpdate() {}
    virtual void Update() {}
    virtual void Draw() {}
    virtual void OnMessage(int32_t) {}
    virtual void OnCollision(GameObject*) {}
    virtual uint32_t GetKind() const { return kKindNone; }
    virtual uint32_t GetCollisionGroup() const { return 0; }
    virtual void TickTree();
    virtual void UpdateTree();
    virtual void DrawTree();
    virtual void MessageTree(int32_t message);
    virtual void SetPositionFromVector(const Mireku::Common::Vector2& v) { SetPosition(v.x, v.y); }
    virtual void SetPosition(float x, float y);
    virtual Mireku::Common::Vector2* GetPosition() { return &position_; }
    virtual Mireku::Common::Vector2* GetScreenPosition() { return &screenPosition_; }
    virtual void SetAngle(float angle) { angle_ = angle; }
    virtual float GetAngle() const { return angle_; }
    virtual void SetScale(float scale) { scale_ = scale; }
    virtual float GetScale() const { return scale_; }
    virtual bool QueryFlag() const { return false; }

    // Creates a T in a pool block and appends it to `parent` (none: the object
    // stays unlinked and the caller owns it). Null when the pool is exhausted,
    // or when the parent is dead or vanishing (the object is then destroyed
    // at once so its block returns).
    template <class T, class... Args> static T* Create(GameObject* parent, Args&&... args) {
        static_assert(sizeof(T) <= GameObjectAllocator::kBlockSize,
                      "a game object must fit a pool block");
        T* object = new T(std::forward<Args>(args)...);
        if (!object || !parent)
            return object;
        if (!parent->IsAcceptingChildren()) {
            delete object;
            return nullptr;
        }
        parent->AddChild(object);
        return object;
    }

    // Appends the child unless it is null or this object is dead or
    // vanishing; returns the child either way.
    GameObject* AddChild(GameObject* child);
    bool IsAcceptingChildren() const { return !dead_ && vanishCountdown_ == 0; }

    void SetHitCircle(float radius);
    void SetHitBox(int16_t offsetX, int16_t offsetY, int16_t width, int16_t height);
    void SetHitSegment(float dx, float dy);
    HitShape* GetHitShape() { return &hitShape_; }
    void SetHitShapeActive(bool on) { hitShapeActive_ = on ? 1 : 0; }
    bool IsHitShapeActive() const { return hitShapeActive_ != 0; }

    // Counts down 3 ticks, then the object is dead; no effect while dead or
    // already counting.
    void Vanish();
    void SetVanishCountdown(uint16_t frames) { vanishCountdown_ = frames; }
    uint16_t GetVanishCountdown() const { return vanishCountdown_; }
    bool IsDead() const { return dead_ != 0; }
    bool IsAlive() const { return !dead_ && vanishCountdown_ == 0; }

    // Chain level min(hits / 10, 4), also kept game-wide for the next
    // Grabuster item.
    void SetChainLevel(uint32_t hits);
    uint32_t GetChainLevel() const { return chainLevel_; }
    uint32_t GetChainScore() const { return ChainScore(chainLevel_); }
    static uint32_t ChainScore(uint32_t level);
    // min(hits / 10, 4).
    static uint32_t ChainLevelOf(uint32_t hits);
    static uint32_t CurrentChainLevel() { return s_currentChainLevel; }
    // The game-wide level as the player's Grabuster hit count gives it, at a
    // stage's start: what the last game left there must not reach a replay.
    static void StartChain(uint32_t hits);

    GameObjectDirector* GetOwner() const { return owner_; }
    GameObject* GetFirstChild() const { return firstChild_; }
    GameObject* GetLastChild() const { return lastChild_; }
    GameObject* GetNextSibling() const { return nextSibling_; }
    GameObject* GetCollisionLink() const { return collisionLink_; }
    void SetCollisionLink(GameObject* next) { collisionLink_ = next; }
    // The collision pass the object last registered for (0: none yet).
    uint32_t GetCollisionPass() const { return collisionPass_; }
    void SetCollisionPass(uint32_t pass) { collisionPass_ = pass; }

    int16_t timer = 0;
    int16_t itemCounter = 0;
    uint8_t shotsToHyperio = 0;
    uint8_t shotsToGrabuster = 0;

protected:
    GameObject* collisionLink_ = nullptr;
    uint32_t collisionPass_ = 0;
    GameObject* nextSibling_ = nullptr;
    GameObject* firstChild_ = nullptr;
    GameObject* lastChild_ = nullptr;
    GameObjectDirector* owner_;
    uint16_t vanishCountdown_ = 0;
    uint8_t dead_ = 0;
    uint32_t chainLevel_ = 0;
    uint8_t hitShapeActive_ = 0;
    HitShape hitShape_;
    Mireku::Common::Vector2 screenPosition_;
    Mireku::Common::Vector2 position_;
    float angle_ = 0.0f;
    float scale_ = 1.0f;

private:
    static inline uint32_t s_currentChainLevel = 0;
};
