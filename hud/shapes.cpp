// The wire-shape elements: the radar sphere's wire, markers, the gnomon,
// mount markers, crosses, weapon arcs, the script's globe, sub-system boxes,
// the target outline and the perimeter box.
#include <algorithm>
#include <cmath>

#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/shape.h"
#include "hud/view.h"
#include "present/views.h"
#include "world/objlist.h"
#include "world/records.h"

uint8_t hudOutlineTooFar;

const int8_t kHudCubeEdges[12][2] = {{0, 1}, {1, 5}, {5, 4}, {4, 0}, {2, 3}, {3, 7},
                                     {7, 6}, {6, 2}, {0, 2}, {1, 3}, {4, 6}, {5, 7}};

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDegree = kPi / 180;

const Sim *ShipSim(const SceneItem *t) { return t && t->sim && t->sim->shipInfo ? t->sim : nullptr; }

const CollisionModel *CollisionOf(const SceneItem *t) {
    const TDP *root = t && t->avatar ? t->avatar->root : nullptr;
    return root ? root->collision : nullptr;
}

// The sub-target id of a volume (0: not a sub-target).
unsigned SubTargetId(const HitBox *box) { return (box->flags & 0x1FF00u) >> 8; }

// A mount's frame in the ship: looking along its direction, tilted up or
// down for a mount limited to one half.
Mat4 MountFrame(uint16_t code) {
    Vec3 d;
    dunMountPosition(&d, code);
    if ((code & 0xF00) == 0x100) d.y += 0.7071f;
    else if ((code & 0xF00) == 0x200) d.y -= 0.7071f;
    VecNormalise(d);
    Mat4 f;
    MatIdentity(f);
    MatLookAlong(d, nullptr, f);
    return f;
}

Vec3 Turn(const Mat4 &frame, const Vec3 &p) {
    Vec3 out;
    MatTransformPointTransposed(out, p, frame);
    return out;
}

Vec3 Add(const Vec3 &a, const Vec3 &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Scale(const Vec3 &a, float k) { return {a.x * k, a.y * k, a.z * k}; }

// The limits of a mount's arc in degrees: azimuth half width, elevation
// lower and upper limit.
void ArcLimits(uint16_t code, float *azimuth, float *low, float *high) {
    switch (code & 0xF0) {
    case 0x20: *azimuth = 90; break;
    case 0x30: *azimuth = 3; break;
    case 0x40: *azimuth = 15; break;
    default: *azimuth = 30; break;
    }
    switch (code & 0xF00) {
    case 0x100: *low = 0, *high = 75; break;
    case 0x200: *low = -75, *high = 0; break;
    case 0x300: *low = -75, *high = 75; break;
    case 0x400: *low = -15, *high = 15; break;
    default: *low = -30, *high = 30; break;
    }
}

// Every point's world position from its local one (a shape without a
// target stays where it was built).
void LocalsAsWorld(HUD *hud, const Vec3 &at) {
    for (int i = 0; i < hud->pointCount; ++i) hud->points[i].world = Add(hud->points[i].local, at);
}

}  // namespace

// ---- Building ---------------------------------------------------------------------------------

void hudBeginElement(HUD *hud, const char *label, SceneItem *target, uint32_t parameter, HudRebuildRoutine rebuild,
                     HudRoutine perFrame, HudRoutine draw, uint32_t flags) {
    hud->label = label;
    hud->target = target;
    hud->rebuild = rebuild;
    hud->perFrame = perFrame;
    hud->reserved = nullptr;
    hud->draw = draw;
    hud->parameter = parameter;
    hud->flags |= flags;
    hud->pointCount = hud->edgeCount = 0;
}

int HudShape::Point(const Vec3 &local) {
    if (points_ >= kHudPoints) return -1;
    HUDPoint &p = hud_->points[points_];
    p = HUDPoint{};
    p.local = local;
    p.world = local;
    return points_++;
}

void HudShape::Edge(int from, int to, uint8_t colour) {
    if (edges_ >= kHudEdges || from < 0 || to < 0) return;
    hud_->edges[edges_++] = HUDEdge{int16_t(from), int16_t(to), colour};
}

int HudShape::Ring(const Vec3 *points, int count, uint8_t colour) {
    if (!Room(count, count)) return -1;
    const int first = points_;
    for (int i = 0; i < count; ++i) Point(points[i]);
    for (int i = 0; i < count; ++i) Edge(first + i, first + (i + 1) % count, colour);
    return first;
}

