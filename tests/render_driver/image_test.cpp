// Small deterministic images through the library's front end and the
// software renderer, held to hashes of their pixels (SOFTREND_DUMP=folder
// writes them out as PPM to look at).
#include <cmath>
#include <cstring>
#include <vector>

#include "driver_fixture.h"

using namespace srtest;

namespace {

class SoftImages : public DriverTest {
protected:
    // The plain shade table layout: row 32 shows each texel in its own
    // colour, rows below darken it down its ramp, rows above brighten it.
    vt_pixelmap *shadeTable() {
        vt_pixelmap *t = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 64, nullptr, 0);
        t->identifier = "shade";
        for (int r = 0; r < 64; r++) {
            auto *row = static_cast<vt_uint_8 *>(t->pixels) + r * t->row_bytes;
            for (int c = 0; c < 256; c++) {
                if (c < 16 || c >= 240) {
                    row[c] = vt_uint_8(c);
                    continue;
                }
                const int b = ((c + 16) & ~31) - 16, k = c - b, top = k >= 16 ? 31 - k : 15;
                row[c] = vt_uint_8(r < 32 ? b + r * k / 32 : b + k + (r - 32) * top / 32);
            }
        }
        return VtMapAdd(t);
    }
};

TEST_F(SoftImages, LitCube) {
    // Three faces of a flat-shaded red cube, each its own brightness under
    // one direct light from the upper right.
    start(96, 72);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 5);
    vt_actor *sun = light(VT_LIGHT_DIRECT);
    place(sun, 0, 0, 0, -40, 30);
    vt_material *red = material("red", 0xE04030, VT_MATF_LIT);
    vt_actor *cube = modelActor(box("cube", 1, red), red);
    place(cube, 0, 0, 0, 25, 35);
    render();
    dump("lit_cube");
    EXPECT_EQ(hash(), "3409503aed11d8c3");
}

TEST_F(SoftImages, TexturedQuadInPerspective) {
    // A floor of an 8-bit checker seen through its own palette, tilted away
    // so the squares shrink towards the top; corrected for perspective.
    start(96, 72);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 3);
    vt_pixelmap *tex = VtPixelmapAllocate(VT_PMT_INDEX_8, 32, 32, nullptr, 0);
    tex->identifier = "floor";
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            static_cast<vt_uint_8 *>(tex->pixels)[y * tex->row_bytes + x] = vt_uint_8(((x / 4 + y / 4) & 1) + (x < 16));
    vt_pixelmap *pal = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    const vt_colour entries[3] = {0x202080, 0xF0E0C0, 0xC03020};
    for (int i = 0; i < 3; i++)
        memcpy(static_cast<vt_uint_8 *>(pal->pixels) + i * pal->row_bytes, &entries[i], 4);
    tex->map = pal;
    VtMapAdd(tex);
    vt_material *floor = material("floor", 0xFFFFFF, VT_MATF_PERSPECTIVE, tex);
    floor->map_transform.m[0][0] = 2; // the map twice across
    VtMaterialUpdate(floor, VT_MATU_ALL);
    vt_actor *q = modelActor(quad("floor", floor), floor);
    q->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Scale(&q->t.t.mat, 2, 3, 1);
    VtMatrix34PostRotateX(&q->t.t.mat, VT_ANGLE_DEG(-70));
    VtMatrix34PostTranslate(&q->t.t.mat, 0, -0.6f, -1);
    render();
    dump("textured_quad");
    EXPECT_EQ(hash(), "f8fa7a4ec393c38f");
    VtPixelmapFree(pal);
}

TEST_F(SoftImages, ShadedSpheresOnAnIndexedTarget) {
    // Left: smooth lighting down the red ramp (48 + intensity x 31); right:
    // a green and blue texture through a 256 x 64 shade table.
    start(96, 64, VT_PMT_INDEX_8);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 5);
    vt_actor *sun = light(VT_LIGHT_DIRECT);
    place(sun, 0, 0, 0, -30, 40);
    vt_material *ramp = material("ramp", 0, VT_MATF_LIT | VT_MATF_SMOOTH);
    ramp->index_base = 48;
    ramp->index_range = 31;
    VtMaterialUpdate(ramp, VT_MATU_ALL);
    place(modelActor(sphere("left", 12, 24, 1.3f, ramp), ramp), -1.5f, 0, 0);
    vt_pixelmap *tex = checker("bands", VT_PMT_INDEX_8, 32, 32, 80 + 24, 112 + 28);
    vt_material *shaded = material("shaded", 0, VT_MATF_LIT | VT_MATF_SMOOTH, tex);
    shaded->index_shade = shadeTable();
    VtMaterialUpdate(shaded, VT_MATU_ALL);
    place(modelActor(sphere("right", 12, 24, 1.3f, shaded), shaded), 1.5f, 0, 0, 0, 30);
    render();
    dump("shaded_spheres8");
    EXPECT_EQ(hash(), "b961606803401974");
}

