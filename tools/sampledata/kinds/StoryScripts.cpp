// The story scripts of every pilot and occasion, CR LF text in archive
// "script" (see tools/sampledata/StoryScriptText.h for their lines).
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StoryScriptText.h"

namespace {

bool BuildStoryScripts(sampledata::Staging& staging, std::string* error) {
    for (const sampledata::StoryScriptFile& file : sampledata::BuildStoryScripts()) {
        const std::string text = sampledata::FormatScript(file.lines);
        if (!staging.Add("script", file.folder + "/" + file.name,
                         std::vector<uint8_t>(text.begin(), text.end()), error))
            return false;
    }
    return true;
}

} // namespace

SAMPLEDATA_KIND(StoryScripts, BuildStoryScripts);
