// Effect data registration: the top level of effect files, the effect table
// and its handles, references between effects, the listener's calls and
// the release of what a registration built.
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Memory/RuntimeDataAllocator.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RuntimeStartup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace {

using FulgorCore::ObjectHandle;
using testsupport::CountingAllocator;
using testsupport::SmallEffect;
using testsupport::Write;
namespace Engine = FulgorCore::Engine;

// The lines a refused file sends to the host's log.
const std::string kNoPackage = "Failed to load effect data: no package of an accepted version.\n";
const std::string kDamaged = "Failed to load effect data: damaged package.\n";
const std::string kTableFull = "Failed to load effect data: ObjectMemory is full.\n";
const std::string kNoBlock = "Failed to allocate Runtime.Data.\n";
const std::string kPastMeasure = "Failed to load effect data: the build exceeds its measure.\n";

std::vector<std::string> Logged() {
    return testsupport::LogCapture::Lines();
}

ObjectHandle Load(const std::vector<uint8_t>& image, FulgorCore::IObjectListenner* listener) {
    return Engine::LoadResource(image.data(), static_cast<uint32_t>(image.size()), listener);
}

const FulgorCore::ObjectSlot& Slot(uint32_t index) {
    return Engine::GetWorkData()->objects.base[index];
}

// Logs every call in order, references included.
class OrderedListenner : public testsupport::FakeObjectListenner {
public:
    uint32_t AddRef() override {
        log.push_back("AddRef");
        return FakeObjectListenner::AddRef();
    }
    uint32_t Release() override {
        log.push_back("Release");
        return FakeObjectListenner::Release();
    }
    void OnCreate(ObjectHandle h) override {
        log.push_back("OnCreate " + std::to_string(h.index) + "," + std::to_string(h.serial));
        FakeObjectListenner::OnCreate(h);
    }
    void OnRelease(ObjectHandle h) override {
        log.push_back("OnRelease " + std::to_string(h.index) + "," + std::to_string(h.serial));
        FakeObjectListenner::OnRelease(h);
    }
    void ReleaseSound(uint32_t sound) override {
        log.push_back("ReleaseSound " + std::to_string(sound));
        FakeObjectListenner::ReleaseSound(sound);
    }
    ObjectHandle LoadReferencedEffect(const char* name) override {
        log.push_back(std::string("Load ") + name);
        return FakeObjectListenner::LoadReferencedEffect(name);
    }
    std::vector<std::string> log;
};

class Registration : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(runtime_.Start()); }

    // Outlives the runtime, whose shutdown releases what it holds.
    OrderedListenner listener_;
    testsupport::RuntimeStartup runtime_;
};

TEST(RuntimeData, ResetZeroesTheBlockAndBuildsIntoItFromTheStart) {
    std::lock_guard<std::recursive_mutex> lock(FulgorCore::RuntimeDataAllocator::LoadingMutex());
    alignas(16) uint8_t block[64];
    std::fill(std::begin(block), std::end(block), 0xAB);
    Engine::ResetRuntimeData(block, 48);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(block[i], 0) << i;
    EXPECT_EQ(block[48], 0xAB);
    FulgorCore::RuntimeDataAllocator& allocator = FulgorCore::RuntimeDataAllocator::Global();
    EXPECT_FALSE(allocator.IsMeasuring());
    EXPECT_EQ(allocator.Allocate(20), block);
    EXPECT_EQ(allocator.Allocate(16), block + 32);
    EXPECT_EQ(allocator.Allocate(1), nullptr);
}

