#include "app/monkey.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "app/shell.h"
#include "core/frame.h"
#include "core/log.h"
#include "gui/front.h"
#include "gui/screen.h"
#include "os/events.h"
#include "os/input.h"
#include "os/window.h"
#include "platform/keyboard.h"
#include "platform/video.h"
#include "script/career.h"
#include "script/checkpoints.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/pools.h"

uint8_t gMonkeyOn;

namespace {

// Its own generator, so that the game's random sequence is left as it is.
uint64_t gState;
uint32_t Next() {
    gState ^= gState << 13;
    gState ^= gState >> 7;
    gState ^= gState << 17;
    return uint32_t(gState >> 16);
}
int Below(int n) { return n > 0 ? int(Next() % uint32_t(n)) : 0; }
bool Chance(int percent) { return Below(100) < percent; }

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The keys a player presses, set-1 scan codes, with their characters: the
// letters and digits, brackets, Space, Enter, Tab, Esc, Backspace, the
// function keys (the stations), the arrows and the block above them, the
// keypad's look keys. Ctrl and Alt are never pressed: with them the keys
// save screenshots and films, which would fill the disk, not test the game.
struct MonkeyKey {
    uint8_t scan;
    char character;
};
const MonkeyKey kKeys[] = {
    {0x02, '1'}, {0x03, '2'}, {0x04, '3'}, {0x05, '4'}, {0x06, '5'}, {0x07, '6'}, {0x08, '7'}, {0x09, '8'}, {0x0A, '9'},
    {0x0B, '0'}, {0x0C, '-'}, {0x0D, '='}, {0x10, 'q'}, {0x11, 'w'}, {0x12, 'e'}, {0x13, 'r'}, {0x14, 't'}, {0x15, 'y'},
    {0x16, 'u'}, {0x17, 'i'}, {0x18, 'o'}, {0x19, 'p'}, {0x1A, '['}, {0x1B, ']'}, {0x1E, 'a'}, {0x1F, 's'}, {0x20, 'd'},
    {0x21, 'f'}, {0x22, 'g'}, {0x23, 'h'}, {0x24, 'j'}, {0x25, 'k'}, {0x26, 'l'}, {0x2C, 'z'}, {0x2D, 'x'}, {0x2E, 'c'},
    {0x2F, 'v'}, {0x30, 'b'}, {0x31, 'n'}, {0x32, 'm'}, {0x39, ' '}, {0x1C, 13},  {0x0F, 9},   {0x01, 27},  {0x0E, 8},
    {0x3B, 0},   {0x3C, 0},   {0x3D, 0},   {0x3E, 0},   {0x3F, 0},   {0x40, 0},   {0x41, 0},   {0x42, 0},   {0x43, 0},
    {0x44, 0},   {0x57, 0},   {0x58, 0},   {0x48, 0},   {0x50, 0},   {0x4B, 0},   {0x4D, 0},   {0x47, 0},   {0x4F, 0},
    {0x49, 0},   {0x51, 0},   {0x52, 0},   {0x53, 0},   {0x4C, 0},
};
constexpr uint8_t kShift = 0x2A;

// Keys held down, released after a few turns.
struct Held {
    uint8_t scan;
    int turns;
};
Held gHeld[8];

void Post(uint16_t type, uint8_t scan, uint32_t wParam = 0) {
    OsMessage m{};
    m.type = type;
    m.keyData = uint16_t(scan | (type == OSM_KEYUP ? OS_KD_UP : 0));
    m.wParam = wParam;
    osPostMessage(m);
}

void Press(const MonkeyKey &k, int turns) {
    Post(OSM_KEYDOWN, k.scan);
    if (k.character) Post(OSM_CHAR, 0, uint8_t(k.character));
    for (Held &h : gHeld)
        if (!h.scan) {
            h = {k.scan, turns};
            return;
        }
    Post(OSM_KEYUP, k.scan);
}

void ReleaseDue() {
    for (Held &h : gHeld)
        if (h.scan && --h.turns <= 0) {
            Post(OSM_KEYUP, h.scan);
            h.scan = 0;
        }
}

void Mouse(uint16_t type, int x, int y, uint32_t buttons) {
    OsMessage m{};
    m.type = type;
    m.x = x;
    m.y = y;
    m.wParam = buttons;
    osPostMessage(m);
}

int gMouseX = 320, gMouseY = 240;

void MoveMouse() {
    int w = 640, h = 480;
    osWindowClientSize(osMainWindowHandle(), &w, &h);
    if (w < 1 || h < 1) w = 640, h = 480;
    if (Chance(20)) {
        gMouseX = Below(w);
        gMouseY = Below(h);
    } else {
        gMouseX = (gMouseX + Below(41) - 20 + w) % w;
        gMouseY = (gMouseY + Below(41) - 20 + h) % h;
    }
    Mouse(OSM_MOUSEMOVE, gMouseX, gMouseY, 0);
}

void Click() {
    const int button = Below(6);
    if (button < 4) {
        Mouse(OSM_LBUTTONDOWN, gMouseX, gMouseY, OS_MK_LBUTTON);
        Mouse(OSM_LBUTTONUP, gMouseX, gMouseY, 0);
    } else if (button == 4) {
        Mouse(OSM_RBUTTONDOWN, gMouseX, gMouseY, OS_MK_RBUTTON);
        Mouse(OSM_RBUTTONUP, gMouseX, gMouseY, 0);
    } else {
        Mouse(OSM_MBUTTONDOWN, gMouseX, gMouseY, OS_MK_MBUTTON);
        Mouse(OSM_MBUTTONUP, gMouseX, gMouseY, 0);
    }
}

int32_t gAxes[4];
uint32_t gButtons;
uint8_t gHat;

void MoveStick() {
    for (int32_t &a : gAxes) {
        a += Below(8001) - 4000;
        if (a < -32768) a = -32768;
        if (a > 32767) a = 32767;
    }
    if (Chance(10)) gAxes[Below(4)] = 0;
    if (Chance(5)) gButtons ^= 1u << Below(8);
    if (Chance(3)) {
        static const uint8_t kHats[] = {0, 1, 2, 4, 8, 3, 6, 12, 9};
        gHat = kHats[Below(9)];
    }
    osVirtualJoystickSet(gAxes, gButtons, gHat);
}

// ---- The career, played in turn

int64_t gPhaseEnd;  // when the front end launches, or a flight is ended
bool gWasInFrontEnd = true;
int gLaunches, gSaves, gLoads, gQuitsKept, gAnswers;
int64_t gAnswerDue;
int64_t gNextPoolLog;
int64_t gStart;

void LaunchNext() {
    dunRebuildAvailableMissions();
    if (gAvailableCount <= 0) {
        // The career's end: a new one in the same slot.
        dunNewCaptainSlot();
        dunRebuildAvailableMissions();
    }
    // Half the time a mission the career has open, as the timeline offers
    // it; else any of the career's missions, so that a run that keeps
    // failing the first still flies them all.
    int rows[kCareerMissions], n = 0;
    for (int r = 1; r < kCareerMissions; ++r)
        if (gMissionTable[r].missionNumber > 0) rows[n++] = r;
    if (gAvailableCount > 0 && (Chance(50) || n == 0)) gCareerMission = gAvailableMissions[Below(gAvailableCount)];
    else if (n > 0) gCareerMission = int16_t(rows[Below(n)]);
    else return;
    gLaunchRequest = 1;
    ++gLaunches;
    dunDebugPrintf("monkey: launch of mission %d (launch %d)", int(gCareerMission), gLaunches);
}

// Saves and loads: the career files written and read back in the front
// end; in flight a checkpoint saved; at a mission's start one restored.
void SaveOrLoad(bool frontEnd, bool justLaunched) {
    if (frontEnd) {
        if (Chance(50)) {
            dunWriteCaptainSlot();
            dunWriteStateFile();
            ++gSaves;
        } else {
            dunReadStateFile();
            dunReadCaptainSlot();
            ++gLoads;
        }
        return;
    }
    if (justLaunched) {
        int32_t ids[8];
        char titles[8][kSaveTitleBytes];
        const int n = dunListSaveGames(gCurrentMission, gCareerState.word[StateWord::Slot], ids, titles, 8);
        if (n > 1) {
            dunRunMissionStart(ids[1 + Below(n - 1)]);
            ++gLoads;
        }
        return;
    }
    if (gMissionEndState == 0) {
        dunSaveGame(" random save", 1 + Below(3));
        ++gSaves;
    }
}

template <class T, class F>
int Used(const T &pool, F busy) {
    int n = 0;
    for (const auto &r : pool) n += busy(r) ? 1 : 0;
    return n;
}

// The pools, each with its use now and its peak since the last log line.
constexpr int kPools = 12;
const char *const kPoolNames[kPools] = {"scene",    "avatar", "action", "sim",     "weapon",  "tdp",
                                        "shipinfo", "bighud", "hud",    "largeps", "smallps", "port"};
const int kPoolSizes[kPools] = {kMaxSceneItems,
                                kMaxAvatars,
                                kMaxActions,
                                kMaxSims,
                                kMaxWeapons,
                                kMaxTDPs,
                                kMaxShipInfos,
                                kMaxBigHUDs,
                                kMaxHUDs,
                                kMaxLargeParticleSystems,
                                kMaxSmallParticleSystems,
                                kMaxDockingPorts};
int gPoolPeak[kPools];

void CountPools(int used[kPools]) {
    auto flag = [](const auto &r) { return (r.flags & 1) != 0; };
    used[0] = Used(dunSceneItemPool, flag);
    used[1] = Used(dunAvatarPool, [](const Avatar &r) { return (r.flags16 & 1) != 0; });
    used[2] = Used(dunActionPool, flag);
    used[3] = Used(dunSimPool, flag);
    used[4] = Used(dunWeaponPool, flag);
    used[5] = Used(dunTDPPool, flag);
    used[6] = Used(dunShipInfoPool, flag);
    used[7] = Used(dunBigHUDPool, flag);
    used[8] = Used(dunHUDPool, flag);
    used[9] = Used(dunLargeParticlePool, flag);
    used[10] = Used(dunSmallParticlePool, flag);
    used[11] = Used(dunDockingPortPool, flag);
}

void NotePoolPeaks() {
    int used[kPools];
    CountPools(used);
    for (int i = 0; i < kPools; ++i)
        if (used[i] > gPoolPeak[i]) gPoolPeak[i] = used[i];
}

void LogPools(int64_t now) {
    char line[400];
    int n = 0;
    for (int i = 0; i < kPools && n < int(sizeof line); ++i) {
        n += std::snprintf(line + n, sizeof line - size_t(n), "%s%s %d/%d", i ? " " : "", kPoolNames[i], gPoolPeak[i],
                           kPoolSizes[i]);
        gPoolPeak[i] = 0;
    }
    // Where the game is, for a run that seems to stand still.
    char where[160];
    std::snprintf(where, sizeof where, "front %d page %d screen %s end %d paused %d film %d/%d held %d briefing %d",
                  int(gInFrontEnd), int(gFrontPage), gGuiScreen && gGuiScreen->name ? gGuiScreen->name : "-",
                  int(gMissionEndState), int(gPaused), int(VideoPlaying), int(MciPlaying), int(gScriptPause),
                  int(gBriefingOpen));
    dunDebugPrintf("monkey: minute %d: launches %d saves %d loads %d answers %d quits kept %d: %s: pool peaks %s",
                   int((now - gStart) / 60000), gLaunches, gSaves, gLoads, gAnswers, gQuitsKept, where, line);
}

}  // namespace

