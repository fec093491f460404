// The navigation map on screen: projection and clipping, the draw routine
// of "SolarMap", opening and closing with the visibility bytes, the keys,
// and the binding of the map's windows.
#include <cmath>
#include <cstdio>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/autopilot.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/maps.h"
#include "platform/keyboard.h"
#include "present/effects/particles.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/universe.h"

uint8_t gStarMapOpen, gSolarMapOpen, gGalaxyMapOpen, gMapOverlayOpen, gMapOverlayCompanion, gNavMapLock;
uint8_t gMapRealView = 1;
int gNavMapLinesDrawn;

void NavMapEnsureBuilt();

namespace {

constexpr double kNear = 1e7;
// The map icons loaded with the universe, by their place in dunMapIcons.
constexpr int kIconDestination = 0, kIconLagrange = 1, kIconCurrent = 2, kIconSelected = 3, kIconSmallBody = 4,
              kIconRoute = 5;

struct View {
    Surface *surface;
    const uint8_t *inverse;  // 8 bits: RGB to palette index
    int16_t left, top, right, bottom;
    float cx, cy;
    double scale;
};

Surface *gTarget;

// One line into the surface at 16 bits (RGB565) or, at 8, through the
// inverse colour table.
void PutLine(const View &v, int x0, int y0, int x1, int y1, uint32_t rgb) {
    Surface *s = v.surface;
    if (!s || !s->pixels) return;
    const unsigned red = rgb & 0xFF, green = (rgb >> 8) & 0xFF, blue = (rgb >> 16) & 0xFF;
    ++gNavMapLinesDrawn;
    if (SurfaceBytesPerPixel(s) != 2) {
        if (v.inverse)
            DrawLineRgb(s, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1),
                        Rgb{uint8_t(red), uint8_t(green), uint8_t(blue)}, v.inverse);
        return;
    }
    const uint16_t c = uint16_t(((red & 248) << 8) + ((green & 252) << 3) + (blue >> 3));
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int e = dx + dy;
    for (int guard = 0; guard < 8192; ++guard) {
        if (x0 >= 0 && y0 >= 0 && x0 < s->width && y0 < s->height)
            reinterpret_cast<uint16_t *>(s->pixels + size_t(y0) * s->pitch)[x0] = c;
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * e;
        if (e2 >= dy) e += dy, x0 += sx;
        if (e2 <= dx) e += dx, y0 += sy;
    }
}

void Pixel(const View &v, int x, int y, int colour, int size) {
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            if (x + i >= v.left && x + i <= v.right && y + j >= v.top && y + j <= v.bottom)
                PutPixel(v.surface, colour, x + i, y + j);
}

void ClippedLine(const View &v, float x0, float y0, float x1, float y1, uint32_t rgb) {
    if (!NavMapClipLine(&x0, &y0, &x1, &y1, v.left, v.top, v.right, v.bottom)) return;
    PutLine(v, int(x0), int(y0), int(x1), int(y1), rgb);
}

uint32_t Shaded(uint32_t rgb, float b) {
    if (!(b > 0.0f)) b = 0.0f;
    if (b > 1.0f) b = 1.0f;
    const uint32_t r = uint32_t(float(rgb & 0xFF) * b), g = uint32_t(float((rgb >> 8) & 0xFF) * b),
                   bl = uint32_t(float((rgb >> 16) & 0xFF) * b);
    return r | g << 8 | bl << 16;
}

void Line3D(const View &v, const Vec3d &c0, const Vec3d &c1, float x0, float y0, float x1, float y1, uint32_t rgb,
            float brightness) {
    if (!NavMapClipNear(c0, c1, &x0, &y0, &x1, &y1, v.scale, v.cx, v.cy)) return;
    ClippedLine(v, x0, y0, x1, y1, Shaded(rgb, brightness));
}

