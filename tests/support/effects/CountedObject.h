// Reference-counted fakes of the runtime's host objects: each deletes
// itself at count zero and keeps a shared live count, so a test can see
// that everything the runtime was given back was let go.
#pragma once

#include <cstdint>

namespace testsupport {

template <class Interface> class CountedObject : public Interface {
public:
    explicit CountedObject(int* live) : live_(live) {
        if (live_)
            ++*live_;
    }
    ~CountedObject() override {
        if (live_)
            --*live_;
    }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        const uint32_t left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    uint32_t References() const { return references_; }

private:
    int* live_;
    uint32_t references_ = 1;
};

// A fake the test owns (on its stack): counts references without ever
// deleting itself.
template <class Interface> class HeldObject : public Interface {
public:
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override { return --references_; }
    uint32_t References() const { return references_; }

private:
    uint32_t references_ = 1;
};

} // namespace testsupport
