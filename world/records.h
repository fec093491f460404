// The game-object records of the world and the flag bits of their flag words.
//
// Every record lives in a fixed pool (world/pools.h) and is a plain, trivially
// copyable struct so that a pool reset is a block clear. Fields are named; no
// code relies on word positions. Where one word serves several kinds of
// object, the field's comment names each use. Pointers are native; anything
// stored in a fixed-size 32-bit word (message payloads, AI parameters) is a
// handle (world/handle.h), never a pointer.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct Avatar;
struct TDP;
struct Sim;
struct ShipInfo;
struct Weapon;
struct Action;
struct CollisionModel;
struct HitBox;
struct NodeChannel;
struct DockingPort;
struct ParticleSystem;
struct Particle;
struct EngComponent;
struct EngineSoundSlot;
struct SoundSlot;
struct HUD;
struct ResourceHandle;

// vt_actor, vt_model and vt_material are the rendering library's records;
// the world only keeps references to them.
struct vt_actor;
struct vt_model;
struct vt_material;

// ---------------------------------------------------------------------------
// Routine slots

using SimulatorRoutine = void (*)(SceneItem *item);
using ControlRoutine = void (*)(SceneItem *item);
using MessageHandler = void (*)(SceneItem *item);
using ModelUpdateRoutine = void (*)(SceneItem *item);
using PresentationRoutine = void (*)(SceneItem *item);
// (the part, its world matrix)
using NodeRoutine = void (*)(TDP *node, const Mat4 *world);
// (own object, own node, other object, other node, shared handled flag,
// contact point as three floats)
using ContactHandler = void (*)(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode,
                                int16_t *handled, float *point);

// Object references in fixed 32-bit words are handles (world/handle.h).
using DunHandle = uint32_t;

struct FlightParams;
// An AI speed law: how fast to close a distance (negative: back away). The
// AI installs its steering in the world's tables with its laws.
using SpeedLimitFn = float (*)(SceneItem *ship, const FlightParams *profile, float distance);

// The 48-byte payload of a hit or a destruction (message types 7 and 8):
// eleven words of impact data, then the attacker. In a message it is laid
// out little-endian in this order (world/msghandler.h packs and reads it).
struct DamageRecord {
    DunHandle word0;       // 0: 0, or the part of the object that was struck
    Vec3 point;            // 4: point of impact, relative to the object
    Vec3 velocity;         // 16: velocity of what struck it
    int32_t damage;        // 28
    int32_t secondTerm;    // 32
    uint32_t spare;        // 36
    float mass;            // 40: mass of what struck it
    DunHandle attacker;    // 44
};

// What an event gives its hooks: the point of the contact or the impact, the
// other object of a collision or a docking, and the damage record of a hit
// or a destruction (null for the other events).
struct HookArgument {
    Vec3 point;
    SceneItem *other;
    const DamageRecord *record;
};
using HookAction = void (*)(SceneItem *item, const HookArgument *argument);
// Called when the object is destroyed, with the destruction's record.
using DestroyedHandler = void (*)(SceneItem *item, const DamageRecord *record);

// ---------------------------------------------------------------------------
// SceneItem flags

namespace SceneFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t SolarBody = 0x2;          // a body of the star system (also the Com Module)
constexpr uint32_t BeltTracked = 0x4;        // its deletion recycles or replaces it
constexpr uint32_t LateControl = 0x8;        // control routine runs after the simulators
constexpr uint32_t KeepAcrossSystems = 0x10; // ship or marker kept across star-system changes
constexpr uint32_t SparedBySystemClear = 0x20;
constexpr uint32_t TouchingBody = 0x40;      // per-step mark
constexpr uint32_t InGravityWell = 0x80;     // per-step mark
constexpr uint32_t InAtmosphere = 0x100;     // per-step mark; also: hits cannot be deflected
constexpr uint32_t RecordsNearest = 0x200;
constexpr uint32_t InBelt = 0x400;
constexpr uint32_t Asteroid = 0x800;
constexpr uint32_t Appended = 0x1000;        // kept in the tail section of the object list
constexpr uint32_t Counted = 0x2000;         // deleting it lowers a mission counter
constexpr uint32_t SelfDeleting = 0x2000;    //   (also: deletes itself 100 cs after leaving the contacts)
constexpr uint32_t Tracked = 0x4000;         // listed in the tracking list
constexpr uint32_t Untraceable = 0x8000;     //   (also: losing it from the contacts stops the autopilot)
constexpr uint32_t Vital = 0x10000;          // set by ADD_VITAL; read by the LDS avoidance
constexpr uint32_t LaunchesPlasmaBall = 0x20000;  // a round whose warhead launches a plasma ball
}  // namespace SceneFlag

