// The rendering library's data files as the game loads them, behind its own
// diagnostics handler: a damaged file is refused with one line naming it,
// counts as missing, and the game goes on (the handler would otherwise end
// the process).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "RES/libload.h"
#include "RES/libmodel.h"
#include "common/fatal_hook.h"
#include "common/damaged_copies.h"
#include "common/sample_root.h"
#include "common/temp_dir.h"
#include "core/options.h"
#include "os/paths.h"
#include "present/diaghandler.h"
#include "present/p3d.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/scenefile/scenefile.h"

namespace fs = std::filesystem;

namespace {

using ruvotest::GameName;
using ruvotest::PutGameFile;

std::vector<uint8_t> Bytes(const std::string &path) { return ruvotest::ReadBytes(path); }

// Lines of debug.txt that refuse `name`.
int Refusals(const std::string &name, std::string *log = nullptr) {
    std::stringstream s;
    s << std::ifstream("debug.txt", std::ios::binary).rdbuf();
    const std::string text = s.str(), mark = "Refused data file " + name + ": ";
    int n = 0;
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) ++n;
    if (log) *log = text;
    return n;
}

class LibraryFiles : public testing::Test {
protected:
    const std::string sample = ruvotest::SampleDataRoot();
    ruvotest::TempDir dir;
    void SetUp() override {
        ResetOptions();
        LibraryLoadForgetRefusals();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
        VtDiagHandlerSet(&WindowsDiagHandler);
    }
    void TearDown() override {
        VtDiagHandlerSet(nullptr);
        VtEndAll();
        LibraryLoadForgetRefusals();
    }
};

struct Kind {
    const char *what, *path;  // path: of a sample file, or of one the test makes
    std::function<void *(const char *)> load;
};

// Each kind the game loads through the library, by the road it takes.
const Kind kKinds[] = {
    {"texture map", "vek/resource/art/textures/ships/corvhull.pix",
     [](const char *n) -> void * { return P3DFindMapHook(n); }},
    {"model", "vantor/dat/gasshell.dat", [](const char *n) { return LoadDatModel(n, nullptr, nullptr); }},
    {"material", "vantor/dat/hull.mat", [](const char *n) -> void * { return P3DFindMaterialHook(n); }},
    {"palette", "vantor/dat/tovstdbr.pal", [](const char *n) -> void * { return P3DFindMapHook(n); }},
    {"shade table", "vek/resource/art/textures/ships/tovstd.tab",
     [](const char *n) -> void * { return P3DFindTableHook(n); }},
};

TEST_F(LibraryFiles, ADamagedFileIsRefusedOnceAndCountsAsMissing) {
    // The sample has no material file: one made by the library.
    vt_material *m = VtMaterialAllocate("hull");
    m->colour = 0x336699;
    PutGameFile("vantor/dat/.keep", {});
    ASSERT_EQ(VtMaterialSave("vantor/dat/hull.mat", m), 1u);
    VtMaterialFree(m);
    for (const Kind &k : kKinds)
        if (!fs::exists(k.path)) PutGameFile(k.path, Bytes(sample + "/" + k.path));

    for (const Kind &k : kKinds) {
        const std::string name = GameName(k.path);
        const std::vector<uint8_t> good = Bytes(k.path);
        ASSERT_GT(good.size(), 16u) << k.what;
        std::remove("debug.txt");
        EXPECT_NE(k.load(name.c_str()), nullptr) << k.what;
        EXPECT_EQ(Refusals(name), 0) << k.what;

        for (const ruvotest::DamagedCopy &d : ruvotest::DamagedCopies(good)) {
            LibraryLoadForgetRefusals();
            std::remove("debug.txt");
            PutGameFile(k.path, d.bytes);
            std::string log;
            void *item = nullptr;
            EXPECT_NO_THROW(item = k.load(name.c_str())) << k.what << " " << d.how;
            EXPECT_EQ(item, nullptr) << k.what << " " << d.how;
            EXPECT_EQ(Refusals(name, &log), 1) << k.what << " " << d.how << ":\n" << log;
            // Asked again, it stays missing without a second line.
            EXPECT_EQ(k.load(name.c_str()), nullptr) << k.what << " " << d.how;
            EXPECT_EQ(Refusals(name), 1) << k.what << " " << d.how;
        }
        PutGameFile(k.path, good);
    }
    // A missing file is no damaged one: its callers say what they need.
    std::remove("debug.txt");
    EXPECT_EQ(P3DFindMapHook("vantor\\dat\\nothere.pix"), nullptr);
    EXPECT_EQ(Refusals("vantor\\dat\\nothere.pix"), 0);
}

// The gas shell with a face naming a vertex it does not have.
TEST_F(LibraryFiles, AModelWithABadFaceIndexIsRefusedWithTheLibrarysReason) {
    PutGameFile("vantor/dat/gasshell.dat", Bytes(sample + "/vantor/dat/gasshell.dat"));
    vt_model *shell = VtModelLoad("vantor/dat/gasshell.dat");
    ASSERT_NE(shell, nullptr);
    ASSERT_GT(shell->nfaces, 16);
    shell->faces[16].vertices[1] = vt_uint_16(shell->nvertices + 53);
    ASSERT_EQ(VtModelSave("vantor/dat/gasshell.dat", shell), 1u);
    VtModelFree(shell);
    std::remove("debug.txt");
    void *model = nullptr;
    EXPECT_NO_THROW(model = LoadDatModel("vantor\\dat\\gasshell.dat", nullptr, nullptr));
    EXPECT_EQ(model, nullptr);
    std::string log;
    EXPECT_EQ(Refusals("vantor\\dat\\gasshell.dat", &log), 1) << log;
    EXPECT_NE(log.find(": Model gasshell: face 16 names vertex"), std::string::npos) << log;
}

// Registering a model prepares it, and the library fails a model with no
// faces there: still the file's fault, refused, and the game goes on.
TEST_F(LibraryFiles, AMeshWithNoFacesIsRefused) {
    const std::string mesh = "Named object: \"Empty\"\nTri-mesh, Vertices: 0     Faces: 0\nVertex list:\nFace list:\n";
    PutGameFile("vek/resource/shapes/empty.asc", std::vector<uint8_t>(mesh.begin(), mesh.end()));
    std::remove("debug.txt");
    void *model = nullptr;
    EXPECT_NO_THROW(model = LoadAsciiMeshModel("vek\\resource\\shapes\\empty.asc", nullptr, nullptr));
    EXPECT_EQ(model, nullptr);
    std::string log;
    EXPECT_EQ(Refusals("vek\\resource\\shapes\\empty.asc", &log), 1) << log;
}

// Outside a load the game's handler still ends the game: a failure there
// is no file's fault.
TEST_F(LibraryFiles, AFailureOutsideALoadStillEndsTheGame) {
    try {
        VtFailure("broken %d", 7);
        FAIL() << "the handler returned";
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 10);
        EXPECT_NE(std::string(e.what()).find("broken 7"), std::string::npos);
    }
}

}  // namespace