void Project(const View &v, const Vec3d &p, Vec3d *c, float *x, float *y, float *depth) {
    NavMapProjectPoint(gNavMap.camera, p, v.scale, c, x, y, depth);
    *x += v.cx;
    *y += v.cy;
}

void DrawRing(const View &v, const NavMapRing &ring, float percentage) {
    if (!ring.built) return;
    float b = percentage / 100.0f;
    if (b > 1.0f) b = 1.0f;
    Vec3d c[kNavMapRingPoints];
    float x[kNavMapRingPoints], y[kNavMapRingPoints], d[kNavMapRingPoints];
    float nearD = 1e30f, farD = -1e30f;
    for (int k = 0; k < kNavMapRingPoints; ++k) {
        const Vec3 &p = ring.points[k];
        Project(v, {p.x, p.y, p.z}, &c[k], &x[k], &y[k], &d[k]);
        if (d[k] < nearD) nearD = d[k];
        if (d[k] > farD) farD = d[k];
    }
    for (int k = 0; k < kNavMapRingPoints; ++k) {
        const int n = (k + 1) % kNavMapRingPoints;
        Line3D(v, c[k], c[n], x[k], y[k], x[n], y[n], ring.colour, NavMapRingShade(d[k], nearD, farD, b));
    }
}

void DrawLanes(const View &v, int level) {
    if (level < 0) level = 0;
    if (level > 255) level = 255;
    for (NavMapLane *l = gNavMap.lanes.next; l && l != &gNavMap.lanes; l = l->next) {
        Vec3d ca, cb;
        float xa, ya, da, xb, yb, db;
        Project(v, {l->a->x, l->a->y, l->a->z}, &ca, &xa, &ya, &da);
        Project(v, {l->b->x, l->b->y, l->b->z}, &cb, &xb, &yb, &db);
        const uint32_t u = uint32_t(level);
        const uint32_t rgb = l->highlight ? (u | u << 8 | u << 16) : u << 16;
        Line3D(v, ca, cb, xa, ya, xb, yb, rgb, 1.0f);
    }
}

void Text(const View &v, int x, int y, const char *text, int colour = -1) {
    if (!HudFont || !text) return;
    const ClipRect clip = {v.left, v.top, v.right, v.bottom};
    dunDrawText(v.surface, &x, &y, text, HudFont, colour < 0 ? HudColour : colour, &clip);
}

void ProjectStars(const View &v) {
    for (int i = 0; i < dunNamedStarCount; ++i) {
        StarRecord &s = dunStars[i];
        Vec3d c;
        float x, y, d;
        Project(v, {s.x, s.y, s.z}, &c, &x, &y, &d);
        s.mapScratch[0] = x;
        s.mapScratch[1] = y;
        s.mapScratch[2] = d;
    }
}

void DrawStars(const View &v) {
    for (int i = 0; i < dunNamedStarCount; ++i) {
        const StarRecord &s = dunStars[i];
        if (!(s.mapScratch[2] > 0.0f)) continue;
        int colour = int(s.colour + 26.0f);
        if (colour < 26) colour = 26;
        if (colour > 47) colour = 47;
        const int x = int(s.mapScratch[0]), y = int(s.mapScratch[1]);
        Pixel(v, x, y, colour, (s.flags & StarFlag::Near) ? 2 : 1);
        if (dunStarMap.mode == 'G' && (s.flags & dunStarMap.starFilter)) Text(v, x + 5, y, s.namePointer);
    }
}

// One of the map's icons centred on a point; false when it is not loaded.
bool Icon(const View &v, int icon, int x, int y) {
    auto *handle = static_cast<ResourceHandle *>(dunMapIcons[icon]);
    const auto *raster = handle ? static_cast<const Raster *>(resmanLoad(handle)) : nullptr;
    if (!raster || !raster->pixels || !v.surface) return false;
    const ClipRect clip = {v.left, v.top, v.right, v.bottom};
    BlitGlyphClipped(v.surface, AsSurface(raster), &clip, x - raster->width / 2, y - raster->height / 2, 0);
    return true;
}

