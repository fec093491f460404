// The 3D presentation's use of the rendering library: set-up per mission in
// the software or 3D-card set-up, the find hooks that load missing maps,
// tables and materials, the effect materials and textures, the worlds with
// their cameras and lights, the frame-rate ring and detail thresholds, and
// one frame of the space view drawn in its fixed order of passes.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct TDP;
struct vt_actor;
struct vt_camera;
struct vt_material;
struct vt_model;
struct vt_pixelmap;
struct vt_order_table;
struct vt_matrix34;

// The scene's divisors: world positions (objects) and sky positions
// (planets, the planet camera).
inline constexpr float kP3DWorldDivisor = 1.0f;
inline constexpr float kP3DSkyDivisor = 100000000.0f;
// The clear colour between frames; any other index this frame flashes the
// background and keeps the sky passes out.
inline constexpr uint8_t kP3DClearColour = 176;
inline constexpr int kP3DEffectMaterials = 23;
inline constexpr int kP3DExplosionMaterials = 25;
inline constexpr int kP3DRateSamples = 30;

struct P3DState {
    // The whole display and the current targets (a 3D view window's
    // sub-pixelmaps while it draws).
    vt_pixelmap *screen, *depth;
    vt_pixelmap *colourTarget, *depthTarget;
    // Main world, its camera and lights.
    vt_actor *mainWorld, *mainCamera;
    vt_actor *light1, *light2, *flashLight;
    // Sky: the planet and star worlds share the planet camera.
    vt_actor *planetWorld, *starWorld, *planetCamera;
    vt_actor *nebulaWorld, *nebulaCamera;
    vt_actor *celestialSphere, *hardStars;
    // 3D-card only: the cockpit panels drawn over the view.
    vt_actor *cockpitWorld, *cockpitCamera, *panelActor, *cockpitLight;
    vt_model *panelModels[4];
    // Where the main camera looks from when the viewing object has no actor
    // of its own.
    vt_actor *viewpoint;
    vt_order_table *orderTable;
    void *primitiveHeap;

    float projectionScale;  // pixels per unit of tangent
    float fieldOfView;  // degrees
    int16_t viewRect[4];  // left, top, right, bottom (inclusive)
    float viewCentre[2];
    int16_t viewRectInTarget[4];
    Vec3 viewerPosition;
    SceneItem *viewObject;

    float rateRing[kP3DRateSamples];
    int32_t rateIndex;
    float rateMean, ratePreviousMean, rateBand;
    float detailHigh, detailLow;
    float detailMargin;  // a detail goes down only this far below its threshold
    uint8_t autoDetail;

    uint8_t clearColour;
    uint8_t screenCleared;
    int8_t interference;
    uint8_t rebuild;  // 0xFF: the main scene is built again before the next frame
    uint8_t effectTexturesLoaded;
    uint8_t skyColour;  // the star system's sky colour lights the card-mode scene
    uint8_t skyLight[3];  // red, green, blue
    uint8_t nebulaOn;
    uint8_t backgroundFlash;  // the star system's sky set-up lights the background
    uint8_t libraryOwned;  // the set-up began the library (and ends it)
    uint8_t zsortStarted;
    float zoomFactor;
    // ka, kd, ks, power of every material on the 3D card.
    float cardMaterial[4];
    uint8_t alpha[4096];
    uint8_t *effectAlpha;  // 8192 bytes

    uint32_t textureTotal;  // pixels of every map the map hook loaded
    vt_pixelmap *standardPalette;  // 3D card: given to indexed maps without one
    const uint8_t *standardShadeTable;
    float skyRingThreshold;  // ring colour of the scaled sky bodies: 490, 1260 on the 3D card
    int32_t viewWindowCount;  // 3D view windows counted this frame
    int16_t *viewDirty;  // the dirty rectangle of the view window drawing, or null
    uint8_t beamAlphaDone;  // the beam map of this library run has its alpha

    vt_material *effectMaterials[kP3DEffectMaterials];
    vt_material *explosionMaterials[kP3DExplosionMaterials];
    vt_material *unlitMaterial, *primUnlit[3], *potBlack;
    vt_pixelmap *whiteAlphaMap, *capsuleMap;
    vt_model *gasShell;
    vt_model *doughballs[16];
    int32_t doughballNext[2];
};
extern P3DState gP3D;

// Observer of the frame's pass marks as each pass ends (displays of the
// passes, tests); none by default.
using P3DMarkObserver = void (*)(const char *mark);
extern P3DMarkObserver gP3DMarkObserver;

