// Token-value templates: conversions between record fields and pair
// values, and the query and set operations over them.
#include <cstring>

#include "render/fw/fw.h"
#include "render/tokens/token.h"

namespace {

// Words of the vector and matrix kinds 4..9.
const vt_size kWords[] = {2, 3, 4, 6, 12, 16};

// Types whose pair value is a pointer.
bool pointerWide(vt_token type) {
    switch (type) {
    case VTT_POINTER:
    case VTT_OBJECT:
    case VTT_HANDLE:
    case VTT_STRING:
    case VTT_CONSTANT_STRING:
    case VTT_OBJECT_LIST:
    case VTT_TOKEN_LIST:
    case VTT_POINTER_LIST:
    case VTT_TOKEN_VALUE_LIST:
        return true;
    default:
        return type >= VTT_VECTOR2_INTEGER && type <= VTT_MATRIX4_FLOAT;
    }
}

vt_fixed fixedFromFloat(float f) {
    double v = double(f) * 65536.0;
    if (!(v > -2147483648.0))
        return v != v ? 0 : INT32_MIN;
    if (!(v < 2147483647.0))
        return INT32_MAX;
    return vt_fixed(v);
}

float floatFromFixed(vt_fixed x) { return float(x) / 65536.0f; }

vt_uint_8 *fieldOf(void *block, const vt_tv_template_entry *tep) {
    if (tep->flags & VT_TVF_CONST)
        return reinterpret_cast<vt_uint_8 *>(const_cast<uintptr_t *>(&tep->offset));
    return static_cast<vt_uint_8 *>(block) + tep->offset;
}

vt_uint_32 load32(const vt_uint_8 *p) {
    vt_uint_32 v;
    memcpy(&v, p, 4);
    return v;
}
void store32(vt_uint_8 *p, vt_uint_32 v) { memcpy(p, &v, 4); }
void *loadPtr(const vt_uint_8 *p) {
    void *v;
    memcpy(&v, p, sizeof v);
    return v;
}

// Takes n bytes of the caller's extra buffer.
void *takeExtra(void **pextra, vt_size *pextra_size, vt_size n) {
    if (pextra == nullptr || *pextra == nullptr || pextra_size == nullptr || *pextra_size < n)
        return nullptr;
    void *p = *pextra;
    *pextra = static_cast<vt_uint_8 *>(*pextra) + n;
    *pextra_size -= n;
    return p;
}

vt_size stringExtra(const char *s) { return s ? (strlen(s) + 4) & ~vt_size(3) : 0; }

vt_size listExtra(const vt_uint_8 *list) {
    if (list == nullptr)
        return 4;
    vt_size n = 4;
    while (load32(list)) {
        n += 4;
        list += 4;
    }
    return n;
}

vt_size entryExtraSize(void *block, const vt_tv_template_entry *tep) {
    int k = tep->conv;
    if (k >= VT_TVC_V2 && k <= VT_TVC_M4)
        return kWords[k - VT_TVC_V2] * 4;
    if (k >= VT_TVC_V2_FLOAT_AS_FIXED && k <= VT_TVC_M4_FIXED_AS_FLOAT)
        return kWords[(k - VT_TVC_V2_FLOAT_AS_FIXED) / 2] * 4;
    if (k == VT_TVC_STRING)
        return stringExtra(static_cast<const char *>(loadPtr(fieldOf(block, tep))));
    if (k == VT_TVC_LIST)
        return listExtra(static_cast<const vt_uint_8 *>(loadPtr(fieldOf(block, tep))));
    if (k == VT_TVC_CUSTOM) {
        auto *c = reinterpret_cast<const vt_tv_custom *>(tep->conv_arg);
        return c && c->extra_size ? c->extra_size(block, tep) : 0;
    }
    return 0;
}

vt_error queryEntry(vt_value *pvalue, void **pextra, vt_size *pextra_size, void *block, const vt_tv_template_entry *tep) {
    int k = tep->conv;
    const vt_uint_8 *field = fieldOf(block, tep);
    switch (k) {
    case VT_TVC_CONSTANT:
        pvalue->raw = tep->conv_arg;
        return VT_E_OK;
    case VT_TVC_CUSTOM: {
        auto *c = reinterpret_cast<const vt_tv_custom *>(tep->conv_arg);
        if (c == nullptr || c->query == nullptr)
            return VT_E_UNKNOWN;
        return c->query(pvalue, pextra, pextra_size, block, tep);
    }
    case VT_TVC_DIRECT:
        if (pointerWide(VtTokenType(tep->token)))
            pvalue->p = loadPtr(field);
        else
            *pvalue = VtValueU32(load32(field));
        return VT_E_OK;
    case VT_TVC_INT8: *pvalue = VtValueI32(vt_int_8(field[0])); return VT_E_OK;
    case VT_TVC_UINT8: *pvalue = VtValueU32(field[0]); return VT_E_OK;
    case VT_TVC_INT16: {
        vt_int_16 v;
        memcpy(&v, field, 2);
        *pvalue = VtValueI32(v);
        return VT_E_OK;
    }
    case VT_TVC_UINT16: {
        vt_uint_16 v;
        memcpy(&v, field, 2);
        *pvalue = VtValueU32(v);
        return VT_E_OK;
    }
    case VT_TVC_FLOAT_AS_FIXED: {
        float f;
        memcpy(&f, field, 4);
        *pvalue = VtValueI32(fixedFromFloat(f));
        return VT_E_OK;
    }
    case VT_TVC_FIXED_AS_FLOAT:
        *pvalue = VtValueF(floatFromFixed(vt_fixed(load32(field))));
        return VT_E_OK;
    case VT_TVC_STRING: {
        auto *s = static_cast<const char *>(loadPtr(field));
        if (s == nullptr) {
            pvalue->p = nullptr;
            return VT_E_OK;
        }
        vt_size len = strlen(s);
        void *copy = takeExtra(pextra, pextra_size, stringExtra(s));
        if (copy == nullptr)
            return VT_E_OVERFLOW;
        memcpy(copy, s, len + 1);
        pvalue->p = copy;
        return VT_E_OK;
    }
    case VT_TVC_LIST: {
        auto *list = static_cast<const vt_uint_8 *>(loadPtr(field));
        vt_size n = listExtra(list);
        void *copy = takeExtra(pextra, pextra_size, n);
        if (copy == nullptr)
            return VT_E_OVERFLOW;
        if (list)
            memcpy(copy, list, n);
        else
            store32(static_cast<vt_uint_8 *>(copy), 0);
        pvalue->p = copy;
        return VT_E_OK;
    }
    case VT_TVC_NOT_ONE: *pvalue = VtValueU32(load32(field) != 1); return VT_E_OK;
    case VT_TVC_BIT_SET: *pvalue = VtValueU32((load32(field) & vt_uint_32(tep->conv_arg)) != 0); return VT_E_OK;
    case VT_TVC_BIT_CLEAR: *pvalue = VtValueU32((load32(field) & vt_uint_32(tep->conv_arg)) == 0); return VT_E_OK;
    default:
        break;
    }
    if (k >= VT_TVC_V2 && k <= VT_TVC_M4) {
        vt_size bytes = kWords[k - VT_TVC_V2] * 4;
        void *copy = takeExtra(pextra, pextra_size, bytes);
        if (copy == nullptr)
            return VT_E_OVERFLOW;
        memcpy(copy, field, bytes);
        pvalue->p = copy;
        return VT_E_OK;
    }
    if (k >= VT_TVC_V2_FLOAT_AS_FIXED && k <= VT_TVC_M4_FIXED_AS_FLOAT) {
        vt_size words = kWords[(k - VT_TVC_V2_FLOAT_AS_FIXED) / 2];
        auto *copy = static_cast<vt_uint_8 *>(takeExtra(pextra, pextra_size, words * 4));
        if (copy == nullptr)
            return VT_E_OVERFLOW;
        bool floatToFixed = (k - VT_TVC_V2_FLOAT_AS_FIXED) % 2 == 0;
        for (vt_size i = 0; i < words; i++) {
            vt_uint_32 w = load32(field + 4 * i);
            if (floatToFixed) {
                float f;
                memcpy(&f, &w, 4);
                store32(copy + 4 * i, vt_uint_32(fixedFromFloat(f)));
            } else {
                float f = floatFromFixed(vt_fixed(w));
                memcpy(copy + 4 * i, &f, 4);
            }
        }
        pvalue->p = copy;
        return VT_E_OK;
    }
    return VT_E_UNKNOWN;
}

// Longest text a string field holds, terminator excluded.
constexpr vt_size kStringFieldMax = 63;

vt_error setEntry(void *block, vt_value *pvalue, const vt_tv_template_entry *tep) {
    if (tep->flags & VT_TVF_CONST)
        return VT_E_FAIL;
    int k = tep->conv;
    vt_uint_8 *field = fieldOf(block, tep);
    switch (k) {
    case VT_TVC_CUSTOM: {
        auto *c = reinterpret_cast<const vt_tv_custom *>(tep->conv_arg);
        if (c == nullptr || c->set == nullptr)
            return VT_E_UNKNOWN;
        return c->set(block, pvalue, tep);
    }
    case VT_TVC_DIRECT:
        if (pointerWide(VtTokenType(tep->token)))
            memcpy(field, &pvalue->p, sizeof pvalue->p);
        else
            store32(field, pvalue->u32);
        return VT_E_OK;
    case VT_TVC_INT8:
    case VT_TVC_UINT8: field[0] = vt_uint_8(pvalue->u32); return VT_E_OK;
    case VT_TVC_INT16:
    case VT_TVC_UINT16: {
        vt_uint_16 v = vt_uint_16(pvalue->u32);
        memcpy(field, &v, 2);
        return VT_E_OK;
    }
    case VT_TVC_FLOAT_AS_FIXED: {
        float f = floatFromFixed(pvalue->x);
        memcpy(field, &f, 4);
        return VT_E_OK;
    }
    case VT_TVC_FIXED_AS_FLOAT: store32(field, vt_uint_32(fixedFromFloat(pvalue->f))); return VT_E_OK;
    case VT_TVC_STRING: {
        auto *dst = static_cast<char *>(loadPtr(field));
        if (dst == nullptr)
            return VT_E_FAIL;
        // A 64-byte field always keeps its terminator.
        const char *src = pvalue->cstr ? pvalue->cstr : "";
        vt_size n = strnlen(src, kStringFieldMax);
        memcpy(dst, src, n);
        memset(dst + n, 0, kStringFieldMax + 1 - n);
        return VT_E_OK;
    }
    case VT_TVC_NOT_ONE: store32(field, pvalue->u32 ? vt_uint_32(tep->conv_arg) : 1); return VT_E_OK;
    case VT_TVC_BIT_SET:
    case VT_TVC_BIT_CLEAR: {
        bool set = (pvalue->u32 != 0) == (k == VT_TVC_BIT_SET);
        vt_uint_32 bits = vt_uint_32(tep->conv_arg);
        store32(field, set ? load32(field) | bits : load32(field) & ~bits);
        return VT_E_OK;
    }
    default:
        break;
    }
    if (k >= VT_TVC_V2 && k <= VT_TVC_M4) {
        if (pvalue->p == nullptr)
            return VT_E_FAIL;
        memcpy(field, pvalue->p, kWords[k - VT_TVC_V2] * 4);
        return VT_E_OK;
    }
    if (k >= VT_TVC_V2_FLOAT_AS_FIXED && k <= VT_TVC_M4_FIXED_AS_FLOAT) {
        if (pvalue->p == nullptr)
            return VT_E_FAIL;
        vt_size words = kWords[(k - VT_TVC_V2_FLOAT_AS_FIXED) / 2];
        bool fixedToFloat = (k - VT_TVC_V2_FLOAT_AS_FIXED) % 2 == 0;
        auto *src = static_cast<const vt_uint_8 *>(pvalue->p);
        for (vt_size i = 0; i < words; i++) {
            vt_uint_32 w = load32(src + 4 * i);
            if (fixedToFloat) {
                float f = floatFromFixed(vt_fixed(w));
                memcpy(field + 4 * i, &f, 4);
            } else {
                float f;
                memcpy(&f, &w, 4);
                store32(field + 4 * i, vt_uint_32(fixedFromFloat(f)));
            }
        }
        return VT_E_OK;
    }
    return VT_E_UNKNOWN;
}

void resolveNames(vt_tv_template *tpl) {
    if (tpl->names_resolved)
        return;
    for (int i = 0; i < tpl->n_entries; i++)
        if (tpl->entries[i].name)
            tpl->entries[i].token = VtTokenCreate(tpl->entries[i].name, 0);
    tpl->names_resolved = 1;
}

bool makeMaps(vt_tv_template *tpl) {
    if (tpl->map_query_entry)
        return true;
    resolveNames(tpl);
    vt_token lo = 0, hi = 0;
    for (int i = 0; i < tpl->n_entries; i++) {
        vt_token t = tpl->entries[i].token;
        if (t == 0)
            continue;
        if (lo == 0 || t < lo)
            lo = t;
        if (t > hi)
            hi = t;
    }
    vt_int_32 n = lo ? vt_int_32(hi - lo + 1) : 1;
    auto **q = static_cast<vt_tv_template_entry **>(VtResAllocate(tpl, sizeof(void *) * n, VT_RES_TOKEN_MAP));
    auto **s = static_cast<vt_tv_template_entry **>(VtResAllocate(tpl, sizeof(void *) * n, VT_RES_TOKEN_MAP));
    if (q == nullptr || s == nullptr) {
        if (q)
            VtResFree(q);
        if (s)
            VtResFree(s);
        return false;
    }
    for (int i = 0; i < tpl->n_entries; i++) {
        vt_tv_template_entry *e = &tpl->entries[i];
        if (e->token == 0)
            continue;
        if (e->flags & VT_TVF_QUERY)
            q[e->token - lo] = e;
        if (e->flags & VT_TVF_SET)
            s[e->token - lo] = e;
    }
    tpl->map_base = vt_int_32(lo);
    tpl->n_map_entries = n;
    tpl->map_query_entry = q;
    tpl->map_set_entry = s;
    return true;
}

vt_tv_template_entry *mapped(vt_tv_template *tpl, vt_tv_template_entry **map, vt_token t) {
    if (t == 0 || vt_int_32(t) < tpl->map_base || vt_int_32(t) - tpl->map_base >= tpl->n_map_entries)
        return nullptr;
    return map[t - tpl->map_base];
}

vt_tv_template_entry *queryEntryFor(vt_tv_template *tpl, vt_token t) {
    if (!makeMaps(tpl))
        return nullptr;
    return mapped(tpl, tpl->map_query_entry, t);
}

vt_tv_template_entry *setEntryFor(vt_tv_template *tpl, vt_token t) {
    if (!makeMaps(tpl))
        return nullptr;
    return mapped(tpl, tpl->map_set_entry, t);
}

} // namespace

