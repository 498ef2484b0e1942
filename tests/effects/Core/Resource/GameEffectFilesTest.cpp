// The seven effect files the screens read, from the archives the build
// leaves in build/data, read as the game reads them and built with the fake
// device: names, lives, triggers, the clip of the last logo, and every draw
// type and emitter kind across them.
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/DrawDataType6.h"
#include "effects/Core/Resource/DrawDataType7.h"
#include "effects/Core/Resource/DrawDataType8.h"
#include "effects/Core/Resource/DrawDataType9.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/EmitterSpawnEntry.h"
#include "effects/Core/Resource/EmitterTimedEntry.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "sys/bytes.h"
#include "sys/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace {

using FulgorCore::MakeChunkTag;
using FulgorCore::PackageResource;
using Mireku::Resource::ResourceLoader;

struct GameEffect {
    const char* folder;
    const char* file;
    const char* name; // the name the screen registers it under
    // A logo one, the title intro and idle, the title's lantern, panel
    // and ring, one per menu entry; the
    // orientation quads (one in the second logo, seven in the setup); the
    // units behind the eye in the setup that build the vertex formats and
    // carriers the others leave out (twelve); the last logo's seven
    // particles that draw nothing (child effect, track groups, listener,
    // lag) and the menu's emitting host with its four; the first logo's
    // seven models, the second's four projection boxes, the third's five
    // meshes; one per mark of the screen layout (each with a texture of
    // its own); the menu's six names and, under each, the cursor's bar (a
    // texture each name, one for the bars); then the sparks their
    // emitters emit.
    uint32_t units;
    uint32_t textures;
};

const GameEffect kEffects[] = {
    {"logo", "logo_bg.vfxb", "vfx/logo_bg.vfxb", 4, 3},
    {"logo", "logo_ovk.vfxb", "vfx/logo_ovk.vfxb", 12, 5},
    {"logo", "logo_brondel_velmora.vfxb", "vfx/logo_brondel_velmora.vfxb", 11, 5},
    {"logo", "logo_fulgor.vfxb", "vfx/logo_fulgor.vfxb", 20, 7},
    {"title", "title_main.vfxb", "title/title_main.vfxb", 23, 8},
    {"game_menu", "game_menu.vfxb", "game_menu/game_menu.vfxb", 40, 20},
    {"setup", "setup.vfxb", "setup/setup.vfxb", 52, 4},
};

// Every texture is a DDS: the 4-byte magic, the 124-byte header, then its
// pixels. RGBA: 16 by 16 for the screens' own, 4 by 4 for each of the 35
// marks and the menu cursor's bar, and the first logo's reflection texture,
// a cube map (six faces) of 16 by 16 with its five mips (256 + 64 + 16 + 4
// + 1 texels a face). BC1 ("DXT1", half a byte a texel): each of the
// menu's six names, cut in whole blocks out of its 416 by 72 box.
struct TextureForm {
    uint32_t width, height, mips, faces;
    size_t count;
    size_t FileSize() const {
        size_t texels = 0;
        for (uint32_t w = width, h = height, m = 0; m < mips;
             ++m, w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1)
            texels += static_cast<size_t>(w) * h;
        return 4 + 124 + faces * texels * 4;
    }
};
constexpr TextureForm kTextureForms[] = {{16, 16, 1, 1, 9}, {4, 4, 1, 1, 36}, {16, 16, 5, 6, 1}};
constexpr uint32_t kMenuNames = 6, kNameBoxWidth = 416, kNameBoxHeight = 72;
constexpr uint32_t kDxt1 = 0x31545844;

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// One file read through the game's archives, its top level and its built
// package.
struct LoadedEffect {
    std::vector<uint8_t> image;
    uint32_t version = 0;
    std::string name;
    std::vector<uint8_t> pack;
    std::unique_ptr<testsupport::RecordBuild<PackageResource>> package;
};

class GameEffectFiles : public testing::Test {
protected:
    void SetUp() override {
        loader_.SetMode(ResourceLoader::kArchives);
        loader_.OpenArchive((sys::ExecutableFolder() + "data/vfx").c_str());
        for (const GameEffect& e : kEffects)
            Load(e);
    }
    void TearDown() override { loader_.Finalize(); }

    void Load(const GameEffect& e) {
        LoadedEffect& out = loaded_[e.name];
        void* data = nullptr;
        uint32_t size = 0;
        ASSERT_TRUE(loader_.ReadFile(&data, &size, e.folder, e.file)) << e.file;
        out.image.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        Mireku::Common::Heap::LockedFree(data);
        FulgorCore::ChunkWalker walker(out.image.data(), size);
        FulgorCore::Chunk chunk;
        while (walker.Next(chunk)) {
            if (chunk.tag == MakeChunkTag("Ver"))
                out.version = chunk.U32();
            else if (chunk.tag == MakeChunkTag("Name"))
                out.name = std::string(chunk.Text());
            else if (chunk.tag == MakeChunkTag("Pack"))
                out.pack.assign(chunk.payload, chunk.payload + chunk.size);
        }
        out.package = std::make_unique<testsupport::RecordBuild<PackageResource>>(
            out.pack, &device_, &listener_);
    }

    const PackageResource& Package(const char* name) { return **loaded_.at(name).package; }

    ResourceLoader loader_;
    testsupport::RecordingDevice device_;
    testsupport::FakeObjectListenner listener_;
    std::map<std::string, LoadedEffect> loaded_;
};

