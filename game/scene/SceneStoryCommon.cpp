#include "game/scene/SceneStoryCommon.h"

#include "engine/graphics/Texture.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/core/ConfigBlock.h"
#include "game/core/GlobalWork.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/flow/TextureFile.h"
#include "game/scene/StoryColour.h"
#include "game/scene/StoryScriptDriver.h"

#include <cstdio>

namespace {

using Mireku::Graphics::Texture;
using Mireku::Renderer::SpriteRenderer;

constexpr uint32_t kStagesPerLoop = 12;
constexpr uint32_t kOccasions = 4;
constexpr int32_t kPilots = 6;

constexpr uint32_t kRollLengths[kPilots][kOccasions] = {
    {14160, 11820, 10860, 11640}, {18180, 12120, 14040, 13380}, {14760, 11520, 10860, 9900},
    {17040, 12360, 12420, 12120}, {16200, 15960, 16380, 15360}, {8640, 14520, 15480, 12660},
};

// Speakers 7 and 9 share one plate.
constexpr const char* kPlateNames[SceneStoryCommon::kPlateCount] = {
    "ev_pc01name.dds", "ev_pc02name.dds", "ev_pc03name.dds", "ev_pc04name.dds", "ev_pc05name.dds",
    "ev_pc06name.dds", "ev_sp02name.dds", "ev_sp03name.dds", "ev_sp02name.dds", "ev_sp05name.dds",
    "ev_sp04name.dds", "ev_sp01name.dds", "ev_sp06name.dds", "ev_sp07name.dds",
};

// The window hangs at x 280 with its top at y 528 once open; the line sits
// in it at y 580 with the speaker's plate above at y 552.
constexpr float kWindowX = 280.0f;
constexpr float kWindowTop = 528.0f;
constexpr float kLineY = 580.0f;
constexpr float kPlateY = 552.0f;
constexpr float kWindowSteps = 8.0f;
// The ending's line, without a window.
constexpr float kEndingLineY = 560.0f;
// The caption strip: the right part of a 56-pixel row, drawn where it lies.
constexpr float kCaptionU = 568.0f;
constexpr float kCaptionWidth = 1024.0f - kCaptionU;
constexpr float kCaptionRowHeight = 56.0f;
constexpr float kCaptionY = 60.0f;
// The roll: clipped to y 120-600; it starts at the clip's bottom edge and
// moves the lines' height plus 240 pixels over its length.
constexpr int16_t kRollClipTop = 120;
constexpr int16_t kRollClipHeight = 480;
constexpr float kRollStart = 600.0f;
constexpr float kRollExtra = 240.0f;
// The skip hint blinks in periods of 60 frames.
constexpr uint32_t kBlinkFrames = 60;

SpriteRenderer* Hud() {
    const SpriteManager* sprites = SpriteManager::GetInstance();
    return sprites ? sprites->GetLayer(SpriteLayer::kHud) : nullptr;
}

float Width(const Texture* t) {
    return static_cast<float>(t->GetWidth());
}
float Height(const Texture* t) {
    return static_cast<float>(t->GetHeight());
}
// Left edge of a texture centred on the screen, in whole pixels.
float CentredX(const Texture* t) {
    return static_cast<float>((ScreenLayout::kWidth - t->GetWidth()) / 2);
}
void DrawAt(SpriteRenderer* hud, Texture* t, float x, float y) {
    SpriteQuad::Place(hud, t, SpriteRenderer::kBlendAlpha, 0, 0, Width(t), Height(t), x, y,
                      Width(t), Height(t));
}

} // namespace

uint32_t SceneStoryCommon::RollLength(int32_t pilot, uint32_t occasion) {
    if (pilot < 1 || pilot > kPilots || occasion >= kOccasions)
        return kRollLengths[0][0];
    return kRollLengths[pilot - 1][occasion];
}

uint32_t SceneStoryCommon::IntermissionOccasion(uint32_t stage) {
    return (stage % kStagesPerLoop + 1) / 3;
}

