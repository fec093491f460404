// The roster of captain slots with its name entry, and the choice of a new
// career's style.
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/settings.h"

uint8_t gFrontNameEntry;
uint8_t gFrontOnRosterPage;

namespace {

constexpr int kRosterSlots = 6;
constexpr int kNameWidthLimit = 180;
constexpr int kNameLengthLimit = kCaptainNameBytes - 1;
constexpr uint32_t kCursorPeriod = 50;

int CurrentSlot() { return gCareerState.word[StateWord::Slot]; }
bool SlotInUse() { return gCaptainNamed != 0; }

// The font the captain's name is typed in.
const BitmapFont *NameFont() {
    if (GuiWindow *slot = guiLiveWindow(GetScriptSymbolValue("RosSlot")))
        if (const BitmapFont *font = guiFont(slot->font)) return font;
    return guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont")));
}

void StepSlot(int delta, int page) {
    dunWriteCaptainSlot();
    gCareerState.word[StateWord::Slot] = int16_t(((CurrentSlot() + delta) % kRosterSlots + kRosterSlots) % kRosterSlots);
    dunReadCaptainSlot();
    gFrontRequestedPage = int16_t(page);
    guiMarkRedraw();
}

void SlotDown(GuiWindow *) { FrontPreviousSlot(); }
void SlotUp(GuiWindow *) { FrontNextSlot(); }

void DrawSlotNumber(GuiWindow *window) {
    char text[16];
    std::snprintf(text, sizeof text, "%2i", CurrentSlot() + 1);
    FrontDrawLine(window, text);
}

void DrawWarning(GuiWindow *window) {
    int slot = SlotInUse() ? 278 : 279;
    if (gFrontNameEntry && gFrontPage == FrontPage::Roster) slot = 281;
    FrontDrawLine(window, ScriptTextSlot(slot));
    guiReload(window);
}

void DrawSlot(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    guiDrawBackground(window);
    const BitmapFont *font = guiFont(window->font);
    if (!font) return;
    Surface *s = guiScreen();
    const char *name = gCaptainSlot.name[0] ? gCaptainSlot.name : DefaultCaptainName(gLanguage);
    const int line = font->lineHeight + 4;
    int x = r.left + 4;
    const int y = r.top + line;
    guiDrawFontText(s, x, y, name, font, &r);
    if (gFrontPage == FrontPage::Roster || gFrontRequestedPage == FrontPage::Roster) {
        if (gFrontNameEntry && (dunGameClock % kCursorPeriod) < kCursorPeriod / 2) {
            x += guiTextWidth(gCaptainSlot.name, font);
            guiDrawFontText(s, x, y, "_", font, &r);
        }
        char text[80];
        std::snprintf(text, sizeof text, "%i", CurrentSlot() + 1);
        guiDrawFontText(s, r.right - 4 - guiTextWidth(text, font), y, text, font, &r);
        std::snprintf(text, sizeof text, "%i %s", int(gCaptainSlot.totalScore), frontRankTitle());
        guiDrawFontText(s, r.left + 4, y + line, text, font, &r);
    }
    // The cursor blinks and the rating follows the slot.
    guiReload(window);
}

void SlotActivated(GuiWindow *) {
    if (!gFrontNameEntry) FrontActivateSlot();
}

void NewActivated(GuiWindow *) {
    if (gCaptainSlot.historyCount > 0) FrontRequestConfirm(97, FrontStartNameEntry, "FrontRoster");
    else FrontStartNameEntry();
}

void ExitActivated(GuiWindow *) {
    switch (gFrontPage) {
    case FrontPage::Roster:
        gFrontRequestedPage = 6;
        dunWriteCaptainSlot();
        break;
    case FrontPage::Options: gFrontRequestedPage = 14; break;
    case 16: gFrontRequestedPage = 17; break;
    case FrontPage::Credits: gFrontRequestedPage = 20; break;
    case FrontPage::Action: gFrontRequestedPage = 23; break;
    default: break;
    }
}

void RosterFilm(GuiWindow *window) {
    frontDrawPageFilm(window);
    const uint8_t onRoster = gFrontPage == FrontPage::Roster ? 1 : 0;
    if (onRoster != gFrontOnRosterPage) {
        gFrontOnRosterPage = onRoster;
        guiMarkRedraw();
    }
}

// A new career in one of the two styles.
void NewCareer(bool arcade) {
    optArcade = arcade ? 0xFF : 0;
    dunNewCaptainSlot();
    dunRebuildAvailableMissions();
    gCaptainSlot.modeFlags = arcade ? (gCaptainSlot.modeFlags | 3) : ((gCaptainSlot.modeFlags | 2) & ~1);
    // The chosen style and the typed name are kept at once.
    dunWriteCaptainSlot();
    guiSetScreen("FrontRoster");
    gFrontRequestedPage = 9;
}

void Arcade(GuiWindow *) { NewCareer(true); }
void Simulation(GuiWindow *) { NewCareer(false); }

}  // namespace

