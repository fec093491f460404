#include "gui/keys.h"

#include <cstdio>

#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"
#include "gui/nav.h"
#include "gui/options.h"
#include "gui/redraw.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/hud.h"
#include "hud/maps.h"
#include "hud/missionlog.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/lspace.h"
#include "present/model_adjust.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "script/briefing.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/settings.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/step.h"

uint32_t gLastEscapeFrame;
uint8_t gWingMenuOpen;
uint8_t gWingSingleSelect;
int16_t gSelectedWingman = -1;
int32_t gOrbitViewMode;
int32_t gDebugReadout;
uint8_t gProfilerDisplay;
float gZoomValue;
int32_t gZoomReturn;
int16_t gSelectedProgramText;
uint16_t gHatPrevious;
uint16_t gHatHold;
int32_t gWingStatusTimer;

void guiResetKeyHandler() {
    gLastEscapeFrame = 0;
    gWingMenuOpen = gWingSingleSelect = 0;
    gSelectedWingman = -1;
    gOrbitViewMode = gDebugReadout = 0;
    gProfilerDisplay = 0;
    gZoomValue = 0.0f;
    gZoomReturn = 0;
    gSelectedProgramText = 0;
    gHatPrevious = gHatHold = 0;
    gWingStatusTimer = 0;
    gGuiViewModeToggle = 0;
    // The locks and the lost ship of the mission before do not carry over.
    guiStationLock = 0;
    guiPlayerLostView = 0;
    guiWreckDisplay = 0;
}

