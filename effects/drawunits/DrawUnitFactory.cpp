#include "effects/drawunits/DrawUnitFactory.h"

#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CircleDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType13.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawUnitType3.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/ModelDrawUnit.h"
#include "effects/drawunits/ProjectionDrawUnit.h"
#include "effects/drawunits/QuadDrawUnit.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/StripDrawUnit.h"

#include <new>

namespace FulgorCore {

static_assert(sizeof(DrawUnitType1) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType2) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType3) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType4) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType11) <= kUnitBlockSize);

namespace {

constexpr uint32_t kTypes = 16;
constexpr uint32_t kTrailKinds = 8;
constexpr uint32_t kFormats = 8;
constexpr uint32_t kTrailType = 12;

template <class T> DrawUnit* Construct(void* block, ParticleInstance* owner,
                                       const ParticleResource* data) {
    return new (block) T(owner, data);
}

// One row per type, one column per vertex format; type 12 by trail
// sub-kind in a table of its own.
struct ClassTable {
    DrawUnitClass byType[kTypes][kFormats];
    DrawUnitClass trails[kTrailKinds][kFormats];
};

// A class that ignores the vertex format.
constexpr void Single(ClassTable& t, uint32_t type, DrawUnitClass c) {
    for (DrawUnitClass& entry : t.byType[type])
        entry = c;
}
// A family of one class per vertex format 0-6, built from its data.
template <template <uint32_t> class Unit> constexpr void Family(DrawUnitClass (&row)[kFormats]) {
    row[0] = {Construct<Unit<0>>};
    row[1] = {Construct<Unit<1>>};
    row[2] = {Construct<Unit<2>>};
    row[3] = {Construct<Unit<3>>};
    row[4] = {Construct<Unit<4>>};
    row[5] = {Construct<Unit<5>>};
    row[6] = {Construct<Unit<6>>};
}

// Rings share one class; the format is in the members it stores.
template <uint32_t N>
DrawUnit* ConstructRing(void* block, ParticleInstance* owner, const ParticleResource* data) {
    return new (block) RingDrawUnit(owner, data, RingDrawUnit::Members<N>());
}
constexpr void RingFamily(DrawUnitClass (&row)[kFormats]) {
    row[0] = {ConstructRing<0>};
    row[1] = {ConstructRing<1>};
    row[2] = {ConstructRing<2>};
    row[3] = {ConstructRing<3>};
    row[4] = {ConstructRing<4>};
    row[5] = {ConstructRing<5>};
    row[6] = {ConstructRing<6>};
}

constexpr ClassTable MakeClassTable() {
    ClassTable t{};
    Single(t, 1, {Construct<DrawUnitType1>});
    Single(t, 2, {Construct<DrawUnitType2>});
    Single(t, 3, {Construct<DrawUnitType3>});
    Single(t, 4, {Construct<DrawUnitType4>});
    Single(t, 11, {Construct<DrawUnitType11>});
    Family<ModelDrawUnit>(t.byType[5]);
    Family<StripDrawUnit>(t.byType[6]);
    RingFamily(t.byType[7]);
    Family<CircleDrawUnit>(t.byType[8]);
    Family<QuadDrawUnit>(t.byType[9]);
    Family<ProjectionDrawUnit>(t.byType[10]);
    Family<DrawUnitType13>(t.byType[13]);
    // Billboard (0), axis (1-3: the sub-kind picks the owner's axis) and
    // cross (4) trails.
    Family<BillboardTrailDrawUnit>(t.trails[0]);
    for (uint32_t kind = 1; kind <= 3; ++kind)
        Family<AxisTrailDrawUnit>(t.trails[kind]);
    Family<CrossTrailDrawUnit>(t.trails[4]);
    return t;
}

constexpr ClassTable kClasses = MakeClassTable();

} // namespace

DrawUnitClass ChooseDrawUnitClass(uint32_t type, uint32_t trailKind, uint32_t vertexFormat) {
    if (type >= kTypes || vertexFormat >= kFormats)
        return {};
    if (type == kTrailType)
        return trailKind < kTrailKinds ? kClasses.trails[trailKind][vertexFormat] : DrawUnitClass{};
    return kClasses.byType[type][vertexFormat];
}

DrawUnitClass ChooseDrawUnitClass(const ParticleResource& data) {
    const uint32_t type = data.GetDrawType();
    uint32_t trailKind = 0;
    if (type == kTrailType) {
        const DrawDataType12* trail = data.GetDrawDataType12();
        if (!trail)
            return {};
        trailKind = trail->GetField(DrawDataType12::kTDT);
    }
    return ChooseDrawUnitClass(type, trailKind, data.GetUvLayerCount());
}

DrawUnit* CreateDrawUnit(ParticleInstance* owner, const ParticleResource* data, bool& stop) {
    const DrawUnitClass c = data ? ChooseDrawUnitClass(*data) : DrawUnitClass{};
    stop = false;
    void* block = c.construct ? UnitPoolPart::AllocateBlock() : nullptr;
    if (!block) {
        stop = true;
        return nullptr;
    }
    return c.construct(block, owner, data);
}

ParticleDrawPart* CreateDrawPart(ParticleInstance* owner, const ParticleResource* data,
                                 bool& stop) {
    return CreateDrawUnit(owner, data, stop);
}

} // namespace FulgorCore
