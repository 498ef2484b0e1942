// The package build's rules: referenced effects, textures, draw flags, root
// transform, bias modes, the damage that fails a load in the measure pass,
// the faults read as stated, out-of-range getters and teardown of complete
// and half-built packages.
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/DrawDataType13.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/DrawDataType9.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "support/effects/RuntimeStartup.h"
#include "tools/effect/PackageWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace effecttools;
using FulgorCore::PackageResource;
using testsupport::RecordBuild;
using Build = RecordBuild<PackageResource>;

std::vector<uint8_t> Payload(const std::function<void(ChunkWriter&)>& write) {
    ChunkWriter w;
    w.Begin("Pack");
    write(w);
    w.End();
    return testsupport::PayloadOf(w.Take());
}

std::vector<uint8_t> Payload(const PackageValue& v) {
    ChunkWriter w;
    WritePackage(w, v);
    return testsupport::PayloadOf(w.Take());
}

UnitValue NamedUnit(const std::string& reference) {
    UnitValue u;
    u.reference = reference;
    return u;
}

TimelineValue ClipTimeline(const std::vector<std::string>& names) {
    TimelineValue t;
    for (const std::string& name : names) {
        TimelineItemValue item;
        item.type = 1;
        item.clip = ReferenceClip(name);
        t.items.push_back(item);
    }
    return t;
}

DrawPartValue PartOfType(uint32_t type) {
    DrawPartValue p;
    p.drawType = type;
    return p;
}

// References -----------------------------------------------------------------

TEST(PackageReferences, WithoutNamesTheCountIsZeroWhateverRfVCSaid) {
    PackageValue v;
    v.referenceCapacity = 40;
    v.units.push_back(UnitValue{});
    TimelineValue t;
    TimelineItemValue item;
    item.type = 1;
    // A clip with another command names nothing.
    item.clip = std::vector<uint8_t>(100, 'A');
    t.items.push_back(item);
    v.timelines.push_back(t);
    Build built(Payload(v));
    ASSERT_TRUE(built.Built());
    EXPECT_EQ(built->GetReferenceCount(), 0u);
    EXPECT_EQ(built->GetReference(0), nullptr);
}

TEST(PackageReferences, NamesAreCollectedOnceUnitsBeforeClips) {
    PackageValue v;
    v.referenceCapacity = 3;
    // The writer puts the timeline before the units in the file.
    v.timelines.push_back(ClipTimeline({"vfx/c.vfxb", "vfx/a.vfxb", "vfx/c.vfxb"}));
    v.units = {NamedUnit("vfx/a.vfxb"), NamedUnit(""), NamedUnit("vfx/b.vfxb"),
               NamedUnit("vfx/a.vfxb")};
    Build built(Payload(v));
    ASSERT_TRUE(built.Built());
    const PackageResource& p = *built;
    ASSERT_EQ(p.GetReferenceCount(), 3u);
    EXPECT_STREQ(p.GetReference(0)->name, "vfx/a.vfxb");
    EXPECT_STREQ(p.GetReference(1)->name, "vfx/b.vfxb");
    EXPECT_STREQ(p.GetReference(2)->name, "vfx/c.vfxb");
    // Entries point at the unit's copy and into the clip, inside the block.
    EXPECT_EQ(p.GetReference(0)->name, p.GetUnit(0)->GetReferenceName());
    EXPECT_TRUE(built.InBlock(p.GetReference(2)->name));
    EXPECT_EQ(p.FindReference("vfx/b.vfxb"), &p.GetReference(1)->handle);
    const FulgorCore::ObjectHandle* none = p.FindReference("vfx/d.vfxb");
    EXPECT_EQ(none->index, 0u);
    EXPECT_EQ(none->serial, 0u);
    EXPECT_EQ(p.FindReference("vfx/b.vfx")->serial, 0u);
}

TEST(PackageReferences, MoreNamesThanRfVCHoldsFailTheMeasure) {
    PackageValue v;
    v.referenceCapacity = 2;
    v.units = {NamedUnit("a"), NamedUnit("b")};
    v.timelines.push_back(ClipTimeline({"a", "c"}));
    Build built(Payload(v));
    EXPECT_TRUE(built.measureFailed);
    // 64 is 0 in the six bits RfVC keeps.
    v.referenceCapacity = 64;
    v.timelines.clear();
    EXPECT_TRUE(Build(Payload(v)).measureFailed);
    v.referenceCapacity = 63 + 64;
    EXPECT_FALSE(Build(Payload(v)).measureFailed);
}

