// The engine's process-wide allocator: a best-fit heap over one static arena,
// free blocks kept in a left-leaning red-black tree ordered by (size, address).
// The heap has no lock of its own; callers hold the heap lock around each call,
// which the Locked* wrappers do for them.
//
// In AddressSanitizer builds the process heap keeps every byte it has not
// handed out poisoned (block headers, free blocks, the rounding after a
// payload), so an overrun, a stray header write or a use after free inside
// engine allocations is reported like one in malloc'd memory. Only this
// heap's own code reads the headers; the inspection helpers below go through
// it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sys {
class Mutex;
}

namespace Mireku::Common {

class Heap {
public:
    static constexpr uint32_t kArenaSize = 0x18000000; // 384 MiB
    static constexpr uint32_t kHeaderSize = 32;
    static constexpr uint32_t kSplitMinimum = 48; // smallest remainder worth a block of its own
    static constexpr uint32_t kNil = 0xFFFFFFFFu;

    // Eight 32-bit words. Links are byte offsets from the arena start rather than
    // pointers, so the header keeps its 32 bytes on a 64-bit build.
    struct BlockHeader {
        uint32_t flags; // bit 0 free; bits 1-2 colour: 0 black, 1 red, 2 double black
        uint32_t size;  // payload bytes after the header
        uint32_t reserved[2];
        uint32_t prev; // address order
        uint32_t next;
        uint32_t left; // free tree
        uint32_t right;
    };
    static_assert(sizeof(BlockHeader) == kHeaderSize);

    Heap();

    // Makes the static arena one free block, once: an allocation made before
    // main's call started the heap already, and a second call would otherwise
    // hand its block out again. Later calls change nothing and return true.
    bool Initialize();
    // Same heap over a caller's buffer (16-byte aligned, size a multiple of 16);
    // lets tests and benchmarks exercise the algorithms on small arenas.
    bool InitializeOver(void* arena, uint32_t size);

    void* Alloc(size_t size);
    void* AllocTop(size_t size);
    void Free(void* p);

    // Lookups without effect: the block Alloc or AllocTop would take (payload
    // pointer), or null.
    void* FindAllocCandidate(size_t size) const;
    void* FindTopCandidate(size_t size) const;

    // Inspection, for tests and diagnostics.
    uint8_t* ArenaBase() const { return base_; }
    uint32_t ArenaSize() const { return arenaSize_; }
    const BlockHeader* FirstBlock() const { return At(first_); }
    const BlockHeader* NextBlock(const BlockHeader* b) const;
    const BlockHeader* Root() const { return At(root_); }
    const BlockHeader* Left(const BlockHeader* b) const;
    const BlockHeader* Right(const BlockHeader* b) const;
    static bool IsFree(const BlockHeader* b);
    static uint32_t Colour(const BlockHeader* b);
    static uint32_t BlockSize(const BlockHeader* b);
    static const BlockHeader* HeaderOf(const void* payload) {
        return reinterpret_cast<const BlockHeader*>(static_cast<const uint8_t*>(payload) -
                                                    kHeaderSize);
    }

    // The process-wide heap and its lock.
    static Heap& Global();
    static sys::Mutex& Lock();
    static bool LockedInitialize();
    static void* LockedAlloc(size_t size);
    static void* LockedAllocTop(size_t size);
    static void LockedFree(void* p);
    static void LockedFinalize();

private:
    void EnsureInitialized();
    BlockHeader* At(uint32_t off) const {
        return off == kNil ? nullptr : reinterpret_cast<BlockHeader*>(base_ + off);
    }
    uint32_t Off(const BlockHeader* b) const {
        return b ? static_cast<uint32_t>(reinterpret_cast<const uint8_t*>(b) - base_) : kNil;
    }
    __attribute__((always_inline)) bool Less(const BlockHeader* a, const BlockHeader* b) const;
    __attribute__((always_inline)) bool IsRed(uint32_t off) const;
    __attribute__((always_inline)) void SetColour(BlockHeader* b, uint32_t colour);
    BlockHeader* RotateLeft(BlockHeader* h);
    BlockHeader* RotateRight(BlockHeader* h);
    BlockHeader* Insert(BlockHeader* h, BlockHeader* n);
    BlockHeader* Remove(BlockHeader* h, BlockHeader* b);
    BlockHeader* FixLeft(BlockHeader* h, BlockHeader* b);
    BlockHeader* FixRight(BlockHeader* h, BlockHeader* b);
    void TreeInsert(BlockHeader* b);
    void TreeRemove(BlockHeader* b);
    void MarkInUse(BlockHeader* b);
    void InsertFree(BlockHeader* b);
    BlockHeader* SearchFit(uint32_t r) const;
    BlockHeader* SearchTop(uint32_t r) const;
    // The payload of a block just taken: unpoisoned for `size` bytes and
    // filled when a test asked for it (ArenaFill).
    void* HandOut(BlockHeader* b, size_t size);

    // Poisoning of what is not handed out (the process heap of sanitizer builds).
    void SetPoisoned(const void* p, size_t n, bool poisoned) const;

    uint32_t arenaSize_;
    uint32_t root_;
    uint32_t first_;
    uint8_t* base_;
    // Read only by builds that poison.
    [[maybe_unused]] bool poisoned_ = false;
};

// Reports an exhausted engine heap once per failed request (stderr), so that a
// null result from a creation function is never silent.
void ReportHeapExhausted(size_t size);

} // namespace Mireku::Common
