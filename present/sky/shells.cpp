// Glows laid over a ship for a moment (the shield's at a hit point, the
// pocket's round the player's ship), the star gate's animated edge, the
// scrolling shared unlit texture, and the software fill of a ring system's
// band.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/effects/particle_draw.h"
#include "present/frame_passes.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/flares.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

constexpr int kShellPool = 32;
constexpr int kShellKinds = 3;
constexpr const char *kShellModels[kShellKinds] = {"vek\\resource\\shapes\\ShieldFlare_rto.lwo",
                                                   "vek\\resource\\shapes\\CapsFlare_rto.lwo",
                                                   "vek\\resource\\shapes\\PocketFlare_rto.lwo"};
// The effect materials whose maps and index ranges the shells' own
// materials take.
constexpr const char *kShellTemplates[kShellKinds] = {"gas_shell", "gas_shell", "starstuff"};

struct FlareShell {
    TDP *tdp;  // null: free
    int32_t kind;
    float scale;
    vt_material *material;
    int32_t life, initialLife;
    int32_t spare[2];
    int32_t strength;
    uint32_t flags;
    Mat4 orientation;
};
FlareShell gShells[kShellPool];
vt_model *gShellModels[kShellKinds];

FlareShell *ShellOf(const TDP *tdp) {
    for (FlareShell &s : gShells)
        if (s.tdp && s.tdp == tdp) return &s;
    return nullptr;
}

// A shell whose part has gone (its timed removal) frees its entry.
FlareShell *FreeShell() {
    for (FlareShell &s : gShells)
        if (!s.tdp || !(s.tdp->flags & TDPFlag::InUse) || s.tdp->routine != P3DUpdateFlareShell) {
            s = FlareShell{};
            return &s;
        }
    return nullptr;
}

void Bounds(const vt_model *m, vt_bounds3 &b) {
    b = vt_bounds3{{{0, 0, 0}}, {{0, 0, 0}}};
    for (int i = 0; m && m->vertices && i < m->nvertices; ++i)
        for (int k = 0; k < 3; ++k) {
            const float c = m->vertices[i].p.v[k];
            if (i == 0 || c < b.min.v[k]) b.min.v[k] = c;
            if (i == 0 || c > b.max.v[k]) b.max.v[k] = c;
        }
}

// The object's extent on each axis (at least 1).
Vec3 ObjectSize(const SceneItem *item) {
    const TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    vt_bounds3 b;
    Bounds(root ? static_cast<const vt_model *>(root->model) : nullptr, b);
    return {std::max(1.0f, b.max.v[0] - b.min.v[0]), std::max(1.0f, b.max.v[1] - b.min.v[1]),
            std::max(1.0f, b.max.v[2] - b.min.v[2])};
}

void PrepareShield(vt_model *m) {
    vt_bounds3 b;
    Bounds(m, b);
    const float height = b.max.v[2] - b.min.v[2];
    for (int i = 0; i < m->nvertices; ++i) {
        vt_vertex &v = m->vertices[i];
        const float t = height > 0 ? (v.p.v[2] - b.min.v[2]) / height : 0;
        const uint8_t rg = t <= 0.2f ? 0 : uint8_t((t - 0.2f) / 0.8f * 255);
        v.red = v.grn = rg;
        v.blu = t < 0.8f ? uint8_t(t / 0.8f * 255) : 255;
    }
}

void PreparePocket(vt_model *m) {
    vt_bounds3 b;
    Bounds(m, b);
    const float height = b.max.v[2] - b.min.v[2];
    for (int i = 0; i < m->nvertices; ++i) {
        vt_vertex &v = m->vertices[i];
        const float t = height > 0 ? (v.p.v[2] - b.min.v[2]) / height : 0;
        v.red = uint8_t(200 + dunRand15() % 50);
        v.grn = uint8_t(200 + dunRand15() % 50);
        v.blu = 250;
        v.map.v[0] = 1 - t;
        v.map.v[1] = float(dunRand15() % 10) * 0.005f;
    }
}

void PrepareCapsule(vt_model *m) {
    for (int i = 0; m->faces && i < m->nfaces; ++i) {
        vt_face &f = m->faces[i];
        f.red = uint8_t(dunRand15() % 256);
        f.grn = uint8_t(dunRand15() % 256);
        f.blu = uint8_t(dunRand15() % 256);
    }
}

