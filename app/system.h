// System services: the one routine through which every data file opens, and
// the install, CD-ROM and memory queries.
#pragma once

#include <cstdint>
#include <cstdio>

// Opens a data file by its game path (backslashes, any letter case, drive
// letters) relative to the data root; logs it to "filelog.txt" with
// "logfile". Returns the stream or null.
FILE *OpenGameFile(const char *path, const char *mode);

// Available physical memory plus available page file, in bytes, saturated
// at 0xFFFFFFFF.
uint32_t FreeMemoryBytes();
