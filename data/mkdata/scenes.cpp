#include "scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "RES/picture.h"
#include "render/front/front.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace mkdata {

namespace {

constexpr float kPi = 3.14159265358979f;

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float Rand01(uint32_t &state) {
    state = state * 1664525u + 1013904223u;
    return float(Hash(state) >> 8) / float(1u << 24);
}

// Value noise over the integer lattice, smoothly interpolated.
float Lattice(int x, int y, int z, uint32_t seed) {
    return float(Hash(uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(z) * 83492791u ^ seed) & 0xFFFF) /
           65535.0f;
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

float Noise3(float x, float y, float z, uint32_t seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y)), iz = int(std::floor(z));
    const float fx = Smooth(x - float(ix)), fy = Smooth(y - float(iy)), fz = Smooth(z - float(iz));
    float v[2][2][2];
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b)
            for (int c = 0; c < 2; ++c) v[a][b][c] = Lattice(ix + a, iy + b, iz + c, seed);
    auto lerp = [](float p, float q, float t) { return p + (q - p) * t; };
    const float x00 = lerp(v[0][0][0], v[1][0][0], fx), x10 = lerp(v[0][1][0], v[1][1][0], fx);
    const float x01 = lerp(v[0][0][1], v[1][0][1], fx), x11 = lerp(v[0][1][1], v[1][1][1], fx);
    return lerp(lerp(x00, x10, fy), lerp(x01, x11, fy), fz);
}

// Octaves of noise, each twice as fine and half as strong: 0..1.
float Fractal(float x, float y, float z, uint32_t seed, int octaves) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * Noise3(x, y, z, seed + uint32_t(o) * 101u);
        total += weight;
        x *= 2.03f;
        y *= 2.03f;
        z *= 2.03f;
        weight *= 0.5f;
    }
    return sum / total;
}

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

}  // namespace

void Canvas::Add(int x, int y, float r, float g, float b) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float *p = At(x, y);
    p[0] += r;
    p[1] += g;
    p[2] += b;
}

void PaintSky(Canvas &c, const SkyLook &look) {
    const float scale = 3.0f / float(std::max(c.w, c.h));
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float fx = float(x) * scale, fy = float(y) * scale;
            // Clouds: a broad mask shapes a finer body; the second tint
            // glows where the body is thickest.
            const float mask = Clamp01((Fractal(fx * 0.8f, fy * 0.8f, 1.5f, look.seed, 3) - 0.42f) * 3.0f);
            const float body = Fractal(fx * 2.2f, fy * 2.2f, 7.0f, look.seed + 17, 5);
            const float thick = Clamp01((body - 0.35f) * 2.2f) * mask * look.density;
            const float core = Clamp01((body - 0.55f) * 4.0f) * thick;
            float *p = c.At(x, y);
            for (int k = 0; k < 3; ++k) p[k] = 4 + look.tintA[k] * thick * 0.75f + look.tintB[k] * core * 0.8f;
        }
    uint32_t state = look.seed * 2654435761u + 1;
    const int count = look.stars * c.w * c.h / 10000;
    for (int i = 0; i < count; ++i) {
        const int x = int(Rand01(state) * float(c.w)), y = int(Rand01(state) * float(c.h));
        const float u = Rand01(state);
        const float bright = 40 + 215 * u * u * u * u;
        const float warm = Rand01(state);
        const float r = bright * (0.85f + 0.15f * warm), g = bright * 0.92f, b = bright * (1.0f - 0.2f * warm);
        c.Add(x, y, r, g, b);
        if (bright > 150) {
            // A bright star bleeds into its neighbours, the brightest few
            // carry spikes.
            for (int d = 1; d <= (bright > 235 ? 5 : 1); ++d) {
                const float f = 0.45f / float(d);
                c.Add(x + d, y, r * f, g * f, b * f);
                c.Add(x - d, y, r * f, g * f, b * f);
                c.Add(x, y + d, r * f, g * f, b * f);
                c.Add(x, y - d, r * f, g * f, b * f);
            }
        }
    }
}

