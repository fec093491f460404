#include "career/career_driver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "RES/util.h"
#include "app/game.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/timeline.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/p3d.h"
#include "script/briefing.h"
#include "script/career.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/universe.h"

namespace ruvotest {

// The career's order: the first mission opens the convoy watch, the last
// stand and the drone run; the last stand closes once the watch is flown,
// so it goes first; the watch is followed at once by the escort and opens
// the deep patrol, whose timer runs out before the patrol is done.
const std::vector<CareerLeg> kSampleCareer = {
    {1, 0, true}, {4, 0, true}, {2, 5, true}, {3, 0, false}, {6, 0, true},
};

namespace {

// Set-1 scan codes of the keys the player presses.
constexpr int kEsc = 0x01, kEnter = 0x1C, kF2 = 0x3C, kThrottleUp = 0x1B, kLds = 0x26, kUndock = 0x16, kEnd = 0x4F,
              kPageDown = 0x51, kTarget = 0x14, kShift = 0x2A, kQ = 0x10, kUp = 0x48, kDown = 0x50, kFullScreen = 0x21,
              kPause = 0x19;

const FrontShellHooks kShell = {[](const char *) {}, [] { gQuit = 1; }};

struct Driver {
    std::mt19937 rng;
    CareerResult *out = nullptr;
    int mission = 0;
    uint64_t step = 10000;  // ticks a turn: 10 centiseconds
    // The ships seen flying, by pool index: their names, to tell which went.
    std::map<int, std::string> ships;
    std::string lastState;
    std::string feed;

    int Jitter(int most) { return std::uniform_int_distribution<int>(0, most)(rng); }

    // ---- what the player sees

    static std::string Screen() { return gGuiScreen && gGuiScreen->name ? gGuiScreen->name : ""; }
    static std::string Objectives() {
        std::string s;
        for (int i = 0; i < gObjectiveCount && i < kObjectives; ++i)
            s += "OFD"[std::clamp<int>(gObjectives[i].state, 0, 2)];  // open, failed, done
        return s.empty() ? "-" : s;
    }
    static int Hull() { return dunPlayerShip && dunPlayerShip->sim ? dunPlayerShip->sim->hull : -1; }

    // The ships flying now, by pool index.
    static std::map<int, std::string> Ships() {
        std::map<int, std::string> now;
        for (int i = 0; i < kMaxSceneItems; ++i) {
            const SceneItem &s = dunSceneItemPool[i];
            if ((s.flags & SceneFlag::InUse) && s.sim && s.sim->shipInfo && s.sim->shipInfo->name)
                now[i] = s.sim->shipInfo->name;
        }
        return now;
    }

    void Trace(const std::string &event) {
        char line[512];
        std::snprintf(line, sizeof line, "%6lld m%d %-24s | obj %s score %d sys %d hull %d end %d screen %s%s%s",
                      (long long)out->turns, mission, event.c_str(), Objectives().c_str(), int(gMissionScore),
                      int(dunCurrentSystem), Hull(), int(gMissionEndState), Screen().c_str(),
                      gGuiFullScreen ? " full" : "", gPaused ? " paused" : "");
        out->trace.emplace_back(line);
    }

    // After every turn: the changes a player would notice.
    void Watch() {
        if (gFeed.pending[0] && feed.find(gFeed.pending) == std::string::npos) feed += gFeed.pending;
        if (gInFrontEnd) {
            ships.clear();
        } else {
            std::map<int, std::string> now = Ships();
            for (const auto &[index, name] : ships)
                if (!now.count(index) || now[index] != name) Trace("destroyed " + name);
            ships = std::move(now);
        }
        char state[96];
        // The hull in tenths, so that a fight shows as a few steps.
        std::snprintf(state, sizeof state, "obj %s end %d sys %d front %d hull %d full %d paused %d",
                      Objectives().c_str(), int(gMissionEndState), int(dunCurrentSystem), int(gInFrontEnd),
                      Hull() < 0 ? -1 : Hull() / 10, int(gGuiFullScreen), int(gPaused));
        if (lastState != state) {
            lastState = state;
            Trace("state");
        }
    }

