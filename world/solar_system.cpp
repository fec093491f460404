// One star system populated at a time: the objects of its bodies, the change
// of the player's ship to another system, the mission marks on stars and
// planets, the lookup of a body's object and the map's letter search.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "RES/resman.h"
#include "RES/util.h"
#include "core/files.h"
#include "core/log.h"
#include "core/progress.h"
#include "world/asteroids.h"
#include "world/belts.h"
#include "world/contact.h"
#include "world/flight.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/step.h"
#include "world/universe.h"

uint16_t dunCurrentSystem = 1;
int32_t dunPendingStarSystem = 0;
uint8_t dunSystemVisited[kBuiltSystems];
SceneItem *dunSunObject;
const Vec3d *dunArrivalOrigin;
float dunBodyScale = 2.0f;
uint8_t dunAutopilotLock;

namespace {

const char *const kPlanetTextures[20] = {"mars", "ven",  "earth", "io",    "moon", "mer",  "jup",
                                         "ura",  "nep",  "pluto", "charo", "gany", "euro", "calli",
                                         "satu", "tita", "twdum", "twdee", "mudw", "midw"};

void *gStarDummy;

bool visited(int system) { return system >= 0 && system < kBuiltSystems && dunSystemVisited[system]; }

int32_t nameHashSum(const char *name) {
    uint32_t sum = 0;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(name); *c; ++c) sum += RESMAN.hashTable[*c];
    return int32_t(sum);
}

void setPosition(Sim *s, const Vec3d &p) {
    s->position = p;
    s->matrix.m[12] = float(p.x);
    s->matrix.m[13] = float(p.y);
    s->matrix.m[14] = float(p.z);
}

void placeBelt(const BodyRecord *body, bool &first) {
    const BodyRecord *parent = body->parent;
    SceneItem *centre = parent ? dunFindNamedBody(parent->name) : nullptr;
    if (!centre || !centre->sim) {
        dunDebugPrintf("Belt %s: its parent has no object; the belt is left out", body->name);
        return;
    }
    const bool aroundRoot = !parent->parent;
    float r = body->orbitRadius * 100.0f;
    if (aroundRoot) r = (dunBodyScale - 1.0f) * centre->sim->radius + r;
    else r = r - centre->sim->radius / dunBodyScale;
    dunRegisterBelt(r, centre, aroundRoot);
    if (!first) return;
    first = false;
    dunCreateAsteroids(dunPlayerShip, 25);
    dunTrackPlayerInBelts();
}

// The body object: SceneItem, Sim and Avatar, placed at rel x 10.
SceneItem *makeBodyObject(BodyRecord *body, const Vec3d &rel) {
    SceneItem *o = dunCreateSceneItem();
    Sim *s = dunAttachSim(o, nullptr);
    Avatar *a = o->avatar;
    body->object = o;
    dunSetDrawRoutines(o, dunCopySimToModel, dunPresent().placeSkyBody);
    s->mass = body->mass;
    const Vec3d at = {rel.x * 10.0, rel.y * 10.0, rel.z * 10.0};
    MatIdentity(s->matrix);
    if (body->flags & BodyFlag::Lagrange) {
        o->flags |= SceneFlag::KeepAcrossSystems;
        const SceneItem *p = body->parent ? body->parent->object : nullptr;
        if (p && p->sim) {
            const Vec3 towards = {float(p->sim->position.x - at.x), float(p->sim->position.y - at.y),
                                  float(p->sim->position.z - at.z)};
            const Vec3 up = {0.0f, 1.0f, 0.0f};
            MatLookAlong(towards, &up, s->matrix);
        }
        a->flags |= AvatarFlag::LagrangeTurned;
    }
    setPosition(s, at);
    a->matrix = s->matrix;
    s->radius = body->radius * 100000.0f * dunBodyScale * 2.0f;
    const int32_t size = int32_t(body->radius * 2.0f);
    a->channelValues[0] = size < 1 ? 1 : size;
    a->flags16 |= AvatarState::GravityBody;
    TDP *root = dunAttachTDP(o);
    root->flags &= ~(TDPFlag::HasActor | TDPFlag::Collidable);
    o->flags |= SceneFlag::SolarBody;
    a->flags |= AvatarFlag::NavigationBody;
    if (body->flags & BodyFlag::PlanetClasses) a->flags |= AvatarFlag::PlanetBody;
    dunLinkSceneItem(o, SceneFlag::Appended);
    a->waypointName = body->name;
    if (body->flags & BodyFlag::Lagrange) {
        a->channelValues[0] = 0;
    } else {
        HUD *marker = dunAllocHUD();
        dunCall(dunHud().addMarker, marker, body->name, o, rel.x * 100.0, rel.y * 100.0, rel.z * 100.0);
        root->model = marker;
        root->flags |= TDPFlag::MarkerRoot;
    }
    return o;
}

