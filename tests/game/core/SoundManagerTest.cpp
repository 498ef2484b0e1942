#include "game/core/SoundManager.h"

#include "engine/resource/ResourceLoader.h"
#include "engine/sound/StaticSound.h"
#include "engine/sound/StreamSound.h"
#include "game/app/GameFramework.h"
#include "game/core/ConfigBlock.h"
#include "game/core/FileLoader.h"
#include "support/ExhaustedHeap.h"
#include "support/NullSound.h"
#include "support/ScratchFolder.h"
#include "sys/file.h"
#include "tools/soundgen/SoundData.h"
#include "tools/soundgen/SoundSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

using Mireku::Resource::ResourceLoader;
using Mireku::Sound::StaticSound;

namespace {

// Loose sound files in a scratch folder, read through the resource loader.
class SoundManagerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = std::make_unique<testsupport::ScratchFolder>();
        root_ = scratch_->Root();
        const auto blip = soundgen::MakeWav(std::vector<float>(480, 0.5f), 1, 48000, 16);
        Write("sound/se/common", "005.wav", blip);
        Write("sound/se/common", "106.wav", blip);
        Write("sound/voice/voice_pc01", "pcg01_003.wav", blip);
        Write("sound/voice/voice_pc06", "pcg06_031.wav", blip);
        Write("sound/bgm", "title.ogg",
              soundgen::EncodeOggVorbis(soundgen::Tone(220.0f, 0.3f, 48000), 1, 48000));
    }
    static void TearDownTestSuite() { scratch_.reset(); }
    static void Write(const std::string& folder, const std::string& name,
                      const std::vector<uint8_t>& bytes) {
        const std::string dir = root_ + "/" + folder;
        ASSERT_TRUE(sys::CreateFolders(dir.c_str()));
        ASSERT_TRUE(sys::AtomicReplace((dir + "/" + name).c_str(), bytes.data(), bytes.size()));
    }

    // Where the sounds come from: the loose files.
    virtual void OpenData(ResourceLoader& loader) { loader.AddRootFolder(root_.c_str()); }

    void SetUp() override {
        loader_ = ResourceLoader::CreateInstance();
        ASSERT_TRUE(loader_->Initialize({}));
        OpenData(*loader_);
        FileLoader::CreateInstance()->SetSynchronous(true);
        manager_ = SoundManager::CreateInstance();
        ASSERT_TRUE(manager_->Initialize());
        ASSERT_TRUE(manager_->AreBanksLoaded());
        g_currentMusicSlot = -1;
    }
    void TearDown() override {
        manager_->Finalize();
        SoundManager::DestroyInstance();
        FileLoader::DestroyInstance();
        loader_->Finalize();
        ResourceLoader::DestroyInstance();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            manager_->Update();
    }
    bool Started(uint32_t id, uint32_t voice) {
        return manager_->GetEffectVoice(id, voice)->GetVoice()->IsStarted();
    }

    static inline std::unique_ptr<testsupport::ScratchFolder> scratch_;
    static inline std::string root_;
    soundtest::NullSoundDriver null_;
    ResourceLoader* loader_ = nullptr;
    SoundManager* manager_ = nullptr;
};

} // namespace

TEST_F(SoundManagerTest, LoadsEveryFileThatExists) {
    StaticSound* first = manager_->GetEffectVoice(5, 0);
    ASSERT_NE(first, nullptr);
    for (uint32_t v = 1; v < 16; ++v)
        EXPECT_EQ(manager_->GetEffectVoice(5, v)->GetWave(), first->GetWave()) << v;
    EXPECT_NE(manager_->GetEffectVoice(106, 15), nullptr);
    EXPECT_EQ(manager_->GetEffectVoice(6, 0), nullptr);
    EXPECT_NE(manager_->GetPilotVoice(0, 3), nullptr);
    EXPECT_NE(manager_->GetPilotVoice(5, 31), nullptr);
    EXPECT_EQ(manager_->GetPilotVoice(0, 4), nullptr);
}

