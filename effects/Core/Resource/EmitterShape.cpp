#include "effects/Core/Resource/EmitterShape.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"

#include <algorithm>

namespace FulgorCore {

namespace {

const BitFieldTag kModeFields[] = {EmitterShapeBase::kGnCT, EmitterShapeBase::kGnPT};
const BitFieldTag kWord8Fields[] = {
    EmitterShapeBase::kGnCT, EmitterShapeBase::kGnPT, EmitterShapeBase::kAxX,
    EmitterShapeBase::kAxY,  EmitterShapeBase::kAxZ,  EmitterShapeBase::kUMX,
    EmitterShapeBase::kUMY,  EmitterShapeBase::kUMZ,  EmitterShapeBase::kUPX,
    EmitterShapeBase::kUPY,  EmitterShapeBase::kUPZ};
const BitFieldTag kWord9Fields[] = {EmitterShapeBase::kGnCT, EmitterShapeBase::kGnPT,
                                    EmitterShapeBase::kAxX, EmitterShapeBase::kAxY};

void ReadIf(FloatProperty* p, const BuildContext& context, const Chunk& chunk) {
    if (p)
        p->Read(context, chunk.payload, chunk.size);
}

} // namespace

void EmitterShapeBase::ReadShape(const BuildContext& context, const void* payload, uint32_t size,
                                 const Slots& s) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (s.word && StoreBitField(chunk, s.wordFields, s.wordFieldCount, *s.word))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("MdlN"):
            if (s.model)
                *s.model = chunk.U8();
            break;
        case MakeChunkTag("LtDv"):
            if (s.divisions)
                s.divisions[0] = chunk.U8();
            break;
        case MakeChunkTag("LgDv"):
            if (s.divisions)
                s.divisions[1] = chunk.U8();
            break;
        case MakeChunkTag("Pnts"):
            if (s.points) {
                // The count is 16 bits wide; a longer table keeps its first
                // points.
                const uint32_t count =
                    std::min(chunk.size / EmitterPointTable::kPointSize, uint32_t{0xFFFF});
                s.points->points_ = static_cast<const uint8_t*>(CopyToBlock(
                    context.allocator, chunk.payload, count * EmitterPointTable::kPointSize));
                s.points->count_ = static_cast<uint16_t>(count);
            }
            break;
        case MakeChunkTag("Rad"):
            ReadIf(s.radius, context, chunk);
            break;
        case MakeChunkTag("RadI"):
            ReadIf(s.innerRadius, context, chunk);
            break;
        case MakeChunkTag("RadO"):
            ReadIf(s.outerRadius, context, chunk);
            break;
        case MakeChunkTag("Len"):
            ReadIf(s.length, context, chunk);
            break;
        case MakeChunkTag("IjAI"):
        case MakeChunkTag("InAI"):
            ReadIf(s.innerAngle, context, chunk);
            break;
        case MakeChunkTag("IjAO"):
        case MakeChunkTag("InAO"):
            ReadIf(s.outerAngle, context, chunk);
            break;
        case MakeChunkTag("IjA"):
            ReadIf(s.angle, context, chunk);
            break;
        case MakeChunkTag("Size"):
            if (s.size3)
                s.size3->Read(context, chunk.payload, chunk.size);
            if (s.size2)
                s.size2->Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("IjSp"):
        case MakeChunkTag("InSp"):
            speed_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
}

EmitterShapeBase::Slots EmitterShapeModes::ModeSlots() {
    Slots s;
    s.word = &modes_;
    s.wordFields = kModeFields;
    s.wordFieldCount = sizeof(kModeFields) / sizeof(kModeFields[0]);
    return s;
}

EmitterShapeBase::Slots EmitterShape<5>::PointSlots() {
    Slots s = ModeSlots();
    s.divisions = divisions_;
    s.points = &points_;
    s.radius = &radius_;
    return s;
}

void EmitterShape<1>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s = ModeSlots();
    s.model = &model_;
    ReadShape(context, payload, size, s);
}

void EmitterShape<2>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ReadShape(context, payload, size, Slots{});
}

void EmitterShape<3>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s;
    s.innerRadius = &innerRadius_;
    s.outerRadius = &outerRadius_;
    s.innerAngle = &innerAngle_;
    s.outerAngle = &outerAngle_;
    ReadShape(context, payload, size, s);
}

void EmitterShape<4>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s;
    s.innerRadius = &innerRadius_;
    s.outerRadius = &outerRadius_;
    ReadShape(context, payload, size, s);
}

void EmitterShape<5>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ReadShape(context, payload, size, PointSlots());
}

void EmitterShape<6>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s = PointSlots();
    s.length = &length_;
    ReadShape(context, payload, size, s);
}

void EmitterShape<7>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s = ModeSlots();
    s.divisions = divisions_;
    s.radius = &radius_;
    s.angle = &angle_;
    ReadShape(context, payload, size, s);
}

void EmitterShape<8>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s;
    s.word = &word_;
    s.wordFields = kWord8Fields;
    s.wordFieldCount = sizeof(kWord8Fields) / sizeof(kWord8Fields[0]);
    s.points = &points_;
    s.size3 = &size_;
    ReadShape(context, payload, size, s);
}

void EmitterShape<9>::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Slots s;
    s.word = &word_;
    s.wordFields = kWord9Fields;
    s.wordFieldCount = sizeof(kWord9Fields) / sizeof(kWord9Fields[0]);
    s.points = &points_;
    s.size2 = &size_;
    ReadShape(context, payload, size, s);
}

} // namespace FulgorCore