// ---------------------------------------------------------------------------
// Avatar flags (the 32-bit word) and the 16-bit state word

namespace AvatarFlag {
constexpr uint32_t FreeBody = 0x1;           // wreck or free debris
constexpr uint32_t Ship = 0x4;               // can be targeted
constexpr uint32_t MunitionRound = 0x10;
constexpr uint32_t BeamRound = 0x20;
constexpr uint32_t LaunchedRound = MunitionRound | BeamRound;
constexpr uint32_t Mine = 0x40;              // mines carry 0x50
constexpr uint32_t SideBits = 0x1FC0;        // one bit per side
constexpr uint32_t SideMask = 0x30001FC0;    // sides with the faction bits
constexpr uint32_t ProximityFuse = 0x4000;
constexpr uint32_t HasWeapons = 0x8000;
constexpr uint32_t NavigationBody = 0x400000;
constexpr uint32_t NoMarker = 0x800000;
constexpr uint32_t LagrangeTurned = 0x1000000;   // also: a gravity body approachable conventionally
constexpr uint32_t PlanetBody = 0x2000000;       // also: its actors have been made; halved radius
constexpr uint32_t Damaged = 0x4000000;
constexpr uint32_t Fleeing = 0x8000000;
constexpr uint32_t FactionBits = 0x30000000;
constexpr uint32_t AttackPlayer = 0x40000000;    // on the player's ship: every AI ship attacks it
constexpr uint32_t Dead = 0x80000000;
// A ship in the sense of the targeting tests: Ship and none of NotShipBits.
constexpr uint32_t NotShipBits = 0x40011;
}  // namespace AvatarFlag

namespace AvatarState {
constexpr uint16_t InUse = 0x1;
constexpr uint16_t PerStep = 0x2;            // cleared at the start of every COLLISIONS phase
constexpr uint16_t GravityBody = 0x4;
constexpr uint16_t NoContact = 0x10;         // no contact, never named in messages
constexpr uint16_t DoubledSpeed = 0x20;      // doubled approximate speed; set by impact-attach
}  // namespace AvatarState

// ---------------------------------------------------------------------------
// TDP flags

namespace TDPFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t Hidden = 0x2;             // animation channel kind 14
constexpr uint32_t HasActor = 0x4;           // drawable, part of the hull
constexpr uint32_t Particle = 0x8;           // particle-system node; also "always hit"
constexpr uint32_t Collidable = 0x10;        // set at creation
constexpr uint32_t RayNode = 0x20;           // also: beam texture
constexpr uint32_t HitThisStep = 0x40;
constexpr uint32_t OwnsModel = 0x80;
constexpr uint32_t Joint = 0x100;            // joint or placeholder node
constexpr uint32_t ViewNode = 0x200;         // also: HUD node
constexpr uint32_t MarkerRoot = 0x300;
constexpr uint32_t Edges = 0x400;            // also: wireframe
constexpr uint32_t BoundingEdges = 0x800;
constexpr uint32_t SkyWorld = 0x2000;        // also: spheres only
constexpr uint32_t ReversedAnimation = 0x4000;
constexpr uint32_t SpheresOnly = 0x8000;     // also: LDS field
constexpr uint32_t AsteroidRoot = 0x10000;   // also: light-drive stretch
constexpr uint32_t OwnsMaterial = 0x20000;
}  // namespace TDPFlag

// ---------------------------------------------------------------------------
// Sim flags

namespace SimFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t Lds = 0x2;
constexpr uint32_t Autopilot = 0x4;          // also: guided round aims at the sub-target; no proximity warning
constexpr uint32_t NoDriftDamping = 0x8;
constexpr uint32_t NoSpeedFloor = 0x20;      // also: keeps the engine effect visible
constexpr uint32_t GoalProtected = 0x40;     // goal taken in retaliation
constexpr uint32_t ReentryClean = 0x80;
constexpr uint32_t LdsBlocked = 0x100;       // interdicted; forces a drop-out
constexpr uint32_t CombatStance = 0x1C00;
constexpr uint32_t TurnedThisFrame = 0x2000;
constexpr uint32_t Protected = 0x4000;       // indestructible
constexpr uint32_t NoOwnChoice = 0x8000;
constexpr uint32_t ShieldStruck = 0x10000;   // also: has fired; goal locked
constexpr uint32_t AiHold = 0x20000;         // also: turns not counted; controls disabled
constexpr uint32_t PlayerInputAutopilot = 0x40000;
constexpr uint32_t PlaceNearNav = 0x80000;
constexpr uint32_t Carried = 0x100000;
constexpr uint32_t SpecialDrive = 0x200000;
constexpr uint32_t TimedState = 0x400000;    // also: bounce; shield on
constexpr uint32_t Shielded = 0x800000;
constexpr uint32_t Jumping = 0x1000000;
constexpr uint32_t AiPaused = 0x2000000;     // also: stunned
constexpr uint32_t RamsShields = 0x4000000;
constexpr uint32_t Clamped = 0x8000000;      // no undock
constexpr uint32_t RemoteControllable = 0x10000000;
constexpr uint32_t ReturnHome = 0x20000000;
constexpr uint32_t CollisionCourse = 0x40000000;  // also: range state stops where it stands
constexpr uint32_t Dead = 0x80000000;
}  // namespace SimFlag

