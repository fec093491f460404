// The GUI's start-up (comms-arm geometry, fonts, icons, the screen table),
// the side-view films, the corner arrow and the ship-system binding.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/util.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/front.h"
#include "gui/options.h"
#include "gui/pointer.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "hud/maps.h"
#include "platform/display.h"
#include "platform/video.h"
#include "script/mission.h"
#include "world/engineering.h"
#include "world/objlist.h"

int16_t gComArmX, gComArmY;
ClipRect gComArmRect, gComArmInner, gComArmScreen;
ResourceHandle *gGuiRFont, *gGuiGFont;
Raster *gCrewIcons[12];
Raster *gAutopilotIcons[10];
Raster *gArrowIcon, *gCursorIcon, *gSmallIcon;
int32_t guiPointerMarginX;
int32_t guiPointerMarginY;
Raster *gWeaponIcons[8][4][2];
Raster *gNavCursor;
uint8_t *gNavCursorSprite;
Raster *gShipClassIcons[19];
uint8_t *gShipClassSprites[19];
Raster *gCursorSave[2];

namespace {

constexpr const char *kIconFolder = "vek\\resource\\art\\icons\\";

Raster *LoadIcon(const char *file) {
    char path[160];
    std::snprintf(path, sizeof path, "%s%s", kIconFolder, file);
    ResourceHandle *h = resmanRegisterLoad(path, ResLbm2Raster);
    return h ? static_cast<Raster *>(h->data) : nullptr;
}

// A run-length sprite of an icon in a block of its own (8-bit screens; the
// sprites hold palette indexes).
uint8_t *MakeSprite(const Raster *icon, uint8_t *scratch, size_t scratchSize) {
    if (!icon || BytesPerPixel != 1) return nullptr;
    const size_t size = MakeSpriteFromRaster(AsSurface(icon), nullptr, 0);
    if (size == 0 || size > scratchSize) return nullptr;
    MakeSpriteFromRaster(AsSurface(icon), scratch, 0);
    auto *block = static_cast<uint8_t *>(std::malloc(size));
    if (block) std::memcpy(block, scratch, size);
    return block;
}

Raster *SaveArea(int w, int h) {
    const size_t bytes = (size_t)w * h * BytesPerPixel;
    auto *r = static_cast<Raster *>(std::calloc(1, sizeof(Raster) + bytes));
    if (!r) return nullptr;
    r->pixels = reinterpret_cast<uint8_t *>(r + 1);
    r->width = (uint16_t)w;
    r->height = (uint16_t)h;
    return r;
}

// The side-view films: twelve rows of three variants.
const char *const kSideViewFilms[12][3] = {
    {"CmdStd1.smk", "CmdStd2.smk", "CmdStd3.smk"}, {"CmdLft1.smk", "CmdLft2.smk", "CmdLft3.smk"},
    {"CmdRgt1.smk", "CmdRgt2.smk", "CmdRgt3.smk"}, {"NavStd1.smk", "NavStd2.smk", "NavStd3.smk"},
    {"NavLft1.smk", "NavLft2.smk", "NavLft3.smk"}, {"NavRgt1.smk", "NavRgt2.smk", "NavRgt3.smk"},
    {"WepStd1.smk", "WepStd2.smk", "WepStd3.smk"}, {"WepLft1.smk", "WepLft2.smk", "WepLft3.smk"},
    {"WepRgt1.smk", "WepRgt2.smk", "WepRgt3.smk"}, {"EngStd1.smk", "EngStd2.smk", "EngStd3.smk"},
    {"EngLft1.smk", "EngLft2.smk", "EngLft3.smk"}, {"EngRgt1.smk", "EngRgt2.smk", "EngRgt3.smk"},
};
int gSideViewIndex = -1;
bool gSideViewRunning;

}  // namespace

EngComponent *guiWindowShipSystem(GuiWindow *window, const char *name) {
    if (!window) return nullptr;
    if (!window->userPtr) window->userPtr = dunFindComponentByName(dunPlayerShip, name);
    return static_cast<EngComponent *>(window->userPtr);
}

