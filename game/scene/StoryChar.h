// The two story portraits: the player's own pilot on the left, large, and
// the other speaker on the right, smaller; the one who is silent darkened,
// both shaking on the script's cue, and a 30-frame noise cut-in whenever the
// other speaker changes. One object for the whole run: which speaker was
// last on the right, and how much of its cut-in is left, carry over from one
// story scene to the next.
#pragma once

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}

class StoryChar {
public:
    // Characters 1-9 have portrait sheets, "ev_pc01cut.dds" to "ev_pc09cut.dds".
    static constexpr int32_t kSheetCount = 9;
    static constexpr int32_t kFaceCount = 15;
    static constexpr int32_t kCutInFrames = 30;
    static constexpr uint32_t kLit = 0xFFFFFFFFu;
    static constexpr uint32_t kDim = 0xFF808080u;
    static constexpr const char* kFolder = "script/texture";
    static constexpr const char* kNoiseName = "ev_pccut_noise.dds";

    enum Side : uint32_t { kOwnSide = 0, kOtherSide = 1 };

    // A source rectangle of the sheet (texels) and where it is drawn.
    struct Part {
        float u, v, w, h;
        float x, y, dw, dh;
    };
    // The body of a side, and face `face` (1-15) of a side.
    static Part BodyPart(uint32_t side);
    static Part FacePart(uint32_t side, int32_t face);

    static StoryChar& Instance();

    StoryChar() = default;
    StoryChar(const StoryChar&) = delete;
    StoryChar& operator=(const StoryChar&) = delete;

    // A story scene's start: nobody shown, the own pilot from the first
    // player record, no sheets, no shake. The last other speaker and the
    // cut-in carry over.
    void Reset();
    // The nine sheets and the noise overlay; a missing file leaves its slot
    // empty and that portrait undrawn.
    void LoadSheets(Mireku::Resource::ChildResourceLoader& loader);
    void Release();
    // Reads the story script's current command: who speaks, with which face,
    // and whether the portraits shake.
    void TakeCommand();
    // Both portraits (nothing when `show` is false) on "Enemy_Shot_Blend",
    // the cut-in noise on "Enemy_Shot_Add".
    void Draw(bool show);

    bool IsOwnShown() const { return ownShown_ != 0; }
    bool IsOtherShown() const { return otherShown_ != 0; }
    int32_t GetOwnPilot() const { return ownPilot_; }
    int32_t GetOwnFace() const { return ownFace_; }
    int32_t GetOtherSpeaker() const { return otherSpeaker_; }
    int32_t GetOtherFace() const { return otherFace_; }
    int32_t GetLastOtherSpeaker() const { return lastOtherSpeaker_; }
    int32_t GetCutInFrames() const { return cutInFrames_; }
    bool IsShaking() const { return shake_ != 0; }
    Mireku::Graphics::Texture* GetSheet(int32_t character) const {
        return character >= 1 && character <= kSheetCount ? sheets_[character - 1] : nullptr;
    }
    Mireku::Graphics::Texture* GetNoise() const { return noise_; }

private:
    void DrawPortrait(int32_t character, int32_t face, uint32_t side, bool lit) const;

    uint8_t ownShown_ = 0;
    uint8_t otherShown_ = 0;
    int32_t ownPilot_ = 1;
    int32_t ownFace_ = 0;
    int32_t otherSpeaker_ = 0;
    int32_t otherFace_ = 0;
    int32_t lastOtherSpeaker_ = -1;
    int32_t cutInFrames_ = 0;
    uint8_t shake_ = 0;
    Mireku::Graphics::Texture* sheets_[kSheetCount] = {};
    Mireku::Graphics::Texture* noise_ = nullptr;
};
