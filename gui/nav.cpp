#include "gui/nav.h"

#include <cmath>
#include <cstdio>

#include "RES/gfx2d.h"
#include "ai/brain.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/autopilot.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/hud.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/views.h"
#include "script/mission.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/lds.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/stations.h"
#include "world/universe.h"

const AutopilotProgram kAutopilotTable[kAutopilotPrograms] = {
    {"STOP", false, guiAutoStop, nullptr, 56},
    {"APPROACH", true, guiAutoApproach, guiAutoApproach, 57},
    {"FORMATE", true, guiAutoFormate, guiAutoLdsFormate, 58},
    {"DOCK", true, guiAutoDock, nullptr, 59},
    {"STOP REL", true, guiAutoStopRelative, nullptr, 59},
    {"PURSUE", true, guiAutoPursue, guiAutoLdsFormate, 59},
    {"EVADE", false, guiAutoEvade, nullptr, 59},
    {"LDA DEF", false, guiAutoLdaDefence, nullptr, 59},
    {"MATCH VEL", true, guiAutoMatchVelocity, nullptr, 61},
};

int16_t guiNavSelectedProgram;
int16_t guiNavRunningHelp;
SceneItem *guiNavProgramTarget;
float guiNavAutopilotDistance = 80000.0f;
uint8_t guiNavUndockLock;
uint8_t guiNavDetachAllowed = 0xFF;
uint8_t gGuiDockedDirector;
int32_t guiNavDisengageTimer;
GuiWindow *guiNavDetachButton;

namespace {

constexpr float kLdsFloor = 100000.0f;
constexpr float kThrottleStep = 5000.0f;
// The selector steps through the first eight programs; MATCH VEL only by
// its own key or button.
constexpr int kSelectorPrograms = 8;

Sim *Controlled() { return dunControlledObject ? dunControlledObject->sim : nullptr; }
bool InLds(const Sim *s) { return s->flags & SimFlag::Lds; }
bool Engaged(const Sim *s) { return s->flags & SimFlag::Autopilot; }
int Language() { return gLanguage < 3 ? gLanguage : 0; }

// A refused command from a window shows no help text for that activation.
void Refuse(GuiWindow *window) {
    if (window) window->flags |= GuiFlag::NoHelpOnce;
}

void ShowHelp(int index, int ticks) {
    if (index >= 0 && index < kGuiHelpTexts && gGuiHelpTexts[index]) guiDisplayMessage(gGuiHelpTexts[index], ticks);
}

bool InDockingRoutine(const SceneItem *o) { return o->control == dunUpdateDocking || o->simulator == dunUpdateDocking; }
bool Docked(SceneItem *o) { return dunGetDockedPartner(o) != nullptr || InDockingRoutine(o); }

// In the drive the throttle is the drive's target speed.
void FollowThrottle(Sim *s) {
    if (InLds(s)) s->ldsTarget = s->setSpeed;
}

void SwitchLdsOff(SceneItem *o) {
    Sim *s = o->sim;
    s->ldsRamp = -100;
    s->setSpeed = 0.0f;
    s->ldsTarget = 0.0f;
    if (!(o->flags & SceneFlag::InGravityWell)) s->velocity = {0.0f, 0.0f, 0.0f};
}

// The drive on or off; false when the object is docking or the drive is
// still spinning up or dropping out.
bool ToggleLds(SceneItem *o) {
    Sim *s = o->sim;
    if (InDockingRoutine(o) || s->ldsRamp != 0) return false;
    if (!InLds(s)) {
        s->flags |= SimFlag::Lds;
        SoundPlay(31, 0, 0, 0, 0);
        dunStopObject(o);
        s->ldsRamp = int32_t(s->flight->p300);
        s->setSpeed = s->thrust.z = s->ldsTarget = kLdsFloor;
    } else {
        SoundPlay(33, 0, 0, 0, 0);
        SwitchLdsOff(o);
    }
    return true;
}

// Leaving the drive for a flight mode: false while it spins up.
bool LeaveLds(SceneItem *o) {
    Sim *s = o->sim;
    if (!InLds(s)) return true;
    SoundPlay(33, 0, 0, 0, 0);
    if (s->ldsRamp > 0) return false;
    if (s->ldsRamp == 0) SwitchLdsOff(o);
    return true;
}

bool StartProgram(int program) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s || program < 0 || program >= kAutopilotPrograms) return false;
    if (dunPlayerShip && dunPlayerShip->sim && Engaged(dunPlayerShip->sim)) return false;
    if (InDockingRoutine(o)) return false;
    const AutopilotProgram &row = kAutopilotTable[program];
    if (row.needsTarget && !s->autopilotTarget) {
        SceneItem *contact = dunCurrentContactObject();
        if (!contact) return false;
        s->autopilotTarget = s->target = contact;
        dunNavigationTarget = guiNavProgramTarget = contact;
    }
    void (*routine)(SceneItem *) = InLds(s) ? row.lds : row.normal;
    if (!routine) return false;
    guiNavSelectedProgram = int16_t(program);
    s->flags |= SimFlag::Autopilot;
    routine(o);
    guiNavProgramTarget = s->autopilotTarget;
    return true;
}

}  // namespace

