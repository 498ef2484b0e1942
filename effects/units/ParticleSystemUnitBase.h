#pragma once

#include "effects/units/ChildStart.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class BindResource;

// What the two bound carriers share (unit kind 1): the binding with its
// rotation and scale modes, what the carrier starts in its first frame,
// and the current and previous world matrix it flips between, with the
// inverse computed when first asked in a frame.
class ParticleSystemUnitBase : public UnitInstance {
public:
    enum RotationMode : uint32_t {
        kFollowRotation = 0,
        kNoRotation = 1,
        kFixedRotation = 2,
        kAimRotation = 3,
        kCameraRotation = 4,
    };
    enum ScaleMode : uint32_t { kFollowScale = 0, kNoScale = 1, kFixedScale = 2 };
    // Endpoint kinds: 0 and 1 targets the listener names, 2 the camera.
    static constexpr uint32_t kCameraEndpoint = 2;

    ParticleSystemUnitBase(InstanceRootUnit* owner, const InitialState& state,
                           const BindResource* binding, const ChildStart& child);

    void FrameHook() override {}
    const float* GetWorldMatrix() const override { return worldMatrices[currentIndex]; }
    const float* GetPreviousWorldMatrix() const override {
        return worldMatrices[currentIndex ^ 1u];
    }
    const float* GetInverseWorldMatrix() const override;
    uint32_t GetKind() const override { return kParticleSystem; }

    // The rotation rows of mode 5 and above are those of mode 1: the data
    // holds 0-4, and a mode that wrote nothing would leave old memory.
    uint32_t EffectiveRotationMode() const {
        return rotationMode <= kCameraRotation ? rotationMode : kNoRotation;
    }

    const BindResource* binding;
    uint32_t rotationMode;
    uint32_t scaleMode;
    ChildStart childStart;
    float worldMatrices[2][12];
    mutable float inverseWorldMatrix[12];
    uint8_t currentIndex = 0;
    mutable uint8_t inverseValid = 0;
    // Whether a world matrix has been written: the first one also serves
    // as the previous one.
    uint8_t composed = 0;
    float startScale[3] = {1.0f, 1.0f, 1.0f};
    float startBasis[9];

protected:
    // Endpoint `endpoint`'s matrix into `matrix`, which keeps what it held
    // when the query gives none (no endpoint, a kind outside 0-2, no
    // listener, a listener that writes nothing, no camera yet). Whether
    // one came is returned, but `Step` does not look at it.
    bool QueryEndpoint(uint32_t endpoint, uint32_t target, float* matrix) const;
    // Endpoint `endpoint`'s offset at the unit's time mapped by `m`: the
    // attach matrix.
    void Attach(uint32_t endpoint, const float* m, const float* samples, float* attach) const;
    // The random values of endpoint `endpoint`'s offset.
    void SampleOffset(uint32_t endpoint, float* samples);
    // Scale and basis fixed by the first frame's attach matrix.
    void FixStart(const float* attach);
    // The child of the first frame.
    void StartChild();
    // Step 1 of every frame.
    void Flip() {
        currentIndex ^= 1u;
        inverseValid = 0;
    }
    // Called once the current matrix is written.
    void Written();
    float* Current() { return worldMatrices[currentIndex]; }
    const float* Previous() const { return worldMatrices[currentIndex ^ 1u]; }

    // The camera's world matrix (its axis rows and position) from the
    // renderer's work data; false before the renderer exists.
    static bool CameraMatrix(float* out);
    // The camera's three axis rows, the identity before the renderer
    // exists.
    static void CameraRows(float* rows);
    // w's rows 0-2 = `rows` each times its scale.
    static void WriteScaledRows(float* w, const float* rows, const float* scales);
    // A row's approximate length and its fast unit vector.
    static float Length(const float* row);
    static void Normalize(float* out, const float* row);
};

} // namespace FulgorCore
