// The options screen: a caption and a slider or toggle per option, saving,
// the restore values and the way back; its key handler.
#include <cstdio>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/keys.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "script/mission.h"
#include "script/symbols.h"

// A film skipped by a key: the options screen ignores keys for a while
// after that frame.
uint32_t guiFilmSkipFrame;

namespace {

constexpr int kKnobWidth = 12;

ResourceHandle *StandardFont() { return static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont")); }

OptionRecord *WindowOption(GuiWindow *window) { return static_cast<OptionRecord *>(window->userPtr); }

// The byte that shows a key-lettered option's windows.
const uint8_t *KeyByte(char key) {
    switch (key) {
    case 's': return &SoftwareRendering;
    case 'h': return &CardMode;
    case 'f': return &gInFrontEnd;
    default: return nullptr;
    }
}

// The 3D card rebuilds the whole screen: the backdrop clears what lies
// outside a 640 x 480 picture first.
void DrawBackdrop(GuiWindow *window) {
    const Surface *s = guiScreen();
    if (s && (s->width != 640 || s->height != 480)) ClearSurface(guiScreen(), 0);
    guiDrawRaster(window);
}

void SaveActivated(GuiWindow *) { frontSaveOptions(kSettingsFile); }

void RestoreActivated(GuiWindow *) { frontRestoreOptions(); }

void ExitActivated(GuiWindow *) {
    if (StationId != 5) {
        frontSaveOptions(kSettingsFile);
        guiSetScreen("FrontRoster");
        gFrontRequestedPage = 14;
    } else {
        guiSaveSettings();
    }
    SoundResumeAll();
}

void SetSliderFromMouse(GuiWindow *window, OptionRecord *o) {
    const int x0 = window->rect[0], x1 = window->rect[2];
    if (x1 - x0 <= kKnobWidth) return;
    int x = gMouse.x;
    if (x < x0 + 6) x = x0 + 6;
    if (x > x1 - 6) x = x1 - 6;
    const float f = float(x - (x0 + 6)) / float(x1 - x0 - kKnobWidth);
    o->value = o->minimum + (o->maximum - o->minimum) * f;
    if (o->apply) o->apply(o);
    guiReload(window);
}

}  // namespace

void frontRestoreOptions() {
    for (OptionRecord *o = gOptions; o->name; ++o) {
        o->value = SoftwareRendering ? o->restoreSoftware : o->restoreCard;
        if (o->apply) o->apply(o);
    }
}

void frontDrawOption(GuiWindow *window) {
    OptionRecord *o = WindowOption(window);
    ClipRect r;
    if (!o || !guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    if (o->kind == OptionKind::Toggle) {
        const BitmapFont *font = guiFont(StandardFont());
        const int v = int(o->value);
        char number[16];
        const char *label = v >= 0 && v + 1 < kOptionLabels ? o->labels[v + 1] : nullptr;
        if (!label) {
            // Without captions the value itself shows.
            std::snprintf(number, sizeof number, "%i", v);
            label = number;
        }
        if (font) guiDrawFontText(s, r.left + 2, (r.top + r.bottom) / 2 + font->lineHeight / 2, label, font, &r);
    } else {
        const int mid = (r.top + r.bottom) / 2;
        DrawLineClipped(s, r.left, mid, r.right, mid, 95, &r);
        DrawLineClipped(s, r.left, r.top, r.left, r.bottom, 95, &r);
        DrawLineClipped(s, r.right, r.top, r.right, r.bottom, 95, &r);
        float f = o->maximum > o->minimum ? (o->value - o->minimum) / (o->maximum - o->minimum) : 0;
        if (!(f >= 0)) f = 0;
        if (f > 1) f = 1;
        const int width = r.right - r.left + 1;
        const int kx = r.left + int(float(width - kKnobWidth) * f);
        if (kx + kKnobWidth - 1 >= kx + 2 && r.bottom - r.top >= 2)
            FillRectClipped(s, int(31 * f + 144), &r, kx + 1, r.top + 1, kx + kKnobWidth - 2, r.bottom - 1);
        guiDrawFrame(s, 154, kx, r.top, kx + kKnobWidth - 1, r.bottom);
        frontUpdateOptionSlider(window);
    }
    guiReload(window);
}

int8_t frontUpdateOptionSlider(GuiWindow *window) {
    if (CardMode && window->redraw > 0) --window->redraw;
    const int8_t result = guiDefaultHandler(window);
    OptionRecord *o = WindowOption(window);
    if (!o || o->kind != OptionKind::Slider) return result;
    const bool held = KeyDownTable[KEY_LEFT_BUTTON] || (window->flags & GuiFlag::Dragging);
    if (held && guiPointInWindow(window, gMouse.x, gMouse.y)) SetSliderFromMouse(window, o);
    return result;
}

void frontStepOptionToggle(GuiWindow *window) {
    OptionRecord *o = WindowOption(window);
    if (o && o->kind == OptionKind::Toggle) {
        int v = int(o->value) + 1;
        if (float(v) > o->maximum) v = int(o->minimum);
        o->value = float(v);
        if (o->apply) o->apply(o);
    }
    guiReload(window);
}

void frontBuildOptions() {
    if (CardMode) guiBindDraw("FrontB", DrawBackdrop);
    frontLoadInitTable();
    char name[64];
    for (OptionRecord *o = gOptions; o->name; ++o) {
        const uint8_t *shown = KeyByte(o->key);
        std::snprintf(name, sizeof name, "OptS_%s", o->name);
        if (GuiWindow *caption = guiLiveWindow(GetTypedScriptSymbolValue(name, SymKind::Window))) {
            if (o->labels[0]) caption->text = o->labels[0];
            caption->userPtr = o;
            caption->font = StandardFont();
            if (shown) {
                caption->flags |= GuiFlag::Visibility;
                caption->visible = shown;
            }
        }
        std::snprintf(name, sizeof name, "OptB_%s", o->name);
        if (GuiWindow *control = guiBindDraw(name, frontDrawOption)) {
            control->update = frontUpdateOptionSlider;
            control->onActivate = frontStepOptionToggle;
            control->userPtr = o;
            if (shown) {
                control->flags |= GuiFlag::Visibility;
                control->visible = shown;
            }
        }
    }
    guiBindActivate("Opt_Save", SaveActivated);
    guiBindActivate("Opt_Restore", RestoreActivated);
    guiBindActivate("OptExit", ExitActivated);
    guiBindDraw("OptExit", guiDrawCornerArrow);
}

void frontOptionsKeyHandler(uint16_t key) {
    const int scan = key >> 8;
    const bool shift = KeyDownTable[42] != 0;
    const bool escape = scan == 1 && !shift;
    if (!escape && !(shift && scan == 16)) return;
    if (escape) gLastEscapeFrame = dunFrameCounter;
    if (StationId == 5) {
        guiSaveSettings();
        return;
    }
    if (escape) frontSaveOptions(kSettingsFile);
    guiSetScreen("FrontRoster");
    gFrontRequestedPage = 14;
}
