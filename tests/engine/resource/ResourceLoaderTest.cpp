#include "support/ArchiveTestSupport.h"
#include "support/ExhaustedHeap.h"

#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "sys/thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>

using Mireku::Common::Heap;
using Mireku::Resource::ChildResourceLoader;
using Mireku::Resource::LoadCompletion;
using Mireku::Resource::LoadRequest;
using Mireku::Resource::LoadStep;
using Mireku::Resource::ResourceLoader;
using testsupport::Compressible;
using testsupport::Incompressible;
using testsupport::Pack;

namespace {

uint32_t U32At(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
}

void PutU32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

std::vector<uint8_t> Record(const std::string& name, uint32_t offset, uint32_t stored,
                            uint32_t unpacked) {
    std::vector<uint8_t> r(128, 0);
    std::memcpy(r.data(), name.data(), std::min<size_t>(name.size(), 116));
    PutU32(r, 116, offset);
    PutU32(r, 120, stored);
    PutU32(r, 124, unpacked);
    return r;
}

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        loader_ = ResourceLoader::CreateInstance();
        ASSERT_NE(loader_, nullptr);
        ASSERT_TRUE(loader_->Initialize(log_.Sink()));
    }
    void TearDown() override {
        if (loader_)
            loader_->Finalize();
        ResourceLoader::DestroyInstance();
    }

    // Reads and returns the bytes, or an empty optional-like flag on failure.
    bool Read(const char* folder, const char* name, std::vector<uint8_t>* out) {
        void* data = nullptr;
        uint32_t size = 0;
        const bool ok = loader_->ReadFile(&data, &size, folder, name);
        out->clear();
        if (ok) {
            const uint8_t* p = static_cast<const uint8_t*>(data);
            out->assign(p, p + size);
            Heap::LockedFree(data);
        } else {
            EXPECT_EQ(data, nullptr);
            EXPECT_EQ(size, 0u);
        }
        return ok;
    }

    void OpenArchive(const std::string& name) {
        loader_->SetMode(ResourceLoader::kArchives);
        loader_->OpenArchive(scratch_.Path(name).c_str());
    }

    testsupport::ScratchFolder scratch_;
    testsupport::MessageLog log_;
    ResourceLoader* loader_ = nullptr;
};

TEST_F(LoaderTest, RawAndCompressedEntriesComeBackByteForByte) {
    const auto raw = Incompressible(5000, 1);
    const auto packed = Compressible(70000, 2);
    Pack(scratch_.Path("a"), {{"tex/raw.bin", raw}, {"tex/packed.bin", packed}});

    // The packer stored one raw and compressed the other.
    const auto index = scratch_.ReadFile("a.index");
    ASSERT_EQ(index.size(), 256u);
    for (size_t at = 0; at < index.size(); at += 128) {
        const std::string name(reinterpret_cast<const char*>(&index[at]));
        if (name == "tex/raw.bin")
            EXPECT_EQ(U32At(index, at + 120), U32At(index, at + 124));
        else
            EXPECT_LT(U32At(index, at + 120), U32At(index, at + 124));
    }

    OpenArchive("a");
    std::vector<uint8_t> got;
    ASSERT_TRUE(Read("tex", "raw.bin", &got));
    EXPECT_EQ(got, raw);
    ASSERT_TRUE(Read("tex", "packed.bin", &got));
    EXPECT_EQ(got, packed);
    EXPECT_TRUE(loader_->Exists("tex", "raw.bin"));
    EXPECT_FALSE(loader_->Exists("TEX", "raw.bin"));
    EXPECT_TRUE(log_.Messages().empty());
}

TEST_F(LoaderTest, FirstOpenedArchiveWinsADuplicateName) {
    Pack(scratch_.Path("high"), {{"code/t.tsb", {1, 1, 1}}});
    Pack(scratch_.Path("low"), {{"code/t.tsb", {2, 2, 2, 2}}, {"code/only_low.tsb", {9}}});
    OpenArchive("high");
    OpenArchive("low");
    std::vector<uint8_t> got;
    ASSERT_TRUE(Read("code", "t.tsb", &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{1, 1, 1}));
    // The second archive's own entries are read from its own data file.
    ASSERT_TRUE(Read("code", "only_low.tsb", &got));
    EXPECT_EQ(got, std::vector<uint8_t>{9});
}

TEST_F(LoaderTest, MissingFilesReportTheirMessages) {
    Pack(scratch_.Path("a"), {{"f/x", {1}}});
    OpenArchive("missing");
    EXPECT_EQ(log_.Messages(), std::vector<std::string>{"dataファイルが開けません"});

    // A data file without its index stays registered, so the archives
    // opened after it keep their numbers.
    scratch_.WriteFile("noindex.data", {7, 7});
    OpenArchive("noindex");
    OpenArchive("a");
    std::vector<uint8_t> got;
    ASSERT_TRUE(Read("f", "x", &got));
    EXPECT_EQ(got, std::vector<uint8_t>{1});
    EXPECT_FALSE(Read("f", "nothere", &got));
    EXPECT_EQ(log_.Messages(),
              (std::vector<std::string>{"dataファイルが開けません", "dataファイルが開けません",
                                        "ファイルが開けません\nf+nothere"}));
}

