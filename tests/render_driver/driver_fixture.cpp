#include "driver_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <algorithm>

namespace srtest {

namespace {

const vt_colour kRamps[7] = {0xFFFFFF, 0xFF4040, 0x40FF40, 0x4060FF, 0xFFFF40, 0xFF40FF, 0xFFA040};

vt_uint_8 *row(const vt_pixelmap *pm, int y) {
    return static_cast<vt_uint_8 *>(pm->pixels) + ptrdiff_t(pm->base_y + y) * pm->row_bytes;
}

} // namespace

vt_colour paletteEntry(int i) {
    if (i < 16 || i >= 240)
        return vt_colour(i) * 0x010101u;
    const int ramp = (i - 16) / 32, k = (i - 16) % 32;
    const vt_colour c = kRamps[ramp];
    auto ch = [&](int shift) { return vt_colour(((c >> shift) & 0xFF) * (k + 1) / 32) << shift; };
    return ch(16) | ch(8) | ch(0);
}

void place(vt_actor *a, float x, float y, float z, float rx, float ry) {
    a->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34RotateX(&a->t.t.mat, VT_ANGLE_DEG(rx));
    VtMatrix34PostRotateY(&a->t.t.mat, VT_ANGLE_DEG(ry));
    VtMatrix34PostTranslate(&a->t.t.mat, x, y, z);
}

void DriverTest::SetUp() {
    vttest::VtSceneTest::SetUp();
    world = VtActorAllocate(VT_ACTOR_NONE, nullptr);
}

void DriverTest::TearDown() {
    if (VtRendererQuery())
        VtRendererEnd();
    VtActorFree(world);
    vttest::VtSceneTest::TearDown();
}

void DriverTest::start(int w, int h, vt_uint_8 type) {
    colour = VtPixelmapAllocate(type, w, h, nullptr, 0);
    ASSERT_NE(colour, nullptr);
    depth = VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16);
    ASSERT_NE(depth, nullptr);
    // The camera looks at the origin, the centre as in the game's views.
    colour->origin_x = depth->origin_x = vt_int_16(w / 2);
    colour->origin_y = depth->origin_y = vt_int_16(h / 2);
    if (type == VT_PMT_INDEX_8) {
        palette = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
        for (int i = 0; i < 256; i++) {
            vt_colour c = paletteEntry(i);
            memcpy(row(palette, i), &c, 4);
        }
        colour->map = palette;
    }
    ASSERT_EQ(VtZbBegin(type, VT_PMT_DEPTH_16), VT_E_OK);
    clear();
}

void DriverTest::clear(vt_uint_32 c) {
    VtPixelmapFill(colour, c);
    VtPixelmapFill(depth, 0xFFFFFFFF);
}

void DriverTest::render() { ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK); }

vt_actor *DriverTest::perspectiveCamera(float fov, float hither, float yon) {
    camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
    auto *c = static_cast<vt_camera *>(camera->type_data);
    c->field_of_view = VT_ANGLE_DEG(fov);
    c->hither_z = hither;
    c->yon_z = yon;
    c->aspect = colour ? float(colour->width) / colour->height : 1.0f;
    VtActorAdd(world, camera);
    return camera;
}

vt_actor *DriverTest::light(vt_uint_8 type, vt_colour c) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
    auto *l = static_cast<vt_light *>(a->type_data);
    l->type = type;
    l->colour = c;
    VtActorAdd(world, a);
    VtLightEnable(a);
    return a;
}

vt_actor *DriverTest::modelActor(vt_model *m, vt_material *mat, vt_actor *parent) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    a->model = m;
    a->material = mat;
    VtActorAdd(parent ? parent : world, a);
    return a;
}

