// The container operations of a test device that keeps its objects in a
// vector: finds by type and name pattern go through each object's own
// identifier and type operations.
#pragma once

#include "render/dev/device.h"

namespace vttest {

// Dev has a member `objects`, a sequence of pointers to objects.
template <class Dev> struct listed_device {
    static vt_error findMany(vt_object_container *c, vt_object **objs, vt_int_32 max, vt_int_32 *pn, vt_token type,
                             const char *pattern, vt_token_value *) {
        auto *d = reinterpret_cast<Dev *>(c);
        vt_int_32 n = 0;
        for (auto *p : d->objects) {
            auto *o = reinterpret_cast<vt_object *>(p);
            if ((type == 0 || type == ObjectType(o)) && VtNamePatternMatch(pattern, ObjectIdentifier(o)) && n < max)
                objs[n++] = o;
        }
        *pn = n;
        return VT_E_OK;
    }
    static vt_error find(vt_object_container *c, vt_object **ph, vt_token type, const char *pattern,
                         vt_token_value *tv) {
        vt_int_32 n;
        findMany(c, ph, 1, &n, type, pattern, tv);
        return n ? VT_E_OK : VT_E_FAIL;
    }
    static vt_error count(vt_object_container *c, vt_int_32 *pn, vt_token type, const char *pattern,
                          vt_token_value *tv) {
        vt_object *objs[16];
        return findMany(c, objs, 16, pn, type, pattern, tv);
    }
    static vt_object_container_dispatch dispatch(void (*free)(vt_object *), const char *(*identifier)(vt_object *)) {
        vt_object_container_dispatch d{};
        d.object.free = free;
        d.object.identifier = identifier;
        d.find = find;
        d.findMany = findMany;
        d.count = count;
        return d;
    }
};

} // namespace vttest
