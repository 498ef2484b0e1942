#include "effects/units/EmitterUnitT.h"

#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/EmitterShape.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cmath>
#include <cstring>

namespace FulgorCore {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kInverseTwoPi = 0.15915494f;
constexpr float kNormalUnit = 0.007874016f; // 1 / 127
constexpr float kAxisZ[3] = {0.0f, 0.0f, 1.0f};
constexpr float kAxisY[3] = {0.0f, 1.0f, 0.0f};

// Direction modes ("GnCT": 0 outward, 1 along the normal, 2 along the
// axis) and selection modes ("GnPT").
constexpr uint32_t kAlongAxis = 2;
constexpr uint32_t kRandomPick = 1;

template <uint32_t K> uint32_t DirectionMode(const EmitterShape<K>& s) {
    if constexpr (K == 8 || K == 9)
        return s.GetField(EmitterShapeBase::kGnCT);
    else
        return s.GetGnCT();
}

template <uint32_t K> uint32_t SelectionMode(const EmitterShape<K>& s) {
    if constexpr (K == 8 || K == 9)
        return s.GetField(EmitterShapeBase::kGnPT);
    else
        return s.GetGnPT();
}

void Copy3(float* out, const float* v) {
    std::memcpy(out, v, 12);
}

} // namespace

template <uint32_t K>
EmitterUnitT<K>::EmitterUnitT(UnitInstance* owner_, const EmitterResource* data_)
    : EmitterUnit(owner_, data_) {
    // A base that ran out of blocks has ended the owner but still leaves a
    // whole kind: whatever reads the unit until its owner goes finds its
    // shape, counts and members set.
    const EmitterShape<K>* s = data->template GetShape<K>();
    if (!s) {
        Refuse();
        return;
    }
    // Kind 1 stands on its model: without one nothing of the kind is set,
    // not even its speed's random value.
    if constexpr (K == 1) {
        model = owner->owner->package
                    ? owner->owner->package->GetModel(static_cast<int32_t>(s->GetModelNumber()))
                    : nullptr;
        if (!model) {
            Refuse();
            return;
        }
        pointCount = model->GetPointCount() & 0xFFFFu;
    }
    // The unit random values: the speed's first, then the kind's
    // properties in the order of their values (kind 7 evaluates its radius
    // and angle plainly and draws none for them). Every later draw of the
    // instance depends on this order.
    speedSample = s->GetSpeed().SampleRandom(*random);
    float* samples = shape.samples;
    if constexpr (K == 1) {
        samples[0] = speedSample; // kind 1's one per-frame value is its speed
    } else if constexpr (K == 3) {
        samples[0] = s->GetInnerRadius().SampleRandom(*random);
        samples[1] = s->GetOuterRadius().SampleRandom(*random);
        samples[2] = s->GetInnerAngle().SampleRandom(*random);
        samples[3] = s->GetOuterAngle().SampleRandom(*random);
    } else if constexpr (K == 4) {
        samples[0] = s->GetInnerRadius().SampleRandom(*random);
        samples[1] = s->GetOuterRadius().SampleRandom(*random);
    } else if constexpr (K == 5) {
        samples[0] = s->GetRadius().SampleRandom(*random);
    } else if constexpr (K == 6) {
        samples[0] = s->GetLength().SampleRandom(*random);
        samples[1] = s->GetRadius().SampleRandom(*random);
    } else if constexpr (K == 8 || K == 9) {
        s->GetSize().SampleRandom(*random, samples);
    }

    if constexpr (!kHasPoints) {
        generator = GenerateSpawnPoint;
    } else {
        const uint32_t direction = DirectionMode(*s);
        const uint32_t selection = SelectionMode(*s);
        // Modes the data cannot name leave the emitter without a member.
        if (direction > kAlongAxis || selection > kRandomPick) {
            Refuse();
            return;
        }
        if constexpr (K == 7) {
            const uint32_t lt = s->GetLatitudeDivisions();
            const uint32_t lg = s->GetLongitudeDivisions();
            // Fewer than two latitude divisions or no segment make no
            // ring: a cap of no point, which emits nothing, as the other
            // point kinds without points. The point number is divided by
            // both counts, so they stay 0 and are never used.
            if (lg != 0 && lt >= 2) {
                rings = static_cast<int32_t>(lt - 1);
                segments = static_cast<int32_t>(lg);
                pointCount = static_cast<uint32_t>(rings * segments);
                ringStep = static_cast<float>(rings);
                segmentStep = static_cast<float>(segments);
            }
        } else if constexpr (K != 1) {
            pointCount = s->GetPoints().GetCount();
        }
        hasPoints = 1;
        picker = selection == kRandomPick ? PickRandomIndex : PickSequentialIndex;
        static constexpr Generator kGenerators[3] = {GeneratePointOutward, GeneratePointAlongNormal,
                                                     GeneratePointAlongAxis};
        generator = kGenerators[direction];
        alongAxis = direction == kAlongAxis ? 1 : 0;
    }
}

