#include "effects/Core/Transform/ParticleOrientation.h"

#include "effects/Core/Math/Camera.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"

#include <cmath>

namespace FulgorCore {

namespace {

using namespace Math;

void WriteIdentity(float* m) {
    Matrix34Identity(m);
}

// Replaces the rotation part of the world by L.F (3x3 each); the
// translation stays.
void ApplyFrame(ParticleOrientation& particle, const float* frame) {
    float local[12];
    MakeLocalRotationScale(local, particle);
    Matrix33Multiply(particle.world, local, frame);
}

void HorizontalFrame(float* frame, const float* v) {
    static const float kUp[3] = {0.0f, 1.0f, 0.0f};
    float x[3];
    Vector3Cross(x, v, kUp);
    float z[3];
    Vector3Cross(z, x, kUp);
    Vector3Normalize(frame, x);
    frame[3] = kUp[0];
    frame[4] = kUp[1];
    frame[5] = kUp[2];
    Vector3Normalize(frame + 6, z);
}

bool NoOp(ParticleOrientation&, const OrientationCamera&) {
    return true;
}

// Mode 1: the Z axis follows the motion since the previous frame.
bool MotionAligned(ParticleOrientation& particle, const OrientationCamera&) {
    float* world = particle.world;
    float move[3];
    Vector3Sub(move, world + 9, particle.previousWorld + 9);
    if (Vector3Dot(move, move) <= 0.0001f)
        return true;
    float local[12];
    MakeLocalRotationScale(local, particle);
    particle.moveVector[0] = move[0];
    particle.moveVector[1] = move[1];
    particle.moveVector[2] = move[2];
    Vector3Normalize(world, world);
    Vector3Normalize(world + 3, world + 3);
    float f[3];
    Vector3Normalize(f, move);
    float frame[9];
    if (std::fabs(Vector3Dot(world + 3, f)) >= 0.998f) {
        Vector3Cross(frame, f, world + 6);
        Vector3Cross(frame + 3, f, frame);
    } else {
        Vector3Cross(frame, f, world + 3);
        Vector3Cross(frame + 3, frame, f);
    }
    frame[6] = f[0];
    frame[7] = f[1];
    frame[8] = f[2];
    Matrix33Multiply(world, local, frame);
    return true;
}

// Mode 2: the camera's axes.
bool ScreenAligned(ParticleOrientation& particle, const OrientationCamera& camera) {
    ApplyFrame(particle, camera.transforms[particle.cameraIndex]);
    return true;
}

// Mode 3: facing the camera position, up along the camera's Y axis.
bool PointFacing(ParticleOrientation& particle, const OrientationCamera& camera) {
    const float* cameraTransform = camera.transforms[particle.cameraIndex];
    float frame[12];
    if (!Matrix34LookAt(frame, particle.world + 9, camera.position, cameraTransform + 3))
        return false;
    ApplyFrame(particle, frame);
    return true;
}

// Mode 4: turning about the unit's own Y axis towards the camera.
bool FacingAboutOwnY(ParticleOrientation& particle, const OrientationCamera& camera) {
    float frame[9];
    Vector3Normalize(frame + 3, particle.world + 3);
    float z[3];
    Vector3Sub(z, camera.position, particle.world + 9);
    z[1] = 0.0f;
    Vector3Normalize(frame + 6, z);
    Vector3Cross(frame, frame + 3, frame + 6);
    ApplyFrame(particle, frame);
    return true;
}

// Mode 5: screen-aligned but kept upright about world Y.
bool ScreenAlignedAboutWorldY(ParticleOrientation& particle, const OrientationCamera& camera) {
    const float* cameraZ = camera.transforms[particle.cameraIndex] + 6;
    const float v[3] = {-cameraZ[0], -cameraZ[1], -cameraZ[2]};
    float frame[9];
    HorizontalFrame(frame, v);
    ApplyFrame(particle, frame);
    return true;
}

// Mode 6: facing the camera position, upright about world Y.
bool FacingAboutWorldY(ParticleOrientation& particle, const OrientationCamera& camera) {
    float v[3];
    Vector3Sub(v, particle.world + 9, camera.position);
    float frame[9];
    HorizontalFrame(frame, v);
    ApplyFrame(particle, frame);
    return true;
}

} // namespace

void MakeLocalRotationScale(float* out, const ParticleOrientation& particle) {
    const float* node = particle.nodeScale;
    particle.euler(out, particle.angles[0], particle.angles[1], particle.angles[2] + node[3]);
    for (int row = 0; row < 3; ++row) {
        const float scale = particle.evaluatedScale[row] * node[row];
        for (int col = 0; col < 3; ++col)
            out[row * 3 + col] *= scale;
    }
    out[9] = out[10] = out[11] = 0.0f;
}

void MakeDirection(ParticleOrientation& particle, const float* direction) {
    float* frame = particle.directionFrame;
    if (Vector3Dot(direction, direction) <= 0.0001f) {
        WriteIdentity(frame);
        return;
    }
    float d[3];
    Vector3Normalize(d, direction);
    float a[3];
    Vector3Cross(a, particle.ownerWorld + 3, d);
    if (Vector3Dot(a, a) <= 0.0001f) {
        Vector3Cross(a, particle.ownerWorld + 6, d);
        if (Vector3Dot(a, a) <= 0.0001f) {
            WriteIdentity(frame);
            return;
        }
    }
    Vector3Normalize(frame, a);
    float y[3];
    Vector3Cross(y, d, frame);
    Vector3Normalize(frame + 3, y);
    Vector3Normalize(frame + 6, d);
    frame[9] = frame[10] = frame[11] = 0.0f;
}

const OrientationBuilder kComputeOrientationMatrix[21] = {NoOp,
                                                          MotionAligned,
                                                          ScreenAligned,
                                                          PointFacing,
                                                          FacingAboutOwnY,
                                                          ScreenAlignedAboutWorldY,
                                                          FacingAboutWorldY, //
                                                          NoOp,
                                                          MotionAligned,
                                                          NoOp,
                                                          NoOp,
                                                          NoOp,
                                                          NoOp,
                                                          NoOp, //
                                                          NoOp,
                                                          MotionAligned,
                                                          NoOp,
                                                          NoOp,
                                                          NoOp,
                                                          NoOp,
                                                          NoOp};

OrientationBuilder SelectOrientationBuilder(uint32_t mode, uint32_t cameraIndex) {
    if (mode > 6 || cameraIndex > 2)
        return NoOp;
    return kComputeOrientationMatrix[mode + 7 * cameraIndex];
}

} // namespace FulgorCore
