// The mission log: timed event lines ("2:03 Kestrel destroyed Lantern") and
// free texts of the running mission, each new one shown on the message line,
// kept for browsing with two keys and written out as a page on request.
#pragma once

#include <cstdint>

struct SceneItem;

struct MissionLogEntry {
    uint16_t kind;        // MissionLogKind; free texts are kind 8
    uint32_t time;        // mission clock, centiseconds
    const char *text;     // in the text store; null when it did not fit
    const char *subject;  // the subject's name
    const char *object;   // the object's name; " " when the event has none
    uint8_t colourSet;    // handed to the feed with the text: 1 events, 0 free texts
};

constexpr int kMissionLogEntries = 100;
constexpr int kMissionLogStore = 7500;
constexpr int16_t kMissionLogNoEntry = -10000;  // the browse cursor selects nothing

// Event kinds: 0 arrived at and 1 left from a Lagrange point, 2 destroyed,
// 3 exploded, 4 docked, 5 undocked, 6 crashed, 7 fired an LDSI missile,
// 8 communicated, 9 activated and 10 de-activated the LDS drive.
constexpr int kMissionLogKinds = 11;

extern MissionLogEntry gMissionLog[kMissionLogEntries];
extern int16_t gMissionLogCount;
extern int16_t gMissionLogCursor;     // browse cursor; kMissionLogNoEntry when none
extern uint8_t gMissionLogOff;        // recording is off (while the script docks)
extern uint32_t gMissionLogCalls;     // recording calls since the reset

// An event between two objects (either may be null) with their names. Kinds
// 3 to 10 are kept only when the player's ship takes part.
void MissionLogAdd(SceneItem *subject, SceneItem *object, int kind, const char *subjectName,
                   const char *objectName);
// A free text at a mission time (dialogue and comms lines); with subtitles on
// it also goes to the text feed.
void MissionLogAddText(int32_t time, const char *text);
// Move the browse cursor back or on and give the entry's text (or null) and
// its feed colour set.
const char *MissionLogPrev(uint8_t *colourSet);
const char *MissionLogNext(uint8_t *colourSet);
// Empties the log (mission end).
void MissionLogReset();
// Writes every entry that has text as the document page "test.htm".
void MissionLogWriteTest();

// A missile the player launched, listed for this frame (at most 12).
void hudListMissile(SceneItem *missile, SceneItem *goal, int32_t time);

// Installs the HUD's table of the world's calls.
void hudInstallWorldHooks();
// Installs the HUD's table of the presentation's calls.
void hudInstallPresentHooks();
// Installs the HUD's table of the mission script's calls.
void hudInstallScriptHooks();
