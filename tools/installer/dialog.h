// The launcher's window: dialog 102 laid out from its dialog units, drawn
// with the game's 2D code and bitmap font into a 16-bit surface, and driven
// by the mouse and the keys (Tab, Enter, Space, Escape, the arrows, F4). What
// the controls do is the launcher's (launcher.h).
#pragma once

#include "RES/surface.h"

// The dialog's client area in pixels (422 x 221 dialog units of its 8-point
// font).
inline constexpr int kDialogWidth = 633;
inline constexpr int kDialogHeight = 359;

// Its resources, beside the program on the disc (the current folder).
inline constexpr char kDialogFont[] = "setup\\dialog.fon";
inline constexpr char kDialogPicture[] = "setup\\bitmap129.pcx";
inline constexpr int kDialogPictureId = 129;

struct DialogRect {
    int x, y, w, h;
};
// A control's rectangle in pixels (all zero for an unknown id).
DialogRect DialogControlRect(int id);
// The control under a point, or 0; the open list of the combo box is not a
// control (see DialogListRowAt).
int DialogControlAt(int x, int y);
// The row of the open combo list under a point, or -1.
int DialogListRowAt(int x, int y);

// Loads the font and the picture (at 16 bits per pixel). False when the font
// is missing; a missing picture leaves its place empty.
bool DialogLoadResources();
void DialogFreeResources();

// The dialog's own state: focus, the button held down, the combo list.
struct DialogState {
    int focus;       // control with the keyboard focus
    int pressed;     // button held down by the mouse, 0 when none
    bool pressedIn;  // the mouse is still over it
    bool listOpen;   // the combo box's list is down
    int listRow;     // the row the list shows selected
    bool shift;      // a Shift key is down
};
extern DialogState gDialog;

// Starts the dialog's state after OnInitDialog: the focus on the first live
// control.
void DialogReset();

// Input in client pixels.
void DialogMouseDown(int x, int y);
void DialogMouseMove(int x, int y);
void DialogMouseUp(int x, int y);
// A key by its set-1 scan code; `alt` with the Alt key held.
void DialogKeyDown(int scanCode, bool alt);
void DialogKeyUp(int scanCode);

// Draws the whole dialog into a 16-bit surface of the dialog's size.
void DialogDraw(Surface *surface);

// The modal dialog: a window, messages and drawing until the dialog ends.
// 0, or 1 when no window can be made or the font is missing.
int RunDialog();
