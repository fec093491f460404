#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "core/progress.h"
#include "os/paths.h"
#include "universe_fixture.h"

using ruvotest::FatalError;
using unitest::Body;

namespace {

std::string DebugLog() {
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Parse(const std::string &text) { dunParseBodies(text.data(), text.size()); }

void WriteFile(const char *path, const std::string &bytes) {
    std::string p = path;
    std::system(("mkdir -p '" + p.substr(0, p.find_last_of('/')) + "'").c_str());
    std::ofstream(p, std::ios::binary) << bytes;
    osFlushPathCache();
}

class Universe : public UniverseTest {};

}  // namespace

// The header is 13 fields whatever they say; quotes go wherever they stand;
// empty numbers read 0; integers read as "%i" does, octal and hex included.
TEST_F(Universe, RowsReadFieldByField) {
    Parse(std::string(unitest::kHeader) +
          "7,\"Tam\"\"sin\",7,P,010,,,2.5,,,,,\"1.5\"\n"
          "0x1A,Moon,7,M,0x3,0,1e3,4,100,,,,\n");
    ASSERT_EQ(dunBodies.size(), 2u);
    const BodyRecord &a = dunBodies[0];
    EXPECT_EQ(a.id, 7);
    EXPECT_STREQ(a.name, "Tamsin");
    EXPECT_EQ(a.parent, nullptr);  // its own id: a root
    EXPECT_EQ(a.appearance, 8);  // "010" is octal
    EXPECT_EQ(a.mass, 0.0f);
    EXPECT_EQ(a.radius, 2.5f);
    EXPECT_EQ(a.inclination, 3.0f);  // doubled
    EXPECT_GE(a.phase, 0.0f);
    EXPECT_LT(a.phase, 1.0f);
    const BodyRecord &b = dunBodies[1];
    EXPECT_EQ(b.id, 26);
    EXPECT_EQ(b.appearance, 3);
    EXPECT_EQ(b.parent, &dunBodies[0]);
    EXPECT_EQ(a.firstChild, &b);
    EXPECT_EQ(a.outerChildOrbit, 100.0f);
    EXPECT_EQ(a.flags, BodyFlag::Planet | BodyFlag::HasChildren);
}

TEST_F(Universe, ClassLettersAndParents) {
    struct Case {
        int id;
        uint32_t flags;
        int parent;
    } cases[] = {
        {1, BodyFlag::Star | BodyFlag::HasChildren, -1},
        {2, BodyFlag::Planet | BodyFlag::HasChildren | BodyFlag::HasLagrange, 1},
        {3, BodyFlag::Lagrange | BodyFlag::LeadingPoint, 1},  // the parent's parent after completion
        {4, BodyFlag::Lagrange | BodyFlag::TrailingPoint, 1},
        {5, BodyFlag::Moon, 2},
        {6, BodyFlag::Planet | BodyFlag::Generated, 1},
        {9, BodyFlag::Belt, 1},
        {101, BodyFlag::Planet | BodyFlag::HasLagrange, 100},
    };
    for (const Case &c : cases) {
        const BodyRecord *b = Body(c.id);
        ASSERT_NE(b, nullptr) << c.id;
        EXPECT_EQ(b->flags, c.flags) << c.id;
        EXPECT_EQ(b->parent ? b->parent->id : -1, c.parent) << c.id;
    }
    // A Lagrange point circles its planet's star on the planet's orbit, 60
    // degrees ahead or behind.
    const BodyRecord *tamsin = Body(2), *l4 = Body(3), *l5 = Body(4);
    EXPECT_EQ(l4->orbitRadius, tamsin->orbitRadius);
    EXPECT_EQ(l4->period, tamsin->period);
    EXPECT_EQ(l4->phase, tamsin->phase);
    EXPECT_FLOAT_EQ(l4->longitude, tamsin->longitude + 60.0f);
    EXPECT_FLOAT_EQ(l5->longitude, tamsin->longitude - 60.0f);
}

// Orbits of bodies numbered above 100 count from the parent's surface.
TEST_F(Universe, OrbitRadiusByNumber) {
    EXPECT_EQ(Body(2)->orbitRadius, 5000000.0f);
    EXPECT_EQ(Body(101)->orbitRadius, 200.0f * 1000.0f * 2.0f + 3000000.0f);
}

// Missing mass comes from the class (flags compared whole), radius from the
// mass, orbit and period from Kepler's law.
TEST_F(Universe, CompletionRanges) {
    Parse(std::string(unitest::kHeader) +
          "10,Sun,10,S,0,0,,0,0,0,0,0,0\n"
          "11,Rock,10,P,0,0,,0,100,0,0,0,0\n"
          "20,Lone,20,S,0,0,,0,0,0,0,0,0\n"
          "30,Moonlet,30,P,0,0,0,0,0,0,0,0,0\n"
          "31,Pebble,30,M,0,0,,5,,,0,0,0\n");
    dunCompleteBodies();
    struct Case {
        int id;
        double d;
    } masses[] = {{10, 2.0}, {11, 5.98e24}, {20, 1.99e30}, {31, 8.9e22}};
    for (const Case &c : masses) {
        const BodyRecord *b = Body(c.id);
        EXPECT_GE(b->mass, float(c.d * 0.75)) << c.id;
        EXPECT_LE(b->mass, float(c.d * 1.249)) << c.id;
    }
    const BodyRecord *rock = Body(11), *sun = Body(10), *moonlet = Body(30), *pebble = Body(31);
    const double r = std::pow(rock->mass / 2.23e12, 0.3333);
    EXPECT_GE(rock->radius, float(r * 0.9));
    EXPECT_LE(rock->radius, float(r * 1.1));
    // An orbit given, the period from it and the parent's mass.
    EXPECT_EQ(rock->orbitRadius, 100.0f);
    EXPECT_NEAR(rock->period, std::sqrt(4.0 * 1e6 / (double(sun->mass) * 6.18e-12)), rock->period * 1e-4);
    // Neither given: the least orbit, 200 parent radii out, plus 2000
    // radii from the surface.
    EXPECT_FLOAT_EQ(pebble->radius, 5.0f);
    EXPECT_FLOAT_EQ(pebble->orbitRadius, moonlet->radius * 200.0f + moonlet->radius * 2000.0f);
    const double a = pebble->orbitRadius;
    EXPECT_NEAR(pebble->period, std::sqrt(4.0 * a * a * a / (double(moonlet->mass) * 6.18e-12)), pebble->period * 1e-4);
}

TEST_F(Universe, BodiesByNumberOrName) {
    struct Case {
        int system;
        const char *text;
        int id;
    } cases[] = {
        {1, "Tamsin", 2}, {2, "Tamsin", -1}, {2, "Relay", 103}, {1, "Relay", -1},
        {2, "2", 2},  // a number finds its body whatever the system
        {1, "101", 101},  {1, "0x65", 101},  {1, "999", -1},    {1, "tamsin", -1},
    };
    for (const Case &c : cases) {
        const BodyRecord *b = dunFindBody(c.system, c.text);
        EXPECT_EQ(b ? b->id : -1, c.id) << c.system << " " << c.text;
    }
    EXPECT_STREQ(dunBodyNameByNumber("103"), "Relay");
    EXPECT_EQ(dunBodyNameByNumber("55"), nullptr);
    EXPECT_EQ(dunFindBody(2, nullptr), Body(100));  // the system's root
}

TEST_F(Universe, StarsByNameOrSystem) {
    EXPECT_EQ(dunNamedStarCount, 4);
    EXPECT_EQ(dunVisibleStarCount, 4);
    EXPECT_EQ(dunFindStar("Vessar", dunNamedStarCount), &dunStars[1]);
    EXPECT_EQ(dunFindStar("2", dunNamedStarCount), &dunStars[1]);
    EXPECT_EQ(dunFindStar("NULL", dunNamedStarCount), nullptr);
    EXPECT_EQ(dunFindStar("Nowhere", dunNamedStarCount), nullptr);
    // Stars behind the limit are never seen.
    EXPECT_EQ(dunFindStar("Aldine", 3), nullptr);
    EXPECT_STREQ(dunStarNameByCode(2), "Vessar");
    EXPECT_STREQ(dunStarNameByCode(21), "Thule");
    EXPECT_STREQ(dunStarNameByCode(26), "");
    EXPECT_EQ(dunStars[0].flags & StarFlag::Visited, 0u);  // cleared at load
}

// A hand-computed orbit: a quarter turn, inclination 90 and longitude 90
// degrees, plus the parent's map position.
TEST_F(Universe, OrbitPosition) {
    BodyRecord parent = {}, body = {};
    Vec3d parentAt = {5, 6, 7};
    parent.mapPosition = &parentAt;
    body.parent = &parent;
    body.period = 100;
    body.phase = 0.25f;
    body.orbitRadius = 1000;
    body.eccentricity = 0.1f;
    body.inclination = 90;
    body.longitude = 90;
    Vec3d at;
    dunOrbitPosition(&at, &body, 0.0f, 10.0f);
    // x = c x 10 = 1000, z = (a - c) x 10 = 9000; the inclination turns z
    // into y, the longitude x into -z.
    EXPECT_NEAR(at.x, 5.0, 1e-3);
    EXPECT_NEAR(at.y, 9006.0, 1e-3);
    EXPECT_NEAR(at.z, 7.0 - 1000.0, 1e-3);
    // A whole period later it is back; a period of 0 counts as 0.0001.
    Vec3d again;
    dunOrbitPosition(&again, &body, 100.0f, 10.0f);
    EXPECT_NEAR(again.y, at.y, 1e-3);
    body.period = 0;
    dunOrbitPosition(&again, &body, 0.00005f, 10.0f);
    EXPECT_TRUE(std::isfinite(again.x));
}

// What the files do: a missing star file leaves the table empty without a
// word; a missing bodies file is fatal.
TEST_F(Universe, MissingFiles) {
    ruvotest::TempDir dir;
    osFlushPathCache();
    EXPECT_EQ(dunLoadStars("vek\\resource\\geog\\stars.bin"), 0);
    EXPECT_EQ(dunNamedStarCount, 0);
    try {
        dunLoadBodies("vek\\resource\\geog\\excelrichsys.csv");
        FAIL() << "a missing bodies file returned";
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Can't load planetary systems...");
    }
}

// The first creation reads both files with its progress lines; a second
// only lays the bodies out on the map again.
TEST_F(Universe, CreatedOnce) {
    ruvotest::TempDir dir;
    WriteFile("vek/resource/geog/excelrichsys.csv", unitest::kBodies);
    const std::vector<uint8_t> stars = unitest::StarBytes(unitest::TestStars());
    WriteFile("vek/resource/geog/stars.bin", std::string(stars.begin(), stars.end()));
    dunForgetUniverse();
    static std::vector<std::string> steps;
    steps.clear();
    SetLoadProgressDisplay([](const char *text) { steps.push_back(text); });
    dunCreateUniverse();
    dunCreateUniverse();
    SetLoadProgressDisplay(nullptr);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"CREATING UNIVERSE...\n", "CREATING STARS...\n", "UNIVERSE CREATED...\n"}));
    EXPECT_EQ(dunBodies.size(), 13u);
    EXPECT_EQ(dunNamedStarCount, 4);
    EXPECT_EQ(fakes.Count("layoutBodies"), 1);
    EXPECT_EQ(dunStarMap.mode, 'G');
    EXPECT_EQ(dunStarMap.starFilter, 130u);
}