TEST_F(Registration, TheFirstIsIndexZeroSerialOneInABlockOfTheMeasuredSize) {
    const std::vector<uint8_t> image = Write(SmallEffect("vfx/a.vfxb", 60));
    const ObjectHandle h = Load(image, nullptr);
    EXPECT_EQ(h.index, 0u);
    EXPECT_EQ(h.serial, 1u);
    EXPECT_STREQ(Slot(0).name, "vfx/a.vfxb");
    ASSERT_EQ(CountingAllocator::CountLabel("Runtime.Data"), 1u);
    uint32_t blockSize = 0;
    for (const CountingAllocator::Call& c : CountingAllocator::Calls())
        if (c.label == "Runtime.Data")
            blockSize = c.size;
    // The package object rounded to 16, then what its records measure.
    FulgorCore::ChunkWalker walker(image.data(), static_cast<uint32_t>(image.size()));
    FulgorCore::Chunk chunk;
    std::vector<uint8_t> payload;
    while (walker.Next(chunk))
        if (chunk.tag == FulgorCore::MakeChunkTag("Pack"))
            payload.assign(chunk.payload, chunk.payload + chunk.size);
    testsupport::RecordBuild<FulgorCore::PackageResource> records(payload);
    const uint32_t packageObject = (sizeof(FulgorCore::PackageResource) + 15u) & ~15u;
    EXPECT_EQ(blockSize, packageObject + records.measured);
    EXPECT_EQ(Engine::GetResourceDataSize(h.index, h.serial), blockSize);
    EXPECT_EQ(Engine::GetResourceDataSize(h.index, h.serial + 1), 0u);

    // The next takes the next record and serial.
    const ObjectHandle second = Load(Write(SmallEffect("vfx/b.vfxb", 60)), nullptr);
    EXPECT_EQ(second.index, 1u);
    EXPECT_EQ(second.serial, 2u);
}

TEST_F(Registration, WithoutAnAcceptedVersionBeforeAPackNothingIsAllocated) {
    effecttools::EffectFileValue other = SmallEffect("vfx/a.vfxb", 60);
    other.version = 0x01010102;
    EXPECT_EQ(Load(Write(other), nullptr).serial, 0u);

    // "Pack" first, then an accepted "Ver".
    effecttools::ChunkWriter w;
    w.Begin("Pack").End().U32("Ver", 0x01010101);
    EXPECT_EQ(Load(w.Take(), nullptr).serial, 0u);

    // A later "Ver" of another value takes the verdict back.
    effecttools::ChunkWriter late;
    late.U32("Ver", 0x01010101).U32("Ver", 7).Begin("Pack").End();
    EXPECT_EQ(Load(late.Take(), nullptr).serial, 0u);
    EXPECT_EQ(Logged(), std::vector<std::string>(3, kNoPackage));

    EXPECT_EQ(Load({}, nullptr).serial, 0u);
    EXPECT_EQ(CountingAllocator::CountLabel("Runtime.Data"), 0u);
    EXPECT_EQ(Engine::GetWorkData()->objects.activeHead, nullptr);
}

TEST_F(Registration, ADamagedPackageFailsBeforeItsBlockExists) {
    // A unit beyond the count its "UniC" announced.
    effecttools::EffectFileValue f = SmallEffect("vfx/a.vfxb", 60);
    f.package.unitCount = 0;
    EXPECT_EQ(Load(Write(f), nullptr).serial, 0u);
    EXPECT_EQ(Logged(), std::vector<std::string>{kDamaged});
    EXPECT_EQ(CountingAllocator::CountLabel("Runtime.Data"), 0u);
    // The record was never taken: the next file gets index 0, serial 1.
    const ObjectHandle h = Load(Write(SmallEffect("vfx/b.vfxb", 60)), nullptr);
    EXPECT_EQ(h.index, 0u);
    EXPECT_EQ(h.serial, 1u);
}

TEST_F(Registration, OnlyTheLastCountedPackIsMeasuredAndBuilt) {
    effecttools::EffectFileValue first = SmallEffect("vfx/a.vfxb", 60);
    first.package.textures = {{std::string("t"), std::vector<uint8_t>(64, 1), std::nullopt}};
    effecttools::EffectFileValue last = SmallEffect("vfx/a.vfxb", 90);
    effecttools::ChunkWriter w;
    w.U32("Ver", 0x01010101);
    effecttools::WritePackage(w, first.package);
    effecttools::WritePackage(w, last.package);
    const std::vector<uint8_t> both = w.Take();
    using Kind = testsupport::RecordingDevice::Kind;
    const size_t texturesBefore = runtime_.device.CountCreations(Kind::Texture, 64, false);
    const size_t shadersBefore = runtime_.device.shaderKeys.size();
    const size_t blocksBefore = CountingAllocator::LiveCount();
    const ObjectHandle h = Load(both, nullptr);
    ASSERT_NE(h.serial, 0u);
    // The first package's texture was never made, so nothing leaks; only
    // the last package's one draw part asked for its shader.
    EXPECT_EQ(runtime_.device.CountCreations(Kind::Texture, 64, false), texturesBefore);
    EXPECT_EQ(runtime_.device.shaderKeys.size(), shadersBefore + 1);
    EXPECT_EQ(Slot(h.index).package->GetUnit(0)->GetLife(), 90.0f);
    const int liveBefore = runtime_.device.live;
    Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(runtime_.device.live, liveBefore - 1); // the shader given back
    EXPECT_EQ(CountingAllocator::LiveCount(), blocksBefore);
}

