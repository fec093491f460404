// Core services of the operating-system layer. Modules of their own
// (display, audio, input, films, glyphs) have headers beside this one.
#pragma once

// A message box when a display exists, else a line on stderr. Texts are
// Windows-1252 bytes, as the game's are.
void osMessageBox(const char *title, const char *text);
// An error the user must see: always one line "title: text" on stderr, and
// with a display a message box as well (the window's grab of the pointer is
// let go first, so that the box can be answered).
void osErrorBox(const char *title, const char *text);
// A question box with two buttons labelled `yes` and `no`: 1 for yes, 0 for
// no (or the box closed), -1 when no box can be shown (no display; the
// question then goes to stderr).
int osAskYesNo(const char *title, const char *text, const char *yes, const char *no);
void osSetClipboardText(const char *text);