// ---- Damaged files ------------------------------------------------------------------------

// A field longer than the reader's 89 characters is cut, with a line in
// the log, and the row goes on being read.
TEST_F(Universe, LongFieldIsCut) {
    ruvotest::TempDir dir;
    Parse(std::string(unitest::kHeader) + "1," + std::string(300, 'N') + ",1,S,0,0,1,1,0,0,0,0,0\n");
    ASSERT_EQ(dunBodies.size(), 1u);
    EXPECT_EQ(std::string(dunBodies[0].name), std::string(89, 'N'));
    EXPECT_EQ(dunBodies[0].flags, BodyFlag::Star);
    EXPECT_NE(DebugLog().find("longer than 89 characters"), std::string::npos);
}

// A file without a final line break keeps its last row; a row cut short
// is dropped with a line in the log.
TEST_F(Universe, LastRowWithoutLineBreak) {
    ruvotest::TempDir dir;
    Parse(std::string(unitest::kHeader) + "1,A,1,S,0,0,1,1,0,0,0,0,0\n2,B,1,P,0,0,1,1,5,5,0,0,7");
    ASSERT_EQ(dunBodies.size(), 2u);
    EXPECT_EQ(dunBodies[1].inclination, 14.0f);
    Parse(std::string(unitest::kHeader) + "1,A,1,S,0,0,1,1,0,0,0,0,0\n2,B,1");
    EXPECT_EQ(dunBodies.size(), 1u);
    EXPECT_NE(DebugLog().find("cut short"), std::string::npos);
}

