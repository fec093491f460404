// Asteroid belts as rings the player's ship may fly in, the asteroids that
// follow the ship, the rock and mine fields and free objects of the scripts.
#include <cmath>

#include "RES/resman.h"
#include "RES/util.h"
#include "core/log.h"
#include "world/asteroids.h"
#include "world/belts.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/step.h"
#include "world/universe.h"

int32_t dunBeltCount;
int32_t dunBeltObjectCount;
Belt dunBelts[kMaxBelts];
SceneItem *dunBeltObjects[kMaxTrackedBeltObjects];
float dunNearestBeltDistance = 1e30f;
AsteroidClass dunAsteroidClasses[kAsteroidClasses];
int dunAsteroidClassCount;

namespace {

bool gModelsLoaded;
void *gMineModel;

struct AsteroidShape {
    const char *file;
    float radius;
};
constexpr AsteroidShape kAsteroidShapes[kAsteroidClasses] = {
    {"vek\\resource\\shapes\\SmallAsteroidBumpy.lwo", 3000.0f},
    {"vek\\resource\\shapes\\MediumAsteroidBumpy.lwo", 45000.0f},
    {"vek\\resource\\shapes\\LargeAsteroid_RTO.lwo", 200000.0f},
};
constexpr const char *kMineShape = "vek\\resource\\shapes\\newmine2.lwo";
constexpr float kMaxObjectSize = 5e6f;

bool live(const SceneItem *item) { return item && (item->flags & SceneFlag::InUse) && item->sim; }

// How far a belt object may stray from what it follows: its model radius
// against the view scale (taken as 320 when it is 320 or less).
int32_t sizeLimit(float radius) {
    float scale = dunCall(dunPresent().viewProjectionScale);
    if (scale <= 320.0f) scale = 320.0f;
    const float size = radius * scale / 5.0f;
    return int32_t(size > kMaxObjectSize ? kMaxObjectSize : size);
}

// The class of a draw 0..99 among the loaded ones: the three classes take
// 56, 30 and 14 of each hundred; fewer share the hundred evenly.
int classOf(int r) {
    if (dunAsteroidClassCount == kAsteroidClasses) return r < 56 ? 0 : r < 86 ? 1 : 2;
    return r * dunAsteroidClassCount / 100;
}

void setPosition(Sim *s, const Vec3d &p) {
    s->position = p;
    s->matrix.m[12] = float(p.x);
    s->matrix.m[13] = float(p.y);
    s->matrix.m[14] = float(p.z);
}

// A spawned object of a field or belt: receiver, handler, simulator, draw
// routines and a root part that collides.
SceneItem *spawnedObject(uint32_t linkFlags) {
    SceneItem *o = dunCreateSceneItem();
    dunLinkSceneItem(o, linkFlags);
    dunSetMessageHandler(o, dunHandleMessages);
    dunAttachSim(o, dunSimSpawnedNode);
    dunSetDrawRoutines(o, dunCopySimToModel, dunPresent().presentation);
    TDP *root = dunAttachTDP(o);
    root->flags |= TDPFlag::HasActor | TDPFlag::Collidable;
    return o;
}

void makeRock(SceneItem *o) {
    void *handle = dunCall(dunScript().symbolValue, "Rock");
    TDP *root = o->avatar->root;
    root->model = handle ? resmanLoad(static_cast<ResourceHandle *>(handle)) : nullptr;
    o->flags |= SceneFlag::RecordsNearest;
    o->avatar->flags |= AvatarFlag::FreeBody;
    o->control = dunAimAtGoal;
    o->simulator = dunSimRock;
    o->yawSpin = float(dunRand15() * 4 / 32767 - 2);
    o->pitchSpin = float(dunRand15() * 4 / 32767 - 2);
    o->sim->mass = 35000.0f;
    o->sim->hull = 3000;
}

void makeMine(SceneItem *o) {
    if (!gMineModel) gMineModel = dunCall(dunPresent().loadModel, kMineShape);
    Sim *s = o->sim;
    Avatar *a = o->avatar;
    a->root->model = gMineModel;
    o->flags |= SceneFlag::RecordsNearest | SceneFlag::SolarBody;
    s->goal = nullptr;
    ShipInfo *info = dunAllocShipInfo();
    s->shipInfo = info;
    info->name = "Mine";
    info->className = "MX-0";
    info->typeCode = 11;
    a->contactHandler = nullptr;
    a->flags |= 0x50;
    dunCall(dunAi().setUpMineOrders, o);
    dunInitFlightParams(&info->nominal, 4800.0f, 0.0f, 0, 0, 240.0f, 240.0f, 240.0f, 90000.0f);
    info->current = info->nominal;
    s->flight = &info->current;
    s->fuel = 5000;
    info->damage.armour = 35;
    info->damage.maximum = 40;
    info->damage.damage = 0;
    info->repairValues[0] = 30;
    dunCall(dunPresent().addNavLights, o, 11);
    a->root->flags |= TDPFlag::Collidable;
    o->control = dunAi().thinkSimple;
    o->simulator = dunFlyShip;
}

}  // namespace

