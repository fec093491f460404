// ASCII mesh exports: meshes, names, vertex and face lists, smoothing and
// materials, and the lines and files that are passed over or refused.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "common/temp_dir.h"
#include "render/scenefile/scenefile.h"
#include "tests/render/scene_fixture.h"

namespace {

using vttest::Diag;

class VtAsciiMesh : public vttest::VtSceneTest {
protected:
    ruvotest::TempDir dir;
    vt_model *models[4] = {};
    vt_uint_32 n = 0;

    vt_uint_32 load(const std::string &text, vt_uint_16 max = 4) {
        std::ofstream("mesh.asc", std::ios::binary) << text;
        return n = VtAsciiMeshLoad("mesh.asc", models, max);
    }
    void TearDown() override {
        for (vt_uint_32 i = 0; i < n; i++)
            VtModelFree(models[i]);
        VtSceneTest::TearDown();
    }
};

// Two meshes as the exporter writes them, with light and camera lines
// between, Windows line ends, and the second mesh keeping the first name.
const char kTwoMeshes[] = "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\r\n"
                          "\r\n"
                          "Named object: \"Wedge\"\r\n"
                          "Tri-mesh, Vertices: 4     Faces: 2\r\n"
                          "Vertex list:\r\n"
                          "Vertex 0:  X: -1.5     Y: 0     Z: 0.25     U: 0     V: 1\r\n"
                          "Vertex 1:  X: 1     Y: 0     Z: 0     U: 1     V: 1\r\n"
                          "Vertex 2:  X: 1     Y: 2     Z: 0\r\n"
                          "Vertex 3:  X: -1     Y: 2     Z: 0     U: 0     V: 0.5\r\n"
                          "Face list:\r\n"
                          "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:0\r\n"
                          "Material:\"Hull\"\r\n"
                          "Smoothing:  1, 17, 3\r\n"
                          "Face 1:    A:0 B:2 C:3 AB:0 BC:1 CA:1\r\n"
                          "Material:\"Nobody\"\r\n"
                          "Direct light\r\n"
                          "Position:  X:0 Y:0 Z:10\r\n"
                          "Light color:  Red=1 Green=1 Blue=1\r\n"
                          "Camera (1.0mm)\r\n"
                          "Target  X:0 Y:0 Z:0\r\n"
                          "Bank angle: 0 degrees\r\n"
                          "Tri-mesh, Vertices: 3     Faces: 1\r\n"
                          "Smoothing: 2\r\n"
                          "Vertex 0:  X: 5     Y: 5     Z: 5\r\n"
                          "Vertex 1:  X: 6     Y: 5     Z: 5\r\n"
                          "Vertex 2:  X: 5     Y: 6     Z: 5\r\n"
                          "Face 0:    A:2 B:1 C:0 AB:1 BC:0 CA:1\r\n";

TEST_F(VtAsciiMesh, MeshesWithNamesPositionsMappingEdgesSmoothingAndMaterials) {
    vt_material *hull = VtMaterialAllocate("Hull");
    VtMaterialAdd(hull);
    ASSERT_EQ(load(kTwoMeshes), 2u);
    vt_model *a = models[0], *b = models[1];
    EXPECT_STREQ(a->identifier, "Wedge");
    EXPECT_STREQ(b->identifier, "Wedge");
    ASSERT_EQ(a->nvertices, 4);
    ASSERT_EQ(a->nfaces, 2);
    EXPECT_EQ(a->vertices[0].p.v[0], -1.5f);
    EXPECT_EQ(a->vertices[0].p.v[2], 0.25f);
    EXPECT_EQ(a->vertices[3].map.v[1], 0.5f);
    // Fields a vertex line leaves out are 0.
    EXPECT_EQ(a->vertices[2].map.v[0], 0.0f);
    EXPECT_EQ(a->faces[0].vertices[2], 2);
    EXPECT_EQ(a->faces[0].flags, VT_FACEF_HIDE_EDGE_2);
    EXPECT_EQ(a->faces[1].flags, VT_FACEF_HIDE_EDGE_0);
    EXPECT_EQ(a->faces[0].material, hull);
    EXPECT_EQ(a->faces[1].material, nullptr);
    // Groups 1 and 17 are the same bit.
    EXPECT_EQ(a->faces[0].smoothing, 0x0005);
    // A smoothing line before the mesh's first face touches nothing.
    EXPECT_EQ(b->faces[0].smoothing, 0);
    EXPECT_EQ(b->faces[0].flags, VT_FACEF_HIDE_EDGE_1);
    EXPECT_EQ(b->vertices[1].p.v[0], 6.0f);
    EXPECT_TRUE(Diag::failures.empty());
}

TEST_F(VtAsciiMesh, LinesOutOfOrderOrOutOfRangeArePassedOver) {
    ASSERT_EQ(load("Tri-mesh, Vertices: 2 Faces: 1\n"
                   "Vertex 1: X: 9 Y: 9 Z: 9\n" // not the next one
                   "Vertex 0: X: 1 Y: 1 Z: 1\n"
                   "Vertex 0: X: 7 Y: 7 Z: 7\n" // already read
                   "Vertex 1: X: 2 Y: 2 Z: 2\n"
                   "Vertex 2: X: 3 Y: 3 Z: 3\n" // beyond the count
                   "Face 0: A:0 B:1 C:1 AB:1 BC:1 CA:1\n"
                   "Smoothing: 0, -4, 16\n" // numbers below 1 name no group
                   "Face 1: A:0 B:0 C:0 AB:1 BC:1 CA:1\n"
                   "Face x: garbage\n"),
              1u);
    EXPECT_EQ(models[0]->vertices[0].p.v[0], 1.0f);
    EXPECT_EQ(models[0]->vertices[1].p.v[0], 2.0f);
    EXPECT_EQ(models[0]->faces[0].smoothing, 0x8000);
    EXPECT_STREQ(models[0]->identifier, nullptr);
}

TEST_F(VtAsciiMesh, MoreMeshesThanAskedForLeavesTheRestUnread) {
    std::string three;
    for (int i = 0; i < 3; i++)
        three += "Named object: \"m" + std::to_string(i) +
                 "\"\nTri-mesh, Vertices: 3 Faces: 1\nFace 0: A:0 B:1 C:2 AB:1 BC:1 CA:1\n";
    // The unread rest would not even load.
    three += "Tri-mesh, Vertices: 0 Faces: 1\n";
    ASSERT_EQ(load(three, 2), 2u);
    EXPECT_STREQ(models[1]->identifier, "m1");
}

TEST_F(VtAsciiMesh, BadMeshesAndMissingFilesGiveNothing) {
    const struct {
        const char *what, *text, *report;
    } cases[] = {
        {"face beyond the vertices", "Tri-mesh, Vertices: 3 Faces: 1\nFace 0: A:0 B:1 C:3 AB:1 BC:1 CA:1\n",
         "Model <NULL>: face 0 names vertex 3 of 3"},
        {"negative corner", "Named object: \"n\"\nTri-mesh, Vertices: 3 Faces: 1\nFace 0: A:-1 B:1 C:2\n",
         "Model n: face 0 names vertex -1 of 3"},
        {"faces never given on an empty mesh", "Tri-mesh, Vertices: 3 Faces: 1\nTri-mesh, Vertices: 0 Faces: 2\n",
         "Model <NULL>: face 0 names vertex 0 of 0"},
    };
    for (const auto &c : cases) {
        Diag::clear();
        EXPECT_EQ(load(c.text), 0u) << c.what;
        EXPECT_EQ(Diag::failures, std::vector<std::string>{std::string("Failure: ") + c.report}) << c.what;
    }
    // A mesh whose counts do not parse or do not fit is no mesh: its lines
    // go nowhere, not into the mesh before.
    Diag::clear();
    ASSERT_EQ(load("Tri-mesh, Vertices: 1 Faces: 0\nVertex 0: X: 4\n"
                   "Tri-mesh, Vertices: 70000 Faces: 1\nVertex 0: X: 5\n"
                   "Tri-mesh, Vertices: -2 Faces: 1\nVertex 0: X: 6\n"),
              1u);
    EXPECT_EQ(models[0]->vertices[0].p.v[0], 4.0f);
    VtModelFree(models[0]);
    n = 0;
    EXPECT_EQ(VtAsciiMeshLoad("missing.asc", models, 4), 0u);
    EXPECT_EQ(Diag::failures, std::vector<std::string>{"Failure: Could not open 'missing.asc' for reading"});
}

} // namespace
