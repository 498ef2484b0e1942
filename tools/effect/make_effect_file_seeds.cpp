// Writes the seed corpus of the effect-file fuzz target: the game's seven
// effect files whole, one with fourteen triggers over timelines and a bind,
// one that names itself, one with two packages, and the timelines of the
// unit tree: every command tag with every criterion and odd numbers, and
// every entry kind, fit mode and index past its table; carriers over every
// mode and endpoint kind, units with as many parts as a particle holds,
// emitters of every kind with modes, counts and item fields past what the
// data should hold, draw units refused or at their limits, particles with
// unit events of every kind, target mode and depth, units that emit
// themselves (one with a start offset), skips to later frames over
// pickable particles that end, the composed particle classes with every
// part kind and draw priorities outside the lists, particles due long
// before their emitter's first frame, and newborns with extra units
// advanced in single frames.
//   make_effect_file_seeds <folder>
#include "tools/effect/EmitterWriter.h"
#include "tools/effect/GameEffects.h"
#include "tools/effect/ModelWriter.h"
#include "tools/effect/PackageWriter.h"
#include "tools/effect/SeedFiles.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace {

effecttools::EffectFileValue OneUnit(const char* name) {
    effecttools::EffectFileValue f;
    f.name = name;
    effecttools::UnitValue unit;
    unit.life = 30;
    effecttools::DrawPartValue quad;
    quad.data = effecttools::DrawDataType9Value{};
    unit.drawParts.push_back(quad);
    f.package.units.push_back(unit);
    return f;
}

std::vector<uint8_t> Triggers() {
    effecttools::EffectFileValue f = OneUnit("vfx/triggers.vfxb");
    effecttools::TimelineValue endless;
    effecttools::TimelineValue timed;
    timed.length = 20;
    f.package.timelines = {endless, timed};
    effecttools::BindValue bind;
    bind.life = 15;
    f.package.binds.push_back(bind);
    for (int16_t k = 0; k < 14; ++k)
        f.package.triggers.push_back({int16_t(k % 2), int16_t(k % 3 == 0 ? 0 : -1)});
    f.textureNames = {"first", "second"};
    return effecttools::WriteEffectFile(f);
}

std::vector<uint8_t> NamesItself() {
    effecttools::EffectFileValue f = OneUnit("vfx/self.vfxb");
    effecttools::TimelineValue t;
    t.length = 10;
    effecttools::TimelineItemValue play;
    play.type = 1;
    play.enabled = 1;
    play.clip = effecttools::ReferenceClip("vfx/self.vfxb");
    t.items.push_back(play);
    f.package.timelines.push_back(t);
    f.package.referenceCapacity = 1;
    return effecttools::WriteEffectFile(f);
}

// The file of `f` with `t` as its only timeline, which the first place
// plays.
std::vector<uint8_t> PlayedByTheFirstPlace(effecttools::EffectFileValue& f,
                                           effecttools::TimelineValue t) {
    f.package.timelines = {std::move(t)};
    f.package.assignments.push_back({int16_t{0}, std::nullopt});
    return effecttools::WriteEffectFile(f);
}

effecttools::TimelineItemValue Command(std::vector<uint8_t> clip, uint16_t frame) {
    effecttools::TimelineItemValue item;
    item.type = 1;
    item.enabled = 1;
    item.flags = 1;
    item.startFrame = frame;
    item.clip = std::move(clip);
    return item;
}

effecttools::TimelineItemValue Entry(uint16_t kind, int16_t unit, uint16_t fit, int16_t bind,
                                     uint16_t start, uint16_t end) {
    effecttools::TimelineItemValue item;
    item.type = kind;
    item.target = unit;
    item.enabled = 1;
    item.flags = 1;
    item.lct = fit;
    item.bind = bind;
    item.startFrame = start;
    item.endFrame = end;
    return item;
}

// Tree seeds share fourteen places and fourteen triggers over their
// timelines, a one- and a two-endpoint bind, and two units.
effecttools::EffectFileValue TreeFile(const char* name) {
    effecttools::EffectFileValue f = OneUnit(name);
    f.package.floats = {{"PvSx", 1.0f}, {"PvSy", 1.0f}, {"PvSz", 1.0f}};
    f.package.units.push_back(f.package.units[0]);
    effecttools::BindValue one;
    one.mode = 0;
    one.life = 40;
    one.first = effecttools::AttachPointValue{2, 0, std::string("camera"), {}};
    effecttools::BindValue two;
    two.mode = 1;
    two.life = 20;
    two.first = effecttools::AttachPointValue{0, 0, std::string("a"), {}};
    two.second = effecttools::AttachPointValue{1, 0, std::string("b"), {}};
    f.package.binds = {one, two};
    return f;
}

