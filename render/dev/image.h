// Code images: the library's export tables and loaded driver images.
#pragma once

#include "render/fw/types.h"

// Adds / removes the core export image with the framework.
void VtCoreImageBegin();
void VtCoreImageEnd();
// Free callback of the IMAGE resource class: drops the image's imports.
void VtImageResourceFree(void *res, vt_uint_8 res_class, vt_size size);
