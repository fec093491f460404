// The universe: the catalogue of star-system bodies and the star catalogue,
// read once a run; the star system the player is in and the change to
// another; the map state the world shares with the navigation map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RES/vecmath.h"

struct SceneItem;

// ---- The bodies ---------------------------------------------------------------------------

namespace BodyFlag {
constexpr uint32_t Star = 0x1;
constexpr uint32_t Planet = 0x2;
constexpr uint32_t Moon = 0x4;
constexpr uint32_t Lagrange = 0x40;
constexpr uint32_t Belt = 0x100;
constexpr uint32_t LeadingPoint = 0x800;  // the parent's longitude + 60 degrees (an "L4" row)
constexpr uint32_t TrailingPoint = 0x1000;  // - 60 degrees
constexpr uint32_t Generated = 0x2000;  // a "G" planet (0x2002 with the planet bit)
constexpr uint32_t HasChildren = 0x4000;
constexpr uint32_t MissionBody = 0x8000;
constexpr uint32_t HasLagrange = 0x10000;
// Planets, moons and "G" bodies.
constexpr uint32_t PlanetClasses = 0x2006;
}  // namespace BodyFlag

// One row of the bodies file; bodies of star system n carry ids
// (n - 1) x 100 to n x 100 - 1.
struct BodyRecord {
    int16_t id;
    char *name;  // an own copy; the map may cut an alias off it
    BodyRecord *parent;  // none for a system's root
    BodyRecord *firstChild;
    BodyRecord *nextSibling;  // children in file order
    Vec3d *mapPosition;  // the body's entry in the map's current-system table, or none
    SceneItem *object;  // while its system is current
    uint32_t flags;
    uint16_t appearance;  // planet texture number (1-based), 0 generated
    float surface;  // non-zero: generated texture type 1
    float mass;
    float radius;
    float orbitRadius;  // semi-major axis
    float period;
    float longitude;  // degrees about the vertical axis
    float eccentricity;  // a ratio of the orbit radius
    float inclination;  // degrees (the file's value doubled)
    float phase;  // fraction of a revolution at time 0
    float outerChildOrbit;  // largest orbit radius of its children
};

// The body table in file order.
extern std::vector<BodyRecord> dunBodies;

// ---- The stars ----------------------------------------------------------------------------

namespace StarFlag {
constexpr uint32_t HasSystem = 0x4;
constexpr uint32_t Near = 0x8;
constexpr uint32_t Visited = 0x10;
constexpr uint32_t MissionStar = 0x80;
constexpr uint32_t Visible = 0x100;
}  // namespace StarFlag

constexpr int kStarCount = 3900;
constexpr size_t kStarRecordBytes = 45;

struct StarRecord {
    float x, y, z;
    char name[21];  // the file's 20 bytes, NUL-padded, always terminated; empty: unnamed
    const char *namePointer;  // the record's own name
    float mapScratch[6];  // the star map's projection
    float colour;
    float magnitude;  // below 12: visible
    uint8_t system;  // the star-system number of a star with bodies; 0 none
    uint32_t flags;
};

extern StarRecord dunStars[kStarCount];
// Named stars come first: every search and origin shift walks these only.
extern uint16_t dunNamedStarCount;
extern uint16_t dunVisibleStarCount;
extern uint8_t dunUniverseCreated;

// ---- The map state the world shares with the navigation map -------------------------------

// One body of the shown system: its map position (10 map units a world
// unit's tenth) and its record.
struct NavMapBodyEntry {
    Vec3d position;
    BodyRecord *body;
    float screenX, screenY, depth;
};
constexpr int kMaxSystemBodies = 100;

struct StarMapState {
    char mode;  // 'G' galaxy, 'T' flying in, 'S' solar system, 'I' flying out
    StarRecord *currentStar;  // the player's system
    StarRecord *selectedStar;
    StarRecord *systemStar;  // the star whose system the world built
    Vec3d reference[4];  // the map's reference points; [0] the one it looks at
    uint32_t starFilter;  // 130 at the start
    int16_t selectedEntry;  // in the body table; -1 none
    NavMapBodyEntry entries[kMaxSystemBodies];
    int16_t entryCount;
    int16_t shownSystem;  // the system the table holds; 0 none
    uint8_t recordSystem;  // RECSYSTEM: write the next system's rings as a mesh
};
extern StarMapState dunStarMap;

// ---- The catalogue ------------------------------------------------------------------------

// Byte limits of the two files.
constexpr size_t kBodiesFileLimit = 1u << 20;
constexpr size_t kStarsFileBytes = size_t(kStarCount) * kStarRecordBytes;

