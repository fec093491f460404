// The 3D card's particle geometry: each system draws as a "Doughball"
// library model of one camera-facing quad a point (or ribbons for smoke
// trails), rebuilt from its points every frame; the shared models are
// handed out in turn from the two sets the set-up made.
#include <cmath>
#include <cstring>

#include "RES/util.h"
#include "present/effects/particle_draw.h"
#include "present/effects/particles.h"
#include "present/p3d.h"
#include "render/scene/scene.h"
#include "world/records.h"

const uint32_t kParticleVertexColours[8] = {0x0000007Fu, 0xFF2F287Fu, 0x2FFF2F7Fu, 0xFFFF2F7Fu,
                                            0x2F24FF7Fu, 0xFF2FFF7Fu, 0x2FCFFF7Fu, 0xFFFFFF7Fu};
uint32_t gPuffColours[96];
float gPuffSizes[96];
uint32_t gRibbonFade[2][96];

namespace {

constexpr int kNavLightPoints = 44;
constexpr int kFlareEntry = 32;
constexpr int kPuffEntry = 8;
constexpr int kPlainEntry = 14;
constexpr uint32_t kLinkedColour = 0x0000FF7Fu;

void Colour(vt_vertex &v, uint32_t c) {
    v.red = uint8_t(c >> 24);
    v.grn = uint8_t(c >> 16);
    v.blu = uint8_t(c >> 8);
    v.index = uint8_t(c);
}

const float *Extras(const ParticleSystem *ps, int i) {
    return ps->extras ? static_cast<const float *>(ps->extras) + 5 * i : nullptr;
}

int AgeIndex(int life, float of) {
    if (of <= 0) return 95;
    const int i = int(95 * float(life) / of);
    return i < 0 ? 0 : i > 95 ? 95 : i;
}

// Sets a face's corners and material; true when the material changed.
bool Face(vt_face &f, int a, int b, int c, vt_material *m) {
    f.vertices[0] = uint16_t(a);
    f.vertices[1] = uint16_t(b);
    f.vertices[2] = uint16_t(c);
    const bool changed = f.material != m;
    f.material = m;
    return changed;
}

// The camera's right and up axes in the system's frame.
void CameraAxes(const Mat4 *matrix, Vec3 *right, Vec3 *up) {
    const SceneItem *camera = gP3D.viewObject;
    if (!camera || !camera->avatar) {
        *right = {1, 0, 0};
        *up = {0, -1, 0};
        return;
    }
    const Mat4 &c = camera->avatar->matrix;
    *right = {c.m[0], c.m[1], c.m[2]};
    *up = {c.m[4], c.m[5], c.m[6]};
    if (matrix) {
        MatTransformPoint(*right, *right, *matrix);
        MatTransformPoint(*up, *up, *matrix);
    }
}

}  // namespace

vt_material *P3DParticleMaterial(int entry) {
    if (entry == kFlareEntry) return gP3D.potBlack;
    if (entry < 0 || entry > 31) return nullptr;
    return gP3D.explosionMaterials[entry < 24 ? entry : entry - 8];
}

void P3DBuildParticleGeometry(ParticleSystem *ps, bool shared) {
    const bool navLights = ps->flags & ParticleFlag::NavLights;
    const int n = navLights ? kNavLightPoints : ps->count;
    P3DLoadEffectTextures();
    vt_model *m = nullptr;
    if (!navLights) {
        m = gP3D.doughballs[gP3D.doughballNext[0]];
        gP3D.doughballNext[0] = (gP3D.doughballNext[0] + 1) % 8;
    } else if (shared) {
        m = gP3D.doughballs[8 + gP3D.doughballNext[1]];
        gP3D.doughballNext[1] = (gP3D.doughballNext[1] + 1) % 8;
    } else if ((m = VtModelAllocate("Doughball", n * 4, n * 2))) {
        // Kept updateable: adding would otherwise prepare it and drop the
        // arrays the quads are rebuilt in.
        m->flags |= 0x291;
        m = VtModelAdd(m);
    }
    ps->model = m;
    if (!m) return;
    m->flags |= 0x291;
    static const float kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // The face count changes with the live points: the vertex count holds
    // the room (two faces to four vertices).
    for (int i = 0; i < n && 4 * i + 3 < m->nvertices; ++i) {
        const float *e = i < ps->count ? Extras(ps, i) : nullptr;
        vt_material *material = P3DParticleMaterial(e && e[0] > 0 ? kFlareEntry : kPlainEntry);
        const int v = 4 * i;
        Face(m->faces[2 * i], v + 2, v + 1, v, material);
        Face(m->faces[2 * i + 1], v, v + 3, v + 2, material);
        for (int k = 0; k < 2; ++k) m->faces[2 * i + k].red = m->faces[2 * i + k].grn = m->faces[2 * i + k].blu = 255;
        for (int k = 0; k < 4; ++k) {
            vt_vertex &x = m->vertices[v + k];
            x.index = uint8_t(dunRand15() % 256);
            x.red = 240;
            x.grn = 180;
            x.blu = 20;
            x.map.v[0] = kCorner[k][0];
            x.map.v[1] = kCorner[k][1];
        }
    }
    Mat4 identity;
    P3DUpdateParticleGeometry(ps, &MatIdentity(identity));
}

