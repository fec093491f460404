// The GUI's mouse pointer image.
#pragma once

#include <cstdint>

// How far the pointer image reaches from its hotspot: the relative mouse
// keeps the position this far inside the screen.
extern int32_t guiPointerMarginX;
extern int32_t guiPointerMarginY;