TEST_F(Registration, ANameOfSixtyCharactersKeepsFortySeven) {
    const std::string name(60, 'n');
    const ObjectHandle h = Load(Write(SmallEffect(name, 60)), nullptr);
    ASSERT_NE(h.serial, 0u);
    EXPECT_EQ(std::string(Slot(h.index).name), name.substr(0, 47));
}

TEST_F(Registration, ReleasingTwiceChangesNothingTheSecondTime) {
    OrderedListenner& listener = listener_;
    const ObjectHandle h = Load(Write(SmallEffect("vfx/a.vfxb", 60)), &listener);
    const ObjectHandle other = Load(Write(SmallEffect("vfx/b.vfxb", 60)), &listener);
    const size_t liveBlocks = CountingAllocator::LiveCount();
    Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(Slot(h.index).serial, 0u);
    EXPECT_EQ(CountingAllocator::LiveCount(), liveBlocks - 1);
    EXPECT_EQ(listener.released.size(), 1u);
    Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(listener.released.size(), 1u);
    EXPECT_EQ(CountingAllocator::LiveCount(), liveBlocks - 1);
    EXPECT_EQ(Slot(other.index).referenceCount, 1);
    // The freed record is the first reused, with a new serial.
    const ObjectHandle again = Load(Write(SmallEffect("vfx/c.vfxb", 60)), nullptr);
    EXPECT_EQ(again.index, h.index);
    EXPECT_EQ(again.serial, 3u);
}

TEST_F(Registration, AnAddedReferenceKeepsTheEffectThroughOneRelease) {
    const ObjectHandle h = Load(Write(SmallEffect("vfx/a.vfxb", 60)), nullptr);
    Engine::AddResourceRef(h.index, h.serial);
    Engine::AddResourceRef(h.index, h.serial + 1); // stale: nothing
    Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(Slot(h.index).serial, h.serial);
    EXPECT_EQ(Slot(h.index).referenceCount, 1);
    Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(Slot(h.index).serial, 0u);
}

TEST_F(Registration, AReferenceToALoadedEffectRaisesItsCountAnUnloadedOneIsAsked) {
    OrderedListenner& listener = listener_;
    const ObjectHandle target = Load(Write(SmallEffect("vfx/target.vfxb", 60)), &listener);
    effecttools::EffectFileValue f = SmallEffect("vfx/user.vfxb", 60);
    testsupport::AddReference(f, "vfx/target.vfxb");
    testsupport::AddReference(f, "vfx/missing.vfxb");
    listener.answer = {3, 77};
    const ObjectHandle user = Load(Write(f), &listener);
    ASSERT_NE(user.serial, 0u);
    EXPECT_EQ(Slot(target.index).referenceCount, 2);
    ASSERT_EQ(listener.asked, std::vector<std::string>{"vfx/missing.vfxb"});
    const FulgorCore::PackageResource* package = Slot(user.index).package;
    EXPECT_EQ(package->FindReference("vfx/target.vfxb")->serial, target.serial);
    EXPECT_EQ(package->FindReference("vfx/missing.vfxb")->serial, 77u);

    // The user's release gives the target's reference back.
    Engine::ReleaseResource(user.index, user.serial);
    EXPECT_EQ(Slot(target.index).referenceCount, 1);
}

