// Read-outs and panes: the navigation card, the target line, wire icons, the
// profiler and logger graphs, video panes, shaded overlays, the 3D view
// panes and the remote-link label.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/video.h"
#include "present/views.h"
#include "script/briefing.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/records.h"
#include "core/value_recorder.h"

GuiWindow *gGuiProfileWindow;
void *gGuiNavTarget;
uint8_t gGuiNavCardOn;
uint8_t gGuiWeaponsHardpointView;
uint8_t gGuiRemoteLink;
void *gGuiRemoteObject;

namespace {

const char *ByLanguage(const char *const texts[3]) { return texts[gLanguage < 3 ? gLanguage : 0]; }

double DistanceMetres(const SceneItem *a, const SceneItem *b) {
    if (!a || !b || !a->sim || !b->sim) return 0;
    const Vec3d &p = a->sim->position, &q = b->sim->position;
    const double dx = p.x - q.x, dy = p.y - q.y, dz = p.z - q.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) / 100.0;
}

const char *ShipName(const SceneItem *item) {
    if (!item || !item->sim || !item->sim->shipInfo) return nullptr;
    const ShipInfo *info = item->sim->shipInfo;
    return info->name ? info->name : info->className;
}

// Colour by the value's place in a recorder's range: 133 low, 97 within,
// 64 at the top. A range of zero width reads as the bottom.
int RangeColour(double value, double minimum, double maximum) {
    const double span = maximum - minimum;
    if (!(span > 0)) return GuiColour::Band133;
    const double r = (std::min(value, maximum) - minimum) / span;
    if (r < 0.2) return GuiColour::Band133;
    if (r < 1.0) return GuiColour::Band97;
    return GuiColour::Band64;
}

}  // namespace

void guiFormatRange(char *out, int size, double d) {
    if (!(d > 0)) d = 0;
    if (d < 10000) std::snprintf(out, size, "%.0f M", d);
    else if (d < 1e9) std::snprintf(out, size, "%.1f KM", d / 1000);
    else if (d <= 1e10) std::snprintf(out, size, "%.2f M KM", d / 1e9);
    else std::snprintf(out, size, "%.1f M KM", d / 1e9);
}

int guiSideColour(uint32_t flags, bool card) {
    int c = card ? 97 : 160;
    if (flags & 0x80) c = 133;
    if (flags & 0x100) c = 64;
    if (flags & 0x600) c = 160;
    if (flags & 0x1000) c = 42;
    if (flags & 0x800) c = 223;
    if (!card && (flags & 0x40)) c = 97;
    return c;
}

void guiDrawNavCard(GuiWindow *window) {
    guiReload(window);
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    guiDrawFrame(s, GuiColour::Outline, r.left, r.top, r.right, r.bottom);
    const SceneItem *target = static_cast<const SceneItem *>(window->userPtr);
    const BitmapFont *font = guiFont(window->font);
    if (!font) font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont")));
    if (!target || !font) return;
    const uint32_t side = target->avatar ? target->avatar->flags : 0;
    int colour = guiSideColour(side, true);
    const int x = r.left + 4, base = (r.top + r.bottom) / 2 + font->lineHeight / 2;
    char text[64];
    const char *name = ShipName(target);
    if (!name) guiDrawMarquee(window, s, x + 21, base, 27, "INERT", font, &r);
    else guiDrawMarquee(window, s, x + 61, base, 36, name, font, &r);
    guiFormatRange(text, sizeof text, DistanceMetres(target, dunPlayerShip));
    int tx = x + 97, ty = base;
    dunDrawText(s, &tx, &ty, text, font, colour, &r);
    if (window->state && ResolutionMode != 0 && dunPlayerShip && dunPlayerShip->sim) {
        static const char *const kDrive[3] = {"THRUSTER", "PROPULS.", "TRIEBWERK"};
        const Sim *sim = dunPlayerShip->sim;
        const char *drive = (sim->flags & 2) ? "LDS" : ByLanguage(kDrive);
        std::snprintf(text, sizeof text, "%s  V: %i M/S", drive, (int)(sim->approxSpeed / 100));
        tx = x + 178;
        ty = base;
        dunDrawText(s, &tx, &ty, text, font, colour, &r);
    }
}

