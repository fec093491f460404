#include "render/fw/registry.h"

#include "render/fw/fw.h"

namespace {
struct registry_entry {
    vt_node node;
    void *item;
};

const char *itemName(void *item) { return static_cast<vt_named *>(item)->identifier; }

registry_entry *firstEntry(vt_registry *reg) { return reinterpret_cast<registry_entry *>(VtListFirst(&reg->list)); }
registry_entry *nextEntry(registry_entry *e) { return reinterpret_cast<registry_entry *>(VtListNext(&e->node)); }
} // namespace

vt_registry *VtRegistryNew(vt_registry *reg) {
    VtNewList(&reg->list);
    reg->count = 0;
    return reg;
}

void VtRegistryClear(vt_registry *reg) {
    while (vt_node *n = VtRemHead(&reg->list))
        VtResFree(n);
    reg->count = 0;
}

void *VtRegistryAdd(vt_registry *reg, void *item) {
    auto *e = static_cast<registry_entry *>(VtResAllocate(VtFrameworkRoot(), sizeof(registry_entry), VT_RES_REGISTRY));
    if (e == nullptr)
        return nullptr;
    e->item = item;
    VtAddHead(&reg->list, &e->node);
    reg->count++;
    return item;
}

int VtRegistryAddMany(vt_registry *reg, void **items, int n) {
    for (int i = 0; i < n; i++)
        VtRegistryAdd(reg, items[i]);
    return n;
}

void *VtRegistryRemove(vt_registry *reg, void *item) {
    for (registry_entry *e = firstEntry(reg); e; e = nextEntry(e)) {
        if (e->item == item) {
            VtRemove(&e->node);
            VtResFree(e);
            reg->count--;
            return item;
        }
    }
    return nullptr;
}

int VtRegistryRemoveMany(vt_registry *reg, void **items, int n) {
    int found = 0;
    for (int i = 0; i < n; i++)
        if (VtRegistryRemove(reg, items[i]))
            found++;
    return found;
}

void *VtRegistryFind(vt_registry *reg, const char *pattern) {
    for (registry_entry *e = firstEntry(reg); e; e = nextEntry(e))
        if (VtNamePatternMatch(pattern, itemName(e->item)))
            return e->item;
    if (reg->find_failed_hook)
        return reg->find_failed_hook(pattern);
    return nullptr;
}

int VtRegistryFindMany(vt_registry *reg, const char *pattern, void **items, int max) {
    int n = 0;
    for (registry_entry *e = firstEntry(reg); e && n < max; e = nextEntry(e))
        if (VtNamePatternMatch(pattern, itemName(e->item)))
            items[n++] = e->item;
    return n;
}

int VtRegistryCount(vt_registry *reg, const char *pattern) {
    if (pattern == nullptr)
        return reg->count;
    int n = 0;
    for (registry_entry *e = firstEntry(reg); e; e = nextEntry(e))
        if (VtNamePatternMatch(pattern, itemName(e->item)))
            n++;
    return n;
}

int VtRegistryEnum(vt_registry *reg, const char *pattern, vt_enum_cbfn *callback, void *arg) {
    // The successor is fetched before the call so that a callback may remove
    // the item it is given.
    for (registry_entry *e = firstEntry(reg), *next; e; e = next) {
        next = nextEntry(e);
        if (pattern == nullptr || VtNamePatternMatch(pattern, itemName(e->item)))
            if (int r = callback(e->item, arg))
                return r;
    }
    return 0;
}

void *VtRegistryNewStatic(void *, void *, int) { return nullptr; }
void *VtRegistryAddStatic(void *, void *) { return nullptr; }
void *VtRegistryRemoveStatic(void *, void *) { return nullptr; }
