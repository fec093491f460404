// The LightWave shapes the game opens by name: the sample ships, the
// station, the freight depot and the jump gate the mission scripts place, the four cockpit panels, the three
// flare shells, the sun and the wireframe pane's test shape; the start-up
// script's wreck, antimatter ball, rock and the two HUD wireframes; the hull
// left behind and the command section that leaves it when a ship separates; the
// drone of the sixth mission. File units, y
// up, z ahead (one unit is 100 world units); every polygon faces out.
#include <cmath>
#include <initializer_list>
#include <string>

#include "data/lwob/lwob.h"
#include "mkdata.h"

namespace {

using lwob::Object;
using lwob::Surface;

constexpr float kPi = 3.14159265358979f;

Surface Paint(const char *name, int r, int g, int b, int flags = -1) {
    Surface s;
    s.name = name;
    s.colour[0] = uint8_t(r);
    s.colour[1] = uint8_t(g);
    s.colour[2] = uint8_t(b);
    s.flags = flags;
    return s;
}

Surface Glow(const char *name, int r, int g, int b) {
    Surface s = Paint(name, r, g, b);
    s.luminosity = 220;
    return s;
}

// A surface textured with a picture of the texture folders, mapped by the
// named LightWave mapping along one axis (1 X, 2 Y, 4 Z).
Surface Textured(const char *name, const char *picture, const char *mapping, int axis, lwob::Point centre,
                 lwob::Point size, float wrapWidth = -1, float wrapHeight = -1, int flags = 0x4) {
    Surface s = Paint(name, 180, 180, 190, flags);
    s.image = std::string("vek\\resource\\art\\textures\\ships\\") + picture + ".iff";
    s.mapping = mapping;
    s.textureFlags = axis;
    s.writeTextureBox = true;
    s.textureCentre = centre;
    s.textureSize = size;
    s.wrapWidth = wrapWidth;
    s.wrapHeight = wrapHeight;
    return s;
}

Object Scaled(Object o, float sx, float sy, float sz) {
    for (lwob::Point &p : o.points) p = {p.x * sx, p.y * sy, p.z * sz};
    return o;
}

Object Moved(Object o, float dx, float dy, float dz) {
    o.Move(dx, dy, dz);
    return o;
}

// A ring of `segments` x `sides` quads round the y axis (radius R, tube
// radius r), each facing away from the tube's centre line.
Object Torus(int segments, int sides, float R, float r, const Surface &surface) {
    Object o;
    const int16_t s = o.AddSurface(surface);
    for (int i = 0; i < segments; ++i)
        for (int j = 0; j < sides; ++j) {
            const float a = 2 * kPi * float(i) / float(segments), b = 2 * kPi * float(j) / float(sides);
            const float d = R + r * std::cos(b);
            o.AddPoint(d * std::cos(a), r * std::sin(b), d * std::sin(a));
        }
    auto at = [&](int i, int j) { return uint16_t((i % segments) * sides + (j % sides)); };
    for (int i = 0; i < segments; ++i)
        for (int j = 0; j < sides; ++j) {
            const uint16_t p0 = at(i, j), p1 = at(i, j + 1), p2 = at(i + 1, j + 1), p3 = at(i + 1, j);
            const lwob::Point a = o.points[p0], b = o.points[p1], c = o.points[p2];
            const float ang = 2 * kPi * (float(i) + 0.5f) / float(segments);
            const lwob::Point centre = {R * std::cos(ang), 0, R * std::sin(ang)};
            const lwob::Point u = {b.x - a.x, b.y - a.y, b.z - a.z}, v = {c.x - a.x, c.y - a.y, c.z - a.z};
            const lwob::Point n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
            const float out = n.x * (a.x - centre.x) + n.y * (a.y - centre.y) + n.z * (a.z - centre.z);
            if (out >= 0) o.AddPolygon({p0, p1, p2, p3}, s);
            else o.AddPolygon({p0, p3, p2, p1}, s);
        }
    return o;
}

// A cube of n x n quads a face, its points pushed onto the sphere of the
// radius.
Object QuadSphere(int n, float radius, const Surface &surface) {
    Object o;
    const int16_t s = o.AddSurface(surface);
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            const uint16_t base = uint16_t(o.points.size());
            for (int i = 0; i <= n; ++i)
                for (int j = 0; j <= n; ++j) {
                    float c[3];
                    c[axis] = float(sign);
                    c[(axis + 1) % 3] = -1 + 2 * float(i) / float(n);
                    c[(axis + 2) % 3] = -1 + 2 * float(j) / float(n);
                    const float l = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
                    o.AddPoint(c[0] / l * radius, c[1] / l * radius, c[2] / l * radius);
                }
            auto at = [&](int i, int j) { return uint16_t(base + i * (n + 1) + j); };
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    // (i, j) runs along axes +1 and +2: their cross product is the
                    // face's own axis, outward for sign +1.
                    if (sign > 0) o.AddPolygon({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}, s);
                    else o.AddPolygon({at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)}, s);
                }
        }
    return o;
}

