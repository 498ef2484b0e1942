#include "engine/resource/ResourceLoader.h"

#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/DataFile.h"
#include "engine/resource/InflateBuffer.h"
#include "sys/bytes.h"
#include "sys/file.h"
#include "sys/thread.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace Mireku::Resource {

namespace {

constexpr const char* kDataOpenFailed = "dataファイルが開けません";
constexpr const char* kFileOpenFailed = "ファイルが開けません\n%s+%s";
constexpr const char* kNoMemory = "メモリ確保に失敗\n%s";
constexpr const char* kInflateFailed = "ファイルの解凍に失敗\n%s:n%u!=%u";

constexpr uint32_t kPathSize = 260;
// Index records are read in chunks so that an index of any size needs no
// buffer of its own size.
constexpr uint32_t kRecordsPerChunk = 64;

void FormatKey(char* key, const char* folder, const char* name) {
    if (folder)
        std::snprintf(key, kPathSize, "%s/%s", folder, name ? name : "");
    else
        std::snprintf(key, kPathSize, "%s", name ? name : "");
}

void FormatLoosePath(char* path, const char* root, const char* folder, const char* name) {
    if (folder)
        std::snprintf(path, kPathSize, "%s/%s/%s", root, folder, name ? name : "");
    else
        std::snprintf(path, kPathSize, "%s/%s", root, name ? name : "");
}

} // namespace

ResourceLoader::~ResourceLoader() {
    Finalize();
}

bool ResourceLoader::Initialize(const Common::ErrorSink& errorSink) {
    SetErrorSink(errorSink);
    busy_ = 1;
    stop_ = 0;
    return thread_.Start(Common::Delegate00(this, &ResourceLoader::ThreadBody),
                         Common::Thread::kAllProcessors);
}

void ResourceLoader::Finalize() {
    stop_ = 1;
    thread_.Join();
    thread_.ReleaseBody();
    LoadRequest late;
    while (TakeNext(&late))
        Fail(late);
    Common::ScopedLock fileLock(fileLock_);
    for (DataFile* file : dataFiles_)
        delete file;
    dataFiles_.clear();
    index_.clear();
    busy_ = 0;
}

void ResourceLoader::Fail(const LoadRequest& request) {
    if (request.step.IsEmpty() && !request.completion.IsEmpty())
        request.completion.Invoke(nullptr, 0, request.user, request.folder, request.name);
}

void ResourceLoader::SetErrorSink(const Common::ErrorSink& errorSink) {
    Common::ScopedLock lock(fileLock_);
    errorSink_ = errorSink;
}

void ResourceLoader::SetMode(uint32_t mode) {
    Common::ScopedLock lock(fileLock_);
    mode_ = mode;
}

void ResourceLoader::AddRootFolder(const char* path) {
    if (!path)
        return;
    Common::ScopedLock lock(fileLock_);
    try {
        roots_.emplace_back(path);
    } catch (const std::bad_alloc&) {
    }
}

// The sink is copied under the file lock and invoked outside it, so that a
// blocking message box never holds up the other readers.
void ResourceLoader::Report(const char* message) {
    Common::ErrorSink sink;
    {
        Common::ScopedLock lock(fileLock_);
        sink = errorSink_;
    }
    if (!sink.IsEmpty())
        sink.Invoke(message);
}

void ResourceLoader::ParseIndexRecord(const uint8_t* record, char* nameOut, IndexEntry* entry) {
    const size_t length = strnlen(reinterpret_cast<const char*>(record), kIndexNameSize);
    std::memcpy(nameOut, record, length);
    nameOut[length] = '\0';
    entry->offset = sys::LoadU32(record + 116);
    entry->storedSize = sys::LoadU32(record + 120);
    entry->unpackedSize = sys::LoadU32(record + 124);
}

void ResourceLoader::OpenArchive(const char* name) {
    char message[kMessageSize];
    bool ok;
    {
        Common::ScopedLock lock(fileLock_);
        ok = OpenArchiveLocked(name, message);
    }
    if (!ok)
        Report(message);
}

