// The object statements: symbols and placement mode, the object list's
// flags, creating objects and cameras, placing, moving and turning them,
// the director's camera, effects and model parts; and the support routines
// the rest of the script system uses.
#include <cmath>
#include <cstring>
#include <cstdlib>

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/cameras.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/lwo/lwo.h"
#include "present/model_adjust.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/wireframe.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objects.h"
#include "script/screens.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/lds.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"
#include "world/universe.h"

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
    // The chase law's approach rate (thousandths a second) and least distance.
    o->avatar->lifetimeCounter = 7500;
    o->avatar->cameraMinDistance = 900;
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
    if (ShipInfo *info = optDirector ? ShipOf(o) : nullptr) {
        info->programLabel = "Player Demo Attack";
        dunai_SetOrder(info, 1, 0, 0, 0, 1, dunai_EvalDefault, 80, 0);
        dunai_SetOrderState(info, 1, 34, 0, 0, 0);
        dunai_StartOrder(o, 1);
        o->sim->flags |= SimFlag::Autopilot;
    }
}

constexpr uint32_t kOn = 583, kOff = 584;

// An optional ON/OFF: absent reads as on.
bool SwitchOn(ScriptRun &run) { return OptionalKeywordInRange(run, kOn, kOff) != 1; }

SceneItem *Object(ScriptRun &run) { return DecodeObjectOperand(run, true); }

// The model a model symbol names, loaded.
void *ModelOperand(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::Model | SymKind::MustExist);
    ResourceHandle *h = ScriptSymbolResource(s);
    return h ? resmanLoad(h) : nullptr;
}

// Control routines (codes 161-166) and simulators (168-172), one table.
const ControlRoutine kRoutines[11] = {dunNullRoutine, dunControlPlayer, dunControlTest, dunai_ThinkShip,
                                      dunai_ThinkFree, dunControlFree,  dunStampSim,    dunFlyShip,
                                      dunSimSpin,      dunSimChaos,     dunSimStargate};
constexpr uint32_t kControlNull = 161, kSimNull = 168;


// ---- Symbols and placement mode -------------------------------------------------------------

// The first symbol takes the second one's value.
void CopySymbol(ScriptRun &run, uint32_t kind) {
    ScriptSymbol *to = DecodeSymbolOperand(run, kind);
    ScriptSymbol *from = DecodeSymbolOperand(run, kind | SymKind::MustExist);
    to->value = from->value;
    to->object = from->object;
    to->flags = (to->flags & ~SymFlag::Word) | (from->flags & SymFlag::Word);
}

void CopyScn(ScriptRun &run) { CopySymbol(run, SymKind::SceneItem); }
void CopySym(ScriptRun &run) { CopySymbol(run, SymKind::Any); }

void CopyVar(ScriptRun &run) {
    ScriptSymbol *to = DecodeSymbolOperand(run, SymKind::Any);
    ScriptSymbol *from = DecodeSymbolOperand(run, SymKind::Any | SymKind::MustExist);
    ScriptSetSymbolInt(to, ScriptSymbolInt(from));
}

// ---- Object list and flags --------------------------------------------------------------------

void Passive(ScriptRun &run) {
    if (SceneItem *item = Object(run)) dunMoveNextToCurrent(item);
}

void SimPriority(ScriptRun &run) {
    if (SceneItem *item = Object(run)) dunMoveToFront(item);
}

void Permanent(ScriptRun &run) {
    SceneItem *item = Object(run);
    const bool on = KeywordInRange(run, kOn, kOff) == 0;
    if (!item) return;
    if (on) item->flags |= 16;
    else item->flags &= ~16u;
}

void Indestruct(ScriptRun &run) {
    SceneItem *item = Object(run);
    const bool on = SwitchOn(run);
    if (!item || !item->sim) return;
    if (on) {
        item->sim->flags |= SimFlag::Protected;
        item->flags |= 0x200;
    } else {
        item->sim->flags &= ~SimFlag::Protected;
    }
}

void Traceable(ScriptRun &run) {
    SceneItem *item = DecodeObjectOperand(run, false);
    const bool on = SwitchOn(run);
    if (!item) return;
    if (on) item->flags &= ~SceneFlag::Untraceable;
    else item->flags |= SceneFlag::Untraceable;
}