// A Lagrange point whose parent is missing, or whose parent has no parent,
// is left alone with a log line instead of being read through a null.
TEST_F(Universe, LagrangePointWithoutGrandparent) {
    ruvotest::TempDir dir;
    Parse(std::string(unitest::kHeader) +
          "1,Root,1,S,0,0,1,1,0,0,0,0,0\n"
          "2,Orphan,77,L4,0,0,0,0,0,0,0,0,0\n"
          "3,Near,1,L5,0,0,0,0,0,0,0,0,0\n");
    dunCompleteBodies();
    EXPECT_EQ(Body(2)->parent, nullptr);
    EXPECT_EQ(Body(3)->parent, Body(1));
    EXPECT_NE(DebugLog().find("Lagrange point without a parent's parent"), std::string::npos);
}

// A short star file fills what it has and leaves the rest empty; a name of
// all 20 bytes is still a terminated text.
TEST_F(Universe, ShortStarFile) {
    ruvotest::TempDir dir;
    std::vector<uint8_t> bytes = unitest::StarBytes({{"ABCDEFGHIJKLMNOPQRST", 1, 2, 3, 4, 0x100, 1.0f}}, 2);
    bytes.resize(bytes.size() - 10);  // the second record cut short
    dunParseStars(bytes.data(), bytes.size());
    EXPECT_STREQ(dunStars[0].name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(dunStars[0].system, 4);
    EXPECT_EQ(dunStars[1].x, 0.0f);
    EXPECT_EQ(dunStars[1].name[0], 0);
    EXPECT_EQ(dunNamedStarCount, 1);
    EXPECT_EQ(dunVisibleStarCount, 1);
}

// The star map's origin moves to a point and back: the named stars and the
// map's reference points shift, the ring of the near stars follows.
TEST_F(Universe, StarOriginShift) {
    dunStarMap.reference[0] = {10, 20, 30};
    const float x = dunStars[1].x;
    dunShiftStarOrigin(1e17f, 0, 0);
    EXPECT_FLOAT_EQ(dunStars[1].x, x - 1e17f);
    EXPECT_DOUBLE_EQ(dunStarMap.reference[0].x, 10.0 - double(1e17f));
    const FakeCall *ring = fakes.Find("buildOrbitRing", 1);  // the first was the map's start
    ASSERT_NE(ring, nullptr);
    EXPECT_FLOAT_EQ(ring->point.x, -1e17f);
    EXPECT_EQ(ring->a, 300);
    dunRestoreStarOrigin();
    EXPECT_FLOAT_EQ(dunStars[1].x, x);
    EXPECT_NEAR(dunStarMap.reference[0].x, 10.0, 100.0);
    EXPECT_EQ(fakes.Find("buildOrbitRing", 2)->point.x, 0.0f);
}
