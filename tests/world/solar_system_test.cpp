#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "RES/resman.h"
#include "RES/util.h"
#include "asc_golden.h"
#include "common/temp_dir.h"
#include "os/paths.h"
#include "universe_fixture.h"
#include "world/asteroids.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/simplace.h"

using ruvotest::FatalError;
using unitest::Body;

namespace {

std::string ReadText(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SolarSystem : public UniverseTest {
protected:
    // Objects in the list with that name, of any system.
    static int Named(const char *name) {
        int n = 0;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o != head; o = o->next)
            n += o->avatar && o->avatar->waypointName && !std::strcmp(o->avatar->waypointName, name);
        return n;
    }
    static int WithFlags(uint32_t flags) {
        int n = 0;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o != head; o = o->next) n += (o->flags & flags) == flags;
        return n;
    }
    static int Parked() {
        int n = 0;
        SceneItem *head = dunParkedListHead();
        for (SceneItem *o = head->next; o != head; o = o->next) ++n;
        return n;
    }
    static void Jump(const char *star, const char *body) {
        ASSERT_TRUE(MoveToSystem(star, body));
        const Vec3d none = {0, 0, 0};
        dunClearSystemObjects(dunCurrentSystem, &none, &none);
    }
};

}  // namespace

TEST_F(SolarSystem, PlanetTextureNames) {
    const struct {
        int appearance;
        const char *name;
    } cases[] = {{1, "mars"}, {3, "earth"}, {20, "midw"}, {21, "mars"}, {41, "mars"}, {0, "random"}};
    for (const auto &c : cases) EXPECT_STREQ(dunPlanetTextureName(c.appearance), c.name) << c.appearance;
}

// The arrival at a Lagrange point: the bodies, the belt and its asteroids,
// the player 50,000 out along the point's Z axis, the sky and the map.
TEST_F(SolarSystem, ArrivalBuildsTheSystem) {
    SceneItem *player = Player();
    player->sim->goal = player->sim->target = MakeObject();
    ASSERT_TRUE(MoveToSystem("Kelvar", "L4"));
    EXPECT_EQ(dunCurrentSystem, 1);
    for (const char *name : {"Kelvar", "Tamsin", "L4", "L5", "Pell", "Orrin"}) EXPECT_EQ(Named(name), 1) << name;
    EXPECT_EQ(Named("Drift"), 0);  // a belt is a ring, not an object
    EXPECT_EQ(dunBeltCount, 1);
    EXPECT_EQ(WithFlags(SceneFlag::Asteroid), 25);
    EXPECT_EQ(dunBeltObjectCount, 1);
    EXPECT_EQ(dunSunObject, Body(1)->object);
    // Markers for every body but the Lagrange stations.
    EXPECT_EQ(fakes.Count("addMarker"), 4);
    SceneItem *l4 = dunFindNamedBody("L4");
    ASSERT_NE(l4, nullptr);
    EXPECT_TRUE(l4->flags & SceneFlag::KeepAcrossSystems);
    EXPECT_EQ(l4->sim->radius, 600000.0f);
    // The arrival body sits at the world's origin; the ship 50,000 out along
    // its Z axis, with its matrix.
    EXPECT_NEAR(l4->sim->position.x, 0.0, 1e-6);
    const Vec3 z = dunMatRow(l4->sim->matrix, 2);
    EXPECT_NEAR(player->sim->position.x, z.x * 50000.0, 0.01);
    EXPECT_NEAR(player->sim->position.y, z.y * 50000.0, 0.01);
    EXPECT_NEAR(player->sim->position.z, z.z * 50000.0, 0.01);
    EXPECT_EQ(player->sim->goal, nullptr);
    EXPECT_EQ(player->sim->target, nullptr);
    EXPECT_EQ(player->systemNumber, 1);
    EXPECT_EQ(fakes.Count("navStartProgram"), 1);
    EXPECT_EQ(fakes.Find("setSkyForSystem")->a, 1);
    EXPECT_EQ(gSystemArrivalPending, 0xFF);
    EXPECT_TRUE(dunStars[0].flags & StarFlag::Visited);
    EXPECT_EQ(fakes.Find("zoomToStar")->text, "Kelvar");
    gSystemArrivalPending = 0;
}

