// The window display driver: the game draws into a frame buffer in memory
// that is copied into the main window at each present. 8-bit colour goes
// through a logical palette whose entries 10..245 are the game's and whose
// other 20 are the system's static colours.
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "os/display.h"
#include "platform/display.h"

namespace {

constexpr uint8_t kReserved = 0x01;  // flags of the game's entries

// The system's static colours of entries 0..9 and 246..255.
constexpr uint8_t kStaticLow[10][3] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
constexpr uint8_t kStaticHigh[10][3] = {
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};

struct Window {
    bool open = false;
    uint8_t record[1024];       // the logical palette record
    bool hasPalette = false;    // the palette object exists (between Open and Close)
    uint8_t shown[1024] = {};   // the palette object's entries
    std::vector<uint8_t> bits;  // the bitmap's pixel memory
    int pitch = 0;
    int depth = 8;

    Window() {
        std::memset(record, 0, sizeof record);
        SetStatic();
    }
    void SetStatic() {
        for (int i = 0; i < 10; i++) {
            std::memcpy(record + i * 4, kStaticLow[i], 3);
            record[i * 4 + 3] = 0;
            std::memcpy(record + (246 + i) * 4, kStaticHigh[i], 3);
            record[(246 + i) * 4 + 3] = 0;
        }
    }
} gWin;

void NoFrame(DisplayMode *) {}
void NoPalette(PaletteEntries) {}

}  // namespace

const uint8_t *GdiPaletteRecord() { return gWin.record; }
const uint8_t *GdiShownPalette() { return gWin.shown; }

void GdiCreateBackBuffer(DisplayMode *mode) {
    std::memcpy(gWin.shown, gWin.record, sizeof gWin.shown);
    gWin.hasPalette = true;
    gWin.bits.assign(size_t(gWin.pitch) * mode->height, 0);
    OsDisplayRequest req{mode->width, mode->height, gWin.depth, false, false};
    // A window that can't be made leaves a display that shows nothing; the
    // game still draws.
    osDisplayOpen(req);
}

void GdiDeleteBackBuffer() {
    gWin.hasPalette = false;
    osDisplayClose();
    gWin.bits.clear();
    gWin.bits.shrink_to_fit();
}

bool DisplayGdiOpen(DisplayMode *mode) {
    if (!mode) return false;
    if (gWin.open) DisplayGdiClose();
    gWin.depth = PixelDepth == 16 ? 16 : PixelDepth == 24 ? 24 : 8;
    if (gWin.depth != 24) BytesPerPixel = uint16_t(gWin.depth / 8);
    ScreenSurface.width = int16_t(mode->width);
    ScreenSurface.height = int16_t(mode->height);
    ScreenSurface.bytesPerPixel = int16_t(BytesPerPixel == 2 ? 2 : 1);
    gWin.pitch = mode->width * (gWin.depth / 8);
    ScreenSurface.pitch = int16_t(gWin.pitch);
    GdiCreateBackBuffer(mode);
    ScreenSurface.pixels = gWin.bits.data();
    mode->screen = &ScreenSurface;
    mode->present = DisplayGdiPresentOp;
    gWin.open = true;
    gDisplayOpen = 1;
    RowOffsetSurface = &ScreenSurface;
    BuildRowOffsetTable();
    return true;
}

void DisplayGdiClose() {
    GdiDeleteBackBuffer();
    if (gWin.open) ScreenSurface.pixels = nullptr;
    gWin.open = false;
}

void DisplayGdiPresent(DisplayMode *) {
    if (!gWin.open) return;
    osDisplayPresent(gWin.bits.data(), gWin.pitch, gWin.shown);
}

void DisplayGdiPresentOp(DisplayMode *mode) { DisplayGdiPresent(mode); }

void DisplayGdiEndFrame() {}

void DisplayGdiSetPalette(PaletteEntries entries) {
    if (!entries) return;
    LastPalette = entries;
    gWin.SetStatic();
    for (int i = 10; i <= 245; i++) {
        for (int c = 0; c < 3; c++) gWin.record[i * 4 + c] = GammaCorrect(entries[i * 4 + c], DisplayGamma);
        gWin.record[i * 4 + 3] = kReserved;
    }
}

void DisplayGdiLoadPalette(PaletteEntries entries) {
    if (!entries) return;
    LastPalette = entries;
    for (int i = 0; i < 256; i++) {
        bool game = i >= 10 && i <= 245;
        for (int c = 0; c < 3; c++)
            gWin.record[i * 4 + c] = game ? GammaCorrect(entries[i * 4 + c], DisplayGamma) : entries[i * 4 + c];
        gWin.record[i * 4 + 3] = kReserved;
    }
    // Only the game's entries reach the palette object.
    if (gWin.hasPalette) std::memcpy(gWin.shown + 10 * 4, gWin.record + 10 * 4, 236 * 4);
}

const DisplayDriver GdiDriver = {
    DisplayGdiOpen,
    DisplayGdiClose,
    DisplayGdiPresent,
    [](DisplayMode *mode) {
        if (mode && mode->present) mode->present(mode);
    },
    NoFrame,
    DisplayGdiEndFrame,
    NoPalette,
    DisplayGdiSetPalette,
    DisplayGdiLoadPalette,
};
