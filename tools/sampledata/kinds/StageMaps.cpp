// The object maps of the 24 stages and of the score attack.
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StageData.h"

namespace {

bool BuildStageMaps(sampledata::Staging& staging, std::string* error) {
    for (uint32_t m = 0; m < SampleData::kStageMapCount; ++m)
        if (!staging.Add(SampleData::kMapArchive, SampleData::StageMapPath(m),
                         SampleData::BuildStageMap(m), error))
            return false;
    return true;
}

} // namespace

SAMPLEDATA_KIND(StageMaps, BuildStageMaps);