    // ---- what the player does

    void Turn() {
        HeadlessTurn(step);
        ++out->turns;
        Watch();
    }
    void Turns(int n) {
        for (int i = 0; i < n; ++i) Turn();
    }
    template <class F>
    bool TurnsUntil(F done, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Turn();
        }
        return done();
    }
    void Key(int scan, int character = 0) { KeyQueuePut(uint16_t(scan << 8 | character)); }
    // Back at the navigation station when something took the screen away
    // (the script's camera cut, a hail at the command station).
    void AtTheHelm() {
        if (!gInFrontEnd && gMissionEndState == 0 && Screen() != "NAV") {
            Trace("key F2");
            Key(kF2);
            Turn();
        }
    }
    void Press(int scan, const char *what, int character = 0) {
        if (scan != kF2 && scan != kEsc && !gInFrontEnd) AtTheHelm();
        Trace(std::string("key ") + what);
        Key(scan, character);
        Turn();
    }
    void Hold(int scan, bool down) { GetKeyDownTable()[scan] = down ? 0xFF : 0; }
    // A click in the middle of a named window, the hover first.
    bool Click(const char *name) {
        GuiWindow *w = guiLiveWindow(GetScriptSymbolValue(name));
        if (!w) return false;
        Trace(std::string("click ") + name);
        guiWindowRect(w, nullptr, nullptr);
        const int x = (w->rect[0] + w->rect[2]) / 2, y = (w->rect[1] + w->rect[3]) / 2;
        OnMouseMove(nullptr, x, y, 0);
        Turns(2);
        OnLeftButtonDown(nullptr, x, y, 1);
        Turn();
        OnLeftButtonUp(nullptr, x, y, 0);
        Turn();
        return true;
    }
    void EndKey() {
        Trace("key Shift+Q");
        Hold(kShift, true);
        Key(kQ, 'Q');
        Turn();
        Hold(kShift, false);
    }
    // The comms arm's first reply, as its reply button gives it (the
    // keyboard has no reply key).
    bool Answer() {
        if (!gDialogueChoices) return false;
        dunSelectDialogueSpeaker(gDialogueChoices->addressee);
        if (gDialogueChoiceCount < 1) return false;
        Trace("reply to the hail");
        dunPlayDialogueChoice(gDialogueChoiceSlots[0]);
        return true;
    }

    bool Fail(const std::string &why) {
        if (out->failure.empty()) out->failure = "mission " + std::to_string(mission) + ": " + why;
        Trace("FAILED " + why);
        return false;
    }

    // ---- the front end

