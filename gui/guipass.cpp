// The GUI pass of every frame: hit testing, clicks and drags, each window's
// update routine, and the sweep of deleted windows; the default update
// routine; the main view of the full-screen view; blanking the screen and the
// pop-up caption.
#include <cstring>

#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "gui/window.h"
#include "hud/maps.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/sky/stars.h"
#include "present/views.h"
#include "script/briefing.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/settings.h"
#include "script/symbols.h"
#include "RES/text.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/records.h"

uint8_t gGuiHidden;

namespace {

int gPassDepth;

bool LeftHeld(const uint8_t *keys) { return keys[KEY_LEFT_BUTTON] != 0; }
bool RightHeld(const uint8_t *keys) { return keys[KEY_RIGHT_BUTTON] != 0; }

void ZeroClickCounters() {
    gMouse.leftDowns = gMouse.leftUps = 0;
    gMouse.rightHeld = gMouse.rightUps = 0;
}

// A window is gone: nothing may keep pointing at its record.
void ForgetWindow(GuiWindow *gone) {
    if (gGuiHotWindow == gone) gGuiHotWindow = nullptr;
    if (gGuiLastCreated == gone) gGuiLastCreated = nullptr;
    if (gGuiUpdating == gone) gGuiUpdating = nullptr;
    for (GuiWindow &w : gGuiWindows)
        if ((w.flags & GuiFlag::InUse) && w.relTarget == gone) w.relTarget = nullptr;
}

// Children of a deleted window would keep a parent whose record the next
// allocation hands out again: they go with it, at any depth.
void MarkOrphans(GuiWindow *list) {
    for (bool changed = true; changed;) {
        changed = false;
        for (GuiWindow *w = list; w; w = w->next)
            if (!(w->flags & GuiFlag::Delete) && w->parent && (w->parent->flags & GuiFlag::Delete)) {
                w->flags |= GuiFlag::Delete;
                changed = true;
            }
    }
}

void SweepDeleted() {
    MarkOrphans(gGuiScreen->windows);
    GuiWindow **link = &gGuiScreen->windows;
    while (GuiWindow *w = *link) {
        if (!(w->flags & GuiFlag::Delete)) {
            link = &w->next;
            continue;
        }
        *link = w->next;
        if (w->port) dunMsgFreeReceiver(w->port);
        w->port = 0;
        w->flags &= ~(GuiFlag::InUse | GuiFlag::Delete);
        if (gGuiScreen->root == w) gGuiScreen->root = nullptr;
        if (gGuiRoot == w) gGuiRoot = nullptr;
        if (gGuiScreen->viewWindow == w) gGuiScreen->viewWindow = nullptr;
        ForgetWindow(w);
        gGuiFullRedraw = 1;
    }
}

// A window whose look changes as the mouse comes, goes or presses is drawn
// again with the windows that lie over it: a page's background picture is a
// window like any other, and drawn alone it would cover the buttons on it
// until the next full redraw.
void RedrawHot(GuiWindow *window) { guiMarkOverlapping(window); }

void HitTest() {
    GuiWindow *winner = nullptr;
    for (GuiWindow *w = gGuiScreen->windows; w; w = w->next) {
        w->flags &= ~GuiFlag::Hot;
        if (w->hitTest && w->hitTest(w, gMouse.x, gMouse.y)) winner = w;
    }
    if (!winner) return;
    winner->flags |= GuiFlag::Hot;
    if (winner == gGuiHotWindow) return;
    ZeroClickCounters();
    if (gGuiHotWindow && gGuiHotWindow != gGuiRoot) RedrawHot(gGuiHotWindow);
    if (winner != gGuiRoot) RedrawHot(winner);
    gGuiHotWindow = winner;
}

void HandleHotWindow(const uint8_t *keys, int dx, int dy) {
    GuiWindow *hot = gGuiHotWindow;
    if (!hot || hot == gGuiRoot) return;
    if (hot->flags & GuiFlag::Held) {
        if (hot->flags & GuiFlag::Draggable) {
            hot->flags |= GuiFlag::Dragging;
            hot->x = (int16_t)(hot->x + dx);
            hot->y = (int16_t)(hot->y + dy);
            guiClampToScreen(hot);
            if (dx || dy) gGuiFullRedraw = 1;
        }
        if (!LeftHeld(keys)) {
            RedrawHot(hot);
            hot->flags &= ~(GuiFlag::Held | GuiFlag::Dragging);
        }
    } else if (LeftHeld(keys)) {
        RedrawHot(hot);
        hot->flags |= GuiFlag::Held;
    }
    if (gMouse.leftDowns > 0) {
        SoundPlay(17, 0, 0, 0, 0);
        if (gGuiHelpMode) {
            if (hot->helpNoteIndex >= 0) guiOpenHelpNote(hot);
        } else {
            hot->flags |= GuiFlag::Press;
        }
        --gMouse.leftDowns;
    }
    if (gMouse.leftUps > 0) {
        RedrawHot(hot);
        --gMouse.leftUps;
        if (!gGuiHelpMode) {
            hot->flags |= GuiFlag::Activate;
            if (!(hot->flags & (GuiFlag::KeepCountdown2 | GuiFlag::KeepCountdown))) guiReload(hot);
        }
    }
}

bool PlayerInterferenceFrozen() {
    return dunPlayerShip && dunPlayerShip->sim && (dunPlayerShip->sim->flags & 0x2000000u);
}

}  // namespace