const Surface kCorvHull = Textured("CorvHull", "corvhull", "Cylindrical Image Map", 4, {0, 0, 2}, {6, 6, 28}, 2),
              kCorvCanopy = Paint("c_CorvCanopy", 50, 70, 140, 0x4), kCorvGlow = Glow("CorvGlow", 90, 170, 255);

// The corvette without its head: the body, the wings and the engine pods.
Object CorvetteBody() {
    const Surface pod = Textured("CorvPod", "corvhull", "Planar Image Map", 2, {0, 0, -9}, {20, 1, 10}),
                  trim = Paint("c_CorvTrim", 190, 50, 40);
    Object o = lwob::Tube(8, -12, 3, 10, 2.2f, kCorvHull);
    o.Append(lwob::Box({-13, -0.4f, -8}, {-3, 0.4f, 2}, trim));
    o.Append(lwob::Box({3, -0.4f, -8}, {13, 0.4f, 2}, trim));
    for (float x : {-8.0f, 8.0f}) {
        o.Append(Moved(lwob::Tube(6, -14, 1.3f, -4, 1.3f, pod), x, 0, 0));
        o.Append(lwob::Box({x - 0.8f, -0.8f, -14.6f}, {x + 0.8f, 0.8f, -14}, kCorvGlow));
    }
    return o;
}

// The plan-view maps the flat far model shows from above and below: two
// small hull-coloured plates on the body's rear cap, facing back.
Object IndexPlates() {
    const Surface top = Textured("INDEX_TOP", "corvhull", "Planar Image Map", 2, {0, 0, 0}, {26, 1, 32}),
                  bottom = Textured("INDEX_BOT", "corvhull", "Planar Image Map", 2, {0, 0, 0}, {26, 1, 32});
    Object o = Moved(lwob::Plate(0.5f, 0.5f, top), 0, 0.5f, -12.05f);
    o.Append(Moved(lwob::Plate(0.5f, 0.5f, bottom), 0, -0.5f, -12.05f));
    return o;
}

Object Corvette() {
    Object o = CorvetteBody();
    o.Append(lwob::Tube(8, 10, 2.2f, 16, 0, kCorvHull, false));
    o.Append(lwob::Box({-1.2f, 2, 2}, {1.2f, 3.2f, 7}, kCorvCanopy));
    o.Append(IndexPlates());
    return o;
}

// The corvette at middle distance: a four-sided body, flat wings and pods
// of four sides, no canopy.
Object CorvetteLow() {
    const Surface trim = Paint("c_CorvTrim", 190, 50, 40);
    Object o = lwob::Tube(4, -12, 3, 10, 2.2f, kCorvHull);
    o.Append(lwob::Tube(4, 10, 2.2f, 16, 0, kCorvHull, false));
    o.Append(lwob::Box({-13, -0.4f, -8}, {13, 0.4f, 2}, trim));
    for (float x : {-8.0f, 8.0f}) o.Append(Moved(lwob::Tube(4, -14, 1.3f, -4, 1.3f, kCorvHull), x, 0, 0));
    return o;
}

// The command section: the corvette's nose and canopy on a short body of
// its own, its port at the back (0, -1, -13), and stub wings out to the two
// navigation lights at x +-9.05, z -15.
Object CommandSection() {
    const Surface trim = Paint("c_CorvTrim", 190, 50, 40);
    Object o = lwob::Tube(8, -13, 2.2f, -5, 2.2f, kCorvHull);
    o.Append(lwob::Tube(8, -5, 2.2f, 1, 0, kCorvHull, false));
    o.Append(lwob::Box({-1.2f, 2, -11}, {1.2f, 3.2f, -6}, kCorvCanopy));
    o.Append(lwob::Box({-9.3f, -0.3f, -15.3f}, {-2.2f, 0.3f, -4}, trim));
    o.Append(lwob::Box({2.2f, -0.3f, -15.3f}, {9.3f, 0.3f, -4}, trim));
    return o;
}