namespace {

constexpr int kCom = 1, kWep = 3, kEng = 4, kOptions = 5;

bool Held(uint8_t scan) { return KeyDownTable[scan] != 0; }
bool WasHeld(uint8_t scan) { return dunPrevKeyTable[scan] != 0; }
bool Debug() { return gDeveloperKeys != 0; }
bool PlayerLost() { return guiPlayerLostView != 0; }
bool BriefingHold() { return gBriefingOpen != 0; }
Sim *ControlledSim() { return dunControlledObject ? dunControlledObject->sim : nullptr; }
bool UnderAutopilot() {
    const Sim *s = ControlledSim();
    return s && (s->flags & SimFlag::Autopilot);
}

// The target set from a key: the weapon target and the controlled object's
// goal, and, unless it flies under the autopilot, the navigation target and
// its target field.
void SetTarget(SceneItem *object) {
    dunWeaponTarget = object;
    Sim *s = ControlledSim();
    if (!s) return;
    s->goal = object;
    if (s->flags & SimFlag::Autopilot) return;
    dunNavigationTarget = object;
    s->target = object;
}

// The weapon target follows a contact; the goal too, when it changes (the
// goal is no longer locked).
void TargetContact(SceneItem *object) {
    dunWeaponTarget = object;
    Sim *s = ControlledSim();
    if (!s) return;
    if (!(s->flags & SimFlag::Autopilot)) {
        dunNavigationTarget = object;
        s->target = object;
    }
    if (s->goal != object) {
        s->flags &= ~SimFlag::ShieldStruck;
        s->goal = object;
    }
}

void StepContact(bool previous) {
    if (previous)
        dunPrevTarget();
    else
        dunNextTarget();
    SceneItem *contact = dunCurrentContactObject();
    if (!contact) return;
    LSpaceSetTarget(contact);
    if (StationId == kWep) {
        dunWeaponTarget = contact;
        if (Sim *s = ControlledSim()) s->goal = contact;
    }
}

void Program(int program, int16_t text) {
    if (guiNavSelectProgram(program)) gSelectedProgramText = text;
}

// R_AUTO_*: a wing command while the wing menu is open, else the program.
void Autopilot(int wingCommand, int program, int16_t text) {
    if (PlayerLost()) return;
    if (gWingMenuOpen) {
        if (wingCommand) guiWingCommand(wingCommand);
        gWingMenuOpen = 0;
        return;
    }
    Program(program, text);
}

// R_WINGMAN_*: with single-select the wingman is chosen and the menu opens;
// otherwise the command goes to the wing at once.
void Wingman(int engCrew, int command, int16_t wingman) {
    if (engCrew >= 0 && StationId == kEng) {
        guiEngAssignCrew(engCrew);
        return;
    }
    if (gWingSingleSelect) {
        gSelectedWingman = wingman;
        gWingMenuOpen = 1;
        gWingSingleSelect = 0;
        return;
    }
    if (command)
        guiWingCommand(command);
    else
        gWingStatusTimer = 300;
    gWingMenuOpen = 0;
}

void Escape() {
    if (gLastEscapeFrame == dunFrameCounter - 1) {
        gLastEscapeFrame = dunFrameCounter;
        return;
    }
    if (PlayerLost()) return;
    gLastEscapeFrame = dunFrameCounter;
    if (StationId == 0) {
        guiSwitchToNavKey();
        return;
    }
    if (gMissionEndState == 1) {
        if (gMissionEnding || gFailedAfterSuccess) return;
        if (gTargetTime) gMissionScore -= MissionTimeBonus(gTargetTime, gMissionClock, gTimeScore);
        gMissionEndState = 0;
        guiPopFullScreen();
        if (gGuiSaveListOpen)
            guiSwitchToComKey();
        else
            guiSwitchToNavKey();
        guiStationLock = 0;
        dunFrozen = 0;
        if (gRemoteAtEnd) {
            dunToggleTurretControl(dunPlayerShip, gRemoteAtEnd);
            gGuiFullScreen = 1;
            gRemoteAtEnd = nullptr;
        }
        return;
    }
    if (gMissionEndState != 0) return;
    gWingMenuOpen = gWingSingleSelect = 0;
    gSelectedWingman = -1;
    if (gBriefingOpen) {
        ResetMissionFlags();
    } else if (VideoPlaying) {
        VideoStop();
    } else if (UnderAutopilot()) {
        guiNavStopProgram(nullptr);
    } else if (gStarMapOpen) {
        NavMapOpenClose(0);
    } else if (gMapOverlayOpen) {
        NavMapCloseOverlay(0);
        gGuiSaveListOpen = 0;
        guiMarkRedraw();
    } else if (gObjectivesOpen || gLocalSpaceOpen) {
        guiComToggleObjectives(0);
    } else if (gDocViewerOpen) {
        guiComToggleDocs(0);
    } else if (dunRemoteLinked) {
        dunToggleTurretControl(dunPlayerShip, nullptr);
    } else if (gCinematicView) {
        guiRestoreViewMode();
        guiReturnToScreen();
        gCinematicView = 0;
        gCinematicHold = 0;
    } else if (gRememberedScreen) {
        guiReturnToScreen();
    } else if (gGuiFullScreen) {
        guiLeaveFullScreen();
    }
}

void Quit() {
    if (!gComArmShown || gMissionEndState != 0 || gCurrentMission == 90) guiEndMission();
}

void Message(const char *format, const char *name) {
    static char text[96];
    std::snprintf(text, sizeof text, format, name ? name : "");
    guiDisplayMessage(text, 200);
}

void CheatDock() {
    SceneItem *partner = dunNavigationTarget;
    if (!partner) {
        partner = dunCurrentContactObject();
        if (partner) dunNavigationTarget = partner;
    }
    SceneItem *player = dunPlayerShip;
    if (!partner || !player) return;
    DockingPort *p = dunGetDockingPort(partner, 0);
    DockingPort *rear = dunGetDockingPort(player, 1);
    DockingPort *q = rear && rear->position.z < 0.0f ? rear : dunGetDockingPort(player, 0);
    if (!p || !q) return;
    p->flags |= PortFlag::Open;
    q->flags |= PortFlag::Open;
    dunDockShips(partner, player, p, q, 0);
}

void DestroyContact() {
    SceneItem *contact = dunCurrentContactObject();
    if (!contact || !contact->sim) return;
    DamageRecord record = {};
    record.point = {contact->sim->matrix.m[12], contact->sim->matrix.m[13], contact->sim->matrix.m[14]};
    dunRecordDestruction(contact, &record);
    EventCameraTrigger(contact, nullptr, 5);
    dunPostDamageRecord(contact->receiverId, contact->receiverId, 25, MsgDestroyed, &record);
}

void AssumeVelocity() {
    SceneItem *contact = dunCurrentContactObject();
    Sim *p = dunPlayerShip ? dunPlayerShip->sim : nullptr;
    if (!contact || !contact->sim || !p) return;
    const Sim *c = contact->sim;
    if (!(c->flags & SimFlag::Lds)) {
        p->velocity = c->velocity;
        return;
    }
    p->flags |= SimFlag::Lds;
    p->matrix = c->matrix;
    p->position = {c->matrix.m[12], c->matrix.m[13], c->matrix.m[14]};
}

void JumpToContact() {
    SceneItem *contact = dunCurrentContactObject();
    SceneItem *o = dunControlledObject;
    if (!contact || !contact->sim || !o || !o->sim) return;
    float theirs = contact->sim->radius;
    if (contact->avatar && (contact->avatar->flags & AvatarFlag::PlanetBody)) theirs *= dunBodyWorldScale;
    const float back = 2.0f * o->sim->radius + 2.0f * theirs;
    const float *f = &o->sim->matrix.m[8];
    Sim *s = o->sim;
    s->position = {contact->sim->position.x - f[0] * back, contact->sim->position.y - f[1] * back,
                   contact->sim->position.z - f[2] * back};
    s->matrix.m[12] = float(s->position.x);
    s->matrix.m[13] = float(s->position.y);
    s->matrix.m[14] = float(s->position.z);
    dunCopySimToModel(o);
}

void DirectorMode() {
    if (PlayerLost()) return;
    if (guiStationLock && gCinematicView) {
        gCinematicView = 0;
    } else if (gCinematicView) {
        guiRestoreViewMode();
        gCinematicView = 0;
    } else if (Debug()) {
        if (StationId != 2) guiSwitchToNavKey();
        guiSaveViewState();
        guiRememberScreen();
        guiEnterFullScreen();
        gCinematicView = 1;
        gCinematicHold = 0;
    }
}

void Zoom() {
    if (StationId == kEng) return;
    if (gZoomValue == 0.0f) {
        gZoomReturn = gGuiFullScreen ? 0 : 1;
        guiEnterFullScreen();
    }
    if (!gGuiFullScreen) return;
    gZoomValue = gZoomValue == 0.0f ? 1.0f : 0.0f;
    SoundPlay(gZoomValue == 1.0f ? 64 : 65, 0, 0, 0, 0);
}

void InstantShield() {
    SceneItem *o = dunControlledObject;
    Sim *s = ControlledSim();
    if (!s || !s->shipInfo || s->shipInfo->typeCode != 0) return;
    if (s->flags & SimFlag::TimedState) {
        s->flags &= ~SimFlag::TimedState;
        return;
    }
    if (dunPlayerShip && dunPlayerShip->sim && dunPlayerShip->sim->weaponCount >= 2) {
        dunMsgPost(o->receiverId, o->receiverId, 0, MsgTimedStateOn, 0, nullptr);
        SoundPlay(62, 0, 0, 0, 0);
    }
}

void LastMessage() {
    if (!dunSkipDialogueLine()) {
        uint8_t colour = 1;
        if (const char *text = MissionLogPrev(&colour)) guiPostFeedText(text, colour);
    }
}

void Run(uint16_t command, uint8_t scan) {
    switch (command) {
    case R_THR_INC:
    case R_THR_DEC: {
        const Sim *s = ControlledSim();
        if (s && s->setSpeed == 0.0f && WasHeld(scan)) return;
        if (command == R_THR_INC)
            guiThrottleUp();
        else
            guiThrottleDown();
        return;
    }
    case R_FLMODE_CTHR: guiFlightModeCThr(); return;
    case R_FLMODE_FTHR: guiFlightModeFThr(); return;
    case R_LDS_TOGGLE: guiNavToggleLds(nullptr); return;
    case R_UNDOCK: guiNavUndock(nullptr); return;
    case R_CMD_SEP:
        if (guiNavDetachAllowed)
            guiNavDetachCommandSection(nullptr);
        else if (const char *text = ScriptTextSlot(64))
            guiDisplayMessage(text, 200);
        return;
    case R_TOGGLE_ROLLYAW:
        // The option takes the flipped swap and sets the swap from it, so
        // that the choice is saved; the stick's swap button may have
        // flipped the swap since the option last set it.
        if (const OptionRecord *axis = FindOption("joystick_axis"))
            frontSetOptionByName(OptionStoredName(*axis).c_str(), dunAxisSwap ? 0.0f : 1.0f);
        frontSaveOptions(kSettingsFile);
        return;
    case R_CYCLE_VIEW: dunCycleViewMode(); return;
    case R_AUTO_STOP:
        if (PlayerLost()) return;
        if (gWingMenuOpen) {
            gWingMenuOpen = 0;
            return;
        }
        Program(0, 56);
        return;
    case R_AUTO_APPROACH: Autopilot(1, 1, 57); return;
    case R_AUTO_FORMATE: Autopilot(2, 2, 58); return;
    case R_AUTO_DOCK: Autopilot(3, 3, 59); return;
    case R_AUTO_MATCHV: Autopilot(4, 8, 61); return;
    case R_AUTO_CANCEL:
        if (!PlayerLost() && !gWingMenuOpen) guiNavStopProgram(nullptr);
        return;
    case R_CYCLE_CFILTER: guiCycleContactFilter(); return;
    case R_PREV_CONTACT:
    case R_NEXT_CONTACT:
        if (StationId == kEng)
            guiEngStepSelection(command == R_PREV_CONTACT ? -1 : 1);
        else
            StepContact(command == R_PREV_CONTACT);
        return;
    case R_TARG_XHAIR: dunTargetLockSound(); return;
    case R_TARG_LAST_ENG: {
        SceneItem *attacker = dunPlayerShip && dunPlayerShip->avatar ? dunPlayerShip->avatar->attacker : nullptr;
        if (!dunCurrentContactObject() || !attacker) return;
        TargetContact(attacker);
        dunSelectTarget(attacker);
        return;
    }
    case R_TARG_NEAREST:
    case R_TARG_NEAR_WEP:
    case R_TARG_NEXT_ENEMY: {
        SceneItem *found = command == R_TARG_NEAREST     ? dunNearestTargetBySide(dunControlledObject)
                           : command == R_TARG_NEAR_WEP ? dunNearestEnemyContact()
                                                        : dunNearestEnemyShipContact();
        if (!found) return;
        dunSelectTarget(found);
        SetTarget(found);
        return;
    }
    case R_MAKE_CONTACT_TARG:
        if (SceneItem *contact = dunCurrentContactObject()) SetTarget(contact);
        return;
    case R_ENG_SYS_U:
    case R_ENG_SYS_D:
    case R_ENG_SYS_L:
    case R_ENG_SYS_R:
        if (StationId == kEng) guiEngMoveSelection(command - R_ENG_SYS_U);
        return;
    case R_REMOTE_LINK:
        if (StationId != kCom) guiSwitchToComKey();
        guiOpenRemoteLink();
        return;
    case R_FIRE:
        if (!BriefingHold()) {
            guiWepFire();
            return;
        }
        guiResetTextFeed();
        gBriefingSkip = 1;
        gBriefingTextShown = 0;
        return;
    case R_SELECT_PBC: guiWepSelectPbc(0); return;
    case R_SELECT_MISSILE: guiWepSelectMissile(0); return;
    case R_TOGGLE_RAPID:
    case R_TOGGLE_RAPID_2: guiWepToggleRapid(); return;
    case R_INSTANT_SHIELD: InstantShield(); return;
    case R_LDSI_MISSILE:
        if (const Sim *s = ControlledSim(); s && s->target) dunFireLDSI(dunControlledObject, s->target);
        return;
    case R_FLARE: dunDropECMFlare(dunControlledObject); return;
    case R_SEL_CMD:
        if (!guiStationLock) guiSwitchToComKey();
        return;
    case R_SEL_NAV:
        if (!guiStationLock) guiSwitchToNavKey();
        return;
    case R_SEL_WEP:
        if (!guiStationLock) guiSwitchToWepKey();
        return;
    case R_SEL_ENG:
        if (!guiStationLock) guiSwitchToEngKey();
        return;
    case R_TOGGLE_HUD:
        if (StationId != kEng) hudToggleOpen();
        return;
    case R_TOGGLE_WEP_FWDTRK:
        if (StationId == kWep) guiWepToggleForwardTrack();
        return;
    case R_CYCLE_ORBMODE: gOrbitViewMode = (gOrbitViewMode + 1) % 3; return;
    case R_TOGGLE_FULLSCREEN:
        if (StationId == 0) return;
        if (!BriefingHold() && !guiStationLock) guiToggleFullScreen();
        gCinematicView = 0;
        gCinematicCompanion = 0;
        return;
    case R_CYCLE_CAMERA:
        if (gGuiFullScreen && StationId != kWep && !guiStationLock) guiCycleCamera(gCurrentCamera);
        return;
    case R_DROP_CAMERA: guiDropCamera(); return;
    case R_DIRECTOR_MODE: DirectorMode(); return;
    case R_DISPLAY_OBJECTIVE: dunAnnounceObjective(); return;
    case R_LAST_MESSAGE: LastMessage(); return;
    case R_LAST_VIDEO: VideoPlaying = PlayVideo(VideoLastName()) ? 1 : 0; return;
    case R_NEXT_MESSAGE: {
        uint8_t colour = 1;
        if (const char *text = MissionLogNext(&colour)) guiPostFeedText(text, colour);
        return;
    }
    case R_WINGMAN_STATUS: Wingman(0, 0, 0); return;
    case R_WINGMAN_FORMATE: Wingman(1, 1, 1); return;
    case R_WINGMAN_ATTACK: Wingman(2, 2, 2); return;
    case R_WINGMAN_DEFEND: Wingman(3, 3, 3); return;
    case R_WINGMAN_FORMATE_T: Wingman(-1, 4, 4); return;
    case R_WINGMAN_HALT: Wingman(-1, 5, 5); return;
    case R_WINGMAN_RETREAT: Wingman(-1, 6, 6); return;
    case R_WINGMAN_DOCK: Wingman(-1, 8, 7); return;
    case R_WINGMAN_MENU:
        gWingMenuOpen = gWingMenuOpen ? 0 : 1;
        gSelectedWingman = -1;
        gWingSingleSelect = 0;
        return;
    case R_WINGMAN_SINGLE:
        gWingSingleSelect = gWingSingleSelect ? 0 : 1;
        gSelectedWingman = -1;
        gWingMenuOpen = 0;
        return;
    case R_OPTIONS:
        if (StationId == kOptions)
            guiSaveSettings();
        else
            guiSwitchToOptions();
        return;
    case R_QUIT: Quit(); return;
    case R_ESCAPE: Escape(); return;
    case R_ACCEL_TIME:
        if (!Debug()) return;
        dunTimeScale *= 2.0f;
        if (dunTimeScale > 16.0f) dunTimeScale = 1.0f;
        return;
    case R_CANCEL_ACCEL_TIME: dunTimeScale = 1.0f; return;
    case R_PAUSE:
        if (gMissionEndState != 0) return;
        gPaused = gPaused ? 0 : 1;
        if (gPaused) guiPauseScreen();
        return;
    case R_COMARM_CANCEL:
        if (gComArmShown) guiToggleComArm();
        return;
    case R_SAVE_SCREEN: gScreenshotRequest = 1; return;
    case R_CENTRE_TRI:
        if (!dunRemoteLinked) dunResetPowerShares();
        return;
    case R_DEBUG_THING_UP: P3DDimSkySphere(); return;
    case R_DEBUG_THING_DN: P3DBrightenSkySphere(); return;
    case R_ZOOM_IN: Zoom(); return;
    case R_JUMP_TO_CONTACT:
    case R_DEBUG_SCRIPT:
    case R_PROFILE:
        if (gWingMenuOpen) {
            guiWingCommand(command == R_JUMP_TO_CONTACT ? 8 : command == R_DEBUG_SCRIPT ? 6 : 5);
            gWingMenuOpen = 0;
            return;
        }
        break;
    default: break;
    }
    if (!Debug()) return;
    switch (command) {
    case R_EXPLODE_PLAYER:
        if (dunPlayerShip) {
            EventCameraTrigger(dunPlayerShip, nullptr, 5);
            const DamageRecord none = {};
            dunPostDamageRecord(dunPlayerShip->receiverId, dunPlayerShip->receiverId, 50, MsgDestroyed, &none);
        }
        return;
    case R_SCRIPT_CONT: gScriptSkip = 1; return;
    case R_PLAYER_INDESTRUCT:
        if (Sim *s = ControlledSim()) {
            s->flags ^= SimFlag::Protected;
            const char *name = s->shipInfo ? s->shipInfo->name : nullptr;
            Message(s->flags & SimFlag::Protected ? "%s now indestructible" : "%s now destructible", name);
        }
        return;
    case R_CAPSULE_JUMP: guiCapsuleJump(nullptr); return;
    case R_CHOOSE_FONT:
        for (int n = 0; n < 3; ++n) ScrollModelTexture(n, gTextureScrollStep);
        return;
    case R_SAVE_MOVIE: gFixedStep = gFixedStep ? 0 : 1; return;
    case R_FORCE_SUCCESS:
        dunMissionSuccess = 0xFF;
        gMissionOutcome = int16_t(gMissionOutcome == 1 ? 2 : 1);
        dunMissionEndCountdown = 500;
        guiPostFeedText("Success!!!", 1);
        return;
    case R_DETECT_INFINIITE: dunDetectInfinite = dunDetectInfinite ? 0 : 1; return;
    case R_CHEAT_DOCK: CheatDock(); return;
    case R_DESTROY_CONTACT: DestroyContact(); return;
    case R_ASSUME_VEL: AssumeVelocity(); return;
    case R_JUMP_TO_CONTACT: JumpToContact(); return;
    case R_DEBUG_SCRIPT: gDebugReadout = (gDebugReadout + 1) % 4; return;
    case R_PROFILE: gProfilerDisplay = gProfilerDisplay ? 0 : 1; return;
    case R_FREEZE_AI: dunFrozen = dunFrozen ? 0 : 1; return;
    case R_TEST_DIALOGUE: SelectNextScriptFont(); return;
    case R_REPAIR_SHIP: dunRestoreAllComponents(); return;
    case R_BODY_COUNT: {
        char text[32];
        std::snprintf(text, sizeof text, "Bodycount %i", int(dunDeletedObjectCount));
        guiPostFeedText(text, 1);
        return;
    }
    default: return;
    }
}

bool IsGateKey(uint8_t scan) {
    return scan == Scan::F1 || scan == Scan::F2 || scan == Scan::F3 || scan == Scan::F4 || scan == Scan::Esc ||
           scan == Scan::Q || scan == Scan::P;
}

bool IsFunctionKey(uint8_t scan) {
    return scan == Scan::F1 || scan == Scan::F2 || scan == Scan::F3 || scan == Scan::F4;
}

}  // namespace