TEST_F(Registration, WithoutAListenerReferencesStayUnresolved) {
    Load(Write(SmallEffect("vfx/target.vfxb", 60)), nullptr);
    effecttools::EffectFileValue f = SmallEffect("vfx/user.vfxb", 60);
    testsupport::AddReference(f, "vfx/target.vfxb");
    const ObjectHandle user = Load(Write(f), nullptr);
    EXPECT_EQ(Slot(user.index).package->FindReference("vfx/target.vfxb")->serial, 0u);
    EXPECT_EQ(Slot(0).referenceCount, 1);
}

TEST_F(Registration, AFileNamingItselfUnloadsOnItsOneRelease) {
    OrderedListenner& listener = listener_;
    effecttools::EffectFileValue f = SmallEffect("vfx/self.vfxb", 60);
    testsupport::AddReference(f, "vfx/self.vfxb");
    const ObjectHandle h = Load(Write(f), &listener);
    ASSERT_NE(h.serial, 0u);
    // The clip keeps its handle, without a reference.
    EXPECT_EQ(Slot(h.index).package->FindReference("vfx/self.vfxb")->serial, h.serial);
    EXPECT_EQ(Slot(h.index).referenceCount, 1);
    EXPECT_TRUE(listener.asked.empty());
    Engine::ReleaseResource(h.index, h.serial);
    EXPECT_EQ(Slot(h.index).serial, 0u);
    EXPECT_EQ(listener.References(), 1u);
    EXPECT_EQ(CountingAllocator::CountLabel("Runtime.Data"), 1u);
}

TEST_F(Registration, TheListenerIsCalledInItsOrder) {
    OrderedListenner& listener = listener_;
    listener.soundAnswer = 40;
    effecttools::EffectFileValue f = SmallEffect("vfx/a.vfxb", 60);
    f.package.units[0].sound = "boom";
    testsupport::AddReference(f, "vfx/other.vfxb");
    const ObjectHandle h = Load(Write(f), &listener);
    ASSERT_NE(h.serial, 0u);
    Engine::ReleaseResource(h.index, h.serial);
    const std::vector<std::string> expected = {
        "AddRef",        "OnCreate 0,1",    "Load vfx/other.vfxb",
        "OnRelease 0,1", "ReleaseSound 40", "Release"};
    EXPECT_EQ(listener.log, expected);
    EXPECT_EQ(listener.References(), 1u);
}

TEST_F(Registration, AFullTableOrAFailingAllocatorGivesNothing) {
    const std::vector<uint8_t> image = Write(SmallEffect("vfx/a.vfxb", 60));
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(Load(image, nullptr).serial, 0u);
    EXPECT_EQ(Logged(), std::vector<std::string>{});
    EXPECT_EQ(Load(image, nullptr).serial, 0u);
    EXPECT_EQ(Logged(), std::vector<std::string>{kTableFull});
    EXPECT_EQ(CountingAllocator::CountLabel("Runtime.Data"), 4u);
    Engine::ReleaseResource(2, 3);

    // The block cannot be had: the record goes back, nothing stays.
    CountingAllocator::Reset(0);
    const size_t live = CountingAllocator::LiveCount();
    EXPECT_EQ(Load(image, nullptr).serial, 0u);
    EXPECT_EQ(Logged(), (std::vector<std::string>{kTableFull, kNoBlock}));
    EXPECT_EQ(CountingAllocator::LiveCount(), live);
    EXPECT_EQ(Slot(2).serial, 0u);
    const ObjectHandle h = Load(image, nullptr);
    EXPECT_EQ(h.index, 2u);
}

// Takes 16 bytes of the block being built when its first sound is asked,
// as a reader that asks more than it measured would: everything placed
// after that runs past the measure.
class OverreachingListenner : public OrderedListenner {
public:
    uint32_t FindSound(const char* name, uint32_t parameter) override {
        if (!overreached) {
            overreached = true;
            FulgorCore::RuntimeDataAllocator::Global().Allocate(16);
        }
        return OrderedListenner::FindSound(name, parameter);
    }
    bool overreached = false;
};

