#pragma once

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class IInstanceListenner;
class PackageResource;
struct ChildInstanceTable;

// The root of an instance's unit tree. Least form until the unit tree
// replaces it: it keeps what the runtime core gives it (package, start
// state, listener, transform, colour, layer, random state, flags, pause,
// warm-up target, root parameter), advances its clock and ends when its
// time reaches the longest "Life" of its package's units (never when that
// is 0). It starts no timelines of its own; triggers add theirs.
class InstanceRootUnit : public UnitInstance {
public:
    // `start` is what the runtime gives ({no parent, 0, 0, 1, length,
    // time mode}); `transform` is 4 rows of 3 floats.
    InstanceRootUnit(const PackageResource* package, const InitialState& start,
                     IInstanceListenner* listener, const float* transform, uint32_t seed,
                     uint16_t timelineFlags);
    // Sets the child instances it started dead and gives their table back.
    ~InstanceRootUnit() override;

    uint32_t GetKind() const override { return kRoot; }
    const float* GetWorldMatrix() const override { return worldMatrix; }
    const float* GetColor() const override { return colour; }
    void Step() override;

    // Slots the root adds after the base's.
    virtual void SetColor(const float* rgba);
    virtual const float* GetCurrentColor() const { return colour; }
    virtual void SetWorldMatrix(const float* matrix34);
    // Stores the layer and passes it to the child instances it started.
    void SetLayer(uint8_t value);

    // Starts up to 16 referenced effects by name as child instances into
    // the root's table (taken on first use); a name the package does not
    // resolve starts nothing.
    void SpawnChildEffects(const char* const* names, uint32_t count);
    // The whole frames of its clock, for the runtime's warm-up.
    int32_t GetCurrentFrame() const { return static_cast<int32_t>(totalTime); }

    // What the runtime reads and writes each frame first, then the rest.
    uint8_t paused = 0;
    uint8_t layer = 0;
    uint16_t timelineFlags;
    int32_t warmUpTarget = 0;
    float rootParameter = 0.0f;
    // Caches the child roots each step; the no-op until the table exists.
    Member childUpdateMember = NoOp;
    const PackageResource* package;
    InitialState startState; // as the runtime gave it
    IInstanceListenner* listener;
    float worldMatrix[12];
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Xorshift128 random;
    ChildInstanceTable* childInstances = nullptr;

private:
    static void ResolveChildRoots(UnitInstance* unit);
};

} // namespace FulgorCore
