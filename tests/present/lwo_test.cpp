// LightWave objects from our writer through the loader: triangles and quads,
// welding, smoothing, mapping, the wireframe and the point list, missing and
// broken files, and the slab of each detail level.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "RES/util.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/lwo/lwo.h"
#include "render/scene/scene.h"
#include "shape_files.h"
#include "world/pools.h"

using namespace presenttest;

namespace {

class LwoTest : public testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        dunSeedRand15(1);
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
    }
    void TearDown() override {
        VtEndAll();
        ResetOptions();
    }
    static vt_model *Load(const std::string &path, uint32_t *status = nullptr) {
        return static_cast<vt_model *>(LwoLoadModel(path.c_str(), nullptr, status));
    }
    // The model-space position of corner c of face i.
    static vt_vector3 Corner(const vt_model *m, int i, int c) { return m->vertices[m->faces[i].vertices[c]].p; }

    ruvotest::TempDir dir;
};

void ExpectAt(vt_vector3 p, float x, float y, float z) {
    EXPECT_FLOAT_EQ(p.v[0], x);
    EXPECT_FLOAT_EQ(p.v[1], y);
    EXPECT_FLOAT_EQ(p.v[2], z);
}

lwob::Object Square(lwob::Object o, float x0, float z0, int16_t s) {
    const uint16_t a = o.AddPoint(x0, 0, z0), b = o.AddPoint(x0 + 1, 0, z0), c = o.AddPoint(x0 + 1, 0, z0 + 1),
                   d = o.AddPoint(x0, 0, z0 + 1);
    o.AddPolygon({a, b, c, d}, s);
    return o;
}

TEST_F(LwoTest, TrianglesTurnRoundQuadsSplitAndOtherPolygonsAreSkipped) {
    lwob::Object o;
    const int16_t s = o.AddSurface(NamedSurface("hull"));
    for (int i = 0; i < 5; ++i) o.AddPoint(float(i), float(i % 2), float(i * i));
    o.AddPolygon({0, 1, 2}, s);
    o.AddPolygon({0, 1, 2, 3, 4}, s);
    o.AddPolygon({0, 1, 3, 2}, s);
    vt_model *m = Load(WriteShape("polys.lwo", o));
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->nfaces, 3);
    // (a, b, c) becomes (c, b, a); the quad (a, b, c, d) becomes (c, b, a)
    // and (a, d, c); positions are 100 x, -100 y, 100 z.
    ExpectAt(Corner(m, 0, 0), 200, 0, 400);
    ExpectAt(Corner(m, 0, 1), 100, -100, 100);
    ExpectAt(Corner(m, 0, 2), 0, 0, 0);
    ExpectAt(Corner(m, 1, 0), 300, -100, 900);
    ExpectAt(Corner(m, 2, 1), 200, 0, 400);
    ExpectAt(Corner(m, 2, 2), 300, -100, 900);
    EXPECT_EQ(m->faces[0].flags & 7, 0);
    EXPECT_EQ(m->faces[1].flags & 7, VT_FACEF_HIDE_EDGE_2);
    EXPECT_EQ(m->faces[2].flags & 7, VT_FACEF_HIDE_EDGE_2);
    EXPECT_EQ(m->flags & 0x86, 0x86);
    EXPECT_STREQ(m->identifier, ShapePath("polys.lwo").c_str());
}

TEST_F(LwoTest, EqualCornersWeldAndEqualPositionsWithOtherMapCoordinatesDoNot) {
    vt_model *box = Load(WriteShape("box.lwo", lwob::Box({0, 0, 0}, {1, 1, 1}, NamedSurface("box"))));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->nfaces, 12);
    EXPECT_EQ(box->nvertices, 8);
    // The same triangle twice over points of its own: each point draws its
    // own random map coordinates, so nothing welds.
    lwob::Object twice;
    const int16_t s = twice.AddSurface(NamedSurface("t"));
    for (int k = 0; k < 2; ++k) {
        const uint16_t a = twice.AddPoint(0, 0, 0), b = twice.AddPoint(1, 0, 0), c = twice.AddPoint(0, 1, 0);
        twice.AddPolygon({a, b, c}, s);
    }
    vt_model *m = Load(WriteShape("twice.lwo", twice));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->nvertices, 6);
}