TEST_F(SoundManagerTest, ThrottlesRepeatsAndRotatesVoices) {
    manager_->PlaySE(5, false); // frame 0: within 3 frames of "last play" 0
    EXPECT_EQ(manager_->GetNextVoice(5), 0u);
    Frames(3);
    manager_->PlaySE(5, false);
    EXPECT_TRUE(Started(5, 0));
    EXPECT_EQ(manager_->GetNextVoice(5), 1u);
    Frames(1);
    manager_->PlaySE(5, false); // dropped, not queued
    Frames(1);
    manager_->PlaySE(5, false);
    EXPECT_FALSE(Started(5, 1));
    Frames(1);
    manager_->PlaySE(5, false); // third frame after the first
    EXPECT_TRUE(Started(5, 1));
    EXPECT_EQ(manager_->GetNextVoice(5), 2u);
    for (int i = 0; i < 14; ++i) {
        Frames(3);
        manager_->PlaySE(5, false);
    }
    EXPECT_EQ(manager_->GetNextVoice(5), 0u) << "sixteen voices in turn";
    // Another id is throttled on its own.
    manager_->PlaySE(106, false);
    EXPECT_TRUE(Started(106, 0));

    manager_->StopSE(5);
    for (uint32_t v = 0; v < 16; ++v)
        EXPECT_FALSE(Started(5, v));
    EXPECT_EQ(manager_->GetNextVoice(5), 0u);
    manager_->PlaySE(5, true); // at once, from voice 0
    EXPECT_TRUE(Started(5, 0));
    EXPECT_TRUE(manager_->GetEffectVoice(5, 0)->IsLooping());
}

TEST_F(SoundManagerTest, OutOfRangeIdsAreIgnored) {
    Frames(3);
    manager_->PlaySE(107, false);
    manager_->PlaySE(-1, false);
    manager_->StopSE(107);
    manager_->StopSE(-5);
    manager_->PlaySE(6, false); // no file: nothing plays, nothing breaks
    manager_->PlayVoice(6, 0);
    manager_->PlayVoice(0, 32);
    manager_->PlayVoice(-1, 3);
    EXPECT_EQ(manager_->GetNextVoice(107), 0u);
    for (float s : null_.PullLeft(100))
        ASSERT_EQ(s, 0.0f);
}

TEST_F(SoundManagerTest, VolumesFollowTheConfiguration) {
    Frames(3);
    manager_->PlaySE(5, false);
    EXPECT_FLOAT_EQ(manager_->GetEffectVoice(5, 0)->GetVoice()->GetVolume(), 0.8f);
    const auto out = null_.PullLeft(10);
    EXPECT_NEAR(out[3], 0.8f * 0.5f, 1e-4) << "the mix at the effect volume";

    uint8_t config[ConfigBlock::kSize];
    ConfigBlock::Reset(config);
    config[ConfigBlock::kOffsetSoundVolume] = 0;
    config[ConfigBlock::kOffsetVoiceVolume] = 120;
    manager_->SetConfig(config);
    Frames(3);
    manager_->PlaySE(5, false);
    EXPECT_EQ(manager_->GetEffectVoice(5, 1)->GetVoice()->GetVolume(), 0.0f);
    manager_->PlayVoice(0, 3);
    EXPECT_TRUE(manager_->GetPilotVoice(0, 3)->GetVoice()->IsStarted());
    EXPECT_EQ(manager_->GetPilotVoice(0, 3)->GetVoice()->GetVolume(), 1.0f);
    config[ConfigBlock::kOffsetSoundVolume] = 0xF6; // -10
    Frames(3);
    manager_->PlaySE(5, false);
    EXPECT_EQ(manager_->GetEffectVoice(5, 2)->GetVoice()->GetVolume(), 0.0f);
    manager_->SetConfig(ConfigBlock::Defaults());
}

TEST_F(SoundManagerTest, MusicSlotLoadsPlaysAndReleases) {
    int32_t slot = 7;
    manager_->OpenStream(&slot, "sound/bgm", "title.ogg");
    ASSERT_EQ(slot, 0);
    EXPECT_TRUE(manager_->WaitStream(slot));
    EXPECT_TRUE(manager_->IsStreamSettled(slot));
    EXPECT_TRUE(manager_->IsStreamReady(slot));
    auto* stream = manager_->GetStream(slot);
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(stream->HasVoice());

    manager_->PlayMusic(slot, true);
    ASSERT_TRUE(soundtest::WaitIdle(stream));
    EXPECT_TRUE(manager_->IsStreamPlaying(slot));
    EXPECT_FLOAT_EQ(stream->GetVoice()->GetVolume(), 1.0f);

    g_currentMusicSlot = slot;
    manager_->SetMusicVolumeScale(0.5f);
    EXPECT_FLOAT_EQ(stream->GetVoice()->GetVolume(), 0.5f);
    manager_->PauseMusic();
    ASSERT_TRUE(soundtest::WaitIdle(stream));
    EXPECT_EQ(stream->GetPlayState(), Mireku::Sound::StreamSound::kPaused);
    manager_->PauseMusic();
    manager_->StopStream(slot);
    ASSERT_TRUE(soundtest::WaitIdle(stream));
    EXPECT_FALSE(manager_->IsStreamPlaying(slot));

    manager_->ReleaseStream(&slot);
    EXPECT_EQ(slot, -1);
    EXPECT_EQ(manager_->GetSlotFlags(0), 0u);
    EXPECT_TRUE(manager_->IsStreamReady(-1));
    EXPECT_TRUE(manager_->IsStreamSettled(-1));
    EXPECT_FALSE(manager_->WaitStream(-1));
    manager_->ReleaseStream(&slot); // -1: nothing
}

