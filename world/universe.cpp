// The universe catalogues: the bodies of the star systems (a text table) and
// the 3900 stars (a binary table), read once a run; completion of missing
// orbit data, the lookups, orbit positions and the star map's origin shift.
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "RES/resman.h"
#include "RES/util.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "core/progress.h"
#include "world/asteroids.h"
#include "world/belts.h"
#include "world/services.h"
#include "world/universe.h"

std::vector<BodyRecord> dunBodies;
StarRecord dunStars[kStarCount];
uint16_t dunNamedStarCount;
uint16_t dunVisibleStarCount;
uint8_t dunUniverseCreated;
StarMapState dunStarMap;
void *dunMapIcons[6];

namespace {

constexpr const char *kBodiesFile = "vek\\resource\\geog\\excelrichsys.csv";
constexpr const char *kStarsFile = "vek\\resource\\geog\\stars.bin";
constexpr const char *kIconFiles[6] = {
    "vek\\resource\\art\\icons\\gsv_lp.bbm",  "vek\\resource\\art\\icons\\gsv_lps.bbm",
    "vek\\resource\\art\\icons\\gsv_stc.bbm", "vek\\resource\\art\\icons\\gsv_sts.bbm",
    "vek\\resource\\art\\icons\\gsv_os.bbm",  "vek\\resource\\art\\icons\\gsv_stl.bbm",
};
constexpr int kColumns = 13;
// The scratch a field is read into holds 89 characters and its terminator.
constexpr size_t kFieldChars = 89;
constexpr float kNearRing = 3e17f;

std::vector<std::unique_ptr<char[]>> gBodyNames;
Vec3d gStarShift;

// ---- The bodies file ----------------------------------------------------------------------

struct FieldReader {
    const char *at;
    const char *end;
    int line = 1;
    // Reads one field into out; false when the end of the text came before
    // any separator (out then holds what was read).
    bool Next(char (&out)[kFieldChars + 1], bool *ended) {
        size_t n = 0;
        bool cut = false;
        *ended = false;
        for (;;) {
            if (at >= end) {
                *ended = true;
                break;
            }
            const char c = *at++;
            if (c == ',') break;
            if (c == '\n') {
                ++line;
                break;
            }
            // Quotes are dropped wherever they stand, and so is the carriage
            // return a text-mode read would have eaten.
            if (c == '"' || c == '\r') continue;
            if (n < kFieldChars) out[n++] = c;
            else cut = true;
        }
        out[n] = '\0';
        if (cut) dunDebugPrintf("Bodies file line %i: a field longer than 89 characters was cut", line);
        return !*ended || n > 0;
    }
};

// "%i": an optional sign, then 0x for hexadecimal or a leading 0 for octal;
// an empty or unreadable field is 0.
int32_t ReadInteger(const char *text) {
    char *end = nullptr;
    const long v = std::strtol(text, &end, 0);
    if (end == text) return 0;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

// "%f" in the "C" locale; an empty field is 0, and so is a value that is no
// finite number (it would poison every orbit computed from it).
float ReadReal(const char *text) {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text == '+') ++text;
    const char *end = text + std::strlen(text);
    float v = 0.0f;
    const auto r = std::from_chars(text, end, v);
    if (r.ec != std::errc() || !std::isfinite(v)) return 0.0f;
    return v;
}

uint32_t ClassFlags(const char *text) {
    switch (text[0]) {
    case 'S': return BodyFlag::Star;
    case 'G': return BodyFlag::Planet | BodyFlag::Generated;
    case 'M': return BodyFlag::Moon;
    case 'B': return BodyFlag::Belt;
    case 'L': return BodyFlag::Lagrange | (text[1] == '4' ? BodyFlag::LeadingPoint : BodyFlag::TrailingPoint);
    default: return BodyFlag::Planet;
    }
}

// Depth first below a node: the node, its children, then its siblings.
BodyRecord *FindBelow(BodyRecord *node, int id) {
    for (; node; node = node->nextSibling) {
        if (node->id == id) return node;
        if (BodyRecord *found = FindBelow(node->firstChild, id)) return found;
    }
    return nullptr;
}

void AppendChild(BodyRecord *parent, BodyRecord *child) {
    BodyRecord **slot = &parent->firstChild;
    while (*slot) slot = &(*slot)->nextSibling;
    *slot = child;
}

struct Row {
    char fields[kColumns][kFieldChars + 1];
};

// The default mass of a class, by flags compared whole.
double DefaultMass(uint32_t flags) {
    switch (flags) {
    case 1: return 1.99e30;
    case 2: return 5.98e24;
    case 4: return 8.9e22;
    default: return 2.0;
    }
}

BodyRecord *BodyById(int id) {
    for (BodyRecord &b : dunBodies)
        if (b.id == id) return &b;
    return nullptr;
}

}  // namespace

