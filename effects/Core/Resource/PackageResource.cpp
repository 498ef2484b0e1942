#include "effects/Core/Resource/PackageResource.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IObjectListenner.h"
#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/DistanceFade.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/FadeChunks.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/ReferenceCollector.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"

#include <cstring>

namespace FulgorCore {

namespace {

using P = PackageResource;

const BitFieldTag kCounts2Fields[] = {P::kDTLT, P::kDOT,  P::kCST, P::kDLS,
                                      P::kDLV,  P::kPCo1, P::kPCo2};
const BitFieldTag kFlagFields[] = {P::kPCo3, P::kPCo4, P::kPCa1, P::kPCa2, P::kPCa3, P::kPCa4,
                                   P::kFCl,  P::kDsF,  P::kAgF,  P::kPIT,  P::kDLT,  P::kELT};

constexpr uint32_t kProjectionDrawType = 10;
// Texture names are asked of the listener as text of at most this length.
constexpr uint32_t kTextureNameSize = 256;

const PartAssignment kNoAssignment{};
const ObjectHandle kNoHandle{};

// A count chunk: its low `width` bits. Its items must all come after it.
uint32_t CountOf(const Chunk& chunk, uint32_t width, uint32_t itemsRead,
                 RuntimeDataAllocator& allocator) {
    if (itemsRead != 0)
        allocator.Reject();
    return BitField(chunk.U32(), 0, width);
}

// The next item of a counted table: placed and read into slot `read`, or
// damage when the table is full. A build whose table could not be placed
// has failed already and reads nothing more into it.
template <class T, class... Extra>
void ReadItem(const BuildContext& context, const Chunk& chunk, T** table, uint32_t count,
              uint32_t& read, const Extra&... extra) {
    if (read >= count) {
        context.allocator.Reject();
        return;
    }
    if (table || context.IsMeasuring()) {
        T* record = PlaceAndRead<T>(context, chunk.payload, chunk.size, extra...);
        if (table)
            table[read] = record;
    }
    ++read;
}

template <class T> void DestroyTable(T** table, uint32_t count) {
    for (uint32_t i = 0; table && i < count; ++i) {
        if (table[i])
            table[i]->~T();
        table[i] = nullptr;
    }
}

void ReleaseTexture(ITexture*& texture) {
    if (texture)
        texture->Release();
    texture = nullptr;
}

// Stores a texture the package now owns, giving back the one it replaces.
void StoreTexture(ITexture*& slot, ITexture* texture) {
    ReleaseTexture(slot);
    slot = texture;
}

} // namespace

PackageResource::PackageResource() = default;

PackageResource::~PackageResource() {
    for (uint32_t i = 0; references_ && i < GetReferenceCount(); ++i) {
        const ObjectHandle handle = references_[i].handle;
        if (handle.serial != 0 && !references_[i].namesItself)
            Engine::ReleaseResource(handle.index, handle.serial);
        references_[i].handle = ObjectHandle{};
    }
    for (uint32_t i = 0; i < GetTextureCount(); ++i) {
        if (textures_)
            ReleaseTexture(textures_[i]);
        if (textureEntries_)
            ReleaseTexture(textureEntries_[i].override);
    }
    DestroyTable(models_, GetModelCount());
    DestroyTable(units_, GetUnitCount());
    DestroyTable(timelines_, GetTimelineCount());
    DestroyTable(binds_, GetBindCount());
}

void PackageResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    RuntimeDataAllocator& allocator = context.allocator;
    ReferenceCollector names;
    BuildContext inner = context;
    inner.references = &names;
    uint32_t texturesRead = 0;
    uint32_t modelsRead = 0;
    uint32_t bindsRead = 0;
    uint32_t timelinesRead = 0;
    uint32_t unitsRead = 0;
    uint32_t assignmentsRead = 0;
    uint32_t triggersRead = 0;

    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kCounts2Fields, counts2_) ||
            StoreBitField(chunk, kFlagFields, flags_))
            continue;
        if (ReadFadeChunk(context, chunk, distanceFade_, angleFade_))
            continue;
        if (float* field = FloatFieldOf(chunk.tag)) {
            *field = chunk.Float();
            continue;
        }
        switch (chunk.tag) {
        case MakeChunkTag("RfVC"): {
            const uint32_t n = BitField(chunk.U32(), 0, 6);
            counts1_ = WithBitField(counts1_, 0, 6, n);
            references_ = allocator.AllocateArray<ReferenceEntry>(n);
            break;
        }
        case MakeChunkTag("TexC"): {
            const uint32_t n = CountOf(chunk, 7, texturesRead, allocator);
            counts1_ = WithBitField(counts1_, 6, 7, n);
            textures_ = allocator.AllocateArray<ITexture*>(n);
            textureEntries_ = allocator.AllocateArray<TextureEntry>(n);
            break;
        }
        case MakeChunkTag("MdlC"): {
            const uint32_t n = CountOf(chunk, 7, modelsRead, allocator);
            counts1_ = WithBitField(counts1_, 13, 7, n);
            models_ = allocator.AllocateArray<ModelResource*>(n);
            break;
        }
        case MakeChunkTag("BndC"): {
            const uint32_t n = CountOf(chunk, 7, bindsRead, allocator);
            counts1_ = WithBitField(counts1_, 20, 7, n);
            binds_ = allocator.AllocateArray<BindResource*>(n);
            break;
        }
        case MakeChunkTag("TimC"): {
            const uint32_t n = CountOf(chunk, 7, timelinesRead, allocator);
            counts2_ = WithBitField(counts2_, 0, 7, n);
            timelines_ = allocator.AllocateArray<TimelineResource*>(n);
            break;
        }
        case MakeChunkTag("UniC"): {
            const uint32_t n = CountOf(chunk, 7, unitsRead, allocator);
            counts2_ = WithBitField(counts2_, 7, 7, n);
            units_ = allocator.AllocateArray<UnitResource*>(n);
            break;
        }
        case MakeChunkTag("Tex"):
            if (texturesRead >= GetTextureCount()) {
                allocator.Reject();
                break;
            }
            ReadTexture(context, chunk, texturesRead++);
            break;
        case MakeChunkTag("Mdl"):
            ReadItem(inner, chunk, models_, GetModelCount(), modelsRead);
            break;
        case MakeChunkTag("Bind"):
            ReadItem(inner, chunk, binds_, GetBindCount(), bindsRead);
            break;
        case MakeChunkTag("Tmln"):
            ReadItem(inner, chunk, timelines_, GetTimelineCount(), timelinesRead);
            break;
        case MakeChunkTag("Unit"):
            ReadItem(inner, chunk, units_, GetUnitCount(), unitsRead,
                     static_cast<const PackageResource*>(this));
            break;
        case MakeChunkTag("SchA"):
        case MakeChunkTag("SchT"): {
            const bool trigger = chunk.tag == MakeChunkTag("SchT");
            uint32_t& read = trigger ? triggersRead : assignmentsRead;
            if (read >= kAssignments) {
                allocator.Reject();
                break;
            }
            PartAssignment& entry = (trigger ? triggers_ : assignments_)[read++];
            ChunkWalker fields = chunk.Children();
            Chunk field;
            while (fields.Next(field)) {
                if (field.tag == MakeChunkTag("TlNo"))
                    entry.timeline = field.I16();
                else if (field.tag == MakeChunkTag("BnNo"))
                    entry.bind = field.I16();
            }
            break;
        }
        default:
            break;
        }
    }

    if (!context.IsMeasuring())
        SortDrawParts();
    CollectReferences(context, names);
    ComputeRootTransform();
}