    bool NewCaptain() {
        if (!TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 40)) return Fail("no home page");
        Press(kEnter, "Enter", 13);
        if (!TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100)) return Fail("no roster");
        if (!Click("RosNew")) return Fail("no new-captain button");
        Trace("type the captain's name");
        for (const char *c = "Orla Venn"; *c; ++c) Key(0x1E, *c);
        Press(kEnter, "Enter", 13);
        if (!TurnsUntil([] { return Screen() == "NewRostSlot"; }, 30)) return Fail("no career style page");
        if (!Click("NRSSim")) return Fail("no simulation button");
        if (!TurnsUntil([] { return gFrontPage == FrontPage::Time && Screen() == "FrontTime"; }, 100))
            return Fail("no timeline");
        Turns(8);  // the timeline drops keys for its first frames
        return true;
    }

    // Up and Down on the timeline until the mission is selected.
    bool Select(int wanted) {
        for (int i = 0; i < 14; ++i) {
            const TimelineNode *n = FrontSelectedNode();
            if (n && n->mission && n->mission->index == wanted) return true;
            Press(i < 7 ? kDown : kUp, i < 7 ? "Down" : "Up");
        }
        return false;
    }

    // The timeline's two lists as the player sees them, and the slot's
    // played flags.
    std::string OpenMissions() {
        std::string open;
        for (const TimelineNode *n = gTimelineOpen.first; n; n = n->next)
            open += std::to_string(n->mission->index) + " ";
        open += "played";
        for (const TimelineNode *n = gTimelinePlayed.first; n; n = n->next)
            open += " " + std::to_string(n->mission->index);
        open += " flags";
        for (int m = 1; m <= 6; ++m) open += " " + std::to_string(gCaptainSlot.played[m]);
        return open;
    }

    // ---- the flight

    // Leaves the briefing (Esc) if the mission opens with one, then takes
    // the navigation station (F2).
    void TakeTheHelm() {
        if (TurnsUntil([] { return gBriefingOpen != 0; }, 20)) {
            Turns(5 + Jitter(10));
            Press(kEsc, "Esc (briefing)");
        }
        Turns(3 + Jitter(5));
        Press(kF2, "F2");
    }

    // The player's hand on End and Page Down bringing the nose round to a
    // point, level.
    void Steer(const Vec3d &to) {
        const Sim &s = *dunPlayerShip->sim;
        const double bearing = std::atan2(to.x - s.position.x, to.z - s.position.z);
        double e = (std::atan2(s.matrix.m[8], s.matrix.m[10]) - bearing) * 180.0 / M_PI;
        e = e > 180 ? e - 360 : e < -180 ? e + 360 : e;
        const double rate = dunPlayerShip->turnDemand[1];
        const double wanted = std::clamp(-6 * e, -60.0, 60.0);
        Hold(kEnd, rate > wanted + 3);
        Hold(kPageDown, rate < wanted - 3);
    }
    static double Range(const SceneItem *a, const SceneItem *b) {
        const Vec3d &p = a->sim->position, &q = b->sim->position;
        return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
    }

    // First Blood: the hail answered; the drive to the station, docking
    // and undocking; then the sector held until the raider breaks off.
    bool FirstBlood() {
        auto *station = static_cast<SceneItem *>(GetScriptSymbolValue("Station"));
        if (!station || !station->sim || !dunPlayerShip) return Fail("no station");
        bool answered = false;
        auto flyTurn = [&](bool steer) {
            if (!answered && Answer()) answered = true;
            if (steer && dunPlayerShip && station->sim) Steer(station->sim->position);
            Turn();
        };
        for (int i = 0; i < 4 + Jitter(2); ++i) {
            Press(kThrottleUp, "]");
        }
        for (int i = 0; i < 60; ++i) flyTurn(true);
        Press(kLds, "L (drive)");
        for (int i = 0; i < 50 && dunPlayerShip->sim->ldsRamp != 0; ++i) flyTurn(true);
        for (int i = 0; i < 5; ++i) Press(kThrottleUp, "]");
        for (int i = 0; i < 400 && Range(dunPlayerShip, station) > 400000.0; ++i) flyTurn(true);
        Press(kLds, "L (out of the drive)");
        for (int i = 0; i < 20 && (dunPlayerShip->sim->flags & SimFlag::Lds); ++i) flyTurn(true);
        for (int i = 0; i < 14; ++i) Press(kThrottleUp, "]");
        int limit = 800;
        while (limit-- > 0 && dunGetDockedPartner(dunPlayerShip) != station && gMissionEndState == 0) flyTurn(true);
        Hold(kEnd, false);
        Hold(kPageDown, false);
        if (dunGetDockedPartner(dunPlayerShip) != station) return Fail("never docked");
        Trace("docked");
        Turns(5 + Jitter(10));
        Press(kUndock, "U (undock)");
        if (dunGetDockedPartner(dunPlayerShip)) return Fail("still docked");
        Trace("undocked");
        if (!answered) return Fail("the raider never hailed");
        return true;
    }

    // The player's hand on the weapons: the nearest enemy targeted and the
    // fire key held until the mission ends or the time is up.
    void Fight(int turns) {
        Press(kTarget, "T (nearest enemy)");
        Trace("fire held");
        Hold(kEnter, true);
        for (int i = 0; i < turns && gMissionEndState == 0; ++i) {
            if (i % 50 == 49) Press(kTarget, "T (nearest enemy)");
            Key(kEnter, 13);
            Turn();
        }
        Hold(kEnter, false);
        Trace("fire let go");
    }

    // The world's destruction of a ship as a hit that destroys it delivers
    // it, with the player as attacker.
    void Destroy(SceneItem *item) {
        Trace(std::string("stand-in kill of ") + (item->sim && item->sim->shipInfo ? item->sim->shipInfo->name : "?"));
        DamageRecord r{};
        r.attacker = dunHandleOf(dunPlayerShip);
        dunPostDamageRecord(dunPlayerShip->receiverId, item->receiverId, 0, MsgDestroyed, &r);
    }

    bool FlyMission() {
        Trace("launched");
        TakeTheHelm();
        switch (mission) {
        case 1:
            if (!FirstBlood()) return false;
            break;
        case 4: {
            // The last stand: the player joins the navy's duel. The duel is
            // left to chance, so once the player has fired for a few seconds
            // the raider goes (a decisive stand-in for the shots), before
            // the duel is decided.
            for (int i = 0; i < 3 + Jitter(2); ++i) Press(kThrottleUp, "]");
            Fight(40 + Jitter(20));
            if (gMissionEndState == 0)
                if (auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
                    raider && (raider->flags & SceneFlag::InUse))
                    Destroy(raider);
            break;
        }
        case 3:
            // The deep patrol's jump comes after 300 of the script's turns:
            // the drive's spin-up in real frames of 2 centiseconds.
            step = 2000;
            for (int i = 0; i < 2 + Jitter(2); ++i) Press(kThrottleUp, "]");
            break;
        case 6:
            // The seeker at the practice drone while the other drone rams.
            for (int i = 0; i < 1 + Jitter(2); ++i) Press(kThrottleUp, "]");
            Fight(100 + Jitter(50));
            break;
        case 2:
            // The convoy watch: the view full screen and back (F), and a
            // pause (P) that holds the world until P again.
            for (int i = 0; i < 2 + Jitter(3); ++i) Press(kThrottleUp, "]");
            Turns(10 + Jitter(10));
            Press(kFullScreen, "F (full screen)");
            Turns(10 + Jitter(10));
            Press(kFullScreen, "F (the station's view)");
            Press(kPause, "P (pause)");
            Turns(5);
            Press(kPause, "P (on)");
            break;
        default:
            for (int i = 0; i < 2 + Jitter(3); ++i) Press(kThrottleUp, "]");
            break;
        }
        const int arrival = dunCurrentSystem;
        if (!TurnsUntil([] { return gMissionEndState != 0; }, mission == 3 ? 6000 : 3000))
            return Fail("the mission never ended");
        // The deep patrol moves on to its second system before it ends.
        if (mission == 3 && dunCurrentSystem == arrival) return Fail("no jump to another system");
        Trace(dunMissionSuccess ? "mission success" : "mission failure");
        step = 10000;
        Turns(2 + Jitter(5));
        return true;
    }

    // The end key: after a success the debriefing plays, then the front end
    // (or the follow-on mission) comes back.
    bool LeaveMission() {
        EndKey();
        feed.clear();
        if (!TurnsUntil([] { return gInFrontEnd != 0; }, 3000)) return Fail("never left the mission");
        out->results[mission] = gCareerState.word[StateWord::Success] != 0;
        Trace(std::string("debriefing: ") + (feed.empty() ? "none" : feed.substr(0, 60)));
        return true;
    }

    bool PlayLeg(const CareerLeg &leg) {
        mission = leg.mission;
        if (!Select(leg.mission)) return Fail("not open on the timeline: open " + OpenMissions());
        Press(kEnter, "Enter (play)", 13);
        if (!TurnsUntil([] { return gInFrontEnd == 0; }, 30)) return Fail("did not launch");
        if (gCareerMission != leg.mission) return Fail("launched " + std::to_string(gCareerMission));
        dunSeedRand15(uint32_t(rng()));
        if (!FlyMission() || !LeaveMission()) return false;
        if (leg.followOn) {
            if (!TurnsUntil([] { return gInFrontEnd == 0; }, 100)) return Fail("no follow-on mission");
            mission = leg.followOn;
            if (gCareerMission != leg.followOn) return Fail("follow-on " + std::to_string(gCareerMission));
            dunSeedRand15(uint32_t(rng()));
            if (!FlyMission() || !LeaveMission()) return false;
        }
        if (!TurnsUntil([] { return Screen() == "FrontTime"; }, 200)) return Fail("not back on the timeline");
        Turns(8);
        Trace("timeline: open " + OpenMissions());
        return true;
    }
};