void dunForgetUniverse() {
    dunBodies.clear();
    gBodyNames.clear();
    std::memset(dunStars, 0, sizeof dunStars);
    dunNamedStarCount = dunVisibleStarCount = 0;
    dunUniverseCreated = 0;
    std::memset(static_cast<void *>(&dunStarMap), 0, sizeof dunStarMap);
    dunStarMap.selectedEntry = -1;
    gStarShift = {0.0, 0.0, 0.0};
    std::memset(dunMapIcons, 0, sizeof dunMapIcons);
    dunResetUniverseState();
    dunResetSolarSystemState();
    dunForgetAsteroidModels();
}

void dunParseBodies(const char *text, size_t size) {
    dunBodies.clear();
    gBodyNames.clear();
    FieldReader reader{text, text + size};
    char field[kFieldChars + 1];
    bool ended = false;
    for (int i = 0; i < kColumns && !ended; ++i) reader.Next(field, &ended);
    // The rows first, so that the table is laid out once and the links
    // between its records stay put.
    std::vector<Row> rows;
    while (!ended) {
        Row row;
        int got = 0;
        bool cut = false;
        for (; got < kColumns; ++got) {
            const bool hasText = reader.Next(row.fields[got], &ended);
            if (!ended) continue;
            // The last field of a file without a final line break still
            // counts; anything less is a row cut short.
            if (got == kColumns - 1) ++got;
            else cut = got > 0 || hasText;
            break;
        }
        if (got == kColumns) rows.push_back(row);
        if (cut) dunDebugPrintf("Bodies file line %i: a row cut short by the end of the file", reader.line);
    }
    dunBodies.reserve(rows.size());
    BodyRecord *root = nullptr;
    for (const Row &row : rows) {
        dunBodies.push_back(BodyRecord{});
        BodyRecord &b = dunBodies.back();
        b.id = int16_t(ReadInteger(row.fields[0]));
        const size_t length = std::strlen(row.fields[1]);
        gBodyNames.emplace_back(new char[length + 1]);
        std::memcpy(gBodyNames.back().get(), row.fields[1], length + 1);
        b.name = gBodyNames.back().get();
        const int32_t parentId = ReadInteger(row.fields[2]);
        b.flags = ClassFlags(row.fields[3]);
        b.appearance = uint16_t(ReadInteger(row.fields[4]));
        b.surface = ReadReal(row.fields[5]);
        b.mass = ReadReal(row.fields[6]);
        b.radius = ReadReal(row.fields[7]);
        b.orbitRadius = ReadReal(row.fields[8]);
        b.period = ReadReal(row.fields[9]);
        b.longitude = ReadReal(row.fields[10]);
        b.eccentricity = ReadReal(row.fields[11]);
        b.inclination = ReadReal(row.fields[12]) * 2.0f;
        if (parentId == 0 || parentId == b.id) {
            root = &b;
        } else if (BodyRecord *parent = root ? FindBelow(root, parentId) : nullptr) {
            b.parent = parent;
            AppendChild(parent, &b);
        }
        if (b.parent && b.orbitRadius != 0.0f && b.id > 100)
            b.orbitRadius = b.parent->radius * 1000.0f * 2.0f + b.orbitRadius;
        if (b.eccentricity > 1.0f) b.eccentricity = b.orbitRadius != 0.0f ? b.eccentricity / b.orbitRadius : 0.0f;
        b.phase = float(dunRandom32() % 1000) / 1000.0f;
        if (!b.parent) continue;
        if (b.flags & BodyFlag::Lagrange) {
            b.parent->flags |= BodyFlag::HasLagrange;
        } else if (b.orbitRadius > b.parent->outerChildOrbit) {
            b.parent->outerChildOrbit = b.orbitRadius;
            b.parent->flags |= BodyFlag::HasChildren;
        }
    }
}

