// Weapon bolts and animated explosions: the "PlasmaBeam" model sets built at
// set-up, the shared "Explosion" quad, the bolt's per-frame stretching and
// its swap to its trail when near, the animated texture strips, and effects
// turned towards the viewer.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "present/effects/effect_models.h"
#include "present/effects/nav_lights.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/records.h"

vt_model *gBeamModels[kBeamSets][kBeamVariants][kBeamCopies];
vt_model *gExplosionQuad;
AnimatedEffectRow gAnimatedEffects[2] = {{"explo_1", 12, 0, 0, 1.0f / 12}, {"explo_2", 29, 0, 0, 1.0f / 29}};

namespace {

struct BeamSet {
    int16_t blobs, layers;
    float width;
};
constexpr BeamSet kBeamSetTable[kBeamSets] = {{2, 2, 1000}, {2, 3, 1600}, {4, 1, 1400}, {3, 4, 1400},
                                              {1, 1, 2800}, {1, 5, 2800}, {7, 1, 1600}};

constexpr float kMapCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
constexpr uint8_t kBeamIndex = 251;

// The blob template: two crossed quads (x-z and y-z), and at 8 bits a third
// across the beam (x-y); corners at +-0.5.
struct Quad {
    float corners[4][3];
};
constexpr Quad kBlobQuads[3] = {
    {{{-0.5f, 0, -0.5f}, {0.5f, 0, -0.5f}, {0.5f, 0, 0.5f}, {-0.5f, 0, 0.5f}}},
    {{{0, -0.5f, -0.5f}, {0, 0.5f, -0.5f}, {0, 0.5f, 0.5f}, {0, -0.5f, 0.5f}}},
    {{{-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}}},
};

int BlobQuads() { return PixelDepth == 8 ? 3 : 2; }

// Writes one quad as four vertices and two faces from vertex v and face f.
void PutQuad(vt_model *m, int v, int f, const float corners[4][3], float width, float dx, float dy, float step,
             float depth, const vt_colour *faceColour) {
    for (int c = 0; c < 4; ++c) {
        vt_vertex &vx = m->vertices[v + c];
        vx.p.v[0] = corners[c][0] * width + dx;
        vx.p.v[1] = corners[c][1] * width + dy;
        vx.p.v[2] = corners[c][2] * step + depth;
        vx.map.v[0] = kMapCorners[c][0];
        vx.map.v[1] = kMapCorners[c][1];
        vx.index = kBeamIndex;
        vx.red = 255;
        vx.grn = 255;
        vx.blu = 0;
    }
    const uint16_t faces[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int k = 0; k < 2; ++k) {
        vt_face &face = m->faces[f + k];
        for (int j = 0; j < 3; ++j) face.vertices[j] = uint16_t(v + faces[k][j]);
        face.material = nullptr;
        if (faceColour) {
            face.red = uint8_t(*faceColour >> 16);
            face.grn = uint8_t(*faceColour >> 8);
            face.blu = uint8_t(*faceColour);
        }
    }
}

int RandomIn(int span) { return span > 0 ? dunRand15() % span - span / 2 : 0; }

TDP *Root(const SceneItem *item) { return item && item->avatar ? item->avatar->root : nullptr; }

// The trail a bolt carries: its root's first child, a nav-light system.
TDP *Trail(const SceneItem *bolt) {
    TDP *root = Root(bolt);
    TDP *child = root ? root->child : nullptr;
    ParticleSystem *ps = ParticleSystemOf(child);
    return ps && (ps->flags & ParticleFlag::NavLights) ? child : nullptr;
}

void CopyToActor(vt_actor *actor, const Mat4 &m) {
    if (!actor) return;
    actor->t.type = VT_TRANSFORM_MATRIX34;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) actor->t.t.mat.m[r][c] = m.m[4 * r + c];
    for (int c = 0; c < 3; ++c) actor->t.t.mat.m[3][c] = m.m[12 + c] / kP3DWorldDivisor;
}

const AnimatedEffectRow *RowOf(const TDP *root) {
    const uint32_t row = root ? root->presentWord[0] : 0;
    return row < 2 ? &gAnimatedEffects[row] : nullptr;
}

}  // namespace

