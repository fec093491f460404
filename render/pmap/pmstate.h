// State of the pixelmap module, shared by its own files.
#pragma once

#include "render/tokens/token.h"

struct vt_pixelmap_state {
    void *res; // the module's anchor
    vt_tv_template *mem_template;
    vt_tv_template *match_template;
};

extern vt_pixelmap_state vtPm;
