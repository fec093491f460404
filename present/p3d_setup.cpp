// Setting the 3D system up for a mission and taking it down: the library in
// the software or 3D-card set-up, the find hooks, the effect materials, the
// state of the frame, and the end of the mission.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "RES/libload.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"
#include "platform/display.h"
#include "platform/video.h"
#include "present/diaghandler.h"
#include "present/frame_passes.h"
#include "present/hooks.h"
#include "present/lwo/lwo.h"
#include "present/lwo/shade.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/alpha.h"
#include "present/sky/planets.h"
#include "present/sky/sky.h"
#include "present/views.h"
#include "render/config/config.h"
#include "render/drivers/softrend.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"

P3DState gP3D;
RenderOptionFlags gRenderOptions = kRenderOptionsAtStart;

namespace {

constexpr int kPrimitiveHeapBytes = 1000000;
constexpr char kVantorPath[] = "vantor\\dll;vantor\\dat";

// A complete material record for each effect material, with its texture
// and tint beside it.
struct EffectTemplate {
    const char *identifier;
    const char *texture;  // below vantor\dat, or null
    uint32_t tint;  // 0xRRGGBB
    float ka, kd, ks, power;
    uint32_t flags;
    uint8_t indexBase, indexRange;
    uint32_t colour;
    uint8_t opacity;
    uint16_t mode;
};

const EffectTemplate kEffectTemplates[kP3DEffectMaterials] = {
    {"standard", nullptr, 0, 0, 0.67f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"nebula_purple", nullptr, 0, 0, 1, 0, 20, 0x6, 176, 31, 0, 0, 0},
    {"laser_tex_navy", "beamnav.pix", 0xFFFF00, 1, 0, 0, 30, 0x1000, 176, 31, 0, 0, 0},
    {"laser_tex_indy", "beamind.pix", 0xFF0000, 0, 0.7f, 0.05f, 30, 0x1000, 176, 31, 0, 0, 0},
    {"laser_tex_aln", "beamaln.pix", 0x00FF00, 0, 0.7f, 0.05f, 30, 0x1000, 176, 31, 0, 0, 0},
    {"laser_tex_newal", "beamnl.pix", 0x0000FF, 0, 0.7f, 0.05f, 30, 0x1000, 176, 31, 0, 0, 0},
    {"Antimo", "antimo.pix", 0, 0, 0.7f, 0.05f, 30, 0, 176, 31, 0, 0, 0},
    {"explo_1", "explo_1.pix", 0, 0, 0.7f, 0.05f, 30, 0x2000, 176, 31, 0, 0, 0},
    {"explo_2", nullptr, 0, 0, 0.7f, 0.05f, 30, 0x2000, 176, 31, 0, 0, 0},
    {"plasmaball", nullptr, 0, 0, 1, 0, 20, 0x6, 144, 31, 0, 0, 0},
    {"plasmavid", "plasma.pix", 0, 0, 0.7f, 0.05f, 30, 0x6, 48, 16, 0, 0, 0},
    {"carbon", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 48, 31, 0, 0, 0},
    {"black", nullptr, 0, 0, 1, 0, 96, 0, 48, 31, 0, 0, 0},
    {"grey_flat", nullptr, 0, 0.05f, 0.62f, 0.75f, 20, 0, 30, 1, 0, 0, 0},
    {"laser_tex_orange", "beamora.pix", 0xFF7A00, 0, 0.7f, 0.05f, 30, 0x1000, 176, 31, 0, 0, 0},
    {"planet1", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"planet2", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"planet3", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"planet4", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"planet5", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"planet6", nullptr, 0, 0.05f, 0.62f, 0.75f, 96, 0x5, 16, 31, 0, 0, 0},
    {"gas_shell", nullptr, 0xFF0000, 1, 0, 0, 96, 0x20024, 48, 32, 0xFFFFFF, 255, 12},
    {"starstuff", nullptr, 0, 1, 0, 0, 96, 0x6, 48, 32, 0xFFFFFF, 255, 12},
};

// The extra-primitive list a template carries: an empty one, which makes
// the material's map a tinted copy of the beam texture.
vt_token_value kEmptyTokens[] = {{0, {}}};

// The set-up's view of the display surface: width, height and pixel type.
vt_uint_8 ScreenType() { return PixelDepth == 16 ? VT_PMT_RGB_565 : VT_PMT_INDEX_8; }

void FreeTargets() {
    P3DForgetViewBuffers();
    // On the 3D card the back and depth buffers are the display's.
    if (!CardMode && gP3D.depth) VtPixelmapFree(gP3D.depth);
    if (!CardMode && gP3D.screen) VtPixelmapFree(gP3D.screen);
    gP3D.screen = gP3D.depth = gP3D.colourTarget = gP3D.depthTarget = nullptr;
}

// The screen pixelmap over the display surface's pixels, and a depth
// buffer to match.
void MakeScreenTargets() {
    FreeTargets();
    const Surface &s = ScreenSurface;
    if (!s.pixels || s.width <= 0 || s.height <= 0) return;
    const int bytes = PixelDepth / 8;
    gP3D.screen = VtPixelmapAllocate(ScreenType(), s.width, s.height, s.pixels, 0);
    if (!gP3D.screen) return;
    gP3D.screen->row_bytes = vt_int_16(s.pitch > 0 ? s.pitch : s.width * bytes);
    gP3D.screen->origin_x = gP3D.screen->origin_y = 0;
    gP3D.depth = VtPixelmapMatch(gP3D.screen, VT_PMMATCH_DEPTH_16);
    gP3D.colourTarget = gP3D.screen;
    gP3D.depthTarget = gP3D.depth;
}

// The standard palette, registered as a map: the 3D card gives it to 8-bit
// textures without a palette; our renderer sees them through it on 16-bit
// screens.
void LoadStandardPalette() {
    // Registered in the file's load: registering prepares it.
    gP3D.standardPalette = LoadLibraryFile(
        "vantor\\dat\\tovstdbr.pal",
        +[](const char *name) {
            vt_pixelmap *palette = VtPixelmapLoad(name);
            if (palette) {
                palette->identifier = VtResStrDup(palette, name);
                VtMapAdd(palette);
            }
            return palette;
        },
        +[](vt_pixelmap *palette) {
            VtMapRemove(palette);
            VtPixelmapFree(palette);
        });
}

void InstallHooks() {
    VtDiagHandlerSet(&WindowsDiagHandler);
    VtMaterialFindHook(P3DFindMaterialHook);
    VtTableFindHook(P3DFindTableHook);
    VtMapFindHook(P3DFindMapHook);
}

void SoftwareSetUp() {
    if (!VtSceneDbRoot()) {
        if (VtBeginAll() != VT_E_OK) return;
        gP3D.libraryOwned = 1;
        gP3D.beamAlphaDone = 0;
    }
    VtSystemConfigSetString(VTT_VANTOR_PATH_STR, kVantorPath);
    InstallHooks();
    MakeScreenTargets();
    if (PixelDepth == 16) {
        if (!gP3D.standardPalette) LoadStandardPalette();
        SoftrendPaletteSet(gP3D.standardPalette);
    }
    VtZbBegin(ScreenType(), VT_PMT_DEPTH_16);
    gP3D.skyColour = 0;
    gP3D.detailHigh = 24;
    gP3D.detailLow = gP3D.detailHigh / 2.4f < 10 ? gP3D.detailHigh / 2.4f : 10;
}

// The library, the screen and the depth pixelmaps are the 3D-card
// driver's; the set-up adds the z-sort renderer with its primitive heap.
void CardSetUp() {
    InstallHooks();
    // The scene renders into the display's back buffer with its depth.
    gP3D.screen = gP3D.colourTarget = Display3dBack();
    gP3D.depth = gP3D.depthTarget = Display3dDepth();
    LoadStandardPalette();
    if (!gP3D.zsortStarted) {
        gP3D.primitiveHeap = std::malloc(kPrimitiveHeapBytes);
        if (gP3D.primitiveHeap && VtZsBegin(ScreenType(), gP3D.primitiveHeap, kPrimitiveHeapBytes) == VT_E_OK)
            gP3D.zsortStarted = 1;
    }
    gP3D.detailHigh = 24 * 8.25f;
    gP3D.detailLow = gP3D.detailHigh / 10 < 10 ? gP3D.detailHigh / 10 : 10;
    gP3D.skyRingThreshold = 1260;
}

// The beam texture's alpha, once in each run of the library.
void BeamAlpha() {
    if (gP3D.beamAlphaDone) return;
    vt_pixelmap *beam = VtMapFind("vantor\\dat\\beam28_.pix");
    const size_t pixels = beam ? size_t(beam->width) * size_t(beam->height) : 0;
    if (!P3DReadAlphaFile("vantor\\dat\\beamalpha2.raw", gP3D.alpha, sizeof gP3D.alpha,
                          pixels < sizeof gP3D.alpha ? pixels : sizeof gP3D.alpha))
        return;
    if (beam) {
        P3DSetAlpha4444(beam, gP3D.alpha, 4095);
        gP3D.beamAlphaDone = 1;
    }
}

void BuildEffectMaterials() {
    LoadProgressStep("P3D - Loading materials");
    vt_pixelmap *beam28 = VtMapFind("vantor\\dat\\beam28_.pix");
    for (int i = 0; i < kP3DEffectMaterials; ++i) {
        // A copy: the 16-bit laser rows change only this mission's materials.
        EffectTemplate t = kEffectTemplates[i];
        const bool laser = std::strncmp(t.identifier, "laser_tex", 9) == 0;
        const bool tokens = PixelDepth == 16 && laser;
        if (tokens) {
            t.texture = "beam27_.pix";
            t.colour = 0xFFFFFFFF;
            t.flags = 0x21024;
            t.mode = 4;
        }
        vt_material *m = VtMaterialAllocate(t.identifier);
        if (!m) continue;
        m->colour = t.colour;
        m->opacity = 255;
        m->ka = t.ka;
        m->kd = t.kd;
        m->ks = t.ks;
        m->power = t.power;
        m->flags = t.flags;
        VtMatrix23Identity(&m->map_transform);
        m->mode = t.mode;
        m->index_base = t.indexBase;
        m->index_range = t.indexRange;
        m->colour_map = nullptr;
        m->extra_prim = tokens ? kEmptyTokens : nullptr;
        if (t.texture) {
            char name[64];
            std::snprintf(name, sizeof name, "vantor\\dat\\%s", t.texture);
            m->colour_map = VtMapFind(name);
        }
        if (tokens) {
            m->colour_map = P3DMakeTintedAlphaMap(beam28, t.tint >> 16 & 0xFF, t.tint >> 8 & 0xFF, t.tint & 0xFF, 1);
            m->mode = 12;
        }
        if (m->mode == 0) m->mode = 4;
        gP3D.effectMaterials[i] = VtMaterialAdd(m);
    }
}

// Rebuild flag set, worlds, lights and cameras forgotten, effect state
// cleared.
void ResetState() {
    gP3D.rebuild = 0xFF;
    gP3D.nebulaOn = 0;
    gP3D.mainWorld = gP3D.mainCamera = nullptr;
    gP3D.light1 = gP3D.light2 = gP3D.flashLight = nullptr;
    gP3D.planetWorld = gP3D.starWorld = gP3D.planetCamera = nullptr;
    gP3D.nebulaWorld = gP3D.nebulaCamera = nullptr;
    gP3D.celestialSphere = gP3D.hardStars = nullptr;
    gP3D.cockpitWorld = gP3D.cockpitCamera = gP3D.panelActor = gP3D.cockpitLight = nullptr;
    gP3D.viewpoint = nullptr;
    gP3D.viewWindowCount = 0;
    P3DResetEffectState();
}

void ReleaseTreeActors(TDP *tdp) {
    for (; tdp; tdp = tdp->sibling) {
        ReleaseTreeActors(tdp->child);
        P3DRemoveActor(tdp);
    }
}

}  // namespace

