// The software renderer against Mesa's llvmpipe (through OSMesa, one
// thread): the same scene of 20 lit, textured (256 x 256, nearest),
// z-buffered, back-face-culled spheres of 24 x 48 quads (46 080
// triangles), rotating, at 640 x 480 and 1024 x 768 in RGB565 with a
// 16-bit depth buffer.
//
// The peer gets its best honest set-up: its vertices, normals, texture
// coordinates and indices live in vertex buffer objects and its texture is
// uploaded once, before timing; each of its frames ends with glFinish, so
// the time is the drawing's. llvmpipe frees and takes again a few
// megabytes every frame; glibc would hand them back to the kernel each
// time and fault them in again (over a thousand page faults a frame), so
// this process keeps its freed memory (M_TRIM_THRESHOLD and
// M_MMAP_THRESHOLD below, set before anything is allocated). Both sides
// run on the calling thread (LP_NUM_THREADS=0: no rasteriser threads).
//
// Each run reports, from the same iterations (each draws one frame with
// each renderer and times a memset of a colour and a depth buffer): the
// median frame time of both, their ratio (ours over llvmpipe's), the page
// faults a frame of each, and the memset, the floor under both. Then both
// draw one frame of the same scene and the run reports how far the images
// agree: the share of covered pixels that only one of them covers
// ("only_one_pct") and the mean difference of an 8-bit channel over the
// pixels both cover ("mean_diff").
//
// To reproduce: build Release, then
//   taskset -c N build/bench/bench_softrend
// on an idle core N; `uptime` says how loaded the machine was. With
// SOFTREND_DUMP=folder both images of the compared frame are written
// there as PPM.
#include <benchmark/benchmark.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/osmesa.h>
#include <GL/glext.h>
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

using Clock = std::chrono::steady_clock;

// llvmpipe reads these when its screen is made; the allocator settings
// hold for every allocation after them.
const int kEnvironment = [] {
    setenv("LP_NUM_THREADS", "0", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return 0;
}();

constexpr int kRings = 24, kSegments = 48, kSpheres = 20, kTexture = 256;
constexpr float kRadius = 0.8f;

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

struct mesh {
    std::vector<float> pos, normal, uv;
    std::vector<vt_uint_16> index;
};

// The sphere both renderers draw: rings from the top, faces wound
// counter-clockwise seen from outside.
mesh sphereMesh() {
    mesh m;
    for (int r = 0; r <= kRings; r++)
        for (int s = 0; s <= kSegments; s++) {
            const double th = M_PI * r / kRings, ph = 2 * M_PI * s / kSegments;
            const float n[3] = {float(std::sin(th) * std::cos(ph)), float(std::cos(th)), float(-std::sin(th) * std::sin(ph))};
            for (float c : n) {
                m.normal.push_back(c);
                m.pos.push_back(c * kRadius);
            }
            m.uv.push_back(float(s) / kSegments * 4);
            m.uv.push_back(float(r) / kRings * 2);
        }
    for (int r = 0; r < kRings; r++)
        for (int s = 0; s < kSegments; s++) {
            const vt_uint_16 a = vt_uint_16(r * (kSegments + 1) + s), b = vt_uint_16(a + kSegments + 1);
            for (vt_uint_16 i : {a, b, vt_uint_16(a + 1), vt_uint_16(a + 1), b, vt_uint_16(b + 1)})
                m.index.push_back(i);
        }
    return m;
}

std::vector<vt_uint_16> checkerTexels() {
    std::vector<vt_uint_16> t(kTexture * kTexture);
    for (int y = 0; y < kTexture; y++)
        for (int x = 0; x < kTexture; x++)
            t[y * kTexture + x] = ((x / 16 + y / 16) & 1) ? 0xFFFF : vt_uint_16(0x001F | (x / 8) << 11 | (y / 4) << 5);
    return t;
}

// Sphere i's place: a 5 x 4 grid in front of the camera.
void spherePlace(int i, float *x, float *y) {
    *x = (i % 5 - 2.0f) * 1.9f;
    *y = (i / 5 - 1.5f) * 1.9f;
}
constexpr float kDistance = 7.5f, kFov = 60, kHither = 1, kYon = 50;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// ---- Ours ------------------------------------------------------------------------------

struct ours {
    vt_pixelmap *colour, *depth, *texture;
    vt_actor *world, *camera, *spheres[kSpheres];

    ours(int w, int h, const mesh &m, std::vector<vt_uint_16> &texels) {
        VtDiagHandlerSet(&quietDiag);
        VtBeginAll();
        colour = VtPixelmapAllocate(VT_PMT_RGB_565, w, h, nullptr, 0);
        depth = VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16);
        colour->origin_x = depth->origin_x = vt_int_16(w / 2);
        colour->origin_y = depth->origin_y = vt_int_16(h / 2);
        VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16);
        texture = VtPixelmapAllocate(VT_PMT_RGB_565, kTexture, kTexture, texels.data(), 0);
        texture->identifier = "checker";
        VtMapAdd(texture);
        vt_material *mat = VtMaterialAllocate("sphere");
        mat->flags = VT_MATF_LIT | VT_MATF_SMOOTH | VT_MATF_PERSPECTIVE;
        mat->colour_map = texture;
        mat->ka = 0.2f;
        mat->kd = 0.8f;
        mat->ks = 0;
        VtMaterialAdd(mat);
        const int nv = int(m.pos.size() / 3), nf = int(m.index.size() / 3);
        vt_model *model = VtModelAllocate("sphere", nv, nf);
        for (int i = 0; i < nv; i++) {
            VtVector3Set(&model->vertices[i].p, m.pos[3 * i], m.pos[3 * i + 1], m.pos[3 * i + 2]);
            VtVector2Set(&model->vertices[i].map, m.uv[2 * i], m.uv[2 * i + 1]);
        }
        for (int f = 0; f < nf; f++) {
            memcpy(model->faces[f].vertices, &m.index[3 * f], 6);
            model->faces[f].material = mat;
            model->faces[f].smoothing = 1;
        }
        VtModelAdd(model);
        world = VtActorAllocate(VT_ACTOR_NONE, nullptr);
        camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
        auto *cam = static_cast<vt_camera *>(camera->type_data);
        cam->field_of_view = VT_ANGLE_DEG(kFov);
        cam->hither_z = kHither;
        cam->yon_z = kYon;
        cam->aspect = float(w) / h;
        VtActorAdd(world, camera);
        camera->t.type = VT_TRANSFORM_TRANSLATION;
        VtVector3Set(&camera->t.t.translate.t, 0, 0, kDistance);
        vt_actor *sun = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        VtActorAdd(world, sun);
        sun->t.type = VT_TRANSFORM_MATRIX34;
        VtMatrix34RotateX(&sun->t.t.mat, VT_ANGLE_DEG(-30));
        VtMatrix34PostRotateY(&sun->t.t.mat, VT_ANGLE_DEG(30));
        VtLightEnable(sun);
        for (int i = 0; i < kSpheres; i++) {
            spheres[i] = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
            spheres[i]->model = model;
            VtActorAdd(world, spheres[i]);
        }
    }
    ~ours() { VtEndAll(); }

    void frame(float angle) {
        for (int i = 0; i < kSpheres; i++) {
            vt_actor *a = spheres[i];
            float x, y;
            spherePlace(i, &x, &y);
            a->t.type = VT_TRANSFORM_MATRIX34;
            VtMatrix34RotateY(&a->t.t.mat, VT_ANGLE_DEG(angle + 17 * i));
            VtMatrix34PostTranslate(&a->t.t.mat, x, y, 0);
        }
        VtPixelmapFill(colour, 0);
        VtPixelmapFill(depth, 0xFFFFFFFF);
        VtZbSceneRender(world, camera, colour, depth);
    }

    // The RGB565 pixel at (x, y), from the top.
    vt_uint_16 pixel(int x, int y) const {
        return static_cast<const vt_uint_16 *>(colour->pixels)[y * colour->row_bytes / 2 + x];
    }
};

