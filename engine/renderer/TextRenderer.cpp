#include "engine/renderer/TextRenderer.h"

#include "engine/common/Heap.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/Texture.h"
#include "engine/renderer/BuiltinShaders.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ResourceLoader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace Mireku::Renderer {

namespace {

constexpr const char* kFolder = "font";
constexpr const char* kDescriptionName = "script.mfd";

void ToFloats(uint8_t r, uint8_t g, uint8_t b, uint8_t a, float out[4]) {
    out[0] = r / 255.0f;
    out[1] = g / 255.0f;
    out[2] = b / 255.0f;
    out[3] = a / 255.0f;
}

uint32_t ChannelMask(uint32_t channel) {
    return 0xFFu << (8 * (channel & 3));
}

} // namespace

TextRenderer::TextRenderer() {
    Resource::ResourceLoader* loader = Resource::ResourceLoader::GetInstance();
    void* data = nullptr;
    uint32_t size = 0;
    if (!loader || !loader->ReadFile(&data, &size, kFolder, kDescriptionName))
        return;
    // The description is kept for the renderer's life; the glyph records are
    // read from it in place.
    description_ = static_cast<uint8_t*>(Common::Heap::LockedAlloc(size));
    if (description_)
        std::memcpy(description_, data, size);
    Common::Heap::LockedFree(data);
    if (!description_ || !font_.Parse(description_, size)) {
        font_.Clear();
        return;
    }
    pageCount_ = font_.GetPageCount();
    pages_ = pageCount_ ? static_cast<Graphics::Texture**>(
                              Common::Heap::LockedAlloc(pageCount_ * sizeof(Graphics::Texture*)))
                        : nullptr;
    if (!pages_)
        pageCount_ = 0;
    for (uint32_t page = 0; page < pageCount_; ++page) {
        pages_[page] = nullptr;
        char name[64];
        std::snprintf(name, sizeof(name), "%s_%02u.dds", font_.GetPageName(), page);
        void* pageData = nullptr;
        uint32_t pageSize = 0;
        if (!loader->ReadFile(&pageData, &pageSize, kFolder, name))
            continue; // its glyphs draw with the sprite renderer's default texture
        pages_[page] =
            Graphics::CreateTextureFromMemory(pageData, pageSize, Graphics::kTextureFormatFromFile);
        Common::Heap::LockedFree(pageData);
    }
    plainShader_ = Graphics::CreatePixelShader(
        BuiltinShaders::kTextPlainPixelShader,
        static_cast<uint32_t>(BuiltinShaders::kTextPlainPixelShaderBytes));
    outlineShader_ = Graphics::CreatePixelShader(
        BuiltinShaders::kTextOutlinePixelShader,
        static_cast<uint32_t>(BuiltinShaders::kTextOutlinePixelShaderBytes));
    shadowShader_ = plainShader_;
    if (shadowShader_)
        shadowShader_->AddRef();
    size_ = font_.GetBaseSize();
}

TextRenderer::~TextRenderer() {
    for (uint32_t page = 0; page < pageCount_; ++page) {
        if (pages_[page])
            pages_[page]->Release();
    }
    if (pages_)
        Common::Heap::LockedFree(pages_);
    for (Graphics::PixelShader* s : {plainShader_, outlineShader_, shadowShader_}) {
        if (s)
            s->Release();
    }
    if (description_)
        Common::Heap::LockedFree(description_);
}

void TextRenderer::SetPosition(float x, float y) {
    penX_ = x;
    penY_ = y;
}

void TextRenderer::SetSize(int8_t size) {
    size_ = size > 0 ? static_cast<float>(size) : static_cast<float>(font_.GetBaseSize());
}

void TextRenderer::SetSpacing(int8_t spacing) {
    spacing_ = spacing;
}

void TextRenderer::SetAlign(uint32_t align) {
    align_ = align;
}

void TextRenderer::SetPitchMode(uint32_t mode) {
    pitchMode_ = mode;
}

void TextRenderer::SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    ToFloats(r, g, b, a, colour_);
}

void TextRenderer::SetOutlineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    ToFloats(r, g, b, a, outlineColour_);
}

void TextRenderer::SetShadowColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    ToFloats(r, g, b, a, shadowColour_);
    shadowOffset_ = 0.0f;
}

void TextRenderer::EnableOutline() {
    outlineEnabled_ = 1;
}

