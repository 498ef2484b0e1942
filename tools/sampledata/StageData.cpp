#include "tools/sampledata/StageData.h"

#include "game/core/tables/BossRecord.h"
#include "game/core/tables/BulletParamRow.h"
#include "game/core/tables/NameRow.h"
#include "game/stage/StageFiles.h"
#include "game/stage/StageMap.h"
#include "game/stage/StageTextureTable.h"
#include "tools/dds/DdsWriter.h"
#include "tools/font/TextPainter.h"
#include "tools/sampledata/GameTableData.h"
#include "tools/sampledata/TextCaption.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace SampleData {

namespace {

constexpr const char* kTextureArchive = "0110";
constexpr const char* kPathArchive = "path";
constexpr const char* kMapPictureArchive = kMapArchive;
constexpr uint32_t kStageScroll = 7200;
constexpr uint32_t kScoreAttackScroll = 24000;
constexpr uint32_t kScoreAttackMap = 24;
constexpr uint32_t kBulletSheetSize = 512;
constexpr uint32_t kEnemySheetSize = 256;
constexpr uint32_t kStagePictureHeight = 1280;
// Rows from here on reach the field within 3000 frames of a stage's scroll;
// the rows from the quiet one on (the field at the start and its first 480
// pixels of scroll, 400 frames) hold nothing, so that a stage starts empty.
constexpr uint32_t kEveryTypeRow = 180;
constexpr uint32_t kFirstQuietRow = 375;
constexpr uint32_t kStarWidth = 360;
constexpr uint32_t kStarHeight = 512;

// A colour of its own for every number: far apart steps of the three
// channels at the precision a BC1 block keeps.
Rgb PaletteColour(uint32_t k) {
    const auto five = [](uint32_t v) { return static_cast<uint8_t>(v << 3 | v >> 2); };
    const auto six = [](uint32_t v) { return static_cast<uint8_t>(v << 2 | v >> 4); };
    return {five((k * 7 + 3) % 32), six((k * 13 + 20) % 64), five((k * 19 + 9) % 32)};
}

uint32_t NameHash(const std::string& s) {
    uint32_t h = 2166136261u;
    for (char c : s)
        h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
    return h;
}

std::vector<uint8_t> PaintedDds(uint32_t width, uint32_t height,
                                const std::function<Rgb(uint32_t x, uint32_t y)>& paint) {
    const uint32_t columns = (width + 3) / 4, rows = (height + 3) / 4;
    std::vector<uint8_t> blocks(size_t{columns} * rows * 8);
    for (uint32_t by = 0; by < rows; ++by)
        for (uint32_t bx = 0; bx < columns; ++bx) {
            const Rgb c = paint(bx * 4, by * 4);
            tools::EncodeSolidBc1(c.r, c.g, c.b, &blocks[(size_t{by} * columns + bx) * 8]);
        }
    return tools::WriteDds(sys::DdsFormat::BC1, width, height, 1, false, blocks.data(),
                           blocks.size());
}

// What a rectangle of a picture shows over its flat colour: nothing, text
// (a caption, a label, a digit) or the ship's outline (a ship in stock).
enum class Face { kPlain, kText, kShip };

// A rectangle of a heads-up sheet, corners exclusive at the right and bottom.
struct UiRect {
    uint32_t x0, y0, x1, y1;
    Face face = Face::kPlain;
    std::string text = {};
};

// The five sub weapons' names, on their plates and list entries.
constexpr const char* kSubWeaponNames[5] = {"BEAM COLUMN", "HOMING LASER", "BLAST SHOT",
                                            "AIMED BOMB", "DECOYS"};

std::vector<UiRect> UiRects(uint32_t sheet) {
    std::vector<UiRect> r;
    const auto text = [](uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, std::string t) {
        return UiRect{x0, y0, x1, y1, Face::kText, std::move(t)};
    };
    if (sheet == 1) {
        r.push_back(text(0, 0, 104, 24, "SCORE"));
        r.push_back(text(104, 0, 144, 24, "HI"));
        for (uint32_t d = 0; d < 10; ++d)
            r.push_back(text(144 + 24 * d, 0, 168 + 24 * d, 24, std::to_string(d)));
        r.push_back({408, 0, 432, 24, Face::kShip}); // the score attack's ship
        r.push_back(text(0, 32, 96, 64, "STAGE"));
        r.push_back({96, 64, 120, 88, Face::kShip}); // a ship in stock
        for (uint32_t p = 0; p < 5; ++p)             // sub-weapon plates
            r.push_back(text(152 * (p % 3), 128 + 40 * (p / 3), 152 * (p % 3) + 152,
                             168 + 40 * (p / 3), kSubWeaponNames[p]));
        r.push_back({0, 208, 152, 248}); // plate highlight
    } else {
        r.push_back({0, 0, 280, 720});   // left panel
        r.push_back({280, 0, 560, 720}); // right panel
        // List entries: the five normal, the five highlighted, the greyed one.
        for (uint32_t i = 0; i < 11; ++i)
            r.push_back(
                text(560, 48 * i, 816, 48 * i + 48, i < 10 ? kSubWeaponNames[i % 5] : "---"));
        r.push_back(text(0, 720, 208, 768, "GAUGE")); // gauge plate
    }
    return r;
}

uint32_t Rgba(Rgb c, uint8_t alpha = 255) {
    return uint32_t{c.r} << 24 | uint32_t{c.g} << 16 | uint32_t{c.b} << 8 | alpha;
}

// Black or white, whichever stands out more from `ground`.
uint32_t InkOn(Rgb ground) {
    const uint32_t luma = (299u * ground.r + 587u * ground.g + 114u * ground.b) / 1000u;
    return luma > 140 ? 0x000000FFu : 0xFFFFFFFFu;
}

// A ship's outline, nose up, filling most of the box.
void ShipMark(tools::RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t ink) {
    const int32_t top = y + h / 6, bottom = y + h - h / 6;
    for (int32_t row = top; row < bottom; ++row) {
        const int32_t half = (row - top) * (w / 2 - 2) / (bottom - top);
        image.Fill(x + w / 2 - half, row, 2 * half + 1, 1, ink);
    }
}

std::vector<uint8_t> RgbaDds(const tools::RgbaImage& image) {
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, image.width, image.height, 1, false,
                           image.pixels.data(), image.pixels.size());
}