void DShield(ScriptRun &run) {
    SceneItem *item = Object(run);
    const bool on = SwitchOn(run);
    if (!item || !item->sim) return;
    if (on) item->sim->flags |= SimFlag::Shielded;
    else item->sim->flags &= ~SimFlag::Shielded;
}

// ---- Creation ---------------------------------------------------------------------------------

void Create(ScriptRun &run) {
    ScriptSymbol *name = DecodeSymbolOperand(run, SymKind::SceneItem);
    ScriptSymbol *part = DecodeSymbolOperand(run, SymKind::Part3D);
    void *model = ModelOperand(run);
    const int32_t control = OptionalKeywordInRange(run, kControlNull, kControlNull + 5);
    if (control < 0) ScriptFail(run, ScriptStatus::Stack, "CREATE Expected CONTROL Routine");
    const int32_t sim = OptionalKeywordInRange(run, kSimNull, kSimNull + 4);
    if (sim < 0) ScriptFail(run, ScriptStatus::Stack, "CREATE Expected SIMULATOR Routine");
    SceneItem *item = CreateScriptObject(model, kRoutines[control], kRoutines[6 + sim]);
    ScriptSetSymbolObject(name, item);
    ScriptSetSymbolObject(gSymLastShip, item);
    item->linkRecord = name;
    item->systemNumber = dunCurrentSystem;
    ScriptSetSymbolThing(gSymLast3dp, item->avatar->root);
    ScriptSetSymbolThing(part, item->avatar->root);
    dunCopySimToModel(item);
}

void Control(ScriptRun &run) {
    SceneItem *item = Object(run);
    // Only control routines: another keyword would index past the table.
    const int32_t index = OptionalKeywordInRange(run, kControlNull, kControlNull + 5);
    if (index < 0) ScriptFail(run, ScriptStatus::Stack, "CONTROL Expected CONTROL Routine");
    if (!item) return;
    if (item->sim && !(item->sim->flags & SimFlag::Lds)) {
        item->sim->ldsRamp = 0;
        item->sim->ldsTarget = item->sim->ldsDemand = 0.0f;
    }
    item->controlScratch = 0;
    item->control = kRoutines[index];
}

void SetModel(ScriptRun &run) {
    SceneItem *item = Object(run);
    void *model = ModelOperand(run);
    if (!item) return;
    P3DSetObjectModel(item, model);
    item->avatar->root->collision = dunFindCollisionModel(model);
    dunPlaceDockingPorts(item);
}

// ---- Placement and motion ---------------------------------------------------------------------

void Place(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::MustExist);
    const uint32_t kind = s->kind;
    s->kind |= SymKind::SceneItem | 512;
    if (kind & SymKind::SceneItem) {
        double x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
        SceneItem *item = ScriptSymbolObject(s);
        if (!item || !item->sim) return;
        ApplyPlacementMode(&x, &y, &z);
        SetScriptObjectPosition(item, x, y, z);
        PushClearOfShips(item);
        dunFindGravityWell(item);
        dunCopySimToModel(item);
    } else if (kind & 512) {
        const float x = DecodeNumberOperand(run), y = DecodeNumberOperand(run);
        if (auto *node = static_cast<WireframeNode *>(ScriptSymbolThing(s))) {
            node->x = x;
            node->y = -y;
        }
    }
}

void Orient(ScriptRun &run) {
    SceneItem *a = Object(run);
    SceneItem *b = Object(run);
    if (!a || !b || !a->sim || !b->sim) return;
    const Mat4 &m = b->sim->matrix;
    MatPostMultiply(a->sim->matrix, m);
    const Vec3d &o = WorldOriginOffset;
    Vec3 p{float(a->sim->position.x + o.x), float(a->sim->position.y + o.y), float(a->sim->position.z + o.z)};
    MatTransformPointTransposed(p, p, m);
    SetScriptObjectPosition(a, float(p.x - o.x), float(p.y - o.y), float(p.z - o.z));
    MatTransformPointTransposed(a->sim->velocity, a->sim->velocity, m);
}

