// Drawing the sample pictures: colour helpers for RGBA images (red in the
// top byte, alpha in the bottom one), gradients, frames, discs and caption
// plates, and a maker that paints text with DejaVu Sans and adds each
// picture to an archive as a DDS file.
#pragma once

#include "tools/dds/DdsWriter.h"
#include "tools/font/FontBuilder.h"
#include "tools/font/TextPainter.h"
#include "tools/sampledata/Staging.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace sampledata {

using tools::RgbaImage;

constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kGrey = 0x808890FF;

constexpr uint32_t kPilotCount = 6;
// Each pilot's own colour (red, green, blue, alpha).
constexpr uint32_t kPilotColours[kPilotCount] = {0xE04040FF, 0x4080F0FF, 0x40C060FF,
                                                 0xE0B030FF, 0xB050E0FF, 0x30C8C8FF};

inline uint32_t WithAlpha(uint32_t rgba, uint8_t alpha) {
    return (rgba & 0xFFFFFF00u) | alpha;
}

inline uint32_t Scaled(uint32_t rgba, float f) {
    uint32_t out = rgba & 0xFF;
    for (int shift = 8; shift <= 24; shift += 8) {
        const float c = static_cast<float>((rgba >> shift) & 0xFF) * f;
        out |= static_cast<uint32_t>(c > 255.0f ? 255.0f : c) << shift;
    }
    return out;
}

inline uint32_t Mix(uint32_t a, uint32_t b, float t) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        const float x = static_cast<float>((a >> shift) & 0xFF);
        const float y = static_cast<float>((b >> shift) & 0xFF);
        out |= static_cast<uint32_t>(x + (y - x) * t) << shift;
    }
    return out;
}

inline void Gradient(RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t top,
                     uint32_t bottom) {
    for (int32_t row = 0; row < h; ++row)
        image.Fill(
            x, y + row, w, 1,
            Mix(top, bottom, h > 1 ? static_cast<float>(row) / static_cast<float>(h - 1) : 0.0f));
}

inline void Frame(RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h, int32_t t,
                  uint32_t c) {
    image.Fill(x, y, w, t, c);
    image.Fill(x, y + h - t, w, t, c);
    image.Fill(x, y, t, h, c);
    image.Fill(x + w - t, y, t, h, c);
}

inline void Disc(RgbaImage& image, int32_t cx, int32_t cy, int32_t r, uint32_t c) {
    for (int32_t y = -r; y <= r; ++y)
        for (int32_t x = -r; x <= r; ++x)
            if (x * x + y * y <= r * r)
                image.Set(cx + x, cy + y, c);
}

// A caption plate: a translucent dark box, a frame and centred text.
inline void Plate(tools::TextPainter& text, RgbaImage& image, int32_t x, int32_t y, int32_t w,
                  int32_t h, uint32_t colour, const std::string& caption) {
    image.Fill(x, y, w, h, WithAlpha(Scaled(colour, 0.3f), 200));
    Frame(image, x, y, w, h, 2, colour);
    // As large as fits: three fifths of the height, at most 48 pixels, and
    // smaller for a caption wider than the box.
    uint32_t size = std::min<uint32_t>(static_cast<uint32_t>(h) * 3 / 5, 48);
    while (size > 8 && text.Measure(caption, size) > w - 8)
        --size;
    text.DrawCentred(image, x, y, w, h, size, caption, kWhite);
}

class PictureMaker {
public:
    PictureMaker(Staging& staging, const char* archive, std::string* error)
        : staging_(staging), archive_(archive), error_(error) {}

    // False, with the reason, when the font cannot be opened.
    bool Open(const char* who) {
        if (text.Open(tools::kDejaVuSans))
            return true;
        *error_ = std::string(who) + ": cannot open " + tools::kDejaVuSans +
                  " (package fonts-dejavu-core)";
        return false;
    }

    bool Add(const std::string& folder, const std::string& name, const RgbaImage& image) {
        if (!ok_)
            return false;
        ok_ = staging_.Add(archive_, folder + "/" + name,
                           tools::WriteDds(sys::DdsFormat::R8G8B8A8, image.width, image.height, 1,
                                           false, image.pixels.data(), image.pixels.size()),
                           error_);
        return ok_;
    }

    bool Ok() const { return ok_; }

    tools::TextPainter text;

private:
    Staging& staging_;
    std::string archive_;
    std::string* error_;
    bool ok_ = true;
};

} // namespace sampledata