void guiUpdate() {
    ++gPassDepth;
    if (gPassDepth == 1) guiShowHitFlash();
    if (gScriptPause || gStarMapOpen || gSolarMapOpen || gMapOverlayOpen || gGuiSaveListOpen)
        P3DRenderSceneToView(-1);
    if (gGuiInterference > 0 && !PlayerInterferenceFrozen()) gGuiInterference -= dunFrameStep;
    if (gGuiInterference < 0) gGuiInterference = 0;
    if (gGuiInterference > 300) gGuiInterference = 300;

    bool redrawAll = false;
    if (gGuiFullRedraw || (CardMode && gInFrontEnd)) {
        redrawAll = true;
        gGuiFullRedraw = 0;
        P3DScreenRepainted();
    }
    // The star streaks run in every pane while the option keeps them on.
    gStarStreakCounter = optNoStreaks ? 0 : gGuiScreen->paneCount;

    const int dx = gMouse.x - gGuiLastMouseX, dy = gMouse.y - gGuiLastMouseY;
    gGuiLastMouseX = gMouse.x;
    gGuiLastMouseY = gMouse.y;

    const uint8_t *keys = GetKeyDownTable();
    if (keys) {
        if (gGuiFullScreen) {
            gGuiUpdating = gGuiMainView;
            guiDrawMainView();
        } else {
            // A held window keeps the mouse until its release is taken,
            // even when the button came up over another window.
            const bool holding = gGuiHotWindow && (gGuiHotWindow->flags & GuiFlag::Held);
            if (!LeftHeld(keys) && !RightHeld(keys) && !holding) HitTest();
            HandleHotWindow(keys, dx, dy);
            const GuiScreen *screen = gGuiScreen;
            for (GuiWindow *w = screen->windows; w;) {
                GuiWindow *next = w->next;
                if (redrawAll) guiReload(w);
                if (w->update) {
                    gGuiUpdating = w;
                    gGuiClip = {w->rect[0], w->rect[1], w->rect[2], w->rect[3]};
                    w->update(w);
                    if (gGuiFullScreen || VideoPlaying) break;
                    // Windows the routine appended after the last one are
                    // walked too (records are only unlinked by the sweep).
                    if (!next) next = w->next;
                }
                w = next;
            }
        }
    }

    gGuiUpdating = nullptr;
    // Nested passes (a screen switch that closes the comms arm runs one)
    // leave the end of the pass to the outer one: the views still to come
    // in its walk show this frame's flash, and the walk may hold the next
    // link.
    if (gPassDepth == 1) {
        P3DEndViewEffects();
        SweepDeleted();
    }
    --gPassDepth;
}