void P3DUpdateParticleGeometry(ParticleSystem *ps, const Mat4 *matrix) {
    vt_model *m = ps->model;
    if (!m || (ps->flags & ParticleFlag::NavGeometryDone)) return;
    uint16_t style = 3;
    if (ps->flags & ParticleFlag::OneShotUpdate) style = 19;
    else if (ps->flags & ParticleFlag::NavLights) ps->flags |= ParticleFlag::NavGeometryDone;
    ps->flags &= ~ParticleFlag::OneShotUpdate;
    Vec3 right, up;
    CameraAxes(matrix, &right, &up);
    const bool puffs = ps->flags & ParticleFlag::Puffs;
    bool changed = false;
    int quads = 0;
    const int capacity = m->nvertices / 4;
    for (int i = 0; i < ps->count && quads < capacity; ++i) {
        Particle &p = ps->points[i];
        if (p.life <= 0) continue;
        float h;
        uint32_t colour;
        int entry;
        Vec3 r = right, u = up;
        const float *e = Extras(ps, i);
        if (e && e[0] > 0) {
            auto *angles = const_cast<float *>(e);
            angles[1] += angles[3];
            angles[2] += angles[4];
            const float a = angles[1] * kDegToRadF, b = angles[2] * kDegToRadF;
            r = {right.x * std::cos(a) + up.x * std::sin(a), right.y * std::cos(a) + up.y * std::sin(a),
                 right.z * std::cos(a) + up.z * std::sin(a)};
            u = {up.x * std::cos(b) - right.x * std::sin(b), up.y * std::cos(b) - right.y * std::sin(b),
                 up.z * std::cos(b) - right.z * std::sin(b)};
            h = e[0];
            colour = gPuffColours[AgeIndex(p.life, float(ps->particleLife) / 1.2f)];
            entry = kFlareEntry;
        } else if (puffs) {
            colour = gPuffColours[AgeIndex(p.life, float(ps->particleLife) / 1.2f)];
            h = p.size * 2000 * gPuffSizes[AgeIndex(p.life, float(ps->particleLife))];
            entry = kPuffEntry;
        } else {
            h = p.size * 2600;
            colour = kParticleVertexColours[p.colour & 7];
            entry = p.colour & 31;
        }
        const int v = 4 * quads;
        const float sx[4] = {-1, 1, 1, -1}, sy[4] = {-1, -1, 1, 1};
        for (int k = 0; k < 4; ++k) {
            vt_vertex &x = m->vertices[v + k];
            x.p.v[0] = p.pos.x + h * (sx[k] * r.x + sy[k] * u.x);
            x.p.v[1] = p.pos.y + h * (sx[k] * r.y + sy[k] * u.y);
            x.p.v[2] = p.pos.z + h * (sx[k] * r.z + sy[k] * u.z);
            Colour(x, colour);
        }
        // A streak pair: the far side is pulled towards the linked point.
        if (p.link && p.link < uint32_t(ps->count)) {
            const Vec3 &to = ps->points[p.link].pos;
            const float f = float(100 - int(p.shade)) / 150;
            for (int k = 2; k < 4; ++k) {
                vt_vertex &x = m->vertices[v + k];
                x.p.v[0] -= (p.pos.x - to.x) * f;
                x.p.v[1] -= (p.pos.y - to.y) * f;
                x.p.v[2] -= (p.pos.z - to.z) * f;
                Colour(x, kLinkedColour);
            }
        }
        vt_material *material = P3DParticleMaterial(entry);
        changed |= Face(m->faces[2 * quads], v + 2, v + 1, v, material);
        changed |= Face(m->faces[2 * quads + 1], v, v + 3, v + 2, material);
        ++quads;
    }
    int faces = 2 * quads;
    if (quads == 0 && m->nvertices >= 3) {
        for (int k = 0; k < 3; ++k) {
            m->vertices[k].p.v[0] = ps->position.x;
            m->vertices[k].p.v[1] = ps->position.y;
            m->vertices[k].p.v[2] = ps->position.z;
        }
        Face(m->faces[0], 0, 1, 2, m->faces[0].material);
        faces = 1;
    }
    m->nfaces = uint16_t(faces);
    if (uint32_t(faces) == ps->lastFaceCount && !changed) {
        VtModelUpdate(m, style);
    } else {
        VtModelUpdate(m, 0xC0);
        ps->lastFaceCount = uint32_t(faces);
    }
}

