// The pictures of the flow screens: the title's version glyphs, the sprite
// font of ranking, next loop and setup, the ranking and setup parts, the
// game-over caption, the pilot select with its busts and panels, and the
// free-play end picture. Every texture is as large as the texel rectangles
// its screen reads; text is drawn with DejaVu Sans.
#include "tools/sampledata/GameScreenPictures.h"
#include "tools/sampledata/PictureMaker.h"
#include "tools/sampledata/SampleKind.h"

#include <cmath>
#include <functional>

namespace {

using namespace sampledata;

constexpr const char* kArchive = "0100";
constexpr const char* kCommon = "texture/game/common";
constexpr const char* kSetupRanking = "texture/setup_ranking";
constexpr const char* kSelect = "texture/selectpilot";
constexpr const char* kGameSelect = "texture/game/selectpilot";

using Maker = PictureMaker;

// "game_moji1.dds": 32 by 32 cells, digits on row 0, capitals on rows 1 and
// 2, small letters on rows 3 and 4 (so 'v' is at column 5 of row 4),
// punctuation on row 5 ('.' at column 14). Each glyph stands at the left of
// its cell, as the title's text advances by the glyphs' own widths (a point
// takes 12 pixels, a digit 24).
void VersionGlyphs(Maker& m) {
    RgbaImage image(512, 256, kClear);
    const std::string rows[] = {"0123456789",       "ABCDEFGHIJKLMNOP", "QRSTUVWXYZ",
                                "abcdefghijklmnop", "qrstuvwxyz",       "!\"#$%&'()*+,-/.:"};
    for (int32_t row = 0; row < 6; ++row)
        for (size_t col = 0; col < rows[row].size(); ++col)
            m.text.Draw(image, static_cast<int32_t>(col) * 32, row * 32, 26,
                        std::string(1, rows[row][col]), kWhite);
    m.Add(kCommon, "game_moji1.dds", image);
}

// "moji_setup_ranking.dds": the sprite font's 30 by 30 cells (digits, then
// a-m, n-z, punctuation) and the six pilot icons at x 390, 45 pixels each.
void SpriteFontGlyphs(Maker& m) {
    RgbaImage image(512, 512, kClear);
    const std::string rows[] = {"0123456789",     "abcdefghijklm",  "nopqrstuvwxyz",
                                "!\"#$%&'()=~|@", ";:[]{}<>,.?/\\", "_*-+"};
    for (int32_t row = 0; row < 6; ++row) {
        for (size_t col = 0; col < rows[row].size(); ++col)
            m.text.DrawInCell(image, static_cast<int32_t>(col) * 30, row * 30, 30, rows[row][col],
                              kWhite);
    }
    for (uint32_t p = 0; p < kPilotCount; ++p) {
        const int32_t y = static_cast<int32_t>(p) * 45;
        image.Fill(390, y + 2, 120, 41, WithAlpha(kPilotColours[p], 220));
        Frame(image, 390, y + 2, 120, 41, 2, kWhite);
        m.text.DrawCentred(image, 390, y + 2, 120, 41, 26, "PC" + std::to_string(p + 1), kWhite);
    }
    m.Add(kSetupRanking, "moji_setup_ranking.dds", image);
}

void RankingAndSetupParts(Maker& m) {
    RgbaImage header(614, 42, kClear);
    Gradient(header, 0, 0, 614, 42, 0x203060E0, 0x101830E0);
    m.text.Draw(header, 12, 4, 30, "RANKING", 0xFFE060FF);
    m.Add(kSetupRanking, "ranking_replay.dds", header);

    // The row cursor's nine glint frames: a light sweeping along the bar.
    for (int32_t k = 1; k <= 9; ++k) {
        RgbaImage cursor(1280, 48, kClear);
        Gradient(cursor, 0, 0, 1280, 48, 0x40A0FF60, 0x2060C060);
        const int32_t at = (k - 1) * 1280 / 9;
        cursor.Fill(at, 0, 140, 48, 0xC0E8FFB0);
        Frame(cursor, 0, 0, 1280, 48, 2, 0x80C0FFFF);
        m.Add(kSetupRanking, "replay_cursor" + std::to_string(k) + ".dds", cursor);
    }
    // Buttons: the setup draws the first 90 pixels of "OK", the ranking 172.
    const struct {
        const char* name;
        const char* caption;
        uint32_t colour;
        int32_t width;
    } buttons[] = {{"ok_off.dds", "OK", kGrey, 90},
                   {"ok_on.dds", "OK", 0x40FFA0FF, 90},
                   {"back_off.dds", "BACK", kGrey, 172},
                   {"back_on.dds", "BACK", 0x40FFA0FF, 172}};
    for (const auto& b : buttons) {
        RgbaImage image(172, 32, kClear);
        Plate(m.text, image, 0, 0, b.width, 32, b.colour, b.caption);
        m.Add(kSetupRanking, b.name, image);
    }
    RgbaImage title(236, 42, kClear);
    m.text.Draw(title, 6, 4, 30, "SET UP", 0xFFE060FF);
    m.Add(kSetupRanking, "set_up.dds", title);
    RgbaImage icon(64, 64, kClear);
    Disc(icon, 32, 32, 28, 0xFFD040FF);
    m.text.DrawCentred(icon, 0, 0, 64, 64, 36, "*", kWhite);
    m.Add(kSetupRanking, "achieve_icon.dds", icon);
}

// The game-over caption in two flicker frames and three frames of noise.
void GameOver(Maker& m) {
    for (int32_t k = 1; k <= 2; ++k) {
        RgbaImage image(720, 60, kClear);
        m.text.DrawCentred(image, k - 1, 0, 720, 60, 44, "GAME OVER",
                           k == 1 ? 0xFFFFFFFF : 0xFFD0D0FF);
        m.Add(kCommon, "gameover_ani" + std::to_string(k) + ".dds", image);
    }
    uint32_t seed = 12345;
    for (int32_t k = 1; k <= 3; ++k) {
        RgbaImage image(720, 60, kClear);
        for (int32_t line = 0; line < 12; ++line) {
            seed = seed * 1103515245u + 12345u;
            const int32_t y = static_cast<int32_t>((seed >> 16) % 60);
            const int32_t x = static_cast<int32_t>((seed >> 8) % 600);
            image.Fill(x, y, 40 + static_cast<int32_t>(seed % 120), 2, 0xFFFFFF90);
        }
        m.Add(kCommon, "gameover_noise_ani" + std::to_string(k) + ".dds", image);
    }
}

// The stage screen's overlays: the pause window and its dialog, the menu
// items and their reveal noise, the cursor strip and glow, the continue
// panel with its digits, the demonstration caption. Each is as large as the
// texel rectangle the screen reads.
void StageOverlays(Maker& m) {
    for (int32_t k = 0; k < 2; ++k) {
        const std::string n = std::to_string(k + 1);
        RgbaImage window(394, 180, kPauseWindowColours[k]);
        Frame(window, 0, 0, 394, 180, 3, kWhite);
        m.text.DrawCentred(window, 0, 0, 394, 60, 36, "PAUSE", kWhite);
        m.Add(kCommon, "pause_window1_ani" + n + ".dds", window);
        RgbaImage dialog(394, 180, kDialogWindowColours[k]);
        Frame(dialog, 0, 0, 394, 180, 3, kWhite);
        m.text.DrawCentred(dialog, 0, 0, 394, 60, 30, "GIVE UP?", kWhite);
        m.Add(kCommon, "pause_window2_ani" + n + ".dds", dialog);
    }
    // The additive glows: black (adding nothing) but for a light rim.
    for (const char* name : {"pause_window1_add.dds", "pause_window2_add.dds"}) {
        RgbaImage add(394, 180, 0x000000FF);
        Frame(add, 0, 0, 394, 180, 2, 0x406080FF);
        m.Add(kCommon, name, add);
    }
    RgbaImage effect(394, 180, kClear);
    Frame(effect, 0, 0, 394, 180, 4, 0x80C0FF80);
    m.Add(kCommon, "pause_window_ef.dds", effect);
    // Menu items: their text at the top-left of a 394 x 180 picture.
    const struct {
        const char* name;
        const char* text;
    } items[] = {{"pause_moji1_resume.dds", "RESUME"},
                 {"pause_moji2_restart.dds", "RESTART"},
                 {"pause_moji3_back.dds", "BACK TO MENU"},
                 {"pause_moji2_restart_caution_eng.dds", "RESTART: NO RANKING"},
                 {"pause_moji2_restart_caution_jap.dds", "RESTART (JP)"}};
    for (const auto& item : items) {
        RgbaImage image(394, 180, kClear);
        m.text.Draw(image, 0, 0, 22, item.text, kWhite);
        m.Add(kCommon, item.name, image);
    }
    RgbaImage yes(41, 24, kClear);
    m.text.Draw(yes, 0, 0, 20, "YES", kWhite);
    m.Add(kCommon, "pause_moji1_yes.dds", yes);
    RgbaImage no(29, 24, kClear);
    m.text.Draw(no, 0, 0, 20, "NO", kWhite);
    m.Add(kCommon, "pause_moji2_no.dds", no);
    for (int32_t k = 1; k <= 3; ++k) {
        RgbaImage noise(240, 24, 0x000000FF);
        for (int32_t x = (k * 37) % 16; x < 240; x += 16)
            noise.Fill(x, 0, 4, 24, 0x608080FF);
        m.Add(kCommon, "pause_moji_noise_ani" + std::to_string(k) + ".dds", noise);
    }
    // The cursor: 16 frames of a 40 x 40 arrow, brightening and fading.
    for (const char* name : {"cursor_ani_left.dds", "cursor_ani_right.dds"}) {
        RgbaImage strip(640, 40, kClear);
        for (int32_t f = 0; f < 16; ++f) {
            const auto glow = static_cast<uint8_t>(255 - 8 * (f < 8 ? f : 15 - f));
            for (int32_t row = 0; row < 20; ++row)
                strip.Fill(f * 40 + 8, 10 + row, row < 10 ? row + 1 : 20 - row, 1,
                           0xFFFF0000u | static_cast<uint32_t>(glow) << 8 | 0xFF);
        }
        m.Add(kCommon, name, strip);
    }
    RgbaImage glow(54, 54, 0x000000FF);
    Disc(glow, 27, 27, 20, 0x303020FF);
    m.Add(kCommon, "pause_cursor_add.dds", glow);

    for (int32_t k = 1; k <= 2; ++k) {
        RgbaImage base(720, 236, k == 1 ? 0x102030E0 : 0x183048E0);
        Frame(base, 0, 0, 720, 236, 3, 0x80A0FFFF);
        m.Add(kCommon, "cont_base" + std::to_string(k) + ".dds", base);
    }
    RgbaImage text(504, 48, kClear);
    m.text.Draw(text, 0, 0, 40, "CONTINUE?", kWhite);
    m.Add(kCommon, "cont_moji.dds", text);
    RgbaImage digits(660, 48, kClear);
    for (uint32_t d = 0; d < 10; ++d) {
        const auto x = static_cast<int32_t>(66 * d);
        digits.Fill(x, 0, 66, 48, ContinueDigitColour(d));
        m.text.DrawCentred(digits, x, 0, 66, 48, 40, std::to_string(d), kWhite);
    }
    m.Add(kCommon, "cont_suuji.dds", digits);
    RgbaImage dot(19, 19, kClear);
    Disc(dot, 9, 9, 6, kWhite);
    m.Add(kCommon, "cont_dot.dds", dot);

    for (int32_t k = 1; k <= 2; ++k) {
        RgbaImage caption(698, 42, kClear);
        m.text.DrawCentred(caption, 0, 0, 698, 42, 34, "DEMONSTRATION",
                           k == 1 ? kWhite : 0xC0C0C0FF);
        m.Add(kCommon, "demonstration_0" + std::to_string(k) + ".dds", caption);
    }
}

// Thumbnail strip heights of the pilots' busts.
constexpr int32_t kThumbHeights[kPilotCount] = {344, 360, 352, 328, 320, 368};

void Busts(Maker& m) {
    for (uint32_t p = 0; p < kPilotCount; ++p) {
        const uint32_t colour = kPilotColours[p];
        RgbaImage image(1024, 1024, kClear);
        // The bust: shoulders and head in texels (184,0)-(1023,719).
        Gradient(image, 304, 420, 600, 300, Scaled(colour, 0.9f), Scaled(colour, 0.4f));
        Disc(image, 604, 260, 150, Scaled(colour, 1.2f));
        Disc(image, 604, 260, 120, 0xF0D0B8FF);
        // The thumbnails: the plain strip, then the lit one under it.
        const int32_t h = kThumbHeights[p];
        const std::string number = std::to_string(p + 1);
        // The plain strip is drawn over the lit one for the pilot under the
        // cursor: translucent, so the light shows through.
        Gradient(image, 0, 0, 184, h, WithAlpha(Scaled(colour, 0.5f), 0x90),
                 WithAlpha(Scaled(colour, 0.2f), 0x90));
        Frame(image, 0, 0, 184, h, 3, Scaled(colour, 0.8f));
        m.text.DrawCentred(image, 0, 0, 184, h, 96, number, 0xC0C0C0FF);
        Gradient(image, 0, h, 184, h, Scaled(colour, 1.3f), colour);
        Frame(image, 0, h, 184, h, 3, kWhite);
        m.text.DrawCentred(image, 0, h, 184, h, 96, number, kWhite);
        // The name part at (0,736)-(288,960).
        Plate(m.text, image, 0, 736, 288, 224, colour, "PILOT " + number);
        char name[32];
        std::snprintf(name, sizeof name, "select_bup_pc%02u.dds", p + 1);
        m.Add(kSelect, name, image);

        RgbaImage picture(800, 480, kClear);
        Gradient(picture, 0, 0, 800, 480, WithAlpha(Scaled(colour, 0.6f), 160),
                 WithAlpha(Scaled(colour, 0.1f), 40));
        m.text.DrawCentred(picture, 0, 0, 800, 480, 120, "PC" + number,
                           WithAlpha(Scaled(colour, 1.4f), 200));
        m.Add(kSelect, "select_pc" + number + ".dds", picture);
    }
}

// Option panels: rows of 1000 x 112 texels in three looks each (plain, lit,
// blinking), row r's looks from v 336 r on.
void Panel(Maker& m, const char* folder, const char* name,
           const std::vector<std::string>& captions) {
    RgbaImage image(1024, 1024, kClear);
    const uint32_t looks[3] = {0x304060D0, 0x2080E0F0, 0xF0F0F0F0};
    const uint32_t inks[3] = {0xA0A8B0FF, kWhite, 0x2040A0FF};
    for (size_t r = 0; r < captions.size() && r < 3; ++r) {
        for (int32_t look = 0; look < 3; ++look) {
            const int32_t v = 112 * (look + 3 * static_cast<int32_t>(r));
            image.Fill(0, v + 8, 1000, 96, looks[look]);
            Frame(image, 0, v + 8, 1000, 96, 3, inks[look]);
            m.text.DrawCentred(image, 0, v + 8, 1000, 96, 56, captions[r], inks[look]);
        }
    }
    m.Add(folder, name, image);
}

void TitleBar(Maker& m, RgbaImage& image, int32_t x, int32_t y, const std::string& caption) {
    Plate(m.text, image, x, y, 569, 57, 0x40A0FFFF, caption);
}

void PilotSelect(Maker& m) {
    RgbaImage info(336, 160, kClear);
    Plate(m.text, info, 0, 128, 336, 32, kGrey, "Z: DECIDE   X: BACK");
    m.Add(kSelect, "info_bar.dds", info);

    RgbaImage back(1280, 720, kClear);
    Gradient(back, 0, 0, 1280, 720, 0x102040FF, 0x000000FF);
    for (int32_t x = 0; x < 1280; x += 80)
        back.Fill(x, 0, 1, 720, 0x203860FF);
    for (int32_t y = 0; y < 720; y += 80)
        back.Fill(0, y, 1280, 1, 0x203860FF);
    m.Add(kSelect, "select_bg1.dds", back);
    RgbaImage glow(1280, 720, 0x000000FF);
    for (int32_t y = 40; y < 720; y += 160)
        Gradient(glow, 0, y, 1280, 24, 0x000000FF, 0x183050FF);
    m.Add(kSelect, "select_bg2.dds", glow);

    Busts(m);

    RgbaImage parts(1024, 1024, kClear);
    Gradient(parts, 0, 0, 672, 104, 0x000000FF, 0x204080FF);
    m.text.DrawCentred(parts, 0, 0, 672, 104, 60, "SELECT PILOT", 0xA0D0FFFF);
    Plate(m.text, parts, 0, 104, 294, 40, 0x40A0FFFF, "GAME");
    Plate(m.text, parts, 294, 104, 270, 40, 0xFF8040FF, "STORY");
    const char* badges[3] = {"TYPE A", "TYPE B", "TYPE C"};
    for (int32_t b = 0; b < 3; ++b)
        Plate(m.text, parts, 200 * b, 144, 200, 64, 0xE0C040FF, badges[b]);
    for (uint32_t p = 0; p < kPilotCount; ++p)
        Plate(m.text, parts, 0, 208 + 104 * static_cast<int32_t>(p), 520, 104, kPilotColours[p],
              "PILOT " + std::to_string(p + 1));
    Plate(m.text, parts, 520, 208, 392, 80, 0x80A0C0FF, "STATUS");
    parts.Fill(520, 288, 392, 232, 0x202830C8);
    for (int32_t bar = 0; bar < 4; ++bar)
        parts.Fill(560, 320 + 50 * bar, 80 + 60 * bar, 16, 0x60E0A0FF);
    TitleBar(m, parts, 0, 831, "DIFFICULTY");
    m.Add(kSelect, "select_sozai1.dds", parts);

    Panel(m, kSelect, "md_panel01.dds", {"EASY", "NORMAL", "HARD"});
    Panel(m, kSelect, "md_panel02.dds", {"EASY", "NORMAL", "HARD"});
    Panel(m, kSelect, "md_panel_scat.dds", {"2 MINUTES", "5 MINUTES"});
    Panel(m, kGameSelect, "md_panel03.dds", {"SCORE ATTACK", "SECOND LOOP"});
    Panel(m, kGameSelect, "md_panel04.dds", {"SCORE ATTACK", "SECOND LOOP"});
    RgbaImage time(569, 57, kClear);
    TitleBar(m, time, 0, 0, "TIME LIMIT");
    m.Add(kSelect, "sa_select_sozai.dds", time);
    RgbaImage challenge(569, 57, kClear);
    TitleBar(m, challenge, 0, 0, "CHALLENGE");
    m.Add(kGameSelect, "select_sozai2.dds", challenge);
}

void FreePlayEnd(Maker& m) {
    RgbaImage image(1280, 720, kClear);
    Gradient(image, 0, 0, 1280, 720, 0x302010FF, 0x000000FF);
    m.text.DrawCentred(image, 0, 0, 1280, 720, 72, "THANK YOU FOR PLAYING", 0xFFE0A0FF);
    m.Add("demo", "cm_9men_end.dds", image);
}

bool BuildSceneTextures(sampledata::Staging& staging, std::string* error) {
    Maker m(staging, kArchive, error);
    if (!m.Open("scene textures"))
        return false;
    VersionGlyphs(m);
    SpriteFontGlyphs(m);
    RankingAndSetupParts(m);
    GameOver(m);
    StageOverlays(m);
    PilotSelect(m);
    FreePlayEnd(m);
    return m.Ok();
}

} // namespace

SAMPLEDATA_KIND(SceneTextures, BuildSceneTextures);