// ---- llvmpipe ------------------------------------------------------------------------

struct mesa {
    OSMesaContext ctx = nullptr;
    std::vector<vt_uint_16> buffer;
    int w, h;
    GLsizei count = 0;
    GLuint tex = 0, buffers[4] = {0, 0, 0, 0};

    mesa(int width, int height, const mesh &m, const std::vector<vt_uint_16> &texels) : w(width), h(height) {
        ctx = OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr);
        buffer.resize(size_t(w) * h);
        if (ctx == nullptr || !OSMesaMakeCurrent(ctx, buffer.data(), GL_UNSIGNED_SHORT_5_6_5, w, h)) {
            ctx = nullptr;
            return;
        }
        glViewport(0, 0, w, h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const double top = kHither * std::tan(kFov / 2 * M_PI / 180), right = top * w / h;
        glFrustum(-right, right, -top, top, kHither, kYon);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_CULL_FACE);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        // The same terms as the material of ours: ambient 0.2, diffuse 0.8.
        const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1}, white[4] = {1, 1, 1, 1}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glMaterialfv(GL_FRONT, GL_AMBIENT, white);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glGenTextures(1, &tex);
        glBindTexture(GL_TEXTURE_2D, tex);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTexture, kTexture, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        // The mesh in buffer objects, uploaded once.
        glGenBuffers(4, buffers);
        auto upload = [](GLenum target, GLuint b, const auto &v) {
            glBindBuffer(target, b);
            glBufferData(target, GLsizeiptr(v.size() * sizeof v[0]), v.data(), GL_STATIC_DRAW);
        };
        upload(GL_ARRAY_BUFFER, buffers[0], m.pos);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        upload(GL_ARRAY_BUFFER, buffers[1], m.normal);
        glNormalPointer(GL_FLOAT, 0, nullptr);
        upload(GL_ARRAY_BUFFER, buffers[2], m.uv);
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
        upload(GL_ELEMENT_ARRAY_BUFFER, buffers[3], m.index);
        count = GLsizei(m.index.size());
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glClearColor(0, 0, 0, 0);
    }
    ~mesa() {
        if (ctx)
            OSMesaDestroyContext(ctx);
    }

    void frame(float angle) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -kDistance);
        glPushMatrix();
        glRotatef(30, 0, 1, 0);
        glRotatef(-30, 1, 0, 0);
        const GLfloat dir[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, dir);
        glPopMatrix();
        for (int i = 0; i < kSpheres; i++) {
            float x, y;
            spherePlace(i, &x, &y);
            glPushMatrix();
            glTranslatef(x, y, 0);
            glRotatef(angle + 17 * i, 0, 1, 0);
            glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, nullptr);
            glPopMatrix();
        }
        glFinish();
    }

    // The pixel at (x, y) from the top (the buffer's first row is the
    // image's bottom).
    vt_uint_16 pixel(int x, int y) const { return buffer[size_t(h - 1 - y) * w + x]; }
};

