// The game's seven effect files on the running effects runtime (with the
// recording device): read from the archives the build leaves, as the
// screens read them, registered in the screens' order, played headless,
// released; every truncation of each loads or fails cleanly; the effects
// never touch the game's random streams; the title and the menu drawn use
// the unit pool alike in two runs; the particles of the menu and the last
// logo that draw nothing are built every way their data allows; the
// title's lantern and ring cycle for as long as it plays.
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/RandomManager.h"
#include "support/RandomStreamsCheck.h"
#include "support/effects/GameEffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "sys/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceSlot;
using FulgorCore::ObjectHandle;
using Mireku::Resource::ChildResourceLoader;
using Mireku::Resource::ResourceLoader;
using testsupport::Frame;
using testsupport::Record;
namespace Engine = FulgorCore::Engine;

using ScreenEffect = testsupport::GameEffectFile;
const auto& kEffects = testsupport::kGameEffectFiles;
constexpr size_t kEffectCount = sizeof(kEffects) / sizeof(kEffects[0]);
constexpr size_t kLogoFulgor = 3;
constexpr size_t kTitle = 4;
constexpr size_t kMenu = 5;

class GameEffectPlay : public testing::Test {
protected:
    void SetUp() override {
        loader_ = ResourceLoader::CreateInstance();
        ASSERT_TRUE(loader_ && loader_->Initialize({}));
        loader_->SetMode(ResourceLoader::kArchives);
        loader_->OpenArchive((sys::ExecutableFolder() + "data/vfx").c_str());
        files_ = FileLoader::CreateInstance();
        files_->SetSynchronous(true);
        random_ = RandomManager::CreateInstance();
        random_->SeedFixed();
        // The game's sizes: 4096 unit blocks, 100 effects, 1000 instances.
        runtime_.units.assign(4096 * FulgorCore::kUnitBlockStride, 0);
        runtime_.parameter.UnitInstanceMemory = runtime_.units.data();
        runtime_.parameter.UnitInstanceMemorySize = 4096 * FulgorCore::kUnitBlockStride;
        runtime_.cache.assign(8 << 20, 0);
        runtime_.parameter.CacheBufferMemory = runtime_.cache.data();
        runtime_.parameter.CacheBufferMemorySize = 8 << 20;
        runtime_.parameter.ObjectMaxCount = 100;
        runtime_.parameter.InstanceMaxCount = 1000;
        ASSERT_TRUE(runtime_.Start());
        baselineDevice_ = runtime_.device.live;
        baselineBlocks_ = testsupport::CountingAllocator::LiveCount();
        for (const ScreenEffect& e : kEffects) {
            current_ = &e;
            files_->Load(Mireku::Resource::LoadStep(this, &GameEffectPlay::ReadStep));
        }
    }
    void TearDown() override {
        Engine::Finalize();
        EXPECT_EQ(runtime_.device.live, 0);
        RandomManager::DestroyInstance();
        FileLoader::DestroyInstance();
        ResourceLoader::DestroyInstance();
    }

    // The loader step of a screen: the file through the child loader, then
    // registered with the object listener.
    void ReadStep(ChildResourceLoader& loader, const void*) {
        ASSERT_TRUE(loader.Read(current_->folder, current_->file)) << current_->file;
        const auto* bytes = static_cast<const uint8_t*>(loader.GetData());
        images_.emplace_back(bytes, bytes + loader.GetSize());
        handles_.push_back(Engine::LoadResource(loader.GetData(), loader.GetSize(), &objects_));
    }