void StartFrontEnd(int depth) {
    ResetOptions();
    ResetGameState();
    ResetOptionTable();
    PixelDepth = depth;
    BytesPerPixel = uint16_t(depth / 8);
    optFrontEndStart = 0xFF;
    // Without a sound device ("-xsound") the speech's lines last as their
    // texts say, not as long as the audio thread takes to play them: the
    // run's frames are the same every time.
    optSound = 0;
    gLanguage = 0;
    gQuit = 0;
    UseHeadlessClocks();
}

std::map<std::string, std::string> WrittenFiles() {
    std::map<std::string, std::string> files;
    namespace fs = std::filesystem;
    for (const auto &e : fs::directory_iterator("vek")) {
        if (!e.is_regular_file() || e.is_symlink()) continue;
        std::ifstream f(e.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << f.rdbuf();
        files[e.path().filename().string()] = bytes.str();
    }
    return files;
}

std::vector<std::string> NotBuilt() {
    std::ifstream in("debug.txt", std::ios::binary);
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("not built yet: ");
        if (at == std::string::npos) continue;
        std::string name = line.substr(at + 15);
        while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
        names.push_back(name);
    }
    return names;
}

}  // namespace

CareerResult PlayCareer(uint32_t seed, int depth) {
    CareerResult result;
    Driver d;
    d.rng.seed(seed);
    d.out = &result;
    StartFrontEnd(depth);
    if (StartHeadlessGame([] { SetFrontShellHooks(&kShell); }) != 1) {
        result.failure = "the game did not start";
        return result;
    }
    // The frames' time, as FrontEndSeconds counts it: from the started game
    // to its end, without the start and the shutdown.
    const auto begin = std::chrono::steady_clock::now();
    bool ok = d.NewCaptain();
    for (size_t i = 0; ok && i < kSampleCareer.size(); ++i) ok = d.PlayLeg(kSampleCareer[i]);
    if (ok) {
        d.mission = 0;
        d.Trace("career's end: open " + d.OpenMissions());
        for (const TimelineNode *n = gTimelineOpen.first; n; n = n->next) result.openAtEnd.push_back(n->mission->index);
        // Home (Esc from the timeline), then Shift+Q there ends the game.
        for (int i = 0; i < 3 && gFrontPage != FrontPage::Home; ++i) {
            d.Press(kEsc, "Esc");
            d.TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 60);
        }
        d.EndKey();
        d.TurnsUntil([] { return gQuit != 0; }, 20);
        result.quitCode = gQuit ? 0 : -1;
        result.finished = gQuit != 0;
        if (!gQuit) d.Fail("the home page's quit did not end the game");
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (!gInFrontEnd) exitMission();
    gameShutdown();
    P3DShutdown();
    result.files = WrittenFiles();
    result.notBuilt = NotBuilt();
    std::string written = "written:";
    for (const auto &[name, bytes] : result.files) written += " " + name + " " + std::to_string(bytes.size());
    result.trace.push_back(written);
    return result;
}