void dunLoadBodies(const char *path) {
    uint8_t *data = nullptr;
    size_t size = 0;
    if (!ReadGameFile(path, &data, &size, kBodiesFileLimit)) dunFatalError("Can't load planetary systems...");
    dunParseBodies(reinterpret_cast<const char *>(data), size);
    std::free(data);
}

void dunCompleteBodies() {
    for (BodyRecord &b : dunBodies) {
        if (b.flags & BodyFlag::Lagrange) {
            BodyRecord *parent = b.parent;
            if (!parent || !parent->parent) {
                // A point needs a body and what that body orbits.
                dunDebugPrintf("Body %i (%s): a Lagrange point without a parent's parent is left as it is", b.id,
                               b.name);
            } else {
                b.parent = parent->parent;
                b.period = parent->period;
                b.orbitRadius = parent->orbitRadius;
                b.inclination = parent->inclination;
                b.eccentricity = parent->eccentricity;
                b.phase = parent->phase;
                b.longitude = parent->longitude + ((b.flags & BodyFlag::LeadingPoint) ? 60.0f : -60.0f);
            }
        }
        if ((b.flags & BodyFlag::HasLagrange) && b.parent && b.parent->parent &&
            (b.parent->parent->flags & BodyFlag::Star)) {
            const BodyRecord *p = b.parent;
            b.phase = float(dunRandom32() % 250) * 0.0001f + b.longitude / 360.0f + (p->phase - p->longitude / 360.0f) +
                      0.375f;
        }
        if (b.mass < 1.0f) b.mass = float(double(dunRandom32() % 500 + 750) * DefaultMass(b.flags & 0xFFFF) * 0.001);
        if (b.radius >= 0.0f && b.radius < 1.0f)
            b.radius = float(std::pow(double(b.mass) / 2.23e12, 0.3333) * double(dunRandom32() % 200 + 900) / 1000.0);
        if (!b.parent || (b.orbitRadius >= 1.0f && b.period >= 1.0f)) continue;
        const BodyRecord *p = b.parent;
        const double m = p->mass < 0.1f ? DefaultMass(p->flags) : double(p->mass);
        double a = b.orbitRadius;
        if (b.orbitRadius < 1.0f) {
            const double w = 2.0 / double(b.period);
            a = std::cbrt(m * 6.81e-12 / (w * w));
            if (p != &b && a < double(p->radius) * 200.0) a = double(p->radius) * 200.0;
            a += double(p->radius) * 1000.0 * 2.0;
            b.orbitRadius = float(a);
        }
        if (b.period < 1.0f) b.period = float(std::sqrt(4.0 * a * a * a / (m * 6.18e-12)));
    }
}

// ---- The stars ----------------------------------------------------------------------------