// The part's actor takes the world matrix with its axes scaled.
void PlaceShell(TDP *tdp, const Mat4 &m, const float scale[3]) {
    if (!tdp->actor) return;
    vt_matrix34 &t = tdp->actor->t.t.mat;
    tdp->actor->t.type = VT_TRANSFORM_MATRIX34;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) t.m[r][c] = r < 3 ? m.m[4 * r + c] * scale[r] : m.m[4 * r + c];
}

}  // namespace

void P3DLoadFlareShells() {
    // The smoke's grey ramp of the particle geometry: red, green, blue
    // 255 t and the index byte 127.
    for (int i = 0; i < 96; ++i) {
        const uint32_t g = uint32_t(255 * (float(i) / 96));
        gPuffColours[i] = g << 24 | g << 16 | g << 8 | 127u;
    }
    // The burn texture's palette comes with the shells (read, not needed
    // for the ramp above).
    pcxFree(pcxLoad("vek\\resource\\art\\tovburny.pcx"));
    for (FlareShell &s : gShells) s = FlareShell{};
    for (int k = 0; k < kShellKinds; ++k) {
        uint32_t status = 0;
        auto *m = static_cast<vt_model *>(LwoLoadModel(kShellModels[k], nullptr, &status));
        gShellModels[k] = m;
        // A shell that did not load is left out, not prepared.
        if (!m || !m->vertices) continue;
        if (k == 0) PrepareShield(m);
        else if (k == 1) PrepareCapsule(m);
        else PreparePocket(m);
        VtModelUpdate(m, 64);
    }
}

vt_model *P3DFlareShellModel(int kind) { return kind >= 0 && kind < kShellKinds ? gShellModels[kind] : nullptr; }

void P3DSpawnFlareShell(SceneItem *item, float x, float y, float z, int kind, float scale, int life, int strength,
                        int red, int green, int blue) {
    if (!item || !item->avatar || kind < 0 || kind >= kShellKinds) return;
    vt_model *model = gShellModels[kind];
    if (!model) return;
    FlareShell *shell = FreeShell();
    if (!shell) return;
    Avatar *a = item->avatar;
    TDP *root = a->root ? a->root : dunAttachTDP(item);
    if (!root) return;
    TDP *tdp = dunAddChildTDP(root, model, 0, 0, 0);
    if (!tdp) return;
    *shell = FlareShell{tdp, kind, scale, nullptr, life, life, {0, 0}, strength, 1, Mat4{}};
    MatIdentity(shell->orientation);
    const vt_material *pattern = P3DEffectMaterial(kShellTemplates[kind]);
    vt_material *m = VtMaterialAllocate("Temporary");
    if (m) {
        m->opacity = 255;
        m->ka = 1.0f;
        m->kd = m->ks = 0;
        m->flags = kind == 2 ? 0x20026u : 0x21026u;
        m->colour = vt_colour(red & 255) << 16 | vt_colour(green & 255) << 8 | vt_colour(blue & 255);
        if (pattern) {
            m->colour_map = pattern->colour_map;
            m->index_base = pattern->index_base;
            m->index_range = pattern->index_range;
        }
        VtMatrix23Identity(&m->map_transform);
        shell->material = VtMaterialAdd(m);
    }
    tdp->flags |= 0x20004u;
    tdp->particleOrMaterial = shell->material;
    P3DAddToScene(tdp, model, 3, 0);
    tdp->routine = P3DUpdateFlareShell;
    if (tdp->actor) tdp->actor->material = shell->material;
    tdp->savedModel[0] = tdp->savedModel[1] = tdp->savedModel[2] = model;
    tdp->radius = root->radius;
    if (kind == 0) {
        const Vec3 size = ObjectSize(item);
        Vec3 d{x / size.x, y / size.y, z / size.z};
        if (VecNormalise(d) == 0) d = {0, 0, 1};
        MatLookAlong(d, nullptr, shell->orientation);
        shell->orientation.m[12] = x;
        shell->orientation.m[13] = y;
        shell->orientation.m[14] = z;
    }
    tdp->local = shell->orientation;
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, dunHandleOf(tdp));
    dunMsgPost(item->receiverId, item->receiverId, uint32_t(std::max(life, 0)), MsgDetachPart, 4, payload);
}

