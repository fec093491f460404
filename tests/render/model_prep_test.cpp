// Model preparation checked field by field against the prepared layout on
// small fixtures: the cube, a fold of two triangles with shared and split
// vertices, and degenerate faces.
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "scene_fixture.h"

using namespace vttest;

namespace {

class VtModelPrep : public VtSceneTest {};

struct vtx {
    float x, y, z, u, v;
};
struct tri {
    int a, b, c;
    vt_uint_16 smoothing;
    vt_uint_8 flags;
};

vt_model *makeModel(const char *name, std::initializer_list<vtx> vs, std::initializer_list<tri> fs,
                    vt_uint_16 flags = VT_MODF_UPDATEABLE) {
    vt_model *m = VtModelAllocate(name, int(vs.size()), int(fs.size()));
    int i = 0;
    for (const vtx &v : vs) {
        VtVector3Set(&m->vertices[i].p, v.x, v.y, v.z);
        VtVector2Set(&m->vertices[i].map, v.u, v.v);
        m->vertices[i].index = vt_uint_8(i);
        m->vertices[i].red = vt_uint_8(10 + i);
        i++;
    }
    i = 0;
    for (const tri &f : fs) {
        m->faces[i].vertices[0] = vt_uint_16(f.a);
        m->faces[i].vertices[1] = vt_uint_16(f.b);
        m->faces[i].vertices[2] = vt_uint_16(f.c);
        m->faces[i].smoothing = f.smoothing;
        m->faces[i].flags = f.flags;
        m->faces[i].blu = vt_uint_8(100 + i);
        i++;
    }
    m->flags = flags;
    return m;
}

int totalVertices(const vt_prepared_model *pm) {
    int n = 0;
    for (int g = 0; g < pm->ngroups; g++)
        n += pm->groups[g].nvertices;
    return n;
}

// The prepared vertex at corner k of the prepared face of source face f.
const vt_prepared_vertex *cornerVertex(const vt_prepared_model *pm, int f, int k, int *group = nullptr) {
    for (int g = 0; g < pm->ngroups; g++)
        for (int i = 0; i < pm->groups[g].nfaces; i++)
            if (pm->groups[g].face_user[i] == f) {
                if (group)
                    *group = g;
                return &pm->groups[g].vertices[pm->groups[g].faces[i].vertices[k]];
            }
    return nullptr;
}

const vt_prepared_face *preparedFace(const vt_prepared_model *pm, int f) {
    for (int g = 0; g < pm->ngroups; g++)
        for (int i = 0; i < pm->groups[g].nfaces; i++)
            if (pm->groups[g].face_user[i] == f)
                return &pm->groups[g].faces[i];
    return nullptr;
}

void expectVec(const vt_vector3 &v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.v[0], x, eps);
    EXPECT_NEAR(v.v[1], y, eps);
    EXPECT_NEAR(v.v[2], z, eps);
}

