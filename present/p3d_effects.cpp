// The effect textures and materials (unlit glows, shells, the explosion
// set, the wreck's black) and the "Doughball" particle models.
#include <cstdlib>
#include <cstring>

#include "RES/libload.h"
#include "RES/util.h"
#include "core/files.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/sky/alpha.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/scenefile/scenefile.h"

namespace {

vt_token_value kEmptyTokens[] = {{0, {}}};

enum Channel { R = 1, G = 2, B = 4 };

// The alpha bytes of a raw file (at most `limit`) for a map, or false when
// it cannot be read.
bool ReadAlpha(const char *name, size_t limit, const vt_pixelmap *map) {
    if (!gP3D.effectAlpha) return false;
    std::memset(gP3D.effectAlpha, 0, 8192);
    const size_t pixels = map ? size_t(map->width) * size_t(map->height) : 0;
    return P3DReadAlphaFile(name, gP3D.effectAlpha, limit, pixels < limit ? pixels : limit);
}

// The gas shell, shaped and registered (which prepares it: a failure there
// is the file's too).
vt_model *LoadGasShell(const char *name) {
    vt_model *shell = VtModelLoad(name);
    if (!shell) return nullptr;
    shell->flags |= VT_MODF_UPDATEABLE;
    ProjectModelOntoSphere(shell, 50);
    VtModelAdd(shell);
    return shell;
}

void DropModel(vt_model *model) {
    VtModelRemove(model);
    VtModelFree(model);
}

vt_material *EffectMaterial(const char *name, vt_pixelmap *map, uint16_t mode, bool tokens) {
    vt_material *m = VtMaterialAllocate(name);
    if (!m) return nullptr;
    m->colour_map = map;
    m->mode = mode;
    if (tokens) m->extra_prim = kEmptyTokens;
    return VtMaterialAdd(m);
}

vt_pixelmap *WhiteMap(int w, int h, const char *name) {
    vt_pixelmap *map = P3DMakeWhiteAlphaMap(w, h);
    if (!map) return nullptr;
    map->identifier = VtResStrDup(map, name);
    return map;
}

// Explosion materials from the beam texture: the channels of each copy
// forced to full intensity as listed (0: the texture itself).
void Explosions(int first, vt_pixelmap *beam, const int (&tints)[9], int count, int fill) {
    for (int i = 0; i < count; ++i) {
        vt_pixelmap *map =
            tints[i] ? P3DMakeTintedAlphaMap(beam, tints[i] & R, tints[i] & G, tints[i] & B, fill) : beam;
        gP3D.explosionMaterials[first + i] = EffectMaterial("Explosion", map, 12, true);
    }
}

}  // namespace