vt_model *DriverTest::sphere(const char *name, int rings, int segments, float radius, vt_material *mat) {
    const int nv = (rings + 1) * (segments + 1);
    vt_model *m = VtModelAllocate(name, nv, rings * segments * 2);
    for (int r = 0; r <= rings; r++)
        for (int s = 0; s <= segments; s++) {
            const double th = M_PI * r / rings, ph = 2 * M_PI * s / segments;
            vt_vertex &v = m->vertices[r * (segments + 1) + s];
            VtVector3Set(&v.p, float(radius * std::sin(th) * std::cos(ph)), float(radius * std::cos(th)),
                         float(-radius * std::sin(th) * std::sin(ph)));
            VtVector2Set(&v.map, float(s) / segments, float(r) / rings);
            v.index = vt_uint_8(r * 255 / rings);
            v.red = vt_uint_8(255 * s / segments);
            v.grn = vt_uint_8(255 - 255 * r / rings);
            v.blu = 128;
        }
    int f = 0;
    for (int r = 0; r < rings; r++)
        for (int s = 0; s < segments; s++) {
            const vt_uint_16 a = vt_uint_16(r * (segments + 1) + s), b = vt_uint_16(a + segments + 1);
            const vt_uint_16 quads[2][3] = {{a, b, vt_uint_16(a + 1)}, {vt_uint_16(a + 1), b, vt_uint_16(b + 1)}};
            for (const auto &q : quads) {
                vt_face &face = m->faces[f++];
                memcpy(face.vertices, q, sizeof q);
                face.material = mat;
                face.smoothing = 1;
            }
        }
    return VtModelAdd(m);
}

vt_model *DriverTest::box(const char *name, float h, vt_material *mat) {
    vt_model *m = VtModelAllocate(name, 24, 12);
    // Four corners a side so each side keeps its own normals and colours.
    static const int kAxes[6][3] = {{0, 1, 2}, {0, 1, 2}, {1, 2, 0}, {1, 2, 0}, {2, 0, 1}, {2, 0, 1}};
    for (int side = 0; side < 6; side++) {
        const float sign = side % 2 ? -1.0f : 1.0f;
        const int *ax = kAxes[side];
        for (int k = 0; k < 4; k++) {
            float p[3];
            const float u = (k == 1 || k == 2) ? 1.0f : -1.0f, v = k >= 2 ? 1.0f : -1.0f;
            p[ax[2]] = sign * h;
            p[ax[0]] = u * h * sign;
            p[ax[1]] = v * h;
            vt_vertex &vx = m->vertices[side * 4 + k];
            VtVector3Set(&vx.p, p[0], p[1], p[2]);
            VtVector2Set(&vx.map, (u + 1) / 2, (1 - v) / 2);
        }
        const vt_uint_16 b = vt_uint_16(side * 4);
        const vt_uint_16 tris[2][3] = {{b, vt_uint_16(b + 1), vt_uint_16(b + 2)}, {b, vt_uint_16(b + 2), vt_uint_16(b + 3)}};
        for (int t = 0; t < 2; t++) {
            vt_face &face = m->faces[side * 2 + t];
            memcpy(face.vertices, tris[t], sizeof tris[t]);
            face.material = mat;
            face.smoothing = vt_uint_16(1 << side);
            face.flags = t == 0 ? VT_FACEF_HIDE_EDGE_2 : VT_FACEF_HIDE_EDGE_0;
            face.index = vt_uint_8(16 + 32 * side);
            face.red = vt_uint_8(side & 1 ? 255 : 60);
            face.grn = vt_uint_8(side & 2 ? 255 : 60);
            face.blu = vt_uint_8(side & 4 ? 255 : 60);
        }
    }
    return VtModelAdd(m);
}

vt_model *DriverTest::quad(const char *name, vt_material *mat) {
    vt_model *m = VtModelAllocate(name, 4, 2);
    const float xy[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 0; k < 4; k++) {
        VtVector3Set(&m->vertices[k].p, xy[k][0], xy[k][1], 0);
        VtVector2Set(&m->vertices[k].map, (xy[k][0] + 1) / 2, (1 - xy[k][1]) / 2);
        m->vertices[k].index = vt_uint_8(16 + 10 * k);
        m->vertices[k].red = vt_uint_8(k == 0 || k == 3 ? 255 : 0);
        m->vertices[k].grn = vt_uint_8(k == 1 || k == 3 ? 255 : 0);
        m->vertices[k].blu = vt_uint_8(k == 2 || k == 3 ? 255 : 0);
    }
    const vt_uint_16 tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int t = 0; t < 2; t++) {
        memcpy(m->faces[t].vertices, tris[t], sizeof tris[t]);
        m->faces[t].material = mat;
        m->faces[t].smoothing = 1;
    }
    return VtModelAdd(m);
}

