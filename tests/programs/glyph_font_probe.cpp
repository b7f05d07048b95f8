// Started by the glyph font tests with FONTCONFIG_FILE naming a configuration
// of their own, to see how text fares when Chinese faces are missing. Draws
// 'A' and 黑 at size 26 and prints each one's advance and inked pixel count.
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "platform/Glyph.h"

#include <cstdio>

int main() {
    CGlyphFont font(platform::CreateGlyphSource());
    font.SetFont(26, 0);
    const struct {
        const char* name;
        const char* text;
    } chars[] = {{"A", "A"}, {"hei", "\xBA\xDA"}};
    for (const auto& c : chars) {
        CDib dib;
        dib.Create(platform::WindowHandle::None, 40, 40, 24);
        dib.FillRect(0, 0, 40, 40, 0);
        const int advance = font.DrawChar(&dib, 4, 4, c.text, 0xFFFFFF);
        int inked = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                inked += *dib.GetPixelPtr(x, y) != 0;
        std::printf("%s %d %d\n", c.name, advance, inked);
    }
    return 0;
}