void MonkeyPoolUse(char *out, int size) {
    int used[kPools];
    CountPools(used);
    int n = 0;
    out[0] = 0;
    for (int i = 0; i < kPools && n < size; ++i)
        n +=
            std::snprintf(out + n, size_t(size - n), "%s%s %d/%d", i ? " " : "", kPoolNames[i], used[i], kPoolSizes[i]);
}

bool MonkeyStart() {
    const char *seed = std::getenv("RUVO_MONKEY");
    if (!seed || !*seed) return false;
    const uint64_t value = std::strtoull(seed, nullptr, 10);
    gState = value * 0x9E3779B97F4A7C15ull + 1;
    gMonkeyOn = 1;
    std::fprintf(stderr, "ruvo: random player, seed %llu\n", (unsigned long long)value);
    dunDebugPrintf("monkey: random player, seed %llu", (unsigned long long)value);
    if (!osVirtualJoystickAttach()) dunDebugPrint("monkey: no virtual joystick");
    // The front end's quit (Shift+Q on the home page, its exit button) would
    // end the run early: the random player stays.
    static FrontShellHooks hooks;
    hooks = gFrontShellHooks;
    hooks.quit = [] {
        ++gQuitsKept;
        dunDebugPrint("monkey: the front end's quit was pressed; the run goes on");
    };
    SetFrontShellHooks(&hooks);
    gStart = NowMs();
    gNextPoolLog = gStart;
    gPhaseEnd = gStart + 2000;
    return true;
}

