#include "game/player/SubWeaponBeamSide.h"

namespace {

// How far the boxes reach beyond each end of the beam.
constexpr int32_t kMargin = 64;

} // namespace

SubWeaponBeamSide::SubWeaponBeamSide(GameObjectDirector* owner, const ShipParamRow* row,
                                     int16_t attack, MakeSpark makeSpark)
    : SubWeaponObject(owner, nullptr, row), attack_(attack), makeSpark_(makeSpark) {
    SetHitShapeActive(true);
}

void SubWeaponBeamSide::SetBeamBox(GameObject& object, int16_t width, float length) {
    const int32_t height = static_cast<int32_t>(length) + 2 * kMargin;
    // SetHitBox centres the box on its offset: put its top 64 above the head.
    object.SetHitBox(0, static_cast<int16_t>((height >> 1) - kMargin), width,
                     static_cast<int16_t>(height));
}

void SubWeaponBeamSide::Update() {
    SetBeamBox(*this, kWidth, beamLength_);
    RegisterHit();
}

void SubWeaponBeamSide::OnCollision(GameObject* other) {
    if (!other || other->timer != 0)
        return;
    other->timer = kTimerFrames;
    makeSpark_(owner_, *other->GetPosition());
}