// Two units with sounds and a texture made from file bytes.
effecttools::EffectFileValue SoundingEffect() {
    effecttools::EffectFileValue f = SmallEffect("vfx/a.vfxb", 60);
    f.package.textures = {{std::string("t"), std::vector<uint8_t>(64, 1), std::nullopt}};
    f.package.units[0].sound = "boom";
    f.package.units.push_back(f.package.units[0]);
    f.package.units[1].sound = "bang";
    return f;
}

TEST_F(Registration, AHalfBuiltPackageGivesBackTheSoundsItWasHanded) {
    OverreachingListenner listener;
    listener.soundAnswer = 40;
    EXPECT_EQ(Load(Write(SoundingEffect()), &listener).serial, 0u);
    ASSERT_TRUE(listener.overreached);
    // Every handle given out (40, 41, ...) came back, each once.
    ASSERT_FALSE(listener.soundNames.empty());
    std::vector<uint32_t> handed;
    for (size_t i = 0; i < listener.soundNames.size(); ++i)
        handed.push_back(40 + static_cast<uint32_t>(i));
    std::vector<uint32_t> released = listener.releasedSounds;
    std::sort(released.begin(), released.end());
    EXPECT_EQ(released, handed);
    // The listener was never kept, nor told of a handle.
    EXPECT_EQ(listener.References(), 1u);
    EXPECT_TRUE(listener.created.empty());
}

TEST_F(Registration, ABuildPastItsMeasureRegistersNothingAndKeepsNothing) {
    OverreachingListenner listener;
    const std::vector<uint8_t> image = Write(SoundingEffect());
    const int liveDevice = runtime_.device.live;
    const size_t liveBlocks = CountingAllocator::LiveCount();
    EXPECT_EQ(Load(image, &listener).serial, 0u);
    ASSERT_TRUE(listener.overreached);
    EXPECT_EQ(Logged(), std::vector<std::string>{kPastMeasure});
    // The block was had and given back; the texture made from the file
    // bytes went with the package.
    EXPECT_EQ(CountingAllocator::CountLabel("Runtime.Data"), 1u);
    EXPECT_EQ(CountingAllocator::LiveCount(), liveBlocks);
    EXPECT_EQ(
        runtime_.device.CountCreations(testsupport::RecordingDevice::Kind::Texture, 64, false), 1u);
    EXPECT_EQ(runtime_.device.live, liveDevice);
    EXPECT_EQ(Engine::GetWorkData()->objects.activeHead, nullptr);
    EXPECT_EQ(Slot(0).serial, 0u);
    // The record went back to the free list: the same file, built as
    // measured, takes it.
    const ObjectHandle h = Load(image, nullptr);
    EXPECT_EQ(h.index, 0u);
    EXPECT_NE(h.serial, 0u);
}

TEST_F(Registration, EntryPointsAnswerNothingForStaleHandles) {
    Engine::ReleaseResource(0, 1);
    Engine::AddResourceRef(5, 1);
    EXPECT_EQ(Engine::GetResourceDataSize(0, 0), 0u);
    EXPECT_EQ(Engine::GetResourceDataSize(99, 1), 0u);
}

TEST(FindTextureNameChunks, CountsAndPointsAtEachPayloadInOrder) {
    effecttools::EffectFileValue f = SmallEffect("vfx/a.vfxb", 60);
    f.textureNames = {"first", "second", "third"};
    const std::vector<uint8_t> image = Write(f);
    const uint32_t size = static_cast<uint32_t>(image.size());
    EXPECT_EQ(Engine::FindTextureNameChunks(image.data(), size, nullptr), 3u);
    const void* names[3] = {};
    ASSERT_EQ(Engine::FindTextureNameChunks(image.data(), size, names), 3u);
    EXPECT_STREQ(static_cast<const char*>(names[0]), "first");
    EXPECT_STREQ(static_cast<const char*>(names[1]), "second");
    EXPECT_STREQ(static_cast<const char*>(names[2]), "third");
    for (const void* n : names) {
        const auto* p = static_cast<const uint8_t*>(n);
        EXPECT_TRUE(p > image.data() && p < image.data() + size);
    }
    EXPECT_EQ(Engine::FindTextureNameChunks(image.data(), 0, names), 0u);
    EXPECT_EQ(Engine::FindTextureNameChunks(nullptr, size, names), 0u);
}

} // namespace