void DrawMarks(const View &v) {
    if (dunStarMap.mode != 'G') return;
    const struct {
        StarRecord *star;
        int colour, size, icon;
    } marks[] = {{gNavMap.routeStar, 223, 7, kIconRoute},
                 {dunStarMap.selectedStar, 97, 5, kIconSelected},
                 {dunStarMap.currentStar, 160, 3, kIconCurrent}};
    for (const auto &m : marks) {
        if (!m.star || !(m.star->mapScratch[2] > 0.0f)) continue;
        if (Icon(v, m.icon, int(m.star->mapScratch[0]), int(m.star->mapScratch[1]))) continue;
        const float x = m.star->mapScratch[0], y = m.star->mapScratch[1], r = float(m.size);
        const uint32_t rgb = m.colour == 223 ? 0x00C0FF : m.colour == 97 ? 0x40FF40 : 0xFFFFFF;
        ClippedLine(v, x - r, y - r, x + r, y - r, rgb);
        ClippedLine(v, x + r, y - r, x + r, y + r, rgb);
        ClippedLine(v, x + r, y + r, x - r, y + r, rgb);
        ClippedLine(v, x - r, y + r, x - r, y - r, rgb);
    }
}

void DrawBodies(const View &v) {
    for (int i = 0; i < dunStarMap.entryCount; ++i) {
        NavMapBodyEntry &e = dunStarMap.entries[i];
        Vec3d c;
        Project(v, e.position, &c, &e.screenX, &e.screenY, &e.depth);
        if (!(e.depth > 0.0f) || !e.body) continue;
        const BodyRecord *b = e.body;
        const int x = int(e.screenX), y = int(e.screenY);
        Pixel(v, x, y, 160, 2);
        // A body with moons far enough to be a dot gets an icon round it.
        if ((b->flags & BodyFlag::HasChildren) && 460.0f * b->radius < e.depth) Icon(v, kIconSmallBody, x, y);
        if ((b->flags & BodyFlag::Lagrange) &&
            !Icon(v, b == dunTargetLpBody ? kIconDestination : kIconLagrange, x, y)) {
            // The destination's mark is larger than a plain point's.
            const float r = b == dunTargetLpBody ? 6.0f : 3.0f;
            const uint32_t rgb = b == dunTargetLpBody ? 0x40FFFF : 0x40A0FF;
            ClippedLine(v, float(x) - r, float(y), float(x), float(y) - r, rgb);
            ClippedLine(v, float(x), float(y) - r, float(x) + r, float(y), rgb);
            ClippedLine(v, float(x) + r, float(y), float(x), float(y) + r, rgb);
            ClippedLine(v, float(x), float(y) + r, float(x) - r, float(y), rgb);
        }
        const BodyRecord *parent = b->parent;
        bool named = !parent || parent == b;
        if (!named && (b->flags & gNavMap.bodyFilter) && parent->mapPosition) {
            const NavMapBodyEntry *pe = nullptr;
            for (int j = 0; j < dunStarMap.entryCount; ++j)
                if (dunStarMap.entries[j].body == parent) pe = &dunStarMap.entries[j];
            named = !pe || std::fabs(pe->screenX - e.screenX) > 50.0f || std::fabs(pe->screenY - e.screenY) > 12.0f;
        }
        if (named) Text(v, x, y, b->name);
    }
}

const char *ByLanguage(const char *const texts[3]) { return texts[gLanguage < 3 ? gLanguage : 0]; }

