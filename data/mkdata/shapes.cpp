// The LightWave shapes the game opens by name: the sample ships, the
// station, the freight depot and the jump gate the mission scripts place, the four cockpit panels, the three
// flare shells, the sun and the wireframe pane's test shape; the start-up
// script's wreck, antimatter ball, rock and the two HUD wireframes; the hull
// left behind and the command section that leaves it when a ship separates; the
// drone of the sixth mission. File units, y
// up, z ahead (one unit is 100 world units); every polygon faces out.
#include <algorithm>
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

// The shape with its axes dealt out anew: the new x, y and z are the old
// axes ax, ay and az (0 x, 1 y, 2 z). An odd deal mirrors the shape, so its
// polygons turn round to keep facing out.
Object Turned(Object o, int ax, int ay, int az) {
    for (lwob::Point &p : o.points) {
        const float c[3] = {p.x, p.y, p.z};
        p = {c[ax], c[ay], c[az]};
    }
    const bool even = (ax == 0 && ay == 1) || (ax == 1 && ay == 2) || (ax == 2 && ay == 0);
    if (!even)
        for (lwob::Polygon &poly : o.polygons) std::reverse(poly.points.begin() + 1, poly.points.end());
    return o;
}

// The shape's mirror image across x = 0, still facing out.
Object MirroredX(Object o) {
    for (lwob::Point &p : o.points) p.x = -p.x;
    for (lwob::Polygon &poly : o.polygons) std::reverse(poly.points.begin() + 1, poly.points.end());
    return o;
}

// The shape and its mirror image across x = 0.
Object BothSides(const Object &o) {
    Object both = o;
    both.Append(MirroredX(o));
    return both;
}

// A wing or a fin, lofted from root to tip along z: at each station its
// chord runs along x from `trail` to `lead` with a half-thickness; its
// section is a flat hexagon, thick along the middle of the chord.
struct Chord {
    float span, trail, lead, thickness;
};
Object Blade(std::initializer_list<Chord> chords, const Surface &surface) {
    std::vector<lwob::Section> sections;
    // The hexagon's corners sit at cos 30 of its half-width.
    for (const Chord &c : chords)
        sections.push_back({c.span, (c.lead + c.trail) / 2, 0, (c.lead - c.trail) / 2 / 0.866f, c.thickness});
    return lwob::Loft(6, sections, 0, surface);
}
// A blade as a wing out along +x, its chord along z, thick in y.
Object Wing(std::initializer_list<Chord> chords, const Surface &surface) {
    return Turned(Blade(chords, surface), 2, 1, 0);
}
// A blade as a fin up along +y, its chord along z, thick in x.
Object Fin(std::initializer_list<Chord> chords, const Surface &surface) {
    return Turned(Blade(chords, surface), 1, 2, 0);
}

// A round part along z (a pod, a barrel, a nozzle): sections of radius r.
struct Ring {
    float z, r;
};
Object Round(int sides, std::initializer_list<Ring> rings, const Surface &surface, float x = 0, float y = 0) {
    std::vector<lwob::Section> sections;
    for (const Ring &q : rings) sections.push_back({q.z, x, y, q.r, q.r});
    return lwob::Loft(sides, sections, 0, surface);
}

// A glowing drive nozzle: a shallow cone from a ring of radius r at z back
// to its point `depth` behind (negative: towards -z), open at the ring.
Object Nozzle(float z, float depth, float r, const Surface &surface, float x = 0, float y = 0) {
    return lwob::Loft(8, {{z, x, y, r, r}, {z + depth, x, y, 0, 0}}, 0, surface, false);
}

const Surface kCorvHull = Textured("CorvHull", "corvhull", "Cylindrical Image Map", 4, {0, 0, 2}, {6, 6, 28}, 2),
              kCorvCanopy = Paint("c_CorvCanopy", 50, 70, 140, 0x4), kCorvGlow = Glow("CorvGlow", 90, 170, 255),
              kCorvTrim = Paint("c_CorvTrim", 190, 50, 40), kCorvMetal = Paint("c_CorvMetal", 120, 124, 134, 0x4);