Object Raider() {
    const Surface hull = Textured("RaidHull", "raidhull", "Cylindrical Image Map", 4, {0, 0, 2}, {10, 4, 24}, 1),
                  fin = Paint("c_RaidFin", 230, 130, 40),
                  glow = Glow("RaidGlow", 255, 120, 60);
    // A round hull of 18 sides: enough vertices for the hull emitters.
    Object o = Scaled(lwob::Tube(18, -10, 5, 14, 0, hull), 1, 0.35f, 1);
    o.Append(lwob::Box({-6, -0.3f, -10}, {-5, 4, -4}, fin));
    o.Append(lwob::Box({5, -0.3f, -10}, {6, 4, -4}, fin));
    o.Append(lwob::Box({-1.5f, -0.8f, -10.5f}, {1.5f, 0.8f, -10}, glow));
    return o;
}

Object Station() {
    const Surface hub = Textured("StatHub", "stathull", "Spherical Image Map", 2, {0, 0, 0}, {80, 80, 80}, 4, 2),
                  ring = Textured("StatRing", "stathull", "Cylindrical Image Map", 2, {0, 0, 0}, {240, 16, 240}, 8),
                  spoke = Paint("c_StatSpoke", 100, 100, 110), lights = Glow("StatLights", 255, 230, 120);
    Object o = lwob::Sphere(8, 12, 40, hub);
    o.Append(Torus(24, 8, 120, 8, ring));
    for (int i = 0; i < 4; ++i) {
        const bool alongX = i % 2 == 0;
        const float sign = i < 2 ? 1.0f : -1.0f;
        const lwob::Point lo =
            alongX ? lwob::Point{sign > 0 ? 38.0f : -114, -3, -3} : lwob::Point{-3, -3, sign > 0 ? 38.0f : -114};
        const lwob::Point hi =
            alongX ? lwob::Point{sign > 0 ? 114.0f : -38, 3, 3} : lwob::Point{3, 3, sign > 0 ? 114.0f : -38};
        o.Append(lwob::Box(lo, hi, spoke));
    }
    o.Append(lwob::Box({-6, 38, -6}, {6, 52, 6}, lights));
    return o;
}

// The freight depot: a box hub with an arm out to each side and a docking
// collar at the end of each arm, where its two ports are.
Object Depot() {
    const Surface hub = Textured("DepHub", "stathull", "Planar Image Map", 2, {0, 0, 0}, {60, 60, 60}, 4),
                  arm = Paint("c_DepArm", 110, 105, 95), collar = Glow("DepCollar", 255, 200, 90);
    Object o = lwob::Box({-30, -24, -30}, {30, 24, 30}, hub);
    o.Append(lwob::Box({30, -5, -5}, {66, 5, 5}, arm));
    o.Append(lwob::Box({-66, -5, -5}, {-30, 5, 5}, arm));
    o.Append(lwob::Box({66, -9, -9}, {70, 9, 9}, collar));
    o.Append(lwob::Box({-70, -9, -9}, {-66, 9, 9}, collar));
    return o;
}

// The jump gate: a broad ring standing across its z axis, lit round its
// inner edge, with four pylons; a ship passes through it along z.
Object Gate() {
    const Surface ring = Paint("c_GateRing", 120, 125, 140), rim = Glow("GateRim", 120, 200, 255);
    Object o = Torus(32, 8, 300, 24, ring);
    o.Append(Torus(32, 6, 272, 4, rim));
    // Turned a quarter about x: the ring stands across z.
    for (lwob::Point &p : o.points) p = {p.x, -p.z, p.y};
    for (int i = 0; i < 4; ++i) {
        const float a = float(i) * kPi / 2;
        const float x = 330 * std::cos(a), y = 330 * std::sin(a);
        o.Append(lwob::Box({x - 12, y - 12, -40}, {x + 12, y + 12, 40}, ring));
    }
    return o;
}

