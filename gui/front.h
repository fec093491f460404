// The front-end screens.
#pragma once

void frontLaunchMission(int how);
void frontLoadInitTable();
void frontSetPalette();
