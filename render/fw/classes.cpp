// The resource class registry and the class index.
#include "render/fw/fwstate.h"

vt_resource_class *VtResClassAdd(vt_resource_class *rclass) {
    auto *r = static_cast<vt_resource_class *>(VtRegistryAdd(&vtFw.reg_resource_classes, rclass));
    if (r)
        vtFw.resource_class_index[rclass->res_class] = rclass;
    return r;
}

vt_resource_class *VtResClassRemove(vt_resource_class *rclass) {
    auto *r = static_cast<vt_resource_class *>(VtRegistryRemove(&vtFw.reg_resource_classes, rclass));
    if (vtFw.resource_class_index[rclass->res_class] == rclass)
        vtFw.resource_class_index[rclass->res_class] = nullptr;
    return r;
}

vt_resource_class *VtResClassFind(const char *pattern) {
    return static_cast<vt_resource_class *>(VtRegistryFind(&vtFw.reg_resource_classes, pattern));
}

int VtResClassCount(const char *pattern) { return VtRegistryCount(&vtFw.reg_resource_classes, pattern); }

const char *VtResClassIdentifier(vt_uint_8 res_class) {
    vt_resource_class *rc = vtFw.resource_class_index[res_class];
    return rc ? rc->identifier : "<NULL>";
}