TEST(PackageReferences, ClipNamesStayInsideTheirClip) {
    // No terminator anywhere in the 100 bytes: the name is bounded by the
    // clip and still ends with a zero in the block.
    std::vector<uint8_t> clip = ReferenceClip("", 'x');
    std::memset(clip.data() + 36, 'n', 64);
    clip.resize(130, 'z');
    PackageValue v;
    v.referenceCapacity = 1;
    TimelineValue t;
    TimelineItemValue item;
    item.type = 1;
    item.clip = clip;
    t.items.push_back(item);
    v.timelines.push_back(t);
    Build built(Payload(v));
    ASSERT_TRUE(built.Built());
    ASSERT_EQ(built->GetReferenceCount(), 1u);
    EXPECT_EQ(std::string(built->GetReference(0)->name), std::string(64, 'n'));
    // A short clip is zero-extended to its 100 bytes.
    item.clip = ReferenceClip("vfx/logo_bg.vfxb");
    item.clip->resize(40);
    v.timelines[0].items[0] = item;
    Build shortClip(Payload(v));
    ASSERT_TRUE(shortClip.Built());
    EXPECT_STREQ(shortClip->GetReference(0)->name, "vfx/");
    EXPECT_EQ(shortClip->GetTimeline(0)->GetClip(0)->bytes[99], 0);
}

TEST(PackageReferences, DestructionReleasesOneReferenceOfEachLiveEffect) {
    testsupport::RuntimeStartup runtime;
    ASSERT_TRUE(runtime.Start());
    FulgorCore::EngineWorkData* work = FulgorCore::Engine::GetWorkData();
    // Two effect records as a registration would leave them.
    FulgorCore::ObjectSlot& live = work->objects.base[1];
    live.serial = 7;
    live.referenceCount = 2;
    FulgorCore::ObjectSlot& stale = work->objects.base[2];
    stale.serial = 9;
    stale.referenceCount = 1;
    PackageValue v;
    v.referenceCapacity = 3;
    v.units = {NamedUnit("a"), NamedUnit("b"), NamedUnit("c")};
    Build built(Payload(v));
    ASSERT_TRUE(built.Built());
    built.Mutable()->GetReference(0)->handle = {1, 7};
    built.Mutable()->GetReference(1)->handle = {2, 8}; // its serial has moved on
    built.Mutable()->GetReference(2)->handle = {0, 0}; // never resolved
    built.Destroy();
    EXPECT_EQ(live.referenceCount, 1);
    EXPECT_EQ(stale.referenceCount, 1);
    EXPECT_EQ(work->objects.base[0].referenceCount, 0);
}

// Textures -------------------------------------------------------------------

TEST(PackageTextures, DefaultIndicesGiveTheBuiltInTexturesWithoutATable) {
    testsupport::RuntimeStartup runtime;
    ASSERT_TRUE(runtime.Start());
    Build built(Payload(PackageValue{}));
    ASSERT_TRUE(built.Built());
    EXPECT_EQ(built->GetTextureCount(), 0u);
    EXPECT_EQ(built->GetTexture(-2), runtime.device.builtin[0]);
    EXPECT_EQ(built->GetTexture(-3), runtime.device.builtin[1]);
    EXPECT_EQ(built->GetTexture(-1), nullptr);
    EXPECT_EQ(built->GetTexture(-4), nullptr);
    EXPECT_EQ(built->GetTexture(0), nullptr);
}

TEST(PackageTextures, DefaultIndicesAreNullWhileTheRuntimeIsNotStarted) {
    Build built(Payload(PackageValue{}));
    EXPECT_EQ(built->GetTexture(-2), nullptr);
    EXPECT_EQ(built->GetTexture(-3), nullptr);
}

TEST(PackageTextures, AReplacementCountsOnlyWhileItsLabelIsNotEmpty) {
    testsupport::RecordingDevice device;
    PackageValue v;
    v.textures = {{std::string("sky"), std::vector<uint8_t>(8, 1), std::nullopt},
                  {std::string(""), std::vector<uint8_t>(8, 2), std::nullopt},
                  {std::string("sky"), std::nullopt, std::nullopt}};
    {
        Build built(Payload(v), &device);
        ASSERT_TRUE(built.Built());
        FulgorCore::ITexture* own0 = built->GetTexture(0);
        FulgorCore::ITexture* own1 = built->GetTexture(1);
        ASSERT_NE(own0, nullptr);
        testsupport::FakeTexture first(&device.live);
        testsupport::FakeTexture second(&device.live);
        built.Mutable()->ReplaceTextureByLabel("sky", &first);
        EXPECT_EQ(built->GetTexture(0), &first);
        EXPECT_EQ(built->GetTexture(2), &first);
        EXPECT_EQ(first.References(), 3u);
        built.Mutable()->ReplaceTextureByLabel("sky", &second);
        EXPECT_EQ(first.References(), 1u);
        EXPECT_EQ(built->GetTexture(0), &second);
        // The unlabelled entry takes a replacement but keeps its own.
        built.Mutable()->ReplaceTextureByLabel("", &first);
        EXPECT_EQ(built->GetTexture(1), own1);
        built.Mutable()->ReplaceTextureByLabel("sky", nullptr);
        EXPECT_EQ(built->GetTexture(0), own0);
        EXPECT_EQ(second.References(), 1u);
        built.Destroy();
        EXPECT_EQ(first.References(), 1u);
        EXPECT_EQ(device.live, 2);
    }
    EXPECT_EQ(device.live, 0);
}