void P3DUpdateRibbonGeometry(ParticleSystem *ps) {
    vt_model *m = ps->model;
    if (!m) return;
    const uint32_t *fade = gRibbonFade[(ps->flags & ParticleFlag::Chain) ? 0 : 1];
    Vec3 view = {0, 0, 1};
    if (const SceneItem *camera = gP3D.viewObject; camera && camera->avatar)
        view = {camera->avatar->matrix.m[8], camera->avatar->matrix.m[9], camera->avatar->matrix.m[10]};
    int vertices = 0, faces = 0;
    int strand = 0;  // points of the current strand so far
    for (int i = 0; i < ps->count; ++i) {
        const Particle &p = ps->points[i];
        if (p.life <= 0) {
            strand = 0;
            continue;
        }
        if (vertices + 2 > m->nvertices) break;
        // Across the view direction and the strand's own direction.
        const Particle *next = i + 1 < ps->count && ps->points[i + 1].life > 0 ? &ps->points[i + 1] : nullptr;
        const Vec3 along = next ? Vec3{next->pos.x - p.pos.x, next->pos.y - p.pos.y, next->pos.z - p.pos.z}
                                : Vec3{p.vel.x, p.vel.y, p.vel.z};
        Vec3 across;
        VecCross(along, view, across);
        VecNormalise(across);
        const float w = p.size * 1000;
        const int index = AgeIndex(p.life, float(ps->particleLife));
        int alpha = ps->particleLife > 0 ? 255 * p.life / (2 * ps->particleLife) : 255;
        if (alpha > 255) alpha = 255;
        const uint32_t colour = (fade[index] & 0xFFFFFF00u) | uint32_t(alpha < 0 ? 0 : alpha);
        const float v = strand % 2 ? 0.99f : 0.01f;
        for (int k = 0; k < 2; ++k) {
            vt_vertex &x = m->vertices[vertices + k];
            const float s = k ? w : -w;
            x.p.v[0] = p.pos.x + across.x * s;
            x.p.v[1] = p.pos.y + across.y * s;
            x.p.v[2] = p.pos.z + across.z * s;
            x.map.v[0] = k ? 0.99f : 0.01f;
            x.map.v[1] = v;
            Colour(x, colour);
        }
        if (strand > 0 && faces + 2 <= m->nvertices / 2) {
            const int a = vertices - 2;
            vt_material *material = P3DParticleMaterial(kPuffEntry);
            Face(m->faces[faces++], a, a + 1, vertices + 1, material);
            Face(m->faces[faces++], a, vertices + 1, vertices, material);
        }
        vertices += 2;
        ++strand;
    }
    if (faces == 0 && m->nvertices >= 3) {
        for (int k = 0; k < 3; ++k) {
            m->vertices[k].p.v[0] = ps->position.x;
            m->vertices[k].p.v[1] = ps->position.y;
            m->vertices[k].p.v[2] = ps->position.z;
        }
        Face(m->faces[0], 0, 1, 2, m->faces[0].material);
        faces = 1;
    }
    m->nfaces = uint16_t(faces);
    VtModelUpdate(m, 0xC0);
    ps->lastFaceCount = uint32_t(faces);
}

void P3DFreeModelMaterials(vt_model *model) {
    if (!model) return;
    vt_material *seen[256];
    int count = 0;
    for (int f = 0; f < model->nfaces; ++f) {
        vt_material *m = model->faces[f].material;
        model->faces[f].material = nullptr;
        if (!m) continue;
        bool known = false;
        for (int k = 0; k < count && !known; ++k) known = seen[k] == m;
        if (known || count == 256) continue;
        seen[count++] = m;
        VtMaterialRemove(m);
        VtMaterialFree(m);
    }
    VtModelUpdate(model, 16);
}
