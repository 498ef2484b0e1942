// Writes the seed corpus of the effect-file fuzz target: the game's seven
// effect files whole, one with fourteen triggers over timelines and a bind,
// one that names itself, one with two packages, and the timelines of the
// unit tree: every command tag with every criterion and odd numbers, and
// every entry kind, fit mode and index past its table.
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
    seeds.push_back(DrawUnits());
    return effecttools::WriteSeedFiles(argc, argv, "make_effect_file_seeds", seeds);
}
