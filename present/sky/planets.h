// Planets: two 256 x 256 8-bit textures per planet, found by name or grown
// from the planet's type and seed (a fractal height map, a bump picture and
// two colour ramps of the game palette), shown on a small pool of shared
// sphere models that go to the planets of highest priority; and the sun
// model.
#pragma once

#include <cstdint>

struct SceneItem;
struct TDP;
struct PcxImage;
struct vt_model;
struct vt_material;
struct vt_pixelmap;

inline constexpr int kPlanetPoolMax = 3;
inline constexpr int kPlanetMapSide = 256;
inline constexpr int kPlanetHeightSide = 512;
inline constexpr int kFaceClassCount = 1600;

struct PlanetPoolSlot {
    vt_model *model;  // "planet_pool_planet"
    TDP *owner;
    float priority;
    char textureName[64];  // the texture name last applied
    vt_material *material[2];  // the two halves
};

struct PlanetPool {
    int16_t count;  // slots in use: 3, or 1 when a script asks
    PlanetPoolSlot slots[kPlanetPoolMax];
    uint8_t loaded;  // the pool of this mission is loaded
    uint8_t flagsEnabled;  // clear: the planet materials' flags stay off
};
extern PlanetPool gPlanetPool;
// One face class a face of the pool sphere: 0 black, 1 the first half's
// material, 2 the second's.
extern uint8_t gFaceClassTable[kFaceClassCount];

// The generator's 16-bit state, shared by all generation: next = state x
// 13709 + 13849 (mod 65536).
extern uint16_t gPlanetRandom;
uint16_t PlanetNextRandom();

// Midpoint displacement on the wrapping 512 x 512 height map (a 0 byte is
// not yet set).
void PlanetFractal(int x, int y, int s, uint8_t *heights);
// The height map grown from the corner value, its halves reduced (row pairs
// averaged) into the two textures.
void PlanetSplitHalves(uint8_t corner, uint8_t *map2, uint8_t *map3);
// Heights to palette indices: bases A and B, a weight per column.
void PlanetColourise(uint8_t *map, int a, int b, const float ramp[kPlanetMapSide]);
// Each texel scaled by the picture's byte at the same place: v x ((b >> 1) +
// 128) >> 8. A missing picture leaves the texture as it is; a smaller one
// repeats its last row and column.
void PlanetApplyBumpImage(uint8_t *map, const PcxImage *image);
void PlanetApplyBump(uint8_t *map, const char *name);
// The whole generator on plain 256 x 256 buffers (the bump pictures read
// from the planet folder).
void PlanetMakePixels(int type, int seed, uint8_t *map2, uint8_t *map3);
// The two textures registered as "$b_<type>_<seed>_2.pix" and "..._3.pix".
void PlanetMakeTextures(int type, int seed, vt_pixelmap **map2, vt_pixelmap **map3);
// Finds or makes the planet's two textures and binds them to the slot's
// materials, returned through m2 and m3.
void PlanetChooseTexture(SceneItem *object, vt_model *model, const char *name, vt_material **m2, vt_material **m3,
                         int slot);
// The flags a planet material wants by mode, set when they differ.
void PlanetSetMaterialFlags(vt_material *material, bool on);
// A part that lost its pool slot shows its own model again.
void TDPRestoreSavedModel(TDP *tdp);

vt_model *dunPlanetPoolAcquire(TDP *tdp, float priority);
void dunPlanetPoolSetPriority(TDP *tdp, float priority);
void dunPlanetPoolSetMaterialFlags(TDP *tdp, int on);
// Every slot's owner and priority cleared (star-system change).
void ClearSystemBodyModels();
// The pool spheres and the texture replacements, once a mission.
void dunLoadPlanetPool();
// The end of a mission: the next mission loads its pool again; the set-up's
// planet materials are gone.
void P3DResetPlanetPool();
// dunLoadPlanetTexture (the pool for the planets of this system, as the
// script's planets ask with the request flag) and dunLoadSunModel (loaded
// once a set-up) are declared in present/p3d.h, P3DForgetSunModel in
// present/frame_passes.h.