void PlaceRandom(ScriptRun &run) {
    SceneItem *item = Object(run);
    const float radius = DecodeNumberOperand(run);
    if (!item || !item->sim) return;
    Vec3 d{float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500)};
    VecNormalise(d);
    double x = d.x * radius * 100, y = d.y * radius * 100, z = d.z * radius * 100;
    ApplyPlacementMode(&x, &y, &z);
    SetScriptObjectPosition(item, x, y, z);
    PushClearOfShips(item);
    dunFindGravityWell(item);
    dunCopySimToModel(item);
}

void Vel(ScriptRun &run) {
    SceneItem *item = Object(run);
    Vec3 v{DecodeNumberOperand(run), DecodeNumberOperand(run), DecodeNumberOperand(run)};
    if (!item || !item->sim) return;
    if (!gPlacementMode && gPlacementReference && gPlacementReference->sim) {
        const Vec3 &r = gPlacementReference->sim->velocity;
        v = {v.x + r.x, v.y + r.y, v.z + r.z};
    }
    item->sim->velocity = v;
    item->sim->speed = VecLengthApprox(v);
}

void Rot(ScriptRun &run) {
    SceneItem *item = Object(run);
    const float y = DecodeNumberOperand(run), x = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    const float ys = OptionalNumberOperand(run), xs = OptionalNumberOperand(run), zs = OptionalNumberOperand(run);
    if (!item || !item->sim) return;
    MatRotateZ(z, item->sim->matrix);
    MatRotateX(x, item->sim->matrix);
    MatRotateY(y, item->sim->matrix);
    item->pitchSpin = xs;
    item->yawSpin = ys;
    item->rollSpin = zs;
    item->sim->turnRates = {xs, ys, zs};
}

// DIRECTOR object second kind hold: the script's own camera row cuts to the
// object and holds the camera against other events.
void Director(ScriptRun &run) {
    SceneItem *item = Object(run);
    SceneItem *second = nullptr;
    const ScriptToken &t = ScriptPeek(run);
    ScriptSymbol *s = t.code == Sc::Symbol ? ScriptSymbolAt(t.arg) : nullptr;
    if (s && (s->kind & SymKind::SceneItem)) {
        ScriptNext(run);
        second = ScriptSymbolObject(s);
    } else {
        DecodeIntegerOperand(run);
    }
    const int32_t kind = KeywordInRange(run, kCamFirst, kCamLast);
    const int32_t hold = DecodeIntegerOperand(run);
    if (!item) return;
    CameraEventRow &row = gCameraEvents[kScriptCameraRow];
    row.routine = kCameras[kind].routine;
    row.hold = hold;
    if (gCameraViewHooks.enterCinematic) gCameraViewHooks.enterCinematic();
    // The external view is on before the trigger: without it a cut to any
    // object but the player's ship is refused.
    gCinematicView = 1;
    gCameraLock = 0;
    EventCameraTrigger(item, second, kScriptCameraRow);
    gCameraLock = 1;
}

void NoContact(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem | 512 | SymKind::MustExist);
    const bool on = SwitchOn(run);
    SceneItem *item = ScriptSymbolObject(s);
    if (!item || !item->avatar) return;
    if (on) {
        item->avatar->flags16 |= AvatarState::NoContact;
        dunRemoveContact(item);
    } else {
        item->avatar->flags16 &= ~AvatarState::NoContact;
        dunContactListChanged = dunGameClock;
    }
}

// PLACE_BETWEEN object a b distance [switch]: a distance beyond either end
// keeps a's radius clear of it.
void PlaceBetween(ScriptRun &run) {
    SceneItem *item = Object(run);
    SceneItem *a = Object(run);
    SceneItem *b = Object(run);
    float d = DecodeNumberOperand(run) * 100.0f;
    const bool on = SwitchOn(run);
    if (!item || !a || !b || !item->sim || !a->sim || !b->sim) return;
    float r = a->sim->radius;
    if (a->avatar && (a->avatar->flags & AvatarFlag::PlanetBody)) r /= 2;
    if (d > 1.0f) d += r;
    else if (d < 0.0f) d -= r;
    const Vec3d p = on ? dunRandomPointBetween(&item->sim->matrix, a, b, d)
                       : dunRandomPlacement(&item->sim->matrix, a, b, d);
    SetScriptObjectPosition(item, p.x, p.y, p.z);
    dunFindGravityWell(item);
    dunCopySimToModel(item);
}

