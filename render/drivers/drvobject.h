// What the library's own drivers share for their objects: an object's
// operation table whose queries go through its template, a container's
// table over the standard object list, and a device record.
#pragma once

#include "render/tokens/object.h"

vt_object_dispatch DrvObjectDispatch(void (*free)(vt_object *), const char *(*identifier)(vt_object *),
                                     vt_token (*type)(vt_object *), vt_boolean (*is_type)(vt_object *, vt_token),
                                     vt_device *(*device)(vt_object *), vt_int_32 (*space)(vt_object *),
                                     vt_tv_template *(*template_query)(vt_object *));
vt_object_container_dispatch DrvContainerDispatch(vt_object_dispatch object,
                                                  void *(*list_query)(vt_object_container *));
// A zeroed record of `size` bytes under the framework root (a device
// begun by an image); null while the library is not begun or without
// memory.
void *DrvDeviceAllocate(vt_size size);
