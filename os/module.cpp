#include "os/module.h"

#include <dlfcn.h>
#include <sys/stat.h>

void *osModuleLoad(const char *path) {
    if (path == nullptr || *path == '\0')
        return nullptr;
    // Symbols stay private to each module: two drivers may use one name.
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void osModuleUnload(void *module) {
    if (module)
        dlclose(module);
}

void *osModuleSymbol(void *module, const char *name) {
    if (module == nullptr || name == nullptr)
        return nullptr;
    return dlsym(module, name);
}

int osFileExists(const char *path) {
    struct stat st;
    return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}
