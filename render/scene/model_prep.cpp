// Model preparation: the prepared form a renderer draws, made from a
// model's vertex and face arrays.
//
// Every face corner becomes a prepared vertex unless an equal one exists:
// corners of one material at one position with the same texture
// coordinates and the same smoothed normal are welded (with
// VT_MODF_NO_WELD, corners naming the same vertex with the same normal).
// A corner's normal is the sum of the plane normals of the faces meeting
// at its position that share a smoothing group with its face (and, by
// crease, lie within the crease angle of it).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/scene/scenestate.h"

namespace {

// A plane normal component never goes below this.
constexpr vt_scalar kNormalLow = -0.99999988f;

// A total order on floats, NaN after every number, so that sorting cannot
// go astray on bad positions.
int cmpf(vt_scalar a, vt_scalar b) {
    bool an = a != a, bn = b != b;
    if (an || bn)
        return an == bn ? 0 : (an ? 1 : -1);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int cmpv(const vt_scalar *a, const vt_scalar *b, int n) {
    for (int i = 0; i < n; i++)
        if (int c = cmpf(a[i], b[i]))
            return c;
    return 0;
}

int cmpp(const void *a, const void *b) {
    auto x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

void facePlane(vt_vector4 *eqn, const vt_vector3 &p0, const vt_vector3 &p1, const vt_vector3 &p2) {
    VtPlaneEquation(eqn, &p0, &p1, &p2);
    for (int i = 0; i < 3; i++)
        eqn->v[i] = std::clamp(eqn->v[i], kNormalLow, 1.0f);
}

vt_vector3 unitNormal(const vt_vector3 &sum) {
    vt_vector3 n;
    if (!VtVector3Normalise(&n, &sum))
        VtVector3Set(&n, 1, 0, 0);
    return n;
}

vt_vector3 minusPivot(const vt_vector3 &p, const vt_model *m) {
    vt_vector3 r;
    VtVector3Sub(&r, &p, &m->pivot);
    return r;
}

struct corner {
    vt_vector3 nsum;
    vt_uint_32 vertex;
    vt_uint_32 face;
};

// A face normal meeting others at one position, with how often it meets.
struct contribution {
    vt_uint_32 mask;
    vt_vector3 n;
    vt_vector3 sum;
};

struct weld_key {
    vt_uint_32 k[8];
    vt_uint_32 vertex;
    vt_uint_32 corner;
};

// Float bits turned into an unsigned key of the same order (NaN after
// every number, -0 equal to 0).
vt_uint_32 sortKey(vt_scalar f) {
    if (f != f)
        return 0xFFC00000u;
    if (f == 0)
        f = 0;
    vt_uint_32 b;
    memcpy(&b, &f, sizeof b);
    return (b & 0x80000000u) ? ~b : b | 0x80000000u;
}

struct edge_record {
    vt_uint_32 face;
    vt_uint_32 number;
    vt_int_32 next; // the next record of the same direction, -1 at the end
    vt_uint_32 matched;
};

// The edges not yet matched, by direction (from, to), oldest first: an
// open-addressed table of list heads. Prepared vertex numbers are unique
// across groups, so one table serves every group.
struct edge_slot {
    uint64_t key; // kNoEdge when free
    vt_int_32 head, tail;
};

constexpr uint64_t kNoEdge = ~uint64_t(0);

struct edge_index {
    edge_slot *slots;
    vt_size mask;

    static vt_size capacity(vt_size records) {
        vt_size c = 16;
        while (c < 2 * records)
            c *= 2;
        return c;
    }
    void clear() {
        for (vt_size i = 0; i <= mask; i++)
            slots[i] = edge_slot{kNoEdge, -1, -1};
    }
    edge_slot *find(vt_uint_32 from, vt_uint_32 to, bool add) {
        uint64_t key = uint64_t(from) << 32 | to;
        vt_size i = vt_size((key * 0x9E3779B97F4A7C15ull) >> 40) & mask;
        while (slots[i].key != key) {
            if (slots[i].key == kNoEdge) {
                if (!add)
                    return nullptr;
                slots[i].key = key;
                break;
            }
            i = (i + 1) & mask;
        }
        return &slots[i];
    }
};

// Carves aligned slices out of one scratch block.
struct arena {
    vt_uint_8 *base;
    vt_size used;
    template <class T> T *take(vt_size n) {
        used = (used + alignof(T) - 1) & ~(alignof(T) - 1);
        T *p = reinterpret_cast<T *>(base + used);
        used += n * sizeof(T);
        return p;
    }
    template <class T> static vt_size need(vt_size n) { return n * sizeof(T) + alignof(T); }
};

vt_size align32(vt_size n) { return (n + 31) & ~vt_size(31); }

void computeBounds(vt_model *m) {
    if (m->nvertices == 0) {
        m->radius = 0;
        memset(&m->bounds, 0, sizeof m->bounds);
        return;
    }
    double r2 = 0;
    m->bounds.min = m->bounds.max = m->vertices[0].p;
    for (int i = 0; i < m->nvertices; i++) {
        const vt_vector3 &p = m->vertices[i].p;
        double d = double(p.v[0]) * p.v[0] + double(p.v[1]) * p.v[1] + double(p.v[2]) * p.v[2];
        if (d > r2)
            r2 = d;
        VtBounds3AddPoint(&m->bounds, &p);
    }
    m->radius = vt_scalar(std::sqrt(r2));
}

// Planes from the prepared vertices, then unit vertex normals from the
// planes of the faces that use each vertex.
void refreshPlanesAndNormals(vt_prepared_group &g, bool normals) {
    for (int f = 0; f < g.nfaces; f++) {
        vt_prepared_face &pf = g.faces[f];
        facePlane(&pf.eqn, g.vertices[pf.vertices[0]].p, g.vertices[pf.vertices[1]].p,
                  g.vertices[pf.vertices[2]].p);
    }
    if (!normals)
        return;
    for (int v = 0; v < g.nvertices; v++)
        VtVector3Set(&g.vertices[v].n, 0, 0, 0);
    for (int f = 0; f < g.nfaces; f++) {
        const vt_prepared_face &pf = g.faces[f];
        const vt_vector3 fn = {{pf.eqn.v[0], pf.eqn.v[1], pf.eqn.v[2]}};
        for (int k = 0; k < 3; k++)
            VtVector3Add(&g.vertices[pf.vertices[k]].n, &g.vertices[pf.vertices[k]].n, &fn);
    }
    for (int v = 0; v < g.nvertices; v++)
        g.vertices[v].n = unitNormal(g.vertices[v].n);
}

// Patches the prepared form in place. False when it no longer matches the
// arrays (a source number out of range): the caller rebuilds.
bool quickRefresh(vt_model *m, vt_uint_16 flags) {
    vt_prepared_model *pm = m->prepared;
    for (int gi = 0; gi < pm->ngroups; gi++) {
        const vt_prepared_group &g = pm->groups[gi];
        for (int v = 0; v < g.nvertices; v++)
            if (g.vertex_user[v] >= m->nvertices)
                return false;
        for (int f = 0; f < g.nfaces; f++)
            if (g.face_user[f] >= m->nfaces)
                return false;
    }
    bool custom = (m->flags & VT_MODF_CUSTOM_NORMALS) != 0;
    for (int gi = 0; gi < pm->ngroups; gi++) {
        vt_prepared_group &g = pm->groups[gi];
        for (int v = 0; v < g.nvertices; v++) {
            const vt_vertex &src = m->vertices[g.vertex_user[v]];
            vt_prepared_vertex &pv = g.vertices[v];
            if (flags & VT_MODU_VERTEX_POSITIONS)
                pv.p = minusPivot(src.p, m);
            if (flags & VT_MODU_VERTEX_COLOURS)
                g.vertex_colours[v] = VtPackColour(src.index, src.red, src.grn, src.blu);
            if (flags & VT_MODU_VERTEX_MAPPING)
                pv.map = src.map;
            if ((flags & VT_MODU_VERTEX_NORMALS) && custom)
                pv.n = src.n;
        }
        if (flags & VT_MODU_FACE_COLOURS)
            for (int f = 0; f < g.nfaces; f++) {
                const vt_face &src = m->faces[g.face_user[f]];
                g.face_colours[f] = VtPackColour(src.index, src.red, src.grn, src.blu);
            }
        // The planes go first: normals made from the old planes would lag
        // one refresh behind moving vertices.
        if (flags & VT_MODU_VERTEX_POSITIONS)
            refreshPlanesAndNormals(g, !custom);
    }
    return true;
}

// Builds the prepared form from scratch. False after a failure report.
bool build(vt_model *m) {
    const vt_uint_32 nf = m->nfaces, nc = 3 * nf;
    vt_face *faces = m->faces;
    const vt_vertex *verts = m->vertices;
    const bool custom = (m->flags & VT_MODF_CUSTOM_NORMALS) != 0;
    const bool crease = (m->flags & VT_MODF_CREASE) != 0;
    const bool noWeld = (m->flags & VT_MODF_NO_WELD) != 0;
    const double cosCrease = std::cos(VtAngleToRadian(m->crease_angle));

    const vt_uint_32 nv = m->nvertices;
    vt_size need = arena::need<corner>(nc) + arena::need<vt_uint_32>(nc) * 4 + arena::need<vt_uint_32>(nf) * 2 +
                   arena::need<vt_uint_32>(nv) * 3 + arena::need<vt_uint_32>(nv + 1) +
                   arena::need<contribution>(nc) + arena::need<weld_key>(nc) + arena::need<edge_record>(nc) +
                   arena::need<edge_slot>(edge_index::capacity(nc));
    auto *block = static_cast<vt_uint_8 *>(VtScratchAllocate(need ? need : 1));
    if (block == nullptr)
        return false;
    arena a{block, 0};
    corner *corners = a.take<corner>(nc);
    vt_uint_32 *order = a.take<vt_uint_32>(nc);     // corners by position
    vt_uint_32 *faceOrder = a.take<vt_uint_32>(nf); // faces by material
    vt_uint_32 *matRank = a.take<vt_uint_32>(nf);   // each face's place among the materials
    vt_uint_32 *vertOrder = a.take<vt_uint_32>(nv); // vertices by position
    vt_uint_32 *posRank = a.take<vt_uint_32>(nv);   // equal for vertices at one position
    vt_uint_32 *rankStart = a.take<vt_uint_32>(nv + 1);
    vt_uint_32 *cornerPv = a.take<vt_uint_32>(nc);  // prepared vertex of each corner
    vt_uint_32 *pvFirst = a.take<vt_uint_32>(nc);   // first corner of each prepared vertex
    vt_uint_32 *edgeNo = a.take<vt_uint_32>(nc);    // edge number of each corner's edge
    contribution *contrib = a.take<contribution>(nc);
    weld_key *welds = a.take<weld_key>(nc);
    edge_record *edges = a.take<edge_record>(nc);
    edge_index open{a.take<edge_slot>(edge_index::capacity(nc)), edge_index::capacity(nc) - 1};

    for (vt_uint_32 f = 0; f < nf; f++)
        for (int k = 0; k < 3; k++)
            corners[3 * f + k] = corner{{{0, 0, 0}}, faces[f].vertices[k], f};

    // Faces by material.
    for (vt_uint_32 f = 0; f < nf; f++)
        faceOrder[f] = f;
    std::sort(faceOrder, faceOrder + nf, [&](vt_uint_32 x, vt_uint_32 y) {
        if (int c = cmpp(faces[x].material, faces[y].material))
            return c < 0;
        return x < y;
    });
    for (vt_uint_32 i = 0, rank = 0; i < nf; i++) {
        if (i && faces[faceOrder[i]].material != faces[faceOrder[i - 1]].material)
            rank++;
        matRank[faceOrder[i]] = rank;
    }

    // Vertices by position, then the corners in that order (a counting
    // sort by the vertices' position ranks).
    for (vt_uint_32 v = 0; v < nv; v++)
        vertOrder[v] = v;
    std::sort(vertOrder, vertOrder + nv, [&](vt_uint_32 x, vt_uint_32 y) {
        if (int c = cmpv(verts[x].p.v, verts[y].p.v, 3))
            return c < 0;
        return x < y;
    });
    vt_uint_32 nranks = 0;
    for (vt_uint_32 i = 0; i < nv; i++) {
        if (i && cmpv(verts[vertOrder[i]].p.v, verts[vertOrder[i - 1]].p.v, 3) != 0)
            nranks++;
        posRank[vertOrder[i]] = nranks;
    }
    if (nv)
        nranks++;
    for (vt_uint_32 r = 0; r <= nranks; r++)
        rankStart[r] = 0;
    for (vt_uint_32 c = 0; c < nc; c++)
        rankStart[posRank[corners[c].vertex] + 1]++;
    for (vt_uint_32 r = 0; r < nranks; r++)
        rankStart[r + 1] += rankStart[r];
    for (vt_uint_32 c = 0; c < nc; c++)
        order[rankStart[posRank[corners[c].vertex]]++] = c;

    // Normal sums over each run of corners at one position.
    auto rankOf = [&](vt_uint_32 c) { return posRank[corners[c].vertex]; };
    for (vt_uint_32 s = 0; s < nc;) {
        vt_uint_32 e = s + 1;
        while (e < nc && rankOf(order[e]) == rankOf(order[s]))
            e++;
        if (custom) {
            for (vt_uint_32 i = s; i < e; i++)
                corners[order[i]].nsum = verts[corners[order[i]].vertex].n;
        } else {
            vt_uint_32 nu = 0;
            for (vt_uint_32 i = s; i < e; i++) {
                const vt_face &fd = faces[corners[order[i]].face];
                vt_uint_32 u = 0;
                while (u < nu && !(contrib[u].mask == fd.smoothing && cmpv(contrib[u].n.v, fd.n.v, 3) == 0))
                    u++;
                if (u == nu)
                    contrib[nu++] = contribution{fd.smoothing, fd.n, {{0, 0, 0}}};
                VtVector3Add(&contrib[u].sum, &contrib[u].sum, &fd.n);
            }
            for (vt_uint_32 i = s; i < e; i++) {
                corner &c = corners[order[i]];
                const vt_face &fc = faces[c.face];
                for (vt_uint_32 u = 0; u < nu; u++) {
                    if (!(contrib[u].mask & fc.smoothing))
                        continue;
                    if (crease && !(std::fabs(double(VtVector3Dot(&contrib[u].n, &fc.n))) > cosCrease))
                        continue;
                    VtVector3Add(&c.nsum, &c.nsum, &contrib[u].sum);
                }
            }
        }
        s = e;
    }

    // Weld: corners of equal keys become one prepared vertex. The key is
    // the material, then the position and mapping (or, unwelded, the vertex
    // itself), then the normal sum.
    for (vt_uint_32 c = 0; c < nc; c++) {
        const corner &cn = corners[c];
        const vt_vertex &v = verts[cn.vertex];
        weld_key &w = welds[c];
        w.k[0] = matRank[cn.face];
        if (noWeld) {
            w.k[1] = cn.vertex;
            w.k[2] = w.k[3] = w.k[4] = 0;
        } else {
            w.k[1] = posRank[cn.vertex];
            w.k[2] = sortKey(v.map.v[0]);
            w.k[3] = sortKey(v.map.v[1]);
            w.k[4] = 0;
        }
        w.k[5] = sortKey(cn.nsum.v[0]);
        w.k[6] = sortKey(cn.nsum.v[1]);
        w.k[7] = sortKey(cn.nsum.v[2]);
        w.vertex = cn.vertex;
        w.corner = c;
    }
    std::sort(welds, welds + nc, [](const weld_key &x, const weld_key &y) {
        for (int i = 0; i < 8; i++)
            if (x.k[i] != y.k[i])
                return x.k[i] < y.k[i];
        if (x.vertex != y.vertex)
            return x.vertex < y.vertex;
        return x.corner < y.corner;
    });
    vt_uint_32 npv = 0;
    for (vt_uint_32 i = 0; i < nc; i++) {
        if (i == 0 || memcmp(welds[i - 1].k, welds[i].k, sizeof welds[i].k) != 0)
            pvFirst[npv++] = welds[i].corner;
        cornerPv[welds[i].corner] = npv - 1;
    }

    // Groups: runs of faces of one material. Prepared vertices are in
    // material order too, so group i owns a contiguous run of them.
    vt_uint_32 ngroups = 0;
    for (vt_uint_32 i = 0; i < nf; i++)
        if (i == 0 || faces[faceOrder[i]].material != faces[faceOrder[i - 1]].material)
            ngroups++;
    struct range {
        vt_uint_32 f0, nf, v0, nv, nedges;
    };
    // The group ranges reuse the contribution area, no longer needed.
    static_assert(sizeof(range) <= sizeof(contribution), "group ranges fit");
    auto *ranges = reinterpret_cast<range *>(contrib);
    {
        vt_uint_32 g = 0, v = 0;
        for (vt_uint_32 i = 0; i < nf; g++) {
            vt_material *mat = faces[faceOrder[i]].material;
            vt_uint_32 j = i;
            while (j < nf && faces[faceOrder[j]].material == mat)
                j++;
            vt_uint_32 w = v;
            while (w < npv && faces[corners[pvFirst[w]].face].material == mat)
                w++;
            ranges[g] = range{i, j - i, v, w - v, 0};
            i = j;
            v = w;
        }
    }

    // Edges, numbered per group from 1; an edge met again in the other
    // direction by another face takes the first one's number.
    open.clear();
    vt_uint_32 nrec = 0;
    for (vt_uint_32 g = 0; g < ngroups; g++) {
        vt_uint_32 number = 0;
        for (vt_uint_32 i = ranges[g].f0; i < ranges[g].f0 + ranges[g].nf; i++) {
            vt_uint_32 f = faceOrder[i];
            for (int k = 0; k < 3; k++) {
                vt_uint_32 ci = 3 * f + k;
                if (faces[f].flags & (1u << k)) {
                    edgeNo[ci] = 0;
                    continue;
                }
                vt_uint_32 from = cornerPv[ci], to = cornerPv[3 * f + (k + 1) % 3];
                vt_int_32 match = -1;
                if (edge_slot *back = open.find(to, from, false)) {
                    for (vt_int_32 r = back->head; r >= 0; r = edges[r].next)
                        if (!edges[r].matched && edges[r].face != f) {
                            match = r;
                            break;
                        }
                    if (match >= 0) {
                        edges[match].matched = 1;
                        while (back->head >= 0 && edges[back->head].matched)
                            back->head = edges[back->head].next;
                    }
                }
                if (match >= 0) {
                    edgeNo[ci] = edges[match].number;
                } else {
                    edges[nrec] = edge_record{f, ++number, -1, 0};
                    edge_slot *slot = open.find(from, to, true);
                    if (slot->head < 0)
                        slot->head = vt_int_32(nrec);
                    else
                        edges[slot->tail].next = vt_int_32(nrec);
                    slot->tail = vt_int_32(nrec++);
                    edgeNo[ci] = number;
                }
            }
        }
        ranges[g].nedges = number + 1;
        if (ranges[g].nv > 0xFFFF || ranges[g].nedges > 0xFFFF) {
            // Group-relative numbers are 16 bits wide.
            VtScratchFree(block);
            VtFailure("VtModelUpdate: too many vertices or edges to prepare (%s)",
                      m->identifier ? m->identifier : "<NULL>");
            return false;
        }
    }

    // The block: header, groups, faces, vertices, vertex colours, face
    // colours and face flags on 32-byte boundaries, then source numbers.
    vt_size off = VT_PREPARED_HEADER;
    const vt_size oGroups = off;
    off = align32(off + ngroups * sizeof(vt_prepared_group));
    const vt_size oFaces = off;
    off = align32(off + nf * sizeof(vt_prepared_face));
    const vt_size oVerts = off;
    off = align32(off + npv * sizeof(vt_prepared_vertex));
    const vt_size oVCol = off;
    off = align32(off + npv * sizeof(vt_uint_32));
    const vt_size oFCol = off;
    off = align32(off + nf * sizeof(vt_uint_32));
    const vt_size oFFlags = off;
    off = (off + nf + 1) & ~vt_size(1);
    const vt_size oVUser = off;
    off += npv * sizeof(vt_uint_16);
    const vt_size oFUser = off;
    off += nf * sizeof(vt_uint_16);
    const vt_size size = off;

    vt_prepared_model *pm = m->prepared;
    if (pm && pm->size < size) {
        VtResFree(pm);
        pm = nullptr;
    }
    if (pm == nullptr) {
        pm = static_cast<vt_prepared_model *>(VtResAllocate(m, size, VT_RES_PREPARED_MODEL));
        if (pm == nullptr) {
            m->prepared = nullptr;
            VtScratchFree(block);
            return false;
        }
        pm->size = vt_uint_32(size);
    }
    m->prepared = pm;
    auto *base = reinterpret_cast<vt_uint_8 *>(pm);
    pm->ngroups = vt_uint_16(ngroups);
    pm->groups = reinterpret_cast<vt_prepared_group *>(base + oGroups);
    auto *pfaces = reinterpret_cast<vt_prepared_face *>(base + oFaces);
    auto *pverts = reinterpret_cast<vt_prepared_vertex *>(base + oVerts);
    auto *vcol = reinterpret_cast<vt_uint_32 *>(base + oVCol);
    auto *fcol = reinterpret_cast<vt_uint_32 *>(base + oFCol);
    auto *fflags = base + oFFlags;
    auto *vuser = reinterpret_cast<vt_uint_16 *>(base + oVUser);
    auto *fuser = reinterpret_cast<vt_uint_16 *>(base + oFUser);

    for (vt_uint_32 v = 0; v < npv; v++) {
        const corner &c = corners[pvFirst[v]];
        const vt_vertex &src = verts[c.vertex];
        pverts[v].p = minusPivot(src.p, m);
        pverts[v].map = src.map;
        pverts[v].n = custom ? c.nsum : unitNormal(c.nsum);
        vcol[v] = VtPackColour(src.index, src.red, src.grn, src.blu);
        vuser[v] = vt_uint_16(c.vertex);
    }
    for (vt_uint_32 g = 0; g < ngroups; g++) {
        const range &r = ranges[g];
        vt_prepared_group &pg = pm->groups[g];
        vt_material *mat = faces[faceOrder[r.f0]].material;
        pg.stored = mat ? mat->stored : nullptr;
        pg.faces = pfaces + r.f0;
        pg.face_colours = fcol + r.f0;
        pg.face_user = fuser + r.f0;
        pg.face_flags = fflags + r.f0;
        pg.vertices = pverts + r.v0;
        pg.vertex_colours = vcol + r.v0;
        pg.vertex_user = vuser + r.v0;
        pg.nfaces = vt_uint_16(r.nf);
        pg.nvertices = vt_uint_16(r.nv);
        pg.nedges = vt_uint_16(r.nedges);
        for (vt_uint_32 i = r.f0; i < r.f0 + r.nf; i++) {
            vt_uint_32 f = faceOrder[i];
            const vt_face &src = faces[f];
            vt_prepared_face &pf = pfaces[i];
            for (int k = 0; k < 3; k++) {
                pf.vertices[k] = vt_uint_16(cornerPv[3 * f + k] - r.v0);
                pf.edges[k] = vt_uint_16(edgeNo[3 * f + k]);
            }
            // The plane in the prepared vertices' space (the pivot moved).
            facePlane(&pf.eqn, pverts[cornerPv[3 * f]].p, pverts[cornerPv[3 * f + 1]].p,
                      pverts[cornerPv[3 * f + 2]].p);
            fcol[i] = VtPackColour(src.index, src.red, src.grn, src.blu);
            fflags[i] = src.flags;
            fuser[i] = vt_uint_16(f);
        }
    }
    VtScratchFree(block);
    return true;
}

void makeStoredGeometry(vt_model *m) {
    vt_geometry *gf = vtScene.format_model;
    if (vtScene.renderer == nullptr || gf == nullptr || m->prepared == nullptr)
        return;
    VtObjectFree(m->stored);
    m->stored = nullptr;
    vt_token_value tv[2] = {{VTT_CAN_SHARE_B, VtValueU32(1)}, {VTT_END, VtValueU32(0)}};
    auto *d = reinterpret_cast<const vt_geometry_v1_model_dispatch *>(gf->dispatch);
    vt_geometry_stored *sg = nullptr;
    if (d->storedNew(gf, vtScene.renderer, &sg, m->prepared, VTT_TRIANGLE, tv) != VT_E_OK || sg == nullptr)
        return;
    m->stored = sg;
    vt_value shared;
    shared.raw = 1;
    auto *o = reinterpret_cast<vt_object *>(sg);
    if (o->dispatch->query && o->dispatch->query(o, &shared, VTT_SHARED_B) == VT_E_OK && !shared.b) {
        VtResFree(m->prepared);
        m->prepared = nullptr;
    }
}

} // namespace

void VtModelUpdate(vt_model *model, vt_uint_16 flags) {
    if (model == nullptr || (model->flags & VT_MODF_PREPREPARED))
        return;
    const char *name = model->identifier ? model->identifier : "<NULL>";
    if (model->faces == nullptr || model->vertices == nullptr) {
        VtFailure("VtModelUpdate: model has no faces or vertices (%s)", name);
        return;
    }
    if (flags & VT_MODU_VERTICES)
        flags |= VT_MODU_VERTEX_POSITIONS;
    if (model->flags & (VT_MODF_KEEP_SOURCE | VT_MODF_KEEP_SOURCE_ALT))
        model->flags |= VT_MODF_UPDATEABLE;
    if (!(model->flags & VT_MODF_CUSTOM_BOUNDS) && (flags & (VT_MODU_VERTEX_POSITIONS | VT_MODU_BOUNDS)))
        computeBounds(model);

    bool quick = model->prepared && !(flags & ~VT_MODU_QUICK) && quickRefresh(model, flags);
    if (!quick) {
        // Every index is checked before anything reads through it.
        bool bad = false;
        for (int f = 0; f < model->nfaces; f++)
            for (int k = 0; k < 3; k++)
                if (model->faces[f].vertices[k] >= model->nvertices) {
                    VtFailure("face references invalid vertex f=%d v=%d", f, k);
                    bad = true;
                }
        if (bad)
            return;
        model->flags &= vt_uint_16(~VT_MODF_UNMATERIALED);
        for (int f = 0; f < model->nfaces; f++) {
            vt_face &fc = model->faces[f];
            if (fc.smoothing == 0)
                fc.smoothing = 0xFFFF;
            vt_vector4 eqn;
            facePlane(&eqn, model->vertices[fc.vertices[0]].p, model->vertices[fc.vertices[1]].p,
                      model->vertices[fc.vertices[2]].p);
            VtVector3Set(&fc.n, eqn.v[0], eqn.v[1], eqn.v[2]);
            fc.d = eqn.v[3];
            if (fc.material == nullptr)
                model->flags |= VT_MODF_UNMATERIALED;
        }
        if (!build(model))
            return;
        if (!(model->flags & VT_MODF_UPDATEABLE)) {
            VtResFree(model->faces);
            VtResFree(model->vertices);
            model->faces = nullptr;
            model->vertices = nullptr;
            model->nfaces = model->nvertices = 0;
        }
    }
    if (!(model->flags & VT_MODF_UPDATEABLE) && (model->flags & VT_MODF_STORED_GEOMETRY))
        makeStoredGeometry(model);
}
