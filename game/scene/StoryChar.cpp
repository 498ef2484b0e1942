#include "game/scene/StoryChar.h"

#include "engine/graphics/Texture.h"
#include "game/core/RandomManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/flow/TextureFile.h"
#include "game/scene/StoryColour.h"
#include "game/scene/StoryScriptDriver.h"

#include <cstdio>

namespace {

using Mireku::Renderer::SpriteRenderer;

// Faces sit in rows of five right of the large body (the own side) and
// right of the small body below it (the other side).
constexpr int32_t kFacesPerRow = 5;

// The sheet's parts by side: body source and destination, face cell origin,
// cell size in texels, and where the face goes.
struct SideLayout {
    StoryChar::Part body;
    float faceU, faceV, cellW, cellH;
    float faceX, faceY, faceW, faceH;
};
constexpr SideLayout kSides[2] = {
    {{0, 0, 383, 559, 0, 96, 384, 560}, 384, 0, 120, 160, 105, 156, 120, 160},
    {{0, 560, 383, 449, 368, 144, 384, 448}, 384, 560, 96, 128, 572, 192, 96, 128},
};

// The noise covers the small body; its two frames alternate every frame.
constexpr StoryChar::Part kNoiseEven = {384, 560, 384, 448, 368, 144, 384, 448};
constexpr StoryChar::Part kNoiseOdd = {0, 560, 384, 448, 368, 144, 384, 448};

// Shake offsets lie in [-5.5, 5.5) pixels.
constexpr float kShakeHalf = 5.5f;

SpriteRenderer* Layer(SpriteLayer layer) {
    const SpriteManager* sprites = SpriteManager::GetInstance();
    return sprites ? sprites->GetLayer(layer) : nullptr;
}

void Submit(SpriteRenderer* layer, Mireku::Graphics::Texture* texture, uint32_t blend,
            const StoryChar::Part& p, float dx, float dy, uint32_t colour) {
    SpriteQuad::Place(layer, texture, blend, p.u, p.v, p.w, p.h, p.x + dx, p.y + dy, p.dw, p.dh,
                      colour);
}

} // namespace

StoryChar& StoryChar::Instance() {
    static StoryChar portraits;
    return portraits;
}

StoryChar::Part StoryChar::BodyPart(uint32_t side) {
    return kSides[side == kOwnSide ? 0 : 1].body;
}

StoryChar::Part StoryChar::FacePart(uint32_t side, int32_t face) {
    const SideLayout& s = kSides[side == kOwnSide ? 0 : 1];
    const int32_t c = (face - 1) % kFacesPerRow;
    const int32_t r = (face - 1) / kFacesPerRow;
    // A cell is one texel narrower and shorter than its pitch.
    return {s.faceU + s.cellW * static_cast<float>(c),
            s.faceV + s.cellH * static_cast<float>(r),
            s.cellW - 1,
            s.cellH - 1,
            s.faceX,
            s.faceY,
            s.faceW,
            s.faceH};
}

void StoryChar::Reset() {
    ownShown_ = 0;
    otherShown_ = 0;
    ownFace_ = 0;
    otherSpeaker_ = 0;
    otherFace_ = 0;
    ownPilot_ = StoryScriptDriver::PilotOfPlayer();
    Release();
    shake_ = 0;
}

void StoryChar::LoadSheets(Mireku::Resource::ChildResourceLoader& loader) {
    for (int32_t i = 0; i < kSheetCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ev_pc%02dcut.dds", i + 1);
        ReleaseTexture(sheets_[i]);
        sheets_[i] = ReadTexture(loader, kFolder, name);
    }
    ReleaseTexture(noise_);
    noise_ = ReadTexture(loader, kFolder, kNoiseName);
}

void StoryChar::Release() {
    for (Mireku::Graphics::Texture*& sheet : sheets_)
        ReleaseTexture(sheet);
    ReleaseTexture(noise_);
}

void StoryChar::TakeCommand() {
    const StoryCommand& command = StoryScriptDriver::Instance().GetCurrent();
    shake_ = command.shake != 0 ? 1 : 0;
    if (command.speaker != ownPilot_) {
        otherSpeaker_ = command.speaker;
        otherFace_ = command.face;
        otherShown_ = 1;
    } else {
        ownFace_ = command.face;
        ownShown_ = 1;
    }
}

void StoryChar::Draw(bool show) {
    if (!show)
        return;
    const int32_t speaker = StoryScriptDriver::Instance().GetCurrent().speaker;
    if (ownShown_)
        DrawPortrait(ownPilot_, ownFace_, kOwnSide, speaker == ownPilot_);
    if (!otherShown_)
        return;
    if (otherSpeaker_ != lastOtherSpeaker_) {
        cutInFrames_ = kCutInFrames;
        lastOtherSpeaker_ = otherSpeaker_;
    }
    if (otherSpeaker_ < 1 || otherSpeaker_ > kSheetCount)
        return;
    DrawPortrait(otherSpeaker_, otherFace_, kOtherSide, speaker == otherSpeaker_);
    if (cutInFrames_ > 0) {
        if (noise_)
            Submit(Layer(SpriteLayer::kEnemyShotAdd), noise_, SpriteRenderer::kBlendAdd,
                   cutInFrames_ % 2 == 0 ? kNoiseEven : kNoiseOdd, 0, 0, SpriteQuad::kWhite);
        --cutInFrames_;
    }
}

void StoryChar::DrawPortrait(int32_t character, int32_t face, uint32_t side, bool lit) const {
    Mireku::Graphics::Texture* sheet = GetSheet(character);
    float dx = 0, dy = 0;
    if (shake_) {
        // Presentation only: the play stream never moves for a portrait.
        if (RandomManager* random = RandomManager::GetInstance()) {
            dx = random->RangeFloat(RandomManager::kPresentation, -kShakeHalf, kShakeHalf);
            dy = random->RangeFloat(RandomManager::kPresentation, -kShakeHalf, kShakeHalf);
        }
    }
    if (!sheet)
        return;
    SpriteRenderer* layer = Layer(SpriteLayer::kEnemyShotBlend);
    const uint32_t colour = lit ? kLit : kDim;
    Submit(layer, sheet, SpriteRenderer::kBlendAlpha, BodyPart(side), dx, dy, colour);
    // A face the script never set (0) has no cell: the body shows alone.
    if (face >= 1 && face <= kFaceCount)
        Submit(layer, sheet, SpriteRenderer::kBlendAlpha, FacePart(side, face), dx, dy, colour);
}