TEST_F(LwoTest, SmoothSurfacesGroupByRegionAndFlatOnesHaveNoGroup) {
    // Eight sides meet at 45 degrees (linked); the caps meet them at 90
    // degrees, beyond the default 1.5207 (not linked).
    vt_model *tube = Load(WriteShape("tube.lwo", lwob::Tube(8, 0, 1, 4, 1, NamedSurface("smooth", 0x4))));
    ASSERT_NE(tube, nullptr);
    ASSERT_EQ(tube->nfaces, 16 + 6 + 6);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(tube->faces[i].smoothing, 1) << i;
    for (int i = 16; i < 22; ++i) EXPECT_EQ(tube->faces[i].smoothing, 2) << i;
    for (int i = 22; i < 28; ++i) EXPECT_EQ(tube->faces[i].smoothing, 4) << i;
    vt_model *flat = Load(WriteShape("flat.lwo", lwob::Tube(8, 0, 1, 4, 1, NamedSurface("flat"))));
    ASSERT_NE(flat, nullptr);
    // Mask 0, which the library's preparation reads as every group.
    for (int i = 0; i < flat->nfaces; ++i) EXPECT_EQ(flat->faces[i].smoothing, 0xFFFF) << i;
}

TEST_F(LwoTest, TheSixteenthRegionTakesTheFirstGroupAgain) {
    lwob::Object o;
    const int16_t s = o.AddSurface(NamedSurface("s", 0x4));
    for (int i = 0; i < 16; ++i) {
        const uint16_t a = o.AddPoint(float(3 * i), 0, 0), b = o.AddPoint(float(3 * i + 1), 0, 0),
                       c = o.AddPoint(float(3 * i), 1, 0);
        o.AddPolygon({a, b, c}, s);
    }
    vt_model *m = Load(WriteShape("regions.lwo", o));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->faces[0].smoothing, 1);
    EXPECT_EQ(m->faces[14].smoothing, 1 << 14);
    EXPECT_EQ(m->faces[15].smoothing, 1);
}

TEST_F(LwoTest, InnerEdgeFlagsMarkFlatJoinsButNotFolds) {
    struct Case {
        float x, y;  // the fourth point
        bool twoSurfaces;
        int innerBits;  // marked edges over both faces
        bool sameGroup;
    };
    // Flat, folded by 45 degrees, folded by 96 degrees (beyond the smoothing
    // angle), and flat across two surfaces, which never link. Each is a file
    // of its own: a smoothing cache is told stale only by its face count.
    int file = 0;
    for (const Case c : {Case{-1, 0, false, 2, true}, Case{-1, 1, false, 0, true}, Case{0.5f, 5, false, 0, false},
                         Case{-1, 0, true, 0, false}}) {
        lwob::Object o;
        const int16_t s = o.AddSurface(NamedSurface("s", 0x4));
        const int16_t s2 = c.twoSurfaces ? o.AddSurface(NamedSurface("t", 0x4)) : s;
        o.AddPoint(0, 0, 0);
        o.AddPoint(0, 0, 1);
        o.AddPoint(1, 0, 0);
        o.AddPoint(c.x, c.y, 0);
        o.AddPolygon({0, 1, 2}, s);
        o.AddPolygon({1, 0, 3}, s2);
        vt_model *m = Load(WriteShape("fold" + std::to_string(++file) + ".lwo", o));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(__builtin_popcount(m->faces[0].flags & 7u) + __builtin_popcount(m->faces[1].flags & 7u), c.innerBits)
            << c.y;
        EXPECT_EQ(m->faces[0].smoothing == m->faces[1].smoothing, c.sameGroup) << c.y;
        VtModelRemove(m);
        VtModelFree(m);
    }
}

// ---- Mapping --------------------------------------------------------------

LwoFace FaceAt(std::initializer_list<std::array<float, 3>> corners, int16_t surface = 1) {
    LwoFace f{};
    int c = 0;
    for (const auto &p : corners) {
        std::memcpy(f.position[c], p.data(), sizeof f.position[c]);
        f.map[c][0] = f.map[c][1] = -7;
        ++c;
    }
    f.surface = surface;
    return f;
}

