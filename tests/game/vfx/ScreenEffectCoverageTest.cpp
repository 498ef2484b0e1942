// The game's seven effect files, each played for the frames its screen
// plays it (with the trigger bits the screen raises), under the game's own
// instance listener, build every class the unit tree has: the 24 composed
// particle classes, the 75 draw-unit classes, the nine emitter kinds, both
// extra kinds, the root, the timeline and both carriers. What was built is
// seen from here alone: the runtime's creator tables are wrapped while the
// screens play, and the instances' trees are walked after every frame.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/units/ParticlePartCreators.h"
#include "effects/units/UnitCreators.h"
#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxInstanceListenner.h"
#include "support/effects/GameEffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "sys/file.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::ObjectHandle;
using FulgorCore::UnitInstance;
using Mireku::Resource::ResourceLoader;
namespace Engine = FulgorCore::Engine;
using Factories = FulgorCore::ParticleInstanceFactoryTable;

// What the wrapped creators and the tree walks saw built.
struct Built {
    std::set<uint32_t> composed;
    std::set<FulgorCore::DrawUnitClass::Construct> drawClasses;
    std::set<uint32_t> emitterKinds;
    std::set<uint32_t> extraKinds;
    std::set<uint32_t> unitKinds;
    bool carrier = false;
    bool carrierPair = false;
};

// While alive, the runtime's particle factories, part creators and
// carrier creators are wrapped: each wrapper calls the runtime's own and
// notes what it built.
class CreatorCoverage {
public:
    explicit CreatorCoverage(Built& built) {
        Active() = &built;
        Wrap(std::make_integer_sequence<uint32_t, Factories::kFactories>{});
        using Parts = FulgorCore::ParticlePartCreators;
        Parts::Current() = {Noted<&Parts::draw, NoteDraw, FulgorCore::ParticleDrawPart,
                                  FulgorCore::ParticleResource>,
                            Noted<&Parts::emitter, NoteEmitter, FulgorCore::ParticleEmitterPart,
                                  FulgorCore::EmitterResource>,
                            Noted<&Parts::extra, NoteExtra, FulgorCore::ParticleExtraPart,
                                  FulgorCore::EffectPartResource>};
        FulgorCore::UnitCreators& units = FulgorCore::UnitCreators::Current();
        units.carrier = Carrier;
        units.carrierPair = CarrierPair;
    }
    ~CreatorCoverage() {
        for (uint32_t k = 0; k < Factories::kFactories; ++k)
            Factories::Current()[k] = Factories::kBuiltIn[k];
        FulgorCore::ParticlePartCreators::Current() = FulgorCore::ParticlePartCreators::kBuiltIn;
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        Active() = nullptr;
    }
    CreatorCoverage(const CreatorCoverage&) = delete;
    CreatorCoverage& operator=(const CreatorCoverage&) = delete;

private:
    static Built*& Active() {
        static Built* active = nullptr;
        return active;
    }

    template <uint32_t... K> static void Wrap(std::integer_sequence<uint32_t, K...>) {
        ((Factories::Current()[K] = Particle<K>), ...);
    }
    template <uint32_t K>
    static FulgorCore::ParticleInstance*
    Particle(FulgorCore::InstanceRootUnit* owner, FulgorCore::ParticleEmitterPart* aux,
             const UnitInstance::InitialState& state, const FulgorCore::UnitResource* unit,
             const FulgorCore::ParticleSpawnSettings* settings, int32_t point, const float* origin,
             const float* position, const float* velocity, const float* rotation,
             const float* direction) {
        FulgorCore::ParticleInstance* p =
            Factories::kBuiltIn[K](owner, aux, state, unit, settings, point, origin, position,
                                   velocity, rotation, direction);
        if (p)
            Active()->composed.insert(K);
        return p;
    }
    // The runtime's own part creator `Slot`, noting `Note` of the data of
    // each part it builds.
    template <auto Slot, auto Note, class Part, class Data>
    static Part* Noted(FulgorCore::ParticleInstance* owner, const Data* data, bool& stop) {
        Part* part = (FulgorCore::ParticlePartCreators::kBuiltIn.*Slot)(owner, data, stop);
        if (part)
            Note(*Active(), *data);
        return part;
    }
    static void NoteDraw(Built& built, const FulgorCore::ParticleResource& data) {
        built.drawClasses.insert(FulgorCore::ChooseDrawUnitClass(data).construct);
    }
    static void NoteEmitter(Built& built, const FulgorCore::EmitterResource& data) {
        built.emitterKinds.insert(data.GetKind());
    }
    static void NoteExtra(Built& built, const FulgorCore::EffectPartResource& data) {
        built.extraKinds.insert(data.GetKind());
    }
    static UnitInstance* Carrier(FulgorCore::InstanceRootUnit* owner,
                                 const UnitInstance::InitialState& state,
                                 const FulgorCore::BindResource* binding, uint32_t target,
                                 const FulgorCore::ChildStart& child) {
        UnitInstance* unit =
            FulgorCore::UnitCreators::kBuiltIn.carrier(owner, state, binding, target, child);
        Active()->carrier |= unit != nullptr;
        return unit;
    }
    static UnitInstance* CarrierPair(FulgorCore::InstanceRootUnit* owner,
                                     const UnitInstance::InitialState& state,
                                     const FulgorCore::BindResource* binding, uint32_t targetA,
                                     uint32_t targetB, const FulgorCore::ChildStart& child) {
        UnitInstance* unit = FulgorCore::UnitCreators::kBuiltIn.carrierPair(
            owner, state, binding, targetA, targetB, child);
        Active()->carrierPair |= unit != nullptr;
        return unit;
    }
};

