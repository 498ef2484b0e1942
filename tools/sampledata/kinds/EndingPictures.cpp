// The ending's pictures: the true endings' pictures in "texture/ending", the
// unlock pictures "texture/secret/update01.dds" to "update05.dds" and the
// staff credits "texture/staff_roll/credit01.dds" to "credit05.dds".
#include "tools/sampledata/PictureMaker.h"
#include "tools/sampledata/SampleKind.h"
#include "tools/sampledata/StoryScriptText.h"

#include <cstdio>

namespace {

using namespace sampledata;

std::string Numbered(const char* format, int n) {
    char text[32];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

bool BuildEndingPictures(Staging& staging, std::string* error) {
    PictureMaker m(staging, "0100", error);
    if (!m.Open("ending pictures"))
        return false;
    for (const std::string& name : StoryPictureNames(BuildStoryScripts())) {
        RgbaImage image(1280, 720, kClear);
        Gradient(image, 0, 0, 1280, 720, 0x604020FF, 0x100800FF);
        m.text.DrawCentred(image, 0, 0, 1280, 720, 80, name, 0xFFE0A0FF);
        m.Add("texture/ending", name + ".dds", image);
    }
    const char* unlocks[] = {"SECOND LOOP START", "NEW OPTION", "PILOT 6 STORY CLEAR", "BONUS ART",
                             "SPECIAL WEAPON"};
    for (int n = 1; n <= 5; ++n) {
        RgbaImage image(1280, 720, kClear);
        Gradient(image, 0, 0, 1280, 720, 0x204060FF, 0x000000FF);
        Plate(m.text, image, 240, 300, 800, 120, 0xFFD040FF, unlocks[n - 1]);
        m.Add("texture/secret", Numbered("update%02d.dds", n), image);
    }
    // Five pages of credits, 512 pixels each, on black.
    const char* roles[] = {"DIRECTION", "PROGRAM", "GRAPHICS", "SOUND", "THANKS"};
    for (int n = 1; n <= 5; ++n) {
        RgbaImage image(1280, 512, 0x000000FF);
        m.text.DrawCentred(image, 0, 60, 1280, 80, 56, roles[n - 1], 0xFFE060FF);
        for (int line = 0; line < 4; ++line)
            m.text.DrawCentred(image, 0, 180 + 70 * line, 1280, 60, 36,
                               Numbered("STAFF MEMBER %d", n * 10 + line), kWhite);
        m.Add("texture/staff_roll", Numbered("credit%02d.dds", n), image);
    }
    return m.Ok();
}

} // namespace

SAMPLEDATA_KIND(EndingPictures, BuildEndingPictures);