void P3DUpdateFlareShell(TDP *tdp, const Mat4 *world) {
    FlareShell *shell = ShellOf(tdp);
    if (!shell || !world) return;
    vt_material *m = shell->material;
    if (shell->kind == 0) {
        const float scale[3] = {50, 50, 50};
        PlaceShell(tdp, *world, scale);
        if (m) m->map_transform.m[2][1] = -float(dunGameClock % 100) * 0.01f;
    } else {
        shell->life = std::max(0, shell->life - int32_t(dunFrameStep));
        const float fade = (shell->flags & 2) ? 1 - float(shell->life) / 102 : float(shell->life) / 100;
        if (m) m->map_transform.m[2][1] = fade;
        const Vec3 size = ObjectSize(tdp->owner);
        const float scale[3] = {size.x / 94, size.y / 94, size.z / 94};
        PlaceShell(tdp, *world, scale);
    }
    if (m) VtMaterialUpdate(m, 5);
}

void P3DSetStarGateEdge(SceneItem *, int state) {
    const char *name = state == 9 ? "GateEdge2" : state == 10 ? "GateEdge1" : state == 12 ? "GateEdge3" : "GateEdge4";
    vt_material *gate = VtMaterialFind("StarGate");
    const vt_material *edge = VtMaterialFind(name);
    if (!gate || !edge) return;
    gate->colour_map = edge->colour_map;
    VtMaterialUpdate(gate, 8);
}

void P3DScrollUnlitTexture() {
    float &u = gLightFx.unlitScroll;
    u += 1.0f * dunFrameSeconds;
    u += dunFrameSeconds;
    if (u > 1.0f) u -= 1.0f;
    vt_material *m = gP3D.unlitMaterial ? gP3D.unlitMaterial : VtMaterialFind("Unlit");
    if (!m) return;
    m->map_transform.m[2][0] = u;
    VtMaterialUpdate(m, 1);
}

// The band between the ring's two chains of projected points: the left
// chain is points 1..100, the right one 101..200 (its walker wraps back to
// 101). One span a scan line, both chains stepped in 24.8 fixed point.
void P3DFillPolygon(const ParticleSystem *ps) {
    if (!ps || !ps->points || ps->count < 201 || !ScreenSurface.pixels) return;
    const Particle *p = ps->points;
    int left = 1;
    while (left <= 100 && !(p[left].screen.z > 0)) ++left;
    if (left > 100) return;
    int right = 101;
    uint8_t colour = 63;
    int steps = 0;
    auto nextRight = [&](int r) {
        ++r;
        if (r > 200) {
            r = 101;
            colour = 95;
        }
        return r;
    };
    while (left < 100 && steps < 400) {
        ++steps;
        const Particle &l0 = p[left], &l1 = p[left + 1];
        const Particle &r0 = p[right];
        const int rn = nextRight(right);
        const Particle &r1 = p[rn];
        if (!(l1.screen.z > 0) || !(r0.screen.z > 0) || !(r1.screen.z > 0)) break;
        const int ly0 = int(l0.screen.y), ly1 = int(l1.screen.y), ry0 = int(r0.screen.y), ry1 = int(r1.screen.y);
        if (ry1 < ry0 && colour == 63) colour = 133;
        const int top = std::max(ly0, ry0), bottom = std::min(ly1, ry1);
        const int32_t lx = int32_t(l0.screen.x * 256), rx = int32_t(r0.screen.x * 256);
        const int32_t ldx = ly1 != ly0 ? int32_t((l1.screen.x - l0.screen.x) * 256 / float(ly1 - ly0)) : 0;
        const int32_t rdx = ry1 != ry0 ? int32_t((r1.screen.x - r0.screen.x) * 256 / float(ry1 - ry0)) : 0;
        for (int y = top; y <= bottom; ++y) {
            const int x0 = (lx + ldx * (y - ly0)) >> 8, x1 = (rx + rdx * (y - ry0)) >> 8;
            FillRectClipped(&ScreenSurface, colour, &ViewClipRect, std::min(x0, x1), y, std::max(x0, x1), y);
        }
        if (ly1 <= ry1) ++left;
        else right = rn;
        if (colour == 95 && right == 101) colour = 161;
    }
}