// A cockpit panel for the 3D card, in 640 x 480 units (one a pixel, y up
// from the screen's middle): the band under the view, rows 336 to 479,
// textured with the stations' steel console, so that the card's cockpit
// looks as the other modes' does and leaves the view (and the HUD's corner
// marks in it) clear. It is self-lit, so that the cockpit's light neither
// darkens it nor washes it out.
Object Panel(const char *name) {
    Surface s = Textured(name, "console", "Planar Image Map", 4, {0, -168, 2}, {640, 144, 4});
    s.luminosity = 220;
    return lwob::Box({-320, -240, 0}, {320, -96, 4}, s);
}

// The munitions launchers fire, about 12 world units across the fins:
// the seeker missile with its tail fins and glowing motor (its nav lights sit
// at z -6.5 and -24), the longer LDS interdictor, the recon probe (a ball
// with an antenna and a dish) and the spiked mine.
Object Missile(const char *body, int r, int g, int b) {
    const Surface hull = Paint(body, r, g, b), fin = Paint("c_MissileFin", 200, 200, 210),
                  motor = Glow("MissileMotor", 255, 160, 60);
    Object o = lwob::Tube(8, -6, 0.8f, 4, 0.8f, hull);
    o.Append(lwob::Tube(8, 4, 0.8f, 7, 0, hull, false));
    o.Append(lwob::Box({-2.4f, -0.1f, -6}, {-0.8f, 0.1f, -3.5f}, fin));
    o.Append(lwob::Box({0.8f, -0.1f, -6}, {2.4f, 0.1f, -3.5f}, fin));
    o.Append(lwob::Box({-0.1f, 0.8f, -6}, {0.1f, 2.4f, -3.5f}, fin));
    o.Append(lwob::Box({-0.1f, -2.4f, -6}, {0.1f, -0.8f, -3.5f}, fin));
    o.Append(lwob::Box({-0.5f, -0.5f, -6.4f}, {0.5f, 0.5f, -6}, motor));
    return o;
}

Object ReconProbe() {
    Object o = lwob::Sphere(6, 10, 2, Paint("ProbeShell", 170, 180, 200));
    o.Append(lwob::Box({-0.1f, 2, -0.1f}, {0.1f, 5, 0.1f}, Paint("c_ProbeMast", 220, 220, 220)));
    o.Append(lwob::Tube(10, 1.8f, 0.4f, 2.6f, 1.6f, Paint("ProbeDish", 230, 230, 240), false));
    o.Append(lwob::Box({-0.4f, -0.4f, -2.4f}, {0.4f, 0.4f, -1.9f}, Glow("ProbeLight", 120, 255, 120)));
    return o;
}

Object SpikyMine() {
    const Surface shell = Paint("SpikyShell", 80, 85, 95), spike = Glow("SpikyTip", 255, 70, 40);
    Object o = lwob::Sphere(5, 8, 2.5f, shell);
    for (int axis = 0; axis < 3; ++axis)
        for (float sign : {-1.0f, 1.0f}) {
            lwob::Point lo = {-0.4f, -0.4f, -0.4f}, hi = {0.4f, 0.4f, 0.4f};
            float *l = axis == 0 ? &lo.x : axis == 1 ? &lo.y : &lo.z, *h = axis == 0 ? &hi.x : axis == 1 ? &hi.y : &hi.z;
            *l = sign > 0 ? 2 : -4.5f;
            *h = sign > 0 ? 4.5f : -2;
            o.Append(lwob::Box(lo, hi, spike));
        }
    return o;
}

// A hit-box companion: each box twelve triangles of eight corners of its
// own (no corner shares two coordinates with another box's, or the two
// would read as one), on a surface naming its ship subsystem ("SYS_n"),
// or a negative box ("NEG...").
struct HitBoxSpec {
    lwob::Point low, high;
    const char *surface;
};
Object HitBoxes(std::initializer_list<HitBoxSpec> boxes) {
    Object o;
    for (const HitBoxSpec &b : boxes) o.Append(lwob::BoxTriangles(b.low, b.high, Paint(b.surface, 255, 255, 255)));
    return o;
}

