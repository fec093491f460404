// Each object's tree of parts kept in step with its library actors once per
// view and frame: world matrices, positions relative to the viewer, the
// level of detail from the projected size, and the actors' matrices.
#include <cmath>

#include "core/frame.h"
#include "core/options.h"
#include "present/effects/particle_draw.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/scene/scene.h"
#include "world/docking.h"
#include "world/objlist.h"
#include "world/records.h"

uint8_t P3DStretchEnabled;

namespace {

constexpr float kStretchCap = 20.0f;

// The stretch along the direction of travel of light-drive flight: of the
// controlled object, or of its partner while it docks.
float StretchFactor(const TDP *tdp, Vec3 *direction) {
    const SceneItem *c = dunControlledObject;
    const Sim *s = c ? c->sim : nullptr;
    if (!s) return 0;
    if (!(s->flags & SimFlag::Lds)) {
        const SceneItem *partner = c->avatar ? c->avatar->partner : nullptr;
        if (c->simulator != dunUpdateDocking || !partner || !partner->sim || !(partner->sim->flags & SimFlag::Lds))
            return 0;
        s = partner->sim;
    }
    *direction = {s->matrix.m[8], s->matrix.m[9], s->matrix.m[10]};
    const float factor = tdp->radius > 0 ? ((s->speed - 100000) / 10) / tdp->radius : 0;
    return factor < kStretchCap ? factor : kStretchCap;
}

vt_model *Slot(const TDP *tdp, int level) { return static_cast<vt_model *>(tdp->savedModel[level]); }

}  // namespace

void P3DUpdatePresentation(SceneItem *item) {
    if (item && item->avatar && item->avatar->root) TDPUpdateTree(item->avatar->root, &item->avatar->matrix);
}

void TDPUpdateTree(TDP *tdp, const Mat4 *parent) {
    if (tdp->sibling) TDPUpdateTree(tdp->sibling, parent);
    Mat4 world = tdp->local;
    MatPreMultiply(world, *parent);
    if (tdp->child) TDPUpdateTree(tdp->child, &world);
    tdp->worldPosition = {world.m[12], world.m[13], world.m[14]};
    Vec3 relative = tdp->worldPosition;
    if (const SceneItem *viewer = gP3D.viewObject; viewer && viewer->sim && viewer->avatar) {
        const Vec3 d = {float(tdp->worldPosition.x - viewer->sim->position.x),
                        float(tdp->worldPosition.y - viewer->sim->position.y),
                        float(tdp->worldPosition.z - viewer->sim->position.z)};
        MatTransformPoint(relative, d, viewer->avatar->matrix);
    }
    tdp->viewPosition = relative;
    TDPSelectDetail(tdp);
    if (tdp->routine) tdp->routine(tdp, &world);
}

void TDPSelectDetail(TDP *tdp) {
    if (tdp->flags & TDPFlag::Particle) return;
    const float depth = tdp->viewPosition.z;
    float size = tdp->radius * kTDPProjection / std::fabs(depth);
    if (gViewZoomRequest) size *= gP3D.zoomFactor;
    if (!(tdp->flags & TDPFlag::SkyWorld)) {
        const float farLimit =
            gP3D.mainCamera ? static_cast<vt_camera *>(gP3D.mainCamera->type_data)->yon_z : 10000000 / kP3DWorldDivisor;
        if (depth > farLimit || depth < -2 * tdp->radius) size = 0;
    }
    if ((tdp->flags & TDPFlag::HasActor) && !tdp->actor) {
        if (!(size > kTDPActorSize)) return;
        P3DAddToScene(tdp, tdp->model, 0, 0);
    }
    vt_actor *actor = tdp->actor;
    if (!actor) return;
    if (optLodFix && size > 0 && tdp->owner && tdp->owner == P3DViewedObject && !P3DCockpitCamera()) {
        actor->model = Slot(tdp, 0);
        return;
    }
    if (!actor->model) return;
    const vt_model *middle = Slot(tdp, 1);
    const float high = middle && middle->nfaces < 12 ? kTDPSmallModelHigh : gP3D.detailHigh;
    const float low = gP3D.detailLow;
    vt_model *onePoint = CardMode ? P3DMakeOnePointModel() : nullptr;
    if (CardMode && size > kTDPOnePointSize && actor->model == onePoint) actor->model = Slot(tdp, 2);
    if (actor->model == Slot(tdp, 0)) {
        if (size < high - gP3D.detailMargin) actor->model = Slot(tdp, 1);
        if (size < low - gP3D.detailMargin) actor->model = Slot(tdp, 2);
    } else if (actor->model == Slot(tdp, 2)) {
        if (size > low) actor->model = Slot(tdp, 1);
        if (size > high) actor->model = Slot(tdp, 0);
    } else {
        if (size < low - gP3D.detailMargin) actor->model = Slot(tdp, 2);
        if (size > high) actor->model = Slot(tdp, 0);
    }
    if (CardMode && size < kTDPOnePointSize) actor->model = onePoint;
}

void TDPSyncActor(TDP *tdp, const Mat4 *world) {
    vt_actor *actor = tdp->actor;
    if (!actor || !(tdp->flags & TDPFlag::HasActor)) return;
    actor->t.type = VT_TRANSFORM_MATRIX34;
    vt_matrix34 &m = actor->t.t.mat;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m.m[r][c] = world->m[4 * r + c];
    for (int c = 0; c < 3; ++c) m.m[3][c] = world->m[12 + c] / kP3DWorldDivisor;
    if (!(tdp->flags & TDPFlag::AsteroidRoot) || !P3DStretchEnabled) return;
    Vec3 d{};
    const float factor = StretchFactor(tdp, &d);
    if (!(factor > 1)) return;
    for (int r = 0; r < 3; ++r) {
        const float along = (m.m[r][0] * d.x + m.m[r][1] * d.y + m.m[r][2] * d.z) * factor;
        m.m[r][0] += along * d.x;
        m.m[r][1] += along * d.y;
        m.m[r][2] += along * d.z;
    }
}

void TDPUpdateParticleSystem(TDP *tdp, const Mat4 *parentWorld) {
    auto *ps = static_cast<ParticleSystem *>(tdp->particleOrMaterial);
    Mat4 world = *parentWorld;
    if (ps && ps->frameStamp != dunFrameCounter) {
        ps->frameStamp = dunFrameCounter;
        if (ps->flags & 0x4000) {
            if (ParticleRingBurstUpdate(tdp, ps, &world)) {
                RemoveParticleSystem(tdp);
                return;
            }
        }
        if (ps->flags & 0x10) {
            MatIdentity(world);
            ParticleSystemUpdate(tdp, ps, &world);
        }
        if (ps->flags & 0x200000) {
            ParticleSwarmUpdate(tdp, ps, &world);
            MatIdentity(world);
        }
        if (!(ps->flags & 0x100000)) {
            if (ps->flags & 0x8) NavLightUpdate(tdp, &world);
            // The controlled object's engine effect is not seen from its cockpit.
            const SceneItem *c = dunControlledObject;
            const TDP *root = c && c->avatar ? c->avatar->root : nullptr;
            if (tdp->owner == c && root && root->child == tdp && P3DCockpitCamera()) ps->flags |= 0x80u;
            if (tdp->actor) tdp->actor->model = (ps->flags & 0x80u) ? nullptr : ps->model;
            P3DUpdateParticleGeometry(ps, &world);
        } else {
            MatIdentity(world);
            if (ps->flags & 0x4000000) P3DUpdateRibbonGeometry(ps);
            else P3DUpdateParticleGeometry(ps, &world);
        }
    }
    TDPSyncActor(tdp, &world);
}
