// The background stars: up to 1200 far directions, drawn each view straight
// into the colour buffer as points, or as streaks from where they stood in
// the last pass while the view turns. Made by the STARFIELD statement
// (P3DGenerateStarfield, present/p3d.h) from the star catalogue when the
// universe is loaded, else at random, crowded towards the plane y = 0.
#pragma once

#include <cstdint>

inline constexpr int kStarMax = 1200;
// A star's direction is a far point in world orientation.
inline constexpr float kStarDistance = 1e10f;
inline constexpr uint8_t kStarRampBase = 16;

struct StarList {
    int16_t count;
    float direction[kStarMax][3];
    float screen[kStarMax][2];    // relative to the view centre, from the last pass
    float previous[kStarMax][2];  // whole pixels
    uint8_t visible[kStarMax];
    uint8_t previouslyVisible[kStarMax];
    uint8_t brightness[kStarMax];  // 8..32 from the catalogue, 8..36 at random
    uint8_t rampBase[kStarMax];
};
extern StarList gStars;

// The streak counter: the GUI sets it before the views are drawn to the
// number of 3D views while the star-streaks option is on (else 0); each star
// pass counts it down one (wrapping) and draws streaks only at 0, so only
// the last view drawn shows them.
extern uint16_t gStarStreakCounter;
// Set whenever the view jumps: the next pass takes the stars' current places
// as their last ones.
extern uint8_t gStarResetStreaks;

// A catalogue star as the star list reads it.
struct P3DCatalogueStar {
    float x, y, z;
    float magnitude;
    uint32_t flags;  // 0x100: seen in the sky
};
// Record `index` of the catalogue; false past its end.
using P3DCatalogueReader = bool (*)(int index, P3DCatalogueStar *out);
// The list of `count` stars (clamped to 0..1200) from the catalogue's seen
// records (record 0 is passed over), or at random without a catalogue.
void P3DGenerateStarfieldFrom(int count, P3DCatalogueReader catalogue);
// A catalogue star's brightness: magnitude 12 gives 8, 21 gives 32 (kept in
// 8 bits as it comes outside that range).
uint8_t P3DStarBrightness(float magnitude);
// The star pass into a colour buffer with its own view (rows of the view
// matrix, projection scale in pixels); the frame's pass calls it with the
// view's.
struct vt_pixelmap;
void P3DDrawStarsInto(vt_pixelmap *colour, const float view[3][3], float projectionScale, int pixelDepth);
// Counters back to their start (each 3D set-up).
void P3DResetStarState();
