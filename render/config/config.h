// System configuration: a token-keyed store filled from defaults, the
// environment and the settings file at framework begin.
#pragma once

#include "render/fw/types.h"

vt_error VtSystemConfigBegin();
// Copies the value text (at most size characters, terminated) into the
// buffer; an empty string and 0x1002 when the token is absent.
vt_error VtSystemConfigQueryString(vt_token t, char *buffer, vt_size size);
