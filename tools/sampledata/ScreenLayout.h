// Where the effect screens show their flat-coloured marks: for each screen
// the frame at which it is looked at, and for every draw type it shows one
// unit of one flat colour in a box of the 1280 by 720 screen. (Lines
// reserve no indices and never show; projection boxes find no depth to
// project onto in the game; particle fields and trails have no shape of
// their own to fill a box with: none of them has a mark.) The effect
// builder places the units from this table and the screenshot test reads
// the boxes back from it, so the data and the test cannot drift apart.
// The boxes keep out of the top fifth of the screen, which other content
// of the screens' files uses, and never overlap one another, also across
// the files the logo screen plays at once.
#pragma once

#include <cstdint>
#include <span>

namespace sampledata {

// The effect files of the screens, as the screens play them.
enum class EffectScreen : uint8_t {
    kLogoBackground, // plays under all three logos
    kLogoFirst,
    kLogoSecond,
    kLogoThird,
    kTitle,
    kGameMenu,
    kSetup,
};
inline constexpr uint32_t kEffectScreens = 7;

// The part of the screen the boxes keep out of: its top fifth.
inline constexpr int kLayoutTopBand = 720 / 5;

// How much of its box a shape covers.
enum class MarkShape : uint8_t {
    kRectangle, // the whole box
    kDisc,      // the disc the box holds: pi/4 of it
    kRing,      // that disc less the disc of half its radius: 3/4 of the disc
};

// A screen rectangle in pixels, right and bottom exclusive.
struct ScreenBox {
    int x0, y0, x1, y1;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
};

struct LayoutMark {
    EffectScreen screen;
    uint8_t drawType;   // 1-13
    uint32_t colour;    // 0xRRGGBB, opaque
    ScreenBox box;
    MarkShape shape;
    // -1: shown for as long as the screen plays; 0-5: only while that game
    // menu entry is highlighted (from when the cursor comes to it until it
    // leaves, and a short fade).
    int8_t menuEntry = -1;
};

// The marks of every screen, in screen order.
std::span<const LayoutMark> LayoutMarks();

// The game menu's entries as its effect names them, in white on clear
// centred in their boxes: one row each, level with the entry's highlight
// mark, in the middle of the screen, clear of every mark's box.
struct MenuEntryName {
    const char* text;
    ScreenBox box;
};
std::span<const MenuEntryName> MenuEntryNames();

// The bar that fills the box of the highlighted entry's name, under the
// name, while the entry is highlighted (0xRRGGBB, opaque): dark enough for
// the white name to stand out on it.
inline constexpr uint32_t kMenuCursorColour = 0x2850A0;

// How far in front of the camera a screen's file plays (the view axis),
// and how many frames after the screen comes up clear (no fade over it)
// its marks are looked at.
float ScreenDepth(EffectScreen screen);
uint32_t LookFrame(EffectScreen screen);

// The pixels of `box` a mark of `shape` covers.
double MarkPixels(const ScreenBox& box, MarkShape shape);

// The effects camera maps a point at `depth` in front of it to the screen:
// the world units per pixel there, and a pixel position's world X and Y
// (Y up, the screen centre at 0).
float UnitsPerPixel(float depth);
float WorldX(float pixelX, float depth);
float WorldY(float pixelY, float depth);

} // namespace sampledata
