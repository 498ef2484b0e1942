#include "effects/drawunits/DrawUnitFactory.h"

#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawUnitType3.h"
#include "effects/drawunits/DrawUnitType4.h"

namespace FulgorCore {

static_assert(sizeof(DrawUnitType1) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType2) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType3) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType4) <= kUnitBlockSize);
static_assert(sizeof(DrawUnitType11) <= kUnitBlockSize);

namespace {

template <class T>
DrawUnit* Build(ParticleInstance* owner, const ParticleResource* data, bool& noBlock) {
    DrawUnit* unit = DrawUnit::Create<T>(owner, data);
    noBlock = unit == nullptr;
    return unit;
}

} // namespace

DrawUnit* CreateDrawUnit(ParticleInstance* owner, const ParticleResource* data, bool& noBlock) {
    noBlock = false;
    if (!owner || !data)
        return nullptr;
    switch (data->GetDrawType()) {
    case 1:
        return Build<DrawUnitType1>(owner, data, noBlock);
    case 2:
        return DrawUnitType2::Accepts(*data) ? Build<DrawUnitType2>(owner, data, noBlock) : nullptr;
    case 3:
        return Build<DrawUnitType3>(owner, data, noBlock);
    case 4:
        return Build<DrawUnitType4>(owner, data, noBlock);
    case 11:
        return Build<DrawUnitType11>(owner, data, noBlock);
    default:
        return nullptr;
    }
}

ParticleDrawPart* CreateDrawPart(ParticleInstance* owner, const ParticleResource* data,
                                 bool& noBlock) {
    return CreateDrawUnit(owner, data, noBlock);
}

} // namespace FulgorCore