void finishLagrangeStation(SceneItem *o) {
    Avatar *a = o->avatar;
    o->sim->radius = 600000.0f;
    a->root->radius = 600000.0f;
    a->presentation = dunPresent().presentation;
    a->contactHandler = dunContactLogBody;
    a->marker = 'X';
    o->simulator = dunSimSyncPosition;
    a->root->flags |= TDPFlag::Collidable | TDPFlag::SkyWorld;
}

void finishBody(SceneItem *o, const BodyRecord *body) {
    Avatar *a = o->avatar;
    Sim *s = o->sim;
    TDP *child = dunAddChildTDP(a->root, nullptr, 0.0f, 0.0f, 0.0f);
    std::string line = std::string("CREATING BODY: ") + body->name;
    LoadProgressStep(line.c_str());
    a->contactHandler = dunContactGravityBody;
    a->marker = 'X';
    if (body->appearance > 0) {
        child->materialName = dunPlanetTextureName(body->appearance);
    } else {
        a->planetSeed = nameHashSum(body->name);
        a->standoff = (body->flags & BodyFlag::Generated) ? 0
                      : body->surface != 0.0f             ? 1
                      : (body->flags & BodyFlag::Planet)  ? 3
                                                          : 2;
        child->materialName = "random";
    }
    child->model = nullptr;
    child->flags |= 0x2004;
    if (body->flags & BodyFlag::Star) {
        if (!gStarDummy) gStarDummy = dunCall(dunPresent().createStarDummy);
        child->model = gStarDummy;
        if (!dunSunObject) dunSunObject = o;
        s->radius = body->radius / 2.0f * 100000.0f * 10.0f;
        a->root->radius = s->radius;
        // The star's flare kind rides in the child's colour word.
        child->colourIndex = uint16_t(body->appearance % 8 + 8);
        a->presentation = dunPresent().presentation;
        return;
    }
    s->radius = body->radius / 2.0f * 100000.0f * dunBodyScale * 2.0f;
    a->root->radius = s->radius;
    if (body->radius < 0.0f) a->root->flags &= ~TDPFlag::Collidable;
    if (dunSunObject && dunSunObject->sim) {
        const Vec3 away = {float(s->position.x - dunSunObject->sim->position.x),
                           float(s->position.y - dunSunObject->sim->position.y),
                           float(s->position.z - dunSunObject->sim->position.z)};
        const Vec3d at = s->position;
        MatLookAlong(away, nullptr, s->matrix);
        MatRotateY(60.0f, s->matrix);
        setPosition(s, at);
        a->matrix = s->matrix;
    }
    if (body->radius < 0.0f) child->flags &= ~0x1010u;
}

}  // namespace

void dunForgetPresentationModels() {
    gStarDummy = nullptr;
    dunForgetAsteroidModels();
}

void dunResetSolarSystemState() {
    dunCurrentSystem = 1;
    dunPendingStarSystem = 0;
    std::memset(dunSystemVisited, 0, sizeof dunSystemVisited);
    dunSunObject = nullptr;
    dunArrivalOrigin = nullptr;
    dunBodyScale = 2.0f;
    dunAutopilotLock = 0;
    gStarDummy = nullptr;
}

const char *dunPlanetTextureName(int appearance) {
    if (appearance < 1) return "random";
    return kPlanetTextures[(appearance - 1) % 20];
}

