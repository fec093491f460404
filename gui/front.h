// The front-end screens.
#pragma once

void frontLaunchMission(int how);
void frontLoadInitTable();
void frontSetPalette();
// The front end's screen when a mission ends.
void frontReturnScreen();