// Minor and major page faults of the process so far.
long faults() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt + u.ru_majflt;
}

// How far two images of the same scene agree: pixels covered (not the
// black background) by only one, as a share of those covered by either,
// and the mean difference of the 8-bit channels where both cover.
struct agreement {
    long covered = 0, onlyOne = 0;
    double meanDiff = 0;
};

int channel8(vt_uint_16 p, int k) {
    const int v[3] = {p >> 11, (p >> 5) & 63, p & 31};
    return k == 1 ? (v[1] << 2 | v[1] >> 4) : (v[k] << 3 | v[k] >> 2);
}

template <class A, class B> agreement compare(const A &a, const B &b, int w, int h) {
    agreement g;
    long both = 0, diff = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const vt_uint_16 pa = a.pixel(x, y), pb = b.pixel(x, y);
            if (pa == 0 && pb == 0)
                continue;
            g.covered++;
            if (pa == 0 || pb == 0) {
                g.onlyOne++;
                continue;
            }
            both++;
            for (int k = 0; k < 3; k++)
                diff += std::abs(channel8(pa, k) - channel8(pb, k));
        }
    g.meanDiff = both ? double(diff) / (3.0 * double(both)) : 0;
    return g;
}

// Writes an image to $SOFTREND_DUMP/name.ppm when that is set, to look at.
template <class A>
void dump(const A &image, int w, int h, const char *name) {
    const char *dir = getenv("SOFTREND_DUMP");
    if (dir == nullptr) return;
    const std::string path = std::string(dir) + "/" + name + "_" + std::to_string(w) + ".ppm";
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int k = 0; k < 3; k++) fputc(channel8(image.pixel(x, y), k), f);
    fclose(f);
}

template <class F> double timed(F f) {
    auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void BM_SpheresAgainstLlvmpipe(benchmark::State &state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const mesh m = sphereMesh();
    std::vector<vt_uint_16> texels = checkerTexels();
    ours sr(w, h, m, texels);
    mesa gl(w, h, m, texels);
    if (gl.ctx == nullptr) {
        state.SkipWithError("no OSMesa context");
        return;
    }
    std::vector<vt_uint_16> floorColour(size_t(w) * h), floorDepth(size_t(w) * h);
    std::vector<double> tOurs, tMesa, tFloor;
    long faultsOurs = 0, faultsMesa = 0;
    float angle = 0;
    // Warm-up: llvmpipe compiles its shaders on the first frames.
    for (int i = 0; i < 3; i++) {
        sr.frame(angle);
        gl.frame(angle);
    }
    for (auto _ : state) {
        angle += 3;
        long f0 = faults();
        tOurs.push_back(timed([&] { sr.frame(angle); }));
        long f1 = faults();
        tMesa.push_back(timed([&] { gl.frame(angle); }));
        long f2 = faults();
        faultsOurs += f1 - f0;
        faultsMesa += f2 - f1;
        tFloor.push_back(timed([&] {
            memset(floorColour.data(), 0, floorColour.size() * 2);
            memset(floorDepth.data(), 0xFF, floorDepth.size() * 2);
            benchmark::DoNotOptimize(floorColour.data());
            benchmark::DoNotOptimize(floorDepth.data());
        }));
    }
    const double o = median(tOurs), l = median(tMesa), frames = double(tOurs.size());
    state.counters["ours_ms"] = o;
    state.counters["llvmpipe_ms"] = l;
    state.counters["ratio"] = l > 0 ? o / l : 0;
    state.counters["memset_ms"] = median(tFloor);
    state.counters["ours_faults"] = frames > 0 ? double(faultsOurs) / frames : 0;
    state.counters["llvmpipe_faults"] = frames > 0 ? double(faultsMesa) / frames : 0;
    // One frame of the same scene from both.
    sr.frame(40);
    gl.frame(40);
    const agreement g = compare(sr, gl, w, h);
    dump(sr, w, h, "ours");
    dump(gl, w, h, "llvmpipe");
    state.counters["covered_px"] = double(g.covered);
    state.counters["only_one_pct"] = g.covered ? 100.0 * double(g.onlyOne) / double(g.covered) : 0;
    state.counters["mean_diff"] = g.meanDiff;
}
BENCHMARK(BM_SpheresAgainstLlvmpipe)->Args({640, 480})->Args({1024, 768})->Iterations(60)->Unit(benchmark::kMillisecond);

} // namespace