bool TextRenderer::BlankAdvance(char16_t c, float& advance, FontGlyph& glyph) const {
    const float s = size_;
    const bool cell = pitchMode_ == kPitchCell;
    if (c == 0x20) {
        advance = cell ? s / 2 : s / 4;
        return true;
    }
    if (c == 0x3000) {
        advance = cell ? s : s / 2;
        return true;
    }
    const uint16_t index = font_.GlyphIndex(c);
    if (index == FontDescription::kNoGlyph || !font_.GetGlyph(index, glyph)) {
        if (cell)
            advance = c > 0xFF ? s : s / 2;
        else
            advance = c > 0xFF ? s / 2 : s / 4;
        return true;
    }
    return false;
}

float TextRenderer::GlyphAdvance(char16_t c, const FontGlyph& glyph) const {
    const float scale = size_ / font_.GetBaseSize();
    if (pitchMode_ == kPitchCell)
        return (c < 0x100 ? size_ / 2 : size_) * scale;
    return glyph.width * scale;
}

float TextRenderer::MeasureWidth(const char16_t* text) const {
    if (!text || !font_.IsValid())
        return 0.0f;
    const float step = spacing_ * size_ / font_.GetBaseSize();
    float width = 0.0f;
    for (; *text; ++text) {
        const char16_t c = *text;
        if (c >= 7 && c <= 13)
            continue;
        float advance;
        FontGlyph glyph;
        if (!BlankAdvance(c, advance, glyph))
            advance = GlyphAdvance(c, glyph);
        width += advance + step;
    }
    return width;
}

void TextRenderer::Draw(SpriteRenderer* renderer, const char16_t* text) {
    if (!renderer || !font_.IsValid())
        return;
    for (uint32_t slot = 0; slot < 2; ++slot) {
        renderer->SetFilter(slot, 1);
        renderer->SetClamp(slot);
    }
    if (shadowOffset_ > 0.0f)
        DrawPass(*renderer, text, Pass::Shadow);
    DrawPass(*renderer, text, Pass::Main);
}

void TextRenderer::DrawPass(SpriteRenderer& r, const char16_t* text, Pass pass) {
    const bool shadow = pass == Pass::Shadow;
    const bool outline = !shadow && OutlineMode();

    float x = penX_;
    if (align_ == kAlignRight)
        x -= MeasureWidth(text);
    else if (align_ == kAlignCentre)
        x -= MeasureWidth(text) / 2;
    float y = penY_;

    r.SetBlend(1);
    if (shadow) {
        r.SetPixelShader(shadowShader_); // null: the renderer's standard shader
        r.SetPixelShaderConstants(shadowColour_, 4);
        x += shadowOffset_;
        y += shadowOffset_;
    } else if (outline) {
        r.SetPixelShader(outlineShader_);
        float both[8];
        std::memcpy(both, colour_, sizeof(colour_));
        std::memcpy(both + 4, outlineColour_, sizeof(outlineColour_));
        r.SetPixelShaderConstants(both, 8);
    } else {
        r.SetPixelShader(plainShader_);
        r.SetPixelShaderConstants(colour_, 4);
    }
    // The main pass lands glyphs on whole pixels.
    auto settle = [shadow](float v) { return shadow ? v : std::trunc(v); };
    x = settle(x);
    if (!text)
        return;

    const float s = size_;
    const float scale = s / font_.GetBaseSize();
    const float step = spacing_ * scale;
    for (; *text; ++text) {
        const char16_t c = *text;
        if (c >= 7 && c <= 13)
            continue; // no glyph, no advance
        float advance;
        FontGlyph g;
        if (!BlankAdvance(c, advance, g)) {
            r.SetColor(0, ChannelMask(g.channel));
            if (outline)
                r.SetColor(1, ChannelMask(g.channel + 1));
            r.SetTexture(GetPage(g.page));
            r.SetTexCoord0(static_cast<float>(g.u), static_cast<float>(g.v),
                           static_cast<float>(g.width), static_cast<float>(g.height));
            const float w = g.width * scale;
            const float h = g.height * scale;
            if (pitchMode_ == kPitchCell)
                r.SetRect(x + g.offsetX * scale, y + g.offsetY * scale, w, h);
            else
                r.SetRect(x, y + g.offsetY * scale, w, h);
            r.Submit();
            advance = GlyphAdvance(c, g);
        }
        x = settle(x + advance);
        x = settle(x + step);
    }
}

} // namespace Mireku::Renderer