int HudShape::Box(const Vec3 &lower, const Vec3 &upper, uint8_t colour) {
    if (!Room(8, 12)) return -1;
    const int first = points_;
    for (int c = 0; c < 8; ++c)
        Point({c & 1 ? upper.x : lower.x, c & 2 ? upper.y : lower.y, c & 4 ? upper.z : lower.z});
    for (const auto &e : kHudCubeEdges) Edge(first + e[0], first + e[1], colour);
    return first;
}

void HudShape::Finish() {
    hud_->pointCount = uint16_t(points_);
    hud_->edgeCount = uint16_t(edges_);
}

// ---- The radar sphere's wire ---------------------------------------------------------------

void hudInitOrbSphere(HUD *hud, SceneItem *target, uint32_t parameter, int32_t viewingDistance) {
    hudBeginElement(hud, "ORB", target, parameter, nullptr, hudOrbFollow, hudDrawOrb, 0x40492);
    hud->values[0] = 1000;
    hud->values[1] = 1000 * 5 / 4;
    hud->values[2] = viewingDistance > 0 ? viewingDistance : 8000;
    HudShape s(hud);
    Vec3 ring[16];
    for (int m = 0; m < 4; ++m) {
        const float phi = float(m) * 45 * kDegree;
        for (int k = 0; k < 16; ++k) {
            const float t = float(k) * 2 * kPi / 16;
            ring[k] = {1000 * std::sin(t) * std::cos(phi), 1000 * std::cos(t), 1000 * std::sin(t) * std::sin(phi)};
        }
        s.Ring(ring, 16, 141);
    }
    for (int p = 0; p < 4; ++p) {
        const float polar = float(p) * 45 * kDegree;
        const float r = 1000 * std::sin(polar), h = 1000 * std::cos(polar);
        for (int k = 0; k < 16; ++k) {
            const float t = float(k) * 2 * kPi / 16;
            ring[k] = {r * std::cos(t), h, r * std::sin(t)};
        }
        s.Ring(ring, 16, p == 2 ? 72 : 141);
    }
    s.Finish();
}

void hudOrbFollow(HUD *hud) {
    const SceneItem *c = dunControlledObject;
    if (!c || !c->sim) return;
    const float distance = float(hud->values[2] > 0 ? hud->values[2] : 8000);
    const int n = std::clamp<int>(hud->pointCount, 0, kHudPoints);
    for (int i = 0; i < n; ++i) {
        HUDPoint &p = hud->points[i];
        MatTransformPoint(p.world, p.local, c->sim->matrix);
        p.world.z += distance;
    }
}

// ---- Markers ----------------------------------------------------------------------------------

void hudInitMarker(HUD *hud, const char *label, SceneItem *target, uint32_t parameter, double x, double y, double z) {
    hudBeginElement(hud, label, target, parameter, nullptr, hudPlaceOnTarget, hudDrawMarker, 0x20010);
    HudShape s(hud);
    s.Box({-5000, -5000, -5000}, {5000, 5000, 5000}, 97);
    s.Finish();
    // A thirteenth edge beyond the count: the diagonal a passed waypoint shows.
    hud->edges[12] = HUDEdge{0, 6, 97};
    LocalsAsWorld(hud, {float(x), float(y), float(z)});
}

void hudInitLagrangeMarker(HUD *hud, const char *label) {
    hudBeginElement(hud, label, nullptr, 0, nullptr, hudLagrangeFollow, hudDrawLagrange, 0x20010);
    const float r = 37500, h = 300000;
    hud->values[0] = int32_t(r);
    hud->values[1] = int32_t(h);
    HudShape s(hud);
    // Shape 1: the arrow along z and one ring of radius 3r.
    const int tail = s.Point({0, 0, -h / 16}), tip = s.Point({0, 0, h / 16});
    s.Edge(tail, tip, 97);
    s.Edge(tip, s.Point({0, -3125, 14062.5f}), 97);
    s.Edge(tip, s.Point({0, 3125, 14062.5f}), 97);
    Vec3 ring[12];
    for (int k = 0; k < 12; ++k) {
        const float t = float(k) * 2 * kPi / 12;
        ring[k] = {3 * r * std::cos(t), 0, 3 * r * std::sin(t)};
    }
    s.Ring(ring, 12, 97);
    // Shape 2 adds six rings from -h/2 to h/2 (the middle one left out),
    // narrowing upwards, joined to their neighbours.
    int first[7] = {-1, -1, -1, -1, -1, -1, -1};
    for (int i = 0; i < 7; ++i) {
        if (i == 3) continue;
        const float height = -h / 2 + float(i) * h / 6;
        const float radius = (1 - std::sin(height / (h / 2) * 90 * kDegree)) * 2 * r + r;
        for (int k = 0; k < 12; ++k) {
            const float t = float(k) * 2 * kPi / 12;
            ring[k] = {radius * std::cos(t), height, radius * std::sin(t)};
        }
        first[i] = s.Ring(ring, 12, i < 3 ? 141 : 72);
    }
    for (int i = 0; i < 6; ++i) {
        if (i == 2 || i == 3) continue;
        for (int k = 0; k < 12; ++k) s.Edge(first[i] + k, first[i + 1] + k, i < 3 ? 141 : 72);
    }
    s.Finish();
    // Shape 1 shows until the follower says otherwise.
    hud->pointCount = kHudLagrangeShape1Points;
    hud->edgeCount = kHudLagrangeShape1Edges;
}

