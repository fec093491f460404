// The rendering library's own sample files below vantor\dat: the 8-bit
// palette, the shade table and the effect textures, all written through the
// library's pixelmap saver so that they are exactly what it reads back.
#include <cmath>
#include <cstdio>
#include <string>

#include "mkdata.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

vt_uint_32 Rgb(int r, int g, int b) {
    auto c = [](int v) { return vt_uint_32(v < 0 ? 0 : v > 255 ? 255 : v); };
    return c(r) << 16 | c(g) << 8 | c(b);
}

int Channel(vt_uint_32 c, int shift) { return int(c >> shift & 0xff); }

int Nearest(const vt_uint_32 *pal, int r, int g, int b) {
    int best = 0;
    long bestD = -1;
    for (int i = 0; i < 256; i++) {
        const long dr = Channel(pal[i], 16) - r, dg = Channel(pal[i], 8) - g, db = Channel(pal[i], 0) - b;
        const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestD < 0 || d < bestD)
            best = i, bestD = d;
    }
    return best;
}

bool Save(const mkdata::Context &ctx, const char *rel, vt_pixelmap *pm) {
    const std::string path = mkdata::OutPath(ctx, rel);
    pm->identifier = rel + std::string(rel).rfind('/') + 1;
    if (VtPixelmapSave(path.c_str(), pm) != 1) {
        fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

vt_uint_32 Argb4444(double a, double r, double g, double b) {
    auto n = [](double v) { return vt_uint_32(std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 15.0)); };
    return n(a) << 12 | n(r) << 8 | n(g) << 4 | n(b);
}

// A beam seen from the side: bright core along u, fading towards the edges
// in v, a faint pulse along its length.
vt_pixelmap *Beam(double r, double g, double b, double width) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_ARGB_4444, 64, 64, nullptr, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            const double v = std::fabs((y + 0.5) / 32.0 - 1.0);
            const double core = std::exp(-v * v / (width * width));
            const double pulse = 0.85 + 0.15 * std::cos(x * kPi / 8.0);
            const double white = core * core;
            VtPixelmapPixelSet(pm, x, y,
                               Argb4444(core * pulse, r + (1 - r) * white, g + (1 - g) * white, b + (1 - b) * white));
        }
    return pm;
}

// A round glow: hot centre, coloured ring, ragged edge from a fixed
// pattern of ripples.
vt_pixelmap *Glow(double r, double g, double b, int ripples) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_ARGB_4444, 64, 64, nullptr, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            const double dx = (x + 0.5) / 32.0 - 1.0, dy = (y + 0.5) / 32.0 - 1.0;
            const double d = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
            const double edge = 0.8 + 0.12 * std::sin(a * ripples) * std::cos(a * 3 + d * 7);
            const double t = std::fmax(0.0, 1.0 - d / edge);
            const double hot = t * t * t;
            VtPixelmapPixelSet(pm, x, y, Argb4444(std::sqrt(t), r + (1 - r) * hot, g + (1 - g) * hot, b + (1 - b) * hot));
        }
    return pm;
}