// Every unit kind in a tree.
void NoteKinds(const UnitInstance* unit, std::set<uint32_t>& kinds) {
    for (; unit; unit = unit->nextSibling) {
        kinds.insert(unit->GetKind());
        NoteKinds(unit->firstChild, kinds);
    }
}

// The draw-unit classes by the (type, trail sub-kind, vertex format)
// combinations that choose them; a class that ignores the format counts
// once for its type (at format 0).
using DrawCombination = std::tuple<uint32_t, uint32_t, uint32_t>;
std::map<FulgorCore::DrawUnitClass::Construct, std::vector<DrawCombination>> DrawClasses() {
    std::map<FulgorCore::DrawUnitClass::Construct, std::vector<DrawCombination>> classes;
    for (uint32_t type = 0; type < 16; ++type) {
        for (uint32_t kind = 0; kind < (type == 12 ? 8u : 1u); ++kind) {
            std::set<FulgorCore::DrawUnitClass::Construct> ofKind;
            for (uint32_t format = 0; format < 8; ++format) {
                const auto c = FulgorCore::ChooseDrawUnitClass(type, kind, format).construct;
                if (c && ofKind.insert(c).second)
                    classes[c].emplace_back(type, kind, format);
            }
        }
    }
    return classes;
}

// One screen's play of its file: the frames it runs and the trigger bits
// it raises, each at its frame.
struct ScreenPlay {
    const char* name;
    size_t file; // in kGameEffectFiles
    int frames;
    std::vector<std::pair<int, uint32_t>> bits;
};

// The screens as the game runs them: each logo for its 240 frames (the
// last one a few more, for the backdrop it plays again); the title's intro,
// skipped to its idle part with bit 1; the game menu with each of its six
// entries highlighted in turn (bits 1-6), then the last decided (bit 13)
// and the fade after it; the setup and ranking backdrop.
const ScreenPlay kScreens[] = {
    {"LogoBackdrop", 0, 240, {}},
    {"FirstLogo", 1, 240, {}},
    {"SecondLogo", 2, 240, {}},
    {"ThirdLogoWithItsBackdrop", 3, 243, {}},
    {"TitleIntroThenIdle", 4, 300, {{150, 1}}},
    {"GameMenuEachEntryThenDecided",
     5,
     200,
     {{1, 1}, {20, 2}, {40, 3}, {60, 4}, {80, 5}, {100, 6}, {120, 13}}},
    {"SetupAndRanking", 6, 300, {}},
};

// What the runtime logged, to tell why a file was refused.
std::string Log() {
    std::string text;
    for (const std::string& line : testsupport::LogCapture::Lines())
        text += line;
    return text;
}

std::string Names(const std::vector<DrawCombination>& combinations) {
    std::ostringstream out;
    for (const auto& [type, kind, format] : combinations)
        out << " (type " << type << ", sub-kind " << kind << ", format " << format << ")";
    return out.str();
}

