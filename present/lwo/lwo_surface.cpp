// Surface materials: each surface of a LightWave object becomes one
// registered library material, lit and coloured from its SURF sub-chunks,
// with its texture found by name in the six texture folders (or replaced by
// a picture registered under the surface's name) and its faces' corners
// mapped.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/util.h"
#include "core/log.h"
#include "core/options.h"
#include "present/lwo/lwo.h"
#include "present/lwo/shade.h"
#include "present/p3d.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"
#include "render/tokens/token.h"

uint8_t gLwoQuietTextures;

namespace {

const char *const kTextureFolders[] = {
    "vek\\resource\\art\\textures\\ships\\%s.pix",      "vek\\resource\\art\\textures\\moreships\\%s.pix",
    "vek\\resource\\art\\textures\\indieships\\%s.pix", "vek\\resource\\art\\textures\\planets\\%s.pix",
    "vek\\resource\\art\\textures\\panels\\%s.pix",     "vek\\resource\\art\\textures\\voyger\\%s.pix",
};

// The 8-bit colour ramps: proportions out of 16, base and range.
struct RampRow {
    int r, g, b;
    uint8_t base, range;
};
const RampRow kRamps[7] = {
    {5, 5, 5, 16, 31}, {12, 2, 2, 48, 31}, {2, 12, 2, 80, 31}, {2, 2, 12, 112, 31},
    {8, 8, 0, 144, 31}, {7, 1, 8, 144, 31}, {8, 5, 3, 208, 31},
};

TextureReplacement *gReplacements;

// The text of a sub-chunk, whether or not it carries its terminator.
bool SubChunkText(ByteView subChunks, const char id[4], std::string *out) {
    ByteView data;
    if (!LwoFindSubChunk(subChunks, id, &data)) return false;
    const void *nul = std::memchr(data.data, 0, data.size);
    const size_t n = nul ? size_t(static_cast<const uint8_t *>(nul) - data.data) : data.size;
    out->assign(reinterpret_cast<const char *>(data.data), n);
    return true;
}

bool SubChunkU16(ByteView subChunks, const char id[4], uint16_t *out) {
    ByteView data;
    return LwoFindSubChunk(subChunks, id, &data) && ReadU16Be(data, 0, out);
}

bool SubChunkFloats(ByteView subChunks, const char id[4], float *out, int n) {
    ByteView data;
    if (!LwoFindSubChunk(subChunks, id, &data)) return false;
    float v[3];
    for (int i = 0; i < n; ++i)
        if (!LwoReadF32BE(data, size_t(i) * 4, &v[i])) return false;
    for (int i = 0; i < n; ++i) out[i] = v[i];
    return true;
}

// The base name of a texture path: after the last backslash, without the
// last four characters (the extension); empty when nothing is left.
std::string BaseName(const char *path) {
    const char *slash = std::strrchr(path, '\\');
    std::string base = slash ? slash + 1 : path;
    return base.size() > 4 ? base.substr(0, base.size() - 4) : std::string();
}

// The first map the folders give the base name, or null.
vt_pixelmap *FindInFolders(const std::string &base) {
    if (base.empty()) return nullptr;
    for (const char *folder : kTextureFolders) {
        char name[300];
        std::snprintf(name, sizeof name, folder, base.c_str());
        if (vt_pixelmap *map = VtMapFind(name)) return map;
    }
    return nullptr;
}

void UseSharedShadeTable(vt_material *material) {
    if (!P3DShadeTable()) P3DMakeShadeTable(48, 14);
    material->index_shade = P3DShadeTable();
}

// The first bit found of 0x10, 0x40, 0x100, 0x400, a later one winning.
float Power(uint16_t glossiness) {
    float power = 0;
    if (glossiness & 0x10) power = 12;
    if (glossiness & 0x40) power = 45;
    if (glossiness & 0x100) power = 76;
    if (glossiness & 0x400) power = 100;
    return power;
}

// The ramp whose proportions lie nearest the colour's (ties keep the
// earlier row), and the part of it the colour's brightness reaches.
void ChooseRamp(vt_material *m, int r, int g, int b) {
    const int sum = r + g + b;
    int row = 0;
    if (sum != 0) {
        const int pr = r * 16 / sum, pg = g * 16 / sum, pb = b * 16 / sum;
        int best = 60;
        for (int i = 0; i < 7; ++i) {
            const int d = std::abs(kRamps[i].r - pr) + std::abs(kRamps[i].g - pg) + std::abs(kRamps[i].b - pb);
            if (d < best) {
                best = d;
                row = i;
            }
        }
    }
    float scale = float(std::max(r, std::max(g, b))) / 240.0f;
    if (scale > 1) scale = 1;
    m->index_base = kRamps[row].base;
    m->index_range = uint8_t(float(kRamps[row].range) * scale);
}

// The 3D card blends a transparent surface: its primitive list (kept with
// the material, so it lives as long as the library may prepare it again).
void GiveTransparency(vt_material *m, float transparency) {
    auto *tokens = static_cast<vt_token_value *>(VtResAllocate(m, 3 * sizeof(vt_token_value), VT_RES_SCRATCH));
    if (!tokens) return;
    tokens[0] = {VTT_BLEND_B, VtValueU32(1)};
    tokens[1] = {VTT_OPACITY_X, VtValueI32(vt_int_32(transparency * 65536.0f))};
    tokens[2] = {0, {}};
    m->extra_prim = tokens;
    VtMaterialUpdate(m, VT_MATU_EXTRA_PRIM);
}

}  // namespace