// Flat rectangles, each with what it shows drawn over it.
void PaintFaces(tools::RgbaImage& image, const std::vector<UiRect>& rects,
                const std::function<Rgb(uint32_t i)>& colourOf) {
    for (size_t i = 0; i < rects.size(); ++i) {
        const UiRect& r = rects[i];
        const Rgb ground = colourOf(static_cast<uint32_t>(i));
        const auto x = static_cast<int32_t>(r.x0), y = static_cast<int32_t>(r.y0);
        const auto w = static_cast<int32_t>(r.x1 - r.x0), h = static_cast<int32_t>(r.y1 - r.y0);
        image.Fill(x, y, w, h, Rgba(ground));
        if (r.face == Face::kText)
            sampledata::Caption(image, x, y, w, h, r.text, InkOn(ground));
        else if (r.face == Face::kShip)
            ShipMark(image, x, y, w, h, InkOn(ground));
    }
}

void Add(std::vector<StageFile>& out, const char* archive, const std::string& path,
         std::vector<uint8_t> bytes) {
    out.push_back({archive, path, std::move(bytes)});
}

// The sheets the ship and its effects cut sprites from, by file name: their
// sizes and the cells of the grid each is painted in, one colour a cell.
struct Sheet {
    uint32_t width, height;
    uint32_t cellWidth, cellHeight;
};

