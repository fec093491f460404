// What the planets, the sun's flare shells and the far ships read: the bump
// pictures of the planet types the sample universe and missions use, the
// default planet textures (earth), the burn texture, and small copies of the
// corvette's top and bottom maps for its flat far model.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RES/picture.h"
#include "mkdata.h"
#include "os/paths.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

namespace {

constexpr int kPlanetTypes = 4;  // the types the universe gives generated bodies: 0..3

int Hash(int a, int b, int c) {
    unsigned h = unsigned(a) * 73856093u ^ unsigned(b) * 19349663u ^ unsigned(c) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return int((h ^ (h >> 15)) & 0x7fffffffu);
}

// Smooth value noise over a wrapping grid of the cell size.
float Noise(int x, int y, int cell, int salt) {
    const int gx = x / cell, gy = y / cell, n = 256 / cell;
    const float fx = float(x % cell) / float(cell), fy = float(y % cell) / float(cell);
    auto v = [&](int i, int j) { return float(Hash((i + n) % n, (j + n) % n, salt) % 256); };
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = v(gx, gy) + (v(gx + 1, gy) - v(gx, gy)) * sx;
    const float b = v(gx, gy + 1) + (v(gx + 1, gy + 1) - v(gx, gy + 1)) * sx;
    return a + (b - a) * sy;
}

// A bump picture: craters on rolling ground for the rocky types, latitude
// bands for the others; 256 x 256 grey levels.
std::vector<uint8_t> Bump(int type, int half) {
    std::vector<uint8_t> px(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float v = 0.5f * Noise(x, y, 64, type * 2 + half) + 0.3f * Noise(x, y, 16, type * 2 + half + 50) +
                      0.2f * Noise(x, y, 4, type * 2 + half + 90);
            if (type % 2) v = 0.6f * v + 0.4f * float(128 + 120 * std::sin(float(y) * 0.2f + float(type)));
            px[y * 256 + x] = uint8_t(std::fmin(255.0f, std::fmax(0.0f, v)));
        }
    return px;
}

void Grey768(uint8_t *pal) {
    for (int i = 0; i < 256; ++i) pal[3 * i] = pal[3 * i + 1] = pal[3 * i + 2] = uint8_t(i);
}

bool SavePcx(const char *name, const std::vector<uint8_t> &pixels, int w, int h, const uint8_t *pal768) {
    std::vector<uint8_t> pal(pal768, pal768 + 768);
    PcxImage *image = MakePcxImage(nullptr, 0, pixels.data(), uint32_t(w), uint32_t(h), pal.data());
    const bool ok = image && pcxSave(name, image);
    pcxFree(image);
    if (!ok) std::fprintf(stderr, "mkdata: cannot write %s\n", name);
    return ok;
}

// An index-8 library pixelmap file of the game palette's ramps.
bool SavePix(const mkdata::Context &ctx, const std::string &rel, int w, int h, int (*paint)(int, int)) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, w, h, nullptr, 0);
    if (!pm) return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) VtPixelmapPixelSet(pm, x, y, vt_uint_32(paint(x, y)));
    const std::string path = mkdata::OutPath(ctx, rel);
    const bool ok = VtPixelmapSave(path.c_str(), pm) == 1;
    if (!ok) std::fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
    VtPixelmapFree(pm);
    return ok;
}

// The default planet: blue seas (ramp 112) and green land (ramp 80) with
// white caps; the second half a little darker.
int Earth(int x, int y, int half) {
    if (y < 20 || y >= 236) return 16 + 28;
    const bool land = Noise(x, y, 32, 7 + half) > 140;
    return land ? 80 + 14 + Hash(x, y, half) % 6 - half * 3 : 112 + 16 + Hash(x / 2, y / 2, half) % 4 - half * 3;
}
int Earth2(int x, int y) { return Earth(x, y, 0); }
int Earth3(int x, int y) { return Earth(x, y, 1); }

// The corvette's hull map at a quarter of its size: grey plating with the
// red band.
int CorvetteSmall(int x, int y) { return y >= 7 && y < 9 ? 48 + 22 : 16 + 19 + (x / 4 + y / 4) % 3; }

bool WritePlanets(const mkdata::Context &ctx) {
    mkdata::OutPath(ctx, "vek/resource/art/textures/planets/x");
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(ctx.out.c_str()) != 0) return false;
    osFlushPathCache();
    uint8_t grey[768];
    Grey768(grey);
    bool ok = true;
    for (int type = 0; type < kPlanetTypes; ++type)
        for (int half : {2, 3}) {
            char name[96];
            std::snprintf(name, sizeof name, "vek\\resource\\art\\textures\\planets\\bump%d_%d.pcx", type, half);
            ok &= SavePcx(name, Bump(type, half), 256, 256, grey);
        }
    // The burn texture of the flare shells: an orange fire ramp, its palette
    // read with the shells.
    uint8_t fire[768];
    for (int i = 0; i < 256; ++i) {
        fire[3 * i] = uint8_t(std::min(255, i * 2));
        fire[3 * i + 1] = uint8_t(std::max(0, i - 96));
        fire[3 * i + 2] = uint8_t(std::max(0, i - 192) * 4 > 255 ? 255 : std::max(0, i - 192) * 4);
    }
    std::vector<uint8_t> burn(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            burn[y * 64 + x] = uint8_t(255 - std::min(255, int(std::hypot(x - 31.5, y - 31.5) * 8)));
    ok &= SavePcx("vek\\resource\\art\\tovburny.pcx", burn, 64, 64, fire);
    if (chdir(old) != 0) ok = false;
    osFlushPathCache();

    if (VtBegin() != VT_E_OK) return false;
    ok &= SavePix(ctx, "vek/resource/art/textures/planets/earth2.pix", 256, 256, Earth2);
    ok &= SavePix(ctx, "vek/resource/art/textures/planets/earth3.pix", 256, 256, Earth3);
    for (const char *folder : {"vek/resource/art/textures/ships/", "vek/resource/art/textur_h/ships/"})
        ok &= SavePix(ctx, std::string(folder) + "corvhull_S.pix", 32, 16, CorvetteSmall);
    VtEnd();
    return ok;
}

// Before the universe's textures, which may write planet textures of their
// own over these.
mkdata::Generator gPlanets("32-planets", WritePlanets);

}  // namespace
