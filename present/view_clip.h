// The clip rectangle of the 3D view being drawn.
#pragma once

#include "RES/gfx2d.h"

// Set for each view by the scene pre-pass and the HUD view window.
extern ClipRect ViewClipRect;