void guiDrawTargetLine(GuiWindow *window) {
    static const char *const kTarget[3] = {"TARGET: %s", "CIBLE: %s", "ZIEL: %s"};
    static const char *const kNone[3] = {"TARGET: ----", "CIBLE: ----", "ZIEL: ----"};
    char text[128];
    const SceneItem *target = dunPlayerShip && dunPlayerShip->sim ? dunPlayerShip->sim->goal : nullptr;
    const char *name = ShipName(target);
    if (name) std::snprintf(text, sizeof text, ByLanguage(kTarget), name);
    else std::snprintf(text, sizeof text, "%-45s", ByLanguage(kNone));
    window->text = text;
    guiDrawString(window);
    window->text = nullptr;
}

void *guiWireframePlan(ResourceHandle *resource) {
    return resource && resource->type == ResLwo2Wri ? resmanLoad(resource) : nullptr;
}

void guiDrawWireIcon(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    const int c = (window->colour & 0xFF) ? (window->colour & 0xFF) : GuiColour::Band97;
    void *model = guiWireframePlan(window->font);
    if (!model || !WireframeDrawInRect(model, r.left, r.top, r.right, r.bottom, c, 0.0f))
        guiDrawFrame(guiScreen(), c, r.left, r.top, r.right, r.bottom);
    guiInterfere(window);
}

void guiDrawProfile(GuiWindow *window) {
    guiReload(window);
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    if (!CardMode) {
        guiDrawBackground(window);
    }
    const ValueRecorder *rec = static_cast<const ValueRecorder *>(window->userPtr);
    const BitmapFont *font = guiFont(window->font);
    if (!rec || !font) return;
    Surface *s = guiScreen();
    const int lines = std::min<int>((int)rec->capacity + 1, 20);
    const int step = font->lineHeight + 2;
    for (int i = 0; i < lines; ++i) {
        const int y = r.top + 2 + i * step;
        if (y + step > r.bottom) break;
        const double v = rec->samples[i];
        const double span = rec->maximum - rec->minimum;
        double frac = span > 0 ? (std::min<double>(v, rec->maximum) - rec->minimum) / span : 0;
        frac = std::clamp(frac, 0.0, 1.0);
        const int c = RangeColour(v, rec->minimum, rec->maximum);
        const int x1 = r.left + 2 + (int)((r.right - r.left - 4) * frac);
        if (x1 > r.left + 2) FillRect(s, c, r.left + 2, y, x1, y + step - 2);
        char text[64];
        std::snprintf(text, sizeof text, "%s %.2f", rec->checkpointNames[i] ? rec->checkpointNames[i] : "", v / 100);
        int tx = r.left + 4, ty = y + font->lineHeight;
        dunDrawText(s, &tx, &ty, text, font, 255, &r);
    }
}

void guiDrawLogger(GuiWindow *window) {
    guiReload(window);
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    guiDrawBackground(window);
    const ValueRecorder *rec = static_cast<const ValueRecorder *>(window->userPtr);
    if (!rec) return;
    Surface *s = guiScreen();
    const int width = r.right - r.left - 1, height = r.bottom - r.top - 2;
    const int count = 100;
    const double span = rec->maximum - rec->minimum;
    for (int col = 0; col < width; ++col) {
        // Oldest on the left: the sample after the write index first.
        const int i = (int)((rec->writeIndex + 1 + (uint32_t)(col * count / std::max(width, 1))) % count);
        const double v = rec->samples[i];
        double frac = span > 0 ? (std::min<double>(v, rec->maximum) - rec->minimum) / span : 0;
        frac = std::clamp(frac, 0.0, 1.0);
        const int top = r.bottom - 1 - (int)(height * frac);
        DrawLine(s, r.left + 1 + col, r.bottom - 1, r.left + 1 + col, top, RangeColour(v, rec->minimum, rec->maximum));
    }
    guiInterfere(window);
}

