// Gauges: vertical and horizontal bars (plain, banded, hot, centred), the
// segmented bar of the loading screen, numbers and the XY deviation cross;
// the dialogue buttons and the arrow buttons. Meters draw every frame.
#include <cmath>
#include <cstdio>

#include "RES/gfx2d.h"
#include "RES/font.h"
#include "core/options.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/window.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// Common start of a meter: the rectangle, and false when nothing is to be
// drawn (an empty rectangle or a maximum of 0). The meter draws every frame.
bool MeterStart(GuiWindow *window, ClipRect *r) {
    guiReload(window);
    if (!guiGadgetRect(window, r)) return false;
    return window->max != 0.0f && !std::isnan(window->max);
}

float Clamp(float v, float lo, float hi) {
    if (std::isnan(v)) return lo;
    return v < lo ? lo : v > hi ? hi : v;
}

void ClearInterior(Surface *s, const ClipRect &r) {
    if (r.right - r.left >= 2 && r.bottom - r.top >= 2) FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
}

// Fills only a rectangle whose corners are in order: the fill routine sorts
// reversed corners, which would paint a gauge backwards.
void FillOrdered(Surface *s, int colour, int x0, int y0, int x1, int y1) {
    if (x0 <= x1 && y0 <= y1) FillRect(s, colour, x0, y0, x1, y1);
}

int CentredColour(float value, float max) {
    if (std::fabs(value) < max / 100.0f) return GuiColour::Band133;
    return value >= 0 ? GuiColour::Band97 : GuiColour::Band64;
}

}  // namespace

int guiBandColour(float value, float max) {
    int c = GuiColour::Band97;
    if (value <= 0.75f * max) c = GuiColour::Band160;
    if (value <= 0.25f * max) c = GuiColour::Band64;
    return c;
}

void guiDrawBarVert(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float v = Clamp(window->value, 0, window->max);
    const int level = (int)(r.bottom - 2 - (r.bottom - r.top - 2) * v / window->max);
    ClearInterior(s, r);
    guiDrawFrame(s, GuiColour::HotOutline, r.left, r.top, r.right, r.bottom);
    if (v > 0) FillOrdered(s, GuiColour::Band64, r.left + 1, level + 1, r.right - 1, r.bottom - 1);
    window->videoIndex = (uint16_t)level;
    guiInterfere(window);
}

void guiDrawBarVertBanded(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float v = Clamp(window->value, 0, window->max);
    const int level = (int)(r.bottom - 2 - (r.bottom - r.top - 2) * v / window->max);
    const int c = guiBandColour(v, window->max);
    ClearInterior(s, r);
    guiDrawFrame(s, c, r.left, r.top, r.right, r.bottom);
    if (v > 0) FillOrdered(s, c, r.left + 2, level + 2, r.right - 2, r.bottom - 2);
    window->videoIndex = (uint16_t)level;
    guiInterfere(window);
}

