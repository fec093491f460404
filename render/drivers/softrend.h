// The library's own software renderer: a renderer facility
// ("Default-Renderer-Float", images "softrndf" and "softrend"), a primitive
// library ("Default-Primitives-Float", "softprmf"/"softprim") and the three
// geometry formats V1MODEL, V1BUCKETS and LIGHTING ("Default-Format-Float",
// "softfrmf"/"softform"), drawing into memory pixelmaps of type INDEX_8 or
// RGB_565 with a DEPTH_16 depth buffer. The untyped images name their
// objects without the "-Float". The library registers the images at every
// begin, so a device search finds them by name like loaded drivers.
//
// What the renderer interface (render/scene/renderer.h) leaves to the
// driver, as this one does it:
//
// Screen. x = X / W * hw + hw and y = -Y / W * hh + hh, hw and hh the
// integer halves of the colour pixelmap's width and height, relative to
// its top-left corner (its base only addresses memory). Pixel (i, j) is
// the square from (i, j) to (i + 1, j + 1), sampled at its centre, as GL
// samples (the library's own screen points, whose offsets carry another
// half, lie half a pixel on from these). A pixel is drawn when its centre
// lies inside a triangle or on its left or top edge, so triangles that
// share an edge cover each pixel along it once; lines and points light
// the pixel each of their points falls in. BOUNDS MIN_V2_F and MAX_V2_F
// are the extremes of the projected vertices of what was drawn (after
// clipping), in these coordinates; empty is (FLT_MAX, FLT_MAX)-(-FLT_MAX,
// -FLT_MAX). Colours are rounded to the target's channels (RGB565:
// round(31 c / 255) and round(63 c / 255); 8-bit indices and shade levels
// to the nearest).
//
// Depth. Screen depth s = Z / W * -32767 (-32767 at the near plane, 32767
// at the far); a DEPTH_16 pixel holds floor(s) + 32768, so 0xFFFF (the
// cleared value) is beyond everything and 1 is nearest. DEPTH_TEST_T compares the
// new depth with the stored one (LESS_OR_EQUAL: drawn when new <= stored).
// Depth buffers of other pixel types, or smaller than the colour buffer,
// are not used. A z-sort scene uses none.
//
// Lighting, in view space, per vertex (SMOOTH_B) or once per face at its
// centre with the face normal. For each light: L the unit vector towards
// it (for DIRECT lights DIRECTION_V3_F itself: a direct light shines along
// minus its direction, as cameras look along minus z), attenuation
// 1 / (c + l d + q d^2) for POINT and SPOT lights at distance d (1 when
// that is not positive), and for SPOT lights a factor rising linearly from
// 0 at SPOT_OUTER_F to 1 at SPOT_INNER_F (cosines of the angle off
// minus DIRECTION_V3_F). With C the light's colour (0 to 1 a channel):
//   diffuse  += att spot kd max(0, N.L) C
//   specular += att spot ks max(0, N.H)^power C   (H half-way between L
//               and the direction to the eye: the origin, or +z for a
//               parallel camera)
// AMBIENT lights add ka C to the ambient term, which is ka white when no
// ambient light is on. Colour = base max(ambient + diffuse, 1/32) +
// specular, each channel clamped to 0..1 (1/32: the darkest step of an
// INDEX_8 ramp, so a face no light reaches is as dim there as on an
// INDEX_8 target, not black); base is the surface colour (COLOUR_SOURCE_T
// SURFACE) or the vertex or face colour bytes (GEOMETRY). Without
// LIGHTING_B the colour is base. Textured surfaces take white as the
// surface colour: with MODULATE_B a texel is multiplied by the colour,
// otherwise drawn as it is. Back faces of TWO_SIDED and FORCE_BACK_B
// surfaces are lit with the normal reversed.
//
// Culling. ONE_SIDED drops faces whose plane faces away from the eye;
// NONE and TWO_SIDED draw both sides, as do FORCE_FRONT_B and
// FORCE_BACK_B surfaces. Lines (each visible edge once) and points (every
// vertex) are drawn whichever way their faces look, one pixel wide,
// coloured as the vertices are lit, never textured. User clip planes
// (CLIP PLANE_V4_F, screen space) keep the points p with PLANE . p >= 0.
//
// Textures. Nearest texel at (u w, v h) for the mapping coordinates after
// MAP_MATRIX_M23_F, v = 0 the top row; MAP_WIDTH_LIMIT_T and
// MAP_HEIGHT_LIMIT_T wrap, clamp or mirror. PERSPECTIVE_B (or
// PERSPECTIVE_T SUBDIVIDE) corrects for perspective every 16 pixels of a
// span, but across a triangle so small or so little foreshortened that
// the correction would move no texel by a quarter, and without it,
// coordinates are interpolated on screen. Buffers refer
// to the pixelmap's own pixels, so an edited map shows at once (the
// palette of an INDEX_8 map is read again by its update). Map types:
// INDEX_8, RGB_565 and type 18, read as ARGB4444 (alpha in the top four
// bits) whatever its channel class says. An INDEX_8 texel becomes RGB565
// through the map's palette, else the colour pixelmap's palette, else the
// palette given to SoftrendPaletteSet, else a grey ramp.
//
// Blending (16-bit targets). Blending is on with BLEND_B, with a
// BLEND_MODE_T other than BLEND_STANDARD, or with a texture that has
// alpha; alpha a = opacity x texel alpha (OPACITY_X, 16.16, counts as
// OPACITY_F, read on the 0..255 scale when above 1). Texels of alpha 0 are
// not drawn at all (nor their depth written). STANDARD: d + (s - d) a;
// SUMMED: d + s a, saturated; DIMMED: d (1 - a + a s); PREMULTIPLIED:
// d (1 - a) + s, saturated.
//
// INDEX_8 targets. Untextured: pixel = INDEX_BASE_I32 + I x
// INDEX_RANGE_I32, I the intensity 0..1 (with lighting: ka plus the
// lights' diffuse and specular terms, a light counting by the brightest
// channel of its colour; without: the brightest channel of the base
// colour); pre-lit: the colour's index byte. Textured with an index shade
// table (256 x 64, row = level, column = texel; a buffer made for either
// use): pixel = shade[level][texel], level = I x 32 clamped to 0..63 (row
// 32 shows a texel in its own colour; pre-lit: the index byte / 4);
// without a table, or without MODULATE_B, the texel itself. On RGB565
// targets an INDEX_8 map without a palette of its own (its texels are
// places on the standard palette's ramps) is lit the same way through its
// shade table, and the entry seen through the palette. ARGB4444
// texels: drawn at alpha 8 or more as the ramp at I x texel brightness.
// There is no blending into an INDEX_8 target.
//
// Z-sort. With HIDDEN_SURFACE TYPE_T BUCKET_SORT, DIVERT_T ALL, an order
// table and a heap, each primitive is built in the heap after clipping and
// projection (with a copy of the drawing state it needs, made once per
// model group) and put at the head of its bucket. Its depth is the
// distance in front of the camera (minus view z), chosen among its
// vertices by the table's type; a full heap drops primitives. V1BUCKETS
// draws the buckets from the last to the first into the current colour
// buffer, without depth.
//
// Accepted and kept but not acted on: dithering, fog, mip and map
// interpolation (nearest always), anti-aliasing, screen door and blend
// tables, subdivision tolerance, environment and quad mapping (the
// geometry's coordinates are used), light SPACE_T (lighting is always in
// view space), DECAL_B, the INDEX_FOG_O table.
#pragma once

#include "render/fw/types.h"

struct vt_pixelmap;

// Registers the driver images by name (the library's begin calls this).
void VtSoftDriversRegister();

// The palette (an RGBX_888 pixelmap of 256 entries) through which INDEX_8
// textures without a palette of their own are seen on 16-bit targets that
// have none either; null forgets it. The caller keeps it alive.
void SoftrendPaletteSet(vt_pixelmap *palette);