void guiBindShipSystem(GuiWindow *window, const char *name) {
    if (const EngComponent *c = guiWindowShipSystem(window, name)) window->state = dunComponentState(c);
}

void guiDrawSideViewVideo(GuiWindow *window) {
    const int index = window->videoIndex < 12 ? window->videoIndex : 0;
    if (index != gSideViewIndex || !gSideViewRunning) {
        if (gSideViewRunning) VideoStop();
        gSideViewRunning = false;
        const int variant = dunRand15() % 3;
        if (PlayVideo(kSideViewFilms[index][variant])) {
            gSideViewIndex = index;
            gSideViewRunning = true;
        }
    }
    if (!gSideViewRunning) {
        if (ResolutionMode != 0 && guiScreen()) ClearSurface(guiScreen(), 0);
        guiDrawRaster(window);
    } else if (!StepPlayingVideo()) {
        gSideViewRunning = false;
    }
    guiReload(window);
}

void guiDrawCornerArrow(GuiWindow *window) {
    ClipRect r;
    if (gArrowIcon && guiGadgetRect(window, &r)) {
        const Surface *s = guiScreen();
        const int W = s ? s->width : 640, H = s ? s->height : 480;
        BlitSpriteClipped(guiScreen(), AsSurface(gArrowIcon), &r, 627 + (W - 640) / 2, 469 + (H - 480) / 2);
    }
    guiReload(window);
}

