// Vector font text: parsed into its block, then drawn plain and scaled.
#include <cstdint>
#include <vector>

#include "RES/font.h"
#include "RES/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<uint8_t> block(kVectorFontBlockSize);
    VectorFont *font = vfontParse((const char *)data, size, block.data(), block.size());
    if (!font) return 0;
    static uint8_t pixels[80 * 60];
    Surface s{pixels, 80, 60, 0, 0, 80, 1};
    ClipRect clip = {0, 0, 79, 59};
    for (int c = 0; c < 128; ++c) vfontDrawGlyph(&s, font->strokes[c], 30, 30, &clip, 255);
    int x = -5, y = 20;
    vfontDrawTextScaled(&s, 27.0f, &x, &y, "AZ09 \xE9\n#?", font, &clip, 255);
    return 0;
}
