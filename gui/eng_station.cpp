// The engineering station's screen: walks through the component list, the
// repair teams sent by button or key and their priority, the filter of the
// ship view, picks in the view and in the list, and the essential gauges.
#include "gui/eng_station.h"

#include <algorithm>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/text.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/nav.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/views.h"
#include "present/lwo/lwo.h"
#include "present/wireframe.h"
#include "render/pmap/pixelmap.h"
#include "script/mission.h"
#include "world/engineering.h"
#include "world/objlist.h"
#include "world/records.h"

uint8_t gGuiEngFollow;
int16_t gGuiEngListTeam[40];
RepairTeam *gGuiEngTeamOrder[4] = {&dunRepairTeams[0], &dunRepairTeams[1], &dunRepairTeams[2], &dunRepairTeams[3]};
uint16_t gGuiEngTeamWord[4] = {1, 2, 3, 4};
uint8_t gGuiEngTeamChanged[4];
float gGuiEngPick[2];
uint8_t gGuiEngPicked;
GuiWindow *gGuiEngLabel;

namespace {

int16_t gViewRect[4];
bool gMouseInView;

int Count() { return std::clamp(dunComponentTableCount, 0, kEngTableSize); }

int IndexOf(const EngComponent *c) {
    for (int i = 0; i < Count(); ++i)
        if (dunComponentTable[i] == c) return i;
    return -1;
}

// A component's bit of the view filter: slot k stands for kind k + 1.
uint16_t KindBit(const EngComponent *c) { return c->kind >= 1 && c->kind <= 16 ? uint16_t(1u << (c->kind - 1)) : 0; }

void Focus(EngComponent *c) {
    if (!c) return;
    gGuiEngFocus = c;
    gGuiEngFollow = 0xFF;
    guiEngCentreOnFocus();
}

// The table indexes of the first and last component of a group; false when
// the group has none.
bool GroupSpan(int group, int *first, int *last) {
    *first = *last = -1;
    for (int i = 0; i < Count(); ++i)
        if (dunComponentTable[i] && dunComponentTable[i]->group == group) {
            if (*first < 0) *first = i;
            *last = i;
        }
    return *first >= 0;
}

void WithinGroup(int step) {
    const int at = IndexOf(gGuiEngFocus);
    if (at < 0) {
        guiEngDefaultFocus();
        return;
    }
    int first, last;
    if (!GroupSpan(gGuiEngFocus->group, &first, &last)) return;
    int i = at + step;
    if (i < first) i = last;
    if (i > last) i = first;
    Focus(dunComponentTable[i]);
}

void AcrossGroups(int step) {
    const int at = IndexOf(gGuiEngFocus);
    if (at < 0) {
        guiEngDefaultFocus();
        return;
    }
    int first, last;
    GroupSpan(gGuiEngFocus->group, &first, &last);
    const int position = at - first;
    // The groups of the list wrap from the last to the first; an empty one
    // is passed over.
    int low = gGuiEngFocus->group, high = low;
    for (int i = 0; i < Count(); ++i)
        if (dunComponentTable[i]) {
            low = std::min<int>(low, dunComponentTable[i]->group);
            high = std::max<int>(high, dunComponentTable[i]->group);
        }
    const int span = high - low + 1;
    int group = gGuiEngFocus->group;
    for (int tries = 0; tries < span; ++tries) {
        group = (group - low + step + span) % span + low;
        if (GroupSpan(group, &first, &last)) {
            Focus(dunComponentTable[std::min(first + position, last)]);
            return;
        }
    }
}

void AssignTeam(int team, EngComponent *c) {
    if (team < 0 || team >= kRepairTeamCount || !c) return;
    RepairTeam &t = dunRepairTeams[team];
    gGuiEngTeamChanged[team] = 0xFF;
    if (t.component && t.component->repairTeam == &t) t.component->repairTeam = nullptr;
    const int old = IndexOf(t.component);
    if (old >= 0) gGuiEngListTeam[old] = 0;
    t.component = c;
    c->repairTeam = &t;
    dunRepairTeamBusy[team] = 0xFF;
    const int at = IndexOf(c);
    if (at >= 0) gGuiEngListTeam[at] = int16_t(team + 1);
}

EngComponent *Named(const char *name) { return dunFindComponentByName(dunPlayerShip, name); }

const WireframeModel *Plan(const EngComponent *c) {
    const auto *node = c ? static_cast<const WireframeNode *>(c->screenWidget) : nullptr;
    return node && !(node->flags & WireframeFlag::Anchor) ? static_cast<const WireframeModel *>(node->shape) : nullptr;
}

// ---- Window routines ----------------------------------------------------------------

void LeaveToStand(GuiWindow *) {
    guiLeaveStation();
    guiMarkRedraw();
    guiCloseComArm();
    PlayVideo("vek\\resource\\video\\engstd.smk");
    StationId = 0;
    SoundPlay(13, 0, 0, 0, 0);
    guiSetScreen("ENGStand");
}

void NextSystem(GuiWindow *) { guiEngNextSystem(); }

void AssignTeamButton(GuiWindow *w) { AssignTeam(int(w->value), gGuiEngFocus); }

void InitSlot(GuiWindow *w, int slot) {
    w->value = float(slot);
    w->state = (gGuiEngViewMask & (1u << slot)) ? 1 : 0;
}

void ShowLabel(const EngComponent *c) {
    if (gGuiEngLabel) guiCloseWindowAfter(gGuiEngLabel, 0);
    gGuiEngLabel = nullptr;
    if (!c) return;
    const char *name = c->names[gLanguage < 3 ? gLanguage : 0];
    if (!name) name = c->names[0] ? c->names[0] : "Inert";
    ResourceHandle *fontHandle = static_cast<ResourceHandle *>(GetScriptSymbolValue("BFont"));
    const BitmapFont *font = guiFont(fontHandle);
    const int width = (font ? guiTextWidth(name, font) : int(std::strlen(name)) * 6) + 4;
    GuiWindow *w = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, guiDefaultHandler, guiDrawString,
                                   int16_t(gMouse.x - 4), int16_t(gMouse.y - 4), int16_t(width), 12, 0);
    if (!w) return;
    w->font = fontHandle;
    w->text = name;
    w->onActivate = [](GuiWindow *self) {
        guiCloseWindowAfter(self, 0);
        if (gGuiEngLabel == self) gGuiEngLabel = nullptr;
    };
    gGuiEngLabel = w;
}

