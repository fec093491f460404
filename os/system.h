// Host queries of the system services: memory and the current folder.
#pragma once

#include <cstdint>

// Available physical memory plus available swap, in bytes.
uint64_t osFreeMemoryBytes();
// Makes a game path (drive letters, backslashes) the current folder; false
// when it cannot be entered.
bool osChangeFolder(const char *gamePath);
// Sets one variable of the process's environment from a "NAME=value" text
// (the text is copied); false when it has no name.
bool osPutEnv(const char *assignment);
