// The 16 light tables glows, shaded lines and triangles look their pixels up
// in (each 16 levels of 256 palette colours), made from the palette's ramps
// of 32, and the two glow masks read from the flare pictures.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/util.h"
#include "present/effects/particle_draw.h"
#include "present/p3d.h"

uint8_t gFlareJitter[300];
uint8_t gFlareIcons[kFlareIcons][kFlareIconSide * kFlareIconSide];

namespace {

constexpr int kRows[8] = {48, 112, 80, 48, 48, 144, 144, 16};
constexpr int kDarkSteps[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 18, 24};
constexpr uint8_t kGlowList[32] = {49,  50,  52,  52,  53,  55,  57,  59,  61,  63,  240, 240, 241, 241, 242, 242,
                                   243, 243, 244, 244, 159, 159, 161, 162, 164, 164, 167, 167, 171, 172, 174, 175};

struct Sums {
    int s[256];
    // The first step of the row whose colour is brighter than the sum; 31
    // when none is.
    int FirstBrighter(int row, float sum) const {
        for (int j = 0; j < 32; ++j)
            if (row + j < 256 && float(s[row + j]) > sum) return j;
        return 31;
    }
};

int OwnRow(int c) { return ((c + 16) & 0xE0) - 16; }

uint8_t Brighten(const Sums &sums, int t, int level, int c) {
    const int tableRow = kRows[t & 7];
    int a = level == 11 ? 335 : level == 12 ? 470 : level == 13 ? 675 : level * (level + 4) + 4;
    if (t == 0) a /= 2;
    int row = (t == 0 || t == 3) ? OwnRow(c) : tableRow;
    if (level >= 14) {
        row = 48;
        a = level == 14 ? 64 : 16;
    }
    if (c >= tableRow && c < tableRow + 32) row = tableRow;
    if (row < 16) row = 16;
    const float sum = t == 3 ? float(sums.s[c]) * float(15 - level) / 15 : float(sums.s[c] + a);
    return uint8_t(row + sums.FirstBrighter(row, sum));
}

uint8_t Darken(int level, int c) {
    if (c < 16 || c > 239) return uint8_t(c);
    const int row = OwnRow(c);
    int step = kDarkSteps[level];
    if (row == 176) step *= 2;
    int k = c - row + step;
    if (k > 31) k = 31;
    return uint8_t(row + k);
}

uint8_t Glow(const Sums &sums, int t, int level, int c) {
    if (level == 15) return uint8_t(c);
    int row = kRows[t & 7];
    float sum = float(sums.s[c]);
    if (t == 11) {
        row = c >= 17 && c <= 239 ? OwnRow(c) : 48;
        sum = sum * float(15 - level) / 15;
    }
    float e = level < 10 ? float(level * level) / 3.5f : std::sqrt(80.0f * float(level));
    if (e > 30) e = 30;
    int k = sums.FirstBrighter(row, sum);
    if (t != 11 && e >= float(k)) k = int(e) + 1;
    if (k > 31) k = 31;
    if (t == 13) return kGlowList[k];
    return uint8_t(row + k);
}

void LoadMask(const char *name, uint8_t *mask) {
    PcxImage *image = pcxLoad(name);
    if (!image) return;
    const size_t size = image->pixels ? size_t(image->width) * image->height : 0;
    std::memcpy(mask, image->pixels, size < 16384 ? size : 16384);
    pcxFree(image);
}

}  // namespace

void LoadFlarePictures(uint8_t *table, const uint8_t *palette, const void *) {
    if (!table || !palette) return;
    Sums sums;
    for (int c = 0; c < 256; ++c) sums.s[c] = palette[4 * c] + palette[4 * c + 1] + palette[4 * c + 2];
    for (int t = 0; t < 16; ++t)
        for (int level = 15; level >= 0; --level)
            for (int c = 0; c < 256; ++c) {
                uint8_t &entry = table[t * 4096 + level * 256 + c];
                if (t < 8) entry = Brighten(sums, t, level, c);
                else if (t == 8) entry = Darken(level, c);
                else entry = Glow(sums, t, level, c);
            }
    for (uint8_t &j : gFlareJitter) j = uint8_t((dunRand15() % 3 + 1) * 16);
    char name[64];
    for (int k = 0; k < 2; ++k) {
        std::snprintf(name, sizeof name, "vek\\resource\\art\\icons\\Flare%03ld.pcx", long(k * 4));
        LoadMask(name, GlowMasks + k * 16384);
    }
}

// The start-up script's TRANSTAB statement: the game's light tables from
// the palette (the colour map is passed on, as the tables need only the
// palette), then the flare icons: each of the eight flare tints as the 8-bit
// lens-flare pass shows it over black, the round glow mask at half its
// resolution looked up in that tint's light table. The icons are what a
// content author checks a palette against: a tint whose icon comes out
// dark or banded needs a brighter ramp.
void GenerateFlareIcons(void *output, const void *palette, const void *colourMap) {
    uint8_t *tables = output ? static_cast<uint8_t *>(output) : LightTables;
    LoadFlarePictures(tables, static_cast<const uint8_t *>(palette), colourMap);
    if (!palette) return;
    constexpr int kStep = 128 / kFlareIconSide;
    for (int t = 0; t < kFlareIcons; ++t)
        for (int y = 0; y < kFlareIconSide; ++y)
            for (int x = 0; x < kFlareIconSide; ++x) {
                const int level = GlowMasks[(y * kStep) * 128 + x * kStep] & 15;
                gFlareIcons[t][y * kFlareIconSide + x] = level ? tables[t * 4096 + level * 256] : 0;
            }
}
