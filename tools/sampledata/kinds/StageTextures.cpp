// Every texture and movement path a stage loads, in the folders the stage
// loader reads them from.
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StageData.h"

namespace {

bool BuildStageTextures(sampledata::Staging& staging, std::string* error) {
    for (SampleData::StageFile& f : SampleData::BuildStageFiles())
        if (!staging.Add(f.archive, f.path, std::move(f.bytes), error))
            return false;
    return true;
}

} // namespace

SAMPLEDATA_KIND(StageTextures, BuildStageTextures);
