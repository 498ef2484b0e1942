#pragma once

namespace FulgorCore {

class ITexture;

// The host's side of one texture of a package: the label ("Lbl") by which it
// may replace the texture, and the replacement it gave (one reference held).
struct TextureEntry {
    static constexpr unsigned kLabelSize = 32;

    char label[kLabelSize];
    ITexture* override;
};

} // namespace FulgorCore