bool ResourceLoader::OpenArchiveLocked(const char* name, char* message) {
    std::snprintf(message, kMessageSize, "%s", kDataOpenFailed);
    if (!name)
        return false;
    char path[kPathSize];
    const uint32_t archive = static_cast<uint32_t>(dataFiles_.size());

    std::snprintf(path, sizeof(path), "%s.data", name);
    DataFile* data = new DataFile;
    if (!data)
        return false;
    if (!data->Open(path)) {
        delete data;
        return false;
    }
    try {
        dataFiles_.push_back(data);
    } catch (const std::bad_alloc&) {
        delete data;
        return false;
    }

    std::snprintf(path, sizeof(path), "%s.index", name);
    const intptr_t index = sys::OpenFileRead(path);
    if (index == sys::kInvalidFile)
        return false;
    const int64_t fileSize = sys::FileSize(index);
    uint64_t remaining = fileSize > 0 ? static_cast<uint64_t>(fileSize) / kIndexRecordSize : 0;

    uint8_t chunk[kIndexRecordSize * kRecordsPerChunk];
    char entryName[kIndexNameSize + 1];
    bool ok = true;
    try {
        while (remaining > 0) {
            const uint32_t records =
                remaining < kRecordsPerChunk ? static_cast<uint32_t>(remaining) : kRecordsPerChunk;
            const size_t want = size_t{records} * kIndexRecordSize;
            const size_t got = sys::ReadFile(index, chunk, want);
            // A file that shrank under us ends the index at its last whole record.
            const uint32_t whole = static_cast<uint32_t>(got / kIndexRecordSize);
            for (uint32_t i = 0; i < whole; ++i) {
                IndexEntry entry;
                ParseIndexRecord(chunk + size_t{i} * kIndexRecordSize, entryName, &entry);
                entry.archive = archive;
                // emplace never replaces: the first archive to register a name serves it.
                index_.emplace(Key(entryName), entry);
            }
            if (got != want)
                break;
            remaining -= records;
        }
    } catch (const std::bad_alloc&) {
        std::snprintf(message, kMessageSize, kNoMemory, name);
        ok = false;
    }
    sys::CloseFile(index);
    return ok;
}

bool ResourceLoader::ReadFile(void** data, uint32_t* size, const char* folder, const char* name) {
    char message[kMessageSize];
    message[0] = '\0';
    bool ok = false;
    {
        Common::ScopedLock lock(fileLock_);
        if (mode_ == kArchives) {
            ok = ReadFromArchive(data, size, folder, name, message);
        } else if (mode_ == kLooseFiles) {
            ok = ReadLooseFile(data, size, folder, name);
        } else {
            *data = nullptr;
            *size = 0;
        }
    }
    if (!ok && message[0] != '\0')
        Report(message);
    return ok;
}

bool ResourceLoader::ReadFromArchive(void** data, uint32_t* size, const char* folder,
                                     const char* name, char* message) {
    *data = nullptr;
    *size = 0;
    const char* shownName = name ? name : "";
    auto openFailed = [&] {
        std::snprintf(message, kMessageSize, kFileOpenFailed, folder ? folder : "", shownName);
    };
    char key[kPathSize];
    FormatKey(key, folder, name);

    auto found = index_.find(std::string_view(key));
    if (found == index_.end() || found->second.archive >= dataFiles_.size()) {
        openFailed();
        return false;
    }
    const IndexEntry& entry = found->second;
    const DataFile& file = *dataFiles_[entry.archive];
    // The index comes from disk: an entry that runs past the data file is
    // refused before anything is allocated or read.
    if (uint64_t{entry.offset} + entry.storedSize > file.GetSize()) {
        openFailed();
        return false;
    }

    void* block = entry.unpackedSize ? Common::Heap::LockedAllocTop(entry.unpackedSize) : nullptr;
    if (!block) {
        std::snprintf(message, kMessageSize, kNoMemory, shownName);
        return false;
    }

    bool ok;
    if (entry.storedSize == entry.unpackedSize) {
        ok = file.ReadAt(entry.offset, block, entry.storedSize);
        if (!ok)
            openFailed();
    } else {
        void* packed = entry.storedSize ? Common::Heap::LockedAllocTop(entry.storedSize) : nullptr;
        if (!packed && entry.storedSize) {
            std::snprintf(message, kMessageSize, kNoMemory, shownName);
            ok = false;
        } else if (!file.ReadAt(entry.offset, packed, entry.storedSize)) {
            openFailed();
            ok = false;
        } else {
            uint32_t produced = 0;
            const bool ended =
                InflateBuffer(packed, entry.storedSize, block, entry.unpackedSize, &produced);
            ok = ended && produced == entry.unpackedSize;
            if (!ok)
                std::snprintf(message, kMessageSize, kInflateFailed, shownName, produced,
                              entry.unpackedSize);
        }
        if (packed)
            Common::Heap::LockedFree(packed);
    }
    if (!ok) {
        Common::Heap::LockedFree(block);
        return false;
    }
    *data = block;
    *size = entry.unpackedSize;
    return true;
}

