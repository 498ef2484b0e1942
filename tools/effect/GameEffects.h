// The effect files of the logo, title, game menu and setup screens, written
// by the effect-file writer. Each names itself as its screen registers it.
// The logo effects live 240 frames; the title has an intro and an idle loop
// with a trigger that skips to the idle part (bit 1), and a panel and a ring
// that its extra units light and fade; the menu names its six entries and has
// one unit per entry with triggers for the highlight (bits 1-6, lit until the
// next highlight) and the decision (bits 8-13) of each; setup loops. Across
// the seven every draw type and
// emitter kind appears, with DDS textures, a mirrored model with edge and
// area data, a two-point bind and a clip in the last logo that plays the
// background logo effect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace effecttools {

struct GameEffectFile {
    std::string path; // as the screen reads it: folder and file
    std::vector<uint8_t> bytes;
};

// The seven files, in the order the screens load them.
std::vector<GameEffectFile> GameEffectFiles();

} // namespace effecttools
