// The balance tables (folder "code" of the parameter archive) and the four
// attract-demo replays (loose files under data/replay).
#include "tools/sampledata/GameTableData.h"
#include "tools/sampledata/SampleKind.h"

namespace {

bool BuildGameTables(sampledata::Staging& staging, std::string* error) {
    for (SampleData::NamedFile& f : SampleData::BuildGameTables())
        if (!staging.Add("parameter", "code/" + f.name, std::move(f.bytes), error))
            return false;
    for (int n = 1; n <= 4; ++n)
        if (!staging.AddLoose("replay/demo" + std::to_string(n) + ".replay",
                              SampleData::BuildDemoReplay(n), error))
            return false;
    return true;
}

} // namespace

SAMPLEDATA_KIND(GameTables, BuildGameTables);