const std::map<std::string, Sheet>& PlayerSheets() {
    static const std::map<std::string, Sheet> kSheets = {
        // In each ship's folder.
        {"player.dds", {480, 384, 96, 96}},
        {"player_ef1.dds", {896, 896, 224, 112}},
        {"player_ef2.dds", {896, 896, 224, 112}},
        {"player_ef3.dds", {896, 896, 224, 112}},
        {"player_shot.dds", {512, 512, 16, 16}},
        {"player_eftb1.dds", {16, 16, 16, 16}},
        {"player_eftb2.dds", {16, 16, 16, 16}},
        {"player_eftb3.dds", {16, 16, 16, 16}},
        // Common.
        {"pc_muteki.dds", {480, 480, 96, 96}},
        {"pc_shield01.dds", {480, 384, 96, 96}},
        {"gura_add1.dds", {1024, 1024, 256, 256}},
        {"gura_add2.dds", {1024, 1024, 256, 256}},
        {"gura_add3.dds", {1024, 1024, 256, 256}},
        {"gura_sub1.dds", {1024, 1024, 256, 256}},
        {"gura_sub2.dds", {1024, 1024, 256, 256}},
        {"gura_sub3.dds", {1024, 1024, 256, 256}},
        {"gura_hit.dds", {1024, 1024, 256, 256}},
        {"gura_hamon.dds", {480, 480, 480, 480}}, // drawn whole
        {"ef_pc_hitdown.dds", {1024, 512, 256, 256}},
        {"ef_pc_baku1.dds", {1024, 1024, 256, 256}},
        {"ef_pc_baku2.dds", {1024, 1024, 256, 256}},
        {"ef_power_up.dds", {1024, 1024, 512, 512}},
        {"ef_pc_baku_hamon.dds", {720, 720, 720, 720}},
        {"ef_pc_baku_tb.dds", {28, 224, 28, 28}},
        {"sys_sozai1.dds", {480, 736, 32, 32}},
        {"p_item_score1.dds", {360, 64, 8, 8}},
        {"p_item_score2.dds", {360, 64, 8, 8}},
        {"p_item_score_kie1.dds", {380, 40, 380, 40}},
        {"p_item_score_kie2.dds", {380, 40, 380, 40}},
        {"p_item_score_kie3.dds", {380, 40, 380, 40}},
        // The sub weapons: bodies, flashes, columns (head cap, body, tail
        // cap in bands of 16 rows), sparks, specks, explosions, waves.
        {"subwp_ef.dds", {512, 512, 48, 48}},
        {"subwp1_1.dds", {512, 512, 128, 256}},
        {"subwp1_2.dds", {240, 1680, 240, 16}},
        {"subwp1_hit.dds", {560, 80, 80, 80}},
        {"subwp1_hit_tubu.dds", {128, 32, 32, 32}},
        {"subwp2_1.dds", {512, 512, 128, 128}},
        {"h_laser.dds", {48, 1024, 48, 64}},
        {"h_laser_hit1.dds", {128, 128, 128, 128}},
        {"h_laser_hit2.dds", {192, 192, 192, 192}},
        {"h_laser_lock.dds", {128, 128, 128, 128}},
        {"subwp2_hit.dds", {560, 80, 80, 80}},
        {"subwp2_hit_tubu.dds", {128, 32, 32, 32}},
        {"subwp3_1.dds", {1024, 1024, 256, 256}},
        {"subwp3_2.dds", {1024, 1024, 256, 256}},
        {"subwp4_1.dds", {1024, 1024, 256, 256}},
        {"subwp4_2.dds", {1024, 1024, 256, 256}},
        {"subwp4_3.dds", {512, 512, 512, 512}},
        {"subwp5_1.dds", {512, 512, 128, 256}},
        {"subwp5_2.dds", {240, 1248, 240, 16}},
        {"subwp5_hit.dds", {560, 80, 80, 80}},
        {"subwp5_hit_tubu.dds", {128, 32, 32, 32}},
        // The ex-weapons: the laser's muzzle frames, ring and beam strips,
        // the shield, its sparks and its ready sign, the map-object blast.
        {"barion01.dds", {960, 1008, 480, 336}},
        {"barion02.dds", {512, 512, 512, 512}},
        {"barion03.dds", {432, 1416, 144, 1416}},
        {"baryon_s_ef1.dds", {400, 400, 400, 400}},
        {"baryon_s_ef2.dds", {200, 200, 200, 200}},
        {"baryon_s_ef3.dds", {200, 200, 200, 200}},
        {"baryon_s_ef4.dds", {140, 140, 140, 140}},
        {"baryon_s_ef5.dds", {120, 120, 120, 120}},
        {"baryon_s_ok1.dds", {208, 208, 208, 208}},
        {"baryon_s_ok2.dds", {180, 180, 180, 180}},
        {"ef_teki_baku2.dds", {1024, 1024, 256, 256}},
    };
    return kSheets;
}

const Sheet* SheetOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const auto found =
        PlayerSheets().find(slash == std::string::npos ? path : path.substr(slash + 1));
    return found == PlayerSheets().end() ? nullptr : &found->second;
}

// A colour from the 16 bits of a hash that a BC1 block keeps.
Rgb HashColour(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return Bc1Colour(
        {static_cast<uint8_t>(h << 3), static_cast<uint8_t>(h >> 3), static_cast<uint8_t>(h >> 8)});
}

std::string Format(const char* pattern, uint32_t n) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

// The stage pictures that show text or digits: their size, whether the
// ground between their rectangles is clear, and what each rectangle shows
// over the picture's own colour (the warning row of the clocks in red).
struct TextPicture {
    uint32_t width = 0, height = 0;
    bool clearGround = false;
    std::vector<UiRect> faces;
    uint32_t warningFrom = ~0u; // the first face of the warning row
};

