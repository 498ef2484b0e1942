// libFuzzer target for the effect value readers: any input is read as an
// animated float group, a pair, a triple, a colour, each texture layer, a
// texture-coordinate layer, an attach point and each draw-data type,
// measured, built with a recording device and evaluated at a few times.
// The build must place exactly what the measure counted, and every device
// buffer must be gone once the record is destroyed.
#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Resource/ColorTextureLayer.h"
#include "effects/Core/Resource/DistortionTextureLayer.h"
#include "effects/Core/Resource/DrawDataType1.h"
#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/DrawDataType13.h"
#include "effects/Core/Resource/DrawDataType2.h"
#include "effects/Core/Resource/DrawDataType3.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/DrawDataType6.h"
#include "effects/Core/Resource/DrawDataType7.h"
#include "effects/Core/Resource/DrawDataType8.h"
#include "effects/Core/Resource/NormalTextureLayer.h"
#include "effects/Core/Resource/PaletteTextureLayer.h"
#include "effects/Core/Resource/ReflectionTextureLayer.h"
#include "effects/Core/Resource/UvTransform.h"
#include "effects/Core/Value/LinearTrack.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace FulgorCore;

const EvaluationContext kTimes[] = {
    {0.0f, 0.0f}, {0.5f, 1.0f}, {37.25f, -3.0f}, {-100.0f, 250.0f}, {1e9f, -1e9f}};

float g_sink;

void Use(float v) {
    g_sink += v;
}

void Evaluate(const FloatProperty& p, Xorshift128& state) {
    const float sample = p.SampleRandom(state);
    for (const EvaluationContext& t : kTimes)
        Use(p.Evaluate(t, sample, state));
    Use(p.EvaluatePlain(kTimes[1]));
}

void Evaluate(const FloatPairProperty& p, Xorshift128& state) {
    float samples[2];
    float out[2];
    p.SampleRandom(state, samples);
    for (const EvaluationContext& t : kTimes) {
        p.Evaluate(t, samples, state, out);
        Use(out[0] + out[1]);
    }
}

void Evaluate(const FloatTripleProperty& p, Xorshift128& state) {
    float samples[3];
    float out[3];
    p.SampleRandom(state, samples);
    for (const EvaluationContext& t : kTimes) {
        p.Evaluate(t, samples, state, out);
        Use(out[0] + out[1] + out[2]);
    }
}

void Evaluate(const ColorProperty& p, Xorshift128& state) {
    float samples[5];
    float out[4];
    p.SampleRandom(state, samples);
    for (const EvaluationContext& t : kTimes) {
        p.Evaluate(t, samples, state, out);
        Use(out[0] + out[3]);
    }
}

template <class Layer> void EvaluateLayer(const Layer& layer, Xorshift128& state) {
    Evaluate(layer.GetTextureNumber(), state);
    for (const EvaluationContext& t : kTimes) {
        const int32_t index = layer.TextureIndex(t, 0.5f, state);
        if (index < -128 || index > 127)
            std::abort();
    }
}

void Evaluate(const ColorTextureLayer& l, Xorshift128& s) {
    EvaluateLayer(l, s);
}
void Evaluate(const DistortionTextureLayer& l, Xorshift128& s) {
    EvaluateLayer(l, s);
    Evaluate(l.GetPower(), s);
}
void Evaluate(const PaletteTextureLayer& l, Xorshift128& s) {
    EvaluateLayer(l, s);
    Evaluate(l.GetOffset(), s);
}
void Evaluate(const NormalTextureLayer& l, Xorshift128& s) {
    EvaluateLayer(l, s);
    Evaluate(l.GetScale(), s);
}
void Evaluate(const ReflectionTextureLayer& l, Xorshift128& s) {
    EvaluateLayer(l, s);
    Evaluate(l.GetBlend(), s);
}

void Evaluate(const UvTransform& uv, Xorshift128& state) {
    float samples[UvTransform::kSamples];
    uv.SampleRandom(state, samples);
    UvTransform::Value out;
    for (const EvaluationContext& t : kTimes) {
        uv.Evaluate(t, samples, state, out);
        Use(out.rotation);
    }
}

void Evaluate(const AttachPoint& p, Xorshift128& state) {
    Evaluate(p.GetPosition(), state);
    if (p.GetName())
        Use(static_cast<float>(p.GetName()[0]));
}

