// Translation of the game's file names (backslashes, drive letters, any
// letter case) into paths of this machine.
#pragma once

#include <string>

// Turns a game path into a host path below the data root (the working
// folder): backslashes become slashes, and each component that is not present
// with its exact name is matched case-insensitively. When `forWrite` is set
// the last component keeps the given case unless a file of that name in
// another case already exists. Returns the host path to use.
std::string osResolvePath(const char *gamePath, bool forWrite);

// Forgets the cached folder listings (after files were created or removed by
// something other than the game).
void osFlushPathCache();

// True when the game path names an existing folder.
bool osGameFolderExists(const char *gamePath);

// True when anything (file or folder) stands at the host path.
bool osHostPathExists(const char *hostPath);
