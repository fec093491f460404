// Remote control of a turret: the player flies the turret while the ship
// idles or follows its autopilot, within a leash of 1.2e7.
#include "RES/resman.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "platform/display.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"

SceneItem *dunRemoteLinked = nullptr;
int32_t dunRemoteState = 0;
uint32_t dunRemoteTime = 0;

namespace {

ControlRoutine savedPlayerControl = nullptr;
ControlRoutine savedTurretControl = nullptr;
PaletteEntries formerPalette = nullptr;

// The script's "REMPalette"; the resource manager loads it once and keeps it.
PaletteEntries remotePalette() {
    auto *handle = static_cast<ResourceHandle *>(dunCall(dunScript().symbolValue, "REMPalette"));
    return handle ? static_cast<PaletteEntries>(resmanLoad(handle)) : nullptr;
}

void showRemotePalette() {
    if (PaletteEntries palette = remotePalette()) DisplaySetPalette(palette);
}

void refused(int text) {
    dunRemoteState = 3;
    dunCall(dunGui().showCockpitText, text, 200);
}

}  // namespace

void dunToggleTurretControl(SceneItem *player, SceneItem *turret) {
    if (dunRemoteLinked) {
        dunLeaveRemoteControl();
        dunRemoteState = 3;
        dunCall(dunGui().showCockpitText, 3, 200);
        return;
    }
    if (!player || !player->sim || !turret || !turret->sim || !turret->sim->shipInfo ||
        !(turret->sim->flags & SimFlag::RemoteControllable) || (player->sim->flags & SimFlag::AiPaused)) {
        refused(1);
        return;
    }
    if (dunCall(dunGui().remoteBlocked)) {
        dunCall(dunGui().showCockpitText, 4, 200);
        return;
    }
    dunCall(dunGui().remoteView, 1);
    savedPlayerControl = player->control;
    savedTurretControl = turret->control;
    dunRemoteLinked = turret;
    dunCall(dunPresent().setCameraSubject, turret);
    dunControlledObject = turret;
    player->control = dunControlWhileRemote;
    turret->control = dunControlPlayer;
    turret->sim->flightMode = 1;
    dunRemoteState = 1;
    dunCall(dunGui().showCockpitText, 2, 200);
    dunRemoteTime = dunGameClock;
    formerPalette = LastPalette;
    showRemotePalette();
    if (!(player->sim->flags & SimFlag::Autopilot)) {
        dunCall(dunAi().setOrder, player, 1, "Turret", 0, 0, nullptr);
        player->sim->goal = nullptr;
        player->sim->target = nullptr;
        player->sim->flags |= SimFlag::Autopilot;
        dunCall(dunScript().createWaypoint, player->sim->position.x, player->sim->position.y, player->sim->position.z,
                int(player->systemNumber), "Controller");
    }
}

void dunLeaveRemoteControl() {
    SceneItem *turret = dunRemoteLinked;
    if (!turret) return;
    dunRemoteLinked = nullptr;
    // A player's ship lost meanwhile left remains that were never ours.
    if (dunPlayerShip && dunPlayerShip->control == dunControlWhileRemote) dunPlayerShip->control = savedPlayerControl;
    // A turret deleted meanwhile keeps no routine of ours.
    if (turret->flags & SceneFlag::InUse) turret->control = savedTurretControl;
    dunControlledObject = dunPlayerShip;
    dunCall(dunPresent().setCameraSubject, dunPlayerShip);
    dunCall(dunGui().remoteView, 0);
    if (formerPalette) DisplaySetPalette(formerPalette);
    dunCall(dunGui().redrawCockpit);
}

void dunControlWhileRemote(SceneItem *player) {
    Sim *s = player->sim;
    SceneItem *turret = dunRemoteLinked;
    if (!s) return;
    if (turret && turret->sim && ObjectDistance(player, turret, nullptr) > 1.2e7) {
        dunLeaveRemoteControl();
        dunRemoteState = 3;
        dunCall(dunGui().showCockpitText, 4, 200);
        return;
    }
    if (!(s->flags & SimFlag::Autopilot)) {
        dunCall(dunAi().idleFlight, player);
        return;
    }
    dunCall(dunAi().think, player);
    dunCall(dunAi().updateWeapons, player);
    MatTransformPoint(s->bodyVelocity, s->velocity, s->matrix);
}

void dunRefreshRemoteView() {
    dunCall(dunGui().clearScreen);
    showRemotePalette();
}