std::string FileOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool TextPictureOf(const std::string& path, TextPicture* out) {
    const std::string name = FileOf(path);
    TextPicture t;
    const auto text = [&t](uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, std::string s) {
        t.faces.push_back({x0, y0, x1, y1, Face::kText, std::move(s)});
    };
    // Ten digit cells side by side from (x, y).
    const auto digits = [&text](uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
        for (uint32_t d = 0; d < 10; ++d)
            text(x + w * d, y, x + w * d + w, y + h, std::to_string(d));
    };
    // The row of a clock's last seconds, in red.
    const auto warningRow = [&t] { t.warningFrom = static_cast<uint32_t>(t.faces.size()); };
    // One caption over the whole picture.
    static const std::map<std::string, std::pair<std::pair<uint32_t, uint32_t>, const char*>>
        kCaptions = {{"result.dds", {{384, 96}, "RESULT"}},
                     {"result_nomiss.dds", {{328, 48}, "NO MISS BONUS"}},
                     {"result_nodamage.dds", {{464, 48}, "NO DAMAGE BONUS"}},
                     {"result_remain.dds", {{368, 48}, "SHIPS LEFT BONUS"}},
                     {"result_bikou.dds", {{304, 48}, "ADDED TO THE SCORE"}},
                     {"result_suuji_x.dds", {{48, 48}, "X"}},
                     {"sam_time_up.dds", {{480, 96}, "TIME UP"}}};
    int stage = 0;
    char line = 0;
    if (const auto found = kCaptions.find(name); found != kCaptions.end()) {
        t.width = found->second.first.first;
        t.height = found->second.first.second;
        text(0, 0, t.width, t.height, found->second.second);
    } else if (name == "result_suuji.dds") {
        // Ten 48 by 48 digit cells.
        t.width = 480;
        t.height = 48;
        digits(0, 0, 48, 48);
    } else if (name == "sa_time_count.dds") {
        // The clock: digits 54 wide and the colon at 540, on two rows of 55,
        // the second (from 60) for the last ten seconds.
        t.width = 560;
        t.height = 116;
        digits(0, 0, 54, 55);
        text(540, 0, 558, 55, ":");
        warningRow();
        digits(0, 60, 54, 55);
        text(540, 60, 558, 115, ":");
    } else if (name == "gura_count.dds") {
        // The Grabuster's countdown: the point at 0, digits 72 wide from 24,
        // on two rows of 80, the second for its last seconds.
        t.width = 744;
        t.height = 161;
        text(0, 0, 24, 80, ".");
        digits(24, 0, 72, 80);
        warningRow();
        text(0, 80, 24, 160, ".");
        digits(24, 80, 72, 80);
    } else if (std::sscanf(name.c_str(), "sam_%d.dds", &stage) == 1) {
        t.width = 320;
        t.height = 80;
        text(0, 0, 320, 80, "RANK " + std::to_string(stage));
    } else if (name == StageTextureTable::kShortStartCaption ||
               name == StageTextureTable::kLongStartCaption) {
        // Over the whole field, clear but for the caption in its middle.
        t.width = t.height = 720;
        t.clearGround = true;
        text(160, 320, 560, 400,
             name == StageTextureTable::kShortStartCaption ? "2 MINUTES" : "5 MINUTES");
    } else if (std::sscanf(name.c_str(), "st_telop%2d%c.dds", &stage, &line) == 2 && line >= 'a' &&
               line <= 'c') {
        // The stage caption's three lines.
        t.width = line == 'a' ? 136 : 288;
        t.height = 24;
        const std::string number = Format("%02u", static_cast<uint32_t>(stage));
        text(0, 0, t.width, 24,
             line == 'a' ? "STAGE " + number : (line == 'b' ? "AREA " + number : "SORTIE"));
    } else {
        return false;
    }
    *out = std::move(t);
    return true;
}

std::vector<uint8_t> TextPictureDds(const std::string& path, const TextPicture& t) {
    const Rgb own = Bc1Colour(PaletteColour(NameHash(path) % 997));
    tools::RgbaImage image(t.width, t.height, t.clearGround ? 0u : Rgba(own));
    PaintFaces(image, t.faces, [&](uint32_t i) {
        return i >= t.warningFrom ? Rgb{200, 30, 30} : own;
    });
    return RgbaDds(image);
}

// Solid, its colour from its name, so every file differs; a sheet of the
// ship's is painted cell by cell, and a picture that shows text has it.
std::vector<uint8_t> Picture(const std::string& path, uint32_t width, uint32_t height) {
    if (TextPicture t; TextPictureOf(path, &t))
        return TextPictureDds(path, t);
    if (SheetOf(path))
        return PaintedDds(width, height,
                          [&path](uint32_t x, uint32_t y) { return PictureColour(path, x, y); });
    return SolidDds(width, height, PaletteColour(NameHash(path) % 997));
}

