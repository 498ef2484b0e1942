#include "tools/effect/PackageWriter.h"

#include "tools/sampledata/ByteWriter.h"

#include <cstring>

namespace effecttools {

namespace {

void WriteIfI32(ChunkWriter& w, const char* tag, const std::optional<int32_t>& v) {
    if (v)
        w.I32(tag, *v);
}

template <class T>
void WriteAll(ChunkWriter& w, const std::vector<T>& items, void (*write)(ChunkWriter&, const T&)) {
    for (const T& item : items)
        write(w, item);
}

bool IsTrack(const std::string& tag) {
    static const char* const kTracks[] = {"SclX", "SclY", "SclZ", "RotX", "RotY",
                                          "RotZ", "TraX", "TraY", "TraZ"};
    for (const char* track : kTracks)
        if (tag == track)
            return true;
    return false;
}

uint32_t CountOr(const std::optional<uint32_t>& count, size_t items) {
    return count.value_or(static_cast<uint32_t>(items));
}

} // namespace

void WriteDrawPart(ChunkWriter& w, const DrawPartValue& v) {
    w.Begin("Ptcl");
    const uint32_t type = v.drawType.value_or(static_cast<uint32_t>(v.data.index()));
    if (type != 0 || v.drawType)
        w.U32("PrV1", type);
    WriteFields(w, v.fields);
    if (v.priority)
        w.U8("DPri", *v.priority);
    if (v.bias)
        w.F32("DBis", *v.bias);
    if (v.biasScale)
        w.F32("DBDS", *v.biasScale);
    std::visit(
        [&w](const auto& data) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(data)>, std::monostate>)
                WriteDrawData(w, data);
        },
        v.data);
    if (v.aOff)
        WriteFloatProperty(w, "AOff", *v.aOff);
    if (v.aTes)
        WriteFloatProperty(w, "ATes", *v.aTes);
    if (v.drawSize)
        WriteTripleProperty(w, "DwSz", *v.drawSize);
    if (v.drawColor)
        WriteColorProperty(w, "DwCl", *v.drawColor);
    for (const UvTransformValue& layer : v.uvLayers)
        WriteUvTransform(w, layer);
    for (const auto& [tag, layer] : v.textureLayers) {
        if (tag == "TCo1" || tag == "TCo2" || tag == "TCo3")
            WriteColorTextureLayer(w, tag, layer);
        else if (tag == "TDs1" || tag == "TDs2")
            WriteDistortionTextureLayer(w, tag, layer);
        else if (tag == "TPlt")
            WritePaletteTextureLayer(w, layer);
        else if (tag == "TNrm")
            WriteNormalTextureLayer(w, layer);
        else if (tag == "TRef")
            WriteReflectionTextureLayer(w, layer);
    }
    w.End();
}

void WriteEffectPart(ChunkWriter& w, const EffectPartValue& v) {
    w.Begin("Efct");
    if (v.kind)
        w.U32("FxV1", *v.kind);
    if (v.data) {
        w.Begin("DatF");
        if (v.innerRadius)
            WriteFloatProperty(w, "RadI", *v.innerRadius);
        if (v.outerRadius)
            WriteFloatProperty(w, "RadO", *v.outerRadius);
        w.End();
    }
    w.End();
}

void WriteUnitTimeline(ChunkWriter& w, const UnitTimelineValue& v) {
    w.Begin("UTl1");
    w.I16("UTIC", v.itemCount.value_or(static_cast<int16_t>(v.items.size())));
    for (const std::vector<uint8_t>& item : v.items)
        w.Bytes("UTI1", item.data(), item.size());
    if (v.label)
        w.Text("Labl", *v.label);
    if (v.otu)
        w.U8("OTU", *v.otu);
    if (v.otut)
        w.U8("OTUT", *v.otut);
    if (v.otd)
        w.U16("OTD", *v.otd);
    if (v.otuFlag)
        w.Flag("bOTU", *v.otuFlag);
    if (v.life)
        w.U16("Life", *v.life);
    w.End();
}

