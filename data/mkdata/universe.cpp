// The star catalogue and the planet textures of the sample universe. The
// bodies of its star systems are a text table of the tree
// ("vek/resource/geog/excelrichsys.csv"); the stars are binary: 3,900
// records of 45 bytes, the named ones first, star 0 at the origin, the four
// stars with systems (1, 2, 21, 26) flagged and near the origin.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mkdata.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

namespace {

constexpr int kStars = 3900;
constexpr int kRecord = 45;
constexpr uint32_t kHasSystem = 0x4, kNear = 0x8, kVisible = 0x100;

struct NamedStar {
    const char *name;
    float x, y, z;
    uint8_t system;
    float magnitude;
};

// Positions in world units; the star map's near ring is 3e17 round star 0.
const NamedStar kNamed[] = {
    {"Kelvar", 0, 0, 0, 1, 2.0f},
    {"Vessar", 1.1e17f, 2.0e16f, -6.0e16f, 2, 4.5f},
    {"Thule", -1.6e17f, -3.0e16f, 1.2e17f, 21, 5.0f},
    {"Morrow", 9.0e16f, 4.0e16f, 2.1e17f, 26, 6.5f},
    {"Aldine", 4.2e17f, 1.0e16f, 3.0e17f, 0, 3.0f},
    {"Brisk", -5.5e17f, 6.0e16f, -2.2e17f, 0, 7.0f},
    {"Castellan", 2.5e17f, -8.0e16f, -4.4e17f, 0, 5.5f},
    {"Dunmere", -3.3e17f, 2.0e16f, 5.1e17f, 0, 8.0f},
    {"Esk", 6.6e17f, -4.0e16f, 1.0e17f, 0, 9.5f},
    {"Farrow", -7.2e17f, 9.0e16f, 4.0e16f, 0, 6.0f},
    {"Gallant", 1.4e17f, 1.2e17f, 7.3e17f, 0, 4.0f},
    {"Hesper", -1.0e17f, -1.1e17f, -6.8e17f, 0, 10.5f},
    {"Ivel", 8.1e17f, 3.0e16f, -5.5e17f, 0, 11.0f},
    {"Jarrow", -8.8e17f, -2.0e16f, -3.9e17f, 0, 7.5f},
    {"Kestle", 3.7e17f, 5.0e16f, -8.0e17f, 0, 12.5f},
    {"Lanyard", -4.6e17f, -7.0e16f, 8.4e17f, 0, 9.0f},
};

// A small fixed generator, so the file is the same on every build.
uint32_t gSeed = 20240917u;
uint32_t Next() {
    gSeed = gSeed * 1664525u + 1013904223u;
    return gSeed >> 8;
}
float Uniform(float low, float high) { return low + (high - low) * float(Next() % 1000000u) / 1000000.0f; }

void PutFloat(uint8_t *at, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(bits >> (8 * i));
}
void PutWord(uint8_t *at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

void PutStar(uint8_t *r, float x, float y, float z, const char *name, float colour, float magnitude, uint8_t system) {
    PutFloat(r, x);
    PutFloat(r + 4, y);
    PutFloat(r + 8, z);
    if (name) std::strncpy(reinterpret_cast<char *>(r + 12), name, 20);
    PutFloat(r + 32, colour);
    PutFloat(r + 36, magnitude);
    r[40] = system;
    uint32_t flags = 0;
    if (system) flags |= kHasSystem;
    if (std::sqrt(double(x) * x + double(y) * y + double(z) * z) < 3e17) flags |= kNear;
    if (magnitude < 12.0f) flags |= kVisible;
    PutWord(r + 41, flags);
}

bool WriteStars(const mkdata::Context &ctx) {
    std::vector<uint8_t> bytes(size_t(kStars) * kRecord, 0);
    int i = 0;
    for (const NamedStar &s : kNamed)
        PutStar(&bytes[size_t(i++) * kRecord], s.x, s.y, s.z, s.name, Uniform(0, 21), s.magnitude, s.system);
    for (; i < kStars; ++i) {
        // A thick disc of unnamed stars beyond the near ring.
        const float angle = Uniform(0, 6.2831853f), radius = Uniform(3.2e17f, 2.5e18f);
        PutStar(&bytes[size_t(i) * kRecord], radius * std::cos(angle), Uniform(-2e17f, 2e17f), radius * std::sin(angle),
                nullptr, Uniform(0, 21), Uniform(1.0f, 18.0f), 0);
    }
    return mkdata::WriteFile(ctx, "vek/resource/geog/stars.bin", bytes.data(), bytes.size());
}

// ---- Planet textures: "<name>2.pix" (128 x 64) and "<name>3.pix" (64 x 32) -----------------

enum Ramp { Grey = 16, Red = 48, Green = 80, Blue = 112, Yellow = 144, Orange = 208 };
int At(Ramp ramp, int k) { return int(ramp) + (k < 0 ? 0 : k > 29 ? 29 : k); }
int Hash(int a, int b) { return int(((uint32_t(a) * 73856093u) ^ (uint32_t(b) * 19349663u)) & 0x7fffffffu); }

struct PlanetLook {
    const char *name;
    Ramp land, sea;
    int bands;  // 0: continents, else latitude bands
};
// The appearances the sample bodies name (1 mars, 3 earth, 4 io, 5 moon,
// 7 jup, 8 ura) and the default.
const PlanetLook kLooks[] = {
    {"mars", Red, Orange, 0},   {"earth", Green, Blue, 0}, {"io", Yellow, Orange, 0},  {"moon", Grey, Grey, 0},
    {"jup", Orange, Yellow, 9}, {"ura", Blue, Green, 5},   {"ven", Yellow, Yellow, 4},
};

int Texel(const PlanetLook &look, int x, int y, int w, int h) {
    const int cx = x * 16 / w, cy = y * 8 / h;
    if (look.bands) {
        const int band = (y * look.bands / h) % 2;
        return At(band ? look.land : look.sea, 14 + band * 6 + Hash(x / 4, y) % 3);
    }
    const bool land = (Hash(cx, cy) % 5) < 2;
    const int shade = Hash(x, y) % 4;
    if (y < h / 10 || y >= h - h / 10) return At(Grey, 26 + shade % 3);  // the caps
    return land ? At(look.land, 16 + shade) : At(look.sea, 10 + shade);
}

bool WritePlanetTexture(const mkdata::Context &ctx, const PlanetLook &look, int level, int w, int h) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, w, h, nullptr, 0);
    if (!pm) return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) VtPixelmapPixelSet(pm, x, y, vt_uint_32(Texel(look, x, y, w, h)));
    const std::string name = std::string(look.name) + std::to_string(level);
    pm->identifier = name.c_str();
    const std::string path = mkdata::OutPath(ctx, "vek/resource/art/textures/planets/" + name + ".pix");
    const bool ok = VtPixelmapSave(path.c_str(), pm) == 1;
    if (!ok) std::fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
    VtPixelmapFree(pm);
    return ok;
}

bool WriteUniverse(const mkdata::Context &ctx) {
    bool ok = WriteStars(ctx);
    if (VtBegin() != VT_E_OK) return false;
    for (const PlanetLook &look : kLooks) {
        ok &= WritePlanetTexture(ctx, look, 2, 128, 64);
        ok &= WritePlanetTexture(ctx, look, 3, 64, 32);
    }
    VtEnd();
    return ok;
}

mkdata::Generator gUniverse("33-universe", WriteUniverse);

}  // namespace