void guiDrawBarVertHot(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float v = Clamp(window->value, 0, window->max);
    const int level = (int)(r.bottom - 2 - (r.bottom - r.top - 2) * v / window->max);
    int c = GuiColour::Band97;
    if (v >= 0.5f * window->max) c = GuiColour::Band160;
    if (v >= 0.75f * window->max) c = GuiColour::Band64;
    FillOrdered(s, 0, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
    guiDrawFrame(s, c, r.left, r.top, r.right, r.bottom);
    if (v > 0) FillOrdered(s, c, r.left + 2, level + 2, r.right - 2, r.bottom - 2);
    window->videoIndex = (uint16_t)level;
    guiInterfere(window);
}

void guiDrawBarHoriz(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float v = Clamp(window->value, 0, window->max);
    const int level = (int)((r.right - r.left - 2) * v / window->max + r.left + 2);
    ClearInterior(s, r);
    guiDrawFrame(s, GuiColour::HorizOutline, r.left, r.top, r.right, r.bottom);
    if (v > 0) FillOrdered(s, GuiColour::Band64, r.left + 1, r.top + 1, level - 1, r.bottom - 1);
    window->videoIndex = (uint16_t)level;
    guiInterfere(window);
}

void guiDrawBarHorizBanded(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float v = Clamp(window->value, 0, window->max);
    const int level = (int)((r.right - r.left - 2) * v / window->max + r.left + 2);
    const int c = guiBandColour(v, window->max);
    ClearInterior(s, r);
    if (window->h > 2) guiDrawFrame(s, c, r.left, r.top, r.right, r.bottom);
    if (v > 0) FillOrdered(s, c, r.left + 1, r.top + 1, level - 1, r.bottom - 1);
    window->videoIndex = (uint16_t)level;
    guiInterfere(window);
}

void guiDrawBarCHoriz(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float max = std::fabs(window->max);
    const float v = Clamp(window->value, -max, max);
    const int centre = (r.left + r.right) / 2;
    const int level = (int)((r.right - r.left - 2) * v / (2 * max) + centre + 2);
    ClearInterior(s, r);
    guiDrawFrame(s, GuiColour::HotOutline, r.left, r.top, r.right, r.bottom);
    const int from = centre + 1, to = level - 1;
    FillRect(s, CentredColour(v, max), from < to ? from : to, r.top + 1, from < to ? to : from, r.bottom - 1);
    guiInterfere(window);
}

void guiDrawBarCVert(GuiWindow *window) {
    ClipRect r;
    if (!MeterStart(window, &r)) return;
    Surface *s = guiScreen();
    const float max = std::fabs(window->max);
    const float v = Clamp(window->value, -max, max);
    const int centre = (r.top + r.bottom) / 2;
    const int level = (int)(centre + 2 - (r.bottom - r.top - 4) * v / (2 * max));
    ClearInterior(s, r);
    guiDrawFrame(s, GuiColour::HotOutline, r.left, r.top, r.right, r.bottom);
    FillRect(s, CentredColour(v, max), r.left + 2, centre + 1, r.right - 2, level - 1);
    guiInterfere(window);
}

void guiDrawBarSegmented(BarGauge *bar) {
    Surface *s = guiScreen();
    if (!bar || !s || bar->maximum == 0.0f || bar->width <= 0 || bar->height <= 0) return;
    const int x0 = bar->x, y0 = bar->y, x1 = bar->x + bar->width - 1, y1 = bar->y + bar->height - 1;
    const float v = Clamp(bar->value, 0, bar->maximum);
    const int level = (int)((x1 - x0 - 2) * v / bar->maximum + x0 + 2);
    const bool card = CardMode != 0;
    const int fill = (int)((card ? 20 : 84) + 12 * v / bar->maximum);
    if (x1 - x0 >= 2 && y1 - y0 >= 2) FillRect(s, 0, x0 + 1, y0 + 1, x1 - 1, y1 - 1);
    guiDrawFrame(s, card ? 32 : 96, x0, y0, x1, y1);
    if (v > 0) FillOrdered(s, fill, x0 + 1, y0 + 1, level - 1, y1 - 1);
}

void guiDrawNumeric(GuiWindow *window) {
    guiReload(window);
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    char text[16];
    const float v = window->value;
    const long n = std::isnan(v) ? 0 : v >= 2147483647.0f ? 2147483647L : v <= -2147483648.0f ? -2147483647L - 1 : (long)v;
    std::snprintf(text, sizeof text, "%ld", n);
    guiDrawBackground(window);
    if (const BitmapFont *font = guiFont(window->font))
        guiDrawFontText(guiScreen(), r.left + 4, (r.top + r.bottom) / 2 + font->lineHeight / 2, text, font, &r);
    guiInterfere(window);
}

void guiDrawXYDev(GuiWindow *window) {
    guiReload(window);
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int k = window->w * 33 / 200;
    const int L = r.left, R = r.right, T = r.top, B = r.bottom;
    // The plus-shaped outline: twelve lines round the two arms.
    const int pts[12][2] = {{L, cy - k}, {cx - k, cy - k}, {cx - k, T}, {cx + k, T}, {cx + k, cy - k}, {R, cy - k},
                            {R, cy + k}, {cx + k, cy + k}, {cx + k, B}, {cx - k, B}, {cx - k, cy + k}, {L, cy + k}};
    for (int i = 0; i < 12; ++i)
        DrawLine(s, pts[i][0], pts[i][1], pts[(i + 1) % 12][0], pts[(i + 1) % 12][1], GuiColour::Highlight);
    float dx = 0, dy = 0;
    if (dunControlledObject && dunControlledObject->sim) {
        dx = dunControlledObject->sim->thrust.x;
        dy = dunControlledObject->sim->thrust.y;
    }
    dx = Clamp(dx, -2500, 2500);
    dy = Clamp(dy, -2500, 2500);
    const int hx = (int)(cx + (R - L) * dx / 5000);
    const int vy = (int)(cy + (B - T) * dy / 5000);
    FillRect(s, std::fabs(dx) < 25 ? GuiColour::Band133 : GuiColour::Band64, cx, cy - k + 3, hx, cy + k - 3);
    FillRect(s, std::fabs(dy) < 25 ? GuiColour::Band133 : GuiColour::Band64, cx - k + 3, cy, cx + k - 3, vy);
    guiInterfere(window);
}

// ---- Dialogue buttons and arrows ----------------------------------------------------

namespace {

void Triangle(Surface *s, int ax, int ay, int bx, int by, int cx, int cy, int colour) {
    DrawLine(s, ax, ay, bx, by, colour);
    DrawLine(s, bx, by, cx, cy, colour);
    DrawLine(s, cx, cy, ax, ay, colour);
}

void DialogueArrow(GuiWindow *window, bool up) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    guiDrawBackground(window);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    if (up) Triangle(guiScreen(), cx - 4, cy + 4, cx + 4, cy + 4, cx, cy - 4, GuiColour::Highlight);
    else Triangle(guiScreen(), cx - 4, cy - 4, cx + 4, cy - 4, cx, cy + 4, GuiColour::Highlight);
    guiInterfere(window);
}

void SideArrow(GuiWindow *window, bool right) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    if (r.right - r.left >= 2 && r.bottom - r.top >= 2) FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    int c = GuiColour::Highlight;
    if (window->flags & GuiFlag::Hot) c = 250;
    if (window->flags & GuiFlag::Held) c = 249;
    const int cy = (r.top + r.bottom) / 2;
    if (right) Triangle(s, r.left, r.top, r.left, r.bottom, r.right, cy, c);
    else Triangle(s, r.right, r.top, r.right, r.bottom, r.left, cy, c);
    guiInterfere(window);
}

}  // namespace

void guiDrawDialogueButton(GuiWindow *window) {
    guiReload(window);
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    guiDrawBackground(window);
    if (window->state && r.right - r.left >= 2 && r.bottom - r.top >= 2) {
        DrawLine(guiScreen(), r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, GuiColour::Alert);
        DrawLine(guiScreen(), r.left + 1, r.bottom - 1, r.right - 1, r.top + 1, GuiColour::Alert);
    }
    guiInterfere(window);
}

void guiDrawDialogueArrowA(GuiWindow *window) { DialogueArrow(window, true); }
void guiDrawDialogueArrowB(GuiWindow *window) { DialogueArrow(window, false); }
void guiDrawArrowRight(GuiWindow *window) { SideArrow(window, true); }
void guiDrawArrowLeft(GuiWindow *window) { SideArrow(window, false); }