void FrontDrawLine(GuiWindow *window, const char *text) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    if (r.right - r.left >= 2 && r.bottom - r.top >= 2) FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    const BitmapFont *font = guiFont(window->font);
    if (font && text) guiDrawFontText(s, r.left + 2, (r.top + r.bottom) / 2 + font->lineHeight / 2, text, font, &r);
}

void FrontPreviousSlot() { StepSlot(-1, 7); }
void FrontNextSlot() { StepSlot(1, 8); }

void FrontActivateSlot() {
    if (!SlotInUse()) {
        frontDefaultCaptainName();
        guiMarkRedraw();
    } else if (gCaptainSlot.modeFlags & 2) {
        gFrontRequestedPage = 9;
        dunRebuildAvailableMissions();
        FrontRefreshSelection();
    } else {
        guiSetScreen("NewRostSlot");
    }
}

void FrontStartNameEntry() {
    std::memset(gCaptainSlot.name, 0, sizeof gCaptainSlot.name);
    gFrontNameEntry = 1;
    guiMarkRedraw();
}

void FrontNameEntryKey(uint16_t key) {
    const int scan = key >> 8;
    const auto character = uint8_t(key & 0xFF);
    char *name = gCaptainSlot.name;
    const size_t length = std::strlen(name);
    if (scan == 14) {
        if (length) name[length - 1] = 0;
    } else if (scan == 28) {
        gFrontNameEntry = 0;
        gCaptainNamed = std::strcmp(name, DefaultCaptainName(gLanguage)) != 0;
        guiSetScreen("NewRostSlot");
    } else if (character >= 32 && length < size_t(kNameLengthLimit)) {
        // Control characters (Esc, Tab) have no glyph to type.
        const BitmapFont *font = NameFont();
        if (!font || guiTextWidth(name, font) < kNameWidthLimit) {
            name[length] = char(character);
            name[length + 1] = 0;
        }
    }
    guiMarkRedraw();
}

void frontBuildRoster() {
    guiBindDraw("RosMov", RosterFilm);
    guiBindDraw("RosSlotNo", DrawSlotNumber);
    guiBindActivate("RosSlotDn", SlotDown);
    guiBindActivate("RosSlotUp", SlotUp);
    guiBindDraw("RosWarn", DrawWarning);
    guiBindDraw("RosSlot", DrawSlot);
    guiBindActivate("RosSlot", SlotActivated);
    if (GuiWindow *fresh = guiBindActivate("RosNew", NewActivated)) {
        fresh->flags |= GuiFlag::Visibility;
        fresh->visible = &gFrontOnRosterPage;
    }
    guiBindActivate("RosExit", ExitActivated);
}

void frontBuildNewRosterSlot() {
    guiBindActivate("NRSArc", Arcade);
    guiBindActivate("NRSSim", Simulation);
}