void P3DResetStateDefaults() {
    gP3D = P3DState{};
    gP3D.ratePreviousMean = 20.0f;
    gP3D.rateBand = 3.0f;
    gP3D.detailHigh = 24;
    gP3D.detailLow = 10;
    gP3D.detailMargin = kTDPDetailMargin;
    gP3D.clearColour = kP3DClearColour;
    gP3D.rebuild = 0xFF;
    gP3D.skyColour = 1;
    gP3D.skyLight[0] = 255;
    gP3D.skyLight[2] = 255;
    gP3D.zoomFactor = 1;
    gP3D.cardMaterial[0] = 0.02f;
    gP3D.cardMaterial[1] = 0.25f;
    gP3D.cardMaterial[2] = 4.0f;
    gP3D.cardMaterial[3] = 128;
    gP3D.skyRingThreshold = 490;
}

namespace {
const int kStateDefaults = [] {
    P3DResetStateDefaults();
    return 0;
}();
}  // namespace

void P3DInitialise() {
    LoadProgressStep("P3D - Initialising 3D system");
    for (float &sample : gP3D.rateRing) sample = 20.0f;
    FreeTextureReplacements();
    // A second set-up without the end of the first keeps no worlds of it.
    if (gP3D.mainWorld || gP3D.planetWorld || gP3D.nebulaWorld || gP3D.cockpitWorld) P3DFreeScene();
    if (CardMode) CardSetUp();
    else SoftwareSetUp();
    if (!VtSceneDbRoot()) return;
    BeamAlpha();
    BuildEffectMaterials();
    ResetState();
    P3DForgetSharedModels();
    P3DForgetDetailModels();
    P3DForgetShadeTable();
    P3DForgetSunModel();
    if (CardMode) VtZsSetRenderBoundsCallback(P3DRecordScreenBounds);
    else VtZbSetRenderBoundsCallback(P3DRecordScreenBounds);
    if (CardMode)
        if (vt_pixelmap *table = VtMapFind("vek\\resource\\art\\textures\\ships\\tovstd.tab"))
            gP3D.standardShadeTable = static_cast<const uint8_t *>(table->pixels);
    P3DBuildEffectModels(P3DEffectMaterial("laser_tex_navy"));
    P3DFindAntiMatterModel();
    P3DLoadFlareShells();
    P3DMakeDoughballs();
    P3DCreateFlareModels();
    P3DClearLightSlots();
    LoadProgressStep("P3D - Done");
}