void dunParseStars(const uint8_t *data, size_t size) {
    std::memset(dunStars, 0, sizeof dunStars);
    dunNamedStarCount = dunVisibleStarCount = 0;
    const ByteView v = BytesOf(data, size);
    int read = 0;
    for (; read < kStarCount; ++read) {
        const size_t at = size_t(read) * kStarRecordBytes;
        if (!BytesHave(v, at, kStarRecordBytes)) break;
        StarRecord &s = dunStars[read];
        uint32_t words[3], colour, magnitude;
        for (int k = 0; k < 3; ++k) ReadU32Le(v, at + 4 * size_t(k), &words[k]);
        std::memcpy(&s.x, &words[0], 4);
        std::memcpy(&s.y, &words[1], 4);
        std::memcpy(&s.z, &words[2], 4);
        BytesCopy(v, at + 12, s.name, 20);
        s.name[20] = '\0';
        ReadU32Le(v, at + 32, &colour);
        ReadU32Le(v, at + 36, &magnitude);
        std::memcpy(&s.colour, &colour, 4);
        std::memcpy(&s.magnitude, &magnitude, 4);
        ReadU8(v, at + 40, &s.system);
        ReadU32Le(v, at + 41, &s.flags);
        s.flags &= ~StarFlag::Visited;
        if (s.flags & StarFlag::Visible) ++dunVisibleStarCount;
        if (s.name[0]) ++dunNamedStarCount;
    }
    for (int i = 0; i < kStarCount; ++i) dunStars[i].namePointer = dunStars[i].name;
    if (read < kStarCount && size > 0)
        dunDebugPrintf("Stars file: %i of %i records, the rest left empty", read, kStarCount);
}

int dunLoadStars(const char *path) {
    dunNamedStarCount = dunVisibleStarCount = 0;
    uint8_t *data = nullptr;
    size_t size = 0;
    if (!ReadGameFile(path, &data, &size, kStarsFileBytes)) return 0;
    dunParseStars(data, size);
    std::free(data);
    return 1;
}

// ---- Creation ------------------------------------------------------------------------------

void dunResetUniverseState() {
    std::memset(dunSystemVisited, 0, sizeof dunSystemVisited);
    dunStarMap.entryCount = 0;
    dunStarMap.shownSystem = 0;
    dunStarMap.selectedStar = nullptr;
    dunStarMap.selectedEntry = -1;
    dunBeltCount = 0;
    dunBeltObjectCount = 0;
    // The models the presentation made for this mission go with it.
    dunForgetPresentationModels();
}

void dunInitStarMapState() {
    dunStarMap.mode = 'G';
    dunStarMap.starFilter = 130;
    dunStarMap.selectedEntry = -1;
    for (Vec3d &p : dunStarMap.reference) p = {0.0, 0.0, 0.0};
    dunCall(dunHud().buildOrbitRing, 0.0f, 0.0f, 0.0f, kNearRing);
}

void dunCreateUniverse() {
    dunResetUniverseState();
    for (int i = 0; i < 6; ++i) dunMapIcons[i] = resmanRegisterLoad(kIconFiles[i], 2);
    if (dunUniverseCreated) {
        dunCall(dunHud().layoutBodies);
        return;
    }
    LoadProgressStep("CREATING UNIVERSE...\n");
    dunLoadBodies(kBodiesFile);
    dunCompleteBodies();
    LoadProgressStep("CREATING STARS...\n");
    dunLoadStars(kStarsFile);
    dunInitStarMapState();
    LoadProgressStep("UNIVERSE CREATED...\n");
    dunUniverseCreated = 1;
}

// ---- Lookups -------------------------------------------------------------------------------

BodyRecord *dunFindBody(int32_t system, const char *text) {
    const int low = (system - 1) * 100, high = system * 100;
    if (!text) {
        // No text: the system's root, the body the system's transfers go to.
        for (BodyRecord &b : dunBodies)
            if (b.id >= low && b.id < high) return &b;
        return nullptr;
    }
    if (text[0] >= '0' && text[0] <= '9') return BodyById(ReadInteger(text));
    for (BodyRecord &b : dunBodies)
        if (b.id >= low && b.id < high && !std::strcmp(b.name, text)) return &b;
    return nullptr;
}

const char *dunBodyNameByNumber(const char *text) {
    const BodyRecord *b = text ? BodyById(ReadInteger(text)) : nullptr;
    return b ? b->name : nullptr;
}