// The sizes the stage's drawing reads; every other picture is 64 by 64.
void PictureSize(const std::string& name, uint32_t* w, uint32_t* h) {
    if (TextPicture t; TextPictureOf(name, &t)) {
        *w = t.width;
        *h = t.height;
        return;
    }
    static const std::map<std::string, std::pair<uint32_t, uint32_t>> kSizes = {
        {"ef_teki_baku1.dds", {1024, 1024}},
        {"ef_teki_baku1b.dds", {1024, 1024}},
        {"ef_teki_baku1_chuugata.dds", {1024, 1024}},
        {"ef_boss_baku1.dds", {1024, 1024}},
        {"ef_ice_baku.dds", {1024, 1024}},
        {"ef_teki_baku_tb.dds", {48, 80}},
        {"ef_tama_haip.dds", {400, 80}},
        {"game_ef_teki_bakuhatu1_hamon.dds", {256, 256}},
        // The items: the Grabuster medal's six cells, the Hyperio and
        // power-up sheets, and the boss gauges.
        {"ef_tama_medal.dds", {960, 160}},
        {"item_hyp1.dds", {480, 480}},
        {"item_hyp2.dds", {480, 480}},
        {"item_pow1.dds", {512, 512}},
        {"item_pow2.dds", {512, 512}},
        {"battery_gage.dds", {128, 4}},
    };
    const auto found = kSizes.find(name);
    if (const Sheet* sheet = SheetOf(name)) {
        *w = sheet->width;
        *h = sheet->height;
    } else if (found != kSizes.end()) {
        *w = found->second.first;
        *h = found->second.second;
    } else if (name.rfind("subwp3_shot", 0) == 0 || name.rfind("subwp4_shot", 0) == 0) {
        *w = *h = 192; // the launch flashes, one picture a file
    } else if (name.rfind("gage_", 0) == 0) {
        *w = 93; // the gauge frame and its layers
        *h = 521;
    } else if (name.rfind("boss_core_gage_", 0) == 0) {
        *w = 512; // the boss gauge's frame and its nine fills
        *h = 24;
    } else if (name.rfind("lev0", 0) == 0) {
        // The Grabuster chain's level pictures, drawn whole.
        static constexpr uint32_t kLevelSizes[5] = {96, 96, 128, 128, 160};
        const uint32_t level = static_cast<uint32_t>(name[4] - '1');
        *w = *h = kLevelSizes[level < 5 ? level : 0];
    } else if (name.rfind("logo", 0) == 0) {
        *w = 261; // the chain's score captions
        *h = 61;
    } else {
        *w = *h = 64;
    }
}

void AddPicture(std::vector<StageFile>& out, const std::string& folder, const std::string& name) {
    uint32_t w = 0, h = 0;
    PictureSize(name, &w, &h);
    Add(out, kTextureArchive, folder + "/" + name, Picture(folder + "/" + name, w, h));
}

std::string FieldName(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

// The named tables the stage reads, as the sample tables hold them.
struct Tables {
    std::vector<std::string> enemyTextures, bulletTextures, paths;
    std::vector<uint8_t> bosses;  // the normal difficulty's boss rows
    std::vector<uint8_t> bullets; // the bullet rows (alike in every difficulty)
};

std::vector<std::string> NamesOf(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> names;
    for (size_t at = 0; at + NameRow::kSize <= bytes.size(); at += NameRow::kSize)
        names.push_back(
            FieldName(reinterpret_cast<const char*>(bytes.data() + at), NameRow::kSize));
    return names;
}

Tables ReadTables() {
    Tables t;
    for (const NamedFile& f : BuildGameTables()) {
        if (f.name == "enemy_tex_names.tsb")
            t.enemyTextures = NamesOf(f.bytes);
        else if (f.name == "ebss_tex_names.tsb")
            t.bulletTextures = NamesOf(f.bytes);
        else if (f.name == "enemy_fbx_names.tsb")
            t.paths = NamesOf(f.bytes);
        else if (f.name == "boss_parameter_boss_normal.tsb")
            t.bosses = f.bytes;
        else if (f.name == "ebss_normal_bullet.tsb")
            t.bullets = f.bytes;
    }
    return t;
}

void AddBossSet(std::vector<StageFile>& out, const std::string& folder, const Tables& t,
                uint32_t group) {
    const SampleBossLayout look = BossLayout(group);
    auto add = [&](const std::string& name, int w, int h) {
        const std::string path = folder + "/" + name;
        Add(out, kTextureArchive, path,
            Picture(path, static_cast<uint32_t>(w), static_cast<uint32_t>(h)));
    };
    // Four body images and their four glow images at the body's size, then
    // the core closed and open.
    for (size_t i = 0; i < std::size(StageFiles::kBossBodyNames); ++i) {
        const bool core = i >= 8;
        add(StageFiles::kBossBodyNames[i], core ? look.coreWidth : look.bodyWidth,
            core ? look.coreHeight : look.bodyHeight);
    }
    const size_t rows = t.bosses.size() / sizeof(BossRecord);
    const size_t head = size_t{group} * BossRecord::kRowsPerGroup;
    if (head >= rows)
        return;
    BossRecord body;
    std::memcpy(&body, t.bosses.data() + head * sizeof(BossRecord), sizeof body);
    for (int32_t p = 1; p <= body.partCount && head + p < rows; ++p) {
        BossRecord row;
        std::memcpy(&row, t.bosses.data() + (head + p) * sizeof(BossRecord), sizeof row);
        for (const auto& field : row.partTextures) {
            const std::string name = FieldName(field, BossRecord::kPartTextureNameSize);
            if (!name.empty())
                add(name + ".dds", look.partWidth, look.partHeight);
        }
    }
}

// The bullet frames of the bullet rows: the rectangles of both tracks of
// every row, in the order a sheet's colours are numbered.
std::vector<TexelRect> BulletFrames(const Tables& t) {
    std::vector<TexelRect> frames;
    for (size_t at = 0; at + sizeof(BulletParamRow) <= t.bullets.size();
         at += sizeof(BulletParamRow)) {
        BulletParamRow row;
        std::memcpy(&row, t.bullets.data() + at, sizeof row);
        for (const TexelRect& r : row.blendTrack)
            frames.push_back(r);
        for (const TexelRect& r : row.addTrack)
            frames.push_back(r);
    }
    return frames;
}

// Frame i of a sheet: red and blue far apart by the frame (apart at the
// precision a BC1 block keeps), green by the sheet; the ground has no red.
Rgb BulletColour(const std::vector<TexelRect>& frames, uint32_t sheet, uint32_t x, uint32_t y) {
    const auto green = static_cast<uint8_t>(sheet % 2 ? 220 : 100);
    for (size_t i = 0; i < frames.size(); ++i) {
        const TexelRect& r = frames[i];
        if (static_cast<int32_t>(x) >= r.left && static_cast<int32_t>(x) <= r.right &&
            static_cast<int32_t>(y) >= r.top && static_cast<int32_t>(y) <= r.bottom)
            return {static_cast<uint8_t>(16 + 32 * (i % 8)), green,
                    static_cast<uint8_t>(20 + 40 * (i / 8 % 6))};
    }
    return {0, green, 0};
}

// A background picture: the file's own colour, darker every 256 rows, so
// that its scrolling shows.
std::vector<uint8_t> BackgroundPicture(const std::string& path, uint32_t w, uint32_t h) {
    const Rgb base = PictureColour(path, 0, 0);
    return PaintedDds(w, h, [base](uint32_t, uint32_t y) {
        return (y / 256) % 2
                   ? Rgb{static_cast<uint8_t>(base.r / 2), static_cast<uint8_t>(base.g / 2),
                         static_cast<uint8_t>(base.b / 2)}
                   : base;
    });
}

} // namespace