TEST(LwoMapping, PlanarAxesTakeTheirTwoCoordinates) {
    const float centre[3] = {0, 0, 0}, size[3] = {2, 4, 8};
    struct Case {
        int axis;
        float u, v;  // of the corner (1, 2, 3)
    };
    // Offsets: nx = (1 - 1) / 2, ny = (2 - 2) / 4, nz = (3 - 4) / 8.
    for (const Case c : {Case{1, -0.125f, 0}, Case{2, 0, 0.125f}, Case{4, 0, 0}, Case{3, -7, -7}}) {
        LwoFace faces[2] = {FaceAt({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}), FaceAt({{1, 2, 3}, {0, 0, 0}, {0, 0, 0}}, 2)};
        LwoMapPlanar(faces, 2, 1, c.axis, centre, size);
        EXPECT_FLOAT_EQ(faces[0].map[0][1], c.u) << c.axis;
        EXPECT_FLOAT_EQ(faces[0].map[0][0], c.v) << c.axis;
        EXPECT_FLOAT_EQ(faces[1].map[0][1], -7) << "another surface's face is left alone";
    }
}

TEST(LwoMapping, ACylinderFaceAcrossTheSeamWrapsItsLowCorners) {
    const float centre[3] = {0, 0, 0}, size[3] = {1, 2, 1};
    // About Y: a = z, b = x. Corners at t = 0 (z = 1), just below 1 (x
    // slightly negative) and 0.25 (x = 1).
    LwoFace f = FaceAt({{0, 1, 1}, {-0.1f, 0, 1}, {1, -1, 0}});
    LwoMapCylindrical(&f, 1, 1, 2, centre, size, 2, 0);
    EXPECT_FLOAT_EQ(f.map[0][1], 2.0f) << "u 0 moved past the seam";
    EXPECT_GT(f.map[1][1], 1.9f);
    EXPECT_FLOAT_EQ(f.map[2][1], 0.25f * 2 + 2);
    // v = -(h + 0.5) with h = y / 2.
    EXPECT_FLOAT_EQ(f.map[0][0], -1.0f);
    EXPECT_FLOAT_EQ(f.map[2][0], 0.0f);
}

TEST(LwoMapping, ASphereRunsFromPoleToPoleWhateverTheTextureSize) {
    const float centre[3] = {0, 0, 0}, size[3] = {1, 50, 1};
    LwoFace f = FaceAt({{0, -10, 0.001f}, {10, 0, 0}, {0, 10, 0.001f}});
    LwoMapCylindrical(&f, 1, 1, 2, centre, size, 1, 1);
    EXPECT_NEAR(f.map[0][0], 0.0f, 1e-3f);
    EXPECT_NEAR(f.map[1][0], 0.5f, 1e-3f);
    EXPECT_NEAR(f.map[2][0], 1.0f, 1e-3f);
}

// ---- Missing and broken files --------------------------------------------

TEST_F(LwoTest, AMissingFileIsReportedAndZeroesTheStatus) {
    uint32_t status = 7;
    EXPECT_EQ(Load(ShapePath("nothere.lwo"), &status), nullptr);
    EXPECT_EQ(status, 0u);
    EXPECT_NE(DebugLog().find("Epic disaster! I am <sniffle> unable to find vek\\resource\\shapes\\nothere.lwo"),
              std::string::npos);
}

TEST_F(LwoTest, NoPolygonsOrAShortFileGiveNoModelAndLeaveTheStatus) {
    lwob::Object o = lwob::Box({0, 0, 0}, {1, 1, 1}, NamedSurface("b"));
    WriteGameFile(ShapePath("nopols.lwo"),
                  lwob::Form({lwob::PointsChunk(o.points), lwob::SurfaceNamesChunk(o.surfaces)}));
    std::vector<uint8_t> longer = lwob::Encode(o);
    longer[7] += 10;  // announces ten bytes more than there are
    WriteGameFile(ShapePath("short.lwo"), longer);
    uint32_t status = 7;
    EXPECT_EQ(Load(ShapePath("nopols.lwo"), &status), nullptr);
    EXPECT_EQ(Load(ShapePath("short.lwo"), &status), nullptr);
    EXPECT_EQ(status, 7u);
    EXPECT_EQ(VtModelCount("vek*"), 0);
}