void DrawTexts(const View &v) {
    static const char *const current[3] = {"CURRENT STAR SYSTEM: %s", "SYST\xC8ME STELLAIRE EN COURS: %s",
                                           "AKTUELLES STERNENSYSTEM: %s"};
    static const char *const selected[3] = {"SELECTED STAR: %s",
                                            "\xC9TOILE S\xC9LECTIONN\xC9"
                                            "E: %s",
                                            "AUSGEW\xC4HLTER STERN: %s"};
    static const char *const focus[3] = {"FOCUS: %s", "S\xC9LECTION: %s", "FOKUS: %s"};
    static const char *const noFocus[3] = {"NO FOCUS", "PAS DE S\xC9LECTION", "KEIN FOKUS"};
    static const char *const dest[3] = {"LP DEST: %s (%s)", "DEST PL: %s (%s)", "LP-ZIEL: %s (%s)"};
    static const char *const noDest[3] = {"NO DEST LP", "PAS DE DEST PL", "KEIN LP-ZIEL"};
    char line[160];
    const int x = v.left + 24;
    auto name = [](const StarRecord *s) { return s ? s->namePointer : ""; };
    std::snprintf(line, sizeof line, ByLanguage(current), name(dunStarMap.currentStar));
    Text(v, x, v.top + 18, line);
    std::snprintf(line, sizeof line, ByLanguage(selected), name(dunStarMap.selectedStar));
    Text(v, x, v.top + 28, line);
    const int f = gNavMap.focusEntry;
    if (f >= 0 && f < dunStarMap.entryCount && dunStarMap.entries[f].body)
        std::snprintf(line, sizeof line, ByLanguage(focus), dunStarMap.entries[f].body->name);
    else std::snprintf(line, sizeof line, "%s", ByLanguage(noFocus));
    Text(v, x, v.top + 38, line);
    if (dunTargetLpBody)
        std::snprintf(line, sizeof line, ByLanguage(dest), dunTargetLpBody->name,
                      gNavMap.lpStarName ? gNavMap.lpStarName : dunStarNameByCode(dunTargetLpStar));
    else std::snprintf(line, sizeof line, "%s", ByLanguage(noDest));
    Text(v, x, v.top + 48, line);
}

}  // namespace

// ---- Projection and clipping ----------------------------------------------------------------------

void NavMapProjectPoint(const NavMapCamera &camera, const Vec3d &p, double scale, Vec3d *c, float *sx, float *sy,
                        float *depth) {
    const Vec3d d = {p.x - camera.eye.x, p.y - camera.eye.y, p.z - camera.eye.z};
    const Vec3d r = {d.x * camera.right.x + d.y * camera.right.y + d.z * camera.right.z,
                     d.x * camera.up.x + d.y * camera.up.y + d.z * camera.up.z,
                     d.x * camera.forward.x + d.y * camera.forward.y + d.z * camera.forward.z};
    *c = r;
    const double z = r.z != 0.0 ? r.z : 1e-30;
    *sx = float(scale * r.x / z);
    // Screen y grows downwards.
    *sy = float(-scale * r.y / z);
    *depth = float(r.z);
}

int NavMapOutcode(float x, float y, int16_t left, int16_t top, int16_t right, int16_t bottom) {
    int code = 0;
    if (x < left) code = 1;
    else if (x > right) code = 2;
    if (y < top) code |= 4;
    else if (y > bottom) code |= 8;
    return code;
}

bool NavMapClipLine(float *x0, float *y0, float *x1, float *y1, int16_t left, int16_t top, int16_t right,
                    int16_t bottom) {
    int c0 = NavMapOutcode(*x0, *y0, left, top, right, bottom), c1 = NavMapOutcode(*x1, *y1, left, top, right, bottom);
    for (int guard = 0; guard < 16; ++guard) {
        if (!(c0 | c1)) return true;
        if (c0 & c1) return false;
        const int code = c0 ? c0 : c1;
        float x = 0.0f, y = 0.0f;
        const float ax = *x0, ay = *y0, bx = *x1, by = *y1;
        // Each boundary that applies replaces the point: the last one wins.
        if (code & 1) y = (left - ax) * (by - ay) / (bx - ax) + ay, x = left;
        if (code & 2) y = (right - ax) * (by - ay) / (bx - ax) + ay, x = right;
        if (code & 4) x = (top - ay) * (bx - ax) / (by - ay) + ax, y = top;
        if (code & 8) x = (bottom - ay) * (bx - ax) / (by - ay) + ax, y = bottom;
        if (code == c0) {
            *x0 = x, *y0 = y;
            c0 = NavMapOutcode(x, y, left, top, right, bottom);
        } else {
            *x1 = x, *y1 = y;
            c1 = NavMapOutcode(x, y, left, top, right, bottom);
        }
    }
    return false;
}