TEST(PackageTextures, ASecondDataOrNameReleasesTheFirstTexture) {
    testsupport::RecordingDevice device;
    testsupport::FakeObjectListenner listener;
    testsupport::FakeTexture named(&device.live);
    listener.textures["cloud"] = &named;
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        w.U32("TexC", 1).Begin("Tex");
        w.Bytes("Data", "abcd", 4).Bytes("Data", "efgh", 4).Text("Name", "cloud");
        w.Text("Lbl", std::string(40, 'L'));
        w.End();
    });
    {
        Build built(payload, &device, &listener);
        ASSERT_TRUE(built.Built());
        EXPECT_EQ(built->GetTexture(0), &named);
        // Both created textures are gone already.
        EXPECT_EQ(device.live, 1);
        EXPECT_EQ(std::string(built->GetTextureLabel(0)), std::string(31, 'L'));
    }
    EXPECT_EQ(named.References(), 1u);
    EXPECT_EQ(listener.textureNames, std::vector<std::string>{"cloud"});
}

TEST(PackageTextures, NamesAreAskedOnlyOfAListener) {
    testsupport::RecordingDevice device;
    const std::vector<uint8_t> payload =
        Payload([](ChunkWriter& w) { w.U32("TexC", 1).Begin("Tex").Text("Name", "cloud").End(); });
    Build built(payload, &device, nullptr);
    ASSERT_TRUE(built.Built());
    EXPECT_EQ(built->GetTexture(0), nullptr);
}

// Draw flags, root transform, bias -------------------------------------------

TEST(PackageDrawFlags, ProjectionAndOtherDrawsAreTold) {
    for (uint32_t type = 0; type <= 14; ++type) {
        PackageValue v;
        UnitValue u;
        u.drawParts.push_back(PartOfType(type));
        v.units.push_back(u);
        Build built(Payload(v));
        ASSERT_TRUE(built.Built()) << type;
        EXPECT_EQ(built->UsesProjectionDraw(), type == 10 ? 1u : 0u) << type;
        EXPECT_EQ(built->UsesOtherDraws(), type >= 1 && type <= 13 && type != 10 ? 1u : 0u) << type;
    }
}

TEST(PackageDrawFlags, EachTypeFourPartHasItsTableFilled) {
    PackageValue v;
    UnitValue u;
    DrawPartValue p;
    DrawDataType4Value d;
    d.fields = {{"CrCt", 3}, {"CrI2", 10}};
    d.bpCt = 5;
    p.data = d;
    u.drawParts = {p, p, PartOfType(9)};
    v.units = {u};
    Build built(Payload(v));
    ASSERT_TRUE(built.Built());
    // Groups of "BPCt" members, each group born 0.1 x 10 frames after the
    // one before, in both type-4 parts.
    for (uint32_t part : {0u, 1u}) {
        const FulgorCore::DrawDataType4* data =
            built->GetUnit(0)->GetDrawPart(part)->GetDrawDataType4();
        ASSERT_EQ(data->GetEmissionEntryCount(), 15u);
        for (uint32_t e = 0; e < 15; ++e)
            EXPECT_FLOAT_EQ(data->GetEmissionTable()[e].birthOffset[1],
                            -1.0f * static_cast<float>(e / 5))
                << part << " " << e;
    }
}

TEST(PackageRootTransform, RotationRowsTimesScaleAndThePosition) {
    PackageValue v;
    v.floats = {{"PvRz", 1.5707964f}, {"PvSx", 2.0f}, {"PvSy", 3.0f}, {"PvSz", 5.0f},
                {"PvPx", 7.0f},       {"PvPy", 8.0f}, {"PvPz", 9.0f}};
    Build built(Payload(v));
    const float* m = built->GetRootTransform();
    // A quarter turn about z takes the X row to +Y or -Y; its length is the
    // X scale, and the Z row stays z times 5.
    EXPECT_NEAR(std::hypot(m[0], m[1]), 2.0f, 1e-5f);
    EXPECT_NEAR(std::fabs(m[1]), 2.0f, 1e-5f);
    EXPECT_NEAR(std::fabs(m[3]), 3.0f, 1e-5f);
    EXPECT_NEAR(m[8], 5.0f, 1e-5f);
    EXPECT_EQ(m[9], 7.0f);
    EXPECT_EQ(m[10], 8.0f);
    EXPECT_EQ(m[11], 9.0f);
}

TEST(PackageRootTransform, WithoutScaleChunksTheRowsAreZero) {
    PackageValue v;
    v.floats = {{"PvPx", 1.0f}};
    Build built(Payload(v));
    const float* m = built->GetRootTransform();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m[i], 0.0f) << i;
    EXPECT_EQ(m[9], 1.0f);
}