vt_tv_template *VtTVTemplateAllocate(void *res, vt_tv_template_entry *entries, int n_entries) {
    auto *t = static_cast<vt_tv_template *>(VtResAllocate(res, sizeof(vt_tv_template), VT_RES_TOKEN_TEMPLATE));
    if (t == nullptr)
        return nullptr;
    t->entries = entries;
    t->n_entries = n_entries;
    t->res = res;
    return t;
}

void VtTVTemplateFree(vt_tv_template *t) { VtResFree(t); }

vt_error VtTokenValueQuery(vt_value *pvalue, void *extra, vt_size extra_size, vt_token t, void *block,
                           vt_tv_template *tpl) {
    vt_tv_template_entry *tep = queryEntryFor(tpl, t);
    if (tep == nullptr)
        return VT_E_UNKNOWN;
    return queryEntry(pvalue, &extra, &extra_size, block, tep);
}

vt_error VtTokenValueQueryMany(vt_token_value *tv, void *extra, vt_size extra_size, vt_int_32 *pcount, void *block,
                               vt_tv_template *tpl) {
    *pcount = 0;
    for (; tv->t != VTT_END; tv++) {
        vt_tv_template_entry *tep = queryEntryFor(tpl, tv->t);
        if (tep == nullptr)
            continue;
        vt_error r = queryEntry(&tv->v, &extra, &extra_size, block, tep);
        if (r == VT_E_OK)
            (*pcount)++;
        else if (r == VT_E_OVERFLOW)
            tv->v.raw = 0;
    }
    return VT_E_OK;
}