void MonkeyTurn() {
    static int64_t last;
    const int64_t now = NowMs();
    if (now - last < 20) return;
    last = now;
    NotePoolPeaks();
    if (now >= gNextPoolLog) {
        LogPools(now);
        gNextPoolLog += 60000;
    }
    ReleaseDue();
    const bool front = gInFrontEnd != 0;
    const bool justLaunched = gWasInFrontEnd && !front;
    if (front != gWasInFrontEnd) {
        // The front end for 3 to 20 seconds; a flight for 20 seconds to 3
        // minutes unless it ends before.
        gPhaseEnd = now + (front ? 3000 + Below(17000) : 20000 + Below(160000));
        gWasInFrontEnd = front;
    }
    if (justLaunched && Chance(50)) SaveOrLoad(false, true);
    if (front && now >= gPhaseEnd && !gLaunchRequest && !gFrontNameEntry) {
        LaunchNext();
        gPhaseEnd = now + 10000;
    }
    if (!front && gDialogueChoices && gDialogueChoiceCount > 0) {
        // A hail waits for its answer, and while it waits the mission's
        // script stands and the end key is refused. The comms arm's reply
        // buttons are not bound yet: the answer is given as they would give
        // it, a few seconds on.
        if (!gAnswerDue) gAnswerDue = now + 2000 + Below(6000);
        if (now >= gAnswerDue) {
            dunSelectDialogueSpeaker(gDialogueChoices->addressee);
            if (gDialogueChoiceCount > 0) {
                dunPlayDialogueChoice(gDialogueChoiceSlots[Below(gDialogueChoiceCount)]);
                ++gAnswers;
            }
            gAnswerDue = 0;
        }
    } else {
        gAnswerDue = 0;
    }
    if (!front && now >= gPhaseEnd) {
        // Time to go: Shift+Q until the mission is left, with Esc or a
        // station key now and then for a panel that takes the keys first.
        const int way = Below(4);
        if (way == 0) {
            Press(MonkeyKey{0x01, 27}, 1);  // Esc
        } else if (way == 1) {
            Press(MonkeyKey{uint8_t(0x3B + Below(4)), 0}, 1);  // F1 to F4
        } else {
            // Shift is let go turns later: the messages of one turn all
            // arrive before the frame reads the key.
            Press(MonkeyKey{kShift, 0}, 4);
            Press(MonkeyKey{0x10, 'Q'}, 1);
        }
        gPhaseEnd = now + 1500;
        return;
    }
    // What a player does in a fiftieth of a second.
    if (Chance(25)) {
        const MonkeyKey &k = kKeys[Below(int(std::size(kKeys)))];
        // Shift+Q and Esc in the front end only now and then, so that the
        // pages are looked at rather than left at once.
        const int hold = 1 + Below(10);
        if (Chance(front ? 2 : 5)) Press(MonkeyKey{kShift, 0}, hold + 2);
        Press(k, hold);
    }
    if (Chance(40)) MoveMouse();
    if (Chance(front ? 6 : 3)) Click();
    MoveStick();
    if (Chance(front ? 1 : 0) || (!front && Below(3000) == 0)) SaveOrLoad(front, false);
}