namespace ShipFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t GroupHolder = 0x2;
constexpr uint32_t RepairCycle = 0x4;
constexpr uint32_t SpecialWeapon = 0x8;
constexpr uint32_t HomeBase = 0x10;          // also: weapon load point
}  // namespace ShipFlag

namespace WeaponFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t Damaged = 0x8;            // also: unpowered, disabled
constexpr uint32_t Ready = 0x10;
constexpr uint32_t AutoFire = 0x20;          // also: beam
constexpr uint32_t Beam = 0x20;
constexpr uint32_t SingleShot = 0x40;        // fires once per press of the button; every launcher has it
constexpr uint32_t Missile = 0x80;           // a guided munition
constexpr uint32_t Empty = 0x100;
constexpr uint32_t AutoTracking = 0x200;     // also: never leads its target
constexpr uint32_t NeverLead = 0x200;
constexpr uint32_t Launcher = 0x800;         // every launcher has it
constexpr uint32_t HeavyBolt = 0x1000;
constexpr uint32_t Charge = 0x2000;
constexpr uint32_t NoRapid = 0x4000;         // left out of the player's automatic mount choice
constexpr uint32_t NotSelectable = 0x8000;   // skipped when the player cycles the beam weapons
constexpr uint32_t NeedsTarget = 0x10000;
constexpr uint32_t AnyMount = 0x20000;       // the weapon camera may choose it from any mount
constexpr uint32_t Undeflectable = 0x40000;
}  // namespace WeaponFlag

// Weapon classes.
namespace WeaponClass {
constexpr uint16_t Beam = 0;
constexpr uint16_t MissileLauncher = 3;
constexpr uint16_t LdsiLauncher = 4;
constexpr uint16_t Layer = 5;                // drones, probes and mines
constexpr uint16_t AmRelease = 6;
}  // namespace WeaponClass

namespace ActionFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t PointerGiven = 0x2;
constexpr uint32_t CallRoutine = 0x4;
constexpr uint32_t SkipWhilePaused = 0x8;
}  // namespace ActionFlag

namespace PortFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t Docked = 0x2;
constexpr uint32_t Mover = 0x4;
constexpr uint32_t ControlTransfer = 0x8;
constexpr uint32_t Open = 0x10;
constexpr uint32_t TakenIn = 0x20;
constexpr uint32_t TakenInHidden = 0x40;
constexpr uint32_t Reserved = 0x80;
constexpr uint32_t Rotating = 0x100;
}  // namespace PortFlag

// Damage mask bits of a ship.
namespace DamageBit {
constexpr uint16_t Manoeuvring = 0x1;
constexpr uint16_t Drive = 0x2;
constexpr uint16_t Weapons = 0x4;
constexpr uint16_t SubTargetA = 0x8;
constexpr uint16_t SubTargetB = 0x10;
constexpr uint16_t Sensors = 0x20;
constexpr uint16_t Capsule = 0x40;
constexpr uint16_t Structure = 0x80;  // also: brain damaged
constexpr uint16_t Spare = 0x100;
constexpr uint16_t Ring = 0x200;
constexpr uint16_t Docking = 0x400;
}  // namespace DamageBit

// ---------------------------------------------------------------------------
// Records

// The performance block: P1..P8 as given to dunInitFlightParams, the
// derived D1..D4 and the working values. Other code calls its words the
// "22 figures" (figure [i] = word i); the words are not all floats, so they
// are read by name.
struct FlightParams {
    float p1;             // [0] main acceleration / top thrust
    float p2;             // [1] lateral acceleration
    uint32_t p3;          // [2] LDS growth, percent per second
    uint32_t p4;          // [3] maximum LDS speed (0 = no LDS drive); degraded by the sensors damage
    float p300;           // [4] 300.0; LDS spin-up time in centiseconds
    float turnRates[3];   // [5..7] P5, P6, P7: degrees per second
    float workRates[3];   // [8..10] the working copies
    float p8x100;         // [11] P8 x 100: top cruising speed
    float d1;             // [12]
    float d2;             // [13]
    float d3;             // [14]
    float d4;             // [15]
    uint32_t cleared;     // [16]
    uint8_t clearedByte;  // [17]
    uint8_t spare17[3];
    float tail[3];        // [18..20] 0.1, 0.3, 100.0
    uint32_t spare21;     // [21]
};
static_assert(sizeof(FlightParams) == 22 * 4);

