// Wreck break-up: a part's mesh cut into pieces by the seeds nearest each
// vertex (or by a plane through the impact point), each piece a new library
// model with its inside shown in the shared "carbon" material, flying off
// from the part's centre as the parts of one debris object or as objects
// of their own.
#include <cmath>
#include <cstring>
#include <vector>

#include "RES/util.h"
#include "core/log.h"
#include "render/scene/scene.h"
#include "world/contact.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"
#include "world/wreck.h"

namespace {

constexpr int kMaxSeeds = 64;
constexpr int kHullTries = 45;
constexpr int kMaxPartners = 32;
constexpr float kDebrisSpeed = 2e8f;
constexpr float kPieceSpeed = 2e7f;
constexpr float kLeastRadius = 35000;
constexpr char kCarbon[] = "carbon";
constexpr char kColdMap[] = "vek\\resource\\art\\textures\\ships\\cold.pix";
// The carbon material's lighting: the grey ramp of the game palette.
constexpr uint8_t kCarbonIndexBase = 16;

struct Box {
    Vec3 lo, hi;
};

Vec3 At(const vt_vertex &v) { return {v.p.v[0], v.p.v[1], v.p.v[2]}; }
float Axis(const Vec3 &v, int k) { return k == 0 ? v.x : k == 1 ? v.y : v.z; }
void SetAxis(Vec3 &v, int k, float f) { (k == 0 ? v.x : k == 1 ? v.y : v.z) = f; }

Box Bounds(const vt_vertex *v, int n) {
    Box b = {{0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) {
            const float c = v[i].p.v[k];
            if (i == 0 || c < Axis(b.lo, k)) SetAxis(b.lo, k, c);
            if (i == 0 || c > Axis(b.hi, k)) SetAxis(b.hi, k, c);
        }
    return b;
}

float WholePower(float r, int e) {
    float p = 1;
    for (int i = 0; i < (e < 0 ? -e : e); ++i) p *= r;
    if (e >= 0) return p;
    return p != 0 ? 1 / p : 0;
}

// How a break cut the part's model: each face's piece and border mark.
struct Cut {
    std::vector<uint16_t> piece;
    std::vector<uint8_t> border;
};

// Each face takes the piece two of its corners share (the last pair
// tested), else that of a corner drawn at random.
void AssignFaces(const vt_model *m, const std::vector<uint16_t> &vertexPiece, Cut *cut) {
    cut->piece.resize(m->nfaces);
    cut->border.resize(m->nfaces);
    for (int f = 0; f < m->nfaces; ++f) {
        const uint16_t *c = m->faces[f].vertices;
        const uint16_t p[3] = {vertexPiece[c[0]], vertexPiece[c[1]], vertexPiece[c[2]]};
        uint16_t piece = p[dunRand15() % 3];
        if (p[0] == p[1]) piece = p[0];
        if (p[1] == p[2]) piece = p[1];
        if (p[2] == p[0]) piece = p[2];
        cut->piece[f] = piece;
        cut->border[f] = p[0] == p[1] && p[1] == p[2] ? 0 : 255;
    }
}

Cut CutNearest(const vt_model *m, const Vec3 *seeds, int count) {
    std::vector<uint16_t> vertexPiece(m->nvertices, 0);
    for (int v = 0; v < m->nvertices; ++v) {
        const Vec3 p = At(m->vertices[v]);
        float best = 0;
        for (int s = 0; s < count; ++s) {
            const float d = VecLengthApprox({p.x - seeds[s].x, p.y - seeds[s].y, p.z - seeds[s].z});
            if (s == 0 || d < best) {
                best = d;
                vertexPiece[v] = uint16_t(s);
            }
        }
    }
    Cut cut;
    AssignFaces(m, vertexPiece, &cut);
    return cut;
}

Cut CutByPlane(const vt_model *m, const Vec3 &normal, float d) {
    std::vector<uint16_t> vertexPiece(m->nvertices, 0);
    for (int v = 0; v < m->nvertices; ++v) vertexPiece[v] = VecDot(At(m->vertices[v]), normal) <= d ? 1 : 0;
    Cut cut;
    AssignFaces(m, vertexPiece, &cut);
    return cut;
}

// Planar texture coordinates from the piece's box: x across, and y or z
// (the box's deeper side) down.
void Planar(vt_vertex &v, const Box &b) {
    const float w = b.hi.x - b.lo.x, h = b.hi.y - b.lo.y, depth = b.hi.z - b.lo.z;
    v.map.v[0] = w > 0 ? (v.p.v[0] - b.lo.x) / w : 0;
    if (depth <= h) v.map.v[1] = h > 0 ? (v.p.v[1] - b.lo.y) / h : 0;
    else v.map.v[1] = depth > 0 ? (v.p.v[2] - b.lo.z) / depth : 0;
}

Vec3 FaceNormal(const vt_model *m, const vt_face &f) {
    const Vec3 a = At(m->vertices[f.vertices[0]]), b = At(m->vertices[f.vertices[1]]),
               c = At(m->vertices[f.vertices[2]]);
    Vec3 n;
    VecCross({b.x - a.x, b.y - a.y, b.z - a.z}, {c.x - a.x, c.y - a.y, c.z - a.z}, n);
    return n;
}

// One piece of a cut as a registered "Shrapnel" model moved so that its
// vertices' mean is the origin (that mean, in the part's frame, in centre).
// side: -1 no planar cut, else the half (0 or 1) with the cut's normal.
vt_model *BuildPiece(const vt_model *src, const Cut &cut, int piece, int side, const Vec3 &normal, vt_material *carbon,
                     Vec3 *centre) {
    std::vector<int> faces;
    for (int f = 0; f < src->nfaces; ++f)
        if (cut.piece[f] == piece) faces.push_back(f);
    if (faces.empty()) return nullptr;
    std::vector<int> remap(src->nvertices, -1);
    std::vector<vt_vertex> vertices;
    for (int f : faces)
        for (uint16_t c : src->faces[f].vertices) {
            if (remap[c] < 0) {
                remap[c] = int(vertices.size());
                vertices.push_back(src->vertices[c]);
                vertices.back().index = 0;
            }
            if (cut.border[f]) vertices[remap[c]].index = 1;
        }
    const int nv = int(vertices.size()), nf = int(faces.size());
    const bool planar = side >= 0;
    vt_model *m = VtModelAllocate("Shrapnel", 2 * nv + (planar ? 1 : 0), 2 * nf);
    if (!m) return nullptr;
    m->flags |= 6;
    for (int i = 0; i < nv; ++i) m->vertices[i] = vertices[i];
    for (int j = 0; j < nf; ++j) {
        m->faces[j] = src->faces[faces[j]];
        for (uint16_t &c : m->faces[j].vertices) c = uint16_t(remap[c]);
    }
    const Box box = Bounds(m->vertices, nv);
    int usedVertices = nv, usedFaces = nf;
    if (!planar) {
        // The inside: every vertex again behind the first, every face again
        // turned round, in carbon.
        for (int i = 0; i < nv; ++i) {
            vt_vertex &v = m->vertices[nv + i];
            v = m->vertices[i];
            Planar(v, box);
            v.index = uint8_t(dunRand15() % 191);
        }
        for (int j = 0; j < nf; ++j) {
            vt_face &f = m->faces[nf + j];
            f = m->faces[j];
            const uint16_t *c = m->faces[j].vertices;
            f.vertices[0] = uint16_t(c[2] + nv);
            f.vertices[1] = uint16_t(c[1] + nv);
            f.vertices[2] = uint16_t(c[0] + nv);
            f.material = carbon;
            f.flags = uint8_t(f.flags * 2);
        }
        usedVertices = 2 * nv;
        usedFaces = 2 * nf;
    } else {
        // The cap: the edge of the cut (vertices of fewer than 6 faces)
        // closed to its mean.
        std::vector<int> uses(nv, 0);
        for (int j = 0; j < nf; ++j)
            for (uint16_t c : m->faces[j].vertices) ++uses[c];
        Vec3 mean = {0, 0, 0};
        int edges = 0;
        for (int i = 0; i < nv; ++i)
            if (uses[i] < 6) {
                const Vec3 p = At(m->vertices[i]);
                mean = {mean.x + p.x, mean.y + p.y, mean.z + p.z};
                ++edges;
            }
        if (edges > 0) {
            vt_vertex &e = m->vertices[nv];
            e = m->vertices[0];
            e.p.v[0] = mean.x / float(edges);
            e.p.v[1] = mean.y / float(edges);
            e.p.v[2] = mean.z / float(edges);
            e.index = 191;
            Planar(e, box);
            usedVertices = nv + 1;
            for (int j = 0; j < nf && usedFaces < 2 * nf; ++j) {
                int edge[3], k = 0;
                for (uint16_t c : m->faces[j].vertices)
                    if (uses[c] < 6) edge[k++] = c;
                if (k < 2) continue;
                vt_face &f = m->faces[usedFaces];
                f = m->faces[j];
                f.vertices[0] = uint16_t(edge[0]);
                f.vertices[1] = uint16_t(edge[1]);
                f.vertices[2] = uint16_t(nv);
                f.material = carbon;
                const float along = float(VecDot(FaceNormal(m, f), normal));
                if ((side == 0 && along > 0) || (side == 1 && along < 0)) std::swap(f.vertices[0], f.vertices[1]);
                ++usedFaces;
            }
        }
    }
    m->nvertices = uint16_t(usedVertices);
    m->nfaces = uint16_t(usedFaces);
    Vec3 c = {0, 0, 0};
    for (int i = 0; i < usedVertices; ++i) {
        const Vec3 p = At(m->vertices[i]);
        c = {c.x + p.x, c.y + p.y, c.z + p.z};
    }
    c = {c.x / float(usedVertices), c.y / float(usedVertices), c.z / float(usedVertices)};
    for (int i = 0; i < usedVertices; ++i) {
        m->vertices[i].p.v[0] -= c.x;
        m->vertices[i].p.v[1] -= c.y;
        m->vertices[i].p.v[2] -= c.z;
    }
    *centre = c;
    return VtModelAdd(m);
}

struct Piece {
    vt_model *model;
    Vec3 centre;  // in the part's frame
};

float Radius(const SceneItem *item) { return item->sim ? item->sim->radius : 0; }

// The outward velocity of a piece from the part's centre.
Vec3 Outward(const Vec3 &centre, float speedConstant, const SceneItem *broken) {
    Vec3 d = centre;
    VecNormalise(d);
    const float r = Radius(broken);
    const float speed = speedConstant / (r > kLeastRadius ? r : kLeastRadius);
    return {d.x * speed, d.y * speed, d.z * speed};
}

// The part back on its given detail slot's model.
void ShowSlot(TDP *part, int slot, bool onlyFromFar) {
    vt_model *model = static_cast<vt_model *>(part->savedModel[slot]);
    if (!model) return;
    if (onlyFromFar && !(part->actor && part->actor->model == part->savedModel[2])) return;
    if (part->actor) part->actor->model = model;
    part->model = model;
}

bool Belongs(SceneItem *item, TDP *part) {
    return item->avatar && item->avatar->root && part && CountNodeInTree(item->avatar->root, part);
}

// The pieces of the part's model cut by n seeds about the impact.
std::vector<Piece> NearestPieces(TDP *part, int n, const Vec3 &impact, float exponent, uint32_t carbonFlags) {
    std::vector<Piece> pieces;
    const auto *model = static_cast<const vt_model *>(part->model);
    if (!model || !model->vertices || !model->faces || model->nfaces == 0) return pieces;
    Vec3 seeds[kMaxSeeds];
    const int count = dunBreakSeeds(model, impact, n, exponent, seeds);
    if (count == 0) return pieces;
    const Cut cut = CutNearest(model, seeds, count);
    vt_material *carbon = dunCarbonMaterial(carbonFlags);
    for (int s = 0; s < count; ++s) {
        Piece p{};
        p.model = BuildPiece(model, cut, s, -1, {0, 0, 0}, carbon, &p.centre);
        if (p.model) pieces.push_back(p);
    }
    return pieces;
}

void RemoveBroken(SceneItem *item) {
    if (item->avatar->root) item->avatar->root->flags &= ~TDPFlag::Collidable;
    item->avatar->contactHandler = nullptr;
    dunMsgPost(item->receiverId, item->receiverId, 0, MsgRemove, 0, nullptr);
}

// Shows a piece's model on a part that owns it (it goes with the part).
void ShowPiece(TDP *node, vt_model *model) {
    node->model = model;
    node->savedModel[0] = model;
    node->flags |= TDPFlag::HasActor | TDPFlag::OwnsModel;
    dunCall(dunPresent().addToScene, node, static_cast<void *>(model), 3, 0);
}

// The debris object the pieces fly apart on: the broken object's place
// and motion, drifting, its pieces parts chained after its root.
SceneItem *DebrisObject(SceneItem *broken, TDP *part, const std::vector<Piece> &pieces, float speedConstant) {
    SceneItem *d = dunCreateSceneItem();
    dunLinkSceneItem(d, SceneFlag::Appended);
    Sim *s = dunAttachSim(d, dunSimDrift);
    dunSetDrawRoutines(d, dunCopySimToModel, dunPresent().presentation);
    TDP *root = dunAttachTDP(d);
    root->flags = (root->flags & ~(TDPFlag::HasActor | TDPFlag::Collidable)) | TDPFlag::Joint;
    root->materialName = broken->avatar->root ? broken->avatar->root->materialName : nullptr;
    for (int k = 3; k <= 4; ++k) d->avatar->channelValues[k] = int32_t(float(dunRand15()) * 6 / 32768 - 3);
    if (const Sim *b = broken->sim) {
        s->matrix = b->matrix;
        s->previous = b->previous;
        s->velocity = b->velocity;
        s->mass = b->mass;
        s->position = b->position;
        s->radius = b->radius;
    }
    d->systemNumber = broken->systemNumber;
    dunSetMessageHandler(d, dunHandleMessages);
    d->avatar->contactHandler = dunCollideShips;
    dunCopySimToModel(d);
    TDP *previous = root;
    for (const Piece &p : pieces) {
        TDP *t = dunNewTDP();
        t->owner = d;
        previous->sibling = t;
        previous = t;
        // The piece sits where it was on the part.
        Vec3 at;
        MatRotateVector(part->local, p.centre, at);
        at = {at.x + part->local.m[12], at.y + part->local.m[13], at.z + part->local.m[14]};
        t->offset = at;
        MatTranslate(at.x, at.y, at.z, t->local);
        t->offsetVelocity = Outward(p.centre, speedConstant, broken);
        t->flags = (t->flags | TDPFlag::HasActor) & ~TDPFlag::Collidable;
        t->materialName = part->materialName;
        dunAddNodeChannel(t, 10, 3);
        dunAddNodeChannel(t, 11, 3);
        dunAddNodeChannel(t, 12, 4);
        if (dunRand15() >= 16385) t->flags |= TDPFlag::ReversedAnimation;
        t->model = p.model;
        dunComputeModelRadius(t);
        ShowPiece(t, p.model);
    }
    return d;
}

int SpinFrom(float spin) {
    int m = int(spin);
    if (m > 0) ++m;
    return m == 0 ? 0 : dunRand15() % m;
}

}  // namespace

int dunBreakSeeds(const vt_model *model, Vec3 impact, int count, float exponent, Vec3 *seeds) {
    if (!model || !model->vertices || count <= 0) return 0;
    if (count > kMaxSeeds) count = kMaxSeeds;
    const Box b = Bounds(model->vertices, model->nvertices);
    // A fractional power of a negative draw has no value: the exponent is
    // taken as a whole number.
    const int e = int(exponent);
    for (int s = 0; s < count; ++s)
        for (int k = 0; k < 3; ++k) {
            const float r = WholePower(float(dunRand15()) / 32767 * 2 - 1, e);
            const float p = Axis(impact, k);
            SetAxis(seeds[s], k, r > 0 ? p + (Axis(b.hi, k) - p) * r : p + (p - Axis(b.lo, k)) * r);
        }
    return count;
}

vt_material *dunCarbonMaterial(uint32_t flags) {
    vt_material *m = VtMaterialFind(kCarbon);
    if (!m || m->colour_map) return m;
    m->colour_map = VtMapFind(kColdMap);
    m->index_base = kCarbonIndexBase;
    m->flags = flags;
    VtMaterialUpdate(m, 0x7fff);
    return m;
}

SceneItem *dunBreakNearest(SceneItem *item, TDP *part, int n, float x, float y, float z, float exponent) {
    if (!item) dunFatalError("dunBreakNearest");
    if (!Belongs(item, part)) return nullptr;
    ShowSlot(part, 1, true);
    const std::vector<Piece> pieces = NearestPieces(part, n, {x, y, z}, exponent, 6);
    if (pieces.empty()) return nullptr;
    SceneItem *debris = DebrisObject(item, part, pieces, kDebrisSpeed);
    RemoveBroken(item);
    return debris;
}

SceneItem *dunBreakIntoWreck(SceneItem *item) {
    if (!item || !item->avatar || !item->avatar->root) return nullptr;
    TDP *root = item->avatar->root;
    const std::vector<Piece> pieces = NearestPieces(root, 1, {0, 0, 0}, 3.0f, 6);
    if (pieces.empty()) return nullptr;
    return DebrisObject(item, root, pieces, kDebrisSpeed);
}

SceneItem *dunBreakNearestIntoSceneItems(SceneItem *item, TDP *part, int n, float x, float y, float z, float exponent,
                                         uint8_t planar, uint8_t explode) {
    if (part) ShowSlot(part, 0, false);
    if (!item) dunFatalError("dunBreakNearestIntoSceneItems");
    if (!Belongs(item, part)) return nullptr;
    const auto *model = static_cast<const vt_model *>(part->model);
    if (!model || !model->vertices || !model->faces || model->nfaces == 0) return nullptr;
    Vec3 seeds[kMaxSeeds];
    const int count = dunBreakSeeds(model, {x, y, z}, n, exponent, seeds);
    vt_material *carbon = dunCarbonMaterial(5);
    std::vector<Piece> pieces;
    Vec3 normal = {0, 0, 0};
    if (planar) {
        Vec3 impact;
        MatTransformPoint(impact, {x, y, z}, part->local);
        MatTransformPoint(normal, {0, -1, 0}, part->local);
        VecNormalise(normal);
        const Cut cut = CutByPlane(model, normal, float(VecDot(normal, impact)));
        for (int side = 0; side < 2; ++side) {
            Piece p{};
            p.model = BuildPiece(model, cut, side, side, normal, carbon, &p.centre);
            if (p.model) pieces.push_back(p);
        }
    } else if (count > 0) {
        const Cut cut = CutNearest(model, seeds, count);
        for (int s = 0; s < count; ++s) {
            Piece p{};
            p.model = BuildPiece(model, cut, s, -1, normal, carbon, &p.centre);
            if (p.model) pieces.push_back(p);
        }
    }
    if (pieces.empty()) return nullptr;
    const Avatar *av = item->avatar;
    const Sim *bs = item->sim;
    const TDP *brokenRoot = av->root;
    SceneItem *first = nullptr;
    SceneItem *halves[kMaxPartners] = {};
    int made = 0;
    for (const Piece &p : pieces) {
        SceneItem *o = dunCreateSceneItem();
        dunLinkSceneItem(o, SceneFlag::RecordsNearest);
        dunMoveNextToCurrent(o);
        dunSetMessageHandler(o, dunHandleMessages);
        Sim *s = dunAttachSim(o, dunSimSpawnedNode);
        dunSetDrawRoutines(o, dunCopySimToModel, dunPresent().presentation);
        o->avatar->contactHandler = dunCollideShips;
        o->avatar->flags = av->flags;
        o->systemNumber = item->systemNumber;
        TDP *root = dunAttachTDP(o);
        root->flags |= TDPFlag::HasActor | TDPFlag::Collidable;
        root->materialName = part->materialName;
        root->model = p.model;
        ShowPiece(root, p.model);
        root->collision = brokenRoot ? brokenRoot->collision : nullptr;
        if (bs && bs->shipInfo) {
            ShipInfo *info = dunAllocShipInfo();
            if (info) {
                *info = *bs->shipInfo;
                // What the ship owned stays with it: ports, attached
                // objects, the group's leadership.
                info->flags = (info->flags | ShipFlag::InUse) & ~ShipFlag::GroupHolder;
                info->ports = nullptr;
                info->attached = nullptr;
                info->damage.mask = 0xFFFF;
                info->damage.maximum = 10;
                info->damage.damage = 0;
                info->current = FlightParams{};
                s->shipInfo = info;
                s->flight = &info->current;
            }
        }
        dunComputeModelRadius(root);
        s->radius = root->radius;
        if (bs) {
            s->velocity = bs->velocity;
            s->matrix = bs->matrix;
            s->previous = bs->previous;
            s->position = bs->position;
        }
        Vec3 w;
        const Vec3 out = Outward(p.centre, kPieceSpeed, item);
        MatTransformPointTransposed(w, out, bs ? bs->matrix : av->matrix);
        if (!planar) {
            Vec3 offset = {w.x * 250, w.y * 250, w.z * 250};
            const float r2 = 2 * Radius(item);
            const float length = float(VecLength(offset));
            if (length < r2) {
                Vec3 d = offset;
                if (VecNormalise(d) == 0) d = {0, 0, 1};
                offset = {d.x * r2, d.y * r2, d.z * r2};
            }
            s->position = {s->position.x + offset.x, s->position.y + offset.y, s->position.z + offset.z};
            o->yawSpin = float(SpinFrom(item->yawSpin));
            o->pitchSpin = float(SpinFrom(item->pitchSpin));
        } else {
            s->velocity = {s->velocity.x + w.x * 250, s->velocity.y + w.y * 250, s->velocity.z + w.z * 250};
            s->speed = VecLengthApprox(s->velocity);
            Vec3 at;
            MatTransformPointTransposed(at, p.centre, bs ? bs->matrix : av->matrix);
            s->position = {s->position.x + at.x, s->position.y + at.y, s->position.z + at.z};
            const float faster = float(3 - av->breakGeneration);
            o->yawSpin = (float(dunRand15()) * 4 / 32767 - 2) * faster;
            o->pitchSpin = (float(dunRand15()) * 4 / 32767 - 2) * faster;
        }
        s->matrix.m[12] = float(s->position.x);
        s->matrix.m[13] = float(s->position.y);
        s->matrix.m[14] = float(s->position.z);
        o->avatar->secondHandler = av->secondHandler;
        o->avatar->breakGeneration = int8_t(av->breakGeneration - 1);
        dunCopySimToModel(o);
        if (explode) {
            const DamageRecord none = {};
            dunPostDamageRecord(o->receiverId, o->receiverId, uint32_t(500 + dunRand15() % 100), MsgDestroyed, &none);
        }
        if (planar) {
            dunCall(dunPresent().spawnDebrisBurst, o, 10000);
            if (made < kMaxPartners) halves[made] = o;
        }
        if (!first) first = o;
        ++made;
    }
    if (planar && made >= 2) {
        halves[0]->avatar->partner = halves[1];
        halves[1]->avatar->partner = halves[0];
    }
    RemoveBroken(item);
    return first;
}

uint16_t dunNextUnusedHullVertex(Vec3 *out, const TDP *part, uint16_t cursor) {
    *out = {0, 0, 0};
    const auto *m = part ? static_cast<const vt_model *>(part->model) : nullptr;
    if (!m || !m->vertices || m->nvertices == 0) return 0;
    const int n = m->nvertices;
    if (cursor >= n) cursor = 0;
    for (int k = 0; k < n; ++k) {
        const int i = (cursor + k) % n;
        if (m->vertices[i].index != 0) continue;
        *out = At(m->vertices[i]);
        return uint16_t((i + 1) % n);
    }
    return cursor;
}

int32_t dunRandomHullVertex(Vec3 *out, const TDP *part, int32_t cursor, float zLow, float zHigh) {
    *out = {0, 0, 0};
    const auto *m = part ? static_cast<const vt_model *>(part->model) : nullptr;
    if (!m || !m->vertices || m->nvertices == 0) return 0;
    const int n = m->nvertices;
    if (cursor < 0) cursor = dunRand15() % n;
    cursor %= n;
    const int tries = n < kHullTries ? n : kHullTries;
    for (int k = 0; k < tries; ++k) {
        const int i = (cursor + k) % n;
        const float z = m->vertices[i].p.v[2];
        if (!(zLow < z && z < zHigh)) continue;
        *out = At(m->vertices[i]);
        return (i + 1) % n;
    }
    return (cursor + tries) % n;
}