TEST_F(LwoTest, FilesThatDoNotHoldTogetherAreRefusedWithTheLoadersBox) {
    using lwob::Chunk;
    const std::vector<lwob::Point> three = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<lwob::Surface> one = {NamedSurface("s")};
    auto pols = [](std::vector<uint16_t> points, int16_t surface) {
        return lwob::PolygonsChunk({lwob::Polygon{std::move(points), surface}});
    };
    std::vector<uint8_t> truncated = lwob::PointsChunk(three);
    truncated[7] += 12;  // says 48 bytes of points, holds 36
    std::vector<uint8_t> runsOver;
    for (uint16_t w : {4, 0, 1, 2}) lwob::PutU16(runsOver, w);  // four points named, three given, no surface
    std::vector<lwob::Surface> many(256);
    for (size_t i = 0; i < many.size(); ++i) many[i].name = "s" + std::to_string(i);
    struct Case {
        const char *what;
        std::vector<uint8_t> file;
    } cases[] = {
        {"point beyond the count",
         lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(one), pols({0, 1, 3}, 1)})},
        {"surface 0", lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(one), pols({0, 1, 2}, 0)})},
        {"surface beyond the list",
         lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(one), pols({0, 1, 2}, 2)})},
        {"negative surface", lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(one), pols({0, 1, 2}, -1)})},
        {"no points", lwob::Form({lwob::SurfaceNamesChunk(one), pols({0, 1, 2}, 1)})},
        {"truncated chunk", lwob::Form({lwob::SurfaceNamesChunk(one), pols({0, 1, 2}, 1), truncated})},
        {"polygon past its chunk",
         lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(one), Chunk("POLS", runsOver)})},
        {"unterminated name", lwob::Form({lwob::PointsChunk(three), Chunk("SRFS", {'a', 'b'}), pols({0, 1, 2}, 1)})},
        {"256 surfaces", lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(many), pols({0, 1, 2}, 1)})},
        // A line is no face: nothing the library could prepare.
        {"lines only", lwob::Form({lwob::PointsChunk(three), lwob::SurfaceNamesChunk(one), pols({0, 1}, 1)})},
    };
    for (const Case &c : cases) {
        std::remove("debug.txt");
        WriteGameFile(ShapePath("bad.lwo"), c.file);
        EXPECT_EQ(Load(ShapePath("bad.lwo")), nullptr) << c.what;
        EXPECT_NE(DebugLog().find("cannot be used"), std::string::npos) << c.what;
    }
    EXPECT_EQ(VtModelCount("vek*"), 0);
    EXPECT_EQ(LwoSurfaceSlots[1].name, nullptr) << "no slot points into a freed image";
}

TEST_F(LwoTest, ASecondLoadOfThePathFindsTheRegisteredModel) {
    const std::string path = WriteShape("once.lwo", lwob::Box({0, 0, 0}, {1, 1, 1}, NamedSurface("b")));
    vt_model *first = Load(path);
    ASSERT_NE(first, nullptr);
    std::filesystem::remove("vek/resource/shapes/once.lwo");
    osFlushPathCache();
    EXPECT_EQ(Load(path), first);
}

TEST_F(LwoTest, EachDetailLevelReadsItsOwnSlabFolder) {
    // A distinct shape in each folder: one, two and three boxes.
    auto boxes = [](int n) {
        lwob::Object o;
        for (int i = 0; i < n; ++i) {
            lwob::Object b = lwob::Box({float(2 * i), 0, 0}, {float(2 * i + 1), 1, 1}, NamedSurface("b"));
            o.Append(b);
        }
        return lwob::Encode(o);
    };
    // card: the card's texture flag (set when its display opens), which
    // chooses the slab whatever the card-mode word says.
    struct Case {
        bool card, hidef, withX;
        const char *folder;
        int faces;
    } cases[] = {
        {false, true, true, "shapes", 12},
        {true, true, true, "Sh_3DX", 36},
        {true, false, true, "Sh_3DH", 24},
        {true, true, false, "Sh_3DH", 24},
    };
    for (const Case &c : cases) {
        VtEndAll();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
        std::filesystem::remove_all("vek");
        WriteGameFile("vek\\resource\\shapes\\lod.lwo", boxes(1));
        WriteGameFile("vek\\resource\\Sh_3DH\\lod.lwo", boxes(2));
        if (c.withX) WriteGameFile("vek\\resource\\Sh_3DX\\lod.lwo", boxes(3));
        CardMode = 1;
        CardTextureFlag = c.card ? 1 : 0;
        optHiDef = c.hidef ? 0xFF : 0;
        const std::string path = ShapePath("lod.lwo");
        vt_model *m = Load(path);
        ASSERT_NE(m, nullptr) << c.folder;
        EXPECT_EQ(m->nfaces, c.faces) << c.folder;
        EXPECT_NE(std::string(m->identifier).find(c.folder), std::string::npos) << m->identifier;
        EXPECT_EQ(path, ShapePath("lod.lwo"));
    }
    CardMode = CardTextureFlag = 0;
}