// Shapes and materials made while the library is not running have no
// parent to free them with: they are kept here and given back at the end.
static std::vector<vt_material *> gLooseMaterials;
static std::vector<vt_model *> gLooseModels;

bool LwoLooseRecords() { return VtSceneDbRoot() == nullptr && VtFrameworkRoot() == nullptr; }

void LwoNoteLooseModel(vt_model *model) { gLooseModels.push_back(model); }

void LwoFreeLooseMaterials() {
    for (vt_material *m : gLooseMaterials) VtMaterialFree(m);
    gLooseMaterials.clear();
}

void LwoFreeLoaded(int type, void *data) {
    if (data == nullptr) return;
    if (type == 16) {
        dunFree(data);
        return;
    }
    // One made under the library goes with it.
    auto *model = static_cast<vt_model *>(data);
    auto at = std::find(gLooseModels.begin(), gLooseModels.end(), model);
    if (type != 15 || at == gLooseModels.end()) return;
    gLooseModels.erase(at);
    if (VtSceneDbRoot()) VtModelRemove(model);
    VtModelFree(model);
    if (gLooseModels.empty()) LwoFreeLooseMaterials();
}

void LwoDropLooseStores() {
    // What a renderer keeps for them goes with the renderer.
    for (vt_model *m : gLooseModels) {
        VtObjectFree(m->stored);
        m->stored = nullptr;
    }
    for (vt_material *m : gLooseMaterials) {
        VtObjectFree(m->stored);
        m->stored = nullptr;
    }
}

