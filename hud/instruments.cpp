// Small HUD instruments: the number box, bearings, the heading and pitch
// tapes, the opening bars, the camera caption and the fixed cockpit marks.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/text.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/contacts.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "platform/display.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "script/mission.h"
#include "world/records.h"

const char *HudCaption;
SceneItem *HudCaptionObject;

namespace {

Surface *Screen() { return TheDisplayMode.screen; }

ClipRect ViewClip() { return {HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom}; }

// Degrees to a screen offset along a tape; NaN and overflow stay off screen.
int TapeOffset(double degrees) {
    const double t = std::tan(degrees / 57.29578) * HudProjectScale;
    if (!std::isfinite(t)) return 32767;
    return (int)std::fmax(-32767.0, std::fmin(32767.0, t));
}

int NormaliseLabel(int a) {
    if (a > 180) return a - 360;
    if (a < -180) return a + 360;
    return a;
}

void DrawHudText(int x, int y, const char *text) {
    if (!HudFont) return;
    const ClipRect clip = ViewClip();
    dunDrawText(Screen(), &x, &y, text, HudFont, HudColour, &clip);
}

int HudTextWidth(const char *text) {
    int w = 0, h = 0;
    if (HudFont) dunMeasureText(text, HudFont, &w, &h);
    return w;
}

}  // namespace

int hudSideColour(uint32_t flags) {
    int c = 97;
    if (flags & 0x80) c = 133;
    if (flags & 0x100) c = 64;
    if (flags & 0x600) c = 160;
    if (flags & 0x1000) c = 42;
    if (flags & 0x800) c = 223;
    return c;
}

double hudBearingDegrees(double a, double b) {
    double t = std::atan(b / a) * 180.0 / 3.1415926;
    // Both components zero have no bearing: straight ahead.
    if (std::isnan(t)) t = 0;
    return a >= 0 ? 90.0 - t : -t - 90.0;
}

void hudFormatNumber(char *out, int size, float value) {
    if (std::isnan(value)) value = 0;
    if (value >= 100000.0f || value <= -10000.0f) {
        char raw[32];
        std::snprintf(raw, sizeof raw, "%.2G", value);
        // The exponent without its sign and leading zeros, whatever number
        // of digits the C library prints.
        const char *e = std::strchr(raw, 'E');
        if (!e) {
            std::snprintf(out, size, "%s", raw);
            return;
        }
        const char *digits = e + 1;
        if (*digits == '+' || *digits == '-') ++digits;
        while (*digits == '0' && digits[1]) ++digits;
        std::snprintf(out, size, "%.*sE%s", (int)(e - raw), raw, digits);
        return;
    }
    if (std::fabs(value) < 1.0f) value = 0;
    std::snprintf(out, size, "%.0f", (double)value);
}

void hudDrawNumberBox(float value, int x0, int y0, int x1, int y1, int topLimit) {
    if (y0 < topLimit) {
        const int d = topLimit - y0;
        y0 += d;
        y1 += d;
    }
    char text[32];
    hudFormatNumber(text, sizeof text, value);
    Surface *s = Screen();
    if (x1 - x0 >= 2 && y1 - y0 >= 2) FillRect(s, 0, x0 + 1, y0 + 1, x1 - 1, y1 - 1);
    guiDrawFrame(s, HudThrottleDrag ? 47 : HudColour, x0, y0, x1, y1);
    if (HudFont) {
        const ClipRect clip = {0, 0, 640, 480};
        int x = x0 + 4, y = y1 - 1;
        dunDrawText(s, &x, &y, text, HudFont, HudColour, &clip);
    }
}

void hudDrawHeadingTape(float heading) {
    const double h = std::isfinite(heading) ? heading : 0.0;
    const int top = HudViewRect.top;
    const int cx = (HudViewRect.left + HudViewRect.right) / 2;
    const int c = HudColour;
    hudDrawViewLine(cx - 2, top, cx + 2, top, c);
    hudDrawViewLine(cx, top + 1, cx, top + 3, c);
    const int n = (int)std::floor(38.5 / 10 + 1);
    const int k0 = (int)std::floor(-h / 10);
    for (int a = (k0 - n) * 10; a <= (k0 + n) * 10; a += 10) {
        const int x = cx + TapeOffset(a + h);
        const int label = NormaliseLabel(a);
        hudDrawViewLine(x, top + 2, x, top + 8, c);
        if (label == 0) hudDrawViewLine(x, top + 22, x, top + 28, c);
        if (label % 30 == 0) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", label);
            DrawHudText(x - HudTextWidth(text) / 2, top + 20, text);
        } else if (label < 0) {
            hudDrawViewLine(x - 1, top + 12, x + 1, top + 14, c);
            hudDrawViewLine(x + 1, top + 14, x - 1, top + 16, c);
        } else {
            hudDrawViewLine(x + 1, top + 12, x - 1, top + 14, c);
            hudDrawViewLine(x - 1, top + 14, x + 1, top + 16, c);
        }
    }
}

