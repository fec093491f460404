// Weapons of a ship: hard points and their firing arcs, the weapon list,
// the nineteen weapon types and their munitions, firing and reload.
//
// A hard point's mount code (16 bits) holds a direction in its low four
// bits (0 and 1 forward along +z, 3 along -x, 5 back, 7 along +x, the even
// codes on the diagonals between them, 9 all round), an azimuth class in
// bits 4..7 and an elevation class in bits 8..11 (MountCode below).
#pragma once

#include <cstdint>

#include "RES/vecmath.h"
#include "world/records.h"

struct TDP;

namespace MountCode {
constexpr uint16_t Direction = 0x000F;
constexpr uint16_t AllRound = 9;
constexpr uint16_t Azimuth = 0x00F0;
constexpr uint16_t AzimuthHalfSpace = 0x20;  // any other: +-30 degrees
constexpr uint16_t Azimuth3 = 0x30;
constexpr uint16_t Azimuth15 = 0x40;
constexpr uint16_t Elevation = 0x0F00;
constexpr uint16_t UpperHalf = 0x100;  // any other: +-30 degrees
constexpr uint16_t LowerHalf = 0x200;
constexpr uint16_t Elevation75 = 0x300;
constexpr uint16_t Elevation15 = 0x400;
}  // namespace MountCode

// ---- hard points -----------------------------------------------------------------------

// Whether the point (x, y, z), in the ship's frame relative to the hard
// point, lies in the mount's arc and (for a beam weapon of a ship other than
// the controlled object) within twice the weapon's range: 0xFF or 0. The
// controlled object fires from the weapons station with wide arcs.
uint8_t dunMountArcTest(SceneItem *ship, float x, float y, float z, uint16_t mountCode, const Weapon *weapon);
// Set while a shot ignores the range (the fire control's own shots).
extern uint8_t dunIgnoreRange;
// The unit direction of a mount code's low four bits in the ship's frame
// (+z forward); all-round and unknown codes point forward.
void dunMountPosition(Vec3 *out, uint16_t mountCode);
// An orientation looking along (dx, dy, dz), turned about its Y axis by the
// direction's firing angle.
void dunMountFrame(uint16_t mountCode, Mat4 *out, float dx, float dy, float dz);

// ---- the weapon list ---------------------------------------------------------------------

// A Weapon from the pool (a full pool stops the game) at the end of the
// ship's list, at the default engineering component, remembered as the last
// weapon made; the ship gets the has-weapons flag. Null for an object
// without a Sim.
Weapon *dunAppendWeapon(SceneItem *ship);
// Detaches and releases every Weapon of the ship.
void dunClearWeapons(SceneItem *ship);
extern Weapon *dunLastWeapon;
// Beam weapons made on the player's ship.
extern int32_t dunPlayerPbcCount;
// The component a new weapon reloads by until the engineering network
// rewires it: always whole.
extern EngComponent dunDefaultWeaponComponent;

void dunWeaponSetBallistics(Weapon *weapon, int32_t spare, int32_t damage, int32_t penetration, float spareFloat,
                            int32_t constant3);
void dunWeaponSetPerformance(Weapon *weapon, float reloadTime, float range, float speed, int32_t lifetime);
void dunWeaponSetMunition(Weapon *weapon, float reloadTime, float speed, float rackReload, int32_t rounds,
                          int32_t perRack, int32_t racks, float p1, float p2, float p3, float p4, float p5,
                          int32_t lifetime);
void dunWeaponSetMount(Weapon *weapon, float x, float y, float z, uint16_t mountCode, TDP *aimNode, float arc);

// ---- weapon types --------------------------------------------------------------------------

