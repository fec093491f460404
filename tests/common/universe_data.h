// A small universe made in memory for the tests: bodies from text and stars
// from bytes.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "world/universe.h"

namespace unitest {

constexpr const char *kHeader = "a,b,c,d,e,f,g,h,i,j,k,l,m\n";

// Two systems: Kelvar (1) with a planet, its two Lagrange points, a moon
// and a belt; Vessar (2) with a planet and its relay.
constexpr const char *kBodies =
    "a,b,c,d,e,f,g,h,i,j,k,l,m\n"
    "1,Kelvar,1,S,2,0,1.99e30,300,0,0,0,0,0\n"
    "2,Tamsin,1,P,3,0,5.98e24,250,5000000,100,20,0,1\n"
    "3,L4,2,L4,0,0,0,0,0,0,0,0,0\n"
    "4,L5,2,L5,0,0,0,0,0,0,0,0,0\n"
    "5,Pell,2,M,21,0,8e22,60,1000000,50,90,0,0\n"
    "6,Orrin,1,G,0,0,5e24,400,12000000,300,130,0,0\n"
    "9,Drift,1,B,0,0,0,0,6000000,0,0,0,0\n"
    "100,Vessar,100,S,5,0,1.5e30,200,0,0,0,0,0\n"
    "101,Brannock,100,P,7,0,1.9e27,500,3000000,100,70,0,0\n"
    "103,Relay,101,L5,0,0,0,0,0,0,0,0,0\n"
    "2000,Thule,0,S,3,0,1.7e30,260,0,0,0,0,0\n"
    "2001,Hollow,2000,P,2,0,6e24,180,4000000,100,45,0,0\n"
    "2002,WeakL4,2001,L4,0,0,0,0,0,0,0,0,0\n";

struct TestStar {
    const char *name;
    float x, y, z;
    uint8_t system;
    uint32_t flags;
    float magnitude;
};

inline std::vector<uint8_t> StarBytes(const std::vector<TestStar> &stars, size_t count = kStarCount) {
    std::vector<uint8_t> bytes(count * kStarRecordBytes, 0);
    for (size_t i = 0; i < stars.size() && i < count; ++i) {
        uint8_t *r = &bytes[i * kStarRecordBytes];
        const TestStar &s = stars[i];
        std::memcpy(r, &s.x, 4);
        std::memcpy(r + 4, &s.y, 4);
        std::memcpy(r + 8, &s.z, 4);
        if (s.name) std::strncpy(reinterpret_cast<char *>(r + 12), s.name, 20);
        std::memcpy(r + 36, &s.magnitude, 4);
        r[40] = s.system;
        for (int k = 0; k < 4; ++k) r[41 + k] = uint8_t(s.flags >> (8 * k));
    }
    return bytes;
}

inline const std::vector<TestStar> &TestStars() {
    static const std::vector<TestStar> stars = {
        {"Kelvar", 0, 0, 0, 1, 0x19C, 2.0f},
        {"Vessar", 1e17f, 0, 0, 2, 0x184, 4.0f},
        {"Thule", -1e17f, 0, 0, 21, 0x184, 5.0f},
        {"Aldine", 4e17f, 0, 0, 0, 0x100, 3.0f},
    };
    return stars;
}

inline void LoadUniverse(const char *bodies = kBodies) {
    dunForgetUniverse();
    dunParseBodies(bodies, std::strlen(bodies));
    dunCompleteBodies();
    const std::vector<uint8_t> stars = StarBytes(TestStars());
    dunParseStars(stars.data(), stars.size());
    dunInitStarMapState();
    dunUniverseCreated = 1;
}

inline BodyRecord *Body(int id) {
    for (BodyRecord &b : dunBodies)
        if (b.id == id) return &b;
    return nullptr;
}

}  // namespace unitest