// Planets, moons and "G" bodies carry their textures by appearance, or a
// generated one seeded by their name's hash.
TEST_F(SolarSystem, BodyTextures) {
    ResourceManager saved = RESMAN;
    for (int i = 0; i < 256; ++i) RESMAN.hashTable[i] = uint32_t(i * 3);
    Player();
    ASSERT_TRUE(MoveToSystem("Kelvar", "L4"));
    const struct {
        int id;
        const char *texture;
        int32_t type;
    } cases[] = {{2, "earth", 0}, {5, "mars", 0}, {6, "random", 0}};
    for (const auto &c : cases) {
        SceneItem *o = Body(c.id)->object;
        ASSERT_NE(o, nullptr) << c.id;
        const TDP *child = o->avatar->root->child;
        ASSERT_NE(child, nullptr) << c.id;
        EXPECT_STREQ(child->materialName, c.texture) << c.id;
        EXPECT_EQ(o->avatar->standoff, c.type) << c.id;
        EXPECT_TRUE(o->avatar->flags & AvatarFlag::PlanetBody) << c.id;
    }
    int32_t seed = 0;
    for (const char *c = "Orrin"; *c; ++c) seed += int32_t(*c) * 3;
    EXPECT_EQ(Body(6)->object->avatar->planetSeed, seed);
    RESMAN = saved;
}

// Lagrange stations are made on the first visit only and parked across a
// change; the other bodies go and come back.
TEST_F(SolarSystem, SecondVisitKeepsItsStations) {
    Player();
    Jump("Kelvar", "L4");
    Jump("Vessar", "Relay");
    EXPECT_EQ(dunCurrentSystem, 2);
    EXPECT_EQ(Named("Tamsin"), 0);
    EXPECT_EQ(Named("Brannock"), 1);
    EXPECT_EQ(Parked(), 2);  // Kelvar's two stations
    EXPECT_EQ(dunFindNamedBody("3"), nullptr);  // "L4" lies in another system
    EXPECT_EQ(WithFlags(SceneFlag::Asteroid), 0);
    Jump("Kelvar", "L4");
    EXPECT_EQ(Named("L4"), 1);
    EXPECT_EQ(Named("L5"), 1);
    EXPECT_EQ(Named("Tamsin"), 1);
    EXPECT_EQ(dunFindNamedBody("3"), dunFindNamedBody("L4"));
    EXPECT_EQ(dunPlayerShip->systemNumber, 1);
    gSystemArrivalPending = 0;
}

// A body record remembers its station's slot; once the slot holds another
// object of that system, the arriving ship is not put beside that object.
TEST_F(SolarSystem, ARetakenStationSlotIsNoArrival) {
    SceneItem *player = Player();
    Jump("Kelvar", "L4");
    Jump("Vessar", "Relay");
    SceneItem *slot = Body(3)->object;
    ASSERT_NE(slot, nullptr);
    slot->avatar->waypointName = "Decoy";
    slot->sim->position = {7e6, 0, 0};
    player->sim->position = {1, 2, 3};
    player->sim->arrivalOffset = {0, 0, 0};
    Jump("Kelvar", "L4");
    EXPECT_EQ(player->sim->position.x, 1.0);
    EXPECT_EQ(player->sim->position.z, 3.0);
    EXPECT_EQ(player->sim->arrivalOffset.z, 0.0f);
    gSystemArrivalPending = 0;
}

// A belt or a Lagrange point whose parent is missing from the table is left
// out of the system with a log line; the rest of the system is built.
TEST_F(SolarSystem, OrphanBeltAndStationAreLeftOut) {
    ruvotest::TempDir dir;
    Player();
    const std::string text =
        "a,b,c,d,e,f,g,h,i,j,k,l,m\n"
        "1,Sol,0,S,1,0,1.99e30,300,0,0,0,0,0\n"
        "2,Ring,77,B,0,0,0,0,6000000,0,0,0,0\n"
        "3,Lp,77,L4,0,0,0,0,0,0,0,0,0\n"
        "4,Rock,1,P,2,0,0,100,900000,0,10,0,0\n";
    dunParseBodies(text.data(), text.size());
    dunCompleteBodies();
    ASSERT_EQ(dunBuildSystemBodyTable(1), 4);
    dunCreateSolarSystem(nullptr);
    EXPECT_EQ(Named("Sol"), 1);
    EXPECT_EQ(Named("Rock"), 1);
    EXPECT_EQ(Named("Lp"), 0);
    EXPECT_EQ(dunBeltCount, 0);
    EXPECT_EQ(WithFlags(SceneFlag::Asteroid), 0);
    const std::string log = ReadText("debug.txt");
    EXPECT_NE(log.find("Belt Ring: its parent has no object"), std::string::npos);
    EXPECT_NE(log.find("Lagrange point Lp: its parent has no object"), std::string::npos);
}