void PickListRow(GuiWindow *w) {
    EngComponent *c = guiEngListRowAt(int(w->value), gMouse.y - w->rect[1]);
    if (!c) return;
    Focus(c);
    w->state = uint8_t(IndexOf(c));
    ShowLabel(c);
}

void PickComponent(GuiWindow *w) {
    const HudRect r{w->rect[0], w->rect[1], w->rect[2], w->rect[3]};
    const WireframeView &v = gWireframeView;
    const float scale = v.zoom != 0 ? float(r.right - r.left) / v.zoom : 1;
    const float x = (gMouse.x - (r.left + r.right) / 2.0f) / scale + v.x;
    const float y = (gMouse.y - (r.top + r.bottom) / 2.0f) / scale + v.y;
    guiEngPickAt(x, y);
}

void DrawViewPane(P3DPane *pane) {
    P3DAllocViewBuffers(pane);
    auto *colour = static_cast<vt_pixelmap *>(pane->image);
    if (colour) {
        colour->pixels = ScreenSurface.pixels;
        VtPixelmapFill(colour, 0);
    }
    vt_pixelmap *const savedTarget = HudPixelmap;
    const HudRect savedRect = HudViewRect;
    HudPixelmap = colour;
    HudViewRect = {pane->x, pane->y, int16_t(pane->x + pane->w - 1), int16_t(pane->y + pane->h - 1)};
    WireframeView &v = gWireframeView;
    // The view filter's slots choose the kinds the schematic shows.
    v.filter = gGuiEngViewMask;
    WireframeDrawGrid(v.x, v.y, v.zoom);
    v.highlighted = gGuiEngFocus ? static_cast<WireframeNode *>(gGuiEngFocus->screenWidget) : nullptr;
    if (colour && v.root) WireframeDraw(v.root, v.x, v.y, v.zoom, 0, 0);
    WireframeSmoothOffsets();
    HudPixelmap = savedTarget;
    HudViewRect = savedRect;
    P3DSelectViewBuffers(pane);
}

