// The station read-outs the station build routines attach by window name:
// contact rows and slots, the repair read-out, the engineering list, level
// bars and buttons, the scroll bar, the checkpoint chooser, the weapon
// mounts, the cell row and the station sub-views. They draw every frame.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "ai/contacts.h"
#include "core/options.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/window.h"
#include "platform/keyboard.h"
#include "present/views.h"
#include "script/career.h"
#include "script/checkpoints.h"
#include "script/mission.h"
#include "world/engineering.h"
#include "world/objlist.h"
#include "world/records.h"

EngComponent *gGuiEngFocus;
uint16_t gGuiEngViewMask = 0x3F;
int16_t gGuiEngTeam = 1;
char gGuiSaveNames[kGuiSaveListMax][kGuiSaveNameBytes];
int32_t gGuiSaveIds[kGuiSaveListMax];
int gGuiSaveCount;
int16_t gGuiSaveChosen = -1;
uint8_t gGuiSaveListShown;
int16_t gGuiChosenCheckpoint = -1;

namespace {

const char *ByLanguage(const char *const texts[3]) { return texts[gLanguage < 3 ? gLanguage : 0]; }

const BitmapFont *WindowFont(const GuiWindow *window) {
    if (const BitmapFont *f = guiFont(window->font)) return f;
    return guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont")));
}

const char *ItemName(const SceneItem *item) {
    if (!item || !item->sim || !item->sim->shipInfo) return "";
    const ShipInfo *info = item->sim->shipInfo;
    return info->name ? info->name : info->className ? info->className : "";
}

// A read-out starts like a meter: it draws every frame, and nothing when
// its rectangle is empty.
bool ReadoutStart(GuiWindow *window, ClipRect *r) {
    guiReload(window);
    return guiGadgetRect(window, r);
}

// The screen, with the read-out's rectangle cleared to colour 0 for a
// fresh draw.
Surface *ReadoutCleared(const ClipRect &r) {
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    return s;
}

void Text(Surface *s, int x, int y, const char *text, const BitmapFont *font, int colour, const ClipRect &r) {
    if (font && text) dunDrawText(s, &x, &y, text, font, colour, &r);
}

// The health band of a component: 97 intact, 160 damaged, 64 below half,
// 58 below a fifth.
int HealthColour(float health) {
    if (!(health < 1.0f)) return GuiColour::Band97;
    if (health < 0.2f) return GuiColour::Band58;
    if (health < 0.5f) return GuiColour::Band64;
    return GuiColour::Band160;
}

const Contact *WindowContact(const GuiWindow *window) {
    const Contact *c = static_cast<const Contact *>(window->userPtr);
    return c && (c->flags & ContactFlag::InUse) && c->object ? c : nullptr;
}

// The side colour of a contact's side word and the fill of its row.
int RowFill(int colour) { return colour == 253 ? 245 : colour - 11; }

}  // namespace