TEST_F(SoundManagerTest, UnreadableStreamFailsAndSlotsRunOut) {
    int32_t missing = -1;
    manager_->OpenStream(&missing, "sound/bgm", "nothing.ogg");
    ASSERT_EQ(missing, 0);
    manager_->WaitStream(missing);
    EXPECT_EQ(manager_->GetSlotFlags(missing) & SoundManager::kStateMask, SoundManager::kFailed);
    EXPECT_FALSE(manager_->IsStreamReady(missing));
    EXPECT_TRUE(manager_->IsStreamSettled(missing)) << "a failed slot is not waited for";
    manager_->PlayMusic(missing, false);
    EXPECT_FALSE(manager_->IsStreamPlaying(missing));

    int32_t slots[15];
    for (int32_t& s : slots) {
        manager_->OpenStream(&s, "sound/bgm", "title.ogg");
        EXPECT_GE(s, 1);
    }
    int32_t extra = 3;
    manager_->OpenStream(&extra, "sound/bgm", "title.ogg");
    EXPECT_EQ(extra, -1);
    manager_->ReleaseStream(&missing);
    manager_->OpenStream(&extra, "sound/bgm", "title.ogg");
    EXPECT_EQ(extra, 0) << "a released failed slot is free again";
}

TEST_F(SoundManagerTest, AStreamTheLoaderCannotTakeFailsRatherThanLoadingForEver) {
    int32_t slot = -1;
    // With no room at all the completion cannot be made; with 64 bytes it can,
    // but the loader's queue cannot take the request.
    for (size_t room : {0u, 64u}) {
        {
            testing::internal::CaptureStderr(); // the heap reports each refusal
            testsupport::ExhaustedHeap exhausted(room);
            manager_->OpenStream(&slot, "sound/bgm", "title.ogg");
            testing::internal::GetCapturedStderr();
        }
        ASSERT_EQ(slot, 0);
        // Checked before any wait: a slot left loading would make the waits spin.
        ASSERT_EQ(manager_->GetSlotFlags(slot) & SoundManager::kStateMask, SoundManager::kFailed)
            << room;
        EXPECT_TRUE(manager_->WaitStream(slot));
        manager_->PlayMusic(slot, true);
        EXPECT_FALSE(manager_->IsStreamPlaying(slot));
        manager_->ReleaseStream(&slot);
        EXPECT_EQ(slot, -1);
    }
    manager_->OpenStream(&slot, "sound/bgm", "title.ogg");
    EXPECT_EQ(slot, 0) << "the slot is free again";
    EXPECT_TRUE(manager_->WaitStream(slot));
    EXPECT_TRUE(manager_->IsStreamReady(slot));
    manager_->ReleaseStream(&slot);
}

TEST_F(SoundManagerTest, WithoutThePluginMusicIsSilent) {
    null_.driver->SetPluginFolder("/nonexistent/");
    int32_t slot = -1;
    manager_->OpenStream(&slot, "sound/bgm", "title.ogg");
    ASSERT_TRUE(manager_->WaitStream(slot));
    EXPECT_TRUE(manager_->IsStreamReady(slot));
    manager_->PlayMusic(slot, true);
    EXPECT_FALSE(manager_->IsStreamPlaying(slot));
    manager_->FadeOutStream(slot);
    Frames(2);
    for (float s : null_.PullLeft(500))
        ASSERT_EQ(s, 0.0f);
}

// The sounds the build generates, from the game's archives.
class GeneratedSounds : public SoundManagerTest {
protected:
    void OpenData(ResourceLoader& loader) override {
        loader.SetMode(ResourceLoader::kArchives);
        for (const char* archive : GameFramework::kArchives)
            loader.OpenArchive((sys::ExecutableFolder() + archive).c_str());
    }
};

