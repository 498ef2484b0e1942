#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Interface/ObjectHandle.h"
#include "effects/Core/Resource/PartAssignment.h"
#include "effects/Core/Resource/ReferenceEntry.h"
#include "effects/Core/Resource/TextureEntry.h"

#include <cstdint>

namespace FulgorCore {

class AngleFade;
class BindResource;
class DistanceFade;
class IObjectListenner;
class ITexture;
class ModelResource;
class ReferenceCollector;
class TimelineResource;
class UnitResource;
struct Chunk;

// What one effect file's "Pack" chunk builds: the package with its units,
// timelines, textures, models, binds, referenced effects, fades, trigger
// and assignment tables and root transform, every record placed in the
// effect's one block. Read-only once built, except the reference handles
// the registration fills and the textures the host replaces by label.
//
// Structural damage fails the load in the measure pass, before the block
// exists: items before their count chunk or beyond it (textures, models,
// binds, timelines, units, and the entries and items of the records below),
// more than 14 "SchA" or "SchT", and more distinct referenced names than
// "RfVC" made room for; the records below add their own.
class PackageResource {
public:
    static constexpr uint32_t kAssignments = 14;
    // The texture indices of the engine's two default textures.
    static constexpr int32_t kDefaultTexture0 = -2;
    static constexpr int32_t kDefaultTexture1 = -3;

    // Counts word 2 and the flags word.
    static constexpr BitFieldTag kDTLT{MakeChunkTag("DTLT"), 14, 4};
    static constexpr BitFieldTag kDOT{MakeChunkTag("DOT"), 18, 2};
    static constexpr BitFieldTag kCST{MakeChunkTag("CST"), 20, 2};
    static constexpr BitFieldTag kDLS{MakeChunkTag("bDLS"), 22, 1};
    static constexpr BitFieldTag kDLV{MakeChunkTag("bDLV"), 23, 1};
    static constexpr BitFieldTag kPCo1{MakeChunkTag("PCo1"), 24, 3};
    static constexpr BitFieldTag kPCo2{MakeChunkTag("PCo2"), 27, 3};
    static constexpr BitFieldTag kPCo3{MakeChunkTag("PCo3"), 0, 3};
    static constexpr BitFieldTag kPCo4{MakeChunkTag("PCo4"), 3, 3};
    static constexpr BitFieldTag kPCa1{MakeChunkTag("PCa1"), 6, 2};
    static constexpr BitFieldTag kPCa2{MakeChunkTag("PCa2"), 8, 2};
    static constexpr BitFieldTag kPCa3{MakeChunkTag("PCa3"), 10, 2};
    static constexpr BitFieldTag kPCa4{MakeChunkTag("PCa4"), 12, 2};
    static constexpr BitFieldTag kFCl{MakeChunkTag("bFCl"), 14, 1};
    static constexpr BitFieldTag kDsF{MakeChunkTag("bDsF"), 15, 1};
    static constexpr BitFieldTag kAgF{MakeChunkTag("bAgF"), 16, 1};
    static constexpr BitFieldTag kPIT{MakeChunkTag("bPIT"), 17, 1};
    static constexpr BitFieldTag kDLT{MakeChunkTag("DLT"), 18, 2};
    static constexpr BitFieldTag kELT{MakeChunkTag("ELT"), 20, 2};
    static constexpr uint32_t kUsesProjectionDraw = 1u << 22;
    static constexpr uint32_t kUsesOtherDraws = 1u << 23;

    // The colour is 1.0 and both assignment tables {-1, -1} until the file
    // says otherwise.
    PackageResource();
    PackageResource(const PackageResource&) = delete;
    PackageResource& operator=(const PackageResource&) = delete;
    // Releases what the package holds, complete or half-built: one
    // reference of each referenced effect still registered under its
    // handle, its textures and the replacements the host gave, and the
    // device buffers of its models and draw data.
    ~PackageResource();

    // Reads the chunks (the listener may be null), then sorts the draw
    // parts into the two draw flags and fills the type-4 emission tables,
    // collects the referenced effects and computes the root transform.
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    // Destroys the package in place (its block stays with the caller).
    void Destroy() { this->~PackageResource(); }