void guiDrawContactRow(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = guiScreen();
    const Contact *contact = WindowContact(window);
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    if (!contact) return;
    const SceneItem *item = contact->object;
    int colour = guiSideColour(contact->side, false);
    int fill = RowFill(colour);
    if (contact->kind == 2) colour = fill = GuiColour::Band97;
    // While the side count-down runs the row blinks.
    const bool filled = contact->sideTimer <= 0 || contact->sideTimer % 20 > 10;
    if (filled && r.right - r.left >= 2) FillRect(s, fill, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    guiDrawFrame(s, colour, r.left, r.top, r.right, r.bottom);
    if (r.left + 65 < r.right) DrawLine(s, r.left + 65, r.top + 1, r.left + 65, r.bottom - 1, colour);
    const BitmapFont *font = WindowFont(window);
    if (!font) return;
    const int base = (r.top + r.bottom) / 2 + font->lineHeight / 2;
    char speed[32], damage[32];
    const Sim *sim = item->sim;
    const bool missile = sim && sim->kind == 1;
    const int v = sim ? int(sim->approxSpeed / 100) : 0;
    if (missile) {
        std::snprintf(speed, sizeof speed, "%i m/s", v);
        std::snprintf(damage, sizeof damage, "%i kg", sim ? int(sim->mass) : 0);
    } else {
        std::snprintf(speed, sizeof speed, "%i M/S", v);
        std::snprintf(damage, sizeof damage, "DMG %i", sim ? 100 - sim->hull : 0);
    }
    const ClipRect name = {r.left, r.top, int16_t(std::min<int>(r.right, r.left + 64)), r.bottom};
    Text(s, r.left + 3, base, missile ? "MISSILE" : ItemName(item), font, 255, name);
    const int third = (r.right - r.left - 66) / 2;
    Text(s, r.left + 69, base, speed, font, 255, r);
    Text(s, r.left + 69 + third, base, damage, font, 255, r);
    guiInterfere(window);
}

void guiDrawContactSlot(GuiWindow *window) {
    if (WindowContact(window)) {
        guiDrawContactRow(window);
        return;
    }
    ClipRect r;
    if (ReadoutStart(window, &r)) FillRect(guiScreen(), 0, r.left, r.top, r.right, r.bottom);
}

void guiDrawRepairTeam(GuiWindow *window) {
    static const char *const kTeam[3] = {"REPAIR TEAM %i", "REPARATEURS %i", "REPAR.-TEAM %i"};
    static const char *const kDamage[3] = {"DAMAGE %i", "D\xC9GATS %i", "SCHADEN %i"};
    static const char *const kTime[3] = {"TIME %i", "TEMPS %i", "ZEIT %i"};
    static const char *const kReady[3] = {"READY", "PRET", "BEREIT"};
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = ReadoutCleared(r);
    const BitmapFont *font = WindowFont(window);
    const int index = std::clamp(int(window->value), 0, kRepairTeamCount - 1);
    const RepairTeam &team = dunRepairTeams[index];
    char line[64];
    std::snprintf(line, sizeof line, ByLanguage(kTeam), team.number ? int(team.number) : index + 1);
    int y = r.top + (font ? font->lineHeight : 8) + 1;
    const int x = r.left + 2;
    Text(s, x, y, line, font, GuiColour::Band64, r);
    y += 10;
    const EngComponent *c = team.component;
    if (!c) {
        Text(s, x, y, ByLanguage(kReady), font, GuiColour::Band64, r);
    } else {
        const char *name = c->names[gLanguage < 3 ? gLanguage : 0];
        Text(s, x, y, name ? name : c->names[0], font, GuiColour::Band64, r);
        std::snprintf(line, sizeof line, ByLanguage(kDamage), int((1.0f - c->health) * 100.0f));
        Text(s, x, y + 10, line, font, GuiColour::Band64, r);
        std::snprintf(line, sizeof line, ByLanguage(kTime), int(c->repairEstimate));
        Text(s, x, y + 20, line, font, GuiColour::Band64, r);
    }
    guiInterfere(window);
}

void guiDrawComponentList(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = ReadoutCleared(r);
    // While the feed types, it takes the list's place.
    if (gFeedShowing) {
        guiDrawTextFeed(r.left + 4, r.top + 10, 360, 80);
        return;
    }
    const BitmapFont *font = WindowFont(window);
    if (!font) return;
    const int row = font->lineHeight + 2;
    const int count = std::min(dunComponentTableCount, kEngTableSize);
    for (int i = 0; i < count; ++i) {
        const EngComponent *c = dunComponentTable[i];
        const int top = r.top + 2 + i * row;
        if (!c || top + row > r.bottom) break;
        const ClipRect line = {r.left, int16_t(top), r.right, int16_t(top + row - 1)};
        char number[16];
        std::snprintf(number, sizeof number, "%i", i + 1);
        const int colour = HealthColour(c->health);
        Text(s, r.left + 3, top + font->lineHeight, number, font, colour, line);
        const char *name = c->names[gLanguage < 3 ? gLanguage : 0];
        Text(s, r.left + 24, top + font->lineHeight, name ? name : c->names[0], font, colour, line);
        if (c == gGuiEngFocus) guiDrawFrame(s, GuiColour::Highlight, r.left + 1, top, r.right - 1, top + row - 1);
    }
    guiInterfere(window);
}

void guiDrawLevelBar(const EngComponent *component, int x0, int y0, int x1, int y1) {
    Surface *s = guiScreen();
    if (!s || !component || x1 < x0 || y1 < y0) return;
    const float health = std::isnan(component->health) ? 0.0f : std::clamp(component->health, 0.0f, 1.0f);
    const int colour = HealthColour(health);
    FillRect(s, 0, x0, y0, x1, y1);
    const int top = y1 - int(std::lround((y1 - y0) * health));
    if (health > 0) FillRect(s, colour, x0, top, x1, y1);
}

void guiDrawLevelBars(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    // The player ship's network only.
    if (!dunEngineeringShip || dunEngineeringShip != dunPlayerShip) return;
    const int count = std::min(dunComponentTableCount, kEngTableSize);
    int first = int(window->value), last = int(window->max);
    if (first == 0 && last == 0) last = count - 1;
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    const int bars = last - first + 1;
    if (bars <= 0) return;
    const int width = r.right - r.left - 1;
    for (int i = 0; i < bars; ++i) {
        const int x0 = r.left + 1 + i * width / bars, x1 = r.left + (i + 1) * width / bars - 1;
        guiDrawLevelBar(dunComponentTable[first + i], x0, r.top + 1, std::max(x0, x1), r.bottom - 1);
    }
    guiInterfere(window);
}

void guiDrawSystemButton(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    const int index = int(window->value);
    window->state = index >= 0 && index < 16 && (gGuiEngViewMask & (1u << index)) ? 1 : 0;
    guiDrawButton(window);
    if (window->state) guiDrawFrame(guiScreen(), GuiColour::Band64, r.left, r.top, r.right, r.bottom);
}

void guiDrawTeamButton(GuiWindow *window) {
    window->x = int16_t((gGuiEngTeam - 1) * 98 + 50);
    guiReload(window);
    guiDrawButton(window);
}

void guiDrawScrollBar(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = guiScreen();
    const Raster *track = guiRaster(window->font);
    if (track) BlitSpriteClipped(s, AsSurface(track), &r, r.left, r.top);
    else FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    // value: the first line shown; max: the list's length; state: the lines
    // the list shows at once.
    const int length = std::max(0, int(window->max)), shown = std::max(1, int(window->state));
    const int height = r.bottom - r.top - 2;
    if (height < 1) return;
    int thumb = length > shown ? height * shown / length : height;
    thumb = std::clamp(thumb, 3, height);
    const int room = height - thumb;
    const int first = std::clamp(int(window->value), 0, std::max(0, length - shown));
    const int top = r.top + 1 + (length > shown ? room * first / (length - shown) : 0);
    FillRect(s, GuiColour::HotOutline, r.left + 1, top, r.right - 1, top + thumb - 1);
    guiDrawFrame(s, GuiColour::Highlight, r.left, top - 1, r.right, top + thumb);
    guiInterfere(window);
}

int guiRefreshSaveList() {
    int32_t ids[kGuiSaveListMax];
    char titles[kGuiSaveListMax][kSaveTitleBytes] = {};
    const int n = dunListSaveGames(gCareerMission, gCareerState.word[StateWord::Slot], ids, titles, kGuiSaveListMax);
    gGuiSaveCount = std::clamp(n, 0, kGuiSaveListMax);
    for (int i = 0; i < gGuiSaveCount; ++i) {
        gGuiSaveIds[i] = ids[i];
        std::snprintf(gGuiSaveNames[i], kGuiSaveNameBytes, "%s", titles[i]);
    }
    gGuiSaveChosen = -1;
    return gGuiSaveCount;
}

void guiDrawSaveList(GuiWindow *window) {
    static const char *const kTitle[3] = {"Choose Starting Point", "Choix du Point de Depart", "Startpunkt"};
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = guiScreen();
    if (r.right - r.left >= 2 && r.bottom - r.top >= 2)
        FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    if (gGuiSaveCount <= 0) {
        gGuiSaveListOpen = 0;
        gGuiSaveListShown = 0;
        return;
    }
    gGuiSaveListShown = 1;
    const BitmapFont *font = WindowFont(window);
    const BitmapFont *highlight = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont")));
    if (!highlight) highlight = font;
    if (!font) return;
    const int lh = font->lineHeight;
    Text(s, r.left + 2 * lh + 12, r.top + lh + 20, ByLanguage(kTitle), highlight, 255, r);
    FillRect(s, GuiColour::Strip, r.left + 10, r.top + 50, r.right - 10, r.top + 51);
    const int count = std::min(gGuiSaveCount, kGuiSaveListMax);
    const int box = lh < 8 ? 5 : lh - 2;
    const int boxX = r.left + 2 * lh + 15;
    const int spacing = guiListRowPitch(window->h, count, lh);
    for (int i = 0; i < count; ++i) {
        const int base = r.top + lh + 65 + i * (lh + spacing);
        const char *name = gGuiSaveNames[i];
        const int nameX = boxX + box + 4;
        const int end = nameX + guiTextWidth(name, font);
        if (gMouse.x >= boxX && gMouse.x <= end && gMouse.y > base - lh && gMouse.y <= base)
            gGuiSaveChosen = int16_t(i);
        const bool chosen = gGuiSaveChosen == i;
        guiDrawFrame(s, 62, boxX, base - box, boxX + box, base);
        if (box > 2) FillRect(s, chosen ? GuiColour::Selected : 55, boxX + 1, base - box + 1, boxX + box - 1, base - 1);
        Text(s, nameX, base, name, chosen ? highlight : font, 255, r);
    }
    guiInterfere(window);
}

void guiDrawWeaponMounts(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = ReadoutCleared(r);
    const Sim *sim = dunPlayerShip ? dunPlayerShip->sim : nullptr;
    if (!sim) return;
    int count = 0;
    for (const Weapon *w = sim->weapons; w && count < 64; w = w->next) ++count;
    if (count == 0) return;
    const BitmapFont *font = WindowFont(window);
    auto *icon = static_cast<ResourceHandle *>(GetScriptSymbolValue("GunIcon1"));
    void *model = guiWireframePlan(icon);
    const int slot = (r.right - r.left) / count;
    const int iconBottom = r.bottom - (font ? font->lineHeight + 3 : 3);
    int i = 0;
    for (const Weapon *w = sim->weapons; w && i < count; w = w->next, ++i) {
        const int x0 = r.left + i * slot + 2, x1 = r.left + (i + 1) * slot - 2;
        const int kind = w->mountCode & 0xF;
        const float turn = kind >= 4 && kind <= 6 ? 180.0f : 0.0f;
        if (!model || !WireframeDrawInRect(model, x0, r.top + 2, x1, iconBottom, GuiColour::MountLines, turn)) {
            // A triangle pointing the way the mount faces.
            const int cx = (x0 + x1) / 2, top = r.top + 4, bottom = iconBottom - 2, half = std::max(2, (x1 - x0) / 4);
            const int tip = turn ? bottom : top, base = turn ? top : bottom;
            DrawLine(s, cx, tip, cx - half, base, GuiColour::MountLines);
            DrawLine(s, cx - half, base, cx + half, base, GuiColour::MountLines);
            DrawLine(s, cx + half, base, cx, tip, GuiColour::MountLines);
        }
        const ClipRect cell = {int16_t(x0), r.top, int16_t(x1), r.bottom};
        Text(s, x0, r.bottom - 2, w->name, font, 255, cell);
    }
    guiInterfere(window);
}

void guiDrawCellRow(GuiWindow *window) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = ReadoutCleared(r);
    // max: the cells; value: how many are filled; state: the first entry's
    // kind (kind 15 packs the cells a pixel closer).
    const int width = window->state == 15 ? 14 : 15;
    const int cells = std::clamp(int(window->max), 0, 64), filled = std::clamp(int(window->value), 0, cells);
    void *model = guiWireframePlan(window->font);
    const BitmapFont *font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont")));
    int x = r.left + 1;
    for (int i = 0; i < cells && x + width - 2 < r.right; ++i, x += width) {
        const int colour = i < filled ? GuiColour::Band97 : 87;
        if (!model || !WireframeDrawInRect(model, x, r.top + 1, x + width - 2, r.bottom - 1, colour, 90.0f))
            FillRect(s, colour, x + 1, r.top + 2, x + width - 3, r.bottom - 2);
    }
    char count[16];
    std::snprintf(count, sizeof count, "%i", filled);
    if (font) Text(s, x + 2, (r.top + r.bottom) / 2 + font->lineHeight / 2, count, font, 255, r);
    guiInterfere(window);
}