// The weapon-type table: a creator per type, and its names in the three
// languages. A creator appends a Weapon to the ship's list at the mount
// offset with the mount code, fills it and returns it (null for an object
// without a Sim).
using WeaponCreator = Weapon *(*)(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
struct WeaponTypeDef {
    WeaponCreator create;
    const char *names[3];
};
constexpr int kWeaponTypeCount = 19;
// The 19 rows, then a row without a creator.
extern const WeaponTypeDef kWeaponTypes[kWeaponTypeCount + 1];

Weapon *dunCreatePBC(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCHev(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCLite(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCGtl(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCFar(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateSeeker(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateLDSI(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateProbe(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateAMRelease(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCIon(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCXL(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateMine(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreatePBCSlo(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateRecProbe(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateRemMissile(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateECMFlare(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateDisruptor(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateTacnuke(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
Weapon *dunCreateSniperPBC(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);

// ---- munitions -------------------------------------------------------------------------------

// The munition shapes (null when missing). The shape library keeps each
// model once a mission: a later call finds the same one.
void *dunLoadMissileShape();
void *dunLoadLdsiShape();
void *dunLoadProbeShape();
void *dunLoadMineShape();

// The launch routines: what a freshly fired round of the weapon becomes.
void dunLaunchSeeker(Weapon *weapon, SceneItem *round);
void dunLaunchTacnuke(Weapon *weapon, SceneItem *round);
void dunLaunchDisruptor(Weapon *weapon, SceneItem *round);
void dunLaunchLDSI(Weapon *weapon, SceneItem *round);
void dunLaunchECMFlare(Weapon *weapon, SceneItem *round);
void dunLaunchProbe(Weapon *weapon, SceneItem *round);
void dunLaunchMine(Weapon *weapon, SceneItem *round);
void dunLaunchRecProbe(Weapon *weapon, SceneItem *round);
void dunLaunchRemMissile(Weapon *weapon, SceneItem *round);

// ---- firing ------------------------------------------------------------------------------------

// Why a weapon did not fire (0: it fired).
enum class FireResult : int16_t {
    Fired = 0,
    Disabled = 1,
    Frozen = 2,      // the simulation is frozen, or the weapon is empty
    NoTarget = 3,    // needs a target, or the aim lies outside an AI beam mount's arc
    InLds = 4,       // only the interdictor launcher fires in the fast drive
    Reloading = 5,
};

// The look of a side's bolts: beam texture, nav-light colour index,
// particle colour and flash colour (0xRRGGBB).
struct SideAppearance {
    const char *texture;
    int navColour;
    int particleColour;
    uint32_t flash;
};
// Sides 0..6; any other side looks like the navy's.
const SideAppearance &dunSideAppearance(int side);

// The player's fire modes, which the weapons station switches: rapid beam
// fire (no leading, quarter reload), moving to the next hostile after each
// shot from the station, and the view switch that takes the aim error away.
extern uint8_t dunRapidBeamMode;
extern uint8_t dunAutoCycleTargets;
extern uint8_t dunPlayerViewSwitch;
// The HUD's verdict that the selected sub-target is too far to aim at.
extern uint8_t dunSubTargetOutOfRange;
// The player's beam shots and launches.
extern int32_t dunPlayerBeamShots;
extern int32_t dunPlayerMunitionShots;
// How head-on the last bolt was to the camera: its direction from the
// camera, and its own axis, against the camera's forward axis.
extern float dunHeadOn[2];
// The game text of the missile warning.
constexpr int kMissileWarningText = 45;

// The n-th Weapon of the ship (1-based), the last one when n is too large;
// null when it has none.
Weapon *dunNthWeapon(SceneItem *ship, int n);
// Aims the weapons of mount 0 or 1 at the best target of the masks.
void dunPickTargetPoint(SceneItem *item, int mount, uint32_t targetMask, uint32_t sideBits);
// Once a step: reload countdown and at most one automatic beam shot at a
// nearby wreck (an AI ship's); the same without a ship (reload only).
void dunUpdateWeapons(SceneItem *ship);
void dunUpdateWeaponsNoOwner(SceneItem *ship);
// One round from the weapon at the target (none: the weapon's own).
FireResult dunFireWeapon(SceneItem *target, SceneItem *ship, Weapon *weapon);
// The same without the beam's range limit.
FireResult dunFireIgnoringRange(SceneItem *target, SceneItem *ship, Weapon *weapon);
// The unit direction a mount fires in when it has nothing to aim at (ship's
// frame): side mounts 5 degrees forward of abeam.
Vec3 dunStraightOut(uint16_t mountCode);
// Leads the target: the aim point moves by the relative velocity over the
// flight time, which is at least 0.2 s; the round's speed drops for a close
// target, to no less than an eighth.
void dunLeadTarget(SceneItem *ship, SceneItem *target, Vec3d *point, float *speed);
// Chooses the mount for the point (world, or already in the ship's frame)
// and fires when it lies in the arc; nothing without a current weapon.
void dunAimAndFireAtPoint(SceneItem *ship, float x, float y, float z, SceneItem *target);
void dunAimAndFireLocal(SceneItem *ship, float x, float y, float z, SceneItem *target);
// The bolts' look: the presentation routine of a bolt, its model (visual
// kind, variant 0..3; null when none is built) and the particle trail a
// head-on bolt shows.
void dunBoltPresentation(SceneItem *bolt);
void *dunBoltModel(int visualKind, int variant);
void dunAddBoltTrail(SceneItem *bolt, int colour);

// ---- mount choice and searches ------------------------------------------------------------

// The sector 1..8 of a direction in the ship's frame (1 ahead, 3 to the
// left, 5 behind, 7 to the right), and how many sectors a mount is off it.
int dunDirectionSector(float x, float y, float z);
int dunMountSectorDistance(uint16_t mountCode, int sector);
// The ready weapon that fires soonest and hardest; the ship's weapon for a
// direction: an AI ship's, the player's (beam weapons only), and the weapon
// camera's of a type number.
Weapon *dunBestReadyWeapon(Weapon *list);
Weapon *dunChooseAutoMount(float x, float y, float z, Weapon *list);
Weapon *dunChooseMountTowards(float x, float y, float z, Weapon *list, int typeNumber);
// What a sensor of the given range reads of the object's Avatar flags at a
// distance: nothing beyond the range, the truth within the clear range, a
// few flipped bits between.
struct SensorRange {
    float maximum;
    float clear;
};
uint32_t dunSensedFlags(const SensorRange *range, const SceneItem *object, float distance);
// The nearest object with every bit of the include mask and none of the
// exclude mask (maxDistance 0: any distance); the nearest ship in the
// mount's arc with any bit of the include mask (or the ship's attacker that
// is after it).
SceneItem *dunNearestShipByFlags(const SensorRange *range, uint32_t include, uint32_t exclude, SceneItem *ship,
                                 float maxDistance);
SceneItem *dunNearestTargetInArc(const SensorRange *range, uint32_t include, uint32_t exclude, SceneItem *ship,
                                 float maxDistance, uint16_t mountCode);
// Ships counted by side (0..6) once a step.
extern uint16_t dunShipsPerSide[7];
void dunCountShipsPerSide();
// The head-on values cleared at the start of a step.
void dunClearHeadOnValues();
// The arc's corner offsets of a mount code (sines of the azimuth and
// elevation limits).
void dunMountArcOffsets(uint16_t mountCode, float out[8]);

// Fills the outline (world/records.h) of a mount code.
struct ArcOutline;
void dunPlaceMount(ArcOutline *outline, uint16_t mountCode);
// The weapon of the list whose mount faces the direction (ship's frame)
// best, or null.
Weapon *dunChooseMount(float x, float y, float z, Weapon *list);
// The sub-target volume of the selected target the player aims at, or null.
struct HitBox;
extern HitBox *dunCurrentSubTarget;
// The aiming reticle of the weapons view, drawn last by the HUD's contact
// drawing with the HUD's sight record.
struct HudSight;
void dunDrawTargetReticle(HudSight *sight);
// The reticle's scale in percent (1000 on a new target, easing to 100), its
// in-arc verdict of the last frame, its off switch, and the surface it draws
// on (null: the screen).
struct Surface;
extern float dunReticleScale;
extern uint8_t dunReticleInArc;
extern uint8_t dunReticleOff;
extern Surface *dunReticleSurface;
// Draws a shape's edges (point pairs, the list ended by -1) at a centre and
// a scale in percent, clipped to the view.
void dunDrawShape(int cx, int cy, float scale, const int16_t *points, const int16_t *edges, int colour);
extern const int16_t kReticleOpenPoints[], kReticleOpenEdges[], kReticleLockedPoints[], kReticleLockedEdges[];

// Ammunition counters: every counter of that name shows the weapon's rounds
// (the symbol goes to the last one bound); and all counters refreshed.
struct ScriptSymbol;
void dunBindAmmoGauge(const char *name, Weapon *weapon, int32_t parameter, ScriptSymbol *symbol);
void dunUpdateAmmoGauges();
// A defence slot's deflection chance; the slot count rises to n + 1.
constexpr int kDefenceSlots = 4;
// A slot outside 0..3 is a script error: reported, and false.
bool dunSetSubTargetSlot(SceneItem *ship, int chance, int n);
// The contact routine of every round.
void dunProjectileImpact(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                         float *point);
// The last ready interdictor launcher fires at the target (a mission log
// line), the last ready flare launcher drops a flare.
void dunFireLDSI(SceneItem *ship, SceneItem *target);
void dunDropECMFlare(SceneItem *ship);
