// The local-space viewer: its orbiting camera, the ring globe and the plan
// grid behind the objects, and every object drawn as the edges of the faces
// of its own model that turn towards the camera.
#include "present/lspace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "RES/text.h"
#include "core/frame.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/hooks.h"
#include "present/views.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"

LSpaceViewer gLSpaceViewer;
uint8_t gLSpacePlanGrid;
float gLSpaceCursor[3];
uint32_t gLSpaceLines;

namespace {

constexpr float kClamp = 30000.0f;
constexpr int kRings = 24, kRingPoints = 32;
constexpr double kGlobeRadius = 1e15;
constexpr double kPi = 3.14159265358979;
constexpr int kDefaultColour = 97;
constexpr float kFixedDistance = 100000.0f;
const uint8_t kHullColours[24] = {55,  56,  57,  58,  59,  60,  62,  63,  240, 241, 241, 242,
                                  242, 243, 243, 244, 160, 162, 164, 166, 168, 170, 172, 174};

struct Ring {
    Vec3d points[kRingPoints];
    uint8_t colour;
};
Ring gGlobe[kRings];
bool gGlobeBuilt;

void BuildGlobe() {
    if (gGlobeBuilt) return;
    gGlobeBuilt = true;
    for (int k = 0; k < 12; ++k) {
        // Great circles through the poles, turned by 15 degrees each.
        const double turn = k * 15 * kPi / 180;
        Ring &g = gGlobe[k];
        g.colour = 133;
        for (int i = 0; i < kRingPoints; ++i) {
            const double a = i * 2 * kPi / kRingPoints;
            const double r = kGlobeRadius * std::cos(a);
            g.points[i] = {r * std::cos(turn), kGlobeRadius * std::sin(a), r * std::sin(turn)};
        }
        // Circles of latitude, k x 15 degrees from the pole.
        const double lat = k * 15 * kPi / 180;
        Ring &l = gGlobe[12 + k];
        l.colour = k == 0 ? 47 : k == 6 ? 64 : 133;
        for (int i = 0; i < kRingPoints; ++i) {
            const double a = i * 2 * kPi / kRingPoints;
            const double r = kGlobeRadius * std::sin(lat);
            l.points[i] = {r * std::cos(a), kGlobeRadius * std::cos(lat), r * std::sin(a)};
        }
    }
}

void Line(int x0, int y0, int x1, int y1, int colour) {
    ++gLSpaceLines;
    dunCall(P3DHud().drawLineIn, HudPixelmap, x0, y0, x1, y1, colour);
}

Vec3d At(const SceneItem *o) { return o && o->sim ? o->sim->position : Vec3d{0, 0, 0}; }
float Radius(const SceneItem *o) { return o && o->sim && o->sim->radius > 0 ? o->sim->radius : 1000.0f; }

void DrawRings(const LSpaceCamera &camera) {
    for (const Ring &ring : gGlobe) {
        float p[kRingPoints][3];
        for (int i = 0; i < kRingPoints; ++i) ProjectViewPoint(p[i], kLSpaceProjection, ring.points[i], camera);
        for (int i = 0; i < kRingPoints; ++i) {
            const float *a = p[i], *b = p[(i + 1) % kRingPoints];
            if (a[2] > 0 && b[2] > 0) Line(int(a[0]), int(-a[1]), int(b[0]), int(-b[1]), ring.colour);
        }
    }
}

// The two world axes a plan-grid mode shows, across and down the window.
void PlanAxes(int mode, int *across, int *down) {
    static const int kAxes[3][2] = {{0, 2}, {0, 1}, {2, 1}};
    const int m = mode >= 0 && mode < 3 ? mode : 0;
    *across = kAxes[m][0];
    *down = kAxes[m][1];
}
double Axis(const Vec3d &v, int k) { return k == 0 ? v.x : k == 1 ? v.y : v.z; }

void DrawPlanGrid(const LSpaceViewer &v, const HudRect &r) {
    const float zoom = v.zoom > 0 ? v.zoom : 1.0f;
    double s = 100000.0 / (zoom * 56.0);
    while (s < 10) s *= 10;
    int across, down;
    PlanAxes(v.drawMode, &across, &down);
    const int halfW = (r.right - r.left) / 2, halfH = (r.bottom - r.top) / 2;
    const double cx = Axis(v.camera.position, across) / 1000 * s, cy = Axis(v.camera.position, down) / 1000 * s;
    const double firstX = std::fmod(-cx, s) - std::floor((halfW - std::fmod(-cx, s)) / s) * s;
    for (double x = firstX; x <= halfW; x += s) Line(int(x), -halfH, int(x), halfH, 54);
    const double firstY = std::fmod(-cy, s) - std::floor((halfH - std::fmod(-cy, s)) / s) * s;
    for (double y = firstY; y <= halfH; y += s) Line(-halfW, int(y), halfW, int(y), 54);
    // The world position under the mouse, for the map tools.
    const double mx = gMouse.x - (r.left + r.right) / 2.0, my = gMouse.y - (r.top + r.bottom) / 2.0;
    gLSpaceCursor[across] = float(mx * 1000 / s + Axis(v.camera.position, across));
    gLSpaceCursor[down] = float(my * 1000 / s + Axis(v.camera.position, down));
    if (HudVectorFont) {
        static const char *const kNames[3] = {"X %.0f", "Y %.0f", "Z %.0f"};
        const ClipRect clip{r.left, r.top, r.right, r.bottom};
        for (int k = 0; k < 3; ++k) {
            char text[48];
            std::snprintf(text, sizeof text, kNames[k], gLSpaceCursor[k]);
            int tx = r.left + 4, ty = r.top + 12 + 10 * k;
            vfontDrawTextScaled(&ScreenSurface, 8, &tx, &ty, text, HudVectorFont, &clip, 97);
        }
    }
}

// A plan-grid point: flat in the mode's plane at the grid's scale.
void ProjectFlat(float out[3], const Vec3d &p, const LSpaceViewer &v) {
    int across, down;
    PlanAxes(v.drawMode, &across, &down);
    const float zoom = v.zoom > 0 ? v.zoom : 1.0f;
    const double s = 100000.0 / (zoom * 56.0) / 1000;
    out[0] = float(std::clamp((Axis(p, across) - Axis(v.camera.position, across)) * s, -30000.0, 30000.0));
    out[1] = float(std::clamp(-(Axis(p, down) - Axis(v.camera.position, down)) * s, -30000.0, 30000.0));
    out[2] = 1;
}

Vec3d ModelPoint(const vt_model *m, int i, const Vec3d &position, const Mat4 &matrix) {
    const vt_vector3 &q = m->vertices[i].p;
    const float x = q.v[0], y = q.v[1], z = q.v[2];
    const float *a = matrix.m;
    return {position.x + x * a[0] + y * a[4] + z * a[8], position.y + x * a[1] + y * a[5] + z * a[9],
            position.z + x * a[2] + y * a[6] + z * a[10]};
}

int DrawModelProjected(const vt_model *m, const Vec3d &position, const Mat4 &matrix, int colour,
                       const LSpaceCamera &camera, int mode, int mountFaces, bool flat) {
    if (!m || !m->vertices || !m->faces) return 0;
    // The projected vertices, as many as the model has.
    std::vector<float> points(size_t(m->nvertices) * 3);
    for (int i = 0; i < m->nvertices; ++i) {
        float *p = &points[size_t(i) * 3];
        const Vec3d w = ModelPoint(m, i, position, matrix);
        if (flat) ProjectFlat(p, w, gLSpaceViewer);
        else ProjectViewPoint(p, kLSpaceProjection, w, camera);
        p[1] = -p[1];
    }
    int drawn = 0;
    for (int f = 0; f < m->nfaces; ++f) {
        const vt_face &face = m->faces[f];
        const float *c[3];
        bool behind = false;
        for (int k = 0; k < 3; ++k) {
            const int v = face.vertices[k];
            if (v >= m->nvertices) return drawn;
            c[k] = &points[size_t(v) * 3];
            behind |= !(c[k][2] > 0);
        }
        if (behind) continue;
        const float cross =
            (c[1][0] - c[0][0]) * (c[2][1] - c[1][1]) - (c[1][1] - c[0][1]) * (c[2][0] - c[1][0]);
        if (cross > 0) continue;
        const int edgeColour = mode == 1 ? (f < mountFaces ? 128 : 64) : colour;
        for (int e = 0; e < 3; ++e) {
            if (face.flags & (1 << e)) continue;
            const float *a = c[e], *b = c[(e + 1) % 3];
            Line(int(a[0]), int(a[1]), int(b[0]), int(b[1]), edgeColour);
            ++drawn;
        }
    }
    return drawn;
}

const vt_model *ObjectModel(const SceneItem *o) {
    const TDP *root = o && o->avatar ? o->avatar->root : nullptr;
    return root ? static_cast<const vt_model *>(root->model) : nullptr;
}

void UpdatePlanMouse(LSpaceViewer &v, const HudRect &r) {
    // With the fixed direction the mouse turns the view about the target.
    if (!(v.flags & 2)) return;
    if (gMouse.x < r.left || gMouse.x > r.right || gMouse.y < r.top || gMouse.y > r.bottom) return;
    const float k = 0.35f * float(dunFrameStep) / float(std::max(1, r.left + r.right));
    v.wantYaw += int32_t((gMouse.x - (r.left + r.right) / 2) * k * 1000);
    v.wantPitch = std::clamp(v.wantPitch + int32_t((gMouse.y - (r.top + r.bottom) / 2) * k * 1000), -85000, 85000);
}

}  // namespace

