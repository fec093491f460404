// The display-driver interface: the one screen surface, the display mode,
// the driver tables and the nine operations that forward to the current
// driver, and the driver choice.
//
// `PixelDepth`, `BytesPerPixel`, `ResolutionMode`, `CardMode` and
// `FullScreenMode` live with the options (app/options.h).
#pragma once

#include <cstdint>

#include "RES/surface.h"

struct DisplayMode {
    uint16_t width;      // 640 at start-up
    uint16_t height;     // 480 at start-up
    uint16_t pixelBits;  // the drivers take the depth from PixelDepth itself
    void (*present)(DisplayMode *mode);  // set by Open (full-screen and window drivers)
    Surface *screen;                     // set by Open to ScreenSurface
};

// A palette block: 256 entries of red, green, blue, spare.
using PaletteEntries = const uint8_t *;

struct DisplayDriver {
    bool (*open)(DisplayMode *mode);
    void (*close)();
    void (*blitWindow)(DisplayMode *mode);
    void (*present)(DisplayMode *mode);
    void (*beginFrame)(DisplayMode *mode);
    void (*endFrame)();
    void (*setPaletteHandle)(PaletteEntries handle);
    void (*setPalette)(PaletteEntries entries);
    void (*loadPalette)(PaletteEntries entries);
};

// Which films back-end goes with the chosen driver; the films module maps it
// to its own table.
enum class VideoBackendKind : uint8_t { FullScreen, Window, Card };

// ---- Shared state ---------------------------------------------------------

extern Surface ScreenSurface;          // the one screen surface
extern DisplayMode TheDisplayMode;     // the one display mode record
inline DisplayMode &gDisplayMode = TheDisplayMode;  // the shell's name for it
extern const DisplayDriver *CurrentDisplayDriver;
extern VideoBackendKind CurrentVideoBackend;
extern uint8_t DirectDrawActive;
extern uint8_t SoftwareRendering;
extern uint8_t CardOptionFlag;  // the 3D-card option flag of the options and the scene pre-pass
extern PaletteEntries LastPalette;
extern float DisplayGamma;  // 0.5 .. 2, default 1
// Set when the window driver opens its display: from then on the main
// window passes every message, the mouse's among them, to the game window.
extern int32_t gDisplayOpen;

// ---- Forwarding operations ------------------------------------------------

bool DisplayOpen(DisplayMode *mode);
void DisplayClose();
void DisplayBlitWindow(DisplayMode *mode);
void DisplayPresent(DisplayMode *mode);
void DisplayBeginFrame(DisplayMode *mode);
void DisplayEndFrame();
void DisplaySetPaletteHandle(PaletteEntries handle);
void DisplaySetPalette(PaletteEntries entries);
void DisplayLoadPalette(PaletteEntries entries);  // null: nothing
// True while the open display shows one of two buffers that swap at each
// present (the full-screen driver's flip chain, the 3D card's device):
// whatever is drawn once lands in only one of them.
bool DisplayFlipsTwoBuffers();

// ---- Driver choice ----------------------------------------------------------

// The full-screen driver when the display can be brought up, else as
// SelectWindowDriver. Returns false when the probe failed.
bool SelectFullScreenDriver();
void SelectWindowDriver();
void SelectDeviceDriver();
// The mode's width and height for ResolutionMode 0, 1 and 2.
void ResolutionSize(int resolutionMode, uint16_t *width, uint16_t *height);

// Gamma correction of one channel: trunc(256 x (c / 256)^(1 / gamma)).
uint8_t GammaCorrect(uint8_t c, float gamma);
// Copies 256 entries into `out` and gamma-corrects entries 10..245.
void GammaCorrectPalette(uint8_t out[1024], const uint8_t *entries, float gamma);

// ---- The drivers ------------------------------------------------------------

extern const DisplayDriver DDrawDriver;
extern const DisplayDriver GdiDriver;
extern const DisplayDriver Display3dDriver;  // the 3D-card driver (its own module)

// Full-screen driver.
bool DisplayDDrawOpen(DisplayMode *mode);
void DisplayDDrawClose();
void DisplayDDrawPresent(DisplayMode *mode);
void DisplayDDrawBeginFrame(DisplayMode *mode);
void DisplayDDrawSetPaletteHandle(PaletteEntries handle);
void DisplayDDrawSetPalette(PaletteEntries entries);
void DisplayDDrawLoadPalette(PaletteEntries entries);
bool DDrawProbe();
bool DisplayDDrawRestore();
void DisplayDDrawSuspend();
void DisplayDDrawResume();

// Window driver.
bool DisplayGdiOpen(DisplayMode *mode);
void DisplayGdiClose();
void DisplayGdiPresent(DisplayMode *mode);
void DisplayGdiPresentOp(DisplayMode *mode);
void DisplayGdiEndFrame();
void DisplayGdiSetPalette(PaletteEntries entries);
void DisplayGdiLoadPalette(PaletteEntries entries);
void GdiCreateBackBuffer(DisplayMode *mode);
void GdiDeleteBackBuffer();
// The window driver's logical palette record (256 x red, green, blue, flags)
// and the palette the window shows (set up at Open, animated 10..245).
const uint8_t *GdiPaletteRecord();
const uint8_t *GdiShownPalette();

// 3D-card driver. Open sets the rendering library's environment, begins the
// library, its output device "3DFX_WIN" and the z-buffer renderer, and
// hands the device's back buffer to the 2D drawing as the screen surface.
bool Display3dOpen(DisplayMode *mode);
// Ends the 3D system (through the hook) and gives back what Open took.
void Display3dClose();
void Display3dPresent(DisplayMode *mode);
void Display3dBeginFrame(DisplayMode *mode);  // = Display3dLockBack
void Display3dSetPalette(PaletteEntries entries);
void Display3dLoadPalette(PaletteEntries entries);
// The back buffer's lock around the library's own drawing, and the depth
// buffer's (never locked with "nozlock"). Locking twice or unlocking an
// unlocked buffer does nothing.
void Display3dLockBack();
void Display3dUnlockBack();
void Display3dLockDepth();
void Display3dUnlockDepth();
bool Display3dBackLocked();
bool Display3dDepthLocked();
// Fills the back buffer with the value (the clear of ClearSurface in
// 3D-card mode).
void Display3dClear(int colour);
// The device's screen pixelmap, the back buffer the game draws and renders
// into, and its 16-bit depth buffer; null while the display is not open.
struct vt_pixelmap;
vt_pixelmap *Display3dScreen();
vt_pixelmap *Display3dBack();
vt_pixelmap *Display3dDepth();
// Frees the depth, back and screen pixelmaps and ends the rendering library
// when Open began it (the 3D system's end in 3D-card mode calls this);
// nothing when they are gone already.
void Display3dRelease();
// The pointer position recorded at each present, alternating between the
// two records (one for each buffer of the pair).
struct Display3dPointerRecord {
    int32_t x, y;
};
extern Display3dPointerRecord Display3dPointerAt[2];
// The second 3D-card flag, set when the 3D-card display opens; the
// LightWave loader's slab choice reads it.
extern uint8_t CardTextureFlag;
// The host's display as the library's output device sees it (os/ display
// calls); the shell installs it with VtOutputHostSet.
struct vt_output_host;
extern vt_output_host CardOutputHost;
