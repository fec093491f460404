// Planet textures grown from a type and a seed, the pool of shared planet
// spheres that the nearest planets take turns on, and the sun model.
#include "present/sky/planets.h"
#include "core/options.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "RES/picture.h"
#include "platform/display.h"
#include "present/lwo/lwo.h"
#include "present/lwo/shade.h"
#include "present/model_adjust.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/scenefile/scenefile.h"
#include "world/records.h"

PlanetPool gPlanetPool = {kPlanetPoolMax, {}, 0, 1};
uint8_t gFaceClassTable[kFaceClassCount];
uint16_t gPlanetRandom;
uint8_t gPlanetTextureRequest;

namespace {

constexpr int kPlanetMaterialFirst = 15;  // "planet1" among the set-up's effect materials
constexpr const char *kPlanetFolder = "vek\\resource\\art\\textures\\planets\\";

vt_model *gSunModel;
bool gSunLoaded;

uint8_t &At(uint8_t *heights, int x, int y) {
    return heights[(y & (kPlanetHeightSide - 1)) * kPlanetHeightSide + (x & (kPlanetHeightSide - 1))];
}

// A still-unset point takes the average displaced by the next random step;
// the state advances only for the points filled.
void Fill(uint8_t *heights, int x, int y, int average, int s) {
    uint8_t &p = At(heights, x, y);
    if (p) return;
    p = uint8_t(average + (PlanetNextRandom() >> 1) % (s + 1) - (s >> 1));
}

void Ramp2(float *r) {
    for (int x = 0; x < kPlanetMapSide; ++x) r[x] = x < 150 ? 1.0f : x < 192 ? float(192 - x) / (192 - 150) : 0.0f;
}

void Ramp3(float *r) {
    for (int x = 0; x < kPlanetMapSide; ++x) r[x] = x < 72 ? 0.0f : x < 118 ? float(x - 72) / (118 - 72) : 1.0f;
}

// The map's pixels as a plain 256 x 256 block, and back.
void ReadMap(const vt_pixelmap *map, uint8_t *out) {
    for (int y = 0; y < kPlanetMapSide; ++y)
        std::memcpy(
            out + y * kPlanetMapSide,
            static_cast<const uint8_t *>(map->pixels) + ptrdiff_t(map->base_y + y) * map->row_bytes + map->base_x,
            kPlanetMapSide);
}

void WriteMap(vt_pixelmap *map, const uint8_t *in) {
    for (int y = 0; y < kPlanetMapSide; ++y)
        std::memcpy(static_cast<uint8_t *>(map->pixels) + ptrdiff_t(map->base_y + y) * map->row_bytes + map->base_x,
                    in + y * kPlanetMapSide, kPlanetMapSide);
}

void MapName(char *out, size_t size, int type, int seed, int half) {
    std::snprintf(out, size, "$b_%1i_%3i_%d.pix", type, seed & 255, half);
}

vt_pixelmap *NewMap(int type, int seed, int half, const uint8_t *pixels) {
    vt_pixelmap *map = VtPixelmapAllocate(VT_PMT_INDEX_8, kPlanetMapSide, kPlanetMapSide, nullptr, 0);
    if (!map) return nullptr;
    char name[64];
    MapName(name, sizeof name, type, seed, half);
    map->identifier = VtResStrDup(map, name);
    if (CardMode && !map->map) map->map = gP3D.standardPalette;
    WriteMap(map, pixels);
    return VtMapAdd(map);
}

PlanetPoolSlot *SlotOf(const TDP *tdp) {
    for (int i = 0; i < gPlanetPool.count; ++i)
        if (tdp && gPlanetPool.slots[i].owner == tdp) return &gPlanetPool.slots[i];
    return nullptr;
}

}  // namespace

uint16_t PlanetNextRandom() {
    gPlanetRandom = uint16_t(gPlanetRandom * 13709u + 13849u);
    return gPlanetRandom;
}

void PlanetFractal(int x, int y, int s, uint8_t *heights) {
    const int x1 = (x + s) & 511, x2 = (x + 2 * s) & 511, y1 = (y + s) & 511, y2 = (y + 2 * s) & 511;
    auto h = [heights](int px, int py) { return int(At(heights, px, py)); };
    Fill(heights, x1, y, (h(x, y) + h(x2, y)) >> 1, s);
    Fill(heights, x, y1, (h(x, y) + h(x, y2)) >> 1, s);
    Fill(heights, x1, y2, (h(x, y2) + h(x2, y2)) >> 1, s);
    Fill(heights, x2, y1, (h(x2, y) + h(x2, y2)) >> 1, s);
    Fill(heights, x1, y1, (h(x, y1) + h(x2, y1) + h(x1, y) + h(x1, y2)) >> 2, s);
    if (s <= 1) return;
    PlanetFractal(x, y, s / 2, heights);
    PlanetFractal(x1, y, s / 2, heights);
    PlanetFractal(x, y1, s / 2, heights);
    PlanetFractal(x1, y1, s / 2, heights);
}

