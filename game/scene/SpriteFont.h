#pragma once

#include <cstdint>

namespace Mireku::Renderer {
class SpriteRenderer;
}

// The sprite font of the ranking, next-loop and setup screens: 30 by 30
// texel cells of the glyph atlas "moji_setup_ranking.dds", one sprite per
// glyph drawn with the layer's current texture, colour and blend. Only
// digits, small letters and printable punctuation have glyphs; every other
// byte (capitals among them) is passed over without moving the pen.
class SpriteFont {
public:
    static constexpr float kCell = 30.0f;
    static constexpr float kTabAdvance = 10.0f;
    // ':' sits this far left of the pen and advances it this far.
    static constexpr float kColonShift = 10.0f;
    // What a space advances: the ranking sets text tighter than the setup.
    static constexpr float kNarrowSpace = 15.0f;
    static constexpr float kWideSpace = 30.0f;

    // Where a byte's glyph is: its cell's top-left texel, false when the
    // byte draws nothing.
    static bool GlyphCell(char c, float* u, float* v);

    // Draws `text` with the pen starting at (x, y), each glyph (30 sx) by
    // (30 sy) with its top-left corner at the pen. Returns the pen's x.
    static float Draw(Mireku::Renderer::SpriteRenderer* layer, const char* text, float x, float y,
                      float sx, float sy, float spaceAdvance);
};
