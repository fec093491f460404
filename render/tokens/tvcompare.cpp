// Comparing pair lists, and byte swapping.
#include <cstring>

#include "render/tokens/token.h"

namespace {

bool sameBytes(const void *a, const void *b, size_t n) {
    if (a == nullptr || b == nullptr)
        return a == b;
    return memcmp(a, b, n) == 0;
}

bool valuesEqual(vt_token t, const vt_value &a, const vt_value &b) {
    switch (VtTokenType(t)) {
    case VTT_NONE: return true;
    case VTT_BOOLEAN: return (a.u32 != 0) == (b.u32 != 0);
    case VTT_INT_8:
    case VTT_UINT_8: return a.u8 == b.u8;
    case VTT_INT_16:
    case VTT_UINT_16: return a.u16 == b.u16;
    case VTT_VECTOR2_INTEGER:
    case VTT_VECTOR2_FIXED:
    case VTT_VECTOR2_FLOAT: return sameBytes(a.p, b.p, 8);
    case VTT_VECTOR3_INTEGER:
    case VTT_VECTOR3_FIXED:
    case VTT_VECTOR3_FLOAT: return sameBytes(a.p, b.p, 12);
    case VTT_VECTOR4_INTEGER:
    case VTT_VECTOR4_FIXED:
    case VTT_VECTOR4_FLOAT: return sameBytes(a.p, b.p, 16);
    case VTT_MATRIX23_FIXED:
    case VTT_MATRIX23_FLOAT: return sameBytes(a.p, b.p, 24);
    case VTT_MATRIX34_FIXED:
    case VTT_MATRIX34_FLOAT: return sameBytes(a.p, b.p, 48);
    case VTT_MATRIX4_FIXED:
    case VTT_MATRIX4_FLOAT: return sameBytes(a.p, b.p, 64);
    case VTT_STRING:
    case VTT_CONSTANT_STRING:
        if (a.cstr == nullptr || b.cstr == nullptr)
            return a.cstr == b.cstr;
        return strcmp(a.cstr, b.cstr) == 0;
    case VTT_OBJECT_LIST:
    case VTT_TOKEN_LIST:
    case VTT_POINTER_LIST: return true;
    case VTT_POINTER:
    case VTT_OBJECT:
    case VTT_HANDLE:
    case VTT_TOKEN_VALUE_LIST: return a.p == b.p;
    default: return a.u32 == b.u32;
    }
}

bool ignored(vt_token t, const vt_token *insignificant) {
    if (insignificant)
        for (const vt_token *i = insignificant; *i; i++)
            if (*i == t)
                return true;
    return false;
}

const vt_token_value *skip(const vt_token_value *tv, const vt_token *insignificant) {
    while (tv->t != VTT_END && ignored(tv->t, insignificant))
        tv++;
    return tv;
}

} // namespace

vt_boolean VtTokenValueComparePartial(const vt_token_value *tv1, const vt_token_value *tv2,
                                      const vt_token *insignificant) {
    if (tv1 == nullptr || tv2 == nullptr)
        return tv1 == tv2;
    for (;;) {
        tv1 = skip(tv1, insignificant);
        tv2 = skip(tv2, insignificant);
        if (tv1->t != tv2->t)
            return 0;
        if (tv1->t == VTT_END)
            return 1;
        if (!valuesEqual(tv1->t, tv1->v, tv2->v))
            return 0;
        tv1++;
        tv2++;
    }
}

vt_boolean VtTokenValueCompare(const vt_token_value *tv1, const vt_token_value *tv2) {
    return VtTokenValueComparePartial(tv1, tv2, nullptr);
}

void VtTokenValueDump(vt_token_value *, const char *, vt_putline_cbfn *, void *) {}

vt_uint_32 VtSwap32(vt_uint_32 l) { return __builtin_bswap32(l); }
vt_uint_16 VtSwap16(vt_uint_16 s) { return __builtin_bswap16(s); }

vt_float VtSwapFloat(vt_float f) {
    vt_uint_32 u;
    memcpy(&u, &f, 4);
    u = __builtin_bswap32(u);
    memcpy(&f, &u, 4);
    return f;
}

void *VtSwapBlock(void *block, int count, int size) {
    auto *p = static_cast<vt_uint_8 *>(block);
    if (size > 1)
        for (int i = 0; i < count; i++, p += size)
            for (int a = 0, b = size - 1; a < b; a++, b--) {
                vt_uint_8 t = p[a];
                p[a] = p[b];
                p[b] = t;
            }
    return block;
}