TEST_F(LoaderTest, ZeroSizeEntryFailsWithTheMemoryMessage) {
    Pack(scratch_.Path("a"), {{"f/empty", {}}});
    OpenArchive("a");
    std::vector<uint8_t> got;
    EXPECT_FALSE(Read("f", "empty", &got));
    EXPECT_EQ(log_.Messages(), std::vector<std::string>{"メモリ確保に失敗\nempty"});
}

TEST_F(LoaderTest, TrailingPartialRecordIsIgnored) {
    Pack(scratch_.Path("a"), {{"f/x", {5, 6}}});
    auto index = scratch_.ReadFile("a.index");
    auto partial = Record("f/y", 0, 2, 2);
    index.insert(index.end(), partial.begin(), partial.begin() + 100);
    scratch_.WriteFile("a.index", index);
    OpenArchive("a");
    EXPECT_TRUE(loader_->Exists("f", "x"));
    EXPECT_FALSE(loader_->Exists("f", "y"));
}

TEST_F(LoaderTest, CorruptEntriesFailWithoutReadingOutside) {
    std::vector<uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8};
    const auto good = Compressible(1000, 3);
    std::vector<uint8_t> packed;
    ASSERT_TRUE(tools::CompressIfSmaller(good, &packed));
    const uint32_t packedAt = static_cast<uint32_t>(data.size());
    data.insert(data.end(), packed.begin(), packed.end());
    scratch_.WriteFile("bad.data", data);

    std::vector<uint8_t> index;
    auto add = [&](const std::vector<uint8_t>& r) {
        index.insert(index.end(), r.begin(), r.end());
    };
    add(Record("f/past_end", static_cast<uint32_t>(data.size()) - 4, 8, 8));
    add(Record("f/wraps", 0xFFFFFFF0u, 0x20, 0x20));
    add(Record("f/short", packedAt, static_cast<uint32_t>(packed.size()), 999));
    add(Record("f/long", packedAt, static_cast<uint32_t>(packed.size()), 1001));
    add(Record("f/notzlib", 0, 8, 100));
    add(Record("f/ok", 2, 3, 3));
    // A name that fills its whole field has no terminator: it ends at 116,
    // before the offset field's first byte (2 here, not a terminator).
    add(Record(std::string("f/") + std::string(114, 'n'), 2, 3, 3));
    // Past the end of the data file, and more than the heap could ever give:
    // refused by the bounds, before any allocation is tried.
    add(Record("f/huge", static_cast<uint32_t>(data.size()) - 4, 8, 0x7FFFFFF0u));
    scratch_.WriteFile("bad.index", index);
    OpenArchive("bad");

    std::vector<uint8_t> got;
    ASSERT_TRUE(Read("f", std::string(114, 'n').c_str(), &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{3, 4, 5}));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Read("f", "huge", &got));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "nothing was asked of the heap";
    EXPECT_FALSE(Read("f", "past_end", &got));
    EXPECT_FALSE(Read("f", "wraps", &got));
    EXPECT_FALSE(Read("f", "short", &got));
    EXPECT_FALSE(Read("f", "long", &got));
    EXPECT_FALSE(Read("f", "notzlib", &got));
    ASSERT_TRUE(Read("f", "ok", &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{3, 4, 5}));

    const auto messages = log_.Messages();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0], "ファイルが開けません\nf+huge");
    EXPECT_EQ(messages[1], "ファイルが開けません\nf+past_end");
    EXPECT_EQ(messages[2], "ファイルが開けません\nf+wraps");
    // "short" inflates to 999 of its 1000 bytes and never reaches its end.
    EXPECT_EQ(messages[3], "ファイルの解凍に失敗\nshort:n999!=999");
    EXPECT_EQ(messages[4], "ファイルの解凍に失敗\nlong:n1000!=1001");
    EXPECT_EQ(messages[5].rfind("ファイルの解凍に失敗\nnotzlib:n", 0), 0u);
}