// ---- Belts ---------------------------------------------------------------------------------

void dunRegisterBelt(float radius, SceneItem *centre, bool aroundRoot) {
    if (dunBeltCount < 0) dunBeltCount = 0;
    if (dunBeltCount >= kMaxBelts) return;
    float w = radius < 1e10f ? radius / 6.0f : 1e9f;
    if (dunCurrentSystem == 2) w = 1e17f;
    float v = w / 10.0f;
    if (aroundRoot) w = v = 5e11f;
    dunBelts[dunBeltCount++] = Belt{centre, radius, w, v, 0};
}

int dunNearestBelt(const SceneItem *item, uint8_t *inside, Vec3 *towards) {
    float best = 1e30f;
    int result = -1;
    *inside = 0;
    if (!item || !item->sim) return -1;
    const int count = dunBeltCount < kMaxBelts ? dunBeltCount : kMaxBelts;
    for (int i = 0; i < count; ++i) {
        const Belt &b = dunBelts[i];
        if (!live(b.centre)) continue;
        const Vec3 v = {float(b.centre->sim->position.x - item->sim->position.x),
                        float(b.centre->sim->position.y - item->sim->position.y),
                        float(b.centre->sim->position.z - item->sim->position.z)};
        const float d = std::fabs(float(VecLength(v)) - b.radius);
        if (!(d < best - 2e7f)) continue;
        if (d < b.halfWidth && std::fabs(float(item->sim->position.y)) < b.halfThickness) *inside = 255;
        best = d;
        dunNearestBeltDistance = d;
        result = i;
        if (towards) *towards = v;
    }
    return result;
}

void dunUpdateBelts() {
    const int count = dunBeltObjectCount < kMaxTrackedBeltObjects ? dunBeltObjectCount : kMaxTrackedBeltObjects;
    for (int i = 0; i < count; ++i) {
        SceneItem *o = dunBeltObjects[i] ? dunBeltObjects[i] : dunPlayerShip;
        if (!live(o)) continue;
        o->flags &= ~SceneFlag::InBelt;
        uint8_t inside = 0;
        dunNearestBelt(o, &inside, nullptr);
        if (inside) o->flags |= SceneFlag::InBelt;
    }
}

void dunTrackPlayerInBelts() {
    dunBeltObjects[0] = nullptr;
    dunBeltObjectCount = 1;
}

void dunClearBeltTracking() { dunBeltObjectCount = 0; }

// ---- Asteroids -----------------------------------------------------------------------------

void dunLoadAsteroidModels() {
    if (gModelsLoaded) return;
    gModelsLoaded = true;
    dunAsteroidClassCount = 0;
    for (const AsteroidShape &shape : kAsteroidShapes) {
        void *model = dunCall(dunPresent().loadModel, shape.file);
        if (!model) continue;
        dunCall(dunPresent().scaleModelToRadius, model, shape.radius);
        dunAsteroidClasses[dunAsteroidClassCount++] = AsteroidClass{model, shape.radius};
    }
}

void dunForgetAsteroidModels() {
    gModelsLoaded = false;
    dunAsteroidClassCount = 0;
    gMineModel = nullptr;
}

void dunCreateAsteroids(SceneItem *, int count) {
    if (!dunPlayerShip)
        dunErrorBox("Warning - Asteroid belts may not function (PLAYER should be declared before SYSTEM)",
                    "Solar System Generation");
    dunLoadAsteroidModels();
    for (int i = 0; i < count; ++i) dunCreateAsteroid();
}

SceneItem *dunCreateAsteroid() {
    dunLoadAsteroidModels();
    if (dunAsteroidClassCount == 0) return nullptr;
    SceneItem *o = spawnedObject(SceneFlag::Appended);
    dunSetControlRoutine(o, dunControlAsteroid);
    Sim *s = o->sim;
    Avatar *a = o->avatar;
    s->goal = dunPlayerShip;
    const int k = classOf(dunRand15() % 100);
    const AsteroidClass &c = dunAsteroidClasses[k];
    a->beltAnchor = dunPlayerShip;
    a->channelValues[0] = sizeLimit(c.radius);
    s->radius = c.radius;
    dunReplaceBeltObject(o);
    o->flags |= SceneFlag::Asteroid | SceneFlag::BeltTracked;
    s->mass = float((k + 1) * (k + 1) * 500);
    s->hull = int32_t(s->mass / 100.0f);
    if (k > 0) o->flags |= SceneFlag::RecordsNearest;
    TDP *root = a->root;
    root->model = c.model;
    root->radius = c.radius;
    root->flags |= TDPFlag::AsteroidRoot;
    a->flags |= AvatarFlag::FreeBody;
    dunCall(dunPresent().addToScene, root, c.model, 2, 0);
    return o;
}

