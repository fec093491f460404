// Effects, particle systems and camera words of the 3D presentation that the
// world's events start.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct ParticleSystem;
struct TDP;
struct DamageRecord;

void AddHullRupture(SceneItem *item, int kind, int subKind, const Vec3 *point, int size);
void AddMinorExplosion(SceneItem *item, int kind, int reserved, const Vec3 *point);
void PlaceExplosion(SceneItem *item);
void SpawnRoundDestruction(SceneItem *item);
void SpawnSparks(SceneItem *item, int r1, int g1, int b1, int r2, int g2, int b2);
void SpawnImpactExplosion(SceneItem *piece, const DamageRecord *record, SceneItem *item);
// The control routine of a broken-off piece: shows the sparks of the break.
void SpawnImpactSparks(SceneItem *piece);
ParticleSystem *CreateParticleSystem(SceneItem *item, const Mat4 *matrix, int kind, uint32_t flags, int count,
                                     int life, int life2, float spread, int cone, float size);
void BuildColourRamp(ParticleSystem *system, int r1, int g1, int b1, int r2, int g2, int b2);
void FlashNavLight(SceneItem *item, int light, int duration, const Vec3 *position);
void ScaleModelToRadius(void *model, float radius);
void P3DSetupPlasmaBall(SceneItem *item, int a, int b, const char *name);
void P3DSetupGasShell(SceneItem *item, const char *name);
// The plasma ball's model, looked up once and kept.
void *P3DPlasmaModel();
// The cockpit camera's view shake (time in centiseconds, strength).
void P3DSetViewShake(int32_t centiseconds, int32_t strength);
void P3DSetFlashBrightness(int32_t brightness);
// The current camera's zoom (0 when none is set) and the 3D view's
// projection scale.
float P3DCameraZoom();
float P3DViewProjectionScale();
// The burst of a ship dropping out of the LDS drive.
void SpawnLdsTrail(SceneItem *item);
// A light flash at a point of the object (world axes).
void AddFlashAtObject(SceneItem *item, const Vec3 *direction, int size, uint32_t colour);
void AddThermalExplosion(SceneItem *item, const Vec3 *point);
// Debris parts thrown off a damaged object.
void P3DMakeWreck(SceneItem *item);
// A blinking navigation light (size, flags) at a point of the object's frame.
void AddNavLight(SceneItem *item, const Vec3 *position, float size, uint32_t flags);
// An object's navigation lights laid out by kind (mines 11).
void AddNavLights(SceneItem *item, int kind);
// The static cloud of a star-system body (at most 250 points), in the given
// system or a new one.
ParticleSystem *SpawnParticleCloud(float cx, float cy, float cz, float rx, float ry, float rz, float exponent,
                                   int count, ParticleSystem *existing);
// The node routine of software particle systems.
void TDPUpdateSoftParticles(TDP *tdp, const Mat4 *world);
// A stargate's edge colour map (9, 10, 12, or 13 closed).
void P3DSetStarGateEdge(SceneItem *gate, int colour);

// Installs the presentation's table of the world's calls.
void P3DInstallWorldHooks();
// A dynamic point light tied to the object: position in its frame, colour
// 0xRRGGBB, life, radius and flags.
void P3DAddLight(SceneItem *item, const Vec3 *position, uint32_t colour, int life, float radius, uint32_t flags);