TEST_F(VtModelPrep, TheCubeWeldsToEightVerticesAndTwelveEdges) {
    vt_model *m = VtDefaultModel();
    VtModelUpdate(m, VT_MODU_ALL);
    const vt_prepared_model *pm = m->prepared;
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(VtResClass(const_cast<vt_prepared_model *>(pm)), VT_RES_PREPARED_MODEL);
    ASSERT_EQ(pm->ngroups, 1);
    const vt_prepared_group &g = pm->groups[0];
    EXPECT_EQ(g.stored, nullptr);
    EXPECT_EQ(g.nfaces, 12);
    EXPECT_EQ(g.nvertices, 8);
    EXPECT_EQ(g.nedges, 13);
    EXPECT_TRUE(m->flags & VT_MODF_UNMATERIALED);
    EXPECT_FLOAT_EQ(m->radius, std::sqrt(3.0f));
    expectVec(m->bounds.min, -1, -1, -1);
    expectVec(m->bounds.max, 1, 1, 1);

    std::map<int, int> edgeUses;
    for (int i = 0; i < 12; i++) {
        const vt_prepared_face &f = g.faces[i];
        EXPECT_EQ(g.face_user[i], i);
        EXPECT_EQ(g.face_flags[i], m->faces[i].flags);
        // The hidden diagonal is edge 2 of a side's first triangle and edge
        // 0 of its second.
        EXPECT_EQ(f.edges[i % 2 ? 0 : 2], 0);
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(g.vertex_user[f.vertices[k]], m->faces[i].vertices[k]);
            if (f.edges[k])
                edgeUses[f.edges[k]]++;
        }
        float len = std::sqrt(f.eqn.v[0] * f.eqn.v[0] + f.eqn.v[1] * f.eqn.v[1] + f.eqn.v[2] * f.eqn.v[2]);
        EXPECT_NEAR(len, 1.0f, 1e-6f);
        EXPECT_FLOAT_EQ(f.eqn.v[3], 1.0f);
    }
    // Each of the twelve cube edges is numbered once and met by two faces.
    ASSERT_EQ(edgeUses.size(), 12u);
    for (auto [number, uses] : edgeUses) {
        EXPECT_GE(number, 1);
        EXPECT_LE(number, 12);
        EXPECT_EQ(uses, 2);
    }
    for (int v = 0; v < 8; v++) {
        const vt_vertex &src = m->vertices[g.vertex_user[v]];
        EXPECT_EQ(memcmp(&g.vertices[v].p, &src.p, sizeof src.p), 0);
        EXPECT_EQ(memcmp(&g.vertices[v].map, &src.map, sizeof src.map), 0);
    }
    // The normal at a corner is the sum of its triangles' normals: (1, 1, 1)
    // takes both triangles of three sides, (1, -1, -1) both of +x and one
    // each of -y and -z.
    const vt_prepared_vertex *v7 = nullptr, *v1 = nullptr;
    for (int v = 0; v < 8; v++) {
        if (g.vertex_user[v] == 7)
            v7 = &g.vertices[v];
        if (g.vertex_user[v] == 1)
            v1 = &g.vertices[v];
    }
    ASSERT_TRUE(v7 && v1);
    float r3 = 1 / std::sqrt(3.0f), r6 = 1 / std::sqrt(6.0f);
    expectVec(v7->n, r3, r3, r3);
    expectVec(v1->n, 2 * r6, -r6, -r6);
}

TEST_F(VtModelPrep, PreparedArraysShareOneBlockInTheirOrder) {
    vt_model *m = VtDefaultModel();
    VtModelUpdate(m, VT_MODU_ALL);
    vt_prepared_model *pm = m->prepared;
    auto off = [&](const void *p) { return vt_size(static_cast<const vt_uint_8 *>(p) - reinterpret_cast<vt_uint_8 *>(pm)); };
    const vt_prepared_group &g = pm->groups[0];
    const vt_size offs[] = {off(pm->groups),      off(g.faces),       off(g.vertices), off(g.vertex_colours),
                            off(g.face_colours),  off(g.face_flags),  off(g.vertex_user), off(g.face_user)};
    EXPECT_EQ(offs[0], VT_PREPARED_HEADER);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(offs[i] % 32, 0u) << "array " << i;
    for (int i = 1; i < 8; i++)
        EXPECT_GT(offs[i], offs[i - 1]);
    EXPECT_LE(offs[7] + 12 * sizeof(vt_uint_16), pm->size);
    EXPECT_LE(pm->size, VtResSize(pm));
    // Preparing again reuses the block.
    VtModelUpdate(m, VT_MODU_ALL);
    EXPECT_EQ(m->prepared, pm);
    // Colours pack index, red, green, blue.
    const vt_vertex &src = m->vertices[g.vertex_user[0]];
    EXPECT_EQ(g.vertex_colours[0], VtPackColour(src.index, src.red, src.grn, src.blu));
}

// Two triangles folded along the edge from vertex 0 to vertex 1.
vt_model *fold(vt_uint_16 s0, vt_uint_16 s1, vt_uint_16 flags = VT_MODF_UPDATEABLE, bool duplicate = false) {
    return makeModel("fold",
                     {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}, {0.5f, -1, 1, 0.5f, 1}, {0, 0, 0, 0, 0}},
                     {{0, 1, 2, s0, 0}, {1, duplicate ? 4 : 0, 3, s1, 0}}, flags);
}