StarRecord *dunFindStar(const char *text, int limit) {
    if (!text || !std::strcmp(text, "NULL")) return nullptr;
    if (limit > kStarCount) limit = kStarCount;
    const bool number = text[0] >= '0' && text[0] <= '9';
    const int32_t system = number ? ReadInteger(text) : 0;
    for (int i = 0; i < limit; ++i) {
        StarRecord &s = dunStars[i];
        if (number ? s.system == system : !std::strcmp(s.name, text)) return &s;
    }
    return nullptr;
}

const char *dunStarNameByCode(int32_t system) {
    for (int i = 0; i < dunNamedStarCount; ++i)
        if (dunStars[i].name[0] && dunStars[i].system == system) return dunStars[i].name;
    return "";
}

void dunShiftStarOrigin(float x, float y, float z) {
    gStarShift = {x, y, z};
    for (int i = 0; i < dunNamedStarCount; ++i) {
        dunStars[i].x -= x;
        dunStars[i].y -= y;
        dunStars[i].z -= z;
    }
    for (Vec3d &p : dunStarMap.reference) p = {p.x - x, p.y - y, p.z - z};
    dunCall(dunHud().buildOrbitRing, -x, -y, -z, kNearRing);
}

void dunRestoreStarOrigin() {
    const Vec3d d = gStarShift;
    for (int i = 0; i < dunNamedStarCount; ++i) {
        dunStars[i].x += float(d.x);
        dunStars[i].y += float(d.y);
        dunStars[i].z += float(d.z);
    }
    for (Vec3d &p : dunStarMap.reference) p = {p.x + d.x, p.y + d.y, p.z + d.z};
    gStarShift = {0.0, 0.0, 0.0};
    dunCall(dunHud().buildOrbitRing, 0.0f, 0.0f, 0.0f, kNearRing);
}

void dunOrbitPosition(Vec3d *out, const BodyRecord *body, float time, float scale) {
    const double period = body->period < 0.0001f ? 0.0001 : double(body->period);
    const double turns = double(time) / period;
    const double angle = 2.0 * M_PI * ((turns - std::floor(turns)) + double(body->phase));
    const double a = body->orbitRadius, c = a * double(body->eccentricity);
    double x = (std::cos(angle) * a + c) * scale, y = 0.0, z = std::sin(angle) * (a - c) * scale;
    const double i = double(body->inclination) * M_PI / 180.0;
    const double y1 = y * std::cos(i) + z * std::sin(i), z1 = z * std::cos(i) - y * std::sin(i);
    y = y1;
    z = z1;
    const double l = double(body->longitude) * M_PI / 180.0;
    const double x2 = x * std::cos(l) + z * std::sin(l), z2 = z * std::cos(l) - x * std::sin(l);
    x = x2;
    z = z2;
    if (body->parent && body->parent->mapPosition) {
        x += body->parent->mapPosition->x;
        y += body->parent->mapPosition->y;
        z += body->parent->mapPosition->z;
    }
    *out = {x, y, z};
}

int dunBuildSystemBodyTable(int system) {
    for (BodyRecord &b : dunBodies) b.mapPosition = nullptr;
    dunStarMap.entryCount = 0;
    dunStarMap.shownSystem = int16_t(system);
    dunStarMap.selectedEntry = -1;
    const int low = (system - 1) * 100, high = system * 100;
    for (BodyRecord &b : dunBodies) {
        if (b.id < low || b.id >= high || dunStarMap.entryCount >= kMaxSystemBodies) continue;
        NavMapBodyEntry &e = dunStarMap.entries[dunStarMap.entryCount++];
        e = NavMapBodyEntry{};
        e.body = &b;
        dunOrbitPosition(&e.position, &b, 0.0f, 10.0f);
        b.mapPosition = &e.position;
    }
    dunCall(dunHud().buildSystemMeshes, system);
    return dunStarMap.entryCount;
}
