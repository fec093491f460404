// The one game window. The display drivers attach their renderer to it
// through the opaque handle.
#pragma once

#include <cstdint>

// Brings up SDL's video (falling back to the off-screen driver when no
// display exists). False when no video driver at all can start.
bool osInitVideo();
// True once video runs on the off-screen or dummy driver.
bool osVideoHeadless();

enum OsWindowStyle {
    OS_WINDOW_FULLSCREEN = 0,  // exclusive full screen ("DirectDraw")
    OS_WINDOW_DESKTOP = 1,     // a borderless window the size of the screen (3D card)
    OS_WINDOW_FRAMED = 2,      // an ordinary window (GDI)
};

// Creates the main window with the title; false on failure.
bool osCreateMainWindow(const char *title, OsWindowStyle style, int width, int height);
void osDestroyMainWindow();
// The SDL_Window of the main window, or null.
void *osMainWindowHandle();
void osSetWindowTitle(const char *title);
// Resizes the main window (the display drivers at Open).
void osSetWindowSize(int width, int height);
void osGetWindowSize(int *width, int *height);
void osGetWindowPosition(int *x, int *y);
bool osWindowVisible();
// Keeps the mouse inside the window (the capture of full-screen play).
void osSetWindowGrab(bool grab);

enum OsCursor { OS_CURSOR_CROSS, OS_CURSOR_WAIT, OS_CURSOR_ARROW };
void osSetCursor(OsCursor cursor);
// The display count of the system cursor, as ShowCursor keeps it: shown while
// the count is 0 or more. Returns the new count.
int osShowCursor(bool show);

// Switches the system's own key combinations (Alt+Tab and the like) off or
// back on while the window has the keyboard.
void osSetSystemKeys(bool enabled);