int8_t guiDefaultHandler(GuiWindow *window) {
    if (window->port) {
        MsgRecord m;
        if (dunMsgReceive(window->port, &m)) {
            if (m.header.type == kGuiCloseMessage) {
                guiMarkForDelete(window);
                return 0;
            }
        }
    }
    if (window->flags & GuiFlag::Press) {
        window->flags &= ~GuiFlag::Press;
        if (window->onPress) window->onPress(window);
    }
    if (window->flags & GuiFlag::Activate) {
        window->flags &= ~GuiFlag::Activate;
        if (window->onActivate) window->onActivate(window);
        if (window->helpIndex >= 0 && window->helpIndex < kGuiHelpTexts && !(window->flags & GuiFlag::NoHelpOnce) &&
            gGuiHelpTexts[window->helpIndex])
            guiDisplayMessage(gGuiHelpTexts[window->helpIndex], 200);
        window->flags &= ~GuiFlag::NoHelpOnce;
    }
    if (window->flags & GuiFlag::Event) {
        window->flags &= ~GuiFlag::Event;
        if (window->onEvent) window->onEvent(window);
    }
    if (window->flags & GuiFlag::Visibility) {
        guiWindowRect(window, nullptr, nullptr);
        if (window->visible && !*window->visible) return -1;
    }
    if (!window->redraw) return -1;
    if ((window->flags & GuiFlag::HideUnderArm) && gGuiComArmOpen) return -1;
    if (!CardMode || window == gGuiRoot) --window->redraw;
    if (window->draw) window->draw(window);
    if (window->flags & GuiFlag::Visibility) guiReload(window);
    return -1;
}

namespace {

// The speaker of the dialogue line in a box at the top right of the view.
void DrawSpeakerBox() {
    Surface *s = guiScreen();
    if (!s || !dunIsDialoguePlaying(nullptr)) return;
    const int x0 = s->width - 160, y0 = 10, x1 = x0 + 139, y1 = y0 + 119;
    guiDrawFrame(s, GuiColour::Highlight, x0, y0, x1, y1);
    guiDrawSpeakerInset(x0 + 1, y0 + 1, x1 - 1, y1 - 1);
}

}  // namespace

// The cockpit's end message over the end cinematic: "Mission complete" once
// the mission succeeded, else "Mission failed" (the language's text slots),
// blinking in the upper part of the view until the player leaves.
void DrawEndMessage(const GuiWindow *view) {
    Surface *s = guiScreen();
    const BitmapFont *font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont")));
    const char *text = ScriptTextSlot(dunMissionSuccess ? 208 : 209);
    if (!s || !font || !text || !*text || dunGameClock % 200 > 150) return;
    const int16_t top = int16_t(view->rect[1] + 12);
    ClipRect band = {view->rect[0], top, view->rect[2], int16_t(top + font->lineHeight + 4)};
    dunDrawTextCentred(s, text, font, &band);
}

