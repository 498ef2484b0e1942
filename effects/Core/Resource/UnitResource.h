#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/FloatProperty.h"
#include "effects/Core/Value/LinearTrack.h"

#include <cstdint>

namespace FulgorCore {

class AngleFade;
class DistanceFade;
class EffectPartResource;
class EmitterResource;
class PackageResource;
class ParticleResource;
class UnitTimelineResource;

// A unit of a package ("Unit"): up to three draw parts, two emitter parts,
// one effect part and twenty unit timelines, its flags, life and loop span,
// sound, referenced effect, fades, reset flags, node animation tracks and
// its animated colour, transform groups and rates.
//
// More parts of a kind than the unit has room for fail the load.
class UnitResource {
public:
    static constexpr uint32_t kMaxDrawParts = 3;
    static constexpr uint32_t kMaxEmitterParts = 2;
    static constexpr uint32_t kMaxEffectParts = 1;
    static constexpr uint32_t kMaxUnitTimelines = 20;
    static constexpr uint32_t kTracks = 9;

    // Flags word A: bits 0-15 are one-bit flags in this order.
    static constexpr BitFieldTag kFlagTags[16] = {
        {MakeChunkTag("bPCo"), 0, 1},  {MakeChunkTag("bPSc"), 1, 1},  {MakeChunkTag("bPRo"), 2, 1},
        {MakeChunkTag("bPPo"), 3, 1},  {MakeChunkTag("bPGL"), 4, 1},  {MakeChunkTag("bPGG"), 5, 1},
        {MakeChunkTag("bPRe"), 6, 1},  {MakeChunkTag("bPFc"), 7, 1},  {MakeChunkTag("bPVr"), 8, 1},
        {MakeChunkTag("bPDf"), 9, 1},  {MakeChunkTag("bPAf"), 10, 1}, {MakeChunkTag("bAME"), 11, 1},
        {MakeChunkTag("bIEE"), 12, 1}, {MakeChunkTag("bECE"), 13, 1}, {MakeChunkTag("bSPT"), 14, 1},
        {MakeChunkTag("bFGr"), 15, 1}};
    static constexpr BitFieldTag kBAxs{MakeChunkTag("BAxs"), 16, 2};
    static constexpr BitFieldTag kBDir{MakeChunkTag("BDir"), 18, 3};
    static constexpr BitFieldTag kRotO{MakeChunkTag("RotO"), 21, 3};
    static constexpr BitFieldTag kTrsO{MakeChunkTag("TrsO"), 24, 3};
    static constexpr BitFieldTag kColR{MakeChunkTag("ColR"), 27, 2};
    static constexpr uint32_t kDrawPartCountShift = 29;
    // Track order: "SclX", "SclY", "SclZ", "RotX", "RotY", "RotZ", "TraX",
    // "TraY", "TraZ".
    static constexpr uint32_t kTrackTags[kTracks] = {
        MakeChunkTag("SclX"), MakeChunkTag("SclY"), MakeChunkTag("SclZ"),
        MakeChunkTag("RotX"), MakeChunkTag("RotY"), MakeChunkTag("RotZ"),
        MakeChunkTag("TraX"), MakeChunkTag("TraY"), MakeChunkTag("TraZ")};
    // Animation flags.
    static constexpr uint32_t kAnimScale = 1u << 0;     // "Scal"
    static constexpr uint32_t kAnimRotation = 1u << 1;  // "Rota"
    static constexpr uint32_t kAnimTranslate = 1u << 2; // "Tran"
    static constexpr uint32_t kUic1Size = 16;

    UnitResource() = default;
    UnitResource(const UnitResource&) = delete;
    UnitResource& operator=(const UnitResource&) = delete;
    // Destroys the draw, emitter and effect parts.
    ~UnitResource();

    // After the chunks, a listener is asked for the unit's sound when it
    // names one (build pass only).
    void Read(const BuildContext& context, const void* payload, uint32_t size,
              const PackageResource* package);