void PaintPlanet(Canvas &c, const PlanetLook &look) {
    float l[3] = {look.lx, look.ly, look.lz};
    const float ll = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
    for (float &v : l) v /= ll;
    const int x0 = std::max(0, int(look.cx - look.radius * 1.2f)), x1 = std::min(c.w - 1, int(look.cx + look.radius * 1.2f));
    const int y0 = std::max(0, int(look.cy - look.radius * 1.2f)), y1 = std::min(c.h - 1, int(look.cy + look.radius * 1.2f));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float dx = (float(x) + 0.5f - look.cx) / look.radius, dy = -(float(y) + 0.5f - look.cy) / look.radius;
            const float d2 = dx * dx + dy * dy;
            float *p = c.At(x, y);
            if (d2 > 1) {
                // The atmosphere's glow outside the limb, on the lit side.
                const float d = std::sqrt(d2);
                if (look.kind == PlanetKind::Rock || d > 1.12f) continue;
                const float lit = Clamp01((dx * l[0] + dy * l[1]) / d * 0.8f + 0.35f);
                const float a = (1.12f - d) / 0.12f;
                const float glow = a * a * lit * 90;
                p[0] += glow * 0.45f;
                p[1] += glow * 0.7f;
                p[2] += glow;
                continue;
            }
            const float nz = std::sqrt(1 - d2);
            const float lambert = dx * l[0] + dy * l[1] + nz * l[2];
            const float light = Clamp01(lambert * 1.1f + 0.05f);
            float col[3];
            const float s = 3.0f;
            switch (look.kind) {
            case PlanetKind::Earth: {
                const float land = Fractal(dx * s + 5, dy * s, nz * s, look.seed, 5);
                const float cloud = Clamp01((Fractal(dx * 5, dy * 9, nz * 5 + 3, look.seed + 9, 4) - 0.5f) * 3);
                const float polar = Clamp01((std::fabs(dy) - 0.82f) * 8);
                if (land > 0.52f) {
                    const float t = Clamp01((land - 0.52f) * 5);
                    col[0] = 60 + 90 * t, col[1] = 110 + 30 * t, col[2] = 50 + 30 * t;
                } else {
                    const float t = Clamp01(land * 2);
                    col[0] = 10 + 20 * t, col[1] = 40 + 50 * t, col[2] = 110 + 70 * t;
                }
                for (int k = 0; k < 3; ++k) col[k] += (235 - col[k]) * std::max(cloud * 0.8f, polar);
                break;
            }
            case PlanetKind::Gas: {
                const float band = Fractal(dx * 1.2f, dy * 14, nz, look.seed, 4);
                const float t = std::sin(dy * 18 + band * 6) * 0.5f + 0.5f;
                col[0] = 190 + 50 * t, col[1] = 140 + 60 * t, col[2] = 90 + 50 * t;
                break;
            }
            case PlanetKind::Ice: {
                const float t = Fractal(dx * s, dy * s, nz * s, look.seed, 5);
                col[0] = 170 + 60 * t, col[1] = 200 + 40 * t, col[2] = 230 + 25 * t;
                break;
            }
            default: {
                const float t = Fractal(dx * s, dy * s, nz * s, look.seed, 6);
                const float crater = Clamp01((Fractal(dx * 8, dy * 8, nz * 8, look.seed + 3, 2) - 0.62f) * 6);
                col[0] = 120 + 80 * t - 50 * crater, col[1] = 95 + 60 * t - 40 * crater, col[2] = 80 + 40 * t - 30 * crater;
                break;
            }
            }
            // A faint rim of air seen edge-on, and an edge softened over one
            // pixel.
            const float rim = look.kind == PlanetKind::Rock ? 0 : std::pow(1 - nz, 3.0f) * 0.6f;
            const float edge = Clamp01((1 - std::sqrt(d2)) * look.radius);
            for (int k = 0; k < 3; ++k) {
                const float air = k == 2 ? 255.0f : k == 1 ? 190.0f : 130.0f;
                const float v = (col[k] * (1 - rim) + air * rim) * light + col[k] * 0.02f;
                p[k] = p[k] * (1 - edge) + v * edge;
            }
        }
}

