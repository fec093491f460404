// The 3D-card display driver: the rendering library opens its own output
// device "3DFX_WIN" in 16-bit colour and the game's 2D drawing goes into the
// library's back-buffer pixelmap, which the device shows at each present.
// The driver also starts the library and sets the environment it reads.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "core/progress.h"
#include "os/display.h"
#include "os/os.h"
#include "os/system.h"
#include "os/window.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/video.h"
#include "render/dev/device.h"
#include "render/drivers/output.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

uint8_t CardTextureFlag = 0;
Display3dPointerRecord Display3dPointerAt[2];

namespace {

constexpr const char *kLoadingError =
    "A problem has been detected during Vantor initialisation.\n\n"
    "Please see the Readme file for details on how to fix this problem";
constexpr const char *kLoadingErrorTitle = "Veltraxis Loading Error";
constexpr const char *kSplash = "FX_GLIDE_NO_SPLASH";

struct Card {
    vt_pixelmap *screen = nullptr;
    vt_pixelmap *back = nullptr;
    vt_pixelmap *depth = nullptr;
    vt_pixelmap *palette = nullptr;  // 1 x 256 RGBX_888, given to the screen
    bool libraryBegun = false;
    bool backLocked = false;
    bool depthLocked = false;
    bool splashSaved = false;        // the value before the first Open is kept
    bool hadSplash = false;          // FX_GLIDE_NO_SPLASH had a value then
    std::string oldSplash;
    int pointerRecord = 0;           // the record of the buffer being finished
    std::vector<uint8_t> underPointer;
} gCard;

void PointScreenAtBack() {
    ScreenSurface.pixels = static_cast<uint8_t *>(gCard.back->pixels);
    ScreenSurface.pitch = int16_t(gCard.back->row_bytes);
}

void PutEnv(const char *name, const char *value) {
    char text[300];
    std::snprintf(text, sizeof text, "%s=%s", name, value);
    osPutEnv(text);
}

// The area the pointer may be drawn in: 640 x 480, centred on larger screens.
ClipRect VisibleArea() {
    if (ResolutionMode == 0) return {0, 0, 639, 479};
    int16_t x = int16_t((ScreenSurface.width - 639) / 2), y = int16_t((ScreenSurface.height - 479) / 2);
    return {x, y, int16_t(x + 639), int16_t(y + 479)};
}

// The screen rows the pointer image covers at (x, y), within the clip.
struct Footprint {
    int left = 0, top = 0, width = 0, height = 0;
};

Footprint PointerFootprint(const Surface *sprite, const ClipRect &clip, int x, int y) {
    int left = std::max({x - sprite->hotX, int(clip.left), 0});
    int top = std::max({y - sprite->hotY, int(clip.top), 0});
    int right = std::min({x - sprite->hotX + sprite->width - 1, int(clip.right), ScreenSurface.width - 1});
    int bottom = std::min({y - sprite->hotY + sprite->height - 1, int(clip.bottom), ScreenSurface.height - 1});
    if (right < left || bottom < top) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

// Copies the footprint's rows between the screen and the save buffer.
void CopyUnderPointer(const Footprint &f, bool save) {
    const size_t row = size_t(f.width) * 2;
    if (save) gCard.underPointer.resize(row * size_t(f.height));
    for (int r = 0; r < f.height; r++) {
        uint8_t *screen = ScreenSurface.pixels + size_t(f.top + r) * ScreenSurface.pitch + size_t(f.left) * 2;
        uint8_t *saved = gCard.underPointer.data() + row * size_t(r);
        if (save) std::memcpy(saved, screen, row);
        else std::memcpy(screen, saved, row);
    }
}

void PaletteToScreen(PaletteEntries entries) {
    if (!gCard.screen || !entries) return;
    if (!gCard.palette) gCard.palette = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    if (!gCard.palette) return;
    auto *pixels = static_cast<uint8_t *>(gCard.palette->pixels);
    for (int i = 0; i < 256; i++) {
        uint8_t *e = pixels + size_t(i) * gCard.palette->row_bytes;
        e[0] = entries[i * 4 + 2];
        e[1] = entries[i * 4 + 1];
        e[2] = entries[i * 4];
        e[3] = 0;
    }
    VtPixelmapPaletteSet(gCard.screen, gCard.palette);
}

void NothingFrame(DisplayMode *) {}
void NothingVoid() {}
void NothingPalette(PaletteEntries) {}

// ---- The host's display for the library's output device ------------------------

char gHostScreen;

void *HostOpen(void *window, vt_boolean fullScreen, vt_int_32 width, vt_int_32 height) {
    if (window) osDisplayUseWindow(window);
    // The window covers the desktop at its own mode; frames are scaled up.
    OsDisplayRequest req{int(width), int(height), 16, fullScreen != 0, true};
    return osDisplayOpen(req) == OsDisplayResult::Ok ? &gHostScreen : nullptr;
}

void HostPresent(void *, const void *pixels, vt_int_32 rowBytes) {
    osDisplayPresent(static_cast<const uint8_t *>(pixels), int(rowBytes), nullptr);
}

void HostClose(void *) { osDisplayClose(); }

}  // namespace

vt_output_host CardOutputHost = {"Game display", HostOpen, HostPresent, HostClose};

bool Display3dOpen(DisplayMode *mode) {
    if (!mode) return false;
    // A display of this size is open already: the library and what the 3D
    // system made in it stay.
    if (gCard.screen && gCard.screen->width == mode->width && gCard.screen->height == mode->height) {
        mode->screen = &ScreenSurface;
        return true;
    }
    if (gCard.screen || gCard.libraryBegun) Display3dRelease();
    DirectDrawActive = 1;
    ScreenSurface.width = int16_t(mode->width);
    ScreenSurface.height = int16_t(mode->height);

    osPutEnv("VANTOR_PATH=vantor\\dll;vantor\\dat");
    osPutEnv("VANTOR_DEVICES=ddraw;3dfx_win;myst_win");
    // Opening again must not take the value set here for the earlier one.
    if (!gCard.splashSaved) {
        const char *splash = std::getenv(kSplash);
        gCard.splashSaved = true;
        gCard.hadSplash = splash != nullptr;
        gCard.oldSplash = splash ? splash : "";
    }
    PutEnv(kSplash, "1");

    gCard.libraryBegun = VtBeginAll() == VT_E_OK;
    vt_pixelmap *screen = nullptr;
    vt_error r = VtDevBeginVar(&screen, "3DFX_WIN", VTT_WINDOW_HANDLE_H, osMainWindowHandle(),
                               VTT_WINDOW_FULLSCREEN_B, 1, VTT_WIDTH_I32, int(mode->width), VTT_HEIGHT_I32,
                               int(mode->height), VTT_PIXEL_BITS_I32, int(PixelDepth), VTT_PIXEL_TYPE_U8,
                               int(VT_PMT_RGB_565), VTT_END);
    if (r == VT_E_OK && screen) {
        gCard.screen = screen;
        VtZbBegin(screen->type, VT_PMT_DEPTH_16);
        gCard.back = VtPixelmapMatch(screen, VT_PMMATCH_OFFSCREEN);
        if (gCard.back) {
            gCard.back->origin_x = gCard.back->origin_y = 0;
            gCard.depth = VtPixelmapMatch(gCard.back, VT_PMMATCH_DEPTH_16);
        }
    }
    // Without a back and depth buffer to draw into the device is of no use
    // either: that is the same failure.
    if (!gCard.screen || !gCard.back || !gCard.depth) {
        osMessageBox(kLoadingErrorTitle, kLoadingError);
        Display3dRelease();
        return false;
    }

    CardMode = 1;
    CardTextureFlag = 1;
    gCard.backLocked = gCard.depthLocked = false;
    ScreenSurface.bytesPerPixel = 2;
    Display3dLockBack();
    PointScreenAtBack();
    mode->screen = &ScreenSurface;
    RowOffsetSurface = &ScreenSurface;
    BuildRowOffsetTable();
    return true;
}

void Display3dRelease() {
    // The screen Surface pointed into the back buffer.
    if (gCard.back) ScreenSurface.pixels = nullptr;
    if (gCard.depth) VtPixelmapFree(gCard.depth);
    if (gCard.back) VtPixelmapFree(gCard.back);
    if (gCard.palette) VtPixelmapFree(gCard.palette);
    if (gCard.libraryBegun) VtZbEnd();
    if (gCard.screen) VtPixelmapFree(gCard.screen);
    if (gCard.libraryBegun) VtEndAll();
    gCard.screen = gCard.back = gCard.depth = gCard.palette = nullptr;
    gCard.libraryBegun = false;
    gCard.backLocked = gCard.depthLocked = false;
}

void Display3dClose() {
    // The 3D system's end must not open this display again for the front end.
    optFrontEndStart = 0;
    up::Shutdown3d();
    Display3dRelease();
    if (gCard.splashSaved && gCard.hadSplash) PutEnv(kSplash, gCard.oldSplash.c_str());
    gCard.splashSaved = gCard.hadSplash = false;
}

void Display3dLockBack() {
    if (!CardMode || gCard.backLocked || !gCard.back) return;
    if (!VtPixelmapDirectLock(gCard.back, 1)) return;
    if (TheDisplayMode.screen) PointScreenAtBack();
    gCard.backLocked = true;
}

void Display3dUnlockBack() {
    if (!CardMode || !gCard.backLocked) return;
    VtPixelmapDirectUnlock(gCard.back);
    gCard.backLocked = false;
}

void Display3dLockDepth() {
    if (optNoZLock || !CardMode || gCard.depthLocked || !gCard.depth) return;
    if (VtPixelmapDirectLock(gCard.depth, 1)) gCard.depthLocked = true;
}

void Display3dUnlockDepth() {
    if (optNoZLock || !CardMode || !gCard.depthLocked) return;
    VtPixelmapDirectUnlock(gCard.depth);
    gCard.depthLocked = false;
}

bool Display3dBackLocked() { return gCard.backLocked; }
bool Display3dDepthLocked() { return gCard.depthLocked; }
vt_pixelmap *Display3dScreen() { return gCard.screen; }
vt_pixelmap *Display3dBack() { return gCard.back; }
vt_pixelmap *Display3dDepth() { return gCard.depth; }

void Display3dBeginFrame(DisplayMode *) { Display3dLockBack(); }

void Display3dPresent(DisplayMode *) {
    if (!gCard.screen || !gCard.back) return;
    const Surface *sprite = nullptr;
    if (!up::GuiHidden() && !VideoPlaying && !gLoading) sprite = up::PointerSprite();
    Footprint under;
    if (sprite && ScreenSurface.pixels) {
        Display3dPointerAt[gCard.pointerRecord] = {gMouse.x, gMouse.y};
        gCard.pointerRecord ^= 1;
        ClipRect clip;
        if (!up::StationClip(&clip)) clip = VisibleArea();
        // The back buffer keeps the frame for the next one: what lay under
        // the pointer goes back once it has been shown.
        under = PointerFootprint(sprite, clip, gMouse.x, gMouse.y);
        CopyUnderPointer(under, true);
        BlitSpriteClipped(&ScreenSurface, sprite, &clip, gMouse.x, gMouse.y);
    }
    Display3dUnlockBack();
    VtPixelmapDoubleBuffer(gCard.screen, gCard.back);
    Display3dLockBack();
    PointScreenAtBack();
    if (under.width) CopyUnderPointer(under, false);
}

void Display3dClear(int colour) {
    if (!gCard.back) return;
    Display3dUnlockBack();
    VtPixelmapFill(gCard.back, vt_uint_32(colour));
    Display3dLockBack();
}

void Display3dSetPalette(PaletteEntries entries) {
    if (!entries) return;
    LastPalette = entries;
    PaletteToScreen(entries);
}

void Display3dLoadPalette(PaletteEntries entries) { Display3dSetPalette(entries); }

const DisplayDriver Display3dDriver = {
    Display3dOpen,       Display3dClose, NothingFrame,   Display3dPresent,     Display3dBeginFrame,
    NothingVoid,         NothingPalette, Display3dSetPalette, Display3dLoadPalette,
};
