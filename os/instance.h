// The named single-instance lock shared by the game and the setup tools.
#pragma once

enum OsInstanceResult {
    OS_INSTANCE_FAILED = -1,  // the lock file could not be created
    OS_INSTANCE_TAKEN = 0,    // another process holds the name
    OS_INSTANCE_OWNED = 1,    // this process holds it until it ends
};

// Takes the lock named `name` (a file of that name in $XDG_RUNTIME_DIR, else
// /tmp). The lock is held for the life of the process, or until released.
OsInstanceResult osAcquireInstanceLock(const char *name);
// Lets go of a lock this process took (closing its file), so that another
// program may take the name; nothing when it holds none of that name.
void osReleaseInstanceLock(const char *name);
// True while some process holds the name (the setup tools' running check).
bool osInstanceLockHeld(const char *name);
// Where the lock file of `name` lives.
const char *osInstanceLockPath(const char *name);