void dunCreateSolarSystem(const Vec3d *arrivalOrigin) {
    LoadProgressStep("CREATING SOLAR SYSTEM...\n");
    dunCall(dunPresent().loadPlanetTextures);
    dunSunObject = nullptr;
    dunArrivalOrigin = arrivalOrigin;
    dunClearBeltTracking();
    const Vec3d origin = arrivalOrigin ? *arrivalOrigin : Vec3d{0.0, 0.0, 0.0};
    bool firstBelt = true;
    for (int i = 0; i < dunStarMap.entryCount; ++i) {
        NavMapBodyEntry &e = dunStarMap.entries[i];
        BodyRecord *body = e.body;
        if (!body) continue;
        if ((body->flags & BodyFlag::Lagrange) && visited(dunCurrentSystem)) continue;
        if (body->flags & BodyFlag::Belt) {
            placeBelt(body, firstBelt);
            continue;
        }
        if ((body->flags & BodyFlag::Lagrange) && !(body->parent && body->parent->object)) {
            // Its station looks at the body it circles.
            dunDebugPrintf("Lagrange point %s: its parent has no object; the station is left out", body->name);
            continue;
        }
        const Vec3d rel = {e.position.x - origin.x, e.position.y - origin.y, e.position.z - origin.z};
        SceneItem *o = makeBodyObject(body, rel);
        if (body->flags & BodyFlag::Lagrange) finishLagrangeStation(o);
        else finishBody(o, body);
    }
    if (dunCurrentSystem < kBuiltSystems) dunSystemVisited[dunCurrentSystem] = 1;
}

namespace {

// The map's part of a move: the star becomes the current and selected one.
// False when the map is flying and the move must wait.
bool focusMap(StarRecord *star) {
    if (dunStarMap.currentStar == star) return true;
    dunStarMap.currentStar = star;
    dunStarMap.selectedStar = star;
    dunStarMap.reference[0] = {star->x, star->y, star->z};
    if (dunStarMap.mode == 'G') {
        dunCall(dunHud().zoomToStar, star);
        return true;
    }
    if (dunStarMap.mode == 'S') {
        dunCall(dunHud().zoomToStar, star);
        dunStarMap.mode = 'I';
        return true;
    }
    return false;
}

void takeAlong(SceneItem *ship) {
    ship->systemNumber = dunCurrentSystem;
    const ShipInfo *info = ship->sim ? ship->sim->shipInfo : nullptr;
    if (!info) return;
    for (DockingPort *p = info->ports; p; p = p->next)
        if ((p->flags & PortFlag::Docked) && p->partner) p->partner->systemNumber = dunCurrentSystem;
}

}  // namespace

bool MoveToSystem(const char *starText, const char *bodyText) {
    StarRecord *star = dunFindStar(starText, dunNamedStarCount);
    if (!star) dunFatalError("MoveToSystem could not identify target star");
    // Everything that can stop the move is checked before anything changes:
    // the caller clears the old system only after a move that happened.
    BodyRecord *arrival = dunFindBody(star->system, bodyText);
    if (!arrival) {
        dunDebugPrintf("MoveToSystem: no body \"%s\" in system %i; the ship stays where it is",
                       bodyText ? bodyText : "", int(star->system));
        return false;
    }
    star->flags |= StarFlag::Visited;
    if (!focusMap(star)) {
        dunDebugPrintf("MoveToSystem: the star map is flying (mode %c); the ship stays where it is", dunStarMap.mode);
        return false;
    }
    if (dunBuildSystemBodyTable(star->system) == 0 || !arrival->mapPosition) {
        dunDebugPrintf("MoveToSystem: system %i has no bodies on the map; the ship stays where it is",
                       int(star->system));
        return false;
    }
    dunCurrentSystem = star->system;
    dunClearBeltTracking();
    dunBeltCount = 0;
    dunCreateSolarSystem(arrival->mapPosition);
    dunStarMap.systemStar = star;

    if (SceneItem *ship = dunControlledObject) {
        takeAlong(ship);
        if (ship->sim) {
            Sim *s = ship->sim;
            // A station of a system visited before is still parked: the
            // clear that follows the move brings it back where it was.
            SceneItem *body = dunFindNamedBody(arrival->name);
            SceneItem *kept = arrival->object;
            if (!body && kept && (kept->flags & SceneFlag::InUse) && kept->systemNumber == dunCurrentSystem &&
                kept->avatar && kept->avatar->waypointName == arrival->name)
                body = kept;
            if (body && body->sim) {
                constexpr float kArrivalDistance = 50000.0f;
                ship->avatar->channelValues[0] = int32_t(kArrivalDistance);
                s->matrix = body->sim->matrix;
                const Vec3 z = dunMatRow(body->sim->matrix, 2);
                const Vec3 offset = {z.x * kArrivalDistance, z.y * kArrivalDistance, z.z * kArrivalDistance};
                s->arrivalOffset = offset;
                setPosition(s, {body->sim->position.x + offset.x, body->sim->position.y + offset.y,
                                body->sim->position.z + offset.z});
            }
            if (!dunAutopilotLock) dunCall(dunGui().navStartProgram, 0, 0);
            s->goal = nullptr;
            s->target = nullptr;
        }
    }
    dunCall(dunAi().resetContactClock);
    dunCall(dunPresent().clearSystemBodyModels);
    dunCall(dunHud().clearHighlights);
    gSystemArrivalPending = 0xFF;
    dunCall(dunPresent().freeSkyResources);
    dunCall(dunPresent().setSkyForSystem, int16_t(dunCurrentSystem));
    dunCall(dunGui().popFullScreen);
    return true;
}

