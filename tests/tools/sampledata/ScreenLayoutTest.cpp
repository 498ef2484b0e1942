// The layout of the effect screens' marks: boxes the screenshot test can
// tell apart, and the camera mapping the effect builder places them by.
#include "tools/sampledata/ScreenLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using sampledata::EffectScreen;
using sampledata::LayoutMark;
using sampledata::MarkShape;
using sampledata::ScreenBox;

std::string Name(const LayoutMark& m) {
    return "screen " + std::to_string(static_cast<int>(m.screen)) + ", draw type " +
           std::to_string(m.drawType) + " at (" + std::to_string(m.box.x0) + ", " +
           std::to_string(m.box.y0) + ")";
}

// The logo backdrop plays under each logo: its marks share their screen.
bool ShownTogether(const LayoutMark& a, const LayoutMark& b) {
    const auto logo = [](EffectScreen s) {
        return s == EffectScreen::kLogoFirst || s == EffectScreen::kLogoSecond ||
               s == EffectScreen::kLogoThird;
    };
    if (a.screen == b.screen)
        return true;
    return (a.screen == EffectScreen::kLogoBackground && logo(b.screen)) ||
           (b.screen == EffectScreen::kLogoBackground && logo(a.screen));
}

bool Overlap(const ScreenBox& a, const ScreenBox& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

TEST(ScreenLayout, BoxesStayOnTheScreenBelowItsTopFifthAndApart) {
    const auto marks = sampledata::LayoutMarks();
    ASSERT_FALSE(marks.empty());
    for (size_t i = 0; i < marks.size(); ++i) {
        const LayoutMark& m = marks[i];
        EXPECT_GE(m.box.y0, 144) << Name(m);
        EXPECT_GE(m.box.x0, 0) << Name(m);
        EXPECT_LE(m.box.x1, 1280) << Name(m);
        EXPECT_LE(m.box.y1, 720) << Name(m);
        EXPECT_GT(m.box.Width(), 0) << Name(m);
        EXPECT_GT(m.box.Height(), 0) << Name(m);
        if (m.shape != MarkShape::kRectangle) {
            EXPECT_EQ(m.box.Width(), m.box.Height()) << Name(m) << ": a round mark's box is square";
        }
        for (size_t j = i + 1; j < marks.size(); ++j) {
            if (ShownTogether(m, marks[j])) {
                EXPECT_FALSE(Overlap(m.box, marks[j].box)) << Name(m) << " and " << Name(marks[j]);
            }
        }
    }
}

TEST(ScreenLayout, MarksOfAScreenHaveColoursAndDrawTypesOfTheirOwn) {
    for (const LayoutMark& a : sampledata::LayoutMarks())
        for (const LayoutMark& b : sampledata::LayoutMarks()) {
            if (&a == &b || !ShownTogether(a, b))
                continue;
            EXPECT_NE(a.colour, b.colour) << Name(a) << " and " << Name(b);
            // One mark per draw type, but for the menu's highlights.
            if (a.screen == b.screen && a.menuEntry < 0 && b.menuEntry < 0) {
                EXPECT_NE(a.drawType, b.drawType) << Name(a) << " and " << Name(b);
            }
        }
}

TEST(ScreenLayout, EveryMenuEntryHasOneHighlightMark) {
    std::multiset<int> entries;
    for (const LayoutMark& m : sampledata::LayoutMarks())
        if (m.menuEntry >= 0) {
            EXPECT_EQ(m.screen, EffectScreen::kGameMenu) << Name(m);
            entries.insert(m.menuEntry);
        }
    EXPECT_EQ(entries, (std::multiset<int>{0, 1, 2, 3, 4, 5}));
}

// The menu's six names, one row each: on the screen below its top fifth,
// level with the entry's highlight mark, clear of every mark of the menu
// and of one another; the cursor's bar under a name has a colour no mark of
// the menu is near (the screenshot test tells them apart within 16).
TEST(ScreenLayout, TheMenuNamesItsEntriesInTheirRowsClearOfTheMarks) {
    const auto names = sampledata::MenuEntryNames();
    ASSERT_EQ(names.size(), 6u);
    for (size_t entry = 0; entry < names.size(); ++entry) {
        const sampledata::MenuEntryName& n = names[entry];
        SCOPED_TRACE(n.text);
        EXPECT_GT(std::string(n.text).size(), 0u);
        EXPECT_GE(n.box.y0, 144);
        EXPECT_GE(n.box.x0, 0);
        EXPECT_LE(n.box.x1, 1280);
        EXPECT_LE(n.box.y1, 720);
        for (size_t other = entry + 1; other < names.size(); ++other)
            EXPECT_FALSE(Overlap(n.box, names[other].box)) << names[other].text;
        for (const LayoutMark& m : sampledata::LayoutMarks()) {
            if (m.screen != EffectScreen::kGameMenu)
                continue;
            EXPECT_FALSE(Overlap(n.box, m.box)) << Name(m);
            if (m.menuEntry == static_cast<int>(entry)) {
                EXPECT_EQ(n.box.y0, m.box.y0) << Name(m);
                EXPECT_EQ(n.box.y1, m.box.y1) << Name(m);
            }
            const auto near = [&m](int shift) {
                return std::abs(int(m.colour >> shift & 0xFF) -
                                int(sampledata::kMenuCursorColour >> shift & 0xFF)) <= 16;
            };
            EXPECT_FALSE(near(16) && near(8) && near(0)) << Name(m);
        }
    }
}

struct PixelsCase {
    const char* name;
    ScreenBox box;
    MarkShape shape;
    double pixels;
};

// A 128-pixel square: whole, its inscribed disc (pi 64^2), that disc less
// the disc of radius 32.
const PixelsCase kPixels[] = {
    {"a rectangle covers its box", {0, 0, 128, 64}, MarkShape::kRectangle, 8192.0},
    {"a disc covers pi/4 of its square", {0, 0, 128, 128}, MarkShape::kDisc, 12867.96},
    {"a ring keeps 3/4 of the disc", {10, 20, 138, 148}, MarkShape::kRing, 9650.97},
};

TEST(ScreenLayout, PixelsOfEachShape) {
    for (const PixelsCase& c : kPixels)
        EXPECT_NEAR(sampledata::MarkPixels(c.box, c.shape), c.pixels, 0.01) << c.name;
}

struct CameraCase {
    const char* name;
    float depth;
    float pixelX, pixelY;
    float worldX, worldY;
};

// A 30-degree vertical field of view over 720 rows: at depth d the screen's
// half height is d tan 15 deg (160.77 at 600), its half width 16/9 of that.
const CameraCase kCamera[] = {
    {"the screen's centre is on the view axis", 600.0f, 640.0f, 360.0f, 0.0f, 0.0f},
    {"the top edge at 600", 600.0f, 640.0f, 0.0f, 0.0f, 160.770f},
    {"the bottom right corner at 600", 600.0f, 1280.0f, 720.0f, 285.814f, -160.770f},
    {"half as far at the backdrop's depth", 300.0f, 0.0f, 180.0f, -142.907f, 40.192f},
};

TEST(ScreenLayout, TheCameraMapsPixelsToTheWorld) {
    for (const CameraCase& c : kCamera) {
        EXPECT_NEAR(sampledata::WorldX(c.pixelX, c.depth), c.worldX, 0.01f) << c.name;
        EXPECT_NEAR(sampledata::WorldY(c.pixelY, c.depth), c.worldY, 0.01f) << c.name;
    }
    EXPECT_NEAR(sampledata::UnitsPerPixel(600.0f), 160.770f / 360.0f, 1e-4f);
}

} // namespace