void guiCockpitKeyHandler(uint16_t key) {
    const uint8_t scan = uint8_t(key >> 8);
    const bool shift = Held(Scan::LeftShift);
    // 1. The wait at a mission's end in director mode.
    if (guiDirectorMode() && (PlayerLost() || gMissionEnding || gFailedAfterSuccess)) {
        if (gBriefingOpen) {
            ResetMissionFlags();
        } else {
            gMissionEndState = 2;
            guiEndMission();
        }
        return;
    }
    // 2. The star map takes its keys first.
    if (gStarMapOpen || gSolarMapOpen) {
        if (!shift && NavMapKeyHandler(key)) return;
        if (!IsGateKey(scan) || scan == Scan::P) return;
    }
    // 3. The document viewer.
    if (gDocViewerOpen) {
        if (shift && scan == Scan::Q) {
            guiComToggleDocs(0);
            if (!(gComArmShown && gMissionEndState == 0)) guiEndMission();
            return;
        }
        if (scan == Scan::Esc) {
            guiComToggleDocs(0);
            gLastEscapeFrame = dunFrameCounter;
        } else if (IsFunctionKey(scan)) {
            guiComToggleDocs(0);
        } else if (scan == Scan::Up) {
            if (gDocViewer.upArrow) docScrollBy(-4);
        } else if (scan == Scan::Down) {
            if (gDocViewer.downArrow) docScrollBy(4);
        }
        if (gDocViewerOpen) return;
    }
    // 4. The gate.
    const bool flying = !BriefingHold() && StationId != 0;
    if (!flying && !((!shift || scan == Scan::Q) && IsGateKey(scan))) return;
    // 5. The checkpoint list.
    if (gGuiSaveListOpen) {
        if (scan == Scan::Enter || scan == Scan::Esc) {
            gGuiChosenCheckpoint = -1;
            gGuiSaveListOpen = 0;
            guiStationLock = 0;
            // Without a checkpoint the mission goes on from its start.
            gRestorePending = 0;
        }
        return;
    }
    // 6. The binding.
    if (scan == Scan::LeftShift || scan == Scan::LeftCtrl) return;
    const int modifier = Held(Scan::LeftCtrl) ? 2 : shift ? 1 : 0;
    const uint16_t command = KeyBindingTable[modifier][scan];
    if ((gMissionEndState != 0 || PlayerLost()) && command != R_QUIT && command != R_ESCAPE &&
        command != R_SAVE_SCREEN)
        return;
    // 7. The command; 8. a wing menu open as the key came is closed after it.
    const bool menuWasOpen = gWingMenuOpen;
    Run(command, scan);
    if (menuWasOpen) gWingMenuOpen = 0;
}

void guiCycleContactFilter() {
    if (gObjectivesOpen || gLocalSpaceOpen) return;
    int32_t f = dunContactFilter + 1;
    if (f > 7) f = 0;
    if (f >= 3) f = 7;
    dunContactFilter = f;
    dunContactFilterChanged();
}

void guiWingCommand(int code) { dunai_CommandWing(dunPlayerShip, code); }

void guiCycleViewMode() { gGuiViewModeToggle = gGuiViewModeToggle ? 0 : 1; }

void guiHatAction() {
    const uint16_t code = dunHatBits;
    if (code == gHatPrevious)
        gHatHold = uint16_t(gHatHold + dunFrameStep);
    else
        gHatHold = 0;
    gHatPrevious = code;
    if (gHatHold != 0 && gHatHold < 31) return;
    switch (code) {
    case 1: StepContact(true); return;
    case 4: StepContact(false); return;
    case 2:
        if (SceneItem *contact = dunCurrentContactObject()) TargetContact(contact);
        return;
    case 8: guiCycleContactFilter(); return;
    default: return;
    }
}
