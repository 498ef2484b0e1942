// Writes the seed corpus of the effect-file fuzz target: the game's seven
// effect files whole, one with fourteen triggers over timelines and a bind,
// one that names itself, one with two packages, and the timelines of the
// unit tree: every command tag with every criterion and odd numbers, and
// every entry kind, fit mode and index past its table; carriers over every
// mode and endpoint kind, and units with more parts than a particle holds;
// particles with unit events of every kind, target mode and depth.
//   make_effect_file_seeds <folder>
#include "tools/effect/GameEffects.h"
#include "tools/effect/PackageWriter.h"
#include "tools/effect/SeedFiles.h"

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
            bind.second = effecttools::AttachPointValue{(kind + 1) % 4, 0, std::string("b"), {}};
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

// A unit with more emitters and effect parts than a particle class holds.
std::vector<uint8_t> TooManyParts() {
    effecttools::EffectFileValue f = TreeFile("vfx/parts.vfxb");
    effecttools::EmitterValue emitter;
    emitter.kind = 2;
    f.package.units[1].emitters = {emitter, emitter, emitter};
    f.package.units[0].effectPart = effecttools::EffectPartValue{};
    f.package.units[0].drawParts.resize(4);
    effecttools::TimelineValue spawns;
    spawns.length = 20;
    spawns.items = {Entry(0, 0, 0, -1, 0, 10), Entry(0, 1, 0, 0, 0, 10)};
    f.package.timelines = {spawns};
    FillPlaces(f);
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

} // namespace

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
    seeds.push_back(TooManyParts());
    seeds.push_back(UnitEvents());
    return effecttools::WriteSeedFiles(argc, argv, "make_effect_file_seeds", seeds);
}