struct SceneItem {
    SceneItem *next;
    SceneItem *prev;
    Sim *sim;
    void *linkRecord;      // a record of another module that refers back (the script symbol:
                           // name, then value); deleting the object clears that value
    Avatar *avatar;
    float yawSpin;         // degrees per second about Y (spawned-node simulator)
    float pitchSpin;       // degrees per second about X
    float rollSpin;        // about Z
    float turnDemand[3];   // commanded turn rates, percent of maximum, about X, Y, Z
                           // (pitch, yaw, roll demand of the AI axis controllers)
    float turnRemaining[3];// remaining turn angles in degrees about X, Y, Z
                           // (pitch, yaw, roll in force)
    float sizeA, sizeB;    // two size reals of the script
    uint32_t controlScratch;  // cleared whenever a script replaces the control routine
    uint32_t receiverId;
    SimulatorRoutine simulator;
    ControlRoutine control;
    MessageHandler messageHandler;
    uint32_t releaseFrame;
    uint32_t flags;
    uint16_t systemNumber;
};

struct Avatar {
    Vec3d position;        // copies of the Sim state made by the model-update routine
    Mat4 matrix;
    Vec3 velocity;
    TDP *root;
    ModelUpdateRoutine modelUpdate;
    PresentationRoutine presentation;
    ContactHandler contactHandler;
    DestroyedHandler secondHandler; // the destroyed handler
    int8_t collisionPriority;       // 50 beam rounds, 40 munitions
    char marker;                    // '-' for gas shells
    uint8_t probed;
    uint8_t spare;
    SceneItem *partner;             // docking or carrying partner; firer of a round; towing partner
    SceneItem *attacker;            // last attacker
    int32_t attackCount;            // companion of the attacker
    SceneItem *nearest;
    SceneItem *sidePartner;
    SceneItem *approach;            // the object approached, matched or chased
    SceneItem *ignored;             // ignored object of the collision pass
    float proximity;
    uint32_t contactPartMask;
    float rayLength;
    uint16_t flags16;
    uint32_t flags;
    uint32_t thrusterFlags;         // thruster display flags read by the presentation
    int32_t boostTimer;
    EngineSoundSlot *engineSound;
    int32_t channelValues[16];      // read by the animation channels; [0] also a distance or limit
    SceneItem *objectA;             // carried object / launcher of a round / aim object
    SceneItem *objectB;
    uint32_t colourIndex;
    uint32_t pendingDamageKind;
    const char *waypointName;       // also the label or name text
    uint32_t lifetime;              // centiseconds
    SceneItem *beltAnchor;
    uint32_t scoreRecord;           // score key
    // Presentation and AI words
    int32_t effectCounter;
    int32_t lightLevel;             // scale in ten-thousandths of a viewer-facing object
    uint32_t lightMask;
    SceneItem *roundAttacker;       // the firing ship of a round
    uint32_t destination;
    int32_t standoff;               // standoff distance; a planet's type
    int32_t planetSeed;             // also a reload countdown
    TDP *nextBreakPart;             // next part of a breaking wreck
    int8_t breakGeneration;         // pieces of a break one below what they broke off
    SceneItem *subject;             // camera subject; mothership; defended object
    Weapon *roundWeapon;
    int32_t lifetimeCounter;        // also a camera's approach rate
    SceneItem *preyCursor;
    Vec3 *mountOffset;              // a round's muzzle offset link
    int32_t cameraMinDistance;
    int32_t lightPercent;
    int32_t scale;                  // scale and motor values of the script
    int32_t motor;
    SceneItem *waypointBack;
    SceneItem *waypointForward;
    SceneItem *cameraTarget;
    SceneItem *destroyedBy;
    int32_t starCode;               // a body's star code (capsule jumps); 0 none
    void *attachedSound;
    uint32_t viewerState[8];        // viewer state words of the local-space viewer's camera
    DockingPort *dockPort;          // the port a docking mover is placed by
    int32_t pulseRadius;            // an interdictor round's pulse radius (the belt-anchor word)
    int32_t pulseClock;             // centiseconds since the last interdiction pulse
    int32_t followDistance;         // the distance a follower keeps (its second object word)
    ParticleSystem *beltPoints;     // the points a belt object moves between (its second object word)
    Particle *heldPoint;            // the point a belt object holds (its colour-index word)
};

