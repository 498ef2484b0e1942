#include "engine/common/Heap.h"

#include "engine/common/ArenaFill.h"
#include "sys/thread.h"

#include <cstdio>
#include <new>

// This file is built without AddressSanitizer's checks (see the engine's
// CMakeLists): it alone reads and writes the poisoned headers.
#if defined(DREVANTH_HEAP_POISON)
#include <sanitizer/asan_interface.h>
#endif

namespace Mireku::Common {

namespace {

alignas(16) uint8_t g_arena[Heap::kArenaSize];

constexpr uint32_t kBlack = 0;
constexpr uint32_t kRed = 1;
constexpr uint32_t kDoubleBlack = 2;

// Requests that cannot be rounded inside 32 bits can never fit.
bool RoundRequest(size_t size, uint32_t& rounded) {
    if (size > 0xFFFFFFF0u)
        return false;
    rounded = static_cast<uint32_t>((size + 15) & ~static_cast<size_t>(15));
    return true;
}

} // namespace

Heap::Heap() : arenaSize_(0), root_(kNil), first_(kNil), base_(nullptr) {}

bool Heap::Initialize() {
    if (arenaSize_ != 0)
        return true;
    if (!InitializeOver(g_arena, kArenaSize))
        return false;
#if defined(DREVANTH_HEAP_POISON)
    poisoned_ = true;
    SetPoisoned(base_, arenaSize_, true);
#endif
    return true;
}

void Heap::SetPoisoned(const void* p, size_t n, bool poisoned) const {
#if defined(DREVANTH_HEAP_POISON)
    if (!poisoned_ || n == 0)
        return;
    if (poisoned)
        __asan_poison_memory_region(p, n);
    else
        __asan_unpoison_memory_region(p, n);
#else
    (void)p;
    (void)n;
    (void)poisoned;
#endif
}

const Heap::BlockHeader* Heap::NextBlock(const BlockHeader* b) const {
    return At(b->next);
}

const Heap::BlockHeader* Heap::Left(const BlockHeader* b) const {
    return At(b->left);
}

const Heap::BlockHeader* Heap::Right(const BlockHeader* b) const {
    return At(b->right);
}

bool Heap::IsFree(const BlockHeader* b) {
    return (b->flags & 1u) != 0;
}

uint32_t Heap::Colour(const BlockHeader* b) {
    return (b->flags >> 1) & 3u;
}

uint32_t Heap::BlockSize(const BlockHeader* b) {
    return b->size;
}

bool Heap::InitializeOver(void* arena, uint32_t size) {
    if (!arena || size < kHeaderSize + 16 || (size & 15u) != 0 ||
        (reinterpret_cast<uintptr_t>(arena) & 15u) != 0)
        return false;
    base_ = static_cast<uint8_t*>(arena);
    arenaSize_ = size;
    BlockHeader* b = reinterpret_cast<BlockHeader*>(base_);
    b->flags = 1u | (kRed << 1);
    b->size = size - kHeaderSize;
    b->prev = kNil;
    b->next = kNil;
    b->left = kNil;
    b->right = kNil;
    root_ = 0;
    first_ = 0;
    SetColour(b, kBlack);
    return true;
}

inline bool Heap::Less(const BlockHeader* a, const BlockHeader* b) const {
    return a->size < b->size || (a->size == b->size && a < b);
}

inline bool Heap::IsRed(uint32_t off) const {
    const BlockHeader* b = At(off);
    return b && Colour(b) == kRed;
}

inline void Heap::SetColour(BlockHeader* b, uint32_t colour) {
    b->flags = (b->flags & ~6u) | (colour << 1);
}

// The right child takes the node's place and colour; the node turns red.
Heap::BlockHeader* Heap::RotateLeft(BlockHeader* h) {
    BlockHeader* x = At(h->right);
    h->right = x->left;
    x->left = Off(h);
    SetColour(x, Colour(h));
    SetColour(h, kRed);
    return x;
}

Heap::BlockHeader* Heap::RotateRight(BlockHeader* h) {
    BlockHeader* x = At(h->left);
    h->left = x->right;
    x->right = Off(h);
    SetColour(x, Colour(h));
    SetColour(h, kRed);
    return x;
}

Heap::BlockHeader* Heap::Insert(BlockHeader* h, BlockHeader* n) {
    if (!h)
        return n;
    if (Less(n, h))
        h->left = Off(Insert(At(h->left), n));
    else
        h->right = Off(Insert(At(h->right), n));
    if (IsRed(h->right))
        h = RotateLeft(h);
    if (IsRed(h->left) && IsRed(At(h->left)->left)) {
        h = RotateRight(h);
        SetColour(h, kRed);
        SetColour(At(h->left), kBlack);
        SetColour(At(h->right), kBlack);
    }
    return h;
}

// Fix-up after a removal from h's left subtree: only a double-black tag on the
// removed block means that side lost a black level.
Heap::BlockHeader* Heap::FixLeft(BlockHeader* h, BlockHeader* b) {
    if (Colour(b) != kDoubleBlack)
        return h;
    BlockHeader* s = At(h->right);
    if (!s)
        return h;
    if (IsRed(s->left)) {
        uint32_t colour = Colour(h);
        h->right = Off(RotateRight(s));
        BlockHeader* g = RotateLeft(h);
        SetColour(g, colour);
        SetColour(At(g->left), kBlack);
        SetColour(At(g->right), kBlack);
        SetColour(b, kBlack);
        return g;
    }
    bool wasRed = Colour(h) == kRed;
    BlockHeader* top = RotateLeft(h);
    if (wasRed) {
        SetColour(top, kBlack);
        SetColour(b, kBlack);
    }
    return top;
}

Heap::BlockHeader* Heap::FixRight(BlockHeader* h, BlockHeader* b) {
    if (Colour(b) != kDoubleBlack)
        return h;
    BlockHeader* s = At(h->left);
    if (!s)
        return h;
    if (IsRed(s->left)) {
        BlockHeader* top = RotateRight(h);
        SetColour(At(top->left), kBlack);
        SetColour(At(top->right), kBlack);
        SetColour(b, kBlack);
        return top;
    }
    if (Colour(s) != kRed) {
        SetColour(s, kRed);
        if (Colour(h) == kRed) {
            SetColour(h, kBlack);
            SetColour(b, kBlack);
        }
        return h;
    }
    BlockHeader* x = At(s->right);
    if (x && IsRed(x->left)) {
        h->left = Off(RotateLeft(s));
        BlockHeader* top = RotateRight(h);
        BlockHeader* r = At(top->right);
        if (r)
            SetColour(r, kBlack);
        BlockHeader* l = At(top->left);
        if (l && At(l->right))
            SetColour(At(l->right), kBlack);
        SetColour(b, kBlack);
        return top;
    }
    BlockHeader* top = RotateRight(h);
    SetColour(h, kBlack);
    if (At(h->left))
        SetColour(At(h->left), kRed);
    SetColour(b, kBlack);
    return top;
}

Heap::BlockHeader* Heap::Remove(BlockHeader* h, BlockHeader* b) {
    if (!h)
        return nullptr;
    if (h == b) {
        BlockHeader* l = At(h->left);
        BlockHeader* r = At(h->right);
        if (!l && !r) {
            if (Colour(h) == kBlack)
                SetColour(h, kDoubleBlack);
            return nullptr;
        }
        if (l && !r) {
            SetColour(l, kBlack);
            return l;
        }
        // Relink the in-order successor into the block's place; the block takes
        // the successor's place and colour and is then removed from there.
        BlockHeader* parent = nullptr;
        BlockHeader* s = r;
        while (At(s->left)) {
            parent = s;
            s = At(s->left);
        }
        uint32_t sColour = Colour(s);
        uint32_t sRight = s->right;
        s->left = h->left;
        SetColour(s, Colour(h));
        if (parent) {
            s->right = h->right;
            parent->left = Off(h);
        } else {
            s->right = Off(h);
        }
        h->left = kNil;
        h->right = sRight;
        SetColour(h, sColour);
        s->right = Off(Remove(At(s->right), h));
        return FixRight(s, h);
    }
    if (Less(b, h)) {
        h->left = Off(Remove(At(h->left), b));
        return FixLeft(h, b);
    }
    h->right = Off(Remove(At(h->right), b));
    return FixRight(h, b);
}

void Heap::TreeInsert(BlockHeader* b) {
    BlockHeader* root = Insert(At(root_), b);
    SetColour(root, kBlack);
    root_ = Off(root);
}

void Heap::TreeRemove(BlockHeader* b) {
    BlockHeader* root = Remove(At(root_), b);
    if (root)
        SetColour(root, kBlack);
    root_ = Off(root);
}

void Heap::MarkInUse(BlockHeader* b) {
    b->flags &= ~1u;
    SetColour(b, kRed);
    b->left = kNil;
    b->right = kNil;
}

void Heap::InsertFree(BlockHeader* b) {
    b->flags |= 1u;
    SetColour(b, kRed);
    b->left = kNil;
    b->right = kNil;
    TreeInsert(b);
}

// Not an exhaustive best fit: once a fitting node is known, a node that is too
// small ends the descent even though its right subtree might fit better.
Heap::BlockHeader* Heap::SearchFit(uint32_t r) const {
    BlockHeader* candidate = nullptr;
    BlockHeader* n = At(root_);
    while (n) {
        if (r <= n->size) {
            candidate = n;
            n = At(n->left);
        } else if (candidate) {
            break;
        } else {
            n = At(n->right);
        }
    }
    return candidate;
}

Heap::BlockHeader* Heap::SearchTop(uint32_t r) const {
    BlockHeader* found = nullptr;
    for (BlockHeader* b = At(first_); b; b = At(b->next)) {
        if (IsFree(b) && b->size >= r)
            found = b;
    }
    return found;
}

void* Heap::Alloc(size_t size) {
    uint32_t r;
    if (!RoundRequest(size, r) || root_ == kNil)
        return nullptr;
    BlockHeader* b = SearchFit(r);
    if (!b)
        return nullptr;
    TreeRemove(b);
    MarkInUse(b);
    uint32_t remainder = b->size - r;
    if (remainder >= kSplitMinimum) {
        b->size = r;
        BlockHeader* n =
            reinterpret_cast<BlockHeader*>(reinterpret_cast<uint8_t*>(b) + kHeaderSize + r);
        n->size = remainder - kHeaderSize;
        n->prev = Off(b);
        n->next = b->next;
        if (BlockHeader* after = At(b->next))
            after->prev = Off(n);
        b->next = Off(n);
        n->flags = 0;
        InsertFree(n);
    }
    return HandOut(b, size);
}

void* Heap::AllocTop(size_t size) {
    uint32_t r;
    if (!RoundRequest(size, r))
        return nullptr;
    BlockHeader* b = SearchTop(r);
    if (!b)
        return nullptr;
    TreeRemove(b);
    MarkInUse(b);
    uint32_t remainder = b->size - r;
    if (remainder < kSplitMinimum)
        return HandOut(b, size);
    b->size = remainder - kHeaderSize;
    BlockHeader* upper =
        reinterpret_cast<BlockHeader*>(reinterpret_cast<uint8_t*>(b) + kHeaderSize + b->size);
    upper->flags = 0;
    upper->size = r;
    upper->left = kNil;
    upper->right = kNil;
    upper->prev = Off(b);
    upper->next = b->next;
    if (BlockHeader* after = At(b->next))
        after->prev = Off(upper);
    b->next = Off(upper);
    InsertFree(b);
    return HandOut(upper, size);
}

void* Heap::HandOut(BlockHeader* b, size_t size) {
    uint8_t* payload = reinterpret_cast<uint8_t*>(b) + kHeaderSize;
    SetPoisoned(payload, size, false);
    ArenaFill::Taken(payload, size);
    return payload;
}

void Heap::Free(void* p) {
    if (!p)
        return;
    BlockHeader* b = reinterpret_cast<BlockHeader*>(static_cast<uint8_t*>(p) - kHeaderSize);
    if (ArenaFill::IsOn()) {
        // The whole payload, the rounding after the request included, which
        // the sanitizer build kept poisoned.
        SetPoisoned(p, b->size, false);
        ArenaFill::Freed(p, b->size);
    }
    SetPoisoned(p, b->size, true);
    BlockHeader* prev = At(b->prev);
    BlockHeader* next = At(b->next);
    bool prevFree = prev && IsFree(prev);
    bool nextFree = next && IsFree(next);
    if (prevFree && nextFree) {
        TreeRemove(prev);
        TreeRemove(next);
        prev->next = next->next;
        if (BlockHeader* after = At(next->next))
            after->prev = Off(prev);
        prev->size += b->size + next->size + 2 * kHeaderSize;
        InsertFree(prev);
    } else if (prevFree) {
        TreeRemove(prev);
        prev->next = b->next;
        if (next)
            next->prev = Off(prev);
        prev->size += b->size + kHeaderSize;
        InsertFree(prev);
    } else if (nextFree) {
        TreeRemove(next);
        b->next = next->next;
        if (BlockHeader* after = At(next->next))
            after->prev = Off(b);
        b->size += next->size + kHeaderSize;
        InsertFree(b);
    } else {
        InsertFree(b);
    }
}

void* Heap::FindAllocCandidate(size_t size) const {
    uint32_t r;
    if (!RoundRequest(size, r))
        return nullptr;
    BlockHeader* b = SearchFit(r);
    return b ? reinterpret_cast<uint8_t*>(b) + kHeaderSize : nullptr;
}

void* Heap::FindTopCandidate(size_t size) const {
    uint32_t r;
    if (!RoundRequest(size, r))
        return nullptr;
    BlockHeader* b = SearchTop(r);
    return b ? reinterpret_cast<uint8_t*>(b) + kHeaderSize : nullptr;
}

Heap& Heap::Global() {
    static Heap heap;
    return heap;
}

// Created before main by a static initialiser and never destroyed, so that
// objects released during exit can still take it.
sys::Mutex& Heap::Lock() {
    alignas(sys::Mutex) static unsigned char storage[sizeof(sys::Mutex)];
    static sys::Mutex* lock = new (storage) sys::Mutex;
    return *lock;
}

namespace {
[[maybe_unused]] sys::Mutex& g_heapLockAtStartup = Heap::Lock();
}

bool Heap::LockedInitialize() {
    sys::Mutex& m = Lock();
    m.Lock();
    bool ok = Global().Initialize();
    m.Unlock();
    return ok;
}

namespace {

// Takes the heap lock around one allocation; a size of 0 never touches the heap.
template <class Allocate> void* AllocateLocked(size_t size, Allocate allocate) {
    if (size == 0)
        return nullptr;
    sys::Mutex& m = Heap::Lock();
    m.Lock();
    void* p = allocate(Heap::Global(), size);
    m.Unlock();
    if (!p)
        ReportHeapExhausted(size);
    return p;
}

} // namespace

void Heap::EnsureInitialized() {
    // An allocation before main initialised the heap (a static object) starts it.
    Initialize();
}

void* Heap::LockedAlloc(size_t size) {
    return AllocateLocked(size, [](Heap& h, size_t n) {
        h.EnsureInitialized();
        return h.Alloc(n);
    });
}

void* Heap::LockedAllocTop(size_t size) {
    return AllocateLocked(size, [](Heap& h, size_t n) {
        h.EnsureInitialized();
        return h.AllocTop(n);
    });
}

void Heap::LockedFree(void* p) {
    sys::Mutex& m = Lock();
    m.Lock();
    Global().Free(p);
    m.Unlock();
}

void Heap::LockedFinalize() {
    sys::Mutex& m = Lock();
    m.Lock();
    m.Unlock();
}

void ReportHeapExhausted(size_t size) {
    std::fprintf(stderr, "engine heap exhausted: a request of %zu bytes could not be met\n", size);
}

} // namespace Mireku::Common