bool ResourceLoader::ReadLooseFile(void** data, uint32_t* size, const char* folder,
                                   const char* name) {
    *data = nullptr;
    *size = 0;
    char path[kPathSize];
    for (const Common::String& root : roots_) {
        FormatLoosePath(path, root.c_str(), folder, name);
        const intptr_t file = sys::OpenFileRead(path);
        if (file == sys::kInvalidFile)
            continue;
        const int64_t length = sys::FileSize(file);
        void* block = nullptr;
        if (length > 0 && length <= 0xFFFFFFFFll)
            block = Common::Heap::LockedAllocTop(static_cast<size_t>(length));
        if (block && sys::ReadFile(file, block, static_cast<size_t>(length)) ==
                         static_cast<size_t>(length)) {
            sys::CloseFile(file);
            *data = block;
            *size = static_cast<uint32_t>(length);
            return true;
        }
        if (block)
            Common::Heap::LockedFree(block);
        sys::CloseFile(file);
    }
    return false;
}

bool ResourceLoader::Exists(const char* folder, const char* name) {
    Common::ScopedLock lock(fileLock_);
    char path[kPathSize];
    if (mode_ == kArchives) {
        FormatKey(path, folder, name);
        return index_.find(std::string_view(path)) != index_.end();
    }
    if (mode_ != kLooseFiles)
        return false;
    for (const Common::String& root : roots_) {
        FormatLoosePath(path, root.c_str(), folder, name);
        const intptr_t file = sys::OpenFileRead(path);
        if (file != sys::kInvalidFile) {
            sys::CloseFile(file);
            return true;
        }
    }
    return false;
}

void ResourceLoader::Load(const LoadStep& step) {
    LoadRequest request;
    request.step = step;
    Process(request);
}

bool ResourceLoader::LoadAsync(const LoadStep& step) {
    LoadRequest request;
    request.step = step;
    return Queue(request);
}

void ResourceLoader::LoadFileAsync(const char* folder, const char* name,
                                   const LoadCompletion& completion, const void* user) {
    LoadRequest request;
    request.completion = completion;
    request.user = user;
    request.SetPath(folder, name);
    // A dropped read would leave its caller waiting for ever.
    if (!Queue(request))
        Fail(request);
}

// Keys grow with the sequence, so the queue is served in the order queued.
bool ResourceLoader::Queue(LoadRequest& request) {
    Common::ScopedLock lock(queueLock_);
    request.key = sequence_ << 8;
    try {
        queue_.emplace(request.key, request);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ++sequence_;
    return true;
}

bool ResourceLoader::TakeNext(LoadRequest* out) {
    Common::ScopedLock lock(queueLock_);
    return TakeNextLocked(out);
}

bool ResourceLoader::TakeNextLocked(LoadRequest* out) {
    if (queue_.empty())
        return false;
    auto first = queue_.begin();
    *out = std::move(first->second);
    queue_.erase(first);
    if (queue_.empty())
        sequence_ = 0;
    return true;
}

bool ResourceLoader::IsLoading() {
    Common::ScopedLock lock(queueLock_);
    return busy_ != 0 || !queue_.empty();
}

void ResourceLoader::Process(const LoadRequest& request) {
    if (!request.step.IsEmpty()) {
        ChildResourceLoader child;
        request.step.Invoke(child, request.user);
        return;
    }
    void* data = nullptr;
    uint32_t size = 0;
    const bool ok = ReadFile(&data, &size, request.folder, request.name);
    if (!request.completion.IsEmpty())
        request.completion.Invoke(ok ? data : nullptr, ok ? size : 0, request.user, request.folder,
                                  request.name);
    if (data)
        Common::Heap::LockedFree(data);
}

// What is queued when the stop flag goes up is still served: the flag is
// tested only once the queue has been found empty.
void ResourceLoader::ThreadBody() {
    LoadRequest request;
    for (;;) {
        busy_ = 1;
        // The queue lock is held from the test that finds the queue empty until
        // the busy flag is down, so IsLoading never sees a gap between the two.
        queueLock_.Enter();
        while (TakeNextLocked(&request)) {
            queueLock_.Leave();
            Process(request);
            request = LoadRequest();
            sys::YieldThread();
            queueLock_.Enter();
        }
        busy_ = 0;
        queueLock_.Leave();
        if (stop_ != 0)
            break;
        sys::SleepMilliseconds(10);
    }
}

bool Exists(const char* folder, const char* name) {
    ResourceLoader* loader = ResourceLoader::GetInstance();
    return loader && loader->Exists(folder, name);
}

} // namespace Mireku::Resource