void dunClearSystemObjects(uint16_t system, const Vec3d *parkOffset, const Vec3d *restoreOffset) {
    const Vec3d park = parkOffset ? *parkOffset : Vec3d{0.0, 0.0, 0.0};
    const Vec3d restore = restoreOffset ? *restoreOffset : Vec3d{0.0, 0.0, 0.0};
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next, *next; o != head; o = next) {
        next = o->next;
        if (o->systemNumber == system || (o->flags & SceneFlag::SparedBySystemClear)) continue;
        if (o->flags & SceneFlag::KeepAcrossSystems) {
            dunParkSceneItem(o, park.x, park.y, park.z);
            dunCall(dunAi().removeContact, o);
        } else {
            dunDeleteSceneItem(o);
        }
    }
    SceneItem *parked = dunParkedListHead();
    for (SceneItem *o = parked->next, *next; o != parked; o = next) {
        next = o->next;
        if (o->systemNumber == system) dunTranslateSceneItem(o, restore.x, restore.y, restore.z);
    }
    dunCall(dunHud().removeOffSystemMarkers);
    WorldOriginOffset = {0.0, 0.0, 0.0};
}

void dunPlaceMapModel(SceneItem *item, BodyRecord *body) {
    if (!item || !item->sim || !body || !body->mapPosition) return;
    const Vec3d origin = dunArrivalOrigin ? *dunArrivalOrigin : Vec3d{0.0, 0.0, 0.0};
    const Vec3d d = {(body->mapPosition->x - origin.x) * 10.0 - WorldOriginOffset.x,
                     (body->mapPosition->y - origin.y) * 10.0 - WorldOriginOffset.y,
                     (body->mapPosition->z - origin.z) * 10.0 - WorldOriginOffset.z};
    Sim *s = item->sim;
    if (body->object && body->object->sim) {
        s->matrix = body->object->sim->matrix;
        const Vec3 z = dunMatRow(body->object->sim->matrix, 2);
        const float reach = float(item->avatar->channelValues[0]);
        s->arrivalOffset = {z.x * reach, z.y * reach, z.z * reach};
    }
    setPosition(s, {0.0, 0.0, 0.0});
    dunCopySimToModel(item);
    const ShipInfo *mine = item == dunPlayerShip ? s->shipInfo : nullptr;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) {
        if (o == item || !o->sim) continue;
        const ShipInfo *other = o->sim->shipInfo;
        if (mine && other && mine->side >= 0 && other->side >= 0 && other->rank == mine->rank) continue;
        Sim *os = o->sim;
        setPosition(os, {os->position.x - d.x, os->position.y - d.y, os->position.z - d.z});
        dunCopySimToModel(o);
    }
    dunArrivalOrigin = body->mapPosition;
    dunCall(dunAi().resetContactClock);
}

void MissionifyStar(const char *text) {
    StarRecord *star = dunFindStar(text, dunNamedStarCount);
    if (!star) {
        dunDebugPrint("MissionifyStar failure");
        return;
    }
    star->flags |= StarFlag::MissionStar;
}

void MissionifyPlanet(const char *starText, const char *bodyText) {
    StarRecord *star = dunFindStar(starText, dunNamedStarCount);
    BodyRecord *body = star ? dunFindBody(star->system, bodyText) : nullptr;
    if (!body) {
        dunDebugPrint("MissionifyPlanet failure");
        return;
    }
    star->flags |= StarFlag::MissionStar;
    body->flags |= BodyFlag::MissionBody;
}

SceneItem *dunFindNamedBody(const char *text) {
    if (!text) return nullptr;
    if (text[0] >= '0' && text[0] <= '9') {
        text = dunBodyNameByNumber(text);
        if (!text) return nullptr;
    }
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) {
        const Avatar *a = o->avatar;
        if (!a || !(a->flags & AvatarFlag::NavigationBody) || o->systemNumber != dunCurrentSystem) continue;
        if (a->waypointName && !std::strcmp(a->waypointName, text)) return o;
    }
    return nullptr;
}

