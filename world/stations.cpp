#include "world/stations.h"

#include <cstring>

#include "core/bytes.h"
#include "core/options.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"
#include "world/sound_place.h"
#include "world/step.h"

namespace {

// The two models are loaded once and kept for every later build.
void *keptModel(const char *name, void **slot) {
    if (!*slot) *slot = dunCall(dunPresent().loadModel, name);
    return *slot;
}
void *hullModel = nullptr;
void *sectionModel = nullptr;

void postReleased(SceneItem *item, SceneItem *other) {
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, dunHandleOf(other));
    dunMsgPost(item->receiverId, item->receiverId, 500, MsgPartnerReleased, 4, payload);
}

void navLights(SceneItem *c) {
    struct Light {
        Vec3 at;
        float size;
        uint32_t flags;
    };
    static const Light kSoftware[] = {{{-9.05f, 0.0f, -15.0f}, 0.25f, 6}, {{9.05f, 0.0f, -15.0f}, 0.25f, 6}};
    static const Light kCard[] = {{{-9.05f, 0.0f, -13.8f}, 0.15f, 6},
                                  {{-9.05f, 0.0f, -20.8f}, 0.001f, 0x80103},
                                  {{9.05f, 0.0f, -13.8f}, 0.15f, 6},
                                  {{9.05f, 0.0f, -20.8f}, 0.001f, 0x80103}};
    const Light *lights = CardMode ? kCard : kSoftware;
    const int count = CardMode ? 4 : 2;
    for (int i = 0; i < count; ++i) dunCall(dunPresent().addNavLight, c, &lights[i].at, lights[i].size, int32_t(lights[i].flags), 80, 0, 0);
}

}  // namespace

void dunBuildCommandSection() {
    SceneItem *h = dunPlayerShip;
    if (!h || !h->sim || !h->sim->shipInfo || h->sim->shipInfo->typeCode != 0 || !h->avatar) return;
    const WorldPresentHooks &present = dunPresent();
    void *formerModel = h->avatar->root ? h->avatar->root->model : nullptr;
    SceneItem *c = dunCreateSceneItem();
    dunLinkSceneItem(c, 0);

    h->control = dunAi().think;
    h->simulator = dunFlyShip;
    dunCall(present.setObjectModel, h, keptModel("vek\\resource\\shapes\\corvasm_sanshead.lwo", &hullModel));
    if (h->sim->flightMode == 1)
        dunCall(dunAi().setOrder, h, 1, "STOP", 80, 67, nullptr);
    else
        dunCall(dunAi().setOrder, h, 1, "NO PROGRAM", 1, 64, nullptr);
    dunCall(dunAi().startOrder, h, 1);

    dunSetMessageHandler(c, h->messageHandler);
    dunSetControlRoutine(c, dunControlPlayer);
    Sim *s = dunAttachSim(c, dunFlyShip);
    dunSetDrawRoutines(c, dunCopySimToModel, present.presentation);
    TDP *root = dunAttachTDP(c);
    root->model = keptModel("vek\\resource\\shapes\\command_rto.lwo", &sectionModel);
    root->collision = dunFindCollisionModel(root->model);
    root->flags |= TDPFlag::HasActor;
    dunCall(present.addToScene, root, root->model, 0, 0);
    s->flightMode = h->sim->flightMode;
    c->avatar->contactHandler = dunCollideShips;
    s->shipInfo = dunAllocShipInfo();
    s->shipInfo->typeCode = 2;
    dunCall(dunAi().setOrder, c, 1, "NO PROGRAM", 1, 63, nullptr);
    dunCall(dunAi().startOrder, c, 1);
    dunRefreshModelRadius(root);
    dunUpdateNodeTransforms(c);
    dunComputeObjectRadius(c);
    dunSetupComModule(c);

    c->avatar->flags |= h->avatar->flags & AvatarFlag::SideMask;
    s->shipInfo->side = h->sim->shipInfo->side;
    s->mass = 1200.0f;
    s->speed = 0.0f;
    navLights(c);

    // Ahead of the hull by 8000, drawing away at 1000.
    const Sim *hs = h->sim;
    const Vec3 forward = {hs->matrix.m[8], hs->matrix.m[9], hs->matrix.m[10]};
    s->matrix = hs->matrix;
    s->position = {hs->position.x + forward.x * 8000.0, hs->position.y + forward.y * 8000.0,
                   hs->position.z + forward.z * 8000.0};
    s->matrix.m[12] = hs->matrix.m[12] + forward.x * 8000.0f;
    s->matrix.m[13] = hs->matrix.m[13] + forward.y * 8000.0f;
    s->matrix.m[14] = hs->matrix.m[14] + forward.z * 8000.0f;
    s->velocity = {hs->velocity.x + forward.x * 1000.0f, hs->velocity.y + forward.y * 1000.0f,
                   hs->velocity.z + forward.z * 1000.0f};
    dunAddDockingPort(c, PortFlag::ControlTransfer | PortFlag::Open, 1, 180.0f, 0.0f, 0.0f, 0.0f, -1.0f, -13.0f, 70);

    c->avatar->partner = h;
    h->avatar->partner = c;
    c->avatar->sidePartner = h;
    h->avatar->sidePartner = c;
    postReleased(c, h);
    postReleased(h, c);

    dunPlayerShip = c;
    dunControlledObject = c;
    dunCall(dunHud().moveHudRecord, h, c);
    dunCall(present.followCameras, c, h);
    if (DockingPort *port = dunGetDockingPort(h, 2)) {
        port->flags |= PortFlag::Open;
        port->replacement = static_cast<vt_model *>(formerModel);
    }
    SoundPlay(42, 0, 0, 0, 0);
    if (hs->speed < 50000.0f) dunCall(present.eventCamera, c, h, 1);
    dunCall(dunAi().registerScoreObject, c);
}

