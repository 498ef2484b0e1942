// libFuzzer target for the package build: any input is a "Pack" payload,
// measured, and when the measure finds no damage, built with a recording
// device and an object listener, swept through every getter and destroyed.
// The build must place exactly what the measure counted, and once the
// package is gone every device object and every reference the listener
// handed out must be back.
//   build-fuzz/effect_package_fuzz -max_total_time=300 tests/fuzz/corpus/effect_package
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/DistanceFade.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/RadiusPair.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

using namespace FulgorCore;

uint64_t g_sink;

// Folds a value read from the records into the sink, so no read is
// optimised away.
template <class T> void Use(T v) {
    if constexpr (std::is_pointer_v<T>) {
        g_sink += reinterpret_cast<uintptr_t>(v) & 1;
    } else if constexpr (std::is_floating_point_v<T>) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        g_sink += bits;
    } else {
        g_sink += static_cast<uint64_t>(v);
    }
}

void Sweep(const FloatProperty& p) {
    Use(p.EvaluatePlain({1.5f, 2.5f}));
}

void Sweep(const ParticleResource& d) {
    Use(d.GetFlagsC() + d.GetDrawPriority() + d.GetTextureLayerMask() + d.GetLayerFlags() +
        d.GetFlagsD() + d.GetBiasMode() + d.GetRenderStateWord() + d.GetUvLayerCount());
    Use(d.GetBias() + d.GetBiasScale());
    Use(d.GetShader() != nullptr);
    for (uint32_t i = 0; i <= 8; ++i)
        Use(d.GetTextureSlot(i));
    const void* typed[] = {d.GetDrawDataType1(),  d.GetDrawDataType2(),  d.GetDrawDataType3(),
                           d.GetDrawDataType4(),  d.GetDrawDataType5(),  d.GetDrawDataType6(),
                           d.GetDrawDataType7(),  d.GetDrawDataType8(),  d.GetDrawDataType9(),
                           d.GetDrawDataType10(), d.GetDrawDataType11(), d.GetDrawDataType12(),
                           d.GetDrawDataType13()};
    uint32_t typedCount = 0;
    for (const void* p : typed)
        typedCount += p != nullptr;
    // A part has data of its one draw type or none at all.
    if (typedCount != (d.GetDrawData() ? 1u : 0u))
        std::abort();
    if (const DrawDataType4* t = d.GetDrawDataType4()) {
        for (uint32_t i = 0; t->GetEmissionTable() && i < t->GetEmissionEntryCount(); ++i)
            Use(uint64_t{t->GetEmissionTable()[i].fields});
        Use(t->GetFieldOffset(2) + t->GetFieldScale(0));
    }
    Sweep(d.GetAOff());
    Sweep(d.GetATes());
    for (uint32_t i = 0; i <= 6; ++i)
        Use(d.GetUvLayer(i));
    for (uint32_t i = 0; i <= 3; ++i)
        Use(d.GetColorLayer(i));
    Sweep(d.GetReflectionLayer().GetBlend());
}

void Sweep(const EmitterResource& e) {
    Use(e.GetKind() + e.GetSpawnEntryCount() + e.GetTimedEntryCount() + e.HasParentLinks());
    for (uint32_t i = 0; i <= e.GetSpawnEntryCount(); ++i)
        if (const EmitterSpawnEntry* s = e.GetSpawnEntry(i))
            Use(s->GetPacked() + s->GetLif());
    for (uint32_t i = 0; i <= e.GetTimedEntryCount(); ++i)
        if (const EmitterTimedEntry* t = e.GetTimedEntry(i))
            Use(t->GetGnIv());
    for (uint32_t i = 0; i <= 4; ++i)
        Use(uint64_t(e.GetParentLink(i) + 1));
    if (const EmitterShapeBase* s = e.GetShapeBase())
        Sweep(s->GetSpeed());
    if (const EmitterShape<5>* s = e.GetShape<5>())
        for (uint32_t i = 0; i <= s->GetPoints().GetCount(); ++i)
            Use(s->GetPoints().GetPoint(i));
    if (const EmitterShape<8>* s = e.GetShape<8>())
        for (uint32_t i = 0; i <= s->GetPoints().GetCount(); ++i)
            if (const float* p = s->GetPoints().GetPoint(i))
                Use(p[3]);
}

