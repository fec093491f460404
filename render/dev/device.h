// Devices: driver objects begun from images and kept in the framework's
// device table.
#pragma once

#include "render/fw/types.h"

struct vt_device;

// The first device (in slot order) whose identifier matches the pattern.
vt_error VtDevFind(vt_device **pdev, const char *pattern);
vt_error VtDevRemove(vt_device *dev);
