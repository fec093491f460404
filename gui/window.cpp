// The window pool, creation with the 640x480 adjustment, copies, absolute
// rectangles, hit tests and the redraw marking helpers.
#include "gui/window.h"
#include "gui/main_view.h"

#include <cstring>

#include "core/log.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "platform/display.h"
#include "script/settings.h"
#include "world/messages.h"

GuiWindow gGuiWindows[kGuiWindowCount];
int32_t gGuiAllocCount;
GuiWindow *gGuiLastCreated;
GuiWindow *gGuiHotWindow;
GuiWindow *gGuiRoot;
int32_t gGuiLastMouseX, gGuiLastMouseY;
uint16_t gGuiRedrawReload = 1;
uint8_t gGuiFullRedraw;
GuiWindow *gGuiUpdating;
ClipRect gGuiClip;
// The window help (the message line's text on activation, help notes, the
// confirmation screen) reads the slots STRING fills: a table of its own
// would never be filled.
const char **const gGuiHelpTexts = gTextSlots;
static_assert(kGuiHelpTexts == kTextSlots);
int32_t gGuiInterference;
uint8_t gGuiCentreMode;
uint8_t gGuiScriptLoading;

uint8_t gGuiHelpMode;
GuiWindow *gGuiMainView;
uint8_t gGuiComArmOpen;
uint8_t gGuiSaveListOpen;
uint8_t gGuiViewSuspended;

