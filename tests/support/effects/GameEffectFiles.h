// The game's seven effect files in the "vfx" archive, in the order the
// screens load them: the folder and the file.
#pragma once

namespace testsupport {

struct GameEffectFile {
    const char* folder;
    const char* file;
};

inline constexpr GameEffectFile kGameEffectFiles[] = {
    {"logo", "logo_bg.vfxb"},
    {"logo", "logo_ovk.vfxb"},
    {"logo", "logo_brondel_velmora.vfxb"},
    {"logo", "logo_fulgor.vfxb"},
    {"title", "title_main.vfxb"},
    {"game_menu", "game_menu.vfxb"},
    {"setup", "setup.vfxb"},
};

} // namespace testsupport
