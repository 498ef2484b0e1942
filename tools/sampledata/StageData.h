// Sample stage files: the 25 object maps and every texture and path a stage
// loads, made from the same file tables the stage loader reads. Pictures are
// solid BC1 blocks, each file its own colour, except the two heads-up sheets,
// where every rectangle the display cuts out is a flat colour of its own, the
// sheets of the ship and its weapons, painted cell by cell, and the pictures
// that show text or digits (labels, digits, captions), which carry their
// glyphs over a flat colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SampleData {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct StageFile {
    std::string archive; // "0110", "0130", "path"
    std::string path;    // folder and name, as the game asks for it
    std::vector<uint8_t> bytes;
};

// The archive of the maps and their pictures.
constexpr const char* kMapArchive = "0130";
constexpr uint32_t kStageMapCount = 25; // 24 stages, then the score attack
// Cells of every map: 16 by 16 pixels, 61 wide (976 pixels); a stage scrolls
// 7200 pixels, the score attack 24000.
constexpr uint32_t kMapCellSize = 16;
constexpr uint32_t kMapWidth = 61;
uint32_t StageMapHeight(uint32_t index);
// Odd maps store 8-bit cells, even ones 16-bit.
uint32_t StageMapBits(uint32_t index);
// "stage/map_obj/stageNN_obj.fmf", or the score attack's map for index 24.
std::string StageMapPath(uint32_t index);
std::vector<uint8_t> BuildStageMap(uint32_t index);
// The map objects' sheet "stageNN_obj.dds" and its colour at a texel.
std::vector<uint8_t> BuildMapObjectSheet();
Rgb MapObjectSheetColour(uint32_t x, uint32_t y);

// The colour of a texel of bullet sheet n (0, 1): every frame of both tracks
// of every bullet row a colour of its own.
Rgb BulletSheetColour(uint32_t sheet, uint32_t x, uint32_t y);
// The colour of a texel of enemy sheet n (0-2, as SampleEnemyFrame cuts it):
// every frame of both tracks a colour of its own, black between them.
Rgb EnemySheetColour(uint32_t sheet, uint32_t x, uint32_t y);
// The stage (0-based) whose caption has lines a and c but no line b.
constexpr uint32_t kStageWithoutCaptionB = 1;

// The colour a BC1 block stores for `c`, as a decoder expands it again.
Rgb Bc1Colour(Rgb c);
// A BC1 picture of w by h texels, every 4 by 4 block one colour.
std::vector<uint8_t> SolidDds(uint32_t width, uint32_t height, Rgb colour);

// The colour of texel (x, y) of a stage picture as the builder paints it
// ("texture/game/player/player01/player.dds"): the sheets the ship, its
// weapons and their effects cut sprites from are painted cell by cell, each
// cell a colour of its own and each file (each ship's too) its own set;
// other pictures are one colour.
Rgb PictureColour(const std::string& path, uint32_t x, uint32_t y);

// Common stage pictures that the flow screens' kind paints instead (the
// title's glyph sheet, "game_moji1.dds"): the stage files leave them out, so
// that no earlier archive hides them.
bool PaintedByFlowScreens(const std::string& name);

// The two heads-up sheets, "sys_ui1.dds" (512 by 512) and "sys_ui2.dds"
// (1024 by 768), and the colour of a texel of either (sheet 1 or 2) outside
// the glyph a rectangle shows.
std::vector<uint8_t> BuildUiSheet(uint32_t sheet);
Rgb UiSheetColour(uint32_t sheet, uint32_t x, uint32_t y);

// Every stage file but the maps: map pictures, the fixed stage textures of every
// folder, the ships' textures, captions, enemy, bullet and warp textures,
// movement paths, boss textures of every stage folder and the common ones.
std::vector<StageFile> BuildStageFiles();

// The stage backgrounds: per stage folder its picture (976 by 1280), three
// map pictures 976 wide stacking to the map's 7200 pixels and five star
// tiles (360 by 512); the challenge's in "stage/stage_score_attack", ten map
// pictures stacking to 24000. With a folder, only that folder's.
std::vector<StageFile> BuildBackgroundFiles(const std::string& folder = {});

} // namespace SampleData