void FillPlaces(effecttools::EffectFileValue& f) {
    const int16_t count = static_cast<int16_t>(f.package.timelines.size());
    for (int16_t i = 0; i < 14; ++i) {
        f.package.assignments.push_back({int16_t(i % count), int16_t(i % 4 == 3 ? i % 2 : -1)});
        f.package.triggers.push_back({int16_t((i + 1) % count), int16_t(i % 5 == 4 ? 1 : -1)});
    }
}

std::vector<uint8_t> Commands() {
    effecttools::EffectFileValue f = TreeFile("vfx/commands.vfxb");
    f.package.referenceCapacity = 2;
    effecttools::TimelineValue random;
    random.length = 30;
    for (uint32_t w : {1u, 7u, 14u, 15u, 0u})
        random.items.push_back(Command(effecttools::CommandClip("RNTK", {w, w + 2}), 1));
    random.items.push_back(Command(effecttools::CommandClip("RNTK", {3, 2}), 2));
    random.items.push_back(Command(effecttools::CommandClip("RNTK", {0xFFFFFFFFu, 5}), 3));
    effecttools::TimelineValue kill;
    kill.length = 60;
    effecttools::TimelineValue loops;
    loops.length = 0;
    for (uint32_t criterion = 0; criterion < 10; ++criterion) {
        kill.items.push_back(Command(effecttools::CommandClip("KILL", {criterion, 0, 10}),
                                     static_cast<uint16_t>(5 + criterion)));
        loops.items.push_back(Command(effecttools::CommandClip("ULLP", {criterion, 1}),
                                      static_cast<uint16_t>(5 + criterion)));
    }
    effecttools::TimelineValue rest;
    rest.length = 90;
    for (uint32_t frame : {50u, 20u, 100000u, 0xFFFFFFFFu})
        rest.items.push_back(Command(effecttools::CommandClip("SKFR", {frame}), 4));
    rest.items.push_back(Command(
        effecttools::CommandClip("EVCB", {1, 2, 3}, {"0123456789abcdef", "x", "", "yz"}), 6));
    rest.items.push_back(
        Command(effecttools::CommandClip("VFXC", {}, {"vfx/commands.vf", "xb"}), 7));
    rest.items.push_back(Command(effecttools::CommandClip("VFXC", {},
                                                          {"vfx/0123456789ab", "cdefghijklmnopqr",
                                                           "stuvwxyzABCDEFGH", "IJKLMNOPQRSTUVWX"}),
                                 8));
    rest.items.push_back(Command(effecttools::CommandClip("NONE", {1}), 9));
    f.package.timelines = {random, kill, loops, rest};
    FillPlaces(f);
    return effecttools::WriteEffectFile(f);
}

std::vector<uint8_t> Entries() {
    effecttools::EffectFileValue f = TreeFile("vfx/entries.vfxb");
    effecttools::TimelineValue units;
    units.length = 40;
    for (uint16_t fit = 0; fit < 5; ++fit) {
        units.items.push_back(Entry(0, 0, fit, -1, fit, 30));
        units.items.push_back(Entry(0, 1, fit, 0, fit, 10));
        units.items.push_back(Entry(0, 1, fit, 1, fit, 0));
    }
    units.items.push_back(Entry(0, 99, 0, -1, 0, 5));
    units.items.push_back(Entry(0, 0, 0, 77, 0, 5));
    units.items.push_back(Entry(2, 0, 0, -1, 0, 5));
    units.items.push_back(Entry(0, 0, 1, -1, 8, 8));
    effecttools::TimelineValue many;
    many.length = 0;
    for (uint16_t i = 0; i < 70; ++i)
        many.items.push_back(Entry(0, static_cast<int16_t>(i % 2), 0, -1, i, 60));
    effecttools::TimelineValue masked;
    masked.length = 20;
    effecttools::TimelineItemValue off = Entry(0, 0, 0, -1, 0, 5);
    off.flags = 0;
    effecttools::TimelineItemValue disabled = Entry(0, 0, 0, -1, 0, 5);
    disabled.enabled = 0;
    masked.items = {off, disabled, Entry(0, 0, 0, -1, 30, 40)};
    f.package.timelines = {units, many, masked};
    FillPlaces(f);
    return effecttools::WriteEffectFile(f);
}

