// The smoothing cache (written once, read back on the next load, stale or
// damaged caches computed afresh) and hit-box models (corner groups, box
// flags, the whole-model box, sample points and their subsystem masks).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/options.h"
#include "present/lwo/lwo.h"
#include "render/scene/scene.h"
#include "shape_files.h"
#include "world/pools.h"
#include "world/records.h"

using namespace presenttest;

namespace {

class LwoCaches : public testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
    }
    void TearDown() override {
        dunFreeCollisionModels();
        VtEndAll();
    }
    // A fresh run of the library: models loaded before are gone.
    static void Restart() {
        dunFreeCollisionModels();
        VtEndAll();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
    }
    static vt_model *Load(const std::string &path) {
        return static_cast<vt_model *>(LwoLoadModel(path.c_str(), nullptr, nullptr));
    }
    static std::vector<uint8_t> Bytes(const char *host) {
        std::ifstream in(host, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static void Put(const char *host, const std::vector<uint8_t> &bytes) {
        std::ofstream(host, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    }
    static uint32_t Word(const std::vector<uint8_t> &b, size_t at) {
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
    }
    // A smooth tube and a flat box: groups and inner edges of both kinds.
    static lwob::Object Shape() {
        lwob::Object o = lwob::Tube(8, -2, 1, 2, 1, NamedSurface("hull", 0x4));
        lwob::Object box = lwob::Box({3, 0, 0}, {4, 1, 1}, NamedSurface("plate"));
        o.Append(box);
        return o;
    }
    static std::vector<uint32_t> Smoothing(const vt_model *m) {
        std::vector<uint32_t> out;
        for (int i = 0; i < m->nfaces; ++i) out.push_back(uint32_t(m->faces[i].smoothing) << 8 | (m->faces[i].flags & 7));
        return out;
    }

    ruvotest::TempDir dir;
};

TEST_F(LwoCaches, TheSmoothingCacheIsWrittenOnceAndReadOnTheNextLoad) {
    const std::string path = WriteShape("ship.lwo", Shape());
    vt_model *first = Load(path);
    ASSERT_NE(first, nullptr);
    const std::vector<uint32_t> fresh = Smoothing(first);
    EXPECT_NE(DebugLog().find("Creating smoothing group file vek\\resource\\shapes\\ship.smg"), std::string::npos);
    const std::vector<uint8_t> cache = Bytes("vek/resource/shapes/ship.smg");
    ASSERT_EQ(cache.size(), 8 + 2 * size_t(first->nfaces));
    EXPECT_EQ(Word(cache, 0), 0xC00u | first->nfaces);
    EXPECT_EQ(Word(cache, 4), uint32_t(first->nfaces));
    Restart();
    std::remove("debug.txt");
    vt_model *second = Load(path);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Smoothing(second), fresh);
    EXPECT_EQ(DebugLog().find("Creating smoothing group file"), std::string::npos);
    EXPECT_EQ(Bytes("vek/resource/shapes/ship.smg"), cache) << "read, not written again";
}

TEST_F(LwoCaches, ACacheIsTakenAsItsBytesSay) {
    // Every face of a cached box in group 5 with all three edges inner:
    // the cache wins over the computation.
    const std::string path = WriteShape("box.lwo", lwob::Box({0, 0, 0}, {1, 1, 1}, NamedSurface("s", 0x4)));
    std::vector<uint8_t> cache = {0x0C, 0x0C, 0, 0, 12, 0, 0, 0};
    for (int i = 0; i < 12; ++i) cache.insert(cache.end(), {5, 7});
    Put("vek/resource/shapes/box.smg", cache);
    vt_model *m = Load(path);
    ASSERT_NE(m, nullptr);
    for (int i = 0; i < m->nfaces; ++i) {
        EXPECT_EQ(m->faces[i].smoothing, 1u << 4);
        EXPECT_EQ(m->faces[i].flags & 7, 7);
    }
}

TEST_F(LwoCaches, AStaleOrDamagedCacheIsComputedAfresh) {
    const std::string path = WriteShape("ship.lwo", Shape());
    const std::vector<uint32_t> fresh = Smoothing(Load(path));
    const std::vector<uint8_t> good = Bytes("vek/resource/shapes/ship.smg");
    const size_t faces = (good.size() - 8) / 2;
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
        bool refused;  // said so in the log
    };
    std::vector<uint8_t> fewer = {uint8_t(faces - 1), 0x0C, 0, 0, uint8_t(faces - 1), 0, 0, 0};
    fewer.resize(8 + 2 * (faces - 1), 1);
    std::vector<uint8_t> badGroup = good, badEdges = good, noGroup = good, flipped = good;
    for (uint8_t &b : flipped) b ^= 0xFF;
    badGroup[8] = 16;
    badEdges[9] = 8;
    noGroup[10] = 0;
    const Case cases[] = {
        {"a face fewer", fewer, true},
        {"flipped", flipped, true},
        {"cut after the header", std::vector<uint8_t>(good.begin(), good.begin() + 8), true},
        {"cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 5), true},
        {"empty", {}, true},
        {"group 16", badGroup, true},
        {"edge flags 8", badEdges, true},
        {"group 0", noGroup, true},
    };
    for (const Case &c : cases) {
        Restart();
        Put("vek/resource/shapes/ship.smg", c.bytes);
        std::remove("debug.txt");
        vt_model *m = Load(path);
        ASSERT_NE(m, nullptr) << c.what;
        EXPECT_EQ(Smoothing(m), fresh) << c.what;
        EXPECT_EQ(DebugLog().find("Refused data file") != std::string::npos, c.refused) << c.what;
        EXPECT_EQ(DebugLog().find("Creating smoothing group file"), std::string::npos) << c.what;
        EXPECT_EQ(Bytes("vek/resource/shapes/ship.smg"), good) << c.what << ": written again whole";
    }
}

TEST_F(LwoCaches, ACacheThatCannotBeWrittenIsReportedAndTheModelStillBuilt) {
    std::filesystem::create_directories("vek/resource/shapes/ship.smg");
    vt_model *m = Load(WriteShape("ship.lwo", Shape()));
    EXPECT_NE(m, nullptr);
    EXPECT_NE(DebugLog().find("I cannot save smoothing info vek\\resource\\shapes\\ship.smg"), std::string::npos);
}

TEST_F(LwoCaches, CacheNamesKeepTheFolderWordAndDropWhatFollowsTheExtension) {
    const char *const cases[][2] = {
        {"vek\\resource\\shapes\\ship.lwo", "vek\\resource\\shapes\\ship.smg"},
        {"vek\\resource\\Sh_3DH\\ship.LWO", "vek\\resource\\Sh_3DH\\ship.smg"},
        {"vek\\resource\\shapes\\a.Lwo.old.lwo", "vek\\resource\\shapes\\a.smg"},
    };
    for (const auto &c : cases) EXPECT_EQ(LwoSmoothingCacheName(c[0]), c[1]);
}

TEST_F(LwoCaches, AThousandFacesOrMoreStillCarryTheTag) {
    lwob::Object o;
    const int16_t s = o.AddSurface(NamedSurface("s"));
    for (int i = 0; i < 512; ++i) {
        const float x = float(i);
        const uint16_t a = o.AddPoint(x, 0, 0), b = o.AddPoint(x, 0, 1), c = o.AddPoint(x + 0.5f, 0, 1),
                       d = o.AddPoint(x + 0.5f, 0, 0);
        o.AddPolygon({a, b, c, d}, s);
    }
    ASSERT_NE(Load(WriteShape("grid.lwo", o)), nullptr);
    const std::vector<uint8_t> cache = Bytes("vek/resource/shapes/grid.smg");
    ASSERT_GE(cache.size(), 8u);
    EXPECT_EQ(Word(cache, 0), 0xC00u);
    EXPECT_EQ(Word(cache, 4), 1024u);
}

// ---- Hit boxes -------------------------------------------------------------

lwob::Object Boxes(std::initializer_list<std::pair<lwob::Point, lwob::Point>> boxes,
                   std::initializer_list<const char *> surfaces) {
    lwob::Object o;
    auto name = surfaces.begin();
    for (const auto &b : boxes) o.Append(lwob::BoxTriangles(b.first, b.second, NamedSurface(*name++)));
    return o;
}

std::vector<const HitBox *> List(const CollisionModel *c) {
    std::vector<const HitBox *> out;
    for (const HitBox *b = c ? c->boxes : nullptr; b; b = b->next) out.push_back(b);
    return out;
}

TEST_F(LwoCaches, BoxObjectsGiveOneBoxPerCornerGroupWithItsSurfacesFlags) {
    WriteShape("kit_BOX.lwo", Boxes({{{0, 0, 0}, {1, 2, 3}},
                                     {{10, 10, 10}, {11, 11, 11}},
                                     {{20.5f, 20, 20}, {21, 21, 21}},
                                     {{30, 30, 30}, {31, 31, 31}},
                                     {{40, 40, 40}, {41, 41, 41}}},
                                    {"Hull", "NEGhole", "SYS_3", "SYS_0x10", "neg"}));
    CollisionModel *c = LwoLoadHitBoxes(ShapePath("kit_BOX.lwo").c_str());
    const std::vector<const HitBox *> boxes = List(c);
    ASSERT_EQ(boxes.size(), 5u);
    // Model units: file units x 100, y turned over.
    EXPECT_EQ(boxes[0]->upper.x, 100);
    EXPECT_EQ(boxes[0]->upper.y, 0);
    EXPECT_EQ(boxes[0]->lower.y, -200);
    EXPECT_EQ(boxes[0]->upper.z, 300);
    const uint32_t flags[] = {0, 0x4, 0x310, 0x1010, 0x4};
    for (size_t i = 0; i < boxes.size(); ++i) EXPECT_EQ(boxes[i]->flags, flags[i]) << i;
    EXPECT_EQ(DebugLog().find("Unexpected corner count"), std::string::npos);
}

TEST_F(LwoCaches, BoxesTouchingAlongAnEdgeBecomeOneBox) {
    WriteShape("pair_BOX.lwo", Boxes({{{0, 0, 0}, {1, 1, 1}}, {{1, 0, 0}, {2, 1, 3}}}, {"A", "B"}));
    const std::vector<const HitBox *> boxes = List(LwoLoadHitBoxes(ShapePath("pair_BOX.lwo").c_str()));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->lower.x, 0);
    EXPECT_EQ(boxes[0]->upper.x, 200);
    EXPECT_EQ(boxes[0]->upper.z, 300);
    EXPECT_NE(DebugLog().find("Unexpected corner count - do some boxes share vertices?"), std::string::npos);
}