TEST_F(LoaderTest, ErrorIsReportedOutsideTheFileLock) {
    // A sink that blocks (a message box) must not keep other threads from
    // reading: here it waits for another thread's read to finish.
    Pack(scratch_.Path("a"), {{"f/x", {1}}});
    OpenArchive("a");
    std::future_status status = std::future_status::ready;
    struct Blocking {
        ResourceLoader* loader;
        std::future_status* status;
        void OnError(const char*) {
            auto other =
                std::async(std::launch::async, [this] { return loader->Exists("f", "x"); });
            *status = other.wait_for(std::chrono::seconds(5));
            if (*status == std::future_status::ready) {
                EXPECT_TRUE(other.get());
            }
        }
    } blocking{loader_, &status};
    loader_->SetErrorSink(Mireku::Common::ErrorSink(&blocking, &Blocking::OnError));
    std::vector<uint8_t> got;
    EXPECT_FALSE(Read("f", "missing", &got));
    EXPECT_EQ(status, std::future_status::ready);
    loader_->SetErrorSink(log_.Sink());
}

struct Completions {
    std::mutex mutex;
    std::vector<std::string> names;
    std::vector<std::vector<uint8_t>> bytes;
    std::vector<const void*> users;
    std::vector<bool> onLoaderThread;
    std::thread::id caller = std::this_thread::get_id();

    void OnLoaded(void* data, unsigned int size, const void* user, const char* folder,
                  const char* name) {
        std::lock_guard<std::mutex> lock(mutex);
        names.push_back(std::string(folder) + "/" + name);
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes.emplace_back(p, p + size);
        if (!data) {
            EXPECT_EQ(size, 0u);
        }
        users.push_back(user);
        onLoaderThread.push_back(std::this_thread::get_id() != caller);
    }
};

void WaitIdle(ResourceLoader* loader) {
    for (int i = 0; i < 500 && loader->IsLoading(); ++i)
        sys::SleepMilliseconds(2);
    ASSERT_FALSE(loader->IsLoading());
}

TEST_F(LoaderTest, QueuedReadsCompleteInOrderOnTheLoaderThread) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> entries;
    for (int i = 0; i < 40; ++i)
        entries.push_back({"q/" + std::to_string(i), i % 2
                                                         ? Incompressible(100 + i * 37, i)
                                                         : Compressible(100 + i * 37, uint8_t(i))});
    Pack(scratch_.Path("a"), entries);
    OpenArchive("a");

    Completions done;
    const LoadCompletion completion(&done, &Completions::OnLoaded);
    for (int i = 0; i < 40; ++i) {
        loader_->LoadFileAsync("q", std::to_string(i).c_str(), completion,
                               reinterpret_cast<const void*>(uintptr_t(i)));
        if (i == 20)
            loader_->LoadFileAsync("q", "missing", completion, nullptr);
    }
    WaitIdle(loader_);

    ASSERT_EQ(done.names.size(), 41u);
    for (int i = 0, k = 0; i < 41; ++i) {
        EXPECT_TRUE(done.onLoaderThread[i]);
        if (i == 21) {
            EXPECT_EQ(done.names[i], "q/missing");
            EXPECT_TRUE(done.bytes[i].empty());
            continue;
        }
        EXPECT_EQ(done.names[i], "q/" + std::to_string(k));
        EXPECT_EQ(done.users[i], reinterpret_cast<const void*>(uintptr_t(k)));
        EXPECT_EQ(done.bytes[i], entries[k].second);
        ++k;
    }
}

struct StepRecorder {
    std::vector<uint8_t> bytes;
    std::thread::id thread;
    const void* user = reinterpret_cast<const void*>(1);
    void Step(ChildResourceLoader& child, const void* value) {
        thread = std::this_thread::get_id();
        user = value;
        if (child.Read("s", "one"))
            bytes.assign(static_cast<const uint8_t*>(child.GetData()),
                         static_cast<const uint8_t*>(child.GetData()) + child.GetSize());
    }
};

TEST_F(LoaderTest, LoadRunsTheStepAtOnceAndLoadAsyncOnTheLoaderThread) {
    Pack(scratch_.Path("a"), {{"s/one", Compressible(300, 1)}});
    OpenArchive("a");

    StepRecorder now;
    loader_->Load(LoadStep(&now, &StepRecorder::Step));
    EXPECT_EQ(now.thread, std::this_thread::get_id());
    EXPECT_EQ(now.user, nullptr);
    EXPECT_EQ(now.bytes, Compressible(300, 1));

    StepRecorder later;
    loader_->LoadAsync(LoadStep(&later, &StepRecorder::Step));
    WaitIdle(loader_);
    EXPECT_NE(later.thread, std::this_thread::get_id());
    EXPECT_EQ(later.bytes, Compressible(300, 1));
}

