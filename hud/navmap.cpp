// The navigation map's model: its rings and lanes, the orbit camera and its
// flights, zoom, picking, the Lagrange destination, and the universe's
// calls into it.
#include <cmath>
#include <cstring>
#include <vector>

#include "RES/util.h"
#include "core/frame.h"
#include "hud/maps.h"
#include "script/mission.h"
#include "world/mission_state.h"
#include "world/universe.h"

NavMapState gNavMap;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr int kFlightTime = 500;
constexpr int kEnterTime = 600;
constexpr double kStarGlobeRadius = 8e14;
constexpr uint32_t kOrbitInFilter = 0x50FF50, kOrbitOutOfFilter = 0xA0A0A0;

Vec3d Sub(const Vec3d &a, const Vec3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3d Add(const Vec3d &a, const Vec3d &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3d Scale(const Vec3d &a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Length(const Vec3d &a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
Vec3d Normalised(const Vec3d &a) {
    const double l = Length(a);
    return l > 0.0 ? Scale(a, 1.0 / l) : a;
}
Vec3d Cross(const Vec3d &a, const Vec3d &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3d StarPos(const StarRecord *s) { return {s->x, s->y, s->z}; }

void Identity(double m[3][3]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = r == c ? 1.0 : 0.0;
}
// m := m turned by degrees about X (rows are the axes).
void TurnX(double m[3][3], double degrees) {
    const double c = std::cos(degrees * kDeg), s = std::sin(degrees * kDeg);
    for (int r = 0; r < 3; ++r) {
        const double y = m[r][1], z = m[r][2];
        m[r][1] = y * c - z * s;
        m[r][2] = y * s + z * c;
    }
}
void TurnY(double m[3][3], double degrees) {
    const double c = std::cos(degrees * kDeg), s = std::sin(degrees * kDeg);
    for (int r = 0; r < 3; ++r) {
        const double x = m[r][0], z = m[r][2];
        m[r][0] = x * c + z * s;
        m[r][2] = z * c - x * s;
    }
}
// The transposed matrix applied: v.x row 0 + v.y row 1 + v.z row 2.
Vec3d Transposed(const double m[3][3], const Vec3d &v) {
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}
Vec3d Applied(const double m[3][3], const Vec3d &v) {
    return {v.x * m[0][0] + v.y * m[0][1] + v.z * m[0][2], v.x * m[1][0] + v.y * m[1][1] + v.z * m[1][2],
            v.x * m[2][0] + v.y * m[2][1] + v.z * m[2][2]};
}

bool StarPasses(const StarRecord &s) { return (s.flags & dunStarMap.starFilter) != 0; }
bool BodyPasses(const BodyRecord *b) { return b && (b->flags & gNavMap.bodyFilter) != 0; }
NavMapCamera &Cam() { return gNavMap.camera; }

// Yaw, distance and height that put the eye at a point relative to the
// centre, in the camera's base orientation.
void AnglesOf(const Vec3d &eye, double *distance, double *yaw, double *height) {
    const NavMapCamera &c = Cam();
    const Vec3d rel = Applied(c.base, Sub(eye, c.centre));
    const double r = std::sqrt(rel.x * rel.x + rel.z * rel.z);
    double a = r > 0.0 ? std::acos(std::fmax(-1.0, std::fmin(1.0, rel.x / r))) / kDeg : 0.0;
    if (rel.z <= 0.0) a = 360.0 - a;
    *yaw = a;
    *height = rel.y;
    *distance = std::sqrt(r * r + rel.y * rel.y);
}

bool lanesBuilt;

}  // namespace

// ---- Rings -----------------------------------------------------------------------------------

void NavMapBuildRing(int ring, const Vec3d &centre, double radius, float yaw, const double matrix[3][3]) {
    if (ring < 0 || ring >= kNavMapRings) return;
    NavMapRing &r = gNavMap.rings[ring];
    for (int k = 0; k < kNavMapRingPoints; ++k) {
        const double a = k * 2.0 * kPi / kNavMapRingPoints;
        Vec3 p = {float(std::cos(a) * radius), float(std::sin(a) * radius), 0.0f};
        Vec3 turned;
        VecRotateY(turned, yaw, p);
        const Vec3d w = Transposed(matrix, {turned.x, turned.y, turned.z});
        r.points[k] = {float(w.x + centre.x), float(w.y + centre.y), float(w.z + centre.z)};
    }
    r.built = 1;
}

void NavMapBuildGlobe(const Vec3d &centre, double radius, int firstRing, uint32_t colour) {
    double m[3][3];
    Identity(m);
    if (firstRing > 0) {
        TurnX(m, double(dunRandom32() % 90));
        TurnY(m, double(dunRandom32() % 90));
    }
    for (int k = 0; k < 12; ++k) NavMapBuildRing(firstRing + k, centre, radius, float(k * 180.0 / 12.0), m);
    TurnX(m, 90.0);
    for (int k = 0; k < 12; ++k) {
        const double a = k * 180.0 / 12.0 * kDeg;
        const Vec3d up = {m[1][0], m[1][1], m[1][2]};
        const Vec3d c = Add(centre, Scale(up, radius * std::cos(a)));
        NavMapBuildRing(firstRing + 12 + k, c, radius * std::sin(a), 0.0f, m);
    }
    for (int k = 0; k < kNavMapGlobeRings; ++k) {
        NavMapRing &r = gNavMap.rings[firstRing + k];
        r.colour = colour;
        r.entry = nullptr;
    }
}

void NavMapColourOrbits() {
    for (int i = kNavMapOrbitRing; i < gNavMap.ringCount && i < kNavMapRings; ++i) {
        NavMapRing &r = gNavMap.rings[i];
        r.colour = r.entry && BodyPasses(r.entry->body) ? kOrbitInFilter : kOrbitOutOfFilter;
    }
}

int NavMapBuildOrbits(int system, int firstRing) {
    if (dunStarMap.shownSystem != system) dunBuildSystemBodyTable(system);
    const int count = dunStarMap.entryCount;
    for (int i = 0; i < count && firstRing + i < kNavMapRings; ++i) {
        NavMapBodyEntry &e = dunStarMap.entries[i];
        NavMapRing &r = gNavMap.rings[firstRing + i];
        const BodyRecord *b = e.body;
        for (int k = 0; k < kNavMapRingPoints; ++k) {
            Vec3d p;
            dunOrbitPosition(&p, b, b->period / kNavMapRingPoints * float(k), 10.0f);
            r.points[k] = {float(p.x), float(p.y), float(p.z)};
        }
        dunOrbitPosition(&e.position, b, 0.0f, 10.0f);
        r.entry = &e;
        r.built = (b->flags & BodyFlag::Lagrange) ? 0 : 1;
    }
    gNavMap.ringCount = firstRing + count;
    NavMapColourOrbits();
    if (dunStarMap.recordSystem && count > 0) {
        std::vector<Vec3> packed(size_t(count) * 33);
        for (int i = 0; i < count && firstRing + i < kNavMapRings; ++i)
            for (int k = 0; k < kNavMapRingPoints; ++k) packed[size_t(i) * 33 + k] = gNavMap.rings[firstRing + i].points[k];
        char path[256];
        dunAscMeshPath(dunStarMap.entries[0].body->name, path, sizeof path);
        dunWriteAscMesh(packed.data(), count, path);
        dunStarMap.recordSystem = 0;
    }
    return count;
}

// ---- Lanes and names ---------------------------------------------------------------------------

namespace {
const uint8_t kLanePairs[kNavMapLanes][2] = {
    {13, 16}, {16, 9}, {9, 6},   {6, 1},   {1, 5},   {5, 11},  {12, 19}, {19, 5},  {5, 4},   {4, 18}, {18, 8},
    {8, 17},  {17, 14}, {14, 8}, {6, 3},   {3, 4},   {4, 20},  {20, 2},  {2, 10},  {10, 22}, {22, 20}, {2, 22},
    {4, 5},   {1, 4},   {5, 23}, {23, 25}, {25, 18}, {18, 7},  {7, 25},  {4, 24},  {15, 11},
};
constexpr uint32_t kReachable = 0x10;
constexpr uint32_t kRouteMark = 0x2;
}  // namespace

int NavMapBuildLanes(int missionNumber) {
    StarRecord *bySystem[26] = {};
    for (int i = 0; i < dunNamedStarCount; ++i) {
        StarRecord &s = dunStars[i];
        s.flags &= ~kReachable;
        if (s.system < 26 && !bySystem[s.system]) bySystem[s.system] = &s;
    }
    for (StarRecord *s : bySystem)
        if (s) s->flags |= kReachable;
    const struct {
        int star, mission;
    } late[] = {{116, 14}, {9, 33}, {84, 20}};
    for (const auto &l : late)
        if (missionNumber < l.mission && l.star < kStarCount) dunStars[l.star].flags &= ~kReachable;
    NavMapLane &head = gNavMap.lanes;
    head.next = head.prev = &head;
    gNavMap.laneCount = 0;
    for (const auto &pair : kLanePairs) {
        StarRecord *a = bySystem[pair[0]], *b = bySystem[pair[1]];
        if (!a || !b || !(a->flags & kReachable) || !(b->flags & kReachable)) continue;
        NavMapLane &lane = gNavMap.lanePool[gNavMap.laneCount++];
        lane = {a, b, 0, &head, head.prev};
        head.prev->next = &lane;
        head.prev = &lane;
    }
    lanesBuilt = true;
    return gNavMap.laneCount;
}

void NavMapClearHighlights() {
    if (!gNavMap.lanes.next) return;
    for (NavMapLane *l = gNavMap.lanes.next; l && l != &gNavMap.lanes; l = l->next) {
        l->a->flags &= ~kRouteMark;
        l->b->flags &= ~kRouteMark;
    }
}

void NavMapSplitBodyNames() {
    for (BodyRecord &b : dunBodies) {
        if (b.id % 100 != 0 || !b.name) continue;
        StarRecord *star = nullptr;
        for (int i = 0; i < dunNamedStarCount && !star; ++i)
            if (dunStars[i].system == b.id / 100 + 1) star = &dunStars[i];
        if (!star) continue;
        // Each bar ends a name; the star shows the alias behind the last one.
        for (char *bar = std::strchr(b.name, '|'); bar; bar = std::strchr(bar + 1, '|')) {
            *bar = '\0';
            star->namePointer = bar + 1;
        }
    }
}

// ---- The camera -------------------------------------------------------------------------------

void NavMapLookAt() {
    NavMapCamera &c = Cam();
    c.forward = Normalised(Sub(c.lookAt, c.eye));
    c.right = Normalised(Cross({0.0, 1.0, 0.0}, c.forward));
    c.up = Normalised(Cross(c.forward, c.right));
}

void NavMapStartFlight(const Vec3d &targetEye, int duration) {
    NavMapCamera &c = Cam();
    double distance, yaw, height;
    AnglesOf(targetEye, &distance, &yaw, &height);
    if (duration < 1) duration = 1;
    c.targetEye = targetEye;
    c.distanceRate = (distance - c.distance) / duration;
    c.yawRate = (yaw - c.yaw) / duration;
    c.heightRate = (height - c.height) / duration;
    c.lookAtRate = Scale(Sub(c.flightCentre, c.lookAt), 1.0 / duration);
    c.timeLeft = duration;
    c.flying = 1;
}

void NavMapSyncCamera() {
    NavMapCamera &c = Cam();
    double distance, yaw, height;
    AnglesOf(c.eye, &distance, &yaw, &height);
    c.distance = distance;
    c.yaw = float(yaw);
    c.height = height;
}

void NavMapCameraStep(int dt) {
    NavMapCamera &c = Cam();
    if (c.flying && c.timeLeft <= 0) {
        c.flying = 0;
        if (dunStarMap.mode == 'T') {
            dunStarMap.mode = 'S';
            if (dunTargetLpBody && dunTargetLpStar == dunStarMap.shownSystem)
                for (int i = 0; i < dunStarMap.entryCount; ++i)
                    if (dunStarMap.entries[i].body == dunTargetLpBody) NavMapFlyToBody(&dunStarMap.entries[i]);
        } else if (dunStarMap.mode == 'I') {
            dunStarMap.mode = 'G';
            gNavMap.ringCount = kNavMapGlobeRings;
            dunRestoreStarOrigin();
        }
        if (!c.flying) {
            c.centre = c.lookAt = c.flightCentre;
            NavMapSyncCamera();
        }
    }
    if (!c.flying) {
        GuiWindow *w = gNavMap.mapWindow;
        extern bool NavMapMouseHeld(float *mx, float *my);
        float mx, my;
        if (w && NavMapMouseHeld(&mx, &my)) {
            c.yaw -= float(mx * 70.0 * dt * 0.01);
            if (my > 0 && c.height > -c.distance) c.height -= (my * c.distance - c.height * 0.2) * 0.005 * dt;
            if (my < 0 && c.height < c.distance) c.height -= (c.height * 0.2 + my * c.distance) * 0.005 * dt;
        }
    } else {
        const int step = dt < c.timeLeft ? dt : c.timeLeft;
        c.distance += c.distanceRate * step;
        c.yaw += float(c.yawRate * step);
        c.height += c.heightRate * step;
        c.lookAt = Add(c.lookAt, Scale(c.lookAtRate, step));
        c.timeLeft -= step;
        if (c.timeLeft <= 0) c.timeLeft = 0;
    }
    if (c.height > 0.9 * c.distance) c.height = 0.9 * c.distance;
    if (c.height < -0.9 * c.distance) c.height = -0.9 * c.distance;
    const double r = std::sqrt(std::fmax(0.0, c.distance * c.distance - c.height * c.height));
    const double yaw = double(c.yaw) * kDeg;
    c.eye = Add(c.centre, Transposed(c.base, {std::cos(yaw) * r, c.height, std::sin(yaw) * r}));
    NavMapLookAt();
}

void NavMapFlyToStar(StarRecord *star) {
    if (!star) return;
    NavMapCamera &c = Cam();
    const Vec3d s = StarPos(star);
    c.centre = s;
    c.flightCentre = s;
    const Vec3d d = Sub(s, c.eye);
    Vec3d v;
    v.x = d.x - 0.5 * d.z;
    v.y = d.y;
    v.z = 0.5 * v.x + d.z;
    double l = Length(v);
    if (l < 7e16) {
        v = l > 0.0 ? Scale(v, 7e16 / l) : Vec3d{7e16, 0.0, 0.0};
        l = 2e16;
    }
    if (l > 3e17) {
        v = Scale(v, 3e17 / Length(v));
        l = 3e17;
    }
    if (std::fabs(v.y) > 0.18 * l) v.y = std::copysign(0.18 * l, v.y);
    NavMapSyncCamera();
    NavMapStartFlight(Add(s, Scale(v, 0.5)), kFlightTime);
}

void NavMapFlyToBody(NavMapBodyEntry *entry) {
    if (!entry || !entry->body) return;
    NavMapCamera &c = Cam();
    const BodyRecord *b = entry->body;
    double k = double(b->radius) * 90.0 * ((b->flags & BodyFlag::Planet) ? 7.0 : 1.0);
    if (k < 1e10) k = 1e10;
    Vec3d d = Sub(entry->position, c.eye);
    const double l = Length(d);
    if (d.y == 0.0) d.y = l / 3.0;
    for (int guard = 0; std::fabs(d.y) < l / 3.0 && guard < 64; ++guard) d.y *= 1.5;
    d = Normalised(d);
    c.centre = entry->position;
    c.flightCentre = entry->position;
    NavMapSyncCamera();
    NavMapStartFlight(Add(entry->position, Scale({d.x - 0.5 * d.z, d.y, 0.5 * d.x + d.z}, k)), kFlightTime);
}

// ---- Zoom, picks, entering and leaving ------------------------------------------------------------

namespace {
void Zoom(double factor, double limit, bool out) {
    NavMapCamera &c = Cam();
    if (c.flying) return;
    if (out ? c.distance >= limit : c.distance <= limit) return;
    c.distance *= factor;
    c.height *= factor;
    if (out ? c.distance > limit : c.distance < limit) c.distance = limit;
}
bool Galaxy() { return dunStarMap.mode == 'G'; }
}  // namespace

void NavMapZoomOut(GuiWindow *) { Zoom(1.8, Galaxy() ? 1.2e17 : 4e14, true); }
void NavMapZoomIn(GuiWindow *) { Zoom(1.0 / 1.8, Galaxy() ? 1.8e15 : 4e8, false); }

StarRecord *NavMapPickStar(float x, float y) {
    StarRecord *best = nullptr;
    float bestD = 1000.0f;
    for (int i = 0; i < dunNamedStarCount; ++i) {
        StarRecord &s = dunStars[i];
        if (!StarPasses(s)) continue;
        const float d = std::fabs(s.mapScratch[0] - x) + std::fabs(s.mapScratch[1] - y);
        if (d < bestD) {
            bestD = d;
            best = &s;
        }
    }
    return best;
}

int NavMapPickBody(float x, float y) {
    int best = -1;
    float bestD = 1000.0f;
    for (int i = 0; i < dunStarMap.entryCount; ++i) {
        const NavMapBodyEntry &e = dunStarMap.entries[i];
        if (!BodyPasses(e.body)) continue;
        float d = std::fabs(e.screenX - x) + std::fabs(e.screenY - y);
        if (e.body->flags & BodyFlag::Lagrange) d *= 0.25f;
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}

void NavMapEnterSystem(GuiWindow *) {
    if (!Galaxy()) return;
    StarRecord *star = gNavMap.focusStar;
    if (!star || !star->system) {
        gNavMap.focusStar = dunNamedStarCount ? &dunStars[0] : nullptr;
        return;
    }
    gGalaxyMapOpen = 0;
    gSolarMapOpen = 1;
    dunStarMap.mode = 'T';
    dunShiftStarOrigin(star->x, star->y, star->z);
    const int entries = NavMapBuildOrbits(star->system, kNavMapOrbitRing);
    gNavMap.ringCount = kNavMapOrbitRing + entries;
    const Vec3d s = StarPos(star);
    NavMapBuildGlobe(s, kStarGlobeRadius, kNavMapGlobeRings, 0x0000FF);
    gNavMap.focusStar = nullptr;
    gNavMap.focusEntry = -1;
    NavMapCamera &c = Cam();
    Identity(c.base);
    c.centre = c.flightCentre = s;
    const Vec3d u = Normalised(Sub(s, c.eye));
    const double f = 27.0 * (entries > 0 ? double(dunStarMap.entries[0].body->radius) : 1e9);
    NavMapSyncCamera();
    NavMapStartFlight(Add(s, {u.x * f, 0.6 * f, u.z * f}), kEnterTime);
}

void NavMapLeaveSystem(GuiWindow *) {
    if (dunStarMap.mode != 'S') return;
    gSolarMapOpen = 0;
    gGalaxyMapOpen = 1;
    gNavMap.focusStar = dunStarMap.selectedStar;
    NavMapFlyToStar(dunStarMap.selectedStar);
    dunStarMap.mode = 'I';
}

void NavMapSelectDestination(GuiWindow *) {
    StarRecord *star = dunStarMap.selectedStar;
    if (dunStarMap.mode == 'S') {
        gNavMap.routeStar = star;
        const int f = gNavMap.focusEntry;
        if (f < 0 || f >= dunStarMap.entryCount) return;
        BodyRecord *b = dunStarMap.entries[f].body;
        if (!(b->flags & BodyFlag::Lagrange)) return;
        dunTargetLpBody = b;
        // The body's own system (an index of 99 stays in it).
        dunTargetLpStar = b->id / 100 + 1;
        gNavMap.lpStarName = star ? star->namePointer : dunStarNameByCode(dunTargetLpStar);
        return;
    }
    if (!Galaxy() || !star || !star->system) return;
    gNavMap.routeStar = star;
    const int low = (star->system - 1) * 100, high = low + 100;
    const uint32_t want = (star->flags & StarFlag::MissionStar) ? BodyFlag::MissionBody : BodyFlag::Lagrange;
    std::vector<BodyRecord *> candidates;
    for (BodyRecord &b : dunBodies)
        if (b.id > low && b.id < high && (b.flags & want)) candidates.push_back(&b);
    if (candidates.empty()) return;
    size_t next = 0;
    for (size_t i = 0; i < candidates.size(); ++i)
        if (candidates[i] == dunTargetLpBody) next = (i + 1) % candidates.size();
    dunTargetLpBody = candidates[next];
    dunTargetLpStar = star->system;
    gNavMap.lpStarName = star->namePointer;
}

// ---- The universe's calls ---------------------------------------------------------------------------

void NavMapBuildOrbitRing(float x, float y, float z, float radius) {
    NavMapBuildGlobe({x, y, z}, radius, 0, 0x00A0A0);
    if (gNavMap.ringCount < kNavMapGlobeRings) gNavMap.ringCount = kNavMapGlobeRings;
}

void NavMapLayoutBodies() {
    const bool first = !lanesBuilt;
    NavMapBuildLanes(gCurrentMission);
    if (first) NavMapSplitBodyNames();
}

void NavMapBuildBodyMesh(int) {}

void NavMapZoomToBody(StarRecord *star) {
    gNavMap.focusStar = star;
    NavMapFlyToStar(star);
}

void NavMapCentreOnBody(int entry) {
    if (entry >= 0 && entry < dunStarMap.entryCount) NavMapFlyToBody(&dunStarMap.entries[entry]);
}

void NavMapReset() {
    const NavMapLane head = {};
    gNavMap = NavMapState{};
    gNavMap.lanes = head;
    gNavMap.lanes.next = gNavMap.lanes.prev = &gNavMap.lanes;
    gNavMap.bodyFilter = 0x42;
    gNavMap.focusEntry = -1;
    Identity(gNavMap.camera.base);
    gNavMap.camera.distance = 1.2e17;
    gNavMap.camera.eye = {0.0, 0.0, -1.2e17};
    gNavMap.ringCount = kNavMapGlobeRings;
    lanesBuilt = false;
}

// Built once with the universe: the lanes by the mission number and the
// aliases of the stars' names.
void NavMapEnsureBuilt() {
    if (!gNavMap.lanes.next) NavMapReset();
    if (lanesBuilt) return;
    NavMapLayoutBodies();
    NavMapBuildOrbitRing(0.0f, 0.0f, 0.0f, 1e17f);
}