TEST_F(VtModelPrep, SmoothingDecidesWhetherAFoldSharesItsVertices) {
    struct row {
        const char *what;
        vt_uint_16 s0, s1, flags;
        bool duplicate;
        int vertices, nedges;
        bool smoothAcross; // the fold's vertices take both faces' normals
    } rows[] = {
        {"overlapping groups", 1, 3, VT_MODF_UPDATEABLE, false, 4, 6, true},
        {"disjoint groups", 1, 2, VT_MODF_UPDATEABLE, false, 6, 7, false},
        {"zero is every group", 0, 2, VT_MODF_UPDATEABLE, false, 4, 6, true},
        {"duplicate vertex welded", 1, 1, VT_MODF_UPDATEABLE, true, 4, 6, true},
        {"duplicate kept apart", 1, 1, VT_MODF_UPDATEABLE | VT_MODF_NO_WELD, true, 5, 7, true},
        {"no weld still splits", 1, 2, VT_MODF_UPDATEABLE | VT_MODF_NO_WELD, false, 6, 7, false},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.what);
        vt_model *m = fold(r.s0, r.s1, r.flags, r.duplicate);
        VtModelUpdate(m, VT_MODU_ALL);
        ASSERT_NE(m->prepared, nullptr);
        ASSERT_EQ(m->prepared->ngroups, 1);
        EXPECT_EQ(totalVertices(m->prepared), r.vertices);
        EXPECT_EQ(m->prepared->groups[0].nedges, r.nedges);
        const vt_prepared_vertex *a = cornerVertex(m->prepared, 0, 0), *b = cornerVertex(m->prepared, 1, 1);
        const float r2 = std::sqrt(0.5f);
        if (r.smoothAcross) {
            // (0, 0, 1) + (0, r2, r2), normalised.
            float l = std::sqrt(r2 * r2 + (1 + r2) * (1 + r2));
            expectVec(a->n, 0, r2 / l, (1 + r2) / l);
            expectVec(b->n, 0, r2 / l, (1 + r2) / l);
        } else {
            expectVec(a->n, 0, 0, 1);
            expectVec(b->n, 0, r2, r2);
        }
        // The shared edge has one number in both faces when the faces share
        // its vertices.
        const vt_prepared_face *f0 = preparedFace(m->prepared, 0), *f1 = preparedFace(m->prepared, 1);
        EXPECT_EQ(f0->edges[0] == f1->edges[0], a == b);
        EXPECT_EQ(m->faces[0].smoothing, r.s0 ? r.s0 : 0xFFFF);
        VtModelFree(m);
    }
}

TEST_F(VtModelPrep, TextureSeamsSplitVertices) {
    vt_model *m = fold(1, 1);
    m->faces[1].vertices[1] = 4;
    m->vertices[4].map.v[0] = 0.25f; // same place as vertex 0, other mapping
    VtModelUpdate(m, VT_MODU_ALL);
    EXPECT_EQ(totalVertices(m->prepared), 5);
    // Apart, they are still smoothed as one place.
    expectVec(cornerVertex(m->prepared, 0, 0)->n, 0, cornerVertex(m->prepared, 1, 1)->n.v[1],
              cornerVertex(m->prepared, 1, 1)->n.v[2]);
    VtModelFree(m);
}

TEST_F(VtModelPrep, CreaseAngleKeepsSharpFoldsApart) {
    // The fold is 45 degrees: a crease of 30 degrees splits it, 60 joins.
    for (auto [degrees, vertices] : {std::pair{30.0, 6}, std::pair{60.0, 4}}) {
        vt_model *m = fold(1, 1, VT_MODF_UPDATEABLE | VT_MODF_CREASE);
        m->crease_angle = VtAngleFromDegree(degrees);
        VtModelUpdate(m, VT_MODU_ALL);
        EXPECT_EQ(totalVertices(m->prepared), vertices) << degrees;
        VtModelFree(m);
    }
}

TEST_F(VtModelPrep, FacesAreGroupedByMaterial) {
    vt_material *red = VtMaterialAllocate("red"), *blue = VtMaterialAllocate("blue");
    // A quad and its back, the back in a smoothing group of its own.
    vt_model *m = makeModel("mixed", {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {1, 1, 0, 0, 0}},
                            {{0, 1, 2, 1, 0}, {1, 3, 2, 1, 0}, {0, 2, 1, 2, 0}, {1, 2, 3, 2, 0}});
    m->faces[0].material = red;
    m->faces[1].material = blue;
    m->faces[2].material = red;
    m->faces[3].material = blue;
    VtModelUpdate(m, VT_MODU_ALL);
    EXPECT_FALSE(m->flags & VT_MODF_UNMATERIALED);
    const vt_prepared_model *pm = m->prepared;
    ASSERT_EQ(pm->ngroups, 2);
    for (int g = 0; g < 2; g++) {
        ASSERT_EQ(pm->groups[g].nfaces, 2);
        vt_material *mat = m->faces[pm->groups[g].face_user[0]].material;
        EXPECT_EQ(m->faces[pm->groups[g].face_user[1]].material, mat);
        // Front and back corners are split by their smoothing groups, and
        // every face's corners stay in its group.
        EXPECT_EQ(pm->groups[g].nvertices, 6);
        for (int f = 0; f < 2; f++)
            for (int k = 0; k < 3; k++)
                EXPECT_LT(pm->groups[g].faces[f].vertices[k], pm->groups[g].nvertices);
    }
    EXPECT_LT(uintptr_t(m->faces[pm->groups[0].face_user[0]].material),
              uintptr_t(m->faces[pm->groups[1].face_user[0]].material));
    m->faces[3].material = nullptr;
    VtModelUpdate(m, VT_MODU_FACE_MATERIALS);
    EXPECT_TRUE(m->flags & VT_MODF_UNMATERIALED);
    ASSERT_EQ(m->prepared->ngroups, 3);
    EXPECT_EQ(m->prepared->groups[0].nfaces, 1);
    EXPECT_EQ(m->faces[m->prepared->groups[0].face_user[0]].material, nullptr);
    VtModelFree(m);
    VtMaterialFree(red);
    VtMaterialFree(blue);
}