namespace {

// The result through a file, as length-prefixed records.
void PutField(std::ostream &o, char tag, const std::string &a, const std::string &b = "") {
    o << tag << ' ' << a.size() << ' ' << b.size() << '\n' << a << b << '\n';
}

void WriteResult(const CareerResult &r, const std::string &path) {
    std::ofstream o(path, std::ios::binary);
    PutField(o, 'S', r.finished ? "1" : "0", r.failure);
    for (const std::string &line : r.trace) PutField(o, 'T', line);
    for (const auto &[mission, success] : r.results) PutField(o, 'R', std::to_string(mission), success ? "1" : "0");
    for (const auto &[name, bytes] : r.files) PutField(o, 'F', name, bytes);
    for (const std::string &name : r.notBuilt) PutField(o, 'N', name);
    for (int mission : r.openAtEnd) PutField(o, 'O', std::to_string(mission));
    PutField(o, 'C', std::to_string(r.turns), std::to_string(r.seconds));
    PutField(o, 'Q', std::to_string(r.quitCode));
}

bool ReadResult(const std::string &path, CareerResult *r) {
    std::ifstream in(path, std::ios::binary);
    char tag;
    size_t na, nb;
    bool any = false;
    while (in >> tag >> na >> nb) {
        in.get();
        std::string a(na, '\0'), b(nb, '\0');
        in.read(a.data(), std::streamsize(na));
        in.read(b.data(), std::streamsize(nb));
        in.get();
        any = true;
        switch (tag) {
        case 'S': r->finished = a == "1", r->failure = b; break;
        case 'T': r->trace.push_back(a); break;
        case 'R': r->results[std::stoi(a)] = b == "1"; break;
        case 'F': r->files[a] = b; break;
        case 'N': r->notBuilt.push_back(a); break;
        case 'O': r->openAtEnd.push_back(std::stoi(a)); break;
        case 'C': r->turns = std::stoll(a), r->seconds = std::stod(b); break;
        case 'Q': r->quitCode = std::stoi(a); break;
        default: return false;
        }
    }
    return any;
}

}  // namespace