TEST_F(SoftImages, AShadedMapLooksTheSameOnBothTargets) {
    // A map without a palette of its own lit through a shade table, the
    // light from the side so that half the sphere is turned from it: on an
    // RGB565 target (with the same palette) each pixel is the INDEX_8 one
    // seen through the palette, the shadow's darkest rows included.
    start(64, 48, VT_PMT_INDEX_8);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 4);
    place(light(VT_LIGHT_DIRECT), 0, 0, 0, 0, 80);
    vt_pixelmap *tex = checker("bands", VT_PMT_INDEX_8, 32, 32, 80 + 24, 112 + 28);
    vt_material *shaded = material("shaded", 0, VT_MATF_LIT | VT_MATF_SMOOTH, tex);
    shaded->index_shade = shadeTable();
    VtMaterialUpdate(shaded, VT_MATU_ALL);
    modelActor(sphere("ball", 12, 24, 1.4f, shaded), shaded);
    render();
    std::vector<vt_uint_32> indexed;
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++) indexed.push_back(pixel(x, y));
    vt_pixelmap *const target8 = colour, *const depth8 = depth;
    colour = VtPixelmapAllocate(VT_PMT_RGB_565, 64, 48, nullptr, 0);
    depth = VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16);
    colour->origin_x = depth->origin_x = 32;
    colour->origin_y = depth->origin_y = 24;
    colour->map = palette;
    clear();
    render();
    int dark = 0, lit = 0;
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++) {
            const vt_uint_32 index = indexed[size_t(y) * 64 + x];
            const vt_colour c = paletteEntry(int(index));
            const vt_uint_32 want = index == 0 ? 0 : (c >> 8 & 0xF800) | (c >> 5 & 0x07E0) | (c >> 3 & 0x001F);
            ASSERT_EQ(pixel(x, y), want) << x << "," << y << ": index " << index;
            if (index != 0)
                ((index - 16) % 32 < 12 ? dark : lit)++;
        }
    EXPECT_GT(dark, 50) << "the side turned from the light";
    EXPECT_GT(lit, 50);
    colour->map = nullptr;
    VtPixelmapFree(depth8);
    VtPixelmapFree(target8);
}

TEST_F(SoftImages, AdditiveGlowOverStripes) {
    // A round ARGB4444 glow added over coloured stripes: where it is
    // transparent the stripes show untouched, at its centre they brighten.
    start(64, 64);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            static_cast<vt_uint_16 *>(colour->pixels)[y * colour->row_bytes / 2 + x] = (x / 8) % 2 ? 0x8010 : 0x0410;
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 3);
    vt_pixelmap *glow = VtPixelmapAllocate(VT_PMT_ARGB_4444, 32, 32, nullptr, 0);
    glow->identifier = "glow";
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            const float d = std::sqrt(float((x - 15.5f) * (x - 15.5f) + (y - 15.5f) * (y - 15.5f))) / 16;
            const int a = d >= 1 ? 0 : int(15 * (1 - d));
            const vt_uint_16 v = vt_uint_16(a << 12 | 0xF << 8 | 0xC << 4 | 0x6);
            memcpy(static_cast<vt_uint_8 *>(glow->pixels) + y * glow->row_bytes + 2 * x, &v, 2);
        }
    VtMapAdd(glow);
    vt_material *add = material("glow", 0xFFFFFF, 0, glow);
    add->mode = VT_MATM_DEPTH_LESS_OR_EQUAL | VT_MATM_BLEND_SUMMED;
    VtMaterialUpdate(add, VT_MATU_ALL);
    modelActor(quad("glow", add), add);
    render();
    dump("additive_glow");
    EXPECT_EQ(hash(), "633212f0dee4ffeb");
}

TEST_F(SoftImages, ZSortWithTransparency) {
    // Three quads drawn back to front from the buckets without a depth
    // buffer: a blue one behind, a half-transparent yellow one across it,
    // and an opaque green one in front of both.
    start(80, 60);
    static vt_uint_8 heap[32768];
    ASSERT_EQ(VtZsBegin(VT_PMT_RGB_565, heap, sizeof heap), VT_E_OK);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 6);
    vt_material *blue = material("blue", 0x3050F0, 0);
    vt_material *yellow = material("yellow", 0xF0E020, 0);
    yellow->opacity = 128;
    VtMaterialUpdate(yellow, VT_MATU_ALL);
    vt_material *green = material("green", 0x20C040, 0);
    vt_model *sq = quad("square", nullptr);
    // Walked from the last added, nearest first: only the buckets put
    // them in order.
    place(modelActor(sq, blue), -1, 0.7f, -2);
    place(modelActor(sq, yellow), 0, 0, 0, 0, -25);
    place(modelActor(sq, green), 1.2f, -0.8f, 1.5f, 0, 20);
    ASSERT_EQ(VtZsSceneRender(world, camera, colour), VT_E_OK);
    dump("zsort_transparency");
    EXPECT_EQ(hash(), "20dcc5bb2fd43b2f");
}

} // namespace