void PlaceInOrbit(ScriptRun &run) {
    SceneItem *item = Object(run);
    SceneItem *centre = Object(run);
    SceneItem *ref = Object(run);
    const float altitude = DecodeNumberOperand(run);
    if (!item || !centre || !ref || !item->sim || !centre->sim || !ref->sim) return;
    const float d = centre->sim->radius / 2.0f + altitude * 100000.0f;
    const Mat4 &c = centre->sim->matrix, &r = ref->sim->matrix;
    Vec3 u{r.m[12] - c.m[12], r.m[13] - c.m[13], r.m[14] - c.m[14]};
    VecNormalise(u);
    Vec3 side;
    VecCross(u, Vec3{0, 1, 0}, side);
    SetScriptObjectPosition(item, c.m[12] + side.x * d, c.m[13] + side.y * d, c.m[14] + side.z * d);
}

void AttachSink(ScriptRun &run) {
    SceneItem *item = Object(run);
    if (!item || !item->avatar) return;
    item->control = dunControlFreeTargeting;
    item->avatar->collisionPriority = 60;
    item->avatar->contactHandler = dunContactBounce;
}

void Shatter(ScriptRun &run) {
    SceneItem *item = Object(run);
    const bool on = SwitchOn(run);
    if (item) dunBreakOffDebris(item, 0, 0, 0, on ? 0 : uint8_t(0xFF), 0);
}

void Vent(ScriptRun &run) {
    SceneItem *item = Object(run);
    const int32_t a = int32_t(DecodeNumberOperand(run)), b = int32_t(DecodeNumberOperand(run));
    Vec3 offset{DecodeNumberOperand(run) * 100, DecodeNumberOperand(run) * 100, DecodeNumberOperand(run) * 100};
    const int32_t c = int32_t(OptionalNumberOperand(run));
    if (!item || !item->sim) return;
    MatTransformPointTransposed(offset, offset, item->sim->matrix);
    AddHullRupture(item, a, b, &offset, c);
}

// CORPSE object, then one operand skipped unread (even a keyword).
void Corpse(ScriptRun &run) {
    SceneItem *item = Object(run);
    ScriptNext(run);
    if (item) P3DMakeWreck(item);
}

void ChaosEffect(ScriptRun &run) {
    SceneItem *item = Object(run);
    if (item && item->sim) CreateParticleSystem(item, &item->sim->matrix, 0, 0x200000, 100, 49, 240, 13500.0f, 70, 15.0f);
}

void Colour(ScriptRun &run) {
    auto *part = static_cast<TDP *>(ScriptSymbolThing(DecodeSymbolOperand(run, SymKind::Part3D)));
    const float n = DecodeNumberOperand(run);
    if (part) part->colourIndex = uint16_t(int32_t(n));
}

void Wireframe(ScriptRun &run) {
    auto *part = static_cast<TDP *>(ScriptSymbolThing(DecodeSymbolOperand(run, SymKind::Part3D | SymKind::MustExist)));
    if (part) part->flags |= TDPFlag::Edges;
}

void AddChild(ScriptRun &run) {
    auto *parent = static_cast<TDP *>(ScriptSymbolThing(DecodeSymbolOperand(run, SymKind::Part3D | SymKind::MustExist)));
    ScriptSymbol *child = DecodeSymbolOperand(run, SymKind::Part3D);
    void *model = ModelOperand(run);
    const float x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    if (!parent) return;
    TDP *node = dunAddChildTDP(parent, model, x, y, z);
    ScriptSetSymbolThing(child, node);
    ScriptSetSymbolThing(gSymLast3dp, node);
    node->flags = (node->flags | TDPFlag::HasActor) & ~TDPFlag::Collidable;
    dunRefreshModelRadius(node);
}

void NebModel(ScriptRun &run) { P3DSetCelestialSphere(static_cast<vt_model *>(ModelOperand(run))); }

void Convert2Pts(ScriptRun &run) {
    const char *input = DecodeTextOperand(run);
    const char *output = DecodeTextOperand(run);
    LwoSavePoints(input, output);
    dunErrorBox("LWO Points save completed", "SCRIPT Processor");
}

// ---- Level of detail, planets and the sky --------------------------------------------------