// ---- Throttle -------------------------------------------------------------------------

void guiThrottleUp() {
    Sim *s = Controlled();
    if (!s || !s->flight) return;
    if (InLds(s)) {
        // The step is the set speed's power of ten; the drive never runs
        // below its floor, so neither does the step.
        const double v = s->setSpeed > kLdsFloor ? s->setSpeed : kLdsFloor;
        const double top = double(s->flight->p4);
        const double next = v + std::pow(10.0, std::floor(std::log10(v)));
        s->setSpeed = float(next < top ? next : top);
    } else {
        s->setSpeed += kThrottleStep;
        if (s->setSpeed > s->flight->p8x100) s->setSpeed = s->flight->p8x100;
    }
    FollowThrottle(s);
}

void guiThrottleDown() {
    Sim *s = Controlled();
    if (!s || !s->flight) return;
    if (InLds(s)) {
        const double v = s->setSpeed > kLdsFloor ? s->setSpeed : kLdsFloor;
        const double next = v - std::pow(10.0, std::floor(std::log10(v) - 0.01));
        s->setSpeed = float(next > kLdsFloor ? next : kLdsFloor);
    } else {
        s->setSpeed -= kThrottleStep;
        if (s->setSpeed < -s->flight->p8x100) s->setSpeed = -s->flight->p8x100;
    }
    FollowThrottle(s);
}

void guiNavThrottleRange() {
    Sim *s = Controlled();
    if (!s) return;
    float low = 0.0f, high = 0.0f;
    if (InLds(s)) {
        low = kLdsFloor;
        high = s->flight ? float(s->flight->p4) : kLdsFloor;
    } else if (s->flightMode == 0 || s->flightMode == 1) {
        low = -100000.0f;
        high = 100000.0f;
    } else if (s->flightMode == 2) {
        low = -2500.0f;
        high = 2500.0f;
    }
    if (s->setSpeed < low) s->setSpeed = low;
    if (s->setSpeed > high) s->setSpeed = high;
    FollowThrottle(s);
}

// ---- Drive and flight modes ---------------------------------------------------------------

void guiNavToggleLds(GuiWindow *window) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s) return;
    if (Engaged(s)) {
        Refuse(window);
        return;
    }
    if (!s->flight || s->flight->p4 == 0) return;
    if ((s->flags & SimFlag::LdsBlocked) && !InLds(s)) {
        static const char *const kRefusal[3] = {"LDS INHIBIT", "LDS-IMPOSSIBLE", "LDS BLOCKIERT"};
        guiDisplayMessage(kRefusal[Language()], 200);
        return;
    }
    if (!ToggleLds(o)) Refuse(window);
}

