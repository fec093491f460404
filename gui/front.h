// The front-end screens.
#pragma once

void frontLaunchMission(int how);
void frontLoadInitTable();
void frontSetPalette();
// Sets the option of that stored name (INIT_VAR).
void frontSetOptionByName(const char *name, float value);
// The front end's screen when a mission ends.
void frontReturnScreen();

#include <cstdint>

void frontBuildScreen();
void frontBuildOptionsScreen();
void frontKeyHandler(uint16_t key);
void frontOptionsKeyHandler(uint16_t key);

// The settings file "Marrowgleam.ini" written from the options.
void frontSaveOptions();
// The spoken debriefing of a mission's end and the film of its outcome.
void frontPlaySpokenDebrief(int mission);
void frontPlayOutcomeFilm(int mission);
// The front end takes the result of a mission that succeeded.
void frontMissionResult(int mission);