// LOD_SWAP near far [margin]: the switch sizes and margin of the detail
// choice (the margin 0 when left out).
void LodSwap(ScriptRun &run) {
    const float nearSize = DecodeNumberOperand(run), farSize = DecodeNumberOperand(run);
    const float margin = OptionalNumberOperand(run);
    gP3D.detailLow = nearSize;
    gP3D.detailHigh = farSize;
    gP3D.detailMargin = margin;
}

// PLANET name texture size [x] [ON]: a sun from the sun model with ON, a
// textured planet otherwise; either a gravity body of the sky world.
void Planet(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    const char *texture = DecodeTextOperand(run);
    const float size = DecodeNumberOperand(run);
    OptionalNumberOperand(run);  // read and not used
    const bool sun = OptionalKeywordInRange(run, kOn, kOff) == 0;
    SceneItem *o;
    if (sun) {
        o = CreateScriptObject(dunLoadSunModel(), dunNullRoutine, dunStampSim);
        dunSetDrawRoutines(o, dunCopySimToModel, P3DPlaceSkyBodyFull);
    } else {
        o = CreateScriptObject(nullptr, dunNullRoutine, dunStampSim);
        gPlanetTextureRequest = 1;
        dunLoadPlanetTexture();
        dunSetDrawRoutines(o, dunCopySimToModel, P3DPlaceSkyBody);
    }
    dunMoveNextToCurrent(o);
    Avatar *a = o->avatar;
    a->flags16 |= AvatarState::GravityBody;
    a->contactHandler = dunContactGravityBody;
    a->collisionPriority = 88;
    TDP *root = a->root;
    root->flags |= TDPFlag::SkyWorld;
    root->materialName = texture;
    a->scale = int32_t(size);
    const float radius = size / 2 * 100000 * 2.0f;
    o->sim->radius = radius;
    root->radius = radius;
    const float r = size / 2 * 1000;
    o->sim->mass = r * r * r * 3.14159f * 5500.0f;
    dunCopySimToModel(o);
    gCurrentPlanet = o;
    ScriptSetSymbolObject(symbol, o);
    o->linkRecord = symbol;
}

// FIND_PLANET name body [n]: the named body of the current system; a body
// that may be approached conventionally takes the scale n.
void FindPlanet(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    const char *name = DecodeTextOperand(run);
    const float n = OptionalNumberOperand(run);
    SceneItem *body = dunFindNamedBody(name);
    ScriptSetSymbolObject(symbol, body);
    if (!body) return;
    if (body->avatar && (body->avatar->flags & AvatarFlag::LagrangeTurned)) body->avatar->scale = int32_t(n);
    body->linkRecord = symbol;
}

// STARFIELD count ON|OFF [kind [m]]: the stars, the nebula switch and the
// sky of the player's system (kind 0) or of the kind given.
void Starfield(ScriptRun &run) {
    const int32_t count = DecodeIntegerOperand(run);
    const bool on = KeywordInRange(run, kOn, kOff) == 0;
    P3DGenerateStarfield(count);
    gP3D.nebulaOn = on ? 0xFF : 0;
    if (!gInFrontEnd) {
        ClearSurface(&ScreenSurface, 0);
        if (ScreenSurface.pixels) DisplayPresent(&TheDisplayMode);
        gLoading = 0;
    }
    P3DBuildBackgroundScenes();
    int32_t kind = int32_t(OptionalNumberOperand(run));
    if (kind == 0) {
        if (dunPlayerShip) P3DSetSkyForSystem(int16_t(dunPlayerShip->systemNumber));
    } else {
        const float m = DecodeNumberOperand(run);
        if (kind < 0) ++kind;
        P3DSetSkyColours(int16_t(kind - 1), 26.0f, m);
    }
    if (gRenderOptions.noNebula) gP3D.nebulaOn = 0;
    gDialogueHoldOff = 0;
    dunClearDialogue();
}

void NebCol(ScriptRun &run) {
    for (uint8_t &c : gP3D.skyLight) c = uint8_t(DecodeIntegerOperand(run));
}

// ---- Placement and motion that the AI and the drive share ---------------------------------

// PLACE_BEHIND object leader spacing counter: the next slot of a formation
// behind the leader; the counter literal counts on in the script's data.
// Without both objects the spacing and counter run as no-op tokens.
void PlaceBehind(ScriptRun &run) {
    SceneItem *item = Object(run);
    SceneItem *leader = Object(run);
    if (!item || !leader) return;
    const float spacing = DecodeNumberOperand(run) * 100.0f;
    const int32_t slot = int32_t(PostIncrementOperand(run));
    dunFormationPosition(item, leader, spacing, slot);
}

