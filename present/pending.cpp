// Interim state of this subsystem's modules not built yet.
#include "present/view_clip.h"

ClipRect ViewClipRect = {0, 0, 639, 479};