TEST(DrawPartBias, ModesFromBiasScaleAndTest) {
    struct Case {
        std::optional<float> bias;
        std::optional<float> scale;
        uint32_t test;
        uint32_t mode;
    };
    const Case cases[] = {{std::nullopt, 1.0f, 1, 0}, {0.0f, 2.0f, 0, 0},
                          {0.5f, 1.0f, 0, 1},         {0.5f, 1.0f, 1, 2},
                          {-1.0f, 2.0f, 0, 3},        {0.5f, std::nullopt, 1, 4}};
    for (const Case& c : cases) {
        PackageValue v;
        UnitValue u;
        DrawPartValue p = PartOfType(1);
        p.bias = c.bias;
        p.biasScale = c.scale;
        p.fields = {{"bDBT", c.test}};
        u.drawParts.push_back(p);
        v.units.push_back(u);
        Build built(Payload(v));
        EXPECT_EQ(built->GetUnit(0)->GetDrawPart(0)->GetBiasMode(), c.mode) << c.mode;
    }
}

// Damage ---------------------------------------------------------------------

using Writes = std::function<void(ChunkWriter&)>;

struct DamageCase {
    const char* what;
    Writes write;
};

void Units(ChunkWriter& w, const Writes& body) {
    w.U32("UniC", 1).Begin("Unit");
    body(w);
    w.End();
}

void Repeat(ChunkWriter& w, int n, const Writes& one) {
    for (int i = 0; i < n; ++i)
        one(w);
}

// Writers of n empty chunks of a tag, of a chunk around others, of a unit
// around others, and of one writer after another.
Writes Empty(const char* tag, int n = 1) {
    return [=](ChunkWriter& w) { Repeat(w, n, [=](ChunkWriter& x) { x.Begin(tag).End(); }); };
}
Writes In(const char* tag, Writes body) {
    return [=](ChunkWriter& w) {
        w.Begin(tag);
        body(w);
        w.End();
    };
}
Writes InUnit(Writes body) {
    return [=](ChunkWriter& w) { Units(w, body); };
}
Writes Then(Writes a, Writes b) {
    return [=](ChunkWriter& w) {
        a(w);
        b(w);
    };
}
Writes Count(const char* tag, uint32_t n) {
    return [=](ChunkWriter& w) { w.U32(tag, n); };
}
Writes Count16(const char* tag, int16_t n) {
    return [=](ChunkWriter& w) { w.I16(tag, n); };
}
Writes Word16(const char* tag, uint16_t n) {
    return [=](ChunkWriter& w) { w.U16(tag, n); };
}
Writes Data(const char* tag, std::vector<uint8_t> bytes) {
    return [=](ChunkWriter& w) { w.Bytes(tag, bytes.data(), bytes.size()); };
}
// A model chunk holding these vertex bytes and 16-bit indices.
Writes Model(const char* vertexTag, size_t vertexBytes, const char* indexTag,
             std::vector<uint16_t> indices) {
    return Then(Count("MdlC", 1), In("Mdl", [=](ChunkWriter& w) {
                    const std::vector<uint8_t> v(vertexBytes, 0);
                    if (vertexBytes)
                        w.Bytes(vertexTag, v.data(), v.size());
                    w.Bytes(indexTag, indices.data(), indices.size() * 2);
                }));
}

// clang-format off
std::vector<DamageCase> DamageCases() {
    return {
        {"Tex beyond TexC", Then(Count("TexC", 1), Empty("Tex", 2))},
        {"Tex before TexC", Then(Empty("Tex"), Count("TexC", 2))},
        {"TexC after Tex", Then(Then(Count("TexC", 1), Empty("Tex")), Count("TexC", 3))},
        {"Mdl without MdlC", Empty("Mdl")},
        {"Bind beyond BndC", Then(Count("BndC", 0), Empty("Bind"))},
        {"Tmln beyond TimC", Then(Count("TimC", 128), Empty("Tmln"))},
        {"Unit beyond UniC", Then(Count("UniC", 1), Empty("Unit", 2))},
        {"15 SchA", Empty("SchA", 15)},
        {"15 SchT", Empty("SchT", 15)},
        {"4 Ptcl", InUnit(Empty("Ptcl", 4))},
        {"3 Emit", InUnit(Empty("Emit", 3))},
        {"2 Efct", InUnit(Empty("Efct", 2))},
        {"21 UTl1", InUnit(Empty("UTl1", 21))},
        {"7 TUvS", InUnit(In("Ptcl", Empty("TUvS", 7)))},
        {"negative UTIC", InUnit(In("UTl1", Count16("UTIC", -1)))},
        {"UTI1 beyond UTIC", InUnit(In("UTl1", Then(Count16("UTIC", 1), Then(Data("UTI1", {'a'}), Data("UTI1", {'b'})))))},
        {"UTIC after UTI1", InUnit(In("UTl1", Then(Then(Count16("UTIC", 1), Data("UTI1", {'a'})), Count16("UTIC", 4))))},
        {"negative TlIC", Then(Count("TimC", 1), In("Tmln", Count16("TlIC", -3)))},
        {"TmlI beyond TlIC", Then(Count("TimC", 1), In("Tmln", Then(Count16("TlIC", 1), Empty("TmlI", 2))))},
        {"Type 1 without a clip", Then(Count("TimC", 1), In("Tmln", Then(Count16("TlIC", 1), In("TmlI", Word16("Type", 1)))))},
        {"GeUI beyond GeUC", InUnit(In("Emit", Then(Count("GeUC", 1), Empty("GeUI", 2))))},
        {"GeTI without GeTC", InUnit(In("Emit", Empty("GeTI")))},
        {"Prm2 after BnV1 0", Then(Count("BndC", 1), In("Bind", Then(Word16("BnV1", 0), Empty("Prm2"))))},
        {"Prm1 without BnV1", Then(Count("BndC", 1), In("Bind", Empty("Prm1")))},
        {"Prm1 after BnV1 2", Then(Count("BndC", 1), In("Bind", Then(Word16("BnV1", 2), Empty("Prm1"))))},
        {"IxD past its vertices", Model("VxR", 96, "IxD", {0, 1, 2})},
        {"IxMD past its vertices", Model("VxML", 48, "IxMD", {1})},
        {"IxE past the edge vertices", Model("VxE", 32, "IxE", {1, 2})},
        {"VNo past the edge vertices", Model("", 0, "VNo", {0})},
        {"type 13 index past its vertices",
         InUnit(In("Ptcl", Then(Count("PrV1", 13), In("DatP", Then(Data("VtxR", std::vector<uint8_t>(48, 0)), Data("Idx", {1, 0}))))))},
    };
}
// clang-format on

