#pragma once

#include "engine/common/CriticalSection.h"
#include "engine/common/Delegate.h"
#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/common/Thread.h"
#include "engine/resource/LoadRequest.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>

namespace Mireku::Resource {

class DataFile;

// Reads the program's files from packed archives ("%s.index" + "%s.data") or
// from loose files under root folders, on the caller's thread or queued for
// its own loader thread.
class ResourceLoader : public Common::SingletonObject, public Common::Singleton<ResourceLoader> {
public:
    enum Mode : uint32_t { kLooseFiles = 0, kArchives = 1 };

    // One 128-byte index record: 116-byte name, then offset, stored size and
    // unpacked size, little-endian.
    static constexpr uint32_t kIndexRecordSize = 128;
    static constexpr uint32_t kIndexNameSize = 116;

    struct IndexEntry {
        uint32_t archive;
        uint32_t offset;
        uint32_t storedSize;
        uint32_t unpackedSize;
    };

    ResourceLoader() = default;
    ~ResourceLoader() override;

    // Starts the loader thread; errors go to the sink from now on.
    bool Initialize(const Common::ErrorSink& errorSink);
    // Stops the thread once it has served what was queued, joins it, closes
    // every data file and forgets the index. A read queued too late for the
    // thread fails here (its completion runs with null data and size 0), so
    // nothing waits for it for ever and nothing completes after the return.
    void Finalize();
    void SetErrorSink(const Common::ErrorSink& errorSink);

    // Any mode but the two known ones makes every read and test fail.
    void SetMode(uint32_t mode);
    uint32_t GetMode() const { return mode_; }
    // Loose-file roots, searched in the order added.
    void AddRootFolder(const char* path);

    // Registers archive `name`: its data file is opened and its index merged;
    // a name already known keeps the archive that registered it first.
    void OpenArchive(const char* name);

    // On success the data is a heap block owned by the caller.
    bool ReadFile(void** data, uint32_t* size, const char* folder, const char* name);
    bool Exists(const char* folder, const char* name);

    // Runs the step at once on the calling thread.
    void Load(const LoadStep& step);
    // Queues the step for the loader thread; false when it could not be
    // queued (the heap is exhausted) and will never run.
    bool LoadAsync(const LoadStep& step);
    // Queues a read; the completion runs on the loader thread, with null data
    // and size 0 when the file cannot be read. A read that cannot even be
    // queued fails at once: its completion runs on the calling thread.
    void LoadFileAsync(const char* folder, const char* name, const LoadCompletion& completion,
                       const void* user);

    // Removes and returns the first queued request; false when none is queued.
    bool TakeNext(LoadRequest* out);
    bool IsLoading();

    // Parses one index record; the name is bounded to its field even without a
    // terminator. `nameOut` holds kIndexNameSize + 1 bytes.
    static void ParseIndexRecord(const uint8_t* record, char* nameOut, IndexEntry* entry);

private:
    static constexpr uint32_t kMessageSize = 1024;

    using Key = Common::String;
    using IndexMap = std::map<Key, IndexEntry, std::less<>,
                              Common::HeapAllocator<std::pair<const Key, IndexEntry>>>;
    using RequestQueue = std::map<uint64_t, LoadRequest, std::less<>,
                                  Common::HeapAllocator<std::pair<const uint64_t, LoadRequest>>>;

    void ThreadBody();
    // False when the request could not be queued.
    bool Queue(LoadRequest& request);
    // Runs the completion of a read that will never be served.
    static void Fail(const LoadRequest& request);
    // TakeNext with the queue lock already held.
    bool TakeNextLocked(LoadRequest* out);
    void Process(const LoadRequest& request);
    bool OpenArchiveLocked(const char* name, char* message);
    bool ReadFromArchive(void** data, uint32_t* size, const char* folder, const char* name,
                         char* message);
    bool ReadLooseFile(void** data, uint32_t* size, const char* folder, const char* name);
    void Report(const char* message);

    Common::ErrorSink errorSink_;
    std::atomic<uint32_t> stop_{0};
    Common::Thread thread_;
    Common::CriticalSection queueLock_;
    Common::CriticalSection fileLock_;
    IndexMap index_;
    Common::Vector<DataFile*> dataFiles_;
    RequestQueue queue_;
    uint32_t mode_ = kLooseFiles;
    Common::Vector<Common::String> roots_;
    uint64_t sequence_ = 0;
    std::atomic<uint8_t> busy_{0};
};

// Exists on the loader singleton; false when there is none.
bool Exists(const char* folder, const char* name);

} // namespace Mireku::Resource
