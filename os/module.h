// Loading code modules (shared objects) at run time.
#pragma once

// Opens the shared object at `path`; null when it cannot be loaded.
void *osModuleLoad(const char *path);
void osModuleUnload(void *module);
// Address of an exported symbol; null when absent.
void *osModuleSymbol(void *module, const char *name);
// 1 when a regular file exists at the host path.
int osFileExists(const char *path);