float* PackageResource::FloatFieldOf(uint32_t tag) {
    switch (tag) {
    case MakeChunkTag("SftP"):
        return &sftP_;
    case MakeChunkTag("BndX"):
        return &bound_[0];
    case MakeChunkTag("BndY"):
        return &bound_[1];
    case MakeChunkTag("BndZ"):
        return &bound_[2];
    case MakeChunkTag("BndR"):
        return &bound_[3];
    case MakeChunkTag("PvSx"):
        return &scale_[0];
    case MakeChunkTag("PvSy"):
        return &scale_[1];
    case MakeChunkTag("PvSz"):
        return &scale_[2];
    case MakeChunkTag("PvRx"):
        return &rotation_[0];
    case MakeChunkTag("PvRy"):
        return &rotation_[1];
    case MakeChunkTag("PvRz"):
        return &rotation_[2];
    case MakeChunkTag("PvPx"):
        return &position_[0];
    case MakeChunkTag("PvPy"):
        return &position_[1];
    case MakeChunkTag("PvPz"):
        return &position_[2];
    case MakeChunkTag("PvCr"):
        return &color_[0];
    case MakeChunkTag("PvCg"):
        return &color_[1];
    case MakeChunkTag("PvCb"):
        return &color_[2];
    case MakeChunkTag("PvCa"):
        return &color_[3];
    default:
        return nullptr;
    }
}

void PackageResource::ReadTexture(const BuildContext& context, const Chunk& texture,
                                  uint32_t index) {
    // The table's slots are reached only while building: the measure
    // allocates nothing here and asks neither device nor listener.
    const bool building = !context.IsMeasuring();
    ITexture** slot = building && textures_ ? &textures_[index] : nullptr;
    TextureEntry* entry = building && textureEntries_ ? &textureEntries_[index] : nullptr;
    ChunkWalker walker = texture.Children();
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Lbl"):
            if (entry) {
                std::memset(entry->label, 0, sizeof(entry->label));
                ReleaseTexture(entry->override);
                chunk.CopyText(entry->label, sizeof(entry->label));
            }
            break;
        case MakeChunkTag("Data"):
            if (slot && context.device)
                StoreTexture(*slot, context.device->CreateTexture(chunk.payload, chunk.size));
            break;
        case MakeChunkTag("Name"):
            if (slot && context.listener) {
                char name[kTextureNameSize];
                chunk.CopyText(name, sizeof(name));
                StoreTexture(*slot, context.listener->FindTexture(name));
            }
            break;
        default:
            break;
        }
    }
}