void WriteDistanceFade(ChunkWriter& w, const DistanceFadeValue& v) {
    w.Begin("DsFd")
        .F32("NeaB", v.nearBegin)
        .F32("NeaE", v.nearEnd)
        .F32("FarB", v.farBegin)
        .F32("FarE", v.farEnd)
        .End();
}

void WriteAngleFade(ChunkWriter& w, const AngleFadeValue& v) {
    w.Begin("AgFd")
        .U32("Type", v.type)
        .F32("XB", v.xBegin)
        .F32("XE", v.xEnd)
        .F32("YB", v.yBegin)
        .F32("YE", v.yEnd)
        .End();
}

void WriteUnit(ChunkWriter& w, const UnitValue& v) {
    w.Begin("Unit");
    WriteFields(w, v.fields);
    WriteIfI32(w, "Life", v.life);
    WriteIfI32(w, "LpSt", v.loopStart);
    WriteIfI32(w, "LpEd", v.loopEnd);
    if (v.sound)
        w.Text("SndF", *v.sound);
    if (v.soundParameter)
        w.U32("SndP", *v.soundParameter);
    if (v.reference)
        w.Text("VfxF", *v.reference);
    if (v.distanceFade)
        WriteDistanceFade(w, *v.distanceFade);
    if (v.angleFade)
        WriteAngleFade(w, *v.angleFade);
    if (v.resetNumber)
        w.I8("RUNo", *v.resetNumber);
    if (v.uic1)
        w.Bytes("UIC1", v.uic1->data(), v.uic1->size());
    if (v.animation) {
        w.Begin("Anim");
        for (const AnimationItem& item : *v.animation) {
            if (item.tag == "Leng") {
                w.F32("Leng", item.length);
            } else if (IsTrack(item.tag)) {
                sampledata::ByteWriter keys;
                for (const auto& [time, value] : item.keys)
                    keys.I32(time).F32(value);
                w.Bytes(item.tag, keys.Get().data(), keys.Get().size());
            } else {
                w.U32(item.tag, item.value);
            }
        }
        w.End();
    }
    if (v.color)
        WriteColorProperty(w, "Col", *v.color);
    for (const auto& [tag, triple] : v.triples)
        WriteTripleProperty(w, tag, triple);
    if (v.fuCt)
        WriteFloatProperty(w, "FuCt", *v.fuCt);
    if (v.vlRt)
        WritePairProperty(w, "VlRt", *v.vlRt);
    WriteAll(w, v.drawParts, WriteDrawPart);
    WriteAll(w, v.emitters, WriteEmitter);
    if (v.effectPart)
        WriteEffectPart(w, *v.effectPart);
    WriteAll(w, v.unitTimelines, WriteUnitTimeline);
    w.End();
}

void WriteTimeline(ChunkWriter& w, const TimelineValue& v) {
    w.Begin("Tmln");
    WriteIfI32(w, "Len", v.length);
    WriteIfI32(w, "LpSt", v.loopStart);
    WriteIfI32(w, "LpEd", v.loopEnd);
    w.I16("TlIC", v.itemCount.value_or(static_cast<int16_t>(v.items.size())));
    for (const TimelineItemValue& item : v.items) {
        w.Begin("TmlI");
        if (item.target)
            w.I16("TgtI", *item.target);
        if (item.enabled)
            w.U16("bEna", *item.enabled);
        if (item.type)
            w.U16("Type", *item.type);
        if (item.lct)
            w.U16("LCT", *item.lct);
        if (item.startFrame)
            w.U16("StFr", *item.startFrame);
        if (item.endFrame)
            w.U16("EdFr", *item.endFrame);
        if (item.bind)
            w.I16("BnNo", *item.bind);
        for (int bit = 0; bit < 8; ++bit)
            if (item.flags & (1u << bit))
                w.U32(std::string("bPF") + static_cast<char>('1' + bit), 1);
        if (item.clip)
            w.Bytes("Clip", item.clip->data(), item.clip->size());
        w.End();
    }
    w.End();
}