// A spawn item of unit `unit` with the given lifetime mode and range; birth
// and death items with and without a delay.
effecttools::SpawnEntryValue SpawnItem(uint32_t unit, uint32_t variant) {
    effecttools::SpawnEntryValue v;
    v.fields = {{"TgUI", unit},
                {"OvLf", variant % 4},
                {"Lif", variant * 7},
                {"LifR", variant % 3 == 0 ? 0xFFFFu : variant},
                {"VNOf", variant * 5},
                {"GeIT", variant % 3},
                {"GeIP", 50 + variant * 20},
                {"GeIC", variant % 4},
                {"GeSD", variant % 2 ? 3u : 0u},
                {"UST", variant % 5},
                {"ApCd", variant % 2},
                {"bLiI", variant & 1u},
                {"bLSF", variant & 2u},
                {"bLfS", variant & 4u},
                {"bCVN", variant & 1u}};
    v.rei = {static_cast<float>(variant), -1.5f, 1e30f};
    return v;
}

std::vector<uint8_t> PointBytes(uint32_t count) {
    std::vector<uint8_t> bytes(count * 16, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const float xyz[3] = {static_cast<float>(i), 1.0f, -static_cast<float>(i)};
        std::memcpy(&bytes[i * 16], xyz, 12);
        bytes[i * 16 + 13] = 127;
    }
    return bytes;
}

effecttools::EmitterValue SeedEmitter(uint32_t kind, uint32_t variant, uint32_t units) {
    effecttools::EmitterValue e;
    e.kind = kind;
    effecttools::ShapeValue shape;
    shape.fields = {{"GnCT", (variant * 3 + kind) % 16}, {"GnPT", (variant * 5 + kind) % 16}};
    shape.model = static_cast<uint8_t>(variant % 3);
    shape.latitudeDivisions = static_cast<uint8_t>(variant % 4);
    shape.longitudeDivisions = static_cast<uint8_t>((variant + 1) % 4);
    shape.points = PointBytes(variant % 3 == 2 ? 0 : 3 + variant);
    shape.floats = {{"IjSp", effecttools::Constant(2.0f)}, {"Rad", effecttools::Constant(1.5f)},
                    {"RadI", effecttools::Constant(0.5f)}, {"RadO", effecttools::Constant(3.0f)},
                    {"Len", effecttools::Constant(2.0f)},  {"IjA", effecttools::Constant(3.0f)},
                    {"IjAI", effecttools::Constant(0.0f)}, {"IjAO", effecttools::Constant(3.1f)}};
    shape.size3 = effecttools::TripleValue{0, effecttools::Constant(1), effecttools::Constant(2),
                                           effecttools::Constant(3)};
    shape.size2 = effecttools::PairValue{0, effecttools::Constant(1), effecttools::Constant(2)};
    e.shape = shape;
    // Up to 127 items and timers (the blocks hold 32 of each).
    const uint32_t items = variant == 3 ? 127 : 2 + variant;
    for (uint32_t i = 0; i < items; ++i)
        e.spawnEntries.push_back(SpawnItem((i + variant) % (units + 2), i + variant));
    const uint32_t timers = variant == 4 ? 127 : 1 + variant % 3;
    for (uint32_t t = 0; t < timers; ++t) {
        effecttools::TimedEntryValue timer;
        timer.target = static_cast<uint16_t>(t * 3 % (items + 1));
        timer.count = static_cast<uint16_t>(1 + t % 3);
        timer.interval = static_cast<int16_t>(t % 4 == 3 ? 0 : 1 + t % 5);
        timer.startFrame = t == 1 ? -100000 : static_cast<int32_t>(t);
        timer.endFrame = static_cast<int32_t>(t % 2 ? 0 : 60);
        const float spacing = t % 2 ? 0.01f : 0.0f;
        std::memcpy(&timer.gnDI.emplace(), &spacing, 4);
        const float scale = 1.0f;
        std::memcpy(&timer.vlSc.emplace(), &scale, 4);
        timer.enabled = 1;
        e.timedEntries.push_back(timer);
    }
    return e;
}