void PaintGlare(Canvas &c, float cx, float cy, float radius, const float colour[3], float strength) {
    const int reach = int(radius * 6);
    for (int y = std::max(0, int(cy) - reach); y < std::min(c.h, int(cy) + reach); ++y)
        for (int x = std::max(0, int(cx) - reach); x < std::min(c.w, int(cx) + reach); ++x) {
            const float dx = (float(x) - cx) / radius, dy = (float(y) - cy) / radius;
            const float d2 = dx * dx + dy * dy;
            float v = std::exp(-d2 * 2.0f) * 1.5f + 0.35f / (1 + d2 * 2);
            v += 0.25f * (std::exp(-dy * dy * 60) + std::exp(-dx * dx * 60)) / (1 + d2 * 0.3f);
            v *= strength;
            float *p = c.At(x, y);
            for (int k = 0; k < 3; ++k) p[k] += colour[k] * v + 255 * std::exp(-d2 * 8) * strength;
        }
}

void PaintPlate(Canvas &c, int x0, int y0, int x1, int y1, const float face[3], int bevel, int seam) {
    const int w = x1 - x0, h = y1 - y0;
    for (int y = std::max(0, y0); y < std::min(c.h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(c.w, x1); ++x) {
            const int u = x - x0, v = y - y0;
            const int edge = std::min(std::min(u, v), std::min(w - 1 - u, h - 1 - v));
            float shade =
                0.92f + 0.16f * float(h - v) / float(h) + 0.03f * std::sin(float(v) * 2.1f + float(u) * 0.05f);
            if (edge < bevel) shade = std::min(u, v) <= std::min(w - 1 - u, h - 1 - v) ? 1.4f : 0.45f;
            if (edge >= bevel && seam > 0 && ((u - bevel) % seam == 0 || (v - bevel) % seam == 0)) shade = 0.55f;
            const int rx = std::min(u, w - 1 - u), ry = std::min(v, h - 1 - v);
            const bool rivet =
                edge >= bevel && (rx - bevel - 3) * (rx - bevel - 3) + (ry - bevel - 3) * (ry - bevel - 3) <= 2;
            if (rivet) shade = (u < w / 2) == (v < h / 2) ? 1.35f : 0.6f;
            float *p = c.At(x, y);
            for (int k = 0; k < 3; ++k) p[k] = std::min(255.0f, face[k] * shade);
        }
}

void PaintSlot(Canvas &c, int x0, int y0, int x1, int y1, int bevel) {
    const int w = x1 - x0, h = y1 - y0;
    for (int y = std::max(0, y0); y < std::min(c.h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(c.w, x1); ++x) {
            const int u = x - x0, v = y - y0;
            const int edge = std::min(std::min(u, v), std::min(w - 1 - u, h - 1 - v));
            float *p = c.At(x, y);
            if (edge < bevel) {
                const float f = std::min(u, v) <= std::min(w - 1 - u, h - 1 - v) ? 0.35f : 1.35f;
                for (int k = 0; k < 3; ++k) p[k] = std::min(255.0f, p[k] * f);
            } else {
                p[0] = 8;
                p[1] = 12;
                p[2] = 18 + 10.0f * float(v) / float(h);
            }
        }
}

void PaintLamp(Canvas &c, float cx, float cy, float radius, const float colour[3], bool lit) {
    const int reach = int(radius * (lit ? 3.0f : 1.2f)) + 1;
    for (int y = int(cy) - reach; y <= int(cy) + reach; ++y)
        for (int x = int(cx) - reach; x <= int(cx) + reach; ++x) {
            if (x < 0 || y < 0 || x >= c.w || y >= c.h) continue;
            const float d = std::hypot(float(x) - cx, float(y) - cy) / radius;
            float *p = c.At(x, y);
            if (d <= 1) {
                // A lens: bright centre, a highlight up and to the left.
                const float hi = std::exp(-((float(x) - cx + radius * 0.35f) * (float(x) - cx + radius * 0.35f) +
                                            (float(y) - cy + radius * 0.35f) * (float(y) - cy + radius * 0.35f)) /
                                          (radius * radius * 0.08f));
                for (int k = 0; k < 3; ++k)
                    p[k] =
                        std::min(255.0f, lit ? colour[k] * (1.1f - 0.4f * d) + 140 * hi : colour[k] * 0.22f + 50 * hi);
            } else if (d <= 1.25f) {
                for (int k = 0; k < 3; ++k) p[k] = 20;  // the bezel
            } else if (lit) {
                const float g = 0.5f * std::exp(-(d - 1.25f) * 1.6f);
                for (int k = 0; k < 3; ++k) p[k] = std::min(255.0f, p[k] + colour[k] * g);
            }
        }
}

bool SavePcx24(const char *path, const Canvas &c) {
    const std::vector<uint8_t> rgb = ToRgb(c);
    const uint32_t w = uint32_t(c.w), h = uint32_t(c.h);
    uint8_t header[128] = {};
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    auto put16 = [&](int at, uint32_t v) {
        header[at] = uint8_t(v);
        header[at + 1] = uint8_t(v >> 8);
    };
    put16(8, w - 1);
    put16(10, h - 1);
    put16(12, 640);
    put16(14, 480);
    header[65] = 3;
    put16(66, w);
    FILE *f = std::fopen(path, "wb");
    if (!f) return false;
    std::fwrite(header, 1, 128, f);
    std::vector<uint8_t> plane(w), code(2 * w + 2);
    for (uint32_t y = 0; y < h; ++y)
        for (int k = 0; k < 3; ++k) {
            for (uint32_t x = 0; x < w; ++x) plane[x] = rgb[(size_t(y) * w + x) * 3 + size_t(k)];
            const size_t n = pcxEncodeRow(plane.data(), w, code.data());
            std::fwrite(code.data(), 1, n, f);
        }
    return std::fclose(f) == 0;
}

namespace {

// A lwob shape as a library model: its polygons fanned into triangles, one
// lit material for each of its surfaces in the surface's colour.
vt_model *ShapeModel(const lwob::Object &o, int serial) {
    size_t faces = 0;
    for (const lwob::Polygon &p : o.polygons)
        if (p.points.size() >= 3) faces += p.points.size() - 2;
    const std::string name = "scene_shape_" + std::to_string(serial);
    vt_model *m = VtModelAllocate(name.c_str(), int(o.points.size()), int(faces));
    if (!m) return nullptr;
    for (size_t i = 0; i < o.points.size(); ++i)
        VtVector3Set(&m->vertices[i].p, o.points[i].x, o.points[i].y, o.points[i].z);
    std::vector<vt_material *> materials;
    for (size_t s = 0; s < o.surfaces.size(); ++s) {
        const lwob::Surface &surface = o.surfaces[s];
        const std::string mname = name + "_" + std::to_string(s);
        vt_material *mat = VtMaterialAllocate(mname.c_str());
        const bool glowing = surface.luminosity > 100;
        mat->colour = vt_colour(surface.colour[0]) << 16 | vt_colour(surface.colour[1]) << 8 | surface.colour[2];
        mat->flags = VT_MATF_TWO_SIDED | (glowing ? 0 : VT_MATF_LIT | VT_MATF_SMOOTH);
        mat->ka = 0.18f;
        mat->kd = 0.85f;
        mat->ks = 0.35f;
        mat->power = 20;
        materials.push_back(VtMaterialAdd(mat));
    }
    size_t f = 0;
    for (const lwob::Polygon &p : o.polygons) {
        for (size_t k = 2; k < p.points.size(); ++k) {
            vt_face &face = m->faces[f++];
            face.vertices[0] = p.points[0];
            face.vertices[1] = p.points[k - 1];
            face.vertices[2] = p.points[k];
            const int s = p.surface - 1;
            face.material = s >= 0 && size_t(s) < materials.size() ? materials[size_t(s)] : nullptr;
            face.smoothing = 1;
        }
    }
    return VtModelAdd(m);
}

// A pixel of a 16-bit pixelmap, by column and row from its top left.
vt_uint_32 Pixel16(const vt_pixelmap *pm, int x, int y) {
    vt_uint_16 v;
    std::memcpy(&v, static_cast<const vt_uint_8 *>(pm->pixels) + ptrdiff_t(pm->base_y + y) * pm->row_bytes + (pm->base_x + x) * 2, 2);
    return v;
}

void Place(vt_actor *a, float x, float y, float z, float yaw, float pitch, float roll) {
    a->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Identity(&a->t.t.mat);
    VtMatrix34PostRotateZ(&a->t.t.mat, VT_ANGLE_DEG(roll));
    VtMatrix34PostRotateX(&a->t.t.mat, VT_ANGLE_DEG(pitch));
    VtMatrix34PostRotateY(&a->t.t.mat, VT_ANGLE_DEG(yaw));
    VtMatrix34PostTranslate(&a->t.t.mat, x, y, z);
}

}  // namespace

bool DrawShips(Canvas &c, const std::vector<ShipPose> &ships, float fov, const float light[3]) {
    if (VtBegin() != VT_E_OK) return false;
    bool ok = VtSceneDbBegin() == VT_E_OK;
    const int W = c.w * 2, H = c.h * 2;
    vt_pixelmap *colour = ok ? VtPixelmapAllocate(VT_PMT_RGB_565, W, H, nullptr, 0) : nullptr;
    vt_pixelmap *depth = colour ? VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16) : nullptr;
    ok = ok && depth;
    vt_actor *world = nullptr;
    if (ok) {
        colour->origin_x = depth->origin_x = vt_int_16(W / 2);
        colour->origin_y = depth->origin_y = vt_int_16(H / 2);
        ok = VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16) == VT_E_OK;
    }
    if (ok) {
        VtPixelmapFill(colour, 0);
        VtPixelmapFill(depth, 0xFFFFFFFF);
        world = VtActorAllocate(VT_ACTOR_NONE, nullptr);
        vt_actor *camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
        auto *cam = static_cast<vt_camera *>(camera->type_data);
        cam->type = VT_CAMERA_PERSPECTIVE;
        cam->field_of_view = VT_ANGLE_DEG(fov);
        cam->hither_z = 1;
        cam->yon_z = 5000;
        cam->aspect = float(W) / float(H);
        VtActorAdd(world, camera);
        // The sun: a direct light whose z axis points at it.
        vt_actor *sun = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        auto *sl = static_cast<vt_light *>(sun->type_data);
        sl->type = VT_LIGHT_DIRECT;
        sl->colour = 0xFFF4E8;
        sl->attenuation_c = 1;
        float z[3] = {light[0], light[1], light[2]};
        const float zl = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
        for (float &v : z) v /= zl;
        const float up[3] = {std::fabs(z[1]) > 0.9f ? 1.0f : 0.0f, std::fabs(z[1]) > 0.9f ? 0.0f : 1.0f, 0};
        float x[3] = {up[1] * z[2] - up[2] * z[1], up[2] * z[0] - up[0] * z[2], up[0] * z[1] - up[1] * z[0]};
        const float xl = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
        for (float &v : x) v /= xl;
        const float y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
        sun->t.type = VT_TRANSFORM_MATRIX34;
        VtMatrix34Identity(&sun->t.t.mat);
        for (int k = 0; k < 3; ++k) {
            sun->t.t.mat.m[0][k] = x[k];
            sun->t.t.mat.m[1][k] = y[k];
            sun->t.t.mat.m[2][k] = z[k];
        }
        VtActorAdd(world, sun);
        VtLightEnable(sun);
        vt_actor *fill = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        auto *fl = static_cast<vt_light *>(fill->type_data);
        fl->type = VT_LIGHT_AMBIENT;
        fl->colour = 0x303848;
        fl->attenuation_c = 1;
        VtActorAdd(world, fill);
        VtLightEnable(fill);
        int serial = 0;
        std::map<const lwob::Object *, vt_model *> models;
        for (const ShipPose &s : ships) {
            vt_model *&m = models[s.shape];
            if (!m) m = ShapeModel(*s.shape, serial++);
            if (!m) continue;
            vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
            a->model = m;
            Place(a, s.x, s.y, s.z, s.yaw, s.pitch, s.roll);
            VtActorAdd(world, a);
        }
        ok = VtZbSceneRender(world, camera, colour, depth) == VT_E_OK;
        VtLightDisable(sun);
        VtLightDisable(fill);
    }
    if (ok) {
        // Two by two pixels to one: drawn pixels are averaged over the
        // ones the shapes cover, and laid over the canvas by how many.
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                float sum[3] = {0, 0, 0};
                int covered = 0;
                for (int k = 0; k < 4; ++k) {
                    const int px = 2 * x + (k & 1), py = 2 * y + (k >> 1);
                    if (Pixel16(depth, px, py) == 0xFFFF) continue;
                    const vt_uint_32 v = Pixel16(colour, px, py);
                    sum[0] += float((v >> 11) & 31) * 255.0f / 31;
                    sum[1] += float((v >> 5) & 63) * 255.0f / 63;
                    sum[2] += float(v & 31) * 255.0f / 31;
                    ++covered;
                }
                if (!covered) continue;
                const float a = float(covered) / 4;
                float *p = c.At(x, y);
                for (int k = 0; k < 3; ++k) p[k] = p[k] * (1 - a) + sum[k] / float(covered) * a;
            }
    }
    if (world) VtActorFree(world);
    if (VtRendererQuery()) VtRendererEnd();
    VtZbEnd();
    VtSceneDbEnd();
    VtEnd();
    return ok;
}