template <uint32_t K> void EmitterUnitT<K>::UpdateShape(float time) {
    UpdateShapeParameters<K>(shape, *data, owner->rotationBuilder, alongAxis != 0, ContextAt(time),
                             *random);
}

template <uint32_t K> float EmitterUnitT<K>::Speed(const EvaluationContext& context) {
    return data->template GetShape<K>()->GetSpeed().Evaluate(context, speedSample, *random);
}

template <uint32_t K> const uint8_t* EmitterUnitT<K>::Record(int32_t index) const {
    if (index < 0)
        return nullptr;
    if constexpr (K == 1)
        return model->GetEdgeVertex(static_cast<uint32_t>(index));
    else if constexpr (K == 5 || K == 6 || K == 8 || K == 9)
        return reinterpret_cast<const uint8_t*>(
            data->template GetShape<K>()->GetPoints().GetPoint(static_cast<uint32_t>(index)));
    else
        return nullptr;
}

template <uint32_t K>
bool EmitterUnitT<K>::LocalPoint(int32_t index, const EvaluationContext& context,
                                 float* out) const {
    if constexpr (K == 7) {
        const int32_t q = index / segments;
        const int32_t r = index % segments;
        const float extent = data->GetShape<7>()->GetAngle().EvaluatePlain(context);
        const float theta = static_cast<float>(q) * extent / ringStep;
        const float phi = static_cast<float>(r) * kTwoPi / segmentStep;
        const float st = std::sin(theta);
        out[0] = std::sin(phi) * st;
        out[1] = std::cos(theta);
        out[2] = std::cos(phi) * st;
        return true;
    } else {
        const uint8_t* record = Record(index);
        if (!record)
            return false;
        float p[3];
        std::memcpy(p, record, 12);
        const float* v = shape.values;
        if constexpr (K == 5) {
            for (float& c : p)
                c *= v[0];
        } else if constexpr (K == 6) {
            p[0] *= v[1];
            p[1] *= v[0];
            p[2] *= v[1];
        } else if constexpr (K == 8) {
            for (int c = 0; c < 3; ++c)
                p[c] *= v[c];
        } else if constexpr (K == 9) {
            p[0] *= v[0];
            p[1] = 0.0f;
            p[2] *= v[1];
        }
        Copy3(out, p);
        return true;
    }
}

template <uint32_t K> void EmitterUnitT<K>::LocalNormal(int32_t index, float* out) const {
    const uint8_t* record = Record(index);
    if (K == 9 || !record) {
        Copy3(out, kAxisY);
        return;
    }
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<float>(static_cast<int8_t>(record[12 + c])) * kNormalUnit;
}

template <uint32_t K>
void EmitterUnitT<K>::GeneratePointOutward(EmitterUnit* base, const EvaluationContext& context,
                                           int32_t index, float* position, float* direction,
                                           float* speed) {
    auto* e = static_cast<EmitterUnitT*>(base);
    const float* origin = e->OwnerPosition();
    float local[3] = {};
    e->LocalPoint(index, context, local);
    if constexpr (K == 7) {
        e->RotateToWorld(direction, local);
    } else {
        float world[3];
        e->PlaceInWorld(world, local);
        const float d[3] = {world[0] - origin[0], world[1] - origin[1], world[2] - origin[2]};
        // At the centre the root's seed is finite, so the direction is zero.
        const float r = Math::ReciprocalSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (int c = 0; c < 3; ++c)
            direction[c] = d[c] * r;
    }
    Copy3(position, origin);
    *speed = e->Speed(context);
}

template <uint32_t K>
void EmitterUnitT<K>::PlacePoint(int32_t index, const EvaluationContext& context, float* position,
                                 float* sphereDirection) const {
    float local[3] = {};
    LocalPoint(index, context, local);
    if constexpr (K == 7) {
        // On the sphere of the radius at the moment of emission.
        const float radius = data->GetShape<7>()->GetRadius().EvaluatePlain(context);
        RotateToWorld(sphereDirection, local);
        const float* origin = OwnerPosition();
        for (int c = 0; c < 3; ++c)
            position[c] = origin[c] + radius * sphereDirection[c];
    } else {
        PlaceInWorld(position, local);
    }
}

template <uint32_t K>
void EmitterUnitT<K>::GeneratePointAlongNormal(EmitterUnit* base, const EvaluationContext& context,
                                               int32_t index, float* position, float* direction,
                                               float* speed) {
    auto* e = static_cast<EmitterUnitT*>(base);
    e->PlacePoint(index, context, position, direction);
    if constexpr (K != 7) {
        float normal[3];
        e->LocalNormal(index, normal);
        e->RotateToWorld(direction, normal);
    }
    *speed = e->Speed(context);
}

