// Writes the seed corpus of the effect-file fuzz target: the game's seven
// effect files whole, one with fourteen triggers over timelines and a bind,
// one that names itself, and one with two packages.
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
    return effecttools::WriteSeedFiles(argc, argv, "make_effect_file_seeds", seeds);
}
