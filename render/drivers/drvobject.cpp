#include "render/drivers/drvobject.h"

#include <cstring>

#include "render/fw/fw.h"

vt_object_dispatch DrvObjectDispatch(void (*free)(vt_object *), const char *(*identifier)(vt_object *),
                                     vt_token (*type)(vt_object *), vt_boolean (*is_type)(vt_object *, vt_token),
                                     vt_device *(*device)(vt_object *), vt_int_32 (*space)(vt_object *),
                                     vt_tv_template *(*template_query)(vt_object *)) {
    vt_object_dispatch d{};
    d.free = free;
    d.identifier = identifier;
    d.type = type;
    d.isType = is_type;
    d.device = device;
    d.space = space;
    d.templateQuery = template_query;
    d.query = _M_br_object_query;
    d.queryBuffer = _M_br_object_queryBuffer;
    d.queryMany = _M_br_object_queryMany;
    d.queryManySize = _M_br_object_queryManySize;
    d.queryAll = _M_br_object_queryAll;
    d.queryAllSize = _M_br_object_queryAllSize;
    return d;
}

vt_object_container_dispatch DrvContainerDispatch(vt_object_dispatch object,
                                                  void *(*list_query)(vt_object_container *)) {
    vt_object_container_dispatch d{};
    d.object = object;
    d.listQuery = list_query;
    d.tokensMatchBegin = _M_br_object_container_tokensMatchBegin;
    d.tokensMatch = _M_br_object_container_tokensMatch;
    d.tokensMatchEnd = _M_br_object_container_tokensMatchEnd;
    d.addFront = _M_br_object_container_addFront;
    d.removeFront = _M_br_object_container_removeFront;
    d.remove = _M_br_object_container_remove;
    d.find = _M_br_object_container_find;
    d.findMany = _M_br_object_container_findMany;
    d.count = _M_br_object_container_count;
    return d;
}

void *DrvDeviceAllocate(vt_size size) {
    void *root = VtFrameworkRoot();
    if (root == nullptr)
        return nullptr;
    void *dev = VtResAllocate(root, size, VT_RES_OBJECT_DATA);
    if (dev)
        memset(dev, 0, size);
    return dev;
}
