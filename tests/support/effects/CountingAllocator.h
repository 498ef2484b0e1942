// The allocator pair and log callback the effects runtime is started with
// in tests. The runtime's callbacks are plain functions, so the record is
// process-wide: Reset it at the start of each test.
#pragma once

#include <cstdint>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace testsupport {

class CountingAllocator {
public:
    struct Call {
        uint32_t size;
        uint32_t zero;
        std::string file;
        uint32_t line;
        std::string label;
    };

    // Forget every call; call number failAt (0-based) will fail.
    static void Reset(int failAt = -1) {
        State& s = Get();
        s.calls.clear();
        s.failAt = failAt;
        s.frees = 0;
    }

    static void* Alloc(uint32_t size, uint32_t zero, const char* file, uint32_t line,
                       const char* label) {
        State& s = Get();
        const int number = static_cast<int>(s.calls.size());
        s.calls.push_back({size, zero, file ? file : "", line, label ? label : ""});
        if (number == s.failAt)
            return nullptr;
        void* memory = ::operator new (size ? size : 1, std::align_val_t{16});
        s.live[memory] = size;
        return memory;
    }

    static void Free(void* memory) {
        State& s = Get();
        ++s.frees;
        if (s.live.erase(memory))
            ::operator delete (memory, std::align_val_t{16});
        else
            ++s.foreignFrees;
    }

    static const std::vector<Call>& Calls() { return Get().calls; }
    static size_t LiveCount() { return Get().live.size(); }
    static size_t FreeCount() { return Get().frees; }
    // Frees of pointers this allocator never gave out (or gave back twice).
    static size_t ForeignFrees() { return Get().foreignFrees; }
    static size_t CountLabel(const std::string& label) {
        size_t n = 0;
        for (const Call& c : Get().calls)
            n += c.label == label;
        return n;
    }

private:
    struct State {
        std::vector<Call> calls;
        std::map<void*, uint32_t> live;
        int failAt = -1;
        size_t frees = 0;
        size_t foreignFrees = 0;
    };
    static State& Get() {
        static State state;
        return state;
    }
};

// Keeps every line the runtime logs.
class LogCapture {
public:
    static void Reset() { Lines().clear(); }
    static void Output(const char* text) { Lines().push_back(text); }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
};

} // namespace testsupport
