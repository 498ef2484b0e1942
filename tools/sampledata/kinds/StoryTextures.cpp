// The story screens' pictures in "script/texture": the skip hint, the text
// window, the stage captions, the nine portrait sheets laid out as the
// portraits read them (faces numbered), the cut-in noise, the opening's and
// intermissions' pictures, the pilots' name pictures, and the name plates of
// speakers 1 to 14 in both language folders.
#include "tools/sampledata/PictureMaker.h"
#include "tools/sampledata/SampleKind.h"

#include <cstdio>

namespace {

using namespace sampledata;

constexpr const char* kFolder = "script/texture";

std::string Name(const char* format, int n) {
    char text[64];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

void WindowParts(PictureMaker& m) {
    RgbaImage skip(128, 32, kClear);
    Plate(m.text, skip, 0, 0, 128, 32, kGrey, "X: SKIP");
    m.Add(kFolder, "ev_skip.dds", skip);

    RgbaImage window(720, 144, kClear);
    Gradient(window, 0, 0, 720, 144, 0x101830D8, 0x000810D8);
    Frame(window, 0, 0, 720, 144, 3, 0x80B0FFFF);
    Frame(window, 6, 6, 708, 132, 1, 0x4060A0FF);
    m.Add(kFolder, "ev_window_eng.dds", window);

    // One 56-pixel row per stage caption, the caption in x 568-1024; rows
    // 0, 4, 8 and 12 stay empty.
    RgbaImage telop(1024, 896, kClear);
    for (int32_t area = 1; area <= 4; ++area) {
        for (int32_t part = 1; part <= 3; ++part) {
            const int32_t row = (area - 1) * 4 + part;
            Plate(m.text, telop, 568, row * 56 + 4, 456, 48, 0xFFC040FF,
                  "STAGE " + std::to_string(area) + "-" + std::to_string(part));
        }
    }
    m.Add(kFolder, "ev_stage_telop.dds", telop);
}

// Character n's sheet: the large body with 15 large faces (120 x 160 cells
// right of it), the small body below with 15 small faces (96 x 128 cells).
void Sheet(PictureMaker& m, int32_t n) {
    static constexpr uint32_t kOthers[3] = {0xC0C0C0FF, 0xA08060FF, 0x6080A0FF};
    const uint32_t colour = n <= 6 ? kPilotColours[n - 1] : kOthers[n - 7];
    RgbaImage sheet(1024, 1024, kClear);
    Gradient(sheet, 0, 0, 384, 560, Scaled(colour, 1.1f), Scaled(colour, 0.4f));
    Disc(sheet, 165, 236, 90, 0xF0D0B8FF);
    Frame(sheet, 0, 0, 384, 560, 3, kWhite);
    m.text.DrawCentred(sheet, 0, 440, 384, 100, 48, Name("CHARA %d", n), kWhite);
    Gradient(sheet, 0, 560, 384, 448, Scaled(colour, 1.1f), Scaled(colour, 0.4f));
    Disc(sheet, 252, 816, 70, 0xF0D0B8FF);
    Frame(sheet, 0, 560, 384, 448, 3, kWhite);
    for (int32_t face = 1; face <= 15; ++face) {
        const int32_t c = (face - 1) % 5;
        const int32_t r = (face - 1) / 5;
        const std::string number = std::to_string(face);
        const int32_t lx = 384 + 120 * c, ly = 160 * r;
        sheet.Fill(lx, ly, 119, 159, 0xF0D0B8FF);
        Frame(sheet, lx, ly, 119, 159, 2, colour);
        m.text.DrawCentred(sheet, lx, ly, 119, 159, 64, number, Scaled(colour, 0.5f));
        const int32_t sx = 384 + 96 * c, sy = 560 + 128 * r;
        sheet.Fill(sx, sy, 95, 127, 0xF0D0B8FF);
        Frame(sheet, sx, sy, 95, 127, 2, colour);
        m.text.DrawCentred(sheet, sx, sy, 95, 127, 52, number, Scaled(colour, 0.5f));
    }
    m.Add(kFolder, Name("ev_pc%02dcut.dds", n), sheet);
}

// The cut-in noise over the small body's place: two frames side by side.
void Noise(PictureMaker& m) {
    RgbaImage noise(1024, 1024, kClear);
    uint32_t seed = 2024;
    for (int32_t frame = 0; frame < 2; ++frame) {
        for (int32_t line = 0; line < 90; ++line) {
            seed = seed * 1103515245u + 12345u;
            const int32_t y = 560 + static_cast<int32_t>((seed >> 16) % 448);
            const int32_t x = frame * 384 + static_cast<int32_t>((seed >> 8) % 300);
            noise.Fill(x, y, 20 + static_cast<int32_t>(seed % 64), 2 + frame,
                       0xC0E0FFFF - (seed & 0x7F00u));
        }
    }
    m.Add(kFolder, "ev_pccut_noise.dds", noise);
}

void Picture(PictureMaker& m, const std::string& name, uint32_t top, uint32_t bottom,
             const std::string& caption) {
    RgbaImage image(1280, 720, kClear);
    Gradient(image, 0, 0, 1280, 720, top, bottom);
    m.text.DrawCentred(image, 0, 0, 1280, 720, 96, caption, 0xFFFFFFC0);
    m.Add(kFolder, name, image);
}

void Pictures(PictureMaker& m) {
    for (int32_t n = 1; n <= 11; ++n) {
        const uint32_t top = Mix(0x203070FF, 0x702030FF, static_cast<float>(n - 1) / 10.0f);
        Picture(m, Name("ev_demo_bg%02d.dds", n), top, 0x000000FF,
                n <= 5 ? Name("OPENING %d", n) : Name("INTERMISSION %d", n - 5));
    }
    for (int32_t p = 1; p <= 6; ++p)
        Picture(m, Name("ev_pr_name_pc%d.dds", p), Scaled(kPilotColours[p - 1], 0.6f), 0x000000FF,
                Name("PILOT %d", p));
}

// Plates of speakers 1-14: the six pilots, then the other characters (7 and
// 9 share one).
void Plates(PictureMaker& m) {
    const char* names[] = {"ev_pc01name", "ev_pc02name", "ev_pc03name", "ev_pc04name",
                           "ev_pc05name", "ev_pc06name", "ev_sp01name", "ev_sp02name",
                           "ev_sp03name", "ev_sp04name", "ev_sp05name", "ev_sp06name",
                           "ev_sp07name"};
    const struct {
        const char* folder;
        const char* tag;
    } languages[] = {{"script/texture/pcs_jap", "JP"}, {"script/texture/pcs_eng", "EN"}};
    for (const auto& language : languages) {
        for (int32_t i = 0; i < 13; ++i) {
            RgbaImage plate(256, 32, kClear);
            const uint32_t colour = i < 6 ? kPilotColours[i] : 0xA0A0C0FF;
            Plate(m.text, plate, 0, 0, 256, 32, colour,
                  std::string(language.tag) + " " + (names[i] + 3));
            m.Add(language.folder, std::string(names[i]) + ".dds", plate);
        }
    }
}

bool BuildStoryTextures(Staging& staging, std::string* error) {
    PictureMaker m(staging, "script", error);
    if (!m.Open("story textures"))
        return false;
    WindowParts(m);
    for (int32_t n = 1; n <= 9; ++n)
        Sheet(m, n);
    Noise(m);
    Pictures(m);
    Plates(m);
    return m.Ok();
}

} // namespace

SAMPLEDATA_KIND(StoryTextures, BuildStoryTextures);