// Units 1 to 29 each carry one or two emitters of kinds 1-9 over the
// variants (the last two with 127 items or 127 timers); a timeline of the
// first place starts all of them, and the spawn items name unit 0, the
// emitting units themselves and units past the table.
std::vector<uint8_t> Emitters() {
    effecttools::EffectFileValue f = OneUnit("vfx/emitters.vfxb");
    f.package.floats = {{"PvSx", 1.0f}, {"PvSy", 1.0f}, {"PvSz", 1.0f}};
    f.package.fields.push_back({"bPIT", 1});
    effecttools::ModelValue model;
    model.edgeVertices = PointBytes(4);
    model.edgeIndices = std::vector<uint16_t>{0, 1, 2, 1, 2, 3};
    model.areas = std::vector<float>{1.0f, 2.0f};
    model.totalArea = 2.0f;
    f.package.models = {model};
    constexpr uint32_t kUnits = 29;
    effecttools::TimelineValue start;
    start.length = 0;
    for (uint32_t u = 1; u <= kUnits; ++u) {
        const uint32_t kind = 1 + (u - 1) % 9;
        const uint32_t variant = u <= 27 ? (u - 1) / 9 : u - 25;
        effecttools::UnitValue unit;
        unit.life = static_cast<int32_t>(20 + u);
        unit.emitters.push_back(SeedEmitter(kind, variant, kUnits));
        if (u % 4 == 0)
            unit.emitters.push_back(SeedEmitter(1 + u % 9, (variant + 1) % 3, kUnits));
        if (u % 5 == 0) {
            effecttools::EffectPartValue extra;
            extra.kind = u % 3 + 1;
            extra.innerRadius = effecttools::Constant(1.0f);
            extra.outerRadius = effecttools::Constant(2.0f);
            unit.effectPart = extra;
        }
        f.package.units.push_back(unit);
        start.items.push_back(
            Entry(0, static_cast<int16_t>(u), 0, -1, static_cast<uint16_t>(u % 7), 200));
    }
    return PlayedByTheFirstPlace(f, std::move(start));
}

// Carriers over every rotation and scale mode (0-7) and endpoint kind
// (0-3), one- and two-endpoint, each starting a particle from a timeline
// entry and a timeline from a place; one unit with every part kind.
std::vector<uint8_t> Carriers() {
    effecttools::EffectFileValue f = TreeFile("vfx/carriers.vfxb");
    effecttools::UnitValue parts = f.package.units[0];
    parts.fields.push_back({"bECE", 1});
    effecttools::EmitterValue emitter;
    emitter.kind = 2;
    parts.emitters = {emitter, emitter};
    effecttools::EffectPartValue extra;
    extra.kind = 2;
    parts.effectPart = extra;
    f.package.units.push_back(parts);
    f.package.binds.clear();
    for (int16_t mode = 0; mode < 8; ++mode) {
        for (uint32_t kind = 0; kind < 4; ++kind) {
            effecttools::BindValue bind;
            bind.mode = static_cast<uint16_t>(mode % 2);
            bind.brtt = mode;
            bind.bstt = static_cast<int16_t>(7 - mode);
            bind.life = static_cast<int16_t>(10 + mode * 5);
            bind.first = effecttools::AttachPointValue{kind, 0, std::string("a"), {}};
            // A one-endpoint bind with a second point is refused at load.
            if (bind.mode == 1)
                bind.second =
                    effecttools::AttachPointValue{(kind + 1) % 4, 0, std::string("b"), {}};
            bind.trFc = effecttools::Constant(0.5f);
            f.package.binds.push_back(bind);
        }
    }
    effecttools::TimelineValue spawns;
    spawns.length = 50;
    for (int16_t b = 0; b < 32; ++b)
        spawns.items.push_back(Entry(0, static_cast<int16_t>(b % 3), static_cast<uint16_t>(b % 4),
                                     b, static_cast<uint16_t>(b), 40));
    effecttools::TimelineValue plain;
    plain.length = 30;
    plain.items.push_back(Entry(0, 2, 0, -1, 1, 20));
    f.package.timelines = {spawns, plain};
    for (int16_t i = 0; i < 14; ++i) {
        f.package.assignments.push_back({int16_t(i % 2), int16_t(i % 3 == 0 ? i : -1)});
        f.package.triggers.push_back({int16_t((i + 1) % 2), int16_t(i * 2 + 1)});
    }
    return effecttools::WriteEffectFile(f);
}

