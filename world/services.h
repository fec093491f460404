// What the world asks of the subsystems above it: the 3D presentation, the
// ship AI, the mission script, the GUI and the HUD. Each of them installs its
// table at start-up; without a table (tests, or a subsystem that is not
// there) a call does nothing and a query answers 0 or none. Tests install
// recording tables of their own.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "world/records.h"

struct DamageRecord;

struct WorldPresentHooks {
    // The standard presentation routine of an object's Avatar.
    PresentationRoutine presentation;
    // Gives a node a library actor showing a model (modes 0, 2, 3) or a
    // particle system (mode 1); sets node flag 4. 1 when done (or while
    // there is no scene), 0 when no actor could be made.
    int (*addToScene)(TDP *node, void *model, int mode, int reserved);
    // Effects at a point in the object's frame.
    void (*addHullRupture)(SceneItem *item, int kind, int subKind, const Vec3 *point, int size);
    void (*addMinorExplosion)(SceneItem *item, int kind, int reserved, const Vec3 *point);
    void (*placeExplosion)(SceneItem *item);
    void (*spawnRoundDestruction)(SceneItem *item);
    void (*spawnSparks)(SceneItem *item, int r1, int g1, int b1, int r2, int g2, int b2);
    void (*spawnImpactExplosion)(SceneItem *piece, const DamageRecord *record, SceneItem *item);
    // The control routine of a broken-off piece that shows its sparks.
    ControlRoutine impactSparks;
    ParticleSystem *(*createParticleSystem)(SceneItem *item, const Mat4 *matrix, int kind, uint32_t flags,
                                            int count, int life, int life2, float spread, int cone, float size);
    void (*buildColourRamp)(ParticleSystem *system, int r1, int g1, int b1, int r2, int g2, int b2);
    void (*flashNavLight)(SceneItem *item, int light, int duration, const Vec3 *position);
    void (*eventCamera)(SceneItem *item, SceneItem *other, int event);
    // The cockpit view shake: its time in centiseconds and its strength.
    void (*viewShake)(int32_t centiseconds, int32_t strength);
    // The flash brightness word of the view.
    void (*setFlashBrightness)(int32_t brightness);
    // The plasma ball's model (looked up by the presentation), or null.
    void *(*plasmaModel)();
    void (*scaleModelToRadius)(void *model, float radius);
    void (*setupPlasmaBall)(SceneItem *item, int a, int b, const char *name);
    void (*setupGasShell)(SceneItem *item, const char *name);
    // The zoom of the current camera (0 when none is set), and the
    // projection scale of the 3D view.
    float (*cameraZoom)();
    float (*viewProjectionScale)();
};

struct WorldAiHooks {
    // A ship takes a 48-byte hit (event hooks 1, damage, destruction by message).
    void (*shipHit)(SceneItem *ship, const DamageRecord *record);
    void (*scoreKill)(uint32_t scoreRecord);
    // The number the destroyed-message scoring compares with 2.
    int (*scoreSummary)(SceneItem *item);
    void (*passGroupFlag)(SceneItem *ship);
    void (*removeContact)(SceneItem *item);
    // Picks a new target through the player's target filter.
    void (*pickTargetFiltered)();
    void (*assignFixedAttack)(SceneItem *ship);
    void (*impactGeometry)(SceneItem *ship, const Vec3 *point, const Vec3 *velocity, uint32_t word);
    void (*impactFromCollision)(SceneItem *ship, SceneItem *other, const Vec3 *direction);
    void (*fireSpecialWeapon)(SceneItem *ship, SceneItem *missile);
    // The first word of the score record of a key, or null when there is none.
    const uint32_t *(*findScoreRecord)(uint32_t key);
    // The 48-byte damage message (type 8, delay 4 cs) with and without the
    // sender named as attacker; true when it was posted.
    bool (*sendRelativePosition)(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage);
    bool (*sendRelativePosition2)(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage);
};

struct WorldScriptHooks {
    void (*clearDialogue)();
    // The running mission's number.
    int32_t (*currentMission)();
};

struct WorldGuiHooks {
    // The cockpit flags a docking sets.
    void (*dockedCockpit)();
    // Closes the comms arm when it is open.
    void (*closeComArm)();
    // Restarts the controlled object's navigation program.
    void (*navStartProgram)(int a, int b);
    // Posts the pending feed text in a colour set.
    void (*postPendingFeedText)(int colourSet);
    void (*displayMessage)(const char *text, int ticks);
    // The cockpit's proximity-warning text, or null.
    const char *(*proximityWarningText)();
    // The format of the mission-log line that names a touched star ("%s").
    const char *(*starLogFormat)();
    // The cockpit's hit hold-off counter (no jolt while it is above 0).
    int32_t (*holdOff)();
    // The cockpit's interference counter.
    void (*setInterference)(int32_t value);
    // The player's ship was lost: the screens show the wreck display, lock
    // the stations and go to the navigation screen (or the end cinematic).
    void (*playerShipLost)();
    // The remains have become the player's ship: the view follows them full
    // screen, and full screen stays locked.
    void (*followWreck)(SceneItem *wreck);
    // The options screen is shown (a frozen world then keeps its controlled
    // object still).
    bool (*optionsScreenShown)();
};

struct WorldHudHooks {
    void (*missionLogAdd)(SceneItem *item, SceneItem *other, int kind, const char *name, const char *otherName);
    void (*missionLogAddText)(const char *text);
    // Empties the HUD's list of elements (world reset).
    void (*clearList)();
    // Moves the HUD's world points by a shift of the world's origin.
    void (*shiftPositions)(float dx, float dy, float dz);
};

void WorldSetPresentHooks(const WorldPresentHooks *hooks);
void WorldSetAiHooks(const WorldAiHooks *hooks);
void WorldSetScriptHooks(const WorldScriptHooks *hooks);
void WorldSetGuiHooks(const WorldGuiHooks *hooks);
void WorldSetHudHooks(const WorldHudHooks *hooks);

// The installed tables, or an empty one.
const WorldPresentHooks &dunPresent();
const WorldAiHooks &dunAi();
const WorldScriptHooks &dunScript();
const WorldGuiHooks &dunGui();
const WorldHudHooks &dunHud();

// Calls a hook when it is installed; an absent one gives the zero value.
template <class R, class... P, class... A>
R dunCall(R (*hook)(P...), A &&...args) {
    if (hook) return hook(std::forward<A>(args)...);
    if constexpr (!std::is_void_v<R>) return R{};
}
