// Point effects: the particle systems behind every trail, spark, burst,
// explosion cloud and nav light, made in one way (CreateParticleSystem) and
// hung on their owner's part tree; their per-frame emitters and movers, and
// the palette colour ramps their streaks are drawn with.
//
// Positions are world units, velocities world units per second, lives
// ticks of the game clock. Software systems keep their points in world
// coordinates; the 3D card's (kind 6) in their part's own frame.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct TDP;
struct ParticleSystem;

// Kinds: how the points are drawn.
namespace ParticleKind {
constexpr int16_t Sprites = 0;
constexpr int16_t Streaks = 2;
constexpr int16_t Triangles = 4;
constexpr int16_t Geometry = 6;
}  // namespace ParticleKind

inline constexpr int16_t kEndlessLife = 32767;

// Per cent of the 3D card's puff points that are drawn as flares.
extern float flareChance;

// A pool slot filled (pool B for nav lights without a ring, else pool A);
// none when the pool is full. The count is held to the slot's array.
ParticleSystem *AllocParticleSystem(int16_t kind, uint32_t flags, int16_t count, int16_t particleLife, float speed,
                                    int32_t rate, float cone);
// The one way effects are made: a system on a new part of the owner's tree
// (its root when it has none), placed by the matrix (none: identity).
// Returns the new part, or none when the pool is full.
TDP *CreateParticleSystem(SceneItem *owner, const Mat4 *matrix, int kind, uint32_t flags, uint16_t life, int count,
                          int particleLife, float speed, int32_t rate, float cone);
// The system a part carries, or none.
ParticleSystem *ParticleSystemOf(const TDP *tdp);

// Ramps of 32 palette colours from the 64K inverse-palette table (null: the
// current palette's): entry 0 the second colour, running towards the first;
// the five-colour form in four runs of 8.
void BuildColourRamp(const uint8_t *table, uint8_t *ramp, int r0, int g0, int b0, int r1, int g1, int b1);
void BuildColourRamp5(const uint8_t *table, uint8_t *ramp, const int colours[5][3]);
// The inverse-palette table of the current palette (5 bits red, 5 green, 6
// blue to the nearest palette index), made again when the palette changed.
const uint8_t *ParticleInverseTable();

// The node routine of software systems: once a frame, the emitter's
// position, its life, the movers; a system whose points have all died or
// whose ring burst ended leaves the tree.
void TDPUpdateSoftParticles(TDP *tdp, const Mat4 *world);
// Emitter dispatch and the standard mover; -1 when no point was alive.
int16_t ParticleSystemUpdate(TDP *tdp, ParticleSystem *system, const Mat4 *matrix);

// Emitters and fills (n points at most), and the special movers.
void ParticleEmit(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleEmitShell(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleFillRing(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleEmitStream(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleEmitClusters(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleEmitPuffs(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleFillPuffs(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleFillPuffTrail(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleFillSwarm(TDP *tdp, ParticleSystem *system, int n, const Mat4 *matrix);
void ParticleSwarmUpdate(TDP *tdp, ParticleSystem *system, const Mat4 *matrix);
// Non-zero when the burst is over.
int ParticleRingBurstUpdate(TDP *tdp, ParticleSystem *system, const Mat4 *matrix);

// The owner's velocity as emitted points take it: its velocity, plus its
// forward axis at its drive speed while it flies on the fast drive.
Vec3 ParticleOwnerVelocity(const SceneItem *owner);
// The shared cursor of the emitters that start points at hull vertices.
extern uint16_t gHullVertexCursor;
// The particle share of the effect state, cleared at each 3D set-up.
void ParticleResetState();
