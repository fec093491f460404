// The draw routines the GUI gives its 3D view windows: each window draws
// into its own colour and depth sub-pixelmaps of the screen.
#include "RES/gfx2d.h"
#include "core/options.h"
#include "core/profiler.h"
#include "platform/display.h"
#include "present/hooks.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "present/lspace.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"

namespace {

// A window's sub-pixelmaps, kept while its rectangle stays: the GUI draws
// every view every frame.
struct ViewBuffers {
    const void *window;
    int16_t x, y, w, h;
    vt_pixelmap *colour, *depth;
};
constexpr int kViewBuffers = 16;
ViewBuffers gBuffers[kViewBuffers];

void FreePair(ViewBuffers &b) {
    if (b.colour) VtPixelmapFree(b.colour);
    if (b.depth) VtPixelmapFree(b.depth);
    b = ViewBuffers{};
}

vt_pixelmap *Sub(vt_pixelmap *whole, int x, int y, int w, int h) {
    vt_pixelmap *pm = whole ? VtPixelmapAllocateSub(whole, x, y, w, h) : nullptr;
    if (pm) {
        pm->origin_x = vt_int_16(pm->width / 2);
        pm->origin_y = vt_int_16(pm->height / 2);
    }
    return pm;
}

ViewBuffers *BuffersFor(const void *window, int x, int y, int w, int h) {
    ViewBuffers *slot = nullptr;
    for (ViewBuffers &b : gBuffers)
        if (b.window == window) slot = &b;
    if (slot && slot->x == x && slot->y == y && slot->w == w && slot->h == h) return slot;
    if (!slot)
        for (ViewBuffers &b : gBuffers)
            if (!b.window) slot = &b;
    if (!slot) slot = &gBuffers[0];
    FreePair(*slot);
    *slot = ViewBuffers{window,
                        int16_t(x),
                        int16_t(y),
                        int16_t(w),
                        int16_t(h),
                        Sub(gP3D.screen, x, y, w, h),
                        Sub(gP3D.depth, x, y, w, h)};
    return slot;
}

SceneItem *Viewer(const P3DPane *pane) {
    auto *cell = static_cast<SceneItem **>(pane->user);
    return cell ? *cell : nullptr;
}

void ViewRect(const P3DPane *pane, int16_t rect[4]) {
    rect[0] = pane->x;
    rect[1] = pane->y;
    rect[2] = int16_t(pane->x + pane->w - 1);
    rect[3] = int16_t(pane->y + pane->h - 1);
}

void Mark(bool marks, const char *name) {
    if (!marks || gViewSecondary) return;
    ProfilerCheckpoint(gProfileRecorder, name);
    if (gP3DMarkObserver) gP3DMarkObserver(name);
}

void Draw(P3DPane *pane, bool marks) {
    P3DAllocViewBuffers(pane);
    int16_t rect[4];
    ViewRect(pane, rect);
    SceneItem *viewer = Viewer(pane);
    if (!viewer) return;
    Mark(marks, "PRE-PROCESS");
    dunPresentSceneItem(viewer, rect);
    Mark(marks, "AV-TO-GRF");
    P3DRenderFrame(viewer, rect);
    P3DSelectViewBuffers(pane);
}

}  // namespace

// The windows themselves may be gone by now: only their entries go.
void P3DForgetViewBuffers() {
    for (ViewBuffers &b : gBuffers) FreePair(b);
    gP3D.viewDirty = nullptr;
    WeaponHardpointsForget();
}

void P3DAllocViewBuffers(P3DPane *pane) {
    int x = pane->x, y = pane->y, w = pane->w, h = pane->h;
    if (CardMode && gP3D.screen) {
        if (w == gP3D.screen->width) w -= 2, x += 1;
        if (h == gP3D.screen->height) h -= 2, y += 1;
    }
    ViewBuffers *b = BuffersFor(pane->owner, x, y, w, h);
    pane->image = b->colour;
    pane->imageAlt = b->depth;
    gP3D.colourTarget = b->colour;
    gP3D.depthTarget = b->depth;
    gP3D.viewDirty = pane->dirty;
}

void P3DSelectViewBuffers(P3DPane *) {
    if (CardMode) {
        gP3D.colourTarget = gP3D.screen;
        gP3D.depthTarget = gP3D.depth;
    }
    gP3D.viewDirty = nullptr;
}

void P3DDrawViewWindow(P3DPane *pane) {
    if (pane) Draw(pane, true);
}

void P3DPrepareViewWindow(P3DPane *pane) {
    if (!pane) return;
    int16_t rect[4];
    ViewRect(pane, rect);
    if (SceneItem *viewer = Viewer(pane)) dunPresentSceneItem(viewer, rect);
}

void P3DDrawWireViewWindow(P3DPane *pane) {
    if (!pane) return;
    if (gP3D.mainWorld) gP3D.mainWorld->render_style = VT_RSTYLE_EDGES;
    Draw(pane, false);
    if (gP3D.mainWorld) gP3D.mainWorld->render_style = VT_RSTYLE_DEFAULT;
}

void P3DDrawHudViewWindow(P3DPane *pane) {
    if (!pane) return;
    P3DAllocViewBuffers(pane);
    if (gP3D.screen) gP3D.screen->pixels = ScreenSurface.pixels;
    if (gP3D.colourTarget) gP3D.colourTarget->pixels = ScreenSurface.pixels;
    if (!pane->user) return;
    ViewRect(pane, gP3D.viewRect);
    ViewClipRect = {gP3D.viewRect[0], gP3D.viewRect[1], gP3D.viewRect[2], gP3D.viewRect[3]};
    gP3D.projectionScale = StationId == 3 ? 227.783f : 345.244f;
    dunCall(P3DHud().drawInView, pane->user);
    P3DSelectViewBuffers(pane);
}

void P3DScreenRepainted() { gP3D.screenCleared = 0; }

void P3DEndViewEffects() {
    gP3D.clearColour = kP3DClearColour;
    gP3D.interference = 0;
    gViewSecondary = 0;
}

void P3DResetViewDirtyRect(P3DPane *pane) {
    if (!pane) return;
    for (const ViewBuffers &b : gBuffers)
        if (b.window == pane->owner && (b.colour || b.depth)) return;
    ++gP3D.viewWindowCount;
    if (int16_t *dirty = pane->dirty) {
        dirty[0] = dirty[1] = 32767;
        dirty[2] = dirty[3] = -32767;
    }
}

void P3DRenderSceneToView(int panel) {
    if (panel < 0) panel = int16_t(gGuiPanel);
    if (!CardMode || !gP3D.cockpitWorld || gGuiFullScreen || panel < 0) return;
    if (gP3D.cockpitLight)
        static_cast<vt_light *>(gP3D.cockpitLight->type_data)->colour =
            vt_colour(gPanelColour[0]) << 16 | vt_colour(gPanelColour[1]) << 8 | gPanelColour[2];
    if (gP3D.screen) VtPixelmapFill(gP3D.screen, 0);
    if (gP3D.depth) VtPixelmapFill(gP3D.depth, 0xFFFFFFFF);
    if (gP3D.panelActor) gP3D.panelActor->model = P3DPanelModel(panel);
    // The library's device draws into the back buffer only while the
    // game's 2D drawing has it unlocked.
    Display3dUnlockBack();
    if (gP3D.screen) VtZsSceneRender(gP3D.cockpitWorld, gP3D.cockpitCamera, gP3D.screen);
    Display3dLockBack();
}
