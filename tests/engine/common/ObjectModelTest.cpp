#include "engine/common/Delegate.h"
#include "engine/common/Heap.h"
#include "engine/common/MemoryObject.h"
#include "engine/common/RefPtr.h"
#include "engine/common/ReferenceCountObject.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/common/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

using namespace Mireku::Common;

namespace {

int g_destroyed = 0;

struct Counted : ReferenceCountObject {
    ~Counted() override { ++g_destroyed; }
};

} // namespace

TEST(ObjectModel, ReferenceCountingDeletesAtZeroOnly) {
    g_destroyed = 0;
    Counted* c = new Counted;
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetRefCount(), 1u);
    EXPECT_EQ(c->AddRef(), 2u);
    EXPECT_EQ(c->Release(), 1u);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(c->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
}

TEST(ObjectModel, RefPtrSelfAssignmentAndCopiesKeepTheCountRight) {
    g_destroyed = 0;
    {
        RefPtr<Counted> a = RefPtr<Counted>::Adopt(new Counted);
        // Through a reference, as a self-assignment comes about in real code.
        const RefPtr<Counted>& same = a;
        a = same;
        EXPECT_EQ(a->GetRefCount(), 1u);
        RefPtr<Counted> b = a;
        EXPECT_EQ(a->GetRefCount(), 2u);
        RefPtr<Counted> c;
        c = b;
        EXPECT_EQ(a->GetRefCount(), 3u);
        c.Reset();
        b = RefPtr<Counted>();
        EXPECT_EQ(a->GetRefCount(), 1u);
        EXPECT_EQ(g_destroyed, 0);
    }
    EXPECT_EQ(g_destroyed, 1);
}

TEST(ObjectModel, ObjectsLiveInTheEngineHeap) {
    Counted* c = new Counted;
    const uint8_t* base = Heap::Global().ArenaBase();
    const uint8_t* p = reinterpret_cast<const uint8_t*>(c);
    EXPECT_GE(p, base);
    EXPECT_LT(p, base + Heap::Global().ArenaSize());
    c->Release();
}

TEST(ObjectModel, MemoryObjectCopiesItsBlockAndEmptyHoldsNone) {
    const char text[] = "payload";
    MemoryObject* m = new MemoryObject(text, sizeof(text));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetSize(), sizeof(text));
    EXPECT_NE(m->GetData(), static_cast<const void*>(text));
    EXPECT_STREQ(static_cast<const char*>(m->GetData()), "payload");
    m->Release();
    MemoryObject* e = new MemoryObject(nullptr, 0);
    EXPECT_EQ(e->GetSize(), 0u);
    EXPECT_EQ(e->GetData(), nullptr);
    e->Release();
}

namespace {

struct Base {
    virtual ~Base() = default;
    virtual void Hit(int v) { calls.push_back("base:" + std::to_string(v)); }
    std::vector<std::string> calls;
};
struct Derived : Base {
    void Hit(int v) override { calls.push_back("derived:" + std::to_string(v)); }
};

int g_staticSum = 0;
void AddStatic(int a, int b) {
    g_staticSum += a + b;
}

} // namespace

TEST(Delegates, StaticAndDynamicHoldersInvokeTheirTargets) {
    g_staticSum = 0;
    Delegate02<int, int> s(&AddStatic);
    s.Invoke(2, 3);
    s(4, 5);
    EXPECT_EQ(g_staticSum, 14);

    Derived d;
    Delegate01<int> viaBase(static_cast<Base*>(&d), &Base::Hit);
    viaBase.Invoke(7);
    ASSERT_EQ(d.calls.size(), 1u);
    EXPECT_EQ(d.calls[0], "derived:7") << "a virtual member reaches the most derived override";
}

TEST(Delegates, CopiesShareOneHolderAndEmptyDelegatesAreDetectable) {
    Delegate00 empty;
    EXPECT_TRUE(empty.IsEmpty());
    Delegate00 a(+[] {});
    Delegate00 b = a;
    ASSERT_FALSE(a.IsEmpty());
    EXPECT_EQ(a.GetHolder(), b.GetHolder());
    EXPECT_EQ(a.GetHolder()->GetRefCount(), 2u);
    b.Reset();
    EXPECT_EQ(a.GetHolder()->GetRefCount(), 1u);
}

TEST(Delegates, LogFormatFormatsIntoTheSink) {
    static std::string seen;
    ErrorSink sink(+[](const char* t) { seen = t; });
    LogFormat(sink, "ファイルが開けません\n%s+%s", "data/0100", "a.dds");
    EXPECT_EQ(seen, "ファイルが開けません\ndata/0100+a.dds");
    std::string longArg(4000, 'x');
    LogFormat(sink, "%s", longArg.c_str());
    EXPECT_EQ(seen.size(), 1023u) << "messages are cut to the 1024-byte buffer";
    LogFormat(ErrorSink(), "dropped");
}

namespace {

struct Service : SingletonObject, Singleton<Service> {
    explicit Service(int v) : value(v) {}
    bool OnCreate() override {
        created = true;
        return true;
    }
    void OnDestroy() override { ++destroyedCount; }
    int value;
    bool created = false;
    static inline int destroyedCount = 0;
};

} // namespace

TEST(Singletons, CreatePublishesAndDestroyClearsTheInstance) {
    EXPECT_EQ(Service::GetInstance(), nullptr);
    Service::DestroyInstance(); // nothing to destroy: no effect
    Service* s = Service::CreateInstance(42);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Service::GetInstance(), s);
    EXPECT_TRUE(s->created);
    EXPECT_EQ(s->value, 42);
    Service::DestroyInstance();
    EXPECT_EQ(Service::GetInstance(), nullptr);
    EXPECT_EQ(Service::destroyedCount, 1);
}

TEST(Threads, BodyRunsOnItsOwnThreadAndJoins) {
    static std::atomic<int> runs{0};
    Thread t;
    ASSERT_TRUE(t.Start(Delegate00(+[] { runs.fetch_add(1); }), Thread::kAllProcessors));
    t.Join();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(t.IsStarted());
    t.Join(); // joining twice is harmless
}
