// The library's output device "3DFX_WIN": a screen of 16-bit RGB 5:6:5
// pixels shown through the host's display.
//
// A device begin with the device string "3DFX_WIN" and the pairs
// WINDOW_HANDLE_H (the host's window, or null), WINDOW_FULLSCREEN_B,
// WIDTH_I32 and HEIGHT_I32 (640 x 480 when absent), PIXEL_BITS_I32 (16)
// and PIXEL_TYPE_U8 (RGB_565) opens a screen through the output host plug
// and answers a screen pixelmap. Other depths and pixel types find no
// output facility, so the begin fails. The screen holds no pixels of its
// own:
// - match makes memory pixelmaps like any memory pixelmap would (an
//   OFFSCREEN match is the back buffer the caller draws into, the renderer
//   draws into it and its sub-pixelmaps, and a DEPTH match on it is its
//   depth buffer);
// - double buffer (and a whole copy to the screen) shows a memory pixelmap
//   of the screen's size and type as the next frame, read straight from
//   its rows; the back buffer keeps what was drawn into it;
// - fill shows a frame of one colour;
// - its CLUT_O answers a 256-entry colour table that takes a palette and
//   keeps it (16-bit frames do not use it);
// - the drawing and reading operations refuse (VT_E_UNSUPPORTED).
// Freeing the screen closes it in the host; ending the library (or removing
// the device) closes the screens still open.
#pragma once

#include "render/fw/types.h"

// The host's display, installed like the filesystem plug. A screen shows
// frames of width x height RGB 5:6:5 pixels (row 0 at the top).
struct vt_output_host {
    const char *identifier;
    // Brings up a screen in the window (null: one of the host's choosing);
    // its handle, or null when it cannot.
    void *(*open)(void *window, vt_boolean full_screen, vt_int_32 width, vt_int_32 height);
    // Shows a frame: `row_bytes` bytes from one row to the next.
    void (*present)(void *screen, const void *pixels, vt_int_32 row_bytes);
    void (*close)(void *screen);
};

// Installs a plug and returns the one installed before; null installs the
// default, "Memory", which opens every screen and shows nothing.
vt_output_host *VtOutputHostSet(vt_output_host *host);
vt_output_host *VtOutputHost();

// Registers the device image "3DFX_WIN" by name (the library's begin calls
// this).
void VtOutputDriverRegister();