    // The listener's sound release for each unit's sound; nothing without
    // a listener.
    void ReleaseUnitSounds(IObjectListenner* listener) const;
    // The handle of the referenced effect of that exact name, or a zero
    // handle {0, 0} when the package refers to none.
    const ObjectHandle* FindReference(const char* name) const;
    uint32_t GetReferenceCount() const { return BitField(counts1_, 0, 6); }
    // Entry i, for the registration to fill its handle; null past the
    // count.
    ReferenceEntry* GetReference(uint32_t i) {
        return i < GetReferenceCount() && references_ ? &references_[i] : nullptr;
    }
    const ReferenceEntry* GetReference(uint32_t i) const {
        return i < GetReferenceCount() && references_ ? &references_[i] : nullptr;
    }
    uint32_t GetTextureCount() const { return BitField(counts1_, 6, 7); }
    // -2 and -3 are the engine's default textures (null while the runtime
    // is not started); any other index outside the table is null. An entry
    // with a label and a replacement gives the replacement. Units look a
    // texture up every frame: an index within the table is answered here.
    ITexture* GetTexture(int32_t i) const {
        if (static_cast<uint32_t>(i) < GetTextureCount() && textures_) {
            const TextureEntry* entry = textureEntries_ ? &textureEntries_[i] : nullptr;
            return entry && entry->label[0] != '\0' && entry->override ? entry->override
                                                                       : textures_[i];
        }
        return GetTextureOutsideTable(i);
    }
    // Every entry labelled `label` takes `texture` (one reference each) in
    // place of the replacement it had.
    void ReplaceTextureByLabel(const char* label, ITexture* texture);
    // The label of texture i; null past the count.
    const char* GetTextureLabel(uint32_t i) const;
    uint32_t GetModelCount() const { return BitField(counts1_, 13, 7); }
    // Null outside the table and for an entry the file did not fill.
    const ModelResource* GetModel(int32_t i) const;
    uint32_t GetBindCount() const { return BitField(counts1_, 20, 7); }
    const BindResource* GetBind(uint32_t i) const;
    uint32_t GetTimelineCount() const { return BitField(counts2_, 0, 7); }
    const TimelineResource* GetTimeline(uint32_t i) const;
    uint32_t GetUnitCount() const { return BitField(counts2_, 7, 7); }
    const UnitResource* GetUnit(uint32_t i) const;
    uint32_t GetDTLT() const { return BitField(counts2_, kDTLT); }
    uint32_t GetDOT() const { return BitField(counts2_, kDOT); }
    uint32_t GetCST() const { return BitField(counts2_, kCST); }
    // The camera space "CST" also chooses which orientation modes the
    // particles have (0-2; the field holds up to 3).
    uint32_t GetOrientationSet() const { return GetCST(); }
    float GetSftP() const { return sftP_; }
    uint32_t UsesProjectionDraw() const { return (flags_ & kUsesProjectionDraw) ? 1u : 0u; }
    uint32_t UsesOtherDraws() const { return (flags_ & kUsesOtherDraws) ? 1u : 0u; }
    uint32_t GetFlagDLS() const { return BitField(counts2_, kDLS); }
    uint32_t GetFlagDLV() const { return BitField(counts2_, kDLV); }
    uint32_t GetPCo1() const { return BitField(counts2_, kPCo1); }
    uint32_t GetPCo2() const { return BitField(counts2_, kPCo2); }
    uint32_t GetPCo3() const { return BitField(flags_, kPCo3); }
    uint32_t GetPCo4() const { return BitField(flags_, kPCo4); }
    uint32_t GetPCa1() const { return BitField(flags_, kPCa1); }
    uint32_t GetPCa2() const { return BitField(flags_, kPCa2); }
    uint32_t GetPCa3() const { return BitField(flags_, kPCa3); }
    uint32_t GetPCa4() const { return BitField(flags_, kPCa4); }
    uint32_t GetDLT() const { return BitField(flags_, kDLT); }
    uint32_t GetELT() const { return BitField(flags_, kELT); }
    uint32_t GetFlagDsF() const { return BitField(flags_, kDsF); }
    const DistanceFade* GetDistanceFade() const { return distanceFade_; }
    uint32_t GetFlagAgF() const { return BitField(flags_, kAgF); }
    const AngleFade* GetAngleFade() const { return angleFade_; }
    uint32_t GetFlagFCl() const { return BitField(flags_, kFCl); }
    // Bounding sphere "BndX", "BndY", "BndZ", "BndR".
    float GetBoundX() const { return bound_[0]; }
    float GetBoundY() const { return bound_[1]; }
    float GetBoundZ() const { return bound_[2]; }
    float GetBoundRadius() const { return bound_[3]; }
    float GetScaleX() const { return scale_[0]; }
    float GetScaleY() const { return scale_[1]; }
    float GetScaleZ() const { return scale_[2]; }
    float GetRotationX() const { return rotation_[0]; }
    float GetRotationY() const { return rotation_[1]; }
    float GetRotationZ() const { return rotation_[2]; }
    float GetPositionX() const { return position_[0]; }
    float GetPositionY() const { return position_[1]; }
    float GetPositionZ() const { return position_[2]; }
    float GetColorR() const { return color_[0]; }
    float GetColorG() const { return color_[1]; }
    float GetColorB() const { return color_[2]; }
    float GetColorA() const { return color_[3]; }
    uint32_t GetFlagPIT() const { return BitField(flags_, kPIT); }
    // Entry i of "SchA" or "SchT"; past the 14 a {-1, -1} entry.
    const PartAssignment* GetAssignment(uint32_t i) const;
    const PartAssignment* GetTrigger(uint32_t i) const;
    // Rows X, Y, Z (rotation times scale) and the translation.
    const float* GetRootTransform() const { return rootTransform_; }

private:
    // The float field a chunk of that tag sets, or null.
    float* FloatFieldOf(uint32_t tag);
    void ReadTexture(const BuildContext& context, const Chunk& chunk, uint32_t index);
    void SortDrawParts();
    void CollectReferences(const BuildContext& context, const ReferenceCollector& names);
    void ComputeRootTransform();

    ITexture* GetTextureOutsideTable(int32_t i) const;

    ITexture** textures_ = nullptr;
    ModelResource** models_ = nullptr;
    BindResource** binds_ = nullptr;
    TimelineResource** timelines_ = nullptr;
    UnitResource** units_ = nullptr;
    TextureEntry* textureEntries_ = nullptr;
    ReferenceEntry* references_ = nullptr;
    uint32_t counts1_ = 0;
    uint32_t counts2_ = 0;
    uint32_t flags_ = 0;
    float sftP_ = 0.0f;
    float bound_[4] = {};
    float scale_[3] = {};
    float rotation_[3] = {};
    float position_[3] = {};
    float color_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    PartAssignment assignments_[kAssignments];
    PartAssignment triggers_[kAssignments];
    const DistanceFade* distanceFade_ = nullptr;
    const AngleFade* angleFade_ = nullptr;
    float rootTransform_[12] = {};
};

} // namespace FulgorCore
