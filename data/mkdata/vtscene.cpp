// The rendering library's scene files below vantor\dat: the gas-shell and
// planet-pool sphere models with the pool's face-class table, the star
// gate's materials and edge textures, the broken hulls' "carbon", and the
// raw alpha ramps the effect textures take; plus one ASCII mesh export for
// the resource manager's ASC2BRM row. Models, materials and pixelmaps are written through the
// library's own save functions, so they are exactly what it reads back.
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "mkdata.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scenefile/scenefile.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using Vec = std::array<double, 3>;

Vec Sub(const Vec &a, const Vec &b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Cross(const Vec &a, const Vec &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec &a, const Vec &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Unit(const Vec &a) {
    const double l = std::sqrt(Dot(a, a));
    return {a[0] / l, a[1] / l, a[2] / l};
}

// A closed mesh about the origin, its faces turned to face outwards (the
// library's front side: (v1 - v0) x (v2 - v0) points at the viewer).
struct Mesh {
    std::vector<Vec> points;
    std::vector<std::array<double, 2>> uv;
    std::vector<std::array<int, 3>> faces;

    int Add(const Vec &p, double u, double v) {
        points.push_back(p);
        uv.push_back({u, v});
        return int(points.size()) - 1;
    }
    void Face(int a, int b, int c) {
        const Vec centre = {(points[a][0] + points[b][0] + points[c][0]) / 3,
                            (points[a][1] + points[b][1] + points[c][1]) / 3,
                            (points[a][2] + points[b][2] + points[c][2]) / 3};
        if (Dot(Cross(Sub(points[b], points[a]), Sub(points[c], points[a])), centre) < 0) std::swap(b, c);
        faces.push_back({a, b, c});
    }

    vt_model *Model(const char *name, vt_uint_16 smoothing) const {
        vt_model *m = VtModelAllocate(name, int(points.size()), int(faces.size()));
        if (!m) return nullptr;
        for (size_t i = 0; i < points.size(); i++) {
            VtVector3Set(&m->vertices[i].p, vt_scalar(points[i][0]), vt_scalar(points[i][1]), vt_scalar(points[i][2]));
            VtVector2Set(&m->vertices[i].map, vt_scalar(uv[i][0]), vt_scalar(uv[i][1]));
        }
        for (size_t f = 0; f < faces.size(); f++) {
            for (int k = 0; k < 3; k++) m->faces[f].vertices[k] = vt_uint_16(faces[f][k]);
            m->faces[f].smoothing = smoothing;
        }
        return m;
    }
};

// The gas shell: a twice-split icosahedron of radius 1 (162 points, 320
// faces), mapped by longitude and latitude.
Mesh GasShell() {
    const double t = (1 + std::sqrt(5.0)) / 2;
    std::vector<Vec> p = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                          {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    std::vector<std::array<int, 3>> f = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                         {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                         {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                         {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (Vec &v : p) v = Unit(v);
    for (int split = 0; split < 2; split++) {
        std::vector<std::array<int, 3>> next;
        std::vector<std::array<int, 3>> mids;  // (a, b, middle) with a < b
        auto middle = [&](int a, int b) {
            if (a > b) std::swap(a, b);
            for (const auto &m : mids)
                if (m[0] == a && m[1] == b) return m[2];
            p.push_back(Unit({(p[a][0] + p[b][0]) / 2, (p[a][1] + p[b][1]) / 2, (p[a][2] + p[b][2]) / 2}));
            mids.push_back({a, b, int(p.size()) - 1});
            return int(p.size()) - 1;
        };
        for (const auto &tri : f) {
            const int ab = middle(tri[0], tri[1]), bc = middle(tri[1], tri[2]), ca = middle(tri[2], tri[0]);
            next.push_back({tri[0], ab, ca});
            next.push_back({tri[1], bc, ab});
            next.push_back({tri[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        f = next;
    }
    Mesh mesh;
    for (const Vec &v : p)
        mesh.Add(v, (std::atan2(v[2], v[0]) + kPi) / (2 * kPi), std::acos(std::fmax(-1.0, std::fmin(1.0, v[1]))) / kPi);
    for (const auto &tri : f) mesh.Face(tri[0], tri[1], tri[2]);
    return mesh;
}

// The planet pool's sphere: radius 0.5, 21 bands of latitude and 40 of
// longitude, 1600 faces. Each half of the longitudes carries its own
// points, mapped 0 to 1 across the half, since each half takes a texture
// of its own; `classes` receives 1 for the faces of the first half and 2
// for the second.
Mesh Triball(std::vector<unsigned char> &classes) {
    constexpr int kBands = 21, kColumns = 20;  // columns per half
    Mesh mesh;
    for (int half = 0; half < 2; half++) {
        int grid[kBands + 1][kColumns + 1];
        for (int row = 0; row <= kBands; row++)
            for (int col = 0; col <= kColumns; col++) {
                const double theta = kPi * row / kBands, phi = kPi * (half * kColumns + col) / kColumns;
                const Vec p = {0.5 * std::sin(theta) * std::cos(phi), 0.5 * std::cos(theta),
                               0.5 * std::sin(theta) * std::sin(phi)};
                grid[row][col] = mesh.Add(p, double(col) / kColumns, double(row) / kBands);
            }
        for (int row = 0; row < kBands; row++)
            for (int col = 0; col < kColumns; col++) {
                const int a = grid[row][col], b = grid[row][col + 1], c = grid[row + 1][col],
                          d = grid[row + 1][col + 1];
                // The pole rows are one point each: one triangle a column.
                if (row > 0) {
                    mesh.Face(a, b, d);
                    classes.push_back(vt_uint_8(half + 1));
                }
                if (row < kBands - 1) {
                    mesh.Face(a, d, c);
                    classes.push_back(vt_uint_8(half + 1));
                }
            }
    }
    return mesh;
}

// Alpha ramps: one byte a pixel, the top four bits taken as the alpha of a
// 16-bit ARGB4444 texture.
std::vector<unsigned char> Alpha(int w, int h, double (*shape)(double x, double y)) {
    std::vector<unsigned char> a(size_t(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const double v = shape((x + 0.5) / w * 2 - 1, (y + 0.5) / h * 2 - 1);
            a[size_t(y) * w + x] = (unsigned char)std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 255);
        }
    return a;
}

double Radius(double x, double y) { return std::sqrt(x * x + y * y); }
double Blob(double x, double y) { return 1 - Radius(x, y); }
double SoftBlob(double x, double y) { return std::pow(std::fmax(0.0, 1 - Radius(x, y)), 2) * 1.5; }
double Beam(double, double y) { return std::exp(-y * y * 6); }
double Ring(double x, double y) { return std::exp(-std::pow((Radius(x, y) - 0.8) * 6, 2)); }
double Capsule(double x, double y) {
    const double cx = std::fmax(std::fabs(x) * 2 - 1, 0.0);  // 128 x 64: round ends
    return 1 - Radius(cx, y);
}
double Fuzz(double x, double y) {
    const double a = std::atan2(y, x), r = Radius(x, y);
    return (1 - r / (0.75 + 0.2 * std::sin(a * 11) * std::cos(a * 4 + r * 9))) * 1.2;
}
double Pocket(double x, double y) { return Blob(x, y) * (0.8 + 0.2 * std::cos(x * 13) * std::sin(y * 9)); }
double Burst(double x, double y) {
    const double a = std::atan2(y, x);
    return (1 - Radius(x, y)) * (0.6 + 0.4 * std::fabs(std::sin(a * 5)));
}

bool WriteAlphas(const mkdata::Context &ctx) {
    const struct {
        const char *file;
        int w, h;
        double (*shape)(double, double);
    } alphas[] = {
        {"vantor/dat/beamalpha2.raw", 64, 64, Beam},   {"vantor/dat/ExpUnlitAlpha.raw", 64, 64, SoftBlob},
        {"vantor/dat/CapsAlph.raw", 128, 64, Capsule}, {"vantor/dat/ShieldAlph.raw", 64, 64, Ring},
        {"vantor/dat/PocketAlph.raw", 64, 64, Pocket}, {"vantor/dat/beamalpha.raw", 64, 64, Blob},
        {"vantor/dat/beamalpha3.raw", 64, 64, Burst},  {"vantor/dat/bigfuzzalph2.raw", 64, 64, Fuzz},
    };
    bool ok = true;
    for (const auto &a : alphas) {
        const std::vector<unsigned char> bytes = Alpha(a.w, a.h, a.shape);
        ok &= mkdata::WriteFile(ctx, a.file, bytes.data(), bytes.size());
    }
    return ok;
}

// The star gate's edge: bands of one palette ramp (at 16 + 32 ramp) that
// swirl about the middle, a different turn for each state.
vt_pixelmap *GateEdge(int ramp, double turn, vt_pixelmap *palette, const char *name) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 64, 64, nullptr, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            const double dx = (x + 0.5) / 32 - 1, dy = (y + 0.5) / 32 - 1;
            const double r = Radius(dx, dy), a = std::atan2(dy, dx);
            const double band = 0.5 + 0.5 * std::sin(a * 3 + r * 10 * turn);
            const int level = int(std::fmin(31.0, 8 + 23 * band * std::fmax(0.0, 1 - std::fabs(r - 0.6) * 1.5)));
            VtPixelmapPixelSet(pm, x, y, vt_uint_32(16 + 32 * ramp + level));
        }
    pm->map = palette;
    pm->identifier = VtResStrDup(pm, name);
    return pm;
}

bool SaveModel(const mkdata::Context &ctx, const char *rel, vt_model *m) {
    if (!m || VtModelSave(mkdata::OutPath(ctx, rel).c_str(), m) != 1) {
        std::fprintf(stderr, "mkdata: cannot write %s\n", rel);
        return false;
    }
    VtModelFree(m);
    return true;
}

bool WriteGate(const mkdata::Context &ctx) {
    const std::string palPath = mkdata::OutPath(ctx, "vantor/dat/tovstdbr.pal");
    vt_pixelmap *palette = VtPixelmapLoad(palPath.c_str());
    vt_pixelmap *shade = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 64, nullptr, VT_PMAF_NO_PIXELS);
    if (!palette || !shade) return false;
    shade->identifier = VtResStrDup(shade, "tovstd.tab");
    // Blue, green, yellow and magenta for the four states; each edge texture
    // also under the name 3D-card mode asks for.
    const int ramps[4] = {3, 2, 4, 6};
    const double turns[4] = {0.6, 1.0, 1.4, 0.3};
    bool ok = true;
    for (int i = 0; i < 4; i++) {
        const std::string file = "gate" + std::to_string(i + 1) + "e.pix",
                          card = "gate" + std::to_string(i + 1) + "_.pix";
        vt_pixelmap *edge = GateEdge(ramps[i], turns[i], palette, file.c_str());
        ok &= VtPixelmapSave(mkdata::OutPath(ctx, "vantor/dat/" + file).c_str(), edge) == 1;
        edge->identifier = VtResStrDup(edge, card.c_str());
        ok &= VtPixelmapSave(mkdata::OutPath(ctx, "vantor/dat/" + card).c_str(), edge) == 1;
        edge->identifier = VtResStrDup(edge, file.c_str());
        // A glowing, two-sided sheet, not lit by the scene.
        const std::string name = "GateEdge" + std::to_string(i + 1);
        vt_material *m = VtMaterialAllocate(name.c_str());
        m->flags = VT_MATF_TWO_SIDED | VT_MATF_PERSPECTIVE | VT_MATF_SMOOTH;
        m->ka = 1.0f;
        m->kd = 0.0f;
        m->colour_map = edge;
        m->index_shade = shade;
        ok &= VtMaterialSave(mkdata::OutPath(ctx, "vantor/dat/" + name).c_str(), m) == 1;
        // The gate itself starts as it shows in its idle state.
        if (i == 3) {
            m->identifier = VtResStrDup(m, "StarGate");
            ok &= VtMaterialSave(mkdata::OutPath(ctx, "vantor/dat/StarGate").c_str(), m) == 1;
        }
        VtMaterialFree(m);
        edge->map = nullptr;
        VtPixelmapFree(edge);
    }
    VtPixelmapFree(shade);
    VtPixelmapFree(palette);
    return ok;
}

// A small beacon (an octahedron) as the modelling package exports it.
std::string BeaconMesh() {
    const int p[6][3] = {{0, 40, 0}, {25, 0, 0}, {0, 0, 25}, {-25, 0, 0}, {0, 0, -25}, {0, -40, 0}};
    const int f[8][3] = {{0, 2, 1}, {0, 3, 2}, {0, 4, 3}, {0, 1, 4}, {5, 1, 2}, {5, 2, 3}, {5, 3, 4}, {5, 4, 1}};
    std::string s =
        "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\r\n\r\n"
        "Named object: \"Beacon\"\r\nTri-mesh, Vertices: 6     Faces: 8\r\nVertex list:\r\n";
    char line[160];
    for (int i = 0; i < 6; i++) {
        std::snprintf(line, sizeof line, "Vertex %d:  X: %d     Y: %d     Z: %d     U: %.2f     V: %.2f\r\n", i,
                      p[i][0], p[i][1], p[i][2], 0.5 + p[i][0] / 50.0, 0.5 - p[i][1] / 80.0);
        s += line;
    }
    s += "Face list:\r\n";
    for (int i = 0; i < 8; i++) {
        std::snprintf(line, sizeof line, "Face %d:    A:%d B:%d C:%d AB:1 BC:1 CA:1\r\nMaterial:\"%s\"\r\n", i, f[i][0],
                      f[i][1], f[i][2], i < 4 ? "laser_tex_navy" : "laser_tex_orange");
        s += line;
        s += i < 4 ? "Smoothing:  1\r\n" : "Smoothing:  2, 18\r\n";
    }
    s += "\r\nDirect light\r\nPosition:  X: 100 Y: 200 Z: -100\r\nLight color:  Red=1 Green=1 Blue=1\r\n"
         "\r\nCamera (35.0mm)\r\nPosition:  X: 0 Y: 0 Z: -300\r\nTarget  X: 0 Y: 0 Z: 0\r\nBank angle: 0 degrees\r\n";
    return s;
}

// The material broken hulls show inside; the break gives it its texture
// the first time it is used.
bool WriteCarbon(const mkdata::Context &ctx) {
    vt_material *m = VtMaterialAllocate("carbon");
    if (!m) return false;
    m->flags = VT_MATF_LIT | VT_MATF_SMOOTH;
    m->ka = 0.1f;
    m->kd = 0.6f;
    m->ks = 0.1f;
    m->power = 20;
    m->index_base = 16;
    m->index_range = 31;
    const bool ok = VtMaterialSave(mkdata::OutPath(ctx, "vantor/dat/carbon").c_str(), m) == 1;
    VtMaterialFree(m);
    return ok;
}

bool WriteLibraryScene(const mkdata::Context &ctx) {
    if (VtBegin() != VT_E_OK) return false;
    bool ok = WriteAlphas(ctx);
    ok &= SaveModel(ctx, "vantor/dat/gasshell.dat", GasShell().Model("gasshell", 1));
    std::vector<unsigned char> classes;
    const Mesh triball = Triball(classes);
    ok &= SaveModel(ctx, "vantor/dat/triball.dat", triball.Model("triball", 1));
    ok &= mkdata::WriteFile(ctx, "vantor/dat/triballind.dat", classes.data(), classes.size());
    ok &= WriteGate(ctx);
    ok &= WriteCarbon(ctx);
    ok &= mkdata::WriteFile(ctx, "vek/resource/shapes/beacon.asc", BeaconMesh());
    VtEnd();
    return ok;
}

}  // namespace

static mkdata::Generator gLibraryScene("31-vantor-scene", WriteLibraryScene);