uint32_t StageMapHeight(uint32_t index) {
    return (index == kScoreAttackMap ? kScoreAttackScroll : kStageScroll) / kMapCellSize;
}

uint32_t StageMapBits(uint32_t index) {
    return index % 2 == 1 ? 8 : 16;
}

std::string StageMapPath(uint32_t index) {
    const std::string name = index == kScoreAttackMap ? StageFiles::kScoreAttackMapName
                                                      : Format(StageFiles::kMapName, index + 1);
    return std::string(StageFiles::kMapFolder) + "/" + name;
}

std::vector<uint8_t> BuildStageMap(uint32_t index) {
    const uint32_t height = StageMapHeight(index), bits = StageMapBits(index);
    StageMapHeader header{};
    std::memcpy(header.unread0, "FMF_MAP\0", 8);
    header.width = kMapWidth;
    header.height = height;
    header.cellWidth = kMapCellSize;
    header.cellHeight = kMapCellSize;
    header.bits = static_cast<uint8_t>(bits);
    std::vector<uint8_t> out(sizeof header);
    std::memcpy(out.data(), &header, sizeof header);
    // Mostly empty; every few rows an object of one of the 64 map types,
    // and every type once more in a column of its own within the last 3000
    // frames' reach of the scroll (rows from 180 on); now and then the two
    // unlock types (101, 102), a value without attribute (500) and, in 16-bit
    // maps, values above the table (placing nothing).
    for (uint32_t row = 0; row < height; ++row)
        for (uint32_t column = 0; column < kMapWidth; ++column) {
            const uint32_t k = row * kMapWidth + column + index * 31;
            uint32_t value = 0;
            if (row >= kFirstQuietRow)
                value = 0;
            else if (column == kMapWidth / 2 && row >= kEveryTypeRow &&
                     row < kEveryTypeRow + 3 * kSampleMapValues && (row - kEveryTypeRow) % 3 == 0)
                value = 1 + (row - kEveryTypeRow) / 3;
            else if (row % 6 == 3 && column % 9 == 4)
                value = 1 + k % kSampleMapValues;
            else if (k % 401 == 7)
                value = 101 + k % 2;
            else if (k % 353 == 11)
                value = 500;
            else if (bits == 16 && k % 211 == 5)
                value = 1024 + k % 3000;
            if (bits == 8) {
                out.push_back(static_cast<uint8_t>(value));
            } else {
                out.push_back(static_cast<uint8_t>(value));
                out.push_back(static_cast<uint8_t>(value >> 8));
            }
        }
    return out;
}

Rgb EnemySheetColour(uint32_t sheet, uint32_t x, uint32_t y) {
    for (uint32_t track = 0; track < 2; ++track)
        for (uint32_t f = 0; f < (track == 0 ? 8u : 2u); ++f) {
            const TexelRect r = SampleEnemyFrame(sheet, track, f);
            if (static_cast<int32_t>(x) >= r.left && static_cast<int32_t>(x) <= r.right &&
                static_cast<int32_t>(y) >= r.top && static_cast<int32_t>(y) <= r.bottom)
                return PaletteColour(100 + sheet * 16 + track * 8 + f);
        }
    return {0, 0, 0};
}