vt_model *P3DBuildPlasmaBeam(int16_t blobs, int16_t layers, float width, uint32_t colourFlag) {
    if (blobs < 1 || layers < 1) return nullptr;
    const int quads = BlobQuads();
    const int count = blobs * layers;
    vt_model *m = VtModelAllocate("PlasmaBeam", count * quads * 4, count * quads * 2);
    if (!m) return nullptr;
    m->flags |= VT_MODF_KEEP_SOURCE | VT_MODF_KEEP_SOURCE_ALT;
    const vt_colour yellow = 0xFFFF00;
    const vt_colour *faceColour = colourFlag && PixelDepth != 8 ? &yellow : nullptr;
    const float s = 1.0f / float(2 * blobs - 1);
    const int jitter = int(500 + width + 35.0f * blobs * layers);
    float w = width, dx = 0, dy = 0;
    float first = s / 2 - 0.5f;
    int v = 0, f = 0;
    for (int layer = 0; layer < layers; ++layer) {
        for (int blob = 0; blob < blobs; ++blob) {
            const float depth = first + float(blob) * 2 * s;
            for (int q = 0; q < quads; ++q) {
                PutQuad(m, v, f, kBlobQuads[q].corners, w, dx, dy, s, depth, faceColour);
                v += 4;
                f += 2;
            }
        }
        dx = float(RandomIn(jitter));
        dy = float(RandomIn(jitter));
        w *= 0.8f;
        first = float(dunRand15() % 100) * s * 0.01f - 0.5f + s / 2;
    }
    std::memset(&m->bounds, 0, sizeof m->bounds);
    VtModelAdd(m);
    VtModelUpdate(m, VT_MODU_ALL);
    return m;
}

vt_model *P3DBuildExplosionQuad(float side) {
    vt_model *m = VtModelAllocate("Explosion", 4, 2);
    if (!m) return nullptr;
    m->flags |= VT_MODF_KEEP_SOURCE | VT_MODF_KEEP_SOURCE_ALT;
    PutQuad(m, 0, 0, kBlobQuads[2].corners, side, 0, 0, 1, 0, nullptr);
    VtModelAdd(m);
    VtModelUpdate(m, VT_MODU_ALL);
    return m;
}

void P3DBuildEffectModels(vt_material *colour) {
    std::memset(gBeamModels, 0, sizeof gBeamModels);
    const bool eight = PixelDepth == 8;
    const uint32_t flag = colour && !eight ? 1 : 0;
    for (int set = 0; set < kBeamSets; ++set)
        for (int variant = 0; variant < kBeamVariants; ++variant)
            for (int copy = 0; copy < (eight ? 1 : kBeamCopies); ++copy) {
                const BeamSet &b = kBeamSetTable[set];
                gBeamModels[set][variant][copy] = P3DBuildPlasmaBeam(b.blobs, b.layers, b.width, flag);
            }
    gExplosionQuad = P3DBuildExplosionQuad(10000);
}

// A weapon's visual kind counts from 0, the plain beam cannon's: kind 0 is
// the first set.
vt_model *P3DBeamModel(int kind, int variant) {
    if (kind < 0 || kind >= kBeamSets || variant < 0 || variant >= kBeamVariants) return nullptr;
    const int copy = PixelDepth == 8 ? 0 : dunRand15() % kBeamCopies;
    return gBeamModels[kind][variant][copy];
}

float P3DBoltLength(const SceneItem *bolt) {
    if (!bolt || !bolt->sim) return 0;
    float length = VecLength(bolt->sim->velocity) / 3;
    const Avatar *a = bolt->avatar;
    const SceneItem *firer = a ? a->partner : nullptr;
    if (firer && firer->sim && (firer->flags & SceneFlag::InUse)) {
        // The firer's muzzle: its position plus the mount offset turned into
        // world axes.
        Vec3 muzzle = {float(firer->sim->position.x), float(firer->sim->position.y), float(firer->sim->position.z)};
        if (a->mountOffset) {
            Vec3 m;
            MatRotateVector(firer->sim->matrix, *a->mountOffset, m);
            muzzle = {muzzle.x + m.x, muzzle.y + m.y, muzzle.z + m.z};
        }
        const Mat4 &b = bolt->sim->matrix;
        const Vec3 d = {float(bolt->sim->position.x) - muzzle.x, float(bolt->sim->position.y) - muzzle.y,
                        float(bolt->sim->position.z) - muzzle.z};
        const float along = std::fabs(d.x * b.m[8] + d.y * b.m[9] + d.z * b.m[10]);
        length = std::min(length, 2 * along);
    }
    return length;
}

// A script-made weapon may have no range: its bolts do not fade.
uint8_t P3DBoltAlpha(const SceneItem *bolt) {
    const Avatar *a = bolt ? bolt->avatar : nullptr;
    const Weapon *w = a ? a->roundWeapon : nullptr;
    if (!a || !w || !(w->range > 0)) return 255;
    const float alpha = 255 - float(a->effectCounter) * 255 / w->range;
    return uint8_t(std::clamp(alpha, 0.0f, 255.0f));
}

