#pragma once

#include "engine/common/ReferenceCountObject.h"
#include "engine/renderer/FontDescription.h"

#include <cstdint>

namespace Mireku::Graphics {
class PixelShader;
class Texture;
} // namespace Mireku::Graphics

namespace Mireku::Renderer {

class SpriteRenderer;

// UTF-16 text in a bitmap font: the description "script.mfd" and its DDS
// pages in folder "font", each glyph in one colour channel of its page (with
// an outline font, the outline in the channel after it). Draw lays the glyphs
// out along a line and submits one sprite per glyph.
class TextRenderer : public Common::ReferenceCountObject {
public:
    enum PitchMode : uint32_t { kPitchCell = 0, kPitchProportional = 1 };
    enum Align : uint32_t { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

    // Reads the font through the resource loader; without it (or with a bad
    // description) the renderer stays empty and draws nothing.
    TextRenderer();
    ~TextRenderer() override;

    bool HasFont() const { return font_.IsValid(); }
    const FontDescription& GetFont() const { return font_; }
    Graphics::Texture* GetPage(uint32_t page) const {
        return page < pageCount_ ? pages_[page] : nullptr;
    }
    Graphics::PixelShader* GetPlainShader() const { return plainShader_; }
    Graphics::PixelShader* GetOutlineShader() const { return outlineShader_; }

    void SetPosition(float x, float y);
    // A size of 0 or less selects the font's base size.
    void SetSize(int8_t size);
    void SetSpacing(int8_t spacing);
    void SetAlign(uint32_t align);
    void SetPitchMode(uint32_t mode);
    void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    void SetOutlineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // Also puts the shadow offset back to 0.
    void SetShadowColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    void EnableOutline();

    void Draw(SpriteRenderer* renderer, const char16_t* text);
    // Total advance of the text under the current size, spacing and pitch.
    float MeasureWidth(const char16_t* text) const;

private:
    friend class TextRendererTestAccess;

    enum class Pass { Shadow, Main };
    void DrawPass(SpriteRenderer& r, const char16_t* text, Pass pass);
    // Advance of a code unit that draws nothing; false for a code unit that
    // is a glyph (`glyph` filled). Control codes 7-13 are the callers' to skip.
    bool BlankAdvance(char16_t c, float& advance, FontGlyph& glyph) const;
    float GlyphAdvance(char16_t c, const FontGlyph& glyph) const;
    bool OutlineMode() const { return font_.HasOutline() && outlineEnabled_; }

    Graphics::Texture** pages_ = nullptr;
    uint32_t pageCount_ = 0;
    uint8_t* description_ = nullptr;
    FontDescription font_;
    float spacing_ = 0.0f;
    float size_ = 0.0f;
    float penX_ = 0.0f;
    float penY_ = 0.0f;
    float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float outlineColour_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float shadowColour_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint8_t outlineEnabled_ = 1;
    float shadowOffset_ = 0.0f;
    uint32_t pitchMode_ = kPitchCell;
    uint32_t align_ = kAlignLeft;
    Graphics::PixelShader* plainShader_ = nullptr;
    Graphics::PixelShader* outlineShader_ = nullptr;
    Graphics::PixelShader* shadowShader_ = nullptr;
};

} // namespace Mireku::Renderer