Rgb MapObjectSheetColour(uint32_t x, uint32_t y) {
    const int band = static_cast<int>(y / 40), column = static_cast<int>(x / 320);
    const int type = kSampleFirstMapType + band * 3 + column;
    if (column > 2 || type > kSampleLastMapType)
        return {0, 0, 0};
    for (uint32_t track = 0; track < 2; ++track)
        for (uint32_t f = 0; f < (track == 0 ? 8u : 1u); ++f) {
            const TexelRect r = SampleMapObjectFrame(type, track, f);
            if (static_cast<int32_t>(x) >= r.left && static_cast<int32_t>(x) <= r.right &&
                static_cast<int32_t>(y) >= r.top && static_cast<int32_t>(y) <= r.bottom)
                return PaletteColour(400 + static_cast<uint32_t>(type - kSampleFirstMapType) * 9 +
                                     track * 8 + f);
        }
    return {0, 0, 0};
}

std::vector<uint8_t> BuildMapObjectSheet() {
    return PaintedDds(kSampleMapSheetSize, kSampleMapSheetSize, MapObjectSheetColour);
}

Rgb BulletSheetColour(uint32_t sheet, uint32_t x, uint32_t y) {
    return BulletColour(BulletFrames(ReadTables()), sheet, x, y);
}

Rgb Bc1Colour(Rgb c) {
    const uint32_t r = c.r >> 3, g = c.g >> 2, b = c.b >> 3;
    return {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
            static_cast<uint8_t>(b << 3 | b >> 2)};
}

std::vector<uint8_t> SolidDds(uint32_t width, uint32_t height, Rgb colour) {
    return PaintedDds(width, height, [colour](uint32_t, uint32_t) { return colour; });
}

Rgb PictureColour(const std::string& path, uint32_t x, uint32_t y) {
    const Sheet* sheet = SheetOf(path);
    if (!sheet)
        return Bc1Colour(PaletteColour(NameHash(path) % 997));
    const uint32_t columns = (sheet->width + sheet->cellWidth - 1) / sheet->cellWidth;
    const uint32_t cell = (y / sheet->cellHeight) * columns + x / sheet->cellWidth;
    return HashColour(NameHash(path) + cell * 2654435761u);
}

bool PaintedByFlowScreens(const std::string& name) {
    return name == "game_moji1.dds";
}

Rgb UiSheetColour(uint32_t sheet, uint32_t x, uint32_t y) {
    const std::vector<UiRect> rects = UiRects(sheet);
    for (size_t i = 0; i < rects.size(); ++i) {
        const UiRect& r = rects[i];
        if (x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1)
            return PaletteColour(static_cast<uint32_t>(i + 1 + sheet * 40));
    }
    return PaletteColour(sheet * 40); // the sheet's ground
}

std::vector<uint8_t> BuildUiSheet(uint32_t sheet) {
    const uint32_t w = sheet == 1 ? 512 : 1024, h = sheet == 1 ? 512 : 768;
    tools::RgbaImage image(w, h, Rgba(PaletteColour(sheet * 40)));
    PaintFaces(image, UiRects(sheet),
               [sheet](uint32_t i) { return PaletteColour(i + 1 + sheet * 40); });
    return RgbaDds(image);
}

