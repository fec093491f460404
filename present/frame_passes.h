// What the set-up, the frame and the part trees call in the presentation's
// other modules: the sky, the lens flares and lights, the effect models and
// particles, the detail variants and the model adjustments.
#pragma once

#include <cstdint>

#include "present/model_adjust.h"

struct SceneItem;
struct TDP;
struct Mat4;
struct Vec3;
struct ParticleSystem;
struct vt_model;
struct vt_material;
struct vt_pixelmap;

// Detail variants: the middle and far slots of a part.
void P3DSetUpDetailModels(TDP *tdp);

// Sky bodies: placed again after a rebuild; the parts of the sky-body table
// that have actors (at most max), for the planet pass; the sun model's
// done flag, cleared at each set-up.
void P3DPlaceAllSkyBodies();
int P3DCollectSkyBodies(TDP **parts, int max);
void P3DForgetSunModel();
// The software star field of the view.
void P3DDrawStarField();

// Lens flares, lights and shells.
void P3DLoadFlareShells();
void P3DCreateFlareModels();
void P3DClearLightSlots();
void P3DRenderFlareBatch(int batch);
void P3DLensFlarePass();
void P3DSetSunLight(SceneItem *viewer, int a, int b, int c);
void P3DSunLightDim();
void P3DScrollUnlitTexture();

// Effect models and particles.
void P3DBuildEffectModels(vt_material *material);
void P3DShadeModelVertices(vt_model *model, int low, int high, vt_pixelmap *colourMap);
vt_model *P3DBuildStarShell(int count, float radius);
// Counters and flags of the effect modules, cleared at each set-up.
void P3DResetEffectState();
// The particle pass of the view from its top line.
void P3DParticlePass(int topLine);
// The nav lights' per-frame placing and blinking.
void NavLightUpdate(TDP *tdp, Mat4 *world);
// A light flash keyed by a number at a world position (time in ticks,
// colour 0xRRGGBB).
void P3DAddLightFlash(SceneItem *owner, uint32_t key, const Vec3 *position, int time, uint32_t colour);
// The software fill of a ring system's band between its two chains of
// points.
void P3DFillPolygon(const ParticleSystem *system);
