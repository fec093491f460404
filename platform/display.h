// The display-driver interface: the display mode record, the forwarding
// operations and the driver choice.
#pragma once

#include <cstdint>

#include "RES/surface.h"

struct DisplayMode {
    uint16_t width;
    uint16_t height;
    uint16_t pixelBits;
    void (*present)(DisplayMode *mode);
    Surface *screen;
};

// The program's one display mode record.
extern DisplayMode gDisplayMode;
extern uint8_t DirectDrawActive;
// The last palette (256 x red, green, blue, spare) given to the driver.
extern const uint8_t *LastPalette;

void SelectFullScreenDriver();
void SelectWindowDriver();
void SelectDeviceDriver();

bool DisplayOpen(DisplayMode *mode);
void DisplayClose();
void DisplayPresent(DisplayMode *mode);
void DisplayBeginFrame(DisplayMode *mode);
void DisplaySetPalette(const uint8_t *entries);
// Does nothing for a null palette.
void DisplayLoadPalette(const uint8_t *entries);
// The full-screen driver takes its surfaces back after the application was
// switched away from.
void DisplayDDrawRestore();
