// The display state, the forwarding operations and the driver choice.
#include "platform/display.h"

#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "core/options.h"

Surface ScreenSurface = {nullptr, 640, 480, 0, 0, 640, 1};
DisplayMode TheDisplayMode = {640, 480, 8, nullptr, &ScreenSurface};
const DisplayDriver *CurrentDisplayDriver = &DDrawDriver;
VideoBackendKind CurrentVideoBackend = VideoBackendKind::FullScreen;
uint8_t DirectDrawActive = 0;
uint8_t SoftwareRendering = 1;
uint8_t CardOptionFlag = 0;
PaletteEntries LastPalette = nullptr;
float DisplayGamma = 1.0f;
int32_t gDisplayOpen = 0;

// The driver whose Open last succeeded: a driver chosen after it was opened
// closes it first, so that switching never leaves a second display behind.
static const DisplayDriver *gOpenDriver = nullptr;

bool DisplayOpen(DisplayMode *mode) {
    if (!mode) return false;
    if (gOpenDriver && gOpenDriver != CurrentDisplayDriver) {
        gOpenDriver->close();
        gOpenDriver = nullptr;
    }
    bool ok = CurrentDisplayDriver->open(mode);
    gOpenDriver = ok ? CurrentDisplayDriver : nullptr;
    return ok;
}

void DisplayClose() {
    CurrentDisplayDriver->close();
    if (gOpenDriver && gOpenDriver != CurrentDisplayDriver) gOpenDriver->close();
    gOpenDriver = nullptr;
}

void DisplayBlitWindow(DisplayMode *mode) { CurrentDisplayDriver->blitWindow(mode); }
void DisplayPresent(DisplayMode *mode) { CurrentDisplayDriver->present(mode); }
void DisplayBeginFrame(DisplayMode *mode) { CurrentDisplayDriver->beginFrame(mode); }
void DisplayEndFrame() { CurrentDisplayDriver->endFrame(); }
void DisplaySetPaletteHandle(PaletteEntries handle) { CurrentDisplayDriver->setPaletteHandle(handle); }
void DisplaySetPalette(PaletteEntries entries) { CurrentDisplayDriver->setPalette(entries); }

void DisplayLoadPalette(PaletteEntries entries) {
    if (!entries) return;
    CurrentDisplayDriver->loadPalette(entries);
}

bool SelectFullScreenDriver() {
    if (!DDrawProbe()) {
        SelectWindowDriver();
        return false;
    }
    CurrentDisplayDriver = &DDrawDriver;
    CurrentVideoBackend = VideoBackendKind::FullScreen;
    DirectDrawActive = 1;
    FullScreenMode = 1;
    SoftwareRendering = 1;
    return true;
}

void SelectWindowDriver() {
    CurrentDisplayDriver = &GdiDriver;
    CurrentVideoBackend = VideoBackendKind::Window;
    DirectDrawActive = 0;
    FullScreenMode = 0;
    SoftwareRendering = 1;
}

void SelectDeviceDriver() {
    CurrentDisplayDriver = &Display3dDriver;
    CurrentVideoBackend = VideoBackendKind::Card;
    DirectDrawActive = 0;
    FullScreenMode = 0;
    SoftwareRendering = 0;
    CardMode = 1;
    CardOptionFlag = 1;
}

void ResolutionSize(int resolutionMode, uint16_t *width, uint16_t *height) {
    static const uint16_t kSizes[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
    int m = resolutionMode >= 0 && resolutionMode <= 2 ? resolutionMode : 0;
    if (width) *width = kSizes[m][0];
    if (height) *height = kSizes[m][1];
}

uint8_t GammaCorrect(uint8_t c, float gamma) {
    if (!(gamma > 0.0f) || gamma == 1.0f) return c;
    double v = 256.0 * std::pow(c / 256.0, 1.0 / double(gamma));
    return v >= 255.0 ? 255 : uint8_t(v);
}

void GammaCorrectPalette(uint8_t out[1024], const uint8_t *entries, float gamma) {
    std::memset(out, 0, 1024);
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++) out[i * 4 + c] = entries[i * 4 + c];
    for (int i = 10; i <= 245; i++)
        for (int c = 0; c < 3; c++) out[i * 4 + c] = GammaCorrect(out[i * 4 + c], gamma);
}
