// The first sample pictures: the standard palette picture, the screenshot
// header, the map icons, the glow masks and the colour cube (the scenes are
// the backdrops'). Written through the game's own savers (chdir into the data
// root, so that their game paths land there).
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "RES/picture.h"
#include "mkdata.h"
#include "os/paths.h"

namespace {
void StandardPalette(uint8_t *pal);
}  // namespace

void mkdata::GamePalette(uint8_t *pal) { StandardPalette(pal); }

namespace {

// The game's ramp layout: 0-9 and 246-255 the system's colours, 10-15 dark
// greys; from 16 seven ramps of 32 entries, dark to light (grey and the
// stars, red, green, blue, yellow, the sky's purple at 176, orange), whose
// top two entries are white; 240-244 five glows; 245 a mid grey.
void StandardPalette(uint8_t *pal) {
    static const uint8_t kSystem[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
    };
    static const uint8_t kRamps[7][3] = {{230, 230, 240}, {230, 40, 30},  {40, 220, 50},  {50, 80, 240},
                                         {230, 220, 40},  {170, 40, 200}, {230, 140, 60}};
    static const uint8_t kGlows[5][3] = {{255, 255, 210}, {255, 235, 160}, {255, 205, 110}, {255, 165, 70}, {255, 120, 40}};
    std::memset(pal, 0, PaletteBytes);
    for (int i = 0; i < 10; ++i) std::memcpy(pal + i * 4, kSystem[i], 3);
    for (int i = 0; i < 10; ++i) std::memcpy(pal + (246 + i) * 4, kSystem[10 + i], 3);
    for (int i = 10; i < 16; ++i) pal[i * 4] = pal[i * 4 + 1] = pal[i * 4 + 2] = uint8_t((i - 9) * 12);
    for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 32; ++k) {
            uint8_t *e = pal + (16 + 32 * r + k) * 4;
            for (int c = 0; c < 3; ++c) {
                // Up to the full colour at 29; the last two are the white
                // of a highlight.
                e[c] = uint8_t(k >= 30 ? 255 : kRamps[r][c] * (k + 1) / 30);
            }
        }
    for (int i = 0; i < 5; ++i) std::memcpy(pal + (240 + i) * 4, kGlows[i], 3);
    pal[245 * 4] = pal[245 * 4 + 1] = pal[245 * 4 + 2] = 128;
}

// The game colour (10..245) nearest to (r, g, b).
uint8_t NearestIndex(const uint8_t *pal, int r, int g, int b) {
    int best = 10, bestD = 1 << 30;
    for (int p = 10; p < 246; ++p) {
        const int dr = r - pal[p * 4], dg = g - pal[p * 4 + 1], db = b - pal[p * 4 + 2];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestD) best = p, bestD = d;
    }
    return uint8_t(best);
}

std::vector<uint8_t> Palette768(const uint8_t *pal) {
    std::vector<uint8_t> p(768);
    for (int i = 0; i < 256; ++i) std::memcpy(&p[i * 3], pal + i * 4, 3);
    return p;
}

// Saves an 8-bit picture with the game's PCX saver.
void SavePcx8(const char *name, const std::vector<uint8_t> &pixels, uint32_t w, uint32_t h, const uint8_t *pal) {
    std::vector<uint8_t> p768 = Palette768(pal);
    PcxImage *image = MakePcxImage(nullptr, 0, pixels.data(), w, h, p768.data());
    pcxSave(name, image);
    pcxFree(image);
}