TEST(PackageDamage, EveryCaseFailsInTheMeasureBeforeAnythingIsMade) {
    for (const DamageCase& c : DamageCases()) {
        testsupport::RecordingDevice device;
        testsupport::FakeObjectListenner listener;
        Build built(Payload(c.write), &device, &listener);
        EXPECT_TRUE(built.measureFailed) << c.what;
        EXPECT_TRUE(device.creations.empty()) << c.what;
        EXPECT_TRUE(listener.textureNames.empty() && listener.soundNames.empty()) << c.what;
    }
}

TEST(PackageDamage, TheSameContentWithinItsLimitsLoads) {
    // One short of each limit.
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        Repeat(w, 14, [](ChunkWriter& x) { x.Begin("SchA").End().Begin("SchT").End(); });
        w.U32("TimC", 1).Begin("Tmln").I16("TlIC", 0).End();
        Units(w, [](ChunkWriter& x) {
            Repeat(x, 3, [](ChunkWriter& y) {
                y.Begin("Ptcl");
                Repeat(y, 6, [](ChunkWriter& z) { z.Begin("TUvS").End(); });
                y.End();
            });
            Repeat(x, 2, [](ChunkWriter& y) { y.Begin("Emit").End(); });
            x.Begin("Efct").End();
            Repeat(x, 20, [](ChunkWriter& y) { y.Begin("UTl1").End(); });
        });
    });
    Build built(payload);
    ASSERT_TRUE(built.Built());
    const FulgorCore::UnitResource* u = built->GetUnit(0);
    EXPECT_EQ(u->GetDrawPartCount(), 3u);
    EXPECT_EQ(u->GetEmitterPartCount(), 2u);
    EXPECT_EQ(u->GetEffectPartCount(), 1u);
    EXPECT_EQ(u->GetUnitTimelineCount(), 20u);
    EXPECT_EQ(built->GetTimeline(0)->GetItemCount(), 0u);
}

// Faults read as stated ------------------------------------------------------

TEST(PackageFaults, TheFirstDataChunkFixesTheType) {
    testsupport::RecordingDevice device;
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        Units(w, [](ChunkWriter& x) {
            // Type 9 data, then a type word of 4: still type 9.
            x.Begin("Ptcl").U32("PrV1", 9).Begin("DatP").F32("SizX", 3.0f).End();
            x.U32("PrV1", 4).Begin("DatP").Begin("MPDt").U32("CrCt", 7).I16("BPCt", 7).End().End();
            x.End();
            x.Begin("Emit").U32("EmV1", 2).Begin("DatE").End().U32("EmV1", 8).End();
            x.Begin("Efct").U32("FxV1", 1).Begin("DatF").End().U32("FxV1", 2).End();
        });
    });
    Build built(payload, &device);
    ASSERT_TRUE(built.Built());
    const FulgorCore::UnitResource* u = built->GetUnit(0);
    const FulgorCore::ParticleResource* part = u->GetDrawPart(0);
    EXPECT_EQ(part->GetDrawType(), 9u);
    ASSERT_NE(part->GetDrawDataType9(), nullptr);
    EXPECT_EQ(part->GetDrawDataType9()->GetSizeX(), 3.0f);
    EXPECT_EQ(part->GetDrawDataType4(), nullptr);
    EXPECT_EQ(u->GetEmitterPart(0)->GetKind(), 2u);
    EXPECT_NE(u->GetEmitterPart(0)->GetShape<2>(), nullptr);
    EXPECT_EQ(u->GetEmitterPart(0)->GetShape<8>(), nullptr);
    EXPECT_EQ(u->GetEffectPart(0)->GetKind(), 1u);
    EXPECT_EQ(u->GetEffectPart(0)->GetRadiusPair(), nullptr);
}