struct TDP {
    TDP *child;            // first child
    TDP *sibling;          // next sibling
    SceneItem *owner;
    NodeRoutine routine;
    uint8_t colour[3];
    uint8_t spareColour;
    uint32_t presentWord[2];
    uint32_t flags;
    NodeChannel *channels;
    Vec3 offset;           // position relative to the parent at creation
    Vec3 offsetVelocity;   // per second
    Vec3 worldPosition;
    Vec3 viewPosition;     // view-space relative position
    const char *materialName;
    uint32_t presentWords[3];
    Mat4 local;
    float radius;
    CollisionModel *collision;
    int16_t screenRect[4];
    uint16_t colourIndex;
    vt_actor *actor;
    void *particleOrMaterial;   // ParticleSystem* (flag 8) or vt_material* (flag 0x20000)
    void *model;                // vt_model*, or a HUD record for HUD nodes
    void *savedModel[3];        // detail levels and the planet restore
    uint32_t presentTail[2];
    uint32_t drawnFrame;        // the frame counter when the renderer last drew the part (screenRect is of then)
};

struct GravityWell {
    float depth;
    SceneItem *body;       // the gravity body; also the carrier of a carried object
    Vec3 offset;           // offset from the carrier
    Vec3 direction;
    float altitude;
};

struct Sim {
    ShipInfo *shipInfo;
    Mat4 matrix;           // rows X, Y, Z axes, then the float position and 1.0
    SceneItem *goal;       // weapon target
    void *goalSymbol;      // a waypoint's script symbol ("ATTACH_WAYPT") instead of a goal
    SceneItem *target;     // navigation target
    SceneItem *autopilotTarget;
    FlightParams *flight;
    uint32_t weaponCount;
    Weapon *weapons;
    Weapon *currentWeapon;
    void *contactBack;     // set by the contact list
    float speed;           // 1850 plasma ball, 50 wreck
    float approxSpeed;
    Vec3d position;        // authoritative position
    Vec3 velocity;         // per second
    Vec3 bodyVelocity;     // velocity in the object's own axes
    float forwardSpeed;
    Vec3 drive;            // added to the velocity by some simulators
    float demandSpeed;
    float setSpeed;
    Vec3 thrust;           // lateral, vertical, forward; in LDS the forward is the LDS speed
    Vec3 turnRates;        // degrees per second about X, Y, Z
    uint16_t flightMode;   // flight assist: 0 off, 1 and 2 speed hold
    int32_t ldsRamp;
    float ldsTarget;
    float ldsDemand;
    SceneItem *host;       // carrier in a bay
    GravityWell gravity;
    uint32_t timeStamp;
    Vec3 tumble;
    float radius;
    float mass;
    float signature;
    float emission;
    uint32_t flags;
    uint16_t kind;         // 1 munitions
    int32_t fuel;          // rounds and missiles; the LDS counter
    int32_t hull;          // percent; signed so that "falls below 0" can happen
    int16_t timer;         // centiseconds, counted down in the CONTROL phase while positive
    uint16_t componentCount;
    EngComponent *components;
    Action *hooks;
    Mat4 previous;         // the matrix before the current SIMULATION phase
    uint16_t shipClock[2];
    uint32_t controlValue;
    float limits[2];
    Vec3 arrivalOffset;  // from the body the object arrived at, along its Z axis
};

struct ShipDamage {
    int32_t armour;
    int32_t maximum;
    int32_t damage;          // hull percent = 100 - damage x 100 / maximum
    uint16_t mask;           // DamageBit
    int16_t hitLevel;        // 0..7, widens the choice of subsystems
};

// A node of a ship's list of attached objects.
struct AttachedNode {
    AttachedNode *next;
    SceneItem *object;
};
// One order of a ship's brain: what makes it worth doing (an evaluation
// routine with two parameters, times a weight) and the AI state that carries
// it out. The brain (ai/brain.h) owns every word of it.
struct OrderSlot;
// (ship, parameter 1, parameter 2, its slot) -> priority 0..100.
using OrderEvaluation = int32_t (*)(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);

struct OrderSlot {
    const char *name;        // an order table name or the caller's own text; null: no name
    uint32_t flags;          // OrderFlag
    int8_t prerequisite;     // 0 none, else the slot that must be done first
    int32_t delay;           // centiseconds; eligible only at 0 or less
    uint32_t reserved;       // stored and cleared, read by nothing
    int32_t weight;          // the evaluation's result is multiplied by it
    OrderEvaluation evaluation;  // null: the slot is free
    uint32_t params[2];      // the evaluation's: a handle or a number, by routine
    int32_t priority;        // the last evaluation x weight
    uint32_t startState;     // the AI state that starts the order, with its parameters
    uint32_t stateParams[3];
    DunHandle savedTarget;   // the Sim target and goal when the ship last left the slot
    DunHandle savedGoal;
};

