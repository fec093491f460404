// Game-file access: the one routine through which every data file opens,
// and the bounded whole-file reader the format readers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The data folders the start-up scripts may move: films, speech, localised
// speech and screenshots.
constexpr size_t kFolderBytes = 260;
extern char gFilmFolder[kFolderBytes];
extern char gAudioFolder[kFolderBytes];
extern char gLocalAudioFolder[kFolderBytes];
extern char gScreenshotFolder[kFolderBytes];

// Opens a data file by its game path (backslashes, any letter case, drive
// letters) relative to the data root; logs it to "filelog.txt" with
// "logfile". Returns the stream or null.
FILE *OpenGameFile(const char *path, const char *mode);
// True when the data file opens for reading (logged as any open is).
bool GameFileExists(const char *path);
// The whole file in a malloc'd block (freed with free), refused above
// `limit` bytes. False when it does not open or is too long (that one also
// refused in the log).
bool ReadGameFile(const char *name, uint8_t **data, size_t *size, size_t limit);
// Saves a whole data file so that it is either the old or the new one on
// disk at every moment, whatever ends the process; false when it could not
// be written (the old file then stays).
bool WriteGameFileWhole(const char *path, const void *data, size_t size);
// At start-up: removes the temporary files the writer above left in a game
// folder when the game was ended during a save, each with a "debug.txt" line.
void RemoveWriteLeftovers(const char *folder);
// A data file that opened but cannot be used (cut short, empty, not of its
// format): one "debug.txt" line naming it and what was wrong with it. Every
// reader of a game file says so when it refuses one.
void RefuseGameFile(const char *name, const char *why);
// A data file that opened but holds nothing, taken as it is: one "debug.txt"
// line naming it and what the game does without it.
void EmptyGameFile(const char *name, const char *instead);
// Moves a damaged file out of the way of the file that will be written in
// its place: "NAME" becomes "NAME.bad" (or "NAME.bad2", ... when that is
// taken), and one line names both, on stderr and in "debug.txt". False when
// it could not be moved.
bool SetGameFileAside(const char *name, const char *why);
