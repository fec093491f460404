// The object statements the ships stand on: creating script objects and
// cameras, placement (absolute and relative), and PLAYER.
#include <cmath>
#include <cstring>

#include "RES/util.h"
#include "ai/brain.h"
#include "core/options.h"
#include "present/cameras.h"
#include "present/scene.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objects.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/engineering.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/step.h"

SceneItem *gPlacementReference;

// ---- Creation and placement -----------------------------------------------------------

SceneItem *CreateScriptObject(void *model, ControlRoutine control, SimulatorRoutine simulator) {
    SceneItem *o = dunCreateSceneItem();
    dunLinkSceneItem(o, 0);
    dunSetMessageHandler(o, dunHandleMessages);
    dunSetControlRoutine(o, control);
    Sim *s = dunAttachSim(o, simulator);
    dunSetDrawRoutines(o, dunCopySimToModel, P3DUpdatePresentation);
    s->mass = 8500.0f;
    s->speed = 0.0f;
    o->avatar->contactHandler = dunCollideShips;
    TDP *root = dunAttachTDP(o);
    root->model = model;
    root->flags |= TDPFlag::HasActor;
    P3DAddToScene(root, model, 0, 0);
    dunRefreshModelRadius(root);
    dunUpdateNodeTransforms(o);
    dunComputeObjectRadius(o);
    return o;
}

void ApplyPlacementMode(double *x, double *y, double *z) {
    if (gPlacementMode) {
        *x -= WorldOriginOffset.x;
        *y -= WorldOriginOffset.y;
        *z -= WorldOriginOffset.z;
        return;
    }
    const SceneItem *r = gPlacementReference;
    if (!r) return;
    if (r->sim) {
        *x += r->sim->matrix.m[12];
        *y += r->sim->matrix.m[13];
        *z += r->sim->matrix.m[14];
    } else if (r->avatar) {
        *x += r->avatar->position.x;
        *y += r->avatar->position.y;
        *z += r->avatar->position.z;
    }
}

namespace {
float Radius(const SceneItem *o) { return o->sim ? o->sim->radius : 0.0f; }
}  // namespace

void SetScriptObjectPosition(SceneItem *o, double x, double y, double z) {
    if (!o->sim) return;
    o->sim->position = {x, y, z};
    o->sim->matrix.m[12] = float(x);
    o->sim->matrix.m[13] = float(y);
    o->sim->matrix.m[14] = float(z);
}

void PushClearOfShips(SceneItem *item) {
    if (!item || !item->sim || !item->avatar) return;
    if ((item->avatar->flags16 & AvatarState::GravityBody) && item->avatar->contactHandler == dunContactGravityBody)
        return;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *other = head->next; other && other != head; other = other->next) {
        if (other == item || !other->sim || !other->sim->shipInfo) continue;
        const double clearance = 1.5 * Radius(other) + 1.5 * Radius(item);
        const Vec3d &p = item->sim->position, &q = other->sim->position;
        const double dx = p.x - q.x, dy = p.y - q.y, dz = p.z - q.z;
        const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (d >= clearance || d == 0.0) continue;
        const double k = clearance / d;
        SetScriptObjectPosition(item, p.x + dx * k, p.y + dy * k, p.z + dz * k);
    }
}


SceneItem *CreateScriptCamera(SceneItem *target, ControlRoutine control) {
    SceneItem *o = dunCreateSceneItem();
    dunLinkSceneItem(o, SceneFlag::Appended);
    dunSetMessageHandler(o, dunHandleMessages);
    dunSetControlRoutine(o, control);
    dunAttachSim(o, nullptr);
    dunSetDrawRoutines(o, dunCopySimToModel, P3DUpdatePresentation);
    o->avatar->cameraTarget = target;
    o->avatar->cameraDistance[0] = 7500;
    o->avatar->cameraDistance[1] = 900;
    TDP *root = dunAttachTDP(o);
    root->flags = (root->flags | TDPFlag::HasActor) & ~TDPFlag::Collidable;
    o->flags |= SceneFlag::LateControl | SceneFlag::SparedBySystemClear;
    return o;
}

namespace {

ShipInfo *ShipOf(SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

void StAbsolute(ScriptRun &) { gPlacementMode = 0xFF; }

void StRelative(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, true);
    gPlacementMode = 0;
    if (o) gPlacementReference = o;
}

// The camera keywords: their routine and the slot the camera fills.
enum Slot { PlayerSlot, WeaponSlot, ViewSlot, SpareSlot };
struct CameraRow {
    ControlRoutine routine;
    Slot slot;
};
const CameraRow kCameras[] = {{dunNullRoutine, PlayerSlot}, {CameraTrack, SpareSlot},   {CameraChase, WeaponSlot},
                              {CameraPlayer, PlayerSlot},   {CameraContact, ViewSlot}, {CameraChase, SpareSlot},
                              {CameraWeapon, PlayerSlot}};
constexpr uint32_t kCamFirst = 174, kCamLast = 180;

void StCamera(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    const CameraRow &row = kCameras[KeywordInRange(run, kCamFirst, kCamLast)];
    SceneItem *target = DecodeObjectOperand(run, false);
    double x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    const ControlRoutine routine = std::strcmp(symbol->name, "CamWep") == 0 ? CameraWeapon : row.routine;
    if (!target) return;
    SceneItem *camera = CreateScriptCamera(target, routine);
    ApplyPlacementMode(&x, &y, &z);
    SetScriptObjectPosition(camera, x, y, z);
    dunCopySimToModel(camera);
    ScriptSetSymbolObject(symbol, camera);
    camera->linkRecord = symbol;
    gLastScriptCamera = camera;
    switch (row.slot) {
    case PlayerSlot: dunPlayerCamera = camera; break;
    case WeaponSlot: dunWeaponCamera = camera; break;
    case ViewSlot: dunViewCamera = camera; break;
    case SpareSlot: break;
    }
    if (routine == CameraWeapon) dunWeaponCamera = camera;
}

// PLAYER (an object statement): the object becomes the player's ship.
void StPlayer(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, true);
    if (!o) return;
    dunPlayerShip = dunEngineeringShip = dunControlledObject = gPlacementReference = o;
    ScriptSetSymbolObject(gSymGleamHead, o);
    ScriptSetSymbolObject(gSymGleamBody, o);
    if (o->sim) o->sim->flightMode = 1;
    o->control = dunControlPlayer;
    dunResetEngineering();
    dunMissionSuccess = 0;
    gFailedAfterSuccess = 0;
    gVitalLost = 0;
    dunMissionEndWord = 0;
    gMissionScore = 0;
    // The hook only when the mission has the film: each takes an Action of
    // a small pool.
    if (const void *video = GetScriptSymbolValue("SS209Vid")) {
        HookActionRef action;
        action.video = static_cast<const ResourceHandle *>(video);
        dunAddEventHook(o, 0, 2, action);
    }
    if (ShipInfo *s = ShipOf(o)) s->accuracy = 75;
    if (optDirector && ShipOf(o)) {
        ShipOf(o)->programLabel = "Player Demo Attack";
        dunai_SetOrder(o, 1, nullptr, 0, 0, 1, dunai_EvalDefault, 80, 0);
        dunai_SetOrderState(o, 1, 34, 0, 0, 0);
        dunai_StartOrder(o, 1);
        o->sim->flags |= SimFlag::Autopilot;
    }
}

}  // namespace

SceneItem *gLastScriptCamera;

const ScriptStatementRow kObjectStatements[] = {
    {98, StAbsolute}, {99, StRelative}, {109, StPlayer}, {129, StCamera}, {0, nullptr},
};
