// Frames, boxes, bitmaps, switches, strings, buttons and text windows, and
// the helpers every gadget shares.
#include <algorithm>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/gadgets.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/video.h"
#include "script/mission.h"

namespace {

int ScreenW() { return guiScreen() ? guiScreen()->width : 640; }
int ScreenH() { return guiScreen() ? guiScreen()->height : 480; }

// The pulse clip of the pulse buttons, opened on first use.
Smack *gPulseClip;

}  // namespace

bool guiGadgetRect(GuiWindow *window, ClipRect *rect) {
    if (!guiWindowRect(window, nullptr, nullptr)) return false;
    *rect = {window->rect[0], window->rect[1], window->rect[2], window->rect[3]};
    return rect->right >= rect->left && rect->bottom >= rect->top;
}

BitmapFont *guiFont(ResourceHandle *font) {
    if (!font) return nullptr;
    return static_cast<BitmapFont *>(resmanLoad(font));
}

Raster *guiRaster(ResourceHandle *picture) {
    if (!picture) return nullptr;
    return static_cast<Raster *>(resmanLoad(picture));
}

void guiDrawFontText(Surface *surface, int x, int y, const char *text, const BitmapFont *font,
                     const ClipRect *clip) {
    if (!surface || !text || !font) return;
    static const uint8_t kFirstFont[256] = {};
    const BitmapFont *const fonts[5] = {font, nullptr, nullptr, nullptr, nullptr};
    // The font-number table covers 255 characters at a time.
    char chunk[256];
    for (size_t at = 0, n = std::strlen(text); at < n; at += 255) {
        size_t len = std::min<size_t>(255, n - at);
        std::memcpy(chunk, text + at, len);
        chunk[len] = 0;
        dunDrawTextColoured(surface, &x, &y, chunk, kFirstFont, fonts, clip);
    }
}

int guiTextWidth(const char *text, const BitmapFont *font) {
    int w = 0, h = 0;
    if (text && font) dunMeasureText(text, font, &w, &h);
    return w;
}

void guiBitmapCentre(int *x, int *y, int bw, int bh) {
    if (ResolutionMode == 0) return;
    *x += (ScreenW() * bw / 640 - bw) / 2;
    *y += (ScreenH() * bh / 480 - bh) / 2;
}

void guiDrawMarquee(GuiWindow *window, Surface *surface, int x, int y, int boxWidth, const char *text,
                    const BitmapFont *font, const ClipRect *clip) {
    const int width = guiTextWidth(text, font);
    if (width <= boxWidth) {
        window->marquee = 0;
        guiDrawFontText(surface, x, y, text, font, clip);
        return;
    }
    // 50 pixels a second: half the frame's centiseconds.
    int offset = window->marquee + dunFrameStep / 2;
    if (offset >= width + 15) offset = 0;
    window->marquee = (int16_t)offset;
    ClipRect box = {(int16_t)std::max<int>(x, clip->left), clip->top,
                    (int16_t)std::min<int>(x + boxWidth - 1, clip->right), clip->bottom};
    guiDrawFontText(surface, x - offset, y, text, font, &box);
    guiDrawFontText(surface, x - offset + width + 15, y, text, font, &box);
}

void guiInterfere(GuiWindow *window) {
    if (gGuiInterference <= 0 || (window->flags & GuiFlag::NoInterference)) return;
    JitterRect(guiScreen(), gGuiInterference / 10, window->rect[0], window->rect[1], window->rect[2], window->rect[3]);
    guiReload(window);
}

void guiDrawFrame(Surface *surface, int colour, int x0, int y0, int x1, int y1) {
    DrawLine(surface, x0 + 1, y0, x1 - 1, y0, colour);
    DrawLine(surface, x1, y0 + 1, x1, y1 - 1, colour);
    DrawLine(surface, x1 - 1, y1, x0 + 1, y1, colour);
    DrawLine(surface, x0, y1 - 1, x0, y0 + 1, colour);
}

void guiDrawBox(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    const int c = window->colour & 0xFF;
    guiDrawFrame(guiScreen(), c ? c : GuiColour::Highlight, r.left, r.top, r.right, r.bottom);
}