// ---- Gnomon ---------------------------------------------------------------------------------

namespace {

void GnomonShape(HUD *hud, float size) {
    HudShape s(hud);
    const int a = s.Point({0, 0, size}), b = s.Point({0, 0, -size}), c = s.Point({size, 0, -size}),
              d = s.Point({-size, 0, -size}), o = s.Point({0, 0, 0}), e = s.Point({0, -size / 2, -size});
    const uint8_t colour = HudColour;
    s.Edge(a, b, colour);
    s.Edge(a, c, colour);
    s.Edge(a, d, colour);
    s.Edge(c, d, colour);
    s.Edge(o, e, colour);
    s.Edge(e, b, colour);
    s.Finish();
}

}  // namespace

void hudInitGnomon(HUD *hud, SceneItem *target, uint32_t parameter) {
    if (!target) {
        hud->label = "GNOMON";
        hud->rebuild = hudInitGnomon;
        hud->parameter = parameter;
        hud->target = nullptr;
        hud->flags |= HudFlag::Element;
        hud->pointCount = hud->edgeCount = 0;
        return;
    }
    hudBeginElement(hud, "GNOMON", target, parameter, hudInitGnomon, hudPlaceOnTarget, hudDrawGnomon,
                    HudFlag::Element | HudFlag::LiveShip);
    GnomonShape(hud, target->sim ? target->sim->radius : 0);
}

void hudDrawGnomon(HUD *hud) {
    const SceneItem *t = hud->target;
    int16_t box[4];
    if (!t || !t->sim || hudRenderedBox(t, box)) return;
    GnomonShape(hud, 8 * t->sim->radius);
    hudPlaceOnTarget(hud);
    hudProjectPoints(hud);
    hudDrawDefault(hud);
}

// ---- Mount markers, crosses, weapon arcs ---------------------------------------------------------

void hudInitMountMarkers(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, hudInitMountMarkers, hudPlaceOnTarget, nullptr, HudFlag::LiveShip);
    HudShape s(hud);
    const Sim *sim = ShipSim(target);
    if (sim && dunCurrentContact) {
        // A square with a cross through it, a forward stroke and an upward
        // tick: 11 points, 8 edges.
        static const Vec3 kTemplate[11] = {{-650, -650, 0}, {650, -650, 0},  {650, 650, 0},   {-650, 650, 0},
                                           {-1000, 0, 0},   {1000, 0, 0},    {0, -1000, 0},   {0, 1000, 0},
                                           {0, 0, 0},       {0, 0, 5000},    {0, -2000, 0}};
        static const int8_t kEdges[8][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {6, 7}, {8, 9}, {8, 10}};
        const uint8_t colour = uint8_t(hudContactColour(dunCurrentContact->side));
        const float k = std::clamp(sim->radius, 5000.0f, 43500.0f) / 11300;
        for (const Weapon *w = sim->weapons; w && s.Room(11, 8); w = w->next) {
            const Mat4 frame = MountFrame(w->mountCode);
            const int first = s.points();
            for (const Vec3 &p : kTemplate) s.Point(Add(Turn(frame, Scale(p, k)), w->mount));
            for (const auto &e : kEdges) s.Edge(first + e[0], first + e[1], colour);
        }
    }
    s.Finish();
}

