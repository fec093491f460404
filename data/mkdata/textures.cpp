// The sample ships' and station's textures, the scorched metal broken
// hulls show inside, and the beam textures of the sides' bolts: 8-bit pictures in the game
// palette's ramps (no palette of their own, as every texture of the game),
// in the first texture folder and in its 3D-card mirror, written through the
// library's pixelmap saver.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "mkdata.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

namespace {

// Ramp bases of the game palette: grey, red, green, blue, yellow, purple
// (the sky's), orange.
enum Ramp { Grey = 16, Red = 48, Green = 80, Blue = 112, Yellow = 144, Orange = 208 };

// A texel: k steps up its ramp (0 black .. 29 full colour).
int At(Ramp ramp, int k) { return int(ramp) + (k < 0 ? 0 : k > 29 ? 29 : k); }

// A small fixed hash for panel-to-panel variation.
int Hash(int a, int b) { return int(((unsigned(a) * 73856093u) ^ (unsigned(b) * 19349663u)) & 0x7fffffffu); }

using Painter = std::function<int(int x, int y)>;

bool Write(const mkdata::Context &ctx, const char *name, int w, int h, const Painter &paint) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, w, h, nullptr, 0);
    if (!pm) return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) VtPixelmapPixelSet(pm, x, y, vt_uint_32(paint(x, y)));
    pm->identifier = name;
    bool ok = true;
    for (const char *folder : {"vek/resource/art/textures/ships/", "vek/resource/art/textur_h/ships/"}) {
        const std::string path = mkdata::OutPath(ctx, std::string(folder) + name + ".pix");
        if (VtPixelmapSave(path.c_str(), pm) != 1) {
            std::fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    VtPixelmapFree(pm);
    return ok;
}

// Grey hull plating in 16 x 16 panels with dark seams and rivets, a red
// band round the middle with white chevrons, a row of lit windows (a few
// dark), blue ports and the hull number's blocks on the bow plates.
int CorvetteHull(int x, int y) {
    if (x % 16 == 0 || y % 16 == 0) return At(Grey, 9);
    if ((x % 16 == 2 || x % 16 == 14) && (y % 16 == 2 || y % 16 == 14)) return At(Grey, 12);
    if (y >= 28 && y < 36) {
        const int v = (x + (y < 32 ? y - 28 : 35 - y)) % 16;
        return v < 3 ? At(Grey, 29) : At(Red, 22 + (x / 16) % 2);
    }
    if (y >= 20 && y < 24 && x % 6 < 3) return Hash(x / 6, 1) % 5 == 0 ? At(Grey, 6) : At(Yellow, 28);
    if (y >= 44 && y < 48 && x % 8 < 4) return At(Blue, 26);
    if (y >= 52 && y < 60 && x >= 100 && x < 124 && (x - 100) % 8 < 6 && (x - 100) % 8 != 2) return At(Grey, 28);
    return At(Grey, 19 + Hash(x / 16, y / 16) % 5);
}

// Dark plating under diagonal orange warning stripes, with a slit of red
// lit windows and a pale side marking.
int RaiderHull(int x, int y) {
    if (x % 32 == 0 || y % 32 == 0) return At(Grey, 5);
    if (y >= 14 && y < 17 && x % 5 < 3) return At(Red, 27);
    if (y >= 40 && y < 48 && x >= 40 && x < 56 && std::abs(x - 48) + std::abs(y - 44) < 6) return At(Grey, 26);
    if (((x + y) / 8) % 4 == 0) return At(Orange, 24);
    return At(Grey, 10 + Hash(x / 8, y / 8) % 3);
}

// Blue-grey station panels with lit windows and a striped docking band.
int StationHull(int x, int y) {
    if (x % 16 == 0 || y % 8 == 0) return At(Grey, 11);
    // A docking band: yellow and black stripes along one row of panels.
    if (y >= 48 && y < 56) return (x / 4) % 2 ? At(Yellow, 26) : At(Grey, 4);
    if (y % 8 == 4 && x % 4 < 2 && Hash(x / 4, y / 8) % 3 == 0) return At(Yellow, 29);
    return At(Blue, 15 + Hash(x / 16, y / 8) % 4);
}

// The stations' console for the 3D card's cockpit panel, as the other
// modes draw it under the gadgets: dark steel plates with their seams (one
// every 48 pixels of the 640-wide band), a lit top edge and a strip of
// status lamps in the bottom right corner.
int Console(int x, int y) {
    if (y == 0) return At(Grey, 16);
    if (y == 31) return At(Grey, 4);
    if ((x * 640 / 128) % 48 < 5 && x > 0) return At(Grey, 5);
    if (y >= 26 && y < 29 && x >= 112 && x < 126 && (x - 112) % 4 < 3) {
        const int lamp = (x - 112) / 4;
        return lamp == 0 ? At(Green, 28) : lamp == 1 ? At(Yellow, 28) : At(Red, 10);
    }
    return At(Grey, 8 + (y < 16 ? 1 : 0));
}

// Scorched metal for the inside of a broken hull: near-black grey with
// dull red embers.
int ColdMetal(int x, int y) {
    const int h = Hash(x / 4, y / 4) % 16;
    if (h == 0) return At(Red, 12 + Hash(x, y) % 6);
    return At(Grey, 3 + h / 3 + Hash(x / 2, y / 2) % 2);
}

// A bolt's glow across its width: white-hot in the middle, fading into the
// side's colour and out to black at the edges, brighter along its length
// towards the head.
Painter Beam(Ramp ramp) {
    return [ramp](int x, int y) {
        const int across = 15 - std::abs(2 * y - 15);   // 0 at the edges .. 15 in the middle
        const int along = x / 4;                        // 0 at the tail .. 7 at the head
        const int k = across * 2 + along - 8;
        return k >= 28 ? At(Grey, 29) : At(ramp, k);
    };
}

// A backdrop sky: thin nebula clouds all round, and a galaxy (a bright core
// and two spiral arms) on each side of the sphere. The picture wraps once
// round the sphere (u) from pole to pole (v); the star pass draws the
// stars.
Painter Galaxy(Ramp ramp, double cv) {
    return [=](int x, int y) {
        const double u = x / 256.0, v = y / 128.0;
        const double cloud = 0.5 + 0.25 * std::sin(u * 2 * 3.14159 * 3 + std::sin(v * 9) * 1.7) +
                             0.25 * std::sin(v * 3.14159 * 5 + std::cos(u * 2 * 3.14159 * 2) * 2.1);
        double light = cloud * cloud * 0.3 * std::sin(v * 3.14159);
        for (double cu : {0.25, 0.75}) {
            double du = u - cu;
            du -= std::round(du);
            const double dx = du * 2.2, dy = (v - cv) * 2.2;
            const double r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
            const double core = std::exp(-r * r * 90);
            const double arm = std::pow(std::max(0.0, std::cos(2 * (a - std::log(r + 0.02) * 2.3))), 6) *
                               std::exp(-r * 5.5) * (r > 0.03);
            light += core + 0.8 * arm;
        }
        const int k = int(29 * std::min(1.0, light));
        return k > 0 ? At(ramp, k) : 0;
    };
}

bool WriteTextures(const mkdata::Context &ctx) {
    if (VtBegin() != VT_E_OK) return false;
    bool ok = Write(ctx, "corvhull", 128, 64, CorvetteHull);
    ok &= Write(ctx, "raidhull", 64, 64, RaiderHull);
    ok &= Write(ctx, "stathull", 64, 64, StationHull);
    ok &= Write(ctx, "cold", 64, 64, ColdMetal);
    ok &= Write(ctx, "console", 128, 32, Console);
    // The beam textures of the sides' bolts.
    ok &= Write(ctx, "laser_tex_aln", 32, 16, Beam(Green));
    ok &= Write(ctx, "laser_tex_navy", 32, 16, Beam(Yellow));
    ok &= Write(ctx, "laser_tex_indy", 32, 16, Beam(Red));
    ok &= Write(ctx, "laser_tex_orange", 32, 16, Beam(Orange));
    ok &= Write(ctx, "laser_tex_newal", 32, 16, Beam(Blue));
    // The sky backdrops' galaxies.
    ok &= Write(ctx, "bluegal2", 256, 128, Galaxy(Blue, 0.45));
    ok &= Write(ctx, "metalake", 256, 128, Galaxy(Red, 0.55));
    VtEnd();
    return ok;
}

mkdata::Generator gTextures("31-textures", WriteTextures);

}  // namespace
