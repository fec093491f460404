// The front end's pictures: space scenes of the sample universe (nebula
// and stars, a planet, the sample ships drawn by the rendering library)
// in place of plain fills: the front-end backdrop whose palette the front
// end takes, the briefing's and the cockpit's backgrounds and the load
// screens at 8 and 24 bits. Written through the game's own savers.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RES/picture.h"
#include "mkdata.h"
#include "os/paths.h"
#include "scenes.h"

namespace {

std::vector<uint8_t> Palette768(const uint8_t *pal) {
    std::vector<uint8_t> p(768);
    for (int i = 0; i < 256; ++i) std::memcpy(&p[size_t(i) * 3], pal + i * 4, 3);
    return p;
}

bool SavePcx8(const char *name, const std::vector<uint8_t> &pixels, int w, int h, const uint8_t *pal) {
    std::vector<uint8_t> p768 = Palette768(pal);
    PcxImage *image = MakePcxImage(nullptr, 0, pixels.data(), uint32_t(w), uint32_t(h), p768.data());
    if (!image) return false;
    pcxSave(name, image);
    pcxFree(image);
    return true;
}

// The home scene: the corvette and its wingman pass a blue world at dawn
// under a purple nebula, a station far behind.
mkdata::Canvas FrontScene(int w, int h) {
    mkdata::Canvas c(w, h);
    mkdata::SkyLook sky = {7, {70, 40, 130}, {200, 90, 160}, 0.9f, 14};
    mkdata::PaintSky(c, sky);
    const float s = float(w) / 640.0f;
    const float sunColour[3] = {255, 220, 170};
    mkdata::PaintGlare(c, 90 * s, 70 * s, 10 * s, sunColour, 0.9f);
    mkdata::PaintPlanet(c, {470 * s, 560 * s, 300 * s, -0.6f, 0.5f, 0.45f, mkdata::PlanetKind::Earth, 3});
    static const lwob::Object corvette = mkdata::SampleShape("corvette"), raider = mkdata::SampleShape("raider"),
                              station = mkdata::SampleShape("station");
    const float light[3] = {-0.6f, 0.5f, 0.45f};
    mkdata::DrawShips(c,
                      {{&station, -260, 90, -1400, 30, 25, 10},
                       {&corvette, 40, -34, -120, 125, 12, -18},
                       {&corvette, 85, -18, -210, 130, 10, -14},
                       {&raider, -70, -40, -160, 230, -8, 20}},
                      40, light);
    return c;
}

bool WriteBackdrops(const mkdata::Context &ctx) {
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(ctx.out.c_str()) != 0) return false;
    osFlushPathCache();
    uint8_t pal[PaletteBytes];
    mkdata::GamePalette(pal);
    const mkdata::Canvas front = FrontScene(640, 480);
    const std::vector<uint8_t> frontPixels = mkdata::ToGamePalette(front, pal);
    bool ok = SavePcx8("vek\\resource\\art\\front.pcx", frontPixels, 640, 480, pal);
    // The scene's lower band (the planet and the ships) as a picture of its
    // own: the pages lay it over the backdrop where it already stands, so
    // at 640 x 480 nothing changes, and the larger modes, which draw no
    // full-screen backdrop, still show it.
    const std::vector<uint8_t> band(frontPixels.begin() + 264 * 640, frontPixels.end());
    ok = ok && SavePcx8("vek\\resource\\art\\frontart.pcx", band, 640, 480 - 264, pal);
    if (chdir(old) != 0) return false;
    osFlushPathCache();
    return ok;
}

// After the first pictures, whose plain fills these replace.
mkdata::Generator gBackdrops("21-backdrops", WriteBackdrops);

}  // namespace
