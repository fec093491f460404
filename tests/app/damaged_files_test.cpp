// Sample files damaged three ways (empty, cut in half, every byte flipped)
// and read through the readers the game reads them with: each reader names
// the file in "debug.txt" when it refuses it, takes it empty or falls back to
// defaults ("Refused data file NAME: why", "Empty data file NAME: ..."), or
// ends the game with a report naming it where the game cannot go on without
// it; the few it takes without a word are marked with the reason.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/libload.h"
#include "RES/libmodel.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/slab.h"
#include "RES/util.h"
#include "common/fatal_hook.h"
#include "common/damaged_copies.h"
#include "common/sample_root.h"
#include "core/options.h"
#include "gui/docviewer.h"
#include "gui/front.h"
#include "gui/options.h"
#include "os/paths.h"
#include "platform/smack.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "platform/wave.h"
#include "present/diaghandler.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"
#include "script/career.h"
#include "script/compiler.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "world/messages.h"
#include "world/objlist.h"

namespace fs = std::filesystem;

namespace {

using ruvotest::GameName;
using ruvotest::PutGameFile;

std::vector<uint8_t> Bytes(const std::string &path) { return ruvotest::ReadBytes(path); }

// What the game does with a damaged copy.
enum class Told {
    Named,  // a debug.txt line or an ending report names the file
    Taken,  // may be taken without a word, for the reason the row gives
};

struct Row {
    const char *path;
    std::function<void(const char *name)> read;
    Told empty, half, flipped;
    const char *why;  // for the damages taken without a word
    // The good file, for one the sample tree has not (the game writes it).
    std::vector<uint8_t> (*good)() = nullptr;
};

std::vector<uint8_t> NewCaptainSlot() {
    std::vector<uint8_t> bytes(kSlotFileBytes);
    CaptainSlot slot{};
    std::snprintf(slot.name, sizeof slot.name, "%s", "Captain Vey");
    EncodeCaptainSlot(slot, bytes.data());
    return bytes;
}

void LoadShape(const char *);

// The corvette's smoothing cache, as its first load writes it.
std::vector<uint8_t> MadeCache() {
    std::remove("vek/resource/shapes/corvette.smg");
    LoadShape(nullptr);
    return Bytes("vek/resource/shapes/corvette.smg");
}

std::vector<uint8_t> NewCareerState() {
    std::vector<uint8_t> bytes(kStateFileBytes);
    EncodeCareerState(CareerState{}, bytes.data());
    return bytes;
}

// Reads a resource the way the resource manager does for its type.
std::function<void(const char *)> Resource(uint32_t type) {
    return [type](const char *name) {
        // A resource manager of its own: the scripts run before registered
        // names of their own.
        resmanShutdown();
        resmanInit();
        resmanRegisterLoad(name, type);
    };
}

// The same for a loose file that a slab would otherwise stand in for (as
// with "noslab").
std::function<void(const char *)> Loose(uint32_t type) {
    return [type](const char *name) {
        optNoSlab = 0xFF;
        Resource(type)(name);
        optNoSlab = 0;
    };
}

// A script compiled and run to its end, as the start-up runs them.
void RunScript(const char *name) {
    ScriptToken *pc = TokeniseScript(name);
    if (pc) ScriptProcessor(&pc, 0);
}

void *Keep(void *p) { return p; }

// The corvette's shape, loaded afresh (with its cache and hit box) and let go.
void LoadShape(const char *) {
    auto *model = static_cast<vt_model *>(LwoLoadModel("vek\\resource\\shapes\\corvette.lwo", nullptr, nullptr));
    if (!model) return;
    VtModelRemove(model);
    VtModelFree(model);
}

constexpr Told N = Told::Named, T = Told::Taken;
constexpr char kShorterScript[] = "a script cut between its lines is a shorter script, and nothing in it is wrong";
constexpr char kFewerRows[] = "a table cut between its rows has fewer rows, and nothing in it is wrong";

const Row kRows[] = {
    // Scripts: an empty one is said to be empty, one that is no text is
    // refused; one cut short is a shorter script, whose last statement, when
    // cut through, is reported where it runs (by the file and line).
    {"vek/resource/scripts/init/init.scr", RunScript, N, T, N, kShorterScript},
    {"vek/resource/scripts/init/startup.scr", RunScript, N, T, N, kShorterScript},
    {"vek/resource/scripts/init/stock.scr", RunScript, N, T, N, kShorterScript},
    {"vek/resource/scripts/missions/mission01.scr", RunScript, N, T, N, kShorterScript},
    {"vek/resource/scripts/gui/test0_x.gui", RunScript, N, T, N, kShorterScript},
    {"vek/resource/scripts/gui/screens.gui", RunScript, N, T, N, kShorterScript},
    {"vek/resource/scripts/ships/corvette.shp", RunScript, N, T, N, kShorterScript},
    {"vek/resource/keybind.ini", RunScript, N, T, N, kShorterScript},
    {"Marrowgleam.ini", RunScript, N, T, N, kShorterScript},
    // Tables.
    {"vek/resource/scripts/precedence.csv", [](const char *) { dunLoadPrecedence(); }, N, T, N, kFewerRows},
    {"vek/resource/text/docs/initTable.txt",
     [](const char *) {
         ResetOptionCaptions();
         frontLoadInitTable();
     },
     N, T, N, kFewerRows},
    {"vek/resource/text/ratings.txt", [](const char *) { frontLoadRatings(); }, N, T, N, kFewerRows},
    // Pictures.
    {"vek/resource/art/tovstd.pcx", Resource(ResPcx2Palette), N, N, N, ""},
    {"vek/resource/art/loadscrn.pcx", Resource(ResPcx2Raster), N, N, N, ""},
    {"vek/resource/art/screens/header.pcx", [](const char *n) { pcxFree(pcxLoad(n)); }, N, N, N, ""},
    {"vek/resource/art/nav0.pcx", Resource(ResPcx2Raster), N, N, N, ""},
    {"vek/resource/art/tovstd.cm", Resource(ResCm2ColourMap), N, N, T,
     "a colour map has no header: any 65,536 bytes are a map"},
    // Fonts.
    {"vek/resource/fonts/rfont.fon", Resource(ResFon2RFont), N, N, N, ""},
    {"vek/resource/fonts/consfont.fnt", Resource(ResFnt2RFont), N, N, N, ""},
    {"vek/resource/fonts/vfont.rvf", Resource(ResRvf2VFont), N, N, N, ""},
    // Sound and films.
    {"vek/resource/sounds/10.wav",
     [](const char *n) {
         uint32_t size;
         WaveFormat *format;
         uint8_t *samples;
         WaveLoadFile(n, &size, nullptr, &format, &samples);
         WaveFree(format);
         WaveFree(samples);
     },
     N, N, N, ""},
    {"vek/resource/video/cmdsit.smk", [](const char *n) { SmackClose(SmackOpenByName(n)); }, N, N, N, ""},
    {"vek/resource/video/intro.mpg", [](const char *n) { PlayMpegFile(n); }, N, T, N,
     "an MPEG film holds no table of its frames: cut, it plays as far as it goes"},
    // Shapes, with their smoothing caches and hit boxes.
    {"vek/resource/shapes/corvette.lwo", LoadShape, N, N, N, ""},
    {"vek/resource/shapes/corvette.smg", LoadShape, N, N, N, "", MadeCache},
    {"vek/resource/shapes/corvette_BOX.lwo", LoadShape, N, N, N, ""},
    {"vek/resource/shapes/beacon.asc", Resource(ResAsc2Brm), N, N, N, ""},
    // The rendering library's data files, by the game's own hooks.
    {"vek/resource/art/textures/ships/corvhull.pix", [](const char *n) { Keep(P3DFindMapHook(n)); }, N, N, N, ""},
    {"vantor/dat/gasshell.dat", [](const char *n) { Keep(LoadDatModel(n, nullptr, nullptr)); }, N, N, N, ""},
    {"vantor/dat/tovstdbr.pal", [](const char *n) { Keep(P3DFindMapHook(n)); }, N, N, N, ""},
    {"vek/resource/art/textures/ships/tovstd.tab", [](const char *n) { Keep(P3DFindTableHook(n)); }, N, N, N, ""},
    {"vantor/dat/ExpUnlitAlpha.raw",
     [](const char *) {
         P3DFreeScene();
         P3DLoadEffectTextures();
     },
     N, N, T, "an alpha file has no header: any bytes of its length are alpha"},
    // Texts.
    {"vek/resource/text/debrief/dbf_01_0.txt",
     [](const char *) {
         optNoSlab = 0xFF;
         MissionRecord m{};
         m.missionNumber = 1;
         m.index = 1;
         dunFree(frontLoadDebrief(&m, 0));
     },
     N, T, T, "a text has nothing to check: cut, it is shorter; flipped, its bytes are letters"},
    {"vek/resource/text/docs/home.htm", [](const char *) { docLoadPage("home.htm"); }, N, T, T,
     "a page has nothing to check: cut, it is shorter; flipped, its bytes are words"},
    {"vek/resource/text/d01/t001.txt", Loose(ResTxt2Txt), N, T, T,
     "a dialogue text has nothing to check until it is played"},
    {"vek/resource/text/obj01.txt", Loose(ResTxt2Txt), N, T, T, "a text has nothing to check"},
    {"vek/resource/text.slb", [](const char *) { slabEntrySize("text", "vek\\resource\\text\\obj01.txt"); }, N, N, N,
     ""},
    // The slabs of scripts and shapes, last: the rows above read their files
    // loose, and these put the slabs back.
    {"vek/resource/scripts.slb",
     [](const char *) {
         uint32_t size = 0;
         slabClose(slabOpen("scripts", "vek\\resource\\scripts\\missions\\mission01.scr", &size));
     },
     N, N, N, ""},
    {"vek/resource/shapes.slb",
     [](const char *) { slabClose(slabOpen("shapes", "vek\\resource\\shapes\\corvette.lwo", nullptr)); }, N, N, N, ""},
    // The career (a damaged one is set aside).
    {"vek/slot0.sav", [](const char *) { dunReadCaptainSlot(); }, N, N, N, "", NewCaptainSlot},
    {"vek/state.inf", [](const char *) { dunReadStateFile(); }, N, N, N, "", NewCareerState},
};

class DamagedFiles : public testing::Test {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    void SetUp() override {
        std::vector<std::string> without;
        for (const Row &r : kRows) without.emplace_back(r.path);
        root = std::make_unique<ruvotest::SampleRoot>(without);
        // The scripts and shapes are damaged as loose files, which the game
        // reads only where no slab holds them.
        ASSERT_TRUE(ruvotest::UnpackSlab(root->path(), "scripts", without));
        ASSERT_TRUE(ruvotest::UnpackSlab(root->path(), "shapes", without));
        ResetOptions();
        dunMsgInit();
        dunResetWorld();
        InitializeScriptSystem();
        resmanInit();
        LibraryLoadForgetRefusals();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
        VtDiagHandlerSet(&WindowsDiagHandler);
        SoundEnabled = 0;
    }
    void TearDown() override {
        VtDiagHandlerSet(nullptr);
        VtEndAll();
        // The effect textures one row made live in the library just ended:
        // the next test's frames must not reach them through these.
        std::memset(gP3D.effectMaterials, 0, sizeof gP3D.effectMaterials);
        std::memset(gP3D.explosionMaterials, 0, sizeof gP3D.explosionMaterials);
        gP3D.unlitMaterial = gP3D.potBlack = nullptr;
        gP3D.primUnlit[0] = gP3D.primUnlit[1] = gP3D.primUnlit[2] = nullptr;
        gP3D.whiteAlphaMap = gP3D.capsuleMap = nullptr;
        gP3D.gasShell = nullptr;
        LibraryLoadForgetRefusals();
        resmanShutdown();
        FreeScriptBuffers();
        dunResetWorld();
        ResetOptions();
        root.reset();
    }
};

TEST_F(DamagedFiles, EachReaderNamesWhatItRefusesOrTakesEmpty) {
    for (const Row &r : kRows) {
        const std::string sampleBytes = ruvotest::SampleFileText(r.path);
        const std::vector<uint8_t> good =
            r.good ? r.good() : std::vector<uint8_t>(sampleBytes.begin(), sampleBytes.end());
        ASSERT_FALSE(good.empty()) << r.path;
        const Told told[] = {r.empty, r.half, r.flipped};
        const std::vector<ruvotest::DamagedCopy> damages = ruvotest::DamagedCopies(good);
        const std::string name = GameName(r.path);
        for (size_t i = 0; i < damages.size(); ++i) {
            const ruvotest::DamagedCopy &d = damages[i];
            PutGameFile(r.path, d.bytes);
            LibraryLoadForgetRefusals();
            std::remove("debug.txt");
            std::string ending;
            try {
                r.read(name.c_str());
            } catch (const ruvotest::FatalError &e) {
                ending = e.what();
            }
            std::stringstream s;
            s << std::ifstream("debug.txt", std::ios::binary).rdbuf();
            const std::string log = s.str();
            int lines = 0;
            // "Refused data file NAME: why", "Empty data file NAME: ...",
            // "Short data file NAME: ...", "Damaged file NAME (why)".
            for (const std::string &mark : {" data file " + name + ":", "Damaged file " + name + " "})
                for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) ++lines;
            const bool named = lines > 0 || ending.find(name) != std::string::npos;
            if (told[i] == Told::Named) {
                EXPECT_TRUE(named) << r.path << " " << d.how << ":\n" << log << ending;
            }
            // Said at most once.
            EXPECT_LE(lines, 1) << r.path << " " << d.how << ":\n" << log;
        }
        PutGameFile(r.path, good);
    }
}

}  // namespace
