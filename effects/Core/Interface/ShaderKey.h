#pragma once

#include <cstdint>

namespace FulgorCore {

// Everything a material's shader pair depends on, as five words. Two
// materials with equal words share one pair. The renderer fills the fields;
// a host reads only what it needs to name and lay out the programs. Bits no
// field covers stay 0.
struct ShaderKey {
    static constexpr uint32_t kWordCount = 5;
    static constexpr uint32_t kKindMask = 0x7;        // word 0 bits 0-2
    static constexpr uint32_t kMorphTargetBit = 0x20; // word 0 bit 5, model kind only

    // Primitive kinds of word 0 bits 0-2; 4 to 7 select no program.
    enum Kind : uint32_t { kSimple = 0, kShape = 1, kModel = 2, kProjection = 3, kKindCount = 4 };

    // One field: `width` bits of word `word` from bit `shift`.
    struct Field {
        uint8_t word;
        uint8_t shift;
        uint8_t width;
    };

    // Word 0. A texture-coordinate set index (the ...UvSet fields) holds
    // 0 to 5.
    static constexpr Field kKind{0, 0, 3};
    static constexpr Field kDecalShape{0, 3, 2}; // 0 square, 1 disc, 2 ring
    static constexpr Field kMorphTarget{0, 5, 1};
    static constexpr Field kPremultiplyAlpha{0, 6, 1};
    static constexpr Field kAlphaOffset{0, 7, 1};
    static constexpr Field kAlphaTest{0, 8, 1};
    static constexpr Field kOpaqueAlpha{0, 9, 1};
    static constexpr Field kSoftParticle{0, 10, 1};
    static constexpr Field kAlphaLight{0, 11, 1};
    static constexpr Field kUvSetCount{0, 12, 3}; // 0 to 6
    // Bit k: set k + 1 comes from the vertex (1) or the screen (0).
    static constexpr Field kUvSourceMask{0, 15, 6};
    static constexpr Field kColor1Enable{0, 21, 1};
    static constexpr Field kColor1FlipV{0, 22, 1};
    static constexpr Field kColor1RgbUvSet{0, 23, 3};
    static constexpr Field kColor1AlphaUvSet{0, 26, 3};
    // Word 1. Channels 0-10, scales 0-3, colour operations 0-5, alpha
    // operations 0-3.
    static constexpr Field kColor1Channel{1, 0, 4};
    static constexpr Field kColor1Scale{1, 4, 2};
    static constexpr Field kColor2Enable{1, 6, 1};
    static constexpr Field kColor2FlipV{1, 7, 1};
    static constexpr Field kColor2RgbUvSet{1, 8, 3};
    static constexpr Field kColor2AlphaUvSet{1, 11, 3};
    static constexpr Field kColor2RgbOp{1, 14, 3};
    static constexpr Field kColor2AlphaOp{1, 17, 2};
    static constexpr Field kColor2Channel{1, 19, 4};
    static constexpr Field kColor2Scale{1, 23, 2};
    static constexpr Field kColor3Enable{1, 25, 1};
    static constexpr Field kColor3FlipV{1, 26, 1};
    static constexpr Field kColor3RgbUvSet{1, 27, 3};
    // Word 2.
    static constexpr Field kColor3AlphaUvSet{2, 0, 3};
    static constexpr Field kColor3RgbOp{2, 3, 3};
    static constexpr Field kColor3AlphaOp{2, 6, 2};
    static constexpr Field kColor3Channel{2, 8, 4};
    static constexpr Field kColor3Scale{2, 12, 2};
    static constexpr Field kDistortion1Enable{2, 14, 1};
    static constexpr Field kDistortion1UvSet{2, 15, 3};
    static constexpr Field kDistortion1BlueScale{2, 18, 1};
    static constexpr Field kDistortion1BlueUvSet{2, 19, 3};
    static constexpr Field kDistortion1TargetMask{2, 22, 6}; // bit i: set i is offset
    static constexpr Field kDistortion2Enable{2, 28, 1};
    static constexpr Field kDistortion2UvSet{2, 29, 3};
    // Word 3.
    static constexpr Field kDistortion2BlueScale{3, 0, 1};
    static constexpr Field kDistortion2BlueUvSet{3, 1, 3};
    static constexpr Field kDistortion2TargetMask{3, 4, 6};
    static constexpr Field kReflectionEnable{3, 10, 1};
    static constexpr Field kReflectionOp{3, 11, 3};
    static constexpr Field kReflectionUseReflectVector{3, 14, 1};
    static constexpr Field kPaletteEnable{3, 15, 1};
    static constexpr Field kPaletteChannelMask{3, 16, 4}; // r, g, b, a
    static constexpr Field kNormalMapEnable{3, 20, 1};
    static constexpr Field kNormalMapUvSet{3, 21, 3};
    static constexpr Field kFalloffMode{3, 24, 3};     // 0 and 5-7 off
    static constexpr Field kVertexColorMode{3, 27, 3}; // 0 and 7 as stored
    static constexpr Field kLightingEnable{3, 30, 1};
    static constexpr Field kSpecularEnable{3, 31, 1};
    // Word 4.
    static constexpr Field kSceneLight{4, 0, 1};
    static constexpr Field kVfxLight{4, 1, 1};
    static constexpr Field kPointLightMask{4, 2, 4}; // bit k: point light k + 1
    static constexpr Field kPointLight1Mode{4, 6, 2};
    static constexpr Field kPointLight2Mode{4, 8, 2};
    static constexpr Field kPointLight3Mode{4, 10, 2};
    static constexpr Field kPointLight4Mode{4, 12, 2};