vt_error VtTokenValueQueryManySize(vt_size *psize, vt_token_value *tv, void *block, vt_tv_template *tpl) {
    *psize = 0;
    for (; tv->t != VTT_END; tv++)
        if (vt_tv_template_entry *tep = queryEntryFor(tpl, tv->t))
            *psize += entryExtraSize(block, tep);
    return VT_E_OK;
}

static int listedCount(vt_tv_template *tpl) {
    resolveNames(tpl);
    int n = 0;
    for (int i = 0; i < tpl->n_entries; i++)
        if (tpl->entries[i].token && (tpl->entries[i].flags & VT_TVF_QUERY_ALL))
            n++;
    return n;
}

vt_error VtTokenValueQueryAll(vt_token_value *buffer, vt_size buffer_size, void *block, vt_tv_template *tpl) {
    int n = listedCount(tpl);
    vt_size pairs = (vt_size(n) + 1) * sizeof(vt_token_value);
    if (buffer_size < pairs)
        return VT_E_OVERFLOW;
    void *extra = reinterpret_cast<vt_uint_8 *>(buffer) + pairs;
    vt_size extra_size = buffer_size - pairs;
    vt_token_value *tv = buffer;
    for (int i = 0; i < tpl->n_entries; i++) {
        const vt_tv_template_entry *tep = &tpl->entries[i];
        if (tep->token == 0 || !(tep->flags & VT_TVF_QUERY_ALL))
            continue;
        tv->t = tep->token;
        if (vt_error r = queryEntry(&tv->v, &extra, &extra_size, block, tep))
            return r;
        tv++;
    }
    tv->t = VTT_END;
    tv->v.raw = 0;
    return VT_E_OK;
}

