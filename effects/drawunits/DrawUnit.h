#pragma once

#include "effects/Core/Engine/TextureSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"
#include "effects/drawunits/DrawClock.h"
#include "effects/units/ParticleDrawPart.h"

#include <cstdint>

namespace FulgorCore {

class IShader;
class InstanceRootUnit;
class PackageResource;
class ParticleInstance;
class ParticleResource;
struct DrawUnitOps;

// The drawn part of a particle: what every draw type shares. The base
// keeps the owner, the data and the texture set-up copied from the data,
// and in a pool block of its own the members chosen from the data (the
// texture kernels, the colour, scale and position-w members and the alpha
// getters) with the unit random values they read (those of the texture
// slots and texture-coordinate sets among them). A unit that gets no block for its members ends its
// particle and never calls a member.
class DrawUnit : public ParticleDrawPart {
public:
    static constexpr uint32_t kTextureSlots = 8;

    DrawUnit(ParticleInstance* owner, const ParticleResource* data);
    DrawUnit(const DrawUnit&) = delete;
    DrawUnit& operator=(const DrawUnit&) = delete;
    // Gives back the members' block.
    ~DrawUnit() override;
    // The particle's transform step: the frame's values from a copy of its
    // clock.
    void Update() override { Update(OwnerClock()); }
    virtual void Update(const DrawClock& clock) = 0;
    // Reserves the frame's geometry and hands its command over.
    virtual void Draw() = 0;

    // The particle's clock as the draw units' update takes it.
    DrawClock OwnerClock() const;
    InstanceRootUnit* Root() const { return root; }
    const PackageResource* Package() const { return package; }

    // Slot k's selector value and, on slots 3-7, its parameter value.
    static constexpr uint32_t SelectorSample(uint32_t slot) {
        return slot < 3 ? slot : 3 + (slot - 3) * 2;
    }
    static constexpr uint32_t ParameterSample(uint32_t slot) { return SelectorSample(slot) + 1; }

    // The alpha getters; the choice between them is the constructor's.
    static float GetAOff(const DrawUnit* unit, const EvaluationContext& context);
    static float GetAOffScaled(const DrawUnit* unit, const EvaluationContext& context);
    static float GetAOffConstant(const DrawUnit* unit, const EvaluationContext& context);
    static float GetATes(const DrawUnit* unit, const EvaluationContext& context);
    static float GetATesConstant(const DrawUnit* unit, const EvaluationContext& context);
    static float GetParameterZero(const DrawUnit* unit, const EvaluationContext& context);
    // Bytes 2 and 3 of a vertex parameter record: the low bytes of the
    // alpha offset and threshold, truncated toward zero.
    void EvaluateByteParameters(uint8_t* record, const EvaluationContext& context) const;

    // The draw colour of the frame (the data's colour times the owner's),
    // the size scaling and the vertices' fourth position component.
    void DrawColor(float* out, const float* ownerColor, const EvaluationContext& context) const;
    void Scale(float* vector, const EvaluationContext& context) const;
    float PositionW() const;

    // What every frame reads first: the members, the random state, the
    // owner, the data, and the instance's root and package (fixed for the
    // unit's life, so kept here rather than fetched through the owner).
    DrawUnitOps* ops = nullptr;
    Xorshift128* randomState;
    ParticleInstance* ownerUnit;
    InstanceRootUnit* root;
    const PackageResource* package;
    const ParticleResource* unitData;
    // The material's shader, held by the data (null when the device made
    // none: the unit's batches are still recorded with it).
    const IShader* unitShader = nullptr;
    uint32_t stateWord = 0;
    uint8_t usedTextureMask = 0;
    uint8_t uvOffsetFirstMask = 0;
    TextureSlot textureBindings[kTextureSlots] = {};

private:
    void ChooseMembers(uint32_t drawType);
};

} // namespace FulgorCore
