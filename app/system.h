// System services: the install, CD-ROM and memory queries.
#pragma once

#include <cstdint>

#include "core/files.h"

// The CD-ROM drive letters, their count and the first one (0 when none).
extern char gCdLetters[26];
extern uint16_t gCdCount;
extern char gFirstCdLetter;
// The film and audio folders (gFilmFolder, gAudioFolder) are core's; the
// install drive may move them.
// The last folder given to SetWorkingFolder.
extern char gWorkingFolder[260];

// Fills the CD-ROM table; returns the first letter (0 when none).
char FindCdDrives();
// Reads the install drive from the registry; 1 when the two folders moved.
int ReadInstallPaths();
// Makes the folder current; non-zero when it is the root of a drive.
int SetWorkingFolder(const char *path);
void JoystickStart();
// Releases force feedback and the relative mouse, then closes the display.
void ShutdownInputAndDisplay();
