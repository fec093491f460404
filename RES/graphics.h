// Software 2D graphics on the screen surface.
#pragma once

#include "RES/surface.h"

void BuildRowOffsetTable();
void ClearSurface(Surface *surface, int colour);
// Fills the inclusive rectangle (corners in any order).
void FillRect(Surface *surface, int colour, int x0, int y0, int x1, int y1);
void SaveScreenshotPcx(Surface *surface);