void ProjectViewPoint(float out[3], float scale, const Vec3d &point, const LSpaceCamera &camera) {
    const double dx = point.x - camera.position.x, dy = point.y - camera.position.y,
                 dz = point.z - camera.position.z;
    const float *a = camera.matrix.m;
    const double x = dx * a[0] + dy * a[1] + dz * a[2];
    const double y = dx * a[4] + dy * a[5] + dz * a[6];
    const double z = dx * a[8] + dy * a[9] + dz * a[10];
    auto clamp = [](double v) { return std::fabs(v) >= kClamp || std::isnan(v) ? (v < 0 ? -kClamp : kClamp) : float(v); };
    out[0] = clamp(scale * x / z);
    out[1] = clamp(scale * y / z);
    out[2] = float(z);
}

void LSpaceSetTarget(SceneItem *item) {
    LSpaceViewer &v = gLSpaceViewer;
    if (item == v.target) return;
    v.previousTarget = v.target;
    v.blend = kLSpaceBlendSteps;
    v.target = item;
}

void LSpaceSetViewedObject(SceneItem *item) {
    LSpaceViewer &v = gLSpaceViewer;
    if (item == v.viewed || !item) return;
    const Vec3d at = At(item);
    const double dx = v.camera.position.x - at.x, dy = v.camera.position.y - at.y, dz = v.camera.position.z - at.z;
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    v.wantDistance = v.distance = int32_t(std::min(d, 2e9 / 1000) * 1000);
    v.wantYaw = v.yaw = int32_t(std::atan2(dx, dz) * 180 / kPi * 1000);
    v.wantPitch = v.pitch = d > 0 ? int32_t(std::asin(dy / d) * 180 / kPi * 1000) : 0;
    v.viewed = item;
}