TEST_F(LwoCaches, BoxObjectsNamingMissingPointsAreReadSafely) {
    lwob::Object o = Boxes({{{0, 0, 0}, {1, 1, 1}}}, {"SYS_1"});
    o.polygons.push_back({{0, 999, 1}, 1});
    o.polygons.push_back({{0, 1, 2, 3, 4}, 7});
    WriteShape("odd_BOX.lwo", o);
    const std::vector<const HitBox *> boxes = List(LwoLoadHitBoxes(ShapePath("odd_BOX.lwo").c_str()));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->flags, 0x110u);
    EXPECT_EQ(LwoLoadHitBoxes(ShapePath("none_BOX.lwo").c_str()), nullptr);
}

TEST_F(LwoCaches, EveryModelGetsOneCollisionRecord) {
    WriteShape("ship_BOX.lwo", Boxes({{{-1, -1, -1}, {1, 1, 1}}}, {"SYS_2"}));
    vt_model *ship = Load(WriteShape("ship.lwo", lwob::Box({-2, -1, -3}, {2, 1, 3}, NamedSurface("s"))));
    vt_model *rock = Load(WriteShape("rock.lwo", lwob::Box({-2, -1, -3}, {2, 1, 3}, NamedSurface("s"))));
    ASSERT_TRUE(ship && rock);
    CollisionModel *c = dunFindCollisionModel(ship);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(List(c).size(), 1u);
    EXPECT_EQ(List(c)[0]->flags, 0x210u);
    EXPECT_EQ(Load(ShapePath("ship.lwo")), ship);
    EXPECT_EQ(dunFindCollisionModel(ship), c) << "loaded again: the same record";
    EXPECT_EQ(LwoAttachHitBoxes(ShapePath("ship.lwo").c_str(), ship), c);
    // Without a box object: one box, the model's bounds, flagged whole.
    const std::vector<const HitBox *> whole = List(dunFindCollisionModel(rock));
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0]->flags, 0x8u);
    EXPECT_EQ(whole[0]->lower.x, -200);
    EXPECT_EQ(whole[0]->upper.z, 300);
    EXPECT_EQ(whole[0]->upper.y, 100);
    EXPECT_EQ(dunFindCollisionModel(rock)->size, float(VecLength(Vec3{200, 100, 300})));
}

