// The object statements: symbols and placement mode, the object list's
// flags, creating objects and cameras, placing, moving and turning them,
// the director's camera, effects and model parts; and the support routines
// the rest of the script system uses.
#include <cmath>
#include <cstring>
#include <cstdlib>

#include "RES/util.h"
#include "ai/brain.h"
#include "core/options.h"
#include "present/cameras.h"
#include "present/scene.h"
#include "RES/resman.h"
#include "RES/vecmath.h"
#include "ai/contacts.h"
#include "core/log.h"
#include "present/effects.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "world/docking.h"
#include "world/pools.h"
#include "world/lds.h"
#include "world/objroutines.h"
#include "world/records.h"
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
        DecodeNumberOperand(run);
        DecodeNumberOperand(run);
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
    Vec3 d{float(std::rand() % 1000 - 500), float(std::rand() % 1000 - 500), float(std::rand() % 1000 - 500)};
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

void Nothing(ScriptRun &) {}

}  // namespace

SceneItem *gLastScriptCamera;

const ScriptStatementRow kObjectStatements[] = {
    {95, CopyScn},      {96, CopySym},     {97, CopyVar},    {98, StAbsolute}, {99, StRelative},
    {100, Passive},     {101, Permanent},  {102, SimPriority}, {104, Create}, {105, Control},
    {106, SetModel},    {109, StPlayer},     {110, Indestruct}, {111, Traceable}, {112, DShield},
    {113, Place},       {114, Orient},     {119, PlaceRandom}, {120, Nothing}, {121, Nothing},
    {115, NoContact},   {116, PlaceInOrbit}, {117, PlaceBetween},
    {122, Vel},         {124, Rot},        {127, AddChild},  {129, StCamera},   {130, Director},
    {141, Colour},      {142, Wireframe},  {143, NebModel},  {145, ChaosEffect}, {148, AttachSink},
    {149, Shatter},     {152, Vent},       {154, Corpse},    {160, Convert2Pts},
    {161, Nothing},     {162, Nothing},    {163, Nothing},   {164, Nothing},  {165, Nothing},
    {166, Nothing},     {168, Nothing},    {169, Nothing},   {170, Nothing},  {171, Nothing},
    {172, Nothing},     {174, Nothing},    {175, Nothing},   {176, Nothing},  {177, Nothing},
    {178, Nothing},     {179, Nothing},    {180, Nothing},   {0, nullptr},
};