void hudInitCrossHud(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, hudInitCrossHud, hudPlaceOnTarget, nullptr, 0);
    HudShape s(hud);
    if (const CollisionModel *cm = CollisionOf(target)) {
        // The count is a byte of the model: held to the points it has.
        const int n = std::min<int>(uint8_t(cm->pointCount), 16);
        for (int i = 0; i < n && s.Room(4, 2); ++i) {
            const Vec3 &p = cm->points[i];
            const int a = s.Point({p.x - 300, p.y, p.z}), b = s.Point({p.x + 300, p.y, p.z});
            const int c = s.Point({p.x, p.y - 300, p.z}), d = s.Point({p.x, p.y + 300, p.z});
            s.Edge(a, b, 162);
            s.Edge(c, d, 162);
        }
    }
    s.Finish();
}

void hudInitWeaponArcs(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, hudInitWeaponArcs, hudPlaceOnTarget, nullptr, 0x280);
    hud->flags = (hud->flags & ~HudFlag::DepthCue) | HudFlag::LiveShip;
    HudShape s(hud);
    const Sim *sim = ShipSim(target);
    if (sim && dunCurrentContact) {
        // The mark: a stroke forward from the mount with an arrowhead and a
        // short tail.
        static const Vec3 kMark[5] = {{0, 0, 0}, {0, 0, 1000}, {-400, 0, 600}, {400, 0, 600}, {0, 0, -400}};
        const float reach = sim->radius;
        for (const Weapon *w = sim->weapons; w && s.Room(9, 12); w = w->next) {
            const uint8_t colour = (w->flags & WeaponFlag::AutoFire) ? 64 : 97;
            const Mat4 frame = MountFrame(w->mountCode);
            const int m = s.points();
            for (const Vec3 &p : kMark) s.Point(Add(Turn(frame, p), w->mount));
            s.Edge(m, m + 1, colour);
            s.Edge(m + 1, m + 2, colour);
            s.Edge(m + 1, m + 3, colour);
            s.Edge(m, m + 4, colour);
            float azimuth, low, high;
            ArcLimits(w->mountCode, &azimuth, &low, &high);
            const float az[4] = {-azimuth, azimuth, azimuth, -azimuth}, el[4] = {low, low, high, high};
            const int c = s.points();
            for (int k = 0; k < 4; ++k) {
                const float a = az[k] * kDegree, e = el[k] * kDegree;
                const Vec3 d = {std::sin(a) * std::cos(e), std::sin(e), std::cos(a) * std::cos(e)};
                s.Point(Add(Turn(frame, Scale(d, reach)), w->mount));
            }
            for (int k = 0; k < 4; ++k) {
                s.Edge(m, c + k, colour);
                s.Edge(c + k, c + (k + 1) % 4, colour);
            }
        }
    }
    s.Finish();
}

// ---- The script's globe, sub-system boxes ---------------------------------------------------

void hudInitScriptHud(HUD *hud, SceneItem *target, uint32_t parameter, Vec3 centre, Vec3 radii, const char *label) {
    hudBeginElement(hud, label, target, parameter, nullptr, hudPlaceOnTarget, nullptr, 0x90);
    static const int kRing[6] = {12, 16, 16, 16, 16, 12};
    static const int kLinks[5] = {4, 8, 16, 8, 4};
    HudShape s(hud);
    int first[6];
    Vec3 ring[16];
    for (int i = 0; i < 6; ++i) {
        const float polar = (float(i) + 0.4f) * kPi / 5.8f;
        for (int k = 0; k < kRing[i]; ++k) {
            const float t = float(k) * 2 * kPi / float(kRing[i]);
            ring[k] = {centre.x + radii.x * std::sin(polar) * std::cos(t), centre.y + radii.y * std::cos(polar),
                       centre.z + radii.z * std::sin(polar) * std::sin(t)};
        }
        first[i] = s.Ring(ring, kRing[i], 80);
    }
    for (int i = 0; i < 5; ++i)
        for (int k = 0; k < kLinks[i]; ++k)
            s.Edge(first[i] + k * kRing[i] / kLinks[i], first[i + 1] + k * kRing[i + 1] / kLinks[i], 80);
    s.Finish();
    LocalsAsWorld(hud, {0, 0, 0});
}

void hudInitSubsystemBoxes(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, hudInitSubsystemBoxes, hudPlaceOnTarget, nullptr,
                    HudFlag::Element);
    HudShape s(hud);
    int boxes = 0;
    if (const CollisionModel *cm = CollisionOf(target))
        for (const HitBox *b = cm->boxes; b && boxes < 10; b = b->next)
            if (SubTargetId(b) && s.Box(b->lower, b->upper, 204) >= 0) ++boxes;
    s.Finish();
}