void Sweep(const UnitResource& u) {
    for (uint32_t i = 0; i <= UnitResource::kMaxDrawParts; ++i)
        if (const ParticleResource* d = u.GetDrawPart(i))
            Sweep(*d);
    for (uint32_t i = 0; i <= UnitResource::kMaxEmitterParts; ++i)
        if (const EmitterResource* e = u.GetEmitterPart(i))
            Sweep(*e);
    if (const EffectPartResource* e = u.GetEffectPart(0)) {
        Use(uint64_t{e->GetKind()});
        if (const RadiusPair* r = e->GetRadiusPair())
            Sweep(r->GetOuterRadius());
    }
    for (uint32_t i = 0; i <= UnitResource::kMaxUnitTimelines; ++i) {
        if (const UnitTimelineResource* t = u.GetUnitTimeline(i)) {
            Use(t->GetOTD() + t->GetFlagOTU() + t->GetItemMask() + t->GetLife());
            for (uint32_t k = 0; k <= t->GetItemCount(); ++k)
                if (const UnitTimelineResource::Item* item = t->GetItem(k))
                    Use(uint64_t{item->bytes[13]});
            if (t->GetLabel())
                Use(uint64_t(std::strlen(t->GetLabel())));
        }
    }
    Use(u.GetFlagsA() + u.GetRUNo() + u.GetRUCl() + u.GetSoundHandle() + u.GetSoundParameter());
    Use(u.GetLife() + u.GetLoopStart() + u.GetLoopEnd());
    if (u.GetSoundName())
        Use(uint64_t(std::strlen(u.GetSoundName())));
    if (u.GetReferenceName())
        Use(uint64_t(std::strlen(u.GetReferenceName())));
    if (u.GetDistanceFade())
        Use(u.GetDistanceFade()->GetFarEnd());
    if (u.GetAngleFade())
        Use(uint64_t{u.GetAngleFade()->GetType()});
    if (u.GetUIC1())
        Use(uint64_t{u.GetUIC1()[15]});
    Sweep(u.GetFuCt());
    for (uint32_t i = 0; i <= UnitResource::kTracks; ++i)
        if (const LinearTrack* t = u.GetTrack(i))
            Use(t->Evaluate({3.25f, 0.0f}));
}

void Sweep(PackageResource& p) {
    for (uint32_t i = 0; i <= p.GetReferenceCount(); ++i) {
        if (const ReferenceEntry* r = p.GetReference(i)) {
            Use(uint64_t(std::strlen(r->name)));
            if (p.FindReference(r->name) != &r->handle)
                std::abort();
        }
    }
    Use(p.FindReference("vfx/logo_bg.vfxb"));
    for (int32_t i = -4; i <= static_cast<int32_t>(p.GetTextureCount()); ++i)
        Use(p.GetTexture(i));
    for (uint32_t i = 0; i <= p.GetTextureCount(); ++i)
        if (const char* label = p.GetTextureLabel(i))
            Use(uint64_t(strnlen(label, 32)));
    for (int32_t i = -1; i <= static_cast<int32_t>(p.GetModelCount()); ++i) {
        if (const ModelResource* m = p.GetModel(i)) {
            Use(m->GetMeshSet().vertexBuffer1);
            for (uint32_t k = 0; k <= m->GetEdgeIndexCount(); ++k)
                if (!m->GetEdgeVertex(m->GetEdgeIndex(k)) && k < m->GetEdgeIndexCount())
                    std::abort();
            for (uint32_t k = 0; k <= m->GetPointCount(); ++k)
                Use(uint64_t{m->GetPoint(k)});
            Xorshift128 state;
            for (int k = 0; k < 4; ++k)
                Use(uint64_t{m->RandomSurfaceTriangle(state)});
        }
    }
    for (uint32_t i = 0; i <= p.GetBindCount(); ++i) {
        if (const BindResource* b = p.GetBind(i)) {
            for (uint32_t k = 0; k <= 2; ++k)
                if (const AttachPoint* a = b->GetAttachPoint(k))
                    Use(a->GetName());
            Sweep(b->GetTrFc());
        }
    }
    for (uint32_t i = 0; i <= p.GetTimelineCount(); ++i) {
        if (const TimelineResource* t = p.GetTimeline(i)) {
            for (uint32_t k = 0; k <= t->GetItemCount(); ++k) {
                if (const TimelineItem* item = t->GetItem(k))
                    Use(uint64_t(item->target + item->bind + item->clipIndex + 3));
                if (const TimelineClip* c = t->GetClip(k))
                    Use(uint64_t(c->GetEffectName().size()));
            }
        }
    }
    for (uint32_t i = 0; i <= p.GetUnitCount(); ++i)
        if (const UnitResource* u = p.GetUnit(i))
            Sweep(*u);
    for (uint32_t i = 0; i <= PackageResource::kAssignments; ++i)
        Use(uint64_t(p.GetTrigger(i)->timeline + p.GetAssignment(i)->bind + 2));
    Use(p.GetRootTransform()[11] + p.GetColorA() + p.GetBoundRadius());
    Use(p.UsesProjectionDraw() + p.UsesOtherDraws() + p.GetFlagPIT() + p.GetELT());
    if (p.GetDistanceFade())
        Use(p.GetDistanceFade()->GetNearBegin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX)
        return 0;
    testsupport::RecordingDevice device;
    testsupport::FakeObjectListenner listener;
    testsupport::FakeTexture named(&device.live);
    listener.textures["glow"] = &named;
    listener.soundAnswer = 5;
    {
        testsupport::RecordBuild<PackageResource> built(data, static_cast<uint32_t>(size), &device,
                                                        &listener);
        if (built.measureFailed)
            return 0;
        if (!built.Built() || built.placed != built.measured)
            std::abort();
        Sweep(*built.Mutable());
        built.Mutable()->ReplaceTextureByLabel("", &named);
        built->ReleaseUnitSounds(&listener);
    }
    if (device.live != 1 || named.References() != 1)
        std::abort();
    return 0;
}
