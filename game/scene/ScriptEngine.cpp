#include "game/scene/ScriptEngine.h"

#include "engine/common/Heap.h"
#include "engine/graphics/Texture.h"
#include "engine/renderer/TextRenderer.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/flow/TextureFile.h"

#include <cstdio>
#include <cstring>

ScriptEngine::~ScriptEngine() {
    Finalize();
}

void ScriptEngine::CreateTextRenderer(Mireku::Resource::ChildResourceLoader&, const void*) {
    if (textRenderer_)
        textRenderer_->Release();
    textRenderer_ = new Mireku::Renderer::TextRenderer();
}

const char* ScriptEngine::RecordName(const uint8_t* record, uint32_t offset) {
    const char* name = reinterpret_cast<const char*>(record + offset);
    if (offset + kMaxNameLength >= kRecordSize)
        return nullptr;
    return std::memchr(name, 0, kMaxNameLength + 1) ? name : nullptr;
}

void ScriptEngine::LoadCodeTable(Mireku::Resource::ChildResourceLoader& loader, const void*) {
    FreeCodeTable();
    if (loader.Read(kCodeFolder, codeTableName_)) {
        const uint32_t count = loader.GetSize() / kRecordSize;
        if (count > 0)
            codeEntries_ = static_cast<CodeEntry*>(
                Mireku::Common::Heap::LockedAlloc(sizeof(CodeEntry) * count));
        if (codeEntries_) {
            const uint8_t* data = static_cast<const uint8_t*>(loader.GetData());
            for (uint32_t i = 0; i < count; ++i) {
                std::memcpy(codeEntries_[i].record, data + i * kRecordSize, kRecordSize);
                for (Mireku::Graphics::Texture*& texture : codeEntries_[i].textures)
                    texture = nullptr;
            }
            codeEntryCount_ = static_cast<int32_t>(count);
        }
        loader.GetBuffer().Release();
        for (int32_t i = 0; i < codeEntryCount_; ++i)
            for (uint32_t n = 0; n < kNameCount; ++n)
                codeEntries_[i].textures[n] =
                    GetTexture(RecordName(codeEntries_[i].record, kNameOffsets[n]));
    }
    loadState_ = kJustLoaded;
}

Mireku::Graphics::Texture* ScriptEngine::GetTexture(const char* name) {
    if (!name || !*name)
        return nullptr;
    if (auto it = cache_.find(std::string_view(name)); it != cache_.end())
        return it->second;
    Mireku::Graphics::Texture* texture = nullptr;
    char file[kMaxNameLength + 5];
    if (std::strlen(name) <= kMaxNameLength) {
        std::snprintf(file, sizeof(file), "%s.dds", name);
        Mireku::Resource::ChildResourceLoader loader;
        texture = ReadTexture(loader, kTextureFolder, file);
    }
    cache_.emplace(Key(name), texture);
    return texture;
}

void ScriptEngine::FreeCodeTable() {
    if (codeEntries_)
        Mireku::Common::Heap::LockedFree(codeEntries_);
    codeEntries_ = nullptr;
    codeEntryCount_ = 0;
}

void ScriptEngine::Clear() {
    // The entries' textures are the cache's references.
    for (auto& entry : cache_)
        ReleaseTexture(entry.second);
    cache_.clear();
    FreeCodeTable();
    loadState_ = kNothing;
}

void ScriptEngine::Finalize() {
    Clear();
    indicatorFrames_ = 0;
    ReleaseTexture(texture_);
    if (textRenderer_)
        textRenderer_->Release();
    textRenderer_ = nullptr;
}

void ScriptEngine::SetCodeTableName(const char* name) {
    std::snprintf(codeTableName_, sizeof(codeTableName_), "%s", name ? name : "");
}

const char16_t* ScriptEngine::IndicatorText(uint32_t frame) {
    static constexpr const char16_t* kTexts[] = {u"LOADING", u"LOADING.", u"LOADING..",
                                                 u"LOADING..."};
    return kTexts[(frame / kIndicatorFramesPerText) % 4];
}

void ScriptEngine::UpdateIndicator(Mireku::Renderer::SpriteRenderer* hud) {
    if (loadState_ == kLoading) {
        DrawIndicator(hud);
    } else if (loadState_ == kJustLoaded) {
        DrawIndicator(hud);
        loadState_ = kShown;
    }
}

void ScriptEngine::DrawIndicator(Mireku::Renderer::SpriteRenderer* hud) {
    const uint32_t frame = indicatorFrames_++;
    if (!textRenderer_ || !hud)
        return;
    textRenderer_->SetColor(255, 255, 255, 255);
    textRenderer_->SetOutlineColor(0, 0, 0, 255);
    textRenderer_->SetSize(0);
    textRenderer_->SetSpacing(0);
    textRenderer_->SetPosition(kIndicatorX, kIndicatorY);
    textRenderer_->Draw(hud, IndicatorText(frame));
}
