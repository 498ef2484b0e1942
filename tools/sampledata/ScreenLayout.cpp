#include "tools/sampledata/ScreenLayout.h"

#include "game/vfx/VfxController.h"

#include <cmath>
#include <iterator>

namespace sampledata {

namespace {

using S = EffectScreen;
constexpr MarkShape kRect = MarkShape::kRectangle;
constexpr MarkShape kDisc = MarkShape::kDisc;
constexpr MarkShape kRing = MarkShape::kRing;

// Two columns of 128-pixel cells at each side of the screen, three rows
// below the top fifth; the middle is left to the screens' own effects.
constexpr int kRow[3] = {176, 336, 496};
constexpr int kLeft = 48, kLeftInner = 208, kRightInner = 944, kRight = 1104;
constexpr int kCell = 128;

constexpr ScreenBox Cell(int x, int row) {
    return {x, kRow[row], x + kCell, kRow[row] + kCell};
}
// The upper half of a cell, for the shapes longer than wide.
constexpr ScreenBox Bar(int x, int row) {
    return {x, kRow[row], x + kCell, kRow[row] + kCell / 2};
}
// The game menu's entries, a row each: its highlight mark in a column of
// six at the right edge, its name in the middle.
constexpr int kEntryTop = 160, kEntryPitch = 92, kEntryHeight = 72;
constexpr ScreenBox EntryCell(int entry) {
    return {1136, kEntryTop + kEntryPitch * entry, 1232,
            kEntryTop + kEntryPitch * entry + kEntryHeight};
}
constexpr ScreenBox NameCell(int entry) {
    return {432, kEntryTop + kEntryPitch * entry, 848,
            kEntryTop + kEntryPitch * entry + kEntryHeight};
}

constexpr LayoutMark kMarks[] = {
    // The logo backdrop plays under every logo: its cells are the top row's
    // outer ones, the logos use the rows below.
    {S::kLogoBackground, 9, 0xE04020, Cell(kLeft, 0), kRect},
    {S::kLogoBackground, 2, 0x20C0E0, Cell(kRight, 0), kRect},

    {S::kLogoFirst, 2, 0xF0E020, Cell(kLeft, 1), kRect},
    {S::kLogoFirst, 5, 0xA020F0, Cell(kLeft, 2), kRect},
    {S::kLogoFirst, 9, 0x20F060, Cell(kRight, 1), kRect},

    {S::kLogoSecond, 2, 0xF08020, Cell(kLeft, 1), kRect},
    {S::kLogoSecond, 5, 0x2060F0, Cell(kLeft, 2), kRect},
    {S::kLogoSecond, 9, 0xF02090, Cell(kRight, 1), kRect},
    {S::kLogoSecond, 3, 0x90F0C0, Bar(kLeftInner, 0), kRect},

    {S::kLogoThird, 2, 0x60F0F0, Cell(kLeft, 1), kRect},
    {S::kLogoThird, 8, 0xF0A0C0, Cell(kLeft, 2), kDisc},
    {S::kLogoThird, 9, 0x80F020, Cell(kRight, 1), kRect},
    {S::kLogoThird, 13, 0xC08040, Cell(kRight, 2), kRect},
    {S::kLogoThird, 6, 0xD0D060, Bar(kLeftInner, 0), kRect},
    {S::kLogoThird, 7, 0x60A0F0, Cell(kRightInner, 0), kRing},

    {S::kTitle, 2, 0xF04060, Cell(kLeftInner, 0), kRect},
    {S::kTitle, 5, 0x40F0A0, Cell(kLeftInner, 2), kRect},
    {S::kTitle, 9, 0x6040F0, Cell(kRightInner, 2), kRect},
    {S::kTitle, 3, 0xF0B0F0, Bar(kLeft, 1), kRect},
    {S::kTitle, 6, 0xB0F0F0, Bar(kRight, 0), kRect},
    {S::kTitle, 11, 0xF0D0A0, Cell(kRight, 2), kRect},

    {S::kGameMenu, 2, 0xE0E0E0, Cell(kRightInner, 0), kRect},
    {S::kGameMenu, 8, 0xF0C040, Cell(kRightInner, 1), kDisc},
    {S::kGameMenu, 13, 0x40C0F0, Cell(kRightInner, 2), kRect},
    {S::kGameMenu, 6, 0xD0F0A0, Bar(kLeft, 0), kRect},
    {S::kGameMenu, 7, 0xA0A0F0, Cell(kLeftInner, 1), kRing},
    {S::kGameMenu, 9, 0xF06040, EntryCell(0), kRect, 0},
    {S::kGameMenu, 9, 0xC0F040, EntryCell(1), kRect, 1},
    {S::kGameMenu, 9, 0x40F080, EntryCell(2), kRect, 2},
    {S::kGameMenu, 9, 0x4080F0, EntryCell(3), kRect, 3},
    {S::kGameMenu, 9, 0xA040F0, EntryCell(4), kRect, 4},
    {S::kGameMenu, 9, 0xF040A0, EntryCell(5), kRect, 5},

    {S::kSetup, 2, 0xF0F040, Cell(kRightInner, 1), kRect},
    {S::kSetup, 9, 0x40F0F0, Cell(kRight, 1), kRect},
    {S::kSetup, 7, 0xF0A060, Cell(kRight, 2), kRing},
};

// The menu's entries in cursor order: the three game types, the ranking,
// the settings (kept in "Config.dat") and the way out.
constexpr MenuEntryName kMenuEntryNames[] = {
    {"ARCADE", NameCell(0)},  {"STORY", NameCell(1)},  {"CHALLENGE", NameCell(2)},
    {"RANKING", NameCell(3)}, {"CONFIG", NameCell(4)}, {"EXIT", NameCell(5)},
};

// Frames after a screen comes up clear at which it is looked at: the
// logos and the title a second in, past their fade-in; the game menu half
// a second after an entry is highlighted (its first when it is shown), and
// again later, as the highlight lasts; the setup once its backdrop has
// settled.
constexpr uint32_t kLookFrames[kEffectScreens] = {60, 60, 60, 60, 60, 30, 60};

// The logo backdrop plays nearer than the screens' own effects.
constexpr float kScreenDepth = 600.0f;
constexpr float kBackdropDepth = 300.0f;

constexpr float kScreenWidth = 1280.0f;
constexpr float kScreenHeight = 720.0f;

} // namespace

std::span<const LayoutMark> LayoutMarks() {
    return kMarks;
}

std::span<const MenuEntryName> MenuEntryNames() {
    return kMenuEntryNames;
}

float ScreenDepth(EffectScreen screen) {
    return screen == EffectScreen::kLogoBackground ? kBackdropDepth : kScreenDepth;
}

uint32_t LookFrame(EffectScreen screen) {
    return kLookFrames[static_cast<uint32_t>(screen)];
}

double MarkPixels(const ScreenBox& box, MarkShape shape) {
    constexpr double kQuarterPi = 0.7853981633974483;
    const double area = static_cast<double>(box.Width()) * box.Height();
    switch (shape) {
    case MarkShape::kDisc:
        return area * kQuarterPi;
    case MarkShape::kRing:
        return area * kQuarterPi * 0.75;
    default:
        return area;
    }
}

float UnitsPerPixel(float depth) {
    // The camera's vertical field of view spans the screen's height.
    const float halfHeight = depth * std::tan(VfxController::kFieldOfView * 0.5f);
    return halfHeight * 2.0f / kScreenHeight;
}

float WorldX(float pixelX, float depth) {
    return (pixelX - kScreenWidth * 0.5f) * UnitsPerPixel(depth);
}

float WorldY(float pixelY, float depth) {
    return (kScreenHeight * 0.5f - pixelY) * UnitsPerPixel(depth);
}

} // namespace sampledata
