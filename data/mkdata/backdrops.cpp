// The front end's pictures: space scenes of the sample universe (nebula
// and stars, a planet, the sample ships drawn by the rendering library)
// in place of plain fills: the front-end pages' backdrop and its middle,
// whose palette the front end takes, the briefing's and the cockpit's backgrounds and the load
// screens at 8 and 24 bits. Written through the game's own savers.
#include <unistd.h>

#include <cmath>
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

const lwob::Object &Corvette() {
    static const lwob::Object o = mkdata::SampleShape("corvette");
    return o;
}
const lwob::Object &Raider() {
    static const lwob::Object o = mkdata::SampleShape("raider");
    return o;
}
const lwob::Object &Station() {
    static const lwob::Object o = mkdata::SampleShape("station");
    return o;
}

// The home scene, 1024 x 768: the corvette and its wingman pass a blue
// world at dawn under a purple nebula, a station far behind, a raider
// closing from below and a pale moon beyond. Its middle 640 x 480 is the
// 640 x 480 backdrop; the smaller modes show its middle, 1024 x 768 all of
// it.
constexpr int kWideW = 1024, kWideH = 768, kCropX = (kWideW - 640) / 2, kCropY = (kWideH - 480) / 2;

mkdata::Canvas FrontScene() {
    mkdata::Canvas c(kWideW, kWideH);
    mkdata::SkyLook sky = {7, {70, 40, 130}, {200, 90, 160}, 0.9f, 14};
    mkdata::PaintSky(c, sky);
    const float x0 = kCropX, y0 = kCropY;
    const float sunColour[3] = {255, 220, 170};
    mkdata::PaintGlare(c, x0 + 90, y0 + 70, 10, sunColour, 0.9f);
    mkdata::PaintPlanet(c, {x0 - 128, y0 + 10, 40, 0.8f, -0.35f, 0.5f, mkdata::PlanetKind::Ice, 11});
    mkdata::PaintPlanet(c, {x0 + 470, y0 + 560, 300, -0.6f, 0.5f, 0.45f, mkdata::PlanetKind::Earth, 3});
    const lwob::Object &corvette = Corvette(), &raider = Raider(), &station = Station();
    const float light[3] = {-0.6f, 0.5f, 0.45f};
    // The focal length of 40 degrees over 480 rows, over 768.
    const float fov = 2 * std::atan(std::tan(20 * 3.14159265f / 180) * kWideH / 480) * 180 / 3.14159265f;
    mkdata::DrawShips(c,
                      {{&station, -260, 90, -1400, 30, 25, 10},
                       {&corvette, 40, -34, -120, 125, 12, -18},
                       {&corvette, 85, -18, -210, 130, 10, -14},
                       {&raider, -70, -40, -160, 230, -8, 20}},
                      fov, light);
    return c;
}

// The middle 640 x 480 of a picture of the wide scene's size.
std::vector<uint8_t> Middle(const std::vector<uint8_t> &wide) {
    std::vector<uint8_t> middle;
    middle.reserve(640 * 480);
    for (int y = 0; y < 480; ++y) {
        const auto row = wide.begin() + (y + kCropY) * kWideW + kCropX;
        middle.insert(middle.end(), row, row + 640);
    }
    return middle;
}

constexpr float kSteel[3] = {150, 160, 178};
constexpr float kGreen[3] = {60, 240, 90}, kAmber[3] = {255, 180, 40}, kRed[3] = {255, 60, 40};

// The load screen: the corvette waits off the station's ring over a red
// desert world, under the steel band the progress runs along.
mkdata::Canvas LoadScene() {
    mkdata::Canvas c(640, 480);
    mkdata::PaintSky(c, {23, {40, 60, 140}, {110, 170, 240}, 0.8f, 16});
    const float sun[3] = {255, 230, 190};
    mkdata::PaintGlare(c, 560, 60, 9, sun, 0.8f);
    mkdata::PaintPlanet(c, {120, 520, 260, 0.7f, 0.55f, 0.4f, mkdata::PlanetKind::Rock, 5});
    const float light[3] = {0.7f, 0.55f, 0.4f};
    mkdata::DrawShips(c, {{&Station(), 150, 70, -900, -20, 30, 5}, {&Corvette(), -30, 10, -140, 200, 8, 12}}, 40,
                      light);
    // The band: a steel plate with a sunken slot and three lamps.
    mkdata::PaintPlate(c, 80, 200, 560, 280, kSteel, 4, 0);
    mkdata::PaintSlot(c, 100, 250, 540, 268, 2);
    mkdata::PaintLamp(c, 110, 222, 6, kGreen, true);
    mkdata::PaintLamp(c, 130, 222, 6, kAmber, true);
    mkdata::PaintLamp(c, 150, 222, 6, kRed, false);
    return c;
}

// The briefing's scene: the raider over a gas giant in a green nebula.
mkdata::Canvas BriefScene() {
    mkdata::Canvas c(640, 480);
    mkdata::PaintSky(c, {31, {40, 90, 80}, {120, 220, 180}, 0.85f, 14});
    mkdata::PaintPlanet(c, {520, 380, 220, -0.5f, 0.4f, 0.6f, mkdata::PlanetKind::Gas, 9});
    const float light[3] = {-0.5f, 0.4f, 0.6f};
    mkdata::DrawShips(c, {{&Raider(), -40, 10, -110, 60, 15, -10}}, 40, light);
    return c;
}

