// Feeds random text as a story script: every line is read within its own
// bytes or skipped, the records hold speakers 0-15 and terminated strings,
// and stepping through them (with and without restarts) ends.
#include "engine/common/Heap.h"
#include "game/scene/StoryScriptDriver.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool heap = Mireku::Common::Heap::LockedInitialize();
    (void)heap;
    if (size > UINT32_MAX)
        return 0;
    StoryScriptDriver& driver = StoryScriptDriver::Instance();
    driver.SetScript(StoryScriptDriver::kStageScene);
    driver.LoadText(data, static_cast<uint32_t>(size), nullptr);

    size_t lines = 1;
    for (size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    const auto& records = driver.GetRecords();
    if (records.size() > lines)
        std::abort();
    for (const StoryCommand& r : records) {
        if (r.speaker < 0 || r.speaker > 15)
            std::abort();
        for (const char* s : {r.label6, r.label8, r.picture, r.text})
            if (!std::memchr(s, 0, StoryCommand::kStringSize))
                std::abort();
    }
    // Every step without a restart may wait; restarts move the cursor on, so
    // the script ends within one restart per record and one more.
    for (int i = 0; i < 4; ++i)
        driver.Step(0);
    size_t restarts = 0;
    while (driver.Step(1)) {
        if (++restarts > records.size() + 1)
            std::abort();
        if (driver.GetCursor() > records.size())
            std::abort();
    }
    char text[StoryScriptDriver::kPathSize];
    for (uint32_t i = 0; i <= records.size(); ++i)
        if (driver.GetText(i, text) != (i < records.size() ? records[i].line : -1))
            std::abort();
    driver.ClearRecords();
    return 0;
}