TEST_F(GameEffectFiles, EachBuildsUnderTheNameItsScreenGivesIt) {
    for (const GameEffect& e : kEffects) {
        const LoadedEffect& l = loaded_.at(e.name);
        EXPECT_EQ(l.version, 0x01010101u) << e.file;
        EXPECT_EQ(l.name, e.name) << e.file;
        ASSERT_TRUE(l.package->Built()) << e.file;
        EXPECT_EQ(l.package->placed, l.package->measured) << e.file;
        EXPECT_EQ((*l.package)->GetUnitCount(), e.units) << e.file;
        ASSERT_EQ((*l.package)->GetTextureCount(), e.textures) << e.file;
        for (uint32_t t = 0; t < e.textures; ++t)
            EXPECT_NE((*l.package)->GetTexture(static_cast<int32_t>(t)), nullptr) << e.file;
    }
    // Each texture came from the bytes of a DDS of one of the forms.
    size_t seen[std::size(kTextureForms)] = {};
    uint32_t names = 0;
    for (const auto& c : device_.creations) {
        if (c.kind != testsupport::RecordingDevice::Kind::Texture)
            continue;
        ASSERT_GE(c.initial.size(), 128u);
        EXPECT_EQ(std::string(c.initial.begin(), c.initial.begin() + 4), "DDS ");
        EXPECT_EQ(U32At(c.initial, 4), 124u);
        const uint32_t height = U32At(c.initial, 12), width = U32At(c.initial, 16);
        const uint32_t mips = std::max(U32At(c.initial, 28), 1u);
        if (U32At(c.initial, 84) == kDxt1) {
            EXPECT_TRUE(width % 4 == 0 && height % 4 == 0 && width <= kNameBoxWidth &&
                        height <= kNameBoxHeight && mips == 1)
                << width << " by " << height << ", " << mips << " mips";
            EXPECT_EQ(c.initial.size(), 128u + size_t{width} * height / 2);
            ++names;
            continue;
        }
        bool known = false;
        for (size_t k = 0; k < std::size(kTextureForms); ++k) {
            const TextureForm& form = kTextureForms[k];
            // A cube map's faces: the caps word's "all six faces" bits.
            const uint32_t faces = (U32At(c.initial, 112) & 0xFE00u) == 0xFE00u ? 6 : 1;
            if (width == form.width && height == form.height && mips == form.mips &&
                faces == form.faces) {
                EXPECT_EQ(c.initial.size(), form.FileSize()) << width << " by " << height;
                ++seen[k];
                known = true;
            }
        }
        EXPECT_TRUE(known) << width << " by " << height << ", " << mips << " mips";
    }
    for (size_t k = 0; k < std::size(kTextureForms); ++k)
        EXPECT_EQ(seen[k], kTextureForms[k].count) << kTextureForms[k].width << " by "
                                                   << kTextureForms[k].height;
    EXPECT_EQ(names, kMenuNames);
}

// The first logo's lit model is lit by the scene's light; without it the
// model would have the ambient alone.
TEST_F(GameEffectFiles, TheFirstLogoTakesTheScenesLight) {
    EXPECT_TRUE(Package("vfx/logo_ovk.vfxb").GetFlagDLS());
}

// The title shows the effect's own light and alpha fade: its package takes
// the effect light, a particle with a kind-1 extra unit lights a lit model,
// and a billboard under the alpha light sits on a particle with a kind-2
// extra unit.
TEST_F(GameEffectFiles, TheTitlesExtraUnitsLightAModelAndFadeABillboard) {
    const PackageResource& title = Package("title/title_main.vfxb");
    EXPECT_TRUE(title.GetFlagDLV());
    bool light = false, litModel = false, fadedOnRange = false;
    for (uint32_t i = 0; i < title.GetUnitCount(); ++i) {
        const FulgorCore::UnitResource* unit = title.GetUnit(i);
        const FulgorCore::EffectPartResource* extra = unit->GetEffectPart(0);
        const uint32_t kind = extra ? extra->GetKind() : 0;
        light = light || kind == 1;
        for (uint32_t k = 0; k < unit->GetDrawPartCount(); ++k) {
            const FulgorCore::ParticleResource* part = unit->GetDrawPart(k);
            const FulgorCore::DrawDataType5* model = part->GetDrawDataType5();
            litModel =
                litModel || (model && model->GetField(FulgorCore::DrawDataType5::kLighting) != 0);
            fadedOnRange = fadedOnRange || (part->GetFlagApL() != 0 && kind == 2);
        }
    }
    EXPECT_TRUE(light);
    EXPECT_TRUE(litModel);
    EXPECT_TRUE(fadedOnRange);
}