vt_material *DriverTest::material(const char *name, vt_colour c, vt_uint_32 flags, vt_pixelmap *map) {
    vt_material *m = VtMaterialAllocate(name);
    m->colour = c;
    m->flags = flags;
    m->colour_map = map;
    m->ka = 0.15f;
    m->kd = 0.75f;
    m->ks = 0.5f;
    m->power = 30;
    return VtMaterialAdd(m);
}

vt_pixelmap *DriverTest::checker(const char *name, vt_uint_8 type, int w, int h, vt_uint_32 a, vt_uint_32 b) {
    vt_pixelmap *pm = VtPixelmapAllocate(type, w, h, nullptr, 0);
    pm->identifier = VtResStrDup(pm, name);
    const int bytes = VtPixelmapTypeBytes(type);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const vt_uint_32 v = ((x / 8) + (y / 8)) % 2 ? b : a;
            memcpy(row(pm, y) + (pm->base_x + x) * bytes, &v, bytes);
        }
    return VtMapAdd(pm);
}

vt_uint_32 DriverTest::pixel(int x, int y) const { return VtPixelmapPixelGet(colour, x - colour->origin_x, y - colour->origin_y); }

vt_uint_32 DriverTest::depthAt(int x, int y) const { return VtPixelmapPixelGet(depth, x - depth->origin_x, y - depth->origin_y); }

int DriverTest::covered(vt_uint_32 background, int rect[4]) const {
    int n = 0, r[4] = {colour->width, colour->height, -1, -1};
    for (int y = 0; y < colour->height; y++)
        for (int x = 0; x < colour->width; x++)
            if (pixel(x, y) != background) {
                n++;
                r[0] = std::min(r[0], x);
                r[1] = std::min(r[1], y);
                r[2] = std::max(r[2], x);
                r[3] = std::max(r[3], y);
            }
    if (rect)
        memcpy(rect, r, sizeof r);
    return n;
}

std::string DriverTest::hash() const {
    uint64_t h = 1469598103934665603ull;
    const int bytes = VtPixelmapTypeBytes(colour->type);
    for (int y = 0; y < colour->height; y++) {
        const vt_uint_8 *p = row(colour, y) + colour->base_x * bytes;
        for (int i = 0; i < colour->width * bytes; i++)
            h = (h ^ p[i]) * 1099511628211ull;
    }
    char text[17];
    snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

void DriverTest::dump(const char *name) const {
    const char *dir = getenv("SOFTREND_DUMP");
    if (dir == nullptr)
        return;
    std::string path = std::string(dir) + "/" + name + ".ppm";
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return;
    fprintf(f, "P6\n%d %d\n255\n", colour->width, colour->height);
    for (int y = 0; y < colour->height; y++)
        for (int x = 0; x < colour->width; x++) {
            vt_uint_32 v = pixel(x, y);
            vt_uint_8 rgb[3];
            if (colour->type == VT_PMT_INDEX_8) {
                vt_colour c = paletteEntry(int(v));
                rgb[0] = vt_uint_8(c >> 16), rgb[1] = vt_uint_8(c >> 8), rgb[2] = vt_uint_8(c);
            } else {
                rgb[0] = vt_uint_8((v >> 11) << 3), rgb[1] = vt_uint_8(((v >> 5) & 63) << 2), rgb[2] = vt_uint_8((v & 31) << 3);
            }
            fwrite(rgb, 1, 3, f);
        }
    fclose(f);
}

} // namespace srtest