std::vector<uint8_t> ToGamePalette(const Canvas &c, const uint8_t *pal) {
    // Nearest entries through a 5-5-5 cube, with a 4 x 4 ordered dither of
    // a little under one cube step so that smooth clouds stay smooth.
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    // The cube of the last palette asked for: films ask for one palette
    // frame after frame.
    static std::vector<uint8_t> cube, cubePalette;
    const bool known = cubePalette.size() == 1024 && std::memcmp(cubePalette.data(), pal, 1024) == 0;
    if (!known) {
        cubePalette.assign(pal, pal + 1024);
        cube.assign(32 * 32 * 32, 0);
    }
    for (int i = 0; !known && i < 32 * 32 * 32; ++i) {
        const int r = ((i >> 10) & 31) * 255 / 31, g = ((i >> 5) & 31) * 255 / 31, b = (i & 31) * 255 / 31;
        int best = 10, bestD = 1 << 30;
        for (int e = 10; e < 246; ++e) {
            const int dr = r - pal[e * 4], dg = g - pal[e * 4 + 1], db = b - pal[e * 4 + 2];
            const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestD) best = e, bestD = d;
        }
        cube[size_t(i)] = uint8_t(best);
    }
    std::vector<uint8_t> out(size_t(c.w) * c.h);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float *p = &c.rgb[(size_t(y) * c.w + x) * 3];
            const float dither = (float(kBayer[y & 3][x & 3]) - 7.5f) * 0.9f;
            int q[3];
            for (int k = 0; k < 3; ++k) q[k] = std::clamp(int((p[k] + dither) * 31.0f / 255.0f + 0.5f), 0, 31);
            out[size_t(y) * c.w + x] = cube[size_t(q[0] << 10 | q[1] << 5 | q[2])];
        }
    return out;
}

std::vector<uint8_t> ToRgb(const Canvas &c) {
    std::vector<uint8_t> out(c.rgb.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(std::clamp(int(c.rgb[i] + 0.5f), 0, 255));
    return out;
}

}  // namespace mkdata