// VEL_TOWARDS object target speed [ON]: turned to face the target, then
// flying at it (the drive's speed and limit with ON).
void VelTowards(ScriptRun &run) {
    SceneItem *item = Object(run);
    SceneItem *target = Object(run);
    const float speed = DecodeNumberOperand(run) * 100.0f;
    const bool lds = OptionalKeywordInRange(run, kOn, kOff) == 0;
    if (!item || !target || !item->sim || !target->sim) return;
    Sim *s = item->sim;
    const Vec3d &p = s->position, &q = target->sim->position;
    Vec3 u{float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)};
    VecNormalise(u);
    MatLookAlong(u, nullptr, s->matrix);
    if (item == dunPlayerShip && (s->flags & SimFlag::Autopilot)) dunCall(ScriptGui().navStopProgram);
    if (lds) {
        s->thrust.z = s->ldsTarget = speed;
        s->flags |= SimFlag::Lds;
        s->speed = speed;
    } else {
        s->velocity = {u.x * speed, u.y * speed, u.z * speed};
        s->ldsRamp = 0;
        s->ldsTarget = s->ldsDemand = 0.0f;
        s->thrust.z = 0.0f;
        s->flags &= ~SimFlag::Lds;
        s->speed = VecLengthApprox(s->velocity);
    }
}

// ROT_REL object a b c: turned about its own axes, by b about X, then a
// about Y, then c about Z.
void RotRel(ScriptRun &run) {
    SceneItem *item = Object(run);
    const float a = DecodeNumberOperand(run), b = DecodeNumberOperand(run), c = DecodeNumberOperand(run);
    if (!item || !item->sim) return;
    MatRotateX(b, item->sim->matrix);
    MatRotateY(a, item->sim->matrix);
    MatRotateZ(c, item->sim->matrix);
}

void AddMotor(ScriptRun &run) {
    SceneItem *item = Object(run);
    auto *part = static_cast<TDP *>(ScriptSymbolThing(DecodeSymbolOperand(run, SymKind::Part3D | SymKind::MustExist)));
    const float n = DecodeNumberOperand(run);
    if (!item || !part || !item->avatar) return;
    dunAddNodeChannel(part, 10, 3);
    dunAddNodeChannel(part, 13, 3);
    item->avatar->motor = int32_t(n);
}

// ---- Model editing -----------------------------------------------------------------------

// The library model of a model symbol, its handle's name hash cleared
// first so that a later registration of the file loads a fresh copy.
vt_model *EditedModel(ScriptSymbol *s) {
    ResourceHandle *h = ScriptSymbolResource(s);
    if (!h) return nullptr;
    h->nameHash = 0;
    return static_cast<vt_model *>(resmanLoad(h));
}
vt_model *EditedModel(ScriptRun &run) { return EditedModel(DecodeSymbolOperand(run, SymKind::Model)); }

void Flip(ScriptRun &run) {
    SceneItem *item = Object(run);
    if (item && item->avatar && item->avatar->root)
        P3DFlipModelFaces(static_cast<vt_model *>(item->avatar->root->model));
}

// SIZE symbol radius: an object's radius, or a model scaled to it.
void Size(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::Any | SymKind::MustExist);
    const float radius = DecodeNumberOperand(run);
    if (s->kind & SymKind::SceneItem) {
        if (SceneItem *item = ScriptSymbolObject(s); item && item->sim) item->sim->radius = radius;
        return;
    }
    if (vt_model *m = EditedModel(s)) NormaliseModelRadius(m, radius);
}

void Scale(ScriptRun &run) {
    vt_model *m = EditedModel(DecodeSymbolOperand(run, SymKind::Model | SymKind::MustExist));
    const float percent = DecodeNumberOperand(run);
    if (m) ScaleModelAndCollision(m, percent / 100.0f);
}

// SCALE_ONCE: the statement's own tokens become no-op tokens, so that the
// shared model of a class is scaled once however many ships are made.
void ScaleOnce(ScriptRun &run) {
    const uint32_t first = run.statement;
    Scale(run);
    for (uint32_t i = first; i < run.pc; ++i) gScriptTokens[i] = {Sc::Remark, 0};
}

