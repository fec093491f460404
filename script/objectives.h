// The mission's objectives: up to fifteen, declared from a text resource by
// the script, shown or hidden, scored and timed by it, and moved between
// open, failed and done; the current objective and its announcements; and
// the mission's score, which the status panel shows and the mission's end
// stores, from one formula.
#pragma once

#include <cstddef>
#include <cstdint>

struct ResourceHandle;

constexpr int kObjectives = 15;
// A line of the objectives text is read into a buffer of this size; a
// longer line keeps its first 255 bytes.
constexpr int kObjectiveLineBytes = 256;

namespace ObjectiveState {
constexpr int Open = 0, Failed = 1, Done = 2;
}  // namespace ObjectiveState

struct Objective {
    char *text;  // an owned copy, freed at the reset
    uint8_t shown;  // 255 after loading
    int32_t number;  // the number scripts and save files name it by
    int32_t score;  // points a completion adds to SCORE; 100 after the reset
    int16_t state;  // ObjectiveState
    int32_t time;  // clock units
};

extern Objective gObjectives[kObjectives];
extern uint16_t gObjectiveCount;
extern int16_t gCurrentObjective;  // -1 none
extern int16_t gPreviousObjective;
extern uint8_t gNoObjectiveDone;  // 255 until an objective is done
// Clock units of the current objective's time; the objectives panel's
// display time (the panel closes when it runs out); the blink of the
// current objective in the list.
extern int32_t gObjectiveCountdown;
extern int32_t gObjectivesPanelCountdown;
extern uint8_t gObjectiveBlink;
extern int32_t gObjectiveBlinkTimer;
// MAX_KILL_BONUS: the kill points of the score are capped at it when it is
// above 0.
extern int32_t gMaxKillBonus;

// Frees the texts, every score back to 100, no current objective.
void dunResetObjectives();
// Resets and parses the resource's data; false (nothing loaded) when it
// has none.
bool dunLoadObjectives(ResourceHandle *handle);
// Resets and parses objectives text of `size` bytes (it need not end in a
// zero): one objective a line, "N:text" or plain text numbered on from the
// last; at most 15. The count.
int ParseObjectives(const char *text, size_t size);

// Setters and testers of an objective by index; indexes outside 0..14 are
// ignored (a tester answers false).
void dunSetObjectiveState(int index, int state);
bool dunTestObjectiveState(int index, int state);
void dunShowObjective(int index, uint8_t shown);
void dunSetObjectiveScore(int index, int32_t value);
void dunSetObjectiveTime(int index, int32_t centiseconds);
// The index of the first loaded objective with that number; kObjectives
// (an index every setter ignores) when none has it.
int dunFindObjective(int32_t number);
// The OBJV condition: the objective of that number (-1: the current one)
// has the state.
bool dunObjectiveIs(int state, int number);

// The current objective becomes the first shown open one (or none); a new
// one starts its time.
void dunSelectCurrentObjective();
// The current objective posted to the text feed, or the no-objective text.
void dunAnnounceObjective();
// The objectives display starts again: the panel stays until it is closed
// and the blink starts over.
void dunResetObjectivesDisplay();

// The mission's score: the points of the shown objectives that are done,
// the time bonus of the target time, and the kill points of the shooting
// tallies capped by MAX_KILL_BONUS. The status panel prints the parts and
// the total, and the mission's end stores the total.
struct MissionScore {
    int32_t objectives;
    int32_t timeBonus;
    int32_t killPoints;  // before the cap
    int32_t killScore;  // after it
    int32_t total;
};
int32_t ComputeMissionScore(MissionScore *parts = nullptr);