bool WritePictures(const mkdata::Context &ctx) {
    for (const char *dir : {"vek/resource/art/screens/x", "vek/resource/art/icons/x"}) mkdata::OutPath(ctx, dir);
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(ctx.out.c_str()) != 0) return false;
    osFlushPathCache();

    uint8_t pal[PaletteBytes];
    StandardPalette(pal);

    // The standard palette, shown as a 16 x 16 swatch of 8 x 8 blocks.
    std::vector<uint8_t> swatch(128 * 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) swatch[y * 128 + x] = uint8_t((y / 8) * 16 + x / 8);
    SavePcx8("vek\\resource\\art\\tovstd.pcx", swatch, 128, 128, pal);

    // The library's picture of a corvette (a wedge on a starfield), in each
    // language's documents folder.
    std::vector<uint8_t> ship(64 * 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool hull = x >= 8 && x < 56 && std::abs(y - 24) <= (x - 8) / 3;
            const bool star = ((x * 7 + y * 13) % 53) == 0;
            ship[size_t(y) * 64 + x] = hull ? NearestIndex(pal, 180, 190, 200) : star ? 255 : NearestIndex(pal, 0, 0, 40);
        }
    for (const char *folder : {"text", "frn_", "ger_"}) {
        char name[64];
        std::snprintf(name, sizeof name, "vek\\resource\\%s\\docs\\ship.pcx", folder);
        SavePcx8(name, ship, 64, 48, pal);
    }

    // The screenshot header: any small 8-bit picture; only its header is used.
    std::vector<uint8_t> small(16 * 16, 255);
    SavePcx8("vek\\resource\\art\\screens\\header.pcx", small, 16, 16, pal);

    // The glow masks: radial light levels 0..15 over 128 x 128.
    for (int n : {0, 4}) {
        std::vector<uint8_t> mask(128 * 128);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                double d = std::hypot(x - 63.5, y - 63.5) / (n == 0 ? 64.0 : 40.0);
                mask[y * 128 + x] = uint8_t(d >= 1 ? 0 : std::min(15, 1 + int(15 * (1 - d))));
            }
        char name[64];
        std::snprintf(name, sizeof name, "vek\\resource\\art\\icons\\Flare%03d.pcx", n);
        SavePcx8(name, mask, 128, 128, pal);
    }

    // The six star-map icons as IFF pictures: compressed, raw, and one of an
    // odd width, each with its hotspot in the middle.
    static const struct { const char *name; int w, h; bool packed; uint8_t colour; } kIcons[] = {
        {"gsv_lp.bbm", 16, 16, true, 250},  {"gsv_lps.bbm", 9, 9, true, 249},
        {"gsv_stc.bbm", 15, 11, false, 251}, {"gsv_sts.bbm", 7, 7, false, 253},
        {"gsv_os.bbm", 12, 12, true, 254},   {"gsv_stl.bbm", 13, 5, true, 226 + 19},
    };
    for (auto &icon : kIcons) {
        std::vector<uint8_t> px(size_t(icon.w) * icon.h, 0);
        for (int y = 0; y < icon.h; ++y)
            for (int x = 0; x < icon.w; ++x) {
                int dx = 2 * x - (icon.w - 1), dy = 2 * y - (icon.h - 1);
                if (dx * dx + dy * dy <= icon.w * icon.h) px[size_t(y) * icon.w + x] = icon.colour;
            }
        std::string name = std::string("vek\\resource\\art\\icons\\") + icon.name;
        if (!SaveIffPicture(name.c_str(), px.data(), uint16_t(icon.w), uint16_t(icon.h), pal, icon.packed,
                            uint16_t(icon.w / 2), uint16_t(icon.h / 2)))
            return false;
    }

    // The colour cube: for each 5-5-6 bit colour the nearest game colour (10..245).
    std::vector<uint8_t> cube(ColourMapBytes);
    for (uint32_t i = 0; i < ColourMapBytes; ++i) {
        int r = int((i >> 8) & 0xF8), g = int((i & 0x7C0) >> 3), b = int((i & 0x3F) << 2);
        cube[i] = NearestIndex(pal, r, g, b);
    }
    bool ok = SaveColourMap("vek\\resource\\art\\tovstd.cm", cube.data());
    if (chdir(old) != 0) return false;
    osFlushPathCache();
    return ok;
}

mkdata::Generator gPictures("20-pictures", WritePictures);

}  // namespace
