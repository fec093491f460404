// The file layer over the installed filesystem.
#pragma once

#include "render/fw/types.h"

// Free callback of the FILE resource class: closes the file.
void VtFileResourceFree(void *res, vt_uint_8 res_class, vt_size size);
