// One text image per story line, 720 x 40, with the line's name painted on
// it: the Japanese and the English folder each have their own.
#include "tools/sampledata/PictureMaker.h"
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StoryScriptText.h"

namespace {

using namespace sampledata;

bool BuildStoryLines(Staging& staging, std::string* error) {
    PictureMaker m(staging, "script", error);
    if (!m.Open("story lines"))
        return false;
    const struct {
        const char* folder;
        const char* tag;
        uint32_t ink;
    } languages[] = {{"script/texture/pcs_jap", "JP", 0xFFF0C0FF},
                     {"script/texture/pcs_eng", "EN", 0xC0F0FFFF}};
    for (const std::string& name : StoryTextNames(BuildStoryScripts())) {
        for (const auto& language : languages) {
            RgbaImage image(720, 40, kClear);
            image.Fill(0, 4, 720, 32, 0x00000060);
            m.text.DrawCentred(image, 0, 0, 720, 40, 26, std::string(language.tag) + "  " + name,
                               language.ink);
            if (!m.Add(language.folder, name + ".dds", image))
                return false;
        }
    }
    return m.Ok();
}

} // namespace

SAMPLEDATA_KIND(StoryLines, BuildStoryLines);
