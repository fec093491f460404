// Driver objects: every object starts with a pointer to its operation
// table. The base methods answer queries through the object's template;
// containers keep their objects on a standard object list.
#pragma once

#include "render/fw/list.h"
#include "render/tokens/token.h"

struct vt_object;
struct vt_device;

struct vt_object_dispatch {
    void (*_reserved0)(vt_object *);
    void (*_reserved1)(vt_object *);
    void (*_reserved2)(vt_object *);
    void (*_reserved3)(vt_object *);
    void (*free)(vt_object *self);
    const char *(*identifier)(vt_object *self);
    vt_token (*type)(vt_object *self);
    vt_boolean (*isType)(vt_object *self, vt_token t);
    vt_device *(*device)(vt_object *self);
    vt_int_32 (*space)(vt_object *self);
    vt_tv_template *(*templateQuery)(vt_object *self);
    vt_error (*query)(vt_object *self, vt_value *pvalue, vt_token t);
    vt_error (*queryBuffer)(vt_object *self, vt_value *pvalue, void *buffer, vt_size buffer_size, vt_token t);
    vt_error (*queryMany)(vt_object *self, vt_token_value *tv, void *extra, vt_size extra_size, vt_int_32 *pcount);
    vt_error (*queryManySize)(vt_object *self, vt_size *pextra_size, vt_token_value *tv);
    vt_error (*queryAll)(vt_object *self, vt_token_value *buffer, vt_size buffer_size);
    vt_error (*queryAllSize)(vt_object *self, vt_size *psize);
};

struct vt_object {
    const vt_object_dispatch *dispatch;
};

struct vt_object_container;

struct vt_object_container_dispatch {
    vt_object_dispatch object;
    void *(*listQuery)(vt_object_container *self);
    void *(*tokensMatchBegin)(vt_object_container *self, vt_token t, vt_token_value *tv);
    vt_boolean (*tokensMatch)(vt_object_container *self, vt_object *h, void *arg);
    void (*tokensMatchEnd)(vt_object_container *self, void *arg);
    vt_error (*addFront)(vt_object_container *self, vt_object *ph);
    vt_error (*removeFront)(vt_object_container *self, vt_object **ph);
    vt_error (*remove)(vt_object_container *self, vt_object *h);
    vt_error (*find)(vt_object_container *self, vt_object **ph, vt_token type, const char *pattern, vt_token_value *tv);
    vt_error (*findMany)(vt_object_container *self, vt_object **objects, vt_int_32 max_objects, vt_int_32 *pnum_objects,
                         vt_token type, const char *pattern, vt_token_value *tv);
    vt_error (*count)(vt_object_container *self, vt_int_32 *pcount, vt_token type, const char *pattern,
                      vt_token_value *tv);
};

struct vt_object_container {
    const vt_object_container_dispatch *dispatch;
};

// Base methods: each runs the VtTokenValue operation of the same name on
// the object through its templateQuery.
vt_error _M_br_object_query(vt_object *self, vt_value *pvalue, vt_token t);
vt_error _M_br_object_queryBuffer(vt_object *self, vt_value *pvalue, void *buffer, vt_size buffer_size, vt_token t);
vt_error _M_br_object_queryMany(vt_object *self, vt_token_value *tv, void *extra, vt_size extra_size,
                                vt_int_32 *pcount);
vt_error _M_br_object_queryManySize(vt_object *self, vt_size *pextra_size, vt_token_value *tv);
vt_error _M_br_object_queryAll(vt_object *self, vt_token_value *buffer, vt_size buffer_size);
vt_error _M_br_object_queryAllSize(vt_object *self, vt_size *psize);

// Container methods over the list from listQuery.
vt_error _M_br_object_container_addFront(vt_object_container *self, vt_object *ph);
vt_error _M_br_object_container_removeFront(vt_object_container *self, vt_object **ph);
vt_error _M_br_object_container_remove(vt_object_container *self, vt_object *h);
vt_error _M_br_object_container_find(vt_object_container *self, vt_object **ph, vt_token type, const char *pattern,
                                     vt_token_value *tv);
vt_error _M_br_object_container_findMany(vt_object_container *self, vt_object **objects, vt_int_32 max_objects,
                                         vt_int_32 *pnum_objects, vt_token type, const char *pattern,
                                         vt_token_value *tv);
vt_error _M_br_object_container_count(vt_object_container *self, vt_int_32 *pcount, vt_token type,
                                      const char *pattern, vt_token_value *tv);
void *_M_br_object_container_tokensMatchBegin(vt_object_container *self, vt_token t, vt_token_value *tv);
vt_boolean _M_br_object_container_tokensMatch(vt_object_container *self, vt_object *h, void *arg);
void _M_br_object_container_tokensMatchEnd(vt_object_container *self, void *arg);

// A standard object list (resource of class OBJECT_LIST).
void *VtObjectListAllocate(void *res);
// Removes and frees every object of the container that matches.
vt_error VtObjectContainerFree(vt_object_container *self, vt_token type, const char *pattern, vt_token_value *tv);

// Dispatch helpers.
inline const char *ObjectIdentifier(vt_object *o) { return o->dispatch->identifier(o); }
inline vt_token ObjectType(vt_object *o) { return o->dispatch->type(o); }
inline vt_object *ObjectOf(vt_object_container *c) { return reinterpret_cast<vt_object *>(c); }
