// The wreck fly-by: when an object is destroyed near the controlled object,
// the "CorpseMd" model tumbles past the viewer on a course that brings it
// close to where the controlled object will be, and removes itself after a
// few seconds.
#include <algorithm>
#include <cmath>

#include "RES/resman.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "present/effects.h"
#include "present/scene.h"
#include "world/messages.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/step.h"

namespace {

constexpr double kReach = 300000.0;
constexpr double kTimeScale = 4500.0;  // distance flown per second of the course
constexpr float kLead = 10000.0f;      // aimed this far ahead of the controlled object
constexpr float kOwnAhead = 4200.0f, kOwnSpeed = 1200.0f, kOwnSeconds = 15.0f;

int Spread(int span) { return dunRand15() % span - span / 2; }

// A vector of the object's own axes in world axes (rows of its matrix:
// right, up, nose).
Vec3 ToWorld(const Mat4 &m, float x, float y, float z) {
    return {x * m.m[0] + y * m.m[4] + z * m.m[8], x * m.m[1] + y * m.m[5] + z * m.m[9],
            x * m.m[2] + y * m.m[6] + z * m.m[10]};
}

}  // namespace

void P3DMakeWreck(SceneItem *item) {
    SceneItem *viewer = dunControlledObject;
    if (!item || !item->sim || !viewer || !viewer->sim) return;
    void *symbol = dunCall(dunScript().symbolValue, "CorpseMd");
    void *model = symbol ? resmanLoad(static_cast<ResourceHandle *>(symbol)) : nullptr;
    if (!model) return;
    const Sim *from = item->sim, *own = viewer->sim;
    const Vec3d d = {own->position.x - from->position.x, own->position.y - from->position.y,
                     own->position.z - from->position.z};
    const double dist = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (dist > kReach) return;

    SceneItem *wreck = dunCreateSceneItem();
    dunLinkSceneItem(wreck, 0);
    Sim *sim = dunAttachSim(wreck, dunSimSpawnedNode);
    dunSetDrawRoutines(wreck, dunCopySimToModel, P3DUpdatePresentation);
    dunSetMessageHandler(wreck, dunHandleMessages);
    TDP *root = dunAttachTDP(wreck);
    sim->matrix = from->matrix;
    sim->previous = from->previous;

    float f;
    if (item == viewer) {
        const float x = float(Spread(3000)), y = float(Spread(3000));
        const Vec3 offset = ToWorld(from->matrix, x, y, kOwnAhead);
        sim->velocity = ToWorld(from->matrix, 0.0f, 0.0f, kOwnSpeed);
        sim->position = {from->position.x + offset.x, from->position.y + offset.y, from->position.z + offset.z};
        f = kOwnSeconds;
    } else {
        f = float(std::max(dist / kTimeScale, 1.0));
        const Mat4 &m = own->matrix;
        const Vec3 aim = {float(d.x) + own->velocity.x * f + m.m[8] * kLead,
                          float(d.y) + own->velocity.y * f + m.m[9] * kLead,
                          float(d.z) + own->velocity.z * f + m.m[10] * kLead};
        sim->velocity = {aim.x / f, aim.y / f, aim.z / f};
        sim->position = from->position;
        wreck->yawSpin = item->yawSpin;
        wreck->pitchSpin = item->pitchSpin;
        wreck->rollSpin = item->rollSpin;
    }
    dunSyncFloatPosition(sim);

    root->flags = (root->flags | TDPFlag::HasActor) & ~TDPFlag::Collidable;
    wreck->avatar->flags |= AvatarFlag::FreeBody;
    sim->speed = 50.0f;
    wreck->yawSpin = float(Spread(50));
    wreck->pitchSpin = float(Spread(50));
    root->model = model;
    P3DAddToScene(root, model, 2, 0);
    // A model that is not a LightWave object has no collision record: its
    // radius comes from its vertices.
    if (root->collision)
        root->radius = root->collision->size;
    else
        dunComputeModelRadius(root);
    sim->radius = root->radius;

    dunMsgPost(wreck->receiverId, wreck->receiverId, uint32_t(f * 100.0f + 600.0f), 0, 0, nullptr);
}