TEST(PackageFaults, DataBeforeItsTypeWordBuildsNothing) {
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        Units(w, [](ChunkWriter& x) {
            x.Begin("Ptcl").Begin("DatP").F32("SizX", 3.0f).End().U32("PrV1", 9).End();
        });
    });
    Build built(payload);
    ASSERT_TRUE(built.Built());
    const FulgorCore::ParticleResource* part = built->GetUnit(0)->GetDrawPart(0);
    EXPECT_EQ(part->GetDrawType(), 0u);
    EXPECT_EQ(part->GetDrawData(), nullptr);
    EXPECT_EQ(built->UsesOtherDraws(), 0u);
}

TEST(PackageFaults, UvSCAboveSixReadsAsSix) {
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        Units(w, [](ChunkWriter& x) { x.Begin("Ptcl").U32("UvSC", 7).End(); });
    });
    Build built(payload);
    const FulgorCore::ParticleResource* part = built->GetUnit(0)->GetDrawPart(0);
    EXPECT_EQ(part->GetUvLayerCount(), 6u);
    EXPECT_EQ(part->GetTextureLayerMask(), 0x3Fu);
    EXPECT_EQ(part->GetDrawType(), 0u);
}

TEST(PackageFaults, ShortFixedPayloadsAreZeroExtended) {
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        Units(w, [](ChunkWriter& x) {
            x.Begin("UTl1").I16("UTIC", 2).Bytes("UTI1", "\x01\x02\x03", 3);
            std::vector<uint8_t> longItem(20, 0xEE);
            x.Bytes("UTI1", longItem.data(), longItem.size()).End();
        });
    });
    Build built(payload);
    ASSERT_TRUE(built.Built());
    const FulgorCore::UnitTimelineResource* t = built->GetUnit(0)->GetUnitTimeline(0);
    const uint8_t first[14] = {1, 2, 3};
    EXPECT_EQ(std::memcmp(t->GetItem(0)->bytes, first, 14), 0);
    EXPECT_EQ(t->GetItem(1)->bytes[13], 0xEE);
    EXPECT_EQ(t->GetItemMask(), 3u);
}

TEST(PackageFaults, TimelineItemsTheFileLeftOutKeepTheDefaults) {
    const std::vector<uint8_t> payload = Payload([](ChunkWriter& w) {
        w.U32("TimC", 1).Begin("Tmln").I16("TlIC", 3);
        w.Begin("TmlI").I16("TgtI", 4).U16("EdFr", 9).End().End();
    });
    Build built(payload);
    ASSERT_TRUE(built.Built());
    const FulgorCore::TimelineResource* t = built->GetTimeline(0);
    ASSERT_EQ(t->GetItemCount(), 3u);
    EXPECT_EQ(t->GetItem(0)->target, 4);
    EXPECT_EQ(t->GetItem(0)->endFrame, 9);
    for (uint32_t i = 1; i < 3; ++i) {
        EXPECT_EQ(t->GetItem(i)->target, -1) << i;
        EXPECT_EQ(t->GetItem(i)->clipIndex, -1) << i;
        EXPECT_EQ(t->GetItem(i)->bind, -1) << i;
        EXPECT_EQ(t->GetItem(i)->type, 0) << i;
        EXPECT_EQ(t->GetClip(i), nullptr) << i;
    }
}

TEST(PackageFaults, TheImageIsNeverWritten) {
    testsupport::RecordingDevice device;
    PackageValue v;
    ModelValue m;
    m.stream1 = VertexStreamValue{ModelVertex(1, 2, 3, 10, 200, 1), true, std::vector<uint16_t>{0}};
    v.models.push_back(m);
    const std::vector<uint8_t> payload = Payload(v);
    const std::vector<uint8_t> copy = payload;
    {
        Build first(payload, &device);
        Build second(payload, &device);
        ASSERT_TRUE(first.Built() && second.Built());
    }
    EXPECT_EQ(payload, copy);
    // Both loads handed the device the same mirrored bytes.
    ASSERT_EQ(device.creations.size(), 4u);
    EXPECT_EQ(device.creations[0].initial, device.creations[2].initial);
    EXPECT_EQ(device.live, 0);
}

// Getters past their tables --------------------------------------------------