void dunResetStations() {
    hullModel = nullptr;
    sectionModel = nullptr;
}

void dunSetupComModule(SceneItem *o) {
    Sim *s = o->sim;
    if (!s) return;
    if (!s->shipInfo) s->shipInfo = dunAllocShipInfo();
    ShipInfo *info = s->shipInfo;
    info->typeCode = 2;
    s->flight = &info->current;
    dunInitFlightParams(&info->current, 7000.0f, 500.0f, 0, 0, 90.0f, 90.0f, 90.0f, 700.0f);
    info->nominal = info->current;
    std::memset(info->orders, 0, sizeof info->orders);
    s->goal = nullptr;
    info->ranges[0] = 1.5e7f;
    info->ranges[1] = 1.5e6f;
    info->name = "Com Module";
    info->className = "CMD301";
    o->avatar->flags |= 0x20006;
    o->flags |= SceneFlag::SolarBody;
    o->avatar->contactHandler = dunCollideShips;
    info->hullStrength = 50;
    info->ramMass = 350;
    s->hull = 100;
    // A light beam cannon 1500 ahead of its centre, firing forward over
    // +-15 degrees.
    if (Weapon *w = dunCall(dunAi().createPBCLite, o, 1500.0f, "PBC", 0x41)) s->currentWeapon = w;
}

void dunLinkPartnerObjects(SceneItem *a, SceneItem *b, SceneItem *carrier) {
    carrier->control = dunControlCarrier;
    carrier->simulator = dunSimSpawnedNode;
    carrier->avatar->objectA = a;
    carrier->avatar->objectB = b;
    // The carried objects find their carrier in their first channel word,
    // where their simulator reads it (kept as a handle: the carrier may go).
    for (SceneItem *carried : {a, b}) {
        carried->simulator = dunSimCarried;
        carried->avatar->partner = carrier;
        carried->avatar->channelValues[0] = int32_t(dunHandleOf(carrier));
    }
}

void dunLinkPartnerObject(SceneItem *a, SceneItem *b) {
    a->avatar->partner = b;
    b->avatar->partner = a;
    a->avatar->sidePartner = b;
    b->simulator = dunSimFollowLinked;
    b->avatar->objectA = a;
    b->avatar->followDistance = 100000;
}

void dunRelayJumpToPartners(SceneItem *item, uint8_t payload[4]) {
    uint32_t number = 0;
    ReadU32Le(BytesOf(payload, 4), 0, &number);
    dunPayloadPutU32(payload, 0, uint32_t(-int64_t(int32_t(number))));
    if (!item->sim || !item->sim->shipInfo) return;
    for (const DockingPort *p = item->sim->shipInfo->ports; p; p = p->next) {
        if (!p->partner || !(p->partner->flags & SceneFlag::InUse)) continue;
        dunMsgPost(item->receiverId, p->partner->receiverId, 60, MsgJumpDepart, 4, payload);
    }
}
