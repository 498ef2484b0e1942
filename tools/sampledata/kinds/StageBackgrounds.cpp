// The stage backgrounds: every stage folder's picture, map pictures and
// star tiles, and the challenge's.
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StageData.h"

namespace {

bool BuildStageBackgrounds(sampledata::Staging& staging, std::string* error) {
    for (SampleData::StageFile& f : SampleData::BuildBackgroundFiles())
        if (!staging.Add(f.archive, f.path, std::move(f.bytes), error))
            return false;
    return true;
}

} // namespace

SAMPLEDATA_KIND(StageBackgrounds, BuildStageBackgrounds);
