// One voice per story line, "script/sound/ogg/<line>.ogg": about a second of
// tone, each line on a pitch of its own.
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StoryScriptText.h"
#include "tools/soundgen/SoundSynth.h"

#include <cmath>

namespace {

constexpr uint32_t kRate = 22050;

bool BuildStoryVoices(sampledata::Staging& staging, std::string* error) {
    const std::vector<std::string> names =
        sampledata::StoryTextNames(sampledata::BuildStoryScripts());
    for (size_t i = 0; i < names.size(); ++i) {
        // Eighth-tone steps up from 160 Hz: no two lines share a pitch.
        const float hz = 160.0f * std::pow(2.0f, static_cast<float>(i) / 48.0f);
        const float seconds = 0.9f + 0.02f * static_cast<float>(i % 10);
        std::vector<uint8_t> ogg =
            soundgen::EncodeOggVorbis(soundgen::Tone(hz, seconds, kRate), 1, kRate);
        if (ogg.empty()) {
            *error = "cannot synthesise the voice " + names[i];
            return false;
        }
        if (!staging.Add("script", "script/sound/ogg/" + names[i] + ".ogg", std::move(ogg), error))
            return false;
    }
    return true;
}

} // namespace

SAMPLEDATA_KIND(StoryVoices, BuildStoryVoices);
