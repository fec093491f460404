// The GUI's pictures: the icons the GUI loads at start-up (crew states,
// autopilot programs, weapons, ship classes, the pointers and the corner
// arrow), and the panels, switches and slider track the GUI scripts show.
// Drawn in the standard palette that the first pictures wrote.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "RES/picture.h"
#include "mkdata.h"
#include "os/paths.h"

namespace {

// The standard palette, once read.
uint8_t gPalette[1024];

// The game colour nearest to the levels 0..5 of red, green and blue.
uint8_t Level(int r, int g, int b) {
    int best = 10, bestD = 1 << 30;
    for (int p = 10; p < 246; ++p) {
        const int dr = r * 51 - gPalette[p * 4], dg = g * 51 - gPalette[p * 4 + 1], db = b * 51 - gPalette[p * 4 + 2];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestD) best = p, bestD = d;
    }
    return uint8_t(best);
}

using Painter = std::function<uint8_t(int x, int y, int w, int h)>;

bool Iff(const std::string &name, int w, int h, const uint8_t *pal, const Painter &paint, bool hotspotCentre = false) {
    std::vector<uint8_t> px(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = paint(x, y, w, h);
    return SaveIffPicture(name.c_str(), px.data(), uint16_t(w), uint16_t(h), pal, true,
                          hotspotCentre ? uint16_t(w / 2) : 0, hotspotCentre ? uint16_t(h / 2) : 0);
}

// A bevelled plate: light top-left edges, dark bottom-right edges.
Painter Plate(uint8_t face, uint8_t light, uint8_t dark) {
    return [=](int x, int y, int w, int h) -> uint8_t {
        if (x == 0 || y == 0) return light;
        if (x == w - 1 || y == h - 1) return dark;
        return face;
    };
}

// An icon: a filled disc, ring or diamond in a colour on a transparent 0.
Painter Disc(uint8_t colour, bool ring) {
    return [=](int x, int y, int w, int h) -> uint8_t {
        const int dx = 2 * x - (w - 1), dy = 2 * y - (h - 1), d = dx * dx + dy * dy, r = w * w;
        if (d > r) return 0;
        return ring && d < r / 3 ? 0 : colour;
    };
}

bool WriteGuiPictures(const mkdata::Context &ctx) {
    mkdata::OutPath(ctx, "vek/resource/art/gui/x");
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(ctx.out.c_str()) != 0) return false;
    osFlushPathCache();
    uint8_t pal[PaletteBytes];
    uint32_t size = PaletteBytes;
    bool ok = pcxLoadPalette("vek\\resource\\art\\tovstd.pcx", pal, &size) != nullptr;
    std::memcpy(gPalette, pal, sizeof gPalette);

    const std::string icons = "vek\\resource\\art\\icons\\";
    // Crew states: four crews by three states, green, amber and red.
    const char crews[] = {'x', 'n', 'i', 'u'};
    const char *states[] = {"nm", "nt", "wt"};
    const uint8_t stateColour[] = {Level(0, 4, 0), Level(5, 4, 0), Level(5, 0, 0)};
    for (char c : crews)
        for (int s = 0; s < 3; ++s)
            ok = ok && Iff(icons + "cw_" + c + "_" + states[s] + ".bbm", 16, 16, pal, Disc(stateColour[s], false));
    // Autopilot programs and their key variants (rings).
    for (const char *p : {"lds", "fast", "slow", "algn", "dist"}) {
        ok = ok && Iff(icons + "lp_" + p + ".bbm", 20, 12, pal, Plate(Level(1, 2, 4), Level(3, 4, 5), Level(0, 1, 2)));
        ok = ok && Iff(icons + "lp_" + p + "k.bbm", 20, 12, pal, Plate(Level(4, 4, 1), Level(5, 5, 3), Level(2, 2, 0)));
    }
    ok = ok && Iff(icons + "arrow.bbm", 12, 10, pal, [](int x, int y, int, int h) -> uint8_t {
        return x <= h / 2 + (y < h / 2 ? y : h - 1 - y) ? 255 : 0;
    });
    ok = ok && Iff(icons + "cursor.bbm", 12, 12, pal, Disc(255, true), true);
    ok = ok && Iff(icons + "sm_sm.bbm", 8, 8, pal, Disc(Level(5, 5, 0), false), true);
    ok = ok && Iff(icons + "navcurs.bbm", 15, 15, pal, Disc(Level(0, 5, 5), true), true);
    for (const char *w : {"wp_null0", "wp_pbcf0", "wp_pbcf1", "wp_pbca0", "wp_pbca1", "wp_skf0", "wp_skf1", "wp_ska0",
                          "wp_ska1", "wp_ldif0", "wp_ldif1", "wp_ldia0", "wp_ldia1"}) {
        const bool active = std::strchr(w + 3, 'a') != nullptr;
        ok = ok && Iff(icons + w + ".bbm", 24, 16, pal,
                       Plate(active ? Level(4, 1, 0) : Level(1, 1, 2), Level(4, 4, 4), Level(0, 0, 1)));
    }
    for (const char *s : {"S_CORVETTE", "S_FREIGHTER", "S_COMMAND", "S_TRANSPORT", "S_CRUISER", "S_PATCOM",
                          "S_CFIGHTER", "S_SFIGHTER", "S_TUG", "S_MISSILE", "S_MINE", "S_DRONE", "S_STATION",
                          "S_DESTROYER", "S_CARRIER", "S_COMMRELAY", "S_RING"})
        ok = ok && Iff(icons + s + ".BBM", 12, 8, pal, Disc(Level(2, 5, 2), true), true);

    // The GUI scripts' pictures: a panel, a switch's two faces and a slider
    // track.
    const std::string gui = "vek\\resource\\art\\gui\\";
    // The panel: a bevelled steel-blue plate, an inset face with fine
    // panel seams and rivets, and a row of status lights along its foot.
    ok = ok && Iff(gui + "panel.bbm", 200, 120, pal, [](int x, int y, int w, int h) -> uint8_t {
        const int edge = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
        const bool lightSide = x + y < w + h - 2 - x - y;
        if (edge < 3) return lightSide ? Level(2, 3, 4) : Level(0, 0, 1);
        if (edge < 5) return lightSide ? Level(0, 0, 1) : Level(1, 2, 3);
        if (y >= h - 14 && y < h - 8) {
            const int slot = (x - 10) / 16, within = (x - 10) % 16;
            if (x >= 10 && slot < 6 && within >= 4 && within < 10)
                return slot == 0 ? Level(0, 5, 1) : slot == 1 ? Level(5, 4, 0) : slot < 4 ? Level(0, 3, 1) : Level(1, 1, 1);
        }
        if ((x - 5) % 48 == 0 || (y - 5) % 36 == 0) return Level(0, 0, 1);
        if ((x - 5) % 48 == 3 && (y - 5) % 36 == 3) return Level(2, 2, 3);
        return y < h / 2 ? Level(1, 1, 2) : Level(0, 1, 2);
    });
    ok = ok && Iff(gui + "switch_up.bbm", 64, 20, pal, Plate(Level(1, 2, 3), Level(3, 4, 5), Level(0, 0, 1)));
    ok = ok && Iff(gui + "switch_dn.bbm", 64, 20, pal, Plate(Level(3, 1, 0), Level(0, 0, 1), Level(5, 3, 1)));
    ok = ok && Iff(gui + "slider.bbm", 16, 120, pal, [](int x, int y, int w, int) -> uint8_t {
        if (x == w / 2) return Level(4, 4, 4);
        return y % 12 == 0 ? Level(2, 2, 2) : 0;
    });
    // The comms arm's strut across the top of its area, in the closed form
    // and three frames of its lights; the middle stays clear for the
    // speaker's portrait.
    for (int frame = -1; frame < 3; ++frame) {
        const std::string name = frame < 0 ? "comarm_null.bbm" : "comarm_a" + std::to_string(frame) + ".bbm";
        ok = ok && Iff(gui + name, 368, 30, pal, [frame](int x, int y, int w, int h) -> uint8_t {
                 if (y == 0 || x == 0) return Level(3, 4, 5);
                 if (y == h - 1 || x == w - 1) return Level(0, 0, 1);
                 if (frame >= 0 && y > 10 && y < 20 && (x - 20 - frame * 12) % 36 < 6) return Level(5, 4, 0);
                 return y < h / 2 ? Level(1, 2, 3) : Level(1, 1, 2);
             });
    }
    if (chdir(old) != 0) return false;
    osFlushPathCache();
    return ok;
}

mkdata::Generator gGuiPictures("25-gui-pictures", WriteGuiPictures);

}  // namespace
