// The sky of a star system: the backdrop tables, the backdrop loader, the
// per-system and per-kind sky set-ups with their palette ramps, freeing the
// backdrops, the sky sphere's brightness steps, and the star dummy model.
#include "present/sky/sky.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "core/log.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/effects/effect_models.h"
#include "present/frame_passes.h"
#include "present/lwo/lwo.h"
#include "present/lwo/shade.h"
#include "present/model_adjust.h"
#include "present/p3d.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/tokens/token.h"
#include "world/services.h"

SkyState gSky = {1, 0, nullptr, 0};
vt_model *gAntiMatterModel;

const SkyBackdrop kSkyBackdrops[kBackdropCount] = {
    {"BlueGal", 0, {13, 94, 246}},     {"GreenGal", 0, {5, 109, 102}},   {"BlueGal2", 0, {13, 94, 246}},
    {"MetalakeGal", 0, {255, 20, 20}}, {"AlienGal", 0, {27, 127, 49}},   {"GoldGal", 0, {177, 102, 53}},
    {"RedGiant", 0, {255, 0, 0}},      {"PurpleGal", 0, {255, 0, 255}},  {"SpiderGal", 0, {238, 62, 53}},
    {"CyanGal", 0, {94, 207, 207}},    {"ChaosGal", 0, {5, 109, 102}},   {"FirestarGal", 140, {255, 0, 0}},
    {"PeaGreen", 0, {90, 140, 22}},    {"BlueBrown", 0, {58, 74, 90}},   {"DarkRed", 0, {151, 0, 0}},
    {"Bgold", 0, {155, 127, 114}},     {"Orange", 0, {205, 113, 54}},    {"Yellow", 0, {200, 190, 0}},
    {"PurpBlue", 0, {83, 4, 154}},     {"RedBalls", 0, {115, 2, 6}},     {"BlueCrab", 0, {84, 123, 196}},
    {"RedChaos", 0, {221, 99, 26}},
};

#define ONE(b, x, y) {{b, x, y}, {-1, 0, 0}, {-1, 0, 0}}
const P3DSkyRow kSkyRows[kSkyRowCount + 1] = {
    {1, {{2, 0, 0}, {2, 0, 180}, {-1, 0, 0}}},
    {2, ONE(3, 26, 0)},
    {3, ONE(13, 26, 0)},
    {4, ONE(1, 26, 0)},
    {5, ONE(8, 26, 0)},
    {6, ONE(15, 26, 180)},
    {7, ONE(3, 26, 0)},
    {8, ONE(7, 26, 0)},
    {9, ONE(18, 26, 0)},
    {10, ONE(3, 26, 0)},
    {11, ONE(14, 26, 0)},
    {12, ONE(12, 0, 0)},
    {13, ONE(2, 26, 0)},
    {14, ONE(20, 0, 90)},
    {15, ONE(11, 26, 0)},
    {16, ONE(13, 26, 0)},
    {17, ONE(11, 26, 0)},
    {18, ONE(1, 26, 0)},
    {19, ONE(3, 26, 0)},
    {20, ONE(1, 26, 0)},
    {21, ONE(4, 26, 0)},
    {22, ONE(12, 26, 0)},
    {23, ONE(17, 26, 0)},
    {24, ONE(17, 26, 0)},
    {26, ONE(21, 26, 0)},
    {-1, ONE(-1, 0, 0)},
};
#undef ONE

const NebulaKind kNebulaKinds[kNebulaKindCount] = {
    {{146, 10, 0}, {65, 0, 0}, true, 3},      {{24, 62, 52}, {20, 24, 20}, true, 1},
    {{0, 0, 198}, {}, false, 17},             {{79, 0, 113}, {}, false, 7},
    {{148, 115, 115}, {}, false, 2},          {{0, 140, 107}, {}, false, 12},
    {{77, 77, 77}, {}, false, 2},             {{198, 0, 0}, {}, false, 11},
    {{133, 133, 92}, {82, 51, 26}, true, 17}, {{141, 87, 28}, {}, false, 17},
    {{225, 41, 8}, {80, 34, 58}, true, 7},    {{161, 161, 0}, {0, 64, 0}, true, 12},
    {{72, 0, 177}, {79, 0, 72}, true, 18},    {{56, 64, 25}, {24, 38, 14}, true, 13},
    {{99, 0, 0}, {}, false, 14},              {{120, 44, 0}, {64, 18, 18}, true, 16},
    {{141, 87, 28}, {99, 34, 12}, true, 3},   {{121, 87, 28}, {68, 34, 58}, true, 15},
    {{113, 51, 0}, {56, 8, 8}, true, 3},      {{79, 100, 108}, {15, 28, 51}, true, 20},
    {{113, 125, 130}, {58, 91, 64}, true, 4}, {{64, 113, 128}, {0, 59, 59}, true, 1},
    {{122, 54, 61}, {59, 15, 10}, true, 9},   {{0, 0, 0}, {}, false, 0},
};

