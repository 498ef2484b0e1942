// A particle's orientation: the frame of its emission direction, which
// turns the particle or the axes its velocity turns about, and the
// camera- and motion-facing builders of its data's orientation mode.
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Transform/ParticleOrientation.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cmath>

namespace FulgorCore {

namespace {

using P = ParticleInstance;

// Orientation modes 0-6 in three sets: set 0 has them all, sets 1 and 2
// (the projection-only and screen camera spaces) only the motion-facing
// mode 1.
constexpr P::PlainMember kOrientationBuilders[21] = {
    P::NoOpPlain, P::ComputeOrientationMatrix<1>, P::ComputeOrientationMatrix<2>,
    P::ComputeOrientationMatrix, P::ComputeOrientationMatrix<4>, P::ComputeOrientationMatrix<5>,
    P::ComputeOrientationMatrix<6>, //
    P::NoOpPlain, P::ComputeOrientationMatrix<1>, P::NoOpPlain, P::NoOpPlain, P::NoOpPlain,
    P::NoOpPlain, P::NoOpPlain, //
    P::NoOpPlain, P::ComputeOrientationMatrix<1>, P::NoOpPlain, P::NoOpPlain, P::NoOpPlain,
    P::NoOpPlain, P::NoOpPlain};

constexpr P::VelocityMember kVelocitySources[2] = {P::RotateVelocity<0>, P::RotateVelocity<1>};

constexpr uint32_t kOrientationModes = 7;
constexpr uint32_t kOrientationSets = 3;

const float* ParentWorld(const ParticleInstance* node) {
    return node->parent ? node->parent->GetWorldMatrix() : Math::kIdentity34;
}

// The camera of the frame; at the origin with the world's axes while the
// renderer has none.
OrientationCamera FrameCamera() {
    static constexpr float kOrigin[3] = {};
    const RendererWorkData* renderer = Renderer::GetWorkData();
    if (!renderer || !renderer->cameraPosition)
        return {kOrigin, {Math::kIdentity34, Math::kIdentity34, Math::kIdentity34}};
    return {renderer->cameraPosition,
            {renderer->cameraTransforms[0], renderer->cameraTransforms[1],
             renderer->cameraTransforms[2]}};
}

// v = v x the 3x3 part of m (rows are axes).
void TurnByAxes(float* v, const float* m) {
    const float in[3] = {v[0], v[1], v[2]};
    for (int c = 0; c < 3; ++c)
        v[c] = in[0] * m[c] + in[1] * m[3 + c] + in[2] * m[6 + c];
}

} // namespace

uint32_t ParticleInstance::LinkOrientationMode(const ParticleSpawnSettings& link) {
    return link.OrientationMode() < 2 ? link.OrientationMode() : 0u;
}

ParticleInstance::PlainMember ParticleInstance::OrientationBuilder(uint32_t mode, uint32_t set) {
    if (mode >= kOrientationModes || set >= kOrientationSets)
        return NoOpPlain;
    return kOrientationBuilders[mode + kOrientationModes * set];
}

ParticleInstance::VelocityMember ParticleInstance::VelocityRotationSource(uint32_t linkMode) {
    return kVelocitySources[linkMode < 2 ? linkMode : 0u];
}

bool ParticleInstance::WantsVelocityRotation() const {
    return unitData && unitData->HasVelocityRotation() &&
           !unitData->GetVelocityRotationProperty().IsZero();
}

void ParticleInstance::MakeDirection(const float* directionIn) {
    ParticleOrientation frame{};
    frame.directionFrame = transformBlock->orientationBasis;
    frame.ownerWorld = ParentWorld(this);
    ::FulgorCore::MakeDirection(frame, directionIn);
}

void ParticleInstance::ComposeBasisWithParent(const float* toParent) {
    float* basis = transformBlock->orientationBasis;
    Math::Matrix33Multiply(basis, basis, toParent);
    // The parent's scale would shrink the particle twice: once here, once
    // when its matrix is composed back.
    for (int row = 0; row < 3; ++row)
        Math::Vector3Normalize(basis + row * 3, basis + row * 3);
}

void ParticleInstance::HoldVelocityInBasis(float* v) {
    orientationBasisStep = ApplyOrientationBasis;
    float inverse[12];
    Math::Matrix34Inverse(inverse, transformBlock->orientationBasis);
    TurnByAxes(v, inverse);
}

void ParticleInstance::StartVelocityRotation() {
    velocitySource = VelocityRotationSource(LinkOrientationMode(link));
    unitData->GetVelocityRotationProperty().SampleRandom(owner->random,
                                                         transformBlock->velocityRotationSamples);
    Math::Matrix34Inverse(transformBlock->basisInverse, transformBlock->orientationBasis);
}

void ParticleInstance::ApplyOrientationBasis(ParticleInstance* node) {
    Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix,
                           node->transformBlock->orientationBasis);
}

