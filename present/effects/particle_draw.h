// How particle systems become pixels. Without a 3D card the frame's particle
// pass draws every software system itself (sprites, streaks, triangles),
// depth-tested against the view's depth buffer; with a card each system owns
// a "Doughball" library model whose quads are rebuilt from its points every
// frame. Also the light tables that glows shade through, with the flare
// pictures they are shaped by.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct TDP;
struct ParticleSystem;
struct vt_actor;
struct vt_model;
struct vt_material;
struct vt_order_table;

// Software drawing of every system in the scene list (sky systems only with
// the flag); of a part tree's systems whose part flags hold the whole mask;
// of one system.
void P3DRenderParticles(bool sky);
void P3DDrawParticleTree(TDP *tdp, uint32_t mask);
void P3DDrawParticleSystem(TDP *tdp);
// The model software systems show in the scene, made once a set-up; its
// render callback projects the system's live points into their screen
// words (depth 0 off the screen).
vt_model *P3DParticleDummyModel();
void P3DRenderParticleDummy(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *orderTable,
                            uint8_t style, uint32_t onScreen);
// Squared sprite sizes of the frame's particle pass (its fill cost).
extern uint32_t gParticleFillCounter;

// The 3D card: the system's "Doughball" model (from the shared sets, or of
// its own for a ship's nav lights), its quads rebuilt from the points, and
// the ribbons of smoke trails.
void P3DBuildParticleGeometry(ParticleSystem *system, bool shared);
void P3DUpdateParticleGeometry(ParticleSystem *system, const Mat4 *matrix);
void P3DUpdateRibbonGeometry(ParticleSystem *system);
// Each distinct face material of the model out of the library and freed
// once; every face's material cleared.
void P3DFreeModelMaterials(vt_model *model);
// Face material entry 0..32 of the particle geometry ("Explosion" and the
// flares' "PotBlack").
vt_material *P3DParticleMaterial(int entry);
// Vertex colours of card points by colour & 7 (red, green, blue, alpha
// from the high byte down).
extern const uint32_t kParticleVertexColours[8];
// The puff colour and size tables by age, and the ribbons' fade tables
// (chain systems, the rest), filled at set-up by the flare shells' loader.
extern uint32_t gPuffColours[96];
extern float gPuffSizes[96];
extern uint32_t gRibbonFade[2][96];

// The 16 light tables of 16 levels x 256 colours (into table, 65536 bytes)
// from a palette of 256 x (r, g, b, spare); the jitter table; the two glow
// masks from the flare pictures.
void LoadFlarePictures(uint8_t *table, const uint8_t *palette, const void *unused);
extern uint8_t gFlareJitter[300];
