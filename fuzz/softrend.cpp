// Fuzzes the software renderer with arbitrary geometry: raw float vertex
// positions and texture coordinates (NaN, infinities, huge and tiny values),
// faces of any three vertices (zero-area, needles), any camera, light,
// material mode, map type, render style and either front end. Drawing goes
// into sub-pixelmaps of exactly allocated parents: a write outside the
// parents shows to the address sanitiser, one outside the sub-pixelmaps but
// inside the parents as a changed border.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

constexpr int kW = 40, kH = 30, kX = 5, kY = 4, kSubW = 29, kSubH = 21;
constexpr vt_uint_8 kBorder = 0xA5;

struct target {
    vt_pixelmap *parent, *sub;
    vt_pixelmap *depth_parent, *depth;
    vt_uint_8 *pixels, *depth_pixels;
};

// A parent whose pixels are exactly its rows, and a sub-pixelmap inside it.
vt_pixelmap *exact(vt_uint_8 type, vt_uint_8 **mem) {
    vt_pixelmap *pm = VtPixelmapAllocate(type, kW, kH, nullptr, VT_PMAF_NO_PIXELS);
    *mem = static_cast<vt_uint_8 *>(malloc(size_t(pm->row_bytes) * kH));
    pm->pixels = *mem;
    return pm;
}

target makeTarget(vt_uint_8 type) {
    target t;
    t.parent = exact(type, &t.pixels);
    t.depth_parent = exact(VT_PMT_DEPTH_16, &t.depth_pixels);
    t.sub = VtPixelmapAllocateSub(t.parent, kX, kY, kSubW, kSubH);
    t.depth = VtPixelmapAllocateSub(t.depth_parent, kX, kY, kSubW, kSubH);
    for (vt_pixelmap *pm : {t.sub, t.depth}) {
        pm->origin_x = kSubW / 2;
        pm->origin_y = kSubH / 2;
    }
    return t;
}

void prime(const target &t) {
    memset(t.pixels, kBorder, size_t(t.parent->row_bytes) * kH);
    memset(t.depth_pixels, kBorder, size_t(t.depth_parent->row_bytes) * kH);
    VtPixelmapFill(t.sub, 0);
    VtPixelmapFill(t.depth, 0xFFFFFFFF);
}

// Every byte of the parents outside the sub-pixelmaps still the border's.
void checkBorder(const target &t) {
    for (const auto &[pm, mem] : {std::pair{t.parent, t.pixels}, std::pair{t.depth_parent, t.depth_pixels}}) {
        const int bytes = VtPixelmapTypeBytes(pm->type);
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < pm->row_bytes; x++) {
                const bool inside = y >= kY && y < kY + kSubH && x >= kX * bytes && x < (kX + kSubW) * bytes;
                if (!inside && mem[y * pm->row_bytes + x] != kBorder)
                    abort();
            }
    }
}

void checkBounds(vt_actor *, vt_model *, vt_material *, vt_order_table *, vt_uint_8, const vt_matrix4 *,
                 const vt_int_32 b[4]) {
    if (b[0] < -kSubW / 2 || b[2] >= kSubW - kSubW / 2 || b[1] < -kSubH / 2 || b[3] >= kSubH - kSubH / 2)
        abort();
}

struct world_state {
    target rgb, index;
    vt_pixelmap *maps[4], *shade;
    vt_actor *world, *camera, *light, *plane;
    vt_uint_8 heap[4096];
};

world_state *begin() {
    static world_state *w = [] {
        VtDiagHandlerSet(&quietDiag);
        if (VtBeginAll() != VT_E_OK)
            return static_cast<world_state *>(nullptr);
        auto *s = new world_state{};
        s->rgb = makeTarget(VT_PMT_RGB_565);
        s->index = makeTarget(VT_PMT_INDEX_8);
        const vt_uint_8 types[4] = {VT_PMT_INDEX_8, VT_PMT_RGB_565, VT_PMT_ARGB_4444, VT_PMT_INDEX_8};
        const int sizes[4][2] = {{12, 7}, {8, 8}, {4, 4}, {1, 1}};
        for (int i = 0; i < 4; i++) {
            s->maps[i] = VtPixelmapAllocate(types[i], sizes[i][0], sizes[i][1], nullptr, 0);
            memset(s->maps[i]->pixels, 0x3C + 40 * i, size_t(s->maps[i]->row_bytes) * sizes[i][1]);
            s->maps[i]->identifier = "map";
            VtMapAdd(s->maps[i]);
        }
        s->shade = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 64, nullptr, 0);
        memset(s->shade->pixels, 7, size_t(s->shade->row_bytes) * 64);
        s->shade->identifier = "shade";
        VtTableAdd(s->shade);
        VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16);
        VtZsBegin(VT_PMT_RGB_565, s->heap, sizeof s->heap);
        VtZbSetRenderBoundsCallback(checkBounds);
        s->world = VtActorAllocate(VT_ACTOR_NONE, nullptr);
        s->camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
        VtActorAdd(s->world, s->camera);
        s->light = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        VtActorAdd(s->world, s->light);
        VtLightEnable(s->light);
        s->plane = VtActorAllocate(VT_ACTOR_CLIP_PLANE, nullptr);
        VtActorAdd(s->world, s->plane);
        return s;
    }();
    return w;
}