namespace {

struct SystemKind {
    uint16_t system;
    int16_t kind;
};
constexpr SystemKind kSystemKinds[] = {{1, 19},  {2, 18}, {3, 13},  {4, 21},  {5, 4},  {6, 15},  {7, 0},    {8, 10},
                                       {9, 12},  {10, 16}, {11, 14}, {13, 4}, {14, 19}, {15, 0}, {16, 13},
                                       {17, 0},  {18, 1}, {19, 16}, {20, 21}, {21, 20}, {22, 5}, {23, 2},
                                       {24, 8},  {65535, 0}};

constexpr float kSkyBound = 1e32f;
constexpr float kBackdropRadius = 20000;
constexpr int kAngleUnits = 182;
constexpr float kSkyStep = 13.0f;

// The sky sphere's two-pair list: summed blending, and its opacity step.
vt_token_value gSkyTokens[3] = {{VTT_BLEND_B, {}}, {VTT_OPACITY_X, {}}, {VTT_END, {}}};

uint8_t gSkyPalette[1024];

vt_model *gStarDummy;

bool CardBackdrops() { return CardMode && gSky.backdropsOn; }

vt_material *SphereMaterial() { return gSky.sphere ? gSky.sphere->material : nullptr; }

void UpdateSphereMaterial() {
    gSkyTokens[1].v = VtValueI32(gSky.adjustment);
    if (vt_material *m = SphereMaterial()) VtMaterialUpdate(m, VT_MATU_EXTRA_PRIM);
}

vt_model *NamedModel(const char *name) {
    auto *handle = static_cast<ResourceHandle *>(dunCall(dunScript().symbolValue, name));
    return handle ? static_cast<vt_model *>(resmanLoad(handle)) : nullptr;
}

void CustomBounds(vt_model *m) {
    m->flags |= VT_MODF_CUSTOM_BOUNDS;
    for (int k = 0; k < 3; ++k) {
        m->bounds.min.v[k] = -kSkyBound;
        m->bounds.max.v[k] = kSkyBound;
    }
}

// The backdrop's brightness on the sky sphere's material, and its light
// colour for the card's directional sky light when its files were loaded.
void ApplyBackdrop(const SkyBackdrop &b, int result) {
    if (b.brightness != 0) {
        if (vt_material *m = SphereMaterial()) m->extra_prim = gSkyTokens;
        gSky.adjustment = int32_t(b.brightness) * 65536;
        UpdateSphereMaterial();
    }
    if (result != 2) return;
    std::memcpy(gP3D.skyLight, b.light, 3);
    if (gP3D.light2) {
        auto *light = static_cast<vt_light *>(gP3D.light2->type_data);
        light->type = VT_LIGHT_DIRECT;
        light->colour = vt_colour(b.light[0]) << 16 | vt_colour(b.light[1]) << 8 | b.light[2];
    }
}

void KindRamps(int kind) {
    const NebulaKind &k = kNebulaKinds[kind];
    if (k.twoPart) {
        P3DSetPaletteGradient(176, 16, k.b[0], k.b[1], k.b[2], 0, 0, 0);
        P3DSetPaletteGradient(192, 16, k.a[0], k.a[1], k.a[2], k.b[0], k.b[1], k.b[2]);
    } else {
        P3DSetPaletteGradient(176, 32, k.a[0], k.a[1], k.a[2], 0, 0, 0);
    }
}

// The shade table follows the sky's ramps; before a set-up has begun the
// library (a world run alone) there is no table to tint.
void Shade(int first, int strength) {
    if (VtSceneDbRoot()) P3DMakeShadeTable(first, strength);
}

// The shade table's special tint stands for the palette step of the
// special skies.
void SpecialTint() { Shade(-1, 8); }

void SetSunUnplaced() { gSunPlaced = 0; }

}  // namespace