void LwoMakeMaterial(int surface, LwoFace *faces, int count) {
    LwoSurfaceSlot &slot = LwoSurfaceSlots[surface];
    slot.smoothingAngle = kLwoDefaultSmoothingAngle;
    vt_material *m = VtMaterialAllocate(slot.name);
    if (!m) return;
    if (LwoLooseRecords()) gLooseMaterials.push_back(m);
    // At 8 bits surfaces take palette ramps; on 16-bit screens (the card's,
    // and ours) their own colours.
    const bool palette = PixelDepth == 8;
    if (palette) m->colour = 0;
    m->index_base = m->index_range = 0;
    m->opacity = 255;
    if (const vt_material *standard = VtMaterialFind("standard")) {
        m->ka = standard->ka;
        m->kd = standard->kd;
        m->ks = standard->ks;
        m->power = standard->power;
    } else {
        m->ka = 0.2f;
        m->kd = 0.62f;
        m->ks = 0.75f;
        m->power = 96;
    }
    if (CardMode) {
        m->ka = gP3D.cardMaterial[0];
        m->kd = gP3D.cardMaterial[1];
        m->ks = gP3D.cardMaterial[2];
        m->power = gP3D.cardMaterial[3];
    }
    m->colour_map = nullptr;

    const ByteView sub = slot.subChunks;
    float centre[3] = {0, 0, 0}, size[3] = {1, 1, 1};
    uint16_t axis = 1, value = 0;
    if (SubChunkU16(sub, "GLOS", &value)) m->power = Power(value);
    if (SubChunkU16(sub, "TFLG", &value)) axis = value;
    ByteView colr;
    const bool hasColour = LwoFindSubChunk(sub, "COLR", &colr) && colr.size >= 3;
    const int r = hasColour ? colr.data[0] : 0, g = hasColour ? colr.data[1] : 0, b = hasColour ? colr.data[2] : 0;
    const vt_colour rgb = vt_colour(r) << 16 | vt_colour(g) << 8 | vt_colour(b);
    if (hasColour) {
        if (palette) ChooseRamp(m, r, g, b);
        else if (slot.name && std::strncmp(slot.name, "c_", 2) == 0) m->colour = rgb;
    }
    if (SubChunkU16(sub, "FLAG", &value)) {
        if (value & 0x4) m->flags |= VT_MATF_SMOOTH;
        if (value & 0x100) m->flags |= VT_MATF_TWO_SIDED;
    }
    std::string image;
    if (SubChunkText(sub, "TIMG", &image)) {
        if (const TextureReplacement *r = slot.name ? FindTextureReplacement(slot.name) : nullptr)
            LwoUseReplacementTexture(r->pixelmap, m);
        else LwoFindTexture(image.c_str(), m);
    }
    SubChunkFloats(sub, "SMAN", &slot.smoothingAngle, 1);
    SubChunkFloats(sub, "TSIZ", size, 3);
    SubChunkFloats(sub, "TCTR", centre, 3);
    float wrapWidth = 0, wrapHeight = 0;
    SubChunkFloats(sub, "TFP0", &wrapWidth, 1);
    SubChunkFloats(sub, "TFP1", &wrapHeight, 1);
    std::string mapping;
    if (SubChunkText(sub, "CTEX", &mapping)) {
        const int a = axis & 7;
        if (mapping == "Planar Image Map") LwoMapPlanar(faces, count, surface, a, centre, size);
        else if (mapping == "Cylindrical Image Map")
            LwoMapCylindrical(faces, count, surface, a, centre, size, wrapWidth, 0);
        else if (mapping == "Spherical Image Map")
            LwoMapCylindrical(faces, count, surface, a, centre, size, wrapWidth, wrapHeight);
    }
    m->flags = (m->flags | VT_MATF_LIT) & ~vt_uint_32(VT_MATF_DECAL);
    if (optPerspective) m->flags |= VT_MATF_PERSPECTIVE;
    if (CardMode) m->flags |= 0x20020;
    if (SubChunkU16(sub, "LUMI", &value) && value > 128) {
        // Self-lit: its own colour whatever light falls on it.
        m->ks = m->kd = 0;
        m->ka = 0.5f;
        m->colour = rgb;
        m->flags &= ~vt_uint_32(VT_MATF_LIT);
    }
    float transparency = 0;
    if (SubChunkU16(sub, "TRAN", &value)) transparency = float(value);
    slot.material = VtMaterialAdd(m);
    if (CardMode && transparency > 0 && slot.material) GiveTransparency(slot.material, transparency);
}

void LwoFindTexture(const char *path, vt_material *material) {
    // The base name is cut from a copy: the surface's text stays whole, and
    // a name shorter than its extension is not found rather than cut before
    // its start.
    const std::string base = BaseName(path);
    material->colour_map = FindInFolders(base);
    if (!material->colour_map && !gLwoQuietTextures) {
        char line[300];
        std::snprintf(line, sizeof line, "Warning - unable to find %s.pix for texture map\n ",
                      base.empty() ? path : base.c_str());
        dunDebugPrint(line);
    }
    UseSharedShadeTable(material);
}

void LwoUseReplacementTexture(vt_pixelmap *pixelmap, vt_material *material) {
    material->colour_map = pixelmap;
    UseSharedShadeTable(material);
}

void LoadTextureReplacement(const char *key, const char *path) {
    if (!key || !path) return;
    TextureReplacement *node = FindTextureReplacement(key);
    if (!node) {
        // The key is kept as a copy: a script's text may go before the node.
        node = new TextureReplacement{gReplacements, key, nullptr};
        gReplacements = node;
    }
    const char *from = path[0] == '\\' ? path + 1 : path;
    const std::string base = BaseName(from);
    node->pixelmap = FindInFolders(base);
    if (!node->pixelmap) {
        char line[300];
        std::snprintf(line, sizeof line, "Warning - unable to find %s.pix for texture map replacement\n ",
                      base.empty() ? from : base.c_str());
        dunErrorBox(line, "Load Pixelmap Error");
    }
}

TextureReplacement *FindTextureReplacement(const char *key) {
    for (TextureReplacement *n = gReplacements; n; n = n->next)
        if (n->key == key) return n;
    return nullptr;
}

void FreeTextureReplacements() {
    while (TextureReplacement *n = gReplacements) {
        gReplacements = n->next;
        delete n;
    }
}
