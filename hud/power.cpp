// The power-share marker: the player ship's three power shares as a point
// in a triangle, drawn as a small triangle whose colour tells which share
// leads.
#include "RES/gfx2d.h"
#include "ai/scores.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/view.h"

int hudPowerTriangleColour(float a, float b, float c) {
    if (a > b + c) return int(143 - 12 * (a - (b + c)));
    if (c > a + b) return int(79 - 16 * (c - (a + b)));
    if (b > a + c) return int(111 - 16 * (b - (a + c)));
    return 79;
}

void hudDrawPowerTriangle(float size, int x, int y) {
    const float a = dunPowerShares[0], b = dunPowerShares[1], c = dunPowerShares[2];
    const int mx = x + hudPixel(a * 0 + b * -0.866f * size + c * 0.866f * size);
    const int my = y + hudPixel(a * -0.9f * size + b * 0.5f * size + c * 0.5f * size);
    const Surface *s = hudSurface();
    // Callers keep the figure on the screen; one that is not is left out.
    if (!s || mx - 7 < 0 || mx + 7 >= s->width || my < 0 || my + 11 >= s->height) return;
    const int colour = hudPowerTriangleColour(a, b, c);
    hudDrawLine(mx, my, mx - 7, my + 11, colour);
    hudDrawLine(mx, my, mx + 7, my + 11, colour);
    hudDrawLine(mx - 7, my + 11, mx + 7, my + 11, colour);
}