void P3DUpdateBoltTrail(SceneItem *bolt) {
    TDP *root = Root(bolt);
    if (!root || !bolt->sim) return;
    Sim *sim = bolt->sim;
    root->local = sim->matrix;
    root->worldPosition = {sim->matrix.m[12], sim->matrix.m[13], sim->matrix.m[14]};
    if (const SceneItem *viewer = gP3D.viewObject; viewer && viewer->sim) {
        const Vec3 d = {float(sim->position.x - viewer->sim->position.x),
                        float(sim->position.y - viewer->sim->position.y),
                        float(sim->position.z - viewer->sim->position.z)};
        MatTransformPoint(root->viewPosition, d, viewer->sim->matrix);
    }
    const float step = VecLength(sim->velocity) / 3;
    bolt->avatar->effectCounter += int32_t(step * dunFrameSeconds);
    float length = P3DBoltLength(bolt);
    TDP *trail = Trail(bolt);
    ParticleSystem *ps = ParticleSystemOf(trail);
    Mat4 world = sim->matrix;
    if (root->viewPosition.z < kBoltTrailDepth && ps) {
        length /= 2;
        ps->flags &= ~ParticleFlag::Hidden;
        const int n = ps->count;
        for (int i = 0; i < n; ++i) ps->points[i].local.z = (-0.5f + float(i) / float(n)) * length;
        CopyToActor(root->actor, world);
        if (root->actor) root->actor->model = P3DMakeOnePointModel();
    } else {
        if (ps) ps->flags |= ParticleFlag::Hidden;
        Mat4 stretched = world;
        for (int c = 0; c < 3; ++c) stretched.m[8 + c] *= length;
        CopyToActor(root->actor, stretched);
        root->spareColour = P3DBoltAlpha(bolt);
        if (root->actor) root->actor->model = static_cast<vt_model *>(root->model);
    }
    // The trail and whatever else hangs on the bolt follow its position,
    // unstretched.
    if (trail) MatIdentity(trail->local);
    if (root->child) TDPUpdateTree(root->child, &world);
}

void P3DSetupAnimatedEffect(SceneItem *item, int16_t row) {
    TDP *root = Root(item);
    if (!root || row < 0 || row > 1 || !gExplosionQuad) return;
    AnimatedEffectRow &r = gAnimatedEffects[row];
    vt_material *m = VtMaterialFind(r.material);
    if (!m) return;
    item->avatar->effectCounter = 0;
    if (m->colour_map) {
        r.width = m->colour_map->width;
        r.height = m->colour_map->height;
    }
    r.step = 1.0f / float(r.frames);
    VtMatrix23Identity(&m->map_transform);
    m->map_transform.m[1][1] = r.step;
    VtMaterialUpdate(m, VT_MATU_ALL);
    root->presentWord[0] = uint32_t(row);
    root->model = gExplosionQuad;
    if (root->actor) root->actor->model = gExplosionQuad;
    for (int f = 0; f < gExplosionQuad->nfaces; ++f) gExplosionQuad->faces[f].material = m;
    gExplosionQuad->flags |= VT_MODF_CUSTOM;
    gExplosionQuad->custom = P3DRenderAnimatedEffect;
    VtModelUpdate(gExplosionQuad, VT_MODU_ALL);
}

// Every effect on the one shared quad draws its own strip: just before its
// own draw the quad's faces take the material of the effect's row and the
// material its frame's offset, so effects of both rows and of any frames
// can be on the screen together.
void P3DRenderAnimatedEffect(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *orderTable,
                             uint8_t style, uint32_t onScreen) {
    TDP *root = actor ? static_cast<TDP *>(actor->user) : nullptr;
    SceneItem *item = root ? root->owner : nullptr;
    const AnimatedEffectRow *row = RowOf(root);
    if (!item || !item->avatar || !row || !model) return;
    int32_t &frame = item->avatar->effectCounter;
    if (frame >= row->frames) {
        actor->model = nullptr;
        dunMsgPost(item->receiverId, item->receiverId, 0, MsgRemove, 0, nullptr);
        return;
    }
    vt_material *m = VtMaterialFind(row->material);
    if (m) {
        for (int f = 0; f < model->nfaces; ++f) model->faces[f].material = m;
        m->map_transform.m[2][1] = float(frame) * row->step;
        VtMaterialUpdate(m, VT_MATU_MAP_TRANSFORM);
    }
    ++frame;
    VtModelRender(actor, model, material, orderTable, style, onScreen, false);
}

void P3DFaceViewer(SceneItem *item) {
    if (!item || !item->avatar) return;
    Avatar *a = item->avatar;
    const SceneItem *viewer = gP3D.viewObject;
    if (viewer && viewer->sim) {
        Vec3 f = {float(viewer->sim->position.x - a->position.x), float(viewer->sim->position.y - a->position.y),
                  float(viewer->sim->position.z - a->position.z)};
        if (VecNormalise(f) > 0) {
            Vec3 up;
            VecRotateZ(up, float(int32_t(a->lightMask)), Vec3{0, -1, 0});
            Vec3 right;
            VecCross(f, up, right);
            VecNormalise(right);
            VecCross(f, right, up);
            const float scale = float(a->lightLevel) / 10000;
            const Vec3 rows[3] = {right, up, f};
            for (int r = 0; r < 3; ++r) {
                a->matrix.m[4 * r] = rows[r].x * scale;
                a->matrix.m[4 * r + 1] = rows[r].y * scale;
                a->matrix.m[4 * r + 2] = rows[r].z * scale;
            }
        }
    }
    P3DUpdatePresentation(item);
}