bool NavMapClipNear(Vec3d c0, Vec3d c1, float *x0, float *y0, float *x1, float *y1, double scale, float cx,
                    float cy) {
    const bool in0 = c0.z >= kNear, in1 = c1.z >= kNear;
    if (!in0 && !in1) return false;
    if (in0 && in1) return true;
    const Vec3d &front = in0 ? c0 : c1, &back = in0 ? c1 : c0;
    const double t = (front.z - kNear) / (front.z - back.z);
    const Vec3d p = {front.x + (back.x - front.x) * t, front.y + (back.y - front.y) * t, kNear};
    const float x = float(scale * p.x / kNear + cx), y = float(-scale * p.y / kNear + cy);
    if (in0) *x1 = x, *y1 = y;
    else *x0 = x, *y0 = y;
    return true;
}

float NavMapRingShade(float depth, float nearDepth, float farDepth, float b) {
    const float range = 2.0f * (farDepth - nearDepth);
    // A ring seen face-on has every point at one depth: full brightness.
    if (!(range > 0.0f)) return b;
    return (1.0f - (depth - nearDepth) / range) * b;
}

// ---- Drawing -----------------------------------------------------------------------------------

void NavMapDraw(GuiWindow *window) {
    if (!window) return;
    NavMapEnsureBuilt();
    gNavMapLinesDrawn = 0;
    View v;
    v.surface = gTarget ? gTarget : guiScreen();
    // At 8 bits the lines go through an inverse of the palette: the HUD's
    // when it has one, else the one made from the current palette.
    v.inverse = HudInverseTable;
    if (!v.inverse && v.surface && SurfaceBytesPerPixel(v.surface) != 2) v.inverse = ParticleInverseTable();
    v.left = window->rect[0];
    v.top = window->rect[1];
    v.right = window->rect[2];
    v.bottom = window->rect[3];
    if (!v.surface || v.right <= v.left || v.bottom <= v.top) return;
    v.cx = float(v.left + v.right) / 2.0f;
    v.cy = float(v.top + v.bottom) / 2.0f;
    v.scale = NavMapScale(v.left, v.right);
    FillRect(v.surface, 0, v.left, v.top, v.right, v.bottom);
    NavMapCameraStep(dunFrameStep);
    ProjectStars(v);
    const char mode = dunStarMap.mode;
    const int t = gNavMap.camera.timeLeft;
    float globe = 0.0f;
    int lanes = -1;
    if (mode == 'G') globe = 100.0f, lanes = 255;
    else if (mode == 'I') globe = 100.0f - float(t) / 8.0f, lanes = 256 - t / 2;
    else if (mode == 'T') globe = float(t) / 8.0f, lanes = t / 2 > 255 ? 255 : t / 2;
    if (globe > 0.0f)
        for (int r = 0; r < kNavMapGlobeRings; ++r) DrawRing(v, gNavMap.rings[r], globe);
    if (lanes > 0) DrawLanes(v, lanes);
    DrawStars(v);
    for (int r = kNavMapGlobeRings; r < gNavMap.ringCount && r < kNavMapRings; ++r) DrawRing(v, gNavMap.rings[r], 100.0f);
    if (mode == 'S') DrawBodies(v);
    DrawMarks(v);
    DrawTexts(v);
    guiRedrawWithChildren(window);
}

void NavMapDrawInto(Surface *surface) { gTarget = surface; }