// Moving to the current star skips the map's focus but builds the system.
TEST_F(SolarSystem, MovingToTheCurrentStar) {
    Player();
    ASSERT_TRUE(MoveToSystem("Kelvar", "L4"));
    const int zooms = fakes.Count("zoomToStar");
    ASSERT_TRUE(MoveToSystem("Kelvar", "L4"));
    EXPECT_EQ(fakes.Count("zoomToStar"), zooms);
    EXPECT_EQ(Named("Tamsin"), 2);
    EXPECT_EQ(Named("L4"), 1);  // visited: no second station
    gSystemArrivalPending = 0;
}

// Nothing changes when the move cannot happen; only an unknown star is
// fatal.
TEST_F(SolarSystem, AMoveThatCannotHappenChangesNothing) {
    ruvotest::TempDir dir;
    Player();
    SceneItem *other = MakeObject();
    EXPECT_FALSE(MoveToSystem("Vessar", "Nowhere"));
    EXPECT_EQ(dunCurrentSystem, 1);
    EXPECT_EQ(dunStarMap.currentStar, nullptr);
    dunStarMap.mode = 'I';  // the map is flying out to the galaxy
    EXPECT_FALSE(MoveToSystem("Vessar", "Relay"));
    EXPECT_EQ(dunCurrentSystem, 1);
    EXPECT_EQ(dunStarMap.currentStar, &dunStars[1]);  // the map's part is done
    EXPECT_TRUE(other->flags & SceneFlag::InUse);
    EXPECT_EQ(Named("Brannock"), 0);
    const std::string log = ReadText("debug.txt");
    EXPECT_NE(log.find("no body \"Nowhere\""), std::string::npos);
    EXPECT_NE(log.find("mode I"), std::string::npos);
    try {
        MoveToSystem("Atlantis", "L4");
        FAIL() << "an unknown star returned";
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "MoveToSystem could not identify target star");
    }
}

// Objects of other systems go: parked with flag 0x10, spared with 0x20,
// deleted otherwise; parked objects of the new system come back.
TEST_F(SolarSystem, ClearingTheOldSystem) {
    dunCurrentSystem = 1;
    SceneItem *plain = MakeObject(), *kept = MakeObject(), *spared = MakeObject();
    kept->flags |= SceneFlag::KeepAcrossSystems;
    spared->flags |= SceneFlag::SparedBySystemClear;
    dunCurrentSystem = 2;
    SceneItem *local = MakeObject(), *returning = MakeObject();
    returning->flags |= SceneFlag::KeepAcrossSystems;
    dunParkSceneItem(returning, 0, 0, 0);
    kept->sim->position = {100, 0, 0};
    const Vec3d park = {10, 0, 0}, restore = {0, 5, 0};
    WorldOriginOffset = {1, 2, 3};
    dunClearSystemObjects(2, &park, &restore);
    EXPECT_FALSE(plain->flags & SceneFlag::InUse);
    EXPECT_TRUE(kept->flags & SceneFlag::InUse);
    EXPECT_FALSE(dunIsInSceneList(kept));
    EXPECT_EQ(kept->sim->position.x, 90.0);
    EXPECT_TRUE(dunIsInSceneList(spared));
    EXPECT_TRUE(dunIsInSceneList(local));
    EXPECT_TRUE(dunIsInSceneList(returning));
    EXPECT_EQ(returning->sim->position.y, 5.0);
    EXPECT_EQ(fakes.Count("removeOffSystemMarkers"), 1);
    EXPECT_EQ(WorldOriginOffset.x, 0.0);
}

// "105" names body 105, which is then looked for among the objects of the
// current system only.
TEST_F(SolarSystem, NamedBodiesByNumber) {
    Player();
    Jump("Vessar", "Relay");
    EXPECT_EQ(dunFindNamedBody("101"), Body(101)->object);
    EXPECT_EQ(dunFindNamedBody("Brannock"), Body(101)->object);
    EXPECT_EQ(dunFindNamedBody("2"), nullptr);  // Tamsin is not built
    EXPECT_EQ(dunFindNamedBody("7777"), nullptr);
    gSystemArrivalPending = 0;
}

