// Base object methods, containers and the standard object list.
#include "render/tokens/object.h"

#include <cstring>

#include "render/fw/fw.h"

vt_error _M_br_object_query(vt_object *self, vt_value *pvalue, vt_token t) {
    return VtTokenValueQuery(pvalue, nullptr, 0, t, self, self->dispatch->templateQuery(self));
}

vt_error _M_br_object_queryBuffer(vt_object *self, vt_value *pvalue, void *buffer, vt_size buffer_size, vt_token t) {
    return VtTokenValueQuery(pvalue, buffer, buffer_size, t, self, self->dispatch->templateQuery(self));
}

vt_error _M_br_object_queryMany(vt_object *self, vt_token_value *tv, void *extra, vt_size extra_size,
                                vt_int_32 *pcount) {
    return VtTokenValueQueryMany(tv, extra, extra_size, pcount, self, self->dispatch->templateQuery(self));
}

vt_error _M_br_object_queryManySize(vt_object *self, vt_size *pextra_size, vt_token_value *tv) {
    return VtTokenValueQueryManySize(pextra_size, tv, self, self->dispatch->templateQuery(self));
}

vt_error _M_br_object_queryAll(vt_object *self, vt_token_value *buffer, vt_size buffer_size) {
    return VtTokenValueQueryAll(buffer, buffer_size, self, self->dispatch->templateQuery(self));
}

vt_error _M_br_object_queryAllSize(vt_object *self, vt_size *psize) {
    return VtTokenValueQueryAllSize(psize, self, self->dispatch->templateQuery(self));
}

namespace {

struct object_list {
    vt_simple_list l;
};

struct object_list_entry {
    vt_simple_node node;
    vt_object *h;
};

// What tokensMatchBegin keeps: a copy of the pair list, terminator included.
struct token_match {
    vt_token_value *original;
    vt_token_value *query;
    vt_int_32 n;
    void *extra;
    vt_size extra_size;
};

object_list *listOf(vt_object_container *self) { return static_cast<object_list *>(self->dispatch->listQuery(self)); }

// Walks the list calling visit(object) for each match.
template <class F> void walkMatches(vt_object_container *self, vt_token type, const char *pattern, vt_token_value *tv, F visit) {
    object_list *hl = listOf(self);
    if (hl == nullptr)
        return;
    void *arg = nullptr;
    if (tv)
        arg = self->dispatch->tokensMatchBegin(self, type, tv);
    for (auto *e = reinterpret_cast<object_list_entry *>(hl->l); e;
         e = reinterpret_cast<object_list_entry *>(e->node.next)) {
        vt_object *o = e->h;
        if (type != 0 && ObjectType(o) != type)
            continue;
        if (!VtNamePatternMatch(pattern, ObjectIdentifier(o)))
            continue;
        if (tv && !self->dispatch->tokensMatch(self, o, arg))
            continue;
        if (!visit(o))
            break;
    }
    if (tv)
        self->dispatch->tokensMatchEnd(self, arg);
}

} // namespace

void *VtObjectListAllocate(void *res) {
    auto *hl = static_cast<object_list *>(VtResAllocate(res, sizeof(object_list), VT_RES_OBJECT_LIST));
    if (hl)
        VtSimpleNewList(&hl->l);
    return hl;
}

vt_error _M_br_object_container_addFront(vt_object_container *self, vt_object *ph) {
    object_list *hl = listOf(self);
    if (hl == nullptr)
        return VT_E_FAIL;
    auto *e = static_cast<object_list_entry *>(VtResAllocate(hl, sizeof(object_list_entry), VT_RES_OBJECT_LIST_ENTRY));
    if (e == nullptr)
        return VT_E_NO_MEMORY;
    e->h = ph;
    VtSimpleAddHead(&hl->l, &e->node);
    return VT_E_OK;
}

vt_error _M_br_object_container_removeFront(vt_object_container *self, vt_object **ph) {
    object_list *hl = listOf(self);
    if (hl == nullptr)
        return VT_E_FAIL;
    auto *e = reinterpret_cast<object_list_entry *>(VtSimpleRemHead(&hl->l));
    if (e == nullptr) {
        *ph = nullptr;
        return VT_E_FAIL;
    }
    *ph = e->h;
    VtResFree(e);
    return VT_E_OK;
}