TEST_F(GeneratedSounds, EveryOneLoadsAndTheTitleMusicIsAudible) {
    for (uint32_t id = 0; id < SoundManager::kEffectCount; ++id)
        ASSERT_NE(manager_->GetEffectVoice(id, 15), nullptr) << id;
    for (uint32_t pilot = 0; pilot < SoundManager::kPilotCount; ++pilot)
        for (uint32_t line = 0; line < SoundManager::kLinesPerPilot; ++line)
            ASSERT_NE(manager_->GetPilotVoice(pilot, line), nullptr) << pilot << " " << line;
    // Every music track opens and decodes; the first one plays.
    int32_t slots[2] = {-1, -1};
    const auto names = soundgen::MusicNames();
    for (size_t i = 0; i < names.size(); ++i) {
        int32_t& slot = slots[i == 0 ? 0 : 1];
        manager_->OpenStream(&slot, "sound/bgm", names[i].c_str());
        ASSERT_TRUE(manager_->WaitStream(slot)) << names[i];
        ASSERT_TRUE(manager_->IsStreamReady(slot)) << names[i];
        ASSERT_TRUE(manager_->GetStream(slot)->HasVoice()) << names[i];
        if (i > 0)
            manager_->ReleaseStream(&slot);
    }
    manager_->PlayMusic(slots[0], true);
    const auto out = null_.PullStream(manager_->GetStream(slots[0]), 24000);
    double energy = 0;
    for (float s : out)
        energy += s * s;
    EXPECT_GT(std::sqrt(energy / out.size()), 0.05);
}

namespace {

// A loader without its thread: a test takes each queued read and completes
// it by hand, so a slot can be watched while it is still loading.
class StreamSettleTest : public ::testing::Test {
protected:
    void SetUp() override {
        loader_ = ResourceLoader::CreateInstance();
        manager_ = SoundManager::CreateInstance();
        ASSERT_TRUE(manager_->Initialize());
    }
    void TearDown() override {
        manager_->Finalize();
        SoundManager::DestroyInstance();
        ResourceLoader::DestroyInstance();
    }
    // Runs the next queued read's completion with `bytes` (empty: the read failed).
    void Complete(std::vector<uint8_t> bytes) {
        Mireku::Resource::LoadRequest request;
        ASSERT_TRUE(loader_->TakeNext(&request));
        request.completion(bytes.empty() ? nullptr : bytes.data(),
                           static_cast<unsigned int>(bytes.size()), request.user, request.folder,
                           request.name);
    }

    soundtest::NullSoundDriver null_;
    ResourceLoader* loader_ = nullptr;
    SoundManager* manager_ = nullptr;
};

} // namespace

TEST_F(StreamSettleTest, ReadyFailedAndNoneAreSettledLoadingIsNot) {
    EXPECT_TRUE(manager_->IsStreamSettled(-1)) << "nothing opened: nothing to wait for";
    EXPECT_TRUE(manager_->IsStreamSettled(16)) << "no slot of that number ever loads";

    int32_t music = -1, missing = -1;
    manager_->OpenStream(&music, "sound/bgm", "title.ogg");
    manager_->OpenStream(&missing, "sound/bgm", "nothing.ogg");
    ASSERT_EQ(music, 0);
    ASSERT_EQ(missing, 1);
    EXPECT_FALSE(manager_->IsStreamSettled(music));
    EXPECT_FALSE(manager_->IsStreamSettled(missing));

    Complete(soundgen::EncodeOggVorbis(soundgen::Tone(220.0f, 0.3f, 48000), 1, 48000));
    EXPECT_TRUE(manager_->IsStreamReady(music));
    EXPECT_TRUE(manager_->IsStreamSettled(music));
    EXPECT_FALSE(manager_->IsStreamSettled(missing));

    Complete({});
    EXPECT_FALSE(manager_->IsStreamReady(missing)) << "failed is not ready";
    EXPECT_TRUE(manager_->IsStreamSettled(missing)) << "but it will never load either";
}

TEST_F(StreamSettleTest, EachSlotKeepsTheNameItWasOpenedWith) {
    EXPECT_STREQ(manager_->GetStreamName(-1), "");
    EXPECT_STREQ(manager_->GetStreamName(16), "");
    int32_t music = -1, missing = -1;
    manager_->OpenStream(&music, "sound/bgm", "vam_035.ogg");
    manager_->OpenStream(&missing, "sound/bgm", "nothing.ogg");
    EXPECT_STREQ(manager_->GetStreamName(music), "vam_035.ogg");
    EXPECT_STREQ(manager_->GetStreamName(missing), "nothing.ogg") << "also a file that fails";
    Complete({});
    Complete({});
    manager_->ReleaseStream(&music);
    manager_->OpenStream(&music, "sound/bgm", "vam_022.ogg");
    EXPECT_STREQ(manager_->GetStreamName(music), "vam_022.ogg") << "the slot's last file";
    Complete({});
}
