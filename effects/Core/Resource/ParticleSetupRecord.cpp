#include "effects/Core/Resource/ParticleSetupRecord.h"

namespace FulgorCore {

void ParticleSetupRecordCopy(ParticleSetupRecord& out, const ParticleSetupRecord& in) {
    const uint32_t f = in.fields;
    out.fields =
        (f & 3u) | (f & (1u << 2)) | (f & (7u << 3)) | (f & (15u << 6)) | (f & (255u << 10));
    for (uint32_t i = 0; i < ParticleSetupRecord::kWords; ++i)
        out.words[i] = in.words[i];
}

} // namespace FulgorCore