    // Parts, each null past its count.
    const ParticleResource* GetDrawPart(uint32_t i) const {
        return i < GetDrawPartCount() ? drawParts_[i] : nullptr;
    }
    uint32_t GetDrawPartCount() const { return BitField(flagsA_, kDrawPartCountShift, 2); }
    const EmitterResource* GetEmitterPart(uint32_t i) const {
        return i < emitterPartCount_ ? emitterParts_[i] : nullptr;
    }
    uint32_t GetEmitterPartCount() const { return emitterPartCount_; }
    const EffectPartResource* GetEffectPart(uint32_t i) const {
        return i < GetEffectPartCount() ? effectPart_ : nullptr;
    }
    uint32_t GetEffectPartCount() const { return flagsB_ & 1u; }
    const UnitTimelineResource* GetUnitTimeline(uint32_t i) const {
        return i < GetUnitTimelineCount() ? unitTimelines_[i] : nullptr;
    }
    uint32_t GetUnitTimelineCount() const { return BitField(flagsB_, 1, 5); }
    // Flags word A, bits 0-15 ("bPCo" ... "bFGr"), each 0 or 1.
    uint32_t GetFlagPCo() const { return Flag(0); }
    uint32_t GetFlagPSc() const { return Flag(1); }
    uint32_t GetFlagPRo() const { return Flag(2); }
    uint32_t GetFlagPPo() const { return Flag(3); }
    uint32_t GetFlagPGL() const { return Flag(4); }
    uint32_t GetFlagPGG() const { return Flag(5); }
    uint32_t GetFlagPRe() const { return Flag(6); }
    uint32_t GetFlagPFc() const { return Flag(7); }
    uint32_t GetFlagPVr() const { return Flag(8); }
    uint32_t GetFlagPDf() const { return Flag(9); }
    uint32_t GetFlagPAf() const { return Flag(10); }
    uint32_t GetFlagAME() const { return Flag(11); }
    uint32_t GetFlagIEE() const { return Flag(12); }
    uint32_t GetFlagECE() const { return Flag(13); }
    uint32_t GetFlagSPT() const { return Flag(14); }
    uint32_t GetFlagFGr() const { return Flag(15); }
    uint32_t GetBAxs() const { return BitField(flagsA_, kBAxs); }
    uint32_t GetBDir() const { return BitField(flagsA_, kBDir); }
    uint32_t GetRotO() const { return BitField(flagsA_, kRotO); }
    uint32_t GetTrsO() const { return BitField(flagsA_, kTrsO); }
    uint32_t GetColR() const { return BitField(flagsA_, kColR); }
    uint32_t GetFlagsA() const { return flagsA_; }
    // "Life", "LpSt", "LpEd" in frames.
    float GetLife() const { return life_; }
    float GetLoopStart() const { return loopStart_; }
    float GetLoopEnd() const { return loopEnd_; }
    // Null when the unit has none.
    const DistanceFade* GetDistanceFade() const { return distanceFade_; }
    const AngleFade* GetAngleFade() const { return angleFade_; }
    // "SndF" (null for none), "SndP", and the listener's handle (0 for none).
    const char* GetSoundName() const { return soundName_; }
    uint32_t GetSoundParameter() const { return soundParameter_; }
    uint32_t GetSoundHandle() const { return soundHandle_; }
    // "VfxF", null for none.
    const char* GetReferenceName() const { return referenceName_; }
    // "RUNo" (-1 unless given) and the reset flags "RUSc", "RURt", "RUPs",
    // "RUCl".
    int32_t GetRUNo() const { return resetNumber_; }
    uint32_t GetRUSc() const { return resetFlags_ & 1u; }
    uint32_t GetRURt() const { return (resetFlags_ >> 1) & 1u; }
    uint32_t GetRUPs() const { return (resetFlags_ >> 2) & 1u; }
    uint32_t GetRUCl() const { return (resetFlags_ >> 3) & 1u; }
    // The same flags by what the particle strategies make of them: which
    // properties are animated, which accelerations and fades the unit has,
    // and which properties come from the shared-data unit (the unit
    // "RUNo" names; the unit itself when negative).
    bool IsColourAnimated() const { return GetFlagPCo() != 0; }
    bool IsScaleAnimated() const { return GetFlagPSc() != 0; }
    bool IsRotationAnimated() const { return GetFlagPRo() != 0; }
    bool IsTranslationAnimated() const { return GetFlagPPo() != 0; }
    bool HasAcceleration() const { return GetFlagPGL() != 0; }
    bool HasWorldAcceleration() const { return GetFlagPGG() != 0; }
    bool HasSpeedFactor() const { return GetFlagPRe() != 0; }
    bool HasDistanceFade() const { return GetFlagPDf() != 0; }
    // "bPVr" and "VlRt": the two angles that turn the velocity each frame.
    bool HasVelocityRotation() const { return GetFlagPVr() != 0; }
    const FloatPairProperty& GetVelocityRotationProperty() const { return vlRt_; }
    // "BDir": how the particle turns its axes each frame (0-6; the field
    // holds up to 7).
    uint32_t GetOrientationMode() const { return GetBDir(); }
    bool HasAngleFade() const { return GetFlagPAf() != 0; }
    int32_t GetSharedDataUnitIndex() const { return GetRUNo(); }
    bool SharesScaleData() const { return GetRUSc() != 0; }
    bool SharesRotationData() const { return GetRURt() != 0; }
    bool SharesTranslationData() const { return GetRUPs() != 0; }
    bool SharesColourData() const { return GetRUCl() != 0; }
    // The unit of `package` that GetSharedDataUnitIndex names; this unit
    // when it names none or one the package lacks.
    const UnitResource& GetSharedDataUnit(const PackageResource* package) const;
    // The 16 bytes of "UIC1", null unless the chunk had exactly 16.
    const uint8_t* GetUIC1() const { return uic1_; }
    const ColorProperty& GetColor() const { return color_; }
    const FloatTripleProperty& GetScale() const { return triples_[0]; }
    const FloatTripleProperty& GetRotation() const { return triples_[1]; }
    const FloatTripleProperty& GetPosition() const { return triples_[2]; }
    const FloatTripleProperty& GetGraL() const { return triples_[3]; }
    const FloatTripleProperty& GetGraG() const { return triples_[4]; }
    const FloatTripleProperty& GetRes() const { return triples_[5]; }
    // The acceleration properties by meaning: local ("GraL"), world
    // ("GraG") and the speed factor ("Res").
    const FloatTripleProperty& GetAccelerationProperty() const { return GetGraL(); }
    const FloatTripleProperty& GetWorldAccelerationProperty() const { return GetGraG(); }
    const FloatTripleProperty& GetSpeedFactorProperty() const { return GetRes(); }
    const FloatProperty& GetFuCt() const { return fuCt_; }
    const FloatPairProperty& GetVlRt() const { return vlRt_; }
    uint32_t GetAnimScale() const { return animationFlags_ & kAnimScale ? 1u : 0u; }
    uint32_t GetAnimRotation() const { return animationFlags_ & kAnimRotation ? 1u : 0u; }
    uint32_t GetAnimTranslate() const { return animationFlags_ & kAnimTranslate ? 1u : 0u; }
    // Track i in the order of kTrackTags; null past the nine.
    const LinearTrack* GetTrack(uint32_t i) const { return i < kTracks ? &tracks_[i] : nullptr; }

private:
    uint32_t Flag(uint32_t bit) const { return (flagsA_ >> bit) & 1u; }
    void ReadAnimation(const BuildContext& context, const void* payload, uint32_t size);

