// System services: the one routine through which every data file opens, and
// the install, CD-ROM and memory queries.
#pragma once

#include <cstdint>
#include <cstdio>

// Opens a data file by its game path (backslashes, any letter case, drive
// letters) relative to the data root; logs it to "filelog.txt" with
// "logfile". Returns the stream or null.
FILE *OpenGameFile(const char *path, const char *mode);
// True when the data file opens for reading (logged as any open is).
bool GameFileExists(const char *path);

// The CD-ROM drive letters, their count and the first one (0 when none).
extern char gCdLetters[26];
extern uint16_t gCdCount;
extern char gFirstCdLetter;
// The film and audio folders ("vek\resource\video", "vek\resource\audio"
// unless the install drive moved them).
extern char gFilmFolder[260];
extern char gAudioFolder[260];
// The last folder given to SetWorkingFolder.
extern char gWorkingFolder[260];

// Fills the CD-ROM table; returns the first letter (0 when none).
char FindCdDrives();
// Reads the install drive from the registry; 1 when the two folders moved.
int ReadInstallPaths();
// Makes the folder current; non-zero when it is the root of a drive.
int SetWorkingFolder(const char *path);
// Available physical memory plus swap, in bytes (sizes the resource pool);
// like the system's own figure it saturates at 4 GB - 1.
uint32_t FreeMemoryBytes();
void JoystickStart();
// Releases force feedback and the relative mouse, then closes the display.
void ShutdownInputAndDisplay();