TEST_F(GameEffectFiles, LogosLiveAbout240FramesAndTheScreensLoop) {
    for (const char* logo : {"vfx/logo_bg.vfxb", "vfx/logo_ovk.vfxb",
                             "vfx/logo_brondel_velmora.vfxb", "vfx/logo_fulgor.vfxb"}) {
        float longest = 0.0f;
        for (uint32_t i = 0; i < Package(logo).GetUnitCount(); ++i)
            longest = std::max(longest, Package(logo).GetUnit(i)->GetLife());
        EXPECT_EQ(longest, 240.0f) << logo;
    }
    // The looping screens never reach a life; their last unit is the spark
    // their emitters emit, which lives 30 frames.
    for (const char* screen :
         {"title/title_main.vfxb", "game_menu/game_menu.vfxb", "setup/setup.vfxb"}) {
        const uint32_t last = Package(screen).GetUnitCount() - 1;
        for (uint32_t i = 0; i < last; ++i)
            EXPECT_EQ(Package(screen).GetUnit(i)->GetLife(), 0.0f) << screen;
        EXPECT_EQ(Package(screen).GetUnit(last)->GetLife(), 30.0f) << screen;
        EXPECT_EQ(Package(screen).GetUnit(last)->GetEmitterPartCount(), 0u) << screen;
    }
    // Setup loops its first 180 frames; the title's idle part loops from
    // frame 150 to 270.
    const FulgorCore::UnitResource* setup = Package("setup/setup.vfxb").GetUnit(0);
    EXPECT_EQ(setup->GetLoopStart(), 0.0f);
    EXPECT_EQ(setup->GetLoopEnd(), 180.0f);
    const FulgorCore::UnitResource* idle = Package("title/title_main.vfxb").GetUnit(1);
    EXPECT_EQ(idle->GetLoopStart(), 150.0f);
    EXPECT_EQ(idle->GetLoopEnd(), 270.0f);
}