bool NavMapMouseHeld(float *mx, float *my) {
    GuiWindow *w = gNavMap.mapWindow;
    if (!w || !(w->flags & GuiFlag::Held)) return false;
    const float width = float(w->rect[2] - w->rect[0] + 1), height = float(w->rect[3] - w->rect[1] + 1);
    *mx = (float(gMouse.x) - w->rect[0]) / width - 0.5f;
    *my = (float(gMouse.y) - w->rect[1]) / height - 0.5f;
    return true;
}

void NavMapMouseDown(GuiWindow *w) {
    if (!w) return;
    const float width = float(w->rect[2] - w->rect[0] + 1), height = float(w->rect[3] - w->rect[1] + 1);
    gNavMap.pressX = (float(gMouse.x) - w->rect[0]) / width - 0.5f;
    gNavMap.pressY = (float(gMouse.y) - w->rect[1]) / height - 0.5f;
    gNavMap.pressYaw = gNavMap.camera.yaw;
    gNavMap.pressHeight = gNavMap.camera.height;
}

void NavMapPress(GuiWindow *w) {
    NavMapMouseDown(w);
    const float x = float(gMouse.x), y = float(gMouse.y);
    if (dunStarMap.mode == 'G') {
        if (StarRecord *s = NavMapPickStar(x, y)) {
            gNavMap.focusStar = dunStarMap.selectedStar = s;
            NavMapFlyToStar(s);
        }
    } else if (dunStarMap.mode == 'S') {
        const int e = NavMapPickBody(x, y);
        if (e >= 0) {
            gNavMap.focusEntry = int16_t(e);
            NavMapFlyToBody(&dunStarMap.entries[e]);
        }
    }
}

// ---- Opening and closing ------------------------------------------------------------------------

void NavMapOpenClose(int) {
    if (gNavMapLock) return;
    if (!dunUniverseCreated) dunCreateUniverse();
    NavMapEnsureBuilt();
    if (!dunStarMap.currentStar) {
        for (int i = 0; i < dunNamedStarCount && !dunStarMap.currentStar; ++i)
            if (dunStars[i].system == dunCurrentSystem) dunStarMap.currentStar = &dunStars[i];
    }
    const bool wasOpen = gStarMapOpen;
    gMapRealView = wasOpen ? 1 : 0;
    gMapOverlayOpen = 0;
    if (wasOpen) {
        gStarMapOpen = gGalaxyMapOpen = gSolarMapOpen = 0;
    } else {
        guiCloseComArm();
        if (gBriefingOpen || gScriptPause) ResetMissionFlags();
        gDocViewerOpen = 0;
        gLocalSpaceOpen = 0;
        gObjectivesOpen = 0;
        gStarMapOpen = 1;
        const bool solar = dunStarMap.mode == 'T' || dunStarMap.mode == 'S';
        gSolarMapOpen = solar;
        gGalaxyMapOpen = !solar;
    }
    guiMarkRedraw();
}

void NavMapCloseIfOpen() {
    if (gStarMapOpen) NavMapOpenClose(0);
}

void NavMapToggle() {
    if (gNavMapLock) return;
    if (gStarMapOpen) NavMapOpenClose(0);
    gMapOverlayOpen = !gMapOverlayOpen;
    if (gMapOverlayOpen) {
        const ShipInfo *info = dunPlayerShip && dunPlayerShip->sim ? dunPlayerShip->sim->shipInfo : nullptr;
        gMapOverlayCompanion = info && (info->classFlags & 0x10) ? 1 : 0;
    }
    gMapRealView = !gMapOverlayOpen;
    guiMarkRedraw();
}

bool NavMapCloseOverlay(int) {
    const bool was = gMapOverlayOpen;
    gMapOverlayOpen = 0;
    gMapRealView = 1;
    return was;
}

bool NavMapKeyHandler(uint16_t key) {
    if (!gStarMapOpen) return false;
    return dunSelectBodyByKey(key >> 8) != 0;
}