namespace OrderFlag {
constexpr uint32_t Held = 0x1;  // never eligible while set
constexpr uint32_t Done = 0x2;  // its state stack has emptied, or its object went
}  // namespace OrderFlag

// One frame of a ship's AI state stack, which the AI runs. The words that
// name an object (parameters, and locals that keep one) hold handles.
struct StateFrame {
    uint32_t state;          // state id; 0 an empty frame ("Null" at the bottom)
    uint32_t params[3];      // the state's own: a handle, a number or a mask
    uint16_t step;           // where the handler is entered next; 0 and 1 are the first entry
    float lastResult;        // of the sub-state that finished last; 0 when pushed
    int32_t threshold;       // thousandths of a result, compared when a sub-state finishes
    uint16_t altStep;        // the step taken when the branch is taken
    int32_t resultSlot;      // local 0..4 that receives each sub-state's result x 1000; 5 none
    int32_t locals[5];       // the handler's own, kept between frames
    uint32_t branchFlags;    // StateBranch
};

namespace StateBranch {
constexpr uint32_t Below = 0x2;  // take altStep when a result is below the threshold
constexpr uint32_t Above = 0x4;  // take altStep when a result is above it
}  // namespace StateBranch

constexpr int kStateFrames = 12;

struct ShipInfo {
    const char *className;   // also the class record reference / full name
    const char *name;        // short name
    uint16_t typeCode;       // index of the kill-value table
    int16_t side;
    int32_t wreckWords[2];
    int16_t skill;           // 50 nominal
    int16_t rank;
    int16_t accuracy;
    int16_t group;
    SceneItem *leader;
    uint32_t classFlags;
    uint32_t flags;
    uint32_t scoreWord;      // compared with a score record's first word (message 26)
    FlightParams current;
    FlightParams nominal;
    OrderSlot orders[8];
    int16_t currentOrder;
    int16_t roundRobin;
    int32_t evalClock;       // centiseconds gathered toward the next evaluation
    const char *programLabel;
    uint32_t lastState;      // what the state stack returned last frame
    StateFrame states[kStateFrames];
    int16_t stateTop;        // index of the top frame, stored when the stack yields
    ShipDamage damage;
    int32_t repairValues[2]; // the script's two repair values; the class set-up and SHINFO
                             // also make them the damage block's armour and maximum
    int32_t repairPool;
    float ranges[2];
    int32_t hullStrength;    // collision figures
    int32_t ramMass;
    int16_t ramBonus;
    uint8_t capsule;         // 64: never marked for a capsule jump by a body
    uint16_t carriedCount;
    DockingPort *ports;
    int8_t defenceCount;
    SceneItem *defenceTarget[4];
    uint8_t defenceChance[4];
    AttachedNode *attached;  // the objects attached to the ship
    SceneItem *fireTargets[2];
    SceneItem *subTargets[2];
    uint8_t subTargetHealth[5];  // by sub-target slot; the script sets up slots 1 to 4
    uint8_t ldaPower[3];     // the engineering model's power of the upper (1) and lower (2) LDA
};

struct Weapon {
    uint16_t weaponClass;
    uint32_t flags;
    const char *name;
    int16_t typeNumber;
    Weapon *next;
    Weapon *prev;
    uint16_t mountCode;
    Vec3 mount;              // in the ship's frame
    EngComponent *component;
    uint32_t clearedWord;
    TDP *aimNode;
    float arc;
    float reloadTimer;
    float speed;
    float reloadTime;
    float range;
    uint16_t rounds[3];
    float launch[5];
    uint16_t roundLifetime;
    void (*launchRoutine)(Weapon *weapon, SceneItem *round);  // after each launch; none for beams
    uint32_t visualKind;     // beam weapons: the bolt's visual kind
    void *shape;             // launchers: the round's model
    int32_t spareInt;
    int32_t damage;          // 100 or more: destroyed
    int32_t constant;
    int32_t penetration;
    float spareFloat;
    float charge;            // a charge weapon's charge, in place of its loose rounds
    SceneItem *target;       // last fired at
    int32_t powerCharge;     // the charge the engineering model gives a powered beam weapon
};

// A mount's firing arc as the HUD and the weapon camera see it: four
// corners and the centre, then the azimuth lower and upper and elevation
// lower and upper limits in degrees.
struct ArcOutline {
    Vec3 points[5];
    float angles[4];
};

struct Action {
    Action *next;
    uint32_t eventId;
    uint32_t flags;
    HookAction routine;            // called with flag 4
    const ResourceHandle *video;   // otherwise: the named video it plays
};

