#include "tools/effect/EffectComposition.h"

#include <utility>

namespace effecttools {

namespace {

FloatValue Component(float from, const std::optional<float>& to, float frames) {
    if (!to)
        return Constant(from);
    EasingValue e;
    e.type = 1;
    e.timeLength = frames;
    e.startValue = from;
    e.endValue = *to;
    return e;
}

template <size_t N>
std::optional<float> Target(const std::optional<std::array<float, N>>& to, size_t i) {
    return to ? std::optional<float>((*to)[i]) : std::nullopt;
}

// The unit's flag word, bit by bit, by the writer's tags.
constexpr const char* kFlagTags[] = {"bPCo", "bPSc", "bPRo", "bPPo", "bPGL", "bPGG",
                                     "bPRe", "bPFc", "bPVr", "bPDf", "bPAf"};
constexpr uint32_t kAccelerationBit = 4;
constexpr uint32_t kWorldAccelerationBit = 5;
constexpr uint32_t kSpeedFactorBit = 6;
constexpr uint32_t kDistanceFadeBit = 9;
constexpr uint32_t kAngleFadeBit = 10;
constexpr const char* kShareTags[] = {"RUSc", "RURt", "RUPs", "RUCl"};

// A square particle of 8 units a side, drawn in the default layer.
DrawPartValue Square() {
    DrawPartValue p;
    DrawDataType9Value quad;
    quad.sizeX = 8.0f;
    quad.sizeY = 8.0f;
    p.data = quad;
    return p;
}

EmitterValue PointEmitter(int8_t target) {
    EmitterValue e;
    e.kind = 2;
    SpawnEntryValue spawn;
    spawn.fields = {{"bEbl", 1}, {"GeIC", 1}, {"Lif", 30}};
    if (target >= 0)
        spawn.fields.push_back({"TgUI", static_cast<uint32_t>(target)});
    e.spawnEntries.push_back(spawn);
    TimedEntryValue timed;
    timed.enabled = 1;
    timed.count = 2;
    timed.interval = 5;
    e.timedEntries.push_back(timed);
    e.shape = ShapeValue{};
    return e;
}

AttachPointValue Point(const std::string& name, uint32_t index) {
    return AttachPointValue{1, index, name, TripleValue{}};
}

} // namespace

TripleValue ComposeVector3(const Vector3Plan& v) {
    return TripleValue{0, Component(v.from[0], Target(v.to, 0), v.frames),
                       Component(v.from[1], Target(v.to, 1), v.frames),
                       Component(v.from[2], Target(v.to, 2), v.frames)};
}

ColorValue ComposeColour(const ColourPlan& c) {
    ColorValue v;
    v.red = Component(c.from[0], Target(c.to, 0), c.frames);
    v.green = Component(c.from[1], Target(c.to, 1), c.frames);
    v.blue = Component(c.from[2], Target(c.to, 2), c.frames);
    v.alpha = Component(c.from[3], Target(c.to, 3), c.frames);
    return v;
}

UnitValue ComposeUnit(const UnitPlan& plan) {
    UnitValue u;
    u.life = plan.life;
    u.loopStart = plan.loopStart;
    u.loopEnd = plan.loopEnd;
    uint32_t flags = plan.animated & 0xFu;
    if (plan.acceleration)
        flags |= 1u << kAccelerationBit;
    if (plan.worldAcceleration)
        flags |= 1u << kWorldAccelerationBit;
    if (plan.speedFactor)
        flags |= 1u << kSpeedFactorBit;
    if (plan.distanceFade)
        flags |= 1u << kDistanceFadeBit;
    if (plan.angleFade)
        flags |= 1u << kAngleFadeBit;
    for (uint32_t bit = 0; bit < std::size(kFlagTags); ++bit)
        if (flags & (1u << bit))
            u.fields.push_back({kFlagTags[bit], 1});
    for (uint32_t bit = 0; bit < std::size(kShareTags); ++bit)
        if (plan.shares & (1u << bit))
            u.fields.push_back({kShareTags[bit], 1});
    u.fields.insert(u.fields.end(), plan.fields.begin(), plan.fields.end());
    if (plan.sharedUnit >= 0)
        u.resetNumber = plan.sharedUnit;
    if (plan.colour)
        u.color = ComposeColour(*plan.colour);
    const std::pair<const char*, const std::optional<Vector3Plan>*> triples[] = {
        {"Scl", &plan.scale},         {"Rot", &plan.rotation},
        {"Pos", &plan.translation},   {"GraL", &plan.acceleration},
        {"GraG", &plan.worldAcceleration}, {"Res", &plan.speedFactor}};
    for (const auto& [tag, value] : triples)
        if (*value)
            u.triples[tag] = ComposeVector3(**value);
    for (uint32_t i = 0; i < plan.drawParts; ++i)
        u.drawParts.push_back(Square());
    for (uint32_t i = 0; i < plan.emitters; ++i)
        u.emitters.push_back(PointEmitter(plan.emitTarget));
    if (!u.emitters.empty())
        for (size_t i = 0; i < plan.attachedUnits.size(); ++i)
            if (plan.attachedUnits[i] >= 0)
                u.emitters[0].parentLinks[i] = plan.attachedUnits[i];
    if (plan.extraKind != 0) {
        EffectPartValue extra;
        extra.kind = plan.extraKind;
        if (plan.extraKind == 2) {
            extra.innerRadius = Constant(10.0f);
            extra.outerRadius = Constant(50.0f);
        }
        u.effectPart = extra;
    }
    u.distanceFade = plan.distanceFade;
    u.angleFade = plan.angleFade;
    return u;
}

TimelineValue ComposeTimeline(const TimelinePlan& plan) {
    TimelineValue t;
    t.length = plan.length;
    for (const TimelineEntryPlan& e : plan.entries) {
        TimelineItemValue item;
        item.target = e.unit;
        item.enabled = e.enabled ? 1 : 0;
        item.flags = e.mask;
        item.startFrame = e.start;
        item.endFrame = e.end;
        if (e.bind >= 0)
            item.bind = e.bind;
        t.items.push_back(item);
    }
    return t;
}

BindValue ComposeBind(const BindPlan& plan) {
    BindValue b;
    b.mode = plan.second ? 1 : 0;
    b.life = plan.life;
    b.first = Point(plan.first, 0);
    if (plan.second)
        b.second = Point(*plan.second, 1);
    return b;
}

EffectFileValue ComposeEffect(const EffectPlan& plan) {
    EffectFileValue f;
    f.name = plan.name;
    PackageValue& p = f.package;
    p.floats = {{"BndR", plan.boundingRadius}, {"PvSx", 1.0f}, {"PvSy", 1.0f}, {"PvSz", 1.0f}};
    p.fields.push_back({"DOT", plan.sortMode & 3u});
    if (plan.endless)
        p.fields.push_back({"bPIT", 1});
    if (plan.distanceFade) {
        p.fields.push_back({"bDsF", 1});
        p.distanceFade = plan.distanceFade;
    }
    if (plan.angleFade) {
        p.fields.push_back({"bAgF", 1});
        p.angleFade = plan.angleFade;
    }
    for (const UnitPlan& u : plan.units)
        p.units.push_back(ComposeUnit(u));
    for (const TimelinePlan& t : plan.timelines) {
        p.timelines.push_back(ComposeTimeline(t));
        if (t.atStart)
            p.assignments.push_back({static_cast<int16_t>(p.timelines.size() - 1), std::nullopt});
    }
    for (const BindPlan& b : plan.binds)
        p.binds.push_back(ComposeBind(b));
    return f;
}

} // namespace effecttools