// ---- The wireframe and the point list --------------------------------------

TEST_F(LwoTest, AWireframeOfTwoRingsHasTwoPartsInPlanView) {
    lwob::Object o;
    const int16_t s = o.AddSurface(NamedSurface("w"));
    o = Square(o, 0, 0, s);
    o = Square(o, 10, 20, s);
    o.AddPoint(99, 99, 99);  // used by no edge
    WriteShape("Test_WRI.lwo", o);
    auto *w = static_cast<WireframeModel *>(LwoLoadWireframe(ShapePath("Test_WRI.lwo").c_str(), nullptr, nullptr));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->pointCount, 9);
    EXPECT_EQ(w->edgeCount, 8);
    ASSERT_EQ(w->partCount, 2);
    // Plan coordinates (-z, x).
    EXPECT_FLOAT_EQ(w->points[6][0], -21);
    EXPECT_FLOAT_EQ(w->points[6][1], 11);
    EXPECT_FLOAT_EQ(w->points[0][2], 0);
    EXPECT_FLOAT_EQ(w->points[4][2], 1);
    EXPECT_FLOAT_EQ(w->points[8][2], -1);
    const float part1[4] = {-21, 10, 1, 1};
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(w->parts[1][k], part1[k]) << k;
    EXPECT_EQ(w->edges[3][0], 3);
    EXPECT_EQ(w->edges[3][1], 0);
    dunFree(w);
}

TEST_F(LwoTest, ASinglePointPolygonInAWireframeIsReportedAndCounted) {
    lwob::Object o;
    const int16_t s = o.AddSurface(NamedSurface("w"));
    o.AddPoint(1, 2, 3);
    o.AddPolygon({0}, s);
    WriteShape("dot.lwo", o);
    auto *w = static_cast<WireframeModel *>(LwoLoadWireframe(ShapePath("dot.lwo").c_str(), nullptr, nullptr));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->edgeCount, 1);
    EXPECT_EQ(w->partCount, 1);
    EXPECT_NE(DebugLog().find("Single point polygon in WRI object."), std::string::npos);
    dunFree(w);
}

TEST_F(LwoTest, ThePointListIsWrittenAsTextAndAFailedWriteIsAFailure) {
    lwob::Object o;
    o.AddSurface(NamedSurface("p"));
    o.AddPoint(1.4f, 2.6f, -3);
    o.AddPoint(0, -1, 250);
    WriteShape("pts.lwo", o);
    EXPECT_TRUE(LwoSavePoints(ShapePath("pts.lwo").c_str(), "points.txt"));
    EXPECT_EQ(ReadText("points.txt"), "1,-3,-3, 0,1,250, \r\n");
    EXPECT_FALSE(LwoSavePoints(ShapePath("pts.lwo").c_str(), "no\\such\\folder\\points.txt"));
    EXPECT_FALSE(LwoSavePoints(ShapePath("gone.lwo").c_str(), "points.txt"));
    EXPECT_NE(DebugLog().find("Slight problem. The file vek\\resource\\shapes\\gone.lwo cannot be opened."),
              std::string::npos);
}

}  // namespace

