// Game-file access: the one routine through which every data file opens,
// and the bounded whole-file reader the format readers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

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
// A data file that opened but cannot be used (cut short, empty, not of its
// format): one "debug.txt" line naming it and what was wrong with it. Every
// reader of a game file says so when it refuses one.
void RefuseGameFile(const char *name, const char *why);
