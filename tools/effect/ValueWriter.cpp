#include "tools/effect/ValueWriter.h"

#include "tools/sampledata/ByteWriter.h"

namespace effecttools {

namespace {

void WriteCurve(ChunkWriter& w, std::string_view tag, const CurveValue& curve) {
    w.Begin(tag);
    w.U32("RTyp", curve.randomType).U32("BPre", curve.preBehaviour);
    w.U32("BPos", curve.postBehaviour);
    if (!curve.keys.empty()) {
        const std::vector<uint8_t> keys = CurveKeyBytes(curve.keys);
        w.Bytes("Key", keys.data(), keys.size());
    }
    w.End();
}

struct KindWriter {
    ChunkWriter& w;

    void operator()(const ConstantValue& v) const {
        w.Begin("Cons").F32("CoVl", v.value).F32("CoRS", v.randomStart);
        w.F32("CoRG", v.randomEnd).End();
    }
    void operator()(const EasingValue& v) const {
        w.Begin("Easi").U8("EasC", v.type).U32("EaPr", v.preMode).U32("EaPo", v.postMode);
        w.F32("EaTO", v.timeOffset).F32("EaTL", v.timeLength);
        w.F32("EaVS", v.startValue).F32("EaVE", v.endValue);
        w.F32("EaRS", v.randomStart).F32("EaRE", v.randomEnd).End();
    }
    void operator()(const CurvesValue& v) const {
        WriteCurve(w, "FCuV", v.value);
        WriteCurve(w, "FCuR", v.random);
    }
    void operator()(const LoopValue& v) const {
        w.Begin("Loop").F32("LpVB", v.baseValue).F32("LpVV", v.velocity);
        w.F32("VMin", v.minimum).F32("VMax", v.maximum);
        w.F32("LpRS", v.randomStart).F32("LpRE", v.randomEnd).End();
    }
};

} // namespace

FloatValue Constant(float value) {
    return ConstantValue{value, 0.0f, 0.0f};
}

void WriteFloatGroup(ChunkWriter& w, const FloatValue& value) {
    w.U8("PrVT", static_cast<uint8_t>(value.index()));
    std::visit(KindWriter{w}, value);
}

void WriteFloatProperty(ChunkWriter& w, std::string_view tag, const FloatValue& value) {
    w.Begin(tag);
    WriteFloatGroup(w, value);
    w.End();
}

std::vector<uint8_t> CurveKeyBytes(const std::vector<CurveKeyValue>& keys) {
    sampledata::ByteWriter out;
    for (const CurveKeyValue& k : keys)
        out.U32(k.kind).F32(k.time).F32(k.value).F32(k.startTangent).F32(k.endTangent);
    return out.Take();
}

} // namespace effecttools