void PlanetSplitHalves(uint8_t corner, uint8_t *map2, uint8_t *map3) {
    std::vector<uint8_t> heights(size_t(kPlanetHeightSide) * kPlanetHeightSide, 0);
    heights[0] = corner;
    PlanetFractal(0, 0, 256, heights.data());
    for (int y = 0; y < kPlanetMapSide; ++y)
        for (int x = 0; x < kPlanetMapSide; ++x) {
            map2[y * kPlanetMapSide + x] =
                uint8_t((At(heights.data(), x, 2 * y) + At(heights.data(), x, 2 * y + 1)) >> 1);
            map3[y * kPlanetMapSide + x] =
                uint8_t((At(heights.data(), x + 256, 2 * y) + At(heights.data(), x + 256, 2 * y + 1)) >> 1);
        }
}

void PlanetColourise(uint8_t *map, int a, int b, const float ramp[kPlanetMapSide]) {
    for (int y = 0; y < kPlanetMapSide; ++y)
        for (int x = 0; x < kPlanetMapSide; ++x) {
            uint8_t &v = map[y * kPlanetMapSide + x];
            const int k = (v >> 3) - 14;
            int value = k >= 0 ? int(float(a) + float(k) * ramp[x]) : int(float(b) - float(k) * ramp[x]);
            if (value == 0) value = 16;
            v = uint8_t(value);
        }
}

void PlanetApplyBumpImage(uint8_t *map, const PcxImage *image) {
    if (!map || !image || !image->pixels || image->width == 0 || image->height == 0) return;
    const size_t available = image->encodedSize;
    for (int y = 0; y < kPlanetMapSide; ++y)
        for (int x = 0; x < kPlanetMapSide; ++x) {
            const size_t at = size_t(std::min<uint32_t>(uint32_t(y), image->height - 1)) * image->width +
                              std::min<uint32_t>(uint32_t(x), image->width - 1);
            if (at >= available) continue;
            uint8_t &v = map[y * kPlanetMapSide + x];
            v = uint8_t(v * ((image->pixels[at] >> 1) + 128) >> 8);
        }
}

void PlanetApplyBump(uint8_t *map, const char *name) {
    char path[128];
    std::snprintf(path, sizeof path, "%s%s", kPlanetFolder, name);
    PcxImage *image = pcxLoad(path);
    PlanetApplyBumpImage(map, image);
    pcxFree(image);
}

void PlanetMakePixels(int type, int seed, uint8_t *map2, uint8_t *map3) {
    gPlanetRandom = uint16_t((int16_t(type) * int16_t(seed)) & 0x7FFF);
    PlanetSplitHalves(uint8_t(seed & 0xFF), map2, map3);
    char name[32];
    std::snprintf(name, sizeof name, "bump%1i_2.pcx", type);
    PlanetApplyBump(map2, name);
    std::snprintf(name, sizeof name, "bump%1i_3.pcx", type);
    PlanetApplyBump(map3, name);
    const int a = PlanetNextRandom() % 7 * 32 + 16;
    const int b = PlanetNextRandom() % 7 * 32 + 16;
    float ramp[kPlanetMapSide];
    Ramp2(ramp);
    PlanetColourise(map2, a, b, ramp);
    Ramp3(ramp);
    PlanetColourise(map3, a, b, ramp);
}

void PlanetMakeTextures(int type, int seed, vt_pixelmap **map2, vt_pixelmap **map3) {
    std::vector<uint8_t> m2(kPlanetMapSide * kPlanetMapSide), m3(kPlanetMapSide * kPlanetMapSide);
    PlanetMakePixels(type, seed, m2.data(), m3.data());
    gP3D.textureTotal += 131072;
    *map2 = NewMap(type, seed, 2, m2.data());
    *map3 = NewMap(type, seed, 3, m3.data());
}

void PlanetChooseTexture(SceneItem *object, vt_model *, const char *name, vt_material **m2, vt_material **m3,
                         int slot) {
    vt_pixelmap *map2 = nullptr, *map3 = nullptr;
    char path2[128], path3[128];
    if (name && std::strcmp(name, "random") != 0 && name[0] != '$') {
        std::snprintf(path2, sizeof path2, "%s%s2.pix", kPlanetFolder, name);
        std::snprintf(path3, sizeof path3, "%s%s3.pix", kPlanetFolder, name);
        map2 = VtMapFind(path2);
        map3 = VtMapFind(path3);
    } else if (object && object->avatar) {
        const int type = object->avatar->standoff, seed = object->avatar->planetSeed;
        MapName(path2, sizeof path2, type, seed, 2);
        MapName(path3, sizeof path3, type, seed, 3);
        map2 = VtMapFind(path2);
        map3 = VtMapFind(path3);
        if (!map2 || !map3) PlanetMakeTextures(type, seed, &map2, &map3);
        TDP *root = object->avatar->root;
        if (root && root->child && map2) root->child->materialName = map2->identifier;
    }
    PlanetPoolSlot &s = gPlanetPool.slots[slot];
    vt_pixelmap *maps[2] = {map2, map3};
    for (int k = 0; k < 2; ++k) {
        vt_material *m = s.material[k];
        if (!m) continue;
        // A missing texture keeps what the material had.
        if (maps[k]) m->colour_map = maps[k];
        m->index_shade = P3DShadeTable();
        VtMaterialUpdate(m, 0x7FFF);
    }
    if (m2) *m2 = s.material[0];
    if (m3) *m3 = s.material[1];
}

