// Recording stand-ins for the subsystems above the world: every call the
// world makes through its hook tables is written down in order, with the
// objects and numbers it was given. A few answers can be set.
#pragma once

#include <string>
#include <vector>

#include "world/records.h"

struct FakeCall {
    std::string name;
    SceneItem *item = nullptr;
    SceneItem *other = nullptr;
    int a = 0;
    int b = 0;
    Vec3 point = {};
    Vec3 velocity = {};
    DamageRecord record = {};
    std::string text;
};

// The node routine of particle parts and the simple AI's control routine
// the fakes install (they do nothing).
void FakeSoftParticles(TDP *node, const Mat4 *world);
void FakeThinkSimple(SceneItem *item);

struct WorldFakes {
    std::vector<FakeCall> calls;
    // Answers.
    int scoreSummary = 0;
    int32_t currentMission = 0;
    int32_t holdOff = 0;
    const char *proximityText = "PROXIMITY";
    const char *starLogFormat = "Touched %s";
    bool optionsScreenShown = false;
    int32_t station = 1;
    // The HUD's list emptied and its points shifted (counted, not recorded:
    // every world reset empties it).
    int hudClears = 0;
    int hudShifts = 0;
    float cameraZoom = 0.0f;
    float projectionScale = 1.0f;
    uint32_t scoreRecordWord = 0;
    bool hasScoreRecord = false;
    // When set, the damage messages of collisions are really posted (as the
    // combat code posts them), so the handler takes them.
    bool postDamage = false;
    uint32_t sideTargetMask = 0;
    int fireResult = 0;
    bool stickBlocked = false;
    bool remoteBlocked = false;
    Vec3 subNodePoint = {};
    // Runs inside the AI's think call (an autopilot that flies the ship).
    void (*onThink)(SceneItem *ship) = nullptr;
    // Runs inside the AI's steering towards a point.
    void (*onSteer)(SceneItem *ship, const Vec3 *point) = nullptr;
    // Hits on ships are booked against their damage block.
    bool shipHitBooksDamage = false;
    bool aimsAtSubTarget = false;
    Vec3 subTargetCentre = {};
    SceneItem *nearestShip = nullptr;
    const char *cockpitText = nullptr;
    bool dialoguePlaying = false;

    // Installs every table with this recorder; the destructor takes them out.
    WorldFakes();
    ~WorldFakes();
    WorldFakes(const WorldFakes &) = delete;
    WorldFakes &operator=(const WorldFakes &) = delete;

    int Count(const std::string &name) const;
    // The n-th call of that name (0-based), or null.
    const FakeCall *Find(const std::string &name, int n = 0) const;
    std::vector<std::string> Names() const;
};
