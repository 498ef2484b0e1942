#pragma once

#include "effects/Core/Transform/EulerRotation.h"

#include <cstdint>

namespace FulgorCore {

// What the orientation builders read of the renderer's camera: the current
// camera position and, per camera index (0-2), a 3x4 camera transform
// (X, Y, Z axes, position).
struct OrientationCamera {
    const float* position;
    const float* transforms[3];
};

// The particle-unit fields the orientation builders read and write; the
// particle unit points these at its own members.
struct ParticleOrientation {
    float* world;               // current world 3x4; the rotation part is rewritten
    const float* previousWorld; // previous world 3x4 (translation read)
    float* moveVector;          // receives the last move (3 floats)
    float* directionFrame;      // receives the direction frame (3x4)
    float angles[3];            // evaluated rotation angles x, y, z
    uint32_t cameraIndex;       // 0-2
    const float* nodeScale;     // scale factors x, y, z, then the z-angle offset
    float evaluatedScale[3];    // the unit's evaluated scale (base (1, 1, 1))
    EulerBuilder euler;         // the unit's Euler order
    const float* ownerWorld;    // the owner unit's current world 3x4
};

// diag(evaluated scale * node scale) . Euler(x, y, z + offset), zero
// translation.
void MakeLocalRotationScale(float* out, const ParticleOrientation& particle);

// An orthonormal frame whose Z follows the direction, built against the
// owner's Y axis (its Z axis when nearly parallel); the identity for a
// direction of squared length 0.0001 or less. Written to directionFrame.
void MakeDirection(ParticleOrientation& particle, const float* direction);

// Turns a particle by its orientation mode (0-6): the 3x3 part of its world
// becomes L.F, L the local rotation-scale and F the mode's frame. Returns
// false only when mode 3's look-at fails (nothing is written then).
using OrientationBuilder = bool (*)(ParticleOrientation& particle, const OrientationCamera& camera);

// 21 entries: mode + 7 * camera index. Camera index 0 has all seven modes;
// indices 1 and 2 only mode 1 (motion-aligned); mode 0 does nothing.
extern const OrientationBuilder kComputeOrientationMatrix[21];

// Modes and camera indices outside the table come from damaged data; they
// turn nothing.
OrientationBuilder SelectOrientationBuilder(uint32_t mode, uint32_t cameraIndex);

} // namespace FulgorCore