namespace {

char letterOf(int scanCode) {
    static const struct {
        uint8_t code;
        char letter;
    } kLetters[] = {{30, 'a'}, {48, 'b'}, {46, 'c'}, {32, 'd'}, {18, 'e'}, {33, 'f'}, {34, 'g'}, {35, 'h'}, {23, 'i'},
                    {36, 'j'}, {37, 'k'}, {38, 'l'}, {50, 'm'}, {49, 'n'}, {24, 'o'}, {25, 'p'}, {16, 'q'}, {19, 'r'},
                    {31, 's'}, {20, 't'}, {22, 'u'}, {47, 'v'}, {17, 'w'}, {45, 'x'}, {21, 'y'}, {44, 'z'}};
    for (const auto &k : kLetters)
        if (k.code == scanCode) return k.letter;
    return 0;
}

bool startsWith(const char *name, char letter) { return name && (name[0] == letter || name[0] == letter - 'a' + 'A'); }

}  // namespace

int dunSelectBodyByKey(int scanCode) {
    const char letter = letterOf(scanCode);
    if (!letter) return 0;
    if (dunStarMap.mode == 'G') {
        const int n = dunNamedStarCount;
        if (n == 0) return -1;
        const int from = dunStarMap.selectedStar ? int(dunStarMap.selectedStar - dunStars) : -1;
        for (int k = 1; k <= n; ++k) {
            StarRecord &s = dunStars[(from + k + n) % n];
            if (!(s.flags & dunStarMap.starFilter) || !startsWith(s.name, letter)) continue;
            dunStarMap.selectedStar = &s;
            dunStarMap.reference[0] = {s.x, s.y, s.z};
            dunCall(dunHud().zoomToStar, &s);
            break;
        }
    } else if (dunStarMap.mode == 'S') {
        const int n = dunStarMap.entryCount;
        for (int k = 1; k <= n; ++k) {
            const int i = (dunStarMap.selectedEntry + k + n) % n;
            const BodyRecord *b = dunStarMap.entries[i].body;
            if (!b || !startsWith(b->name, letter)) continue;
            dunStarMap.selectedEntry = int16_t(i);
            dunCall(dunHud().centreOnEntry, i);
            break;
        }
    }
    return -1;
}

// ---- The map's debug meshes ----------------------------------------------------------------

void dunAscMeshPath(const char *bodyName, char *out, size_t size) {
    std::string name = bodyName ? bodyName : "";
    for (char &c : name)
        if (c == ' ') c = '_';
    std::snprintf(out, size, "debug\\SolarSystems\\%s.asc", name.c_str());
}

bool dunWriteAscMesh(const Vec3 *rings, int count, const char *path) {
    if (!rings || count < 0 || !path) return false;
    std::string text;
    char line[160];
    std::snprintf(line, sizeof line, "Named object: \"Box\"  \nTri-mesh, Vertices: %i    Faces: %i\t\nVertex list:\n",
                  count * 32, count * 30);
    text += line;
    int vertex = 0;
    for (int r = 0; r < count; ++r) {
        for (int k = 0; k < 32; ++k) {
            const Vec3 &p = rings[r * 33 + k];
            std::snprintf(line, sizeof line, "Vertex %i: X: %.4f Y: %.4f Z: %.4f \n", vertex++, double(p.x) * 1e-6,
                          double(p.y) * 1e-6, double(p.z) * 1e-6);
            text += line;
        }
    }
    text += "\nFace List:\n";
    int face = 0;
    for (int r = 0; r < count; ++r) {
        const int v = r * 32;
        std::snprintf(line, sizeof line, "Face %i: A:%i B:%i C:%i AB:1 BC:1 CA:0\n", face++, v, v + 1, v + 2);
        text += line;
        for (int k = 2; k <= 29; ++k) {
            std::snprintf(line, sizeof line, "Face %i: A:%i B:%i C:%i AB:0 BC:1 CA:0\n", face++, v, v + k, v + k + 1);
            text += line;
        }
        std::snprintf(line, sizeof line, "Face %i: A:%i B:%i C:%i AB:0 BC:1 CA:1\n", face++, v, v + 30, v + 31);
        text += line;
    }
    return WriteGameFileWhole(path, text.data(), text.size());
}