void guiInit() {
    const Surface *screen = guiScreen();
    const int W = screen ? screen->width : TheDisplayMode.width, H = screen ? screen->height : TheDisplayMode.height;
    gComArmX = (int16_t)(W - 368);
    gComArmY = (int16_t)(H - 168);
    gComArmRect = {gComArmX, gComArmY, (int16_t)(W - 1), (int16_t)(H - 1)};
    gComArmInner = {(int16_t)(gComArmX + 32), (int16_t)(gComArmY + 34), (int16_t)(gComArmX + 172),
                    (int16_t)(gComArmY + 154)};
    gComArmScreen = {0, 0, (int16_t)(W - 1), (int16_t)(H - 1)};

    const size_t scratchSize = 64 * 1024;
    auto *scratch = static_cast<uint8_t *>(std::malloc(scratchSize));
    StationId = 0;
    gGuiRFont = static_cast<ResourceHandle *>(GetScriptSymbolValue("RFont"));
    gGuiGFont = static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont"));

    static const char *const kCrew[12] = {"cw_x_nm.bbm", "cw_x_nt.bbm", "cw_x_wt.bbm", "cw_n_nm.bbm",
                                          "cw_n_nt.bbm", "cw_n_wt.bbm", "cw_i_nm.bbm", "cw_i_nt.bbm",
                                          "cw_i_wt.bbm", "cw_u_nm.bbm", "cw_u_nt.bbm", "cw_u_wt.bbm"};
    for (int i = 0; i < 12; ++i) gCrewIcons[i] = LoadIcon(kCrew[i]);
    static const char *const kAutopilot[10] = {"lp_lds.bbm",  "lp_fast.bbm",  "lp_slow.bbm",  "lp_algn.bbm",
                                               "lp_dist.bbm", "lp_ldsk.bbm",  "lp_fastk.bbm", "lp_slowk.bbm",
                                               "lp_algnk.bbm", "lp_distk.bbm"};
    for (int i = 0; i < 10; ++i) gAutopilotIcons[i] = LoadIcon(kAutopilot[i]);
    gArrowIcon = LoadIcon("arrow.bbm");
    for (Raster *&save : gCursorSave) {
        std::free(save);
        save = nullptr;
    }
    // Only the 3D card draws the pointer itself: a start without it keeps no
    // icon of an earlier start, whose resources are gone.
    gCursorIcon = nullptr;
    if (CardMode) {
        gCursorIcon = LoadIcon("cursor.bbm");
        if (gCursorIcon)
            for (Raster *&save : gCursorSave) save = SaveArea(gCursorIcon->width, gCursorIcon->height);
    }
    gSmallIcon = LoadIcon("sm_sm.bbm");
    std::memset(gWeaponIcons, 0, sizeof gWeaponIcons);
    LoadIcon("wp_null0.bbm");
    static const struct {
        int kind;
        const char *files[4];
    } kWeapons[] = {{0, {"wp_pbcf0.bbm", "wp_pbcf1.bbm", "wp_pbca0.bbm", "wp_pbca1.bbm"}},
                    {3, {"wp_skf0.bbm", "wp_skf1.bbm", "wp_ska0.bbm", "wp_ska1.bbm"}},
                    {4, {"wp_ldif0.bbm", "wp_ldif1.bbm", "wp_ldia0.bbm", "wp_ldia1.bbm"}}};
    for (const auto &w : kWeapons)
        for (int i = 0; i < 4; ++i) gWeaponIcons[w.kind][i / 2][i % 2] = LoadIcon(w.files[i]);
    // The sprites and save areas of an earlier start-up (tests start up again).
    std::free(gNavCursorSprite);
    gNavCursorSprite = nullptr;
    for (uint8_t *&sprite : gShipClassSprites) {
        std::free(sprite);
        sprite = nullptr;
    }
    gNavCursor = LoadIcon("navcurs.bbm");
    if (scratch) gNavCursorSprite = MakeSprite(gNavCursor, scratch, scratchSize);
    static const char *const kClasses[19] = {
        "S_CORVETTE.BBM", "S_FREIGHTER.BBM", "S_COMMAND.BBM",  nullptr,           "S_TRANSPORT.BBM",
        "S_CRUISER.BBM",  "S_PATCOM.BBM",    "S_CFIGHTER.BBM", "S_SFIGHTER.BBM",  "S_TUG.BBM",
        "S_MISSILE.BBM",  "S_MINE.BBM",      "S_DRONE.BBM",    "S_STATION.BBM",   "S_DESTROYER.BBM",
        "S_CARRIER.BBM",  "S_COMMRELAY.BBM", nullptr,          "S_RING.BBM"};
    for (int i = 0; i < 19; ++i) {
        gShipClassIcons[i] = kClasses[i] ? LoadIcon(kClasses[i]) : nullptr;
        gShipClassSprites[i] = scratch ? MakeSprite(gShipClassIcons[i], scratch, scratchSize) : nullptr;
    }

    static const char *const kSideViews[12] = {"CMDStand", "CMDLft", "CMDRgt", "NAVStand", "NAVLft", "NAVRgt",
                                               "WEPStand", "WEPLft", "WEPRgt", "ENGStand", "ENGLft", "ENGRgt"};
    for (const char *name : kSideViews) guiRegisterScreen(name, guiBuildSideViewScreen, guiCockpitKeyHandler);
    guiRegisterScreen("Bridge", guiBuildBridgeScreen, guiCockpitKeyHandler);
    guiRegisterScreen("COM", guiBuildComScreen, guiCockpitKeyHandler);
    NavMapRegisterScreen();
    guiRegisterScreen("NAV", guiBuildNavScreen, guiCockpitKeyHandler);
    guiRegisterScreen("WEP", guiBuildWepScreen, guiCockpitKeyHandler);
    guiRegisterScreen("ENG", guiBuildEngScreen, guiCockpitKeyHandler);
    guiSetScreenPanel("COM", 0);
    guiSetScreenPanel("NAV", 1);
    guiSetScreenPanel("WEP", 2);
    guiSetScreenPanel("ENG", 3);
    guiRegisterScreen("FrontHome", frontBuildHome, frontKeyHandler);
    guiRegisterScreen("FrontRoster", frontBuildRoster, frontKeyHandler);
    guiRegisterScreen("FrontTime", frontBuildTime, frontKeyHandler);
    guiRegisterScreen("FrontCredits", frontBuildCredits, frontKeyHandler);
    guiRegisterScreen("FrontAction", frontBuildAction, frontKeyHandler);
    guiRegisterScreen("Confirm", frontBuildConfirm, frontKeyHandler);
    guiRegisterScreen("NewRostSlot", frontBuildNewRosterSlot, frontKeyHandler);
    guiRegisterScreen("OptionScreen", frontBuildOptions, frontOptionsKeyHandler);
    std::free(scratch);
}