void Slide(ScriptRun &run) {
    vt_model *m = EditedModel(run);
    const float x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    if (m) SlideModel(m, x, y, z);
}

void Reflect(ScriptRun &run) {
    vt_model *m = EditedModel(run);
    const int32_t axis = DecodeIntegerOperand(run);
    if (m) ReflectModel(m, axis);
}

void RotX90(ScriptRun &run) {
    if (vt_model *m = EditedModel(run)) RotateModelX90(m);
}
void SphMap(ScriptRun &run) {
    if (vt_model *m = EditedModel(run)) ApplySphereMap(m);
}
void CylMap(ScriptRun &run) {
    if (vt_model *m = EditedModel(run)) ApplyCylinderMap(m);
}
void PlnMap(ScriptRun &run) {
    if (vt_model *m = EditedModel(run)) ApplyPlaneMap(m);
}

void Materl(ScriptRun &run) {
    auto *part = static_cast<TDP *>(ScriptSymbolThing(DecodeSymbolOperand(run, SymKind::Part3D)));
    const char *name = DecodeTextOperand(run);
    if (part) P3DSetModelMaterial(static_cast<vt_model *>(part->model), name);
}

void SaveModel(ScriptRun &run) {
    vt_model *m = EditedModel(run);
    const char *file = DecodeTextOperand(run);
    if (m) P3DSaveModelFile(file, m);
}

// ---- Bodies, fields and effects ----------------------------------------------------------

// The script's wire globe, one for the mission: made by the first MACROOB
// or ATTACH_LDS_FIELD round its object.
void MakeScriptHud(SceneItem *item, Vec3 centre, Vec3 radii) {
    if (gScriptHud) return;
    gScriptHud = dunAllocHUD();
    dunCall(ScriptHud().addScriptHud, gScriptHud, item, centre, radii);
}

void MacroOb(ScriptRun &run) {
    const int32_t kind = DecodeIntegerOperand(run);
    float v[9];
    for (float &x : v) x = DecodeNumberOperand(run);
    SceneItem *body =
        dunCreateSolarBody(kind, Vec3{v[0], v[1], v[2]}, Vec3{v[3], v[4], v[5]}, v[6], int32_t(v[7]), int32_t(v[8]));
    if (body) MakeScriptHud(body, Vec3{v[0], v[1], v[2]}, Vec3{v[3], v[4], v[5]});
}

// ATTACH_LDS_FIELD object [ON]: the object's reach six times larger, a
// scripted contact instead of the ship collision.
void AttachLdsField(ScriptRun &run) {
    SceneItem *item = Object(run);
    const bool on = SwitchOn(run);
    if (!item || !item->sim || !item->avatar || !item->avatar->root) return;
    TDP *root = item->avatar->root;
    if (on) {
        item->sim->radius *= 6;
        root->radius *= 6;
        const float r = root->radius;
        MakeScriptHud(item, Vec3{0, 0, 0}, Vec3{r, r, r});
        item->avatar->collisionPriority = 0;
        item->avatar->contactHandler = dunContactScripted;
        root->flags |= 0x8000;
        item->flags &= ~0x200u;
    } else {
        item->sim->radius /= 6;
        root->radius /= 6;
        if (gScriptHud) gScriptHud->flags |= 0x100;
        item->avatar->contactHandler = dunCollideShips;
        root->flags &= ~0x8000u;
        item->flags |= 0x200;
    }
}

void ExpPrim(ScriptRun &) {
    if (dunPlayerShip) P3DSpawnFlareShell(dunPlayerShip, 0, 0, 0, 2, 1, 100, 150, 240, 50, 30);
}

// ---- The engineering schematic's 2D objects ------------------------------------------------

constexpr uint32_t k2DObject = 512;

WireframeNode *NodeOperand(ScriptRun &run) {
    return static_cast<WireframeNode *>(ScriptSymbolThing(DecodeSymbolOperand(run, k2DObject)));
}

// The plan of a 2D model symbol, loaded.
void *PlanOperand(ScriptRun &run) {
    ResourceHandle *h = ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Model2D));
    return h ? resmanLoad(h) : nullptr;
}