    const FulgorCore::ObjectSlot& Effect(size_t i) const {
        return Engine::GetWorkData()->objects.base[handles_[i].index];
    }
    InstanceHandle Play(size_t effect, uint8_t loop = 0) {
        const InstanceHandle h =
            Engine::CreateInstance(handles_[effect].index, handles_[effect].serial, &instances_);
        Engine::PlayInstance(h.index, h.serial, 1.0f, loop);
        return h;
    }
    std::set<int> RootChildIds(InstanceHandle h) const {
        std::set<int> ids;
        if (const FulgorCore::InstanceRootUnit* root = Record(h)->root)
            for (const FulgorCore::UnitInstance* c = root->firstChild; c; c = c->nextSibling)
                ids.insert(c->timelineId);
        return ids;
    }
    // The package units of the particles that the root's timeline of id
    // `id` plays.
    std::set<int> UnitsOfTimeline(InstanceHandle h, int id) const {
        std::set<int> units;
        const FulgorCore::InstanceRootUnit* root = Record(h)->root;
        if (!root)
            return units;
        for (const FulgorCore::UnitInstance* t = root->firstChild; t; t = t->nextSibling) {
            if (t->timelineId != id)
                continue;
            for (const FulgorCore::UnitInstance* c = t->firstChild; c; c = c->nextSibling) {
                if (c->GetKind() != FulgorCore::UnitInstance::kParticleNode)
                    continue;
                const auto* particle = static_cast<const FulgorCore::ParticleInstance*>(c);
                for (uint32_t u = 0; u < root->package->GetUnitCount(); ++u)
                    if (root->package->GetUnit(u) == particle->unitData)
                        units.insert(static_cast<int>(u));
            }
        }
        return units;
    }

    // On a runtime of the game's sizes: the title and the menu played and
    // drawn for 600 frames, the title's bit 1 raised every 100 frames and the
    // menu's highlight and decision bits one every 20; the pool's used count
    // after each frame, then after the release (last entry).
    std::vector<uint32_t> PlayTitleAndMenu() {
        testsupport::FakeInstanceListenner listener;
        testsupport::RuntimeStartup runtime;
        runtime.units.assign(4096 * FulgorCore::kUnitBlockStride, 0);
        runtime.parameter.UnitInstanceMemory = runtime.units.data();
        runtime.parameter.UnitInstanceMemorySize = 4096 * FulgorCore::kUnitBlockStride;
        runtime.parameter.ObjectMaxCount = 100;
        runtime.parameter.InstanceMaxCount = 1000;
        std::vector<uint32_t> used;
        if (!runtime.Start())
            return used;
        std::vector<ObjectHandle> effects;
        std::vector<InstanceHandle> played;
        for (size_t i : {kTitle, kMenu}) {
            effects.push_back(testsupport::LoadEffect(images_[i]));
            played.push_back(
                Engine::CreateInstance(effects.back().index, effects.back().serial, &listener));
            Engine::PlayInstance(played.back().index, played.back().serial, 1.0f, 0);
        }
        for (int frame = 1; frame <= 600; ++frame) {
            if (frame % 100 == 0)
                Engine::SetInstanceFlagBit(played[0].index, played[0].serial, 1);
            if (frame % 20 == 0)
                Engine::SetInstanceFlagBit(played[1].index, played[1].serial,
                                           static_cast<uint32_t>(frame / 20 % 14));
            Frame();
            Engine::ResetDrawState();
            Engine::DrawLayer(0);
            used.push_back(Engine::GetUnitInstancePool().GetUsedCount());
        }
        for (InstanceHandle h : played) {
            EXPECT_TRUE(Engine::IsInstancePlaying(h.index, h.serial));
            Engine::KillInstance(h.index, h.serial);
        }
        Frame();
        for (ObjectHandle h : effects)
            Engine::ReleaseResource(h.index, h.serial);
        used.push_back(Engine::GetUnitInstancePool().GetUsedCount());
        return used;
    }

    testsupport::FakeObjectListenner objects_;
    testsupport::FakeInstanceListenner instances_;
    testsupport::RuntimeStartup runtime_;
    ResourceLoader* loader_ = nullptr;
    FileLoader* files_ = nullptr;
    RandomManager* random_ = nullptr;
    const ScreenEffect* current_ = nullptr;
    std::vector<std::vector<uint8_t>> images_;
    std::vector<ObjectHandle> handles_;
    int baselineDevice_ = 0;
    size_t baselineBlocks_ = 0;
};

