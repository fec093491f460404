// The shapes of weapon fire and of the effect objects the world launches:
// the "PlasmaBeam" bolt models built once a set-up in several sizes and
// random copies, the shared "Explosion" quad that animated explosions show
// their texture strips on, the bolt's per-frame stretching, the viewer-facing
// effects, the vertex shading of plasma balls, gas shells and background
// spheres, the plasma video texture and the star shell.
#pragma once

#include <cstdint>

struct SceneItem;
struct vt_actor;
struct vt_model;
struct vt_material;
struct vt_order_table;

inline constexpr int kBeamSets = 7;
inline constexpr int kBeamVariants = 4;
inline constexpr int kBeamCopies = 5;
// Bolts nearer than this (view depth) show their trail instead of the beam.
inline constexpr float kBoltTrailDepth = 200000;

// The beam models: [set 0..6][variant][copy]; at 8 bits only copy 0.
extern vt_model *gBeamModels[kBeamSets][kBeamVariants][kBeamCopies];
extern vt_model *gExplosionQuad;
// A random built copy of a variant of the set of a weapon's visual kind
// (0..6), or null.
vt_model *P3DBeamModel(int kind, int variant);

vt_model *P3DBuildPlasmaBeam(int16_t blobs, int16_t layers, float width, uint32_t colourFlag);
vt_model *P3DBuildExplosionQuad(float side);

// Bolts: the presentation routine the weapons code installs.
void P3DUpdateBoltTrail(SceneItem *bolt);
// The length a bolt is drawn with (a third of a second of its flight, held
// to twice its distance from the firer's muzzle), and its alpha from the
// distance flown and the weapon's range.
float P3DBoltLength(const SceneItem *bolt);
uint8_t P3DBoltAlpha(const SceneItem *bolt);

// Animated effects: rows 0 ("explo_1", 12 frames) and 1 ("explo_2", 29).
struct AnimatedEffectRow {
    const char *material;
    int16_t frames;
    uint16_t width, height;
    float step;
};
extern AnimatedEffectRow gAnimatedEffects[2];
void P3DSetupAnimatedEffect(SceneItem *item, int16_t row);
void P3DRenderAnimatedEffect(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *orderTable,
                             uint8_t style, uint32_t onScreen);
// Presentation routine: turned to face the viewer, then the standard update.
void P3DFaceViewer(SceneItem *item);

// Plasma balls and gas shells.
void P3DJitterEffectModel(SceneItem *item, int16_t age);
void P3DFadeEffectMaterial(vt_material *material, int32_t fade);
void P3DSetupPlasmaVideo(SceneItem *item);
void P3DUpdatePlasmaVideo(SceneItem *item);
// The plasma ball's animation state (shared by every ball).
struct PlasmaBallState {
    uint8_t low, high;
    float factor[3];
    float angle[3], rate[3];
    float textureScale;
    float halfExtent;
};
extern PlasmaBallState gPlasmaBall;

// The target takes the source's vertex positions (same count), loses its
// face materials and is turned inside out; its former first face material,
// made two-sided and unlit, is returned.
vt_material *P3DCopyModelInsideOut(vt_model *target, vt_model *source);

// The models a set-up made, forgotten (the library ended with them).
void P3DForgetEffectModels();
