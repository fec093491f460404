// Registries: named collections of items (whose name is the second word of
// the item, see vt_named) with find by name pattern and a find-failed hook.
#pragma once

#include "render/fw/list.h"
#include "render/fw/types.h"

typedef void *vt_find_failed_cbfn(const char *pattern);
typedef int vt_enum_cbfn(void *item, void *arg);

struct vt_registry {
    vt_list list;
    vt_int_32 count;
    vt_find_failed_cbfn *find_failed_hook;
};

// 1 when the name matches the pattern: "*" any run, "?" one character, "/"
// ends the pattern, letters compare without case, a null pattern matches all.
vt_boolean VtNamePatternMatch(const char *pattern, const char *name);

vt_registry *VtRegistryNew(vt_registry *reg);
void VtRegistryClear(vt_registry *reg);
// Returns the item, or null when no entry could be allocated (the registry
// is then unchanged).
void *VtRegistryAdd(vt_registry *reg, void *item);
int VtRegistryAddMany(vt_registry *reg, void **items, int n);
void *VtRegistryRemove(vt_registry *reg, void *item);
int VtRegistryRemoveMany(vt_registry *reg, void **items, int n);
void *VtRegistryFind(vt_registry *reg, const char *pattern);
int VtRegistryFindMany(vt_registry *reg, const char *pattern, void **items, int max);
int VtRegistryCount(vt_registry *reg, const char *pattern);
int VtRegistryEnum(vt_registry *reg, const char *pattern, vt_enum_cbfn *callback, void *arg);

// Static registries are not supported: these do nothing and return 0.
void *VtRegistryNewStatic(void *reg, void *base, int limit);
void *VtRegistryAddStatic(void *reg, void *item);
void *VtRegistryRemoveStatic(void *reg, void *item);