const P3DSkyRow *P3DFindSkyRow(int16_t system) {
    for (const P3DSkyRow *row = kSkyRows; row->system != -1; ++row)
        if (row->system == system) return row;
    return nullptr;
}

int P3DNebulaKindOf(int16_t system) {
    for (const SystemKind *e = kSystemKinds; e->system != 65535; ++e)
        if (e->system == uint16_t(system)) return e->kind;
    return 3;
}

const uint8_t *P3DSkyPalette() { return gSkyPalette; }

void P3DSetPaletteGradient(int first, int count, int r1, int g1, int b1, int r0, int g0, int b0) {
    const uint8_t *current = CurrentPalette ? CurrentPalette : LastPalette;
    if (current && current != gSkyPalette) std::memcpy(gSkyPalette, current, sizeof gSkyPalette);
    for (int i = 0; i < count; ++i) {
        const int entry = first + i;
        if (entry < 0 || entry > 255) continue;
        uint8_t *e = gSkyPalette + 4 * entry;
        e[0] = uint8_t(r0 + (r1 - r0) * i / count);
        e[1] = uint8_t(g0 + (g1 - g0) * i / count);
        e[2] = uint8_t(b0 + (b1 - b0) * i / count);
    }
    CurrentPalette = gSkyPalette;
    DisplayLoadPalette(gSkyPalette);
}

int P3DLoadNebula(const char *name, float angleX, float angleY, float angleZ) {
    if (!name) return 0;
    vt_model *grid = NamedModel("NebGridMd"), *sphere = NamedModel("SphMd");
    int result = 1;
    if (!grid || !sphere) {
        char spherePath[160], gridPath[160];
        std::snprintf(spherePath, sizeof spherePath, "vek\\resource\\shapes\\%sSphere.lwo", name);
        std::snprintf(gridPath, sizeof gridPath, "vek\\resource\\shapes\\%sGrid.lwo", name);
        const uint8_t quiet = gLwoQuietTextures;
        gLwoQuietTextures = 255;
        sphere = static_cast<vt_model *>(LwoLoadModel(spherePath, nullptr, nullptr));
        grid = static_cast<vt_model *>(LwoLoadModel(gridPath, nullptr, nullptr));
        gLwoQuietTextures = quiet;
        result = 2;
    }
    if (!grid || !sphere) return 0;
    vt_material *material;
    if (grid->bounds.max.v[0] < 1e8f) {
        // The grid takes the sphere's shape: the same vertices, one for one.
        if (grid->nvertices != sphere->nvertices || !grid->vertices || !sphere->vertices) {
            dunDebugPrintf("P3DLoadNebula: %s: sphere of %d vertices, grid of %d: not used\n", name,
                           int(sphere->nvertices), int(grid->nvertices));
            return 0;
        }
        material = P3DCopyModelInsideOut(grid, sphere);
        NormaliseModelRadius(grid, kBackdropRadius);
    } else {
        if (!gSky.sphere) return result;
        material = gSky.sphere->material;
    }
    if (!gP3D.nebulaWorld) return 0;
    vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    if (!a) return 0;
    VtActorAdd(gP3D.nebulaWorld, a);
    gSky.sphere = a;
    a->t.type = VT_TRANSFORM_MATRIX34;
    a->model = grid;
    a->material = material;
    CustomBounds(grid);
    vt_matrix34 &m = a->t.t.mat;
    for (float &c : m.m[3]) c = 0;
    P3DRotateAboutZ(&m, int(angleZ * kAngleUnits));
    P3DMatrixPostRotateY(&m, int(angleY * kAngleUnits));
    P3DRotateAboutX(&m, int(angleX * kAngleUnits));
    return result;
}