uint32_t SceneStoryCommon::CaptionRow(uint32_t stage) {
    const uint32_t s = stage % kStagesPerLoop;
    return s + s / 3 + 1;
}

const char* SceneStoryCommon::LanguageFolder() {
    const GlobalWork* work = GlobalWork::GetInstance();
    const uint8_t language = work ? work->config[ConfigBlock::kOffsetStoryLanguage] : 0;
    return language == 0 ? kJapaneseFolder : kEnglishFolder;
}

const char* SceneStoryCommon::PlateName(int32_t speaker) {
    return speaker >= 1 && speaker <= kPlateCount ? kPlateNames[speaker - 1] : nullptr;
}

SceneStoryCommon::~SceneStoryCommon() {
    ReleaseResources();
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->ReleaseStream(&voiceSlot_);
}

void SceneStoryCommon::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    ReleaseResources();
    const char* language = LanguageFolder();
    skip_ = ReadTexture(loader, kTextureFolder, kSkipName);
    window_ = ReadTexture(loader, kTextureFolder, kWindowName);
    caption_ = ReadTexture(loader, kTextureFolder, kCaptionName);
    for (int32_t speaker = 1; speaker <= kPlateCount; ++speaker)
        plates_[speaker - 1] = ReadTexture(loader, language, PlateName(speaker));

    const StoryScriptDriver& script = StoryScriptDriver::Instance();
    if (script.GetKind() == StoryScriptDriver::kNone)
        return;
    for (const StoryCommand& record : script.GetRecords()) {
        if (record.line == -1)
            break;
        if (record.text[0] == '\0')
            continue;
        char name[TextLine::kVoiceNameSize];
        std::snprintf(name, sizeof name, "%s.dds", record.text);
        Texture* texture = ReadTexture(loader, language, name);
        if (!texture)
            continue;
        TextLine& line = lines_.emplace_back();
        line.line = record.line;
        line.texture = texture;
        std::snprintf(line.voice, sizeof line.voice, "%s.ogg", record.text);
    }
}

void SceneStoryCommon::ReleaseResources() {
    ReleaseTexture(skip_);
    ReleaseTexture(window_);
    ReleaseTexture(caption_);
    for (Texture*& plate : plates_)
        ReleaseTexture(plate);
    for (TextLine& line : lines_)
        ReleaseTexture(line.texture);
    lines_.clear();
}

void SceneStoryCommon::StartVoice(uint32_t entry) {
    if (SoundManager* sound = SoundManager::GetInstance()) {
        sound->StopStream(voiceSlot_);
        sound->ReleaseStream(&voiceSlot_);
        sound->OpenStream(&voiceSlot_, kVoiceFolder, lines_[entry].voice);
        sound->WaitStream(voiceSlot_);
        sound->PlayVoiceStream(voiceSlot_);
    }
    voiceEntry_ = static_cast<int32_t>(entry);
    voiceHold_ = holdLength_;
    voiceBusy_ = 1;
}

void SceneStoryCommon::StopVoice() {
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->StopStream(voiceSlot_);
}

void SceneStoryCommon::UpdateVoice() {
    ++frameCounter_;
    if (voiceEntry_ == -1)
        return;
    if (voiceHold_ > 0) {
        --voiceHold_;
        return;
    }
    SoundManager* sound = SoundManager::GetInstance();
    voiceBusy_ = sound && sound->IsStreamPlaying(voiceSlot_) ? 1 : 0;
}

void SceneStoryCommon::AnimateWindow(bool closing) {
    if (!window_) {
        // Without the window's picture there is no height to unfold: it is
        // open, or closed, at once.
        windowOpen_ = closing ? 0 : 1;
        return;
    }
    const float full = Height(window_);
    const float step = full / kWindowSteps;
    if (closing) {
        windowHeight_ -= step;
        if (windowHeight_ <= 0.0f) {
            windowHeight_ = 0.0f;
            windowOpen_ = 0;
        }
    } else if (!windowOpen_) {
        windowHeight_ += step;
        if (windowHeight_ >= full) {
            windowHeight_ = full;
            windowOpen_ = 1;
        }
    }
}

