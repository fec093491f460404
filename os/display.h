// The screen of this machine: one window with a renderer and a streaming
// texture into which the game's frame is converted at each present. With no
// display (SDL's "dummy" or "offscreen" video, or no video at all) the frame
// is still converted, into memory, and nothing is shown.
#pragma once

#include <cstddef>
#include <cstdint>

enum class OsDisplayResult {
    Ok,
    NoVideo,     // the video system could not be started
    NoWindow,    // no window
    NoMode,      // the full-screen mode could not be set
    NoRenderer,  // no renderer or texture
};

struct OsDisplayRequest {
    int width;
    int height;
    int depth;             // 8 (through the palette), 16 (RGB565) or 24 (blue, green, red)
    bool fullScreen;
    bool keepDesktopMode;  // full screen without changing the display mode
};

// Starts the video system once; false when it can't be.
bool osVideoStart();
// True when frames are not shown anywhere.
bool osDisplayHeadless();

OsDisplayResult osDisplayOpen(const OsDisplayRequest &req);
void osDisplayClose();
bool osDisplayIsOpen();
// Converts a frame of the open display's size and depth and shows it.
// `palette` is 256 entries of (red, green, blue, spare) for 8-bit frames.
void osDisplayPresent(const uint8_t *pixels, int pitch, const uint8_t *palette);
// Shows the last presented frame again over the whole window (after it was
// uncovered, while no frame runs).
void osDisplayShowAgain();
// Re-creates the texture after the renderer lost it; false when it can't.
bool osDisplayRestore();
// Shows the frame in a window given by the window module instead of a
// window of our own (null: our own).
void osDisplayUseWindow(void *sdlWindow);

// The last converted frame, 32-bit 0xAARRGGBB per pixel at 8 and 24 bits and
// RGB565 at 16 (null before the first present); for tests.
const void *osDisplayLastFrame(int *pitch);

// Reads back the colour (0xRRGGBB) that the window shows at a point of the
// frame (frame coordinates, scaled to the window); false when headless.
bool osDisplayReadShown(int x, int y, uint32_t *rgb);

// Frame conversions, also used by the benchmarks.
// 8-bit indices -> 0xFFRRGGBB through a 256-entry table.
void osConvert8To32(const uint8_t *src, int srcPitch, uint32_t *dst, int dstPitch, int width,
                    int height, const uint32_t table[256]);
// Lets the conversion use the processor's vector instructions where it has
// them (the default) or not, so tests can compare both roads; says whether
// the vector road is now taken.
bool osConvertUseSimd(bool allowed);
// RGB565 rows copied as they are.
void osCopy16(const uint8_t *src, int srcPitch, uint8_t *dst, int dstPitch, int width, int height);
// 256 entries of (red, green, blue, spare) -> 0xFFRRGGBB.
void osPaletteTo32(const uint8_t *palette, uint32_t table[256]);