// Units with as many draw, emitter and effect parts as a particle holds
// (more are refused at load), the effect parts of a kind the particles
// refuse and of none.
std::vector<uint8_t> PartsAtTheirLimits() {
    effecttools::EffectFileValue f = TreeFile("vfx/parts.vfxb");
    effecttools::EmitterValue emitter;
    emitter.kind = 2;
    f.package.units[1].emitters = {emitter, emitter};
    effecttools::EffectPartValue refused;
    refused.kind = 3;
    f.package.units[1].effectPart = refused;
    f.package.units[0].effectPart = effecttools::EffectPartValue{};
    f.package.units[0].drawParts.resize(3);
    effecttools::TimelineValue spawns;
    spawns.length = 20;
    spawns.items = {Entry(0, 0, 0, -1, 0, 10), Entry(0, 1, 0, 0, 0, 10)};
    f.package.timelines = {spawns};
    FillPlaces(f);
    return effecttools::WriteEffectFile(f);
}

// The simple draw types with data they must refuse or hold still on: grids
// without cells or frames and of geometry mode 3, flipbooks of zero
// durations and far textures, fields of mode 3 and without points; each
// unit started by a timeline of the first place.
std::vector<uint8_t> DrawUnits() {
    effecttools::EffectFileValue f = OneUnit("vfx/drawunits.vfxb");
    f.package.units.clear();
    std::vector<effecttools::DrawPartValue> parts;
    auto add = [&parts](effecttools::DrawDataValue data) {
        effecttools::DrawPartValue part;
        part.data = std::move(data);
        parts.push_back(std::move(part));
    };
    effecttools::DrawDataType1Value line;
    line.length = effecttools::Constant(0.0f);
    add(line);
    const uint32_t grids[4][4] = {{0, 0, 2, 3}, {0, 4, 0, 3}, {0, 4, 2, 0}, {3, 4, 2, 3}};
    for (const auto& g : grids) {
        effecttools::DrawDataType2Value grid;
        grid.fields = {{"UvT", g[0]}, {"DivU", g[1]}, {"DivV", g[2]}, {"AnmI", g[3]}};
        add(grid);
    }
    add(effecttools::DrawDataType3Value{});
    const uint32_t fields[3][2] = {{3, 4}, {0, 0}, {2, 1}};
    for (const auto& d : fields) {
        effecttools::DrawDataType4Value field;
        field.fields = {{"DTyp", d[0]}, {"CrCt", d[1]}, {"Life", 10}};
        field.bpCt = 1;
        add(field);
    }
    effecttools::DrawDataType11Value flipbook;
    flipbook.keys = std::vector<uint8_t>(3 * 28, 0);
    add(flipbook);
    effecttools::DrawDataType11Value far;
    far.keys = std::vector<uint8_t>(28, 0xFF);
    add(far);
    add(effecttools::DrawDataType11Value{});
    effecttools::TimelineValue all;
    all.length = 60;
    for (size_t i = 0; i < parts.size(); ++i) {
        effecttools::UnitValue unit;
        unit.life = 60;
        unit.drawParts.push_back(parts[i]);
        f.package.units.push_back(unit);
        all.items.push_back(Entry(0, static_cast<int16_t>(i), 0, -1, 0, 60));
    }
    f.package.timelines = {all};
    f.package.assignments.push_back({int16_t{0}, int16_t{-1}});
    return effecttools::WriteEffectFile(f);
}

std::vector<uint8_t> TwoPackages() {
    effecttools::ChunkWriter w;
    w.U32("Ver", 0x01010101).Text("Name", "vfx/two.vfxb");
    effecttools::WritePackage(w, OneUnit("a").package);
    effecttools::WritePackage(w, OneUnit("b").package);
    return w.Take();
}

// A 14-byte unit event: time, kind, target mode and depth, the index or
// event byte, the four aspect switches and the replace switch, then the
// morph duration (a kind-2 delay overlaps bytes 8-9).
std::vector<uint8_t> UnitEvent(uint16_t time, uint16_t kind, int8_t mode, int8_t depth,
                               int8_t index, int16_t duration) {
    std::vector<uint8_t> e(14, 0);
    e[0] = static_cast<uint8_t>(time);
    e[1] = static_cast<uint8_t>(time >> 8);
    e[2] = static_cast<uint8_t>(kind);
    e[4] = static_cast<uint8_t>(mode);
    e[5] = static_cast<uint8_t>(depth);
    e[6] = static_cast<uint8_t>(index);
    for (int i = 7; i < 12; ++i)
        e[i] = static_cast<uint8_t>((time + i) % 2);
    e[12] = static_cast<uint8_t>(duration);
    e[13] = static_cast<uint8_t>(static_cast<uint16_t>(duration) >> 8);
    return e;
}

