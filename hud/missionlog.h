// The mission log.
#pragma once

#include <cstdint>

// The count-down of the log's display.
extern int32_t gMissionLogCountdown;
// Empties the log (mission end).
void MissionLogReset();

struct SceneItem;
// A mission-log entry of a kind (2 kill, 4 docked, 5 undocked, 6 crashed
// into a body, ...), and a free text line.
void MissionLogAdd(SceneItem *item, SceneItem *other, int kind, const char *name, const char *otherName);
void MissionLogAddText(const char *text);

// The HUD record of one object goes to another.
void hudMoveRecord(SceneItem *from, SceneItem *to);
// A missile the player launched, listed for this frame (at most 12).
void hudListMissile(SceneItem *missile, SceneItem *goal, int32_t time);

// Installs the HUD's table of the world's calls.
void hudInstallWorldHooks();
