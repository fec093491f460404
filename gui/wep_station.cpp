// The weapons station's screen: group selection and cycling (a second beam
// press switches rapid fire), the four weapon slots and their icons,
// automatic and forward tracking, ripple fire, the target read-out and the
// gauges of the current weapon.
#include "gui/wep_station.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "RES/gfx2d.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/options.h"
#include "gui/autopilot.h"
#include "gui/bound.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/main_view.h"
#include "gui/nav.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "gui/window.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/scene.h"
#include "present/views.h"
#include "script/mission.h"
#include "world/engineering.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"

uint16_t gWepGroup;
uint8_t &gWepRapid = dunRapidBeamMode, &gWepRipple = dunAutoCycleTargets;
uint8_t gWepAuto = 0xFF, gWepForwardTrack = 0xFF;
Weapon *gWepSlots[4];
uint8_t gWepIconsDirty;
Weapon *gWepSelected;
char gWepLastMessage[64];

namespace {

// The weapon list the slots were filled from.
const Weapon *gWepSlotsFrom;
// The message line's words as it last took them: the message changes in its
// buffer, and the line draws again when its words do.
char gWepShownMessage[sizeof gWepLastMessage];

constexpr uint16_t kArcMedium = 0x400, kArcNorm = 0x800, kArc30 = 0x40, kArc60 = 0x10;
const char *const kTrack[3] = {"TRACK", "PISTER", "FOLGEN"};
const char *const kLocked[3] = {"LOCKED", "VERROU", "VORNE"};
const char *const kRippleWord[3] = {"RIPPLE", "SERIE", "WELLE"};
const char *const kRapidWord[3] = {"RAPID", "RAPIDE", "SCHNELL"};
const char *const kNormal[3] = {"NORMAL", "NORMAL", "NORMAL"};

const char *Word(const char *const words[3]) { return words[gLanguage < 3 ? gLanguage : 0]; }
Sim *Controlled() { return dunControlledObject ? dunControlledObject->sim : nullptr; }
Weapon *Current() { return Controlled() ? Controlled()->currentWeapon : nullptr; }
uint32_t GroupFlag(int group) { return group == 0 ? WeaponFlag::Beam : WeaponFlag::Missile; }

void MakeCurrent(Weapon *w) {
    Controlled()->currentWeapon = w;
    gWepSelected = w;
}

// Group selection and cycling: the next weapon of the group, not unloaded
// and selectable, of another kind than the current one.
void SelectGroup(int group) {
    gWepGroup = uint16_t(group);
    Sim *s = Controlled();
    if (!s || !s->weapons) return;
    const uint32_t flag = GroupFlag(group);
    Weapon *current = s->currentWeapon;
    Weapon *start = current && (current->flags & flag) && current->next ? current->next : s->weapons;
    Weapon *w = start;
    do {
        if ((w->flags & flag) && !(w->flags & (WeaponFlag::NotSelectable | WeaponFlag::Empty)) &&
            (!current || w->typeNumber != current->typeNumber)) {
            MakeCurrent(w);
            guiWepFillSlots();
            dunUpdateViewFlag();
            guiWepShowSelection(w);
            return;
        }
        w = w->next ? w->next : s->weapons;
    } while (w != start);
    guiWepFillSlots();
    dunUpdateViewFlag();
    if (current) guiWepShowSelection(current);
}

void SetValue(GuiWindow *w, float value, float max) {
    if (w->value == value && w->max == max) return;
    w->value = value;
    w->max = max;
    guiReload(w);
}

void SetText(GuiWindow *w, const char *text) {
    if (w->text != text) guiReload(w);
    w->text = text;
}

void LeaveToStand(GuiWindow *) {
    guiLeaveStation();
    guiCloseComArm();
    PlayVideo("vek\\resource\\video\\wepstd.smk");
    StationId = 0;
    SoundPlay(13, 0, 0, 0, 0);
    guiSetScreen("WEPStand");
}

void ViewClick(GuiWindow *) { dunSelectTarget(dunCurrentContactObject()); }
void SelectPbcButton(GuiWindow *) { guiWepSelectPbc(0); }
void SelectMissileButton(GuiWindow *) { guiWepSelectMissile(0); }
void FireButton(GuiWindow *) { guiWepFire(); }
void ForwardTrackButton(GuiWindow *) { guiWepToggleForwardTrack(); }
void RapidButton(GuiWindow *) { guiWepToggleRapid(); }
void ReaimButton(GuiWindow *) { guiReaimSubTargets(); }

// A change of group lights one button and puts the other out.
int8_t ModeUpdate(GuiWindow *w) {
    if (w->state != (gWepGroup == uint16_t(w->value) ? 1 : 0)) guiReload(w);
    return guiDefaultHandler(w);
}

void DrawModeButton(GuiWindow *w) {
    w->state = gWepGroup == uint16_t(w->value) ? 1 : 0;
    guiDrawButton(w);
    ClipRect r;
    if (w->state && guiGadgetRect(w, &r)) guiDrawFrame(guiScreen(), GuiColour::Band64, r.left, r.top, r.right, r.bottom);
}

// The four slots' icons: a mount's arc of fire pointing its way, lit for
// the current weapon; an empty slot a dim frame. Icons stand 16 pixels apart.
void DrawIcons(GuiWindow *w) {
    ClipRect r;
    if (!guiGadgetRect(w, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    const Weapon *current = Current();
    for (int i = 0; i < 4; ++i) {
        const int x0 = r.left + 2 + i * 16, y0 = r.top + 2, x1 = x0 + 13, y1 = y0 + 13;
        const Weapon *wp = gWepSlots[i];
        if (!wp) {
            guiDrawFrame(s, GuiColour::Outline, x0, y0, x1, y1);
            continue;
        }
        const int colour = wp == current ? GuiColour::Band64 : GuiColour::Band97;
        guiDrawFrame(s, colour, x0, y0, x1, y1);
        // The mount's side: a bar on the left or right, a missile a dot in the middle.
        const int cx = wp->mount.x < 0 ? x0 + 3 : wp->mount.x > 0 ? x1 - 3 : (x0 + x1) / 2;
        if (wp->flags & WeaponFlag::Beam) DrawLine(s, cx, y0 + 3, cx, y1 - 3, colour);
        else FillRect(s, colour, cx - 1, (y0 + y1) / 2 - 1, cx + 1, (y0 + y1) / 2 + 1);
    }
    gWepIconsDirty = 0;
}

int8_t UpdateIcons(GuiWindow *w) {
    // The screen is built before a mission's ships exist: the slots fill
    // once the controlled ship's weapons are there (or have changed).
    const Weapon *head = Controlled() ? Controlled()->weapons : nullptr;
    if (head != gWepSlotsFrom) guiWepFillSlots();
    if (gWepIconsDirty) guiReload(w);
    return guiDefaultHandler(w);
}

int8_t AutoUpdate(GuiWindow *w) {
    const Weapon *c = Current();
    const uint8_t on = c && (c->flags & WeaponFlag::AutoTracking) ? 1 : 0;
    if (w->state != on) guiReload(w);
    w->state = on;
    w->text = on ? "AUTO" : "MAN";
    return guiDefaultHandler(w);
}

int8_t ReloadUpdate(GuiWindow *w) {
    if (const Weapon *c = Current()) SetValue(w, std::max(0.0f, c->reloadTime - c->reloadTimer), c->reloadTime);
    return guiDefaultHandler(w);
}

int8_t SystemUpdate(GuiWindow *w) {
    const Weapon *c = Current();
    if (c && c->component) SetValue(w, c->component->level * 1000, 1000.0f);
    return guiDefaultHandler(w);
}

int8_t MessageUpdate(GuiWindow *w) {
    if (std::strcmp(gWepShownMessage, gWepLastMessage) != 0) {
        std::snprintf(gWepShownMessage, sizeof gWepShownMessage, "%s", gWepLastMessage);
        guiReload(w);
    }
    SetText(w, gWepShownMessage);
    return guiDefaultHandler(w);
}

int8_t RacksUpdate(GuiWindow *w) {
    if (const Weapon *c = Current()) SetValue(w, guiWepRacks(c), w->max);
    return guiDefaultHandler(w);
}

int8_t RoundsUpdate(GuiWindow *w) {
    if (const Weapon *c = Current()) SetValue(w, guiWepRounds(c), w->max);
    return guiDefaultHandler(w);
}

int8_t TargetUpdate(GuiWindow *w) {
    const SceneItem *target = Controlled() ? Controlled()->goal : nullptr;
    const auto *shown = static_cast<const Contact *>(w->userPtr);
    if (!shown || shown->object != target) {
        const Contact *row = nullptr;
        for (const Contact &c : dunContacts)
            if ((c.flags & ContactFlag::InUse) && target && c.object == target) row = &c;
        if (row != shown) guiReload(w);
        w->userPtr = const_cast<Contact *>(row);
    }
    return guiDefaultHandler(w);
}

void TargetClick(GuiWindow *w) {
    Sim *s = Controlled();
    const auto *row = static_cast<const Contact *>(w->userPtr);
    SceneItem *object = row ? row->object : dunCurrentContactObject();
    if (!s || !object) return;
    if (object != s->goal) {
        s->flags &= ~0x10000u;
        s->goal = object;
    }
    if (!(s->flags & 4)) s->target = object;
    dunSelectTarget(object);
}

int8_t TrackLabelUpdate(GuiWindow *w) {
    SetText(w, guiWepTrackWord());
    return guiDefaultHandler(w);
}

int8_t FireModeLabelUpdate(GuiWindow *w) {
    SetText(w, guiWepFireModeWord());
    return guiDefaultHandler(w);
}

}  // namespace

void guiWepReset() {
    gWepGroup = 0;
    gWepRapid = gWepRipple = 0;
    gWepAuto = gWepForwardTrack = 0xFF;
    for (Weapon *&slot : gWepSlots) slot = nullptr;
    gWepIconsDirty = 0xFF;
    gWepSelected = nullptr;
    gWepLastMessage[0] = 0;
    gWepShownMessage[0] = 0;
}

void guiWepShowSelection(const Weapon *w) {
    if (!w) return;
    const char *name = w->name ? w->name : "";
    if (gWepRapid && (w->flags & WeaponFlag::Beam))
        std::snprintf(gWepLastMessage, sizeof gWepLastMessage, "%s - %s", name, Word(kRapidWord));
    else std::snprintf(gWepLastMessage, sizeof gWepLastMessage, "%s", name);
    guiDisplayMessage(gWepLastMessage, 200);
}

void guiWepFillSlots() {
    const uint32_t flag = GroupFlag(gWepGroup);
    gWepSlotsFrom = Controlled() ? Controlled()->weapons : nullptr;
    int n = 0;
    for (Weapon *w = Controlled() ? Controlled()->weapons : nullptr; w && n < 4; w = w->next)
        if (w->flags & flag) gWepSlots[n++] = w;
    while (n < 4) gWepSlots[n++] = nullptr;
    gWepIconsDirty = 0xFF;
}

void guiWepSelectPbc(int) {
    if (gWepGroup == 0) {
        const Weapon *c = Current();
        if (!gWepRapid && (!c || !(c->flags & WeaponFlag::NoRapid))) {
            gWepRapid = 0xFF;
            if (c) guiWepShowSelection(c);
            return;
        }
        gWepRapid = 0;
    }
    SelectGroup(0);
}

void guiWepSelectMissile(int) { SelectGroup(1); }

void guiWepSelectSlot(GuiWindow *window) {
    const int slot = std::clamp(int(window->value), 0, 3);
    Weapon *w = gWepSlots[slot];
    if (!w || !Controlled()) return;
    MakeCurrent(w);
    guiWepShowSelection(w);
    dunUpdateViewFlag();
    gWepIconsDirty = 0xFF;
}

uint16_t guiWepTrackingArc(uint16_t code, bool tracking) {
    const uint16_t from[2] = {uint16_t(tracking ? kArcMedium : kArcNorm), uint16_t(tracking ? kArc30 : kArc60)};
    const uint16_t to[2] = {uint16_t(tracking ? kArcNorm : kArcMedium), uint16_t(tracking ? kArc60 : kArc30)};
    for (int i = 0; i < 2; ++i)
        if (code & from[i]) code = uint16_t((code & ~from[i]) | to[i]);
    return code;
}

void guiWepToggleAuto(GuiWindow *) {
    gWepAuto = gWepAuto ? 0 : 0xFF;
    if (StationId == 3 && dunWeaponCamera) dunWeaponCamera->control = gWepAuto ? CameraPlayer : CameraWeapon;
    for (Weapon *w = Controlled() ? Controlled()->weapons : nullptr; w; w = w->next) {
        w->flags ^= WeaponFlag::AutoTracking;
        w->mountCode = guiWepTrackingArc(w->mountCode, (w->flags & WeaponFlag::AutoTracking) != 0);
    }
    dunUpdateViewFlag();
}

void guiWepToggleForwardTrack() {
    if (gWepAuto) gWepForwardTrack = gWepForwardTrack ? 0 : 0xFF;
}

void guiWepToggleRapid() {
    if (StationId == 3) gWepRipple = gWepRipple ? 0 : 0xFF;
    if (optArcade) gWepRipple = 0;
}

const char *guiWepTrackWord() { return gWepForwardTrack ? Word(kTrack) : Word(kLocked); }

const char *guiWepFireModeWord() {
    if (gWepGroup == 1) return gWepRipple ? Word(kRippleWord) : Word(kNormal);
    if (gWepRapid) return Word(kRapidWord);
    return gWepRipple ? Word(kRippleWord) : Word(kNormal);
}

float guiWepRacks(const Weapon *w) {
    if (!w) return 0;
    const float v = (w->flags & WeaponFlag::Beam) ? w->reloadTime - w->reloadTimer : float(w->rounds[2]);
    return std::max(0.0f, v);
}

float guiWepRounds(const Weapon *w) {
    if (!w) return 0;
    const float v = (w->flags & WeaponFlag::Beam) ? w->reloadTime
                                                  : float(w->rounds[0]) + float(w->rounds[1]) * float(w->rounds[2]);
    return std::max(0.0f, v);
}

int8_t guiLoggerUpdate(GuiWindow *w) {
    // A panel's logger is made with its component: it shows that
    // component's history.
    for (int i = 0; i < dunComponentTableCount && i < kEngTableSize; ++i)
        if (dunComponentTable[i] && w->userPtr == dunComponentTable[i]) w->userPtr = dunComponentTable[i]->recorder;
    guiReload(w);
    return guiDefaultHandler(w);
}

int8_t guiProfileUpdate(GuiWindow *w) {
    guiReload(w);
    return guiDefaultHandler(w);
}

void guiBuildWepScreen() {
    guiBindActivate("WEPQuit", LeaveToStand);
    if (GuiWindow *w = guiBindDraw("WEPRealV", MainViewDraw)) w->onPress = ViewClick;
    if (GuiWindow *w = guiBindDraw("WEPRealVR", guiDrawMainViewPane)) w->onPress = ViewClick;
    if (GuiWindow *w = guiBindDraw("WpIcons", DrawIcons)) w->update = UpdateIcons;
    static const char *const kSlots[4] = {"WpSlot0", "WpSlot1", "WpSlot2", "WpSlot3"};
    for (int i = 0; i < 4; ++i)
        if (GuiWindow *w = guiBindActivate(kSlots[i], guiWepSelectSlot)) w->value = float(i);
    if (GuiWindow *w = guiBindActivate("WpMd0", SelectPbcButton)) {
        w->value = 0;
        w->draw = DrawModeButton;
        w->update = ModeUpdate;
    }
    if (GuiWindow *w = guiBindActivate("WpMd1", SelectMissileButton)) {
        w->value = 1;
        w->draw = DrawModeButton;
        w->update = ModeUpdate;
    }
    if (GuiWindow *w = guiBindActivate("WEPAuto", guiWepToggleAuto)) w->update = AutoUpdate;
    guiBindActivate("WEPFire", FireButton);
    guiBindUpdate("WEPState", ReloadUpdate);
    guiBindUpdate("WEPMags", RacksUpdate);
    guiBindUpdate("WEPShots", RoundsUpdate);
    if (GuiWindow *w = guiBindUpdate("WEPTarget", TargetUpdate)) {
        w->draw = guiDrawContactSlot;
        w->onEvent = TargetClick;
        w->onActivate = TargetClick;
    }
    if (GuiWindow *w = guiBindUpdate("WEPStatL", SystemUpdate)) w->draw = guiDrawBarHorizBanded;
    if (GuiWindow *w = guiBindUpdate("WEPStatR", ReloadUpdate)) w->draw = guiDrawBarHorizBanded;
    guiBindUpdate("WEPMagL", MessageUpdate);
    guiBindUpdate("WEPMagR", RoundsUpdate);
    if (GuiWindow *w = guiBindActivate("WEPBotR1", ForwardTrackButton)) w->update = TrackLabelUpdate;
    if (GuiWindow *w = guiBindActivate("WEPBotR2", RapidButton)) w->update = FireModeLabelUpdate;
    guiBindActivate("WEPULDA", ReaimButton);
    guiBindActivate("WEPLLDA", ReaimButton);
    guiBindUpdate("WMseX", guiNavMouseXUpdate);
    guiBindUpdate("WMseY", guiNavMouseYUpdate);
    if (GuiWindow *w = guiBindDraw("WOrb", guiNavDrawOrb)) w->update = guiNavOrbUpdate;
    guiWepFillSlots();
}
