#include "game/enemy/small/EnemyS005.h"

#include "game/core/GlobalWork.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/small/SmallEnemyRules.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kDownRight = kPi / 4.0f;
constexpr float kDownLeft = 3.0f * kPi / 4.0f;
constexpr float kUpLeft = 5.0f * kPi / 4.0f;
constexpr float kUpRight = 7.0f * kPi / 4.0f;
constexpr float kEdge = 360.0f;

bool TearingDown(const GameObject& object) {
    const GameObjectDirector* director = object.GetOwner();
    return director && director->IsTearingDown();
}

} // namespace

// --- The group. ---

EnemyS005::EnemyS005(GameObjectDirector* owner, const TimelineEntry* entry)
    : EnemyGenerator(owner, entry) {
    // Members enter at the side away from the player.
    const float playerX = owner ? owner->GetPlayerPosition().x : 0.0f;
    spawnPoint_ = {playerX >= 0.0f ? -kEdge : kEdge, static_cast<float>(entry->y)};
    const GlobalWork* gw = GlobalWork::GetInstance();
    const EnemyRecord* row = gw ? gw->tables.EnemyRow(gw->mode, gw->stage, kType) : nullptr;
    chargeThreshold_ = row ? row->moveParams[1] : 0;
}

EnemyS005::~EnemyS005() {
    // While the stage tears down, the members may already be gone.
    if (TearingDown(*this))
        return;
    for (EnemyS005_Member* m = first_; m;) {
        EnemyS005_Member* next = m->next_;
        m->Vanish();
        m->group_ = nullptr;
        m->prev_ = m->next_ = nullptr;
        m = next;
    }
}

void EnemyS005::Append(EnemyS005_Member* member) {
    member->prev_ = last_;
    member->next_ = nullptr;
    if (last_)
        last_->next_ = member;
    else
        first_ = member;
    last_ = member;
    ++memberCount_;
}

void EnemyS005::Remove(EnemyS005_Member* member) {
    if (member->prev_)
        member->prev_->next_ = member->next_;
    else
        first_ = member->next_;
    if (member->next_)
        member->next_->prev_ = member->prev_;
    else
        last_ = member->prev_;
    member->prev_ = member->next_ = nullptr;
    --memberCount_;
}

void EnemyS005::Spawn() {
    if (spawned_ >= entry_->count)
        return;
    ++spawned_;
    // A spawn counts even when the pool has no block for its member.
    GameObjectDirector* director = GetOwner();
    if (auto* member = GameObject::Create<EnemyS005_Member>(director, director, spawnPoint_, this))
        Append(member);
}

void EnemyS005::Update() {
    if (static_cast<int32_t>(spawned_) == entry_->count) {
        if (memberCount_ == 0)
            Vanish();
        else if (memberCount_ < chargeThreshold_)
            for (EnemyS005_Member* m = first_; m; m = m->next_)
                m->Charge();
    }
    if (++frameCounter_ == entry_->interval) {
        frameCounter_ = 0;
        Spawn();
    }
}

// --- A member. ---

EnemyS005::EnemyS005_Member::EnemyS005_Member(GameObjectDirector* owner,
                                              const Mireku::Common::Vector2& spawn,
                                              EnemyS005* group)
    : EnemyDefault(owner, kType, spawn), group_(group) {
    const bool fromLeft = spawn_.x <= 0.0f;
    heading_ = fromLeft ? kDownRight : kDownLeft;
    state_ = fromLeft ? kFromLeft : kFromRight;
}

EnemyS005::EnemyS005_Member::~EnemyS005_Member() {
    if (!group_ || TearingDown(*this))
        return;
    group_->Remove(this);
    if (escaped_)
        --group_->chargeThreshold_;
}

void EnemyS005::EnemyS005_Member::Move() {
    offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
    SetPositionFromVector(spawn_ + offset_);
    const float x = position_.x, y = position_.y;
    if (state_ == kFromLeft && heading_ == kDownRight) {
        if (y >= kFieldBottom)
            heading_ = kUpRight;
        else if (x >= kEdge)
            heading_ = kDownLeft;
        return;
    }
    if (state_ == kFromRight && heading_ == kDownLeft) {
        if (y >= kFieldBottom)
            heading_ = kUpLeft;
        else if (x <= -kEdge)
            heading_ = kDownRight;
        return;
    }
    if (state_ == kCharge) {
        // A charge that misses leaves the field and goes, not counted as
        // escaped; else it would hold its block to the stage's end.
        if (SmallEnemyRules::OffField(x, y))
            GameObject::Vanish();
        return;
    }
    if (x <= -kEdge || x >= kEdge || y <= 0.0f || y >= kFieldBottom) {
        GameObject::Vanish();
        escaped_ = 1;
    }
}

void EnemyS005::EnemyS005_Member::Charge() {
    if (state_ == kCharge)
        return;
    SetSpeed(row_ ? row_->moveParams[2] : 0);
    state_ = kCharge;
    heading_ = GetAngleToPlayer();
}

void EnemyS005::EnemyS005_Member::Draw() {
    const uint32_t frame = state_ == kCharge ? 1u : 0u;
    DrawTrack(0, frame);
    DrawTrack(1, frame);
}