// The map's letter keys: a star (galaxy) or body (system) by its first
// letter, cyclically after the selection.
TEST_F(SolarSystem, LetterKeysOnTheMap) {
    dunStarMap.mode = 'G';
    const struct {
        int scan;
        int result;
        int selected;  // star index, -1 none
    } galaxy[] = {
        {2, 0, -1},  // "1" is not a letter: not handled
        {47, -1, 1},  // "v": Vessar
        {44, -1, 1},  // "z": no star, the selection stays
        {30, -1, 1},  // "a": Aldine does not pass the filter (130)
        {37, -1, 0},  // "k": Kelvar
        {20, -1, 2},  // "t": Thule
    };
    for (const auto &c : galaxy) {
        EXPECT_EQ(dunSelectBodyByKey(c.scan), c.result) << c.scan;
        EXPECT_EQ(dunStarMap.selectedStar ? int(dunStarMap.selectedStar - dunStars) : -1, c.selected) << c.scan;
    }
    dunStarMap.mode = 'S';
    dunBuildSystemBodyTable(1);
    EXPECT_EQ(dunSelectBodyByKey(25), -1);  // "p": Pell
    ASSERT_GE(dunStarMap.selectedEntry, 0);
    EXPECT_STREQ(dunStarMap.entries[dunStarMap.selectedEntry].body->name, "Pell");
    EXPECT_EQ(fakes.Find("centreOnEntry")->a, dunStarMap.selectedEntry);
    dunStarMap.mode = 'T';
    EXPECT_EQ(dunSelectBodyByKey(25), -1);
    EXPECT_EQ(dunSelectBodyByKey(2), 0);
}

TEST_F(SolarSystem, AscMeshGolden) {
    ruvotest::TempDir dir;
    Vec3 rings[33];
    for (int k = 0; k < 33; ++k) rings[k] = {float(k) * 62500.0f, 1.5e6f, float(k) * 31250.0f};
    char path[64];
    dunAscMeshPath("Kelvar Prime", path, sizeof path);
    EXPECT_STREQ(path, "debug\\SolarSystems\\Kelvar_Prime.asc");
    std::system("mkdir -p debug/SolarSystems");
    osFlushPathCache();
    ASSERT_TRUE(dunWriteAscMesh(rings, 1, path));
    EXPECT_EQ(ReadText("debug/SolarSystems/Kelvar_Prime.asc"), kAscOneRing);
}

// A write killed part way leaves the old mesh whole: it goes to a
// temporary file that is renamed into place.
TEST_F(SolarSystem, AscMeshKilledWhileWriting) {
    ruvotest::TempDir dir;
    std::system("mkdir -p debug/SolarSystems");
    osFlushPathCache();
    Vec3 small[33] = {}, large[33 * 40] = {};
    for (Vec3 &p : large) p = {1e6f, 2e6f, 3e6f};
    const char *path = "debug\\SolarSystems\\m.asc";
    ASSERT_TRUE(dunWriteAscMesh(small, 1, path));
    const std::string first = ReadText("debug/SolarSystems/m.asc");
    ASSERT_TRUE(dunWriteAscMesh(large, 40, path));
    const std::string second = ReadText("debug/SolarSystems/m.asc");
    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int v = 0;; v ^= 1) dunWriteAscMesh(v ? small : large, v ? 1 : 40, path);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(300 + 700 * round));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = ReadText("debug/SolarSystems/m.asc");
        EXPECT_TRUE(now == first || now == second) << "a torn mesh in round " << round;
    }
}

// Stars and asteroids carry the presentation's models, which go with the
// presentation at a mission's end: a later mission's systems (the deep
// patrol flown again) ask for new ones instead of keeping the freed ones.
TEST_F(SolarSystem, EachMissionsSystemsAskForTheirOwnModels) {
    Player();
    ASSERT_TRUE(MoveToSystem("Kelvar", "L4"));
    EXPECT_EQ(fakes.Count("createStarDummy"), 1);
    const int asteroidLoads = fakes.Count("loadModel");
    EXPECT_GT(asteroidLoads, 0);
    // The mission's end, then the next mission's start in the first system.
    dunResetWorld();
    dunResetUniverseState();
    dunForgetPresentationModels();
    dunCurrentSystem = 0;
    Player();
    ASSERT_TRUE(MoveToSystem("Kelvar", "L4"));
    EXPECT_EQ(fakes.Count("createStarDummy"), 2);
    EXPECT_EQ(fakes.Count("loadModel"), 2 * asteroidLoads);
}
