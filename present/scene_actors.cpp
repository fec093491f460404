// Parts and their library actors: making, rebuilding and freeing them, the
// models an object shows, particle-effect parts leaving their trees, the
// screen rectangles the renderer reports, and the shared "one point" model.
#include "RES/util.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "present/effects/particle_draw.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "render/front/front.h"
#include "render/scene/scene.h"
#include "world/docking.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"

namespace {

vt_model *gOnePoint;

void DrawNothing(vt_actor *, vt_model *, vt_material *, vt_order_table *, vt_uint_8, vt_token) {}

void SetSlots(TDP *tdp, void *model) { tdp->savedModel[0] = tdp->savedModel[1] = tdp->savedModel[2] = model; }

bool CustomDrawn(const vt_model *m) { return m && (m->flags & VT_MODF_CUSTOM); }

void ClearScreenRect(TDP *tdp) {
    tdp->screenRect[0] = tdp->screenRect[1] = tdp->screenRect[2] = tdp->screenRect[3] = 0;
}

// A model actor for the part: its material found by name, its back pointer
// to the part.
vt_actor *PartActor(TDP *tdp, vt_model *model) {
    vt_actor *actor = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    if (!actor) return nullptr;
    actor->model = model;
    actor->material = tdp->materialName ? VtMaterialFind(tdp->materialName) : nullptr;
    actor->t.type = VT_TRANSFORM_MATRIX34;
    actor->user = tdp;
    if (tdp->flags & TDPFlag::Particle) actor->type_data = tdp->particleOrMaterial;
    if (optWire) actor->render_style = VT_RSTYLE_EDGES;
    return actor;
}

// Links the actor into the main world; a sky object goes into the star
// world when its model draws itself, and nowhere otherwise.
void LinkActor(TDP *tdp, vt_actor *actor) {
    vt_actor *parent = gP3D.mainWorld;
    if (tdp->flags & TDPFlag::SkyWorld) parent = CustomDrawn(actor->model) ? gP3D.starWorld : nullptr;
    if (actor->parent == parent && parent) return;
    if (actor->parent) VtActorRemove(actor);
    if (parent) VtActorAdd(parent, actor);
}

}  // namespace

vt_model *P3DMakeOnePointModel() {
    if (gOnePoint) return gOnePoint;
    vt_model *m = VtModelAllocate("one point", 1, 1);
    if (!m) return nullptr;
    m->flags |= 0x26;
    m->custom = DrawNothing;
    gOnePoint = VtModelAdd(m);
    return gOnePoint;
}

void P3DForgetSharedModels() { gOnePoint = nullptr; }

bool P3DCockpitCamera() { return dunPlayerCamera && dunPlayerCamera->control == CameraPlayer; }

int P3DAddToScene(TDP *tdp, void *modelArgument, int mode, int) {
    if (!tdp) return 0;
    auto *model = static_cast<vt_model *>(modelArgument);
    if (mode == 1) {
        // The particle system goes with the part; the part shows the
        // particle stand-in.
        tdp->particleOrMaterial = modelArgument;
        model = P3DParticleDummyModel();
        tdp->model = model;
    }
    tdp->flags |= TDPFlag::HasActor;
    if (!gP3D.mainWorld && (!(tdp->flags & TDPFlag::SkyWorld) || !gP3D.planetWorld)) return 1;
    SetSlots(tdp, tdp->model);
    vt_actor *actor = PartActor(tdp, model);
    if (!actor) return 0;
    if (tdp->actor) P3DRemoveActor(tdp);
    tdp->actor = actor;
    LinkActor(tdp, actor);
    if (!CustomDrawn(model)) {
        if ((model && model == P3DParticleDummyModel()) || mode != 0) {
            tdp->savedModel[1] = mode == 2 ? static_cast<void *>(P3DMakeOnePointModel()) : tdp->savedModel[0];
            tdp->savedModel[2] = P3DMakeOnePointModel();
        } else {
            P3DSetUpDetailModels(tdp);
        }
    }
    ClearScreenRect(tdp);
    if (mode != 1) {
        tdp->model = model;
        tdp->collision = dunFindCollisionModel(model);
        if (tdp->owner) dunPlaceDockingPorts(tdp->owner);
    }
    return 1;
}