TEST_F(LwoCaches, SamplePointsSpreadFromTheOriginToTheFarthestVertices) {
    vt_model *m = VtModelAllocate("points", 4, 1);
    const float at[4][3] = {{100, 0, 0}, {0, 300, 0}, {0, 0, -200}, {50, 50, 50}};
    for (int i = 0; i < 4; ++i) VtVector3Set(&m->vertices[i].p, at[i][0], at[i][1], at[i][2]);
    m->faces[0].vertices[0] = 0;
    m->faces[0].vertices[1] = 1;
    m->faces[0].vertices[2] = 2;
    m->flags |= VT_MODF_UPDATEABLE;
    VtModelAdd(m);
    VtModelUpdate(m, VT_MODU_ALL);
    CollisionModel *c = dunAllocCollisionModel();
    // A subsystem box beside the third sample, another beside the first.
    auto *near2 = static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
    *near2 = {{10, 10, -180}, {-10, -10, -220}, nullptr, 0x210};
    auto *near0 = static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
    *near0 = {{5, 5, 5}, {-5, -5, -5}, near2, 0x110};
    c->boxes = near0;
    LwoFitCollisionPoints(m, c);
    EXPECT_EQ(c->pointCount, 12);
    const Vec3 want[12] = {{0, 0, 0},     {0, 300, 0},   {0, 0, -200},  {100, 0, 0},  {50, 50, 50}, {100, 0, 0},
                           {100, 0, 0},   {100, 0, 0},   {100, 0, 0},   {100, 0, 0},  {100, 0, 0},  {100, 0, 0}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(c->points[i].x, want[i].x) << i;
        EXPECT_EQ(c->points[i].y, want[i].y) << i;
        EXPECT_EQ(c->points[i].z, want[i].z) << i;
    }
    EXPECT_EQ(c->pointMasks[2], 0x200u);
    EXPECT_EQ(c->pointMasks[0], 0x100u);
    EXPECT_EQ(c->pointMasks[1], 0u);
    EXPECT_EQ(List(c).size(), 2u) << "boxes of its own: no whole-model box";
    EXPECT_EQ(c->boundsUpper.y, 300);
    EXPECT_EQ(c->boundsLower.z, -200);
    EXPECT_EQ(c->size, float(VecLength(Vec3{100, 300, 50}))) << "the larger corner of the bounds";
}

}  // namespace