namespace {

// The parts of a model: faces joined through corners at one place (the
// pieces a shape is built of keep their points to themselves), each with
// the centre of its corners.
struct ModelParts {
    std::vector<int> partOfFace;
    std::vector<std::array<double, 3>> centres;
};
ModelParts PartsOf(const vt_model *m) {
    std::map<std::array<float, 3>, int> places;
    std::vector<int> placeOfVertex(size_t(m->nvertices));
    for (int v = 0; v < m->nvertices; ++v) {
        const std::array<float, 3> p = {m->vertices[v].p.v[0], m->vertices[v].p.v[1], m->vertices[v].p.v[2]};
        placeOfVertex[size_t(v)] = places.emplace(p, int(places.size())).first->second;
    }
    std::vector<int> up(places.size());
    for (size_t i = 0; i < up.size(); ++i) up[i] = int(i);
    const auto root = [&](int i) {
        while (up[size_t(i)] != i) i = up[size_t(i)] = up[size_t(up[size_t(i)])];
        return i;
    };
    for (int f = 0; f < m->nfaces; ++f)
        for (int k = 1; k < 3; ++k)
            up[size_t(root(placeOfVertex[m->faces[f].vertices[k]]))] = root(placeOfVertex[m->faces[f].vertices[0]]);
    ModelParts parts;
    std::map<int, int> partOfRoot;
    std::vector<std::array<double, 3>> sums;
    std::vector<int> counts;
    for (const auto &[p, place] : places) {
        const auto [it, added] = partOfRoot.emplace(root(place), int(sums.size()));
        if (added) {
            sums.push_back({0, 0, 0});
            counts.push_back(0);
        }
        for (int k = 0; k < 3; ++k) sums[size_t(it->second)][size_t(k)] += p[size_t(k)];
        ++counts[size_t(it->second)];
    }
    for (size_t i = 0; i < sums.size(); ++i)
        parts.centres.push_back({sums[i][0] / counts[i], sums[i][1] / counts[i], sums[i][2] / counts[i]});
    for (int f = 0; f < m->nfaces; ++f)
        parts.partOfFace.push_back(partOfRoot[root(placeOfVertex[m->faces[f].vertices[0]])]);
    return parts;
}

// Every shape the game opens by name loads, and nearly all of its faces
// turn away from the centre of the part they belong to (the loader's
// corner order and y flip keep LightWave's outward faces outward).
TEST(LwoSampleShapes, LoadWithTheirFacesOutward) {
    presenttest::SampleDataRoot root;
    ASSERT_TRUE(root.ok());
    ResetOptions();
    ASSERT_EQ(VtBeginAll(), VT_E_OK);
    for (const char *name :
         {"corvette.lwo", "raider.lwo", "station.lwo", "PanelCmd.lwo", "PanelNav.lwo", "PanelWep.lwo", "PanelEng.lwo",
          "ShieldFlare_rto.lwo", "CapsFlare_rto.lwo", "PocketFlare_rto.lwo", "quadsuntest.lwo", "Test_WRI.lwo",
          "corvasm_sanshead.lwo", "command_rto.lwo", "corvette_LOW.lwo", "raider_LOW.lwo", "depot.lwo", "drone.lwo"}) {
        auto *m = static_cast<vt_model *>(LwoLoadModel(ShapePath(name).c_str(), nullptr, nullptr));
        ASSERT_NE(m, nullptr) << name;
        ASSERT_GT(m->nfaces, 0) << name;
        const ModelParts parts = PartsOf(m);
        int outward = 0;
        for (int f = 0; f < m->nfaces; ++f) {
            const vt_vector3 &a = m->vertices[m->faces[f].vertices[0]].p, &b = m->vertices[m->faces[f].vertices[1]].p,
                             &c = m->vertices[m->faces[f].vertices[2]].p;
            const double u[3] = {b.v[0] - a.v[0], b.v[1] - a.v[1], b.v[2] - a.v[2]};
            const double w[3] = {c.v[0] - a.v[0], c.v[1] - a.v[1], c.v[2] - a.v[2]};
            const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
            const std::array<double, 3> &centre = parts.centres[size_t(parts.partOfFace[size_t(f)])];
            double out = 0;
            for (int k = 0; k < 3; ++k) out += n[k] * ((a.v[k] + b.v[k] + c.v[k]) / 3 - centre[size_t(k)]);
            outward += out > 0;
        }
        // The inside of the station's ring faces its centre.
        if (std::string(name) != "station.lwo") {
            EXPECT_GT(outward, m->nfaces * 95 / 100) << name << ": " << outward << " of " << m->nfaces;
        }
    }
    // The ships' hit-box companions: every box read as a box of its own.
    for (const auto &[name, boxes] : {std::pair<const char *, int>{"corvette.lwo", 5}, {"raider.lwo", 3},
                                      {"corvasm_sanshead.lwo", 5}, {"command_rto.lwo", 3}}) {
        const CollisionModel *shape = dunFindCollisionModel(LwoLoadModel(ShapePath(name).c_str(), nullptr, nullptr));
        ASSERT_NE(shape, nullptr) << name;
        int count = 0;
        for (const HitBox *b = shape->boxes; b; b = b->next) ++count;
        EXPECT_EQ(count, boxes) << name;
    }
    auto *w = static_cast<WireframeModel *>(LwoLoadWireframe(ShapePath("Test_WRI.lwo").c_str(), nullptr, nullptr));
    ASSERT_NE(w, nullptr);
    EXPECT_GT(w->partCount, 1);
    dunFree(w);
    VtEndAll();
}

}  // namespace
