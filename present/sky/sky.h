// The sky of a star system: on the 3D card, textured backdrop spheres (a
// sphere model for the shape and a grid model of the same vertices for the
// texture) in the nebula world, with a tint of the directional sky light;
// at 8 bits, the palette ramps 176..207 coloured by the system's nebula kind
// with the shade table tinted towards them. P3DSetSkyForSystem and
// P3DSetSkyColours are declared in present/p3d.h.
#pragma once

#include <cstdint>

struct vt_actor;
struct vt_model;

inline constexpr int kBackdropCount = 22;
inline constexpr int kNebulaKindCount = 24;
inline constexpr int kSkyRowCount = 25;
inline constexpr int16_t kSpecialSystem = 26;

struct SkyBackdrop {
    const char *name;  // the stem of "<name>Sphere.lwo" and "<name>Grid.lwo"
    uint8_t brightness;
    uint8_t light[3];
};
extern const SkyBackdrop kSkyBackdrops[kBackdropCount];

// A star system's backdrops: up to three (backdrop, first angle, second
// angle in degrees); a negative backdrop ends the row.
struct P3DSkyRow {
    int16_t system;
    int16_t backdrops[3][3];
};
extern const P3DSkyRow kSkyRows[kSkyRowCount + 1];
// The row of a system, or null.
const P3DSkyRow *P3DFindSkyRow(int16_t system);

struct NebulaKind {
    uint8_t a[3], b[3];
    bool twoPart;  // 176..191 black to B, 192..207 B to A; else 176..207 black to A
    uint8_t backdrop;
};
extern const NebulaKind kNebulaKinds[kNebulaKindCount];
// The nebula kind of a system (3 when it has none).
int P3DNebulaKindOf(int16_t system);

struct SkyState {
    uint8_t backdropsOn;   // the card can show backdrops
    uint8_t special;       // the player is in system 26
    vt_actor *sphere;      // the backdrop actor made last
    int32_t adjustment;    // the sky sphere's opacity step, 16.16
};
extern SkyState gSky;

// One backdrop actor under the nebula world, turned by the three angles
// (degrees): 0 when a model is missing or the pair does not match, 1 with
// the script's "NebGridMd" and "SphMd", 2 with the backdrop's files.
int P3DLoadNebula(const char *name, float angleX, float angleY, float angleZ);
// Palette entries first .. first + count - 1 run from (r0, g0, b0) towards
// (r1, g1, b1), the last one step short of it; the palette is made current.
void P3DSetPaletteGradient(int first, int count, int r1, int g1, int b1, int r0, int g0, int b0);
// Frees the backdrops of the nebula world before another system's sky.
void P3DFreeSkyResources();
// The model the world simulation and the set-up show antimatter with.
void P3DFindAntiMatterModel();
extern vt_model *gAntiMatterModel;
// The never-culled model the sun hangs its glare and lens flares on.
vt_model *P3DCreateStarDummy();
// The sky state as at start-up (each 3D set-up).
void P3DResetSkyState();
// The palette the sky gradients write (the current palette's copy).
const uint8_t *P3DSkyPalette();