// The corvette's hull from its engine plate (z -12) to the nose's point
// (z 16): broadest over the wing roots, tapering into the nose; the body
// alone ends at z 10, where the command section's nose would join it.
std::vector<lwob::Section> CorvetteHullSections(bool head) {
    std::vector<lwob::Section> s = {
        {-12, 0, 0, 2.3f, 1.9f},  {-10.8f, 0, 0, 2.8f, 2.4f}, {-6, 0, 0.05f, 3, 2.65f},
        {2, 0, 0.1f, 2.9f, 2.6f}, {8, 0, 0, 2.3f, 2.1f},      {10, 0, 0, 2.1f, 1.9f},
    };
    if (head) {
        s.push_back({12.5f, 0, -0.1f, 1.6f, 1.3f});
        s.push_back({14.5f, 0, -0.2f, 0.9f, 0.7f});
        s.push_back({16, 0, -0.3f, 0, 0});
    }
    return s;
}

// The right wing, swept back from the hull to its tip (the navigation
// light's place, x 13, z -3), with an engine pod through it at x 8 and
// the pod's glowing nozzle.
Object CorvetteWing(const Surface &wing, const Surface &pod, const Surface &glow) {
    Object o = Wing({{2.6f, -8, 2, 0.4f}, {8, -7.5f, -0.5f, 0.35f}, {13, -6, -2.5f, 0.2f}}, wing);
    o.Append(Round(8, {{-14, 1}, {-13.4f, 1.3f}, {-6, 1.25f}, {-4.6f, 0.9f}, {-4, 0}}, pod, 8));
    o.Append(Nozzle(-14, -0.6f, 0.85f, glow, 8));
    return o;
}

// The right missile launcher, under the wing at x 6.
Object CorvetteLauncher() {
    return lwob::Loft(6, {{-6, 6, -0.8f, 0.55f, 0.4f}, {-0.6f, 6, -0.8f, 0.55f, 0.4f}, {0, 6, -0.8f, 0.3f, 0.2f}}, 0.7f,
                      kCorvMetal);
}

// The right beam cannon, beside the bridge and low on the hull: a housing
// and a barrel. It ends short of z 10: nearer the eye at the ship's centre
// than that, the cockpit's view does not reach, so the own guns stay out of
// it.
Object CorvetteCannon() {
    Object o = lwob::Loft(4, {{1.5f, 2.5f, -1.3f, 0.55f, 0.5f}, {6.5f, 2.45f, -1.3f, 0.5f, 0.45f}}, 0.6f, kCorvMetal);
    o.Append(Round(6, {{6.3f, 0.28f}, {9.5f, 0.22f}}, kCorvMetal, 2.4f, -1.3f));
    return o;
}

// Everything of the corvette but its hull and canopy: the wings with their
// pods, the launchers, the cannon and the main drive's nozzle.
Object CorvetteFittings() {
    const Surface pod = Textured("CorvPod", "corvhull", "Planar Image Map", 2, {0, 0, -9}, {20, 1, 10});
    Object o = BothSides(CorvetteWing(kCorvTrim, pod, kCorvGlow));
    o.Append(BothSides(CorvetteLauncher()));
    o.Append(BothSides(CorvetteCannon()));
    o.Append(Nozzle(-12, -0.6f, 1.2f, kCorvGlow));
    return o;
}

// The corvette without its head: the hull capped where the nose would join
// it, and its fittings.
Object CorvetteBody() {
    Object o = lwob::Loft(12, CorvetteHullSections(false), 0.25f, kCorvHull);
    o.Append(CorvetteFittings());
    return o;
}

// The plan-view maps the flat far model shows from above and below: two
// small hull-coloured plates behind the main drive's nozzle, facing back.
Object IndexPlates() {
    const Surface top = Textured("INDEX_TOP", "corvhull", "Planar Image Map", 2, {0, 0, 0}, {26, 1, 32}),
                  bottom = Textured("INDEX_BOT", "corvhull", "Planar Image Map", 2, {0, 0, 0}, {26, 1, 32});
    Object o = Moved(lwob::Plate(0.5f, 0.5f, top), 0, 0.5f, -12.65f);
    o.Append(Moved(lwob::Plate(0.5f, 0.5f, bottom), 0, -0.5f, -12.65f));
    return o;
}

