// The host layer: services of the machine the library runs on.
#pragma once

#include "render/fw/types.h"

// Begin and end of the host layer with the library (adds and removes the
// host export image).
void HostBegin();
void HostEnd();