vt_material *P3DEffectMaterial(const char *identifier) {
    for (vt_material *m : gP3D.effectMaterials)
        if (m && m->identifier && std::strcmp(m->identifier, identifier) == 0) return m;
    return nullptr;
}

void P3DFreeScene() {
    // Parts keep no actors of the worlds that go now.
    if (VtSceneDbRoot()) {
        SceneItem *head = dunSceneListHead();
        for (SceneItem *it = head->next; it && it != head; it = it->next)
            if (it->avatar) ReleaseTreeActors(it->avatar->root);
    }
    if (gP3D.light1) VtLightDisable(gP3D.light1);
    if (gP3D.light2) VtLightDisable(gP3D.light2);
    for (vt_actor **world :
         {&gP3D.mainWorld, &gP3D.planetWorld, &gP3D.starWorld, &gP3D.nebulaWorld, &gP3D.cockpitWorld}) {
        if (*world) VtActorFree(*world);
        *world = nullptr;
    }
    // Cameras and lights went with their worlds.
    gP3D.mainCamera = gP3D.planetCamera = gP3D.nebulaCamera = gP3D.cockpitCamera = nullptr;
    gP3D.light1 = gP3D.light2 = gP3D.flashLight = gP3D.cockpitLight = gP3D.panelActor = nullptr;
    gP3D.celestialSphere = gP3D.hardStars = gP3D.viewpoint = nullptr;
    gSky.sphere = nullptr;
    std::free(gP3D.effectAlpha);
    gP3D.effectAlpha = nullptr;
    gP3D.effectTexturesLoaded = 0;
    gP3D.rebuild = 0xFF;
}