void LSpaceViewerReset() {
    gLSpaceViewer = LSpaceViewer{};
    MatIdentity(gLSpaceViewer.camera.matrix);
    gLSpaceViewer.wantPitch = gLSpaceViewer.pitch = 20000;
    gLSpaceViewer.wantYaw = gLSpaceViewer.yaw = 30000;
}

void LSpaceViewerControl() {
    LSpaceViewer &v = gLSpaceViewer;
    if (!v.target && dunControlledObject) {
        v.target = dunControlledObject;
        v.zoom = Radius(v.target);
    }
    v.elapsed += dunFrameStep;
    const Vec3d to = At(v.target);
    if (gLSpacePlanGrid) {
        v.camera.position.x += (to.x - v.camera.position.x) / 4;
        v.camera.position.y += (to.y - v.camera.position.y) / 4;
        v.camera.position.z += (to.z - v.camera.position.z) / 4;
        MatIdentity(v.camera.matrix);
    } else {
        if (!v.wantDistance) v.wantDistance = v.distance = int32_t(Radius(v.target) * 6 * 1000);
        v.yaw += int32_t(0.1 * (v.wantYaw - v.yaw));
        v.pitch += int32_t(0.1 * (v.wantPitch - v.pitch));
        v.distance += int32_t(0.1 * (v.wantDistance - v.distance));
        const double yaw = v.yaw / 1000.0 * kPi / 180, pitch = v.pitch / 1000.0 * kPi / 180;
        const double d = (v.flags & 2) ? kFixedDistance : v.distance / 1000.0;
        const Vec3d dir = {std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw)};
        // The look-at point moves from the previous target to the new one.
        const double w = double(v.blend) / kLSpaceBlendSteps;
        const Vec3d from = v.previousTarget ? At(v.previousTarget) : to;
        v.lookAt = {from.x * w + to.x * (1 - w), from.y * w + to.y * (1 - w), from.z * w + to.z * (1 - w)};
        v.camera.position = {v.lookAt.x + dir.x * d, v.lookAt.y + dir.y * d, v.lookAt.z + dir.z * d};
        Vec3 forward = {float(v.lookAt.x - v.camera.position.x), float(v.lookAt.y - v.camera.position.y),
                        float(v.lookAt.z - v.camera.position.z)};
        if (VecNormalise(forward) > 0) MatLookAlong(forward, nullptr, v.camera.matrix);
    }
    v.blend = std::max(0, v.blend - dunFrameStep);
}