void P3DLoadEffectTextures() {
    if (gP3D.effectTexturesLoaded) return;
    if (!gP3D.gasShell) gP3D.gasShell = LoadLibraryFile("vantor\\dat\\gasshell.dat", LoadGasShell, DropModel);
    if (!gP3D.effectAlpha) gP3D.effectAlpha = static_cast<uint8_t *>(std::calloc(1, 8192));
    if (!gP3D.whiteAlphaMap) gP3D.whiteAlphaMap = WhiteMap(64, 64, "Unlit");
    if (ReadAlpha("vantor\\dat\\ExpUnlitAlpha.raw", 4096, gP3D.whiteAlphaMap)) {
        P3DSetAlpha4444(gP3D.whiteAlphaMap, gP3D.effectAlpha, 4095);
        P3DScaleAlpha4444(gP3D.whiteAlphaMap, gP3D.effectAlpha, 0.5f);
    }
    if (gP3D.whiteAlphaMap) VtMapAdd(gP3D.whiteAlphaMap);
    gP3D.unlitMaterial = EffectMaterial("Unlit", gP3D.whiteAlphaMap, 12, true);

    vt_pixelmap *shield = VtMapFind("vek\\resource\\art\\textur_h\\ships\\expprim.pix");
    if (ReadAlpha("vantor\\dat\\ShieldAlph.raw", 8192, shield)) P3DSetAlpha4444(shield, gP3D.effectAlpha, 4095);
    gP3D.primUnlit[0] = EffectMaterial("PrimUnlit", shield, 12, false);
    if (!gP3D.capsuleMap) gP3D.capsuleMap = WhiteMap(128, 64, "CapsUnlit");
    if (ReadAlpha("vantor\\dat\\CapsAlph.raw", 8192, gP3D.capsuleMap))
        P3DSetAlpha4444(gP3D.capsuleMap, gP3D.effectAlpha, 4095);
    if (gP3D.capsuleMap) VtMapAdd(gP3D.capsuleMap);
    gP3D.primUnlit[1] = EffectMaterial("PrimUnlit", gP3D.capsuleMap, 12, false);
    vt_pixelmap *pocket = VtMapFind("vek\\resource\\art\\textur_h\\ships\\pocketfz.pix");
    if (ReadAlpha("vantor\\dat\\PocketAlph.raw", 8192, pocket)) P3DSetAlpha4444(pocket, gP3D.effectAlpha, 4095);
    gP3D.primUnlit[2] = EffectMaterial("PrimUnlit", pocket, 12, false);

    vt_pixelmap *beam = VtMapFind("vantor\\dat\\beam27_.pix");
    if (ReadAlpha("vantor\\dat\\beamalpha.raw", 8192, beam)) P3DSetAlpha4444(beam, gP3D.effectAlpha, 4095);
    Explosions(0, beam, {0, R | G | B, B, G, B, R, G | B, R | G, R | G | B}, 9, 1);
    if (ReadAlpha("vantor\\dat\\beamalpha3.raw", 8192, beam)) P3DScaleAlpha4444(beam, gP3D.effectAlpha, 1.0f);
    Explosions(9, beam, {R | G | B, B, G, B, R, R | B, R | G | B, R | G | B}, 8, 1);
    if (ReadAlpha("vantor\\dat\\bigfuzzalph2.raw", 8192, beam)) P3DScaleAlpha4444(beam, gP3D.effectAlpha, 1.0f);
    Explosions(17, beam, {R | G | B, B, G, B, R, R | B, R | G, R | G | B}, 8, 4);

    gP3D.potBlack = EffectMaterial("PotBlack", VtMapFind("vantor\\dat\\wreckg_.pix"), 4, false);
    gP3D.effectTexturesLoaded = 1;
}

void P3DMakeDoughballs() {
    P3DLoadEffectTextures();
    // A set-up that follows another in the same library run makes new ones.
    for (vt_model *&m : gP3D.doughballs) {
        if (m) VtModelFree(m);
        m = nullptr;
    }
    vt_material *material = gP3D.explosionMaterials[15];
    for (int n = 0; n < 8; ++n) {
        vt_model *m = VtModelAllocate("Doughball", 1000, 500);
        if (!m) continue;
        m->flags |= 0x291;
        for (int i = 0; i < 250; ++i) {
            const uint16_t a = uint16_t(4 * i);
            const uint16_t quads[2][3] = {{uint16_t(a + 2), uint16_t(a + 1), a}, {a, uint16_t(a + 3), uint16_t(a + 2)}};
            for (int k = 0; k < 2; ++k) {
                vt_face &f = m->faces[2 * i + k];
                std::memcpy(f.vertices, quads[k], sizeof f.vertices);
                f.material = material;
                f.red = f.grn = f.blu = 0xFF;
            }
        }
        static const float kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int v = 0; v < 1000; ++v) {
            vt_vertex &x = m->vertices[v];
            x.index = uint8_t(dunRand15() % 256);
            x.red = 240;
            x.grn = 180;
            x.blu = 20;
            x.map.v[0] = kCorner[v % 4][0];
            x.map.v[1] = kCorner[v % 4][1];
        }
        gP3D.doughballs[n] = m;
    }
    for (int n = 0; n < 8; ++n) {
        gP3D.doughballs[8 + n] = VtModelAllocate("Doughball", 176, 88);
        if (gP3D.doughballs[8 + n]) gP3D.doughballs[8 + n]->flags |= 0x291;
    }
    gP3D.doughballNext[0] = gP3D.doughballNext[1] = 0;
}
