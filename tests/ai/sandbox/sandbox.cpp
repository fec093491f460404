#include "sandbox/sandbox.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "RES/resman.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "core/frame.h"
#include "os/paths.h"
#include "platform/sound.h"
#include "script/mission.h"
#include "script/script.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/step.h"

namespace {

// The state the "stop" scenario runs: steer to come to rest at the point
// (p1, p2, p3) and hold there.
constexpr uint32_t kStopAtState = 79;

StateCommand *SandboxStopAt(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1, uint32_t p2,
                            uint32_t p3) {
    const Vec3 point = {float(int32_t(p1)), float(int32_t(p2)), float(int32_t(p3))};
    return dunai_Yield(c, 1, dunai_SteerToStopAt(ship, point, nullptr, 9000.0f));
}

// Rest: within 1000 of the point, slower than 1000.
constexpr float kRestDistance = 1000.0f, kRestSpeed = 1000.0f;

struct Driven {
    SceneItem *ship;
    uint32_t state;  // what its stack returned last frame
};

struct Run {
    const SandboxOptions *options;
    std::ostream *out;
    Vec3 point;
    std::vector<Driven> driven;
    std::vector<SceneItem *> listed;  // ships seen, for the "gone" events
    SandboxResult result;
    float now = 0;
    bool goalIsLoss = false;  // the goal: a ship is gone (destroyed)
};
Run *gRun = nullptr;

// The control routine of a driven ship: the turn of a frame starts afresh,
// then its stack runs.
void SandboxThink(SceneItem *ship) {
    Sim *s = ship->sim;
    if (!s || !s->shipInfo) return;
    s->flags &= ~SimFlag::TurnedThisFrame;
    const uint32_t state = dunai_RunStateStack(ship, s->shipInfo);
    for (Driven &d : gRun->driven)
        if (d.ship == ship) d.state = state;
}

const char *ShipName(const SceneItem *o) {
    const ShipInfo *info = o->sim ? o->sim->shipInfo : nullptr;
    if (info && info->className) return info->className;
    return info && info->name ? info->name : "?";
}

const char *StateName(uint32_t id) { return id < uint32_t(kStateIds) && AiStateNames[id] ? AiStateNames[id] : "?"; }

float Distance(const SceneItem *o, Vec3 p) {
    const Vec3d &q = o->sim->position;
    const double dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
    return float(std::sqrt(dx * dx + dy * dy + dz * dz));
}

float Speed(const SceneItem *o) { return float(VecLength(o->sim->velocity)); }

void Line(Run &run, const char *format, ...) __attribute__((format(printf, 2, 3)));
void Line(Run &run, const char *format, ...) {
    char text[256];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    *run.out << text << '\n';
}

template <class F>
void EachShip(F &&visit) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head && o != dunParkedListHead(); o = o->next)
        if ((o->flags & SceneFlag::InUse) && o->sim && o->sim->shipInfo) visit(o);
}

uint32_t TopState(const SceneItem *o) {
    const ShipInfo *info = o->sim->shipInfo;
    const int top = info->stateTop >= 0 && info->stateTop < kStateFrames ? info->stateTop : 0;
    return info->states[top].state;
}

int RoundsInFlight() {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head && o != dunParkedListHead(); o = o->next)
        if ((o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::LaunchedRound)) ++n;
    return n;
}

void ShipLines(Run &run) {
    if (run.goalIsLoss) Line(run, "t=%7.2f rounds in flight %d", run.now, RoundsInFlight());
    EachShip([&run](SceneItem *o) {
        const uint32_t state = TopState(o);
        const Vec3d &p = o->sim->position;
        Line(run, "t=%7.2f %-16s state %2u %-24s dist %11.1f speed %8.1f hull %3d at %.0f %.0f %.0f", run.now,
             ShipName(o), state, StateName(state), Distance(o, run.point), Speed(o), int(o->sim->hull), p.x, p.y,
             p.z);
    });
}

