#include "game/scene/SpriteFont.h"

#include "engine/renderer/SpriteRenderer.h"

namespace {

struct Punctuation {
    char c;
    int16_t u, v;
};

// The punctuation cells of the atlas.
constexpr Punctuation kPunctuation[] = {
    {'!', 0, 90},    {'"', 30, 90},   {'#', 60, 90},   {'$', 90, 90},   {'%', 120, 90},
    {'&', 150, 90},  {'\'', 180, 90}, {'(', 210, 90},  {')', 240, 90},  {'=', 270, 90},
    {'~', 300, 90},  {'|', 330, 90},  {'@', 360, 90},  {';', 0, 120},   {'[', 60, 120},
    {']', 90, 120},  {'{', 120, 120}, {'}', 150, 120}, {'<', 180, 120}, {'>', 210, 120},
    {',', 240, 120}, {'.', 270, 120}, {'?', 300, 120}, {'/', 330, 120}, {'\\', 360, 120},
    {'_', 0, 150},   {'*', 30, 150},  {'-', 60, 150},  {'+', 90, 150},
};

constexpr float kColonU = 30.0f;
constexpr float kColonV = 120.0f;

} // namespace

bool SpriteFont::GlyphCell(char c, float* u, float* v) {
    if (c >= '0' && c <= '9') {
        *u = kCell * static_cast<float>(c - '0');
        *v = 0.0f;
        return true;
    }
    if (c >= 'a' && c <= 'm') {
        *u = kCell * static_cast<float>(c - 'a');
        *v = kCell;
        return true;
    }
    if (c >= 'n' && c <= 'z') {
        *u = kCell * static_cast<float>(c - 'n');
        *v = 2.0f * kCell;
        return true;
    }
    for (const Punctuation& p : kPunctuation) {
        if (p.c == c) {
            *u = p.u;
            *v = p.v;
            return true;
        }
    }
    return false;
}

float SpriteFont::Draw(Mireku::Renderer::SpriteRenderer* layer, const char* text, float x, float y,
                       float sx, float sy, float spaceAdvance) {
    if (!text)
        return x;
    const float w = kCell * sx;
    const float h = kCell * sy;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '\t') {
            x += kTabAdvance * sx;
            continue;
        }
        if (c == ' ') {
            x += spaceAdvance * sx;
            continue;
        }
        if (c == ':') {
            if (layer) {
                layer->SetTexCoord0(kColonU, kColonV, kCell, kCell);
                layer->SetRect(x - kColonShift, y, w, h);
                layer->Submit();
            }
            x += kColonShift * sx;
            continue;
        }
        float u = 0.0f, v = 0.0f;
        if (!GlyphCell(c, &u, &v))
            continue;
        if (layer) {
            layer->SetTexCoord0(u, v, kCell, kCell);
            layer->SetRect(x, y, w, h);
            layer->Submit();
        }
        x += w;
    }
    return x;
}