// The options' flags that the presentation and the weapons read. The
// nebula option's own flag is gP3D.nebulaOn; high detail and the
// star-streak suppression are the command line's optHiDef and optNoStreaks;
// automatic detail and the detail values the scale gives are in gP3D.
struct RenderOptionFlags {
    uint8_t noNebula;       // 1 while the nebula option is off (a STARFIELD then shows none)
    uint8_t weaponLight;    // 255 on
    uint8_t planetFilter;
    uint8_t weaponFrame;
    uint8_t missileTrails;  // a seeker launched on the 3D card trails particles
    float detailScale;      // 24 at ship_detail 1
};
inline constexpr RenderOptionFlags kRenderOptionsAtStart = {0, 255, 255, 255, 255, 24.0f};
extern RenderOptionFlags gRenderOptions;

// The state as at start-up (for tests and a fresh start).
void P3DResetStateDefaults();
// Set-up: every mission start (and before a command-line mission).
void P3DInitialise();
// End of the mission: frees the worlds and ends the 3D rendering.
void P3DShutdown();
// The exit film (PLAYAVI): played from the video folder when the 3D system
// is shut down, after which the program ends. Cleared by every mission reset.
extern char gExitFilm[260];
// Frees every world; the next frame builds the main scene again.
void P3DFreeScene();
void P3DBuildMainScene();
// Planet, star, nebula and (3D-card) cockpit worlds, once.
void P3DBuildBackgroundScenes();
void P3DSetCelestialSphere(vt_model *model);
// Per view and frame, through the world's presentation of the viewing
// object: rect is four int16_t (left, top, right, bottom).
void P3DPreprocessScene(SceneItem *viewObject, void *rect);
void P3DRenderFrame(SceneItem *viewObject, const int16_t rect[4]);
// Options: the ambient term of every material on the 3D card.
void P3DSetMaterialAmbient(float ka);

// Find hooks handed to the library: the loaded item, or null.
vt_pixelmap *P3DFindMapHook(const char *name);
vt_pixelmap *P3DFindTableHook(const char *name);
vt_material *P3DFindMaterialHook(const char *name);
// The file name the map hook loads for a name in 3D-card mode.
void P3DCardMapName(const char *name, char *out, int size);

// The cockpit panel model of a panel number (3D card), or null.
vt_model *P3DPanelModel(int panel);

void P3DLoadEffectTextures();
void P3DMakeDoughballs();
// The materials built from the effect templates (by identifier), or null.
vt_material *P3DEffectMaterial(const char *identifier);

// 3x4 matrices turned by 16-bit angles (65536 a turn): rows 1 and 2
// mixed, or columns 1 and 2, or columns 0 and 1, of all four rows.
void P3DTurnAboutX(vt_matrix34 *m, int angle);
void P3DRotateAboutX(vt_matrix34 *m, int angle);
void P3DRotateAboutZ(vt_matrix34 *m, int angle);
// Post-multiplied by a turn about Y: each row's x and z mixed.
void P3DMatrixPostRotateY(vt_matrix34 *m, int angle);

// The texture-map replacements: the named texture is drawn with the picture.
void LoadTextureReplacement(const char *texture, const char *file);
void FreeTextureReplacements();
// Content tool: the light tables (into output, or the game's) from a
// palette, and the lens-flare icon set: one 64 x 64 8-bit icon a flare tint,
// as the 8-bit flare pass draws it over black.
inline constexpr int kFlareIcons = 8;
inline constexpr int kFlareIconSide = 64;
extern uint8_t gFlareIcons[kFlareIcons][kFlareIconSide * kFlareIconSide];
void GenerateFlareIcons(void *output, const void *palette, const void *colourMap);
void P3DSetObjectModel(SceneItem *item, void *model);
void DrawShadeTablePanel(const char *path);
// Renders the cockpit panel (-1: the current one) over the whole screen
// in 3D-card mode; nothing outside it.
void P3DRenderSceneToView(int panel);

// The sky and its bodies as the script makes them: the star list (at most
// 1200), the sky of a star system or of a nebula kind with two backdrop
// angles, the sun model (loaded once a set-up), the planet textures of the
// current system (asked for by the request flag), and the presentation
// routines of planets and suns.
struct vt_model;
void P3DGenerateStarfield(int count);
void P3DSetSkyForSystem(int16_t system);
void P3DSetSkyColours(int16_t kind, float angleX, float angleY);
vt_model *dunLoadSunModel();
void dunLoadPlanetTexture();
extern uint8_t gPlanetTextureRequest;
void P3DPlaceSkyBody(SceneItem *item);
void P3DPlaceSkyBodyFull(SceneItem *item);
// A star system's bodies: the shared star model (made once), the per-body
// model tables cleared, and the previous system's sky freed.
vt_model *P3DCreateStarDummy();
void ClearSystemBodyModels();
void P3DFreeSkyResources();
// A flare shell round the object: offset, kind, scale, life, strength and
// colour.
void P3DSpawnFlareShell(SceneItem *item, float x, float y, float z, int kind, float scale, int life, int strength,
                        int red, int green, int blue);
// The shell model of the kind (0 shield, 1 capsule, 2 pocket); null when it
// did not load.
vt_model *P3DFlareShellModel(int kind);