int LSpaceObjectColour(const SceneItem *o) {
    int colour = kDefaultColour;
    const uint32_t flags = o && o->avatar ? o->avatar->flags : 0;
    if (flags & 0x80) colour = 133;
    if (flags & 0x100) colour = 64;
    if (flags & 0x600) colour = 160;
    if (o && o == dunPlayerShip && o->sim) {
        const int k = std::clamp(int(float(o->sim->hull) * 0.01f * 23.8f), 0, 23);
        colour = kHullColours[k];
    }
    return colour;
}

int LSpaceDrawModel(const vt_model *model, const Vec3d &position, const Mat4 &matrix, int colour,
                    const LSpaceCamera &camera, int mode, int mountFaces) {
    return DrawModelProjected(model, position, matrix, colour, camera, mode, mountFaces, false);
}

LSpaceDrawnObject gLSpaceDrawn[kLSpaceDrawnMax];
int gLSpaceDrawnCount;

void LSpaceViewerDraw(P3DPane *pane) {
    if (!pane) return;
    BuildGlobe();
    P3DAllocViewBuffers(pane);
    auto *colour = static_cast<vt_pixelmap *>(pane->image);
    if (colour) {
        colour->pixels = ScreenSurface.pixels;
        VtPixelmapFill(colour, 0);
    }
    vt_pixelmap *const savedTarget = HudPixelmap;
    const HudRect savedRect = HudViewRect;
    HudPixelmap = colour;
    HudViewRect = {pane->x, pane->y, int16_t(pane->x + pane->w - 1), int16_t(pane->y + pane->h - 1)};
    LSpaceViewerControl();
    LSpaceViewer &v = gLSpaceViewer;
    if (!gLSpacePlanGrid) DrawRings(v.camera);
    else DrawPlanGrid(v, HudViewRect);
    SceneItem *head = dunSceneListHead();
    gLSpaceDrawnCount = 0;
    for (SceneItem *o = head ? head->next : nullptr; o && o != head; o = o->next) {
        if (!o->sim || !o->avatar) continue;
        const vt_model *m = ObjectModel(o);
        if (!m) continue;
        const int lines = DrawModelProjected(m, o->sim->position, o->sim->matrix, LSpaceObjectColour(o), v.camera, 0, 0,
                                             gLSpacePlanGrid != 0);
        if (gLSpaceDrawnCount < kLSpaceDrawnMax) gLSpaceDrawn[gLSpaceDrawnCount++] = {o, lines};
    }
    UpdatePlanMouse(v, HudViewRect);
    HudPixelmap = savedTarget;
    HudViewRect = savedRect;
    P3DSelectViewBuffers(pane);
}

int WeaponMountFaces(const Weapon *w, int faces) {
    if (!w || faces <= 0) return 0;
    const bool ammunition = !(w->flags & WeaponFlag::Beam);
    if (ammunition && w->rounds[0] == 0 && w->rounds[2] == 0) return 0;
    // A weapon that never reloads stands ready.
    if (!(w->reloadTime > 0)) return faces;
    const float done = std::clamp((w->reloadTime - w->reloadTimer) / w->reloadTime, 0.0f, 1.0f);
    return int(float(faces) * done);
}

void WeaponMountText(const Weapon *w, char *out, int size) {
    if (size <= 0) return;
    out[0] = 0;
    if (!w || (w->flags & WeaponFlag::Beam)) return;
    const int rounds = int(w->rounds[0]) + int(w->rounds[2]) * int(w->rounds[1]);
    if (rounds <= 0) std::snprintf(out, size_t(size), "OUT");
    else std::snprintf(out, size_t(size), "%i", rounds);
}
