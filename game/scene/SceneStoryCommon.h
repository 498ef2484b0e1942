// What every story scene shares: the story window with the current line and
// the speaker's name plate, the voice of each line, the rolling text of the
// opening and the intermissions, and the ending's single line. Lines are
// prepared images named by the script, one per line with text, with a voice
// of the same name.
#pragma once

#include "engine/common/HeapAllocator.h"
#include "game/scene/StoryCommand.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Renderer {
class SpriteRenderer;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}

class SceneStoryCommon {
public:
    static constexpr const char* kTextureFolder = "script/texture";
    static constexpr const char* kJapaneseFolder = "script/texture/pcs_jap";
    static constexpr const char* kEnglishFolder = "script/texture/pcs_eng";
    static constexpr const char* kVoiceFolder = "script/sound/ogg";
    static constexpr const char* kSkipName = "ev_skip.dds";
    static constexpr const char* kWindowName = "ev_window_eng.dds";
    static constexpr const char* kCaptionName = "ev_stage_telop.dds";

    // Name plates by speaker 1-14 (the table has room for 24).
    static constexpr int32_t kPlateSlots = 24;
    static constexpr int32_t kPlateCount = 14;
    static constexpr uint32_t kHoldLength = 60;

    // The window modes: the opening shows only the skip hint, the scene
    // between stages the whole window, the intermission the skip hint.
    enum WindowMode : uint32_t { kOpeningMode = 0, kStageMode = 1, kIntermissionMode = 2 };

    // One line with text: its number, its text image and its voice file,
    // "<text>.ogg" (the text's 31 bytes and the extension fit).
    struct TextLine {
        static constexpr uint32_t kVoiceNameSize = StoryCommand::kStringSize + 4;
        int32_t line;
        Mireku::Graphics::Texture* texture;
        char voice[kVoiceNameSize];
    };
    using TextLines = Mireku::Common::Vector<TextLine>;

    // Roll length in frames by pilot (1-6) and occasion: 0 the opening, 1-3
    // the intermissions after the 3rd, 6th and 9th stage of a loop.
    static uint32_t RollLength(int32_t pilot, uint32_t occasion);
    // The occasion of the intermission after stage `stage`: (stage % 12 + 1) / 3.
    static uint32_t IntermissionOccasion(uint32_t stage);
    // The caption row of "ev_stage_telop.dds" for a stage (rows 0, 4, 8 and
    // 12 are not used).
    static uint32_t CaptionRow(uint32_t stage);
    // The folder of the name plates and text images by the language option.
    static const char* LanguageFolder();
    static const char* PlateName(int32_t speaker);

    SceneStoryCommon() = default;
    // Releases whatever is still held: textures and the voice stream.
    virtual ~SceneStoryCommon();
    SceneStoryCommon(const SceneStoryCommon&) = delete;
    SceneStoryCommon& operator=(const SceneStoryCommon&) = delete;

    // From the scene's loader, after the script: the window parts, the name
    // plates and one text image per line with text up to the first record
    // whose line is -1. A text image that cannot be read has no entry.
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader);
    // Every texture, and the entries.
    void ReleaseResources();
    // The skip hint, and in the stage mode the caption and the window with
    // the current line, its voice and the speaker's plate, on "HUD".
    void DrawWindow(uint32_t mode, bool show, bool closing);
    // The ending's line: the entry of the current command's line centred at
    // y 560, voiced once.
    void DrawLineById();
    // The rolling text, clipped to the middle of the screen, with the lines'
    // voices one after another (none started while not `voiced`).
    void DrawRoll(uint32_t rollLength, bool voiced = true);
    // Once per frame: the frame count and the voice's busy state.
    void UpdateVoice();
    void StopVoice();

    bool IsWindowOpen() const { return windowOpen_ != 0; }
    float GetWindowHeight() const { return windowHeight_; }
    uint32_t GetFrameCounter() const { return frameCounter_; }
    void SetFrameCounter(uint32_t frames) { frameCounter_ = frames; }
    int32_t GetVoiceEntry() const { return voiceEntry_; }
    int32_t GetVoiceSlot() const { return voiceSlot_; }
    float GetRollOffset() const { return rollOffset_; }
    uint32_t GetVoiceHold() const { return voiceHold_; }
    bool IsVoiceBusy() const { return voiceBusy_ != 0; }
    void SetVoiceBusy(bool busy) { voiceBusy_ = busy ? 1 : 0; }
    void SetVoiceHold(uint32_t frames) { voiceHold_ = frames; }
    uint32_t GetHoldLength() const { return holdLength_; }
    void SetHoldLength(uint32_t frames) { holdLength_ = frames; }
    const TextLines& GetLines() const { return lines_; }
    Mireku::Graphics::Texture* GetSkip() const { return skip_; }
    Mireku::Graphics::Texture* GetWindow() const { return window_; }
    Mireku::Graphics::Texture* GetCaption() const { return caption_; }
    Mireku::Graphics::Texture* GetPlate(int32_t speaker) const {
        return speaker >= 1 && speaker <= kPlateCount ? plates_[speaker - 1] : nullptr;
    }

private:
    void AnimateWindow(bool closing);
    void DrawCurrentLine(Mireku::Renderer::SpriteRenderer* hud);
    // Stops and releases the old stream, opens the entry's voice, waits for
    // it and plays it; the entry becomes the voiced one for the hold length.
    void StartVoice(uint32_t entry);

    Mireku::Graphics::Texture* skip_ = nullptr;
    Mireku::Graphics::Texture* window_ = nullptr;
    Mireku::Graphics::Texture* caption_ = nullptr;
    Mireku::Graphics::Texture* plates_[kPlateSlots] = {};
    TextLines lines_;
    uint32_t windowOpen_ = 0;
    float windowHeight_ = 0.0f;
    uint32_t frameCounter_ = 0;
    int32_t voiceEntry_ = -1;
    int32_t voiceSlot_ = -1;
    float rollOffset_ = 0.0f;
    uint32_t voiceHold_ = 0;
    uint32_t voiceBusy_ = 1;
    uint32_t holdLength_ = kHoldLength;
};