// Reads both catalogues the first call (with its progress lines); later calls
// only lay the bodies out on the map again. Always loads the map icons.
void dunCreateUniverse();
// The per-system visited bytes, the system's body count, the belts and the
// map's selection back to their start (every mission end).
void dunResetUniverseState();
// The presentation's models the systems keep for a whole mission (the star
// model every star carries, the asteroids' and the mine's) are forgotten:
// the presentation frees them at the mission's end, and the next mission's
// systems ask it for new ones.
void dunForgetPresentationModels();
// The bodies file into the body table (a missing file is fatal).
void dunLoadBodies(const char *path);
// Reads bodies from text into the table (the file's reader; also the fuzz
// target's and the tests' way in).
void dunParseBodies(const char *text, size_t size);
// Lagrange copies and Kepler's law for missing mass, radius, orbit, period.
void dunCompleteBodies();
// The star catalogue; 0 when the file does not open (the table stays empty).
int dunLoadStars(const char *path);
// The star table from the file's bytes: a short file fills what it has and
// leaves the rest zero.
void dunParseStars(const uint8_t *data, size_t size);
// Everything of the universe back to a fresh run's state: both catalogues,
// the map, the current system (1), the belts and the asteroid models.
void dunForgetUniverse();
void dunResetSolarSystemState();

// A body of a system: a text starting with a digit is an id (any system);
// any other is a name among the system's ids. Null when there is none.
BodyRecord *dunFindBody(int32_t system, const char *text);
// The name of the body of that id ("%i" text), or null.
const char *dunBodyNameByNumber(const char *text);
// Among the first `limit` stars: a text starting with a digit is a system
// number, any other a name ("NULL" finds none).
StarRecord *dunFindStar(const char *text, int limit);
// The name of the first named star of a system, or "".
const char *dunStarNameByCode(int32_t system);
// The star map's origin moved to a point (and back).
void dunShiftStarOrigin(float x, float y, float z);
void dunRestoreStarOrigin();
// A body's place on its orbit at a time, scaled, plus its parent's map
// position.
void dunOrbitPosition(Vec3d *out, const BodyRecord *body, float time, float scale);
// The star map's state after loading (mode 'G', filter, icons and ring).
void dunInitStarMapState();
// Fills the map's body table with a system's bodies at time 0; the count.
int dunBuildSystemBodyTable(int system);
// The six map icons ("gsv_*.bbm"), loaded with the universe.
extern void *dunMapIcons[6];

// ---- Star systems -------------------------------------------------------------------------

// The star system the player is in (1 at the start); new objects belong to it.
extern uint16_t dunCurrentSystem;
// The star system a jump of the player's ship goes to.
extern int32_t dunPendingStarSystem;
// One byte per system number, set when its system was built this mission.
constexpr int kBuiltSystems = 40;
extern uint8_t dunSystemVisited[kBuiltSystems];
// The first star of the current system (the light of the presentation).
extern SceneItem *dunSunObject;
// The map position the player arrived at; bodies are placed relative to it.
extern const Vec3d *dunArrivalOrigin;
// Planet sizes are multiplied by it (2.0).
extern float dunBodyScale;
// The autopilot's lock (LOCK_AUTOPILOT): a system change then leaves the
// autopilot program running.
extern uint8_t dunAutopilotLock;

// The planet texture of an appearance number (1-based, wrapping after 20).
const char *dunPlanetTextureName(int appearance);
// The objects of the current system's bodies, relative to the arrival
// origin.
void dunCreateSolarSystem(const Vec3d *arrivalOrigin);
// Moves the player's ship to the star's system, at the arrival body. True
// when the new system was built; false (with a log line) when nothing
// changed, so the caller must not clear the old system. An unknown star is
// fatal.
bool MoveToSystem(const char *star, const char *body);
// Objects of other systems than the new one are parked (flag 0x10) or
// deleted, the new system's parked objects restored.
void dunClearSystemObjects(uint16_t system, const Vec3d *parkOffset, const Vec3d *restoreOffset);
// Re-centres the world on an object arriving at a body.
void dunPlaceMapModel(SceneItem *item, BodyRecord *body);
// Marks a star, and a named planet of it, as places of the mission.
void MissionifyStar(const char *star);
void MissionifyPlanet(const char *star, const char *planet);
// The object of a named body of the current system (a name starting with
// a digit is a body number), or null.
SceneItem *dunFindNamedBody(const char *text);
// The map's letter search: 0 not a letter, -1 handled.
int dunSelectBodyByKey(int scanCode);
// Writes n rings of 32 points (stored 33 apart) as a text mesh; false when
// it could not be written (an old file stays whole).
bool dunWriteAscMesh(const Vec3 *rings, int count, const char *path);
// The host name of the mesh of a system's first body.
void dunAscMeshPath(const char *bodyName, char *out, size_t size);

// ---- Belts, asteroids, fields ---------------------------------------------------------------

// A field of rocks (kind 1) or mines (kind 0) round a centre; the centre
// object.
SceneItem *dunCreateSolarBody(int kind, Vec3 centre, Vec3 extents, float spread, int density, int count);
// One free object of a model.
SceneItem *dunCreateFreeObject(int ignored, void *model);
