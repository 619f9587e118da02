// Bitmap fonts as GL display lists, one list per character from 32 on. The glyphs are rasterised
// with Qt's font engine and stored as glBitmap calls, which is what the platform's own font
// lists would hold. Nothing in the program draws text with them yet; they are built so that an
// overlay can.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quillon {

struct TGLFont {
    unsigned Base = 0; // first display list, 0 when none was built
    std::string Name;
    int Height = 0;
    bool Outline = false;
};

class TGLFonts {
public:
    static constexpr int FirstChar = 32;
    static constexpr int ListCount = 95;

    TGLFonts() = default;
    ~TGLFonts();
    TGLFonts(const TGLFonts&) = delete;
    TGLFonts& operator=(const TGLFonts&) = delete;

    // Needs the GL context current. Returns the display-list base, 0 on failure. Outlined fonts
    // are rasterised as bitmaps as well: no part of the program needs extruded glyphs.
    unsigned AddFont(bool outline, int height, const std::string& face);
    // Deletes every font's lists (with the context current) and empties the list.
    void Clear();
    const std::vector<std::unique_ptr<TGLFont>>& Fonts() const { return List; }

private:
    std::vector<std::unique_ptr<TGLFont>> List;
};

} // namespace quillon