TEST(PackageGetters, IndicesPastTheirCountAnswerNothing) {
    PackageValue v;
    v.textures.resize(1);
    v.models.resize(1);
    v.binds.push_back(BindValue{uint16_t{0}, {}, {}, {}, AttachPointValue{}, {}, {}});
    v.timelines.push_back(ClipTimeline({"x"}));
    v.referenceCapacity = 1;
    UnitValue u;
    u.drawParts.push_back(PartOfType(1));
    EmitterValue e;
    e.kind = 1;
    e.spawnEntries.resize(1);
    e.timedEntries.resize(1);
    u.emitters.push_back(e);
    u.unitTimelines.resize(1);
    v.units.push_back(u);
    Build built(Payload(v));
    ASSERT_TRUE(built.Built());
    const PackageResource& p = *built;
    EXPECT_EQ(p.GetTexture(1), nullptr);
    EXPECT_EQ(p.GetTextureLabel(1), nullptr);
    EXPECT_EQ(p.GetModel(1), nullptr);
    EXPECT_EQ(p.GetBind(1), nullptr);
    EXPECT_EQ(p.GetTimeline(1), nullptr);
    EXPECT_EQ(p.GetUnit(1), nullptr);
    EXPECT_EQ(p.GetReference(1), nullptr);
    EXPECT_EQ(p.GetTrigger(14)->timeline, -1);
    EXPECT_EQ(p.GetAssignment(1000)->bind, -1);
    EXPECT_EQ(p.GetTimeline(0)->GetItem(1), nullptr);
    EXPECT_EQ(p.GetTimeline(0)->GetClip(1), nullptr);
    EXPECT_EQ(p.GetBind(0)->GetAttachPoint(1), nullptr);
    const FulgorCore::ModelResource* m = p.GetModel(0);
    EXPECT_EQ(m->GetEdgeVertex(0), nullptr);
    EXPECT_EQ(m->GetEdgeIndex(0), 0u);
    EXPECT_EQ(m->GetPoint(0), 0u);
    const FulgorCore::UnitResource* unit = p.GetUnit(0);
    EXPECT_EQ(unit->GetDrawPart(1), nullptr);
    EXPECT_EQ(unit->GetEmitterPart(1), nullptr);
    EXPECT_EQ(unit->GetEffectPart(0), nullptr);
    EXPECT_EQ(unit->GetUnitTimeline(1), nullptr);
    EXPECT_EQ(unit->GetUnitTimeline(0)->GetItem(0), nullptr);
    const FulgorCore::EmitterResource* emitter = unit->GetEmitterPart(0);
    EXPECT_EQ(emitter->GetSpawnEntry(1), nullptr);
    EXPECT_EQ(emitter->GetTimedEntry(1), nullptr);
    EXPECT_EQ(emitter->GetParentLink(4), -1);
    const FulgorCore::ParticleResource* part = unit->GetDrawPart(0);
    EXPECT_EQ(part->GetUvLayer(6), nullptr);
    EXPECT_EQ(part->GetColorLayer(3), nullptr);
    EXPECT_EQ(part->GetDistortionLayer(2), nullptr);
    EXPECT_EQ(part->GetTextureSlot(8), nullptr);
}

TEST(PackageGetters, OneBitGettersAnswerZeroOrOne) {
    PackageValue v;
    v.fields = {{"bPIT", 5}, {"bFCl", 1}, {"bDLV", 9}};
    UnitValue u;
    u.fields = {{"bFGr", 7}, {"bPCo", 1}, {"RUCl", 4}};
    DrawPartValue p = PartOfType(2);
    p.fields = {{"bDBT", 3}, {"bApL", 2}, {"SftP", 3}};
    u.drawParts.push_back(p);
    v.units.push_back(u);
    Build built(Payload(v));
    EXPECT_EQ(built->GetFlagPIT(), 1u);
    EXPECT_EQ(built->GetFlagFCl(), 1u);
    EXPECT_EQ(built->GetFlagDLV(), 1u);
    EXPECT_EQ(built->GetFlagDLS(), 0u);
    const FulgorCore::UnitResource* unit = built->GetUnit(0);
    EXPECT_EQ(unit->GetFlagFGr(), 1u);
    EXPECT_EQ(unit->GetFlagPCo(), 1u);
    EXPECT_EQ(unit->GetRUCl(), 1u);
    EXPECT_EQ(unit->GetRUSc(), 0u);
    const FulgorCore::ParticleResource* part = unit->GetDrawPart(0);
    EXPECT_EQ(part->GetFlagDBT(), 1u);
    EXPECT_EQ(part->GetFlagApL(), 1u);
    // "SftP" keeps bit 0 of its value.
    EXPECT_EQ(part->GetSftP(), 1u);
}

