// Records the singletons in the order they are destroyed, for as long as it
// lives, so that a test can hold a teardown to the order the engine and the
// game must keep.
#pragma once

#include "engine/common/Singleton.h"

#include <typeindex>
#include <vector>

namespace testsupport {

class TeardownLog {
public:
    TeardownLog() {
        s_log = &destroyed_;
        Mireku::Common::g_singletonTeardownWatcher = [](const std::type_info& type) {
            s_log->emplace_back(type);
        };
    }
    ~TeardownLog() {
        Mireku::Common::g_singletonTeardownWatcher = nullptr;
        s_log = nullptr;
    }
    TeardownLog(const TeardownLog&) = delete;
    TeardownLog& operator=(const TeardownLog&) = delete;

    // The destroyed singletons among `watched`, in the order they went.
    std::vector<std::type_index> Order(const std::vector<std::type_index>& watched) const {
        std::vector<std::type_index> order;
        for (const std::type_index& t : destroyed_)
            for (const std::type_index& w : watched)
                if (t == w)
                    order.push_back(t);
        return order;
    }

private:
    static inline std::vector<std::type_index>* s_log = nullptr;
    std::vector<std::type_index> destroyed_;
};

} // namespace testsupport
