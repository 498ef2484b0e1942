#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/resource/LoadRequest.h"

#include <cstdint>

// The game's switch between loading at once on the calling thread and
// queueing for the engine's loader thread. Start-up loads asynchronously
// until the effects controller is ready, then synchronously for good.
class FileLoader : public Mireku::Common::SingletonObject,
                   public Mireku::Common::Singleton<FileLoader> {
public:
    FileLoader() = default;

    // Synchronous: the step runs before Load returns, on this thread.
    // Otherwise it is queued and runs on the loader thread. Nothing happens
    // while there is no resource loader.
    void Load(const Mireku::Resource::LoadStep& step);

    void SetSynchronous(bool synchronous) { synchronous_ = synchronous ? 1 : 0; }
    bool IsSynchronous() const { return synchronous_ != 0; }

private:
    uint8_t synchronous_ = 0;
};