CareerResult PlayCareerInChild(uint32_t seed, int depth) {
    char path[] = "/tmp/ruvo-career-XXXXXX";
    const int fd = mkstemp(path);
    CareerResult r;
    if (fd < 0) {
        r.failure = "no result file";
        return r;
    }
    close(fd);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 3;
        {
            SampleRoot root;
            const CareerResult mine = PlayCareer(seed, depth);
            WriteResult(mine, path);
            if (mine.finished) code = mine.quitCode;
        }
        std::fflush(nullptr);
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        r.failure = "no child process";
    } else if (!ReadResult(path, &r)) {
        r.failure = WIFSIGNALED(status)
                        ? "the run ended by signal " + std::to_string(WTERMSIG(status))
                        : "the run wrote no result (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
    }
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::remove(path);
    return r;
}

double FrontEndSecondsInChild(int64_t turns) {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        double seconds = 0;
        {
            SampleRoot root;
            seconds = FrontEndSeconds(turns);
        }
        const ssize_t n = write(fds[1], &seconds, sizeof seconds);
        _exit(n == sizeof seconds ? 0 : 1);
    }
    close(fds[1]);
    double seconds = 0;
    if (read(fds[0], &seconds, sizeof seconds) != sizeof seconds) seconds = 0;
    close(fds[0]);
    int status = 0;
    if (pid > 0) waitpid(pid, &status, 0);
    return seconds;
}

double FrontEndSeconds(int64_t turns) {
    StartFrontEnd(8);
    if (StartHeadlessGame([] { SetFrontShellHooks(&kShell); }) != 1) return 0;
    const auto begin = std::chrono::steady_clock::now();
    for (int64_t i = 0; i < turns; ++i) HeadlessTurn(10000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    gameShutdown();
    P3DShutdown();
    return seconds;
}

}  // namespace ruvotest