TEST_F(GameEffectPlay, TheSevenRegisterInOrderAndTheLastLogoFindsTheBackground) {
    ASSERT_EQ(handles_.size(), kEffectCount);
    for (size_t i = 0; i < kEffectCount; ++i) {
        EXPECT_EQ(handles_[i].index, i) << kEffects[i].file;
        EXPECT_EQ(handles_[i].serial, i + 1) << kEffects[i].file;
        EXPECT_EQ(std::string(Effect(i).name),
                  std::string(i < 4 ? "vfx/" : std::string(kEffects[i].folder) + "/") +
                      kEffects[i].file);
    }
    const FulgorCore::PackageResource* last = Effect(kLogoFulgor).package;
    EXPECT_EQ(last->FindReference("vfx/logo_bg.vfxb")->serial, handles_[0].serial);
    EXPECT_EQ(Effect(0).referenceCount, 2);
    EXPECT_TRUE(objects_.asked.empty());
    EXPECT_EQ(objects_.created.size(), kEffectCount);
}

TEST_F(GameEffectPlay, SixHundredFramesPlayTheScreensAndTheLogosEndByTheirLife) {
    std::vector<InstanceHandle> playing;
    for (size_t i = 0; i < kEffectCount; ++i)
        playing.push_back(Play(i));
    const InstanceHandle menu = playing[kMenu];
    for (int frame = 1; frame <= 600; ++frame) {
        // The menu's highlight bits 1-6 and decision bits 8-13, one every
        // 20 frames; bit 7 has no entry.
        const int bit = frame / 20;
        const bool fire = frame % 20 == 0 && bit >= 1 && bit <= 13;
        if (fire)
            Engine::SetInstanceFlagBit(menu.index, menu.serial, static_cast<uint32_t>(bit));
        if (frame == 300)
            Engine::SetInstanceFlagBit(playing[kTitle].index, playing[kTitle].serial, 1);
        Frame();
        if (fire) {
            const std::set<int> ids = RootChildIds(menu);
            EXPECT_EQ(ids.count(-bit), bit == 7 ? 0u : 1u) << "bit " << bit;
        }
        // A highlight plays its entry's unit (menu unit k for bit k + 1)
        // and lasts until the next one, which fades it out over 12 frames:
        // the frame its bit fired and the 11 after it, the one before is
        // still there; then only the new one is.
        const int since = frame % 20;
        if (bit >= 1 && bit <= 6 && since == 11) {
            EXPECT_EQ(UnitsOfTimeline(menu, -bit).count(bit - 1), 1u) << "frame " << frame;
        }
        if (bit >= 2 && bit <= 6 && (since == 11 || since == 12)) {
            const std::set<int> ids = RootChildIds(menu);
            EXPECT_EQ(ids.count(-(bit - 1)), since == 11 ? 1u : 0u) << "frame " << frame;
            EXPECT_EQ(ids.count(-bit), 1u) << "frame " << frame;
        }
        if (frame == 300) {
            EXPECT_EQ(RootChildIds(playing[kTitle]).count(-1), 1u);
        }
        // A logo's timeline plays its unit for 240 frames; its root ends in
        // the frame after that timeline went. The last logo also waits for
        // the background it plays again twice: through its clip, started a
        // frame after it, and as a particle's child effect, started a frame
        // after the particle.
        for (size_t i = 0; i < 3 && (frame == 240 || frame == 241); ++i) {
            EXPECT_EQ(Record(playing[i])->state,
                      frame == 240 ? InstanceSlot::kPlaying : InstanceSlot::kStopping)
                << i;
        }
        if (frame == 243 || frame == 244) {
            EXPECT_EQ(Record(playing[kLogoFulgor])->state,
                      frame == 243 ? InstanceSlot::kPlaying : InstanceSlot::kStopping);
        }
    }
    for (size_t i = 0; i < kEffectCount; ++i)
        EXPECT_EQ(Engine::IsInstancePlaying(playing[i].index, playing[i].serial), i >= kTitle)
            << kEffects[i].file;
    // The decisions (45 frames) have ended, the last highlight (bit 6)
    // lasts, none having followed it; the backdrop of the second place, the
    // rings and circles of the third, the emitting host of the fourth, the
    // marks of the fifth and the names of the sixth play on.
    EXPECT_EQ(RootChildIds(menu), (std::set<int>{-6, 2, 3, 4, 5, 6}));
    EXPECT_EQ(UnitsOfTimeline(menu, -6).count(5), 1u) << "the last entry's unit";
    EXPECT_EQ(Engine::GetInstanceTime(menu.index, menu.serial), 600.0f);

    for (InstanceHandle h : playing)
        Engine::KillInstance(h.index, h.serial);
    Frame();
    for (ObjectHandle h : handles_)
        Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), 0u);
    EXPECT_EQ(runtime_.device.live, baselineDevice_);
    EXPECT_EQ(testsupport::CountingAllocator::LiveCount(), baselineBlocks_);
    EXPECT_EQ(objects_.released.size(), kEffectCount);
    // And the two backgrounds the last logo played, on the same listener.
    EXPECT_EQ(instances_.released.size(), kEffectCount + 2);
}