// Particles that take events and the pointer, whose event records hold
// every kind 0-5 with target modes -1 to 3, depths -2 to 3 and unit
// indices past the package's, started by a timeline.
std::vector<uint8_t> UnitEvents() {
    effecttools::EffectFileValue f = TreeFile("vfx/events.vfxb");
    for (effecttools::UnitValue& unit : f.package.units) {
        unit.fields.push_back({"bECE", 1});
        unit.fields.push_back({"bPDf", 1});
        unit.fields.push_back({"bPAf", 1});
        unit.distanceFade = effecttools::DistanceFadeValue{1.0f, 1.0f, 50.0f, 50.0f};
        unit.angleFade = effecttools::AngleFadeValue{1, 0.5f, 0.5f, 0.25f, 0.25f};
        unit.uic1 = std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0};
        unit.triples["Scl"] =
            effecttools::TripleValue{0, effecttools::Constant(2.0f), effecttools::Constant(1.0f),
                                     effecttools::Constant(1.0f)};
        for (uint16_t record = 0; record < 20; ++record) {
            effecttools::UnitTimelineValue events;
            uint16_t n = 0;
            for (int8_t mode = -1; mode <= 3; ++mode) {
                for (int8_t depth = -2; depth <= 3; ++depth, ++n) {
                    const uint16_t kind = static_cast<uint16_t>((record + n) % 6);
                    const int8_t index = static_cast<int8_t>(n % 4 - 1);
                    const int16_t duration = static_cast<int16_t>(n % 3 * 5 - 1);
                    events.items.push_back(UnitEvent(static_cast<uint16_t>(n % 9), kind, mode,
                                                     depth, index, duration));
                }
            }
            events.items.push_back(UnitEvent(1, 1, 0, 0, 99, 0));
            events.items.push_back(UnitEvent(2, 0, 0, 0, 99, 3));
            events.items.push_back(UnitEvent(3, 2, 0, 0, static_cast<int8_t>(record), 0));
            events.life = static_cast<uint16_t>(record);
            unit.unitTimelines.push_back(events);
        }
    }
    effecttools::TimelineValue t;
    t.length = 100;
    for (uint16_t i = 0; i < 6; ++i)
        t.items.push_back(Entry(0, static_cast<int16_t>(i % 2), 3, -1, i * 7, 60));
    f.package.timelines = {t};
    FillPlaces(f);
    return effecttools::WriteEffectFile(f);
}

// An emitter of `count` particles of one spawn item a frame, from frame 0.
effecttools::EmitterValue EveryFrame(std::vector<effecttools::FieldValue> item, uint16_t count) {
    effecttools::EmitterValue e;
    e.kind = 2;
    effecttools::ShapeValue shape;
    shape.floats = {{"IjSp", effecttools::Constant(1.0f)}};
    e.shape = shape;
    effecttools::SpawnEntryValue spawn;
    spawn.fields = std::move(item);
    e.spawnEntries = {spawn};
    effecttools::TimedEntryValue timer;
    timer.enabled = 1;
    timer.target = 0;
    timer.count = count;
    timer.interval = 1;
    timer.startFrame = 0;
    timer.endFrame = 0;
    e.timedEntries = {timer};
    return e;
}

// A unit that emits itself with a start offset of 2 frames every frame,
// its copies living 2 frames, and one that emits two of itself a frame
// without an offset, living 1: each new particle runs its own emitters at
// once.
std::vector<uint8_t> SelfEmitting() {
    effecttools::EffectFileValue f = OneUnit("vfx/selfemit.vfxb");
    f.package.units.clear();
    const uint32_t variants[2][4] = {{2, 2, 1, 0}, {0, 1, 2, 1}}; // UST, Lif, count, unit
    effecttools::TimelineValue start;
    start.length = 0;
    for (const auto& v : variants) {
        effecttools::UnitValue unit;
        unit.life = 0;
        unit.emitters = {EveryFrame({{"TgUI", v[3]}, {"UST", v[0]}, {"OvLf", 2}, {"Lif", v[1]}},
                                    static_cast<uint16_t>(v[2]))};
        f.package.units.push_back(unit);
        start.items.push_back(Entry(0, static_cast<int16_t>(v[3]), 0, -1, 0, 100));
    }
    return PlayedByTheFirstPlace(f, std::move(start));
}

