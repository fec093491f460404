// Navigation lights: the blinking and steady lights of ships, stations and
// rounds, kept as the points of one nav-light particle system per object
// (pool B, at most 43 points). Point 0 of a system made by AddNavLight is the
// engine glow, which guns and impacts flash. Offsets are given in model
// units and kept x 100; times are ticks.
#pragma once

#include <cstdint>

struct SceneItem;
struct TDP;
struct Mat4;
struct Particle;
struct ParticleSystem;

inline constexpr int kNavLightLimit = 43;
// Steady-light modes (the phase word of a light whose on time is 0).
inline constexpr uint16_t kNavCountdown = 1;
inline constexpr uint16_t kNavEngineGlow = 2;

// The phase base every light written by ParticleInit takes; drawn (0..89)
// once per preset and per new system of AddNavLight.
extern uint16_t gNavPhaseBase;

// One light: offset (model units), size, colour, on and off ticks.
void ParticleInit(Particle *point, float x, float y, float z, float size, uint16_t colour, int16_t on, int16_t off);
// The owner's nav-light system with the preset of the shape kind (10, 11,
// 2, any other), or the one-light preset.
void AddNavLights(SceneItem *owner, int kind);
void AddNavLightSimple(SceneItem *owner);
// Light `index` of the part's system taken out; the later ones move down.
void RemoveNavLight(TDP *tdp, int16_t index);
// The 30-point trail a fired bolt carries; its part, or null.
TDP *ParticlePresetBoltTrail(SceneItem *round, uint16_t colour);
// The owner's nav-light system: the first nav-light part under its root.
ParticleSystem *NavLightSystem(const SceneItem *owner);
// Holds the nav lights still while not zero (the cockpit's view-mode word).
extern int32_t gGuiViewModeToggle;
