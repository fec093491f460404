// The game's diagnostics handler for the rendering library ("Windows
// DiagHandler"): the 3D set-up installs it in place of the library's own.
#pragma once

struct vt_diaghandler;

// A box titled "WARNING" or "ERROR", then the process ends with exit code 10;
// except while the game loads one of the library's data files, when the
// message refuses that file and the library gives up the load.
void fatalWarningBox(const char *text);
void fatalErrorBox(const char *text);
extern vt_diaghandler WindowsDiagHandler;