// ---- The target outline ----------------------------------------------------------------------

namespace {

// The targeted volume when it is one of the target's.
const HitBox *TargetedBox(const SceneItem *target) {
    const CollisionModel *cm = CollisionOf(target);
    for (const HitBox *b = cm ? cm->boxes : nullptr; b; b = b->next)
        if (b == dunCurrentSubTarget) return b;
    return nullptr;
}

}  // namespace

void hudInitTargetOutline(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, hudInitTargetOutline, hudOutlineFollow, hudDrawOutline,
                    HudFlag::Element);
    if (const HitBox *b = TargetedBox(target)) {
        HudShape s(hud);
        s.Box(b->lower, b->upper, 97);
        s.Finish();
    }
}

void hudOutlineFollow(HUD *hud) {
    if (const HitBox *b = TargetedBox(hud->target)) {
        if (hud->pointCount != 8) {
            HudShape s(hud);
            s.Box(b->lower, b->upper, 97);
            s.Finish();
        } else {
            // Glide halfway to the targeted volume's corners each frame.
            for (int c = 0; c < 8; ++c) {
                const Vec3 goal = {c & 1 ? b->upper.x : b->lower.x, c & 2 ? b->upper.y : b->lower.y,
                                   c & 4 ? b->upper.z : b->lower.z};
                Vec3 &p = hud->points[c].local;
                p = {p.x + (goal.x - p.x) / 2, p.y + (goal.y - p.y) / 2, p.z + (goal.z - p.z) / 2};
            }
        }
    }
    hudPlaceOnTarget(hud);
}

void hudDrawOutline(HUD *hud) {
    const SceneItem *t = hud->target;
    if (!TargetedBox(t) || hud->pointCount != 8 || !dunControlledObject || !dunControlledObject->sim) return;
    const Vec3d &a = t->sim->position, &b = dunControlledObject->sim->position;
    const float distance = VecLengthApprox({float(a.x - b.x), float(a.y - b.y), float(a.z - b.z)});
    hudOutlineTooFar = distance >= (hudWeaponZoom() ? 2000000.0f : 500000.0f) ? 0xFF : 0;
    if (hudOutlineTooFar) return;
    const uint8_t colour = uint8_t(
        dunCurrentContact && dunCurrentContact->object == t ? hudContactColour(dunCurrentContact->side) : 97);
    for (int k = 0; k < hud->edgeCount && k < kHudEdges; ++k) hud->edges[k].colour = colour;
    hudDrawDefault(hud);
}

// ---- The perimeter box ------------------------------------------------------------------------

namespace {

// Where each edge's running dash starts in its 80-centisecond period.
constexpr int kDashOffsets[12] = {0, 20, 40, 60, 10, 30, 50, 70, 5, 25, 45, 65};

}  // namespace

void hudInitPerimeterBox(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, nullptr, hudPlaceOnTarget, hudDrawPerimeter, HudFlag::Element);
    hud->values[0] = 0;
    HudShape s(hud);
    s.Box({-1.5e6f, -750000, -1.3e6f}, {1.5e6f, 750000, 1.3e6f}, 10);
    // Each edge's moving copy: two points the drawing slides along it.
    for (int k = 0; k < 12; ++k) s.Edge(s.Point({0, 0, 0}), s.Point({0, 0, 0}), uint8_t(11 + k % 7));
    s.Finish();
}

void hudDrawPerimeter(HUD *hud) {
    if (hud->pointCount < 32) return;
    hud->values[0] += dunFrameStep;
    for (int k = 0; k < 12; ++k) {
        const float p = float((hud->values[0] + kDashOffsets[k]) % 80) / 80 * 1.5f;
        const float f0 = std::max(p - 0.5f, 0.0f), f1 = std::min(p, 1.0f);
        const Vec3 &a = hud->points[kHudCubeEdges[k][0]].world, &b = hud->points[kHudCubeEdges[k][1]].world;
        const Vec3 d = {b.x - a.x, b.y - a.y, b.z - a.z};
        hud->points[8 + 2 * k].world = Add(a, Scale(d, f0));
        hud->points[9 + 2 * k].world = Add(a, Scale(d, f1));
    }
    hudProjectPoints(hud);
    hudDrawDefault(hud);
}
