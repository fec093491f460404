// The draw routines the GUI gives its 3D view windows: each window draws
// into its own colour and depth sub-pixelmaps of the screen.
#include "RES/gfx2d.h"
#include "core/options.h"
#include "core/profiler.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/hud.h"
#include "platform/display.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "script/settings.h"
#include "world/records.h"
#include "world/step.h"

namespace {

// A window's sub-pixelmaps, kept while its rectangle stays: the GUI draws
// every view every frame.
struct ViewBuffers {
    GuiWindow *window;
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

ViewBuffers *BuffersFor(GuiWindow *window, int x, int y, int w, int h) {
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

SceneItem *Viewer(GuiWindow *window) {
    auto *cell = static_cast<SceneItem **>(window->userPtr);
    return cell ? *cell : nullptr;
}

void ViewRect(GuiWindow *window, int16_t rect[4]) {
    rect[0] = window->rect[0];
    rect[1] = window->rect[1];
    rect[2] = int16_t(window->rect[0] + window->w - 1);
    rect[3] = int16_t(window->rect[1] + window->h - 1);
}

void Mark(bool marks, const char *name) {
    if (marks && !gViewSecondary) ProfilerCheckpoint(gProfileRecorder, name);
}

void Draw(GuiWindow *window, bool marks) {
    P3DAllocViewBuffers(window);
    int16_t rect[4];
    ViewRect(window, rect);
    SceneItem *viewer = Viewer(window);
    if (!viewer) return;
    Mark(marks, "PRE-PROCESS");
    dunPresentSceneItem(viewer, rect);
    Mark(marks, "AV-TO-GRF");
    P3DRenderFrame(viewer, rect);
    P3DSelectViewBuffers(window);
}

}  // namespace

// The windows themselves may be gone by now: only their entries go.
void P3DForgetViewBuffers() {
    for (ViewBuffers &b : gBuffers) FreePair(b);
    gP3D.currentWindow = nullptr;
}

void P3DAllocViewBuffers(GuiWindow *window) {
    int x = window->rect[0], y = window->rect[1], w = window->w, h = window->h;
    if (CardMode && gP3D.screen) {
        if (w == gP3D.screen->width) w -= 2, x += 1;
        if (h == gP3D.screen->height) h -= 2, y += 1;
    }
    ViewBuffers *b = BuffersFor(window, x, y, w, h);
    window->image = b->colour;
    window->imageAlt = b->depth;
    gP3D.colourTarget = b->colour;
    gP3D.depthTarget = b->depth;
    gP3D.currentWindow = window;
}

void P3DSelectViewBuffers(GuiWindow *) {
    if (CardMode) {
        gP3D.colourTarget = gP3D.screen;
        gP3D.depthTarget = gP3D.depth;
    }
    gP3D.currentWindow = nullptr;
}

void P3DDrawViewWindow(GuiWindow *window) {
    if (window) Draw(window, true);
}

void P3DPrepareViewWindow(GuiWindow *window) {
    if (!window) return;
    int16_t rect[4];
    ViewRect(window, rect);
    if (SceneItem *viewer = Viewer(window)) dunPresentSceneItem(viewer, rect);
}

void P3DDrawWireViewWindow(GuiWindow *window) {
    if (!window) return;
    if (gP3D.mainWorld) gP3D.mainWorld->render_style = VT_RSTYLE_EDGES;
    Draw(window, false);
    if (gP3D.mainWorld) gP3D.mainWorld->render_style = VT_RSTYLE_DEFAULT;
}

void P3DDrawHudViewWindow(GuiWindow *window) {
    if (!window) return;
    P3DAllocViewBuffers(window);
    if (gP3D.screen) gP3D.screen->pixels = ScreenSurface.pixels;
    if (gP3D.colourTarget) gP3D.colourTarget->pixels = ScreenSurface.pixels;
    auto *hud = static_cast<HUD *>(window->userPtr);
    if (!hud) return;
    ViewRect(window, gP3D.viewRect);
    ViewClipRect = {gP3D.viewRect[0], gP3D.viewRect[1], gP3D.viewRect[2], gP3D.viewRect[3]};
    gP3D.projectionScale = StationId == 3 ? 227.783f : 345.244f;
    hudDrawInView(hud);
    P3DSelectViewBuffers(window);
}

void P3DScreenRepainted() { gP3D.screenCleared = 0; }

void P3DEndViewEffects() {
    gP3D.clearColour = kP3DClearColour;
    gP3D.interference = 0;
    gViewSecondary = 0;
}

void P3DResetViewDirtyRect(GuiWindow *window) {
    if (!window) return;
    for (const ViewBuffers &b : gBuffers)
        if (b.window == window && (b.colour || b.depth)) return;
    ++gP3D.viewWindowCount;
    window->dirty[0] = window->dirty[1] = 32767;
    window->dirty[2] = window->dirty[3] = -32767;
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