namespace {

// A camera view drawn into the window by the presentation, framed in the
// side colour of what it shows, with its name.
void SubView(GuiWindow *window, const SceneItem *item, uint32_t side) {
    ClipRect r;
    if (!ReadoutStart(window, &r)) return;
    Surface *s = ReadoutCleared(r);
    if (!item) return;
    guiRunViewPane(window, P3DDrawViewWindow);
    guiDrawFrame(s, guiSideColour(side, false), r.left, r.top, r.right, r.bottom);
    if (const BitmapFont *font = WindowFont(window))
        Text(s, r.left + 3, r.top + font->lineHeight + 2, ItemName(item), font, guiSideColour(side, false), r);
    guiMarkOverlapping(window);
}

}  // namespace

void guiDrawStationView(GuiWindow *window) {
    const SceneItem *target = dunPlayerShip && dunPlayerShip->sim ? dunPlayerShip->sim->goal : nullptr;
    SubView(window, target, target && target->avatar ? target->avatar->flags : 0);
}

void guiDrawContactView(GuiWindow *window) {
    const Contact *contact =
        dunCurrentContact && (dunCurrentContact->flags & ContactFlag::InUse) ? dunCurrentContact : nullptr;
    SubView(window, contact ? contact->object : nullptr, contact ? contact->side : 0);
}