// Pickable particles living 2 frames, started every frame and emitted by
// a pickable unit, under skips to later frames: the fast-forward ends
// particles it registered for the pointer.
std::vector<uint8_t> SkipWithPickable() {
    effecttools::EffectFileValue f = OneUnit("vfx/skip.vfxb");
    effecttools::UnitValue& picked = f.package.units[0];
    picked.life = 2;
    picked.fields.push_back({"bECE", 1});
    // A sphere of squared radius 4 (kind 1, then three floats).
    picked.uic1 = std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0};
    effecttools::UnitValue emitting = picked;
    emitting.life = 0;
    emitting.emitters = {EveryFrame({{"TgUI", 0}}, 2)};
    f.package.units.push_back(emitting);
    effecttools::TimelineValue t;
    t.length = 0;
    t.items.push_back(Entry(0, 1, 0, -1, 0, 200));
    for (uint16_t frame = 0; frame < 60; ++frame)
        t.items.push_back(Entry(0, 0, 0, -1, frame, static_cast<uint16_t>(frame + 2)));
    t.items.push_back(Command(effecttools::CommandClip("SKFR", {20}), 1));
    t.items.push_back(Command(effecttools::CommandClip("SKFR", {45}), 30));
    return PlayedByTheFirstPlace(f, std::move(t));
}

// A timer of one particle of item `item` a frame from `start`, up to `end`
// when given.
effecttools::TimedEntryValue OneAFrame(uint16_t item, int32_t start,
                                       std::optional<int32_t> end = std::nullopt) {
    effecttools::TimedEntryValue timer;
    timer.enabled = 1;
    timer.target = item;
    timer.count = 1;
    timer.interval = 1;
    timer.startFrame = start;
    timer.endFrame = end;
    return timer;
}

// Particles due long before their emitter's first frame, one a frame from
// its second on: a start of -2^31 frames stays due, its step of one frame
// lost in the float. Units of life 20 in single frames and in one step,
// an endless one and one looping over 2..8 in one step, and one due a frame
// late with a start offset past its life (a small one: mutants of the
// largest would step 32767 frames a frame, as the data asks).
std::vector<uint8_t> NewbornsPastTheirLife() {
    effecttools::EffectFileValue f = OneUnit("vfx/newborns.vfxb");
    f.package.units[0].life = 20;
    effecttools::UnitValue looping = f.package.units[0];
    looping.loopStart = 2;
    looping.loopEnd = 8;
    effecttools::UnitValue emitting;
    emitting.life = 0;
    // The shape of EveryFrame's emitter, with items and timers of its own.
    effecttools::EmitterValue e = EveryFrame({}, 1);
    struct Item {
        std::vector<effecttools::FieldValue> fields;
        int32_t start;
    };
    const Item items[5] = {{{{"TgUI", 0}, {"bLSF", 1}}, INT32_MIN},
                           {{{"TgUI", 0}}, INT32_MIN},
                           {{{"TgUI", 0}, {"OvLf", 2}, {"Lif", 0}}, INT32_MIN},
                           {{{"TgUI", 2}}, INT32_MIN},
                           {{{"TgUI", 0}, {"bLSF", 1}, {"UST", 40}}, 0}};
    e.spawnEntries.clear();
    e.timedEntries.clear();
    for (uint16_t i = 0; i < 5; ++i) {
        effecttools::SpawnEntryValue item;
        item.fields = items[i].fields;
        e.spawnEntries.push_back(item);
        e.timedEntries.push_back(OneAFrame(i, items[i].start));
    }
    emitting.emitters = {e};
    f.package.units.push_back(emitting);
    f.package.units.push_back(looping);
    effecttools::TimelineValue t;
    t.length = 0;
    t.items.push_back(Entry(0, 1, 0, -1, 0, 100));
    return PlayedByTheFirstPlace(f, std::move(t));
}

