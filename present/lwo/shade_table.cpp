// Generating the index shade table from the palette's ramp layout.
#include <cmath>
#include <cstdint>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/lwo/shade.h"
#include "present/p3d.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/std/stdlib.h"

namespace {

constexpr int kColumns = 256, kRows = 64;

vt_pixelmap *gTable;

// The ramp a column of 16..239 lies in, its place in the ramp and the
// distance to the top that the rows above 32 climb.
struct Ramp {
    int base, k, top;
};

int TopFor(int k) { return k >= 16 ? 31 - k : 15; }

Ramp RampOf(int c) {
    Ramp r;
    if (c >= 240) {
        r.base = 240;
        r.k = c - 240;
    } else {
        r.base = ((c + 16) & ~31) - 16;
        r.k = c - r.base;
    }
    r.top = TopFor(r.k);
    return r;
}

int Plain(int row, int c) {
    if (c < 16 || c >= 240) return c;
    const Ramp p = RampOf(c);
    if (row < 32) return p.base + row * p.k / 32;
    return p.base + p.k + (row - 32) * p.top / 32;
}

int Standard(int tint, int strength, int row, int c) {
    if (c < 16 || c >= 245) return c;
    Ramp p = RampOf(c);
    const bool special = tint == -1;
    if (special) {
        p.base = 48;
        p.k = (c - 16) % 32;
        p.top = TopFor(p.k);
    }
    if (row < 8) {
        const int m = 8 - row;
        if (!special) {
            if (c < 240) return tint + m * p.k * strength / 256;
            return tint + m * (3 * p.k + 14) * strength / 256;
        }
        if (c < 240) return ((c + 16) & ~31) - 16 + m * p.k * strength / 256;
        static const uint8_t kGlowSteps[11] = {48, 50, 54, 58, 240, 241, 242, 243, 244, 244, 244};
        return kGlowSteps[(p.k + 1) * m / 4];
    }
    int q = row - 8;
    if (p.base == 176) {
        // The sky's ramp is shown through the star ramp, stretched.
        p.base = 16;
        q = q < 42 ? int(float(q) * 1.166f) : 91 - q;
    }
    if (c < 240) {
        if (q < 28) return p.base + q * p.k / 28;
        return p.base + p.k + (q - 28) * p.top / 28;
    }
    if (special) {
        const int k = 6 * p.k, top = TopFor(k);
        if (q < 28) return 48 + q * k / 28;
        return 48 + k + (q - 28) * top / 28;
    }
    if (q <= 28) {
        const int k3 = 3 * p.k;
        if (q <= 28 - k3) return 48 + q * 16 / (28 - k3);
        return 240 + (q + k3 - 28) / 3;
    }
    return 240 + p.k + (q - 28) * (5 - p.k) / 28;
}

int Glow(int row, int c) {
    if (c < 16 || c >= 245) return 192;
    const int k = (c - 16) % 32;
    if (c < 240) {
        const int p = row - 4;
        if (p < 1) return 192;
        const int i = 64 + (k - 16) * p / 16;
        if (i >= 64) return int(std::sqrt(double((i - 64) * 64))) / 4 - 64;
        return -64 - int(std::sqrt(double((64 - i) * 64))) / 4;
    }
    if (row < 29) {
        const int k3 = 3 * k;
        if (row <= 28 - k3) return 48 + row * 16 / (28 - k3);
        return 48 + (row + k3 - 28) / 3;
    }
    return 48 + k + (row - 28) * (5 - k) / 28;
}

// Made on the first call, rewritten (and the library told) on later ones.
template <typename Entry>
void Fill(Entry entry) {
    const bool fresh = gTable == nullptr;
    if (fresh) {
        gTable = VtPixelmapAllocate(VT_PMT_INDEX_8, kColumns, kRows, nullptr, 0);
        if (!gTable) return;
        gTable->identifier = VtResStrDup(gTable, "index shade table");
    }
    auto *pixels = static_cast<uint8_t *>(gTable->pixels);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) pixels[r * gTable->row_bytes + c] = uint8_t(entry(r, c));
    if (fresh) VtMapAdd(gTable);
    else VtMapUpdate(gTable, VT_MAPU_ALL);
}

}  // namespace

void P3DMakeShadeTable(int tintBase, int tintStrength) {
    if (tintBase == 0 || optNoFill) Fill([](int r, int c) { return Plain(r, c); });
    else Fill([=](int r, int c) { return Standard(tintBase, tintStrength, r, c); });
}

void P3DMakeGlowShadeTable() {
    Fill([](int r, int c) { return Glow(r, c); });
}

vt_pixelmap *P3DShadeTable() { return gTable; }

void P3DForgetShadeTable() { gTable = nullptr; }

// The table on the screen for a look at it: row r at y = r, each entry two
// pixels wide.
void DrawShadeTablePanel(const char *name) {
    vt_pixelmap *table = gTable ? gTable : name ? VtMapFind(name) : nullptr;
    if (!table || !table->pixels || table->width < kColumns || table->row_bytes < kColumns) return;
    const auto *pixels = static_cast<const uint8_t *>(table->pixels);
    const int rows = table->height < kRows ? table->height : kRows;
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < kColumns; ++i) {
            const uint8_t entry = pixels[size_t(r) * size_t(table->row_bytes) + size_t(i)];
            PutPixel(&ScreenSurface, entry, 2 * i, r);
            PutPixel(&ScreenSurface, entry, 2 * i + 1, r);
        }
}
