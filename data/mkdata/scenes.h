// Space scenes for the front end's pictures and the films: a sky of
// nebula clouds and stars, a lit planet, and sample ships drawn through the
// rendering library's own renderer. Painted into a floating-point RGB
// canvas, then written at the depth each picture or film wants.
#pragma once

#include <cstdint>
#include <vector>

#include "data/lwob/lwob.h"

namespace mkdata {

struct Canvas {
    int w = 0, h = 0;
    std::vector<float> rgb;  // 0..255 a channel, rows top down

    Canvas(int width, int height) : w(width), h(height), rgb(size_t(width) * height * 3, 0.0f) {}
    float *At(int x, int y) { return &rgb[(size_t(y) * w + x) * 3]; }
    // Adds light, clipped to the canvas.
    void Add(int x, int y, float r, float g, float b);
};

// Nebula clouds in two tints over black, and stars of a power-law
// brightness, a few of them with a glow and spikes.
struct SkyLook {
    uint32_t seed;
    float tintA[3], tintB[3];  // the clouds' two colours
    float density;             // 0 none .. 1 thick
    int stars;                 // per 100 x 100 pixels
};
void PaintSky(Canvas &c, const SkyLook &look);

// A planet lit from the direction (lx, ly, lz) (z towards the viewer):
// continents or bands by its kind, a soft terminator and a thin
// atmosphere glow round the lit limb.
enum class PlanetKind { Earth, Gas, Rock, Ice };
struct PlanetLook {
    float cx, cy, radius;
    float lx, ly, lz;
    PlanetKind kind;
    uint32_t seed;
};
void PaintPlanet(Canvas &c, const PlanetLook &look);

// A glare of light: a sun or a jump flash (hot centre, soft halo, spikes).
void PaintGlare(Canvas &c, float cx, float cy, float radius, const float colour[3], float strength);

// A bevelled steel plate over [x0, x1) x [y0, y1): a lit top-left edge and
// a shaded bottom-right one `bevel` pixels wide, a face brushed in `face`
// with a faint sheen, fine seams every `seam` pixels (0: none) and rivets
// in its corners.
void PaintPlate(Canvas &c, int x0, int y0, int x1, int y1, const float face[3], int bevel, int seam);
// A sunken slot: the plate's bevel turned inside out round a dark face.
void PaintSlot(Canvas &c, int x0, int y0, int x1, int y1, int bevel);
// A round status light with its glow, lit or dark.
void PaintLamp(Canvas &c, float cx, float cy, float radius, const float colour[3], bool lit);

// A shape placed in view space: the camera looks down -z from the origin
// with a vertical field of view `fov` degrees; the shape is turned by yaw,
// pitch and roll (degrees, in that order) and moved to (x, y, z).
struct ShipPose {
    const lwob::Object *shape;
    float x, y, z;
    float yaw, pitch, roll;
};
// Draws the shapes through the library's z-buffer renderer at twice the
// canvas's size and lays the smoothed result over the canvas. The light
// comes from (lx, ly, lz) towards the origin. False when the library
// could not render.
bool DrawShips(Canvas &c, const std::vector<ShipPose> &ships, float fov, const float light[3]);

// The sample shapes by name ("corvette", "raider", "station").
lwob::Object SampleShape(const char *name);
// The corvette's hull, wings and engine pods in one surface: the outline
// the weapons and engineering stations draw their mounts and parts on.
lwob::Object CorvetteOutline(const lwob::Surface &surface);

// The canvas in the game palette (256 x r, g, b, 0), ordered-dithered onto
// entries 10..245 so that the system colours stay free.
std::vector<uint8_t> ToGamePalette(const Canvas &c, const uint8_t *pal);
// The canvas as 8-bit r, g, b triples.
std::vector<uint8_t> ToRgb(const Canvas &c);
// A 24-bit PCX picture of the canvas (three planes a row, each run-length
// coded by the game's row encoder).
bool SavePcx24(const char *path, const Canvas &c);

}  // namespace mkdata