// The cockpit's background: space ahead over the station's console, a
// row of bevelled plates with their lamps.
mkdata::Canvas CockpitScene() {
    mkdata::Canvas c(640, 480);
    mkdata::PaintSky(c, {41, {70, 40, 130}, {200, 90, 160}, 0.6f, 12});
    const float light[3] = {-0.6f, 0.5f, 0.45f};
    mkdata::DrawShips(c, {{&Raider(), 60, 40, -400, 140, 10, 0}}, 40, light);
    const float dark[3] = {70, 78, 92};
    mkdata::PaintPlate(c, 0, 336, 640, 480, dark, 3, 48);
    for (int i = 0; i < 4; ++i) {
        mkdata::PaintPlate(c, 8 + 158 * i, 344, 154 + 158 * i, 472, kSteel, 3, 0);
        mkdata::PaintSlot(c, 20 + 158 * i, 372, 142 + 158 * i, 460, 2);
        for (int k = 0; k < 4; ++k)
            mkdata::PaintLamp(c, float(28 + 158 * i + 14 * k), 356, 4,
                              k == 0   ? kGreen
                              : k == 1 ? kAmber
                                       : kRed,
                              k < 2 || (i == 2 && k == 2));
    }
    return c;
}

// The navigation station's buttons: a bevelled plate with a lamp at its
// left, lit on the first three (the drive, free flight and the taxi are
// ready), amber on the mode buttons.
mkdata::Canvas NavButton(int n) {
    mkdata::Canvas c(64, 48);
    const float face[3] = {110, 122, 142};
    mkdata::PaintPlate(c, 0, 0, 64, 48, face, 3, 0);
    mkdata::PaintSlot(c, 18, 10, 58, 38, 2);
    mkdata::PaintLamp(c, 10, 24, 4, n >= 9 ? kAmber : n < 3 ? kGreen : kRed, n < 3 || n >= 9);
    return c;
}

// A station's console under its view: dark steel plates in 48-pixel
// panels, a lit bevel along the top, and a strip of status lamps in the
// bottom right corner, clear of the station's gadgets.
mkdata::Canvas Console(int h) {
    mkdata::Canvas c(640, h);
    const float dark[3] = {62, 70, 86};
    mkdata::PaintPlate(c, 0, 0, 640, h, dark, 3, 48);
    for (int k = 0; k < 4; ++k)
        mkdata::PaintLamp(c, float(596 + 12 * (k % 4) - 12), float(h - 8), 3,
                          k == 0   ? kGreen
                          : k == 1 ? kAmber
                                   : kRed,
                          k < 2);
    return c;
}

bool WriteBackdrops(const mkdata::Context &ctx) {
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(ctx.out.c_str()) != 0) return false;
    osFlushPathCache();
    uint8_t pal[PaletteBytes];
    mkdata::GamePalette(pal);
    // The pages' backdrop, and its middle: the front end's palette picture.
    const std::vector<uint8_t> wide = mkdata::ToGamePalette(FrontScene(), pal);
    bool ok = SavePcx8("vek\\resource\\art\\frontwide.pcx", wide, kWideW, kWideH, pal);
    ok = ok && SavePcx8("vek\\resource\\art\\front.pcx", Middle(wide), 640, 480, pal);
    const mkdata::Canvas load = LoadScene();
    ok = ok && SavePcx8("vek\\resource\\art\\loadscrn.pcx", mkdata::ToGamePalette(load, pal), 640, 480, pal);
    ok = ok && mkdata::SavePcx24("vek/resource/art/loadscrn16.pcx", load);
    ok = ok && SavePcx8("vek\\resource\\art\\brief.pcx", mkdata::ToGamePalette(BriefScene(), pal), 640, 480, pal);
    ok = ok && SavePcx8("vek\\resource\\art\\backgrnd.pcx", mkdata::ToGamePalette(CockpitScene(), pal), 640, 480, pal);
    ok =
        ok && SavePcx8("vek\\resource\\art\\gui\\console.pcx", mkdata::ToGamePalette(Console(144), pal), 640, 144, pal);
    ok =
        ok && SavePcx8("vek\\resource\\art\\gui\\engcons.pcx", mkdata::ToGamePalette(Console(240), pal), 640, 240, pal);
    for (int n = 0; n < 12 && ok; ++n) {
        char name[64];
        if (n < 9) std::snprintf(name, sizeof name, "vek\\resource\\art\\nav%d.pcx", n);
        else std::snprintf(name, sizeof name, "vek\\resource\\art\\navmd%d.pcx", n - 9);
        ok = SavePcx8(name, mkdata::ToGamePalette(NavButton(n), pal), 64, 48, pal);
    }
    if (chdir(old) != 0) return false;
    osFlushPathCache();
    return ok;
}

// After the first pictures, whose plain fills these replace.
mkdata::Generator gBackdrops("21-backdrops", WriteBackdrops);

}  // namespace
