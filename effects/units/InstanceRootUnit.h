#pragma once

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/Renderer.h"
#include "effects/units/DrawLists.h"
#include "effects/units/ExtraUnitList.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class IInstanceListenner;
class ParticleInstance;
class UnitResource;
struct ChildInstanceTable;
struct PartAssignment;

// The root of an instance's unit tree: what is per instance rather than
// per unit. It holds the world matrix the host gives and what derives from
// it, the instance colour, the instance's random state, its listener and
// package, the per-frame draw lists, the light queries to the host and up
// to 16 child instances started by "VFXC". It starts the package's
// timelines and, on request, extra timelines, answers the tree's questions
// about the shared per-instance state and draws one category of the
// instance's draw units.
class InstanceRootUnit : public UnitInstance {
public:
    static constexpr uint32_t kTimelinePlaces = 14;
    static constexpr uint32_t kExtraTimelines = 14;
    static constexpr uint32_t kSharedModes = 4;

    // `start` is the runtime's clock for the instance; `hostMatrix` is 4
    // rows of 3 floats. Without a block for the draw lists the root ends at
    // once.
    InstanceRootUnit(const PackageResource* package, const InitialState& start,
                     IInstanceListenner* listener, const float* hostMatrix, uint32_t seed,
                     uint16_t instanceFlags);
    // Sets the child instances it started dead, tells the root that
    // started it, then deletes its children and gives its blocks back.
    ~InstanceRootUnit() override;

    // A child instance's root is going: its place is freed and the hint
    // moves there; the hold it took is given back.
    void OnChildInstanceEnded(InstanceRootUnit* child) override;
    // Builds the timelines of the package's 14 places and the shared block.
    void Start() override;
    // The colour, both light queries when they are due, the child
    // instances.
    void Step() override;
    void FrameHook() override {}
    // Pass A over the tree, the instance fades, this frame's draw lists.
    void Evaluate() override;
    const float* GetWorldMatrix() const override { return worldMatrix; }
    const float* GetInverseWorldMatrix() const override { return inverseWorldMatrix; }
    void* GetSharedBlock() override { return sharedBlock; }
    uint32_t GetKind() const override { return kRoot; }

    // Slots the root adds after the base's.
    // BaseColor = the package colour x rgba; each child instance gets its
    // place's multiplier x rgba.
    virtual void SetColor(const float* rgba);
    // Final: the layer draw reads it for every instance's draw record.
    virtual const float* GetCurrentColor() const final { return currentColor; }
    // WorldMatrix = the package's local matrix x the host's, with its axis
    // lengths, Euler angles, rotation and inverse; passed to the child
    // instances.
    virtual void SetWorldMatrix(const float* matrix34);

    // Pass B for category 0 or 1, then the package's draw order.
    void DrawCategory(uint32_t category);
    // The two halves of DrawCategory, for a layer that collects one
    // instance's lists while the one before it draws: pass B into this
    // frame's lists of both categories, and the collected units of one
    // category drawn in the package's order (inline: the layer draw runs
    // it per instance).
    void CollectDrawLists();
    void DrawCollected(uint32_t category) {
        if (!drawLists || category >= DrawLists::kCategories)
            return;
        const uint32_t order = package ? package->GetDOT() : 0;
        Renderer::kDrawOrders[order % Renderer::kDrawOrderCount](drawLists->fillCounts[category],
                                                                 drawLists->arrays[category]);
    }
    // Starts the package's extra timeline n (1-14) under the id -n; other
    // numbers and empty entries start nothing.
    void StartExtraTimeline(int32_t n);
    // Starts the package's referenced effect `name` as a child instance in
    // a free place of the ring, with the colour multiplier `colour` (4
    // floats); it holds the root until it goes. Nothing when the package
    // does not refer to the name or every place is taken.
    void SpawnChildInstance(const char* name, const float* colour);
    // A particle instance of `unit` under `parent` at `position`, or null.
    // A lifetime of 0 or less (or not a number) never ends by time.
    ParticleInstance* SpawnParticleInstance(UnitInstance* parent, const UnitResource* unit,
                                            const float* position, float lifetime, float speed);
    // Stores the layer and passes it to the child instances.
    void SetLayer(uint8_t value);
    // The whole frames of its clock, for the runtime's fast-forward.
    int32_t GetCurrentFrame() const;

    // The instance fades (alpha of CurrentColor), run after pass A.
    static void ApplyDistanceFade(UnitInstance* unit);
    static void ApplyViewAngleFade(UnitInstance* unit);
    static void ApplyYawPitchAngleFade(UnitInstance* unit);
    static void ApplyYawAngleFade(UnitInstance* unit);
    static void ApplyPitchAngleFade(UnitInstance* unit);

    // Fields. What the runtime, the step and the evaluation read of every
    // instance each frame comes first, so a frame reads few cache lines of
    // the root's block; what changes with the host's calls follows.
    uint8_t paused = 0;
    uint8_t layer = 0;
    uint16_t instanceFlags;
    uint8_t sorted = 0;
    // Whether the draw lists hold arrays from the last evaluation.
    uint8_t drawListsTaken = 0;
    // Frame to fast-forward to at the next update ("SKFR"); 0 none.
    int32_t skipToFrame = 0;
    float rootParameter = 0.0f;
    uint32_t lightCounterA = 0;
    uint32_t lightCounterB = 0;
    // Updates the child instances each step; the no-op until their table
    // exists.
    Member childUpdateMember = NoOp;
    // The instance fades of the package; the no-op when it has none.
    Member distanceFadeMember = NoOp;
    Member angleFadeMember = NoOp;
    const PackageResource* package;
    DrawLists* drawLists = nullptr;
    // What this frame's extra units published during pass A, cleared at its
    // start (each null when no unit of its kind ran): the instance's light
    // constants, which go with its draw record. A kind-1 unit's effect
    // light (direction and colour, two float4), a kind-2 unit's alpha
    // light: its particle's inverse matrix (four rows of three floats) and
    // its start and range (two floats).
    const float* publishedDirection = nullptr;
    const float* publishedInverseMatrix = nullptr;
    const float* publishedRange = nullptr;
    // This frame's extra units, in the order their particles appended them.
    ExtraUnitList extraUnits;
    float baseColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float currentColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float worldMatrix[12];
    float lightResultA[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float lightResultB[4] = {};
    float inverseWorldMatrix[12];
    float rotationMatrix[12];
    float axisLengths[3] = {1.0f, 1.0f, 1.0f};
    float eulerAngles[3] = {};
    float meanAxisLength = 1.0f;
    IInstanceListenner* listener;
    // The unit that started this instance (a root's ring or a particle's
    // child effect), told when it goes.
    UnitInstance* parentRoot = nullptr;
    Xorshift128 random;
    uint8_t sharedModes[kSharedModes] = {};
    void* sharedBlock = nullptr;
    ChildInstanceTable* childInstances = nullptr;

private:
    // One place or extra timeline: a timeline unit, or the carriers of a
    // binding, under the id.
    void StartTimeline(const PartAssignment& entry, int8_t id);
    static void UpdateChildInstances(UnitInstance* unit);
    // The fade members the package asks for; the no-op for a fade that is
    // off, has no record or an angle mode past 3.
    void SelectFadeMembers();
};

} // namespace FulgorCore