namespace {

// A flight-mode key leaves the drive, or else stops the ship; none while a
// program flies it.
Sim *LeaveFlightForMode() {
    Sim *s = Controlled();
    if (!s || Engaged(s)) return nullptr;
    if (InLds(s))
        LeaveLds(dunControlledObject);
    else
        dunStopObject(dunControlledObject);
    return s;
}

}  // namespace

void guiFlightModeCThr() {
    if (Sim *s = LeaveFlightForMode()) s->flightMode = 1;
}

void guiFlightModeFThr() {
    if (Sim *s = LeaveFlightForMode()) s->flightMode = s->flightMode == 0 ? 1 : 0;
}

bool guiNavSetFlightMode(GuiWindow *window, int mode) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s || Engaged(s) || !LeaveLds(o)) {
        Refuse(window);
        return false;
    }
    s->flightMode = uint16_t(mode);
    dunStopObject(o);
    s->setSpeed = 0.0f;
    return true;
}

void guiNavLateral(int direction, bool pressed) {
    Sim *s = Controlled();
    if (!s) return;
    const float amount = pressed ? 100.0f : 0.0f;
    switch (direction) {
    case 0: s->thrust.y = -amount; break;
    case 1: s->thrust.y = amount; break;
    case 2: s->thrust.x = -amount; break;
    case 3: s->thrust.x = amount; break;
    default: return;
    }
    if (pressed)
        s->flags |= SimFlag::NoDriftDamping;
    else
        s->flags &= ~SimFlag::NoDriftDamping;
}

// ---- Autopilot ---------------------------------------------------------------------------

bool guiNavSelectProgram(int program) { return StartProgram(program); }

void guiNavProgramButton(GuiWindow *window) {
    const int program = window ? int(window->value) : 0;
    if (StartProgram(program))
        guiNavRunningHelp = kAutopilotTable[program].helpText;
    else
        Refuse(window);
}

void guiNavStopProgram(GuiWindow *window) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s || dunAutopilotLock || !Engaged(s)) {
        Refuse(window);
        return;
    }
    if (o != dunPlayerShip && s->shipInfo) {
        ShipInfo *info = s->shipInfo;
        info->programLabel = "NO PROGRAM";
        dunai_NameOrder(info, 1, "NO PROGRAM");
        dunai_SetOrder(info, 1, 0, 0, 0, 1, dunai_EvalDefault, 80, 0);
        dunai_SetOrderState(info, 1, 63, 0, 0, 0);
        dunai_StartOrder(o, 1);
    }
    s->flags &= ~SimFlag::Autopilot;
    const int program = guiNavSelectedProgram >= 0 && guiNavSelectedProgram < kAutopilotPrograms ? guiNavSelectedProgram : 0;
    if (kAutopilotTable[program].helpText == 59) {
        if (s->target) dunReleaseDockingPorts(o, s->target);
        if (s->autopilotTarget && s->autopilotTarget != s->target) dunReleaseDockingPorts(o, s->autopilotTarget);
    }
    s->target = s->autopilotTarget = dunWeaponTarget;
    dunLeaveLDS(o);
    guiNavDisengageTimer = 400;
}

// A program flying at a target that is gone has nothing left to do: it
// ends and the ship leaves the drive. The targets are not taken from the
// player's current one, as the stop command's are: that may be the object
// just going.
void guiNavStartProgram(int, int) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s || !Engaged(s) || dunAutopilotLock) return;
    s->flags &= ~SimFlag::Autopilot;
    s->autopilotTarget = nullptr;
    dunLeaveLDS(o);
    guiNavDisengageTimer = 400;
}

void guiNavToggleAutopilot(GuiWindow *) {
    if (Sim *s = Controlled()) s->flags ^= SimFlag::Autopilot;
}

void guiNavNextProgram(GuiWindow *) { guiNavSelectedProgram = int16_t((guiNavSelectedProgram + 1) % kSelectorPrograms); }

