// Core services of the operating-system layer. Modules of their own
// (display, audio, input, films, glyphs) have headers beside this one.
#pragma once

// A message box when a display exists, else a line on stderr.
void osMessageBox(const char *title, const char *text);
void osSetClipboardText(const char *text);