// The title's lights, from the root's publications after each frame: the
// lantern's colour (red, green, blue) and the ring's start, as a share of
// the widest start of the run (so that all four are of one scale).
std::vector<std::array<float, 4>> TitleLights(InstanceHandle title, int frames) {
    std::vector<std::array<float, 4>> seen;
    for (int frame = 1; frame <= frames; ++frame) {
        Frame();
        const FulgorCore::InstanceRootUnit* root = Record(title)->root;
        if (!root || !root->publishedDirection || !root->publishedRange) {
            ADD_FAILURE() << "nothing published at frame " << frame;
            return seen;
        }
        const float* colour = root->publishedDirection + 4;
        seen.push_back({colour[0], colour[1], colour[2], root->publishedRange[0]});
    }
    float widest = 0.0f;
    for (const std::array<float, 4>& s : seen)
        widest = std::max(widest, s[3]);
    for (std::array<float, 4>& s : seen)
        s[3] /= widest;
    return seen;
}

// For as long as the title plays, its lantern and its ring cycle every 120
// frames: what they publish comes back 120 frames later and has moved half
// a cycle on, and each cycle runs from warm (red high, blue low) to cool.
TEST_F(GameEffectPlay, TheTitlesLanternAndRingCycleEvery120Frames) {
    constexpr size_t kCycle = 120, kFrames = 600;
    const std::vector<std::array<float, 4>> seen = TitleLights(Play(kTitle), kFrames);
    ASSERT_EQ(seen.size(), kFrames);
    const auto apart = [](const std::array<float, 4>& a, const std::array<float, 4>& b) {
        float most = 0.0f;
        for (size_t i = 0; i < a.size(); ++i)
            most = std::max(most, std::fabs(a[i] - b[i]));
        return most;
    };
    // Compared from the second cycle on: the first shows its last value at
    // frame 120 (an easing's span takes in its end), the later ones start
    // over there.
    for (size_t f = kCycle; f + kCycle < kFrames; ++f)
        EXPECT_LT(apart(seen[f], seen[f + kCycle]), 1e-3f) << "frame " << f + 1;
    for (size_t f = 0; f + kCycle / 2 < kFrames; ++f)
        EXPECT_GT(apart(seen[f], seen[f + kCycle / 2]), 0.05f) << "frame " << f + 1;
    // Warm and cool in every cycle, the ring's start wider when cool.
    for (size_t c = 0; c < kFrames / kCycle; ++c) {
        const auto first = seen.begin() + static_cast<ptrdiff_t>(c * kCycle);
        const auto [coolest, warmest] = std::minmax_element(
            first, first + kCycle, [](const auto& a, const auto& b) { return a[0] < b[0]; });
        EXPECT_GT((*warmest)[0], 0.9f) << "cycle " << c;
        EXPECT_LT((*warmest)[2], 0.2f) << "cycle " << c;
        EXPECT_LT((*coolest)[0], 0.2f) << "cycle " << c;
        EXPECT_GT((*coolest)[2], 0.9f) << "cycle " << c;
        EXPECT_GT((*coolest)[3], (*warmest)[3] * 3.0f) << "cycle " << c;
    }
}

