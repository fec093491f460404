// Interim bodies of this subsystem's operations whose modules are not built
// yet.
#include "gui/pointer.h"

int32_t guiPointerMarginX;
int32_t guiPointerMarginY;