void dunRecycleBeltObject(SceneItem *item) {
    if (!item || !item->sim) return;
    dunReplaceBeltObject(item);
    item->sim->goal = nullptr;
    dunCall(dunAi().startOrder, item, 1);
    if (ShipInfo *info = item->sim->shipInfo) info->damage.damage = 0;
    if (item->avatar && item->avatar->root) item->avatar->root->flags |= TDPFlag::Collidable;
    item->sim->velocity = {0.0f, 0.0f, 0.0f};
    dunMsgFreeReceiver(item->receiverId);
    item->receiverId = dunMsgNewReceiver();
}

// ---- Fields and free objects -----------------------------------------------------------------

SceneItem *dunCreateSolarBody(int kind, Vec3 centre, Vec3 extents, float spread, int density, int count) {
    ParticleSystem *cloud = dunCall(dunPresent().spawnParticleCloud, centre.x, centre.y, centre.z, extents.x, extents.y,
                                    extents.z, spread, density, nullptr);
    SceneItem *middle = dunCreateSceneItem();
    dunLinkSceneItem(middle, 0);
    dunSetControlRoutine(middle, nullptr);
    dunAttachSim(middle, nullptr);
    dunSetDrawRoutines(middle, dunCopySimToModel, dunPresent().presentation);
    setPosition(middle->sim, {centre.x, centre.y, centre.z});
    TDP *root = dunAttachTDP(middle);
    root->particleOrMaterial = cloud;
    root->routine = dunPresent().softParticles;
    root->flags = (root->flags | TDPFlag::HasActor | TDPFlag::Particle) & ~TDPFlag::Collidable;
    middle->avatar->beltPoints = cloud;
    if (cloud) dunCall(dunPresent().addToScene, root, cloud, 1, 0);
    dunCopySimToModel(middle);

    // The pieces' reach: the mean cube of the extents over the density's
    // share of each piece; a density or count of 0 shares nothing.
    const double cubes = (double(extents.x) * extents.x * extents.x + double(extents.y) * extents.y * extents.y +
                          double(extents.z) * extents.z * extents.z) /
                         3.0;
    const double share = density > 0 && count > 0 ? std::pow(double(density) / double(count), 0.3333) : 1.0;
    double size = std::cbrt(cubes / share);
    if (!(size < kMaxObjectSize)) size = kMaxObjectSize;
    for (int i = 0; i < count; ++i) {
        SceneItem *o = spawnedObject(0);
        Avatar *a = o->avatar;
        a->beltPoints = cloud;
        o->sim->goal = dunPlayerShip;
        a->beltAnchor = dunPlayerShip;
        a->channelValues[0] = int32_t(size);
        dunReplaceBeltObject(o);
        o->flags |= SceneFlag::BeltTracked;
        if (kind == 0) makeMine(o);
        else makeRock(o);
        dunCall(dunPresent().addToScene, a->root, a->root->model, 2, 0);
    }
    return middle;
}

SceneItem *dunCreateFreeObject(int, void *model) {
    SceneItem *o = dunCreateSceneItem();
    dunLinkSceneItem(o, SceneFlag::Appended);
    dunSetMessageHandler(o, dunHandleMessages);
    dunSetControlRoutine(o, nullptr);
    Sim *s = dunAttachSim(o, nullptr);
    dunSetDrawRoutines(o, dunCopySimToModel, dunPresent().presentation);
    TDP *root = dunAttachTDP(o);
    root->flags |= TDPFlag::HasActor | TDPFlag::Collidable;
    s->goal = dunPlayerShip;
    o->avatar->contactHandler = dunCollideShips;
    o->flags |= SceneFlag::RecordsNearest;
    root->model = model;
    o->avatar->flags |= AvatarFlag::FreeBody;
    dunCall(dunPresent().addToScene, root, model, 2, 0);
    dunRefreshModelRadius(root);
    dunUpdateNodeTransforms(o);
    dunComputeObjectRadius(o);
    const double r = double(s->radius) / 100.0;
    double mass = r * r * r * 3.14159 * 5.5;
    if (mass > 12000.0) mass = 12000.0;
    s->mass = float(mass);
    // Always 0 as the units stand: such an object goes at its first hit.
    s->hull = int32_t(mass / 1.382e20 * 225.0);
    return o;
}