void DrawView(GuiWindow *w) {
    ClipRect r;
    if (!guiGadgetRect(w, &r)) return;
    if (gWireframeView.zoomTarget == 0) gWireframeView.zoomTarget = gWireframeView.zoom = kGuiEngWireDistance;
    if (!gGuiEngFocus) guiEngDefaultFocus();
    const bool inView = gMouse.x >= r.left && gMouse.x <= r.right && gMouse.y >= r.top && gMouse.y <= r.bottom;
    if (gMouseInView && !inView) guiEngViewLeave();
    gMouseInView = inView;
    guiRunViewPane(w, DrawViewPane);
    guiDrawFrame(guiScreen(), GuiColour::Highlight, r.left, r.top, r.right, r.bottom);
    guiMarkOverlapping(w);
    std::memcpy(gViewRect, w->rect, sizeof gViewRect);
}

// A column of the order list: the components of its slot, a row every 11
// pixels, the focus framed, each in the colour of its health.
void DrawListColumn(GuiWindow *w) {
    ClipRect r;
    if (!guiGadgetRect(w, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    guiDrawFrame(s, GuiColour::Outline, r.left, r.top, r.right, r.bottom);
    // The columns are plain rectangles in the script: without a font of
    // their own they write in the GUI's.
    const BitmapFont *font = guiFont(w->font);
    if (!font) font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont")));
    int row = 0;
    for (int i = 0; i < Count(); ++i) {
        const EngComponent *c = dunComponentTable[i];
        if (!c || c->kind != int(w->value) + 1) continue;
        const int line = r.top + 12 + 11 * row++;
        if (line > r.bottom) break;
        const int colour = c->health >= 1.0f ? GuiColour::Band97 : c->health > 0.25f ? GuiColour::Band64 : GuiColour::Band133;
        const char *name = c->names[gLanguage < 3 ? gLanguage : 0];
        if (font) {
            const ClipRect band{r.left, int16_t(line - 10), r.right, int16_t(line)};
            int tx = r.left + 3, ty = line - 1;
            dunDrawText(s, &tx, &ty, name ? name : c->names[0], font, colour, &band);
        }
        if (gGuiEngListTeam[i] > 0) {
            char team[4] = {char('0' + gGuiEngListTeam[i]), 0};
            int tx = r.right - 8, ty = line - 1;
            if (font) dunDrawText(s, &tx, &ty, team, font, GuiColour::Band64, &r);
        }
        if (c == gGuiEngFocus) guiDrawFrame(s, GuiColour::Highlight, r.left + 1, line - 10, r.right - 1, line + 1);
    }
}

void SetValue(GuiWindow *w, float value, float max) {
    if (w->value == value && w->max == max) return;
    w->value = value;
    w->max = max;
    guiReload(w);
}

template <int Gauge>
int8_t GaugeUpdate(GuiWindow *w) {
    float value, max;
    if (guiEngGaugeValue(Gauge, &value, &max)) SetValue(w, value, max);
    return guiDefaultHandler(w);
}

}  // namespace

// ---- Operations ---------------------------------------------------------------------

void guiEngSelectReactor() {
    gGuiEngFocus = Named("REACTOR");
    gGuiEngFollow = 0;
}

void guiEngClearFollow() { gGuiEngFollow = 0; }
void guiEngLeaveStation() { guiEngClearFollow(); }

void guiEngDefaultFocus() {
    if (Count() == 0 || !dunComponentTable[0]) return;
    gGuiEngFocus = dunComponentTable[0];
    gGuiEngFollow = 0xFF;
}

void guiEngCentreOnFocus() {
    if (gGuiEngFocus && gGuiEngFocus->screenWidget)
        WireframeSetOffsets(static_cast<WireframeNode *>(gGuiEngFocus->screenWidget), 0, 0);
}

void guiEngNextSystem() {
    const int at = IndexOf(gGuiEngFocus);
    if (at < 0) return guiEngDefaultFocus();
    Focus(dunComponentTable[at + 1 < Count() ? at + 1 : 0]);
}

void guiEngPrevSystem() {
    const int at = IndexOf(gGuiEngFocus);
    if (at < 0) return guiEngDefaultFocus();
    Focus(dunComponentTable[at > 0 ? at - 1 : Count() - 1]);
}

void guiEngPrevWithinGroup() { WithinGroup(-1); }
void guiEngNextWithinGroup() { WithinGroup(1); }
void guiEngPrevGroup() { AcrossGroups(-1); }
void guiEngNextGroup() { AcrossGroups(1); }

void guiEngMoveSelection(int direction) {
    switch (direction) {
    case 0: guiEngPrevWithinGroup(); break;
    case 1: guiEngNextWithinGroup(); break;
    case 2: guiEngPrevGroup(); break;
    case 3: guiEngNextGroup(); break;
    default: break;
    }
}

void guiEngStepSelection(int step) {
    if (step < 0) guiEngPrevSystem();
    else guiEngNextSystem();
}

void guiEngAssignTeamKey(int team) { AssignTeam(team, gGuiEngFocus); }
void guiEngAssignCrew(int crew) { guiEngAssignTeamKey(crew); }

void guiEngPromoteTeam(GuiWindow *) {
    const int t = gGuiEngTeam;
    if (t <= 1 || t > kRepairTeamCount) return;
    // Entries of the two teams trade numbers, through -1 so that neither is lost.
    for (int16_t &n : gGuiEngListTeam)
        if (n == t) n = -1;
    for (int16_t &n : gGuiEngListTeam)
        if (n == t - 1) n = int16_t(t);
    for (int16_t &n : gGuiEngListTeam)
        if (n == -1) n = int16_t(t - 1);
    std::swap(gGuiEngTeamOrder[t - 1], gGuiEngTeamOrder[t - 2]);
    std::swap(gGuiEngTeamWord[t - 1], gGuiEngTeamWord[t - 2]);
    gGuiEngTeam = int16_t(t - 1);
    guiMarkRedraw();
}

void guiEngToggleSlot(GuiWindow *w) {
    const int slot = int(w->value);
    if (slot < 0 || slot > 15) return;
    gGuiEngViewMask ^= uint16_t(1u << slot);
    w->state = w->state ? 0 : 1;
    guiReload(w);
}

EngComponent *guiEngListRowAt(int column, int y) {
    int row = 0;
    for (int i = 0; i < Count(); ++i) {
        EngComponent *c = dunComponentTable[i];
        if (!c || c->kind != column + 1) continue;
        // Row k's line lies 12 + 11 k below the top; its band the 10 pixels above.
        const int line = 12 + 11 * row;
        if (y > line - 10 && y <= line) return c;
        ++row;
    }
    return nullptr;
}

EngComponent *guiEngPickAt(float x, float y) {
    EngComponent *best = nullptr;
    float bestArea = 0, bestX = 0, bestY = 0;
    for (int i = 0; i < Count(); ++i) {
        EngComponent *c = dunComponentTable[i];
        const WireframeModel *plan = Plan(c);
        if (!plan || !(KindBit(c) & gGuiEngViewMask)) continue;
        const auto *node = static_cast<const WireframeNode *>(c->screenWidget);
        for (int k = 0; k < plan->partCount; ++k) {
            const float *p = plan->parts[k];
            const float x0 = p[0] + node->x, y0 = p[1] + node->y;
            if (x < x0 || x > x0 + p[2] || y < y0 || y > y0 + p[3]) continue;
            const float area = p[2] * p[3];
            if (!best || area < bestArea) {
                best = c;
                bestArea = area;
                bestX = x - node->x;
                bestY = y - node->y;
            }
            break;
        }
    }
    if (!best) {
        guiEngViewLeave();
        return nullptr;
    }
    gGuiEngFocus = best;
    gGuiEngFollow = 0xFF;
    gGuiEngPick[0] = x;
    gGuiEngPick[1] = y;
    gGuiEngPicked = 1;
    WireframeSetOffsets(static_cast<WireframeNode *>(best->screenWidget), bestX, bestY);
    return best;
}

void guiEngViewLeave() {
    gGuiEngPicked = 0;
    gGuiEngPick[0] = gGuiEngPick[1] = 0;
    gWireframeView.zoomTarget = kGuiEngWireDistance;
}

bool guiEngGaugeValue(int gauge, float *value, float *max) {
    switch (gauge) {
    case 1:
    case 2: {
        const EngComponent *c = Named("REACTOR");
        if (!c) return false;
        *value = gauge == 1 ? c->value : c->level * 1000;
        *max = gauge == 1 ? 2500.0f : 1000.0f;
        return true;
    }
    case 3: {
        const EngComponent *c = Named("FUEL TANKS");
        if (!c) return false;
        *value = c->value;
        *max = 95000.0f;
        return true;
    }
    case 4:
        if (!dunControlledObject || !dunControlledObject->sim) return false;
        *value = float(dunControlledObject->sim->hull);
        *max = 100.0f;
        return true;
    default: return false;
    }
}

void guiBuildEngScreen() {
    // The schematic opens at the station's own distance (the view's start
    // value of 1 would show the hull thousands of pixels wide).
    gWireframeView.zoomTarget = gWireframeView.zoom = kGuiEngWireDistance;
    guiBindActivate("ENGQuit", LeaveToStand);
    guiBindUpdate("EMseX", guiNavMouseXUpdate);
    guiBindUpdate("EMseY", guiNavMouseYUpdate);
    if (GuiWindow *w = guiBindDraw("ENGRealV", DrawView)) w->onPress = PickComponent;
    guiBindActivate("ENGSys", NextSystem);
    static const char *const kTeams[4] = {"Team1", "Team2", "Team3", "Team4"};
    for (int i = 0; i < 4; ++i)
        if (GuiWindow *w = guiBindActivate(kTeams[i], AssignTeamButton)) {
            w->draw = guiDrawRepairTeam;
            w->value = float(i);
        }
    static const char *const kSlots[5] = {"SysS0", "SysS1", "SysS2", "SysS3", "SysS4"};
    static const char *const kColumns[5] = {"SysSX0", "SysSX1", "SysSX2", "SysSX3", "SysSX4"};
    for (int i = 0; i < 5; ++i) {
        if (GuiWindow *w = guiBindActivate(kSlots[i], guiEngToggleSlot)) {
            w->draw = guiDrawSystemButton;
            InitSlot(w, i);
        }
        if (GuiWindow *w = guiBindPress(kColumns[i], PickListRow)) {
            w->draw = DrawListColumn;
            w->value = float(i);
        }
    }
    if (GuiWindow *w = guiBindActivate("Promote", guiEngPromoteTeam)) w->draw = guiDrawTeamButton;
    guiBindUpdate("Ess1", GaugeUpdate<1>);
    guiBindUpdate("Ess2", GaugeUpdate<2>);
    guiBindUpdate("Ess3", GaugeUpdate<3>);
    guiBindUpdate("Ess4", GaugeUpdate<4>);
    if (GuiWindow *w = guiBindDraw("EOrb", guiNavDrawOrb)) w->update = guiNavOrbUpdate;
}