void Evaluate(const DrawDataType1& d, Xorshift128& s) {
    Evaluate(d.GetLength(), s);
    Evaluate(d.GetHeadColor(), s);
    Evaluate(d.GetTailColor(), s);
}
void Evaluate(const DrawDataType2& d, Xorshift128&) {
    Use(static_cast<float>(d.GetFlags()));
}
void Evaluate(const DrawDataType3& d, Xorshift128& s) {
    Evaluate(d.GetWidth(), s);
    Evaluate(d.GetLength(), s);
}
void Evaluate(const DrawDataType5& d, Xorshift128& s) {
    for (uint32_t i = 0; i < 7; ++i)
        Evaluate(d.GetFloat(static_cast<DrawDataType5::Float>(i)), s);
    Evaluate(d.GetColor(DrawDataType5::kFrCB), s);
    Evaluate(d.GetColor(DrawDataType5::kFrCE), s);
    Evaluate(d.GetRimDirection(), s);
    for (const EvaluationContext& t : kTimes) {
        int32_t first = 0;
        int32_t second = 0;
        Use(d.BlendedEntries(t, 0.25f, s, first, second));
        Use(static_cast<float>(d.ListEntry(t, 0.25f, s) + first + second));
    }
}
void Evaluate(const DrawDataType6& d, Xorshift128& s) {
    for (uint32_t i = 0; i < 6; ++i)
        Evaluate(d.GetColor(static_cast<DrawDataType6::Color>(i)), s);
    for (uint32_t i = 0; i < 7; ++i)
        Evaluate(d.GetFloat(static_cast<DrawDataType6::Float>(i)), s);
    for (uint32_t i = 0; i < d.GetPointCount(); ++i)
        Use(d.GetPoint(i)[15]);
}
void Evaluate(const DrawDataType7& d, Xorshift128& s) {
    for (uint32_t i = 0; i < 3; ++i)
        Evaluate(d.GetColor(static_cast<DrawDataType7::Color>(i)), s);
    for (uint32_t i = 0; i < 7; ++i)
        Evaluate(d.GetFloat(static_cast<DrawDataType7::Float>(i)), s);
}
void Evaluate(const DrawDataType8& d, Xorshift128& s) {
    Evaluate(d.GetCount(), s);
}
void Evaluate(const DrawDataType11& d, Xorshift128&) {
    for (uint32_t i = 0; i < d.GetKeyCount(); ++i)
        Use(d.GetKey(i)[27]);
}
void Evaluate(const DrawDataType12& d, Xorshift128& s) {
    for (uint32_t i = 0; i < 6; ++i)
        Evaluate(d.GetColor(static_cast<DrawDataType12::Color>(i)), s);
    for (uint32_t i = 0; i < 5; ++i)
        Evaluate(d.GetFloat(static_cast<DrawDataType12::Float>(i)), s);
}
void Evaluate(const DrawDataType13& d, Xorshift128& s) {
    Evaluate(d.GetColor(DrawDataType13::kFrCB), s);
    Evaluate(d.GetColor(DrawDataType13::kFrCE), s);
    Evaluate(d.GetFloat(DrawDataType13::kFrC), s);
    Evaluate(d.GetFloat(DrawDataType13::kFrO), s);
    Evaluate(d.GetRimDirection(), s);
}

template <class T> void Run(const uint8_t* data, uint32_t size) {
    testsupport::RecordingDevice device;
    {
        testsupport::RecordBuild<T> built(data, size, &device);
        if (built.measureFailed)
            return;
        if (!built.Built() || built.placed != built.measured)
            std::abort();
        Xorshift128 state;
        Evaluate(*built, state);
    }
    if (device.live != 0)
        std::abort();
}

void RunTrack(const uint8_t* data, uint32_t size) {
    RuntimeDataAllocator allocator;
    BuildContext context{allocator};
    allocator.BeginMeasure();
    LinearTrack scratch;
    scratch.Initialize(context, data, size, true, 3.5f);
    const uint32_t measured = allocator.GetSize();
    allocator.EndMeasure();
    void* block = ::operator new (measured ? measured : 1, std::align_val_t{16});
    allocator.BeginBuild(block, measured);
    LinearTrack track;
    track.Initialize(context, data, size, true, 3.5f);
    if (allocator.GetSize() != measured)
        std::abort();
    for (const EvaluationContext& t : kTimes)
        Use(track.Evaluate(t));
    ::operator delete (block, std::align_val_t{16});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX)
        return 0;
    const uint32_t n = static_cast<uint32_t>(size);
    Run<FloatProperty>(data, n);
    Run<FloatPairProperty>(data, n);
    Run<FloatTripleProperty>(data, n);
    Run<ColorProperty>(data, n);
    Run<ColorTextureLayer>(data, n);
    Run<DistortionTextureLayer>(data, n);
    Run<PaletteTextureLayer>(data, n);
    Run<NormalTextureLayer>(data, n);
    Run<ReflectionTextureLayer>(data, n);
    Run<UvTransform>(data, n);
    Run<AttachPoint>(data, n);
    Run<DrawDataType1>(data, n);
    Run<DrawDataType2>(data, n);
    Run<DrawDataType3>(data, n);
    Run<DrawDataType5>(data, n);
    Run<DrawDataType6>(data, n);
    Run<DrawDataType7>(data, n);
    Run<DrawDataType8>(data, n);
    Run<DrawDataType11>(data, n);
    Run<DrawDataType12>(data, n);
    Run<DrawDataType13>(data, n);
    RunTrack(data, n);
    return 0;
}