TEST_F(VtModelPrep, DegenerateFacesPrepareSafely) {
    // A face naming one vertex twice, a face of three points on a line,
    // and a face and its back sharing corners: their normal sum is zero.
    vt_model *m = makeModel("flat", {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, {0, 1, 0, 0, 0}},
                            {{0, 0, 1, 1, 0}, {0, 1, 2, 2, 0}, {0, 1, 3, 4, 0}, {0, 3, 1, 4, 0}});
    VtModelUpdate(m, VT_MODU_ALL);
    ASSERT_NE(m->prepared, nullptr);
    EXPECT_TRUE(Diag::failures.empty());
    for (int f : {0, 1}) {
        expectVec(m->faces[f].n, 0, 0, 1);
        const vt_prepared_vertex *v = cornerVertex(m->prepared, f, 0);
        expectVec(v->n, 0, 0, 1);
    }
    // The back face's normal component of -1 is kept just above it.
    EXPECT_EQ(m->faces[3].n.v[2], -0.99999988f);
    EXPECT_EQ(preparedFace(m->prepared, 3)->eqn.v[2], -0.99999988f);
    expectVec(cornerVertex(m->prepared, 2, 2)->n, 1, 0, 0);
    // The corners of the repeated vertex share one prepared vertex; its
    // edge from itself to itself is numbered like any other.
    const vt_prepared_face *f0 = preparedFace(m->prepared, 0);
    EXPECT_EQ(f0->vertices[0], f0->vertices[1]);
    VtModelFree(m);
}

TEST_F(VtModelPrep, BadVertexIndicesAreReportedAndNothingIsBuilt) {
    vt_model *m = makeModel("bad", {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}},
                            {{0, 1, 2, 1, 0}, {0, 7, 2, 1, 0}, {9, 1, 2, 1, 0}});
    VtModelUpdate(m, VT_MODU_ALL);
    EXPECT_EQ(m->prepared, nullptr);
    ASSERT_EQ(Diag::failures.size(), 2u);
    EXPECT_EQ(Diag::failures[0], "Failure: face references invalid vertex f=1 v=1");
    EXPECT_EQ(Diag::failures[1], "Failure: face references invalid vertex f=2 v=0");
    VtModelFree(m);
}

TEST_F(VtModelPrep, EdgeNumbersThatWouldNotFitAreRefused) {
    // One triangle over and over: three new edges a copy, none matched.
    for (auto [faces, fits] : {std::pair{21844, true}, std::pair{21845, false}}) {
        vt_model *m = VtModelAllocate("stack", 3, faces);
        VtVector3Set(&m->vertices[1].p, 1, 0, 0);
        VtVector3Set(&m->vertices[2].p, 0, 1, 0);
        for (int f = 0; f < faces; f++) {
            m->faces[f].vertices[1] = 1;
            m->faces[f].vertices[2] = 2;
        }
        m->flags = VT_MODF_UPDATEABLE;
        Diag::clear();
        VtModelUpdate(m, VT_MODU_ALL);
        EXPECT_EQ(m->prepared != nullptr, fits) << faces;
        if (fits) {
            EXPECT_EQ(m->prepared->groups[0].nedges, 3 * faces + 1);
        } else {
            EXPECT_EQ(Diag::failures, (std::vector<std::string>{
                                          "Failure: VtModelUpdate: too many vertices or edges to prepare (stack)"}));
        }
        VtModelFree(m);
    }
}