void P3DShutdown() {
    dunCall(P3DGui().viewImagesGone);
    if (CardMode && gP3D.zsortStarted) {
        VtZsEnd();
        gP3D.zsortStarted = 0;
    }
    P3DFreeScene();
    if (CardMode) {
        std::free(gP3D.primitiveHeap);
        gP3D.primitiveHeap = nullptr;
    } else if (VtSceneDbRoot()) {
        VtZbEnd();
    }
    if (VtSceneDbRoot()) FreeTargets();
    if (gP3D.libraryOwned) {
        LwoDropLooseStores();
        VtEndAll();
        gP3D.libraryOwned = 0;
        gP3D.beamAlphaDone = 0;
    }
    std::memset(gP3D.effectMaterials, 0, sizeof gP3D.effectMaterials);
    std::memset(gP3D.explosionMaterials, 0, sizeof gP3D.explosionMaterials);
    std::memset(gP3D.doughballs, 0, sizeof gP3D.doughballs);
    gP3D.unlitMaterial = gP3D.potBlack = nullptr;
    gP3D.primUnlit[0] = gP3D.primUnlit[1] = gP3D.primUnlit[2] = nullptr;
    gP3D.whiteAlphaMap = gP3D.capsuleMap = nullptr;
    gP3D.gasShell = nullptr;
    gP3D.standardPalette = nullptr;
    SoftrendPaletteSet(nullptr);
    P3DForgetSharedModels();
    P3DForgetDetailModels();
    P3DForgetShadeTable();
    P3DForgetSunModel();
    P3DResetPlanetPool();
    if (gExitFilm[0]) {
        char path[300];
        std::snprintf(path, sizeof path, "vek\\resource\\video\\%s", gExitFilm);
        PlayMpegFile(path);
        dunExitProgram();
    }
}

void P3DSetMaterialAmbient(float ka) {
    gP3D.cardMaterial[0] = ka;
    if (!CardMode || !gP3D.screen) return;
    VtMaterialEnum(
        "*",
        [](vt_material *m, void *) -> int {
            m->ka = gP3D.cardMaterial[0];
            m->kd = gP3D.cardMaterial[1];
            m->ks = gP3D.cardMaterial[2];
            m->power = gP3D.cardMaterial[3];
            VtMaterialUpdate(m, VT_MATU_ALL);
            return 0;
        },
        nullptr);
}
