#include "world/eventhooks.h"

#include "RES/libmodel.h"
#include "RES/resman.h"
#include "core/options.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "world/contact.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/step.h"

const HookAction HookActionTable[kHookActionCount] = {
    dunHookHullRupture, dunLaunchPlasmaBall, dunHookDockOnContact, dunHookToggleColour, dunHookLongPlasmaBall,
};

SceneItem *dunLastPlasmaBall = nullptr;

bool dunAddEventHook(SceneItem *item, uint32_t eventId, uint32_t flags, HookActionRef action) {
    if (!item || !item->sim) return false;
    HookAction routine = nullptr;
    const ResourceHandle *video = nullptr;
    if (flags & ActionFlag::PointerGiven) {
        if (flags & ActionFlag::CallRoutine)
            routine = action.routine;
        else
            video = action.video;
    } else {
        // The index comes from a script: a row the table does not have
        // would call through whatever lies beyond it.
        if (!action.index || *action.index < 0 || *action.index >= kHookActionCount) return false;
        routine = HookActionTable[*action.index];
    }
    Action *a = dunAllocAction();
    if (!a) return false;
    a->flags |= flags;
    a->eventId = eventId;
    a->routine = routine;
    a->video = video;
    Action **tail = &item->sim->hooks;
    while (*tail) tail = &(*tail)->next;
    *tail = a;
    return true;
}

int16_t dunRunEventHooks(SceneItem *item, uint32_t eventId, const HookArgument *argument) {
    if (!item || !item->sim) return 0;
    int16_t count = 0;
    for (Action *a = item->sim->hooks, *next; a; a = next) {
        next = a->next;
        if (a->eventId != eventId) continue;
        ++count;
        if (a->flags & ActionFlag::CallRoutine) {
            if (a->routine) a->routine(item, argument);
        } else {
            VideoPlaying = PlayVideo(a->video ? a->video->name : nullptr) ? 1 : 0;
        }
        // A hook may remove its own object; its list went with it.
        if (!(item->flags & SceneFlag::InUse) || !item->sim) break;
    }
    return count;
}

void dunReleaseEventHooks(SceneItem *item) {
    if (!item || !item->sim) return;
    for (Action *a = item->sim->hooks, *next; a; a = next) {
        next = a->next;
        a->flags &= ~ActionFlag::InUse;
        a->next = nullptr;
    }
    item->sim->hooks = nullptr;
}

void dunHookHullRupture(SceneItem *item, const HookArgument *argument) {
    if (!argument) return;
    dunCall(dunPresent().addHullRupture, item, 14, 4, &argument->point, 1500);
}

namespace {

// A projectile of a launcher: an ordinary object with the standard handler
// and draw routines, showing its model, flying on the launcher's matrix.
SceneItem *launchProjectile(SceneItem *launcher, SimulatorRoutine simulator, void *model, ContactHandler contact,
                            uint32_t removeAfter) {
    const WorldPresentHooks &present = dunPresent();
    SceneItem *shot = dunCreateSceneItem();
    dunLinkSceneItem(shot, 0);
    dunSetMessageHandler(shot, dunHandleMessages);
    dunSetControlRoutine(shot, nullptr);
    Sim *sim = dunAttachSim(shot, simulator);
    dunSetDrawRoutines(shot, dunCopySimToModel, present.presentation);
    TDP *root = dunAttachTDP(shot);
    root->model = model;
    root->flags |= TDPFlag::HasActor | TDPFlag::Collidable | TDPFlag::SpheresOnly;
    dunCall(present.addToScene, root, model, 3, 0);
    root->savedModel[0] = root->savedModel[1] = root->savedModel[2] = model;
    if (launcher->avatar->root) launcher->avatar->root->radius = 100000.0f;
    if (launcher->sim) sim->matrix = launcher->sim->matrix;
    shot->avatar->matrix = sim->matrix;
    shot->avatar->contactHandler = contact;
    dunMsgPost(shot->receiverId, shot->receiverId, removeAfter, MsgRemove, 0, nullptr);
    sim->radius = 30.0f;
    shot->avatar->lifetime = 120000;
    sim->hull = 2000000000;
    // The collision pass works on double positions; the ball's simulator
    // keeps them on the float position from here on.
    sim->position = {sim->matrix.m[12], sim->matrix.m[13], sim->matrix.m[14]};
    shot->avatar->position = sim->position;
    sim->timer = int16_t(removeAfter);
    return shot;
}

}  // namespace