class ScreenEffectCoverage : public testing::Test {
protected:
    void SetUp() override {
        ResourceLoader loader;
        loader.SetMode(ResourceLoader::kArchives);
        loader.OpenArchive((sys::ExecutableFolder() + "data/vfx").c_str());
        for (const testsupport::GameEffectFile& e : testsupport::kGameEffectFiles) {
            void* data = nullptr;
            uint32_t size = 0;
            ASSERT_TRUE(loader.ReadFile(&data, &size, e.folder, e.file)) << e.file;
            images_.emplace_back(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
            Mireku::Common::Heap::LockedFree(data);
        }
        loader.Finalize();
        // The game's sizes.
        runtime_.Resize(VfxController::kUnitInstanceMemorySize,
                        VfxController::kCacheBufferMemorySize);
        runtime_.parameter.ObjectMaxCount = VfxController::kObjectMaxCount;
        runtime_.parameter.InstanceMaxCount = VfxController::kInstanceMaxCount;
        ASSERT_TRUE(runtime_.Start());
        // In the screens' order: the last logo finds the backdrop by name.
        for (const std::vector<uint8_t>& image : images_) {
            handles_.push_back(testsupport::LoadEffect(image, &objects_));
            ASSERT_NE(handles_.back().serial, 0u)
                << testsupport::kGameEffectFiles[handles_.size() - 1].file << ": " << Log();
        }
        listener_ = new VfxInstanceListenner(nullptr);
    }
    void TearDown() override {
        for (ObjectHandle h : handles_)
            Engine::ReleaseResource(h.index, h.serial);
        if (listener_)
            static_cast<FulgorCore::IInstanceListenner*>(listener_)->Release();
    }

    // Plays the screen's file for its frames, drawing each, as the game's
    // frame does; the instance ends with the screen.
    void Play(const ScreenPlay& screen, Built& built) {
        const ObjectHandle effect = handles_[screen.file];
        const InstanceHandle h = Engine::CreateInstance(effect.index, effect.serial, listener_);
        ASSERT_NE(h.serial, 0u) << screen.name;
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        const FulgorCore::DrawParameter draw =
            testsupport::ScreenDraw(testsupport::kIdentity44, testsupport::kIdentity44);
        for (int frame = 1; frame <= screen.frames; ++frame) {
            for (const auto& [at, bit] : screen.bits)
                if (at == frame)
                    Engine::SetInstanceFlagBit(h.index, h.serial, bit);
            testsupport::Frame();
            if (const FulgorCore::InstanceSlot* slot = testsupport::Record(h); slot && slot->root)
                NoteKinds(slot->root, built.unitKinds);
            Engine::ResetDrawState();
            Engine::Draw(0, &draw);
            Engine::DrawLayer(0);
            Engine::DrawLayer(1);
        }
        Engine::KillInstance(h.index, h.serial);
        testsupport::Frame();
        EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), 0u) << screen.name;
    }

    testsupport::RuntimeStartup runtime_;
    testsupport::FakeObjectListenner objects_;
    VfxInstanceListenner* listener_ = nullptr;
    std::vector<std::vector<uint8_t>> images_;
    std::vector<ObjectHandle> handles_;
};

TEST_F(ScreenEffectCoverage, TheScreensTogetherBuildEveryClass) {
    Built built;
    {
        const CreatorCoverage wrap(built);
        for (const ScreenPlay& screen : kScreens)
            Play(screen, built);
    }

    // The 24 compositions of 0-3 draw, 0-2 emitter and 0-1 extra units.
    for (uint32_t draws = 0; draws <= 3; ++draws)
        for (uint32_t emitters = 0; emitters <= 2; ++emitters)
            for (uint32_t extras = 0; extras <= 1; ++extras)
                EXPECT_EQ(built.composed.count((draws * 3 + emitters) * 2 + extras), 1u)
                    << draws << " draw, " << emitters << " emitter, " << extras << " extra units";
    EXPECT_EQ(built.composed.size(), 24u);

    // 75 draw-unit classes over 89 combinations.
    const auto classes = DrawClasses();
    size_t combinations = 0;
    for (const auto& [construct, chosenBy] : classes)
        combinations += chosenBy.size();
    EXPECT_EQ(classes.size(), 75u);
    EXPECT_EQ(combinations, 89u);
    for (const auto& [construct, chosenBy] : classes)
        EXPECT_EQ(built.drawClasses.count(construct), 1u)
            << "no draw unit built of the class of" << Names(chosenBy);

    for (uint32_t kind = 1; kind <= 9; ++kind)
        EXPECT_EQ(built.emitterKinds.count(kind), 1u) << "emitter kind " << kind;
    EXPECT_EQ(built.extraKinds, (std::set<uint32_t>{1, 2}));

    EXPECT_EQ(built.unitKinds.count(UnitInstance::kRoot), 1u);
    EXPECT_EQ(built.unitKinds.count(UnitInstance::kTimeline), 1u);
    EXPECT_TRUE(built.carrier) << "a carrier of one endpoint";
    EXPECT_TRUE(built.carrierPair) << "a carrier of two endpoints";
}

// Each screen plays and gives every block back; the units each builds are
// its own (a screen that builds nothing would not be covering anything).
TEST_F(ScreenEffectCoverage, EachScreenBuildsParticlesAndDrawUnits) {
    for (const ScreenPlay& screen : kScreens) {
        Built built;
        {
            const CreatorCoverage wrap(built);
            Play(screen, built);
        }
        EXPECT_FALSE(built.composed.empty()) << screen.name;
        EXPECT_FALSE(built.drawClasses.empty()) << screen.name;
        EXPECT_EQ(built.unitKinds.count(UnitInstance::kRoot), 1u) << screen.name;
        EXPECT_EQ(built.unitKinds.count(UnitInstance::kTimeline), 1u) << screen.name;
    }
}

} // namespace