void hudDrawPitchTape(float pitch) {
    const double p = std::isfinite(pitch) ? pitch : 0.0;
    const int right = HudViewRect.right;
    const int cy = (HudViewRect.top + HudViewRect.bottom) / 2;
    const int c = HudColour;
    hudDrawViewLine(right, cy - 2, right, cy + 2, c);
    hudDrawViewLine(right - 3, cy, right - 1, cy, c);
    const int n = (int)std::floor(22.5 / 10 + 1);
    const int k0 = (int)std::floor(-p / 10);
    for (int a = (k0 - n) * 10; a <= (k0 + n) * 10; a += 10) {
        const int y = cy + TapeOffset(a + p);
        const int label = NormaliseLabel(a);
        hudDrawViewLine(right - 7, y, right - 1, y, c);
        if (label % 30 == 0) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", label);
            const int x = right - 9 - HudTextWidth(text);
            DrawHudText(x, y + 4, text);
            if (label == 0) hudDrawViewLine(x - 5, y, x - 2, y, c);
        } else if (label < 0) {
            hudDrawViewLine(right - 12, y - 1, right - 10, y + 1, c);
            hudDrawViewLine(right - 10, y + 1, right - 8, y - 1, c);
        } else {
            hudDrawViewLine(right - 12, y + 1, right - 10, y - 1, c);
            hudDrawViewLine(right - 10, y - 1, right - 8, y + 1, c);
        }
    }
}

void hudDrawOpenCloseBar(int percentage) {
    // The interference of a HUD coming up or going down belongs to the
    // navigation station's view alone: a mission opening on the command
    // station shows its view clear.
    if (StationId != 2) return;
    static const int kRows[] = {38, 87, 121, 148, 172, 190, 207, 222, 234, 246, 256};
    const int left = HudViewRect.left, right = HudViewRect.right;
    for (int row : kRows) {
        const int y = HudViewRect.top + row;
        bool on = true;
        int start = left;
        for (int x = left; x < right; ++x) {
            if (on) {
                if (percentage < dunRand15() % 100) {
                    on = false;
                    hudDrawViewLine(start, y, x, y, HudColour);
                }
            } else if (dunRand15() % 100 < percentage) {
                on = true;
                start = x;
            }
        }
    }
}

void hudDrawCaption() {
    if (gMissionEndState) {
        HudCaption = nullptr;
        HudCaptionObject = nullptr;
        return;
    }
    if (gGuiFullScreen && HudCaption && !gFeedShowing && !optNoHud) {
        char text[160];
        const ShipInfo *info = HudCaptionObject && HudCaptionObject->sim ? HudCaptionObject->sim->shipInfo : nullptr;
        const char *shipName = info && info->className ? info->className : nullptr;
        if (gCinematicView) {
            static const char *const kDirector[3] = {"DIRECTOR - %s - %s", "DIRECTEUR - %s - %s", "REGIE - %s - %s"};
            std::snprintf(text, sizeof text, kDirector[gLanguage < 3 ? gLanguage : 0], HudCaption,
                          shipName ? shipName : "---");
        } else if (shipName) {
            std::snprintf(text, sizeof text, "%s - %s", HudCaption, shipName);
        } else {
            std::snprintf(text, sizeof text, "%s", HudCaption);
        }
        const int cx = (HudViewRect.left + HudViewRect.right) / 2;
        DrawHudText(cx - HudTextWidth(text) / 2, HudViewRect.top + 16, text);
    }
    // Camera routines set the caption anew every frame.
    HudCaption = nullptr;
    HudCaptionObject = nullptr;
}

void hudDrawCockpitMarks() {
    const int L = HudViewRect.left + 4, T = HudViewRect.top + 4, R = HudViewRect.right - 4,
              B = HudViewRect.bottom - 4;
    const int cx = (HudViewRect.left + HudViewRect.right) / 2, cy = (HudViewRect.top + HudViewRect.bottom) / 2;
    int c = HudColour;
    hudDrawViewLine(L, T, L + 16, T, c);
    hudDrawViewLine(L, T, L, T + 16, c);
    hudDrawViewLine(R, T, R - 16, T, c);
    hudDrawViewLine(R, T, R, T + 16, c);
    hudDrawViewLine(L, B, L + 16, B, c);
    hudDrawViewLine(L, B, L, B - 16, c);
    hudDrawViewLine(R, B, R - 16, B, c);
    hudDrawViewLine(R, B, R, B - 16, c);
    // The centre cross, in the selected contact's colour when there is one,
    // with a pointer toward its mark when that lies off the centre.
    if (dunCurrentContact) c = dunTargetingMode == 7 ? 97 : hudContactColour(dunCurrentContact->side);
    hudDrawViewLine(cx - 7, cy, cx - 3, cy, c);
    hudDrawViewLine(cx + 3, cy, cx + 7, cy, c);
    hudDrawViewLine(cx, cy - 7, cx, cy - 3, c);
    hudDrawViewLine(cx, cy + 3, cx, cy + 7, c);
    hudDrawViewLine(cx, cy, cx, cy, c);
    if (dunCurrentContact) {
        const float dx = hudSelectedMarkX, dy = hudSelectedMarkY;
        const float length = VecLengthApprox({dx, dy, 0});
        if (length > 15 && std::isfinite(length)) {
            const float ux = dx / length, uy = dy / length;
            hudDrawViewLine(cx + int(ux * 15), cy + int(uy * 15), cx + int(ux * 20), cy + int(uy * 20), c);
        }
    }
    // The first radar sphere of the cockpit at the bottom right of the
    // full-screen view.
    if (gGuiFullScreen && hudOrbSpheres[0]) {
        vt_pixelmap *pm = gP3D.colourTarget;
        const int dx = R + 4 - 79 - (R + 4 + 1) / 2, dy = B + 4 - 71 - (B + 4 + 1) / 2;
        if (pm) {
            pm->origin_x = int16_t(pm->origin_x + dx);
            pm->origin_y = int16_t(pm->origin_y + dy);
        }
        hudDrawInView(hudOrbSpheres[0]);
        if (pm) {
            pm->origin_x = int16_t(pm->origin_x - dx);
            pm->origin_y = int16_t(pm->origin_y - dy);
        }
    }
}
