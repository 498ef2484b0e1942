// The effect files of the logo, title, game menu and setup screens, in
// archive "vfx", made by the effect-file writer.
#include "tools/effect/GameEffects.h"
#include "tools/sampledata/SampleKind.h"

namespace {

bool BuildEffects(sampledata::Staging& staging, std::string* error) {
    for (effecttools::GameEffectFile& e : effecttools::GameEffectFiles())
        if (!staging.Add("vfx", e.path, std::move(e.bytes), error))
            return false;
    return true;
}

} // namespace

SAMPLEDATA_KIND(Effects, BuildEffects);
