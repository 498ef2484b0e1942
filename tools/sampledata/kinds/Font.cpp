// The story font: "font/script.mfd" and its pages, made from DejaVu Sans with
// an outline channel beside every glyph.
#include "tools/font/FontBuilder.h"
#include "tools/sampledata/SampleKind.h"

namespace {

bool BuildFont(sampledata::Staging& staging, std::string* error) {
    tools::FontBuildOptions options;
    options.fontPath = tools::kDejaVuSans;
    options.pageName = "script";
    options.baseSize = 32;
    options.outline = true;
    options.codes = tools::DefaultFontCodes();
    tools::FontBuildResult font;
    std::string reason;
    if (!tools::BuildFont(options, font, reason)) {
        *error = "font: " + reason + " (package fonts-dejavu-core)";
        return false;
    }
    if (!staging.Add("0100", "font/script.mfd", std::move(font.description), error))
        return false;
    for (size_t i = 0; i < font.pages.size(); ++i) {
        if (!staging.Add("0100", "font/" + tools::FontPageFileName(options.pageName, i),
                         std::move(font.pages[i]), error))
            return false;
    }
    return true;
}

} // namespace

SAMPLEDATA_KIND(Font, BuildFont);