Object CorvetteBoxes() {
    return HitBoxes({
        {{-3, -3, -12}, {3, 3, 16}, "Hull"},
        {{-13, -0.4f, -8}, {-3.05f, 0.4f, 2}, "SYS_1"},
        {{3.05f, -0.41f, -8.01f}, {13, 0.41f, 2.01f}, "SYS_1"},
        {{-9.3f, -1.3f, -14}, {-6.7f, 1.3f, -4}, "SYS_2"},
        {{6.69f, -1.31f, -14.01f}, {9.31f, 1.31f, -4.01f}, "SYS_3"},
    });
}

Object CorvetteBodyBoxes() {
    return HitBoxes({
        {{-3, -3, -12}, {3, 3, 10}, "Hull"},
        {{-13, -0.4f, -8}, {-3.05f, 0.4f, 2}, "SYS_1"},
        {{3.05f, -0.41f, -8.01f}, {13, 0.41f, 2.01f}, "SYS_1"},
        {{-9.3f, -1.3f, -14}, {-6.7f, 1.3f, -4}, "SYS_2"},
        {{6.69f, -1.31f, -14.01f}, {9.31f, 1.31f, -4.01f}, "SYS_3"},
    });
}

Object CommandSectionBoxes() {
    return HitBoxes({
        {{-2.2f, -2.2f, -13}, {2.2f, 3.2f, 1}, "Hull"},
        {{-9.3f, -0.3f, -15.3f}, {-2.25f, 0.3f, -4}, "SYS_1"},
        {{2.25f, -0.31f, -15.31f}, {9.31f, 0.31f, -4.01f}, "SYS_1"},
    });
}

Object RaiderBoxes() {
    return HitBoxes({
        {{-5, -1.75f, -10}, {5, 1.75f, 14}, "Hull"},
        {{-6, -0.3f, -10.1f}, {-5.05f, 4, -4}, "SYS_1"},
        {{5.05f, -0.31f, -10.2f}, {6, 4.01f, -4.01f}, "SYS_1"},
    });
}

// A lumpy rock: a sphere whose points each move in or out along their own
// direction by a fixed pseudo-random share of the radius.
Object Bumpy(Object o, int seed, float amount) {
    for (size_t i = 0; i < o.points.size(); ++i) {
        const uint32_t h = (uint32_t(i) * 2654435761u) ^ (uint32_t(seed) * 40503u);
        const float k = 1.0f + amount * (float(h % 1000u) / 500.0f - 1.0f);
        lwob::Point &p = o.points[i];
        p = {p.x * k, p.y * k, p.z * k};
    }
    return o;
}

// The mine: a ball with six spikes along the axes.
Object Mine() {
    const Surface shell = Paint("MineShell", 90, 90, 100), spike = Glow("MineSpike", 255, 60, 40);
    Object o = lwob::Sphere(5, 8, 3, shell);
    o.Append(lwob::Box({-0.5f, -0.5f, 2.5f}, {0.5f, 0.5f, 5}, spike));
    o.Append(lwob::Box({-0.5f, -0.5f, -5}, {0.5f, 0.5f, -2.5f}, spike));
    o.Append(lwob::Box({2.5f, -0.5f, -0.5f}, {5, 0.5f, 0.5f}, spike));
    o.Append(lwob::Box({-5, -0.5f, -0.5f}, {-2.5f, 0.5f, 0.5f}, spike));
    o.Append(lwob::Box({-0.5f, 2.5f, -0.5f}, {0.5f, 5, 0.5f}, spike));
    o.Append(lwob::Box({-0.5f, -5, -0.5f}, {0.5f, -2.5f, 0.5f}, spike));
    return o;
}

// The drone: a small round hull with four fins and an engine glow; about
// 500 world units across.
Object Drone() {
    const Surface hull = Textured("DroneHull", "raidhull", "Spherical Image Map", 2, {0, 0, 0}, {8, 8, 8}, 2, 1),
                  fin = Paint("c_DroneFin", 200, 200, 60), glow = Glow("DroneGlow", 255, 90, 40);
    Object o = lwob::Sphere(6, 8, 2.5f, hull);
    o.Append(lwob::Box({-5, -0.15f, -2}, {-2.2f, 0.15f, 0.5f}, fin));
    o.Append(lwob::Box({2.2f, -0.15f, -2}, {5, 0.15f, 0.5f}, fin));
    o.Append(lwob::Box({-0.15f, 2.2f, -2}, {0.15f, 4, 0.5f}, fin));
    o.Append(lwob::Box({-0.15f, -4, -2}, {0.15f, -2.2f, 0.5f}, fin));
    o.Append(lwob::Box({-0.8f, -0.8f, -2.9f}, {0.8f, 0.8f, -2.3f}, glow));
    return o;
}