void P3DBuildActorTree(TDP *tdp) {
    if (!tdp) return;
    P3DBuildActorTree(tdp->sibling);
    P3DBuildActorTree(tdp->child);
    if (!(tdp->flags & TDPFlag::HasActor)) return;
    const Avatar *avatar = tdp->owner ? tdp->owner->avatar : nullptr;
    if (avatar && (avatar->flags & AvatarFlag::PlanetBody) && !(tdp->flags & TDPFlag::Particle)) return;
    auto *model = static_cast<vt_model *>(tdp->model);
    tdp->collision = dunFindCollisionModel(model);
    if (tdp->owner) dunPlaceDockingPorts(tdp->owner);
    if (!tdp->actor) {
        vt_actor *actor = PartActor(tdp, model);
        if (!actor) return;
        if (tdp->flags & TDPFlag::Edges) actor->render_style = VT_RSTYLE_EDGES;
        if (tdp->flags & TDPFlag::BoundingEdges) actor->render_style = VT_RSTYLE_BOUNDING_FACES;
        tdp->actor = actor;
        ClearScreenRect(tdp);
        SetSlots(tdp, model);
        if (!CustomDrawn(model)) {
            if (model && model == P3DParticleDummyModel()) tdp->savedModel[2] = P3DMakeOnePointModel();
            else P3DSetUpDetailModels(tdp);
        }
    }
    LinkActor(tdp, tdp->actor);
}

void P3DSetObjectModel(SceneItem *item, void *model) {
    TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    if (!root) return;
    if (root->actor) root->actor->model = static_cast<vt_model *>(model);
    root->model = model;
    root->savedModel[0] = model;
    P3DSetUpDetailModels(root);
}

void P3DRemoveActor(TDP *tdp) {
    if (!tdp || !tdp->actor) return;
    vt_actor *actor = tdp->actor;
    tdp->actor = nullptr;
    // The main camera rides on the viewing object's actor: it stays when
    // the object goes.
    if (gP3D.mainCamera && gP3D.mainCamera->parent == actor) {
        VtActorRemove(gP3D.mainCamera);
        if (gP3D.mainWorld) VtActorAdd(gP3D.mainWorld, gP3D.mainCamera);
    }
    if (actor->parent) VtActorRemove(actor);
    VtActorFree(actor);
}

void RemoveParticleSystem(TDP *tdp) {
    if (!tdp->owner) dunFatalError("RemoveParticleSystem - ScenePtr==NULL");
    if (!(tdp->flags & TDPFlag::InUse)) dunFatalError("RemoveParticleSystem - not 3DP_CURRENT");
    Avatar *avatar = tdp->owner->avatar;
    TreeNode **link = nullptr;
    if (avatar && avatar->root != tdp)
        TreeFindLinkSlot(nullptr, reinterpret_cast<TreeNode *>(avatar->root), reinterpret_cast<TreeNode *>(tdp), &link);
    if (auto *ps = static_cast<ParticleSystem *>(tdp->particleOrMaterial)) {
        dunFree(ps->extras);
        ps->extras = nullptr;
        ps->flags &= ~1u;
    }
    tdp->flags &= ~(TDPFlag::HasActor | TDPFlag::Particle);
    P3DRemoveActor(tdp);
    tdp->flags &= ~TDPFlag::InUse;
    tdp->routine = TDPSyncActor;
    TDP *child = tdp->child, *sibling = tdp->sibling;
    TDP *replacement = sibling ? sibling : child;
    if (avatar && avatar->root == tdp) {
        if (replacement) avatar->root = replacement;
    } else if (link) {
        *link = reinterpret_cast<TreeNode *>(replacement);
    }
    // With both, the child goes down the sibling chain: to the first node
    // without a child, or after the first one without a sibling.
    if (child && sibling) {
        TDP *node = sibling;
        while (node->child && node->sibling) node = node->sibling;
        if (!node->child) node->child = child;
        else node->sibling = child;
    }
}

void P3DRecordScreenBounds(vt_actor *actor, vt_model *, vt_material *, vt_order_table *, uint8_t, const vt_matrix4 *,
                           const int32_t bounds[4]) {
    auto *tdp = actor ? static_cast<TDP *>(actor->user) : nullptr;
    if (!tdp) return;
    for (int k = 0; k < 4; ++k) tdp->screenRect[k] = int16_t(bounds[k]);
    tdp->drawnFrame = dunFrameCounter;
    int16_t *dirty = gP3D.viewDirty;
    if (!tdp->model || !dirty) return;
    for (int k = 0; k < 2; ++k)
        if (tdp->screenRect[k] < dirty[k]) dirty[k] = tdp->screenRect[k];
    for (int k = 2; k < 4; ++k)
        if (tdp->screenRect[k] > dirty[k]) dirty[k] = tdp->screenRect[k];
}

bool P3DModelVertex(const void *modelArgument, int i, Vec3 *out) {
    const auto *model = static_cast<const vt_model *>(modelArgument);
    if (!model || !model->vertices || i < 0 || i >= model->nvertices) return false;
    const vt_vector3 &p = model->vertices[i].p;
    *out = {p.v[0], p.v[1], p.v[2]};
    return true;
}
