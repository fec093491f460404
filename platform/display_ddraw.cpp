// The full-screen display driver: the game takes the whole screen and draws
// into a frame buffer of its own that is shown at each present (or into one
// of two buffers that swap at each present, with "nosysbuf").
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "core/log.h"
#include "core/options.h"
#include "os/display.h"
#include "os/os.h"
#include "platform/display.h"
#include "platform/hooks.h"

namespace {

struct FullScreen {
    bool open = false;
    bool flipChain = false;       // "nosysbuf": two buffers swapped at present
    std::vector<uint8_t> buffer[2];
    int drawing = 0;              // the buffer the game draws into
    int pitch = 0;
    bool hasPalette = false;      // a palette object exists
    uint8_t palette[1024] = {};   // the shown (gamma-corrected) entries
    bool suspended = false;       // closed by Suspend; Resume opens again
    DisplayMode suspendedMode{};
} gFull;

void NoFrame(DisplayMode *) {}
void NoOp() {}

void PointScreen() {
    ScreenSurface.pixels = gFull.buffer[gFull.drawing].data();
    ScreenSurface.pitch = int16_t(gFull.pitch);
}

void FillBuffersWithColour0() {
    for (auto &b : gFull.buffer) std::fill(b.begin(), b.end(), uint8_t(0));
}

}  // namespace

bool DDrawProbe() { return osVideoStart(); }

bool DisplayDDrawOpen(DisplayMode *mode) {
    if (!mode) return false;
    if (gFull.open) DisplayDDrawClose();
    DirectDrawActive = 1;
    FullScreenMode = 1;
    ScreenSurface.width = int16_t(mode->width);
    ScreenSurface.height = int16_t(mode->height);
    int depth = PixelDepth == 16 ? 16 : 8;
    BytesPerPixel = uint16_t(depth / 8);
    ScreenSurface.bytesPerPixel = int16_t(BytesPerPixel);
    if (!osVideoStart()) {
        dunDebugPrint("DirectDrawCreate FAILED");
        return false;
    }
    OsDisplayRequest req{mode->width, mode->height, depth, true, optSlave != 0};
    switch (osDisplayOpen(req)) {
    case OsDisplayResult::Ok:
        break;
    case OsDisplayResult::NoVideo:
        dunDebugPrint("DirectDrawCreate FAILED");
        return false;
    case OsDisplayResult::NoWindow:
        dunDebugPrint("SetExclusiveModeOwner FAILED");
        return false;
    case OsDisplayResult::NoMode:
        dunDebugPrint("ModeSet FAILED");
        return false;
    case OsDisplayResult::NoRenderer:
        osMessageBox("MARROWGLEAM", "CreateSurface FAILED");
        return false;
    }
    gFull.flipChain = !optSysBuf;
    // With the system buffer the game never draws into video memory.
    if (!gFull.flipChain) DirectDrawActive = 0;
    gFull.pitch = mode->width * (depth / 8);
    size_t bytes = size_t(gFull.pitch) * mode->height;
    gFull.buffer[0].assign(bytes, 0);
    if (gFull.flipChain)
        gFull.buffer[1].assign(bytes, 0);
    else
        gFull.buffer[1].clear();
    gFull.drawing = 0;
    gFull.open = true;
    gFull.suspended = false;
    mode->screen = &ScreenSurface;
    mode->present = DisplayDDrawPresent;
    PointScreen();
    RowOffsetSurface = &ScreenSurface;
    BuildRowOffsetTable();
    return true;
}

void DisplayDDrawClose() {
    osDisplayClose();
    for (auto &b : gFull.buffer) {
        b.clear();
        b.shrink_to_fit();
    }
    if (gFull.open) ScreenSurface.pixels = nullptr;
    gFull.open = false;
}

void DisplayDDrawBeginFrame(DisplayMode *) {
    if (!gFull.open) return;
    PointScreen();
}

void DisplayDDrawPresent(DisplayMode *) {
    if (!gFull.open) return;
    const uint8_t *shown = gFull.hasPalette ? gFull.palette : nullptr;
    osDisplayPresent(gFull.buffer[gFull.drawing].data(), gFull.pitch, shown);
    if (gFull.flipChain) {
        gFull.drawing ^= 1;
        PointScreen();
    }
}

bool DisplayFlipsTwoBuffers() {
    // The 3D card's device swaps its screen and back buffer at every present
    // as well.
    if (CurrentDisplayDriver == &Display3dDriver) return CardMode && Display3dScreen() && Display3dBack();
    return CurrentDisplayDriver == &DDrawDriver && gFull.open && gFull.flipChain;
}

void DisplayDDrawSetPalette(PaletteEntries entries) {
    if (!entries) return;
    LastPalette = entries;
    GammaCorrectPalette(gFull.palette, entries, DisplayGamma);
    gFull.hasPalette = true;
}

void DisplayDDrawLoadPalette(PaletteEntries entries) {
    if (PixelDepth != 8 || !entries) return;
    LastPalette = entries;
    if (!gFull.hasPalette) return;
    GammaCorrectPalette(gFull.palette, entries, DisplayGamma);
}

void DisplayDDrawSetPaletteHandle(PaletteEntries handle) {
    if (PixelDepth != 8 || !handle || !gFull.hasPalette) return;
    std::memset(gFull.palette, 0, sizeof gFull.palette);
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++) gFull.palette[i * 4 + c] = handle[i * 4 + c];
}

bool DisplayDDrawRestore() {
    if (!gFull.open) return true;
    if (!osDisplayRestore()) return false;
    up::MarkRedraw();
    return true;
}

void DisplayDDrawSuspend() {
    if (!FullScreenMode || !gFull.open) return;
    FillBuffersWithColour0();
    gFull.suspendedMode = TheDisplayMode;
    gFull.suspendedMode.width = uint16_t(ScreenSurface.width);
    gFull.suspendedMode.height = uint16_t(ScreenSurface.height);
    DisplayDDrawClose();
    gFull.suspended = true;
}

// Suspend gave everything back, so Resume brings the display up again with
// the mode it had (instead of leaving the game without a display).
void DisplayDDrawResume() {
    if (!FullScreenMode) return;
    if (!gFull.open) {
        if (!gFull.suspended) return;
        DisplayMode mode = gFull.suspendedMode;
        if (!DisplayDDrawOpen(&mode)) return;
        TheDisplayMode.screen = mode.screen;
        TheDisplayMode.present = mode.present;
    }
    DisplayDDrawRestore();
    FillBuffersWithColour0();
    DisplayDDrawLoadPalette(LastPalette);
}

const DisplayDriver DDrawDriver = {
    DisplayDDrawOpen,       DisplayDDrawClose,  NoFrame,
    [](DisplayMode *mode) {
        if (mode && mode->present) mode->present(mode);
    },
    DisplayDDrawBeginFrame, NoOp,               DisplayDDrawSetPaletteHandle,
    DisplayDDrawSetPalette, DisplayDDrawLoadPalette,
};