// The title's accents carry the small draw types and every member choice
// a draw part makes: fields of each mode, flipbooks with and without the
// filter, size and colour off, constant and animated, the tint with both
// percentages, one and none, polygon offsets 0-4, and eight animated
// texture slots.
TEST_F(GameEffectFiles, TheTitleAccentsCoverTheDrawPartChoices) {
    const PackageResource& title = Package("title/title_main.vfxb");
    std::vector<uint32_t> types;
    std::set<uint32_t> biasModes, fieldModes, sizes, colours, tints;
    // Units 2-5: after the intro and the idle loop, before the spark.
    for (uint32_t u = 2; u < 6; ++u) {
        const FulgorCore::UnitResource* unit = title.GetUnit(u);
        for (uint32_t d = 0; d < unit->GetDrawPartCount(); ++d) {
            const FulgorCore::ParticleResource& part = *unit->GetDrawPart(d);
            types.push_back(part.GetDrawType());
            biasModes.insert(part.GetBiasMode());
            sizes.insert(part.GetFlagPDs() ? 1u + !part.GetDrawSize().IsConstant() : 0u);
            colours.insert(part.GetFlagPDc() ? 1u + !part.GetDrawColor().IsConstant() : 0u);
            tints.insert((part.GetApLD() > 0) + (part.GetApLE() > 0));
            if (const FulgorCore::DrawDataType4* field = part.GetDrawDataType4()) {
                fieldModes.insert(field->GetCountField(FulgorCore::DrawDataType4::kDTyp));
                EXPECT_EQ(field->GetCountField(FulgorCore::DrawDataType4::kCrCt), 5u);
                EXPECT_EQ(field->GetBPCt(), 3);
            }
            if (part.GetDrawType() == 5) {
                EXPECT_EQ(part.GetUsedTextureMask(), 0xFFu);
                EXPECT_EQ(part.GetAnimatedTextureMask(), 0xFFu);
            }
        }
    }
    EXPECT_EQ(types, (std::vector<uint32_t>{1, 3, 11, 11, 4, 4, 4, 4, 4, 5}));
    EXPECT_EQ(biasModes, (std::set<uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(fieldModes, (std::set<uint32_t>{0, 1, 2}));
    EXPECT_EQ(sizes, (std::set<uint32_t>{0, 1, 2}));
    EXPECT_EQ(colours, (std::set<uint32_t>{0, 1, 2}));
    EXPECT_EQ(tints, (std::set<uint32_t>{0, 1, 2}));
}

// The title's strips (units 6-8) and the menu backdrop's band: every point
// source, each once with CentreLine, the generated line in its four flag
// pairs, owner chains of "PUC" 0, 1 and 5, and texture sets 0-6.
TEST_F(GameEffectFiles, TheScreensStripsCoverSourcesFlagsAndFormats) {
    // The menu's backdrop follows its six entry units.
    constexpr uint32_t kMenuBackdrop = 6;
    using Strip = FulgorCore::DrawDataType6;
    std::set<uint32_t> formats, centreSources, lineFlags, chainLimits;
    std::vector<const FulgorCore::ParticleResource*> parts;
    const PackageResource& title = Package("title/title_main.vfxb");
    for (uint32_t u = 6; u < 9; ++u)
        for (uint32_t d = 0; d < title.GetUnit(u)->GetDrawPartCount(); ++d)
            parts.push_back(title.GetUnit(u)->GetDrawPart(d));
    const FulgorCore::UnitResource* backdrop =
        Package("game_menu/game_menu.vfxb").GetUnit(kMenuBackdrop);
    ASSERT_EQ(backdrop->GetDrawPartCount(), 2u);
    parts.push_back(backdrop->GetDrawPart(1));
    for (const FulgorCore::ParticleResource* part : parts) {
        const Strip* strip = part->GetDrawDataType6();
        ASSERT_NE(strip, nullptr);
        formats.insert(part->GetUvLayerCount());
        const uint32_t source = strip->GetFieldA(Strip::kType);
        const uint32_t centre = strip->GetFieldB(Strip::kECE);
        if (centre)
            centreSources.insert(source);
        if (source == 0)
            lineFlags.insert(strip->GetFieldB(Strip::kCPE) * 2 + centre);
        if (source == 1) {
            EXPECT_EQ(strip->GetPointCount(), 8u);
        }
        if (source == 2)
            chainLimits.insert(strip->GetFieldA(Strip::kPUC));
    }
    EXPECT_EQ(formats, (std::set<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(centreSources, (std::set<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(lineFlags, (std::set<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(chainLimits, (std::set<uint32_t>{0, 1, 5}));
}

// The trails behind the title's and the setup's circling particles (title
// units 9-12, setup units 25-27 after the backdrop and the compositions): every sub-kind in its four flag pairs,
// texture sets 0-6, MidKey middles at 0, n - 1, n and past the points, and
// trails kept in their parent's space.
TEST_F(GameEffectFiles, TheScreensTrailsCoverKindsFlagsMiddlesAndFormats) {
    using Trail = FulgorCore::DrawDataType12;
    std::set<uint32_t> formats, pairs, middles;
    uint32_t parentSpace = 0;
    const auto visit = [&](const PackageResource& package, uint32_t first, uint32_t end) {
        for (uint32_t u = first; u < end; ++u) {
            const FulgorCore::UnitResource* unit = package.GetUnit(u);
            for (uint32_t d = 0; d < unit->GetDrawPartCount(); ++d) {
                const FulgorCore::ParticleResource* part = unit->GetDrawPart(d);
                const Trail* trail = part->GetDrawDataType12();
                ASSERT_NE(trail, nullptr) << u << " " << d;
                formats.insert(part->GetUvLayerCount());
                const uint32_t midKey = trail->GetField(Trail::kCPE);
                pairs.insert(trail->GetField(Trail::kTDT) * 4 + midKey * 2 +
                             trail->GetField(Trail::kECE));
                const uint32_t n = trail->GetField(Trail::kPtCn);
                const uint32_t m = trail->GetField(Trail::kPtCN);
                if (midKey)
                    middles.insert(m == 0 ? 0u : m + 1 == n ? 1u : m == n ? 2u : m > n ? 3u : 4u);
                parentSpace += trail->GetField(Trail::kLHE);
            }
        }
    };
    visit(Package("title/title_main.vfxb"), 9, 13);
    visit(Package("setup/setup.vfxb"), 25, 28);
    std::set<uint32_t> everyPair;
    for (uint32_t k = 0; k < 20; ++k)
        everyPair.insert(k);
    EXPECT_EQ(pairs, everyPair);
    EXPECT_EQ(formats, (std::set<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(middles, (std::set<uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(parentSpace, 2u);
}

TEST_F(GameEffectFiles, TriggersOfTheTitleAndTheMenuStartTimelines) {
    const PackageResource& title = Package("title/title_main.vfxb");
    // Bit 1 fires entry 0: the skip to the idle part.
    ASSERT_GE(title.GetTrigger(0)->timeline, 0);
    EXPECT_NE(title.GetTimeline(title.GetTrigger(0)->timeline), nullptr);
    EXPECT_EQ(title.GetTrigger(1)->timeline, -1);

    const PackageResource& menu = Package("game_menu/game_menu.vfxb");
    // Six entries, the backdrop, four units of rings and circles, the
    // emitting host and its four particles, five marks shown throughout,
    // six highlight marks, six names each with its cursor bar, the spark.
    EXPECT_EQ(menu.GetUnitCount(), 40u);
    constexpr int16_t kFirstHighlightMark = 21, kFirstName = 27;
    constexpr uint16_t kCut = 2, kEndless = 3;
    std::set<int16_t> timelines;
    for (uint32_t entry = 0; entry < 13; ++entry) {
        SCOPED_TRACE(entry);
        const FulgorCore::PartAssignment* t = menu.GetTrigger(entry);
        if (entry == 6) {
            EXPECT_EQ(t->timeline, -1);
            continue;
        }
        ASSERT_GE(t->timeline, 0);
        const FulgorCore::TimelineResource* timeline = menu.GetTimeline(t->timeline);
        ASSERT_NE(timeline, nullptr);
        EXPECT_EQ(t->bind, -1);
        timelines.insert(t->timeline);
        // Highlight entry k and decision entry k + 7 act on menu unit k.
        const int16_t unit = static_cast<int16_t>(entry < 6 ? entry : entry - 7);
        const FulgorCore::TimelineItem* first = timeline->GetItem(0);
        EXPECT_EQ(first->target, unit);
        if (entry >= 6) {
            // A decision plays the entry for its span.
            EXPECT_EQ(timeline->GetItemCount(), 1u);
            EXPECT_EQ(first->lct, kCut);
            continue;
        }
        // A highlight lights the entry, its mark and the bar under its name
        // until the next highlight fades out every other triggered timeline
        // (criterion 7) over 12 frames.
        std::set<int16_t> lit;
        uint32_t fades = 0;
        for (uint32_t i = 0; i < timeline->GetItemCount(); ++i) {
            const FulgorCore::TimelineItem* item = timeline->GetItem(i);
            EXPECT_EQ(item->startFrame, 0u) << i;
            if (item->type == 1) {
                const FulgorCore::TimelineClip* clip = timeline->GetClip(i);
                ASSERT_NE(clip, nullptr) << i;
                EXPECT_EQ(clip->GetCommand(), MakeChunkTag("KILL")) << i;
                EXPECT_EQ(sys::LoadU32(clip->bytes + 4), 7u) << "criterion";
                EXPECT_EQ(sys::LoadU32(clip->bytes + 12), 12u) << "fade frames";
                ++fades;
                continue;
            }
            EXPECT_EQ(item->lct, kEndless) << i;
            lit.insert(item->target);
        }
        EXPECT_EQ(fades, 1u);
        EXPECT_EQ(lit, (std::set<int16_t>{unit, static_cast<int16_t>(kFirstHighlightMark + unit),
                                          static_cast<int16_t>(kFirstName + 2 * unit + 1)}));
    }
    EXPECT_EQ(timelines.size(), 12u);
}

TEST_F(GameEffectFiles, TheMenusRingsCirclesAndQuadsCoverAxesCountsAndFormats) {
    const PackageResource& menu = Package("game_menu/game_menu.vfxb");
    std::set<uint32_t> axes, segments, formats, centreLines;
    uint32_t circles = 0, quads = 0, cones = 0;
    for (uint32_t u = 0; u < menu.GetUnitCount(); ++u) {
        const FulgorCore::UnitResource* unit = menu.GetUnit(u);
        for (uint32_t d = 0; d < unit->GetDrawPartCount(); ++d) {
            const FulgorCore::ParticleResource* part = unit->GetDrawPart(d);
            if (const FulgorCore::DrawDataType7* ring = part->GetDrawDataType7()) {
                axes.insert(unit->GetBAxs());
                segments.insert(ring->GetPointCount());
                centreLines.insert(ring->GetFlags() & 1);
                formats.insert(part->GetUvLayerCount());
                const float lift =
                    ring->GetFloat(FulgorCore::DrawDataType7::kHei).EvaluatePlain({});
                cones += lift != 0.0f ? 1 : 0;
            } else if (part->GetDrawDataType8()) {
                axes.insert(unit->GetBAxs());
                formats.insert(part->GetUvLayerCount());
                ++circles;
            } else if (const FulgorCore::DrawDataType9* quad = part->GetDrawDataType9()) {
                quads += quad->GetPivot()[0] != 0.0f ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(axes, (std::set<uint32_t>{0, 1, 2}));
    // 2 and 70 are held to 3 and 64 when drawn.
    EXPECT_EQ(segments, (std::set<uint32_t>{2, 3, 23, 64, 70}));
    EXPECT_EQ(formats, (std::set<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(centreLines, (std::set<uint32_t>{0, 1}));
    EXPECT_EQ(circles, 4u) << "three of growing counts and the circle mark";
    EXPECT_GE(cones, 1u);
    EXPECT_EQ(quads, 5u) << "the pivoted plates of entries 1-5";
}

TEST_F(GameEffectFiles, TheLastLogoPlaysTheBackgroundThroughAClip) {
    const PackageResource& logo = Package("vfx/logo_fulgor.vfxb");
    ASSERT_EQ(logo.GetReferenceCount(), 1u);
    EXPECT_STREQ(logo.GetReference(0)->name, "vfx/logo_bg.vfxb");
    const FulgorCore::TimelineClip* clip = logo.GetTimeline(0)->GetClip(0);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->GetCommand(), MakeChunkTag("VFXC"));
    EXPECT_EQ(logo.GetTimeline(0)->GetItem(0)->type, 1);
    for (const GameEffect& e : kEffects) {
        if (std::string(e.name) != "vfx/logo_fulgor.vfxb") {
            EXPECT_EQ(Package(e.name).GetReferenceCount(), 0u) << e.name;
        }
    }
}

TEST_F(GameEffectFiles, TogetherTheyUseEveryDrawTypeEmitterKindAndModelForm) {
    std::set<uint32_t> drawTypes;
    std::set<uint32_t> emitterKinds;
    for (const GameEffect& e : kEffects) {
        const PackageResource& p = Package(e.name);
        for (uint32_t u = 0; u < p.GetUnitCount(); ++u) {
            const FulgorCore::UnitResource* unit = p.GetUnit(u);
            for (uint32_t d = 0; d < unit->GetDrawPartCount(); ++d) {
                EXPECT_NE(unit->GetDrawPart(d)->GetDrawData(), nullptr) << e.name;
                drawTypes.insert(unit->GetDrawPart(d)->GetDrawType());
            }
            for (uint32_t k = 0; k < unit->GetEmitterPartCount(); ++k) {
                EXPECT_NE(unit->GetEmitterPart(k)->GetShapeBase(), nullptr) << e.name;
                emitterKinds.insert(unit->GetEmitterPart(k)->GetKind());
            }
        }
    }
    EXPECT_EQ(drawTypes, (std::set<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(emitterKinds, (std::set<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Package("title/title_main.vfxb").UsesProjectionDraw(), 1u);

    const PackageResource& menu = Package("game_menu/game_menu.vfxb");
    ASSERT_EQ(menu.GetModelCount(), 1u);
    const FulgorCore::ModelResource* model = menu.GetModel(0);
    EXPECT_NE(model->GetMeshSet().vertexBuffer1, nullptr);
    EXPECT_EQ(model->GetMeshSet().indexCount1, 6u);
    EXPECT_EQ(model->GetEdgeVertexCount(), 4u);
    EXPECT_EQ(model->GetLastAreaIndex(), 2u);
    // The plate is 240 by 48: two triangles of 5760, the last cumulative
    // entry 11520, shrunk by 0.9995.
    EXPECT_FLOAT_EQ(model->GetTotalArea(), 11520.0f * 0.9995f);
    ASSERT_EQ(menu.GetBindCount(), 1u);
    EXPECT_EQ(menu.GetBind(0)->GetAttachPointCount(), 2u);
    EXPECT_STREQ(menu.GetBind(0)->GetAttachPoint(1)->GetName(), "label");
}

// The title's timelines: the skip, the accents, then twenty glints (the
// first two on its bound systems) and, last, one the default selection word
// (bits 0-7) leaves out; across the seven, every sort mode, the distance
// fade and each angle mode.
TEST_F(GameEffectFiles, TheTitlesTimelinesAndTheSortModesAndFadesAcrossTheSeven) {
    const PackageResource& title = Package("title/title_main.vfxb");
    const uint32_t count = title.GetTimelineCount();
    ASSERT_GE(count, 3u);
    const int16_t last = static_cast<int16_t>(count - 1);
    const FulgorCore::TimelineResource* glints = title.GetTimeline(count - 2);
    ASSERT_EQ(glints->GetItemCount(), 20u);
    EXPECT_EQ(glints->GetItem(0)->bind, 0);
    EXPECT_EQ(glints->GetItem(1)->bind, 1);
    EXPECT_EQ(glints->GetItem(2)->bind, -1);
    const FulgorCore::TimelineResource* hidden = title.GetTimeline(count - 1);
    ASSERT_GT(hidden->GetItemCount(), 0u);
    for (uint32_t i = 0; i < hidden->GetItemCount(); ++i)
        EXPECT_EQ(hidden->GetItem(i)->flags & 0xFFu, 0u);
    ASSERT_EQ(title.GetBindCount(), 2u);
    EXPECT_EQ(title.GetBind(0)->GetAttachPointCount(), 1u);
    EXPECT_EQ(title.GetBind(1)->GetAttachPointCount(), 2u);
    // The last two places in use (of 14) play the glints and the left-out
    // timeline.
    uint32_t places = 0;
    while (places < 14 && title.GetAssignment(places)->timeline >= 0)
        ++places;
    ASSERT_GE(places, 2u);
    EXPECT_EQ(title.GetAssignment(places - 2)->timeline, last - 1);
    EXPECT_EQ(title.GetAssignment(places - 1)->timeline, last);

    std::set<uint32_t> sortModes;
    std::set<uint32_t> angleModes;
    uint32_t distanceFades = 0;
    for (const GameEffect& e : kEffects) {
        const PackageResource& p = Package(e.name);
        sortModes.insert(p.GetDOT());
        if (p.GetFlagDsF() && p.GetDistanceFade())
            ++distanceFades;
        if (p.GetFlagAgF() && p.GetAngleFade())
            angleModes.insert(p.GetAngleFade()->GetType());
    }
    EXPECT_EQ(sortModes, (std::set<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(angleModes, (std::set<uint32_t>{0, 1, 2, 3}));
    EXPECT_GE(distanceFades, 1u);
}

// Together the files turn particles by every orientation mode of set 0
// and by mode 1 of set 1, and one turns its velocity.
TEST_F(GameEffectFiles, TogetherTheyUseEveryOrientationModeOfSetsZeroAndOne) {
    std::set<std::pair<uint32_t, uint32_t>> used;
    uint32_t turningVelocities = 0;
    for (const GameEffect& e : kEffects) {
        const PackageResource& p = Package(e.name);
        for (uint32_t i = 0; i < p.GetUnitCount(); ++i) {
            const FulgorCore::UnitResource* u = p.GetUnit(i);
            used.insert({p.GetOrientationSet(), u->GetOrientationMode()});
            if (u->HasVelocityRotation() && !u->GetVelocityRotationProperty().IsZero())
                ++turningVelocities;
        }
    }
    for (uint32_t mode = 0; mode <= 6; ++mode)
        EXPECT_TRUE(used.count({0u, mode})) << "set 0 mode " << mode;
    EXPECT_TRUE(used.count({1u, 1u}));
    EXPECT_GE(turningVelocities, 2u);
}

// Together the files hold every particle class (draw, emitter and extra
// part counts), extra kinds 1 and 2, start and end events at once and
// late, and draw parts on every list 0-6.
TEST_F(GameEffectFiles, TogetherTheyHoldEveryParticleClassAndList) {
    std::set<uint32_t> classes, extraKinds, lists;
    std::set<std::pair<uint32_t, bool>> events; // (start 1 or end 2, late)
    for (const GameEffect& e : kEffects) {
        const PackageResource& p = Package(e.name);
        for (uint32_t u = 0; u < p.GetUnitCount(); ++u) {
            const FulgorCore::UnitResource* unit = p.GetUnit(u);
            classes.insert((unit->GetDrawPartCount() * 3 + unit->GetEmitterPartCount()) * 2 +
                           unit->GetEffectPartCount());
            if (unit->GetEffectPartCount())
                extraKinds.insert(unit->GetEffectPart(0)->GetKind());
            for (uint32_t d = 0; d < unit->GetDrawPartCount(); ++d)
                lists.insert(unit->GetDrawPart(d)->GetDrawPriority());
            for (uint32_t k = 0; k < unit->GetEmitterPartCount(); ++k) {
                const FulgorCore::EmitterResource* emitter = unit->GetEmitterPart(k);
                for (uint32_t i = 0; i < emitter->GetSpawnEntryCount(); ++i) {
                    const FulgorCore::EmitterSpawnEntry* entry = emitter->GetSpawnEntry(i);
                    if (entry->GetGeIT() == 1 || entry->GetGeIT() == 2)
                        events.insert({entry->GetGeIT(), entry->GetGeSD() > 0});
                }
            }
        }
    }
    EXPECT_EQ(classes.size(), 24u);
    EXPECT_EQ(extraKinds, (std::set<uint32_t>{1, 2}));
    for (uint32_t list = 0; list <= 6; ++list)
        EXPECT_EQ(lists.count(list), 1u) << list;
    EXPECT_EQ(events.size(), 4u);
}

// What the seven files ask of the particles they emit and play: for each
// of colour, scale, rotation and translation the ways its member is chosen;
// the accelerations and the speed factor; the emissions' transform and
// colour modes; the track groups; the listener's particle, the lagging one
// and the child effect; the menu's attaching emitter and its timers.
struct ParticleSurvey {
    enum Way {
        kOwnFlag,         // animated by the unit's own flag
        kSharedNamed,     // shared from a unit named by a positive index that has it
        kSharedUnnamed,   // shared with no unit named: the unit's own values
        kInheritAnimated, // animated and inherited from an attached unit
        kInheritOnly,     // inherited from an attached unit, not animated
        kNeither,         // emitted, neither animated nor inherited
        kWays
    };
    bool ways[4][kWays] = {};
    bool accelerations[3][2] = {}; // local, world, speed factor: without, with
    std::set<uint32_t> transformModes, colourModes, trackGroups;
    bool relativeFromNoPoint = false, relativeFromPoint = false;
    bool listener = false, lagging = false;
    uint32_t mostTimers = 0;
    bool periodic = false, byDistance = false;
};

// The unit's four properties in the order colour, scale, rotation,
// translation: animated by its flag, shared, and the link flag taking it.
bool OwnFlag(const FulgorCore::UnitResource& u, int p) {
    return p == 0   ? u.IsColourAnimated()
           : p == 1 ? u.IsScaleAnimated()
           : p == 2 ? u.IsRotationAnimated()
                    : u.IsTranslationAnimated();
}
bool Shares(const FulgorCore::UnitResource& u, int p) {
    return p == 0   ? u.SharesColourData()
           : p == 1 ? u.SharesScaleData()
           : p == 2 ? u.SharesRotationData()
                    : u.SharesTranslationData();
}
bool Inherits(const FulgorCore::EmitterSpawnEntry& e, int p) {
    using E = FulgorCore::EmitterSpawnEntry;
    return e.GetField(p == 0 ? E::kPLCl : p == 1 ? E::kPLSc : p == 2 ? E::kPLRt : E::kPLPs) != 0;
}

void Survey(const PackageResource& package, ParticleSurvey& s) {
    using E = FulgorCore::EmitterSpawnEntry;
    using S = ParticleSurvey;
    for (uint32_t i = 0; i < package.GetUnitCount(); ++i) {
        const FulgorCore::UnitResource& u = *package.GetUnit(i);
        const int32_t named = u.GetSharedDataUnitIndex();
        for (int p = 0; p < 4; ++p) {
            s.ways[p][S::kOwnFlag] |= OwnFlag(u, p) && !Shares(u, p);
            s.ways[p][S::kSharedNamed] |= Shares(u, p) && named >= 0 && !OwnFlag(u, p) &&
                                          package.GetUnit(static_cast<uint32_t>(named)) &&
                                          OwnFlag(*package.GetUnit(static_cast<uint32_t>(named)), p);
            s.ways[p][S::kSharedUnnamed] |= Shares(u, p) && named < 0 && !OwnFlag(u, p);
        }
        const bool has[3] = {u.HasAcceleration(), u.HasWorldAcceleration(), u.HasSpeedFactor()};
        for (int k = 0; k < 3; ++k)
            s.accelerations[k][has[k] ? 1 : 0] = true;
        if (u.GetFlagAME())
            s.trackGroups.insert(u.GetAnimScale() | u.GetAnimRotation() << 1 |
                                 u.GetAnimTranslate() << 2);
        s.listener |= u.GetFlagFGr() != 0;
        s.lagging |= u.GetFlagPFc() && !u.GetFuCt().IsOne();
        for (uint32_t k = 0; k < u.GetEmitterPartCount(); ++k) {
            const FulgorCore::EmitterResource& emitter = *u.GetEmitterPart(k);
            const bool hasPoints = emitter.GetKind() == 1 || emitter.GetKind() >= 5;
            for (uint32_t n = 0; n < emitter.GetSpawnEntryCount(); ++n) {
                const E& entry = *emitter.GetSpawnEntry(n);
                const FulgorCore::UnitResource* target = package.GetUnit(entry.GetTgUI());
                if (!target)
                    continue;
                const uint32_t mode = entry.GetField(E::kApCd);
                s.transformModes.insert(mode);
                s.colourModes.insert(entry.GetField(E::kApCl));
                if (mode == 3 && entry.GetField(E::kApbT))
                    (hasPoints ? s.relativeFromPoint : s.relativeFromNoPoint) = true;
                const int32_t link = emitter.GetParentLink(entry.GetPLNo());
                const bool linked = link >= 0 && package.GetUnit(static_cast<uint32_t>(link));
                for (int p = 0; p < 4; ++p) {
                    const bool animated = OwnFlag(*target, p) || Shares(*target, p);
                    const bool inherited = linked && Inherits(entry, p);
                    s.ways[p][S::kInheritAnimated] |= inherited && animated;
                    s.ways[p][S::kInheritOnly] |= inherited && !animated;
                    s.ways[p][S::kNeither] |= !inherited && !animated;
                }
            }
            s.mostTimers = std::max(s.mostTimers, emitter.GetTimedEntryCount());
            for (uint32_t n = 0; n < emitter.GetTimedEntryCount(); ++n) {
                const FulgorCore::EmitterTimedEntry& timer = *emitter.GetTimedEntry(n);
                const E* entry = emitter.GetSpawnEntry(timer.GetTgtI());
                s.periodic |= timer.GetGnIv() > 0.0f;
                s.byDistance |= entry && entry->GetField(E::kApCd) == 0 &&
                                std::bit_cast<float>(timer.GetGnDI()) > 0.0f;
            }
        }
    }
}

TEST_F(GameEffectFiles, TogetherTheyBuildParticlesEveryWayTheirDataAllows) {
    ParticleSurvey s;
    for (const GameEffect& e : kEffects)
        Survey(Package(e.name), s);
    struct Row {
        std::string name;
        bool holds;
    };
    std::vector<Row> rows;
    const char* const properties[4] = {"colour", "scale", "rotation", "translation"};
    const char* const ways[ParticleSurvey::kWays] = {
        "animated by its own flag",
        "shared from a unit named by a positive index",
        "shared with no unit named",
        "animated and inherited from an attached unit",
        "inherited from an attached unit, not animated",
        "emitted neither animated nor inherited"};
    for (int p = 0; p < 4; ++p)
        for (int w = 0; w < ParticleSurvey::kWays; ++w)
            rows.push_back({std::string(properties[p]) + " " + ways[w], s.ways[p][w]});
    const char* const accelerations[3] = {"acceleration", "world acceleration", "speed factor"};
    for (int k = 0; k < 3; ++k) {
        rows.push_back({std::string("a unit without ") + accelerations[k], s.accelerations[k][0]});
        rows.push_back({std::string("a unit with ") + accelerations[k], s.accelerations[k][1]});
    }
    for (uint32_t mode = 0; mode < 4; ++mode) {
        rows.push_back({"transform mode " + std::to_string(mode) + " of an emission",
                        s.transformModes.count(mode) == 1});
        rows.push_back({"colour mode " + std::to_string(mode) + " of an emission",
                        s.colourModes.count(mode) == 1});
    }
    rows.push_back({"mode 3 relative from an emitter without points", s.relativeFromNoPoint});
    rows.push_back({"mode 3 relative flag from a shape's point", s.relativeFromPoint});
    for (const auto& [group, name] : {std::pair<uint32_t, const char*>{1, "scale tracks alone"},
                                      {2, "rotation tracks alone"},
                                      {4, "translation tracks alone"},
                                      {7, "all three track groups"}})
        rows.push_back({name, s.trackGroups.count(group) == 1});
    rows.push_back({"a particle whose position the listener hears", s.listener});
    rows.push_back({"a particle lagging behind its motion", s.lagging});
    rows.push_back({"nine timers of one emitter (two blocks)", s.mostTimers >= 9});
    rows.push_back({"a periodic timer", s.periodic});
    rows.push_back({"a timer by distance", s.byDistance});

    // The last logo: a particle whose child effect is the background.
    const PackageResource& logo = Package("vfx/logo_fulgor.vfxb");
    bool child = false;
    for (uint32_t i = 0; i < logo.GetUnitCount(); ++i) {
        const char* name = logo.GetUnit(i)->GetReferenceName();
        child |= name && std::string(name) == "vfx/logo_bg.vfxb";
    }
    rows.push_back({"the last logo's particle playing the background", child});
    // The menu: kind 5 attaching units -1, 3, -1, 5, which animate their
    // scale and colour.
    const PackageResource& menu = Package("game_menu/game_menu.vfxb");
    bool attaching = false;
    for (uint32_t i = 0; i < menu.GetUnitCount(); ++i) {
        for (uint32_t k = 0; k < menu.GetUnit(i)->GetEmitterPartCount(); ++k) {
            const FulgorCore::EmitterResource& e = *menu.GetUnit(i)->GetEmitterPart(k);
            attaching |= e.GetKind() == 5 && e.HasParentLinks() && e.GetParentLink(0) == -1 &&
                         e.GetParentLink(1) == 3 && e.GetParentLink(2) == -1 &&
                         e.GetParentLink(3) == 5;
        }
    }
    rows.push_back({"the menu's kind 5 attaching -1, 3, -1, 5", attaching});
    for (uint32_t unit : {3u, 5u}) {
        const FulgorCore::UnitResource& u = *menu.GetUnit(unit);
        rows.push_back({"menu unit " + std::to_string(unit) + " animating scale and colour",
                        u.IsScaleAnimated() && u.IsColourAnimated()});
    }
    for (const Row& row : rows)
        EXPECT_TRUE(row.holds) << row.name;
}

TEST_F(GameEffectFiles, DestroyingThemGivesEveryDeviceObjectBack) {
    EXPECT_GT(device_.live, 0);
    loaded_.clear();
    EXPECT_EQ(device_.live, 0);
}

} // namespace
