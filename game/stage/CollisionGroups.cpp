#include "game/stage/CollisionGroups.h"

#include "game/core/GameObject.h"
#include "game/stage/ShapeOverlap.h"

void CollisionGroups::Clear() {
    for (uint32_t g = 0; g < kGroupCount; ++g)
        head_[g] = tail_[g] = nullptr;
    if (++pass_ == 0)
        pass_ = 1;
}

void CollisionGroups::Register(uint32_t group, GameObject* object) {
    if (group == kNone || group >= kGroupCount || !object || !object->IsHitShapeActive())
        return;
    // A second registration would relink the object: at the tail it would
    // point to itself and the pass would never end; elsewhere the objects
    // after it would drop out of the list.
    if (object->GetCollisionPass() == pass_)
        return;
    const HitShape& s = *object->GetHitShape();
    if (s.maxX < 0.0f || s.minX > kFieldSize || s.maxY < 0.0f || s.minY > kFieldSize)
        return;
    object->SetCollisionPass(pass_);
    object->SetCollisionLink(nullptr);
    if (tail_[group])
        tail_[group]->SetCollisionLink(object);
    else
        head_[group] = object;
    tail_[group] = object;
}

void CollisionGroups::RunPass(uint32_t gameState) {
    if (gameState != 0)
        return;
    for (const auto& pair : kPairs)
        TestPair(pair[0], pair[1]);
}

void CollisionGroups::TestPair(uint32_t a, uint32_t b) {
    if (a >= kGroupCount || b >= kGroupCount)
        return;
    for (GameObject* A = head_[a]; A; A = A->GetCollisionLink()) {
        for (GameObject* B = head_[b]; B; B = B->GetCollisionLink()) {
            if (!A->IsHitShapeActive())
                break;
            if (!B->IsHitShapeActive())
                continue;
            if (ShapeOverlap::Test(*A->GetHitShape(), *B->GetHitShape())) {
                A->OnCollision(B);
                B->OnCollision(A);
            }
        }
    }
}
