// The confirmation, credits and action screens.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/text.h"
#include "core/options.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/settings.h"

int gFrontConfirmCode;
uint8_t gFrontActionMode;

namespace {

constexpr int kActionMission = 99;

void (*gConfirmAction)();
char gConfirmReturn[32];

void ReturnFromConfirm() { guiSetScreen(gConfirmReturn[0] ? gConfirmReturn : "FrontTime"); }

void Confirmed(GuiWindow *) {
    void (*action)() = gConfirmAction;
    gConfirmAction = nullptr;
    if (action) action();
    if (!gGuiScreenName || std::strcmp(gGuiScreenName, "InsertCD")) ReturnFromConfirm();
}

void Cancelled(GuiWindow *) {
    gConfirmAction = nullptr;
    ReturnFromConfirm();
}

// The question, centred across the window (never left of it) and wrapped
// inside it.
void DrawQuestion(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    const BitmapFont *font = guiFont(window->font);
    const char *text = ScriptTextSlot(gFrontConfirmCode);
    if (!font || !text[0]) return;
    int x = std::max<int>(r.left, (r.left + r.right) / 2 - guiTextWidth(text, font) / 2);
    int y = (r.top + r.bottom) / 2 + font->lineHeight / 2;
    dunDrawTextWrapWidth(s, &x, &y, text, font, &r, r.right - x);
}

void CreditsExit(GuiWindow *) { gFrontRequestedPage = 20; }

void ActionFilm(GuiWindow *window) {
    frontDrawPageFilm(window);
    gFrontActionMode = 1;
    gCareerMission = kActionMission;
    optArcade = (gCaptainSlot.modeFlags & 1) ? 0xFF : 0;
    gFrontStartMode = 4;
}

}  // namespace

void FrontRequestConfirm(int code, void (*action)(), const char *returnScreen) {
    gFrontConfirmCode = code;
    gConfirmAction = action;
    std::snprintf(gConfirmReturn, sizeof gConfirmReturn, "%s", returnScreen ? returnScreen : "");
    guiSetScreen("Confirm");
}

void frontBuildConfirm() {
    guiBindActivate("CnfOK", Confirmed);
    guiBindActivate("CnfCancel", Cancelled);
    guiBindDraw("CnfText", DrawQuestion);
}

void frontBuildCredits() {
    if (GuiWindow *film = guiBindDraw("CrdMov", frontDrawPageFilm)) film->hitTest = guiNeverHit;
    guiBindActivate("CrdExit", CreditsExit);
    guiBindDraw("CrdExit", guiDrawCornerArrow);
}

void frontBuildAction() { guiBindDraw("ActMov", ActionFilm); }