struct reader {
    const uint8_t *p;
    size_t n;
    vt_uint_8 byte() {
        if (n == 0)
            return 0;
        n--;
        return *p++;
    }
    float f() {
        vt_uint_32 u = 0;
        for (int i = 0; i < 4; i++)
            u |= vt_uint_32(byte()) << (8 * i);
        float v;
        memcpy(&v, &u, 4);
        return v;
    }
};

void placeActor(vt_actor *a, reader &in) {
    a->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34RotateX(&a->t.t.mat, vt_angle(in.byte() << 8));
    VtMatrix34PostRotateY(&a->t.t.mat, vt_angle(in.byte() << 8));
    const float x = in.f(), y = in.f(), z = in.f();
    VtMatrix34PostTranslate(&a->t.t.mat, x, y, z);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    world_state *s = begin();
    if (s == nullptr)
        return 0;
    reader in{data, size};
    const vt_uint_8 mode = in.byte(), flags = in.byte(), look = in.byte(), opacity = in.byte();
    const target &t = (mode & 1) ? s->index : s->rgb;
    const bool zsort = (mode & 2) != 0;

    auto *cam = static_cast<vt_camera *>(s->camera->type_data);
    cam->type = (mode & 4) ? VT_CAMERA_PARALLEL : VT_CAMERA_PERSPECTIVE;
    cam->field_of_view = vt_angle(in.byte() << 7);
    cam->hither_z = in.f();
    cam->yon_z = in.f();
    cam->width = in.f();
    cam->height = in.f();
    cam->aspect = float(kSubW) / kSubH;
    placeActor(s->camera, in);

    auto *l = static_cast<vt_light *>(s->light->type_data);
    l->type = in.byte() & 7;
    l->attenuation_c = in.f();
    l->attenuation_l = in.f();
    l->cone_outer = vt_angle(in.byte() << 8);
    l->cone_inner = vt_angle(in.byte() << 8);
    placeActor(s->light, in);
    if (mode & 8) {
        VtVector4Set(&static_cast<vt_plane *>(s->plane->type_data)->eqn, in.f(), in.f(), in.f(), in.f());
        VtClipPlaneEnable(s->plane);
    } else {
        VtClipPlaneDisable(s->plane);
    }

    vt_material *mat = VtMaterialAllocate("fuzz");
    static const vt_uint_32 kFlags[8] = {VT_MATF_LIT, VT_MATF_SMOOTH, VT_MATF_PRELIT, VT_MATF_TWO_SIDED,
                                         VT_MATF_NO_CULL, VT_MATF_PERSPECTIVE, VT_MATF_FORCE_BACK,
                                         VT_MATF_NO_DEPTH_WRITE};
    mat->flags = 0;
    for (int i = 0; i < 8; i++)
        if (flags & (1 << i))
            mat->flags |= kFlags[i];
    mat->colour_map = (look & 3) ? s->maps[(look & 3) - 1 + ((look >> 7) & 1)] : nullptr;
    mat->index_shade = (look & 4) ? s->shade : nullptr;
    mat->mode = vt_uint_16((look >> 3) & 7) | vt_uint_16(((look >> 6) & 1) ? VT_MATM_BLEND_SUMMED : 0) |
                vt_uint_16((opacity & 3) << 5) | vt_uint_16((opacity & 12) << 5);
    mat->opacity = opacity;
    mat->index_base = in.byte();
    mat->index_range = in.byte();
    mat->ka = in.f();
    mat->kd = in.f();
    mat->ks = in.f();
    mat->power = in.f();
    mat->map_transform.m[0][0] = in.f();
    VtMaterialAdd(mat);

    const int nv = 1 + in.byte() % 32, nf = in.byte() % 33;
    vt_model *m = VtModelAllocate("fuzz", nv, nf);
    for (int i = 0; i < nv; i++) {
        vt_vertex &v = m->vertices[i];
        VtVector3Set(&v.p, in.f(), in.f(), in.f());
        VtVector2Set(&v.map, in.f(), in.f());
        v.index = in.byte();
        v.red = v.grn = v.blu = in.byte();
    }
    for (int f = 0; f < nf; f++) {
        vt_face &face = m->faces[f];
        for (vt_uint_16 &k : face.vertices)
            k = vt_uint_16(in.byte() % nv);
        face.material = (in.byte() & 1) ? mat : nullptr;
        face.smoothing = in.byte();
        face.flags = in.byte() & 7;
    }
    VtModelAdd(m);
    vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    a->model = m;
    a->material = mat;
    a->render_style = in.byte() % VT_RSTYLE_MAX;
    placeActor(a, in);
    VtActorAdd(s->world, a);

    prime(t);
    if (zsort)
        VtZsSceneRender(s->world, s->camera, t.sub);
    else
        VtZbSceneRender(s->world, s->camera, t.sub, t.depth);
    checkBorder(t);

    VtActorFree(a);
    VtModelFree(VtModelRemove(m));
    VtMaterialFree(VtMaterialRemove(mat));
    return 0;
}
