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
struct TrackNode;
struct StarRecord;

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
    // The collapsing ring burst of a ship leaving the system.
    void (*spawnDepartureBurst)(SceneItem *item);
    void (*spawnSparks)(SceneItem *item, int r1, int g1, int b1, int r2, int g2, int b2);
    // The explosion of a destroyed object on the wreck its break left.
    void (*spawnDestructionExplosion)(SceneItem *wreck, const DamageRecord *record, SceneItem *destroyed);
    // The control routine of a wreck that blows its parts off one by one.
    ControlRoutine wreckBreakUpControl;
    // A particle system on a new part of the object (matrix, kind, flags,
    // life, count, particle life, speed, rate, cone); the part, or null.
    TDP *(*createParticleSystem)(SceneItem *item, const Mat4 *matrix, int kind, uint32_t flags, uint16_t life,
                                 int count, int particleLife, float speed, int32_t rate, float cone);
    // A system's colour ramp (table null: the current palette's) from the
    // second colour at entry 0 towards the first.
    void (*buildColourRamp)(const uint8_t *table, uint8_t *ramp, int r0, int g0, int b0, int r1, int g1, int b1);
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
    // The burst of particles of a ship dropping out of the fast drive.
    void (*spawnLdsTrail)(SceneItem *item);
    // Puts a model on the object's root part and its detail slots.
    void (*setObjectModel)(SceneItem *item, void *model);
    // The player camera and the main 3D window follow the first object,
    // the other camera the second (null: it stays).
    void (*followCameras)(SceneItem *player, SceneItem *other);
    // The subject of the current camera.
    void (*setCameraSubject)(SceneItem *item);
    // A light flash at a point of the object (world axes), with a colour.
    void (*addFlashAtObject)(SceneItem *item, const Vec3 *direction, int size, uint32_t colour);
    // A thermal explosion at a point of the object (its frame).
    TDP *(*addThermalExplosion)(SceneItem *item, const Vec3 *point);
    // Debris parts thrown off a damaged object.
    void (*makeWreck)(SceneItem *item);
    // A LightWave model loaded by name, or null.
    void *(*loadModel)(const char *name);
    // A navigation light at a point of the object's frame: size, colour
    // bits, on and off ticks, phase.
    void (*addNavLight)(SceneItem *item, const Vec3 *position, float size, int32_t colour, int on, int off,
                        int phase);
    // A stargate's edge colour (9, 10, 12 or 13 closed).
    void (*setStarGateEdge)(SceneItem *gate, int colour);
    // The pilot's per-step input: steering demands and the look-around.
    void (*lookUpdate)();
    // A part's library actor unlinked and freed; the model and the material
    // a part owns taken out of the library's registries and freed.
    void (*removeActor)(TDP *node);
    void (*removeAndFreeNodeModel)(TDP *node);
    void (*removeAndFreeNodeMaterial)(TDP *node);
    // The node routine a new part starts with: its actor follows it.
    NodeRoutine syncActor;
    // Vertex i of a model's mesh in its frame; false past the last.
    bool (*modelVertex)(const void *model, int i, Vec3 *out);
    // The four camera words cleared at the world's reset.
    void (*resetCameraWords)();
    // Once a step: the scene's lights, and the scripted camera cuts.
    void (*updateLights)();
    void (*actionCameraUpdate)();
    // The object's parts brought up to date for a view before it is drawn.
    void (*preprocessScene)(SceneItem *item, void *view);
    // Grey-white debris from the object's hull vertices (life 0: for ever).
    void (*spawnDebrisBurst)(SceneItem *item, int life);
    // A star system's bodies: the presentation routine of a body object, the
    // shared star model (made once), the planet textures of the system, the
    // two per-body model tables cleared, the old sky freed and the sky of a
    // system set.
    PresentationRoutine placeSkyBody;
    void *(*createStarDummy)();
    void (*loadPlanetTextures)();
    void (*clearSystemBodyModels)();
    void (*freeSkyResources)();
    void (*setSkyForSystem)(int16_t system);
    // A static particle cloud round a centre (extents, spread exponent,
    // count; in a given system or a new one); and the node routine of
    // particle parts without an actor.
    ParticleSystem *(*spawnParticleCloud)(float x, float y, float z, float a, float b, float c, float exponent,
                                          int count, ParticleSystem *existing);
    NodeRoutine softParticles;
    // A mine's or ship's navigation lights laid out by kind.
    void (*addNavLights)(SceneItem *item, int kind);
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
    // The AI control routine, and one braking step of a ship without orders.
    void (*think)(SceneItem *ship);
    float (*idleFlight)(SceneItem *ship);
    // The sides the object may target.
    uint32_t (*sideTargetMask)(SceneItem *item);
    // Aims the weapons of a mount (0 or 1) at the best target of the masks.
    void (*pickTargetPoint)(SceneItem *item, int mount, uint32_t targetMask, uint32_t sideBits);
    // The per-step weapon update of the player's ship, and of any other.
    void (*updateWeapons)(SceneItem *ship);
    void (*updateWeaponsNoOwner)(SceneItem *ship);
    // Makes the object the cockpit's selected target.
    void (*selectTarget)(SceneItem *item);
    // The selected target becomes the controlled object's goal and target.
    void (*setShipTarget)();
    // Fires the weapon (range and rate 0: the weapon's own); 0 when it
    // fired, 1..5 why it could not.
    int (*fireWeapon)(SceneItem *ship, Weapon *weapon, float range, float rate);
    // Names order slot n and gives it its weight, start state (0: the order
    // table's for that name) and the state's object; and makes a slot
    // current.
    void (*setOrder)(SceneItem *ship, int slot, const char *name, int priority, int state, SceneItem *object);
    void (*startOrder)(SceneItem *ship, int slot);
    // A flare's decoy message to the object it is linked to.
    void (*flareDecoyMessage)(SceneItem *flare, SceneItem *linked);
    // A random point on a random part of the object's model, in its frame.
    void (*randomPointOnSubNode)(SceneItem *item, Vec3 *point);
    // One steering step along a direction in the ship's axes (pitch and yaw
    // demands), and towards a point: the velocity of what is chased, the
    // direction to face and the speed law may each be null. The steering
    // returns how well aligned, or how close, the ship is (0..1).
    float (*steerAlongVector)(SceneItem *ship, Vec3 direction, const FlightParams *profile);
    float (*steerTowards)(SceneItem *ship, Vec3 point, const Vec3 *velocity, const Vec3 *facing, SpeedLimitFn law);
    // Adds the object to the score registry.
    void (*registerScoreObject)(SceneItem *item);
    // A light beam weapon on the object, at a hard point ahead of its centre
    // with a mount code.
    Weapon *(*createPBCLite)(SceneItem *item, float ahead, const char *name, int32_t mountCode);
    // Whether a guided round aims at its goal's current sub-target, and the
    // centre of that sub-target in the goal's frame (false when none).
    bool (*aimsAtSubTarget)();
    bool (*subTargetCentre)(SceneItem *goal, Vec3 *centre);
    // The nearest ship with every flag of the mask, not the excluded one.
    SceneItem *(*nearestShipByFlags)(uint32_t mask, SceneItem *exclude);
    // A passed waypoint's successor becomes the cockpit's selected target
    // and the navigation target.
    void (*selectWaypointTarget)(SceneItem *item);
    // Detaches and releases every weapon of the ship.
    void (*clearWeapons)(SceneItem *ship);
    // The start of each step: the last bolt's head-on values cleared, the
    // ships of each side counted and the contact list refreshed.
    void (*clearStepWords)();
    void (*countShipsPerSide)();
    void (*refreshContacts)();
    // Puts the object at a clear random spot near the navigation point, at
    // the distance (retry non-zero: farther out until one is clear).
    void (*placeNearNavPoint)(SceneItem *item, double *distance, int retry, int reserved);
    // The free-flying AI control routine (CONTROL_AIFREE).
    void (*thinkFree)(SceneItem *ship);
    // The contact list's clock starts again (a new star system).
    void (*resetContactClock)();
    // A mine's brain: its two order slots filled and the first started.
    void (*setUpMineOrders)(SceneItem *mine);
    // The simple AI control routine of mines.
    ControlRoutine thinkSimple;
};