vt_error _M_br_object_container_remove(vt_object_container *self, vt_object *h) {
    object_list *hl = listOf(self);
    if (hl == nullptr)
        return VT_E_FAIL;
    for (auto *e = reinterpret_cast<object_list_entry *>(hl->l); e;
         e = reinterpret_cast<object_list_entry *>(e->node.next)) {
        if (e->h == h) {
            VtSimpleRemove(&e->node);
            VtResFree(e);
            return VT_E_OK;
        }
    }
    return VT_E_FAIL;
}

vt_error _M_br_object_container_find(vt_object_container *self, vt_object **ph, vt_token type, const char *pattern,
                                     vt_token_value *tv) {
    // The walk runs to the end: the last match in list order (the earliest
    // added) is the answer.
    vt_object *found = nullptr;
    walkMatches(self, type, pattern, tv, [&](vt_object *o) {
        found = o;
        return true;
    });
    if (found == nullptr)
        return VT_E_FAIL;
    *ph = found;
    return VT_E_OK;
}

vt_error _M_br_object_container_findMany(vt_object_container *self, vt_object **objects, vt_int_32 max_objects,
                                         vt_int_32 *pnum_objects, vt_token type, const char *pattern,
                                         vt_token_value *tv) {
    vt_int_32 n = 0;
    walkMatches(self, type, pattern, tv, [&](vt_object *o) {
        if (n >= max_objects)
            return false;
        objects[n++] = o;
        return true;
    });
    *pnum_objects = n;
    return VT_E_OK;
}

vt_error _M_br_object_container_count(vt_object_container *self, vt_int_32 *pcount, vt_token type,
                                      const char *pattern, vt_token_value *tv) {
    vt_int_32 n = 0;
    walkMatches(self, type, pattern, tv, [&](vt_object *) {
        n++;
        return true;
    });
    *pcount = n;
    return VT_E_OK;
}

void *_M_br_object_container_tokensMatchBegin(vt_object_container *, vt_token, vt_token_value *tv) {
    if (tv == nullptr)
        return nullptr;
    vt_int_32 n = 0;
    while (tv[n].t != VTT_END)
        n++;
    auto *tm = static_cast<token_match *>(
        VtResAllocate(VtFrameworkRoot(), sizeof(token_match) + sizeof(vt_token_value) * (n + 1), VT_RES_APPLICATION));
    if (tm == nullptr)
        return nullptr;
    tm->original = tv;
    tm->query = reinterpret_cast<vt_token_value *>(tm + 1);
    tm->n = n;
    memcpy(tm->query, tv, sizeof(vt_token_value) * (n + 1));
    return tm;
}

vt_boolean _M_br_object_container_tokensMatch(vt_object_container *, vt_object *h, void *arg) {
    auto *tm = static_cast<token_match *>(arg);
    if (tm == nullptr)
        return 1;
    // Values the object cannot answer keep the copied ones and so compare
    // equal; extra room lets it answer values larger than a word.
    vt_size extra_size = 0;
    if (h->dispatch->queryManySize(h, &extra_size, tm->query) != VT_E_OK)
        return 0;
    void *extra = nullptr;
    if (extra_size) {
        extra = VtResAllocate(tm, extra_size, VT_RES_APPLICATION);
        if (extra == nullptr)
            return 0;
    }
    memcpy(tm->query, tm->original, sizeof(vt_token_value) * (tm->n + 1));
    vt_int_32 count = 0;
    h->dispatch->queryMany(h, tm->query, extra, extra_size, &count);
    vt_boolean same = VtTokenValueCompare(tm->original, tm->query);
    if (extra)
        VtResFree(extra);
    return same;
}

void _M_br_object_container_tokensMatchEnd(vt_object_container *, void *arg) {
    if (arg)
        VtResFree(arg);
}

vt_error VtObjectContainerFree(vt_object_container *self, vt_token type, const char *pattern, vt_token_value *tv) {
    vt_int_32 count = 0;
    if (vt_error r = self->dispatch->count(self, &count, type, pattern, tv))
        return r;
    if (count == 0)
        return VT_E_OK;
    auto **objects = static_cast<vt_object **>(VtMemAllocate(sizeof(vt_object *) * count, VT_RES_DATAFILE));
    if (objects == nullptr)
        return VT_E_NO_MEMORY;
    vt_int_32 n = 0;
    self->dispatch->findMany(self, objects, count, &n, type, pattern, tv);
    for (vt_int_32 i = 0; i < n; i++) {
        self->dispatch->remove(self, objects[i]);
        objects[i]->dispatch->free(objects[i]);
    }
    VtMemFree(objects);
    return VT_E_OK;
}
