// One FreeType library with one face, released together.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace tools {

class FreeTypeFace {
public:
    FreeTypeFace() = default;
    ~FreeTypeFace() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    // False when FreeType cannot start or the file is not a font.
    bool Open(const char* path) {
        return FT_Init_FreeType(&library) == 0 && FT_New_Face(library, path, 0, &face) == 0;
    }

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

} // namespace tools