// A glazed blister from z0 to z1 along a hull's back at height y.
Object Canopy(float z0, float z1, float y, float width, float height, const Surface &glass) {
    const float l = z1 - z0;
    return lwob::Loft(8,
                      {{z0, 0, y - 0.2f * height, 0, 0},
                       {z0 + 0.15f * l, 0, y, 0.75f * width, 0.65f * height},
                       {z0 + 0.5f * l, 0, y, width, height},
                       {z0 + 0.85f * l, 0, y - 0.2f * height, 0.6f * width, 0.5f * height},
                       {z1, 0, y - 0.45f * height, 0, 0}},
                      0, glass);
}

Object Corvette() {
    Object o = lwob::Loft(12, CorvetteHullSections(true), 0.25f, kCorvHull);
    o.Append(CorvetteFittings());
    o.Append(Canopy(1, 9.5f, 2.2f, 1.2f, 0.9f, kCorvCanopy));
    o.Append(IndexPlates());
    return o;
}

// The corvette at middle distance: the hull of six sides, flat wings,
// pods of six sides, no canopy.
Object CorvetteLow() {
    std::vector<lwob::Section> hull;
    for (const lwob::Section &q : CorvetteHullSections(true))
        if (q.z == -12 || q.z == -6 || q.z == 2 || q.z == 10 || q.z == 14.5f || q.z == 16) hull.push_back(q);
    Object o = lwob::Loft(6, hull, 0.25f, kCorvHull);
    o.Append(lwob::Box({-13, -0.3f, -7}, {13, 0.3f, 1}, kCorvTrim));
    for (float x : {-8.0f, 8.0f}) o.Append(Round(6, {{-14, 1.2f}, {-5, 1.2f}, {-4, 0}}, kCorvHull, x));
    return o;
}

// The command section: the corvette's nose and canopy on a short body of
// its own, its port at the back (0, -1, -13), and stub wings swept back to
// the two navigation lights at x +-9.05, z -15.
Object CommandSection() {
    Object o = lwob::Loft(12,
                          {{-13, 0, 0, 1.9f, 1.8f},
                           {-12, 0, 0, 2.2f, 2.1f},
                           {-5, 0, 0, 2.2f, 2.1f},
                           {-2, 0, -0.1f, 1.6f, 1.4f},
                           {0, 0, -0.2f, 0.8f, 0.7f},
                           {1, 0, -0.3f, 0, 0}},
                          0.25f, kCorvHull);
    o.Append(Canopy(-11.5f, -4.5f, 1.9f, 1.1f, 0.9f, kCorvCanopy));
    o.Append(BothSides(Wing({{2, -12, -4, 0.3f}, {9.3f, -15.3f, -12.5f, 0.15f}}, kCorvTrim)));
    o.Append(Nozzle(-13, -0.5f, 1, kCorvGlow));
    return o;
}

// The raider's hull: a flat arrowhead with a raised spine, from its
// engine plate (z -10) to the nose (z 14).
const std::vector<lwob::Section> kRaiderHull = {
    {-10, 0, 0, 4.6f, 1.1f}, {-8.5f, 0, 0, 5, 1.5f},         {-3, 0, 0.05f, 4.8f, 1.65f}, {3, 0, 0.05f, 3.6f, 1.45f},
    {8, 0, 0, 2.2f, 1},      {11.5f, 0, -0.05f, 1.1f, 0.6f}, {14, 0, -0.1f, 0, 0},
};
// A tail fin up from the hull's right edge, swept back to its tip at y 4.
Object RaiderFin(const Surface &fin) {
    return Moved(Fin({{-0.3f, -10, -4, 0.45f}, {4, -8, -6, 0.2f}}, fin), 5.5f, 0, 0);
}