void Events(Run &run) {
    for (Driven &d : run.driven) {
        SceneItem *o = d.ship;
        if (!(o->flags & SceneFlag::InUse)) continue;
        const float distance = Distance(o, run.point), speed = Speed(o);
        if (!run.goalIsLoss && !run.result.goal && distance < kRestDistance && speed < kRestSpeed) {
            run.result.goal = true;
            run.result.goalSeconds = run.now;
            Line(run, "t=%7.2f event %s at rest %.1f from its point, speed %.1f", run.now, ShipName(o), distance,
                 speed);
        }
    }
    for (SceneItem *&o : run.listed) {
        if (o && !(o->flags & SceneFlag::InUse)) {
            Line(run, "t=%7.2f event a ship is gone", run.now);
            o = nullptr;
            if (run.goalIsLoss && !run.result.goal) {
                run.result.goal = true;
                run.result.goalSeconds = run.now;
            }
        }
    }
}

// The scenarios: each picks its ships and gives them their states.
struct Scenario {
    const char *name;
    const char *what;
    bool (*setUp)(Run &run);
};

bool SetUpStop(Run &run) {
    SceneItem *ship = static_cast<SceneItem *>(GetScriptSymbolValue(run.options->ship.c_str()));
    if (!ship || !ship->sim || !ship->sim->shipInfo) return false;
    // By default a point behind the ship and off to its side, so that it
    // must turn round before it can close.
    if (run.options->pointGiven) {
        run.point = run.options->point;
    } else {
        const Vec3 from = {float(ship->sim->position.x), float(ship->sim->position.y), float(ship->sim->position.z)};
        const Mat4 &m = ship->sim->matrix;
        run.point = {from.x - m.m[8] * 300000.0f + m.m[0] * 150000.0f, from.y + 40000.0f,
                     from.z - m.m[10] * 300000.0f + m.m[2] * 150000.0f};
    }
    // The state's parameters are whole numbers of 32 bits.
    auto whole = [](float v) { return v == v ? std::round(std::clamp(v, -2.0e9f, 2.0e9f)) : 0.0f; };
    run.point = {whole(run.point.x), whole(run.point.y), whole(run.point.z)};
    dunai_RegisterState(kStopAtState, "SandboxStopAt", SandboxStopAt, 0);
    ship->control = SandboxThink;
    dunai_ResetStateStack(ship->sim->shipInfo, kStopAtState, uint32_t(int32_t(run.point.x)),
                          uint32_t(int32_t(run.point.y)), uint32_t(int32_t(run.point.z)));
    run.driven.push_back({ship, kStopAtState});
    return true;
}

// An attack order on the other ship, unless the mission gave it one.
void AttackOrder(SceneItem *ship, SceneItem *other) {
    const OrderSlot &slot = ship->sim->shipInfo->orders[1];
    if (!slot.name || std::strcmp(slot.name, "FixedAttack") != 0) {
        dunai_SetNamedOrder(ship, 1, "FixedAttack", 100, 0, other);
        dunai_StartOrder(ship, 1);
    }
    if (!ship->sim->goal) ship->sim->goal = ship->sim->target = other;
}

// The ship named and its opponent (its goal, else the "Enemy" of the
// mission) fight by attack orders until one is gone.
bool SetUpDuel(Run &run) {
    SceneItem *ship = static_cast<SceneItem *>(GetScriptSymbolValue(run.options->ship.c_str()));
    if (!ship || !ship->sim || !ship->sim->shipInfo) return false;
    SceneItem *other = ship->sim->goal ? ship->sim->goal : static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    if (!other || other == ship || !other->sim || !other->sim->shipInfo) return false;
    AttackOrder(ship, other);
    AttackOrder(other, ship);
    run.goalIsLoss = true;
    run.point = dunFloatPosition(ship->sim);
    run.driven.push_back({ship, TopState(ship)});
    run.driven.push_back({other, TopState(other)});
    return true;
}

const Scenario kScenarios[] = {
    {"stop", "the ship steers to come to rest at a point (--point x,y,z; default behind it)", SetUpStop},
    {"duel", "the ship and its goal fight by their own orders until one is gone (--mission mission04)", SetUpDuel},
};

const Scenario *FindScenario(const std::string &name) {
    for (const Scenario &s : kScenarios)
        if (name == s.name) return &s;
    return nullptr;
}

// The working folder is the data root while the run lasts, as for the game.
class InFolder {
public:
    explicit InFolder(const std::string &folder) : old_(std::filesystem::current_path()) {
        if (!folder.empty()) std::filesystem::current_path(folder);
        osFlushPathCache();
    }
    ~InFolder() {
        std::filesystem::current_path(old_);
        osFlushPathCache();
    }

private:
    std::filesystem::path old_;
};