Object DroneBoxes() {
    return HitBoxes({
        {{-2.5f, -2.5f, -2.9f}, {2.5f, 2.5f, 2.5f}, "Hull"},
        {{-5, -0.15f, -2.01f}, {-2.55f, 0.15f, 0.5f}, "SYS_1"},
        {{2.56f, -0.16f, -2.02f}, {5.01f, 0.16f, 0.51f}, "SYS_1"},
    });
}

bool Write(const mkdata::Context &ctx, const char *name, const Object &o) {
    return lwob::Save(mkdata::OutPath(ctx, std::string("vek/resource/shapes/") + name), o);
}

// A sky backdrop: a sphere for the shape and a grid of the same points
// carrying the galaxy picture, mapped round the y axis. The game fits the
// grid to the sphere, turns it inside out and draws it round the viewer.
// Both carry the same mapping: the loader splits the points along the
// picture's seam, and the pair must keep one point count.
bool WriteBackdrop(const mkdata::Context &ctx, const char *name, const char *picture) {
    const std::string stem = name;
    Surface grid = Textured((stem + "Sky").c_str(), picture, "Spherical Image Map", 2, {0, 0, 0}, {2, 2, 2}, 1, 1, 0x100);
    grid.luminosity = 256;
    return Write(ctx, (stem + "Sphere.lwo").c_str(), lwob::Sphere(12, 24, 1, grid)) &&
           Write(ctx, (stem + "Grid.lwo").c_str(), lwob::Sphere(12, 24, 1, grid));
}