void guiNavRunProgram(GuiWindow *) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s || guiNavSelectedProgram < 0 || guiNavSelectedProgram >= kAutopilotPrograms) return;
    const AutopilotProgram &row = kAutopilotTable[guiNavSelectedProgram];
    void (*routine)(SceneItem *) = InLds(s) ? row.lds : row.normal;
    if (routine) routine(o);
}

void guiNavDistance(int step) {
    guiNavAutopilotDistance += float(step);
    if (guiNavAutopilotDistance < 0.0f) guiNavAutopilotDistance = 0.0f;
}

// ---- Undock and detach ---------------------------------------------------------------------

void guiNavUndock(GuiWindow *window) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    if (!s || !Docked(o) || Engaged(s)) {
        Refuse(window);
        return;
    }
    if (!guiNavUndockLock && !(s->flags & SimFlag::Clamped)) {
        dunUndock(o);
        s->setSpeed = 0.0f;
        return;
    }
    ShowHelp(64, 200);
    Refuse(window);
}

void guiNavDetachCommandSection(GuiWindow *window) {
    SceneItem *o = dunControlledObject;
    Sim *s = Controlled();
    const bool allowed = s && o == dunPlayerShip && !Docked(o) && !InLds(s) && !Engaged(s) &&
                         !(s->flags & SimFlag::Clamped) && (!s->shipInfo || s->shipInfo->carriedCount == 0);
    if (!allowed) {
        Refuse(window);
        ShowHelp(64, 200);
        return;
    }
    if (!guiNavDetachAllowed) {
        ShowHelp(64, 200);
        return;
    }
    if (optDemo) {
        ShowHelp(64, 200);
        Refuse(window);
        return;
    }
    GuiWindow *button = window ? window : guiNavDetachButton;
    const bool armed = button && button->helpIndex == 55;
    if (button) button->helpIndex = armed ? 62 : 55;
    if (!window) ShowHelp(armed ? 62 : 55, 200);
    if (armed) dunBuildCommandSection();
}

void guiNavCreatePrograms() { hudCreateCockpitSet(); }

void guiSetDockedFlags() {
    guiNavUndockLock = 1;
    guiStationLock = 1;
    gGuiDockedDirector = 1;
}

bool guiDirectorMode() { return optDirector || gGuiDockedDirector; }

// ---- Labels -------------------------------------------------------------------------------

const char *guiNavDriveLabel() {
    static const char *const kThruster[3] = {"THRUSTER", "PROPULSEURS", "TRIEBWERK"};
    const Sim *s = Controlled();
    return s && InLds(s) ? "LDS" : kThruster[Language()];
}

const char *guiNavAutopilotLabel() {
    static const char *const kManual[3] = {"MANUAL", "MANUEL", "MANUELL"};
    const Sim *s = Controlled();
    return s && Engaged(s) ? "AUTO" : kManual[Language()];
}

const char *guiNavModeLabel() {
    static const char *const kModes[3] = {"FREE", "TAXI", "DOCK"};
    const Sim *s = Controlled();
    if (!s) return "----";
    if (Engaged(s) && guiNavSelectedProgram >= 0 && guiNavSelectedProgram < kAutopilotPrograms)
        return kAutopilotTable[guiNavSelectedProgram].name;
    if (InLds(s) || s->flightMode > 2) return "----";
    return kModes[s->flightMode];
}

void guiNavReset() {
    guiNavSelectedProgram = 0;
    guiNavRunningHelp = 0;
    guiNavProgramTarget = nullptr;
    guiNavAutopilotDistance = 80000.0f;
    guiNavUndockLock = 0;
    guiNavDetachAllowed = 0xFF;
    dunAutopilotLock = 0;
    gGuiDockedDirector = 0;
    guiNavDisengageTimer = 0;
}

// ---- The screen ---------------------------------------------------------------------------

