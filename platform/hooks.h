// What the display drivers, films and input ask of the floors above them:
// the GUI's redraws, stations and pointer, the HUD's bearing, the 3D view and
// the shell. The shell installs the table at start-up; without it (in tests)
// every call does nothing and every query answers "no".
#pragma once

#include <cstdint>

struct ClipRect;
struct GuiWindow;
struct Surface;

struct PlatformHooks {
    // ---- GUI
    // The whole screen is redrawn on the GUI's next frame.
    void (*markRedraw)();
    // A skip key ended a full-screen film: the GUI leaves the station and
    // notes the frame (its options screen ignores keys for a while after).
    void (*filmSkipped)(uint32_t frame);
    // A COM-screen panel is open (window films then stop at their last frame).
    bool (*panelOpen)();
    // The COM screen holds its clips on their last frame.
    bool (*clipsFrozen)();
    // The current screen's root window; null when there is none.
    GuiWindow *(*rootWindow)();
    // The GUI is not drawn.
    bool (*guiHidden)();
    void (*drawRaster)(GuiWindow *window);
    // A window's flag word (0x10000: a stopped doubled film keeps the palette).
    uint32_t (*windowFlags)(const GuiWindow *window);
    // How far the pointer image reaches from its hotspot.
    void (*pointerMargins)(int32_t *x, int32_t *y);
    // ---- HUD
    // Bearing in degrees of the components (a, b).
    double (*bearingDegrees)(double a, double b);
    // ---- 3D presentation
    // Renders the main world into a 3D view (-1: the current one) of the
    // 3D-card driver's back buffer.
    void (*renderSceneToView)(int view);
    // ---- Shell
    // The film window's list of intro films ran out.
    void (*introEnded)();
    // ---- GUI: the mouse pointer the 3D-card display draws
    // The pointer image; null when the GUI has none.
    const Surface *(*pointerSprite)();
    // True, with the GUI's clip rectangle, while a cockpit station is active
    // outside the front end.
    bool (*stationClip)(ClipRect *clip);
    // ---- 3D presentation
    // Ends the 3D system (frees the scene and the 3D-card display's
    // pixelmaps, ends the rendering library).
    void (*shutdown3d)();
};

void SetPlatformHooks(const PlatformHooks *hooks);
extern PlatformHooks gPlatformHooks;

// The calls, each nothing (or false, null, 0) without its hook.
namespace up {
inline void MarkRedraw() {
    if (gPlatformHooks.markRedraw) gPlatformHooks.markRedraw();
}
inline void FilmSkipped(uint32_t frame) {
    if (gPlatformHooks.filmSkipped) gPlatformHooks.filmSkipped(frame);
}
inline bool PanelOpen() { return gPlatformHooks.panelOpen && gPlatformHooks.panelOpen(); }
inline bool ClipsFrozen() { return gPlatformHooks.clipsFrozen && gPlatformHooks.clipsFrozen(); }
inline GuiWindow *RootWindow() { return gPlatformHooks.rootWindow ? gPlatformHooks.rootWindow() : nullptr; }
inline bool GuiHidden() { return gPlatformHooks.guiHidden && gPlatformHooks.guiHidden(); }
inline void DrawRaster(GuiWindow *window) {
    if (gPlatformHooks.drawRaster) gPlatformHooks.drawRaster(window);
}
inline uint32_t WindowFlags(const GuiWindow *window) {
    return gPlatformHooks.windowFlags ? gPlatformHooks.windowFlags(window) : 0;
}
inline void PointerMargins(int32_t *x, int32_t *y) {
    *x = *y = 0;
    if (gPlatformHooks.pointerMargins) gPlatformHooks.pointerMargins(x, y);
}
inline double BearingDegrees(double a, double b) {
    return gPlatformHooks.bearingDegrees ? gPlatformHooks.bearingDegrees(a, b) : 0.0;
}
inline void RenderSceneToView(int view) {
    if (gPlatformHooks.renderSceneToView) gPlatformHooks.renderSceneToView(view);
}
inline void IntroEnded() {
    if (gPlatformHooks.introEnded) gPlatformHooks.introEnded();
}
inline const Surface *PointerSprite() { return gPlatformHooks.pointerSprite ? gPlatformHooks.pointerSprite() : nullptr; }
inline bool StationClip(ClipRect *clip) { return gPlatformHooks.stationClip && gPlatformHooks.stationClip(clip); }
inline void Shutdown3d() {
    if (gPlatformHooks.shutdown3d) gPlatformHooks.shutdown3d();
}
}  // namespace up