// The raider: the hull (its navigation lights sit just off its edges, x
// +-4.8, z -2), a canopy amidships, two swept tail fins, twin drive nozzles,
// a chin cannon and a missile rail under each wing.
Object Raider() {
    const Surface hull = Textured("RaidHull", "raidhull", "Cylindrical Image Map", 4, {0, 0, 2}, {10, 4, 24}, 1),
                  fin = Paint("c_RaidFin", 230, 130, 40), glow = Glow("RaidGlow", 255, 120, 60),
                  glass = Paint("c_RaidCanopy", 120, 40, 30, 0x4), metal = Paint("c_RaidMetal", 90, 85, 80, 0x4);
    // Enough vertices round the hull for the hull emitters.
    Object o = lwob::Loft(14, kRaiderHull, 0.1f, hull);
    o.Append(Canopy(-0.5f, 8, 1.2f, 1, 0.55f, glass));
    Object side = RaiderFin(fin);
    side.Append(Round(8, {{-10.6f, 0.75f}, {-8, 0.9f}}, metal, 2.2f, 0));
    side.Append(Nozzle(-10.6f, -0.4f, 0.6f, glow, 2.2f, 0));
    side.Append(lwob::Loft(
        6, {{-5, 3.6f, -1.1f, 0.35f, 0.3f}, {3, 3.6f, -1.1f, 0.35f, 0.3f}, {4.5f, 3.6f, -1.1f, 0, 0}}, 0.5f, metal));
    o.Append(BothSides(side));
    o.Append(lwob::Loft(6, {{6, 0, -1, 0.6f, 0.45f}, {10.5f, 0, -0.95f, 0.45f, 0.35f}}, 0.5f, metal));
    o.Append(Round(6, {{10.3f, 0.2f}, {14, 0.16f}}, metal, 0, -0.95f));
    return o;
}

// The raider at middle distance: the hull of eight sides, the fins and a
// glow for the drive.
Object RaiderLow() {
    const Surface hull = Textured("RaidHull", "raidhull", "Cylindrical Image Map", 4, {0, 0, 2}, {10, 4, 24}, 1),
                  fin = Paint("c_RaidFin", 230, 130, 40), glow = Glow("RaidGlow", 255, 120, 60);
    std::vector<lwob::Section> sections;
    for (const lwob::Section &q : kRaiderHull)
        if (q.z != -8.5f && q.z != 11.5f) sections.push_back(q);
    Object o = lwob::Loft(8, sections, 0.1f, hull);
    o.Append(BothSides(RaiderFin(fin)));
    o.Append(Nozzle(-10, -0.5f, 1, glow));
    return o;
}

// A straight strut between two points on an axis-aligned line, of eight
// sides: along x (axis 0) or z (axis 2).
Object Strut(int axis, float from, float to, float radius, const Surface &surface) {
    Object o = Round(8, {{from, radius}, {to, radius}}, surface);
    return axis == 0 ? Turned(o, 2, 1, 0) : o;
}

// The station: a hub with a docking tower on top (its port at y 52, the
// two lights beside it), four spokes out to a ring of 120 with eight
// habitat modules on it, and radiator panels on the spokes.
Object Station() {
    const Surface hub = Textured("StatHub", "stathull", "Spherical Image Map", 2, {0, 0, 0}, {80, 80, 80}, 4, 2),
                  ring = Textured("StatRing", "stathull", "Cylindrical Image Map", 2, {0, 0, 0}, {240, 16, 240}, 8),
                  spoke = Paint("c_StatSpoke", 100, 100, 110), lights = Glow("StatLights", 255, 230, 120),
                  module = Textured("StatModule", "stathull", "Planar Image Map", 2, {0, 0, 0}, {40, 1, 40}, 2),
                  radiator = Paint("c_StatRadiator", 70, 80, 110);
    Object o = lwob::Sphere(10, 16, 40, hub);
    o.Append(Torus(32, 6, 120, 8, ring));
    for (int i = 0; i < 4; ++i) {
        const int axis = i % 2 == 0 ? 0 : 2;
        const float sign = i < 2 ? 1.0f : -1.0f;
        o.Append(Strut(axis, 36 * sign, 114 * sign, 3.5f, spoke));
        // A radiator panel standing on the spoke's middle.
        const float a = 66 * sign, b = 86 * sign;
        o.Append(axis == 0 ? lwob::Box({std::min(a, b), -16, -0.6f}, {std::max(a, b), 16, 0.6f}, radiator)
                           : lwob::Box({-0.6f, -16, std::min(a, b)}, {0.6f, 16, std::max(a, b)}, radiator));
    }
    // The habitat modules sit between the spokes, astride the ring.
    for (int i = 0; i < 8; ++i) {
        const float a = kPi / 8 + float(i) * kPi / 4;
        Object m = lwob::Box({-10, -11, -14}, {10, 11, 14}, module);
        for (lwob::Point &p : m.points) {
            const float x = p.x + 120;
            p = {x * std::cos(a) - p.z * std::sin(a), p.y, x * std::sin(a) + p.z * std::cos(a)};
        }
        o.Append(m);
    }
    // The docking tower: a stepped column along y from the hub to the port.
    o.Append(Turned(Round(10, {{30, 9}, {40, 9}, {42, 7}, {47, 7}, {48, 9}, {50, 9}}, spoke), 0, 2, 1));
    o.Append(lwob::Box({-6, 50, -6}, {6, 52, 6}, lights));
    return o;
}