namespace {

void Redraw(GuiWindow *w) { w->redraw = gGuiRedrawReload; }

void SetValue(GuiWindow *w, float value, float max) {
    if (w->value == value && w->max == max) return;
    w->value = value;
    w->max = max;
    Redraw(w);
}

void SetText(GuiWindow *w, const char *text) {
    if (w->text == text) return;
    w->text = text;
    Redraw(w);
}

// A button shown lit (framed) while its state is current.
void SetLit(GuiWindow *w, bool lit) {
    if ((w->state != 0) == lit) return;
    w->state = lit ? 1 : 0;
    Redraw(w);
}

void DrawLitButton(GuiWindow *w) {
    guiDrawButton(w);
    if (w->state)
        guiDrawFrame(guiScreen(), GuiColour::Highlight, w->rect[0], w->rect[1], w->rect[2], w->rect[3]);
}

int8_t UpdateDriveButton(GuiWindow *w) {
    const Sim *s = Controlled();
    SetLit(w, s && InLds(s));
    return guiDefaultHandler(w);
}

int8_t UpdateModeButton(GuiWindow *w) {
    const Sim *s = Controlled();
    SetLit(w, s && !InLds(s) && s->flightMode == uint16_t(w->value));
    return guiDefaultHandler(w);
}

int8_t UpdateProgramButton(GuiWindow *w) {
    const Sim *s = Controlled();
    SetLit(w, s && Engaged(s) && guiNavSelectedProgram == int16_t(w->value));
    return guiDefaultHandler(w);
}

int8_t UpdateManualButton(GuiWindow *w) {
    const Sim *s = Controlled();
    SetLit(w, !s || !Engaged(s));
    return guiDefaultHandler(w);
}

int8_t UpdateStatus(GuiWindow *w) {
    const Sim *s = Controlled();
    const char *text = "";
    if (s && Engaged(s) && guiNavRunningHelp >= 0 && guiNavRunningHelp < kGuiHelpTexts &&
        gGuiHelpTexts[guiNavRunningHelp]) {
        text = gGuiHelpTexts[guiNavRunningHelp];
    } else if (guiNavDisengageTimer > 0) {
        guiNavDisengageTimer -= dunFrameStep;
        if (gGuiHelpTexts[60]) text = gGuiHelpTexts[60];
    }
    SetText(w, text);
    return guiDefaultHandler(w);
}

int8_t UpdateDriveLabel(GuiWindow *w) {
    SetText(w, guiNavDriveLabel());
    return guiDefaultHandler(w);
}
int8_t UpdateAutopilotLabel(GuiWindow *w) {
    SetText(w, guiNavAutopilotLabel());
    return guiDefaultHandler(w);
}
int8_t UpdateModeLabel(GuiWindow *w) {
    SetText(w, guiNavModeLabel());
    return guiDefaultHandler(w);
}

// The program name's fonts: the window's own, and the highlight font for a
// program that can run in this flight.
ResourceHandle *gProgramFont, *gProgramHighlightFont;

// The selected program's name, in the highlight font when it can run in
// this flight.
int8_t UpdateProgramName(GuiWindow *w) {
    const Sim *s = Controlled();
    const AutopilotProgram &row = kAutopilotTable[guiNavSelectedProgram % kAutopilotPrograms];
    SetText(w, row.name);
    const bool runs = s && (InLds(s) ? row.lds : row.normal);
    ResourceHandle *font = runs && gProgramHighlightFont ? gProgramHighlightFont : gProgramFont;
    if (w->font != font) {
        w->font = font;
        Redraw(w);
    }
    return guiDefaultHandler(w);
}

// The radar sphere's window: drawn every frame with the sphere of the
// running mission's cockpit set (none before a mission), and not while the
// comms arm covers it.
int8_t UpdateOrb(GuiWindow *w) {
    guiReload(w);
    return guiDefaultHandler(w);
}

void DrawOrb(GuiWindow *w) {
    ClipRect r;
    if (!guiGadgetRect(w, &r)) return;
    FillRect(guiScreen(), 0, r.left, r.top, r.right, r.bottom);
    w->userPtr = hudOrbSpheres[0];
    if (w->userPtr) guiRunViewPane(w, P3DDrawHudViewWindow);
    guiDrawFrame(guiScreen(), GuiColour::Highlight, r.left, r.top, r.right, r.bottom);
}

int8_t UpdateDistance(GuiWindow *w) {
    SetValue(w, guiNavAutopilotDistance / 100.0f, w->max);
    return guiDefaultHandler(w);
}

int8_t UpdateThrust(GuiWindow *w) {
    const Sim *s = Controlled();
    if (s && s->flight) {
        const int axis = int(w->state);
        if (axis == 0) SetValue(w, s->thrust.x, 100.0f);
        if (axis == 1) SetValue(w, s->thrust.y, 100.0f);
        if (axis == 2) SetValue(w, s->thrust.z, InLds(s) ? float(s->flight->p4) : s->flight->p1);
    }
    return guiDefaultHandler(w);
}

int8_t UpdateEmission(GuiWindow *w) {
    const Sim *s = Controlled();
    const float e = s ? s->emission : 0.0f;
    SetValue(w, e > 0.0f ? float(std::log10(e)) : 1.0f, 10.0f);
    return guiDefaultHandler(w);
}

int8_t UpdateMouseX(GuiWindow *w) {
    SetValue(w, float(gGuiLastMouseX - (w->parent ? w->parent->x : 0)), w->max);
    return guiDefaultHandler(w);
}
int8_t UpdateMouseY(GuiWindow *w) {
    SetValue(w, float(gGuiLastMouseY - (w->parent ? w->parent->y : 0)), w->max);
    return guiDefaultHandler(w);
}

int8_t UpdateTarget(GuiWindow *w) {
    const Sim *s = Controlled();
    const SceneItem *t = s ? s->autopilotTarget : nullptr;
    const char *name = t && t->sim && t->sim->shipInfo && t->sim->shipInfo->name ? t->sim->shipInfo->name : "";
    SetText(w, name);
    return guiDefaultHandler(w);
}

void Quit(GuiWindow *) {
    PlayVideo("vek\\resource\\video\\navstd.smk");
    dunFrozen = 1;
    StationId = 0;
    SoundPlay(13, 0, 0, 0, 0);
    guiSetScreen("NAVStand");
}

void ModeFree(GuiWindow *w) { guiNavSetFlightMode(w, 0); }
void ModeTaxi(GuiWindow *w) { guiNavSetFlightMode(w, 1); }
void ModeDock(GuiWindow *w) { guiNavSetFlightMode(w, 2); }
void ModeToggle(GuiWindow *) { guiFlightModeFThr(); }
void DistanceDown(GuiWindow *) { guiNavDistance(-1000); }
void DistanceUp(GuiWindow *) { guiNavDistance(1000); }
void HudShow(GuiWindow *) { hudShowAll(); }
void HudHide(GuiWindow *) { hudHideAll(); }
void LateralUpPress(GuiWindow *) { guiNavLateral(0, true); }
void LateralUpRelease(GuiWindow *) { guiNavLateral(0, false); }
void LateralDownPress(GuiWindow *) { guiNavLateral(1, true); }
void LateralDownRelease(GuiWindow *) { guiNavLateral(1, false); }
void LateralLeftPress(GuiWindow *) { guiNavLateral(2, true); }
void LateralLeftRelease(GuiWindow *) { guiNavLateral(2, false); }
void LateralRightPress(GuiWindow *) { guiNavLateral(3, true); }
void LateralRightRelease(GuiWindow *) { guiNavLateral(3, false); }

}  // namespace