std::vector<StageFile> BuildStageFiles() {
    using StageTextureTable::Source;
    std::vector<StageFile> out;
    const Tables tables = ReadTables();
    char name[96];

    // Map object sheets for every other stage: the loader takes them only when present.
    for (uint32_t s = 0; s < 24; s += 2)
        Add(out, kMapPictureArchive,
            std::string(StageTextureTable::kMapFolder) + "/" + Format("stage%02d_obj.dds", s + 1),
            BuildMapObjectSheet());

    for (uint32_t slot = 0; slot < StageTextureTable::kSlotCount; ++slot) {
        StageTextureTable::FileName(slot, 0, name, sizeof name);
        switch (StageTextureTable::SourceOf(slot)) {
        case Source::kCommon:
            if (PaintedByFlowScreens(name))
                break;
            if (slot == StageTextureSlot::kUi1 || slot == StageTextureSlot::kUi2)
                Add(out, kTextureArchive,
                    std::string(StageTextureTable::kCommonFolder) + "/" + name,
                    BuildUiSheet(slot == StageTextureSlot::kUi1 ? 1 : 2));
            else
                AddPicture(out, StageTextureTable::kCommonFolder, name);
            break;
        case Source::kShip:
            for (uint32_t ship = 1; ship <= 6; ++ship)
                AddPicture(out, Format(StageTextureTable::kShipFolder, ship), name);
            break;
        case Source::kTelop:
            AddPicture(out, StageTextureTable::kTelopFolder, name);
            break;
        case Source::kCaption: {
            // Caption a for stages 1-8, b for 1-4 but 2, c for 1-2: stage 2
            // has lines a and c only, and some stages have none.
            const uint32_t line = slot - StageTextureSlot::kFirstCaption;
            const uint32_t stages = 8u >> line;
            for (uint32_t s = 0; s < stages; ++s) {
                if (line == 1 && s == kStageWithoutCaptionB)
                    continue;
                StageTextureTable::FileName(slot, s, name, sizeof name);
                AddPicture(out, StageTextureTable::kTelopFolder, name);
            }
            break;
        }
        case Source::kStartCaption:
            AddPicture(out, StageTextureTable::kCommonFolder,
                       StageTextureTable::kShortStartCaption);
            AddPicture(out, StageTextureTable::kCommonFolder, StageTextureTable::kLongStartCaption);
            break;
        case Source::kNone:
        case Source::kMapPicture:
        case Source::kBackground:
            break;
        }
    }

    auto enemyPicture = [&](const std::string& file) {
        Add(out, kTextureArchive, std::string(StageFiles::kEnemyTextureFolder) + "/" + file,
            Picture(file, 256, 256));
    };
    for (size_t i = 0; i < tables.enemyTextures.size(); ++i) {
        const auto sheet = static_cast<uint32_t>(i);
        Add(out, kTextureArchive,
            std::string(StageFiles::kEnemyTextureFolder) + "/" + tables.enemyTextures[i] + ".dds",
            PaintedDds(kEnemySheetSize, kEnemySheetSize,
                       [sheet](uint32_t x, uint32_t y) { return EnemySheetColour(sheet, x, y); }));
    }
    const std::vector<TexelRect> bulletFrames = BulletFrames(tables);
    for (size_t i = 0; i < tables.bulletTextures.size(); ++i) {
        const auto sheet = static_cast<uint32_t>(i);
        Add(out, kTextureArchive,
            std::string(StageFiles::kEnemyTextureFolder) + "/" + tables.bulletTextures[i] + ".dds",
            PaintedDds(kBulletSheetSize, kBulletSheetSize, [&](uint32_t x, uint32_t y) {
                return BulletColour(bulletFrames, sheet, x, y);
            }));
    }
    for (const char* n : StageFiles::kWarpNames)
        enemyPicture(n);
    for (size_t i = 0; i < tables.paths.size(); ++i)
        Add(out, kPathArchive,
            std::string(StageFiles::kPathFolder) + "/" + tables.paths[i] + ".path",
            SamplePathFile(static_cast<int>(i)));

    for (uint32_t set = 0; set < 12; ++set)
        AddBossSet(out, Format(StageFiles::kBossStageFolder, set + 1), tables, set);
    AddBossSet(out, StageFiles::kSecondBossFolder, tables, StageFiles::kSecondBossGroup);
    for (uint32_t i = 0; i < StageFiles::kBossCommonCount; ++i) {
        StageFiles::BossCommonName(i, name, sizeof name);
        AddPicture(out, StageFiles::kBossFolder, name);
    }
    return out;
}

std::vector<StageFile> BuildBackgroundFiles(const std::string& only) {
    std::vector<StageFile> out;
    char name[64];
    auto add = [&](const std::string& folder, const std::string& file, uint32_t w, uint32_t h) {
        if (!only.empty() && folder != only)
            return;
        const std::string path = folder + "/" + file;
        Add(out, kMapPictureArchive, path, BackgroundPicture(path, w, h));
    };
    for (uint32_t stage = 0; stage < 24; ++stage) {
        const std::string folder = Format(StageTextureTable::kBackgroundFolder, stage + 1);
        for (int32_t id = StageFiles::kFirstBackgroundId; id <= StageFiles::kLastStageBackgroundId;
             ++id) {
            StageFiles::StageBackgroundName(stage, id, name, sizeof name);
            const std::string file = name;
            if (file.rfind("hosi", 0) == 0)
                add(folder, file, kStarWidth, kStarHeight);
            else if (id == StageFiles::kFirstBackgroundId)
                add(folder, file, kMapCellSize * kMapWidth, kStagePictureHeight);
            else // three map pictures, stacking to the map's scroll
                add(folder, file, kMapCellSize * kMapWidth, kStageScroll / 3);
        }
    }
    for (int32_t id = StageFiles::kFirstBackgroundId; id <= StageFiles::kLastChallengeBackgroundId;
         ++id) {
        StageFiles::ChallengeBackgroundName(id, name, sizeof name);
        const std::string file = name;
        const char* folder = StageFiles::kChallengeBackgroundFolder;
        if (file.rfind("hosi", 0) == 0)
            add(folder, file, kStarWidth, kStarHeight);
        else if (id == StageFiles::kFirstBackgroundId)
            add(folder, file, kMapCellSize * kMapWidth, kStagePictureHeight);
        else // ten map pictures, stacking to the map's scroll
            add(folder, file, kMapCellSize * kMapWidth, kScoreAttackScroll / 10);
    }
    return out;
}

} // namespace SampleData