    // The largest values the programs have text for. A key holding more in
    // one of these fields describes no program.
    static constexpr uint32_t kLastChannel = 10;
    static constexpr uint32_t kLastColorOp = 5; // 5: no operation
    static constexpr uint32_t kLastDecalShape = 2;
    static constexpr uint32_t kLastUvSetCount = 6;
    // A texture-coordinate set index names one of the six sets.
    static constexpr uint32_t kLastUvSet = 5;
    // Every field that holds a set index.
    static constexpr Field kUvSetFields[11] = {
        kColor1RgbUvSet,   kColor1AlphaUvSet,     kColor2RgbUvSet,   kColor2AlphaUvSet,
        kColor3RgbUvSet,   kColor3AlphaUvSet,     kDistortion1UvSet, kDistortion1BlueUvSet,
        kDistortion2UvSet, kDistortion2BlueUvSet, kNormalMapUvSet};

    uint32_t words[kWordCount] = {0, 0, 0, 0, 0};

    constexpr uint32_t Get(Field f) const {
        return (words[f.word] >> f.shift) & ((1u << f.width) - 1u);
    }
    // Stores the low bits of value that fit the field.
    constexpr void Set(Field f, uint32_t value) {
        const uint32_t mask = ((1u << f.width) - 1u) << f.shift;
        words[f.word] = (words[f.word] & ~mask) | ((value << f.shift) & mask);
    }

    uint32_t GetKind() const { return words[0] & kKindMask; }
    bool HasMorphTarget() const { return (words[0] & kMorphTargetBit) != 0; }
    // The four-component attributes that carry the texture-coordinate sets
    // (UvSet_1_2, UvSet_3_4, UvSet_5_6): two sets each; 0 for the invalid
    // count 7.
    uint32_t GetUvSetAttributeCount() const {
        constexpr uint8_t kAttributes[8] = {0, 1, 1, 2, 2, 3, 3, 0};
        return kAttributes[Get(kUvSetCount)];
    }

    friend bool operator==(const ShaderKey& a, const ShaderKey& b) {
        for (uint32_t i = 0; i < kWordCount; ++i)
            if (a.words[i] != b.words[i])
                return false;
        return true;
    }
};

static_assert(sizeof(ShaderKey) == 20, "a key is five words and nothing else");

} // namespace FulgorCore