vt_error VtTokenValueQueryAllSize(vt_size *psize, void *block, vt_tv_template *tpl) {
    int n = listedCount(tpl);
    vt_size size = (vt_size(n) + 1) * sizeof(vt_token_value);
    for (int i = 0; i < tpl->n_entries; i++) {
        const vt_tv_template_entry *tep = &tpl->entries[i];
        if (tep->token && (tep->flags & VT_TVF_QUERY_ALL))
            size += entryExtraSize(block, tep);
    }
    *psize = size;
    return VT_E_OK;
}

vt_error VtTokenValueSet(void *mem, vt_uint_32 *pcombined_mask, vt_token t, vt_value value, vt_tv_template *tpl) {
    vt_tv_template_entry *tep = setEntryFor(tpl, t);
    if (tep == nullptr)
        return VT_E_UNKNOWN;
    if (tep->flags & VT_TVF_CONST)
        return VT_E_FAIL;
    if (tep->conv == VT_TVC_CONSTANT || tep->conv == VT_TVC_LIST || tep->conv < 1 || tep->conv > 32)
        return VT_E_UNKNOWN;
    vt_error r = setEntry(mem, &value, tep);
    if (r == VT_E_OK && pcombined_mask)
        *pcombined_mask |= vt_uint_32(tep->mask);
    return r;
}

vt_error VtTokenValueSetMany(void *mem, vt_int_32 *pcount, vt_uint_32 *pcombined_mask, vt_token_value *tv,
                             vt_tv_template *tpl) {
    vt_int_32 n = 0;
    vt_uint_32 mask = 0;
    for (; tv->t != VTT_END; tv++)
        if (VtTokenValueSet(mem, &mask, tv->t, tv->v, tpl) == VT_E_OK)
            n++;
    if (pcount)
        *pcount = n;
    if (pcombined_mask)
        *pcombined_mask |= mask;
    return VT_E_OK;
}
