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

// Detail variants: the middle and far slots of a part; the shared flat
// proxies forgotten at each set-up.
void P3DSetUpDetailModels(TDP *tdp);
void P3DForgetDetailModels();

// Sky bodies: placed again after a rebuild; the parts of the sky-body table
// that have actors (at most max), for the planet pass; the sun model's
// done flag, cleared at each set-up.
void P3DPlaceAllSkyBodies();
int P3DCollectSkyBodies(TDP **parts, int max);
// A sky body's model by its apparent size: none, one point, or a planet
// pool sphere.
void P3DSkyBodyDetail(TDP *tdp);
void P3DForgetSunModel();
// The software star field of the view.
void P3DDrawStarField();

// Lens flares, lights and shells.
void P3DLoadFlareShells();
void P3DCreateFlareModels();
void P3DClearLightSlots();
void P3DRenderFlareBatch(int batch);
void P3DLensFlarePass();
// The first scene light: carried by the object (a point lamp with mode -1,
// else direct; null: turned by the direction), its time before the sun
// takes it back.
void P3DSetSunLight(SceneItem *carrier, int direction, int time, int mode);
void P3DSunLightDim();
void P3DScrollUnlitTexture();
// The sun's glare and lens flares: the render callback of "stardummy", and
// the flag the sky set-up clears so that the sun light is aimed again.
struct vt_actor;
struct vt_order_table;
void P3DQueueStarFlare(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *orderTable,
                       uint8_t style, uint32_t onScreen);
extern uint8_t gSunPlaced;

// Effect models and particles.
// The beam model sets and the "Explosion" quad; a material given colours
// the beams' faces with its colour (not at 8 bits).
void P3DBuildEffectModels(vt_material *material);
// A background model's vertex shades by position: indices low..high at
// random, or with the pole flag a gradient from the middle to the rim;
// vertices of fewer than 6 faces black. Models of more than 2000 vertices
// are left as they are.
void P3DShadeModelVertices(vt_model *model, int low, int high, vt_pixelmap *colourMap, bool poles = false);
// The star list as a model of small triangles at the radius (none while the
// list is empty).
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