    ParticleResource* drawParts_[kMaxDrawParts] = {};
    EmitterResource* emitterParts_[kMaxEmitterParts] = {};
    EffectPartResource* effectPart_ = nullptr;
    UnitTimelineResource* unitTimelines_[kMaxUnitTimelines] = {};
    uint32_t flagsA_ = 0;
    uint8_t emitterPartCount_ = 0;
    uint32_t flagsB_ = 0;
    float life_ = 0.0f;
    float loopStart_ = 0.0f;
    float loopEnd_ = 0.0f;
    const char* soundName_ = nullptr;
    uint32_t soundParameter_ = 0;
    uint32_t soundHandle_ = 0;
    const char* referenceName_ = nullptr;
    const DistanceFade* distanceFade_ = nullptr;
    const AngleFade* angleFade_ = nullptr;
    uint8_t resetFlags_ = 0;
    int8_t resetNumber_ = -1;
    const uint8_t* uic1_ = nullptr;
    uint32_t animationFlags_ = 0;
    LinearTrack tracks_[kTracks];
    ColorProperty color_;
    // "Scl", "Rot", "Pos", "GraL", "GraG", "Res".
    FloatTripleProperty triples_[6];
    FloatProperty fuCt_;
    FloatPairProperty vlRt_;
};

} // namespace FulgorCore