void guiDrawRect(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    const int c = window->colour & 0xFF;
    if (window == gGuiRoot) {
        FillRect(s, c, r.left, r.top, r.right, r.bottom);
        return;
    }
    if (r.right - r.left >= 2 && r.bottom - r.top >= 2) FillRect(s, c, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    int frame = GuiColour::Outline;
    if (window->flags & GuiFlag::Hot)
        frame = (window->flags & GuiFlag::Held) ? GuiColour::Highlight : GuiColour::HotOutline;
    guiDrawFrame(s, frame, r.left, r.top, r.right, r.bottom);
}

namespace {

// Copies a bitmap at the window's place, centred at larger resolutions in
// the place a scaled window of its size would take. The window takes that
// whole place, so that its rectangle holds all it draws: what lies over the
// picture is drawn again with it.
void BlitCentred(GuiWindow *window, const Raster *bitmap, int dy) {
    if (!bitmap) return;
    const bool scaled = ResolutionMode != 0;
    window->w = (int16_t)(scaled ? ScreenW() * bitmap->width / 640 : bitmap->width);
    window->h = (int16_t)(scaled ? ScreenH() * bitmap->height / 480 : bitmap->height);
    int x, y;
    guiWindowRect(window, &x, &y);
    guiBitmapCentre(&x, &y, bitmap->width, bitmap->height);
    BlitSurface(guiScreen(), AsSurface(bitmap), x, y + dy);
}

}  // namespace

void guiDrawBackground(GuiWindow *window) {
    // The gadget drawing over it applies the interference once, at its end.
    const int32_t interference = gGuiInterference;
    gGuiInterference = 0;
    guiDrawRect(window);
    gGuiInterference = interference;
}

void guiDrawRaster(GuiWindow *window) {
    const Raster *bitmap = static_cast<const Raster *>(window->userData);
    if (!bitmap) bitmap = guiRaster(window->font);
    if (!bitmap) return;
    BlitCentred(window, bitmap, 0);
    guiInterfere(window);
}

void guiDrawSwitch(GuiWindow *window) {
    const bool pressed = (window->flags & GuiFlag::Held) && (window->flags & GuiFlag::Hot);
    BlitCentred(window, static_cast<const Raster *>(pressed ? window->imageAlt : window->image), 0);
    guiInterfere(window);
}

void guiDrawImageButton(GuiWindow *window) {
    const uint8_t *on = static_cast<const uint8_t *>(window->text);
    BlitCentred(window, static_cast<const Raster *>(on && *on ? window->imageAlt : window->image), 0);
    guiInterfere(window);
}

void guiDrawPulseButton(GuiWindow *window) {
    const uint8_t *on = static_cast<const uint8_t *>(window->text);
    if (on && *on && !gScriptPause) {
        if (!gPulseClip) VideoOpenInWindow(&gPulseClip, "abpulse.smk", 0, 0, 0, 0);
        if (gPulseClip) {
            ClipRect r;
            if (guiGadgetRect(window, &r)) {
                const int16_t shift = DirectDrawActive ? 1 : -1;
                const int16_t rect[4] = {(int16_t)(r.left + shift), r.top, (int16_t)(r.right + shift), r.bottom};
                if (!VideoFrameToRect(gPulseClip, rect)) {
                    VideoClose(gPulseClip);
                    gPulseClip = nullptr;
                }
            }
            guiReload(window);
            return;
        }
    }
    BlitCentred(window, static_cast<const Raster *>(window->image), -2);
    guiInterfere(window);
}

namespace {

void DrawStringLike(GuiWindow *window, bool clear) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    if (clear && r.right - r.left >= 2 && r.bottom - r.top >= 2)
        FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    const BitmapFont *font = guiFont(window->font);
    if (font) {
        const int baseline = r.top + window->h / 2 + font->lineHeight / 2;
        guiDrawFontText(s, r.left + 2, baseline, static_cast<const char *>(window->text), font, &r);
    }
    guiInterfere(window);
}

void DrawButtonWith(GuiWindow *window, const BitmapFont *font) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    const char *text = static_cast<const char *>(window->text);
    guiDrawBackground(window);
    if (font && text) {
        int x = (r.left + r.right) / 2 - guiTextWidth(text, font) / 2;
        if (x < r.left) x = r.left;
        const int baseline = (r.top + r.bottom) / 2 + font->lineHeight / 2;
        guiDrawFontText(guiScreen(), x, baseline, text, font, &r);
    }
    guiInterfere(window);
}

}  // namespace

void guiDrawString(GuiWindow *window) { DrawStringLike(window, true); }

void guiDrawSystemLabel(GuiWindow *window) { DrawStringLike(window, false); }

void guiDrawButton(GuiWindow *window) { DrawButtonWith(window, guiFont(window->font)); }

void guiDrawTextButton(GuiWindow *window) {
    // Windows without a font of their own show the main font.
    const BitmapFont *font = guiFont(window->font);
    if (!font) font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("RFont")));
    DrawButtonWith(window, font);
}

void guiDrawFramedButton(GuiWindow *window) {
    guiDrawButton(window);
    if (window->flags & GuiFlag::DropOutline)
        guiDrawFrame(guiScreen(), GuiColour::Highlight, window->rect[0], window->rect[1], window->rect[2] + 1,
                     window->rect[3] + 1);
    guiMarkOverlapping(window);
}

void guiDrawHelpNote(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    guiDrawRect(window);
    const BitmapFont *font = guiFont(window->font);
    const char *text = static_cast<const char *>(window->text);
    if (font && text) {
        int x = r.left + 2, y = r.top + font->lineHeight + 2;
        dunDrawText(guiScreen(), &x, &y, text, font, GuiColour::NoteText, &r);
    }
    guiMarkOverlapping(window);
    guiInterfere(window);
}

void guiDrawText(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    guiDrawBackground(window);
    auto *resource = static_cast<ResourceHandle *>(const_cast<void *>(window->text));
    const char *text = resource ? static_cast<const char *>(resmanLoad(resource)) : nullptr;
    const BitmapFont *font = guiFont(window->font);
    if (text && font) {
        // The scroll offset counts whole characters and never runs past the end.
        size_t skip = window->max > 0 ? (size_t)window->max : 0;
        const size_t len = std::strlen(text);
        if (skip > len) skip = len;
        dunDrawTextWrapped(guiScreen(), text + skip, font, &r);
    }
    guiInterfere(window);
}

void guiDrawMenuItem(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    if (r.right - r.left >= 2 && r.bottom - r.top >= 2) FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    // Hovered items show the front end's highlight font.
    const BitmapFont *font = nullptr;
    if (window->flags & GuiFlag::Hot) font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("FrontB")));
    if (!font) font = guiFont(window->font);
    if (font) {
        const int baseline = (r.top + r.bottom) / 2 + font->lineHeight / 2;
        guiDrawFontText(s, r.left + 2, baseline, static_cast<const char *>(window->text), font, &r);
    }
    guiInterfere(window);
}
