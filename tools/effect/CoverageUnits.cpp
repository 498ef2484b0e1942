#include "tools/effect/CoverageUnits.h"

#include "tools/effect/EffectComposition.h"
#include "tools/effect/ModelWriter.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace effecttools {

namespace {

// How long the timeline that starts the units plays; like every unit of a
// screen that plays until stopped they have no life of their own, and
// their entries cut them at the timeline's end.
constexpr int32_t kSpan = 60;
constexpr uint16_t kCutAtTheSpan = 2;
// The screens play their effects 600 units in front of the eye; these sit
// 300 behind it.
constexpr float kBehindTheEye = 900.0f;

// Timeline entries take part under the instance's default flag word.
constexpr uint8_t kEntryFlags = 1;

// A unit behind the eye that draws `parts`.
UnitValue Hidden(std::vector<DrawPartValue> parts) {
    UnitPlan plan;
    plan.life = 0;
    plan.translation = Vector3Plan{{0.0f, 0.0f, kBehindTheEye}, std::nullopt};
    plan.animated = UnitAnimates::kTranslation;
    UnitValue u = ComposeUnit(plan);
    u.drawParts = std::move(parts);
    return u;
}

// A draw part of `data` with `sets` texture-coordinate sets (its vertex
// format), untextured.
DrawPartValue Part(DrawDataValue data, uint32_t sets) {
    DrawPartValue p;
    p.data = std::move(data);
    p.fields = {{"UvSC", sets}};
    p.uvLayers.assign(sets, UvTransformValue{0u, 1u, std::nullopt, std::nullopt, std::nullopt});
    return p;
}

// One unit per three parts, each part of `data` in one of the formats.
std::vector<UnitValue> UnitsOf(const DrawDataValue& data, const std::vector<uint32_t>& formats) {
    std::vector<UnitValue> units;
    for (size_t i = 0; i < formats.size(); i += 3) {
        std::vector<DrawPartValue> parts;
        for (size_t k = i; k < formats.size() && k < i + 3; ++k)
            parts.push_back(Part(data, formats[k]));
        units.push_back(Hidden(std::move(parts)));
    }
    return units;
}

TimelineItemValue Start(int16_t unit) {
    TimelineItemValue item;
    item.target = unit;
    item.enabled = 1;
    item.flags = kEntryFlags;
    item.endFrame = static_cast<uint16_t>(kSpan);
    item.lct = kCutAtTheSpan;
    return item;
}

// Appends the units and a timeline of kSpan frames, started with the
// instance (the package has few places, so one for them all), whose
// entries start them. Returns the timeline.
TimelineValue& AddUnits(EffectFileValue& f, const std::vector<UnitValue>& units) {
    TimelineValue t;
    t.length = kSpan;
    for (const UnitValue& u : units) {
        f.package.units.push_back(u);
        t.items.push_back(Start(static_cast<int16_t>(f.package.units.size() - 1)));
    }
    f.package.timelines.push_back(t);
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
    return f.package.timelines.back();
}

DrawDataValue Trail(uint32_t kind) {
    DrawDataType12Value trail;
    trail.fields = {{"TDT", kind}, {"PtCn", 8}, {"PtIv", 2}};
    trail.floats = {{"Wid", Constant(1.0f)}};
    return trail;
}

// The camera as a bind's endpoint: the one target every instance has,
// whatever its listener names.
AttachPointValue Camera(uint32_t endpoint) {
    constexpr uint32_t kCameraTarget = 2;
    return AttachPointValue{kCameraTarget, endpoint, std::nullopt, TripleValue{}};
}

// A triangle of model vertices, 8 units across.
std::vector<uint8_t> Triangle() {
    std::vector<uint8_t> vertices;
    const float corners[3][2] = {{-4.0f, -4.0f}, {4.0f, -4.0f}, {0.0f, 4.0f}};
    for (uint8_t i = 0; i < 3; ++i) {
        const std::vector<uint8_t> v = ModelVertex(corners[i][0], corners[i][1], 0.0f, 128, 255, i);
        vertices.insert(vertices.end(), v.begin(), v.end());
    }
    return vertices;
}

} // namespace

void AddSetupCoverage(EffectFileValue& f) {
    // The vertex formats (texture-coordinate set counts) each draw type's
    // classes are missing from the screens' own units.
    DrawDataType9Value quad;
    quad.sizeX = 4.0f;
    quad.sizeY = 4.0f;
    DrawDataType5Value model;
    model.list = std::vector<int8_t>{0};
    DrawDataType10Value volume;
    volume.projectionType = 0;
    volume.rangeR = Constant(10.0f);
    volume.rangeW = Constant(2.0f);
    DrawDataType13Value mesh;
    mesh.vertices = Triangle();
    mesh.indices = std::vector<uint16_t>{0, 1, 2};
    const std::vector<uint32_t> allButOne = {0, 2, 3, 4, 5, 6};
    const std::pair<DrawDataValue, std::vector<uint32_t>> missing[] = {
        {Trail(0), {4, 5, 6}},
        {Trail(4), {0, 5, 6}},
        {DrawDataType8Value{Constant(12.0f)}, {3, 5, 6}},
        {quad, allButOne},
        {model, allButOne},
        {volume, allButOne},
        {mesh, allButOne},
    };
    std::vector<UnitValue> units;
    for (const auto& [data, formats] : missing)
        for (UnitValue& u : UnitsOf(data, formats))
            units.push_back(std::move(u));
    TimelineValue& t = AddUnits(f, units);

    // A carrier of one endpoint and one of two, on the camera; the unit
    // they start draws nothing.
    f.package.units.push_back(Hidden({}));
    const auto carried = static_cast<int16_t>(f.package.units.size() - 1);
    BindValue single;
    single.mode = 0;
    single.life = static_cast<int16_t>(kSpan);
    single.first = Camera(0);
    BindValue pair = single;
    pair.mode = 1;
    pair.second = Camera(1);
    for (const BindValue& b : {single, pair}) {
        f.package.binds.push_back(b);
        TimelineItemValue item = Start(carried);
        item.bind = static_cast<int16_t>(f.package.binds.size() - 1);
        t.items.push_back(item);
    }
}

} // namespace effecttools
