#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

// What every texture layer of a draw part has: a flags word, a "List" of
// texture numbers and the animated position in it ("TxNo"). The kinds differ
// in their bit fields, where the list length is kept and their one extra
// animated float.
class TextureLayer {
public:
    uint32_t GetFlags() const { return flags_; }
    const int8_t* GetList() const { return list_; }
    const FloatProperty& GetTextureNumber() const { return number_; }

protected:
    // Where a kind keeps its list length: bits of the flags word, or a byte
    // of its own.
    static constexpr uint8_t kOwnByte = 0xFF;

    struct Layout {
        const BitFieldTag* fields;
        size_t fieldCount;
        uint8_t listShift;
        // The extra animated float's tag, 0 for none.
        uint32_t extraTag;
    };

    // Reads the kind's chunks; ownLength receives the list length of a kind
    // that keeps it in a byte of its own.
    void ReadLayer(const BuildContext& context, const void* payload, uint32_t size,
                   const Layout& layout, uint8_t* ownLength, FloatProperty* extra);
    // The list entry at the evaluated position.
    int32_t PickTexture(uint32_t listLength, const EvaluationContext& context, float sample,
                        Xorshift128& state) const;

    uint32_t flags_ = 0;
    const int8_t* list_ = nullptr;
    FloatProperty number_;
};

} // namespace FulgorCore
