// Planets, moons and suns placed each frame relative to the viewpoint: their
// positions (near 1e11) are kept in double precision until the difference
// from the viewer is taken, the library sees them divided by the sky
// divisor, and each shows nothing, one point or a pool sphere by its
// apparent size.
#include <cmath>
#include <cstdint>

#include "core/options.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/planets.h"
#include "present/sky/sky.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

constexpr float kApparentFactor = 900.0f;
constexpr float kRadiusDivisor = 2.0f;
constexpr float kShowSize = 10.0f;
constexpr float kSizeWordFactor = 1.7f;
// The colour byte of a scripted sun's glare: the yellow tint on the first
// flare texture (at 8 bits the yellow light table and the round glow).
constexpr uint16_t kScriptSunColour = 6;

bool HasName(const TDP *tdp) { return tdp->materialName && tdp->materialName[0]; }

bool IsSkyBody(const SceneItem *item) {
    return item->avatar &&
           (item->avatar->presentation == P3DPlaceSkyBody || item->avatar->presentation == P3DPlaceSkyBodyFull);
}

// The actor's transform: the matrix with its translation divided by the sky
// divisor.
void PlaceActor(vt_actor *actor, const Mat4 &m) {
    vt_matrix34 &t = actor->t.t.mat;
    actor->t.type = VT_TRANSFORM_MATRIX34;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) t.m[r][c] = r == 3 ? m.m[4 * r + c] / kP3DSkyDivisor : m.m[4 * r + c];
}

// The sun the script makes shows its glare through a part with the star
// model under its root.
void GiveSunItsGlare(SceneItem *item) {
    TDP *root = item->avatar->root;
    if (!root || root->child) return;
    vt_model *star = P3DCreateStarDummy();
    if (!star) return;
    TDP *glare = dunAddChildTDP(root, star, 0, 0, 0);
    if (!glare) return;
    glare->flags |= TDPFlag::SkyWorld;
    glare->radius = root->radius;
    glare->colourIndex = kScriptSunColour;
    P3DAddToScene(glare, star, 0, 0);
}

}  // namespace

void P3DSkyBodyDetail(TDP *tdp) {
    if (!tdp) return;
    const Vec3 &v = tdp->viewPosition;
    const float s = (std::fabs(v.x) + std::fabs(v.y) + std::fabs(v.z)) / 3;
    const float size = s > 0 ? tdp->radius / kRadiusDivisor * kApparentFactor / s : 0;
    if (!tdp->actor) {
        if (!(tdp->flags & TDPFlag::HasActor) || !(size > kShowSize)) return;
        P3DAddToScene(tdp, nullptr, 2, 0);
        if (!tdp->actor) return;
    }
    vt_actor *actor = tdp->actor;
    actor->user = tdp;
    auto *planet = static_cast<vt_model *>(tdp->savedModel[0]);
    if (planet && actor->model == planet) {
        actor->user2 = reinterpret_cast<void *>(intptr_t(size * kSizeWordFactor));
        return;
    }
    if (size < kShowSize) {
        actor->model = P3DMakeOnePointModel();
    } else {
        if (!planet) {
            planet = dunPlanetPoolAcquire(tdp, size);
            tdp->savedModel[0] = planet;
        }
        actor->model = planet ? planet : P3DMakeOnePointModel();
        dunPlanetPoolSetMaterialFlags(tdp, size <= gP3D.skyRingThreshold ? 0 : -1);
    }
    dunPlanetPoolSetPriority(tdp, size);
}

void P3DPlaceSkyBody(SceneItem *item) {
    if (!item || !item->avatar || !item->sim) return;
    Avatar *a = item->avatar;
    const Vec3d at = item->sim->position;
    a->matrix.m[12] = float(at.x);
    a->matrix.m[13] = float(at.y);
    a->matrix.m[14] = float(at.z);
    TDP *root = a->root;
    if (!root) return;
    Mat4 local = a->matrix;
    const float scale = float(a->scale) / 1000.0f;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) local.m[4 * r + c] *= scale;
    // The viewer's frame: the difference is taken in double precision.
    const SceneItem *viewer = gP3D.viewObject;
    const Sim *eye = viewer && viewer->sim ? viewer->sim : nullptr;
    const double dx = at.x - (eye ? eye->position.x : 0.0), dy = at.y - (eye ? eye->position.y : 0.0),
                 dz = at.z - (eye ? eye->position.z : 0.0);
    Vec3 view{float(dx), float(dy), float(dz)};
    if (eye) {
        const float *m = eye->matrix.m;
        view = {float(m[0] * dx + m[1] * dy + m[2] * dz), float(m[4] * dx + m[5] * dy + m[6] * dz),
                float(m[8] * dx + m[9] * dy + m[10] * dz)};
    }
    for (TDP *tdp = root; tdp; tdp = tdp->child) {
        tdp->local = local;
        tdp->worldPosition = {local.m[12], local.m[13], local.m[14]};
        tdp->viewPosition = view;
        if (HasName(tdp)) P3DSkyBodyDetail(tdp);
        if (tdp->actor) PlaceActor(tdp->actor, local);
        if (tdp->sibling) TDPUpdateTree(tdp->sibling, &local);
    }
}

void P3DPlaceSkyBodyFull(SceneItem *item) {
    if (!item || !item->avatar) return;
    GiveSunItsGlare(item);
    P3DPlaceSkyBody(item);
}

void P3DPlaceAllSkyBodies() {
    SceneItem *head = dunSceneListHead();
    const Sim *player = dunPlayerShip ? dunPlayerShip->sim : nullptr;
    for (SceneItem *it = head->next; it != head; it = it->next) {
        if (!it->avatar || it->avatar->presentation != P3DPlaceSkyBody || !it->avatar->root || !it->sim) continue;
        TDP *tdp = it->avatar->root->child ? it->avatar->root->child : it->avatar->root;
        const Vec3d p = it->sim->position, q = player ? player->position : Vec3d{0, 0, 0};
        tdp->viewPosition = {float(std::fabs(q.x - p.x)), float(std::fabs(q.y - p.y)), float(std::fabs(q.z - p.z))};
        if (HasName(tdp)) P3DSkyBodyDetail(tdp);
    }
}

// The parts of the sky bodies whose actors draw in the planet world: those
// whose models draw themselves live in the star world and are drawn there.
int P3DCollectSkyBodies(TDP **parts, int max) {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it != head && n < max; it = it->next) {
        if (!IsSkyBody(it)) continue;
        for (TDP *tdp = it->avatar->root; tdp && n < max; tdp = tdp->child) {
            const vt_actor *actor = tdp->actor;
            if (!actor || !actor->model || (actor->model->flags & VT_MODF_CUSTOM)) continue;
            parts[n++] = tdp;
        }
    }
    return n;
}