void Obj2D(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, k2DObject);
    void *plan = PlanOperand(run);
    const int32_t colour = DecodeIntegerOperand(run);
    ScriptSetSymbolThing(symbol, plan ? WireframeNodeCreate(plan, colour) : nullptr);
}

// The schematic's root is the first node linked without a parent.
void LinkUnder(WireframeNode *parent, WireframeNode *node) {
    if (!node) return;
    if (!parent && !gWireframeView.root) gWireframeView.root = node;
    else WireframeListAppend(parent ? parent : gWireframeView.root, node);
}

void LinkObj(ScriptRun &run) {
    WireframeNode *node = NodeOperand(run);
    void *parent = OptionalSymbolValue(run);
    LinkUnder(static_cast<WireframeNode *>(parent), node);
}

void ViewObj(ScriptRun &run) {
    WireframeNode *node = NodeOperand(run);
    const float dx = DecodeNumberOperand(run), dy = DecodeNumberOperand(run);
    WireframeSetOffsets(node, dx, dy);
}

void RelocObj(ScriptRun &run) { WireframeCentre(NodeOperand(run)); }

// SCHEMATIC colour file component [tag]: the component's plan, linked both
// ways with it, under the schematic's root.
void Schematic(ScriptRun &run) {
    const int32_t colour = DecodeIntegerOperand(run);
    const char *file = DecodeTextOperand(run);
    const char *name = DecodeTextOperand(run);
    const int32_t tag = int32_t(OptionalNumberOperand(run));
    EngComponent *component = dunFindComponentByName(dunEngineeringShip, name);
    if (!component) return;
    ResourceHandle *h = resmanRegister(file, ResLwo2Wri);
    void *plan = h ? resmanLoad(h) : nullptr;
    if (!plan) return;
    WireframeNode *node = WireframeNodeCreate(plan, colour);
    if (!node) return;
    node->component = component;
    component->screenWidget = node;
    node->mask = uint16_t(tag);
    LinkUnder(nullptr, node);
    WireframeCentre(node);
}

void Nothing(ScriptRun &) {}

}  // namespace

SceneItem *gLastScriptCamera;
SceneItem *gCurrentPlanet;
HUD *gScriptHud;

const ScriptStatementRow kObjectStatements[] = {
    {95, CopyScn},         {96, CopySym},       {97, CopyVar},      {98, StAbsolute},
    {99, StRelative},      {100, Passive},      {101, Permanent},   {102, SimPriority},
    {103, LodSwap},        {104, Create},       {105, Control},     {106, SetModel},
    {107, Planet},         {108, FindPlanet},   {109, StPlayer},    {110, Indestruct},
    {111, Traceable},      {112, DShield},      {113, Place},       {114, Orient},
    {119, PlaceRandom},    {120, Nothing},      {121, Nothing},     {115, NoContact},
    {116, PlaceInOrbit},   {117, PlaceBetween}, {118, PlaceBehind}, {122, Vel},
    {123, VelTowards},     {124, Rot},          {125, RotRel},      {126, Flip},
    {127, AddChild},       {128, AddMotor},     {129, StCamera},    {130, Director},
    {131, Size},           {132, Scale},        {133, ScaleOnce},   {134, Slide},
    {135, Reflect},        {136, RotX90},       {137, SphMap},      {138, CylMap},
    {139, PlnMap},         {140, Materl},       {141, Colour},      {142, Wireframe},
    {143, NebModel},       {144, NebCol},       {145, ChaosEffect}, {146, MacroOb},
    {147, AttachLdsField}, {148, AttachSink},   {149, Shatter},     {150, SaveModel},
    {151, Starfield},      {152, Vent},         {153, ExpPrim},     {154, Corpse},
    {155, Obj2D},          {156, LinkObj},      {157, ViewObj},     {158, RelocObj},
    {159, Schematic},      {160, Convert2Pts},  {161, Nothing},     {162, Nothing},
    {163, Nothing},        {164, Nothing},      {165, Nothing},     {166, Nothing},
    {168, Nothing},        {169, Nothing},      {170, Nothing},     {171, Nothing},
    {172, Nothing},        {174, Nothing},      {175, Nothing},     {176, Nothing},
    {177, Nothing},        {178, Nothing},      {179, Nothing},     {180, Nothing},
    {0, nullptr},
};