void P3DSetSkyForSystem(int16_t system) {
    if (!gP3D.nebulaOn) return;
    SetSunUnplaced();
    const int kind = P3DNebulaKindOf(system);
    if (CardBackdrops()) {
        const P3DSkyRow *row = P3DFindSkyRow(system);
        if (!row) return;
        for (const auto &triple : row->backdrops) {
            if (triple[0] < 0 || triple[0] >= kBackdropCount) break;
            const SkyBackdrop &b = kSkyBackdrops[triple[0]];
            ApplyBackdrop(b, P3DLoadNebula(b.name, triple[1], triple[2], 0));
        }
    }
    KindRamps(kind);
    Shade(176, 31);
    if (system == 15) SpecialTint();
    if (system == kSpecialSystem) {
        gSky.special = 1;
    } else if (gSky.special) {
        if (gP3D.light1) {
            auto *light = static_cast<vt_light *>(gP3D.light1->type_data);
            light->type = VT_LIGHT_DIRECT;
            light->attenuation_c = 1.0f;
            light->attenuation_l = 0.0f;
        }
        gSky.special = 0;
    }
    if (gSky.special) {
        P3DSetPaletteGradient(176, 16, 48, 36, 14, 0, 0, 0);
        P3DSetPaletteGradient(192, 16, 52, 64, 76, 48, 36, 12);
        SpecialTint();
    }
}

void P3DSetSkyColours(int16_t kind, float angleX, float angleY) {
    if (!gP3D.nebulaOn) return;
    SetSunUnplaced();
    if (CardBackdrops()) {
        // The special kinds and a kind past the table have no backdrop.
        if (kind < 0 || kind >= kNebulaKindCount) return;
        const SkyBackdrop &b = kSkyBackdrops[kNebulaKinds[kind].backdrop];
        ApplyBackdrop(b, P3DLoadNebula(b.name, angleX, angleY, 0));
        return;
    }
    if (gSky.special) kind = -2;
    if (kind == -1) {
        SpecialTint();
        P3DSetPaletteGradient(176, 32, 140, 0, 24, 30, 0, 0);
    } else if (kind == -2) {
        P3DSetPaletteGradient(176, 16, 0, 40, 80, 0, 0, 0);
        P3DSetPaletteGradient(192, 16, 30, 60, 120, 0, 40, 80);
        SpecialTint();
    } else if (kind >= 0 && kind < kNebulaKindCount) {
        KindRamps(kind);
        Shade(176, 31);
    }
}

// A material or model two backdrops share (system 1's pair) is freed once.
void P3DFreeSkyResources() {
    if (!CardBackdrops() || !gP3D.nebulaWorld) return;
    constexpr int kMost = 64;
    const void *freed[kMost];
    int n = 0;
    auto once = [&](const void *p) {
        for (int i = 0; i < n; ++i)
            if (freed[i] == p) return false;
        if (n < kMost) freed[n++] = p;
        return true;
    };
    for (vt_actor *a = gP3D.nebulaWorld->children; a;) {
        if (!a->model || a == gP3D.hardStars) break;
        vt_actor *next = a->next;
        if (vt_material *m = a->material; m && once(m)) {
            if (vt_pixelmap *map = m->colour_map; map && once(map)) {
                m->colour_map = nullptr;
                VtMapRemove(map);
                VtPixelmapFree(map);
            }
            VtMaterialRemove(m);
            VtMaterialFree(m);
        }
        if (vt_model *model = a->model; once(model)) {
            VtModelRemove(model);
            VtModelFree(model);
        }
        if (a == gSky.sphere) gSky.sphere = nullptr;
        VtActorRemove(a);
        VtActorFree(a);
        a = next;
    }
}

void P3DDimSkySphere() {
    const float value = std::max(float(gSky.adjustment) / 65536 - kSkyStep, 0.0f);
    gSky.adjustment = int32_t(value * 65536);
    UpdateSphereMaterial();
}

void P3DBrightenSkySphere() {
    const float value = std::min(float(gSky.adjustment) / 65536 + kSkyStep, 255.0f);
    gSky.adjustment = int32_t(value * 65536);
    UpdateSphereMaterial();
}

void P3DFindAntiMatterModel() { gAntiMatterModel = NamedModel("AntiMatterMd"); }

vt_model *P3DCreateStarDummy() {
    if (gStarDummy) return gStarDummy;
    vt_model *m = VtModelAllocate("stardummy", 8, 8);
    if (!m) return nullptr;
    m->flags |= 38;
    m->custom = P3DQueueStarFlare;
    CustomBounds(m);
    m->radius = kSkyBound;
    gStarDummy = VtModelAdd(m);
    return gStarDummy;
}

void P3DResetSkyState() {
    gSky = SkyState{1, 0, nullptr, 0};
    gSkyTokens[0].v = VtValueU32(1);
    gSkyTokens[1].v = VtValueI32(0);
    gStarDummy = nullptr;
    gAntiMatterModel = nullptr;
}
