#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Resource/EmitterShape.h"
#include "effects/Core/Resource/EmitterSpawnEntry.h"
#include "effects/Core/Resource/EmitterTimedEntry.h"
#include "effects/Core/Resource/FloatTripleProperty.h"

#include <cstdint>

namespace FulgorCore {

// The emitter part of a unit ("Emit"): its kind 1-9 ("EmV1") with the shape
// of that kind ("DatE"), spawn and timed entries, four parent-link unit
// numbers and two animated triples ("LRot", "IAAg").
//
// The first "DatE" fixes the kind: a later "EmV1" or "DatE" is ignored.
// Damage that fails the load: a "GeUC" or "GeTC" after entries of its kind,
// and more "GeUI" or "GeTI" items than their count announced.
class EmitterResource {
public:
    static constexpr uint32_t kKinds = 9;

    EmitterResource() = default;
    EmitterResource(const EmitterResource&) = delete;
    EmitterResource& operator=(const EmitterResource&) = delete;
    // Destroys the shape.
    ~EmitterResource();

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // Descriptor fields: kind (bits 0-3), spawn-entry count (4-10),
    // timed-entry count (11-17), has-parent-links (18).
    uint32_t GetKind() const { return descriptor_ & 15u; }
    uint32_t GetSpawnEntryCount() const { return (descriptor_ >> 4) & 127u; }
    uint32_t GetTimedEntryCount() const { return (descriptor_ >> 11) & 127u; }
    uint32_t HasParentLinks() const { return (descriptor_ >> 18) & 1u; }
    // Null past the count.
    const EmitterSpawnEntry* GetSpawnEntry(uint32_t i) const {
        return i < GetSpawnEntryCount() && spawnEntries_ ? &spawnEntries_[i] : nullptr;
    }
    const EmitterTimedEntry* GetTimedEntry(uint32_t i) const {
        return i < GetTimedEntryCount() && timedEntries_ ? &timedEntries_[i] : nullptr;
    }
    // "PLU1" to "PLU4" for i = 0-3; -1 past them.
    int32_t GetParentLink(uint32_t i) const { return i < 4 ? parentLinks_[i] : -1; }
    // The shape as its kind's record; null for another kind or none.
    template <uint32_t K> const EmitterShape<K>* GetShape() const {
        return GetKind() == K ? static_cast<const EmitterShape<K>*>(shape_) : nullptr;
    }
    const EmitterShapeBase* GetShapeBase() const { return shape_; }
    const FloatTripleProperty& GetLRot() const { return localRotation_; }
    const FloatTripleProperty& GetIAAg() const { return iaag_; }

private:
    uint32_t descriptor_ = 0;
    EmitterSpawnEntry* spawnEntries_ = nullptr;
    EmitterTimedEntry* timedEntries_ = nullptr;
    int8_t parentLinks_[4] = {-1, -1, -1, -1};
    EmitterShapeBase* shape_ = nullptr;
    FloatTripleProperty localRotation_;
    FloatTripleProperty iaag_;
};

} // namespace FulgorCore