namespace {

int gFreeCursor;

// Screen size for the adjustments and the clamp.
int ScreenWidth() { return TheDisplayMode.screen ? TheDisplayMode.screen->width : TheDisplayMode.width; }
int ScreenHeight() { return TheDisplayMode.screen ? TheDisplayMode.screen->height : TheDisplayMode.height; }

bool IsViewDraw(GuiDrawProc draw) {
    return draw == guiDraw3D || draw == guiDrawMainViewPane || draw == guiDraw3DWire || draw == MainViewDraw;
}

void AppendToScreen(GuiWindow *window) {
    window->next = nullptr;
    GuiWindow **link = &gGuiScreen->windows;
    while (*link) link = &(*link)->next;
    *link = window;
    gGuiLastCreated = window;
}

int16_t Clamp16(int v) { return (int16_t)(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

}  // namespace

GuiWindow *guiRootWindow() { return gGuiRoot; }

// Ship damage shakes the cockpit's windows for a while.
void guiSetInterference(int32_t value) { gGuiInterference = value < 0 ? 0 : value > 300 ? 300 : value; }

uint32_t guiWindowFlags(const GuiWindow *window) { return window ? window->flags : 0; }

Surface *guiScreen() { return TheDisplayMode.screen; }

void guiResetWindows() {
    for (GuiWindow &w : gGuiWindows) w.flags &= ~GuiFlag::InUse;
    gFreeCursor = 0;
    gGuiAllocCount = 0;
    guiResetScreens();
    gGuiNullScreen = GuiScreen{};
    gGuiNullScreen.name = "Null";
    gGuiNullScreen.panel = kGuiNoPanel;
    gGuiScreen = &gGuiNullScreen;
    gGuiHotWindow = nullptr;
    gGuiRoot = nullptr;
    gGuiLastCreated = nullptr;
    gGuiUpdating = nullptr;
    // A window drawn once is in the shown buffer only when nothing flips; with
    // two buffers swapping it must be drawn into each.
    gGuiRedrawReload = DisplayFlipsTwoBuffers() ? 2 : 1;
}

GuiWindow *guiAllocWindow() {
    ++gGuiAllocCount;
    const int start = gFreeCursor;
    int i = start;
    do {
        i = (i + 1) % kGuiWindowCount;
        if (!(gGuiWindows[i].flags & GuiFlag::InUse)) {
            gFreeCursor = i;
            gGuiWindows[i].flags = GuiFlag::InUse;
            return &gGuiWindows[i];
        }
    } while (i != start);
    dunFatalError("Run out of Window Handles");
}

GuiWindow *guiCreateWindow(uint16_t anchor, GuiWindow *parent, void *userData, GuiUpdateProc update,
                           GuiDrawProc draw, int16_t x, int16_t y, int16_t w, int16_t h, uint16_t colour) {
    GuiWindow *win = guiAllocWindow();
    const int W = ScreenWidth(), H = ScreenHeight();
    if (ResolutionMode != 0) {
        if (gGuiCentreMode) {
            if (anchor != GUI_REL && draw != guiDrawRaster && draw != guiDrawFramedButton) {
                x = Clamp16(x + (W - 640) / 2);
                y = Clamp16(y + (H - 480) / 2);
            }
        } else if (gGuiScriptLoading) {
            x = Clamp16((int)(x / 640.0 * W));
            y = Clamp16((int)(y / 480.0 * H));
            w = Clamp16((int)(w / 640.0 * W));
            h = Clamp16((int)(h / 480.0 * H));
        }
    }
    if (!gGuiScreen->root) {
        gGuiScreen->root = win;
        gGuiRoot = win;
    }
    win->port = update ? dunMsgNewReceiver() : 0;
    win->update = update;
    win->parent = parent;
    win->relTarget = nullptr;
    if (anchor == GUI_REL) {
        win->parent = nullptr;
        win->relTarget = parent ? parent : gGuiLastCreated;
    }
    win->anchor = anchor;
    win->x = x;
    win->y = y;
    win->w = w;
    win->h = h;
    win->colour = colour;
    win->hitTest = guiPointInWindow;
    win->draw = draw;
    win->onActivate = win->onPress = win->onEvent = nullptr;
    win->onDrop = nullptr;
    win->userPtr = nullptr;
    win->userData = userData;
    win->image = win->imageAlt = nullptr;
    win->font = nullptr;
    win->text = nullptr;
    win->value = win->max = 0.0f;
    win->state = 0;
    win->videoIndex = 0;
    win->visible = nullptr;
    win->helpIndex = win->helpNoteIndex = -1;
    win->marquee = 0;
    std::memset(win->rect, 0, sizeof win->rect);
    if (IsViewDraw(draw)) {
        std::memset(win->dirty, 0, sizeof win->dirty);
        ++gGuiPaneCount;
    }
    win->redraw = gGuiRedrawReload;
    AppendToScreen(win);
    return win;
}

namespace {

GuiWindow *CopyInto(GuiWindow *source, GuiWindow *parent) {
    GuiWindow *copy = guiAllocWindow();
    *copy = *source;
    copy->flags = source->flags | GuiFlag::InUse;
    // A copy sharing the source's port would take the source's close
    // messages and keep an id alive that the source's deletion gives back.
    if (source->port) copy->port = dunMsgNewReceiver();
    if (parent) copy->parent = parent;
    if (IsViewDraw(copy->draw)) ++gGuiPaneCount;
    AppendToScreen(copy);
    return copy;
}

}  // namespace

GuiWindow *guiCloneWindow(GuiScreen *screen, GuiWindow *window) {
    if (!window) return nullptr;
    GuiWindow *copy = CopyInto(window, nullptr);
    if (!screen) return copy;
    // The list may grow while it is walked when the screen is the current
    // one: stop at the copy itself.
    for (GuiWindow *w = screen->windows; w && w != copy; w = w->next)
        if (w->parent == window && (w->flags & GuiFlag::InUse)) CopyInto(w, copy);
    return copy;
}

void guiMarkRedraw() { gGuiFullRedraw = 1; }

void guiRedrawWithChildren(GuiWindow *window) {
    guiReload(window);
    for (GuiWindow *w = gGuiScreen->windows; w; w = w->next)
        if (w->parent == window) guiReload(w);
}

bool guiRectsOverlap(const int16_t *a, const int16_t *b) {
    return a[2] >= b[0] && a[0] <= b[2] && a[3] >= b[1] && a[1] <= b[3];
}

void guiMarkOverlapping(GuiWindow *window) {
    guiRedrawWithChildren(window);
    bool after = false;
    for (GuiWindow *w = gGuiScreen->windows; w; w = w->next) {
        if (w == window) {
            after = true;
            continue;
        }
        if (after && guiRectsOverlap(w->rect, window->rect)) guiReload(w);
    }
}

GuiWindow *guiFindWindowUnder(GuiWindow *window) {
    const int cx = (window->rect[0] + window->rect[2]) / 2 - 1;
    const int cy = (window->rect[1] + window->rect[3]) / 2 - 1;
    const int16_t box[4] = {(int16_t)cx, (int16_t)cy, (int16_t)(cx + 2), (int16_t)(cy + 2)};
    GuiWindow *found = nullptr;
    for (GuiWindow *w = gGuiScreen->windows; w; w = w->next)
        if (w != window && guiRectsOverlap(w->rect, box)) found = w;
    return found;
}

void guiCloseWindowAfter(GuiWindow *window, uint32_t delay) {
    if (!window) return;
    dunMsgPost(window->port, window->port, delay, kGuiCloseMessage, 0, nullptr);
    for (GuiWindow *w = gGuiScreen->windows; w; w = w->next)
        if (w->parent == window) dunMsgPost(window->port, w->port, delay, kGuiCloseMessage, 0, nullptr);
}

void guiMarkForDelete(GuiWindow *window) {
    if (window) window->flags |= GuiFlag::Delete;
}

bool guiWindowRect(GuiWindow *window, int *outX, int *outY) {
    int x = 0, y = 0;
    if (window->anchor == GUI_REL) {
        const GuiWindow *t = window->relTarget;
        const int tx = t ? t->rect[0] : 0, ty = t ? t->rect[1] : 0;
        if ((window->flags & GuiFlag::Visibility) && window->visible && !*window->visible) {
            x = tx;
            y = ty;
        } else {
            x = tx + window->x;
            y = ty + window->y;
        }
    } else {
        // A chain of parents longer than the pool can only be a loop.
        int guard = kGuiWindowCount;
        for (const GuiWindow *w = window; w && guard-- > 0; w = w->parent) {
            const GuiWindow *ref = w->parent ? w->parent : gGuiRoot;
            const int pw = ref ? ref->w : 0, ph = ref ? ref->h : 0;
            switch (w->anchor) {
            case GUI_TOP_L:
            case GUI_CLIP:
                x += w->x;
                y += w->y;
                break;
            case GUI_TOP_R:
                x += pw - w->x - w->w;
                y += w->y;
                break;
            case GUI_BOT_L:
                x += w->x;
                y += ph - w->y - w->h;
                break;
            case GUI_BOT_R:
                x += pw - w->x - w->w;
                y += ph - w->y - w->h;
                break;
            case GUI_CNTR:
                x += pw / 2 + w->x - w->w / 2;
                y += ph / 2 + w->y - w->h / 2;
                break;
            default:
                break;
            }
        }
    }
    int x0 = x, y0 = y, x1 = x + window->w - 1, y1 = y + window->h - 1;
    bool shown = true;
    if (window->anchor == GUI_CLIP && window->parent) {
        const int px0 = x - window->x, py0 = y - window->y;
        const int px1 = px0 + window->parent->w - 1, py1 = py0 + window->parent->h - 1;
        if (x0 < px0) x0 = px0;
        if (y0 < py0) y0 = py0;
        if (x1 > px1) x1 = px1;
        if (y1 > py1) y1 = py1;
        shown = !(x0 >= x1 || y0 >= y1);
    }
    window->rect[0] = Clamp16(x0);
    window->rect[1] = Clamp16(y0);
    window->rect[2] = Clamp16(x1);
    window->rect[3] = Clamp16(y1);
    if (outX) *outX = x0;
    if (outY) *outY = y0;
    return shown;
}

void guiClampToScreen(GuiWindow *window) {
    const int W = ScreenWidth(), H = ScreenHeight();
    if (window->x < 0) window->x = 0;
    if (window->y < 0) window->y = 0;
    if (window->x + window->w >= W) window->x = Clamp16(W - window->w - 1);
    if (window->y + window->h >= H) window->y = Clamp16(H - window->h - 1);
}

uint8_t guiPointInWindow(GuiWindow *window, int x, int y) {
    if ((window->flags & GuiFlag::Visibility) && window->visible && !*window->visible) return 0;
    if (!guiWindowRect(window, nullptr, nullptr)) return 0;
    return x > window->rect[0] && x < window->rect[2] && y > window->rect[1] && y < window->rect[3];
}

uint8_t guiNeverHit(GuiWindow *, int, int) { return 0; }

GuiWindow *guiLiveWindow(void *value) {
    auto *w = static_cast<GuiWindow *>(value);
    if (w < gGuiWindows || w >= gGuiWindows + kGuiWindowCount || !(w->flags & GuiFlag::InUse)) return nullptr;
    return w;
}

bool guiIsStationView(const GuiWindow *window) {
    const GuiWindow *main = gGuiScreen ? gGuiScreen->viewWindow : nullptr;
    return !main || window == main;
}

void guiRunViewPane(GuiWindow *window, void (*routine)(P3DPane *pane)) {
    if (!window) return;
    P3DPane pane = {window,       window->rect[0], window->rect[1], window->w,       window->h,
                    window->userPtr, window->dirty, window->image, window->imageAlt};
    // A second pane running the HUD pass would draw its texts again and
    // step its animations twice in a frame.
    gViewNoHud = guiIsStationView(window) ? 0 : 1;
    routine(&pane);
    gViewNoHud = 0;
    window->image = pane.image;
    window->imageAlt = pane.imageAlt;
}
