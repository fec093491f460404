// The command station "COM": its panels and their mutual exclusion, the
// briefing replay, the remote link, the checkpoint pick, the load-out
// buttons and the weapon-arc mirror; the navigation map's windows are bound
// at the end of its build.
#include "ai/contacts.h"
#include "core/frame.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/main_view.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "gui/window.h"
#include "hud/maps.h"
#include "platform/sound.h"
#include "present/lspace.h"
#include "script/briefing.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// The codes of the arc directions; the code at i mirrors the one at 10 - i.
constexpr uint16_t kArcCodes[11] = {1, 2, 8, 3, 7, 9, 7, 3, 6, 4, 5};

bool PickerPending() { return gGuiSaveListOpen != 0; }

void CloseOthers() {
    if (gBriefingOpen) ResetMissionFlags();
    NavMapCloseIfOpen();
    NavMapCloseOverlay(0);
    gGuiSaveListOpen = 0;
}

void Docs(GuiWindow *) { guiComToggleDocs(!gDocViewerOpen); }
void Objectives(GuiWindow *) { guiComToggleObjectives(!gObjectivesOpen); }
void LocalView(GuiWindow *) { guiComToggleLocalView(!gLocalSpaceOpen); }
void StarMap(GuiWindow *) { NavMapOpenClose(0); }
void Overlay(GuiWindow *) { NavMapToggle(); }
void RemoteLink(GuiWindow *) { guiOpenRemoteLink(); }
void MirrorArcs(GuiWindow *) { guiMirrorPlayerArcs(); }

bool MissionHasBriefing() {
    return gBriefingNumber >= 0 && gBriefingNumber < kBriefingCount && gBriefingDeclare[gBriefingNumber] != 0;
}

void Briefing(GuiWindow *) {
    if (PickerPending()) return;
    if (gBriefingOpen) {
        ResetMissionFlags();
        gBriefingSkip = 1;
        return;
    }
    if (!MissionHasBriefing()) return;
    // The arm goes at once, without its closing film.
    if (gGuiComArmOpen) guiCloseComArmVideos();
    gDocViewerOpen = gLocalSpaceOpen = gObjectivesOpen = 0;
    NavMapCloseIfOpen();
    NavMapCloseOverlay(0);
    gGuiSaveListOpen = 0;
    dunClearDialogue();
    gBriefingOpen = 1;
    gBriefingStop = 0;
    // The script's next turn enters the briefing routine.
    gBriefingRequest = 1;
    if (gGuiMainView) guiReload(gGuiMainView);
    guiMarkRedraw();
}

void Checkpoint(GuiWindow *) {
    if (!PickerPending()) return;
    if (gGuiSaveChosen >= 0 && gGuiSaveChosen < gGuiSaveCount)
        gGuiChosenCheckpoint = int16_t(gGuiSaveIds[gGuiSaveChosen]);
    if (gGuiChosenCheckpoint < 0) return;
    const int chosen = gGuiChosenCheckpoint;
    gGuiSaveListOpen = 0;
    dunRunMissionStart(chosen);
}

void ViewPress(GuiWindow *w) {
    if (gDocViewerOpen && w) docFollowLink();
}

void Quit(GuiWindow *) {
    guiCloseComArmVideos();
    guiSetScreen("CMDStand");
    StationId = 0;
    dunFrozen = 1;
    SoundPlay(13, 0, 0, 0, 0);
}

}  // namespace

void guiComToggleObjectives(int open) {
    if (PickerPending()) return;
    if (open) {
        guiCloseComArm();
        CloseOthers();
        gDocViewerOpen = 0;
        gObjectivesOpen = 1;
        gLocalSpaceOpen = 0;
    } else {
        gObjectivesOpen = 0;
    }
    guiMarkRedraw();
}

void guiComToggleLocalView(int open) {
    if (open) {
        CloseOthers();
        gDocViewerOpen = 0;
        gObjectivesOpen = 0;
        // The viewer looks at the player's target, else at the ship.
        LSpaceViewerShow();
    } else {
        gLocalSpaceOpen = 0;
        LSpaceViewerReset();
    }
    guiMarkRedraw();
}

void guiComToggleDocs(int open) {
    if (PickerPending()) return;
    if (open) {
        guiCloseComArm();
        CloseOthers();
        gLocalSpaceOpen = gObjectivesOpen = 0;
        docOpenHome();
    } else {
        gDocViewerOpen = 0;
    }
}

bool guiRemoteLinkAllowed() {
    return !gBriefingOpen && !gDocViewerOpen && !gStarMapOpen && !gMapOverlayOpen && !gObjectivesOpen &&
           !PickerPending() && dunCurrentContactObject() != nullptr;
}

void guiOpenRemoteLink() {
    if (!guiRemoteLinkAllowed()) return;
    dunToggleTurretControl(dunPlayerShip, dunCurrentContactObject());
    if (gComArmShown) guiCloseComArm();
}

uint16_t guiMirrorArcCode(uint16_t code) {
    const uint16_t low = code & 0xF;
    uint16_t mirrored = 0;
    for (int i = 0; i < 11; ++i)
        if (kArcCodes[i] == low) mirrored |= kArcCodes[10 - i];
    return uint16_t((code & ~0xFu) | mirrored);
}

void guiMirrorPlayerArcs() {
    Sim *s = dunPlayerShip ? dunPlayerShip->sim : nullptr;
    if (!s) return;
    for (Weapon *w = s->weapons; w; w = w->next)
        if ((w->flags & 32) && w->typeNumber < 3 && w->arc < 0.0f) w->mountCode = guiMirrorArcCode(w->mountCode);
    gGuiArcMirror = !gGuiArcMirror;
}

void guiBuildComScreen() {
    guiBindActivate("COMQuit", Quit);
    guiBindActivate("CMDDoc", Docs);
    guiBindActivate("CMDBrief", Briefing);
    guiBindActivate("CMDLocal", LocalView);
    guiBindActivate("CMDGlobal", StarMap);
    guiBindActivate("CMDLd", Overlay);
    guiBindActivate("CMDObjv", Objectives);
    guiBindActivate("LdWinGun", Objectives);
    guiBindActivate("REMLink", RemoteLink);
    if (GuiWindow *w = guiBindActivate("SPoint", Checkpoint)) {
        w->draw = guiDrawSaveList;
        w->visible = &gGuiSaveListOpen;
        w->flags |= GuiFlag::Visibility;
    }
    // The station's view shows the local-space viewer, the objectives and
    // the documents in its place; the remote view is the linked object's.
    if (GuiWindow *w = guiBindDraw("CMDRealV", MainViewDraw)) w->onPress = ViewPress;
    if (GuiWindow *w = guiBindDraw("CMDRemV", guiDrawRemoteLabel)) {
        w->visible = &gGuiRemoteLink;
        w->flags |= GuiFlag::Visibility;
    }
    guiBuildComPanels();
    guiBindActivate("LdBt0", MirrorArcs);
    guiBindActivate("CmComArmOut", [](GuiWindow *) { guiToggleComArm(); });
    NavMapScreenBuild();
}