struct WorldScriptHooks {
    void (*clearDialogue)();
    // The running mission's number.
    int32_t (*currentMission)();
    // A named script waypoint at a world position in a star system.
    SceneItem *(*createWaypoint)(double x, double y, double z, int system, const char *name);
    // Takes the object off the mission's list of vital objects.
    void (*removeVitalObject)(SceneItem *item);
    // A missile with ship data hit the player's ship: the mission's hit
    // counter and score word by the missile's type code.
    void (*missileHitPlayer)(int typeCode);
    // Launches the stock ships of a tracked object's system at its place.
    void (*launchStockShips)(TrackNode *node);
    // The value of a named script symbol (a model, a palette), or null; and
    // the object a symbol names now (null when it is gone).
    void *(*symbolValue)(const char *name);
    SceneItem *(*symbolObject)(void *symbol);
    // An object leaves: its dialogue lines go; the dialogue queue emptied at
    // the world's reset.
    void (*cancelDialogue)(SceneItem *owner);
    void (*resetDialogueQueue)();
    // True while a line of the owner (null: anyone) plays; the stock
    // dialogue the step runs on request.
    bool (*dialoguePlaying)(const SceneItem *owner);
    void (*runStockDialogue)();
    // The class set-up a new object of the script takes ("Debris" for a wreck).
    void (*defaultShipClassSetup)(SceneItem *item, const char *name);
    // Once a step: the mission's current objective chosen.
    void (*selectCurrentObjective)();
    // A hit that did no damage still counts for the mission (XHITS).
    void (*countScriptHit)(SceneItem *item);
    // The object a script symbol of that name holds now (null when the name
    // is unknown or holds no object), and the name of the symbol an object
    // was created under (null for none).
    SceneItem *(*objectNamed)(const char *name);
    const char *(*nameOfObject)(const SceneItem *item);
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
    // Weapon selection and the set-speed steps of the cockpit.
    void (*wepSelectPbc)();
    void (*wepSelectMissile)();
    void (*throttleUp)();
    void (*throttleDown)();
    // True while a cockpit mode takes the stick (a special mode, or the
    // weapons station without its flight switch).
    bool (*stickBlocked)();
    // The approach bits to the body the player's ship touched (0 clean).
    void (*reentryStatus)(uint32_t bits);
    void (*capsuleJump)();
    // Shows cockpit text n for a number of ticks; and the text of a fire
    // result (1..4), unless messages are muted.
    void (*showCockpitText)(int index, int ticks);
    void (*showFireResult)(int result);
    // True while the cockpit blocks remote control.
    bool (*remoteBlocked)();
    // Entering remote control (camera zoom off, view mode 2), or leaving it.
    void (*remoteView)(int on);
    void (*redrawCockpit)();
    void (*clearScreen)();
    // Leaves the full-screen view unless it is locked.
    void (*popFullScreen)();
    // The cockpit's current station: 0 none, 1 COM, 2 NAV, 3 WEP, 4 ENG, 5
    // the options screen.
    int32_t (*currentStation)();
    // The cockpit's hit flash.
    void (*setHitFlash)(int32_t value);
    // Cockpit text n of the text table, or null when it is not set.
    const char *(*cockpitText)(int index);
    void (*postFeedText)(const char *text, int colourSet);
    // The weapon-view flag, and the two-state view mode counter.
    void (*setWeaponView)(int on);
    void (*cycleViewMode)();
    // An engineering screen widget takes a colour (its component's health).
    void (*setWidgetColour)(void *widget, int colour);
};