// A spawner of life 60 that emits once at its frame 3, first a unit of
// life 5 due 5 frames ahead, then one of life 3 due 4 frames ahead in
// single frames, both with an extra unit of kind 1: the one advanced
// frame by frame runs its transform step each frame before the root's
// pass A empties the list of extra units.
std::vector<uint8_t> SteppedNewbornsWithExtraUnits() {
    effecttools::EffectFileValue f = OneUnit("vfx/stepped.vfxb");
    f.package.units.clear();
    effecttools::EmitterValue e = EveryFrame({}, 1);
    e.spawnEntries.clear();
    e.timedEntries.clear();
    const uint32_t items[2][3] = {{1, 5, 0}, {2, 4, 1}}; // unit, UST, bLSF
    for (uint16_t i = 0; i < 2; ++i) {
        effecttools::SpawnEntryValue item;
        item.fields = {{"TgUI", items[i][0]}, {"UST", items[i][1]}, {"bLSF", items[i][2]}};
        e.spawnEntries.push_back(item);
        e.timedEntries.push_back(OneAFrame(i, 3, 3));
    }
    effecttools::UnitValue spawner;
    spawner.life = 60;
    spawner.emitters = {e};
    f.package.units.push_back(spawner);
    for (int32_t life : {5, 3}) {
        effecttools::UnitValue unit;
        unit.life = life;
        effecttools::EffectPartValue extra;
        extra.kind = 1;
        unit.effectPart = extra;
        f.package.units.push_back(unit);
    }
    effecttools::TimelineValue t;
    t.length = 60;
    t.items.push_back(Entry(0, 0, 0, -1, 0, 60));
    return PlayedByTheFirstPlace(f, std::move(t));
}

} // namespace

// The composed particle classes: a unit of every count of draw (0-3),
// emitter (0-2) and extra (0-1) parts, then units of every draw type,
// emitter kind and extra kind 0-15 with draw priorities of -1 and 7; all
// started by one timeline of the first place.
std::vector<uint8_t> ComposedClasses() {
    effecttools::EffectFileValue f = OneUnit("vfx/composed.vfxb");
    f.package.units.clear();
    auto unitOf = [](uint32_t draws, uint32_t emitters, bool extra, uint32_t kind) {
        effecttools::UnitValue unit;
        unit.life = 40;
        for (uint32_t k = 0; k < draws; ++k) {
            effecttools::DrawPartValue part;
            part.drawType = (kind + k) % 16;
            part.priority = static_cast<uint8_t>(k % 2 ? 0xFF : 7);
            unit.drawParts.push_back(part);
        }
        for (uint32_t k = 0; k < emitters; ++k) {
            effecttools::EmitterValue emitter;
            emitter.kind = (kind + k) % 16;
            unit.emitters.push_back(emitter);
        }
        if (extra) {
            effecttools::EffectPartValue part;
            part.kind = kind;
            unit.effectPart = part;
        }
        return unit;
    };
    for (uint32_t a = 0; a <= 3; ++a)
        for (uint32_t b = 0; b <= 2; ++b)
            for (uint32_t c = 0; c <= 1; ++c)
                f.package.units.push_back(unitOf(a, b, c == 1, a == 0 ? 2 : a + b * 3));
    for (uint32_t kind = 0; kind < 16; ++kind)
        f.package.units.push_back(unitOf(1, 1, true, kind));
    effecttools::TimelineValue all;
    all.length = 60;
    for (size_t i = 0; i < f.package.units.size(); ++i)
        all.items.push_back(Entry(0, static_cast<int16_t>(i), 0, -1, 0, 40));
    return PlayedByTheFirstPlace(f, std::move(all));
}

int main(int argc, char** argv) {
    std::vector<std::vector<uint8_t>> seeds;
    for (const effecttools::GameEffectFile& f : effecttools::GameEffectFiles())
        seeds.push_back(f.bytes);
    seeds.push_back(Triggers());
    seeds.push_back(NamesItself());
    seeds.push_back(TwoPackages());
    seeds.push_back(Commands());
    seeds.push_back(Entries());
    seeds.push_back(Carriers());
    seeds.push_back(PartsAtTheirLimits());
    seeds.push_back(Emitters());
    seeds.push_back(DrawUnits());
    seeds.push_back(UnitEvents());
    seeds.push_back(SelfEmitting());
    seeds.push_back(SkipWithPickable());
    seeds.push_back(ComposedClasses());
    seeds.push_back(NewbornsPastTheirLife());
    seeds.push_back(SteppedNewbornsWithExtraUnits());
    return effecttools::WriteSeedFiles(argc, argv, "make_effect_file_seeds", seeds);
}