// One component of the player's engineering network.
struct RepairTeam;
struct ValueRecorder;
struct EngComponent {
    uint32_t displayClass;
    EngComponent *next;
    const char *names[3];       // English, French, German
    uint32_t screenFlag;
    EngComponent *inputs[4];
    float value;                // delivered output
    float level;                // before health
    float health;               // 1.0 intact .. 0.0 destroyed
    float temperature;          // kelvin
    uint8_t switchedOn;
    uint8_t preRuleOn;
    void (*preRule)(EngComponent *component);
    void (*rule)(EngComponent *component);
    uint16_t group;
    uint16_t repairDifficulty;
    uint16_t repairEstimate;
    uint16_t index;
    uint32_t subsystemBits;     // damage-mask bits the component stands for
    int32_t heatInput;
    uint16_t kind;              // 1..5
    RepairTeam *repairTeam;
    uint16_t repairDone;
    ValueRecorder *recorder;
    void *screenWidget;
    uint8_t notRepairable;
};

struct HitBox {
    Vec3 upper;
    Vec3 lower;
    HitBox *next;
    uint32_t flags;          // 4 negative; bits 8..16 the part bits
};

struct CollisionModel {
    float size;
    Vec3 points[16];
    float eyeDistance;       // where the cockpit camera sits ahead of the centre
    Vec3 boundsLower;
    Vec3 boundsUpper;
    uint32_t pointMasks[16];
    int8_t pointCount;
    HitBox *boxes;
    const void *id;          // the model it belongs to
    CollisionModel *next;
};

struct NodeChannel {
    NodeChannel *next;
    uint8_t kind;
    uint8_t index;
    uint8_t spare[2];
};

struct DockingPort {
    DockingPort *next;
    DockingPort *mated;
    SceneItem *partner;
    Vec3 position;           // 100 x the values given at creation
    float angleX;
    float angleY;
    float roll;
    uint32_t mask;
    uint32_t flags;
    int16_t size;
    ControlRoutine savedControl;
    SimulatorRoutine savedSimulator;
    vt_model *replacement;
    uint32_t reservation;
};

// One of the engine-sound slots an Avatar may carry: the sound slot and the
// object that currently owns it, the nearest of those that want it.
struct EngineSoundSlot {
    SoundSlot *slot;
    SceneItem *owner;
    float distance;
};

// Particle records of the presentation's effects; the pools live here (the
// presentation fills and moves them, the world's belts and event hooks read
// them).
// A nav light's use of a point's velocity words: its blink clock (for a
// steady light its mode: 1 counting down, 2 the engine glow, any other a
// light following its owner's light mask), the ticks it is lit, and its
// on + off ticks (a steady light's mask bits, or what a countdown light has
// left).
struct NavBlink {
    uint16_t phase;
    int16_t onTicks;
    int16_t cycleTicks;
};

struct Particle {
    Vec3 pos;                // world units; in the system's frame for the 3D card's geometry
    Vec3 local;              // offset in the owner's frame (nav lights x 100, rings, swarms);
                             // puffs: [y] the parent point's index; streaks: the last screen position
    uint32_t link;           // another point of the system (streak pairs of nav lights)
    Vec3 screen;             // projected x, y, depth; depth 0: not drawn
    union {
        Vec3 vel;            // world units per second
        NavBlink blink;      // nav lights: their clock or mode, and their timing
    };
    int16_t life;            // ticks left, 0 or less dead; nav lights 1 lit; belt points 1 free
    float size;
    uint16_t colour;         // low byte the palette colour; high byte a nav light's mask bits
    uint16_t shade;          // ramp step: 32 when emitted, counting down; the belt's "alpha"
};
static_assert(sizeof(Particle) == 64);

namespace ParticleFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t HasLife = 0x2;
constexpr uint32_t NavLights = 0x8;
constexpr uint32_t Mover = 0x10;
constexpr uint32_t StaticCloud = 0x40;
constexpr uint32_t Hidden = 0x80;
constexpr uint32_t OneShot = 0x100;
constexpr uint32_t Sphere = 0x200;
constexpr uint32_t Stream = 0x400;
constexpr uint32_t LifeScaled = 0x800;
constexpr uint32_t Slowed = 0x1000;
constexpr uint32_t RingBurst = 0x4000;
constexpr uint32_t HullVertices = 0x8000;
constexpr uint32_t NoOwnerVelocity = 0x10000;
constexpr uint32_t Ring = 0x20000;
constexpr uint32_t OwnColour = 0x40000;
constexpr uint32_t Growing = 0x80000;
constexpr uint32_t Puffs = 0x100000;
constexpr uint32_t Swarm = 0x200000;
constexpr uint32_t NoBlend = 0x400000;
constexpr uint32_t Shell = 0x800000;
constexpr uint32_t HullBand = 0x1000000;
constexpr uint32_t NavGeometryDone = 0x2000000;
constexpr uint32_t Drag = 0x4000000;
constexpr uint32_t Chain = 0x8000000;
constexpr uint32_t OneShotUpdate = 0x10000000;
}  // namespace ParticleFlag

