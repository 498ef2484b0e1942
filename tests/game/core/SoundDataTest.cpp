// The sound manager over the sample data that the build generates.
#include "game/core/SoundManager.h"

#include "engine/resource/ResourceLoader.h"
#include "engine/sound/StaticSound.h"
#include "engine/sound/StreamSound.h"
#include "game/app/GameFramework.h"
#include "game/core/FileLoader.h"
#include "support/NullSound.h"
#include "sys/file.h"
#include "tools/soundgen/SoundData.h"

#include <gtest/gtest.h>

#include <cmath>

using Mireku::Resource::ResourceLoader;

TEST(SoundData, EveryGeneratedSoundLoadsFromTheArchives) {
    soundtest::NullSoundDriver null;
    ResourceLoader* loader = ResourceLoader::CreateInstance();
    ASSERT_TRUE(loader->Initialize({}));
    loader->SetMode(ResourceLoader::kArchives);
    const std::string data = sys::ExecutableFolder();
    for (const char* archive : GameFramework::kArchives)
        loader->OpenArchive((data + archive).c_str());
    FileLoader::CreateInstance()->SetSynchronous(true);
    SoundManager* manager = SoundManager::CreateInstance();
    ASSERT_TRUE(manager->Initialize());

    for (uint32_t id = 0; id < SoundManager::kEffectCount; ++id)
        ASSERT_NE(manager->GetEffectVoice(id, 15), nullptr) << id;
    for (uint32_t pilot = 0; pilot < SoundManager::kPilotCount; ++pilot)
        for (uint32_t line = 0; line < SoundManager::kLinesPerPilot; ++line)
            ASSERT_NE(manager->GetPilotVoice(pilot, line), nullptr) << pilot << " " << line;

    // Every music track opens and decodes; the first one plays.
    int32_t slots[2] = {-1, -1};
    const auto names = soundgen::MusicNames();
    for (size_t i = 0; i < names.size(); ++i) {
        int32_t& slot = slots[i == 0 ? 0 : 1];
        manager->OpenStream(&slot, "sound/bgm", names[i].c_str());
        ASSERT_TRUE(manager->WaitStream(slot)) << names[i];
        ASSERT_TRUE(manager->IsStreamReady(slot)) << names[i];
        ASSERT_TRUE(manager->GetStream(slot)->HasVoice()) << names[i];
        if (i > 0)
            manager->ReleaseStream(&slot);
    }
    manager->PlayMusic(slots[0], true);
    const auto out = null.PullStream(manager->GetStream(slots[0]), 24000);
    double energy = 0;
    for (float s : out)
        energy += s * s;
    EXPECT_GT(std::sqrt(energy / out.size()), 0.05) << "the title music is audible";

    manager->Finalize();
    SoundManager::DestroyInstance();
    FileLoader::DestroyInstance();
    loader->Finalize();
    ResourceLoader::DestroyInstance();
}
