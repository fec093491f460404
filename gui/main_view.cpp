// The main view window's choice of display: blank frames around screen
// changes, the document viewer, the weapons station's mounts, the local-space
// viewer, the objectives, or the ordinary cockpit view.
#include "gui/main_view.h"

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "gui/docviewer.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/window.h"
#include "platform/display.h"
#include "present/lspace.h"
#include "present/views.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/records.h"

uint16_t gGuiBlankFrames;

namespace {

void Blank(GuiWindow *window) {
    if (Surface *s = guiScreen())
        FillRect(s, 0, window->rect[0], window->rect[1], window->rect[2], window->rect[3]);
    if (gGuiBlankFrames > 0) --gGuiBlankFrames;
    if (gGuiBlankFrames == 0) {
        static ResourceHandle *palette = static_cast<ResourceHandle *>(GetScriptSymbolValue("BRFPalette"));
        if (palette)
            if (const auto *entries = static_cast<const uint8_t *>(resmanLoad(palette))) DisplaySetPalette(entries);
    }
}

void Document(GuiWindow *window) {
    guiRunViewPane(window, P3DDrawViewWindow);
    const ClipRect r{window->rect[0], window->rect[1], window->rect[2], window->rect[3]};
    if (Surface *s = guiScreen()) docDrawViewer(s, &r);
}

void Hardpoints(GuiWindow *window) { guiRunViewPane(window, WeaponHardpointsDraw); }
void LocalSpace(GuiWindow *window) { guiRunViewPane(window, LSpaceViewerDraw); }

}  // namespace

const MainViewRoutines kMainViewRoutines = {Blank,      Document,          Hardpoints,         guiDrawMainViewPane,
                                            LocalSpace, guiDrawMainViewPane, guiDrawRemoteLabel};
MainViewRoutines gMainViewRoutines = kMainViewRoutines;

void MainViewDraw(GuiWindow *window) {
    if (!window) return;
    const MainViewRoutines &r = gMainViewRoutines;
    if (gGuiBlankFrames > 0) {
        r.blank(window);
        guiMarkOverlapping(window);
        return;
    }
    if (!guiIsStationView(window)) {
        // A pane beside the station's own view (the weapons station's
        // camera window) shows the weapon mounts, or the scene: the HUD, the
        // feed and the full-window displays are that view's.
        if (StationId == 3 && gGuiWeaponsHardpointView) {
            r.hardpoints(window);
            guiMarkOverlapping(window);
        } else {
            r.pane(window);
        }
        return;
    }
    if (gDocViewerOpen) {
        r.document(window);
        guiMarkOverlapping(window);
        return;
    }
    if (StationId == 3 && gGuiWeaponsHardpointView) {
        r.hardpoints(window);
        r.remoteLabel(window);
        guiMarkOverlapping(window);
        return;
    }
    if (gObjectivesOpen) {
        // The pane shows the objectives list in place of the scene.
        r.objectives(window);
        guiMarkOverlapping(window);
        return;
    }
    if (!gLocalSpaceOpen) {
        r.pane(window);
        r.remoteLabel(window);
        return;
    }
    r.localSpace(window);
    r.remoteLabel(window);
    guiMarkOverlapping(window);
}

void LSpaceViewerShow() {
    gLocalSpaceOpen = 1;
    SceneItem *target = dunPlayerShip && dunPlayerShip->sim ? dunPlayerShip->sim->goal : nullptr;
    LSpaceSetTarget(target ? target : dunPlayerShip);
}

void LSpaceViewerResetCommand() {
    LSpaceViewerReset();
    LSpaceSetTarget(dunPlayerShip);
}
