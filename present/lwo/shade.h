// The index shade table of 8-bit rendering: one 256 x 64 table of palette
// indices (column = a texel's palette index, row = its light level 0..63)
// that every textured material looks its lit texels up in. It is generated
// from the game palette's ramp layout (seven ramps of 32 from 16 to 239,
// glow entries 240..244, fixed colours below 16 and from 245 up), made once
// and afterwards rewritten in place, so every material holding it sees the
// change.
#pragma once

#include <cstdint>

struct vt_pixelmap;

// Fills the shared table with the standard layout, its lowest eight rows
// tinted towards the ramp at tintBase by tintStrength; tint base 0 (or the
// switch "nofill") gives the plain layout, -1 the special tint.
void P3DMakeShadeTable(int tintBase, int tintStrength);
// Fills the shared table with the glow layout centred on index 192.
void P3DMakeGlowShadeTable();
// The shared table, or null before the first generator call of this run of
// the library.
vt_pixelmap *P3DShadeTable();
// The library ended: the table went with it.
void P3DForgetShadeTable();