// ---- The windows -------------------------------------------------------------------------------

namespace {

void Show(GuiWindow *w, const uint8_t *byte) {
    if (!w) return;
    w->visible = byte;
    w->flags |= GuiFlag::Visibility;
}

GuiWindow *Bind(const char *name, GuiDrawProc activate, const uint8_t *byte) {
    GuiWindow *w = activate ? guiBindActivate(name, activate) : guiFindWindow(name);
    Show(w, byte);
    return w;
}

uint32_t *FilterOf(int i) { return i < 3 ? &dunStarMap.starFilter : &gNavMap.bodyFilter; }
constexpr uint32_t kFilterBits[6] = {0x10, 0x80, 0x08, 0x01, 0x04, 0x02};

void ToggleFilter(GuiWindow *w, int i) {
    *FilterOf(i) ^= kFilterBits[i];
    if (i >= 3) NavMapColourOrbits();
    if (w) {
        w->state = (*FilterOf(i) & kFilterBits[i]) ? 255 : 0;
        guiReload(w);
    }
}

void Capsule(GuiWindow *) { gGuiSystemJumpRequest = 1; }

}  // namespace

void NavMapScreenBuild() {
    NavMapEnsureBuilt();
    Show(guiFindWindow("CMDRealV"), &gMapRealView);
    Bind("SelWin", nullptr, &gStarMapOpen);
    if (GuiWindow *map = Bind("SolarMap", NavMapPress, &gStarMapOpen)) {
        map->draw = NavMapDraw;
        map->onEvent = NavMapMouseDown;
        gNavMap.mapWindow = map;
    }
    Bind("BtNavSolar", NavMapEnterSystem, &gGalaxyMapOpen);
    Bind("BtNavGalaxy", NavMapLeaveSystem, &gSolarMapOpen);
    Bind("BtNavZoomin", NavMapZoomIn, &gStarMapOpen);
    Bind("BtNavZoomout", NavMapZoomOut, &gStarMapOpen);
    if (GuiWindow *w = Bind("BtNavSelect", NavMapSelectDestination, &gStarMapOpen))
        if (!optLagrange) guiMarkForDelete(w);
    guiBindActivate("BtCapsule", Capsule);
    static const struct {
        const char *name;
        GuiDrawProc toggle;
    } filters[6] = {
        {"BtNavStarSystem", [](GuiWindow *w) { ToggleFilter(w, 0); }},
        {"BtNavStarCapsule", [](GuiWindow *w) { ToggleFilter(w, 1); }},
        {"BtNavStarOuter", [](GuiWindow *w) { ToggleFilter(w, 2); }},
        {"BtNavPlanetStar", [](GuiWindow *w) { ToggleFilter(w, 3); }},
        {"BtNavPlanetMoon", [](GuiWindow *w) { ToggleFilter(w, 4); }},
        {"BtNavPlanetPlanet", [](GuiWindow *w) { ToggleFilter(w, 5); }},
    };
    for (int i = 0; i < 6; ++i) {
        GuiWindow *w = Bind(filters[i].name, filters[i].toggle, i < 3 ? &gGalaxyMapOpen : &gSolarMapOpen);
        gNavMap.filterButtons[i] = w;
        if (!w) continue;
        w->draw = guiDrawDialogueButton;
        w->state = (*FilterOf(i) & kFilterBits[i]) ? 255 : 0;
    }
    for (const char *name : {"NavBox2", "NavBox3", "NavBox4"}) Show(guiFindWindow(name), &gGalaxyMapOpen);
    for (const char *name : {"NavBox10", "NavBox11", "NavBox12"}) Show(guiFindWindow(name), &gSolarMapOpen);
    if (gGuiScreen && gGuiScreen->paneCount > 0) --gGuiScreen->paneCount;
}

void NavMapRegisterScreen() { guiRegisterScreen("Debug", NavMapScreenBuild, guiCockpitKeyHandler); }