template <uint32_t K>
void EmitterUnitT<K>::GeneratePointAlongAxis(EmitterUnit* base, const EvaluationContext& context,
                                             int32_t index, float* position, float* direction,
                                             float* speed) {
    auto* e = static_cast<EmitterUnitT*>(base);
    float sphere[3];
    e->PlacePoint(index, context, position, sphere);
    // (0, 0, 1) through the axis rotation: its third row.
    e->RotateToWorld(direction, e->shape.axisRotation + 6);
    *speed = e->Speed(context);
}

template <uint32_t K>
void EmitterUnitT<K>::GenerateSpawnPoint(EmitterUnit* base, const EvaluationContext& context,
                                         int32_t, float* position, float* direction, float* speed) {
    auto* e = static_cast<EmitterUnitT*>(base);
    const float* origin = e->OwnerPosition();
    Xorshift128& random = *e->random;
    if constexpr (K == 3) {
        const float* v = e->shape.values;
        const float radius = v[0] + (v[1] - v[0]) * random.NextFloat01();
        const float theta = v[2] + (v[3] - v[2]) * random.NextFloat01();
        *speed = e->Speed(context);
        const float phi = random.NextFloat01() * kTwoPi - kPi;
        const float st = std::sin(theta);
        const float d[3] = {std::sin(phi) * st, std::cos(theta), std::cos(phi) * st};
        e->RotateToWorld(direction, d);
        for (int c = 0; c < 3; ++c)
            position[c] = origin[c] + radius * direction[c];
    } else if constexpr (K == 4) {
        const float* v = e->shape.values;
        const float u = random.NextFloat01();
        const float radius = v[0] + (v[1] - v[0]) * (1.0f - u * u);
        *speed = e->Speed(context);
        float phi = random.NextFloat01() * kTwoPi - kPi;
        const float turns = std::trunc(phi * kInverseTwoPi + std::copysign(0.5f, phi));
        phi -= turns * kTwoPi;
        const float d[3] = {std::cos(phi), 0.0f, std::sin(phi)};
        float world[3];
        e->RotateToWorld(world, d);
        for (int c = 0; c < 3; ++c)
            position[c] = origin[c] + radius * world[c];
        Copy3(direction, kAxisY);
    } else {
        Copy3(position, origin);
        e->RotateToWorld(direction, kAxisZ);
        *speed = e->Speed(context);
    }
}

template <uint32_t K> void EmitterUnitT<K>::GetPointPosition(uint32_t number, float* out) const {
    const int32_t index = static_cast<int32_t>(number);
    if (!kHasPoints || index < 0 || !ok || pointCount == 0 || (K != 7 && !Record(index))) {
        EmitterUnit::GetPointPosition(index, out);
        return;
    }
    float sphere[3];
    PlacePoint(index, ContextAt(owner->time), out, sphere);
}

namespace {

template <uint32_t K> EmitterUnit* CreateOfKind(UnitInstance* owner, const EmitterResource* data) {
    return UnitPoolPart::Create<EmitterUnitT<K>>(owner, data);
}

using Creator = EmitterUnit* (*)(UnitInstance*, const EmitterResource*);
// Indexed by kind - 1.
constexpr Creator kCreators[9] = {CreateOfKind<1>, CreateOfKind<2>, CreateOfKind<3>,
                                  CreateOfKind<4>, CreateOfKind<5>, CreateOfKind<6>,
                                  CreateOfKind<7>, CreateOfKind<8>, CreateOfKind<9>};

} // namespace

EmitterUnit* EmitterUnit::Create(UnitInstance* owner, const EmitterResource* data) {
    const uint32_t kind = data ? data->GetKind() : 0u;
    return kind >= 1 && kind <= 9 && owner ? kCreators[kind - 1](owner, data) : nullptr;
}

ParticleEmitterPart* EmitterUnit::CreatePart(ParticleInstance* owner, const EmitterResource* data,
                                             bool& noBlock) {
    const uint32_t kind = data ? data->GetKind() : 0u;
    EmitterUnit* emitter = Create(owner, data);
    // A kind the data cannot name is no emitter: the particle lives on.
    noBlock = noBlock || (!emitter && kind >= 1 && kind <= 9);
    return emitter;
}

template class EmitterUnitT<1>;
template class EmitterUnitT<2>;
template class EmitterUnitT<3>;
template class EmitterUnitT<4>;
template class EmitterUnitT<5>;
template class EmitterUnitT<6>;
template class EmitterUnitT<7>;
template class EmitterUnitT<8>;
template class EmitterUnitT<9>;

static_assert(sizeof(EmitterUnitT<1>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<2>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<3>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<4>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<5>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<6>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<7>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<8>) <= kUnitBlockSize);
static_assert(sizeof(EmitterUnitT<9>) <= kUnitBlockSize);

} // namespace FulgorCore