void PackageResource::SortDrawParts() {
    for (uint32_t u = 0; u < GetUnitCount(); ++u) {
        const UnitResource* unit = GetUnit(u);
        for (uint32_t d = 0; unit && d < unit->GetDrawPartCount(); ++d) {
            const ParticleResource* part = unit->GetDrawPart(d);
            if (!part)
                continue;
            const uint32_t type = part->GetDrawType();
            if (type == kProjectionDrawType)
                flags_ |= kUsesProjectionDraw;
            else if (type >= 1 && type <= ParticleResource::kDrawTypes)
                flags_ |= kUsesOtherDraws;
            if (const DrawDataType4* data = part->GetDrawDataType4())
                data->FillEmissionTable(this);
        }
    }
}

void PackageResource::CollectReferences(const BuildContext& context,
                                        const ReferenceCollector& names) {
    const uint32_t count = names.GetCount();
    if (names.Overflowed() || count > GetReferenceCount()) {
        context.allocator.Reject();
        return;
    }
    for (uint32_t i = 0; references_ && i < count; ++i)
        references_[i] = ReferenceEntry{names.GetName(i).data(), ObjectHandle{}, 0};
    counts1_ = WithBitField(counts1_, 0, 6, count);
}

void PackageResource::ComputeRootTransform() {
    float rotation[12];
    Math::RotationFromAngles(rotation, rotation_[0], rotation_[1], rotation_[2]);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            rootTransform_[row * 3 + column] = rotation[row * 3 + column] * scale_[row];
    for (int column = 0; column < 3; ++column)
        rootTransform_[9 + column] = position_[column];
}

void PackageResource::ReleaseUnitSounds(IObjectListenner* listener) const {
    if (!listener)
        return;
    for (uint32_t i = 0; i < GetUnitCount(); ++i) {
        const UnitResource* unit = GetUnit(i);
        if (unit && unit->GetSoundHandle() != 0)
            listener->ReleaseSound(unit->GetSoundHandle());
    }
}

const ObjectHandle* PackageResource::FindReference(const char* name) const {
    for (uint32_t i = 0; name && references_ && i < GetReferenceCount(); ++i)
        if (references_[i].name && std::strcmp(references_[i].name, name) == 0)
            return &references_[i].handle;
    return &kNoHandle;
}

ITexture* PackageResource::GetTextureOutsideTable(int32_t i) const {
    if (i == kDefaultTexture0 || i == kDefaultTexture1) {
        const EngineWorkData* work = Engine::GetWorkData();
        return work ? work->defaultTextures[i == kDefaultTexture0 ? 0 : 1] : nullptr;
    }
    return nullptr;
}

void PackageResource::ReplaceTextureByLabel(const char* label, ITexture* texture) {
    for (uint32_t i = 0; label && textureEntries_ && i < GetTextureCount(); ++i) {
        TextureEntry& entry = textureEntries_[i];
        if (std::strncmp(entry.label, label, sizeof(entry.label)) != 0)
            continue;
        if (texture)
            texture->AddRef();
        StoreTexture(entry.override, texture);
    }
}

const char* PackageResource::GetTextureLabel(uint32_t i) const {
    return i < GetTextureCount() && textureEntries_ ? textureEntries_[i].label : nullptr;
}

const ModelResource* PackageResource::GetModel(int32_t i) const {
    return i >= 0 && static_cast<uint32_t>(i) < GetModelCount() && models_ ? models_[i] : nullptr;
}

const BindResource* PackageResource::GetBind(uint32_t i) const {
    return i < GetBindCount() && binds_ ? binds_[i] : nullptr;
}

const TimelineResource* PackageResource::GetTimeline(uint32_t i) const {
    return i < GetTimelineCount() && timelines_ ? timelines_[i] : nullptr;
}

const UnitResource* PackageResource::GetUnit(uint32_t i) const {
    return i < GetUnitCount() && units_ ? units_[i] : nullptr;
}

const PartAssignment* PackageResource::GetAssignment(uint32_t i) const {
    return i < kAssignments ? &assignments_[i] : &kNoAssignment;
}

const PartAssignment* PackageResource::GetTrigger(uint32_t i) const {
    return i < kAssignments ? &triggers_[i] : &kNoAssignment;
}

} // namespace FulgorCore