bool WriteShapes(const mkdata::Context &ctx) {
    bool ok = Write(ctx, "corvette.lwo", Corvette());
    ok &= Write(ctx, "corvette_BOX.lwo", CorvetteBoxes());
    ok &= Write(ctx, "corvette_LOW.lwo", CorvetteLow());
    ok &= Write(ctx, "raider.lwo", Raider());
    ok &= Write(ctx, "raider_BOX.lwo", RaiderBoxes());
    ok &= Write(ctx, "station.lwo", Station());
    ok &= Write(ctx, "depot.lwo", Depot());
    ok &= Write(ctx, "gate.lwo", Gate());
    ok &= Write(ctx, "drone.lwo", Drone());
    ok &= Write(ctx, "drone_BOX.lwo", DroneBoxes());
    ok &= Write(ctx, "corvasm_sanshead.lwo", CorvetteBody());
    ok &= Write(ctx, "corvasm_sanshead_BOX.lwo", CorvetteBodyBoxes());
    ok &= Write(ctx, "command_rto.lwo", CommandSection());
    ok &= Write(ctx, "command_rto_BOX.lwo", CommandSectionBoxes());
    ok &= Write(ctx, "PanelCmd.lwo", Panel("c_PanelCmd"));
    ok &= Write(ctx, "PanelNav.lwo", Panel("c_PanelNav"));
    ok &= Write(ctx, "PanelWep.lwo", Panel("c_PanelWep"));
    ok &= Write(ctx, "PanelEng.lwo", Panel("c_PanelEng"));
    ok &= Write(ctx, "ShieldFlare_rto.lwo",
                Scaled(lwob::Sphere(6, 12, 1, Paint("ShieldFlare", 140, 140, 255, 0x4)), 1, 1, 0.6f));
    ok &= Write(ctx, "CapsFlare_rto.lwo",
                lwob::Tube(10, -1.5f, 0.6f, 1.5f, 0.6f, Paint("CapsFlare", 255, 200, 120, 0x4)));
    ok &= Write(ctx, "PocketFlare_rto.lwo", lwob::Sphere(6, 12, 1, Paint("PocketFlare", 255, 120, 60, 0x4)));
    ok &= Write(ctx, "quadsuntest.lwo", QuadSphere(4, 1, Glow("Sun", 255, 220, 120)));
    ok &= Write(ctx, "Test_WRI.lwo", Corvette());
    Object corpse = lwob::Box({-3, -2, -10}, {3, 2, 6}, Paint("Scorched", 70, 60, 55));
    corpse.Append(lwob::Box({3.5f, -0.5f, -7}, {10, 0.5f, 0}, Paint("Scorched", 70, 60, 55)));
    ok &= Write(ctx, "corpse.lwo", corpse);
    ok &= Write(ctx, "amatter.lwo", lwob::Sphere(6, 12, 2, Glow("AntiMatter", 200, 120, 255)));
    ok &= Write(ctx, "rock.lwo", Scaled(lwob::Sphere(5, 8, 10, Paint("Rock", 110, 100, 90)), 1.3f, 0.8f, 1));
    // The belts' asteroids in three sizes (the game scales each to its
    // class's radius) and the field mine, with their hit boxes.
    ok &= Write(ctx, "SmallAsteroidBumpy.lwo", Bumpy(lwob::Sphere(6, 10, 10, Paint("Rock", 120, 105, 90)), 1, 0.25f));
    ok &= Write(ctx, "SmallAsteroidBumpy_BOX.lwo", HitBoxes({{{-9, -9, -9}, {9, 9, 9}, "Hull"}}));
    ok &= Write(ctx, "MediumAsteroidBumpy.lwo",
                Scaled(Bumpy(lwob::Sphere(7, 12, 10, Paint("Rock", 100, 95, 85)), 2, 0.3f), 1.2f, 0.8f, 1));
    ok &= Write(ctx, "MediumAsteroidBumpy_BOX.lwo", HitBoxes({{{-11, -7, -9}, {11, 7, 9}, "Hull"}}));
    ok &= Write(ctx, "LargeAsteroid_RTO.lwo",
                Scaled(Bumpy(lwob::Sphere(8, 14, 10, Paint("DarkRock", 80, 75, 70)), 3, 0.2f), 1.4f, 0.9f, 1.1f));
    ok &= Write(ctx, "LargeAsteroid_RTO_BOX.lwo", HitBoxes({{{-13, -8, -10}, {13, 8, 10}, "Hull"}}));
    ok &= Write(ctx, "newmine2.lwo", Mine());
    ok &= Write(ctx, "newmine2_BOX.lwo", HitBoxes({{{-3, -3, -3}, {3, 3, 3}, "Hull"}}));
    ok &= Write(ctx, "zmhud.lwo", lwob::Plate(20, 20, Paint("ZoomHud", 0, 255, 0)));
    ok &= WriteBackdrop(ctx, "BlueGal2", "bluegal2");
    ok &= WriteBackdrop(ctx, "MetalakeGal", "metalake");
    ok &= Write(ctx, "fihud.lwo", lwob::Tube(12, -1, 8, 1, 8, Paint("FireHud", 255, 200, 0), false));
    // The launchers' munitions, each with its hit box.
    ok &= Write(ctx, "missile.lwo", Missile("MissileHull", 210, 210, 200));
    ok &= Write(ctx, "missile_BOX.lwo", HitBoxes({{{-0.8f, -0.8f, -6.4f}, {0.8f, 0.8f, 7}, "Hull"}}));
    ok &= Write(ctx, "missile_LDSI.lwo", Scaled(Missile("LdsiHull", 90, 200, 120), 1.2f, 1.2f, 1.6f));
    ok &= Write(ctx, "missile_LDSI_BOX.lwo", HitBoxes({{{-1, -1, -10.3f}, {1, 1, 11.2f}, "Hull"}}));
    ok &= Write(ctx, "reconprobe.lwo", ReconProbe());
    ok &= Write(ctx, "reconprobe_BOX.lwo", HitBoxes({{{-2, -2, -2.4f}, {2, 2, 2.6f}, "Hull"}}));
    ok &= Write(ctx, "SpikyMine.lwo", SpikyMine());
    ok &= Write(ctx, "SpikyMine_BOX.lwo", HitBoxes({{{-2.5f, -2.5f, -2.5f}, {2.5f, 2.5f, 2.5f}, "Hull"}}));
    return ok;
}

mkdata::Generator gShapes("35-shapes", WriteShapes);

}  // namespace

#include "scenes.h"

lwob::Object mkdata::SampleShape(const char *name) {
    const std::string n = name;
    if (n == "raider") return Raider();
    if (n == "station") return Station();
    return Corvette();
}