void dunLaunchPlasmaBall(SceneItem *launcher, const HookArgument *) {
    if (!launcher || !launcher->avatar) return;
    const WorldPresentHooks &present = dunPresent();
    launcher->avatar->secondHandler = dunDestroySelf;
    SoundPlay(38, 0, 0, 0, 0);
    dunCall(present.setFlashBrightness, 175);
    void *model = dunCall(present.plasmaModel);
    SceneItem *ball = launchProjectile(launcher, dunSimPlasmaBall, model, dunContactPlasmaBall, 550);
    dunCall(present.setupPlasmaBall, ball, 0, 255, "plasmaball");
    ball->sim->speed = 1850.0f;
    dunLastPlasmaBall = ball;
}

void dunHookLongPlasmaBall(SceneItem *launcher, const HookArgument *argument) {
    dunLaunchPlasmaBall(launcher, argument);
    if (dunLastPlasmaBall) dunLastPlasmaBall->avatar->lifetime = 1800000;
}

void dunLaunchGasShell(SceneItem *launcher, const HookArgument *) {
    if (!CardMode || !launcher || !launcher->avatar) return;
    const WorldPresentHooks &present = dunPresent();
    launcher->avatar->secondHandler = dunDestroySelf;
    static void *model = nullptr;
    if (!model) {
        model = LoadDatModel("vantor\\dat\\gasshell.dat", nullptr, nullptr);
        if (model) dunCall(present.scaleModelToRadius, model, 50.0f);
    }
    SceneItem *shell = launchProjectile(launcher, dunSimGasShell, model, dunContactProjectile, 400);
    dunCall(present.setupGasShell, shell, "gas_shell");
    if (launcher->sim) shell->sim->speed = launcher->sim->speed;
    shell->avatar->marker = '-';
}

void dunHookDockOnContact(SceneItem *item, const HookArgument *argument) {
    SceneItem *other = argument ? argument->other : nullptr;
    if (!item || !other || other != dunPlayerShip || !item->sim || !other->sim) return;
    const float *za = &item->sim->matrix.m[8];
    const float *zb = &other->sim->matrix.m[8];
    const float dot = za[0] * zb[0] + za[1] * zb[1] + za[2] * zb[2];
    if (dot < 0.9f && dot > -0.9f) return;
    // Objects without a ship record or a port have nothing to dock with.
    if (!dunDockAtFirstPorts(item, other)) return;
    dunCall(dunGui().dockedCockpit);
    dunCall(dunPresent().eventCamera, item, item->sim->target, 12);
}

void dunHookToggleColour(SceneItem *item, const HookArgument *) { dunCycleColourIndex(item, true); }

void dunCycleColourIndex(SceneItem *item, bool forward) {
    if (!item || !item->avatar) return;
    Avatar *av = item->avatar;
    uint32_t next;
    switch (av->colourIndex) {
    case 9: next = forward ? 10 : 12; break;
    case 10: next = forward ? 12 : 9; break;
    case 12: next = forward ? 9 : 10; break;
    default: next = forward ? 9 : 10; break;
    }
    av->colourIndex = next;
    // Only a particle node carries the particles to colour.
    TDP *node = av->root ? av->root->child : nullptr;
    if (!node || !(node->flags & TDPFlag::Particle) || !node->particleOrMaterial) return;
    auto *ps = static_cast<ParticleSystem *>(node->particleOrMaterial);
    if (ps->points) {
        const int count = ps->count < dunParticleCapacity(ps) ? ps->count : dunParticleCapacity(ps);
        for (int i = 0; i < count; ++i) {
            ps->points[i].colour = uint16_t(next);
            ps->points[i].shade = 64;
        }
    }
    ps->flags = (ps->flags & ~0x2000000u) | 0x10000000u;
}