struct ParticleSystem {
    Particle *points;        // the pool slot's array (250 in pool A, 44 in pool B)
    int16_t count;           // points in use
    int16_t kind;            // 0 sprites, 2 streaks, 4 triangles, 6 the 3D card's geometry
    int16_t active;          // 1 while it emits
    Vec3 position;           // the emitter, copied from its part each frame
    int16_t life;            // ticks left; 32767 endless
    int16_t initialLife;
    int32_t rate;            // points per second
    DunHandle owner;         // the object it belongs to
    float speed;             // emission speed, world units per second
    int16_t particleLife;    // life of one emitted point
    float cone;              // degrees
    uint32_t lastFaceCount;  // face count of the last full geometry update
    float spread;            // diameter of the emission sphere
    uint32_t flags;          // ParticleFlag
    uint8_t ramp[32];        // palette colours by ramp step
    vt_model *model;         // the 3D card's geometry
    void *extras;            // 20 bytes a point (3D card puffs); freed on release
    uint32_t frameStamp;     // the frame of the last update
};

// A head-up display element: a small wire shape (points and coloured edges)
// that follows a world object, or a carrier for a 2D overlay's own draw
// routine. The HUD (hud/hud.h) owns everything but the pool's in-use bit.
constexpr int kHudPoints = 250;
constexpr int kHudEdges = 350;

struct HUDPoint {
    Vec3 world;              // the position that is projected
    Vec3 local;              // in the target's model space; with flag 0x40 a screen offset
    float screenX, screenY;  // relative to the view's centre, written by the projection
    float depth;
    uint32_t flags;          // 2: projected
};

struct HUDEdge {
    int16_t from, to;
    uint8_t colour;          // palette index; 0: not drawn
};

struct GuiWindow;
using HudRebuildRoutine = void (*)(HUD *hud, SceneItem *target, uint32_t parameter);
using HudRoutine = void (*)(HUD *hud);

namespace HudFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t Element = 0x10;          // set by most element constructors
constexpr uint32_t RelativeToTarget = 0x20;
constexpr uint32_t ScreenOffset = 0x40;     // the local triple is added to the projection
constexpr uint32_t DepthCue = 0x80;         // farther edges drawn darker
constexpr uint32_t Hidden = 0x100;
constexpr uint32_t LiveShip = 0x200;        // drawn only while the target is a live ship
constexpr uint32_t Untargeted = 0x400;      // drawn with a rebuild routine and no target
constexpr uint32_t MarkerVariant = 0x800;   // also: a waypoint's marker that was passed
constexpr uint32_t Untargeted2 = 0x1000;
constexpr uint32_t Points = 0x8000;         // edges drawn as points
constexpr uint32_t WorldAnchored = 0x20000; // moved with the world's origin
constexpr uint32_t WeaponZoom = 0x40000;    // projected with the weapon view's zoom
}  // namespace HudFlag

struct HUD {
    const char *label;
    uint16_t pointCount;     // read as signed
    uint16_t edgeCount;
    SceneItem *target;
    HudRebuildRoutine rebuild;   // the player's selected target changed
    HudRoutine perFrame;
    HudRoutine reserved;         // never called
    HudRoutine draw;             // null: the default wire drawing
    uint32_t parameter;          // handed back to rebuild
    uint32_t flags;              // HudFlag
    int32_t values[3];           // the element's own integers
    float farDepth, nearDepth;   // of the last projection
    GuiWindow *window;           // the station window an element is hung on
    int16_t ring[2];             // a trail's next point and next edge
    HUDPoint points[kHudPoints];
    HUDEdge edges[kHudEdges];
};

// A node of a flat wire drawing (the schematic and map views): its model's
// plan, where it sits, its colour and which display filter shows it.
namespace WireframeFlag {
constexpr uint32_t Drawn = 0x2;     // some part was big enough this pass
constexpr uint32_t Shown = 0x4;
constexpr uint32_t Anchor = 0x8;    // only reports its screen place
constexpr uint32_t Parts = 0x10;    // drawn part by part
}  // namespace WireframeFlag
struct WireframeNode {
    uint32_t flags;
    WireframeNode *child;
    WireframeNode *sibling;
    uint16_t mask;                  // shown when it shares a bit with the display filter (the script's tag)
    uint16_t colour;                // palette index; 65535 none (an anchor)
    void *shape;                    // its WireframeModel; an anchor's two-u16 place record
    float x, y;                     // its place in model units
    const char *const *labels;      // the text of language l at index 2 + l
    EngComponent *component;        // the engineering component it stands for
};
