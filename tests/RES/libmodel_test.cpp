// The resource manager's rows for models in the rendering library's own
// formats: library datafiles and ASCII mesh exports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "RES/resman.h"
#include "RES/util.h"
#include "common/temp_dir.h"
#include "core/options.h"
#include "os/paths.h"
#include "render/scenefile/scenefile.h"
#include "res_helpers.h"

namespace {

// Library reports are counted instead of ending the test program.
int gReports = 0;
void CountReport(const char *) { ++gReports; }
vt_diaghandler gCounting = {"counting", CountReport, CountReport};

struct LibModelTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override {
        gReports = 0;
        VtDiagHandlerSet(&gCounting);
        ResetOptions();
        dunSeedRand15(1);
        ASSERT_EQ(resmanInit(), ResourcePoolLimit);
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
    }
    void TearDown() override {
        resmanSetModelHooks(nullptr);
        VtEndAll();
        VtDiagHandlerSet(nullptr);
        resmanShutdown();
        ResetOptions();
    }
};

void ExpectRegisteredAndPrepared(ResourceHandle *h, const char *name) {
    ASSERT_NE(h, nullptr);
    auto *model = static_cast<vt_model *>(resmanLoad(h));
    ASSERT_NE(model, nullptr) << name;
    EXPECT_EQ(h->locked, 255);
    EXPECT_EQ(h->loaderClass, 6u);
    EXPECT_EQ(VtModelFind(name), model);
    EXPECT_NE(model->prepared, nullptr);
    // The arrays stay, so the game can reshape the model.
    EXPECT_NE(model->vertices, nullptr);
    EXPECT_EQ(model->flags & 0x6, 0x6);
    // Loaded once.
    EXPECT_EQ(resmanLoad(h), model);
}

TEST_F(LibModelTest, DatafileModelsLoadThroughTheirRow) {
    vt_model *m = VtModelAllocate("crate", 3, 1);
    m->vertices[1].p.v[0] = 1;
    m->vertices[2].p.v[1] = 1;
    m->faces[0].vertices[1] = 1;
    m->faces[0].vertices[2] = 2;
    std::filesystem::create_directories("vek/resource/shapes");
    ASSERT_EQ(VtModelSave("vek/resource/shapes/crate.dat", m), 1u);
    VtModelFree(m);
    ExpectRegisteredAndPrepared(resmanRegister("\\vek\\resource\\shapes\\Crate.DAT", ResDat2Brm), "crate");
}

TEST_F(LibModelTest, AsciiMeshModelsLoadThroughTheirRow) {
    restest::WriteText("beacon.asc",
                       "Named object: \"beacon\"\n"
                       "Tri-mesh, Vertices: 3 Faces: 1\n"
                       "Vertex 0: X: 0 Y: 0 Z: 0\nVertex 1: X: 1 Y: 0 Z: 0\nVertex 2: X: 0 Y: 1 Z: 0\n"
                       "Face 0: A:0 B:1 C:2 AB:1 BC:1 CA:1\n");
    ExpectRegisteredAndPrepared(resmanRegister("beacon.asc", ResAsc2Brm), "beacon");
}

TEST_F(LibModelTest, DatafileModelsTakeTheWorldScale) {
    vt_model *m = VtModelAllocate("crate", 3, 1);
    m->faces[0].vertices[2] = 2;
    ASSERT_EQ(VtModelSave("crate.dat", m), 1u);
    VtModelFree(m);
    static float factor;
    static void *scaled;
    factor = 0;
    ResmanModelHooks hooks{};
    hooks.worldScale = [] { return 4.0f; };
    hooks.scaleModelTree = [](void *model, float f) {
        scaled = model;
        factor = f;
    };
    resmanSetModelHooks(&hooks);
    void *model = resmanLoad(resmanRegister("crate.dat", ResDat2Brm));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(scaled, model);
    EXPECT_EQ(factor, 0.25f);
}

TEST_F(LibModelTest, NothingLoadsWithoutTheLibraryOrFromBrokenFiles) {
    restest::WriteText("broken.dat", "not a datafile");
    restest::WriteText("empty.asc", "Ambient light color: Red=0 Green=0 Blue=0\n");
    EXPECT_EQ(resmanLoad(resmanRegister("broken.dat", ResDat2Brm)), nullptr);
    EXPECT_EQ(resmanLoad(resmanRegister("empty.asc", ResAsc2Brm)), nullptr);
    EXPECT_EQ(gReports, 1);  // the datafile that is none
    VtEndAll();
    restest::WriteText("later.asc", "Tri-mesh, Vertices: 3 Faces: 1\nFace 0: A:0 B:1 C:2\n");
    EXPECT_EQ(resmanLoad(resmanRegister("later.asc", ResAsc2Brm)), nullptr);
    ASSERT_EQ(VtBeginAll(), VT_E_OK);
}

}  // namespace

namespace {

// The sample data's library model and ASCII mesh load through their rows.
TEST(LibModelSampleData, GasShellAndBeacon) {
    const char *root = std::getenv("RUVO_DATA");
    ASSERT_NE(root, nullptr);
    const std::string old = std::filesystem::current_path().string();
    std::filesystem::current_path(root);
    osFlushPathCache();
    ResetOptions();
    ASSERT_NE(resmanInit(), 0u);
    ASSERT_EQ(VtBeginAll(), VT_E_OK);
    auto *shell = static_cast<vt_model *>(resmanLoad(resmanRegister("\\vantor\\dat\\gasshell.dat", ResDat2Brm)));
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(shell->nfaces, 320);
    auto *beacon =
        static_cast<vt_model *>(resmanLoad(resmanRegister("\\vek\\resource\\shapes\\beacon.asc", ResAsc2Brm)));
    ASSERT_NE(beacon, nullptr);
    EXPECT_EQ(VtModelFind("Beacon"), beacon);
    VtEndAll();
    resmanShutdown();
    ResetOptions();
    std::filesystem::current_path(old);
    osFlushPathCache();
}

}  // namespace