void guiBuildNavScreen() {
    guiBindActivate("NAVQuit", Quit);
    struct Button {
        const char *name;
        GuiDrawProc activate;
        GuiUpdateProc update;
        float value;
    } const buttons[] = {
        {"NvMd0", guiNavToggleLds, UpdateDriveButton, 0},
        {"NvMd1", ModeFree, UpdateModeButton, 0},
        {"NvMd2", ModeTaxi, UpdateModeButton, 1},
        {"NvMd3", ModeDock, UpdateModeButton, 2},
        {"NvMd4", guiNavProgramButton, UpdateProgramButton, 0},
        {"NvMd5", guiNavProgramButton, UpdateProgramButton, 1},
        {"NvMd6", guiNavProgramButton, UpdateProgramButton, 2},
        {"NvMd7", guiNavProgramButton, UpdateProgramButton, 3},
        {"NvMd7b", guiNavProgramButton, UpdateProgramButton, 8},
        {"NvMd8", guiNavStopProgram, UpdateManualButton, 0},
    };
    for (const Button &b : buttons) {
        GuiWindow *w = guiBindActivate(b.name, b.activate);
        if (!w) continue;
        w->update = b.update;
        w->draw = DrawLitButton;
        w->value = b.value;
    }
    struct Label {
        const char *name;
        GuiDrawProc activate;
        GuiUpdateProc update;
    } const labels[] = {
        {"NavMd0", guiNavToggleLds, UpdateDriveLabel},
        {"NavMd1", guiNavToggleAutopilot, UpdateAutopilotLabel},
        {"NavMd2", ModeToggle, UpdateModeLabel},
        {"NAuto1", guiNavNextProgram, nullptr},
        {"NAutoX", guiNavRunProgram, nullptr},
        {"AutPrmL", DistanceDown, nullptr},
        {"AutPrmH", DistanceUp, nullptr},
        {"NavButt4", HudShow, nullptr},
        {"NavButt5", HudHide, nullptr},
        {"NavButt6", guiNavUndock, nullptr},
        {"NavButt7", guiNavDetachCommandSection, nullptr},
    };
    for (const Label &l : labels) {
        GuiWindow *w = guiBindActivate(l.name, l.activate);
        if (w && l.update) w->update = l.update;
    }
    if (GuiWindow *w = guiBindUpdate("NAuto1", UpdateProgramName)) {
        gProgramFont = w->font;
        gProgramHighlightFont = static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont"));
    }
    if (GuiWindow *w = guiBindDraw("NOrb", DrawOrb)) {
        w->update = UpdateOrb;
        w->flags |= GuiFlag::HideUnderArm;
    }
    if (GuiWindow *w = guiBindUpdate("NStat", UpdateStatus)) w->text = "";
    if (GuiWindow *w = guiBindUpdate("AutPrm", UpdateDistance)) w->max = 10000.0f;
    if (GuiWindow *w = guiBindActivate("NavButt6", guiNavUndock)) w->helpIndex = 54;
    if ((guiNavDetachButton = guiBindActivate("NavButt7", guiNavDetachCommandSection))) guiNavDetachButton->helpIndex = 62;
    const char *thrust[3] = {"XThr", "YThr", "ZThr"};
    for (int i = 0; i < 3; ++i)
        if (GuiWindow *w = guiBindUpdate(thrust[i], UpdateThrust)) w->state = uint8_t(i);
    const struct {
        const char *name;
        GuiDrawProc press, release;
    } laterals[] = {{"NDUp", LateralUpPress, LateralUpRelease},
                    {"NDDn", LateralDownPress, LateralDownRelease},
                    {"NDLf", LateralLeftPress, LateralLeftRelease},
                    {"NDRt", LateralRightPress, LateralRightRelease}};
    for (const auto &l : laterals) {
        guiBindPress(l.name, l.press);
        guiBindActivate(l.name, l.release);
    }
    guiBindUpdate("NEmit", UpdateEmission);
    guiBindUpdate("MseX", UpdateMouseX);
    guiBindUpdate("MseY", UpdateMouseY);
    guiBindUpdate("NTarget", UpdateTarget);
}

int8_t guiNavMouseXUpdate(GuiWindow *w) { return UpdateMouseX(w); }
int8_t guiNavMouseYUpdate(GuiWindow *w) { return UpdateMouseY(w); }
int8_t guiNavOrbUpdate(GuiWindow *w) { return UpdateOrb(w); }
void guiNavDrawOrb(GuiWindow *w) { DrawOrb(w); }