void guiDrawMainView() {
    GuiWindow *view = gGuiMainView;
    if (gGuiViewSuspended || !view) return;
    guiWindowRect(view, nullptr, nullptr);
    if (view->rect[2] < view->rect[0] || view->rect[3] < view->rect[1]) return;
    const int x0 = view->rect[0], y0 = view->rect[1], w = view->w;
    if (gMissionEndState) {
        // Each frame of the end starts from a cleared view: the typed
        // debriefing's cursor and the end message leave nothing behind.
        if (Surface *s = guiScreen()) FillRect(s, 0, view->rect[0], view->rect[1], view->rect[2], view->rect[3]);
        guiRunViewPane(view, P3DDrawViewWindow);
        dunDrawObjectivesPanel();
        if (gMissionEndState == 1) DrawEndMessage(view);
        if (gMissionEndState == 2) {
            if (gGuiEndTimer > 0) gGuiEndTimer -= dunFrameStep;
            if (gFeedShowing) {
                // A dark ground under the debriefing, as under the status
                // panel below it, so that it reads over the end's scene.
                if (Surface *s = guiScreen())
                    FillRect(s, 0, x0 + 10, y0 + kDebriefTop - 4, view->rect[2] - 10,
                             y0 + kDebriefTop + kDebriefHeight);
                guiDrawTextFeed(x0 + 44, y0 + kDebriefTop, w - 48, kDebriefHeight);
            } else if (gGuiEndTimer < 1) {
                gMissionOver = 1;
                if (dunMissionSuccess) frontPlayEndFilm(gCareerMission, 1);
            }
        }
        return;
    }
    if (gObjectivesOpen) {
        // The objectives panel fills the view until its time runs out or
        // it is closed.
        guiDrawObjectiveList(view);
    } else if (gGuiWeaponsHardpointView && StationId == 3) {
        guiRunViewPane(view, WeaponHardpointsDraw);
    } else {
        // Until a scene renders into it, the view shows its cleared area
        // (and the feed's earlier frames do not stay behind).
        if (Surface *s = guiScreen()) FillRect(s, 0, view->rect[0], view->rect[1], view->rect[2], view->rect[3]);
        guiRunViewPane(view, P3DDrawViewWindow);
        if (gBriefingOpen) dunDrawBriefingVideo(view->rect);
        guiDrawCockpitOverlay();
        if (gFeedShowing) {
            if (gFeedAltPlacement) guiDrawTextFeed(x0 + 4, y0 + 10, w - 168, 80);
            else guiDrawTextFeed(x0 + 74, y0 - 4, w - 238, 94);
        }
        guiDrawRemoteLabel(view);
        DrawSpeakerBox();
    }
    if (gGuiNavTarget && !gMapOverlayOpen && gGuiNavCardOn) {
        Surface *s = guiScreen();
        const int W = s ? s->width : 640, H = s ? s->height : 480;
        static GuiWindow card;
        card = GuiWindow{};
        card.flags = GuiFlag::InUse;
        card.anchor = GUI_TOP_L;
        card.w = (int16_t)(W * 268 / 640);
        card.h = (int16_t)(H * 12 / 480);
        card.x = (int16_t)(x0 + (view->rect[2] - x0 + 1 - card.w) / 2);
        card.y = (int16_t)(view->rect[3] - 4 - card.h);
        card.userPtr = gGuiNavTarget;
        card.state = 1;  // the main-view card also shows the speed
        GuiWindow *root = gGuiRoot;
        gGuiRoot = nullptr;  // placed in screen coordinates
        guiDrawNavCard(&card);
        gGuiRoot = root;
    }
    if (gGuiProfileWindow) guiDrawProfile(gGuiProfileWindow);
}

void guiClearScreen() {
    Surface *s = guiScreen();
    if (s) ClearSurface(s, 0);
    DisplayPresent(&TheDisplayMode);
    if (gGuiRedrawReload == 2) {
        DisplayBeginFrame(&TheDisplayMode);
        if (s) ClearSurface(s, 0);
        DisplayPresent(&TheDisplayMode);
    }
    DisplayBeginFrame(&TheDisplayMode);
}

void guiShowPopup(const char *text, uint32_t duration) {
    GuiWindow *w = guiCreateWindow(GUI_CNTR, nullptr, nullptr, guiDefaultHandler, guiDrawButton, 0, 0, 480, 50, 0);
    w->font = static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont"));
    w->text = text;
    guiCloseWindowAfter(w, duration);
}
