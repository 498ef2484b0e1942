// The shader keys the material set-up composes for the game's seven effect
// files, read from the archives the build leaves (as the game reads them)
// and built with a recording device.
#pragma once

#include "support/effects/FakeListeners.h"
#include "support/effects/GameEffectFiles.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "support/effects/ShaderKeyCorpus.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Resource/PackageResource.h"
#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"
#include "sys/file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Every distinct key, in the order first asked for; empty when a file
// cannot be read.
inline std::vector<FulgorCore::ShaderKey> GameEffectShaderKeys() {
    Mireku::Resource::ResourceLoader loader;
    loader.SetMode(Mireku::Resource::ResourceLoader::kArchives);
    loader.OpenArchive((sys::ExecutableFolder() + "data/vfx").c_str());
    RecordingDevice device;
    FakeObjectListenner listener;
    bool read = true;
    for (const GameEffectFile& file : kGameEffectFiles) {
        void* data = nullptr;
        uint32_t size = 0;
        if (!loader.ReadFile(&data, &size, file.folder, file.file)) {
            read = false;
            break;
        }
        FulgorCore::ChunkWalker walker(data, size);
        FulgorCore::Chunk chunk;
        while (walker.Next(chunk))
            if (chunk.tag == FulgorCore::MakeChunkTag("Pack"))
                RecordBuild<FulgorCore::PackageResource>(chunk.payload, chunk.size, &device,
                                                         &listener);
        Mireku::Common::Heap::LockedFree(data);
    }
    loader.Finalize();
    std::vector<FulgorCore::ShaderKey> keys;
    if (!read)
        return keys;
    for (const FulgorCore::ShaderKey& key : device.shaderKeys)
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    return keys;
}

// The generators' corpus and, after it, every key the game's effect files
// compose, made once.
inline const std::vector<NamedKey>& ShaderKeyCorpusWithGameKeys() {
    static const std::vector<NamedKey> corpus = [] {
        std::vector<NamedKey> keys = ShaderKeyCorpus();
        const std::vector<FulgorCore::ShaderKey> game = GameEffectShaderKeys();
        for (size_t i = 0; i < game.size(); ++i)
            keys.push_back({"Game" + std::to_string(i), game[i]});
        return keys;
    }();
    return corpus;
}

} // namespace testsupport
