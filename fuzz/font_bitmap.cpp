// Bitmap font files: the bytes are read as a packed font and as a font file;
// whatever parses is then measured and drawn at both depths.
#include <cstdint>
#include <vector>

#include "RES/font.h"
#include "RES/text.h"

static void Exercise(const BitmapFont *font) {
    static const char kText[] = "Gr\xF6\xDF" "e, \xE9t\xE9\r\nAg \x01\xFF wrap these words please\n\n";
    static uint8_t pixels[96 * 64 * 2];
    Surface s{pixels, 96, 64, 0, 0, 96, 1};
    ClipRect clip = {0, 0, 95, 63};
    int w, h;
    dunMeasureText(kText, font, &w, &h);
    (void)CountWrappedLines(kText, font, 50);
    for (int16_t bytes : {1, 2}) {
        s.bytesPerPixel = bytes;
        s.pitch = (int16_t)(96 * bytes);
        int x = 3, y = 12;
        dunDrawText(&s, &x, &y, kText, font, 255, &clip);
        x = 3, y = 30;
        dunDrawTextInRect(&s, &x, &y, kText, font, &clip);
        dunDrawTextCentred(&s, kText, font, &clip);
        dunDrawTextWrapped(&s, kText, font, &clip);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<uint8_t> block(fontParsedSize(size));
    if (BitmapFont *f = fontParseFnt(data, size, block.data(), block.size())) Exercise(f);
    if (BitmapFont *f = fontParseFon(data, size, block.data(), block.size())) Exercise(f);
    return 0;
}