// The world, the script and the AI as a mission's start finds them.
void StartGame(uint32_t seed) {
    dunSeedRand15(seed);
    dunGameClock = 0;
    dunFrameCounter = 0;
    dunFrozen = 0;
    dunTimeScale = 1.0f;
    dunMsgInit();
    dunResetWorld();
    InitSineTable();
    resmanInit();
    InitializeScriptSystem();
    dunai_InstallWorldHooks();
    dunai_InitStateRegistry();
}

void StopGame() {
    dunClearDialogue();
    SoundReleaseAll();
    resmanShutdown();
    FreeScriptBuffers();
    gMainScriptPc = nullptr;
    WorldSetAiHooks(nullptr);
    dunResetWorld();
}

}  // namespace

std::string AiSandboxScenarios() {
    std::string out;
    for (const Scenario &s : kScenarios) out += std::string(s.name) + ": " + s.what + "\n";
    return out;
}

SandboxResult RunAiSandbox(const SandboxOptions &options, std::ostream &trace) {
    Run run{&options, &trace, {0, 0, 0}, {}, {}, {}};
    const Scenario *scenario = FindScenario(options.scenario);
    if (!scenario) {
        Line(run, "no scenario \"%s\"", options.scenario.c_str());
        return run.result;
    }
    InFolder root(options.dataRoot);
    StartGame(options.seed);
    gRun = &run;
    const std::string path = "vek\\resource\\scripts\\missions\\" + options.mission + ".scr";
    gMainScriptPc = TokeniseScript(path.c_str());
    if (!gMainScriptPc) {
        Line(run, "no mission \"%s\"", path.c_str());
    } else {
        ScriptProcessor(&gMainScriptPc, 0);
        run.result.ran = scenario->setUp(run);
        if (!run.result.ran) Line(run, "no ship \"%s\" in the mission", options.ship.c_str());
    }
    if (run.result.ran) {
        const int32_t step = options.step > 0 ? options.step : 1;
        Line(run, "ai_sandbox %s scenario %s seed %u step %d cs point %.0f %.0f %.0f", options.mission.c_str(),
             scenario->name, options.seed, step, run.point.x, run.point.y, run.point.z);
        EachShip([&run](SceneItem *o) { run.listed.push_back(o); });
        const int frames = int(std::lround(options.seconds * 100.0f / float(step)));
        const int every = options.every > 0 ? std::max(1, int(std::lround(options.every * 100.0f / float(step)))) : 0;
        ShipLines(run);
        for (int n = 1; n <= frames && !(run.goalIsLoss && run.result.goal); ++n) {
            dunFrameStep = step;
            dunFrameSeconds = float(step) / 100.0f;
            ++dunFrameCounter;
            std::vector<uint32_t> before;
            for (const Driven &d : run.driven) before.push_back(d.state);
            if (gMainScriptPc) ScriptProcessor(&gMainScriptPc, -1);
            dunSimulationStep();
            dunGameClock += uint32_t(step);
            if (run.goalIsLoss)
                for (Driven &d : run.driven)
                    if (d.ship->flags & SceneFlag::InUse) d.state = TopState(d.ship);
            run.now = float(n * step) / 100.0f;
            for (size_t i = 0; i < run.driven.size(); ++i)
                if (run.driven[i].state != before[i])
                    Line(run, "t=%7.2f event %s state %u %s", run.now, ShipName(run.driven[i].ship),
                         run.driven[i].state, StateName(run.driven[i].state));
            Events(run);
            if (every && n % every == 0) ShipLines(run);
        }
        if (!run.driven.empty() && (run.driven[0].ship->flags & SceneFlag::InUse)) {
            run.result.distance = Distance(run.driven[0].ship, run.point);
            run.result.speed = Speed(run.driven[0].ship);
        }
        if (run.result.goal)
            Line(run, "result goal met at t=%.2f; at the end %.1f from the point, speed %.1f", run.result.goalSeconds,
                 run.result.distance, run.result.speed);
        else
            Line(run, "result goal not met; at the end %.1f from the point, speed %.1f", run.result.distance,
                 run.result.speed);
    }
    gRun = nullptr;
    StopGame();
    return run.result;
}
