// Bitmap and vector text drawing.
#pragma once

#include <cstdint>

#include "RES/surface.h"

struct BitmapFont;

// Draws a text in one colour, clipped to (left, top)-(right, bottom).
void dunDrawText(Surface *surface, BitmapFont *font, const char *text, int x, int y, int colour, int left, int top,
                 int right, int bottom);