bool WriteLibraryPixelmaps(const mkdata::Context &ctx) {
    if (VtBegin() != VT_E_OK)
        return false;
    bool ok = true;

    vt_pixelmap *palette = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    // The game palette: what the 8-bit screen shows, and what 16-bit screens
    // see 8-bit textures through.
    uint8_t game[1024];
    mkdata::GamePalette(game);
    vt_uint_32 pal[256];
    for (int i = 0; i < 256; i++) {
        pal[i] = Rgb(game[4 * i], game[4 * i + 1], game[4 * i + 2]);
        VtPixelmapPixelSet(palette, 0, i, pal[i]);
    }
    ok &= Save(ctx, "vantor/dat/tovstdbr.pal", palette);
    // 3D-card mode asks the map hook for names with "_" before the dot.
    ok &= Save(ctx, "vantor/dat/tovstdb_.pal", palette);

    // Shade table: row l is every colour lit at level l of 64 (32 is as it
    // is, above that towards white).
    vt_pixelmap *shade = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 64, nullptr, 0);
    for (int l = 0; l < 64; l++)
        for (int c = 0; c < 256; c++) {
            const double k = l / 32.0;
            int r = Channel(pal[c], 16), g = Channel(pal[c], 8), b = Channel(pal[c], 0);
            if (k <= 1.0) {
                r = int(r * k), g = int(g * k), b = int(b * k);
            } else {
                const double w = k - 1.0;
                r = int(r + (255 - r) * w), g = int(g + (255 - g) * w), b = int(b + (255 - b) * w);
            }
            VtPixelmapPixelSet(shade, c, l, vt_uint_32(Nearest(pal, r, g, b)));
        }
    shade->map = palette;
    ok &= Save(ctx, "vek/resource/art/textures/ships/tovstd.tab", shade);
    // The 3D card's copy, where its map hook looks.
    ok &= Save(ctx, "vek/resource/art/textur_h/ships/tovstd.tab", shade);
    // The library's own copy, found along its search path by the materials
    // that name it.
    ok &= Save(ctx, "vantor/dat/tovstd.tab", shade);

    // Each texture also under the name 3D-card mode asks for (null when it
    // is the same name).
    struct BeamSpec {
        const char *file, *card;
        double r, g, b, width;
    } beams[] = {
        {"vantor/dat/beamnav.pix", "vantor/dat/beamna_.pix", 0.3, 0.5, 1.0, 0.35},
        {"vantor/dat/beamind.pix", "vantor/dat/beamin_.pix", 0.5, 0.3, 1.0, 0.30},
        {"vantor/dat/beamaln.pix", "vantor/dat/beamal_.pix", 0.3, 1.0, 0.4, 0.40},
        {"vantor/dat/beamnl.pix", "vantor/dat/beamn_.pix", 1.0, 0.3, 0.3, 0.30},
        {"vantor/dat/beamora.pix", "vantor/dat/beamor_.pix", 1.0, 0.6, 0.2, 0.35},
        {"vantor/dat/beam27_.pix", nullptr, 0.9, 0.9, 0.3, 0.25},
        {"vantor/dat/beam28_.pix", nullptr, 0.3, 0.9, 0.9, 0.25},
    };
    for (const BeamSpec &s : beams) {
        vt_pixelmap *pm = Beam(s.r, s.g, s.b, s.width);
        ok &= Save(ctx, s.file, pm);
        if (s.card)
            ok &= Save(ctx, s.card, pm);
    }
    struct GlowSpec {
        const char *file, *card;
        double r, g, b;
        int ripples;
    } glows[] = {
        {"vantor/dat/antimo.pix", "vantor/dat/antim_.pix", 0.7, 0.2, 1.0, 5},
        {"vantor/dat/explo_1.pix", "vantor/dat/explo__.pix", 1.0, 0.5, 0.1, 7},
        {"vantor/dat/plasma.pix", "vantor/dat/plasm_.pix", 0.2, 1.0, 0.6, 9},
    };
    for (const GlowSpec &s : glows) {
        vt_pixelmap *pm = Glow(s.r, s.g, s.b, s.ripples);
        ok &= Save(ctx, s.file, pm) && Save(ctx, s.card, pm);
    }
    // The shield and pocket flare textures the effect set-up gives their
    // alpha to; the 3D card's folder is the only one they are read from.
    ok &= Save(ctx, "vek/resource/art/textur_h/ships/expprim.pix", Glow(0.4, 0.7, 1.0, 6));
    ok &= Save(ctx, "vek/resource/art/textur_h/ships/pocketfz.pix", Glow(1.0, 0.8, 0.3, 4));

    // Wreck texture: scorched plating in the palette's grey and orange ramps.
    vt_pixelmap *wreck = VtPixelmapAllocate(VT_PMT_INDEX_8, 64, 64, nullptr, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            const bool seam = x % 16 == 0 || y % 16 == 0;
            const int burn = int(8 + 6 * std::sin(x * 0.37) * std::cos(y * 0.29) + ((x * 7 + y * 13) % 5));
            const int base = (x / 16 + y / 16) % 3 == 0 ? 16 + 7 * 32 : 16;
            VtPixelmapPixelSet(wreck, x, y, vt_uint_32(base + (seam ? 4 : burn)));
        }
    wreck->map = palette;
    ok &= Save(ctx, "vantor/dat/wreckg_.pix", wreck);

    VtEnd();
    return ok;
}

} // namespace

mkdata::Generator gLibraryPixelmaps("30-vantor-pixelmaps", WriteLibraryPixelmaps);
