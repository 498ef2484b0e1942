#include "game/core/GameObject.h"

namespace {

constexpr float kFieldHalfWidth = 360.0f;

} // namespace

GameObject::GameObject(GameObjectDirector* owner) : owner_(owner) {
    SetPosition(0.0f, 0.0f);
}

GameObject::~GameObject() {
    GameObject* child = firstChild_;
    firstChild_ = lastChild_ = nullptr;
    while (child) {
        GameObject* next = child->nextSibling_;
        delete child;
        child = next;
    }
}

GameObject* GameObject::AddChild(GameObject* child) {
    if (!child || !IsAcceptingChildren())
        return child;
    child->nextSibling_ = nullptr;
    if (lastChild_)
        lastChild_->nextSibling_ = child;
    else
        firstChild_ = child;
    lastChild_ = child;
    return child;
}

void GameObject::TickTree() {
    if (!dead_ && vanishCountdown_ == 0)
        PreUpdate();
    if (vanishCountdown_ != 0 && --vanishCountdown_ == 0)
        dead_ = 1;
    GameObject* prev = nullptr;
    GameObject* child = firstChild_;
    while (child) {
        child->TickTree();
        GameObject* next = child->nextSibling_;
        if (child->dead_ && !child->firstChild_) {
            if (prev)
                prev->nextSibling_ = next;
            else
                firstChild_ = next;
            if (lastChild_ == child)
                lastChild_ = prev;
            delete child;
        } else {
            prev = child;
        }
        child = next;
    }
}

void GameObject::UpdateTree() {
    if (!dead_ && vanishCountdown_ == 0) {
        if (timer > 0)
            --timer;
        Update();
    }
    // Children appended during the pass are updated in the same pass.
    for (GameObject* child = firstChild_; child; child = child->nextSibling_)
        child->UpdateTree();
}

void GameObject::DrawTree() {
    if (!dead_ && vanishCountdown_ == 0)
        Draw();
    for (GameObject* child = firstChild_; child; child = child->nextSibling_)
        child->DrawTree();
}

void GameObject::MessageTree(int32_t message) {
    if (!dead_ && vanishCountdown_ == 0)
        OnMessage(message);
    for (GameObject* child = firstChild_; child; child = child->nextSibling_)
        child->MessageTree(message);
}

void GameObject::SetPosition(float x, float y) {
    position_ = {x, y};
    screenPosition_ = {x + kFieldHalfWidth, y};
}

void GameObject::SetHitCircle(float radius) {
    const float cx = screenPosition_.x, cy = screenPosition_.y;
    hitShape_.kind = HitShape::kCircle;
    hitShape_.data[0] = cx;
    hitShape_.data[1] = cy;
    hitShape_.data[2] = radius;
    hitShape_.minX = cx - radius;
    hitShape_.minY = cy - radius;
    hitShape_.maxX = cx + radius;
    hitShape_.maxY = cy + radius;
}

void GameObject::SetHitBox(int16_t offsetX, int16_t offsetY, int16_t width, int16_t height) {
    const float left = screenPosition_.x + static_cast<float>(offsetX - (width >> 1));
    const float top = screenPosition_.y + static_cast<float>(offsetY - (height >> 1));
    const float right = left + static_cast<float>(width);
    const float bottom = top + static_cast<float>(height);
    // A negative size from a table still gives the smaller corner first.
    hitShape_.kind = HitShape::kBox;
    hitShape_.minX = left < right ? left : right;
    hitShape_.minY = top < bottom ? top : bottom;
    hitShape_.maxX = left < right ? right : left;
    hitShape_.maxY = top < bottom ? bottom : top;
}

void GameObject::SetHitSegment(float dx, float dy) {
    const float x1 = screenPosition_.x, y1 = screenPosition_.y;
    const float x2 = x1 + dx, y2 = y1 + dy;
    hitShape_.kind = HitShape::kSegment;
    hitShape_.data[0] = x1;
    hitShape_.data[1] = y1;
    hitShape_.data[2] = x2;
    hitShape_.data[3] = y2;
    hitShape_.minX = x1 < x2 ? x1 : x2;
    hitShape_.maxX = x1 < x2 ? x2 : x1;
    hitShape_.minY = y1 < y2 ? y1 : y2;
    hitShape_.maxY = y1 < y2 ? y2 : y1;
}

void GameObject::Vanish() {
    if (!dead_ && vanishCountdown_ == 0)
        vanishCountdown_ = kVanishFrames;
}

void GameObject::SetChainLevel(uint32_t hits) {
    chainLevel_ = ChainLevelOf(hits);
    s_currentChainLevel = chainLevel_;
}

uint32_t GameObject::ChainLevelOf(uint32_t hits) {
    const uint32_t level = hits / 10;
    return level < kMaxChainLevel ? level : kMaxChainLevel;
}

void GameObject::StartChain(uint32_t hits) {
    s_currentChainLevel = ChainLevelOf(hits);
}

uint32_t GameObject::ChainScore(uint32_t level) {
    static constexpr uint32_t kSteps[kMaxChainLevel + 1] = {32, 64, 128, 256, 512};
    return kSteps[level <= kMaxChainLevel ? level : kMaxChainLevel];
}
