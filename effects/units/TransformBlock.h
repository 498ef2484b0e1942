#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

// What a particle instance changes every frame, in a unit-pool block of its
// own: the two world matrices it flips between, the inverse it computes on
// demand, its colour, and the random values its animated properties were
// given when it was built.
struct TransformBlock {
    static constexpr uint16_t kCurrentIndex = 1u << 0;
    static constexpr uint16_t kInverseValid = 1u << 1;
    // Set once a matrix has been composed: until then "previous" is the
    // block's old memory and the first matrix written serves as both.
    static constexpr uint16_t kComposed = 1u << 2;
    // The host object was started: only then is it stopped.
    static constexpr uint16_t kHostObjectStarted = 1u << 3;
    // rotationMatrix holds the rotation of rotationAngles.
    static constexpr uint16_t kRotationBuilt = 1u << 4;

    // The colour first: the draw units read it every frame with the current
    // matrix, and so it shares the first matrix's cache line.
    float color[4];
    float worldMatrices[2][12];
    float inverseWorldMatrix[12];
    // The parent's world matrix when the particle was made (transform modes
    // 1 and 2).
    float parentMatrix[12];
    // The colour kept at spawn for colour mode 1.
    float spawnColor[4];
    uint16_t transformFlags;
    float interpolationSample;
    void* ownSharedBlock;
    uint32_t listenerHandle;
    // Unit random values of the colour, scale, rotation and translation
    // properties.
    float colorSamples[5];
    float scaleSamples[3];
    float rotationSamples[3];
    float translationSamples[3];
    // The motion the strategies integrate: the position (which never holds
    // the linked translation or the translation property), the velocity
    // given at the spawn (in the frame of the transform mode), the velocity
    // of the local acceleration, and the velocity and displacement of the
    // world acceleration. Then the random values of the two accelerations
    // and of the speed factor.
    float integratedPosition[3];
    float initialVelocity[3];
    float localVelocity[3];
    float worldVelocity[3];
    float worldDisplacement[3];
    float accelerationSamples[3];
    float worldAccelerationSamples[3];
    float speedFactorSamples[3];
    // The last rotation the composition built, and its angles: a rotation
    // that did not change since (most are constant) is not built again.
    float rotationAngles[3];
    float rotationMatrix[12];
    // The frame whose Z axis is the emission direction (in the frame of
    // the transform mode), its inverse, and the random values of the
    // velocity-rotation angles; only particles oriented along their
    // emission or turning their velocity build them.
    float orientationBasis[12];
    float basisInverse[12];
    float velocityRotationSamples[2];
};

static_assert(sizeof(TransformBlock) <= kUnitBlockSize);

} // namespace FulgorCore