// The freight depot: a rounded block of a hub with four tanks along its
// flanks, an arm out to each side and a lit docking collar at the end of
// each arm, where its two ports are (x +-70).
Object Depot() {
    const Surface hub = Textured("DepHub", "stathull", "Planar Image Map", 2, {0, 0, 0}, {60, 60, 60}, 4),
                  arm = Paint("c_DepArm", 110, 105, 95), collar = Glow("DepCollar", 255, 200, 90),
                  tank = Paint("c_DepTank", 150, 140, 120, 0x4);
    Object o =
        lwob::Loft(16, {{-30, 0, 0, 28, 22}, {-28, 0, 0, 30, 24}, {28, 0, 0, 30, 24}, {30, 0, 0, 28, 22}}, 0.8f, hub);
    Object side = Round(8, {{-27, 3}, {-25, 6.5f}, {25, 6.5f}, {27, 3}}, tank, 34, 14);
    side.Append(Round(8, {{-27, 3}, {-25, 6.5f}, {25, 6.5f}, {27, 3}}, tank, 34, -14));
    side.Append(Strut(0, 29, 66, 5, arm));
    side.Append(Turned(Round(12, {{66, 6}, {66.5f, 9}, {70, 9}}, collar), 2, 1, 0));
    o.Append(BothSides(side));
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

// The drone: a small round hull with a sensor nose, four swept fins and an
// engine glow; about 500 world units across.
Object Drone() {
    const Surface hull = Textured("DroneHull", "raidhull", "Spherical Image Map", 2, {0, 0, 0}, {8, 8, 8}, 2, 1),
                  fin = Paint("c_DroneFin", 200, 200, 60), glow = Glow("DroneGlow", 255, 90, 40);
    Object o = lwob::Sphere(6, 10, 2.5f, hull);
    o.Append(Round(6, {{2.1f, 0.7f}, {2.6f, 0.45f}, {2.9f, 0}}, fin));
    Object right = Wing({{2.2f, -2, 0.5f, 0.15f}, {5, -2, -1, 0.08f}}, fin);
    o.Append(BothSides(right));
    o.Append(Turned(right, 1, 0, 2));
    o.Append(Turned(MirroredX(right), 1, 0, 2));
    o.Append(Nozzle(-2.3f, -0.6f, 0.8f, glow));
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
    ok &= Write(ctx, "raider_LOW.lwo", RaiderLow());
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

lwob::Object mkdata::CorvetteOutline(const lwob::Surface &surface) {
    Object o = lwob::Loft(12, CorvetteHullSections(true), 0.25f, surface);
    o.Append(BothSides(CorvetteWing(surface, surface, surface)));
    return o;
}

lwob::Object mkdata::SampleShape(const char *name) {
    const std::string n = name;
    if (n == "raider") return Raider();
    if (n == "station") return Station();
    return Corvette();
}
