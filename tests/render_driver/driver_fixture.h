// The library begun with its own software renderer, colour and depth
// pixelmaps to draw into, and small builders of scenes: cameras, lights,
// spheres, boxes and quads, materials and textures. Images can be hashed
// for golden values and written out as PPM (SOFTREND_DUMP names a folder).
#pragma once

#include <string>

#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene_fixture.h"

namespace srtest {

class DriverTest : public vttest::VtSceneTest {
protected:
    vt_pixelmap *colour = nullptr;
    vt_pixelmap *depth = nullptr;
    vt_pixelmap *palette = nullptr; // INDEX_8 targets
    vt_actor *world = nullptr;
    vt_actor *camera = nullptr;

    void SetUp() override;
    void TearDown() override;

    // Colour (and a matching DEPTH_16) pixelmap, cleared, and the z-buffer
    // renderer started; INDEX_8 targets get the test palette.
    void start(int w, int h, vt_uint_8 type = VT_PMT_RGB_565);
    void clear(vt_uint_32 colour_value = 0);
    // Renders the world through the camera.
    void render();

    vt_actor *perspectiveCamera(float fov_degrees, float hither, float yon);
    vt_actor *light(vt_uint_8 type, vt_colour colour = 0xFFFFFF);
    vt_actor *modelActor(vt_model *m, vt_material *mat = nullptr, vt_actor *parent = nullptr);

    // Models, prepared and registered: faces use mat (null: none).
    vt_model *sphere(const char *name, int rings, int segments, float radius, vt_material *mat);
    vt_model *box(const char *name, float half, vt_material *mat);
    // A square of side 2 in the z = 0 plane facing +z, texture coordinates
    // 0..1 across it (v = 0 at the top, +y).
    vt_model *quad(const char *name, vt_material *mat);
    vt_material *material(const char *name, vt_colour c, vt_uint_32 flags, vt_pixelmap *map = nullptr);
    // A registered texture: w x h of a checker of two colours, 8 texels a square.
    vt_pixelmap *checker(const char *name, vt_uint_8 type, int w, int h, vt_uint_32 a, vt_uint_32 b);

    // The pixel at (x, y) of the colour or depth pixelmap.
    vt_uint_32 pixel(int x, int y) const;
    vt_uint_32 depthAt(int x, int y) const;
    // Pixels of the colour pixelmap that are not `background`, and their
    // bounding rectangle (min x, min y, max x, max y).
    int covered(vt_uint_32 background, int rect[4] = nullptr) const;
    // FNV-1a of the colour pixels, as 16 hex digits.
    std::string hash() const;
    // Writes the colour pixelmap to $SOFTREND_DUMP/name.ppm when set.
    void dump(const char *name) const;
};

// Places an actor with a translation and rotations about x then y (degrees).
void place(vt_actor *a, float x, float y, float z, float rx_degrees = 0, float ry_degrees = 0);

// The test palette: 16..239 seven ramps of 32 running dark to light
// (grey, red, green, blue, yellow, magenta, orange, cyan), the rest grey.
vt_colour paletteEntry(int i);

} // namespace srtest