TEST_F(VtModelPrep, QuickRefreshPatchesInPlace) {
    vt_model *m = fold(1, 2);
    VtModelUpdate(m, VT_MODU_ALL);
    vt_prepared_model *pm = m->prepared;
    ASSERT_EQ(totalVertices(pm), 6);
    const vt_prepared_vertex *tip = cornerVertex(pm, 1, 2);
    // Lift the second face's free corner so the face stands upright. The
    // smoothing change is for a rebuild only: a refresh keeps the split.
    VtVector3Set(&m->vertices[3].p, 0.5f, 0, 1);
    m->vertices[3].red = 77;
    m->faces[1].blu = 5;
    m->faces[1].smoothing = 1;
    VtModelUpdate(m, VT_MODU_VERTEX_POSITIONS | VT_MODU_VERTEX_COLOURS | VT_MODU_FACE_COLOURS);
    EXPECT_EQ(m->prepared, pm);
    EXPECT_EQ(totalVertices(pm), 6);
    EXPECT_EQ(cornerVertex(pm, 1, 2), tip);
    expectVec(tip->p, 0.5f, 0, 1);
    // Face 1 runs from (1, 0, 0) to (0, 0, 0) to the tip: its plane faces +y
    // now, and the normals follow the new planes at once.
    const vt_vector4 &plane = preparedFace(pm, 1)->eqn;
    expectVec(vt_vector3{{plane.v[0], plane.v[1], plane.v[2]}}, 0, 1, 0);
    expectVec(tip->n, 0, 1, 0);
    EXPECT_FLOAT_EQ(m->bounds.max.v[2], 1.0f);
    int g = 0;
    cornerVertex(pm, 1, 2, &g);
    const vt_prepared_group &grp = pm->groups[g];
    int vi = int(tip - grp.vertices);
    EXPECT_EQ(grp.vertex_colours[vi] >> 16 & 0xFF, 77u);
    const vt_prepared_face *pf = preparedFace(pm, 1);
    EXPECT_EQ(grp.face_colours[pf - grp.faces] & 0xFF, 5u);
    // Vertex positions as a whole (0x100) rebuild: now the fold is smooth.
    VtModelUpdate(m, VT_MODU_VERTICES);
    EXPECT_EQ(totalVertices(m->prepared), 4);
    VtModelFree(m);
}

TEST_F(VtModelPrep, ArraysGoUnlessTheModelIsUpdateable) {
    vt_model *m = fold(1, 1, 0);
    VtModelUpdate(m, VT_MODU_ALL);
    ASSERT_NE(m->prepared, nullptr);
    EXPECT_EQ(m->vertices, nullptr);
    EXPECT_EQ(m->faces, nullptr);
    EXPECT_EQ(m->nvertices, 0);
    EXPECT_EQ(m->nfaces, 0);
    VtModelUpdate(m, VT_MODU_VERTEX_COLOURS);
    EXPECT_EQ(Diag::failures.size(), 1u);
    VtModelFree(m);

    // Either keep-source flag keeps them.
    for (vt_uint_16 keep : {VT_MODF_KEEP_SOURCE, VT_MODF_KEEP_SOURCE_ALT}) {
        vt_model *k = fold(1, 1, keep);
        VtModelUpdate(k, VT_MODU_ALL);
        EXPECT_TRUE(k->flags & VT_MODF_UPDATEABLE);
        EXPECT_NE(k->vertices, nullptr);
        VtModelFree(k);
    }
    // A pre-prepared model is left as it is.
    vt_model *pre = fold(1, 1, VT_MODF_PREPREPARED);
    VtModelUpdate(pre, VT_MODU_ALL);
    EXPECT_EQ(pre->prepared, nullptr);
    EXPECT_NE(pre->vertices, nullptr);
    VtModelFree(pre);
}

TEST_F(VtModelPrep, PivotAndCustomBoundsAndNormals) {
    vt_model *m = fold(1, 1, VT_MODF_UPDATEABLE | VT_MODF_CUSTOM_BOUNDS | VT_MODF_CUSTOM_NORMALS);
    VtVector3Set(&m->pivot, 0, 0, 1);
    for (int i = 0; i < m->nvertices; i++)
        VtVector3Set(&m->vertices[i].n, 0, 0, 2);
    m->radius = 42;
    VtModelUpdate(m, VT_MODU_ALL);
    EXPECT_EQ(m->radius, 42.0f);
    const vt_prepared_vertex *v = cornerVertex(m->prepared, 0, 1);
    expectVec(v->p, 1, 0, -1);
    expectVec(v->n, 0, 0, 2);
    // The prepared plane goes through the prepared vertices; the face's own
    // through its source vertices.
    const vt_prepared_face *f = preparedFace(m->prepared, 0);
    EXPECT_NEAR(f->eqn.v[3], -1.0f, 1e-6f);
    EXPECT_NEAR(m->faces[0].d, 0.0f, 1e-6f);
    VtModelFree(m);
}

} // namespace
