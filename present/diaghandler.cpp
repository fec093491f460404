#include "present/diaghandler.h"

#include "RES/libload.h"
#include "core/log.h"
#include "os/os.h"
#include "render/fw/fw.h"

void fatalWarningBox(const char *text) {
    if (LibraryLoadTakesFailure(text)) return;
    osMessageBox("WARNING", text);
    dunTerminate(text, 10);
}

void fatalErrorBox(const char *text) {
    if (LibraryLoadTakesFailure(text)) return;
    osMessageBox("ERROR", text);
    dunTerminate(text, 10);
}

vt_diaghandler WindowsDiagHandler = {"Windows DiagHandler", fatalWarningBox, fatalErrorBox};