// Every particle below `unit`.
void CollectParticles(const FulgorCore::UnitInstance* unit,
                      std::vector<const FulgorCore::ParticleInstance*>& out) {
    for (const FulgorCore::UnitInstance* c = unit->firstChild; c; c = c->nextSibling) {
        if (c->GetKind() == FulgorCore::UnitInstance::kParticleNode)
            out.push_back(static_cast<const FulgorCore::ParticleInstance*>(c));
        CollectParticles(c, out);
    }
}

// A member some particle must hold: its name, the member, the function.
template <class M> struct MemberRow {
    const char* name;
    M FulgorCore::ParticleInstance::*member;
    M expected;
};

template <class M, size_t N>
void ExpectHeld(const std::vector<const FulgorCore::ParticleInstance*>& particles,
                const MemberRow<M> (&rows)[N]) {
    for (const MemberRow<M>& row : rows)
        EXPECT_TRUE(std::any_of(particles.begin(), particles.end(), [&row](const auto* p) {
            return p->*row.member == row.expected;
        })) << row.name;
}

// The menu's emitting host and the last logo's particles that draw nothing,
// a few frames in: each row a member their data chooses, which some
// particle of the two must have.
TEST_F(GameEffectPlay, TheirQuietParticlesAreBuiltEveryWayTheirDataAllows) {
    const InstanceHandle menu = Play(kMenu);
    const InstanceHandle logo = Play(kLogoFulgor);
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    std::vector<const FulgorCore::ParticleInstance*> particles;
    for (InstanceHandle h : {menu, logo}) {
        ASSERT_NE(Record(h)->root, nullptr);
        CollectParticles(Record(h)->root, particles);
    }
    using P = FulgorCore::ParticleInstance;
    using FrameRow = MemberRow<P::FrameMember>;
    using PlainRow = MemberRow<P::PlainMember>;
    const FrameRow frameRows[] = {
        {"colour evaluated", &P::colourStep, P::EvaluateColour},
        {"colour evaluated over the linked unit's", &P::colourStep, P::EvaluateColourInherited},
        {"colour taken from the linked unit", &P::colourStep, P::InheritColour},
        {"colour reset for its colour mode", &P::colourStep, P::ResetColour},
        {"colour left alone", &P::colourStep, P::NoOpWithArgument},
        {"scale evaluated", &P::scaleStep, P::EvaluateScale},
        {"scale evaluated over the linked unit's", &P::scaleStep, P::EvaluateScaleInherited},
        {"scale taken from the linked unit", &P::scaleStep, P::InheritScale},
        {"scale left alone", &P::scaleStep, P::NoOpWithArgument},
        {"rotation evaluated", &P::rotationStep, P::EvaluateRotation},
        {"rotation evaluated over the linked unit's", &P::rotationStep,
         P::EvaluateRotationInherited},
        {"rotation taken from the linked unit", &P::rotationStep, P::InheritRotation},
        {"rotation left alone", &P::rotationStep, P::NoOpWithArgument},
        {"position with its offset", &P::translationStep, P::StepPositionWithOffset},
        {"position with its offset over the linked unit's", &P::translationStep,
         P::StepPositionWithOffsetInherited},
        {"position plain", &P::translationStep, P::StepPosition},
        {"position taken from the linked unit", &P::translationStep, P::StepPositionInherited},
        {"local acceleration", &P::localAccelerationStep, P::IntegrateAcceleration},
        {"world acceleration", &P::worldAccelerationStep, P::IntegrateWorldAcceleration},
        {"motion scaled by the speed factor", &P::integrationStep, P::IntegratePositionScaled},
        {"motion unscaled", &P::integrationStep, P::IntegratePosition},
        {"scale tracks", &P::transformTracksMember, P::EvaluateTracksS},
        {"rotation tracks", &P::transformTracksMember, P::EvaluateTracksR},
        {"translation tracks", &P::transformTracksMember, P::EvaluateTracksT},
        {"all three track groups", &P::transformTracksMember, P::EvaluateTracksSRT},
        {"the position lagging", &P::interpolateMember, P::InterpolatePosition},
    };
    const PlainRow plainRows[] = {
        {"composed in the world (mode 0)", &P::composeMember, P::ComposeTransformInWorld},
        {"composed with the parent (modes 1 and 2)", &P::composeMember,
         P::ComposeTransformWithOwner},
        {"composed from the getters (mode 3)", &P::composeMember, P::ComposeTransformFromGetters},
        {"composed relative to the spawner (mode 3 with the flag)", &P::composeMember,
         P::ComposeTransformRelative},
        {"the listener told the position", &P::notifyPositionMember, P::NotifyListenerPosition},
    };
    ExpectHeld(particles, frameRows);
    ExpectHeld(particles, plainRows);
    EXPECT_TRUE(std::any_of(particles.begin(), particles.end(), [](const P* p) {
        return p->childEffectLink != nullptr;
    })) << "a child effect playing";
    for (InstanceHandle h : {menu, logo})
        Engine::KillInstance(h.index, h.serial);
    Frame();
}

