#pragma once

namespace FulgorCore {

class AngleFade;
class DistanceFade;

// The fades by camera distance and by view angle that a root (whole
// effect) and a particle instance (one particle) share: each multiplies an
// alpha by its factor from the camera position, the unit's translation
// (row 3 of its world matrix) and, for the angle fades, its facing axis
// (row 2). Lengths and normalisations use the runtime's fast roots; their
// approximations are part of the results.
namespace ViewFade {

// d0 .. d3 of the record: 0 up to d0, up to 1 at d1, 1 to d2, down to 0 at
// d3, 0 beyond.
float DistanceFactor(const float* camera, const float* matrix, const DistanceFade& record);
// 1 - (s - A1) / (B1 - A1) on the XZ (yaw) or YZ (pitch) plane, not
// clamped; s is |cos| of the angle between the axis and the direction to
// the camera on that plane.
float YawFactor(const float* camera, const float* matrix, const AngleFade& record);
float PitchFactor(const float* camera, const float* matrix, const AngleFade& record);
// 1 - clamp((s - A2) / (B2 - A2)) with s the signed cosine in 3-D.
float ViewAngleFactor(const float* camera, const float* matrix, const AngleFade& record);

// The camera position of the current view; the origin while the renderer
// has none.
const float* CameraPosition();

} // namespace ViewFade
} // namespace FulgorCore