struct WorldHudHooks {
    void (*missionLogAdd)(SceneItem *item, SceneItem *other, int kind, const char *name, const char *otherName);
    void (*missionLogAddText)(const char *text);
    // Empties the HUD's list of elements (world reset).
    void (*clearList)();
    // Moves the HUD's world points by a shift of the world's origin.
    void (*shiftPositions)(float dx, float dy, float dz);
    // The HUD record of one object goes to another.
    void (*moveHudRecord)(SceneItem *from, SceneItem *to);
    // A missile the player launched, listed for the HUD this frame.
    void (*listMissile)(SceneItem *missile, SceneItem *goal, int32_t time);
    // After a star-system change: the markers of objects gone or elsewhere.
    void (*removeOffSystemMarkers)();
    // A labelled marker on an object at a world point, registered.
    void (*addMarker)(HUD *hud, const char *label, SceneItem *item, double x, double y, double z);
    // The navigation map: its ring round a centre, the bodies laid out again,
    // the meshes of the system its body table holds, the view zoomed onto a
    // star or centred on a body entry, the link highlights cleared.
    void (*buildOrbitRing)(float x, float y, float z, float radius);
    void (*layoutBodies)();
    void (*buildSystemMeshes)(int system);
    void (*zoomToStar)(StarRecord *star);
    void (*centreOnEntry)(int entry);
    void (*clearHighlights)();
    // Sets the perimeter box up round an object.
    void (*initPerimeterBox)(HUD *hud, SceneItem *target, uint32_t parameter);
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

// A table of hooks a floor above installs: the table, or an empty one
// while none is installed.
template <class T>
struct InstalledHooks {
    const T *table = nullptr;
    const T &get() const {
        static const T none{};
        return table ? *table : none;
    }
};

// Calls a hook when it is installed; an absent one gives the zero value.
template <class R, class... P, class... A>
R dunCall(R (*hook)(P...), A &&...args) {
    if (hook) return hook(std::forward<A>(args)...);
    if constexpr (!std::is_void_v<R>) return R{};
}
