// The effect files of the logo, title, game menu and setup screens, in
// archive "vfx": valid effect containers (a version, a name and an empty
// package) until effects with units are made. An effect without units ends
// as soon as it starts, so the screens pass through them.
#include "tools/sampledata/ByteWriter.h"
#include "tools/sampledata/SampleKind.h"

namespace {

constexpr uint32_t kVersion = 0x01010101;

// A chunk tag: up to four characters, the first in the most significant
// byte of the little-endian word.
constexpr uint32_t Tag(const char* text) {
    uint32_t v = 0;
    for (const char* p = text; *p; ++p)
        v = v << 8 | static_cast<uint8_t>(*p);
    return v;
}

void Chunk(sampledata::ByteWriter& w, uint32_t tag, const std::vector<uint8_t>& payload) {
    w.U32(tag).U32(static_cast<uint32_t>(payload.size()));
    w.Bytes(payload.data(), payload.size()).Align(4);
}

std::vector<uint8_t> EmptyEffect(const std::string& name) {
    sampledata::ByteWriter version;
    version.U32(kVersion);
    std::vector<uint8_t> text(name.begin(), name.end());
    text.push_back(0);
    sampledata::ByteWriter w;
    Chunk(w, Tag("Ver"), version.Get());
    Chunk(w, Tag("Name"), text);
    Chunk(w, Tag("Pack"), {});
    return w.Take();
}

struct EffectFile {
    const char* path; // as the scene reads it: folder and file
    const char* name; // the effect name the scene registers it under
};

constexpr EffectFile kEffects[] = {
    {"logo/logo_bg.vfxb", "vfx/logo_bg.vfxb"},
    {"logo/logo_ovk.vfxb", "vfx/logo_ovk.vfxb"},
    {"logo/logo_brondel_velmora.vfxb", "vfx/logo_brondel_velmora.vfxb"},
    {"logo/logo_fulgor.vfxb", "vfx/logo_fulgor.vfxb"},
    {"title/title_main.vfxb", "title/title_main.vfxb"},
    {"game_menu/game_menu.vfxb", "game_menu/game_menu.vfxb"},
    {"setup/setup.vfxb", "setup/setup.vfxb"},
};

bool BuildEffects(sampledata::Staging& staging, std::string* error) {
    for (const EffectFile& e : kEffects)
        if (!staging.Add("vfx", e.path, EmptyEffect(e.name), error))
            return false;
    return true;
}

} // namespace

SAMPLEDATA_KIND(Effects, BuildEffects);