// Only kinds 1 and 2 own a record: kind 1 an empty one, kind 2 the radius
// pair read from "DatF", each placed in the block. Any other kind (0, 3, and
// 19, whose low four bits are 3) measures and places nothing for the same
// "DatF", so it has nothing to destroy. The first "DatF" fixes the kind.
TEST(EffectPart, OnlyKindsOneAndTwoPlaceARecord) {
    auto part = [](uint32_t kind, uint32_t laterKind) {
        return Payload([=](ChunkWriter& w) {
            w.U32("FxV1", kind).Begin("DatF").Begin("RadI").U8("PrVT", 0).End().End();
            w.U32("FxV1", laterKind).Begin("DatF").End();
        });
    };
    for (uint32_t kind : {0u, 3u, 19u}) {
        RecordBuild<FulgorCore::EffectPartResource> built(part(kind, 2));
        ASSERT_TRUE(built.Built()) << kind;
        EXPECT_EQ(built->GetKind(), kind & 15u);
        EXPECT_EQ(built->GetData(), nullptr) << kind;
        EXPECT_EQ(built->GetRadiusPair(), nullptr) << kind;
        EXPECT_EQ(built.measured, 0u) << kind;
        EXPECT_EQ(built.placed, 0u) << kind;
    }
    RecordBuild<FulgorCore::EffectPartResource> empty(part(1, 2));
    ASSERT_TRUE(empty.Built());
    EXPECT_EQ(empty->GetKind(), 1u);
    EXPECT_TRUE(empty.InBlock(empty->GetData()));
    EXPECT_EQ(empty->GetRadiusPair(), nullptr);
    EXPECT_GT(empty.measured, 0u);
    EXPECT_EQ(empty.placed, empty.measured);

    RecordBuild<FulgorCore::EffectPartResource> radii(part(2, 1));
    ASSERT_TRUE(radii.Built());
    EXPECT_EQ(radii->GetKind(), 2u);
    EXPECT_TRUE(radii.InBlock(radii->GetData()));
    EXPECT_EQ(static_cast<const void*>(radii->GetRadiusPair()),
              static_cast<const void*>(radii->GetData()));
    EXPECT_GT(radii.measured, empty.measured) << "the pair is larger than the empty record";
    EXPECT_EQ(radii.placed, radii.measured);
}

TEST(UnitSounds, AskedWithTheirWordAndReleasedThroughTheListener) {
    testsupport::FakeObjectListenner listener;
    listener.soundAnswer = 40;
    PackageValue v;
    UnitValue a;
    a.sound = "boom";
    a.soundParameter = 6;
    UnitValue silent;
    silent.sound = "";
    v.units = {a, silent, a};
    Build built(Payload(v), nullptr, &listener);
    ASSERT_TRUE(built.Built());
    EXPECT_EQ(listener.soundNames, (std::vector<std::string>{"boom", "boom"}));
    EXPECT_EQ(built->GetUnit(0)->GetSoundHandle(), 40u);
    EXPECT_EQ(built->GetUnit(1)->GetSoundHandle(), 0u);
    EXPECT_EQ(built->GetUnit(2)->GetSoundHandle(), 41u);
    built->ReleaseUnitSounds(nullptr);
    EXPECT_TRUE(listener.releasedSounds.empty());
    built->ReleaseUnitSounds(&listener);
    EXPECT_EQ(listener.releasedSounds, (std::vector<uint32_t>{40, 41}));
    // Without a listener nobody is asked.
    Build quiet(Payload(v));
    EXPECT_EQ(quiet->GetUnit(0)->GetSoundHandle(), 0u);
    EXPECT_STREQ(quiet->GetUnit(0)->GetSoundName(), "boom");
}

// Teardown -------------------------------------------------------------------

TEST(PackageTeardown, HalfBuiltPackagesGiveBackEverything) {
    // A package holding device buffers, textures and a named texture, built
    // into every shorter block (the build stops where the block ends) and
    // destroyed.
    PackageValue v;
    v.textures = {{std::string("a"), std::vector<uint8_t>(12, 1), std::nullopt},
                  {std::nullopt, std::nullopt, std::string("named")}};
    ModelValue m;
    m.stream1 = VertexStreamValue{ModelVertex(0, 0, 0, 0, 0, 0), false, std::vector<uint16_t>{0}};
    m.stream2 = VertexStreamValue{ModelVertex(0, 0, 0, 0, 0, 1), true, std::vector<uint16_t>{0}};
    v.models = {m, m};
    UnitValue u;
    DrawPartValue p;
    DrawDataType13Value mesh;
    mesh.vertices = ModelVertex(0, 0, 0, 0, 0, 2);
    mesh.indices = std::vector<uint16_t>{0, 0, 0};
    p.data = mesh;
    u.drawParts = {p, p};
    u.sound = "s";
    v.units = {u, u};
    const std::vector<uint8_t> payload = Payload(v);
    const Build whole(payload);
    ASSERT_TRUE(whole.Built());
    for (uint32_t blockSize = 0; blockSize <= whole.measured; blockSize += 16) {
        testsupport::RecordingDevice device;
        testsupport::FakeObjectListenner listener;
        testsupport::FakeTexture named(&device.live);
        listener.textures["named"] = &named;
        FulgorCore::RuntimeDataAllocator allocator;
        FulgorCore::BuildContext context{allocator, &device, &listener};
        std::unique_ptr<uint8_t[]> block(new uint8_t[blockSize + 16]());
        void* aligned = reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(block.get()) + 15) &
                                                ~uintptr_t{15});
        allocator.BeginBuild(aligned, blockSize);
        alignas(PackageResource) unsigned char storage[sizeof(PackageResource)];
        PackageResource* package = new (storage) PackageResource();
        package->Read(context, payload.data(), static_cast<uint32_t>(payload.size()));
        EXPECT_EQ(allocator.HasFailed(), blockSize < whole.measured) << blockSize;
        package->Destroy();
        EXPECT_EQ(device.live, 1) << blockSize; // the named texture the test holds
        EXPECT_EQ(named.References(), 1u) << blockSize;
    }
}

} // namespace
