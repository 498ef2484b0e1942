#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Renderer {
class SpriteRenderer;
class TextRenderer;
} // namespace Mireku::Renderer
namespace Mireku::Resource {
class ChildResourceLoader;
}

// Owner of the story font's text renderer, of a cache of script textures, of
// an optional table of "code" records that name script textures, and of the
// "LOADING" indicator shown while such a table loads.
class ScriptEngine : public Mireku::Common::SingletonObject,
                     public Mireku::Common::Singleton<ScriptEngine> {
public:
    enum LoadState : uint32_t { kNothing = 0, kLoading = 1, kJustLoaded = 2, kShown = 3 };

    // "code" files are plain runs of 384-byte records; in memory each record
    // is followed by the textures its three names resolve to.
    static constexpr uint32_t kRecordSize = 384;
    static constexpr uint32_t kNameCount = 3;
    static constexpr uint32_t kNameOffsets[kNameCount] = {80, 16, 48};
    static constexpr uint32_t kMaxNameLength = 16;
    static constexpr const char* kCodeFolder = "code";
    static constexpr const char* kTextureFolder = "script/texture";
    static constexpr uint32_t kCodeTableNameSize = 64;

    static constexpr float kIndicatorX = 1130.0f;
    static constexpr float kIndicatorY = 680.0f;
    static constexpr uint32_t kIndicatorFramesPerText = 20;

    struct CodeEntry {
        uint8_t record[kRecordSize];
        Mireku::Graphics::Texture* textures[kNameCount];
    };

    ScriptEngine() = default;
    ~ScriptEngine() override;

    // Loader step: the story font's text renderer (null when the heap is
    // exhausted).
    void CreateTextRenderer(Mireku::Resource::ChildResourceLoader& loader, const void* user);
    // Loader step: reads code/<code table name>, copies its records and
    // resolves their texture names; ends in kJustLoaded, also when the file
    // is missing or holds no whole record.
    void LoadCodeTable(Mireku::Resource::ChildResourceLoader& loader, const void* user);
    // The cached texture of "<name>.dds" in script/texture, read and cached
    // on first use; null for no name, an over-long name or a file that cannot
    // be read (cached as such and not tried again).
    Mireku::Graphics::Texture* GetTexture(const char* name);
    // Releases every cached texture, frees the code table, load state 0.
    void Clear();
    // Shutdown: Clear, then the texture reference and the text renderer.
    void Finalize();

    // The frame's indicator step: drawn while loading, and once more when the
    // table has just loaded (which then counts as shown).
    void UpdateIndicator(Mireku::Renderer::SpriteRenderer* hud);
    // One draw of the indicator with the text renderer; counts the frame.
    void DrawIndicator(Mireku::Renderer::SpriteRenderer* hud);
    // "LOADING" with 0 to 3 dots by the indicator's frame count.
    static const char16_t* IndicatorText(uint32_t frame);

    // A name of at most kCodeTableNameSize - 1 bytes; longer names are cut.
    void SetCodeTableName(const char* name);

    Mireku::Renderer::TextRenderer* GetTextRenderer() const { return textRenderer_; }
    uint32_t GetLoadState() const { return loadState_; }
    void SetLoadState(uint32_t state) { loadState_ = state; }
    uint32_t GetIndicatorFrames() const { return indicatorFrames_; }
    const CodeEntry* GetCodeEntries() const { return codeEntries_; }
    int32_t GetCodeEntryCount() const { return codeEntryCount_; }
    size_t GetCacheSize() const { return cache_.size(); }

    // The name at `offset` of a record if it ends within kMaxNameLength
    // characters; null otherwise.
    static const char* RecordName(const uint8_t* record, uint32_t offset);

private:
    using Key = Mireku::Common::String;
    using Cache =
        std::map<Key, Mireku::Graphics::Texture*, std::less<>,
                 Mireku::Common::HeapAllocator<std::pair<const Key, Mireku::Graphics::Texture*>>>;

    void FreeCodeTable();

    Mireku::Renderer::TextRenderer* textRenderer_ = nullptr;
    Mireku::Graphics::Texture* texture_ = nullptr;
    uint32_t loadState_ = kNothing;
    uint32_t indicatorFrames_ = 0;
    CodeEntry* codeEntries_ = nullptr;
    int32_t codeEntryCount_ = 0;
    Cache cache_;
    char codeTableName_[kCodeTableNameSize] = {};
};