template <uint32_t Mode> void ParticleInstance::ComputeOrientationMatrix(ParticleInstance* node) {
    // Scale factors of the particle's own (none) and no angle offset.
    static constexpr float kNoNodeScale[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    float move[3];
    ParticleOrientation particle{};
    particle.world = node->currentWorldMatrix;
    particle.previousWorld = node->previousWorldMatrix;
    particle.moveVector = move;
    particle.directionFrame = node->transformBlock->orientationBasis;
    for (int i = 0; i < 3; ++i)
        particle.angles[i] = node->rotation[i];
    particle.cameraIndex = node->orientationSet;
    particle.nodeScale = kNoNodeScale;
    node->GetVector0(particle.evaluatedScale);
    particle.euler = node->rotationBuilder;
    particle.ownerWorld = ParentWorld(node);
    kComputeOrientationMatrix[Mode](particle, FrameCamera());
}

void ParticleInstance::ComputeOrientationMatrix(ParticleInstance* node) {
    ComputeOrientationMatrix<3>(node);
}

template <uint32_t Mode>
const float* ParticleInstance::RotateVelocity(ParticleInstance* node, float* buffer,
                                              const UnitClock& clock) {
    TransformBlock& block = *node->transformBlock;
    float angles[2];
    node->unitData->GetVelocityRotationProperty().Evaluate(clock, block.velocityRotationSamples,
                                                           node->owner->random, angles);
    float v[3] = {block.initialVelocity[0], block.initialVelocity[1], block.initialVelocity[2]};
    if constexpr (Mode == 0)
        TurnByAxes(v, block.basisInverse);
    // About X (y' = y c - z s, z' = y s + z c), then about Y (x' = x c +
    // z s, z' = -x s + z c).
    const float cx = std::cos(angles[0]);
    const float sx = std::sin(angles[0]);
    const float y = v[1] * cx - v[2] * sx;
    const float z = v[1] * sx + v[2] * cx;
    const float cy = std::cos(angles[1]);
    const float sy = std::sin(angles[1]);
    buffer[0] = v[0] * cy + z * sy;
    buffer[1] = y;
    buffer[2] = -v[0] * sy + z * cy;
    if constexpr (Mode == 0)
        TurnByAxes(buffer, block.orientationBasis);
    return buffer;
}

template void ParticleInstance::ComputeOrientationMatrix<1>(ParticleInstance*);
template void ParticleInstance::ComputeOrientationMatrix<2>(ParticleInstance*);
template void ParticleInstance::ComputeOrientationMatrix<3>(ParticleInstance*);
template void ParticleInstance::ComputeOrientationMatrix<4>(ParticleInstance*);
template void ParticleInstance::ComputeOrientationMatrix<5>(ParticleInstance*);
template void ParticleInstance::ComputeOrientationMatrix<6>(ParticleInstance*);
template const float* ParticleInstance::RotateVelocity<0>(ParticleInstance*, float*,
                                                          const UnitClock&);
template const float* ParticleInstance::RotateVelocity<1>(ParticleInstance*, float*,
                                                          const UnitClock&);

} // namespace FulgorCore
