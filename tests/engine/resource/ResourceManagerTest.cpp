#include "engine/resource/ResourceManager.h"
#include "engine/resource/ManagedResource.h"

#include <gtest/gtest.h>

using Mireku::Resource::ManagedResource;
using Mireku::Resource::ResourceManager;

namespace {

class Tracked : public ManagedResource {
public:
    explicit Tracked(int* destroyed) : destroyed_(destroyed) {}
    ~Tracked() override { ++*destroyed_; }

private:
    int* destroyed_;
};

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override { manager_ = ResourceManager::CreateInstance(); }
    void TearDown() override { ResourceManager::DestroyInstance(); }
    ResourceManager* manager_ = nullptr;
};

TEST_F(ManagerTest, DefaultReleaseDestroysOnTheThirdUpdate) {
    int destroyed = 0;
    Tracked* t = new Tracked(&destroyed);
    t->AddRef();
    EXPECT_EQ(t->Release(), 1u);
    EXPECT_EQ(t->Release(), 0u);
    EXPECT_EQ(manager_->GetPendingCount(), 1u);
    manager_->Update();
    manager_->Update();
    EXPECT_EQ(destroyed, 0);
    manager_->Update();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager_->GetPendingCount(), 0u);
}

TEST_F(ManagerTest, ZeroDelayDestroysAtOnceAndNullIsIgnored) {
    int destroyed = 0;
    Tracked* t = new Tracked(&destroyed);
    t->SetReleaseDelay(0);
    t->Release();
    EXPECT_EQ(destroyed, 1);
    manager_->Release(nullptr, 3);
    EXPECT_EQ(manager_->GetPendingCount(), 0u);
}

TEST_F(ManagerTest, SecondReleaseKeepsTheFirstCountdown) {
    int destroyed = 0;
    Tracked* t = new Tracked(&destroyed);
    manager_->Release(t, 2);
    manager_->Update();
    manager_->Release(t, 5);
    manager_->Update();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ManagerTest, ResourceDestroyedDuringUpdateMayReleaseAnother) {
    // A wrapper often holds another resource and drops it in its destructor.
    struct Holder : ManagedResource {
        ManagedResource* inner;
        explicit Holder(ManagedResource* r) : inner(r) {}
        ~Holder() override { inner->Release(); }
    };
    int destroyed = 0;
    Tracked* inner = new Tracked(&destroyed);
    Holder* outer = new Holder(inner);
    manager_->Release(outer, 1);
    manager_->Update();
    EXPECT_EQ(destroyed, 0);
    manager_->Finalize();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager_->GetPendingCount(), 0u);
}

TEST(ManagedResourceTest, WithoutAManagerTheLastReleaseDestroys) {
    int destroyed = 0;
    Tracked* t = new Tracked(&destroyed);
    t->Release();
    EXPECT_EQ(destroyed, 1);
}

} // namespace