// Loads `image`; when it registers, plays an instance of it for a frame
// and releases everything again. True when it registered.
bool LoadPlayRelease(const std::vector<uint8_t>& image) {
    const ObjectHandle h =
        Engine::LoadResource(image.data(), static_cast<uint32_t>(image.size()), nullptr);
    if (h.serial == 0)
        return false;
    const InstanceHandle played = Engine::CreateInstance(h.index, h.serial, nullptr);
    Engine::PlayInstance(played.index, played.serial, 1.0f, 0);
    Engine::SetInstanceFlagBit(played.index, played.serial, 1);
    Frame();
    Engine::KillInstance(played.index, played.serial);
    Frame();
    Engine::ReleaseResource(h.index, h.serial);
    return true;
}

// The cuts of one file as a case of their own, so that the cuts of the
// seven files, each read up to its cut, run side by side: the file cut at
// every length, or one of ten shares of the package's cuts (each reading
// about as many bytes in all).
struct Cuts {
    size_t file;
    // The package chunk cut (its size made to match) rather than the file.
    bool package;
    uint32_t share = 0;
};
constexpr uint32_t kPackageShares = 10;

class GameEffectCuts : public GameEffectPlay, public testing::WithParamInterface<Cuts> {};

TEST_P(GameEffectCuts, EveryLengthLoadsOrFailsCleanly) {
    for (ObjectHandle h : handles_)
        Engine::ReleaseResource(h.index, h.serial);
    const int device = runtime_.device.live;
    const size_t blocks = testsupport::CountingAllocator::LiveCount();
    const std::vector<uint8_t>& image = images_[GetParam().file];
    if (!GetParam().package) {
        // The file cut at every length: a copy of just the cut, so a read
        // past it is seen.
        for (uint32_t length = 0; length < image.size(); ++length) {
            const std::vector<uint8_t> cut(image.begin(), image.begin() + length);
            LoadPlayRelease(cut);
            ASSERT_EQ(runtime_.device.live, device) << "at " << length;
            ASSERT_EQ(testsupport::CountingAllocator::LiveCount(), blocks);
        }
    } else {
        // The package itself cut at every length, its chunk's size made to
        // match, so the package's readers see every cut too.
        FulgorCore::ChunkWalker walker(image.data(), static_cast<uint32_t>(image.size()));
        FulgorCore::Chunk chunk;
        while (walker.Next(chunk) && chunk.tag != FulgorCore::MakeChunkTag("Pack")) {
        }
        ASSERT_EQ(chunk.tag, FulgorCore::MakeChunkTag("Pack"));
        const size_t header = static_cast<size_t>(chunk.payload - image.data()) - 8;
        // Share k takes the lengths from size * sqrt(k / 10) on: a cut costs
        // its length to read.
        const auto from = [&](uint32_t k) {
            return static_cast<uint32_t>(chunk.size * std::sqrt(double(k) / kPackageShares));
        };
        const uint32_t share = GetParam().share;
        const uint32_t end = share + 1 == kPackageShares ? chunk.size + 1 : from(share + 1);
        size_t loadedPackages = 0;
        for (uint32_t length = from(share); length < end; ++length) {
            std::vector<uint8_t> cut(image.begin(), image.begin() + header + 8 + length);
            cut[header + 4] = static_cast<uint8_t>(length);
            cut[header + 5] = static_cast<uint8_t>(length >> 8);
            cut[header + 6] = static_cast<uint8_t>(length >> 16);
            cut[header + 7] = static_cast<uint8_t>(length >> 24);
            loadedPackages += LoadPlayRelease(cut) ? 1 : 0;
            ASSERT_EQ(runtime_.device.live, device) << "pack " << length;
            ASSERT_EQ(testsupport::CountingAllocator::LiveCount(), blocks);
            ASSERT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), 0u);
        }
        // The whole package, in the last share, loads.
        if (share + 1 == kPackageShares) {
            EXPECT_GE(loadedPackages, 1u);
        }
    }
    EXPECT_EQ(Engine::GetWorkData()->objects.activeHead, nullptr);
}