void guiDrawVideo(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Smack *video = static_cast<Smack *>(window->userPtr);
    const int16_t rect[4] = {r.left, r.top, r.right, r.bottom};
    if (!video || !VideoFrameToRect(video, rect)) guiCloseWindowAfter(window, 25);
    guiDrawFrame(guiScreen(), GuiColour::Highlight, r.left, r.top, r.right, r.bottom);
    guiMarkOverlapping(window);
}

void guiDrawOverlay(GuiWindow *window) {
    if (PixelDepth != 8) return;
    const Raster *bitmap = static_cast<const Raster *>(window->userData);
    if (!bitmap) bitmap = guiRaster(window->font);
    ClipRect r;
    if (!bitmap || !guiGadgetRect(window, &r)) return;
    // The shade table follows the bitmap's pixels.
    const uint8_t *shades = bitmap->pixels + (size_t)bitmap->width * bitmap->height;
    DrawSpriteA(guiScreen(), AsSurface(bitmap), r.left, r.top, shades);
}

namespace {

void ViewPane(GuiWindow *window, void (*render)(P3DPane *), bool mainView) {
    if (gGuiViewSuspended) return;
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    // The station's own view also shows the objectives panel in place of
    // the scene, the briefing's film and the typed feed over it; a main view
    // pane beside it (the weapons station's camera window) shows its scene.
    const bool stationView = mainView ? guiIsStationView(window) : window == gGuiMainView;
    if (stationView && gObjectivesOpen) {
        guiDrawObjectiveList(window);
        if (!mainView) guiDrawFrame(guiScreen(), GuiColour::Highlight, r.left, r.top, r.right, r.bottom);
        return;
    }
    // Until a scene renders into it, the pane shows its cleared area.
    FillRect(guiScreen(), 0, r.left, r.top, r.right, r.bottom);
    guiRunViewPane(window, render);
    if (stationView) {
        if (gBriefingOpen) dunDrawBriefingVideo(window->rect);
        if (mainView) guiDrawCockpitOverlay();
        if (gFeedShowing) {
            const int x0 = r.left, y0 = r.top, w = window->w;
            if (gFeedAltPlacement) guiDrawTextFeed(x0 + 4, y0 + 10, w - 168, 80);
            else guiDrawTextFeed(x0 + 74, y0 - 4, w - 238, 94);
        }
        if (mainView) {
            // The scene moves: the pane draws again next frame, and so do
            // the windows over it.
            guiMarkOverlapping(window);
            return;
        }
    }
    guiDrawFrame(guiScreen(), GuiColour::Highlight, r.left, r.top, r.right, r.bottom);
    guiMarkOverlapping(window);
}

}  // namespace

void guiDraw3D(GuiWindow *window) { ViewPane(window, P3DDrawViewWindow, false); }
void guiDrawMainViewPane(GuiWindow *window) { ViewPane(window, P3DDrawViewWindow, true); }
void guiDraw3DWire(GuiWindow *window) { ViewPane(window, P3DDrawWireViewWindow, false); }

void guiDrawRemoteLabel(GuiWindow *window) {
    if (gFeedShowing || !gGuiRemoteLink) return;
    const BitmapFont *font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont")));
    const char *name = ShipName(static_cast<const SceneItem *>(gGuiRemoteObject));
    if (!font || !window) return;
    char text[96];
    std::snprintf(text, sizeof text, gLanguage == 2 ? "FES - '%s'" : "REM - '%s'", name ? name : "");
    ClipRect r = {window->rect[0], window->rect[1], window->rect[2], window->rect[3]};
    const int w = guiTextWidth(text, font);
    guiDrawFontText(guiScreen(), (r.left + r.right) / 2 - w / 2, r.top + 15, text, font, &r);
}