void WriteTexture(ChunkWriter& w, const TextureValue& v) {
    w.Begin("Tex");
    if (v.label)
        w.Text("Lbl", *v.label);
    if (v.data)
        w.Bytes("Data", v.data->data(), v.data->size());
    if (v.name)
        w.Text("Name", *v.name);
    w.End();
}

void WriteAssignment(ChunkWriter& w, std::string_view tag, const AssignmentValue& v) {
    w.Begin(tag);
    if (v.timeline)
        w.I16("TlNo", *v.timeline);
    if (v.bind)
        w.I16("BnNo", *v.bind);
    w.End();
}

void WritePackage(ChunkWriter& w, const PackageValue& v) {
    w.Begin("Pack");
    if (v.referenceCapacity)
        w.U32("RfVC", *v.referenceCapacity);
    WriteFields(w, v.fields);
    for (const auto& [tag, value] : v.floats)
        w.F32(tag, value);
    w.U32("TexC", CountOr(v.textureCount, v.textures.size()));
    WriteAll(w, v.textures, WriteTexture);
    w.U32("MdlC", CountOr(v.modelCount, v.models.size()));
    WriteAll(w, v.models, WriteModel);
    w.U32("BndC", CountOr(v.bindCount, v.binds.size()));
    WriteAll(w, v.binds, WriteBind);
    w.U32("TimC", CountOr(v.timelineCount, v.timelines.size()));
    WriteAll(w, v.timelines, WriteTimeline);
    w.U32("UniC", CountOr(v.unitCount, v.units.size()));
    WriteAll(w, v.units, WriteUnit);
    if (v.distanceFade)
        WriteDistanceFade(w, *v.distanceFade);
    if (v.angleFade)
        WriteAngleFade(w, *v.angleFade);
    for (const AssignmentValue& a : v.assignments)
        WriteAssignment(w, "SchA", a);
    for (const AssignmentValue& a : v.triggers)
        WriteAssignment(w, "SchT", a);
    w.End();
}

std::vector<uint8_t> WriteEffectFile(const EffectFileValue& v) {
    ChunkWriter w;
    w.U32("Ver", v.version);
    if (v.name)
        w.Text("Name", *v.name);
    WritePackage(w, v.package);
    for (const std::string& name : v.textureNames)
        w.Text("TexN", name);
    return w.Take();
}

std::vector<uint8_t> ReferenceClip(const std::string& effect, uint8_t fill) {
    std::vector<uint8_t> clip(100, 0);
    const uint32_t command = ChunkWriter::TagFromText("VFXC");
    for (int i = 0; i < 4; ++i)
        clip[i] = static_cast<uint8_t>(command >> (8 * i));
    std::memset(clip.data() + 4, fill, 32);
    const size_t n = effect.size() < 63 ? effect.size() : 63;
    std::memcpy(clip.data() + 36, effect.data(), n);
    return clip;
}

std::vector<uint8_t> CommandClip(std::string_view tag, const std::vector<uint32_t>& words,
                                 const std::vector<std::string>& texts) {
    std::vector<uint8_t> clip(100, 0);
    const uint32_t command = ChunkWriter::TagFromText(tag);
    for (int i = 0; i < 4; ++i)
        clip[i] = static_cast<uint8_t>(command >> (8 * i));
    for (size_t i = 0; i < words.size() && i < 8; ++i)
        for (int b = 0; b < 4; ++b)
            clip[4 + i * 4 + b] = static_cast<uint8_t>(words[i] >> (8 * b));
    for (size_t i = 0; i < texts.size() && i < 4; ++i)
        std::memcpy(clip.data() + 36 + i * 16, texts[i].data(),
                    texts[i].size() < 16 ? texts[i].size() : 16);
    return clip;
}

} // namespace effecttools