void SceneStoryCommon::DrawWindow(uint32_t mode, bool show, bool closing) {
    SpriteRenderer* hud = Hud();
    if (skip_ && (frameCounter_ / kBlinkFrames) % 2 == 1)
        DrawAt(hud, skip_, static_cast<float>(ScreenLayout::kWidth) - Width(skip_), 0);
    if (mode != kStageMode)
        return;
    if (caption_) {
        const float row = static_cast<float>(
            CaptionRow(GlobalWork::GetInstance() ? GlobalWork::GetInstance()->stage : 0));
        SpriteQuad::Place(hud, caption_, SpriteRenderer::kBlendAlpha, kCaptionU,
                          row * kCaptionRowHeight, kCaptionWidth, kCaptionRowHeight, kCaptionU,
                          kCaptionY, kCaptionWidth, kCaptionRowHeight);
    }
    if (show) {
        AnimateWindow(closing);
        if (window_ && windowHeight_ > 0.0f) {
            const float full = Height(window_);
            // It unfolds from its middle line.
            SpriteQuad::Place(hud, window_, SpriteRenderer::kBlendAlpha, 0, 0, Width(window_), full,
                              kWindowX, kWindowTop + (full - windowHeight_) * 0.5f, Width(window_),
                              windowHeight_);
        }
    }
    if (windowOpen_ && !closing)
        DrawCurrentLine(hud);
}

void SceneStoryCommon::DrawCurrentLine(SpriteRenderer* hud) {
    const StoryCommand& command = StoryScriptDriver::Instance().GetCurrent();
    const int64_t index = static_cast<int64_t>(command.line) - 1;
    if (index < 0 || index >= static_cast<int64_t>(lines_.size()))
        return;
    const uint32_t entry = static_cast<uint32_t>(index);
    Texture* text = lines_[entry].texture;
    const float x = CentredX(text);
    DrawAt(hud, text, x, kLineY);
    if (static_cast<int32_t>(entry) != voiceEntry_)
        StartVoice(entry);
    if (Texture* plate = GetPlate(command.speaker))
        DrawAt(hud, plate, x, kPlateY);
}

void SceneStoryCommon::DrawLineById() {
    const int32_t line = StoryScriptDriver::Instance().GetCurrent().line;
    for (uint32_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].line != line)
            continue;
        Texture* text = lines_[i].texture;
        DrawAt(Hud(), text, CentredX(text), kEndingLineY);
        if (line - 1 != voiceEntry_) {
            StartVoice(i);
            voiceEntry_ = line - 1;
        }
        return;
    }
}

void SceneStoryCommon::DrawRoll(uint32_t rollLength, bool voiced) {
    SpriteRenderer* hud = Hud();
    if (hud)
        hud->SetScissor(0, kRollClipTop, static_cast<int16_t>(ScreenLayout::kWidth),
                        kRollClipHeight);
    float y = kRollStart - rollOffset_;
    float sum = 0.0f;
    for (const TextLine& line : lines_) {
        DrawAt(hud, line.texture, CentredX(line.texture), y);
        y += Height(line.texture);
        sum += Height(line.texture);
    }
    if (hud)
        hud->SetScissor(0, 0, 0, 0);
    if (rollLength > 0)
        rollOffset_ += (sum + kRollExtra) / static_cast<float>(rollLength);

    if (!voiced)
        return;
    if (voiceEntry_ == -1) {
        voiceEntry_ = 0;
        voiceBusy_ = 0;
    }
    SoundManager* sound = SoundManager::GetInstance();
    const bool playing = sound && sound->IsStreamPlaying(voiceSlot_);
    if (voiceBusy_ == 0 && !playing && voiceEntry_ < static_cast<int32_t>(lines_.size())) {
        const int32_t entry = voiceEntry_;
        StartVoice(static_cast<uint32_t>(entry));
        voiceEntry_ = entry + 1;
    }
}