std::vector<Cuts> EveryFileBothWays() {
    std::vector<Cuts> cuts;
    for (size_t i = 0; i < kEffectCount; ++i)
    {
        cuts.push_back({i, false});
        for (uint32_t k = 0; k < kPackageShares; ++k)
            cuts.push_back({i, true, k});
    }
    return cuts;
}

INSTANTIATE_TEST_SUITE_P(, GameEffectCuts, testing::ValuesIn(EveryFileBothWays()),
                         [](const testing::TestParamInfo<Cuts>& info) {
                             std::string name = kEffects[info.param.file].file;
                             name = name.substr(0, name.find('.'));
                             return name + (info.param.package
                                                ? "_Package" + std::to_string(info.param.share)
                                                : std::string("_File"));
                         });

// The root seeds of ten instances after one frame of a runtime started
// with `seed`.
std::vector<uint32_t> RootSeeds(uint32_t seed, const std::vector<uint8_t>& image) {
    testsupport::RuntimeStartup runtime;
    runtime.parameter.RandomSeed = seed;
    runtime.parameter.InstanceMaxCount = 10;
    std::vector<uint32_t> words;
    if (!runtime.Start())
        return words;
    const ObjectHandle effect = testsupport::LoadEffect(image);
    std::vector<InstanceHandle> handles;
    for (int i = 0; i < 10; ++i) {
        handles.push_back(Engine::CreateInstance(effect.index, effect.serial, nullptr));
        Engine::PlayInstance(handles.back().index, handles.back().serial, 1.0f, 0);
    }
    Frame();
    for (InstanceHandle h : handles) {
        const FulgorCore::Xorshift128& r = Record(h)->root->random;
        words.insert(words.end(), {r.x, r.y, r.z, r.w});
    }
    return words;
}

TEST_F(GameEffectPlay, TwoRunsWithOneSeedGiveTheSameRootSeeds) {
    const std::vector<uint8_t> title = images_[kTitle];
    Engine::Finalize();
    const std::vector<uint32_t> first = RootSeeds(1234, title);
    const std::vector<uint32_t> second = RootSeeds(1234, title);
    ASSERT_EQ(first.size(), 40u);
    EXPECT_EQ(first, second);
    EXPECT_NE(RootSeeds(4321, title), first);
    // Ten different seeds in one run.
    std::set<uint32_t> distinct;
    for (size_t i = 0; i < first.size(); i += 4)
        distinct.insert(first[i]);
    EXPECT_EQ(distinct.size(), 10u);
}

// Both roots and their draw lists, and the menu's triggered timelines come
// and go; every block comes back, and a second run uses the pool alike.
TEST_F(GameEffectPlay, TitleAndMenuDrawnGiveEveryBlockBackAndRunAlike) {
    Engine::Finalize();
    const testsupport::RandomStreamsCheck streams(*random_);
    const std::vector<uint32_t> first = PlayTitleAndMenu();
    ASSERT_EQ(first.size(), 601u);
    uint32_t most = 0;
    for (size_t i = 0; i < 600; ++i)
        most = std::max(most, first[i]);
    EXPECT_GE(first[0], 4u);
    EXPECT_GT(most, first[0]);
    EXPECT_EQ(first.back(), 0u);
    streams.ExpectUnchanged();
    EXPECT_EQ(PlayTitleAndMenu(), first);
}

} // namespace