TEST_F(LoaderTest, FinalizeServesWhatIsQueuedAndNothingCompletesAfterIt) {
    Pack(scratch_.Path("a"), {{"q/0", {1}}, {"q/1", {2}}, {"q/2", {3}}});
    OpenArchive("a");
    struct Slow : Completions {
        void OnLoaded(void* data, unsigned int size, const void* user, const char* folder,
                      const char* name) {
            sys::SleepMilliseconds(20); // still busy when Finalize is called
            Completions::OnLoaded(data, size, user, folder, name);
        }
    } done;
    for (const char* name : {"0", "1", "2"})
        loader_->LoadFileAsync("q", name, LoadCompletion(&done, &Slow::OnLoaded), nullptr);
    loader_->Finalize();
    const auto served = done.bytes;
    EXPECT_EQ(served, (std::vector<std::vector<uint8_t>>{{1}, {2}, {3}}));
    sys::SleepMilliseconds(60);
    EXPECT_EQ(done.bytes.size(), 3u) << "no completion after Finalize";
    EXPECT_FALSE(loader_->IsLoading());
}

TEST_F(LoaderTest, AReadThatCannotBeQueuedFailsAtOnceOnTheCallersThread) {
    Pack(scratch_.Path("a"), {{"q/0", {1}}});
    OpenArchive("a");
    Completions done;
    const LoadCompletion completion(&done, &Completions::OnLoaded); // made while there is room
    StepRecorder never;
    const LoadStep step(&never, &StepRecorder::Step);
    {
        testing::internal::CaptureStderr(); // the heap reports each refusal
        testsupport::ExhaustedHeap exhausted;
        loader_->LoadFileAsync("q", "0", completion, reinterpret_cast<const void*>(7));
        EXPECT_FALSE(loader_->LoadAsync(step));
        testing::internal::GetCapturedStderr();
    }
    ASSERT_EQ(done.names.size(), 1u);
    EXPECT_EQ(done.names[0], "q/0");
    EXPECT_TRUE(done.bytes[0].empty());
    EXPECT_EQ(done.users[0], reinterpret_cast<const void*>(7));
    EXPECT_FALSE(done.onLoaderThread[0]);
    WaitIdle(loader_);
    EXPECT_EQ(done.names.size(), 1u) << "nothing of it stayed queued";
    EXPECT_EQ(never.thread, std::thread::id()) << "the step that could not be queued never ran";
}

TEST(LoaderQueue, KeysFollowTheQueueOrderAndRestartWhenEmptied) {
    // No thread: the queue is worked by hand.
    ResourceLoader loader;
    const LoadCompletion none;
    loader.LoadFileAsync("a", "1", none, nullptr);
    loader.LoadFileAsync("a", "2", none, nullptr);
    LoadRequest r;
    ASSERT_TRUE(loader.TakeNext(&r));
    EXPECT_EQ(r.key, 0u);
    EXPECT_STREQ(r.name, "1");
    loader.LoadFileAsync("a", "3", none, nullptr);
    ASSERT_TRUE(loader.TakeNext(&r));
    EXPECT_EQ(r.key, 1u << 8);
    ASSERT_TRUE(loader.TakeNext(&r));
    EXPECT_EQ(r.key, 2u << 8);
    EXPECT_FALSE(loader.TakeNext(&r));
    loader.LoadFileAsync("a-folder-name-that-is-much-longer-than-the-sixty-four-bytes-field",
                         "a-name-longer-than-thirty-two-bytes", none, nullptr);
    ASSERT_TRUE(loader.TakeNext(&r));
    EXPECT_EQ(r.key, 0u);
    EXPECT_EQ(std::strlen(r.folder), 63u);
    EXPECT_STREQ(r.name, "a-name-longer-than-thirty-two-b");
}

TEST_F(LoaderTest, LooseFilesComeFromTheFirstRootThatServesThem) {
    scratch_.WriteFile("r1/code/a.bin", {1});
    scratch_.WriteFile("r1/code/empty.bin", {});
    scratch_.WriteFile("r2/code/a.bin", {2});
    scratch_.WriteFile("r2/code/empty.bin", {3, 3});
    scratch_.WriteFile("r2/top.bin", {4});
    loader_->AddRootFolder(scratch_.Path("r1").c_str());
    loader_->AddRootFolder(scratch_.Path("r2").c_str());

    std::vector<uint8_t> got;
    ASSERT_TRUE(Read("code", "a.bin", &got));
    EXPECT_EQ(got, std::vector<uint8_t>{1});
    ASSERT_TRUE(Read("code", "empty.bin", &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{3, 3}));
    ASSERT_TRUE(Read(nullptr, "top.bin", &got));
    EXPECT_EQ(got, std::vector<uint8_t>{4});
    EXPECT_FALSE(Read("code", "none.bin", &got));
    EXPECT_TRUE(loader_->Exists("code", "a.bin"));
    EXPECT_FALSE(loader_->Exists("code", "none.bin"));
    EXPECT_TRUE(log_.Messages().empty());

    loader_->SetMode(2);
    EXPECT_FALSE(Read("code", "a.bin", &got));
    EXPECT_FALSE(loader_->Exists("code", "a.bin"));
    EXPECT_TRUE(log_.Messages().empty());
}

} // namespace