void PlanetSetMaterialFlags(vt_material *material, bool on) {
    if (!material) return;
    const uint32_t wanted = CardMode ? (on ? 0x20020u : 0x20u) : (on ? 0x20u : 0u);
    if (material->flags == wanted) return;
    material->flags = wanted;
    VtMaterialUpdate(material, 0x7FFF);
}

void TDPRestoreSavedModel(TDP *tdp) {
    if (!tdp) return;
    tdp->savedModel[0] = nullptr;
    if (tdp->actor) tdp->actor->model = static_cast<vt_model *>(tdp->savedModel[2]);
}

vt_model *dunPlanetPoolAcquire(TDP *tdp, float priority) {
    if (PlanetPoolSlot *own = SlotOf(tdp)) {
        own->priority = priority;
        return own->model;
    }
    int lowest = -1;
    float least = 1e25f;
    for (int i = 0; i < gPlanetPool.count; ++i)
        if (gPlanetPool.slots[i].priority < least) {
            least = gPlanetPool.slots[i].priority;
            lowest = i;
        }
    if (lowest < 0 || priority < least) return nullptr;
    PlanetPoolSlot &s = gPlanetPool.slots[lowest];
    if (s.owner) TDPRestoreSavedModel(s.owner);
    const char *name = tdp->materialName ? tdp->materialName : "";
    if (std::strcmp(s.textureName, name) != 0) {
        PlanetChooseTexture(tdp->owner, s.model, name, &s.material[0], &s.material[1], lowest);
        // The planet's part may have been renamed after its generated map.
        const char *now = tdp->materialName ? tdp->materialName : "";
        std::snprintf(s.textureName, sizeof s.textureName, "%s", now);
    }
    s.owner = tdp;
    s.priority = priority;
    return s.model;
}

void dunPlanetPoolSetPriority(TDP *tdp, float priority) {
    if (PlanetPoolSlot *s = SlotOf(tdp)) s->priority = priority;
}

void dunPlanetPoolSetMaterialFlags(TDP *tdp, int on) {
    PlanetPoolSlot *s = SlotOf(tdp);
    if (!s) return;
    const bool wanted = on != 0 && gPlanetPool.flagsEnabled;
    PlanetSetMaterialFlags(s->material[0], wanted);
    PlanetSetMaterialFlags(s->material[1], wanted);
}

void ClearSystemBodyModels() {
    for (PlanetPoolSlot &s : gPlanetPool.slots) {
        s.priority = 0;
        s.owner = nullptr;
    }
}

void dunLoadPlanetPool() {
    if (gPlanetPool.loaded) return;
    gPlanetPool.loaded = 1;
    LoadTextureReplacement("INDEX_PLANET2", "vek\\resource\\art\\textures\\planets\\earth2.pix");
    LoadTextureReplacement("INDEX_PLANET3", "vek\\resource\\art\\textures\\planets\\earth3.pix");
    gPlanetPool.count = std::clamp<int16_t>(gPlanetPool.count, 1, kPlanetPoolMax);
    for (int i = 0; i < gPlanetPool.count; ++i) {
        PlanetPoolSlot &s = gPlanetPool.slots[i];
        s.material[0] = gP3D.effectMaterials[kPlanetMaterialFirst + 2 * i];
        s.material[1] = gP3D.effectMaterials[kPlanetMaterialFirst + 2 * i + 1];
        if (s.model) continue;
        vt_model *model = VtModelLoad("vantor\\dat\\triball.dat");
        if (!model) continue;
        LoadFaceClassTable();
        model->identifier = VtResStrDup(model, "planet_pool_planet");
        model->flags |= VT_MODF_UPDATEABLE;
        s.model = VtModelAdd(model);
        ProjectModelOntoSphere(s.model, 0.5f);
        PaintFaceClassMaterials(int16_t(i));
    }
    for (PlanetPoolSlot &s : gPlanetPool.slots) s.owner = nullptr;
}

void P3DResetPlanetPool() {
    for (PlanetPoolSlot &s : gPlanetPool.slots) s = PlanetPoolSlot{};
    gPlanetPool.loaded = 0;
    gPlanetPool.count = kPlanetPoolMax;
    gPlanetPool.flagsEnabled = 1;
}

// The request flag stays set: it tells later loads that the script's
// planets asked for the pool.
void dunLoadPlanetTexture() { dunLoadPlanetPool(); }

vt_model *dunLoadSunModel() {
    if (gSunLoaded) return gSunModel;
    gSunLoaded = true;
    uint32_t status = 0;
    gSunModel = static_cast<vt_model *>(LwoLoadModel("vek\\resource\\shapes\\quadsuntest.lwo", nullptr, &status));
    if (gSunModel) ProjectModelOntoSphere(gSunModel, 5e7f);
    return gSunModel;
}

void P3DForgetSunModel() {
    gSunModel = nullptr;
    gSunLoaded = false;
}
