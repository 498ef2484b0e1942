#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "game/core/SpriteLayer.h"

#include <cstdint>

namespace Mireku::Renderer {
class SpriteRenderer;
}

// The game's 23 sprite layers, one sprite renderer each, with their fixed
// capacities, blends and draw priorities. Game objects draw by submitting to
// the layer of their kind; the layers are prepared before any scene runs and
// flushed in layer order at the end of the frame.
class SpriteManager : public Mireku::Common::SingletonObject,
                      public Mireku::Common::Singleton<SpriteManager> {
public:
    static constexpr uint32_t kLayerCount = kSpriteLayerCount;
    static constexpr uint32_t kBlockCount = 32;

    struct LayerInfo {
        const char* name;
        uint32_t capacity;
        uint32_t blend; // a sprite blend selector: alpha or additive
        uint32_t priority;
    };
    static const LayerInfo kLayers[kLayerCount];

    SpriteManager();
    ~SpriteManager() override;

    bool Initialize();
    // A renderer that cannot be allocated leaves the slot null.
    void CreateLayer(uint32_t index, uint32_t capacity, uint32_t blockCount, const char* name);
    // Every layer of the table, in order.
    void CreateLayers();
    Mireku::Renderer::SpriteRenderer* GetLayer(SpriteLayer layer) const {
        return GetLayerAt(static_cast<uint32_t>(layer));
    }
    // By table index, for walks over every layer; null past the last.
    Mireku::Renderer::SpriteRenderer* GetLayerAt(uint32_t index) const;
    void FlushLayer(uint32_t index, int16_t width, int16_t height);
    void Finalize();

    // Start of the frame: every layer reset and given its table state.
    void PrepareLayers();
    // The heads-up layer goes over everything, the effects' upper layer
    // included.
    void RaiseHudLayer();
    // End of the frame: every layer flushed in order, the heads-up layer
    // over the whole screen, the others over the play field.
    void FlushLayers();

private:
    Mireku::Renderer::SpriteRenderer* layers_[kLayerCount];
};
